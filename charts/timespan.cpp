#include "charts/timespan.h"

#include <algorithm>

TimeSpan followingSpan(double first, double last, double windowSeconds)
{
    const double from = windowSeconds > 0 ? last - windowSeconds : first;
    return {std::min(from, last - MinimumSpan), last};
}

TimeSpan zoomedSpan(const TimeSpan &span, double anchor, double factor)
{
    if (!(factor > 0) || span.length() <= 0)
        return span;
    // Keep the anchor's share of the span on either side of it.
    const double length = std::max(span.length() * factor, MinimumSpan);
    const double share = (anchor - span.from) / span.length();
    const double from = anchor - share * length;
    return {from, from + length};
}

TimeSpan pannedSpan(const TimeSpan &span, double seconds)
{
    return {span.from + seconds, span.to + seconds};
}
