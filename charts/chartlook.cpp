#include "charts/chartlook.h"

#include <qwt_date_scale_engine.h>
#include <qwt_legend.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

#include <QAbstractScrollArea>
#include <QDateTime>

#include <cmath>
#include <iterator>

namespace {

const QColor ScaleColour(70, 70, 70);
const QColor GridColour(200, 200, 200);

// Labels of an axis whose values are UTC seconds.
class UtcTimeScaleDraw : public QwtScaleDraw
{
public:
    QwtText label(double seconds) const override
    {
        return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000), Qt::UTC)
            .toString(QStringLiteral("hh:mm:ss"));
    }
};

// Qwt's date engine counts milliseconds; the program's charts count
// seconds, so the engine gets and gives back seconds.
class UtcTimeScaleEngine : public QwtDateScaleEngine
{
public:
    UtcTimeScaleEngine() : QwtDateScaleEngine(Qt::UTC) {}

    void autoScale(int maxSteps, double &x1, double &x2, double &stepSize) const override
    {
        x1 *= 1000;
        x2 *= 1000;
        QwtDateScaleEngine::autoScale(maxSteps, x1, x2, stepSize);
        x1 /= 1000;
        x2 /= 1000;
        stepSize /= 1000;
    }

    QwtScaleDiv divideScale(double x1, double x2, int maxMajor, int maxMinor,
                            double stepSize) const override
    {
        const QwtScaleDiv ms = QwtDateScaleEngine::divideScale(x1 * 1000, x2 * 1000, maxMajor,
                                                               maxMinor, stepSize * 1000);
        QwtScaleDiv seconds(ms.lowerBound() / 1000, ms.upperBound() / 1000);
        for (int type = QwtScaleDiv::MinorTick; type < QwtScaleDiv::NTickTypes; ++type) {
            QList<double> ticks = ms.ticks(type);
            for (double &tick : ticks)
                tick /= 1000;
            seconds.setTicks(type, ticks);
        }
        return seconds;
    }
};

} // namespace

namespace ChartLook {

QFont font()
{
    return QFont(QStringLiteral("Arial"), 9);
}

void paintLive(QwtPlot *plot)
{
    if (auto *canvas = qobject_cast<QwtPlotCanvas *>(plot->canvas()))
        canvas->setPaintAttribute(QwtPlotCanvas::BackingStore, false);
}

QwtLegend *legend()
{
    auto *legend = new QwtLegend;
    legend->setFont(font());
    if (auto *view = legend->findChild<QAbstractScrollArea *>()) {
        view->setFrameShape(QFrame::NoFrame);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    return legend;
}

QwtText axisTitle(const QString &text)
{
    QwtText title(text);
    QFont bold = font();
    bold.setBold(true);
    title.setFont(bold);
    return title;
}

QColor constellationColour(Constellation constellation)
{
    const SatelliteColour c = ::constellationColour(constellation);
    return QColor(c.red, c.green, c.blue, c.alpha);
}

QColor seriesColour(int index)
{
    static const QColor colours[] = {
        QColor(31, 119, 180), QColor(214, 39, 40), QColor(44, 160, 44),
        QColor(148, 103, 189), QColor(140, 86, 75), QColor(23, 190, 207),
    };
    const int n = static_cast<int>(std::size(colours));
    return colours[((index % n) + n) % n];
}

void apply(QwtPlot *plot)
{
    QPalette palette = plot->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, ScaleColour);
    palette.setColor(QPalette::Text, ScaleColour);
    plot->setPalette(palette);
    plot->setAutoFillBackground(true);
    plot->setFont(font());
    plot->setContentsMargins(6, 6, 14, 6);

    auto *canvas = new QwtPlotCanvas;
    canvas->setFrameStyle(QFrame::NoFrame);
    plot->setCanvas(canvas);
    plot->setCanvasBackground(Qt::white);
    plot->plotLayout()->setAlignCanvasToScales(true);

    for (int axis = 0; axis < QwtPlot::axisCnt; ++axis) {
        plot->setAxisFont(axis, font());
        plot->axisWidget(axis)->setMargin(0);
    }

    auto *grid = new QwtPlotGrid;   // the plot deletes its items
    grid->setMajorPen(GridColour, 0, Qt::DotLine);
    grid->attach(plot);
}

void useUtcTimeAxis(QwtPlot *plot, int axis)
{
    plot->setAxisScaleDraw(axis, new UtcTimeScaleDraw);   // the plot owns both
    plot->setAxisScaleEngine(axis, new UtcTimeScaleEngine);
}

} // namespace ChartLook
