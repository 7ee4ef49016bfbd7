#ifndef RESIDENTMEMORY_H
#define RESIDENTMEMORY_H

#include <QByteArray>
#include <QFile>

// This process's resident memory in MB, from VmRSS; -1 where /proc has none.
inline double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

#endif // RESIDENTMEMORY_H
