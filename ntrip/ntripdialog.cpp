#include "ntrip/ntripdialog.h"
#include "ui_ntripdialog.h"

#include "ntrip/ntripclient.h"
#include "ntrip/ntripstore.h"
#include "rtcm/correctionstream.h"

#include <QPushButton>

NtripDialog::NtripDialog(NtripStore *store, bool hasPosition, double latitude, double longitude, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::NtripDialog)
    , m_store(store)
    , m_tableClient(new NtripClient(this))
    , m_hasPosition(hasPosition)
    , m_latitude(latitude)
    , m_longitude(longitude)
{
    ui->setupUi(this);
    ui->mountTable->horizontalHeader()->setStretchLastSection(true);
    setSettings(m_store->read());
    ui->passwordNote->setText(tr("Asking the desktop's keyring..."));
    connect(m_store, &NtripStore::passwordRead, this, [this](const QString &password, bool, const QString &note) {
        if (ui->passwordEdit->text().isEmpty())
            ui->passwordEdit->setText(password);
        ui->passwordNote->setText(note);
    });
    m_store->readPassword(settings());

    connect(ui->getButton, &QPushButton::clicked, this, &NtripDialog::getMountpoints);
    connect(m_tableClient, &NtripClient::sourceTable, this, &NtripDialog::showMountpoints);
    connect(m_tableClient, &NtripClient::failed, this, [this](const QString &why) {
        ui->stateLabel->setText(why);
        ui->getButton->setEnabled(true);
    });
    connect(ui->mountTable, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row < 0 || row >= m_entries.size())
            return;
        ui->mountEdit->setText(m_entries.at(row).mountpoint);
        // A network RTK stream needs the receiver's position now and then.
        ui->ggaSpin->setValue(m_entries.at(row).wantsGga ? qMax(10, ui->ggaSpin->value()) : 0);
    });
}

NtripDialog::~NtripDialog()
{
    delete ui;
}

NtripSettings NtripDialog::settings() const
{
    NtripSettings s;
    s.host = ui->hostEdit->text().trimmed();
    s.port = ui->portSpin->value();
    s.tls = ui->tlsCheck->isChecked();
    s.user = ui->userEdit->text();
    s.password = ui->passwordEdit->text();
    s.version = ui->versionCombo->currentIndex() == 1 ? 1 : 2;
    s.mountpoint = ui->mountEdit->text().trimmed();
    s.ggaSeconds = ui->ggaSpin->value();
    return s;
}

void NtripDialog::setSettings(const NtripSettings &s)
{
    ui->hostEdit->setText(s.host);
    ui->portSpin->setValue(s.port);
    ui->tlsCheck->setChecked(s.tls);
    ui->userEdit->setText(s.user);
    ui->versionCombo->setCurrentIndex(s.version == 1 ? 1 : 0);
    ui->mountEdit->setText(s.mountpoint);
    ui->ggaSpin->setValue(s.ggaSeconds);
}

void NtripDialog::getMountpoints()
{
    const NtripSettings s = settings();
    if (s.host.isEmpty()) {
        ui->stateLabel->setText(tr("Type the caster's host first."));
        return;
    }
    ui->getButton->setEnabled(false);
    ui->stateLabel->setText(tr("Reading the source table of %1:%2...").arg(s.host).arg(s.port));
    m_tableClient->setSettings(s);
    m_tableClient->fetchSourceTable();
}

void NtripDialog::showMountpoints(const QVector<SourceEntry> &entries)
{
    m_entries = entries;
    ui->getButton->setEnabled(true);
    ui->mountTable->setRowCount(entries.size());
    for (int row = 0; row < entries.size(); ++row) {
        const SourceEntry &e = entries.at(row);
        const QString distance = m_hasPosition
            ? tr("%1 km").arg(baselineMetres(m_latitude, m_longitude, e.latitude, e.longitude) / 1000.0, 0, 'f', 1)
            : tr("no fix yet");
        const QStringList cells{e.mountpoint, e.format,
                                QStringLiteral("%1, %2").arg(e.latitude, 0, 'f', 2).arg(e.longitude, 0, 'f', 2),
                                distance, e.wantsGga ? tr("needed") : QString()};
        for (int c = 0; c < cells.size(); ++c)
            ui->mountTable->setItem(row, c, new QTableWidgetItem(cells.at(c)));
    }
    ui->stateLabel->setText(tr("%n mountpoint(s) on the caster.", nullptr, entries.size()));
}

void NtripDialog::accept()
{
    const NtripSettings s = settings();
    if (s.host.isEmpty() || s.mountpoint.isEmpty()) {
        ui->stateLabel->setText(tr("A caster and a mountpoint are needed."));
        return;
    }
    m_store->write(s);
    QDialog::accept();
}
