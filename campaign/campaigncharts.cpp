#include "campaign/campaigncharts.h"

#include "charts/chartlook.h"
#include "charts/labelscaledraw.h"

#include <qwt_legend.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_tradingcurve.h>
#include <qwt_scale_draw.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

#include <algorithm>
#include <cmath>

namespace {

// Half the width of a box, in kinds (the boxes stand one apart).
constexpr double BoxHalfWidth = 0.3;
const QColor TimeoutColour(150, 150, 150);
const QColor MedianColour(30, 30, 30);

void setUpPlot(QwtPlot *plot, const QString &xTitle)
{
    ChartLook::apply(plot);
    plot->setAxisTitle(QwtPlot::xBottom, ChartLook::axisTitle(xTitle));
    plot->setAxisTitle(QwtPlot::yLeft, ChartLook::axisTitle(QObject::tr("TTFF (s)")));
    plot->setAutoReplot(false);
    // Qwt's plots refuse to shrink below their size hint; these share the
    // window with two tables.
    plot->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    plot->setMinimumSize(240, 180);
}

QwtPlotCurve *pointCurve(QwtPlot *plot, const QString &name, const QColor &colour, QwtSymbol::Style style)
{
    auto *curve = new QwtPlotCurve(name);
    curve->setStyle(QwtPlotCurve::NoCurve);
    curve->setSymbol(new QwtSymbol(style, QBrush(colour), QPen(colour.darker(130), 1), QSize(8, 8)));
    curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    curve->setLegendAttribute(QwtPlotCurve::LegendShowSymbol);
    curve->attach(plot);   // the plot owns its items
    return curve;
}

} // namespace

QColor campaignKindColour(RestartKind kind)
{
    // Hot red, warm green, cold blue, full cold purple, RTK brown.
    static const int series[] = {1, 2, 0, 3, 4};
    return ChartLook::seriesColour(series[int(kind)]);
}

CycleChart::CycleChart(QWidget *parent) : QwtPlot(parent)
{
    setUpPlot(this, tr("Cycle"));
    auto *legend = new QwtLegend;
    legend->setFont(ChartLook::font());
    // The program's style sheet frames scroll areas, the legend included,
    // which then no longer fits its line.
    legend->setStyleSheet(QStringLiteral("QAbstractScrollArea { border: none; background: white; }"));
    insertLegend(legend, TopLegend);   // the plot owns it
}

void CycleChart::setKinds(const QVector<RestartKind> &kinds)
{
    detachItems(QwtPlotItem::Rtti_PlotCurve, true);
    detachItems(QwtPlotItem::Rtti_PlotMarker, true);
    m_series.clear();
    for (RestartKind kind : kinds)
        m_series.append({kind, {}, pointCurve(this, restartKindName(kind), campaignKindColour(kind), QwtSymbol::Ellipse)});
    // Until the first fix: a scale that says "seconds", not Qwt's 0 to 1000.
    setAxisScale(xBottom, 0, 1, 1);
    setAxisScale(yLeft, 0, 10);
    replot();
}

void CycleChart::addCycle(const CampaignCycle &cycle)
{
    if (cycle.failed()) {
        auto *marker = new QwtPlotMarker;
        marker->setLineStyle(QwtPlotMarker::VLine);
        marker->setLinePen(TimeoutColour, 1.5, Qt::DashLine);
        marker->setXValue(cycle.number);
        QwtText label(tr("%1 timeout").arg(restartKindName(cycle.kind)));
        label.setFont(ChartLook::font());
        label.setColor(campaignKindColour(cycle.kind));
        marker->setLabel(label);
        marker->setLabelOrientation(Qt::Vertical);
        marker->setLabelAlignment(Qt::AlignTop | Qt::AlignRight);
        marker->attach(this);
    }
    for (Series &s : m_series) {
        if (s.kind == cycle.kind && !cycle.failed()) {
            s.points.append(QPointF(cycle.number, cycle.ttffMs / 1000.0));
            s.curve->setSamples(s.points);
        }
    }
    // Whole cycles: Qwt would tick halves on a short axis.
    setAxisScale(xBottom, 0, cycle.number + 1, cycle.number < 10 ? 1 : 0);
    if (!cycle.failed())
        setAxisAutoScale(yLeft);
    replot();
}

TtffBoxChart::TtffBoxChart(QWidget *parent) : QwtPlot(parent)
{
    setUpPlot(this, tr("Restart"));
    setAxisMaxMinor(xBottom, 0);
}

void TtffBoxChart::setKinds(const QVector<RestartKind> &kinds)
{
    detachItems(QwtPlotItem::Rtti_PlotTradingCurve, true);
    detachItems(QwtPlotItem::Rtti_PlotCurve, true);
    m_boxes.clear();
    for (RestartKind kind : kinds) {
        auto *box = new QwtPlotTradingCurve(restartKindName(kind));
        box->setSymbolStyle(QwtPlotTradingCurve::CandleStick);
        box->setSymbolExtent(2 * BoxHalfWidth);
        box->setMaxSymbolWidth(400);
        const QColor colour = campaignKindColour(kind);
        QColor fill = colour;
        fill.setAlpha(110);
        box->setSymbolPen(QPen(colour.darker(130), 1.5));
        box->setSymbolBrush(QwtPlotTradingCurve::Increasing, fill);
        box->setSymbolBrush(QwtPlotTradingCurve::Decreasing, fill);
        box->attach(this);
        auto *median = new QwtPlotCurve;
        median->setPen(QPen(MedianColour, 2.5));
        median->attach(this);
        m_boxes.append({box, median});
    }
    // The kinds named under their boxes (1, 2, ... on the axis).
    QStringList names;
    for (RestartKind kind : kinds)
        names << restartKindName(kind);
    setAxisScaleDraw(xBottom, new LabelScaleDraw(names, 1));   // the plot owns it
    setAxisScale(xBottom, 0.4, kinds.size() + 0.6, 1);
    setAxisScale(yLeft, 0, 10);
    replot();
}

void TtffBoxChart::setTtffs(int index, QVector<double> seconds)
{
    if (index < 0 || index >= m_boxes.size() || seconds.isEmpty())
        return;
    std::sort(seconds.begin(), seconds.end());
    const double x = index + 1;
    // Open below close: drawn as an "increasing" box from Q1 to Q3.
    m_boxes[index].box->setSamples({QwtOHLCSample(x, quantile(seconds, 0.25), seconds.last(),
                                                  seconds.first(), quantile(seconds, 0.75))});
    const double median = quantile(seconds, 0.5);
    m_boxes[index].median->setSamples(
        QVector<QPointF>{{x - BoxHalfWidth, median}, {x + BoxHalfWidth, median}});
    setAxisAutoScale(yLeft);
    replot();
}
