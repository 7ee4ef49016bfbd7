#include "history/timeline.h"

#include "receiver/epoch.h"

double EpochTimeline::place(const Epoch &epoch)
{
    const QDateTime utc = epoch.utc();
    double time = utc.isValid() ? utc.toMSecsSinceEpoch() / 1000.0 : std::numeric_limits<double>::quiet_NaN();
    if (std::isnan(m_last)) {
        if (std::isnan(time))
            return time;
    } else if (!(time >= m_last)) {
        time = m_last + std::max<qint64>(0, epoch.receivedMs - m_lastReceivedMs) / 1000.0;
    }
    m_last = time;
    m_lastReceivedMs = epoch.receivedMs;
    return time;
}

void EpochTimeline::reset()
{
    *this = EpochTimeline();
}
