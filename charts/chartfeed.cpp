#include "charts/chartfeed.h"

#include "charts/seriesdecimation.h"
#include "charts/timechart.h"

#include <algorithm>
#include <cmath>

void feedTimeChart(TimeChart *chart, double first, double last, const SeriesBetween &samplesOf)
{
    if (!std::isfinite(first) || !std::isfinite(last)) {
        for (int s = 0; s < chart->seriesCount(); ++s)
            chart->setSamples(s, {});
        return;
    }
    const TimeSpan span = chart->isFollowing() ? followingSpan(first, last, chart->window()) : chart->span();
    const double from = span.from - span.length();
    const double to = span.to + span.length();
    const int columns = 3 * std::max(chart->canvas()->width(), 200);
    for (int s = 0; s < chart->seriesCount(); ++s)
        chart->setSamples(s, decimateMinMax(samplesOf(s, from, to), from, to, columns));
}
