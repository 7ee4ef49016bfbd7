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

void driveEpoch(qint64 simMs, SimEpoch *epoch)
{
    const double straight = 1000.0;
    const double radius = 250.0;
    const double lap = 2 * straight + 2 * M_PI * radius;
    const double along = std::fmod(simMs / 1000.0 * DriveSpeedMs, lap);
    const double inLap = along / DriveSpeedMs;
    double east = 0, north = 0;
    if (along < straight) {                       // east along the south side
        east = along;
    } else if (along < straight + M_PI * radius) { // round the east end
        const double a = (along - straight) / radius;
        east = straight + radius * std::sin(a);
        north = radius - radius * std::cos(a);
    } else if (along < 2 * straight + M_PI * radius) {   // west along the north side
        east = straight - (along - straight - M_PI * radius);
        north = 2 * radius;
    } else {                                      // round the west end
        const double a = (along - 2 * straight - M_PI * radius) / radius;
        east = -radius * std::sin(a);
        north = radius + radius * std::cos(a);
    }
    const double radiusM = SimEarthRadiusKm * 1000.0;
    // The sky's own wander rides along.
    const double dLat = qRadiansToDegrees(north / radiusM);
    const double dLon = qRadiansToDegrees(east / (radiusM * std::cos(qDegreesToRadians(epoch->siteLatitude))));
    epoch->siteLatitude += dLat;
    epoch->siteLongitude += dLon;
    epoch->latitude = roundToNmeaMinutes(epoch->latitude + dLat);
    epoch->longitude = roundToNmeaMinutes(epoch->longitude + dLon);
    if (inLap >= DriveOutageFromS && inLap < DriveOutageFromS + DriveOutageS) {
        epoch->fix = 1;
        epoch->hdop = epoch->pdop = epoch->vdop = 99.99;
        for (SimSatellite &s : epoch->satellites)
            s.used = false;
    }
}
