#ifndef MAPSETTINGS_H
#define MAPSETTINGS_H

#include <QString>

// Where the map's tiles come from, kept in the settings file's "Map" group.
// Tiles follow the tile servers' usage policy: a User-Agent that names the
// program, a disk cache, and tiles fetched only as the map shows them.
struct MapSettings
{
    // Off by default: the map works offline, on its own background.
    bool tilesOn = false;
    // The server's address; "{z}/{x}/{y}.png" is appended. A lab's own
    // server goes here.
    QString tileServer = QStringLiteral("https://tile.openstreetmap.org/");
    QString userAgent = defaultUserAgent();
    // Empty: the program's cache folder, "tiles" under it.
    QString cacheDirectory;

    static QString defaultUserAgent();
    // The cache folder in use: cacheDirectory, or the default.
    QString cacheFolder() const;

    static MapSettings read(const QString &configFile);
    void write(const QString &configFile) const;
};

#endif // MAPSETTINGS_H
