#ifndef REPLAYINDEX_H
#define REPLAYINDEX_H

#include <QString>
#include <QVector>

#include <atomic>
#include <functional>

// Where each epoch of a recorded log begins and the receiver's UTC time it
// carries, so a replay can jump to any time without reading the log again.
// Epochs are told by the receiver model's own assembler; an epoch's bytes
// run from its offset to the next epoch's (the last to the log's end).
class ReplayIndex
{
public:
    // Reads the log at `path` once. `progress` hears the share read, 0 to
    // 100, now and then; `cancel` set stops the reading early (an empty
    // index). False with the reason in `error` when the log cannot be read.
    bool build(const QString &path, const std::function<void(int percent)> &progress,
               const std::atomic<bool> &cancel, QString *error);

    int epochCount() const { return m_offsets.size(); }
    // True when at least one epoch carries a time: there is NMEA to play.
    bool hasTime() const { return m_timed > 0; }
    qint64 logBytes() const { return m_bytes; }
    // Bytes of epoch i: [offset(i), end(i)).
    qint64 offset(int i) const { return m_offsets.at(i); }
    qint64 end(int i) const { return i + 1 < m_offsets.size() ? m_offsets.at(i + 1) : m_bytes; }
    // UTC seconds since 1970 of epoch i, never earlier than the one before;
    // an epoch without a time has the time of the epoch before it (the
    // first timed one's for those before it).
    double time(int i) const { return m_times.at(i); }
    // The last epoch at or before `time`; 0 before the first.
    int epochAt(double time) const;

private:
    QVector<qint64> m_offsets;
    QVector<double> m_times;
    qint64 m_bytes = 0;
    int m_timed = 0;
};

#endif // REPLAYINDEX_H
