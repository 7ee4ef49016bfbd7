#ifndef RTCMFRAMER_H
#define RTCMFRAMER_H

#include <QByteArray>
#include <QVector>

// CRC-24Q of RTCM 3 (polynomial 0x1864CFB, initial value 0) over `size` bytes.
quint32 rtcmCrc24q(const char *data, int size);

// One whole RTCM 3 frame: preamble 0xD3, 6 reserved bits and a 10-bit
// payload length, the payload, the CRC-24Q.
struct RtcmFrame
{
    QByteArray bytes;   // the frame as received, preamble to CRC
    int type = 0;       // the message number, the payload's first 12 bits (0 when empty)

    QByteArray payload() const { return bytes.mid(3, bytes.size() - 6); }
};

// Builds a frame around `payload` (at most 1023 bytes; longer is cut).
QByteArray rtcmFrame(const QByteArray &payload);

// Finds RTCM 3 frames in a byte stream that arrives in pieces of any size.
// A frame is passed on only whole and with its CRC right; bytes that start
// no frame are skipped (junk) and a frame whose CRC is wrong is counted as
// bad, the search going on from the byte after its preamble, so a frame
// hidden behind a false preamble is still found.
class RtcmFramer
{
public:
    static constexpr int MaxFrame = 3 + 1023 + 3;

    // Takes the next bytes; returns the frames they complete, in order.
    QVector<RtcmFrame> push(const QByteArray &bytes);
    // Bytes held for a frame not yet complete.
    int buffered() const { return m_buffer.size(); }
    qint64 goodFrames() const { return m_good; }
    qint64 badFrames() const { return m_bad; }
    qint64 junkBytes() const { return m_junk; }
    // Keeps the bytes outside good frames (a receiver's input mixes
    // corrections and typed commands); takeOther() hands them over.
    void setKeepOther(bool keep) { m_keepOther = keep; }
    QByteArray takeOther();

private:
    void skip(int pos, int count);
    bool goodFrameAt(int pos) const;
    int nextGoodFrame(int from) const;

    QByteArray m_buffer;
    qint64 m_good = 0;
    qint64 m_bad = 0;
    qint64 m_junk = 0;
    bool m_keepOther = false;
    QByteArray m_other;
};

#endif // RTCMFRAMER_H
