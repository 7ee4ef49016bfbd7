#ifndef TIMESPAN_H
#define TIMESPAN_H

// The stretch of time a chart shows, in UTC seconds since 1970.
struct TimeSpan
{
    double from = 0;
    double to = 0;

    double length() const { return to - from; }
    bool operator==(const TimeSpan &other) const { return from == other.from && to == other.to; }
};

// The narrowest span a chart zooms to, in seconds: an axis needs room.
constexpr double MinimumSpan = 1.0;

// The span a live chart shows: the last `windowSeconds` up to `last` (the
// newest sample), or everything from `first` to `last` when `windowSeconds`
// is 0 or less. A span shorter than MinimumSpan is widened to end at `last`.
//   first 100, last 1000, window 300  ->  700 to 1000
TimeSpan followingSpan(double first, double last, double windowSeconds);

// `span` zoomed by `factor` (below 1 zooms in, above 1 out) about `anchor`,
// which stays where it was on the axis; never narrower than MinimumSpan.
//   0 to 100 zoomed by 0.5 about 80  ->  40 to 90
TimeSpan zoomedSpan(const TimeSpan &span, double anchor, double factor);

// `span` moved later by `seconds` (earlier when negative).
TimeSpan pannedSpan(const TimeSpan &span, double seconds);

#endif // TIMESPAN_H
