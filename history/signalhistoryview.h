#ifndef SIGNALHISTORYVIEW_H
#define SIGNALHISTORYVIEW_H

#include "history/signalhistory.h"

#include <QByteArray>
#include <QVector>
#include <QWidget>

class QComboBox;
class RefreshPacer;
class TimeChart;

// The signal history on screen: the top-4 average CNR per constellation
// (or band) and the satellites in view and used, over the last 1, 5, 15 or
// 60 minutes or everything, with zoom, pan and read-out (TimeChart), and
// export of either chart as PNG and its data as CSV. The charts hold only
// what they draw (the shown span and one more on either side, cut to pixel
// columns); the history itself stays in SignalHistory.
class SignalHistoryView : public QWidget
{
    Q_OBJECT

public:
    explicit SignalHistoryView(SignalHistory *history, QWidget *parent = nullptr);

    TimeChart *cnrChart() const { return m_cnr; }
    TimeChart *satelliteChart() const { return m_satellites; }
    // Shows the last `seconds` on both charts (0: everything).
    void setWindowSeconds(double seconds);
    // The whole history of a chart as CSV (chartCsv).
    QByteArray cnrCsv() const;
    QByteArray satelliteCsv() const;
    // Hands the charts what they show now.
    void refresh();

private:
    void layOutCnrSeries();

    SignalHistory *m_history;
    TimeChart *m_cnr;
    TimeChart *m_satellites;
    QComboBox *m_window;
    RefreshPacer *m_pacer;
    QVector<CnrSeriesKey> m_cnrKeys;   // the CNR chart's series, in order
};

#endif // SIGNALHISTORYVIEW_H
