#ifndef SERIESDECIMATION_H
#define SERIESDECIMATION_H

#include <QPointF>
#include <QVector>

// Reduces a time series (x: time, in time order; y: value) to what a line
// chart can show in `columns` pixel columns between `from` and `to`. Each
// column keeps its lowest and highest sample, in the order they came, so a
// line through the result covers the same pixels as one through every
// sample and no peak or drop is lost. The last sample before `from` and the
// first after `to` are kept too, so the line runs to both edges. The result
// has at most 2 * columns + 2 points: a day at 10 Hz draws as a few
// thousand. A part that is no longer than that comes back whole.
// Samples with a value that is not finite are left out; columns below 1
// count as 1; to <= from gives no points.
QVector<QPointF> decimateMinMax(const QVector<QPointF> &samples, double from, double to,
                                int columns);

#endif // SERIESDECIMATION_H
