#ifndef SATELLITES_H
#define SATELLITES_H

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class NmeaFields;

// The constellations a GSV satellite can belong to. The first five are the
// statistics grid's columns 1 to 5, in that order; SBAS is drawn but has no
// statistics and is never marked used.
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
// belong to a constellation, how they are labelled and coloured, and which
// GSA system reports them as used (0: never marked).
struct ConstellationRow
{
    const char *talker;     // "GP" of "$GPGSV"
    int firstPrn;           // inclusive
    int lastPrn;            // inclusive
    Constellation constellation;
    char letter;            // label letter
    SatelliteColour colour; // alpha 255
    int usedSystemId;       // GSA system ID that marks these satellites used
};

// The row of the table for a GSV talker ("GP") and satellite number, or
// nullptr when none: such a satellite contributes nothing.
const ConstellationRow *findConstellation(const QByteArray &talker, int prn);

// The satellites in view for one block, as six parallel lists: element i of
// every list is the same satellite. A fill alpha of 255 marks a satellite
// used in the fix, 30 one that is not.
struct SatelliteSnapshot
{
    QList<QString> labels;
    QList<float> elevations;
    QList<float> azimuths;
    QList<float> cnrs;
    QList<SatelliteColour> outlines;
    QList<SatelliteColour> fills;

    int size() const { return labels.size(); }
    void append(const SatelliteSnapshot &other);
};

// The statistics grid's values. They are held between updates.
struct SatelliteStatistics
{
    int gpsInView = 0;
    int qzssInView = 0;
    // Indexed by Constellation, GPS to QZSS.
    float peak[StatisticsConstellations] = {};
    float topFourAverage[StatisticsConstellations] = {};
};

// One cell of the statistics grid (info_table) and its text.
struct GridCell
{
    int row;
    int column;
    QString text;
};

// The cell one GSV line writes as it arrives: GLONASS, Galileo and BeiDou
// ($GL, $GA, $GB or $BD) put field 3, the satellites in view as received,
// into row 1, columns 2, 3 and 4. Other talkers write nothing.
//   $GLGSV,3,1,10,65,45,120,38,...  -> row 1, column 2, "10"
std::optional<GridCell> inViewCell(const QByteArray &gsvLine);

// The number of satellites a GSV line holds: one per complete group of four
// fields after field 3, so the optional signal-ID field after the last
// satellite is never taken for one.
int gsvSatelliteCount(const NmeaFields &fields);

// Turns a block's GSV and GSA sentences into the satellite snapshot and the
// per-constellation statistics. The statistics persist between blocks.
class SatelliteTracker
{
public:
    // Builds the snapshot of one block. With no GSV or no GSA sentence it
    // changes nothing and returns no snapshot, so the plots keep what they
    // were given and the grid shows the held statistics again.
    //   GPS, GLONASS, Galileo, BeiDou in arrival order, then QZSS, then SBAS.
    std::optional<SatelliteSnapshot> update(const QList<QByteArray> &gsvBatch,
                                            const QList<QByteArray> &gsaBatch);

    const SatelliteStatistics &statistics() const { return m_statistics; }

    // The grid cells the statistics fill: row 1 columns 1 and 5 (GPS and
    // QZSS in view, two digits), row 4 (peak CNR) and row 3 (top-4 CNR
    // average), columns 1 to 5, with two decimals.
    QList<GridCell> statisticsCells() const;

private:
    SatelliteStatistics m_statistics;
};

#endif // SATELLITES_H
