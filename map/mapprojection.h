#ifndef MAPPROJECTION_H
#define MAPPROJECTION_H

#include <QPointF>
#include <QSizeF>
#include <QtGlobal>

// Web Mercator, as tile servers cut the world: x runs east from longitude
// -180 and y south from latitude +85.0511, each from 0 to 1 over the world.
// Points are kept in 32-bit fixed point of that square (WorldUnits across,
// about 0.9 cm at the equator and finer elsewhere).
namespace MapProjection {

constexpr double WorldUnits = 4294967296.0;   // 2^32
constexpr double MaxLatitude = 85.0511287798;
constexpr double EarthCircumference = 40075016.686;   // metres, at the equator
constexpr int TileSize = 256;                          // pixels of one tile

// Longitude and latitude (degrees) to the unit square; latitudes beyond the
// map's edge are held at it.
double worldX(double longitude);
double worldY(double latitude);
double longitudeOf(double worldX);
double latitudeOf(double worldY);
// The same in fixed point, rounded to the nearest unit.
quint32 fixedX(double longitude);
quint32 fixedY(double latitude);

// Metres on the ground that one pixel covers at `latitude` and `zoom`
// (the world is TileSize * 2^zoom pixels wide).
double metresPerPixel(double latitude, double zoom);
// Pixels the world is wide at `zoom`.
double worldPixels(double zoom);

} // namespace MapProjection

// What a map shows: the world point at its centre (unit square), its zoom
// and its size in pixels. Turns world points into pixels and back.
struct MapViewport
{
    QPointF centre{0.5, 0.5};
    double zoom = 2;
    QSizeF size{800, 600};

    QPointF toPixel(double worldX, double worldY) const;
    QPointF toWorld(const QPointF &pixel) const;
    // World units (fixed point) one pixel spans.
    double unitsPerPixel() const;
};

#endif // MAPPROJECTION_H
