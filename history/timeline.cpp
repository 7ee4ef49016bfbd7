#include "history/timeline.h"

#include "receiver/epoch.h"

double EpochTimeline::place(const Epoch &epoch)
{
    double time = std::numeric_limits<double>::quiet_NaN();
    if (epoch.hasTime()) {
        // A receiver that never sends a date gets the time of day on the
        // first day of 1970: a chart's axis shows the time of day only.
        const QDate date = epoch.date.isValid() ? epoch.date : QDate(1970, 1, 1);
        time = QDateTime(date, QTime(0, 0).addMSecs(epoch.utcMs), Qt::UTC).toMSecsSinceEpoch() / 1000.0;
    }
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

double EpochTimeline::ownTime(const Epoch &epoch)
{
    const QDateTime utc = epoch.utc();
    return utc.isValid() ? utc.toMSecsSinceEpoch() / 1000.0 : std::numeric_limits<double>::quiet_NaN();
}

void EpochTimeline::reset()
{
    *this = EpochTimeline();
}
