#include "receiver/skysnapshot.h"
#include "receiver/epochassembler.h"
#include "receiver/signalid.h"

#include <algorithm>

namespace {

// Alpha of the fill colour of a satellite not used in the fix, and of one used.
constexpr int UnusedAlpha = 30;
constexpr int UsedAlpha = 255;

void append(SatelliteSnapshot &lists, const SatelliteInView &sat, float cnr)
{
    const SatelliteColour colour = constellationColour(sat.key.constellation);
    SatelliteColour fill = colour;
    fill.alpha = sat.used ? UsedAlpha : UnusedAlpha;
    lists.labels.append(sat.label);
    lists.elevations.append(sat.elevation);
    lists.azimuths.append(sat.azimuth);
    lists.cnrs.append(cnr);
    lists.outlines.append(colour);
    lists.fills.append(fill);
}

// 0 for GPS, GLONASS, Galileo and BeiDou, which keep their order; QZSS
// after them, SBAS last.
int drawingGroup(Constellation c)
{
    return c == Constellation::Qzss ? 1 : c == Constellation::Sbas ? 2 : 0;
}

} // namespace

std::optional<SatelliteSnapshot> SatelliteTracker::update(const Epoch &epoch, SatelliteSnapshot *signalBars)
{
    if (epoch.gsvLines == 0)
        return std::nullopt;
    m_statistics = epochStatistics(epoch);

    QVector<const SatelliteInView *> order;
    for (const SatelliteInView &sat : epoch.satellites)
        order.append(&sat);
    std::stable_sort(order.begin(), order.end(), [](const SatelliteInView *a, const SatelliteInView *b) {
        return drawingGroup(a->key.constellation) < drawingGroup(b->key.constellation);
    });

    SatelliteSnapshot sky;
    for (const SatelliteInView *sat : order) {
        append(sky, *sat, sat->bestCnr());
        if (!signalBars)
            continue;
        QVector<SignalCnr> signalsInBandOrder = sat->cnrs;
        std::stable_sort(signalsInBandOrder.begin(), signalsInBandOrder.end(),
                         [c = sat->key.constellation](const SignalCnr &a, const SignalCnr &b) {
                             return int(bandOf(c, a.signalId)) < int(bandOf(c, b.signalId));
                         });
        for (const SignalCnr &signal : signalsInBandOrder) {
            append(*signalBars, *sat, signal.cnr);
            signalBars->bands.append(int(bandOf(sat->key.constellation, signal.signalId)));
            signalBars->signalNames.append(signalName(sat->key.constellation, signal.signalId));
        }
    }
    return sky;
}

std::optional<SatelliteSnapshot> SatelliteTracker::update(const QList<QByteArray> &gsvBatch,
                                                          const QList<QByteArray> &gsaBatch)
{
    EpochAssembler assembler;
    for (const QByteArray &line : gsaBatch + gsvBatch)
        assembler.addLine(line);
    return update(assembler.current());
}

QList<GridCell> SatelliteTracker::statisticsCells() const
{
    QList<GridCell> cells;
    for (int c = 0; c < StatisticsConstellations; ++c)
        cells.append({1, c + 1, QStringLiteral("%1").arg(m_statistics.constellation[c].inView, 2, 10, QLatin1Char('0'))});
    for (int c = 0; c < StatisticsConstellations; ++c)
        cells.append({4, c + 1, QString::number(m_statistics.constellation[c].peak, 'f', 2)});
    for (int c = 0; c < StatisticsConstellations; ++c)
        cells.append({3, c + 1, QString::number(m_statistics.constellation[c].topFourAverage, 'f', 2)});
    return cells;
}
