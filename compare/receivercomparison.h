#ifndef RECEIVERCOMPARISON_H
#define RECEIVERCOMPARISON_H

#include "history/signalhistory.h"
#include "receiver/epoch.h"
#include "receiver/signalid.h"

#include <QByteArray>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QVector>

#include <limits>

// The two receivers of a comparison.
enum class CompareSide { Reference = 0, UnderTest = 1 };

// One signal both receivers track in the latest pair of epochs.
struct SignalDifference
{
    SatelliteKey key;
    QString label;          // "G05 L1 C/A"
    Band band = Band::L1;
    float elevation = 0;    // degrees, as the reference sees it
    float reference = 0;    // dB-Hz
    float underTest = 0;    // dB-Hz
    float difference() const { return underTest - reference; }
};

// What the comparison keeps of each pair of epochs: a few dozen bytes.
struct ComparedEpoch
{
    static constexpr float None = std::numeric_limits<float>::quiet_NaN();

    float east = None;        // m, under test seen from the reference; NaN: a side has no fix
    float north = None;
    float up = None;          // NaN also when a side sends no altitude
    float horizontal = None;  // m, sqrt(east^2 + north^2)
    float meanDifference[StatisticsConstellations] = {None, None, None, None, None};   // dB, under test - reference
    quint16 signalsCompared = 0;
    quint8 inView[2][StatisticsConstellations] = {};   // by CompareSide
    quint8 used[2][StatisticsConstellations] = {};
};

// Compares a receiver under test with a reference, epoch by epoch: epochs
// with the same UTC time (and date, where both know it) pair up; per pair,
// the CNR difference of each signal both track, the satellites only one of
// them tracks, the distance between their positions and the satellites each
// has in view and uses. Fed from two plain streams of epochs (two windows'
// receiver models, or two logs' assemblers), in the order each receiver
// sent them.
class ReceiverComparison : public QObject
{
    Q_OBJECT

public:
    // Epochs a side may wait for its partner (2 s at 10 Hz); older ones are
    // dropped as unmatched.
    static constexpr int MaxWaiting = 20;
    // Pairs kept for the charts, the percentiles and the CSV: a day at 1 Hz.
    // Older ones are dropped a tenth at a time; the running means go on
    // over every pair.
    static constexpr int MaxKept = 86400;
    // Epochs without a time, and none with, before a side is refused.
    static constexpr int TimelessToRefuse = 3;

    explicit ReceiverComparison(QObject *parent = nullptr);

    // Either side's next epoch. One without a time cannot be aligned and
    // is only counted.
    void addReference(const Epoch &epoch) { addEpoch(CompareSide::Reference, epoch); }
    void addUnderTest(const Epoch &epoch) { addEpoch(CompareSide::UnderTest, epoch); }
    void addEpoch(CompareSide side, const Epoch &epoch);
    // Forgets everything: new receivers chosen.
    void reset();

    // Why nothing can be compared, in words for the view; empty while all
    // is well. A side whose epochs carry no time is refused.
    QString problem() const;
    bool isRefused(CompareSide side) const;
    // Epochs of a side that found no partner (dropped from the wait, or
    // without a time).
    qint64 unmatched(CompareSide side) const { return m_unmatched[int(side)]; }
    qint64 pairCount() const { return m_pairs; }
    // Share of the pairs in which this side had RTK fixed (GGA quality 4), 0 to 1.
    double rtkFixedRatio(CompareSide side) const { return m_pairs ? double(m_rtkFixed[int(side)]) / m_pairs : 0.0; }

    // The kept pairs, oldest first, and their UTC times (seconds since
    // 1970; never going back).
    const QVector<ComparedEpoch> &epochs() const { return m_epochs; }
    const QVector<double> &times() const { return m_times; }

    // The latest pair: each signal both track, sorted by elevation (lowest
    // first), and the satellites only one side tracks ("G05").
    const QVector<SignalDifference> &latestSignals() const { return m_latestSignals; }
    QStringList onlyIn(CompareSide side) const { return m_onlyIn[int(side)]; }

    // Mean CNR difference (under test - reference, dB) over every pair, per
    // constellation and band (band -1: all its bands); NaN without any.
    double meanDifference(Constellation constellation, int band = -1) const;
    int differenceCount(Constellation constellation, int band = -1) const;
    // The same over the latest pair alone.
    double latestMeanDifference(Constellation constellation, int band = -1) const;
    // The series those means are shown for: each band compared, and before
    // the bands of a constellation compared on two or more, its whole.
    QVector<CnrSeriesKey> differenceSeries() const;

    // Horizontal and vertical (|up|) distance between the positions over
    // the kept pairs with both positions: mean and 95th percentile; NaN
    // without any.
    struct Distance
    {
        int count = 0;
        double horizontalMean = std::numeric_limits<double>::quiet_NaN();
        double horizontalP95 = std::numeric_limits<double>::quiet_NaN();
        double verticalMean = std::numeric_limits<double>::quiet_NaN();
        double verticalP95 = std::numeric_limits<double>::quiet_NaN();
    };
    Distance distance() const;

    // A value of the kept pairs over time, between two UTC times, for a
    // chart (samplesBetween): horizontal and vertical distance, and per
    // side and constellation the satellites in view and used.
    QVector<QPointF> horizontalSeries(double from, double to) const;
    QVector<QPointF> verticalSeries(double from, double to) const;
    QVector<QPointF> satelliteSeries(CompareSide side, Constellation constellation, bool used, double from,
                                     double to) const;

    // The kept pairs as CSV, one line per pair: UTC time, east, north, up,
    // horizontal, vertical, signals compared, the mean difference per
    // constellation, then in view and used per constellation for the
    // reference and the receiver under test. Empty cells where there is no
    // value; lines end in "\r\n".
    QByteArray csv() const;
    // Its first line, and the line of kept pair `index`, for a writer that
    // streams the pairs out as they come (a day of pairs is all one keeps).
    static QByteArray csvHeader();
    QByteArray csvLine(int index) const;

signals:
    // A pair was compared, or a side was refused.
    void changed();

private:
    struct Sum
    {
        double total = 0;
        int count = 0;
        double mean() const;
    };
    using SumTable = Sum[StatisticsConstellations][BandCount + 1];
    // The cell of a constellation and band (a negative band: all bands),
    // or none for one out of range.
    static const Sum *cellOf(const SumTable &table, Constellation constellation, int band);
    void compare(const Epoch &reference, const Epoch &underTest);
    void keep(double time, const ComparedEpoch &row);

    QVector<Epoch> m_waiting[2];
    qint64 m_unmatched[2] = {0, 0};
    int m_timeless[2] = {0, 0};
    bool m_hasTime[2] = {false, false};
    qint64 m_pairs = 0;
    qint64 m_rtkFixed[2] = {0, 0};   // pairs with RTK fixed, by side
    QVector<ComparedEpoch> m_epochs;
    QVector<double> m_times;
    QVector<SignalDifference> m_latestSignals;
    QStringList m_onlyIn[2];
    // Per constellation and band, the last index for all bands.
    SumTable m_running;
    SumTable m_latest;
};

#endif // RECEIVERCOMPARISON_H
