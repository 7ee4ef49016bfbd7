#ifndef TRACK_H
#define TRACK_H

#include "accuracy/positionhistory.h"
#include "history/timeline.h"

#include <QObject>
#include <QVector>

#include <cmath>
#include <memory>
#include <vector>

struct Epoch;

// One position of a track, 24 bytes: where (Web Mercator fixed point), when
// (milliseconds after the track's first point), height, fix kind,
// satellites used, HDOP and the GST horizontal sigma.
struct TrackPoint
{
    quint32 x = 0;              // MapProjection::fixedX
    quint32 y = 0;              // MapProjection::fixedY
    quint32 ms = 0;             // after Track::startTime(); a track spans up to 49 days
    float height = NAN;         // metres above mean sea level; NaN: not sent
    quint16 hdopCenti = 0xFFFF; // HDOP x 100; 0xFFFF: not sent
    quint16 sigmaCm = 0xFFFF;   // GST horizontal 1-sigma (root sum of squares), cm; 0xFFFF: not sent
    quint8 kind = 0;            // FixKind
    quint8 satellites = 0xFF;   // used in the fix; 0xFF: not sent

    double latitude() const;
    double longitude() const;
    double hdop() const { return hdopCenti == 0xFFFF ? NAN : hdopCenti / 100.0; }
    double sigma() const { return sigmaCm == 0xFFFF ? NAN : sigmaCm / 100.0; }
    int satellitesUsed() const { return satellites == 0xFF ? -1 : satellites; }
    FixKind fixKind() const { return FixKind(kind); }
};

// Where the receiver was: every epoch with a position, in order, for the
// map and the GPX and KML files. Kept in blocks of 64k points, so a day at
// 10 Hz (864,000 points) takes 20.7 MB and growing never copies it.
// Chunk boxes and gap indices add a few kilobytes.
class Track : public QObject
{
    Q_OBJECT

public:
    // Metres of horizontal accuracy one unit of HDOP stands for where the
    // receiver sends no GST: a user range error of 5 m, typical of a
    // single-band fix in the open.
    static constexpr double HdopMetres = 5.0;
    // Points further apart in time than this are drawn and written as
    // separate pieces: the receiver lost its position in between.
    static constexpr quint32 GapMs = 3000;

    explicit Track(QObject *parent = nullptr);

    // Adds an epoch that has a position; others change nothing.
    void addEpoch(const Epoch &epoch);
    // Adds a point at `utcSeconds` (since 1970), for tests and tools.
    void addPoint(double utcSeconds, const TrackPoint &point);
    void clear();
    // Keeps only the points before `utcSeconds`: a replay that went back.
    void dropFrom(double utcSeconds);

    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const TrackPoint &at(int i) const { return m_blocks[size_t(i) >> BlockBits][size_t(i) & BlockMask]; }
    // UTC seconds since 1970 of point i.
    double utcSeconds(int i) const { return m_start + at(i).ms / 1000.0; }
    double startTime() const { return m_start; }
    // True when the receiver lost its position between points i-1 and i.
    bool gapBefore(int i) const { return i > 0 && at(i).ms - at(i - 1).ms > GapMs; }
    // The points up to `utcSeconds` (a replay's time): how many there are.
    int countUntil(double utcSeconds) const;
    // Metres of the horizontal accuracy circle of point i: the GST sigmas
    // where sent, else HDOP x HdopMetres; NaN when neither is.
    double accuracyRadius(int i) const;

    // The smallest box (fixed point) holding points [0, count).
    bool bounds(int count, quint32 *minX, quint32 *minY, quint32 *maxX, quint32 *maxY) const;
    // The point of [0, count) nearest to (x, y), -1 when none lies within
    // `within` units (each axis).
    int nearest(int count, quint32 x, quint32 y, quint32 within) const;
    // Bytes the points take.
    qint64 bytes() const;

    // Points come in chunks of ChunkSize with the box that holds each, so
    // a view can pass over chunks it does not show; the indices of the
    // points that follow a gap (gapBefore) are kept too.
    static constexpr int ChunkBits = 8;
    static constexpr int ChunkSize = 1 << ChunkBits;
    struct ChunkBox { quint32 minX, minY, maxX, maxY; };
    const ChunkBox &chunkBox(int chunk) const { return m_chunkBoxes[size_t(chunk)]; }
    const QVector<int> &gapStarts() const { return m_gapStarts; }

signals:
    // A point was added or the track cleared.
    void changed();

private:
    static constexpr int BlockBits = 16;
    static constexpr size_t BlockMask = (size_t(1) << BlockBits) - 1;

    std::vector<std::unique_ptr<TrackPoint[]>> m_blocks;
    std::vector<ChunkBox> m_chunkBoxes;
    QVector<int> m_gapStarts;
    int m_size = 0;
    double m_start = NAN;
    EpochTimeline m_timeline;
};

#endif // TRACK_H
