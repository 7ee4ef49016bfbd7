#include "settings/filelocations.h"

#include "nmea/logfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Places {

namespace {
FileLocations &process()
{
    static FileLocations locations = locate(false);
    return locations;
}
} // namespace

QString desktopId()
{
    return QStringLiteral("org.kestrela.Skyloupe");
}

QString folderName()
{
    return QStringLiteral("Kestrela Skyloupe");
}

bool runsFromInstall(const QString &executableDir)
{
    const QDir bin(executableDir);
    return bin.dirName() == QLatin1String("bin")
           && QFileInfo::exists(bin.filePath(QStringLiteral("../share/applications/%1.desktop").arg(desktopId())));
}

FileLocations locate(bool installed)
{
    FileLocations l;
    l.installed = installed;
    if (!installed) {
        l.configFile = QStringLiteral("config.ini");
        l.logDirectory = NmeaLog::defaultDirectory();
        return l;
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    l.configFile = QStringLiteral("%1/%2/config.ini").arg(config, folderName());
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    l.logDirectory = QStringLiteral("%1/%2").arg(documents, folderName());
    return l;
}

const FileLocations &current()
{
    return process();
}

void setCurrent(const FileLocations &locations)
{
    process() = locations;
}

} // namespace Places
