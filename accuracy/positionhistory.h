#ifndef POSITIONHISTORY_H
#define POSITIONHISTORY_H

#include "accuracy/positionstatistics.h"
#include "history/timeline.h"

#include <QObject>
#include <QPointF>
#include <QString>
#include <QVector>

#include <optional>

struct Epoch;

// How a position was obtained, as the scatter colours it.
enum class FixKind : quint8 { NoFix = 0, Gps = 1, Dgps = 2, RtkFloat = 3, RtkFixed = 4 };
constexpr int FixKindCount = 5;

// The kind of an epoch's position by its GGA quality: 0 no fix, 1 (and 3
// PPS) GPS, 2 DGPS, 4 RTK fixed, 5 RTK float; 6 (estimated), 7 (manual) and
// 8 (simulated) are no fix a receiver measured. Without a GGA, GPS when
// another sentence reports a fix.
FixKind fixKind(const Epoch &epoch);
QString fixKindName(FixKind kind);   // "No fix", "GPS", "DGPS", "RTK float", "RTK fixed"
// The colour every view and file draws a fix kind in, as 0xRRGGBB: grey,
// blue, green, orange, purple (told apart also by the colour-blind).
quint32 fixKindRgb(FixKind kind);

// A position as the user types it: latitude and longitude in decimal
// degrees and an optional altitude in metres, apart by commas or spaces:
// "31.2317538, 121.4786146, 12.9". nullopt for anything else or a latitude
// or longitude out of range; without an altitude the height is NaN.
std::optional<GeodeticPosition> readPosition(const QString &text);
// A position written so readPosition reads it back (7 decimals, about 1 cm;
// the altitude with 2, left out when NaN).
QString positionText(const GeodeticPosition &position);

// One sample set of positions, for the accuracy view and the log analysis:
// each epoch with a position as metres east, north and up of the set's first
// position, with its time and kind. The figures (PositionSpread) come from
// the fixes (every kind but no fix) about the centre: their mean, or a
// reference position the user gives. About 40 bytes a position: a day at
// 10 Hz takes some 35 MB.
class PositionHistory : public QObject
{
    Q_OBJECT

public:
    explicit PositionHistory(QObject *parent = nullptr);

    // Adds a finished epoch that has a position (others change nothing).
    void addEpoch(const Epoch &epoch);
    // Starts a new sample set; the reference stays.
    void reset();
    // Forgets the positions at or after `time` (UTC seconds): a log played
    // back went back to it.
    void dropFrom(double time);
    // Makes room for this many fixes at once, for a reader that can tell
    // how many are coming: growing a step at a time holds the old and the
    // new room together for a moment.
    void reserveFixes(int fixes);

    // The centre the figures are about: a reference position, or none for
    // the mean of the fixes. A reference whose height is NaN measures
    // heights about the mean.
    void setReference(const std::optional<GeodeticPosition> &reference);
    std::optional<GeodeticPosition> reference() const { return m_reference; }

    int pointCount() const { return m_fixes.times.size() + m_others.times.size(); }
    int fixCount() const { return m_fixes.times.size(); }
    // UTC seconds of the first and last fix; NaN when none.
    double firstTime() const;
    double lastTime() const;

    // The figures of the fixes about the centre; worked out when asked
    // after a change, in time linear in the number of fixes.
    PositionSpread spread() const;
    // The figures of the fixes of one kind alone about their own mean (RTK
    // fixed: what the corrections bought); worked out at each call.
    PositionSpread spreadOf(FixKind kind) const;
    // The centre as a position; nullopt before the first fix without a
    // reference.
    std::optional<GeodeticPosition> centre() const;
    // The mean of the fixes as a position; nullopt before the first fix.
    std::optional<GeodeticPosition> meanPosition() const;

    // East (x) and north (y) metres from the centre of every position of a
    // kind, in time order, for the scatter.
    QVector<QPointF> scatter(FixKind kind) const;
    // Over time (UTC seconds), for the error chart: each fix's horizontal
    // distance from the centre, and its height above the centre's
    // (samplesBetween).
    QVector<QPointF> horizontalError(double from, double to) const;
    QVector<QPointF> verticalError(double from, double to) const;

signals:
    // A position was added, the set reset, or the reference changed.
    void changed();

private:
    struct Points
    {
        QVector<double> times;
        QVector<LocalOffset> offsets;   // from m_origin
        QVector<quint8> kinds;          // FixKind
        void clear();
    };
    LocalOffset centreOffset() const;

    EpochTimeline m_timeline;
    std::optional<GeodeticPosition> m_origin;   // the set's first position
    std::optional<GeodeticPosition> m_reference;
    Points m_fixes;
    Points m_others;   // positions sent without a fix
    // Sums over the fixes, for the mean in constant time.
    double m_sumEast = 0;
    double m_sumNorth = 0;
    double m_sumUp = 0;
    int m_ups = 0;
    mutable std::optional<PositionSpread> m_spread;   // cleared by every change
};

#endif // POSITIONHISTORY_H
