#ifndef SIMTESTUTIL_H
#define SIMTESTUTIL_H

// Small readers of NMEA written here from the definitions, so the
// simulator's tests do not check its output with its own code.

#include "support/nmeacheck.h"

#include <QByteArray>
#include <QList>

namespace simtest {

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
