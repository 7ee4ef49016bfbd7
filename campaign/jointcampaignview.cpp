#include "campaign/jointcampaignview.h"

#include "campaign/campaignsetupform.h"
#include "campaign/campaigntable.h"
#include "receiver/receivermodel.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace CampaignTable;

namespace {
// As the single campaign's window: settle time and timeout kept to a fifth of a second.
constexpr int TickMs = 200;
// The columns each receiver has in the cycle table.
constexpr int ColumnsPerReceiver = 4;
} // namespace

JointCampaignView::JointCampaignView(const QStringList &names, QWidget *parent)
    : QDialog(parent), m_campaign(new JointCampaign(names, this)), m_tickTimer(new QTimer(this)),
      m_form(new CampaignSetupForm(this)), m_startButton(new QPushButton(tr("Start"), this)),
      m_pauseButton(new QPushButton(tr("Pause"), this)), m_stopButton(new QPushButton(tr("Stop"), this)),
      m_progress(new QLabel(this)), m_message(new QLabel(this))
{
    setWindowTitle(tr("TTFF Campaign on %1").arg(names.join(tr(" and "))));
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
    resize(1100, 700);

    QStringList titles{tr("#"), tr("Kind")};
    QStringList samples{QStringLiteral("000"), QStringLiteral("WARM")};
    for (const QString &name : names) {
        titles << tr("%1\nTTFF (s)").arg(name) << tr("%1\nUsed").arg(name) << tr("%1\nTop-4 CNR").arg(name)
               << tr("%1\nH. error (m)").arg(name);
        samples << QStringLiteral("timeout") << QString() << QStringLiteral("00.0") << QStringLiteral("000.00");
    }
    m_table = table(titles, this);
    fitColumns(m_table, samples);
    m_summary = table({tr("Receiver"), tr("Kind"), tr("Cycles"), tr("Failed"), tr("Min (s)"), tr("Median (s)"),
                       tr("Mean (s)"), tr("P95 (s)"), tr("Max (s)"), tr("Std dev (s)")},
                      this);
    m_summary->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    fitRows(m_summary, 2 * int(names.size()));

    auto *controls = new QGridLayout;
    controls->addWidget(m_startButton, 0, 0);
    controls->addWidget(m_pauseButton, 0, 1);
    controls->addWidget(m_stopButton, 0, 2);
    controls->addWidget(m_progress, 0, 3);
    controls->addWidget(m_message, 1, 0, 1, 4);
    controls->setColumnStretch(3, 1);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_form);
    layout->addLayout(controls);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_summary);

    m_tickTimer->setInterval(TickMs);
    connect(m_tickTimer, &QTimer::timeout, this, [this] {
        m_campaign->tick(ReceiverModel::monotonicMs());
        showState();
    });
    connect(m_startButton, &QPushButton::clicked, this, [this] { startCampaign(m_form->setup(), m_form->fileName()); });
    connect(m_pauseButton, &QPushButton::clicked, this, [this] {
        if (m_campaign->state() == CampaignRun::State::Paused || m_campaign->pausePending())
            m_campaign->resume(ReceiverModel::monotonicMs());
        else
            m_campaign->pause();
        showState();
    });
    connect(m_stopButton, &QPushButton::clicked, this, [this] { m_campaign->stop(tr("Stopped.")); });
    connect(m_campaign, &JointCampaign::restartDue, this, &JointCampaignView::sendRestart);
    connect(m_campaign, &JointCampaign::rowFinished, this, &JointCampaignView::addRow);
    connect(m_campaign, &JointCampaign::stateChanged, this, &JointCampaignView::showState);
    showState();
}

QString JointCampaignView::startCampaign(const CampaignSetup &s, const QString &fileName)
{
    QVector<bool> open;
    for (int i = 0; i < m_campaign->receiverCount(); ++i)
        open.append(m_portOpen && m_portOpen(i));
    QString reason = m_campaign->refusal(s, open);
    const QString name = !fileName.isEmpty() ? fileName
        : CampaignCsv::defaultFileName(m_logFileName ? m_logFileName() : QString(), QDateTime::currentDateTime());
    QStringList names;
    for (int i = 0; i < m_campaign->receiverCount(); ++i)
        names << m_campaign->name(i);
    if (reason.isEmpty()) {
        const QString error = m_file.open(name, JointCampaignCsv::cycleHeader(names));
        if (!error.isEmpty())
            reason = tr("Cannot write %1: %2").arg(name, error);
    }
    if (!reason.isEmpty()) {
        showMessage(reason, true);
        return reason;
    }
    m_form->setSetup(s);
    m_table->setRowCount(0);
    m_summary->setRowCount(int(names.size() * s.kinds.size()));
    for (int row = 0; row < m_summary->rowCount(); ++row) {
        m_summary->setItem(row, 0, cell(names.at(row / s.kinds.size()), Qt::AlignLeft | Qt::AlignVCenter));
        m_summary->setItem(row, 1, kindCell(s.kinds.at(row % s.kinds.size())));
        clearSummary(m_summary, row, 2);
    }
    fitRows(m_summary, m_summary->rowCount());
    showMessage(tr("Writing %1").arg(m_file.fileName()), false);
    m_campaign->start(s, open, ReceiverModel::monotonicMs());
    return QString();
}

void JointCampaignView::sendRestart(int index, RestartKind kind)
{
    if (!m_restart || !m_restart(index, kind)) {
        m_campaign->stop(tr("Campaign stopped: no port is open on %1.").arg(m_campaign->name(index)));
        return;
    }
    // The worker writes the command as soon as it takes the queued call.
    m_campaign->restartWritten(index, ReceiverModel::monotonicMs(), QDateTime::currentDateTimeUtc());
}

void JointCampaignView::addRow(int index)
{
    m_table->insertRow(index);
    const CampaignCycle &first = m_campaign->run(0)->cycles().at(index);
    m_table->setItem(index, 0, cell(QString::number(first.number)));
    m_table->setItem(index, 1, kindCell(first.kind));
    const int kinds = int(m_campaign->run(0)->setup().kinds.size());
    for (int i = 0; i < m_campaign->receiverCount(); ++i) {
        const CampaignCycle &c = m_campaign->run(i)->cycles().at(index);
        const int column = 2 + i * ColumnsPerReceiver;
        m_table->setItem(index, column, cell(c.failed() ? tr("timeout") : number(c.ttffMs / 1000.0, 2)));
        if (!c.failed()) {
            m_table->setItem(index, column + 1, cell(QString::number(c.satellitesUsed)));
            m_table->setItem(index, column + 2, cell(number(c.topFourCnr, 1)));
            m_table->setItem(index, column + 3, cell(number(c.horizontalErrorM, 2)));
        }
        const int kindRow = int(m_campaign->run(i)->setup().kinds.indexOf(c.kind));
        showSummary(m_summary, i * kinds + kindRow, 2, m_campaign->run(i)->summary(c.kind));
    }
    m_table->scrollToBottom();
    if (!m_file.record(JointCampaignCsv::cycleRow(*m_campaign, index), JointCampaignCsv::summary(*m_campaign)))
        showMessage(tr("Cannot write %1: %2").arg(m_file.fileName(), m_file.errorString()), true);
}

void JointCampaignView::showState()
{
    const CampaignRun::State state = m_campaign->state();
    const bool running = m_campaign->isRunning();
    const bool paused = state == CampaignRun::State::Paused || m_campaign->pausePending();
    showControls(m_form, m_startButton, m_pauseButton, m_stopButton, running, paused);
    if (running && !m_tickTimer->isActive())
        m_tickTimer->start();
    else if (!running)
        m_tickTimer->stop();

    const int done = m_campaign->cyclesDone();
    const int total = m_campaign->totalCycles();
    switch (state) {
    case CampaignRun::State::Measuring:
        m_progress->setText(tr("Cycle %1 of %2, waiting for the first fixes%3")
                                .arg(done + 1).arg(total).arg(paused ? tr(", pausing after it") : QString()));
        break;
    case CampaignRun::State::Settling:
        m_progress->setText(tr("Settling before cycle %1 of %2").arg(done + 1).arg(total));
        break;
    case CampaignRun::State::Paused:
        m_progress->setText(tr("Paused after cycle %1 of %2").arg(done).arg(total));
        break;
    default:
        m_progress->setText(done > 0 ? tr("%1 cycles done").arg(done) : QString());
        break;
    }
    if (state == CampaignRun::State::Finished && m_file.isOpen()) {
        showMessage(tr("Finished: %1 cycles written to %2").arg(done).arg(m_file.fileName()), false);
        m_file.close();
    } else if (state == CampaignRun::State::Stopped && m_file.isOpen()) {
        showMessage(tr("%1 %2 finished cycles kept in %3").arg(m_campaign->message()).arg(done).arg(m_file.fileName()),
                    true);
        m_file.close();
    }
}

QString JointCampaignView::messageText() const
{
    return m_message->text();
}

void JointCampaignView::showMessage(const QString &text, bool problem)
{
    CampaignTable::showMessage(m_message, text, problem);
}
