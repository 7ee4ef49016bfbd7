#include "history/signalhistoryview.h"

#include "charts/chartexport.h"
#include "charts/chartfeed.h"
#include "charts/chartlook.h"
#include "charts/chartvalues.h"
#include "charts/refreshpacer.h"
#include "charts/timechart.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int RefreshMs = 1000;
constexpr double Everything = std::numeric_limits<double>::max();

} // namespace

SignalHistoryView::SignalHistoryView(SignalHistory *history, QWidget *parent)
    : QWidget(parent), m_history(history), m_cnr(new TimeChart(this)), m_satellites(new TimeChart(this)),
      m_window(new QComboBox(this))
{
    m_cnr->setValueTitle(tr("Top-4 CNR (dB-Hz)"));
    m_satellites->setValueTitle(tr("Satellites"));
    m_satellites->addSeries(tr("In view"), ChartLook::seriesColour(0));
    m_satellites->addSeries(tr("Used"), ChartLook::seriesColour(1));

    static const struct { const char *text; int seconds; } windows[] = {
        {QT_TR_NOOP("1 min"), 60}, {QT_TR_NOOP("5 min"), 300}, {QT_TR_NOOP("15 min"), 900},
        {QT_TR_NOOP("60 min"), 3600}, {QT_TR_NOOP("All"), 0}};
    for (const auto &w : windows)
        m_window->addItem(tr(w.text), w.seconds);
    m_window->setCurrentIndex(1);
    connect(m_window, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { setWindowSeconds(m_window->currentData().toDouble()); });

    auto *clear = new QPushButton(tr("Clear"), this);
    clear->setToolTip(tr("Forget the history so far"));
    connect(clear, &QPushButton::clicked, history, &SignalHistory::clear);

    auto *exportButton = new QToolButton(this);
    exportButton->setText(tr("Export"));
    exportButton->setPopupMode(QToolButton::InstantPopup);
    auto *exportMenu = new QMenu(exportButton);
    exportMenu->addAction(tr("CNR chart as PNG..."), this, [this] {
        askToSaveChartImage(this, m_cnr, tr("CNR history"), QStringLiteral("cnr-history.png"));
    });
    exportMenu->addAction(tr("CNR data as CSV..."), this, [this] {
        askToSaveChartData(this, cnrCsv(), tr("CNR history"), QStringLiteral("cnr-history.csv"));
    });
    exportMenu->addAction(tr("Satellites chart as PNG..."), this, [this] {
        askToSaveChartImage(this, m_satellites, tr("satellite history"), QStringLiteral("satellite-history.png"));
    });
    exportMenu->addAction(tr("Satellites data as CSV..."), this, [this] {
        askToSaveChartData(this, satelliteCsv(), tr("satellite history"), QStringLiteral("satellite-history.csv"));
    });
    exportButton->setMenu(exportMenu);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(tr("Time window"), this));
    bar->addWidget(m_window);
    bar->addWidget(clear);
    bar->addWidget(exportButton);
    auto *hint = new QLabel(tr("Wheel: zoom, drag: pan, double-click: follow"), this);
    hint->setWordWrap(true);   // a narrow dock wraps it rather than widening
    hint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar->addWidget(hint, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_cnr, 3);
    layout->addWidget(m_satellites, 2);

    m_pacer = new RefreshPacer(this, [this] { refresh(); }, RefreshMs);
    // Small enough for a dock beside the window's own layout.
    m_cnr->setMinimumSize(240, 160);
    m_satellites->setMinimumSize(240, 120);
    for (TimeChart *chart : {m_cnr, m_satellites}) {
        ChartLook::paintLive(chart);
        chart->setWindow(m_window->currentData().toDouble());
        m_pacer->followChart(chart);
    }
    connect(history, &SignalHistory::changed, m_pacer, &RefreshPacer::request);
}

void SignalHistoryView::setWindowSeconds(double seconds)
{
    const int index = m_window->findData(int(seconds));
    if (index >= 0 && index != m_window->currentIndex())
        m_window->setCurrentIndex(index);   // comes back here
    m_cnr->setWindow(seconds);
    m_satellites->setWindow(seconds);
    m_pacer->request();
}

void SignalHistoryView::layOutCnrSeries()
{
    const QVector<CnrSeriesKey> keys = m_history->cnrSeries();
    if (keys == m_cnrKeys)
        return;
    m_cnrKeys = keys;
    m_cnr->removeAllSeries();
    for (int i = 0; i < keys.size(); ++i) {
        const CnrSeriesKey &key = keys.at(i);
        // The bands of a constellation after its first draw darker and
        // dashed, in the constellation's colour.
        const bool laterBand = i > 0 && keys.at(i - 1).constellation == key.constellation;
        const QColor colour = ChartLook::constellationColour(key.constellation);
        m_cnr->addSeries(SignalHistory::seriesName(key), laterBand ? colour.darker(140) : colour,
                         laterBand ? Qt::DashLine : Qt::SolidLine);
    }
}

void SignalHistoryView::refresh()
{
    layOutCnrSeries();
    const double first = m_history->firstTime();
    const double last = m_history->lastTime();
    feedTimeChart(m_cnr, first, last,
                  [this](int s, double from, double to) { return m_history->cnr(m_cnrKeys.at(s), from, to); });
    feedTimeChart(m_satellites, first, last, [this](int s, double from, double to) {
        return s == 0 ? m_history->satellitesInView(from, to) : m_history->satellitesUsed(from, to);
    });
    // Counts read best from zero.
    double most = 1;
    for (const QPointF &p : m_satellites->samples(0))
        most = std::max(most, p.y());
    m_satellites->setAxisScale(QwtPlot::yLeft, 0, std::ceil(most * 1.1));
}

QByteArray SignalHistoryView::cnrCsv() const
{
    QList<CsvSeries> series;
    for (const CnrSeriesKey &key : m_history->cnrSeries())
        series.append({SignalHistory::seriesName(key), m_history->cnr(key, -Everything, Everything)});
    return chartCsv(series, tr("time (UTC)"), tr("top-4 CNR (dB-Hz)"), true);
}

QByteArray SignalHistoryView::satelliteCsv() const
{
    return chartCsv({{tr("in view"), m_history->satellitesInView(-Everything, Everything)},
                     {tr("used"), m_history->satellitesUsed(-Everything, Everything)}},
                    tr("time (UTC)"), tr("satellites"), true);
}
