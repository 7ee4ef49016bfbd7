#ifndef CHARTFEED_H
#define CHARTFEED_H

#include <QPointF>
#include <QVector>

#include <functional>

class TimeChart;

// The series of a history between two UTC times, with the nearest samples
// outside (samplesBetween in history/timeline.h).
using SeriesBetween = std::function<QVector<QPointF>(int series, double from, double to)>;

// Hands `chart` each of its series from a history whose samples run from
// `first` to `last`: the span the chart shows next (following, or as the
// user zoomed or panned) and one span more on either side, so a pan has
// something to draw before the next feed, cut to three points per pixel
// column (decimateMinMax). The chart then holds a few thousand points per
// series however long the history, and the history stays where it is.
void feedTimeChart(TimeChart *chart, double first, double last, const SeriesBetween &samplesOf);

#endif // CHARTFEED_H
