#ifndef LINEHEALTH_H
#define LINEHEALTH_H

#include <QByteArray>

// Whether what arrives on the line is NMEA at all: bytes that keep coming
// for some seconds without one sentence whose checksum is right are what a
// receiver at another baud rate sends. Time is passed in (milliseconds of
// any monotonic clock).
class LineHealth
{
public:
    // How long bytes must come without a good sentence before it is said.
    static constexpr qint64 NotNmeaAfterMs = 3000;

    // The count of bytes read from the line so far (looked at now and then:
    // noise seldom ends a read with a line feed, so it reaches the window
    // in blocks late).
    void bytesRead(qint64 total, qint64 nowMs);
    // A block as the window takes it: its lines with a good checksum.
    void take(const QByteArray &block, qint64 nowMs);
    // Starts over (a new connection, another baud rate).
    void reset();

    // True while bytes keep arriving (the latest within a second) and none
    // of the last NotNmeaAfterMs brought a good sentence.
    bool notNmea(qint64 nowMs) const;
    // Good sentences since the last reset.
    int goodSentences() const { return m_good; }

private:
    qint64 m_total = -1;
    qint64 m_badSinceMs = -1;   // first bytes since the last good sentence
    qint64 m_lastByteMs = -1;
    int m_good = 0;
};

#endif // LINEHEALTH_H
