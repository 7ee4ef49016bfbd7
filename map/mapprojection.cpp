#include "map/mapprojection.h"

#include <algorithm>
#include <cmath>

namespace MapProjection {

double worldX(double longitude)
{
    return (longitude + 180.0) / 360.0;
}

double worldY(double latitude)
{
    const double phi = std::clamp(latitude, -MaxLatitude, MaxLatitude) * M_PI / 180.0;
    return (1.0 - std::log(std::tan(phi) + 1.0 / std::cos(phi)) / M_PI) / 2.0;
}

double longitudeOf(double x)
{
    return x * 360.0 - 180.0;
}

double latitudeOf(double y)
{
    return std::atan(std::sinh(M_PI * (1.0 - 2.0 * y))) * 180.0 / M_PI;
}

static quint32 toFixed(double unit)
{
    return quint32(std::clamp(std::llround(unit * WorldUnits), 0LL, qint64(WorldUnits) - 1));
}

quint32 fixedX(double longitude)
{
    return toFixed(worldX(longitude));
}

quint32 fixedY(double latitude)
{
    return toFixed(worldY(latitude));
}

double worldPixels(double zoom)
{
    return TileSize * std::exp2(zoom);
}

double metresPerPixel(double latitude, double zoom)
{
    return EarthCircumference * std::cos(latitude * M_PI / 180.0) / worldPixels(zoom);
}

} // namespace MapProjection

QPointF MapViewport::toPixel(double x, double y) const
{
    const double scale = MapProjection::worldPixels(zoom);
    return QPointF((x - centre.x()) * scale + size.width() / 2, (y - centre.y()) * scale + size.height() / 2);
}

QPointF MapViewport::toWorld(const QPointF &pixel) const
{
    const double scale = MapProjection::worldPixels(zoom);
    return QPointF(centre.x() + (pixel.x() - size.width() / 2) / scale,
                   centre.y() + (pixel.y() - size.height() / 2) / scale);
}

double MapViewport::unitsPerPixel() const
{
    return MapProjection::WorldUnits / MapProjection::worldPixels(zoom);
}
