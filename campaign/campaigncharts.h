#ifndef CAMPAIGNCHARTS_H
#define CAMPAIGNCHARTS_H

#include "campaign/campaignrun.h"

#include <QColor>
#include <QPointF>
#include <QVector>

#include <qwt_plot.h>

class QwtPlotCurve;
class QwtPlotTradingCurve;

// The colour a restart kind has in the charts and the tables.
QColor campaignKindColour(RestartKind kind);

// The TTFF of every cycle over its number, a point in its kind's colour;
// a timed-out cycle is a dashed line across, so the timeout does not stretch
// the scale. Each finished cycle adds one point or line and draws once.
class CycleChart : public QwtPlot
{
    Q_OBJECT

public:
    explicit CycleChart(QWidget *parent = nullptr);

    // Empties the chart and gives each kind its series, in this order.
    void setKinds(const QVector<RestartKind> &kinds);
    void addCycle(const CampaignCycle &cycle);

private:
    struct Series
    {
        RestartKind kind;
        QVector<QPointF> points;
        QwtPlotCurve *curve;   // owned by the plot
    };
    QVector<Series> m_series;
};

// One box per kind: from the first to the third quartile of its TTFFs, the
// median across it, whiskers to the fastest and the slowest fix.
class TtffBoxChart : public QwtPlot
{
    Q_OBJECT

public:
    explicit TtffBoxChart(QWidget *parent = nullptr);

    void setKinds(const QVector<RestartKind> &kinds);
    // Redraws the box of the kind at `index` from its fixed cycles' seconds.
    void setTtffs(int index, QVector<double> seconds);

private:
    struct Box
    {
        QwtPlotTradingCurve *box;   // owned by the plot
        QwtPlotCurve *median;
    };
    QVector<Box> m_boxes;
};

#endif // CAMPAIGNCHARTS_H
