#include "settings/connectionsettings.h"

#include <QSettings>

namespace Connection {

namespace {
const QString PortKey = QStringLiteral("Connection/LastPort");
const QString BaudKey = QStringLiteral("Connection/LastBaud");
const QString ReconnectKey = QStringLiteral("Connection/Reconnect");
const QString RecentKey = QStringLiteral("Connection/RecentSources");
} // namespace

ConnectionSettings read(const QString &configFile)
{
    const QSettings file(configFile, QSettings::IniFormat);
    ConnectionSettings s;
    s.port = file.value(PortKey).toString();
    s.baud = file.value(BaudKey).toString();
    s.reconnect = file.value(ReconnectKey, true).toBool();
    return s;
}

void rememberOpened(const QString &configFile, const QString &port, const QString &baud)
{
    QSettings file(configFile, QSettings::IniFormat);
    file.setValue(PortKey, port);
    file.setValue(BaudKey, baud);
    file.sync();
}

void setReconnect(const QString &configFile, bool on)
{
    QSettings file(configFile, QSettings::IniFormat);
    file.setValue(ReconnectKey, on);
    file.sync();
}

QStringList recentSources(const QString &configFile)
{
    const QSettings file(configFile, QSettings::IniFormat);
    return file.value(RecentKey).toStringList().mid(0, RecentSources);
}

void rememberSource(const QString &configFile, const QString &address)
{
    if (address.isEmpty())
        return;
    QSettings file(configFile, QSettings::IniFormat);
    QStringList recent = file.value(RecentKey).toStringList();
    recent.removeAll(address);
    recent.prepend(address);
    file.setValue(RecentKey, QVariant(recent.mid(0, RecentSources)));
    file.sync();
}

QString portToSelect(const ConnectionSettings &remembered, const QStringList &present)
{
    return present.contains(remembered.port) ? remembered.port : QString();
}

} // namespace Connection
