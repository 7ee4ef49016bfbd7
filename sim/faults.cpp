#include "sim/faults.h"

QByteArray FaultInjector::damage(const QByteArray &sentence, double p, bool *damaged)
{
    *damaged = false;
    if (p <= 0 || m_random.unit() >= p)
        return sentence;
    const int star = sentence.lastIndexOf('*');
    if (star < 3)
        return sentence;
    const int bodyEnd = star;   // the body is [1, star)
    const QByteArray lineEnd = sentence.mid(star + 3);
    *damaged = true;
    if (m_random.unit() < 0.5) {
        QByteArray out = sentence;
        const int at = m_random.range(1, bodyEnd - 1);
        char replacement = char(m_random.range('0', 'Z'));
        if (replacement == out.at(at))
            replacement = replacement == '0' ? '1' : '0';
        out[at] = replacement;
        return out;
    }
    const int keep = m_random.range(2, bodyEnd - 1);
    return sentence.left(keep) + lineEnd;
}

QList<QByteArray> FaultInjector::split(const QByteArray &bytes, int maxPiece)
{
    QList<QByteArray> pieces;
    if (maxPiece <= 0) {
        pieces.append(bytes);
        return pieces;
    }
    int pos = 0;
    while (pos < bytes.size()) {
        const int n = qMin(m_random.range(1, maxPiece), bytes.size() - pos);
        pieces.append(bytes.mid(pos, n));
        pos += n;
    }
    return pieces;
}

QByteArray FaultInjector::noise(int count)
{
    QByteArray out(count, '\0');
    for (int i = 0; i < count; ++i) {
        // Never XON or XOFF: the program's line takes those for flow
        // control, so they could not be counted as received.
        char byte = char(m_random.next() & 0xFF);
        if (byte == 0x11 || byte == 0x13)
            byte = 0x12;
        out[i] = byte;
    }
    return out;
}
