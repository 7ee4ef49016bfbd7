#include "rtcm/correctionstream.h"

#include <QObject>
#include <QtMath>
#include <cmath>

namespace {

// Bits [pos, pos + len) of `data`, most significant first; len <= 64.
quint64 bitsAt(const QByteArray &data, int pos, int len)
{
    quint64 value = 0;
    for (int i = pos; i < pos + len; ++i) {
        const int byte = i / 8;
        const int bit = byte < data.size() ? (quint8(data.at(byte)) >> (7 - i % 8)) & 1 : 0;
        value = (value << 1) | quint64(bit);
    }
    return value;
}

qint64 signedBitsAt(const QByteArray &data, int pos, int len)
{
    const quint64 value = bitsAt(data, pos, len);
    return (value & (quint64(1) << (len - 1))) ? qint64(value) - (qint64(1) << len) : qint64(value);
}

// Writes the low `len` bits of `value` at bit `pos`, most significant first.
void putBits(QByteArray *data, int pos, int len, quint64 value)
{
    for (int i = 0; i < len; ++i) {
        const int at = pos + i;
        const int bit = int((value >> (len - 1 - i)) & 1);
        char &byte = data->data()[at / 8];
        byte = char(bit ? (quint8(byte) | (0x80 >> (at % 8))) : (quint8(byte) & ~(0x80 >> (at % 8))));
    }
}

constexpr qint64 RateWindowMs = 5000;

} // namespace

RtcmStation readStation(const QByteArray &payload)
{
    RtcmStation s;
    const int type = int(bitsAt(payload, 0, 12));
    // 1005: 19 bytes, 1006: 21 (the antenna height after).
    if ((type != 1005 && type != 1006) || payload.size() < 19)
        return s;
    // DF003 station id, DF021 ITRF year, 4 flags, DF025 X (38 bits, 0.1 mm),
    // 2 bits, DF026 Y, 2 bits, DF027 Z.
    s.id = int(bitsAt(payload, 12, 12));
    s.x = signedBitsAt(payload, 34, 38) * 0.0001;
    s.y = signedBitsAt(payload, 74, 38) * 0.0001;
    s.z = signedBitsAt(payload, 114, 38) * 0.0001;
    // ECEF to geodetic on WGS 84 (Bowring's method, good to the millimetre).
    const double a = 6378137.0, f = 1 / 298.257223563, e2 = f * (2 - f), b = a * (1 - f);
    const double ep2 = (a * a - b * b) / (b * b);
    const double p = std::hypot(s.x, s.y);
    if (p < 1.0)
        return s;   // not a place on the Earth's surface
    const double th = std::atan2(s.z * a, p * b);
    const double lat = std::atan2(s.z + ep2 * b * std::pow(std::sin(th), 3), p - e2 * a * std::pow(std::cos(th), 3));
    const double n = a / std::sqrt(1 - e2 * std::sin(lat) * std::sin(lat));
    s.latitude = qRadiansToDegrees(lat);
    s.longitude = qRadiansToDegrees(std::atan2(s.y, s.x));
    s.height = p / std::cos(lat) - n;
    s.known = true;
    return s;
}

QByteArray stationPayload(int id, double latitude, double longitude, double height)
{
    const double a = 6378137.0, f = 1 / 298.257223563, e2 = f * (2 - f);
    const double lat = qDegreesToRadians(latitude), lon = qDegreesToRadians(longitude);
    const double n = a / std::sqrt(1 - e2 * std::sin(lat) * std::sin(lat));
    const double x = (n + height) * std::cos(lat) * std::cos(lon);
    const double y = (n + height) * std::cos(lat) * std::sin(lon);
    const double z = (n * (1 - e2) + height) * std::sin(lat);
    QByteArray p(19, '\0');
    putBits(&p, 0, 12, 1005);
    putBits(&p, 12, 12, quint64(id));
    putBits(&p, 30, 4, 0xE);   // GPS, GLONASS and Galileo; a physical station
    putBits(&p, 34, 38, quint64(qRound64(x * 10000)));
    putBits(&p, 74, 38, quint64(qRound64(y * 10000)));
    putBits(&p, 114, 38, quint64(qRound64(z * 10000)));
    return p;
}

double baselineMetres(double lat1, double lon1, double lat2, double lon2)
{
    const double r = 6371008.8;
    const double p1 = qDegreesToRadians(lat1), p2 = qDegreesToRadians(lat2);
    const double dp = p2 - p1, dl = qDegreesToRadians(lon2 - lon1);
    const double h = std::sin(dp / 2) * std::sin(dp / 2) + std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
    return 2 * r * std::asin(std::sqrt(qMin(1.0, h)));
}

QString rtcmTypeName(int type)
{
    if (type == 1005 || type == 1006)
        return QStringLiteral("station");
    if (type == 1007 || type == 1008 || type == 1033)
        return QStringLiteral("antenna");
    if (type >= 1001 && type <= 1004)
        return QStringLiteral("GPS observations");
    if (type >= 1009 && type <= 1012)
        return QStringLiteral("GLONASS observations");
    if (type == 1019 || type == 1020 || type == 1042 || type == 1044 || type == 1045 || type == 1046)
        return QStringLiteral("ephemeris");
    if (type == 1230)
        return QStringLiteral("GLONASS biases");
    static const struct { int first; const char *name; } Msm[] = {
        {1071, "MSM GPS"}, {1081, "MSM GLONASS"}, {1091, "MSM Galileo"},
        {1101, "MSM SBAS"}, {1111, "MSM QZSS"}, {1121, "MSM BeiDou"},
    };
    for (const auto &m : Msm) {
        if (type >= m.first && type <= m.first + 6)
            return QString::fromLatin1(m.name) + QStringLiteral(" ") + QString::number(type - m.first + 1);
    }
    return QStringLiteral("other");
}

QVector<RtcmFrame> CorrectionStream::take(const QByteArray &bytes, qint64 nowMs)
{
    m_bytes += bytes.size();
    m_recent.append({nowMs, int(bytes.size())});
    while (!m_recent.isEmpty() && m_recent.first().first < nowMs - RateWindowMs)
        m_recent.removeFirst();
    const QVector<RtcmFrame> frames = m_framer.push(bytes);
    for (const RtcmFrame &frame : frames) {
        RtcmTypeStats &stats = m_types[frame.type];
        stats.type = frame.type;
        ++stats.count;
        if (stats.firstMs < 0)
            stats.firstMs = nowMs;
        stats.lastMs = nowMs;
        if (frame.type == 1005 || frame.type == 1006) {
            const RtcmStation station = readStation(frame.payload());
            if (station.known)
                m_station = station;
        }
    }
    if (!frames.isEmpty()) {
        if (m_startMs < 0)
            m_startMs = nowMs;
        m_lastMs = nowMs;
    }
    return frames;
}

QString CorrectionStream::whyNotFlowing(qint64 nowMs) const
{
    if (m_lastMs < 0)
        return QObject::tr("no corrections have arrived");
    if (isStale(nowMs))
        return QObject::tr("corrections stale: none for %1 s").arg((nowMs - m_lastMs) / 1000);
    return QString();
}

double CorrectionStream::bytesPerSecond(qint64 nowMs) const
{
    qint64 sum = 0;
    for (const auto &r : m_recent) {
        if (r.first >= nowMs - RateWindowMs)
            sum += r.second;
    }
    const qint64 span = m_startMs < 0 ? RateWindowMs : qBound<qint64>(1000, nowMs - m_startMs, RateWindowMs);
    return sum * 1000.0 / span;
}
