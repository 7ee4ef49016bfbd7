#ifndef CORRECTIONSTREAM_H
#define CORRECTIONSTREAM_H

#include "rtcm/rtcmframer.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVector>

// What the corrections panel shows of one message type.
struct RtcmTypeStats
{
    int type = 0;
    qint64 count = 0;
    qint64 firstMs = -1;
    qint64 lastMs = -1;
    // Messages a second over the time seen; 0 until it came twice.
    double rate() const { return count > 1 && lastMs > firstMs ? (count - 1) * 1000.0 / (lastMs - firstMs) : 0.0; }
};

// The reference station as message 1005 or 1006 gives it.
struct RtcmStation
{
    bool known = false;
    int id = 0;
    double x = 0, y = 0, z = 0;            // ECEF, metres
    double latitude = 0, longitude = 0;    // WGS 84, degrees
    double height = 0;                     // ellipsoidal, metres
};

// Reads the station of a 1005/1006 payload; `known` false for any other.
RtcmStation readStation(const QByteArray &payload);
// A 1005 payload for station `id` at a WGS 84 position (degrees, metres).
QByteArray stationPayload(int id, double latitude, double longitude, double height);
// Great-circle distance in metres between two WGS 84 positions (degrees).
double baselineMetres(double lat1, double lon1, double lat2, double lon2);
// A group name for a message type: "station", "MSM GPS", "GLONASS biases", ...
QString rtcmTypeName(int type);

// One stream of RTCM 3 corrections as it arrives: its frames, the count,
// rate and last time of each message type, the bytes per second, the age
// of the corrections and the station. Times are milliseconds on any clock
// the caller keeps, passed in.
class CorrectionStream
{
public:
    static constexpr qint64 StaleMs = 10000;

    // Takes received bytes at `nowMs`; returns the whole good frames they
    // complete (only those go on to the receiver's log of frames).
    QVector<RtcmFrame> take(const QByteArray &bytes, qint64 nowMs);
    void clear() { *this = CorrectionStream(); }

    const RtcmFramer &framer() const { return m_framer; }
    QVector<RtcmTypeStats> types() const { return m_types.values().toVector(); }
    qint64 totalBytes() const { return m_bytes; }
    // Bytes a second over the last 5 s before `nowMs`.
    double bytesPerSecond(qint64 nowMs) const;
    // Time of the first good frame; -1 before.
    qint64 startMs() const { return m_startMs; }
    // Seconds since the last good frame; negative before the first.
    double ageSeconds(qint64 nowMs) const { return m_lastMs < 0 ? -1.0 : (nowMs - m_lastMs) / 1000.0; }
    bool isStale(qint64 nowMs) const { return m_lastMs >= 0 && nowMs - m_lastMs > StaleMs; }
    // Why no corrections are flowing at `nowMs` ("no corrections have
    // arrived", "corrections stale: none for 12 s"); "" while they flow.
    QString whyNotFlowing(qint64 nowMs) const;
    const RtcmStation &station() const { return m_station; }

private:
    RtcmFramer m_framer;
    QMap<int, RtcmTypeStats> m_types;
    QVector<QPair<qint64, int>> m_recent;   // (time, bytes) of the last seconds
    qint64 m_bytes = 0;
    qint64 m_startMs = -1;
    qint64 m_lastMs = -1;
    RtcmStation m_station;
};

#endif // CORRECTIONSTREAM_H
