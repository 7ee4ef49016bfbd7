#ifndef LOGANALYSIS_H
#define LOGANALYSIS_H

#include "accuracy/positionhistory.h"
#include "history/timeline.h"
#include "link/lineframer.h"
#include "receiver/epoch.h"
#include "receiver/epochstatistics.h"
#include "sentences/sentencecounter.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <limits>
#include <memory>

class ReceiverSession;
class SignalHistory;

// Mean, least and most of a count over epochs, kept as running sums.
struct CountSummary
{
    qint64 epochs = 0;
    double sum = 0;
    int least = std::numeric_limits<int>::max();
    int most = 0;

    void add(int value);
    double mean() const { return epochs > 0 ? sum / epochs : 0.0; }
};

// A CNR figure (top-4 average or peak) of every epoch, for its mean and
// percentiles at the end: how many epochs had each value in hundredths of a
// dB-Hz (0 to 99.99), which gives the same percentiles as the values
// themselves in a fixed 40 kB, however long the log.
struct CnrSummary
{
    static constexpr int Values = 10000;
    QVector<quint32> counts;   // sized at the first value
    qint64 epochs = 0;
    double sum = 0;

    void add(float cnr);
    double mean() const;
    // percentile() of the values; NaN for none.
    double percentileOf(double share) const;
};

// One constellation over the log (band -1), or one band of it: satellites
// in view and used, top-4 and peak CNR, over the epochs that reported its
// sky (a GSV of any constellation).
struct SkySummary
{
    bool seen = false;
    CountSummary inView;
    CountSummary used;
    CnrSummary topFour;   // epochs with a CNR above 0
    CnrSummary peak;
};

// Reads a recorded NMEA log through a receiver session, the window's own
// read loop, and keeps, per epoch, a few compact values (about 40 bytes for
// the position and 4 bytes per constellation and band it tracks), never its
// lines, so a log of any size streams through. Epochs come from the
// session's receiver model, their figures from epochStatistics and the
// session's position history, the sentences' counts and faults from its
// sentence counter: the same code the window uses.
//
// A log has no clock of its own: times are the receiver's UTC times of
// epochs (EpochTimeline). A restart shows in a log as the receiver's answer
// to the command ("$PAIR001,004,0" to "$PAIR001,007,0") or its restart
// report ("$PAIR010,1,-1"); its time is the UTC time of the epoch that
// answer arrived in, so the time to first fix after it can be up to one
// epoch interval long.
class LogAnalysis
{
public:
    using EpochSink = std::function<void(const Epoch &, const EpochStatistics &, double utcSeconds)>;

    LogAnalysis();
    ~LogAnalysis();

    // Centre of the position figures; without one, the mean of the fixes.
    void setReference(const std::optional<GeodeticPosition> &reference);
    // Called with every epoch as it is finished (the CSV files, charts).
    void setEpochSink(EpochSink sink) { m_sink = std::move(sink); }

    // The log's size, when known: once some epochs are in, the room for
    // the positions of all of them is made at once.
    void expectBytes(qint64 bytes) { m_expectedBytes = bytes; }

    // Reads the log at `path` to its end at once, through the session with
    // the log as its source (ReplayPlayer::playToEnd); false with the
    // reason in `error` when it cannot be read.
    bool readLog(const QString &path, QString *error);
    // Takes the next piece of the log: binary bytes, NUL bytes, lines cut
    // anywhere are all ordinary input. The session takes it in blocks of
    // whole lines, as a source hands them over.
    void addBytes(const char *data, qint64 size);
    // The end of the log: its last line, with or without a line end, and
    // its last epoch.
    void finish();

    // The session the log is read through: its model, histories, counter.
    ReceiverSession *session() const { return m_session.get(); }
    SignalHistory &signalHistory() const;

    // True when the log held at least one sentence with a right checksum
    // or one epoch with a time.
    bool holdsNmea() const;

    // Results, complete after finish().
    qint64 epochCount() const { return m_epochs; }
    qint64 timedEpochs() const { return m_timedEpochs; }
    double firstTime() const { return m_firstTime; }   // UTC seconds; NaN: none
    double lastTime() const { return m_lastTime; }
    double durationSeconds() const;
    // The median interval between epochs, s; NaN for fewer than two.
    double epochInterval() const;
    // Epochs missing at the median interval, and the longest interval, s.
    qint64 missingEpochs() const;
    double longestGap() const;

    qint64 fixEpochs() const { return m_fixEpochs; }
    // Epochs by GGA quality (-1: no GGA).
    const QMap<int, qint64> &qualities() const { return m_qualities; }
    // Seconds from the first epoch to the first fix (NaN: no fix).
    double firstFixFromStart() const;
    // The first restart the log shows: the line, its UTC seconds, and the
    // seconds to the first fix after it (NaN: none).
    QByteArray restartLine() const { return m_restartLine; }
    double restartTime() const { return m_restartTime; }
    double firstFixAfterRestart() const;

    const SkySummary &sky(int constellation, int band) const { return m_sky[constellation][band + 1]; }
    const PositionHistory &positions() const;
    PositionHistory &positions();
    const SentenceCounter &sentences() const;

    // Receiver identity and NMEA features as the log shows them.
    const QStringList &versionLines() const { return m_versionLines; }
    const QStringList &texts() const { return m_texts; }
    QStringList talkers() const;
    QList<int> gsaSystemIds() const;           // 0: GSA without a system ID
    QStringList signalNames(int constellation) const;

private:
    // A line as the receiver model took it: identity and restarts.
    void noteLine(const QByteArray &line);
    void addEpoch(const Epoch &epoch);
    void noteProprietary(const QByteArray &line);

    std::unique_ptr<ReceiverSession> m_session;
    LineFramer m_framer;   // addBytes: pieces into blocks of whole lines
    EpochSink m_sink;
    qint64 m_expectedBytes = 0;

    qint64 m_epochs = 0;
    qint64 m_timedEpochs = 0;
    double m_firstTime = std::numeric_limits<double>::quiet_NaN();
    double m_lastTime = std::numeric_limits<double>::quiet_NaN();
    double m_previousTime = std::numeric_limits<double>::quiet_NaN();
    QMap<qint64, qint64> m_intervals;   // ms between consecutive epochs -> how often
    qint64 m_fixEpochs = 0;
    QMap<int, qint64> m_qualities;
    double m_firstFixTime = std::numeric_limits<double>::quiet_NaN();
    QByteArray m_restartLine;
    qint64 m_restartSequence = -1;
    double m_restartTime = std::numeric_limits<double>::quiet_NaN();
    double m_restartFixTime = std::numeric_limits<double>::quiet_NaN();
    SkySummary m_sky[StatisticsConstellations][BandCount + 1];
    QStringList m_versionLines;
    QStringList m_texts;
    bool m_gsaSystems[6] = {};
    QSet<int> m_signals[StatisticsConstellations];
};

#endif // LOGANALYSIS_H
