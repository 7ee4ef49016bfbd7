#ifndef EPOCH_H
#define EPOCH_H

#include "nmea/satellites.h"

#include <QDate>
#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QVector>

#include <limits>

// A satellite as its constellation numbers it: GPS 5 is (Gps, 5) whether it
// came as "05" or "5"; BeiDou sent as 214 is (Beidou, 14).
struct SatelliteKey
{
    Constellation constellation = Constellation::Gps;
    int number = 0;

    bool operator==(const SatelliteKey &other) const
    {
        return constellation == other.constellation && number == other.number;
    }
    bool operator!=(const SatelliteKey &other) const { return !(*this == other); }
};

// One signal of a satellite: its NMEA 4.11 signal ID (the constellation's
// primary signal when the receiver sends none) and its CNR in dB-Hz, 0 when
// the receiver lists the signal but does not track it.
struct SignalCnr
{
    int signalId = 0;
    float cnr = 0;
};

// One satellite in view during an epoch, listed once whatever the number of
// signals or GSV groups that report it.
struct SatelliteInView
{
    SatelliteKey key;
    QString label;          // "G05", "B14": letter and number as shown
    float elevation = 0;    // degrees
    float azimuth = 0;      // degrees
    QVector<SignalCnr> cnrs;   // one per signal, in the order first listed
    bool used = false;      // listed by a GSA of the epoch (SBAS never)

    float bestCnr() const;
};

// What the receiver said in one epoch: everything sent under one UTC time,
// or, from a receiver that sends no time, in one block.
struct Epoch
{
    // The lines that report a fix, for timing a first fix: GGA quality 1-6,
    // RMC status A, GSA fix type 3, and any line that is a fix by fixBy().
    enum FixLine { GgaFix = 0, RmcFix = 1, Gsa3dFix = 2, AnyFix = 3, FixLineCount = 4 };

    qint64 sequence = -1;      // 0 for the first epoch since the last reset
    int utcMs = -1;            // milliseconds of the UTC day; -1: no time sent
    QDate date;                // from RMC or ZDA, else carried from earlier epochs
    qint64 receivedMs = 0;     // ReceiverModel::monotonicMs() when the first line arrived
    // The same clock when the first line of each kind that reports a fix
    // arrived (GGA quality above 0, RMC status A, GSA fix type 3); -1: none.
    qint64 fixLineMs[FixLineCount] = {-1, -1, -1, -1};

    int quality = -1;          // GGA fix quality (0 none, 1 GPS, 2 DGPS, 4 RTK fixed, 5 RTK float); -1: no GGA
    char rmcStatus = 0;        // 'A' or 'V'; 0: no RMC
    char rmcMode = 0;          // RMC mode indicator (NMEA 2.3): 'A', 'D', 'N', 'S', ...; 0: none sent
    char gnsFix = 0;           // 'Y' a GNS mode says a fix, 'N' none; 0: no GNS
    char gllStatus = 0;        // 'A' or 'V'; 0: no GLL
    // GSA fix type (1 none, 2 2D, 3 3D) by GNSS system ID 1 to 5; index 0
    // holds a GSA whose system is unknown. 0: not reported.
    int fixType[6] = {0, 0, 0, 0, 0, 0};

    bool hasPosition = false;
    double latitude = 0;       // degrees, north positive
    double longitude = 0;      // degrees, east positive
    double altitude = std::numeric_limits<double>::quiet_NaN();         // metres above mean sea level
    double geoidSeparation = std::numeric_limits<double>::quiet_NaN();  // metres
    double hdop = std::numeric_limits<double>::quiet_NaN();
    double pdop = std::numeric_limits<double>::quiet_NaN();
    double vdop = std::numeric_limits<double>::quiet_NaN();
    int satellitesInUse = -1;  // GGA field 7; -1: not sent
    // GST: the 1-sigma error of latitude and longitude, metres; NaN: not sent.
    double latitudeSigma = std::numeric_limits<double>::quiet_NaN();
    double longitudeSigma = std::numeric_limits<double>::quiet_NaN();

    QVector<SatelliteInView> satellites;   // in the order first listed
    QVector<SatelliteKey> used;            // listed in a GSA, in view or not
    int lines = 0;             // lines of the epoch, of any kind
    int gsvLines = 0;          // GSV lines: an epoch without any says nothing of the sky

    bool hasTime() const { return utcMs >= 0; }
    // Date and time in UTC; invalid without both.
    QDateTime utc() const;
    // Whether the receiver has a fix, by the first of these it sent: GGA
    // quality 1-6 (7 manual input, 8 simulator: none); RMC status A with a
    // mode other than N or S; a GNS mode with a letter other than N or S;
    // GLL status A; only without any of them, a GSA 2D or 3D fix.
    bool hasFix() const;
    const SatelliteInView *find(const SatelliteKey &key) const;
};

// What a fix is, one sentence at a time, for every reader of the receiver.
bool ggaQualityIsFix(int quality);
bool rmcIsFix(char status, char mode);
bool gnsModeIsFix(const QByteArray &mode);

Q_DECLARE_METATYPE(Epoch)

#endif // EPOCH_H
