#include "replay/replaypacer.h"

#include <algorithm>
#include <cmath>
#include <limits>

void ReplayPacer::start(double logTime, qint64 wallMs)
{
    m_startLogTime = logTime;
    m_startWallMs = wallMs;
}

void ReplayPacer::setSpeed(double speed, qint64 wallMs)
{
    // Flat out there is no log time reached by the clock: the caller starts
    // again from the epoch it has reached.
    if (!isFlatOut())
        start(dueAt(wallMs), wallMs);
    else
        start(m_startLogTime, wallMs);
    m_speed = speed > 0 ? speed : AsFastAsPossible;
}

double ReplayPacer::dueAt(qint64 wallMs) const
{
    if (isFlatOut())
        return std::numeric_limits<double>::infinity();
    const qint64 elapsed = std::max<qint64>(0, wallMs - m_startWallMs);
    return m_startLogTime + elapsed * m_speed / 1000.0;
}

qint64 ReplayPacer::wallWhen(double logTime, qint64 wallMs) const
{
    if (isFlatOut() || logTime <= dueAt(wallMs))
        return wallMs;
    return m_startWallMs + qint64(std::ceil((logTime - m_startLogTime) * 1000.0 / m_speed));
}
