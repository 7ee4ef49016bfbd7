#include "nmea/satellites.h"
#include "nmea/gsasystem.h"
#include "nmea/nmeafields.h"

#include <algorithm>

namespace {

const SatelliteColour GpsColour{100, 100, 255, 255};
const SatelliteColour QzssColour{242, 98, 0, 255};
const SatelliteColour SbasColour{216, 244, 78, 255};
const SatelliteColour GlonassColour{255, 153, 0, 255};
const SatelliteColour GalileoColour{97, 146, 0, 255};
const SatelliteColour BeidouColour{153, 102, 51, 255};

// The one numbering table. Receivers of NMEA 2.x to 4.0 put every
// constellation under $GP (or $GN): 1-32 GPS, 33-64 SBAS (PRN = number +
// 87), 65-96 GLONASS, 120-158 SBAS, 193-200 QZSS. Under its own talker a
// constellation keeps its own numbers ($GQ/$QZ QZSS 1-10 as NMEA 4.11 and
// some phones send it). Extended numberings, on any talker: BeiDou 201-263
// and 401-463, Galileo 301-336; Galileo 101-136 only under $GA. $PQGSV, a
// proprietary GSV of BeiDou, is read like $GB.
const ConstellationRow Table[] = {
    {"GP", 1, 32, Constellation::Gps, 'G', GpsColour, SystemGps, 0},
    {"GP", 193, 200, Constellation::Qzss, 'Q', QzssColour, SystemGps, 0},
    {"GP", 33, 64, Constellation::Sbas, 'S', SbasColour, SystemGps, -87},
    {"GP", 120, 158, Constellation::Sbas, 'S', SbasColour, SystemGps, 0},
    {"GP", 65, 96, Constellation::Glonass, 'R', GlonassColour, SystemGlonass, 0},
    {"GL", 65, 96, Constellation::Glonass, 'R', GlonassColour, SystemGlonass, 0},
    {"GA", 1, 36, Constellation::Galileo, 'E', GalileoColour, SystemGalileo, 0},
    {"GA", 101, 136, Constellation::Galileo, 'E', GalileoColour, SystemGalileo, 100},
    {"GB", 1, 63, Constellation::Beidou, 'B', BeidouColour, SystemBeidou, 0},
    {"BD", 1, 63, Constellation::Beidou, 'B', BeidouColour, SystemBeidou, 0},
    {"PQ", 1, 63, Constellation::Beidou, 'B', BeidouColour, SystemBeidou, 0},
    {"GQ", 1, 10, Constellation::Qzss, 'Q', QzssColour, SystemQzss, 0},
    {"QZ", 1, 10, Constellation::Qzss, 'Q', QzssColour, SystemQzss, 0},
    {"", 301, 336, Constellation::Galileo, 'E', GalileoColour, SystemGalileo, 300},
    {"", 201, 263, Constellation::Beidou, 'B', BeidouColour, SystemBeidou, 200},
    {"", 401, 463, Constellation::Beidou, 'B', BeidouColour, SystemBeidou, 400},
};

} // namespace

SatelliteColour constellationColour(Constellation constellation)
{
    switch (constellation) {
    case Constellation::Gps: return GpsColour;
    case Constellation::Glonass: return GlonassColour;
    case Constellation::Galileo: return GalileoColour;
    case Constellation::Beidou: return BeidouColour;
    case Constellation::Qzss: return QzssColour;
    case Constellation::Sbas: return SbasColour;
    }
    return GpsColour;
}

const ConstellationRow *findConstellation(const QByteArray &talker, int prn)
{
    // $GN numbers as $GP does: a combined talker of the older numbering.
    const bool combined = talker == "GN";
    for (const ConstellationRow &row : Table) {
        // The numbers first: comparing them is cheaper than the talker (two
        // letters in every row that names one).
        if (prn >= row.firstPrn && prn <= row.lastPrn
            && (row.talker[0] == '\0'
                || (combined && row.talker[0] == 'G' && row.talker[1] == 'P')
                || (talker.size() == 2 && talker.at(0) == row.talker[0] && talker.at(1) == row.talker[1])))
            return &row;
    }
    return nullptr;
}

QString satelliteLabel(const ConstellationRow &row, const QByteArray &numberAsSent)
{
    if (row.offset <= 0)
        return QLatin1Char(row.letter) + QString::fromLatin1(numberAsSent);
    const int own = numberAsSent.toInt() - row.offset;
    return QLatin1Char(row.letter) + QStringLiteral("%1").arg(own, 2, 10, QLatin1Char('0'));
}

int gsvSatelliteCount(const NmeaFields &fields)
{
    // Fields 0-3 are the address, message count, message number and
    // satellites in view; each satellite takes four more.
    return std::max(0, (fields.count() - 4) / 4);
}
