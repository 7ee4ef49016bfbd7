#ifndef PORTLIST_H
#define PORTLIST_H

#include <QString>
#include <QStringList>

#include <functional>

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

// What the system says of a port beyond its name, in one line: the maker
// then the description, the maker left out when the description already
// names it ("Silicon Labs CP2102"). Empty when the system says nothing, as
// for a pseudo-terminal.
QString portAbout(const QString &description, const QString &manufacturer);

// The ports that exist now: those the system lists, then the offered ones
// it does not list for which `exists` (a device file or link) holds.
QStringList presentPorts(const QStringList &listed, const QStringList &offered,
                         const std::function<bool(const QString &)> &exists);

#endif // PORTLIST_H
