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

bool ggaQualityIsFix(int quality)
{
    return quality >= 1 && quality <= 6;
}

bool rmcIsFix(char status, char mode)
{
    return status == 'A' && mode != 'N' && mode != 'S';
}

bool gnsModeIsFix(const QByteArray &mode)
{
    // One letter per constellation: "ANN" has a fix, "NN" and "SSS" none.
    for (char c : mode) {
        if (c >= 'A' && c <= 'Z' && c != 'N' && c != 'S')
            return true;
    }
    return false;
}

bool Epoch::hasFix() const
{
    if (quality >= 0)
        return ggaQualityIsFix(quality);
    if (rmcStatus != 0)
        return rmcIsFix(rmcStatus, rmcMode);
    if (gnsFix != 0)
        return gnsFix == 'Y';
    if (gllStatus != 0)
        return gllStatus == 'A';
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
