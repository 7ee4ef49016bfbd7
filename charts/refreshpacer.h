#ifndef REFRESHPACER_H
#define REFRESHPACER_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVector>

#include <functional>

class QWidget;
class QwtPlot;

// Paces a view's redraw: after a change, the view refreshes at once if its
// last refresh is at least `intervalMs` old, else when it is; a 10 Hz
// receiver then costs a few redraws a second. A refresh that grows costly
// (a day of fixes) waits 20 times as long as it took, so it never takes
// more than a twentieth of the window's time. A hidden view does nothing
// and catches up once, when it is shown again.
class RefreshPacer : public QObject
{
    Q_OBJECT

public:
    RefreshPacer(QWidget *view, std::function<void()> refresh, int intervalMs);

    // The data changed.
    void request();
    // Also refreshes after the user zooms or pans `chart` (a TimeChart), or
    // it is resized: the view hands it the data of its new span, or scales
    // to fit its new size.
    void followChart(QwtPlot *chart);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void run();

    QVector<QObject *> m_canvases;   // of the charts followed
    QWidget *m_view;
    std::function<void()> m_refresh;
    int m_intervalMs;
    QTimer m_timer;
    QElapsedTimer m_sinceRefresh;
    qint64 m_lastCostMs = 0;
    bool m_stale = true;
};

#endif // REFRESHPACER_H
