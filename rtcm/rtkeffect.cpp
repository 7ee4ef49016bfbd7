#include "rtcm/rtkeffect.h"

#include <cmath>

void RtkEffect::correctionsStarted(qint64 ms)
{
    if (m_startMs < 0)
        m_startMs = ms;
}

void RtkEffect::takeEpoch(qint64 ms, int quality, bool hasPosition, double latitude, double longitude, double height)
{
    if (m_startMs < 0 || ms < m_startMs)
        return;
    ++m_epochs;
    // Fixed counts as reached float too: a receiver may go straight to it.
    if ((quality == Float || quality == Fixed) && m_floatMs < 0)
        m_floatMs = ms;
    if (quality != Fixed)
        return;
    if (m_fixedMs < 0)
        m_fixedMs = ms;
    if (hasPosition)
        m_fixed.append({latitude, longitude, std::isnan(height) ? 0.0 : height});
}

void RtkEffect::takeAge(qint64 ms, double ageSeconds)
{
    if (m_startMs >= 0 && ageSeconds >= 0)
        m_ages.append(QPointF((ms - m_startMs) / 1000.0, ageSeconds));
}

PositionSpread RtkEffect::fixedSpread() const
{
    if (m_fixed.isEmpty())
        return {};
    QVector<LocalOffset> offsets;
    offsets.reserve(m_fixed.size());
    for (const GeodeticPosition &p : m_fixed)
        offsets.append(localOffset(m_fixed.first(), p));
    return positionSpread(offsets, meanOffset(offsets));
}
