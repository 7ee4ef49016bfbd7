#include "nmea/logfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace NmeaLog {

QString defaultDirectory()
{
    return QStringLiteral("./log");
}

QString fileName(const QString &directory, const QDateTime &start,
                 const QDateTime &existingLastWrite)
{
    const QString stamp = start.toString(QStringLiteral("MMdd_hhmmss"));
    const QString plain = QStringLiteral("%1/%2.nma").arg(directory, stamp);
    if (!existingLastWrite.isValid() || existingLastWrite.date() == start.date())
        return plain;
    return QStringLiteral("%1/%2_%3.nma").arg(directory, stamp, start.toString(QStringLiteral("yyyy")));
}

QString chooseFile(const QString &directory, const QDateTime &start)
{
    const QFileInfo plain(fileName(directory, start, QDateTime()));
    return fileName(directory, start, plain.exists() ? plain.lastModified() : QDateTime());
}

QString unshared(const QString &chosen, const QStringList &inUse)
{
    const QFileInfo info(chosen);
    QString name = chosen;
    for (int n = 2; inUse.contains(name); ++n)
        name = info.dir().filePath(QStringLiteral("%1_%2.%3").arg(info.completeBaseName()).arg(n).arg(info.suffix()));
    return name;
}

QString open(QFile &file, const QString &path)
{
    if (file.isOpen())
        file.close();
    const QString directory = QFileInfo(path).path();
    errno = 0;
    const bool directoryReady = QDir().mkpath(directory);
    const int directoryError = errno;

    file.setFileName(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        return QString();
    // When the directory could not be made (no permission, say), its reason
    // says more than the file's "No such file or directory". A plain file
    // in its place is better told by the file's own "Not a directory".
    if (!directoryReady && directoryError != 0 && directoryError != ENOENT && directoryError != EEXIST)
        return qt_error_string(directoryError);
    return file.errorString();
}

bool appendBlock(QFile &file, const QByteArray &block)
{
    if (!file.isOpen())
        return false;
    return file.write(block) == block.size() && file.flush();
}

void syncToDisk(QFile &file)
{
    if (!file.isOpen())
        return;
#if defined(Q_OS_UNIX)
    ::fsync(file.handle());
#elif defined(Q_OS_WIN)
    ::_commit(file.handle());
#endif
}

} // namespace NmeaLog
