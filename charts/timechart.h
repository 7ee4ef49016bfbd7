#ifndef TIMECHART_H
#define TIMECHART_H

#include "charts/timespan.h"

#include <QByteArray>
#include <QColor>
#include <QPointF>
#include <QString>
#include <QVector>

#include <qwt_plot.h>

class QwtPlotCurve;
class QwtPlotPicker;

// A chart of values over UTC time (signal history, TTFF per cycle, position
// error): named line series in the program's look on a UTC time axis,
// showing the last few minutes or everything and following new samples,
// zoomed with the mouse wheel and panned by dragging along time, with a
// read-out of every series at the time under the mouse. Each series is
// kept whole; a replot draws at most two points per pixel column of it.
class TimeChart : public QwtPlot
{
    Q_OBJECT

public:
    explicit TimeChart(QWidget *parent = nullptr);
    ~TimeChart() override;

    // Adds an empty series drawn in `colour` (and `style`), listed as `name`
    // in the legend, read-out and CSV; returns its index.
    int addSeries(const QString &name, const QColor &colour, Qt::PenStyle style = Qt::SolidLine);
    // Removes every series, so a view can lay its series out anew.
    void removeAllSeries();
    int seriesCount() const;
    QString seriesName(int series) const;
    const QVector<QPointF> &samples(int series) const;

    // Replace or extend a series; x is UTC seconds and samples come in time
    // order. A replot follows once control returns to the event loop, so
    // several changes draw once. An unknown index changes nothing.
    void setSamples(int series, const QVector<QPointF> &samples);
    void appendSample(int series, const QPointF &sample);

    // The value axis title, also the CSV's value column.
    void setValueTitle(const QString &title);

    // Shows the last `seconds` up to the newest sample (0: everything) and
    // keeps following new samples until the user zooms or pans.
    void setWindow(double seconds);
    double window() const { return m_window; }
    // Shows a fixed span and stops following.
    void setSpan(const TimeSpan &span);
    TimeSpan span() const;
    bool isFollowing() const;

    // The read-out for `time`: each series' sample nearest to it, if one lies
    // within 8 pixels of it (readoutText).
    QString readout(double time) const;
    // All samples of all series (chartCsv, time in UTC).
    QByteArray csv() const;

public slots:
    // Works out the span, decimates every series for the chart's width, and
    // draws.
    void replot() override;

protected:
    // Wheel zoom, drag pan and double-click back to following, on the canvas.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Series
    {
        QString name;
        QVector<QPointF> samples;
        QwtPlotCurve *curve;   // owned by the plot
    };

    void scheduleReplot();
    double secondsPerPixel() const;

    QVector<Series> m_series;
    QString m_valueTitle;
    double m_window = 0;
    bool m_following = true;
    TimeSpan m_span;
    bool m_replotQueued = false;
    bool m_dragging = false;
    int m_dragX = 0;
    TimeSpan m_dragSpan;
    QwtPlotPicker *m_picker = nullptr;
};

#endif // TIMECHART_H
