#include "compare/compareview.h"

#include "charts/chartexport.h"
#include "charts/chartfeed.h"
#include "charts/chartlook.h"
#include "charts/labelscaledraw.h"
#include "charts/refreshpacer.h"
#include "charts/timechart.h"
#include "compare/receivercomparison.h"
#include "history/signalhistory.h"
#include "receiver/receivermodel.h"

#include <qwt_column_symbol.h>
#include <qwt_legend.h>
#include <qwt_plot.h>
#include <qwt_plot_barchart.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_multi_barchart.h>
#include <qwt_scale_draw.h>
#include <qwt_text.h>

#include <QFontMetrics>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int RefreshMs = 1000;
const QColor ProblemColour(192, 0, 0);

QString decibels(double value)
{
    return std::isfinite(value) ? QString::number(value, 'f', 1) : QStringLiteral("-");
}

QString metres(double value)
{
    return std::isfinite(value) ? QStringLiteral("%1 m").arg(value, 0, 'f', value < 10 ? 2 : 1)
                                : QStringLiteral("-");
}

// Bars coloured by the satellite's constellation, as the window's bar chart.
class DifferenceBarChart : public QwtPlotBarChart
{
public:
    QVector<QColor> colours;

    QwtColumnSymbol *specialSymbol(int index, const QPointF &) const override
    {
        auto *symbol = new QwtColumnSymbol(QwtColumnSymbol::Box);
        symbol->setLineWidth(0);
        symbol->setPalette(QPalette(colours.value(index, Qt::gray)));
        return symbol;
    }
};

} // namespace

// The CNR difference of each signal both receivers track, a bar per signal
// named under it, lowest satellites at the left.
class SignalDifferenceBars : public QwtPlot
{
public:
    explicit SignalDifferenceBars(QWidget *parent)
        : QwtPlot(parent), m_chart(new DifferenceBarChart)
    {
        ChartLook::apply(this);
        const QwtText title = ChartLook::axisTitle(QObject::tr("under test \u2212 reference (dB)"));
        setAxisTitle(yLeft, title);
        // Tall enough for the upright title to show whole.
        setMinimumHeight(QFontMetrics(title.font()).horizontalAdvance(title.text()) + 80);
        setAxisTitle(xBottom, ChartLook::axisTitle(QObject::tr("Satellite and signal, by elevation (lowest left)")));
        m_chart->setLayoutPolicy(QwtPlotBarChart::AutoAdjustSamples);
        m_chart->setSpacing(2);
        m_chart->attach(this);
        auto *zero = new QwtPlotMarker;
        zero->setLineStyle(QwtPlotMarker::HLine);
        zero->setLinePen(QColor(60, 60, 60), 1);
        zero->setYValue(0);
        zero->attach(this);
        setDifferences({});
    }

    void setDifferences(const QVector<SignalDifference> &signalList)
    {
        QVector<QPointF> samples;
        QStringList labels;
        m_chart->colours.clear();
        for (int i = 0; i < signalList.size(); ++i) {
            const SignalDifference &d = signalList.at(i);
            samples.append(QPointF(i, d.difference()));
            labels << d.label;
            m_chart->colours.append(ChartLook::constellationColour(d.key.constellation));
        }
        m_chart->setSamples(samples);
        auto *scale = new LabelScaleDraw(labels);   // the plot owns it
        scale->setLabelRotation(-90);
        scale->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setAxisScaleDraw(xBottom, scale);
        setAxisScale(xBottom, -0.6, std::max(1, int(samples.size())) - 0.4, 1);
        setAxisMaxMajor(xBottom, std::max(1, int(samples.size())));
        setAxisMaxMinor(xBottom, 0);
        // Zero in the middle, so a weaker and a stronger receiver read alike.
        double largest = 3;
        for (const QPointF &p : samples)
            largest = std::max(largest, std::fabs(p.y()));
        const double edge = std::ceil(largest + 0.5);
        setAxisScale(yLeft, -edge, edge);
        replot();
    }

private:
    DifferenceBarChart *m_chart;   // owned by the plot
};

CompareView::CompareView(QWidget *parent)
    : QWidget(parent, Qt::Window), m_comparison(new ReceiverComparison(this)), m_reference(new QComboBox(this)),
      m_underTest(new QComboBox(this)), m_problem(new QLabel(this)), m_bars(new SignalDifferenceBars(this)),
      m_means(new QTableWidget(0, 3, this)), m_onlyOne(new QLabel(this)), m_distance(new TimeChart(this)),
      m_distanceFigures(new QLabel(this)), m_satellites(new QwtPlot(this)),
      m_satelliteBars(new QwtPlotMultiBarChart)
{
    setWindowTitle(tr("Compare receivers"));
    m_problem->setStyleSheet(QStringLiteral("QLabel{color:%1}").arg(ProblemColour.name()));
    m_problem->setWordWrap(true);

    m_means->setHorizontalHeaderLabels({tr("Mean"), tr("Latest"), tr("Signals")});
    m_means->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_means->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_means->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_means->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_onlyOne->setWordWrap(true);
    m_onlyOne->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_distanceFigures->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_distance->setValueTitle(tr("Distance (m)"));
    m_distance->addSeries(tr("Horizontal"), ChartLook::seriesColour(0));
    m_distance->addSeries(tr("Vertical"), ChartLook::seriesColour(1));

    ChartLook::apply(m_satellites);
    m_satellites->setAxisTitle(QwtPlot::yLeft, ChartLook::axisTitle(tr("Satellites")));
    QwtLegend *legend = ChartLook::legend();
    legend->setMaxColumns(2);
    m_satellites->insertLegend(legend, QwtPlot::TopLegend);
    m_satelliteBars->setBarTitles({QwtText(tr("Reference in view")), QwtText(tr("Reference used")),
                                   QwtText(tr("Under test in view")), QwtText(tr("Under test used"))});
    for (int i = 0; i < 4; ++i) {
        auto *symbol = new QwtColumnSymbol(QwtColumnSymbol::Box);
        symbol->setLineWidth(0);
        const QColor colour = ChartLook::seriesColour(i / 2);
        symbol->setPalette(QPalette(i % 2 == 0 ? colour.lighter(160) : colour));
        m_satelliteBars->setSymbol(i, symbol);
    }
    m_satelliteBars->setLegendIconSize(QSize(12, 12));
    m_satelliteBars->setSpacing(10);
    m_satelliteBars->attach(m_satellites);
    m_satellites->setAxisScaleDraw(QwtPlot::xBottom, new LabelScaleDraw({"GPS", "GLO", "GAL", "BDS", "QZSS"}));
    m_satellites->setAxisScale(QwtPlot::xBottom, -0.6, StatisticsConstellations - 0.4, 1);
    m_satellites->setAxisMaxMinor(QwtPlot::xBottom, 0);

    auto *reset = new QPushButton(tr("Reset"), this);
    reset->setToolTip(tr("Start the comparison anew"));
    connect(reset, &QPushButton::clicked, m_comparison, &ReceiverComparison::reset);
    auto *exportButton = new QPushButton(tr("Export..."), this);
    exportButton->setToolTip(tr("Save the compared epochs as CSV"));
    connect(exportButton, &QPushButton::clicked, this, [this] {
        askToSaveChartData(this, m_comparison->csv(), tr("comparison"), QStringLiteral("comparison.csv"));
    });
    auto *campaign = new QPushButton(tr("Campaign on both..."), this);
    campaign->setToolTip(tr("A TTFF campaign with each restart sent to both receivers at once"));
    connect(campaign, &QPushButton::clicked, this,
            [this] { emit campaignRequested(m_reference->currentIndex(), m_underTest->currentIndex()); });
    for (QComboBox *box : {m_reference, m_underTest}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        connect(box, QOverload<int>::of(&QComboBox::activated), this,
                [this] { choose(m_reference->currentIndex(), m_underTest->currentIndex()); });
    }

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(tr("Reference"), this));
    bar->addWidget(m_reference);
    bar->addSpacing(16);
    bar->addWidget(new QLabel(tr("Under test"), this));
    bar->addWidget(m_underTest);
    bar->addStretch(1);
    bar->addWidget(campaign);
    bar->addWidget(reset);
    bar->addWidget(exportButton);

    auto *meansColumn = new QVBoxLayout;
    meansColumn->addWidget(new QLabel(tr("Mean CNR difference (dB), per constellation and band"), this));
    meansColumn->addWidget(m_means, 1);
    meansColumn->addWidget(m_onlyOne);
    auto *distanceColumn = new QVBoxLayout;
    distanceColumn->addWidget(m_distance, 1);
    distanceColumn->addWidget(m_distanceFigures);
    auto *bottom = new QHBoxLayout;
    bottom->addLayout(meansColumn, 3);
    bottom->addLayout(distanceColumn, 4);
    bottom->addWidget(m_satellites, 4);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_problem);
    layout->addWidget(m_bars, 3);
    layout->addLayout(bottom, 2);
    m_bars->setMinimumSize(300, 200);
    m_distance->setMinimumSize(240, 160);
    m_satellites->setMinimumSize(380, 160);
    m_means->setMinimumWidth(370);
    resize(1200, 800);

    m_pacer = new RefreshPacer(this, [this] { refresh(); }, RefreshMs);
    m_pacer->followChart(m_distance);
    connect(m_comparison, &ReceiverComparison::changed, m_pacer, &RefreshPacer::request);
}

QwtPlot *CompareView::differenceChart() const
{
    return m_bars;
}

void CompareView::setReceivers(const QList<ComparedReceiver> &receivers)
{
    const ReceiverModel *reference = m_receivers.value(m_reference->currentIndex()).model;
    const ReceiverModel *underTest = m_receivers.value(m_underTest->currentIndex()).model;
    m_receivers = receivers;
    int chosen[2] = {-1, -1};
    for (QComboBox *box : {m_reference, m_underTest}) {
        const QSignalBlocker quiet(box);
        box->clear();
        for (const ComparedReceiver &r : receivers)
            box->addItem(r.name);
    }
    for (int i = 0; i < receivers.size(); ++i) {
        if (receivers.at(i).model && receivers.at(i).model == reference)
            chosen[0] = i;
        if (receivers.at(i).model && receivers.at(i).model == underTest)
            chosen[1] = i;
    }
    if (chosen[0] >= 0 && chosen[1] >= 0) {
        // The same two: the comparison goes on.
        m_reference->setCurrentIndex(chosen[0]);
        m_underTest->setCurrentIndex(chosen[1]);
        return;
    }
    choose(0, receivers.size() > 1 ? 1 : 0);
}

void CompareView::choose(int reference, int underTest)
{
    for (QMetaObject::Connection &feed : m_feeds)
        disconnect(feed);
    m_reference->setCurrentIndex(reference);
    m_underTest->setCurrentIndex(underTest);
    m_comparison->reset();
    const ReceiverModel *models[2] = {m_receivers.value(reference).model, m_receivers.value(underTest).model};
    if (models[0] && models[1] && models[0] != models[1]) {
        m_feeds[0] = connect(models[0], &ReceiverModel::epochFinished, m_comparison,
                             &ReceiverComparison::addReference);
        m_feeds[1] = connect(models[1], &ReceiverModel::epochFinished, m_comparison,
                             &ReceiverComparison::addUnderTest);
    }
    refresh();
}

void CompareView::refresh()
{
    const ReceiverComparison *c = m_comparison;
    const bool two = m_receivers.size() > 1 && m_reference->currentIndex() != m_underTest->currentIndex();
    QString problem = c->problem();
    if (!two)
        problem = tr("Open a second receiver (\"Tool\", \"New window\") and choose two different ones.");
    else if (problem.isEmpty() && c->pairCount() == 0)
        problem = tr("Waiting for epochs with the same UTC time from both receivers");
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());

    m_bars->setDifferences(c->latestSignals());
    showMeans();

    const QStringList onlyReference = c->onlyIn(CompareSide::Reference);
    const QStringList onlyUnderTest = c->onlyIn(CompareSide::UnderTest);
    m_onlyOne->setText(tr("Only the reference tracks: %1\nOnly the receiver under test tracks: %2")
                           .arg(onlyReference.isEmpty() ? tr("none") : onlyReference.join(QLatin1Char(' ')),
                                onlyUnderTest.isEmpty() ? tr("none") : onlyUnderTest.join(QLatin1Char(' '))));

    const ReceiverComparison::Distance d = c->distance();
    m_distanceFigures->setText(tr("Horizontal: mean %1, 95 % %2    Vertical: mean %3, 95 % %4    (%5 fixes)")
                                   .arg(metres(d.horizontalMean), metres(d.horizontalP95), metres(d.verticalMean),
                                        metres(d.verticalP95))
                                   .arg(d.count)
                               + QLatin1Char('\n')
                               + tr("RTK fixed: reference %1 %, under test %2 % of the paired epochs")
                                     .arg(100 * c->rtkFixedRatio(CompareSide::Reference), 0, 'f', 1)
                                     .arg(100 * c->rtkFixedRatio(CompareSide::UnderTest), 0, 'f', 1));
    const QVector<double> &times = c->times();
    if (times.isEmpty()) {
        m_distance->setSamples(0, {});
        m_distance->setSamples(1, {});
    } else {
        feedTimeChart(m_distance, times.first(), times.last(), [c](int series, double from, double to) {
            return series == 0 ? c->horizontalSeries(from, to) : c->verticalSeries(from, to);
        });
    }

    QVector<QwtSetSample> counts;
    if (!c->epochs().isEmpty()) {
        const ComparedEpoch &latest = c->epochs().last();
        for (int k = 0; k < StatisticsConstellations; ++k) {
            counts.append(QwtSetSample(k, {double(latest.inView[0][k]), double(latest.used[0][k]),
                                           double(latest.inView[1][k]), double(latest.used[1][k])}));
        }
    }
    m_satelliteBars->setSamples(counts);
    m_satellites->replot();
}

void CompareView::showMeans()
{
    const QVector<CnrSeriesKey> rows = m_comparison->differenceSeries();
    m_means->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const CnrSeriesKey &key = rows.at(r);
        const QStringList cells{decibels(m_comparison->meanDifference(key.constellation, key.band)),
                                decibels(m_comparison->latestMeanDifference(key.constellation, key.band)),
                                QString::number(m_comparison->differenceCount(key.constellation, key.band))};
        m_means->setVerticalHeaderItem(r, new QTableWidgetItem(SignalHistory::seriesName(key)));
        for (int col = 0; col < cells.size(); ++col) {
            QTableWidgetItem *item = m_means->item(r, col);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                m_means->setItem(r, col, item);
            }
            item->setText(cells.at(col));
        }
    }
}

QString CompareView::meansText() const
{
    QStringList lines;
    for (int r = 0; r < m_means->rowCount(); ++r) {
        QStringList cells{m_means->verticalHeaderItem(r)->text()};
        for (int col = 0; col < m_means->columnCount(); ++col)
            cells << m_means->item(r, col)->text();
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

QString CompareView::distanceText() const
{
    return m_distanceFigures->text();
}

QString CompareView::onlyOneText() const
{
    return m_onlyOne->text();
}

QString CompareView::problemText() const
{
    return m_problem->isVisibleTo(this) ? m_problem->text() : QString();
}
