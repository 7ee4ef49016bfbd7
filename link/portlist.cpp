#include "link/portlist.h"

PortListUpdate refreshPortList(const QStringList &shown, const QStringList &available,
                               const QStringList &offered, const QString &current)
{
    PortListUpdate update;
    QStringList names = available;
    for (const QString &name : offered) {
        if (!names.contains(name))
            names.append(name);
    }
    if (names == shown)
        return update;
    update.rebuild = true;
    update.names = names;
    if (names.contains(current))
        update.selected = current;
    else if (!names.isEmpty())
        update.selected = names.first();
    return update;
}

QString portAbout(const QString &description, const QString &manufacturer)
{
    const QString d = description.trimmed();
    const QString m = manufacturer.trimmed();
    if (m.isEmpty() || d.contains(m, Qt::CaseInsensitive))
        return d;
    if (d.isEmpty())
        return m;
    return m + QLatin1Char(' ') + d;
}

QStringList presentPorts(const QStringList &listed, const QStringList &offered,
                         const std::function<bool(const QString &)> &exists)
{
    QStringList present = listed;
    for (const QString &name : offered) {
        if (!present.contains(name) && exists(name))
            present.append(name);
    }
    return present;
}
