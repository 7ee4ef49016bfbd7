#ifndef FIXINFO_H
#define FIXINFO_H

#include <QByteArray>
#include <QString>

class NmeaFields;

// What the information table shows for one GGA sentence:
//   $GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
struct GgaValues {
    QString utcTime;      // "12:35:19.000"
    QString latitude;     // "48.117300"
    QString northSouth;   // "N", as received
    QString longitude;    // "11.516667"
    QString eastWest;     // "E", as received
    QString satsInUse;    // "08", as received
    QString altitude;     // "545.4", as received, no unit
};
GgaValues readGga(const NmeaFields &fields);

// "hhmmss.sss" as "hh:mm:ss.sss": the first two characters, ":", the next
// two, ":", and the rest, whatever the number of decimals. "" gives "::".
QString utcTimeText(const QByteArray &field);

// A "dddmm.mmmm" field as decimal degrees with 6 decimals, computed in
// double precision; the hemisphere is not applied. Not a number gives
// "0.000000".
QString degreesText(const QByteArray &field);

// The overall fix status of all systems together.
enum class FixStatus { None, TwoD, ThreeD };

// What one GSA sentence changes on the window:
//   $GNGSA,A,3,05,13,15,29,,,,,,,,,1.8,1.0,1.5,1*33
struct GsaUpdate {
    QString pdop;          // information row 8, as received
    QString vdop;          // information row 9
    QString hdop;          // information row 10
    int fixedColumn = 0;   // statistics-grid column of the system's list, 0 for none
    QString fixedList;     // "05,13,15,29," or ""
    bool writesQzss = false;   // a GPS GSA also writes the QZSS cell
    QString qzssList;      // QZSS numbers (193-199) found in a GPS GSA
    bool centreTwoDLabel = false;   // a GPS GSA centres the "2D Fix" label
    FixStatus status = FixStatus::None;
    bool firstFix = false;     // stop the TTFF display now
};

// The per-system fix flags of the GPS, GLONASS, Galileo and BeiDou GSA
// sentences and the first-fix rule that the TTFF test rests on.
class FixState
{
public:
    // Handles one GSA sentence. noFixCount is the number of GSA sentences
    // handled without any fix since it was last zeroed: it grows by one when
    // no system has a fix afterwards, and a fix after a positive count is
    // the first fix, which zeroes it.
    GsaUpdate applyGsa(const QByteArray &line, int &noFixCount);

    bool hasTwoD(int system) const;
    bool hasThreeD(int system) const;
    FixStatus status() const;

private:
    // Index 0 GPS, 1 GLONASS, 2 Galileo, 3 BeiDou (system ID minus one).
    bool m_twoD[4] = {false, false, false, false};
    bool m_threeD[4] = {false, false, false, false};
};

#endif // FIXINFO_H
