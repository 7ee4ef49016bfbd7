#ifndef CONNECTIONSETTINGS_H
#define CONNECTIONSETTINGS_H

#include <QString>
#include <QStringList>

// What the settings file remembers of the connection, in its "Connection"
// group beside BaseConfig: the port and baud rate last opened, and whether
// a port that went away is watched for and opened again.
struct ConnectionSettings
{
    QString port;           // empty until a port has been opened
    QString baud;
    bool reconnect = true;  // on unless the user turned it off
};

namespace Connection {

// Reads the group from the INI file at `configFile`; a missing file or
// key gives the defaults above.
ConnectionSettings read(const QString &configFile);

// Records the port and rate just opened, on the disk at once, so a killed
// program still starts with them.
void rememberOpened(const QString &configFile, const QString &port, const QString &baud);

// Records whether a lost port is watched for.
void setReconnect(const QString &configFile, bool on);

// The remembered port to select at start: `remembered.port` when it is
// among `present` (the ports that exist now), otherwise empty.
// The sources opened lately, newest first, each once (their addresses as
// --source takes them); at most RecentSources.
constexpr int RecentSources = 10;
QStringList recentSources(const QString &configFile);
// Puts `address` on top of the recent sources.
void rememberSource(const QString &configFile, const QString &address);

QString portToSelect(const ConnectionSettings &remembered, const QStringList &present);

} // namespace Connection

#endif // CONNECTIONSETTINGS_H
