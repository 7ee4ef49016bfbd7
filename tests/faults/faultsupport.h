#ifndef FAULTSUPPORT_H
#define FAULTSUPPORT_H

// What the fault tests share: the simulator's record of an epoch, the
// statistics grid it implies (computed here from the definition), and the
// test process's own resident memory, file handles and threads.

#include "support/nmeacheck.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>

// ASan keeps freed memory in quarantine, so resident memory says nothing
// about growth there; its leak check at exit covers that build instead.
#if defined(__SANITIZE_ADDRESS__)
#define SKYLOUPE_RSS_MEANINGFUL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKYLOUPE_RSS_MEANINGFUL 0
#endif
#endif
#ifndef SKYLOUPE_RSS_MEANINGFUL
#define SKYLOUPE_RSS_MEANINGFUL 1
#endif

namespace faults {

inline qint64 residentKb(qint64 pid = 0)
{
    QFile status(pid ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

inline int openFiles()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size();
}

inline int threads()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::NoDotAndDotDot | QDir::Dirs).size();
}

// The lines of a block, without their line ends.
inline QList<QByteArray> linesOf(const QByteArray &block)
{
    QList<QByteArray> lines = block.split('\n');
    lines.removeLast();   // after the last line feed
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

// "03:00:05.100" of the block's GGA, or empty.
inline QString ggaTime(const QByteArray &block)
{
    for (const QByteArray &line : linesOf(block)) {
        const QList<QByteArray> f = line.split(',');
        if (f.value(0).endsWith("GGA") && f.value(1).size() >= 6) {
            const QByteArray t = f.at(1);
            return QString::fromLatin1(t.left(2) + ':' + t.mid(2, 2) + ':' + t.mid(4));
        }
    }
    return QString();
}

// A block that holds exactly one whole epoch, every line intact: it starts
// with the GGA, ends with the last message of a GSV sequence, and every
// checksum verifies.
inline bool wholeIntactEpoch(const QByteArray &block)
{
    const QList<QByteArray> lines = linesOf(block);
    if (lines.isEmpty() || !lines.first().contains("GGA,"))
        return false;
    for (const QByteArray &line : lines)
        if (!checksumRight(line))
            return false;
    const QList<QByteArray> last = lines.last().split(',');
    return last.size() > 3 && last.at(0).endsWith("GSV") && last.at(1) == last.at(2);
}

// The simulator's record of the epoch at `time` ("03:00:05.100").
inline QJsonObject truthAt(const QString &truthPath, const QString &time)
{
    QFile file(truthPath);
    if (time.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    while (!file.atEnd()) {
        const QJsonObject epoch = QJsonDocument::fromJson(file.readLine()).object();
        if (epoch.value(QStringLiteral("utc")).toString().contains(QStringLiteral("T") + time))
            return epoch;
    }
    return {};
}

// The statistics grid the epoch implies, "row,column" -> text: in view
// (row 1, two digits as a GSV sentence gives them), the mean of the four largest CNR values above 0 (row 3) and the
// largest (row 4), two decimals, for GPS, GLONASS, Galileo, BeiDou, QZSS.
inline QMap<QString, QString> expectedGrid(const QJsonObject &epoch)
{
    static const QStringList columns = {"GPS", "GLONASS", "Galileo", "BeiDou", "QZSS"};
    const QJsonObject systems = epoch.value(QStringLiteral("systems")).toObject();
    QMap<QString, QString> grid;
    for (int c = 0; c < columns.size(); ++c) {
        const QJsonArray sats = systems.value(columns.at(c)).toArray();
        QList<int> cnrs;
        for (const QJsonValue &s : sats)
            if (s.toObject().value(QStringLiteral("cnr")).toInt() > 0)
                cnrs.append(s.toObject().value(QStringLiteral("cnr")).toInt());
        std::sort(cnrs.begin(), cnrs.end(), std::greater<int>());
        const int top = std::min(4, int(cnrs.size()));
        double sum = 0;
        for (int i = 0; i < top; ++i)
            sum += cnrs.at(i);
        const QString key = QStringLiteral("%1,%2");
        grid.insert(key.arg(1).arg(c + 1), QString::asprintf("%02d", int(sats.size())));
        grid.insert(key.arg(3).arg(c + 1), QString::number(top ? sum / top : 0.0, 'f', 2));
        grid.insert(key.arg(4).arg(c + 1), QString::number(cnrs.isEmpty() ? 0.0 : cnrs.first(), 'f', 2));
    }
    return grid;
}

} // namespace faults

#endif // FAULTSUPPORT_H
