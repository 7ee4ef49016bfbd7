#ifndef SKYSNAPSHOT_H
#define SKYSNAPSHOT_H

#include "receiver/epoch.h"
#include "receiver/epochstatistics.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What the sky view or the bar chart is handed, as parallel lists: element
// i of every list is the same entry (a satellite for the sky view, a signal
// of a satellite for the bar chart). A fill alpha of 255 marks a satellite
// used in the fix, 30 one that is not.
struct SatelliteSnapshot
{
    QList<QString> labels;
    QList<float> elevations;
    QList<float> azimuths;
    QList<float> cnrs;
    QList<SatelliteColour> outlines;
    QList<SatelliteColour> fills;
    // Per signal entry only: its band (Band) and its signal's name.
    QList<int> bands;
    QList<QString> signalNames;

    int size() const { return labels.size(); }
};

// One cell of the statistics grid (info_table) and its text.
struct GridCell
{
    int row;
    int column;
    QString text;
};

// Turns an epoch into the plots' snapshots and the statistics grid's values,
// which are held until an epoch brings satellites again.
class SatelliteTracker
{
public:
    // The sky view's snapshot of the epoch: one entry per satellite with its
    // strongest CNR; GPS, GLONASS, Galileo, BeiDou in the order first listed,
    // then QZSS, then SBAS. When `signalBars` is given it receives the bar
    // chart's: one entry per signal, the signals of a satellite side by side
    // in band order. An epoch without GSV sentences says nothing of the sky:
    // it changes nothing and returns no snapshot.
    std::optional<SatelliteSnapshot> update(const Epoch &epoch, SatelliteSnapshot *signalBars = nullptr);
    // The same for one epoch made of these GSV and GSA sentences.
    std::optional<SatelliteSnapshot> update(const QList<QByteArray> &gsvBatch, const QList<QByteArray> &gsaBatch);

    const EpochStatistics &statistics() const { return m_statistics; }

    // The grid cells the statistics fill, columns 1 to 5 for GPS, GLONASS,
    // Galileo, BeiDou, QZSS: row 1 the satellites in view (two digits), row
    // 4 the peak CNR and row 3 the top-4 CNR average (two decimals).
    QList<GridCell> statisticsCells() const;

private:
    EpochStatistics m_statistics;
};

#endif // SKYSNAPSHOT_H
