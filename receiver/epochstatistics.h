#ifndef EPOCHSTATISTICS_H
#define EPOCHSTATISTICS_H

#include "receiver/epoch.h"
#include "receiver/signalid.h"

#include <QVector>

// What the statistics grid and the history show of one constellation, or of
// one band of it.
struct ConstellationStatistics
{
    int inView = 0;            // distinct satellites
    int used = 0;              // distinct satellites a GSA lists
    float peak = 0;            // strongest CNR, dB-Hz
    float topFourAverage = 0;  // mean of the four strongest CNRs (of all, when fewer)
};

// The statistics of one epoch, per constellation (GPS, GLONASS, Galileo,
// BeiDou, QZSS: the order of Constellation). A satellite counts once, by its
// strongest signal; per band, by its signal on that band.
struct EpochStatistics
{
    ConstellationStatistics constellation[StatisticsConstellations];
    ConstellationStatistics band[StatisticsConstellations][BandCount];
    bool hasBand[StatisticsConstellations][BandCount] = {};
};

EpochStatistics epochStatistics(const Epoch &epoch);

// The mean of the four largest values above 0, of all of them when fewer,
// 0 when none: 45, 40, 38, 38, 30 give 40.25.
float topFourAverage(QVector<float> values);

#endif // EPOCHSTATISTICS_H
