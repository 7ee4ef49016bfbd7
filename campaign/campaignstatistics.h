#ifndef CAMPAIGNSTATISTICS_H
#define CAMPAIGNSTATISTICS_H

#include <QVector>

// A surveyed position the first fixes are compared with.
struct ReferencePosition
{
    double latitude = 0;    // degrees, north positive
    double longitude = 0;   // degrees, east positive
    double height = 0;      // metres above the ellipsoid
};

// The times to first fix of one restart kind over a campaign.
struct TtffSummary
{
    int count = 0;       // cycles run, failed ones included
    int failures = 0;    // cycles that timed out
    // Seconds over the cycles that got a fix; NaN when none did.
    double min;
    double median;
    double mean;
    double p95;          // 95th percentile, linear between the nearest ranks
    double max;
    double standardDeviation;   // sample (n - 1); 0 for a single fix
};

// The summary of `seconds` (the fixed cycles, any order) and `failures`
// timed-out cycles: 1, 2, ..., 10 s give median 5.5, p95 9.55 and standard
// deviation 3.03.
TtffSummary summarizeTtff(QVector<double> seconds, int failures);

// The p-th quantile (0..1) of ascending values, interpolated linearly
// between the nearest ranks (rank p * (n - 1)); NaN for no values.
double quantile(const QVector<double> &ascending, double p);

// Horizontal distance in metres from `reference` to a position, on the
// WGS 84 ellipsoid at the reference's height; exact to a millimetre within
// a few kilometres: 0.001 degree of latitude at the equator is 110.57 m.
double horizontalErrorM(const ReferencePosition &reference, double latitude, double longitude);

#endif // CAMPAIGNSTATISTICS_H
