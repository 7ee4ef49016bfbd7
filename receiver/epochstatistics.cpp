#include "receiver/epochstatistics.h"

#include <algorithm>
#include <functional>

float topFourAverage(QVector<float> values)
{
    values.erase(std::remove_if(values.begin(), values.end(), [](float v) { return !(v > 0); }), values.end());
    std::sort(values.begin(), values.end(), std::greater<float>());
    const int top = std::min(4, int(values.size()));
    float sum = 0.0f;
    for (int i = 0; i < top; ++i)
        sum += values.at(i);
    return top == 0 ? 0.0f : sum / float(top);
}

EpochStatistics epochStatistics(const Epoch &epoch)
{
    EpochStatistics s;
    QVector<float> best[StatisticsConstellations];
    QVector<float> ofBand[StatisticsConstellations][BandCount];
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
    auto fill = [](ConstellationStatistics &stats, const QVector<float> &cnrs) {
        stats.peak = cnrs.isEmpty() ? 0.0f : std::max(0.0f, *std::max_element(cnrs.cbegin(), cnrs.cend()));
        stats.topFourAverage = topFourAverage(cnrs);
    };
    for (int c = 0; c < StatisticsConstellations; ++c) {
        fill(s.constellation[c], best[c]);
        for (int b = 0; b < BandCount; ++b)
            fill(s.band[c][b], ofBand[c][b]);
    }
    return s;
}
