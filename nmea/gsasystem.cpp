#include "nmea/gsasystem.h"
#include "nmea/nmeafields.h"

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
    if (talker == "GB" || talker == "BD")
        return SystemBeidou;
    if (talker == "GQ" || talker == "QZ")
        return SystemQzss;
    if (talker != "GN")
        return SystemUnknown;

    for (int i = 3; i <= 14; ++i) {
        const int prn = fields.intAt(i);
        if (prn >= 1 && prn <= 32)
            return SystemGps;
        if (prn >= 65 && prn <= 96)
            return SystemGlonass;
        if (prn != 0)
            return SystemUnknown;
    }
    return SystemUnknown;
}

int gsaSystemId(const QByteArray &line)
{
    return gsaSystemId(NmeaFields(line));
}
