#ifndef NMEACHECK_H
#define NMEACHECK_H

// Checks on NMEA text written from the definition, independent of the
// program's own checksum code, so tests can judge what it sends and reads.

#include <QByteArray>

// True when the line is "$body*hh" (line end allowed) and hh is the
// exclusive OR of the body's bytes as two upper-case hexadecimal digits.
inline bool checksumRight(const QByteArray &line)
{
    QByteArray text = line;
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    const int star = text.lastIndexOf('*');
    if (!text.startsWith('$') || star < 0 || star + 3 != text.size())
        return false;
    quint8 sum = 0;
    for (int i = 1; i < star; ++i)
        sum ^= quint8(text.at(i));
    const char *hex = "0123456789ABCDEF";
    return text.at(star + 1) == hex[sum >> 4] && text.at(star + 2) == hex[sum & 15];
}

#endif // NMEACHECK_H
