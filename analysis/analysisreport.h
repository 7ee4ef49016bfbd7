#ifndef ANALYSISREPORT_H
#define ANALYSISREPORT_H

#include "receiver/epochstatistics.h"

#include <QByteArray>
#include <QFile>
#include <QJsonObject>
#include <QString>

class LogAnalysis;
struct Epoch;

// summary.json of a finished analysis: identity, duration, epochs and rate,
// NMEA features, first fix, fix availability, position figures, per
// constellation and band the satellites and CNR, sentence types, gaps.
// Values that the log cannot give are null.
QJsonObject analysisSummary(const LogAnalysis &analysis, const QString &logName);

// The same on one screen of text, for standard output.
QString analysisText(const QJsonObject &summary);
// Whether a version reply or text sentence says who the receiver is
// ("PAIR021,AG3335...", "SW=skyloupe-sim 1.0,NMEA=4.10", "MODEL=..."):
// never an acknowledgement ("PAIR001,605,0"), a configuration text
// ("DEFAULT PVT CONFIGURATION") or a status of numbers.
bool isIdentityLine(const QString &line);

class RtkEffect;
// The "rtk" block: what corrections did to the fix, from `start` (the
// corrections' start, "corrections", or the log's, "log start").
QJsonObject rtkSummary(const RtkEffect &rtk, const QString &from);

// Writes epochs.csv and satellites.csv as the epochs come, a row at a time
// through a buffer, so neither file is ever held whole.
class AnalysisCsv
{
public:
    // Opens both files in `directory`; false (with the reason in *error)
    // when either cannot be written.
    bool open(const QString &directory, QString *error);
    // One row in epochs.csv, and a row per satellite and signal in
    // satellites.csv. An epoch without a time has an empty UTC cell.
    void addEpoch(const Epoch &epoch, const EpochStatistics &stats, double utcSeconds);
    // Writes what is buffered and closes; false when a write failed.
    bool close(QString *error);

private:
    void flushIfFull();

    QFile m_epochs;
    QFile m_satellites;
    QByteArray m_epochRows;
    QByteArray m_satelliteRows;
    bool m_failed = false;
};

#endif // ANALYSISREPORT_H
