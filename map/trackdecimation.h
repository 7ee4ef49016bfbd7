#ifndef TRACKDECIMATION_H
#define TRACKDECIMATION_H

#include <QVector>
#include <QtGlobal>

class Track;

// A box of the world in fixed point (MapProjection), edges included.
struct WorldBox
{
    qint64 minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool holds(quint32 x, quint32 y) const { return x >= minX && x <= maxX && y >= minY && y <= maxY; }
};

// The points of a track worth drawing at one zoom, as indices into the
// track with -1 where the line breaks. Of [0, count):
// - a point is left out while it lies within `tolerance` units (a pixel)
//   of the last point kept, in both axes;
// - every jump is kept: a point further than that from the last kept one
//   always is, and so is the point before it;
// - every change of fix kind is kept: the last point of the old kind and
//   the first of the new;
// - the line breaks where the receiver lost its position (Track::gapBefore)
//   and where it leaves `clip`; segments that cannot cross `clip` are left
//   out, the last point before them and the first after kept.
// One pass over the points: a day at 10 Hz takes a few milliseconds.
QVector<int> decimateTrack(const Track &track, int count, double tolerance, const WorldBox &clip);

#endif // TRACKDECIMATION_H
