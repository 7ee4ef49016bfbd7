#include "sim/skymodel.h"
#include "sim/splitmix.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {

constexpr double SiteAltitudeM = 12.3;   // above mean sea level
constexpr double EarthRate = 7.2921151467e-5;   // rad/s
constexpr double SiderealDayS = 86164.0905;
constexpr double GeoRadiusKm = 42164.0;
constexpr int MaskDeg = 5;          // satellites below this are not in view
constexpr int UsedMaskDeg = 10;     // nor used in the fix below this
constexpr int MaxUsedPerSystem = 12; // one GSA sentence holds twelve

// Keys for the stateless hashes: what a value depends on, mixed together.
quint64 key(quint64 seed, int what, int system, int prn, qint64 slot)
{
    return SplitMix64::mix(seed ^ (quint64(what) << 56) ^ (quint64(system) << 48)
                           ^ (quint64(prn) << 32) ^ quint64(slot));
}

double roundTo(double value, double step) { return std::round(value / step) * step; }

// DOPs of the used satellites, from the geometry matrix with one clock term.
bool computeDops(const QVector<SimSatellite> &sats, double *pdop, double *hdop, double *vdop)
{
    double n[4][4] = {};
    int count = 0;
    for (const SimSatellite &s : sats) {
        if (!s.used)
            continue;
        const double el = qDegreesToRadians(double(s.elevation));
        const double az = qDegreesToRadians(double(s.azimuth));
        const double row[4] = {-std::cos(el) * std::sin(az), -std::cos(el) * std::cos(az), -std::sin(el), 1.0};
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                n[i][j] += row[i] * row[j];
        ++count;
    }
    if (count < 4)
        return false;
    // Invert by Gauss-Jordan elimination with partial pivoting.
    double inv[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(n[r][c]) > std::fabs(n[pivot][c]))
                pivot = r;
        if (std::fabs(n[pivot][c]) < 1e-12)
            return false;
        for (int j = 0; j < 4; ++j) {
            std::swap(n[c][j], n[pivot][j]);
            std::swap(inv[c][j], inv[pivot][j]);
        }
        const double d = n[c][c];
        for (int j = 0; j < 4; ++j) {
            n[c][j] /= d;
            inv[c][j] /= d;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == c)
                continue;
            const double f = n[r][c];
            for (int j = 0; j < 4; ++j) {
                n[r][j] -= f * n[c][j];
                inv[r][j] -= f * inv[c][j];
            }
        }
    }
    const double h = inv[0][0] + inv[1][1];
    const double v = inv[2][2];
    if (h <= 0 || v <= 0)
        return false;
    *hdop = std::min(99.99, roundTo(std::sqrt(h), 0.01));
    *vdop = std::min(99.99, roundTo(std::sqrt(v), 0.01));
    *pdop = std::min(99.99, roundTo(std::sqrt(h + v), 0.01));
    return true;
}

} // namespace

double roundToNmeaMinutes(double degrees)
{
    const double sign = degrees < 0 ? -1 : 1;
    const double a = std::fabs(degrees);
    const double whole = std::floor(a);
    const double minutes = std::round((a - whole) * 60.0 * 1e5) / 1e5;
    return sign * (whole + minutes / 60.0);
}

SimSignal simSignal(SimSystem system, int band)
{
    struct Row { SimSystem system; int id[2]; const char *name[2]; };
    static const Row rows[] = {
        {SimSystem::Gps, {1, 8}, {"L1 C/A", "L5"}},
        {SimSystem::Glonass, {1, 0}, {"L1OF", ""}},
        {SimSystem::Galileo, {7, 1}, {"E1-B/C", "E5a"}},
        {SimSystem::Beidou, {1, 5}, {"B1I", "B2a"}},
        {SimSystem::Qzss, {1, 8}, {"L1 C/A", "L5"}},
        {SimSystem::Sbas, {1, 0}, {"L1 C/A", ""}},
    };
    SimSignal signal;
    for (const Row &r : rows) {
        if (r.system == system && band >= 0 && band < 2 && r.id[band] > 0) {
            signal.id = r.id[band];
            signal.name = QString::fromLatin1(r.name[band]);
        }
    }
    return signal;
}

QString simSystemName(SimSystem system)
{
    switch (system) {
    case SimSystem::Gps: return QStringLiteral("GPS");
    case SimSystem::Glonass: return QStringLiteral("GLONASS");
    case SimSystem::Galileo: return QStringLiteral("Galileo");
    case SimSystem::Beidou: return QStringLiteral("BeiDou");
    case SimSystem::Qzss: return QStringLiteral("QZSS");
    case SimSystem::Sbas: return QStringLiteral("SBAS");
    }
    return QString();
}

int SimEpoch::usedCount() const
{
    return int(std::count_if(satellites.begin(), satellites.end(),
                             [](const SimSatellite &s) { return s.used; }));
}

QVector<SimSatellite> SimEpoch::ofSystem(SimSystem system) const
{
    QVector<SimSatellite> out;
    for (const SimSatellite &s : satellites)
        if (s.system == system)
            out.append(s);
    return out;
}

SkyModel::SkyModel(quint64 seed, const QDateTime &startUtc)
    : m_seed(seed)
    , m_start(startUtc.toUTC())
{
    SplitMix64 random(seed);
    // A site in East Asia, where QZSS, the BeiDou geostationary satellites
    // and several SBAS satellites are all above the horizon.
    m_siteLat = qDegreesToRadians(31.2304 + (random.unit() - 0.5) * 0.02);
    m_siteLon = qDegreesToRadians(121.4737 + (random.unit() - 0.5) * 0.02);

    QVector<int> gps;
    for (int prn = 1; prn <= 32; ++prn)
        if (prn != 4)
            gps.append(prn);
    QVector<int> glonass;
    for (int prn = 65; prn <= 88; ++prn)
        glonass.append(prn);
    const QVector<int> galileo = {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 15, 19, 21,
                                  24, 25, 26, 27, 30, 31, 33, 34, 36};
    QVector<int> beidou;
    for (int prn = 19; prn <= 46; ++prn)
        if (prn != 31 && prn != 38 && prn != 39 && prn != 40)
            beidou.append(prn);

    addWalker(SimSystem::Gps, gps, 6, 26560.0, 55.0, SiderealDayS / 2, random.unit() * 2 * M_PI);
    addWalker(SimSystem::Glonass, glonass, 3, 25510.0, 64.8, 40544.0, random.unit() * 2 * M_PI);
    addWalker(SimSystem::Galileo, galileo, 3, 29600.0, 56.0, 50680.0, random.unit() * 2 * M_PI);
    addWalker(SimSystem::Beidou, beidou, 3, 27906.0, 55.0, 46404.0, random.unit() * 2 * M_PI);

    // BeiDou geostationary (1-5) and inclined geosynchronous (6-10) satellites.
    const double beidouGeo[] = {140.0, 80.0, 110.5, 160.0, 58.75};
    for (int i = 0; i < 5; ++i)
        addGeosynchronous(SimSystem::Beidou, 1 + i, beidouGeo[i], 0.0, 0.0);
    for (int i = 0; i < 5; ++i)
        addGeosynchronous(SimSystem::Beidou, 6 + i, 118.0 + 3.0 * (i % 2), 55.0, i * 72.0);
    // QZSS: three on inclined geosynchronous orbits, one geostationary.
    addGeosynchronous(SimSystem::Qzss, 193, 139.0, 41.0, 0.0);
    addGeosynchronous(SimSystem::Qzss, 194, 139.0, 41.0, 120.0);
    addGeosynchronous(SimSystem::Qzss, 195, 139.0, 41.0, 240.0);
    addGeosynchronous(SimSystem::Qzss, 199, 127.0, 0.0, 0.0);
    // SBAS geostationary satellites as numbered in NMEA (PRN - 87).
    addGeosynchronous(SimSystem::Sbas, 40, 83.0, 0.0, 0.0);
    addGeosynchronous(SimSystem::Sbas, 42, 140.0, 0.0, 0.0);
    addGeosynchronous(SimSystem::Sbas, 50, 145.0, 0.0, 0.0);

    for (Orbit &o : m_orbits)
        o.cnrOffset = random.range(-4, 4);
}

void SkyModel::addWalker(SimSystem system, const QVector<int> &prns, int planes, double radiusKm,
                         double inclinationDeg, double periodS, double nodeOffset)
{
    const int perPlane = (prns.size() + planes - 1) / planes;
    for (int i = 0; i < prns.size(); ++i) {
        const int plane = i % planes;
        const int slot = i / planes;
        Orbit o;
        o.system = system;
        o.prn = prns.at(i);
        o.radiusKm = radiusKm;
        o.inclination = qDegreesToRadians(inclinationDeg);
        o.node = nodeOffset + plane * 2 * M_PI / planes;
        o.argument = slot * 2 * M_PI / perPlane + plane * M_PI / (planes * perPlane);
        o.periodS = periodS;
        o.cnrOffset = 0;
        m_orbits.append(o);
    }
}

void SkyModel::addGeosynchronous(SimSystem system, int prn, double longitudeDeg, double inclinationDeg,
                                 double argumentDeg)
{
    Orbit o;
    o.system = system;
    o.prn = prn;
    o.radiusKm = GeoRadiusKm;
    o.inclination = qDegreesToRadians(inclinationDeg);
    o.argument = qDegreesToRadians(argumentDeg);
    // The node is placed so the ground track is centred on the longitude.
    o.node = qDegreesToRadians(longitudeDeg) - o.argument;
    if (inclinationDeg > 0)
        o.node = qDegreesToRadians(longitudeDeg);
    o.periodS = SiderealDayS;
    o.cnrOffset = 0;
    m_orbits.append(o);
}

SimEpoch SkyModel::epochAt(qint64 ms, bool fixed, double tracked, int bands) const
{
    SimEpoch epoch;
    epoch.utc = m_start.addMSecs(ms);
    const double t = ms / 1000.0;

    const double sinLat = std::sin(m_siteLat), cosLat = std::cos(m_siteLat);
    const double sinLon = std::sin(m_siteLon), cosLon = std::cos(m_siteLon);
    const double ox = SimEarthRadiusKm * cosLat * cosLon;
    const double oy = SimEarthRadiusKm * cosLat * sinLon;
    const double oz = SimEarthRadiusKm * sinLat;

    // Signal and fix-set changes come in slots of a few seconds.
    const qint64 noiseSlot = ms / 1000;
    const qint64 blockSlot = ms / 30000;
    const qint64 excludeSlot = ms / 20000;

    QVector<SimSatellite> sats;
    for (const Orbit &o : m_orbits) {
        const double u = o.argument + 2 * M_PI * t / o.periodS;
        const double node = o.node - EarthRate * t;
        const double ci = std::cos(o.inclination), si = std::sin(o.inclination);
        const double x = o.radiusKm * (std::cos(u) * std::cos(node) - std::sin(u) * ci * std::sin(node));
        const double y = o.radiusKm * (std::cos(u) * std::sin(node) + std::sin(u) * ci * std::cos(node));
        const double z = o.radiusKm * std::sin(u) * si;
        const double dx = x - ox, dy = y - oy, dz = z - oz;
        const double east = -sinLon * dx + cosLon * dy;
        const double north = -sinLat * cosLon * dx - sinLat * sinLon * dy + cosLat * dz;
        const double up = cosLat * cosLon * dx + cosLat * sinLon * dy + sinLat * dz;
        const int elevation = int(std::lround(qRadiansToDegrees(std::atan2(up, std::hypot(east, north)))));
        if (elevation < MaskDeg)
            continue;
        int azimuth = int(std::lround(qRadiansToDegrees(std::atan2(east, north))));
        azimuth = ((azimuth % 360) + 360) % 360;

        SimSatellite s;
        s.system = o.system;
        s.prn = o.prn;
        s.elevation = elevation;
        s.azimuth = azimuth;
        const int sys = int(o.system);
        const double noise = SplitMix64::unitOf(key(m_seed, 1, sys, o.prn, noiseSlot)) * 3.0 - 1.5;
        const double level = 26.0 + 20.0 * std::sin(qDegreesToRadians(double(elevation))) + o.cnrOffset + noise;
        s.cnr = qBound(20, int(std::lround(level)), 50);
        // Now and then a satellite is blocked (a building, a tree): not tracked.
        const bool blocked = SplitMix64::mix(key(m_seed, 2, sys, o.prn, blockSlot)) % 14 == 0;
        // After a restart satellites are found one by one.
        const bool found = SplitMix64::unitOf(key(m_seed, 3, sys, o.prn, 0)) < tracked;
        if (blocked || !found)
            s.cnr = 0;
        // The second band: a quarter of the satellites (older ones) lack it;
        // the others send it 2 to 6 dB weaker, the gap drifting over minutes.
        if (bands > 1 && simSignal(o.system, 1).id > 0 && SplitMix64::unitOf(key(m_seed, 8, sys, o.prn, 0)) >= 0.25) {
            const double phase = SplitMix64::unitOf(key(m_seed, 9, sys, o.prn, 0)) * 2 * M_PI;
            const double driftS = 600.0 + 600.0 * SplitMix64::unitOf(key(m_seed, 10, sys, o.prn, 0));
            const int gap = int(std::lround(4.0 + 2.0 * std::sin(phase + 2 * M_PI * t / driftS)));
            s.secondCnr = s.cnr > 0 ? s.cnr - gap : 0;
        }
        sats.append(s);
    }

    // Sentences list GPS (with SBAS and QZSS), GLONASS, Galileo, BeiDou, each by PRN.
    auto order = [](const SimSatellite &s) {
        switch (s.system) {
        case SimSystem::Gps:
        case SimSystem::Qzss:
        case SimSystem::Sbas: return 0;
        case SimSystem::Glonass: return 1;
        case SimSystem::Galileo: return 2;
        case SimSystem::Beidou: return 3;
        }
        return 4;
    };
    std::sort(sats.begin(), sats.end(), [&](const SimSatellite &a, const SimSatellite &b) {
        return order(a) != order(b) ? order(a) < order(b) : a.prn < b.prn;
    });

    if (fixed) {
        // The fix uses the highest tracked satellites of each system (GPS and
        // QZSS share one GSA sentence), leaving some out now and then.
        for (int group = 0; group < 4; ++group) {
            QVector<int> candidates;
            for (int i = 0; i < sats.size(); ++i) {
                const SimSatellite &s = sats.at(i);
                if (order(s) != group || s.system == SimSystem::Sbas || s.cnr < 25 || s.elevation < UsedMaskDeg)
                    continue;
                if (SplitMix64::mix(key(m_seed, 4, int(s.system), s.prn, excludeSlot)) % 7 == 0)
                    continue;
                candidates.append(i);
            }
            std::stable_sort(candidates.begin(), candidates.end(),
                             [&](int a, int b) { return sats.at(a).elevation > sats.at(b).elevation; });
            for (int i = 0; i < candidates.size() && i < MaxUsedPerSystem; ++i)
                sats[candidates.at(i)].used = true;
        }
    }
    epoch.satellites = sats;
    epoch.siteLatitude = qRadiansToDegrees(m_siteLat);
    epoch.siteLongitude = qRadiansToDegrees(m_siteLon);
    epoch.siteAltitude = SiteAltitudeM;

    double pdop = 0, hdop = 0, vdop = 0;
    if (fixed && computeDops(sats, &pdop, &hdop, &vdop)) {
        epoch.fix = 3;
        epoch.pdop = pdop;
        epoch.hdop = hdop;
        epoch.vdop = vdop;
        // A static receiver: the position wanders by a metre or two.
        const double jitterN = SplitMix64::unitOf(key(m_seed, 5, 0, 0, noiseSlot)) - 0.5;
        const double jitterE = SplitMix64::unitOf(key(m_seed, 6, 0, 0, noiseSlot)) - 0.5;
        const double jitterU = SplitMix64::unitOf(key(m_seed, 7, 0, 0, noiseSlot)) - 0.5;
        epoch.latitude = roundToNmeaMinutes(epoch.siteLatitude + jitterN * 2e-5);
        epoch.longitude = roundToNmeaMinutes(epoch.siteLongitude + jitterE * 2e-5);
        epoch.altitude = roundTo(SiteAltitudeM + jitterU * 3.0, 0.1);
        epoch.geoidSeparation = 9.1;
    } else {
        epoch.fix = 1;
        for (SimSatellite &s : epoch.satellites)
            s.used = false;
    }
    return epoch;
}
