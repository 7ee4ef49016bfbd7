#ifndef RTKEFFECT_H
#define RTKEFFECT_H

#include "accuracy/positionstatistics.h"

#include <QPointF>
#include <QVector>

// What corrections did to the fix: from the moment the first good frame
// arrived, the time to the first RTK float and the first RTK fixed epoch,
// the share of epochs fixed since, the spread (CEP) of the fixed epochs
// alone, and the age of corrections over time. Times in milliseconds on one
// clock the caller keeps; the same unit serves the window, the analysis of
// a log and the tests.
class RtkEffect
{
public:
    // GGA fix qualities.
    static constexpr int Float = 5;
    static constexpr int Fixed = 4;

    // The first good frame; later calls change nothing.
    void correctionsStarted(qint64 ms);
    // One epoch: its time, GGA quality and position (degrees, metres).
    void takeEpoch(qint64 ms, int quality, bool hasPosition, double latitude, double longitude, double height);
    // The age of corrections (seconds) at `ms`, for the history.
    void takeAge(qint64 ms, double ageSeconds);
    void clear() { *this = RtkEffect(); }

    bool started() const { return m_startMs >= 0; }
    qint64 startMs() const { return m_startMs; }
    // Seconds from the corrections' start to the first float / fixed epoch; -1: not yet.
    double secondsToFloat() const { return m_floatMs < 0 ? -1.0 : (m_floatMs - m_startMs) / 1000.0; }
    double secondsToFixed() const { return m_fixedMs < 0 ? -1.0 : (m_fixedMs - m_startMs) / 1000.0; }
    int epochs() const { return m_epochs; }
    int fixedEpochs() const { return m_fixed.size(); }
    // Share of the epochs since the start that were fixed, 0 to 1.
    double fixedRatio() const { return m_epochs ? double(m_fixed.size()) / m_epochs : 0.0; }
    // The fixed epochs' spread about their mean.
    PositionSpread fixedSpread() const;
    // (seconds since the start, age in seconds).
    const QVector<QPointF> &ageHistory() const { return m_ages; }

private:
    qint64 m_startMs = -1;
    qint64 m_floatMs = -1;
    qint64 m_fixedMs = -1;
    int m_epochs = 0;
    QVector<GeodeticPosition> m_fixed;
    QVector<QPointF> m_ages;
};

#endif // RTKEFFECT_H
