#ifndef PACING_H
#define PACING_H

#include <QByteArray>
#include <QList>

// Keeps writes at or below a serial line's byte rate (8N1: baud / 10 bytes
// a second): a token bucket that starts empty and holds at most a few
// milliseconds of bytes. Times are microseconds on any steady clock.
class LinePacer
{
public:
    explicit LinePacer(qint64 baud = 0);

    bool limited() const { return m_bytesPerSecond > 0; }
    qint64 bytesPerSecond() const { return m_bytesPerSecond; }
    // Bytes that may be written at `nowUs`; unlimited pacers allow any amount.
    qint64 allowance(qint64 nowUs);
    void consumed(qint64 bytes) { m_tokens -= double(bytes); }
    // Microseconds from `nowUs` until `bytes` may be written (0 when now).
    qint64 waitUs(qint64 bytes, qint64 nowUs);

private:
    void refill(qint64 nowUs);

    qint64 m_bytesPerSecond = 0;
    double m_burst = 0;
    double m_tokens = 0;
    qint64 m_lastUs = -1;
};

// One epoch of a recording: the lines from one UTC time to the next, kept
// byte for byte, with that time in milliseconds of the day when known.
struct ReplayEpoch
{
    qint64 timeMs = -1;   // -1: no sentence of the epoch carried a time
    QByteArray bytes;
};

// Cuts a recorded NMEA log into epochs. A new epoch starts at a GGA, RMC,
// GLL, ZDA or GNS sentence whose UTC time differs from the current epoch's;
// lines without a time stay with the epoch they follow. Lines starting with
// "#" (comment headers of some collections) are left out.
QList<ReplayEpoch> splitRecording(const QByteArray &data);

// The UTC time of day in milliseconds that a sentence carries, or -1.
qint64 sentenceTimeMs(const QByteArray &line);

// When each epoch is sent, in milliseconds after the first, at the pace the
// recorded times give divided by `speed`. A step across midnight counts as
// forward; a step backwards, a missing time or a jump of more than
// `maxGapMs` (a corrupt time) counts as one second.
QList<qint64> replayOffsets(const QList<ReplayEpoch> &epochs, double speed, qint64 maxGapMs = 10000);

#endif // PACING_H
