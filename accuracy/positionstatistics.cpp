#include "accuracy/positionstatistics.h"

#include <algorithm>
#include <numeric>
#include <cmath>

namespace {

// WGS 84.
constexpr double SemiMajorAxis = 6378137.0;
constexpr double Flattening = 1.0 / 298.257223563;
constexpr double EccentricitySquared = Flattening * (2.0 - Flattening);
constexpr double DegreesToRadians = M_PI / 180.0;

struct Cartesian
{
    double x, y, z;
};

Cartesian earthCentred(const GeodeticPosition &p)
{
    const double lat = p.latitude * DegreesToRadians;
    const double lon = p.longitude * DegreesToRadians;
    const double n = SemiMajorAxis / std::sqrt(1.0 - EccentricitySquared * std::sin(lat) * std::sin(lat));
    return {(n + p.height) * std::cos(lat) * std::cos(lon), (n + p.height) * std::cos(lat) * std::sin(lon),
            (n * (1.0 - EccentricitySquared) + p.height) * std::sin(lat)};
}

GeodeticPosition geodetic(const Cartesian &c)
{
    // Fixed-point iteration on the latitude; a few rounds reach the
    // micrometre near the earth's surface.
    const double lon = std::atan2(c.y, c.x);
    const double r = std::hypot(c.x, c.y);
    double lat = std::atan2(c.z, r * (1.0 - EccentricitySquared));
    double height = 0;
    for (int i = 0; i < 6; ++i) {
        const double n = SemiMajorAxis / std::sqrt(1.0 - EccentricitySquared * std::sin(lat) * std::sin(lat));
        height = r / std::cos(lat) - n;
        lat = std::atan2(c.z, r * (1.0 - EccentricitySquared * n / (n + height)));
    }
    return {lat / DegreesToRadians, lon / DegreesToRadians, height};
}

} // namespace

LocalOffset localOffset(const GeodeticPosition &origin, const GeodeticPosition &point)
{
    const Cartesian o = earthCentred(origin);
    const Cartesian p = earthCentred(point);
    const double dx = p.x - o.x, dy = p.y - o.y, dz = p.z - o.z;
    const double lat = origin.latitude * DegreesToRadians;
    const double lon = origin.longitude * DegreesToRadians;
    const double sinLat = std::sin(lat), cosLat = std::cos(lat);
    const double sinLon = std::sin(lon), cosLon = std::cos(lon);
    return {-sinLon * dx + cosLon * dy,
            -sinLat * cosLon * dx - sinLat * sinLon * dy + cosLat * dz,
            cosLat * cosLon * dx + cosLat * sinLon * dy + sinLat * dz};
}

GeodeticPosition offsetPosition(const GeodeticPosition &origin, const LocalOffset &offset)
{
    const Cartesian o = earthCentred(origin);
    const double lat = origin.latitude * DegreesToRadians;
    const double lon = origin.longitude * DegreesToRadians;
    const double sinLat = std::sin(lat), cosLat = std::cos(lat);
    const double sinLon = std::sin(lon), cosLon = std::cos(lon);
    const double e = offset.east, n = offset.north, u = offset.up;
    return geodetic({o.x - sinLon * e - sinLat * cosLon * n + cosLat * cosLon * u,
                     o.y + cosLon * e - sinLat * sinLon * n + cosLat * sinLon * u,
                     o.z + cosLat * n + sinLat * u});
}

LocalOffset meanOffset(const QVector<LocalOffset> &offsets)
{
    LocalOffset mean;
    int ups = 0;
    for (const LocalOffset &o : offsets) {
        mean.east += o.east;
        mean.north += o.north;
        if (std::isfinite(o.up)) {
            mean.up += o.up;
            ++ups;
        }
    }
    if (!offsets.isEmpty()) {
        mean.east /= offsets.size();
        mean.north /= offsets.size();
        mean.up = ups > 0 ? mean.up / ups : PositionSpread::None;
    }
    return mean;
}

namespace {

// percentile() on values it may reorder: a second share on the same values
// needs no copy.
double percentileInPlace(QVector<double> &values, double share)
{
    if (values.isEmpty())
        return PositionSpread::None;
    const double rank = std::clamp(share, 0.0, 1.0) * (values.size() - 1);
    const int below = int(std::floor(rank));
    // Only the two ranks around the one asked for need their place.
    std::nth_element(values.begin(), values.begin() + below, values.end());
    const double low = values.at(below);
    if (below + 1 >= values.size())
        return low;
    const double high = *std::min_element(values.begin() + below + 1, values.end());
    return low + (rank - below) * (high - low);
}

} // namespace

double percentile(QVector<double> values, double share)
{
    return percentileInPlace(values, share);
}

double histogramPercentile(const QVector<quint32> &counts, double step, double share)
{
    const qint64 n = std::accumulate(counts.begin(), counts.end(), qint64(0));
    if (n == 0)
        return PositionSpread::None;
    const double rank = std::clamp(share, 0.0, 1.0) * double(n - 1);
    const qint64 below = qint64(std::floor(rank));
    // The values at ranks `below` and the one after, as percentile() takes them.
    double low = 0;
    qint64 seen = 0;
    int i = 0;
    for (; i < counts.size(); ++i) {
        seen += counts.at(i);
        if (seen > below) {
            low = i * step;
            break;
        }
    }
    if (below + 1 >= n)
        return low;
    while (seen <= below + 1 && ++i < counts.size())
        seen += counts.at(i);
    const double high = (seen > below + 1 ? i : counts.size() - 1) * step;
    return low + (rank - below) * (high - low);
}

PositionSpread positionSpread(const QVector<LocalOffset> &offsets, const LocalOffset &centre)
{
    PositionSpread spread;
    spread.count = offsets.size();
    if (offsets.isEmpty())
        return spread;
    const double centreUp = std::isfinite(centre.up) ? centre.up : meanOffset(offsets).up;
    QVector<double> distances;
    distances.reserve(offsets.size());
    double squares = 0;
    double upSquares = 0;
    int ups = 0;
    for (const LocalOffset &o : offsets) {
        const double e = o.east - centre.east;
        const double n = o.north - centre.north;
        squares += e * e + n * n;
        distances.append(std::sqrt(e * e + n * n));
        if (std::isfinite(o.up)) {
            upSquares += (o.up - centreUp) * (o.up - centreUp);
            ++ups;
        }
    }
    spread.cep50 = percentileInPlace(distances, 0.5);
    spread.cep95 = percentileInPlace(distances, 0.95);
    spread.twoDrms = 2.0 * std::sqrt(squares / offsets.size());
    spread.verticalSpread = ups > 0 ? std::sqrt(upSquares / ups) : PositionSpread::None;
    return spread;
}
