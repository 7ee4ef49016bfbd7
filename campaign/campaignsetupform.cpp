#include "campaign/campaignsetupform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <cmath>

namespace {
const RestartKind AllKinds[] = {RestartKind::Hot, RestartKind::Warm, RestartKind::Cold, RestartKind::Full,
                                RestartKind::Rtk};
}

CampaignSetupForm::CampaignSetupForm(QWidget *parent)
    : QGroupBox(tr("Set-up"), parent)
{
    auto *grid = new QGridLayout(this);
    auto *kinds = new QHBoxLayout;
    for (RestartKind kind : AllKinds) {
        m_kindBoxes.append(new QCheckBox(restartKindName(kind), this));
        kinds->addWidget(m_kindBoxes.last());
    }
    m_cycles = new QSpinBox(this);
    m_cycles->setRange(1, 1000);
    m_rule = new QComboBox(this);
    for (FixRule rule : {FixRule::GgaOrRmc, FixRule::Gga, FixRule::Rmc, FixRule::Gsa3d})
        m_rule->addItem(fixRuleName(rule), int(rule));
    m_timeout = new QSpinBox(this);
    m_timeout->setRange(1, 3600);
    m_timeout->setSuffix(tr(" s"));
    m_settle = new QDoubleSpinBox(this);
    m_settle->setRange(0, 600);
    m_settle->setDecimals(1);
    m_settle->setSuffix(tr(" s"));
    m_fileEdit = new QLineEdit(this);
    m_fileEdit->setPlaceholderText(tr("next to the NMEA log, with its time stamp"));

    grid->addWidget(new QLabel(tr("Restarts"), this), 0, 0);
    grid->addLayout(kinds, 0, 1);
    grid->addWidget(new QLabel(tr("Cycles per kind"), this), 0, 2);
    grid->addWidget(m_cycles, 0, 3);
    grid->addWidget(new QLabel(tr("First fix"), this), 0, 4);
    grid->addWidget(m_rule, 0, 5);
    grid->addWidget(new QLabel(tr("Timeout"), this), 1, 0);
    grid->addWidget(m_timeout, 1, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(tr("Settle"), this), 1, 2);
    grid->addWidget(m_settle, 1, 3);
    grid->addWidget(new QLabel(tr("CSV file"), this), 1, 4);
    grid->addWidget(m_fileEdit, 1, 5);

    m_reference = new QCheckBox(tr("Reference position"), this);
    m_latitude = new QDoubleSpinBox(this);
    m_longitude = new QDoubleSpinBox(this);
    m_height = new QDoubleSpinBox(this);
    m_latitude->setRange(-90, 90);
    m_longitude->setRange(-180, 180);
    m_height->setRange(-1000, 100000);
    m_latitude->setDecimals(8);
    m_longitude->setDecimals(8);
    m_height->setDecimals(2);
    m_latitude->setPrefix(tr("lat "));
    m_longitude->setPrefix(tr("lon "));
    m_height->setPrefix(tr("height "));
    m_latitude->setSuffix(QStringLiteral(" °"));
    m_longitude->setSuffix(QStringLiteral(" °"));
    m_height->setSuffix(tr(" m"));
    auto *reference = new QHBoxLayout;
    for (QDoubleSpinBox *box : {m_latitude, m_longitude, m_height}) {
        reference->addWidget(box);
        connect(m_reference, &QCheckBox::toggled, box, &QWidget::setEnabled);
    }
    grid->addWidget(m_reference, 2, 0, 1, 2);
    grid->addLayout(reference, 2, 2, 1, 4);
    grid->setColumnStretch(5, 1);
    setSetup(CampaignSetup());
}

CampaignSetup CampaignSetupForm::setup() const
{
    CampaignSetup s;
    s.kinds.clear();
    for (int i = 0; i < m_kindBoxes.size(); ++i) {
        if (m_kindBoxes.at(i)->isChecked())
            s.kinds.append(AllKinds[i]);
    }
    s.cyclesPerKind = m_cycles->value();
    s.fixRule = FixRule(m_rule->currentData().toInt());
    s.timeoutMs = m_timeout->value() * 1000;
    s.settleMs = int(std::lround(m_settle->value() * 1000));
    if (m_reference->isChecked())
        s.reference = ReferencePosition{m_latitude->value(), m_longitude->value(), m_height->value()};
    return s;
}

void CampaignSetupForm::setSetup(const CampaignSetup &s)
{
    for (int i = 0; i < m_kindBoxes.size(); ++i)
        m_kindBoxes.at(i)->setChecked(s.kinds.contains(AllKinds[i]));
    m_cycles->setValue(s.cyclesPerKind);
    m_rule->setCurrentIndex(m_rule->findData(int(s.fixRule)));
    m_timeout->setValue((s.timeoutMs + 999) / 1000);
    m_settle->setValue(s.settleMs / 1000.0);
    m_reference->setChecked(s.reference.has_value());
    for (QDoubleSpinBox *box : {m_latitude, m_longitude, m_height})
        box->setEnabled(s.reference.has_value());
    if (s.reference) {
        m_latitude->setValue(s.reference->latitude);
        m_longitude->setValue(s.reference->longitude);
        m_height->setValue(s.reference->height);
    }
}

QString CampaignSetupForm::fileName() const
{
    return m_fileEdit->text().trimmed();
}
