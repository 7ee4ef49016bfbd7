#ifndef SKYMODEL_H
#define SKYMODEL_H

#include <QDateTime>
#include <QString>
#include <QVector>

// The satellite systems the simulated receiver tracks. QZSS and SBAS
// satellites are reported inside the GPS sentences.
enum class SimSystem { Gps, Glonass, Galileo, Beidou, Qzss, Sbas };

QString simSystemName(SimSystem system);   // "GPS", "GLONASS", ... as in the truth file

// A signal as NMEA 0183 4.11 numbers it in GSV (the signal ID) and as the
// truth file names it.
struct SimSignal
{
    int id = 0;           // 0: the system sends no such band
    QString name;
};
// Band 0 is the first (GPS, QZSS and SBAS L1 C/A, GLONASS L1OF, Galileo
// E1-B/C, BeiDou B1I); band 1 the second (GPS and QZSS L5, Galileo E5a,
// BeiDou B2a; none for GLONASS and SBAS).
SimSignal simSignal(SimSystem system, int band);

// The sphere the site and the satellites are placed on.
constexpr double SimEarthRadiusKm = 6371.0;
// Rounds degrees to what "ddmm.mmmmm" carries.
double roundToNmeaMinutes(double degrees);

// One satellite in view as the receiver reports it (whole degrees, dB-Hz).
struct SimSatellite
{
    SimSystem system = SimSystem::Gps;
    int prn = 0;          // NMEA satellite number (GLONASS 65-96, SBAS 33-51, QZSS 193-199)
    int elevation = 0;    // degrees, 0-90
    int azimuth = 0;      // degrees, 0-359
    int cnr = 0;          // dB-Hz; 0 when not tracked
    int secondCnr = -1;   // dB-Hz of the second band; 0 when not tracked, -1 when not received
    bool used = false;    // in the position fix
};

// Everything one epoch reports: time, fix, position, DOPs, satellites.
// Values are already rounded to what the sentences carry.
struct SimEpoch
{
    QDateTime utc;            // UTC, millisecond precision
    int fix = 3;              // 1 no fix, 2 2D, 3 3D (the GSA fix type)
    int quality = 1;          // GGA quality with a fix: 1 single, 5 RTK float, 4 RTK fixed
    double latitude = 0;      // degrees, north positive
    double longitude = 0;     // degrees, east positive
    double altitude = 0;      // metres above mean sea level
    int altitudeDecimals = 1; // as the GGA sentence gives it
    double geoidSeparation = 0;
    double siteLatitude = 0;  // where the antenna is: the position without any noise
    double siteLongitude = 0;
    double siteAltitude = 0;
    double pdop = 99.99;
    double hdop = 99.99;
    double vdop = 99.99;
    QVector<SimSatellite> satellites;   // GPS (with QZSS, SBAS), GLONASS, Galileo, BeiDou; by PRN

    int usedCount() const;
    QVector<SimSatellite> ofSystem(SimSystem system) const;
};

// A plausible sky over a fixed site: satellites on circular orbits seen from
// the site, with signal strengths and a fix set that change now and then.
// About three quarters of the satellites of the systems with a second band
// send it, a few dB below the first.
// Every value is a pure function of the seed and the time since the start,
// so the same seed and times give the same epochs on every machine.
class SkyModel
{
public:
    explicit SkyModel(quint64 seed, const QDateTime &startUtc);

    // The epoch `ms` milliseconds after the start. Without a fix no satellite
    // is used and the position is empty; `tracked` (0 to 1) is the share of
    // satellites whose signal the receiver has found, as after a restart.
    // With two `bands` the satellites that send a second band carry it.
    SimEpoch epochAt(qint64 ms, bool fixed, double tracked = 1.0, int bands = 1) const;

    QDateTime startUtc() const { return m_start; }

private:
    struct Orbit
    {
        SimSystem system;
        int prn;
        double radiusKm;
        double inclination;   // radians
        double node;          // longitude of the ascending node at the start, radians
        double argument;      // argument of latitude at the start, radians
        double periodS;
        int cnrOffset;        // this satellite's own signal level, dB
    };
    void addWalker(SimSystem system, const QVector<int> &prns, int planes, double radiusKm,
                   double inclinationDeg, double periodS, double nodeOffset);
    void addGeosynchronous(SimSystem system, int prn, double longitudeDeg, double inclinationDeg,
                           double argumentDeg);

    quint64 m_seed;
    QDateTime m_start;
    double m_siteLat;   // radians
    double m_siteLon;
    QVector<Orbit> m_orbits;
};

#endif // SKYMODEL_H
