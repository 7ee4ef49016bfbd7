#ifndef MAPPAINTER_H
#define MAPPAINTER_H

#include "accuracy/positionstatistics.h"
#include "map/mapprojection.h"

#include <QSize>
#include <QString>

#include <optional>

class QPainter;
class Track;

// What one picture of the map shows.
struct MapScene
{
    const Track *track = nullptr;
    int count = 0;              // points of the track shown: [0, count)
    MapViewport view;
    std::optional<GeodeticPosition> reference;
    bool tilesUnder = false;    // a tile layer lies under: no background of our own
    int selected = -1;          // a point the user picked, ringed
};

// The map drawn with a painter, the same for the dock and track.png: the
// offline background (a plain ground with a grid of latitudes and
// longitudes, labelled), the track decimated for the zoom and coloured by
// fix kind, breaks where the receiver lost its position, the last point
// with its horizontal accuracy circle, the reference position and a scale
// bar.
namespace MapPainter {

void paint(QPainter &painter, const MapScene &scene);
// Grid spacing in degrees for a view: the step of 1, 2 or 5 x 10^n whose
// lines lie at least `minPixels` apart.
double gridStep(const MapViewport &view, double minPixels);
// The scale bar: a round length (1, 2 or 5 x 10^n metres) about
// `targetPixels` long at the view's centre, and its pixels.
double scaleBarMetres(const MapViewport &view, double targetPixels, double *pixels);
// The view that shows points [0, count) of the track whole in `size`
// pixels, with a margin; a world view without points. Zoom at most 19.
MapViewport fitView(const Track &track, int count, const QSizeF &size);

} // namespace MapPainter

// track.png: the whole track on the offline background, 1200 x 900.
bool writeTrackPicture(const Track &track, const QString &file, QString *error);

#endif // MAPPAINTER_H
