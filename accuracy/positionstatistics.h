#ifndef POSITIONSTATISTICS_H
#define POSITIONSTATISTICS_H

#include <QVector>

#include <limits>

// A position on the WGS 84 ellipsoid: degrees north and east, and a height
// in metres (the program uses the altitude the receiver sends; the local
// offsets below barely depend on which height is meant).
struct GeodeticPosition
{
    double latitude = 0;
    double longitude = 0;
    double height = 0;
};

// Metres east, north and up from an origin, in the plane that touches the
// ellipsoid at the origin.
struct LocalOffset
{
    double east = 0;
    double north = 0;
    double up = 0;
};

// Where `point` lies seen from `origin`, through earth-centred coordinates,
// so it holds for any distance. 0.001 degrees of latitude at 45 degrees
// north is about 111.1 m north.
LocalOffset localOffset(const GeodeticPosition &origin, const GeodeticPosition &point);
// The position at `offset` from `origin`: localOffset undone, to well under
// a millimetre for offsets of kilometres.
GeodeticPosition offsetPosition(const GeodeticPosition &origin, const LocalOffset &offset);

// The mean of the offsets; all zero for none. An up that is NaN (a fix
// without altitude) is left out of the mean up, which is NaN when no fix
// has one.
LocalOffset meanOffset(const QVector<LocalOffset> &offsets);

// The value below which `share` (0 to 1) of the values lie, interpolated
// between the two nearest ranks (rank share * (n - 1) of the sorted
// values): of 1, 2, 3, 4 the 0.5 value is 2.5 and the 0.95 value 3.85. NaN
// for no values.
double percentile(QVector<double> values, double share);
// percentile() of values held as how many there are of each: counts[i]
// values equal to i * step.
double histogramPercentile(const QVector<quint32> &counts, double step, double share);

// How a set of horizontal fixes spreads about a centre: the mean, or a
// reference position's offset.
struct PositionSpread
{
    static constexpr double None = std::numeric_limits<double>::quiet_NaN();

    int count = 0;                // fixes the figures come from
    double cep50 = None;          // m: the radius about the centre holding half the fixes
    double cep95 = None;          // m: the radius holding 95 % of them
    double twoDrms = None;        // m: twice the root mean square horizontal distance
    double verticalSpread = None; // m: root mean square of up about the centre's up
};

// The spread of `offsets` (from any origin) about `centre` (from the same
// origin). A centre whose up is NaN measures heights about the fixes' mean
// up; fixes whose up is NaN count horizontally only. CEP50 and CEP95 are
// the 0.5 and 0.95 percentiles of the horizontal distances.
PositionSpread positionSpread(const QVector<LocalOffset> &offsets, const LocalOffset &centre);

#endif // POSITIONSTATISTICS_H
