#include "receiver/epochstatistics.h"

#include <QVarLengthArray>

#include <algorithm>
#include <functional>

namespace {

// The values of one epoch's constellation or band: kept on the stack, as
// every epoch makes a few dozen of them.
using CnrValues = QVarLengthArray<float, 64>;

// topFourAverage over [begin, end), which it reorders.
float topFourOf(float *begin, float *end)
{
    end = std::remove_if(begin, end, [](float v) { return !(v > 0); });
    const int top = std::min(4, int(end - begin));
    // The four largest in descending order, summed in that order as a full
    // sort would: the same float.
    std::partial_sort(begin, begin + top, end, std::greater<float>());
    float sum = 0.0f;
    for (int i = 0; i < top; ++i)
        sum += begin[i];
    return top == 0 ? 0.0f : sum / float(top);
}

} // namespace

float topFourAverage(QVector<float> values)
{
    return topFourOf(values.data(), values.data() + values.size());
}

EpochStatistics epochStatistics(const Epoch &epoch)
{
    EpochStatistics s;
    CnrValues best[StatisticsConstellations];
    CnrValues ofBand[StatisticsConstellations][BandCount];
    for (const SatelliteInView &sat : epoch.satellites) {
        const int c = int(sat.key.constellation);
        if (c >= StatisticsConstellations)
            continue;   // SBAS has no statistics
        ++s.constellation[c].inView;
        best[c].append(sat.bestCnr());
        bool counted[BandCount] = {};
        for (const SignalCnr &signal : sat.cnrs) {
            const int b = int(bandOf(sat.key.constellation, signal.signalId));
            s.hasBand[c][b] = true;
            ofBand[c][b].append(signal.cnr);
            if (!counted[b]) {
                counted[b] = true;
                ++s.band[c][b].inView;
                s.band[c][b].used += sat.used ? 1 : 0;
            }
        }
    }
    for (const SatelliteKey &key : epoch.used) {
        if (int(key.constellation) < StatisticsConstellations)
            ++s.constellation[int(key.constellation)].used;
    }
    auto fill = [](ConstellationStatistics &stats, CnrValues &cnrs) {
        stats.peak = cnrs.isEmpty() ? 0.0f : std::max(0.0f, *std::max_element(cnrs.cbegin(), cnrs.cend()));
        stats.topFourAverage = topFourOf(cnrs.begin(), cnrs.end());
    };
    for (int c = 0; c < StatisticsConstellations; ++c) {
        fill(s.constellation[c], best[c]);
        for (int b = 0; b < BandCount; ++b)
            fill(s.band[c][b], ofBand[c][b]);
    }
    return s;
}
