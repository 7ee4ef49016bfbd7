#ifndef GSASYSTEM_H
#define GSASYSTEM_H

#include <QByteArray>

class NmeaFields;

// NMEA 0183 GNSS system IDs.
enum GnssSystemId {
    SystemUnknown = 0,
    SystemGps = 1,
    SystemGlonass = 2,
    SystemGalileo = 3,
    SystemBeidou = 4,
    SystemQzss = 5,
};

// The satellite system a GSA line reports on:
//   $GNGSA,A,3,05,13,,,,,,,,,,,1.8,1.0,1.5,1*33  -> 1 (the system-ID field)
// The NMEA 4.10 system-ID field (field 18) when present; otherwise the
// talker ($GP GPS, $GL GLONASS, $GA Galileo, $GB/$BD/$PQ BeiDou, $GQ/$QZ
// QZSS); for $GN without the field, the first satellite's number by the
// numbering table. SystemUnknown when none of these tells.
int gsaSystemId(const NmeaFields &fields);
int gsaSystemId(const QByteArray &line);

#endif // GSASYSTEM_H
