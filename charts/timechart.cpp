#include "charts/timechart.h"
#include "charts/chartlook.h"
#include "charts/chartvalues.h"
#include "charts/seriesdecimation.h"

#include <qwt_legend.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_picker.h>
#include <qwt_text.h>

#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// How far a read-out looks for a sample, in pixels.
constexpr double ReadoutReach = 8;
// One wheel notch zooms in to this share of the span.
constexpr double WheelZoom = 0.8;

// Shows the chart's read-out next to the mouse while it is over the canvas.
class ReadoutPicker : public QwtPlotPicker
{
public:
    explicit ReadoutPicker(TimeChart *chart)
        : QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::NoRubberBand,
                        QwtPicker::AlwaysOn, chart->canvas()),
          m_chart(chart)
    {
        setTrackerFont(ChartLook::font());
    }

protected:
    QwtText trackerTextF(const QPointF &position) const override
    {
        QwtText text(m_chart->readout(position.x()));
        text.setBackgroundBrush(QColor(255, 255, 255, 230));
        text.setBorderPen(QPen(QColor(160, 160, 160)));
        return text;
    }

private:
    TimeChart *m_chart;
};

} // namespace

TimeChart::TimeChart(QWidget *parent) : QwtPlot(parent)
{
    ChartLook::apply(this);
    ChartLook::useUtcTimeAxis(this, xBottom);
    setAxisTitle(xBottom, ChartLook::axisTitle(tr("Time (UTC)")));
    insertLegend(ChartLook::legend(), TopLegend);
    m_picker = new ReadoutPicker(this);   // child of the canvas
    canvas()->installEventFilter(this);
    canvas()->setCursor(Qt::OpenHandCursor);
}

TimeChart::~TimeChart() = default;

int TimeChart::addSeries(const QString &name, const QColor &colour, Qt::PenStyle style)
{
    auto *curve = new QwtPlotCurve(name);
    curve->setPen(QPen(colour, 1.5, style));
    curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    curve->setLegendAttribute(QwtPlotCurve::LegendShowLine);
    curve->setLegendIconSize(QSize(style == Qt::SolidLine ? 16 : 24, 8));
    curve->attach(this);
    m_series.append({name, {}, curve});
    return m_series.size() - 1;
}

void TimeChart::removeAllSeries()
{
    for (Series &s : m_series)
        delete s.curve;   // detaches itself from the plot
    m_series.clear();
    scheduleReplot();
}

int TimeChart::seriesCount() const
{
    return m_series.size();
}

QString TimeChart::seriesName(int series) const
{
    return series >= 0 && series < m_series.size() ? m_series.at(series).name : QString();
}

const QVector<QPointF> &TimeChart::samples(int series) const
{
    static const QVector<QPointF> none;
    return series >= 0 && series < m_series.size() ? m_series.at(series).samples : none;
}

void TimeChart::setSamples(int series, const QVector<QPointF> &samples)
{
    if (series < 0 || series >= m_series.size())
        return;
    m_series[series].samples = samples;
    scheduleReplot();
}

void TimeChart::appendSample(int series, const QPointF &sample)
{
    if (series < 0 || series >= m_series.size())
        return;
    m_series[series].samples.append(sample);
    scheduleReplot();
}

void TimeChart::setValueTitle(const QString &title)
{
    m_valueTitle = title;
    setAxisTitle(yLeft, ChartLook::axisTitle(title));
}

void TimeChart::setWindow(double seconds)
{
    m_window = seconds;
    m_following = true;
    scheduleReplot();
}

void TimeChart::setSpan(const TimeSpan &span)
{
    m_span = span;
    m_following = false;
    scheduleReplot();
}

TimeSpan TimeChart::span() const
{
    return m_span;
}

bool TimeChart::isFollowing() const
{
    return m_following;
}

QString TimeChart::readout(double time) const
{
    QList<ReadoutValue> values;
    const double reach = ReadoutReach * secondsPerPixel();
    for (const Series &s : m_series) {
        const int i = nearestSample(s.samples, time, reach);
        values.append({s.name, i < 0 ? std::numeric_limits<double>::quiet_NaN() : s.samples.at(i).y()});
    }
    return readoutText(time, values);
}

QByteArray TimeChart::csv() const
{
    QList<CsvSeries> series;
    for (const Series &s : m_series)
        series.append({s.name, s.samples});
    return chartCsv(series, tr("time (UTC)"), m_valueTitle, true);
}

void TimeChart::replot()
{
    m_replotQueued = false;
    if (m_following) {
        double first = std::numeric_limits<double>::max();
        double last = std::numeric_limits<double>::lowest();
        for (const Series &s : m_series) {
            if (s.samples.isEmpty())
                continue;
            first = std::min(first, s.samples.first().x());
            last = std::max(last, s.samples.last().x());
        }
        if (first <= last)
            m_span = followingSpan(first, last, m_window);
    }
    if (m_span.length() > 0) {
        setAxisScale(xBottom, m_span.from, m_span.to);
        // The plot's width is never less than its canvas's, also before a
        // hidden plot is laid out.
        for (const Series &s : m_series)
            s.curve->setSamples(decimateMinMax(s.samples, m_span.from, m_span.to, width()));
    }
    QwtPlot::replot();
}

bool TimeChart::eventFilter(QObject *watched, QEvent *event)
{
    // Nothing to zoom or pan before the first sample.
    if (watched == canvas() && m_span.length() > 0) {
        switch (event->type()) {
        case QEvent::Wheel: {
            const auto *wheel = static_cast<QWheelEvent *>(event);
            const double anchor = invTransform(xBottom, wheel->position().x());
            setSpan(zoomedSpan(m_span, anchor, std::pow(WheelZoom, wheel->angleDelta().y() / 120.0)));
            return true;
        }
        case QEvent::MouseButtonPress: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton) {
                m_dragging = true;
                m_dragX = mouse->pos().x();
                m_dragSpan = m_span;
                canvas()->setCursor(Qt::ClosedHandCursor);
            }
            break;
        }
        case QEvent::MouseMove:
            if (m_dragging) {
                const int dx = static_cast<QMouseEvent *>(event)->pos().x() - m_dragX;
                const double perPixel = m_dragSpan.length() / std::max(canvas()->width(), 1);
                setSpan(pannedSpan(m_dragSpan, -dx * perPixel));
            }
            break;
        case QEvent::MouseButtonRelease:
            m_dragging = false;
            canvas()->setCursor(Qt::OpenHandCursor);
            break;
        case QEvent::MouseButtonDblClick:
            setWindow(m_window);
            return true;
        default:
            break;
        }
    }
    return QwtPlot::eventFilter(watched, event);
}

void TimeChart::scheduleReplot()
{
    if (m_replotQueued)
        return;
    m_replotQueued = true;
    QMetaObject::invokeMethod(this, &TimeChart::replot, Qt::QueuedConnection);
}

double TimeChart::secondsPerPixel() const
{
    return m_span.length() / std::max(canvas()->width(), 1);
}
