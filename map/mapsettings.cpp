#include "map/mapsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString TilesKey = QStringLiteral("Map/Tiles");
const QString ServerKey = QStringLiteral("Map/TileServer");
const QString AgentKey = QStringLiteral("Map/UserAgent");
const QString CacheKey = QStringLiteral("Map/CacheDirectory");
} // namespace

QString MapSettings::defaultUserAgent()
{
    return QStringLiteral("KestrelaSkyloupe/1.2 (GNSS receiver evaluation; Qt %1)").arg(QString::fromLatin1(qVersion()));
}

QString MapSettings::cacheFolder() const
{
    if (!cacheDirectory.isEmpty())
        return cacheDirectory;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).filePath(QStringLiteral("tiles"));
}

MapSettings MapSettings::read(const QString &configFile)
{
    const QSettings file(configFile, QSettings::IniFormat);
    MapSettings s;
    s.tilesOn = file.value(TilesKey, s.tilesOn).toBool();
    s.tileServer = file.value(ServerKey, s.tileServer).toString();
    s.userAgent = file.value(AgentKey, s.userAgent).toString();
    s.cacheDirectory = file.value(CacheKey, s.cacheDirectory).toString();
    if (!s.tileServer.endsWith(QLatin1Char('/')))
        s.tileServer += QLatin1Char('/');
    return s;
}

void MapSettings::write(const QString &configFile) const
{
    QSettings file(configFile, QSettings::IniFormat);
    file.setValue(TilesKey, tilesOn);
    file.setValue(ServerKey, tileServer);
    file.setValue(AgentKey, userAgent);
    if (!cacheDirectory.isEmpty())
        file.setValue(CacheKey, cacheDirectory);
    file.sync();
}
