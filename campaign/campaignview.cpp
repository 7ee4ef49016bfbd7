#include "campaign/campaignview.h"

#include "campaign/campaigncharts.h"
#include "campaign/campaignsetupform.h"
#include "campaign/campaigntable.h"
#include "receiver/receivermodel.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Five times a second: the elapsed seconds count visibly and the settle
// time and timeout are kept to a fifth of a second, while the labels cost
// the window half of what ten repaints a second would (bench_campaign).
constexpr int TickMs = 200;

// "45 s", "3 min 20 s", "1 h 05 min".
QString duration(qint64 ms)
{
    const qint64 s = (ms + 500) / 1000;
    if (s < 60)
        return QObject::tr("%1 s").arg(s);
    if (s < 3600)
        return QObject::tr("%1 min %2 s").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    return QObject::tr("%1 h %2 min").arg(s / 3600).arg(s / 60 % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

using namespace CampaignTable;

CampaignView::CampaignView(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("TTFF Campaign"));
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
    resize(1280, 820);

    m_run = new CampaignRun(this);
    m_tickTimer = new QTimer(this);
    m_tickTimer->setInterval(TickMs);
    connect(m_tickTimer, &QTimer::timeout, this, &CampaignView::tick);
    connect(m_run, &CampaignRun::cycleFinished, this, &CampaignView::addCycle);
    connect(m_run, &CampaignRun::stateChanged, this, &CampaignView::showState);

    auto *layout = new QVBoxLayout(this);
    m_form = new CampaignSetupForm(this);
    layout->addWidget(m_form);
    layout->addWidget(buildControls());
    layout->addWidget(buildResults(), 1);
    setSetup(CampaignSetup());
    m_cycleChart->setKinds(CampaignSetup().kinds);
    m_boxChart->setKinds(CampaignSetup().kinds);
    showState(CampaignRun::State::Idle);
}

QWidget *CampaignView::buildControls()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_startButton = new QPushButton(tr("Start"), box);
    m_pauseButton = new QPushButton(tr("Pause"), box);
    m_stopButton = new QPushButton(tr("Stop"), box);
    m_progress = new QProgressBar(box);
    m_progress->setFormat(tr("%v of %m cycles"));
    m_cycleLabel = new QLabel(box);
    m_remainingLabel = new QLabel(box);
    m_message = new QLabel(box);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bigger = m_cycleLabel->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.15);
    m_cycleLabel->setFont(bigger);
    // Fixed sizes: the texts change ten times a second, and a label that
    // may change size has the whole window laid out again for each.
    m_cycleLabel->setFixedSize(m_cycleLabel->fontMetrics().horizontalAdvance(
                                   QStringLiteral("Cycle 000 of 000, WARM: 000.0 s, pausing after it")),
                               m_cycleLabel->sizeHint().height());
    m_remainingLabel->setFixedSize(m_remainingLabel->fontMetrics().horizontalAdvance(
                                       QStringLiteral("Time left: known after the first cycle")),
                                   m_remainingLabel->sizeHint().height());
    grid->addWidget(m_startButton, 0, 0);
    grid->addWidget(m_pauseButton, 0, 1);
    grid->addWidget(m_stopButton, 0, 2);
    grid->addWidget(m_progress, 0, 3);
    grid->addWidget(m_cycleLabel, 0, 4);
    grid->addWidget(m_remainingLabel, 0, 5);
    grid->addWidget(m_message, 1, 0, 1, 6);
    grid->setColumnStretch(3, 1);
    connect(m_startButton, &QPushButton::clicked, this, &CampaignView::start);
    connect(m_pauseButton, &QPushButton::clicked, this, &CampaignView::pauseOrResume);
    connect(m_stopButton, &QPushButton::clicked, this, [this] { m_run->stop(tr("Stopped.")); });
    return box;
}

QWidget *CampaignView::buildResults()
{
    auto *split = new QSplitter(Qt::Horizontal, this);
    m_table = table({tr("#"), tr("Kind"), tr("Start (UTC)"), tr("TTFF (s)"), tr("Used"), tr("Top-4 CNR"),
                     tr("Latitude"), tr("Longitude"), tr("Altitude (m)"), tr("H. error (m)")},
                    split);
    fitColumns(m_table, {QStringLiteral("000"), QStringLiteral("WARM"), QStringLiteral("00:00:00"),
                         QStringLiteral("timeout"), QString(), QStringLiteral("00.0"),
                         QStringLiteral("-00.0000000"), QStringLiteral("-000.0000000")});

    auto *right = new QWidget(split);
    auto *column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);
    m_summary = table({tr("Kind"), tr("Cycles"), tr("Failed"), tr("Min (s)"), tr("Median (s)"), tr("Mean (s)"),
                       tr("P95 (s)"), tr("Max (s)"), tr("Std dev (s)")},
                      right);
    // Three rows at most four: fitting them to their contents as they change is cheap.
    m_summary->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_summary->horizontalHeader()->setStretchLastSection(true);
    m_summary->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_summary->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitRows(m_summary, 2);
    m_cycleChart = new CycleChart(right);
    m_boxChart = new TtffBoxChart(right);
    column->addWidget(m_summary);
    column->addWidget(m_cycleChart, 3);
    column->addWidget(m_boxChart, 2);
    // The table as wide as its columns, never narrower (altitude and error
    // in sight without scrolling); the rest for the summary and charts.
    int tableWidth = m_table->verticalScrollBar()->sizeHint().width() + 2 * m_table->frameWidth();
    for (int c = 0; c < m_table->columnCount(); ++c)
        tableWidth += m_table->columnWidth(c);
    m_table->setMinimumWidth(tableWidth);
    split->setChildrenCollapsible(false);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({tableWidth, tableWidth});
    return split;
}

CampaignSetup CampaignView::setup() const
{
    return m_form->setup();
}

void CampaignView::setSetup(const CampaignSetup &s)
{
    m_form->setSetup(s);
}

void CampaignView::start()
{
    startCampaign(setup(), m_form->fileName());
}

QString CampaignView::startCampaign(const CampaignSetup &s, const QString &fileName)
{
    const bool open = m_portOpen && m_portOpen();
    QString reason = m_run->refusal(s, open, m_noCorrections ? m_noCorrections() : QString());
    const QString name = !fileName.isEmpty() ? fileName
        : CampaignCsv::defaultFileName(m_logFileName ? m_logFileName() : QString(), QDateTime::currentDateTime());
    if (reason.isEmpty()) {
        const QString error = m_file.open(name);
        if (!error.isEmpty())
            reason = tr("Cannot write %1: %2").arg(name, error);
    }
    if (!reason.isEmpty()) {
        showMessage(reason, true);
        return reason;
    }
    setSetup(s);
    m_table->setRowCount(0);
    m_summary->setRowCount(int(s.kinds.size()));
    for (int row = 0; row < s.kinds.size(); ++row) {
        m_summary->setItem(row, 0, kindCell(s.kinds.at(row)));
        clearSummary(m_summary, row, 1);
    }
    fitRows(m_summary, int(s.kinds.size()));
    m_cycleChart->setKinds(s.kinds);
    m_boxChart->setKinds(s.kinds);
    showMessage(tr("Writing %1").arg(m_file.fileName()), false);
    m_run->start(s, open, ReceiverModel::monotonicMs());
    return QString();
}

QString CampaignView::messageText() const
{
    return m_message->text();
}

void CampaignView::portLost(const QString &message)
{
    m_run->portLost(message);
}

void CampaignView::portStatus(bool open)
{
    m_run->portStatus(open);
}

void CampaignView::pauseOrResume()
{
    if (m_run->state() == CampaignRun::State::Paused || m_run->pausePending())
        m_run->resume(ReceiverModel::monotonicMs());
    else
        m_run->pause();
    showState(m_run->state());
}

void CampaignView::tick()
{
    const qint64 now = ReceiverModel::monotonicMs();
    m_run->tick(now);
    showProgress(now);
}

void CampaignView::addCycle(const CampaignCycle &c)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setItem(row, 0, cell(QString::number(c.number)));
    m_table->setItem(row, 1, kindCell(c.kind));
    m_table->setItem(row, 2, cell(c.startUtc.toUTC().toString(QStringLiteral("hh:mm:ss")),
                                  Qt::AlignLeft | Qt::AlignVCenter));
    m_table->setItem(row, 3, cell(c.failed() ? tr("timeout") : number(c.ttffMs / 1000.0, 2)));
    if (!c.failed()) {
        m_table->setItem(row, 4, cell(QString::number(c.satellitesUsed)));
        m_table->setItem(row, 5, cell(number(c.topFourCnr, 1)));
        if (c.hasPosition) {
            m_table->setItem(row, 6, cell(number(c.latitude, 7)));
            m_table->setItem(row, 7, cell(number(c.longitude, 7)));
            m_table->setItem(row, 8, cell(number(c.altitude, 1)));
        }
        m_table->setItem(row, 9, cell(number(c.horizontalErrorM, 2)));
    }
    m_table->scrollToBottom();

    const CampaignSetup &s = m_run->setup();
    m_cycleChart->addCycle(c);
    const int kindRow = int(s.kinds.indexOf(c.kind));
    const TtffSummary summary = m_run->summary(c.kind);
    showSummary(m_summary, kindRow, 1, summary);
    QVector<double> seconds;
    for (const CampaignCycle &done : m_run->cycles()) {
        if (done.kind == c.kind && !done.failed())
            seconds.append(done.ttffMs / 1000.0);
    }
    m_boxChart->setTtffs(kindRow, seconds);

    if (!m_file.record(c, *m_run))
        showMessage(tr("Cannot write %1: %2").arg(m_file.fileName(), m_file.errorString()), true);
}

void CampaignView::showState(CampaignRun::State state)
{
    const bool running = m_run->isRunning();
    const bool paused = state == CampaignRun::State::Paused || m_run->pausePending();
    showControls(m_form, m_startButton, m_pauseButton, m_stopButton, running, paused);
    if (running)
        m_tickTimer->start();
    else
        m_tickTimer->stop();

    const int done = int(m_run->cycles().size());
    if (state == CampaignRun::State::Finished)
        showMessage(tr("Finished: %1 cycles written to %2").arg(done).arg(m_file.fileName()), false);
    else if (state == CampaignRun::State::Stopped)
        showMessage(tr("%1 %2 finished cycles kept in %3").arg(m_run->message()).arg(done).arg(m_file.fileName()),
                    true);
    if (state == CampaignRun::State::Finished || state == CampaignRun::State::Stopped)
        m_file.close();
    showProgress(ReceiverModel::monotonicMs());
}

void CampaignView::showProgress(qint64 nowMs)
{
    const int done = int(m_run->cycles().size());
    const int total = m_run->totalCycles();
    m_progress->setRange(0, qMax(total, 1));
    m_progress->setValue(done);
    m_progress->setTextVisible(total > 0);
    const qint64 elapsed = m_run->elapsedMs(nowMs);
    switch (m_run->state()) {
    case CampaignRun::State::Measuring:
        m_cycleLabel->setText(tr("Cycle %1 of %2, %3: %4 s")
                                  .arg(done + 1).arg(total)
                                  .arg(restartKindName(m_run->kindAt(done)))
                                  .arg(number(elapsed / 1000.0, 1))
                              + (m_run->pausePending() ? tr(", pausing after it") : QString()));
        break;
    case CampaignRun::State::Settling:
        m_cycleLabel->setText(tr("Settling before cycle %1").arg(done + 1));
        break;
    case CampaignRun::State::Paused:
        m_cycleLabel->setText(tr("Paused after cycle %1").arg(done));
        break;
    default:
        m_cycleLabel->setText(done > 0 ? tr("%1 cycles done").arg(done) : QString());
        break;
    }
    const qint64 left = m_run->remainingMs(nowMs);
    if (!m_run->isRunning())
        m_remainingLabel->clear();
    else if (left < 0)
        m_remainingLabel->setText(tr("Time left: known after the first cycle"));
    else
        m_remainingLabel->setText(tr("About %1 left").arg(duration(left)));
}

void CampaignView::showMessage(const QString &text, bool problem)
{
    CampaignTable::showMessage(m_message, text, problem);
}
