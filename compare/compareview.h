#ifndef COMPAREVIEW_H
#define COMPAREVIEW_H

#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QTableWidget;
class QwtPlot;
class QwtPlotMultiBarChart;
class ReceiverComparison;
class ReceiverModel;
class RefreshPacer;
class SignalDifferenceBars;
class TimeChart;

// A receiver the compare view offers: its window's name for it and its
// epochs.
struct ComparedReceiver
{
    QString name;
    QPointer<ReceiverModel> model;
};

// Two receivers side by side, in a window of its own: the user chooses the
// reference and the receiver under test among the open receivers; it shows
// the CNR difference of each signal both track (bars sorted by elevation),
// the mean difference per constellation and band, the satellites only one
// tracks, the distance between the positions over time with its mean and
// 95th percentile, and the satellites in view and used of both. "Export"
// writes the compared epochs as CSV.
class CompareView : public QWidget
{
    Q_OBJECT

public:
    explicit CompareView(QWidget *parent = nullptr);

    // The receivers to choose from; the chosen ones stay chosen while they
    // are offered (the first two are chosen at first).
    void setReceivers(const QList<ComparedReceiver> &receivers);
    // Chooses by index in the list; the comparison starts anew.
    void choose(int reference, int underTest);

    ReceiverComparison *comparison() const { return m_comparison; }
    QwtPlot *differenceChart() const;
    TimeChart *distanceChart() const { return m_distance; }
    QwtPlot *satelliteChart() const { return m_satellites; }
    // The figures as shown: the means table's text, line by line
    // ("GPS L1\t-3.0\t-3.1\t412"), the distance figures, the notes.
    QString meansText() const;
    QString distanceText() const;
    QString onlyOneText() const;
    QString problemText() const;
    // Hands the charts and figures what they show now.
    void refresh();

signals:
    // "Campaign on both...": a TTFF campaign on these two (indexes in the list).
    void campaignRequested(int reference, int underTest);

private:
    void follow();
    void showMeans();

    ReceiverComparison *m_comparison;
    QList<ComparedReceiver> m_receivers;
    QComboBox *m_reference;
    QComboBox *m_underTest;
    QLabel *m_problem;
    SignalDifferenceBars *m_bars;
    QTableWidget *m_means;
    QLabel *m_onlyOne;
    TimeChart *m_distance;
    QLabel *m_distanceFigures;
    QwtPlot *m_satellites;
    QwtPlotMultiBarChart *m_satelliteBars;
    RefreshPacer *m_pacer;
    QMetaObject::Connection m_feeds[2];
};

#endif // COMPAREVIEW_H
