#ifndef SOURCETABLE_H
#define SOURCETABLE_H

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QVector>

// One stream ("STR" line) of a caster's source table.
struct SourceEntry
{
    QString mountpoint;
    QString identifier;     // the place, usually
    QString format;         // "RTCM 3.3"
    QString formatDetails;  // "1005(10),1077(1),..."
    QString navSystem;      // "GPS+GLO+GAL+BDS"
    QString network;
    QString country;
    double latitude = 0;
    double longitude = 0;
    bool wantsGga = false;  // the caster needs the receiver's position (network RTK, VRS)
    QString authentication; // N none, B basic, D digest
};

// Reads the STR lines of a source table (lines of other kinds and lines
// too short to name a mountpoint are passed over; missing fields are empty
// or 0).
QVector<SourceEntry> parseSourceTable(const QByteArray &text);

Q_DECLARE_METATYPE(SourceEntry)

#endif // SOURCETABLE_H
