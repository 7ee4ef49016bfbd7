#include "rtcm/rtcmframer.h"

quint32 rtcmCrc24q(const char *data, int size)
{
    quint32 crc = 0;
    for (int i = 0; i < size; ++i) {
        crc ^= quint32(quint8(data[i])) << 16;
        for (int bit = 0; bit < 8; ++bit) {
            crc <<= 1;
            if (crc & 0x1000000)
                crc ^= 0x1864CFB;
        }
    }
    return crc & 0xFFFFFF;
}

QByteArray rtcmFrame(const QByteArray &payload)
{
    const QByteArray body = payload.left(1023);
    QByteArray frame;
    frame.reserve(body.size() + 6);
    frame += char(0xD3);
    frame += char((body.size() >> 8) & 0x03);
    frame += char(body.size() & 0xFF);
    frame += body;
    const quint32 crc = rtcmCrc24q(frame.constData(), frame.size());
    frame += char(crc >> 16);
    frame += char(crc >> 8);
    frame += char(crc);
    return frame;
}

void RtcmFramer::skip(int pos, int count)
{
    m_junk += count;
    if (m_keepOther)
        m_other += m_buffer.mid(pos, count);
}

QByteArray RtcmFramer::takeOther()
{
    const QByteArray other = m_other;
    m_other.clear();
    return other;
}

bool RtcmFramer::goodFrameAt(int pos) const
{
    if (m_buffer.size() - pos < 6 || quint8(m_buffer.at(pos)) != 0xD3 || (quint8(m_buffer.at(pos + 1)) & 0xFC) != 0)
        return false;
    const int length = ((quint8(m_buffer.at(pos + 1)) & 0x03) << 8) | quint8(m_buffer.at(pos + 2));
    const int total = 3 + length + 3;
    if (m_buffer.size() - pos < total)
        return false;
    const char *frame = m_buffer.constData() + pos;
    const quint32 crc = (quint32(quint8(frame[total - 3])) << 16) | (quint32(quint8(frame[total - 2])) << 8)
                        | quint8(frame[total - 1]);
    return rtcmCrc24q(frame, total - 3) == crc;
}

int RtcmFramer::nextGoodFrame(int from) const
{
    for (int q = m_buffer.indexOf(char(0xD3), from); q >= 0; q = m_buffer.indexOf(char(0xD3), q + 1)) {
        if (goodFrameAt(q))
            return q;
    }
    return -1;
}

QVector<RtcmFrame> RtcmFramer::push(const QByteArray &bytes)
{
    QVector<RtcmFrame> frames;
    m_buffer += bytes;
    int pos = 0;
    while (pos < m_buffer.size()) {
        const int start = m_buffer.indexOf(char(0xD3), pos);
        if (start < 0) {
            skip(pos, m_buffer.size() - pos);
            pos = m_buffer.size();
            break;
        }
        skip(pos, start - pos);
        pos = start;
        if (m_buffer.size() - pos < 3)
            break;   // the length is not here yet
        // The 6 bits after the preamble are reserved and zero in every
        // frame: a 0xD3 without them starts none.
        if ((quint8(m_buffer.at(pos + 1)) & 0xFC) != 0) {
            skip(pos, 1);
            ++pos;
            continue;
        }
        const int length = ((quint8(m_buffer.at(pos + 1)) & 0x03) << 8) | quint8(m_buffer.at(pos + 2));
        const int total = 3 + length + 3;
        if (m_buffer.size() - pos < total) {
            // The rest may still be on its way; but when a whole good frame
            // already follows, this preamble was a false one (a byte of a
            // damaged frame) and waiting for its length would hold the
            // stream up for as much as a kilobyte.
            const int next = nextGoodFrame(pos + 1);
            if (next < 0)
                break;
            skip(pos, next - pos);
            pos = next;
            continue;
        }
        const char *frame = m_buffer.constData() + pos;
        const quint32 crc = (quint32(quint8(frame[total - 3])) << 16) | (quint32(quint8(frame[total - 2])) << 8)
                            | quint8(frame[total - 1]);
        if (rtcmCrc24q(frame, total - 3) != crc) {
            ++m_bad;
            if (m_keepOther)
                m_other += m_buffer.at(pos);
            ++pos;   // a false preamble: look again from the next byte
            continue;
        }
        RtcmFrame found;
        found.bytes = m_buffer.mid(pos, total);
        if (length >= 2)
            found.type = (quint8(frame[3]) << 4) | (quint8(frame[4]) >> 4);
        frames.append(found);
        ++m_good;
        pos += total;
    }
    m_buffer.remove(0, pos);
    return frames;
}
