#include "sim/receiverprofile.h"
#include "sim/splitmix.h"

#include <QtMath>
#include <cmath>

namespace {

int offsetCnr(int cnr, int offset) { return cnr > 0 ? qBound(1, cnr + offset, 99) : cnr; }

// A standard normal value from two uniform ones (Box-Muller).
double gaussian(SplitMix64 &random)
{
    const double u = 1.0 - random.unit();   // (0, 1], so the logarithm is finite
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2 * M_PI * random.unit());
}

} // namespace

void applyReceiverProfile(const ReceiverProfile &profile, quint64 seed, SimEpoch *epoch)
{
    for (SimSatellite &s : epoch->satellites) {
        s.cnr = offsetCnr(s.cnr, profile.cnrOffset);
        s.secondCnr = offsetCnr(s.secondCnr, profile.cnrOffset);
    }
    if (profile.positionNoiseM <= 0 || epoch->fix < 2)
        return;
    SplitMix64 random(SplitMix64::mix(SplitMix64::mix(seed ^ 0x9051710EULL) ^ quint64(epoch->utc.toMSecsSinceEpoch())));
    const double east = profile.positionNoiseM * gaussian(random);
    const double north = profile.positionNoiseM * gaussian(random);
    const double up = profile.positionNoiseM * gaussian(random);
    const double radiusM = SimEarthRadiusKm * 1000.0;
    epoch->latitude = roundToNmeaMinutes(epoch->siteLatitude + qRadiansToDegrees(north / radiusM));
    epoch->longitude = roundToNmeaMinutes(
        epoch->siteLongitude + qRadiansToDegrees(east / (radiusM * std::cos(qDegreesToRadians(epoch->siteLatitude)))));
    // Minutes to five decimals are within a centimetre; the altitude must be too.
    epoch->altitude = std::round((epoch->siteAltitude + up) * 100.0) / 100.0;
    epoch->altitudeDecimals = 2;
}
