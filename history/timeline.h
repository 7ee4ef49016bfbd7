#ifndef TIMELINE_H
#define TIMELINE_H

#include <QPointF>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <limits>

struct Epoch;

// Places epochs on a chart's UTC time axis, in order. Histories keep one
// time per epoch in a vector sorted by time, so a chart finds any span by
// binary search.
class EpochTimeline
{
public:
    // The epoch's time in UTC seconds since 1970, never earlier than the
    // previous epoch's: its own date and time when that does not go back (a
    // receiver that restarts may send an old date), else the previous
    // epoch's time plus the monotonic time (receivedMs) between them. An
    // epoch with a time but no date known (a receiver that sends no RMC or
    // ZDA) is placed at its time of day (seconds below 86400), which every
    // writer shows without a date. NaN before the first epoch with a time:
    // it cannot be placed.
    double place(const Epoch &epoch);
    void reset();
    // Goes back to just after an epoch placed at `time` (NaN: before the
    // first): a log played back was taken back to an earlier point.
    void rewind(double time) { m_last = time; }

    // The epoch's own date and time in UTC seconds since 1970, whether or
    // not it goes back; NaN without both (a duration is never computed
    // across epochs without a date).
    static double ownTime(const Epoch &epoch);

private:
    double m_last = std::numeric_limits<double>::quiet_NaN();
    qint64 m_lastReceivedMs = 0;
};

// The samples of a history between `from` and `to` (UTC seconds) for a
// chart: (times[i], valueAt(i)) for every i whose time lies in the span and
// whose value is a number, plus the nearest such sample before and after it,
// so a line runs to both edges. `times` is sorted; valueAt(i) returns NaN
// where the history has no value.
template <typename ValueAt>
QVector<QPointF> samplesBetween(const QVector<double> &times, double from, double to, ValueAt valueAt)
{
    QVector<QPointF> out;
    const int first = int(std::lower_bound(times.cbegin(), times.cend(), from) - times.cbegin());
    const int last = int(std::upper_bound(times.cbegin(), times.cend(), to) - times.cbegin());
    for (int i = first - 1; i >= 0; --i) {
        const double v = valueAt(i);
        if (std::isfinite(v)) {
            out.append(QPointF(times.at(i), v));
            break;
        }
    }
    out.reserve(out.size() + last - first + 1);
    for (int i = first; i < last; ++i) {
        const double v = valueAt(i);
        if (std::isfinite(v))
            out.append(QPointF(times.at(i), v));
    }
    for (int i = last; i < times.size(); ++i) {
        const double v = valueAt(i);
        if (std::isfinite(v)) {
            out.append(QPointF(times.at(i), v));
            break;
        }
    }
    return out;
}

#endif // TIMELINE_H
