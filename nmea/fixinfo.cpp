#include "nmea/fixinfo.h"
#include "nmea/gsasystem.h"
#include "nmea/nmeafields.h"
#include "nmea/satellites.h"

#include <climits>
#include <cmath>

QString utcTimeText(const QByteArray &field)
{
    const QString t = QString::fromLatin1(field);
    return t.left(2) + QLatin1Char(':') + t.mid(2, 2) + QLatin1Char(':') + t.mid(4);
}

QString degreesText(const QByteArray &field)
{
    bool ok = false;
    double v = field.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        v = 0.0;
    // Whole degrees are the integer part divided by 100; what is left is
    // minutes. Kept in double so the receiver's digits survive unchanged.
    const double degrees = std::trunc(std::trunc(v) / 100.0);
    const double value = (v - 100.0 * degrees) / 60.0 + degrees;
    return QString::number(value, 'f', 6);
}

GgaValues readGga(const NmeaFields &fields)
{
    GgaValues v;
    v.utcTime = utcTimeText(fields.at(1));
    v.latitude = degreesText(fields.at(2));
    v.northSouth = QString::fromLatin1(fields.at(3));
    v.longitude = degreesText(fields.at(4));
    v.eastWest = QString::fromLatin1(fields.at(5));
    v.satsInUse = QString::fromLatin1(fields.at(7));
    v.altitude = QString::fromLatin1(fields.at(9));
    return v;
}

GsaUpdate FixState::applyGsa(const QByteArray &line, int &noFixCount)
{
    // Fields: 0 address, 1 mode, 2 fix type, 3-14 satellites, 15 PDOP,
    // 16 HDOP, 17 VDOP, 18 system ID.
    const NmeaFields fields(line);
    GsaUpdate u;
    u.pdop = QString::fromLatin1(fields.at(15));
    u.hdop = QString::fromLatin1(fields.at(16));
    u.vdop = QString::fromLatin1(fields.at(17));

    const int system = gsaSystemId(fields);
    if (system >= SystemGps && system <= SystemQzss) {
        u.fixedColumn = system;
        for (int i = 3; i <= 14; ++i) {
            const QByteArray sat = fields.at(i);
            if (sat.isEmpty())
                continue;
            const QString entry = QString::fromLatin1(sat) + QLatin1Char(',');
            if (system != SystemGps) {
                u.fixedList += entry;
                continue;
            }
            // A GPS GSA of older receivers also lists QZSS, SBAS and more
            // under the GPS numbering; GPS and QZSS have cells.
            const ConstellationRow *row = findConstellation("GP", fields.intAt(i));
            if (row && row->constellation == Constellation::Gps)
                u.fixedList += entry;
            else if (row && row->constellation == Constellation::Qzss)
                u.qzssList += entry;
        }
        if (system == SystemGps) {
            u.writesQzss = true;
            u.centreTwoDLabel = true;
        }
    }

    // QZSS has no fix flags of its own.
    if (system >= SystemGps && system <= SystemBeidou) {
        const int i = system - 1;
        switch (fields.intAt(2)) {
        case 1:
            m_twoD[i] = false;
            m_threeD[i] = false;
            break;
        case 2:
            m_twoD[i] = true;
            m_threeD[i] = false;
            break;
        case 3:
            m_twoD[i] = true;
            m_threeD[i] = true;
            break;
        default:
            break;   // empty or unknown fix type: keep what was known
        }
    }

    u.status = status();
    if (u.status == FixStatus::None) {
        if (noFixCount < INT_MAX)
            ++noFixCount;
    } else if (noFixCount > 0) {
        noFixCount = 0;
        u.firstFix = true;
    }
    return u;
}

bool FixState::hasTwoD(int system) const
{
    return system >= SystemGps && system <= SystemBeidou && m_twoD[system - 1];
}

bool FixState::hasThreeD(int system) const
{
    return system >= SystemGps && system <= SystemBeidou && m_threeD[system - 1];
}

FixStatus FixState::status() const
{
    bool twoD = false;
    for (int i = 0; i < 4; ++i) {
        if (m_threeD[i])
            return FixStatus::ThreeD;
        twoD = twoD || m_twoD[i];
    }
    return twoD ? FixStatus::TwoD : FixStatus::None;
}
