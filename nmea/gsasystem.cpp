#include "nmea/gsasystem.h"
#include "nmea/nmeafields.h"
#include "nmea/satellites.h"

int gsaSystemId(const NmeaFields &fields)
{
    // Fields: 0 address, 1 mode, 2 fix type, 3-14 satellites, 15 PDOP,
    // 16 HDOP, 17 VDOP, 18 system ID (NMEA 4.10 and later).
    const QByteArray id = fields.at(18);
    if (id.size() == 1 && id.at(0) >= '1' && id.at(0) <= '9')
        return id.at(0) - '0';

    const QByteArray talker = fields.talker();
    if (talker == "GP")
        return SystemGps;
    if (talker == "GL")
        return SystemGlonass;
    if (talker == "GA")
        return SystemGalileo;
    if (talker == "GB" || talker == "BD" || talker == "PQ")
        return SystemBeidou;
    if (talker == "GQ" || talker == "QZ")
        return SystemQzss;
    if (talker != "GN")
        return SystemUnknown;

    // $GN without the field: the first satellite's number says.
    for (int i = 3; i <= 14; ++i) {
        if (fields.sizeAt(i) == 0)
            continue;
        const ConstellationRow *row = findConstellation(talker, fields.intAt(i));
        return row ? row->usedSystemId : SystemUnknown;
    }
    return SystemUnknown;
}

int gsaSystemId(const QByteArray &line)
{
    return gsaSystemId(NmeaFields(line));
}
