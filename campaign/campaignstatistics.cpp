#include "campaign/campaignstatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// WGS 84.
constexpr double SemiMajorAxis = 6378137.0;
constexpr double Flattening = 1 / 298.257223563;
constexpr double PiOver180 = 3.14159265358979323846 / 180;
}

double quantile(const QVector<double> &ascending, double p)
{
    if (ascending.isEmpty())
        return NaN;
    const double rank = std::clamp(p, 0.0, 1.0) * (ascending.size() - 1);
    const int below = int(std::floor(rank));
    const int above = std::min(below + 1, int(ascending.size()) - 1);
    return ascending.at(below) + (rank - below) * (ascending.at(above) - ascending.at(below));
}

TtffSummary summarizeTtff(QVector<double> seconds, int failures)
{
    TtffSummary s;
    s.failures = failures;
    s.count = int(seconds.size()) + failures;
    std::sort(seconds.begin(), seconds.end());
    const int n = int(seconds.size());
    double sum = 0;
    for (double v : seconds)
        sum += v;
    s.mean = n > 0 ? sum / n : NaN;
    double squares = 0;
    for (double v : seconds)
        squares += (v - s.mean) * (v - s.mean);
    s.standardDeviation = n > 1 ? std::sqrt(squares / (n - 1)) : (n == 1 ? 0 : NaN);
    s.min = n > 0 ? seconds.first() : NaN;
    s.max = n > 0 ? seconds.last() : NaN;
    s.median = quantile(seconds, 0.5);
    s.p95 = quantile(seconds, 0.95);
    return s;
}

double horizontalErrorM(const ReferencePosition &reference, double latitude, double longitude)
{
    // Meridian and prime-vertical radii of curvature at the reference.
    const double e2 = Flattening * (2 - Flattening);
    const double phi = reference.latitude * PiOver180;
    const double w = std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    const double meridian = SemiMajorAxis * (1 - e2) / (w * w * w) + reference.height;
    const double primeVertical = SemiMajorAxis / w + reference.height;
    double dLon = longitude - reference.longitude;
    dLon -= 360 * std::round(dLon / 360);   // across the antimeridian
    const double north = (latitude - reference.latitude) * PiOver180 * meridian;
    const double east = dLon * PiOver180 * primeVertical * std::cos(phi);
    return std::hypot(north, east);
}
