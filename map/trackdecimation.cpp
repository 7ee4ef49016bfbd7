#include "map/trackdecimation.h"

#include "map/track.h"

#include <algorithm>
#include <cmath>

namespace {

// True when the segment from a to b may cross the box: their bounding box
// meets it.
bool segmentMeets(const TrackPoint &a, const TrackPoint &b, const WorldBox &box)
{
    return std::max(a.x, b.x) >= box.minX && std::min(a.x, b.x) <= box.maxX && std::max(a.y, b.y) >= box.minY
        && std::min(a.y, b.y) <= box.maxY;
}

bool far(const TrackPoint &a, const TrackPoint &b, qint64 tolerance)
{
    return std::abs(qint64(a.x) - qint64(b.x)) > tolerance || std::abs(qint64(a.y) - qint64(b.y)) > tolerance;
}

} // namespace

QVector<int> decimateTrack(const Track &track, int count, double tolerance, const WorldBox &clip)
{
    QVector<int> out;
    count = std::min(count, track.size());
    const qint64 tol = qint64(std::floor(std::max(0.0, tolerance)));
    bool open = false;   // a line is being drawn
    int last = -1;       // the last index written
    auto keep = [&](int i) {
        if (last != i)
            out.append(i);
        last = i;
    };
    auto breakLine = [&] {
        if (open && !out.isEmpty() && out.constLast() != -1)
            out.append(-1);
        open = false;
        last = -1;
    };
    // One point: the segment into it, and whether it is kept.
    auto step = [&](int i) {
        const TrackPoint &p = track.at(i);
        const bool starts = i == 0 || track.gapBefore(i);
        if (starts)
            breakLine();
        const bool seen = starts ? clip.holds(p.x, p.y) : segmentMeets(track.at(i - 1), p, clip);
        if (!seen) {
            if (open) {
                // The line has left the view: it ends at the last point
                // whose segment could be seen.
                keep(i - 1);
                breakLine();
            }
            return;
        }
        if (!open) {
            // Into the view, or a new piece: from the point before it.
            if (!starts)
                keep(i - 1);
            keep(i);
            open = true;
            return;
        }
        const TrackPoint &before = track.at(i - 1);
        if (p.kind != before.kind) {
            keep(i - 1);
            keep(i);
        } else if (far(track.at(last), p, tol)) {
            // A jump from the previous point keeps that point too, so the
            // line does not cut the corner the jump makes.
            if (far(before, p, tol))
                keep(i - 1);
            keep(i);
        } else if (i + 1 == count || track.gapBefore(i + 1)) {
            keep(i);   // a piece's end
        }
    };
    for (int i = 0; i < count; ++i) {
        // A chunk whose box lies outside the view: its first point is
        // taken as any (the segment into it may cross the view), the rest
        // cannot be seen.
        const Track::ChunkBox &box = track.chunkBox(i >> Track::ChunkBits);
        const bool hidden = (i & (Track::ChunkSize - 1)) == 0
            && (box.maxX < clip.minX || box.minX > clip.maxX || box.maxY < clip.minY || box.minY > clip.maxY);
        step(i);
        if (hidden) {
            if (open) {
                keep(i);
                breakLine();
            }
            i = std::min(count, i + Track::ChunkSize) - 1;
        }
    }
    if (!out.isEmpty() && out.constLast() == -1)
        out.removeLast();
    return out;
}
