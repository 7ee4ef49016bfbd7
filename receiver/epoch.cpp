#include "receiver/epoch.h"

#include <algorithm>

float SatelliteInView::bestCnr() const
{
    float best = 0;
    for (const SignalCnr &s : cnrs)
        best = std::max(best, s.cnr);
    return best;
}

QDateTime Epoch::utc() const
{
    if (!hasTime() || !date.isValid())
        return QDateTime();
    return QDateTime(date, QTime(0, 0).addMSecs(utcMs), Qt::UTC);
}

bool Epoch::hasFix() const
{
    if (quality > 0 || rmcStatus == 'A')
        return true;
    return std::any_of(std::begin(fixType), std::end(fixType), [](int type) { return type >= 2; });
}

const SatelliteInView *Epoch::find(const SatelliteKey &key) const
{
    for (const SatelliteInView &s : satellites) {
        if (s.key == key)
            return &s;
    }
    return nullptr;
}
