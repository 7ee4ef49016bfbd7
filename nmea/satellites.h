#ifndef SATELLITES_H
#define SATELLITES_H

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class NmeaFields;

// The constellations a GSV satellite can belong to. The first five are the
// statistics grid's columns 1 to 5, in that order; SBAS is drawn and marked
// used but has no statistics.
enum class Constellation {
    Gps = 0,
    Glonass = 1,
    Galileo = 2,
    Beidou = 3,
    Qzss = 4,
    Sbas = 5,
};

// Number of constellations with statistics (GPS, GLONASS, Galileo, BeiDou, QZSS).
constexpr int StatisticsConstellations = 5;

// A colour as red, green, blue and alpha, 0 to 255 each. Kept free of the
// GUI library so the satellite logic links Qt Core only.
struct SatelliteColour
{
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 255;

    bool operator==(const SatelliteColour &other) const
    {
        return red == other.red && green == other.green && blue == other.blue
               && alpha == other.alpha;
    }
};

// The colour the program draws a constellation in (sky view, bar chart,
// statistics titles, charts); alpha 255.
SatelliteColour constellationColour(Constellation constellation);

// One row of the constellation table: which satellites of which GSV talker
// belong to a constellation, how they are labelled and coloured, and whether
// a GSA may report them as used.
struct ConstellationRow
{
    const char *talker;     // "GP" of "$GPGSV"; empty: any talker
    int firstPrn;           // inclusive
    int lastPrn;            // inclusive
    Constellation constellation;
    char letter;            // label letter
    SatelliteColour colour; // alpha 255
    int usedSystemId;       // the GSA system ID that lists it as used
    int offset;             // number as sent minus the constellation's own number (SBAS 33-64: -87)
};

// The row of the numbering table for a talker ("GP" of "$GPGSV", "GN" read
// as "GP") and a satellite number as sent, or nullptr when none: such a
// satellite contributes nothing. GSV, GSA, the window, the analysis and the
// comparison all identify satellites here.
const ConstellationRow *findConstellation(const QByteArray &talker, int prn);

// The label of a satellite: the letter and the number as sent ("G05", "Q193",
// "G9", "S40" for SBAS PRN 127), or, for an extended number, the
// constellation's own number with two digits ("B14" for 214).
QString satelliteLabel(const ConstellationRow &row, const QByteArray &numberAsSent);

// The number of satellites a GSV line holds: one per complete group of four
// fields after field 3, so the optional signal-ID field after the last
// satellite is never taken for one.
int gsvSatelliteCount(const NmeaFields &fields);

#endif // SATELLITES_H
