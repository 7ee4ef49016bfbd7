#ifndef SIMTESTUTIL_H
#define SIMTESTUTIL_H

// Small readers of NMEA written here from the definitions, so the
// simulator's tests do not check its output with its own code.

#include <QByteArray>
#include <QList>

namespace simtest {

// True when the line is "$body*hh" (line end allowed) and hh is the exclusive
// OR of the body's bytes as two upper-case hexadecimal digits.
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

// The comma-separated fields between "$" and "*".
inline QList<QByteArray> fieldsOf(const QByteArray &line)
{
    const int star = line.lastIndexOf('*');
    return line.mid(1, (star < 0 ? line.size() : star) - 1).split(',');
}

// Splits bytes into lines, each with its line end.
inline QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    int pos = 0;
    while (pos < bytes.size()) {
        int end = bytes.indexOf('\n', pos);
        end = end < 0 ? bytes.size() : end + 1;
        lines.append(bytes.mid(pos, end - pos));
        pos = end;
    }
    return lines;
}

} // namespace simtest

#endif // SIMTESTUTIL_H
