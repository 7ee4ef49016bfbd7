#include "campaign/campaignview.h"

#include "campaign/campaigncharts.h"
#include "receiver/receivermodel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QPushButton>
#include <QSpinBox>
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

const RestartKind AllKinds[] = {RestartKind::Hot, RestartKind::Warm, RestartKind::Cold, RestartKind::Full};

QString number(double value, int decimals)
{
    return std::isnan(value) ? QStringLiteral("-") : QString::number(value, 'f', decimals);
}

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

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(int(alignment));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QTableWidgetItem *kindCell(RestartKind kind)
{
    QTableWidgetItem *item = cell(restartKindName(kind), Qt::AlignLeft | Qt::AlignVCenter);
    item->setForeground(campaignKindColour(kind));
    QFont bold = item->font();
    bold.setBold(true);
    item->setFont(bold);
    return item;
}

QTableWidget *table(const QStringList &titles, QWidget *parent)
{
    auto *t = new QTableWidget(0, int(titles.size()), parent);
    t->setHorizontalHeaderLabels(titles);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->setAlternatingRowColors(true);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    return t;
}

// Columns as wide as their title or `sample` text, set once, so a new row
// never makes the table measure the others.
void fitColumns(QTableWidget *t, const QStringList &samples)
{
    const QFontMetrics metrics(t->font());
    for (int c = 0; c < t->columnCount(); ++c) {
        const QString title = t->horizontalHeaderItem(c)->text();
        const int width = qMax(metrics.horizontalAdvance(title), metrics.horizontalAdvance(samples.value(c)));
        t->setColumnWidth(c, width + 18);
    }
    t->horizontalHeader()->setStretchLastSection(true);
}

// A table just tall enough for `rows` rows.
void fitRows(QTableWidget *t, int rows)
{
    t->setFixedHeight(t->horizontalHeader()->sizeHint().height()
                      + t->verticalHeader()->defaultSectionSize() * rows + 2 * t->frameWidth());
}

} // namespace

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
    layout->addWidget(buildSetup());
    layout->addWidget(buildControls());
    layout->addWidget(buildResults(), 1);
    setSetup(CampaignSetup());
    m_cycleChart->setKinds(CampaignSetup().kinds);
    m_boxChart->setKinds(CampaignSetup().kinds);
    showState(CampaignRun::State::Idle);
}

QWidget *CampaignView::buildSetup()
{
    m_setupBox = new QGroupBox(tr("Set-up"), this);
    auto *grid = new QGridLayout(m_setupBox);
    auto *kinds = new QHBoxLayout;
    for (RestartKind kind : AllKinds) {
        m_kindBoxes.append(new QCheckBox(restartKindName(kind), m_setupBox));
        kinds->addWidget(m_kindBoxes.last());
    }
    m_cycles = new QSpinBox(m_setupBox);
    m_cycles->setRange(1, 1000);
    m_rule = new QComboBox(m_setupBox);
    for (FixRule rule : {FixRule::GgaOrRmc, FixRule::Gga, FixRule::Rmc, FixRule::Gsa3d})
        m_rule->addItem(fixRuleName(rule), int(rule));
    m_timeout = new QSpinBox(m_setupBox);
    m_timeout->setRange(1, 3600);
    m_timeout->setSuffix(tr(" s"));
    m_settle = new QDoubleSpinBox(m_setupBox);
    m_settle->setRange(0, 600);
    m_settle->setDecimals(1);
    m_settle->setSuffix(tr(" s"));
    m_fileEdit = new QLineEdit(m_setupBox);
    m_fileEdit->setPlaceholderText(tr("next to the NMEA log, with its time stamp"));

    grid->addWidget(new QLabel(tr("Restarts"), m_setupBox), 0, 0);
    grid->addLayout(kinds, 0, 1);
    grid->addWidget(new QLabel(tr("Cycles per kind"), m_setupBox), 0, 2);
    grid->addWidget(m_cycles, 0, 3);
    grid->addWidget(new QLabel(tr("First fix"), m_setupBox), 0, 4);
    grid->addWidget(m_rule, 0, 5);
    grid->addWidget(new QLabel(tr("Timeout"), m_setupBox), 1, 0);
    grid->addWidget(m_timeout, 1, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(tr("Settle"), m_setupBox), 1, 2);
    grid->addWidget(m_settle, 1, 3);
    grid->addWidget(new QLabel(tr("CSV file"), m_setupBox), 1, 4);
    grid->addWidget(m_fileEdit, 1, 5);

    m_reference = new QCheckBox(tr("Reference position"), m_setupBox);
    m_latitude = new QDoubleSpinBox(m_setupBox);
    m_longitude = new QDoubleSpinBox(m_setupBox);
    m_height = new QDoubleSpinBox(m_setupBox);
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
    return m_setupBox;
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
    // The table as wide as its columns, the rest for the summary and charts.
    int tableWidth = m_table->verticalScrollBar()->sizeHint().width() + 2 * m_table->frameWidth();
    for (int c = 0; c < m_table->columnCount(); ++c)
        tableWidth += m_table->columnWidth(c);
    split->setSizes({tableWidth, tableWidth});
    return split;
}

CampaignSetup CampaignView::setup() const
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

void CampaignView::setSetup(const CampaignSetup &s)
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

void CampaignView::start()
{
    startCampaign(setup(), m_fileEdit->text().trimmed());
}

QString CampaignView::startCampaign(const CampaignSetup &s, const QString &fileName)
{
    const bool open = m_portOpen && m_portOpen();
    QString reason = m_run->refusal(s, open);
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
        for (int c = 1; c < m_summary->columnCount(); ++c)
            m_summary->setItem(row, c, cell(c < 3 ? QStringLiteral("0") : QStringLiteral("-")));
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
    m_run->stop(tr("Campaign stopped, the receiver's port was lost: %1.").arg(message));
}

void CampaignView::portStatus(bool open)
{
    if (!open)
        m_run->stop(tr("Campaign stopped: the port was closed."));
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
    m_summary->item(kindRow, 1)->setText(QString::number(summary.count));
    m_summary->item(kindRow, 2)->setText(QString::number(summary.failures));
    const double values[] = {summary.min, summary.median, summary.mean, summary.p95, summary.max,
                             summary.standardDeviation};
    for (int i = 0; i < 6; ++i)
        m_summary->item(kindRow, 3 + i)->setText(number(values[i], 2));
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
    m_setupBox->setEnabled(!running);
    m_startButton->setEnabled(!running);
    m_pauseButton->setEnabled(running);
    m_stopButton->setEnabled(running);
    const bool paused = state == CampaignRun::State::Paused || m_run->pausePending();
    m_pauseButton->setText(paused ? tr("Resume") : tr("Pause"));
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
    m_message->setText(text);
    m_message->setStyleSheet(problem ? QStringLiteral("color: #b00020; font-weight: bold;") : QString());
}
