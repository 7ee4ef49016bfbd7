#ifndef REPLAYPACER_H
#define REPLAYPACER_H

#include <QtGlobal>

// When each epoch of a log played back is due: the receiver's own UTC
// times, run at a speed from a moment of the wall clock. Times are passed
// in: log times in UTC seconds, the wall clock in ms of any monotonic clock.
class ReplayPacer
{
public:
    // Speed 0: every epoch is due at once.
    static constexpr double AsFastAsPossible = 0.0;

    // Plays from `logTime` as of `wallMs`.
    void start(double logTime, qint64 wallMs);
    // A new speed (1, 2, 5, 10, or AsFastAsPossible) from `wallMs` on; the
    // log time reached by then stays.
    void setSpeed(double speed, qint64 wallMs);
    double speed() const { return m_speed; }
    bool isFlatOut() const { return m_speed <= 0; }

    // The log time due at `wallMs`: every epoch at or before it is due
    // (never before the start; infinity flat out).
    double dueAt(qint64 wallMs) const;
    // The wall clock at which `logTime` is due (`wallMs` itself flat out
    // or when it is due already).
    qint64 wallWhen(double logTime, qint64 wallMs) const;

private:
    double m_speed = 1.0;
    double m_startLogTime = 0;
    qint64 m_startWallMs = 0;
};

#endif // REPLAYPACER_H
