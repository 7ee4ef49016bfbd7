#ifndef LOGFILE_H
#define LOGFILE_H

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class QFile;

// The NMEA log of a connection: which file it goes to, opening it,
// appending the accepted blocks and pushing them to the disk.
namespace NmeaLog {

// "./log/" by default; the directory the log files go to.
QString defaultDirectory();

// The file for a connection that starts at `start`: the directory, then
// the start time as "MMdd_hhmmss", then ".nma", e.g. "./log/0509_143015.nma".
// A file of that name last written on the start's own day is continued (a
// reconnect within the same second). One written on another day, which can
// only be a connection of an earlier year, keeps its content to itself:
// the new connection gets "MMdd_hhmmss_yyyy.nma" instead.
// `existingLastWrite` is the last write of the file that has the plain
// name, invalid when there is none.
QString fileName(const QString &directory, const QDateTime &start,
                 const QDateTime &existingLastWrite);

// Same, looking at the file system for an existing file.
QString chooseFile(const QString &directory, const QDateTime &start);

// `chosen`, or, when another connection of this process writes a file of
// that name now (two receivers connected in the same second), the first of
// "MMdd_hhmmss_2.nma", "_3", ... that none writes.
QString unshared(const QString &chosen, const QStringList &inUse);

// Creates the directory of `path` as needed and opens `file` on `path` for
// appending. Returns an empty string on success, otherwise the reason in
// plain words ("Permission denied"); `file` is then closed.
QString open(QFile &file, const QString &path);

// Appends the block's bytes unchanged, whatever they are, and hands them to
// the operating system before returning, so they survive the program being
// killed. Returns false when the write failed; the reason is in
// file.errorString().
bool appendBlock(QFile &file, const QByteArray &block);

// Waits until what was appended is on the disk itself, so a power cut
// cannot take it. This can take milliseconds, so the window does it a
// moment after a write rather than for every block.
void syncToDisk(QFile &file);

} // namespace NmeaLog

#endif // LOGFILE_H
