#include "ntrip/correctionspanel.h"

#include "ntrip/correctionslink.h"
#include "ntrip/ntripdialog.h"
#include "ntrip/ntripstore.h"
#include "receiver/receivermodel.h"
#include "session/receiversession.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>

#include <cmath>

CorrectionsPanel::CorrectionsPanel(CorrectionsLink *link, NtripStore *store, QWidget *parent)
    : QWidget(parent)
    , m_link(link)
    , m_store(store)
    , m_settingsButton(new QPushButton(tr("Caster..."), this))
    , m_startButton(new QPushButton(tr("Start"), this))
    , m_stopButton(new QPushButton(tr("Stop"), this))
    , m_state(new QLabel(this))
    , m_figures(new QLabel(this))
    , m_effect(new QLabel(this))
    , m_types(new QTableWidget(0, 5, this))
    , m_agePlot(new QwtPlot(this))
    , m_ageCurve(new QwtPlotCurve(tr("Age of corrections")))
    , m_timer(new QTimer(this))
{
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_settingsButton);
    buttons->addWidget(m_startButton);
    buttons->addWidget(m_stopButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    m_state->setWordWrap(true);
    layout->addWidget(m_state);
    layout->addWidget(m_figures);
    layout->addWidget(m_effect);
    m_types->setHorizontalHeaderLabels({tr("Type"), tr("Message"), tr("Count"), tr("Rate /s"), tr("Last (s ago)")});
    m_types->verticalHeader()->hide();
    m_types->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_types->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_types, 1);
    m_agePlot->setTitle(tr("Age of corrections (s) since they started"));
    m_agePlot->setMinimumHeight(140);
    m_ageCurve->attach(m_agePlot);
    layout->addWidget(m_agePlot, 1);

    connect(m_settingsButton, &QPushButton::clicked, this, &CorrectionsPanel::openSettings);
    connect(m_startButton, &QPushButton::clicked, this, [this] {
        NtripSettings s = m_store->read();
        // The password of this run: typed in the dialog, kept by the link's client.
        s.password = m_link->client()->settings().password;
        if (s.host.isEmpty() || s.mountpoint.isEmpty())
            openSettings();
        else
            m_link->start(s);
    });
    connect(m_stopButton, &QPushButton::clicked, m_link, &CorrectionsLink::stop);
    connect(m_link->client(), &NtripClient::stateChanged, this, &CorrectionsPanel::refresh);
    connect(m_timer, &QTimer::timeout, this, &CorrectionsPanel::refresh);
    m_timer->start(1000);
    refresh();
}

void CorrectionsPanel::openSettings()
{
    const Epoch &e = m_link->session()->receiverModel()->latest();
    NtripDialog dialog(m_store, e.hasPosition, e.latitude, e.longitude, this);
    if (dialog.exec() == QDialog::Accepted)
        m_link->start(dialog.settings());
}

QString CorrectionsPanel::stateText() const
{
    return m_state->text();
}

void CorrectionsPanel::refresh()
{
    const NtripClient *client = m_link->client();
    const CorrectionStream &c = m_link->session()->corrections();
    const RtkEffect &rtk = m_link->session()->rtkEffect();
    const qint64 now = ReceiverModel::monotonicMs();
    const bool running = client->state() != NtripClient::Idle && client->state() != NtripClient::Refused;
    m_startButton->setEnabled(!running);
    m_stopButton->setEnabled(running);

    QString state = client->stateText().isEmpty() ? tr("No caster") : client->stateText();
    if (c.isStale(now))
        state = tr("corrections stale") + QStringLiteral(" (") + state + QLatin1Char(')');
    m_state->setText(tr("Caster: %1").arg(state));

    QString baseline = tr("station: not yet sent");
    const RtcmStation &station = c.station();
    const Epoch &e = m_link->session()->receiverModel()->latest();
    if (station.known && e.hasPosition)
        baseline = tr("baseline to station %1: %2 km").arg(station.id)
                       .arg(baselineMetres(station.latitude, station.longitude, e.latitude, e.longitude) / 1000.0, 0, 'f', 2);
    else if (station.known)
        baseline = tr("station %1 (no fix for a baseline yet)").arg(station.id);
    const double age = c.ageSeconds(now);
    m_figures->setText(tr("%1 B/s   age %2   frames %3 good, %4 bad   %5")
                           .arg(c.bytesPerSecond(now), 0, 'f', 0)
                           .arg(age < 0 ? tr("-") : QStringLiteral("%1 s").arg(age, 0, 'f', 1))
                           .arg(c.framer().goodFrames())
                           .arg(c.framer().badFrames())
                           .arg(baseline));

    const auto seconds = [this](double s) { return s < 0 ? tr("not yet") : QStringLiteral("%1 s").arg(s, 0, 'f', 1); };
    const PositionSpread spread = rtk.fixedSpread();
    m_effect->setText(tr("RTK float after %1, fixed after %2, fixed %3 % of %4 epochs, CEP50 fixed %5")
                          .arg(seconds(rtk.secondsToFloat()), seconds(rtk.secondsToFixed()))
                          .arg(rtk.fixedRatio() * 100, 0, 'f', 1)
                          .arg(rtk.epochs())
                          .arg(std::isnan(spread.cep50) ? tr("-") : QStringLiteral("%1 cm").arg(spread.cep50 * 100, 0, 'f', 1)));

    const QVector<RtcmTypeStats> types = c.types();
    m_types->setRowCount(types.size());
    for (int row = 0; row < types.size(); ++row) {
        const RtcmTypeStats &t = types.at(row);
        const QStringList cells{QString::number(t.type), rtcmTypeName(t.type), QString::number(t.count),
                                QString::number(t.rate(), 'f', 2), QString::number((now - t.lastMs) / 1000.0, 'f', 1)};
        for (int col = 0; col < cells.size(); ++col)
            m_types->setItem(row, col, new QTableWidgetItem(cells.at(col)));
    }
    m_ageCurve->setSamples(rtk.ageHistory());
    if (isVisible())
        m_agePlot->replot();
}
