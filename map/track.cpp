#include "map/track.h"

#include "map/mapprojection.h"
#include "receiver/epoch.h"

#include <algorithm>
#include <limits>

double TrackPoint::latitude() const
{
    return MapProjection::latitudeOf(y / MapProjection::WorldUnits);
}

double TrackPoint::longitude() const
{
    return MapProjection::longitudeOf(x / MapProjection::WorldUnits);
}

Track::Track(QObject *parent)
    : QObject(parent)
{
}

namespace {
quint16 centi(double value)
{
    return std::isfinite(value) && value >= 0 ? quint16(std::min(std::lround(value * 100), 0xFFFEL)) : 0xFFFF;
}
} // namespace

void Track::addEpoch(const Epoch &epoch)
{
    const double t = m_timeline.place(epoch);
    if (!epoch.hasPosition || !std::isfinite(t))
        return;
    TrackPoint p;
    p.x = MapProjection::fixedX(epoch.longitude);
    p.y = MapProjection::fixedY(epoch.latitude);
    p.height = float(epoch.altitude);
    p.hdopCenti = centi(epoch.hdop);
    p.sigmaCm = centi(std::hypot(epoch.latitudeSigma, epoch.longitudeSigma));
    p.kind = quint8(fixKind(epoch));
    p.satellites = epoch.satellitesInUse >= 0 ? quint8(std::min(epoch.satellitesInUse, 0xFE)) : 0xFF;
    addPoint(t, p);
}

void Track::addPoint(double utcSeconds, const TrackPoint &point)
{
    if (m_size == 0)
        m_start = utcSeconds;
    if ((size_t(m_size) >> BlockBits) >= m_blocks.size())
        m_blocks.emplace_back(new TrackPoint[size_t(1) << BlockBits]);
    TrackPoint &p = m_blocks[size_t(m_size) >> BlockBits][size_t(m_size) & BlockMask];
    p = point;
    // Times never go back (the timeline sees to it); the span is held at
    // what the field can count.
    const double ms = std::max(0.0, (utcSeconds - m_start) * 1000.0);
    p.ms = quint32(std::min(std::llround(ms), qint64(std::numeric_limits<quint32>::max())));
    if ((m_size & (ChunkSize - 1)) == 0)
        m_chunkBoxes.push_back({p.x, p.y, p.x, p.y});
    ChunkBox &box = m_chunkBoxes.back();
    box.minX = std::min(box.minX, p.x);
    box.minY = std::min(box.minY, p.y);
    box.maxX = std::max(box.maxX, p.x);
    box.maxY = std::max(box.maxY, p.y);
    ++m_size;
    if (gapBefore(m_size - 1))
        m_gapStarts.append(m_size - 1);
    emit changed();
}

void Track::clear()
{
    m_blocks.clear();
    m_chunkBoxes.clear();
    m_gapStarts.clear();
    m_size = 0;
    m_start = NAN;
    m_timeline.reset();
    emit changed();
}

void Track::dropFrom(double utcSeconds)
{
    const int kept = countUntil(std::nextafter(utcSeconds, -INFINITY));
    if (kept == m_size)
        return;
    if (kept == 0) {
        clear();
        return;
    }
    m_size = kept;
    m_blocks.resize(((size_t(kept) - 1) >> BlockBits) + 1);
    m_chunkBoxes.resize(((size_t(kept) - 1) >> ChunkBits) + 1);
    // The last chunk lost points: its box is drawn again from those left.
    ChunkBox &box = m_chunkBoxes.back();
    const int first = (kept - 1) & ~(ChunkSize - 1);
    box = {at(first).x, at(first).y, at(first).x, at(first).y};
    for (int i = first + 1; i < kept; ++i) {
        box.minX = std::min(box.minX, at(i).x);
        box.minY = std::min(box.minY, at(i).y);
        box.maxX = std::max(box.maxX, at(i).x);
        box.maxY = std::max(box.maxY, at(i).y);
    }
    while (!m_gapStarts.isEmpty() && m_gapStarts.last() >= kept)
        m_gapStarts.removeLast();
    m_timeline.rewind(this->utcSeconds(kept - 1));
    emit changed();
}

int Track::countUntil(double utcSeconds) const
{
    int lo = 0, hi = m_size;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (this->utcSeconds(mid) <= utcSeconds)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

double Track::accuracyRadius(int i) const
{
    const TrackPoint &p = at(i);
    if (std::isfinite(p.sigma()))
        return p.sigma();
    return p.hdop() * HdopMetres;
}

bool Track::bounds(int count, quint32 *minX, quint32 *minY, quint32 *maxX, quint32 *maxY) const
{
    count = std::min(count, m_size);
    if (count <= 0)
        return false;
    quint32 x0 = 0xFFFFFFFF, y0 = 0xFFFFFFFF, x1 = 0, y1 = 0;
    for (int i = 0; i < count; ++i) {
        const TrackPoint &p = at(i);
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    *minX = x0;
    *minY = y0;
    *maxX = x1;
    *maxY = y1;
    return true;
}

int Track::nearest(int count, quint32 x, quint32 y, quint32 within) const
{
    count = std::min(count, m_size);
    int best = -1;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (int i = 0; i < count; ++i) {
        const TrackPoint &p = at(i);
        const qint64 dx = qint64(p.x) - x;
        const qint64 dy = qint64(p.y) - y;
        if (std::abs(dx) > within || std::abs(dy) > within)
            continue;
        const qint64 d = dx * dx + dy * dy;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

qint64 Track::bytes() const
{
    return qint64(m_blocks.size()) * (qint64(1) << BlockBits) * qint64(sizeof(TrackPoint));
}
