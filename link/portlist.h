#ifndef PORTLIST_H
#define PORTLIST_H

#include <QString>
#include <QStringList>

// What the port box shows after a scan: the ports the system lists, in its
// order, then the ports offered by name (a pseudo-terminal, say) that the
// system does not list.
struct PortListUpdate
{
    bool rebuild = false;    // the box's entries change
    QStringList names;       // the entries, when rebuilt
    QString selected;        // the entry to select, when rebuilt
};

// Compares by name, not by count, so a device swapped for another between
// two scans is seen. The current entry stays selected while it exists;
// otherwise the first entry is.
PortListUpdate refreshPortList(const QStringList &shown, const QStringList &available,
                               const QStringList &offered, const QString &current);

#endif // PORTLIST_H
