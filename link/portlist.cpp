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
