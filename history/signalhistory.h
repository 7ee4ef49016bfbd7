#ifndef SIGNALHISTORY_H
#define SIGNALHISTORY_H

#include "history/timeline.h"
#include "nmea/satellites.h"
#include "receiver/signalid.h"

#include <QObject>
#include <QPointF>
#include <QString>
#include <QVector>

struct Epoch;

// One line of the signal chart: a constellation over all its bands (band
// -1), or one band of it (int(Band)).
struct CnrSeriesKey
{
    Constellation constellation = Constellation::Gps;
    int band = -1;

    bool operator==(const CnrSeriesKey &other) const
    {
        return constellation == other.constellation && band == other.band;
    }
};

// What the signal history shows: per constellation, and per band where it
// has two, the average of the four strongest CNRs of each epoch, and the
// satellites in view and used in the fix. Each epoch is kept as a few bytes
// (a time and two-byte CNR values), so a day at 10 Hz takes some 30 MB.
class SignalHistory : public QObject
{
    Q_OBJECT

public:
    explicit SignalHistory(QObject *parent = nullptr);

    // Adds one finished epoch (ReceiverModel::epochFinished, or an
    // EpochAssembler's). An epoch before the first with a date and time is
    // left out: it has no place on the time axis.
    void addEpoch(const Epoch &epoch);
    // Forgets every epoch.
    void clear();
    // Forgets the epochs at or after `time` (UTC seconds): a log played
    // back went back to it.
    void dropFrom(double time);

    int epochCount() const { return m_times.size(); }
    // UTC seconds of the first and last epoch; NaN when there is none.
    double firstTime() const;
    double lastTime() const;

    // The CNR lines a chart draws: each constellation seen, split into its
    // bands once it has shown two; in constellation order, bands in order.
    QVector<CnrSeriesKey> cnrSeries() const;
    // "GPS", "Galileo E5a", "BeiDou B1".
    static QString seriesName(const CnrSeriesKey &key);

    // The series between `from` and `to` (UTC seconds) with the nearest
    // samples outside (samplesBetween). CNR in dB-Hz, left out where the
    // series had no satellite; satellite counts of all five constellations
    // (SBAS not counted).
    QVector<QPointF> cnr(const CnrSeriesKey &key, double from, double to) const;
    QVector<QPointF> satellitesInView(double from, double to) const;
    QVector<QPointF> satellitesUsed(double from, double to) const;

signals:
    // An epoch was added, or the history cleared.
    void changed();

private:
    struct Column
    {
        CnrSeriesKey key;
        QVector<quint16> centiDbHz;   // hundredths of a dB-Hz; 0: no value
    };
    int columnFor(const CnrSeriesKey &key);
    int bandsSeen(Constellation constellation) const;

    EpochTimeline m_timeline;
    QVector<double> m_times;      // UTC seconds, one per epoch
    QVector<Column> m_columns;    // in the order first seen
    // Column index by constellation and band + 1 (0: all bands); -1: none.
    int m_columnOf[StatisticsConstellations][BandCount + 1];
    QVector<quint8> m_inView;
    QVector<quint8> m_used;
};

#endif // SIGNALHISTORY_H
