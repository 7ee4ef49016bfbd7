#include "accuracy/positionhistory.h"

#include "receiver/epoch.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

FixKind fixKind(const Epoch &epoch)
{
    if (!epoch.hasFix())
        return FixKind::NoFix;
    switch (epoch.quality) {
    case 2:
        return FixKind::Dgps;
    case 4:
        return FixKind::RtkFixed;
    case 5:
        return FixKind::RtkFloat;
    default:
        return FixKind::Gps;   // 1, 3, 6, or a fix from another sentence
    }
}

QString fixKindName(FixKind kind)
{
    static const char *const names[FixKindCount] = {"No fix", "GPS", "DGPS", "RTK float", "RTK fixed"};
    return QString::fromLatin1(names[int(kind)]);
}

quint32 fixKindRgb(FixKind kind)
{
    static const quint32 colours[FixKindCount] = {
        0x969696,   // no fix
        0x0072BD,   // GPS
        0x009E73,   // DGPS
        0xE69F00,   // RTK float
        0xCC3399,   // RTK fixed
    };
    return colours[int(kind)];
}

std::optional<GeodeticPosition> readPosition(const QString &text)
{
    static const QRegularExpression apart(QStringLiteral("[,\\s]+"));
    const QStringList parts = text.trimmed().split(apart, Qt::SkipEmptyParts);
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    bool ok[3] = {true, true, true};
    GeodeticPosition p{parts.at(0).toDouble(&ok[0]), parts.at(1).toDouble(&ok[1]),
                       parts.size() == 3 ? parts.at(2).toDouble(&ok[2]) : PositionSpread::None};
    if (!ok[0] || !ok[1] || !ok[2] || !(std::fabs(p.latitude) <= 90) || !(std::fabs(p.longitude) <= 180)
        || (parts.size() == 3 && !std::isfinite(p.height)))
        return std::nullopt;
    return p;
}

QString positionText(const GeodeticPosition &position)
{
    QString text = QString::number(position.latitude, 'f', 7) + QStringLiteral(", ")
                   + QString::number(position.longitude, 'f', 7);
    if (std::isfinite(position.height))
        text += QStringLiteral(", ") + QString::number(position.height, 'f', 2);
    return text;
}

void PositionHistory::reserveFixes(int fixes)
{
    m_fixes.times.reserve(fixes);
    m_fixes.offsets.reserve(fixes);
    m_fixes.kinds.reserve(fixes);
}

void PositionHistory::Points::clear()
{
    times.clear();
    offsets.clear();
    kinds.clear();
}

PositionHistory::PositionHistory(QObject *parent)
    : QObject(parent)
{
}

void PositionHistory::addEpoch(const Epoch &epoch)
{
    if (!epoch.hasPosition)
        return;
    const double time = m_timeline.place(epoch);
    if (std::isnan(time))
        return;
    const bool hasHeight = std::isfinite(epoch.altitude);
    GeodeticPosition position{epoch.latitude, epoch.longitude, hasHeight ? epoch.altitude : 0.0};
    if (!m_origin)
        m_origin = position;
    if (!hasHeight)
        position.height = m_origin->height;
    LocalOffset offset = localOffset(*m_origin, position);
    if (!hasHeight)
        offset.up = PositionSpread::None;

    const FixKind kind = fixKind(epoch);
    Points &points = kind == FixKind::NoFix ? m_others : m_fixes;
    points.times.append(time);
    points.offsets.append(offset);
    points.kinds.append(quint8(kind));
    if (kind != FixKind::NoFix) {
        m_sumEast += offset.east;
        m_sumNorth += offset.north;
        if (hasHeight) {
            m_sumUp += offset.up;
            ++m_ups;
        }
    }
    m_spread.reset();
    emit changed();
}

void PositionHistory::reset()
{
    m_timeline.reset();
    m_origin.reset();
    m_fixes.clear();
    m_others.clear();
    m_sumEast = m_sumNorth = m_sumUp = 0;
    m_ups = 0;
    m_spread.reset();
    emit changed();
}

void PositionHistory::dropFrom(double time)
{
    bool dropped = false;
    double last = std::numeric_limits<double>::quiet_NaN();
    for (Points *points : {&m_fixes, &m_others}) {
        const int kept = int(std::lower_bound(points->times.cbegin(), points->times.cend(), time)
                             - points->times.cbegin());
        // The mean's sums lose what the fixes dropped had added.
        for (int i = kept; points == &m_fixes && i < points->offsets.size(); ++i) {
            const LocalOffset &o = points->offsets.at(i);
            m_sumEast -= o.east;
            m_sumNorth -= o.north;
            if (std::isfinite(o.up)) {
                m_sumUp -= o.up;
                --m_ups;
            }
        }
        dropped = dropped || kept < points->times.size();
        points->times.resize(kept);
        points->offsets.resize(kept);
        points->kinds.resize(kept);
        if (kept > 0 && !(points->times.last() <= last))
            last = points->times.last();
    }
    if (!dropped)
        return;
    m_timeline.rewind(last);
    m_spread.reset();
    emit changed();
}

void PositionHistory::setReference(const std::optional<GeodeticPosition> &reference)
{
    m_reference = reference;
    m_spread.reset();
    emit changed();
}

double PositionHistory::firstTime() const
{
    return m_fixes.times.isEmpty() ? PositionSpread::None : m_fixes.times.first();
}

double PositionHistory::lastTime() const
{
    return m_fixes.times.isEmpty() ? PositionSpread::None : m_fixes.times.last();
}

LocalOffset PositionHistory::centreOffset() const
{
    const int fixes = m_fixes.times.size();
    const LocalOffset mean{fixes ? m_sumEast / fixes : 0.0, fixes ? m_sumNorth / fixes : 0.0,
                           m_ups ? m_sumUp / m_ups : PositionSpread::None};
    if (!m_reference || !m_origin)
        return mean;
    LocalOffset centre = localOffset(*m_origin, {m_reference->latitude, m_reference->longitude,
                                                 std::isfinite(m_reference->height) ? m_reference->height
                                                                                    : m_origin->height});
    if (!std::isfinite(m_reference->height))
        centre.up = mean.up;
    return centre;
}

PositionSpread PositionHistory::spread() const
{
    if (!m_spread)
        m_spread = positionSpread(m_fixes.offsets, centreOffset());
    return *m_spread;
}

PositionSpread PositionHistory::spreadOf(FixKind kind) const
{
    QVector<LocalOffset> offsets;
    for (int i = 0; i < m_fixes.kinds.size(); ++i) {
        if (m_fixes.kinds.at(i) == quint8(kind))
            offsets.append(m_fixes.offsets.at(i));
    }
    return positionSpread(offsets, meanOffset(offsets));
}

std::optional<GeodeticPosition> PositionHistory::meanPosition() const
{
    if (!m_origin || m_fixes.times.isEmpty())
        return std::nullopt;
    const int fixes = m_fixes.times.size();
    GeodeticPosition mean = offsetPosition(*m_origin, {m_sumEast / fixes, m_sumNorth / fixes,
                                                       m_ups ? m_sumUp / m_ups : 0.0});
    if (!m_ups)
        mean.height = PositionSpread::None;
    return mean;
}

std::optional<GeodeticPosition> PositionHistory::centre() const
{
    if (!m_reference)
        return meanPosition();
    GeodeticPosition centre = *m_reference;
    if (!std::isfinite(centre.height)) {
        const std::optional<GeodeticPosition> mean = meanPosition();
        centre.height = mean ? mean->height : PositionSpread::None;
    }
    return centre;
}

QVector<QPointF> PositionHistory::scatter(FixKind kind) const
{
    const Points &points = kind == FixKind::NoFix ? m_others : m_fixes;
    const LocalOffset centre = centreOffset();
    QVector<QPointF> out;
    for (int i = 0; i < points.offsets.size(); ++i) {
        if (points.kinds.at(i) == quint8(kind)) {
            const LocalOffset &o = points.offsets.at(i);
            out.append(QPointF(o.east - centre.east, o.north - centre.north));
        }
    }
    return out;
}

QVector<QPointF> PositionHistory::horizontalError(double from, double to) const
{
    const LocalOffset centre = centreOffset();
    return samplesBetween(m_fixes.times, from, to, [this, &centre](int i) {
        const LocalOffset &o = m_fixes.offsets.at(i);
        return std::hypot(o.east - centre.east, o.north - centre.north);
    });
}

QVector<QPointF> PositionHistory::verticalError(double from, double to) const
{
    const LocalOffset centre = centreOffset();
    return samplesBetween(m_fixes.times, from, to, [this, &centre](int i) {
        return m_fixes.offsets.at(i).up - centre.up;
    });
}
