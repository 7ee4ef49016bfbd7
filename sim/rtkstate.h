#ifndef RTKSTATE_H
#define RTKSTATE_H

#include <QByteArray>
#include <QString>

// How the simulated receiver answers corrections (--rtk).
struct RtkSettings
{
    bool enabled = false;
    double floatAfterS = 5;    // from the first good frame to RTK float
    double fixedAfterS = 20;   // from the first good frame to RTK fixed
    double ageLimitS = 10;     // corrections older than this are dropped: back to single

    // "float=5,fixed=20,age=10"; false with the reason in `error`.
    bool parse(const QString &text, QString *error);
};

// The receiver's RTK state from the corrections it was given. Times are
// milliseconds on the simulator's clock, passed in.
class RtkState
{
public:
    explicit RtkState(const RtkSettings &settings = RtkSettings()) : m_settings(settings) {}

    // A good RTCM frame arrived at `ms`.
    void correction(qint64 ms);
    // The GGA quality at `ms` for a receiver whose fix came at `fixAtMs`:
    // 1 single (and without --rtk), 5 RTK float, 4 RTK fixed; the count
    // starts at the later of the corrections' start and the fix.
    int quality(qint64 ms, qint64 fixAtMs) const;
    // The position noise (m, one sigma) of a quality: 0 keeps the receiver's own.
    // The first frame of the present stream; -1 before any.
    qint64 streamStartMs() const { return m_startMs; }
    static double noiseOf(int quality) { return quality == 4 ? 0.012 : quality == 5 ? 0.25 : 0.0; }
    static QString nameOf(int quality)
    {
        return quality == 4 ? QStringLiteral("fixed") : quality == 5 ? QStringLiteral("float") : QStringLiteral("single");
    }

private:
    RtkSettings m_settings;
    qint64 m_startMs = -1;   // first frame of the present stream
    qint64 m_lastMs = -1;
};

// `seconds` seconds of corrections as a base station 2 km north of the
// given position sends them: each second MSM7 for GPS, GLONASS, Galileo and
// BeiDou, every 10 s the station (1005) and GLONASS biases (1230). Every
// frame's CRC is right; the bodies after the header are filler.
QByteArray rtcmSeconds(int seconds, double latitude, double longitude, double height, quint64 seed);

#endif // RTKSTATE_H
