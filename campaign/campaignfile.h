#ifndef CAMPAIGNFILE_H
#define CAMPAIGNFILE_H

#include "campaign/campaignrun.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

// The campaign's CSV files: one of the cycles, a line appended and pushed
// to the system as each cycle ends, so a crash or an unplugged receiver
// keeps every finished cycle; and one of the summary per kind, rewritten
// whole after each cycle. Lines end in "\r\n"; times are ISO 8601 UTC and
// numbers have a decimal point whatever the locale.
namespace CampaignCsv {

// "cycle,kind,start_utc,ttff_s,satellites_used,top4_cnr_dbhz,latitude_deg,
// longitude_deg,altitude_m,horizontal_error_m"
QByteArray cycleHeader();
// "3,COLD,2025-03-01T10:00:05.120Z,27.31,14,44.3,48.1173000,11.5166667,545.4,1.23";
// a timed-out cycle has "timeout" for its TTFF and empty fields after it,
// and a value that is not known is an empty field.
QByteArray cycleRow(const CampaignCycle &cycle);
// "kind,count,failures,min_s,median_s,mean_s,p95_s,max_s,stddev_s" and a
// line per kind of the campaign, in set-up order.
QByteArray summary(const CampaignRun &run);

// The cycles' file next to the connection's NMEA log, with its time stamp:
// "./log/0509_143015.nma" gives "./log/0509_143015_campaign.csv", then
// "..._campaign_2.csv" when that exists. Without a log, the log's own name
// for a connection at `now`.
QString defaultFileName(const QString &logFileName, const QDateTime &now);
// "x_campaign.csv" -> "x_campaign_summary.csv".
QString summaryFileName(const QString &cyclesFileName);

} // namespace CampaignCsv

// Writes a campaign's two files as it goes.
class CampaignFile
{
public:
    // Creates the cycles' file (and its folder) with its header; returns the
    // reason in plain words when it cannot, "" otherwise.
    QString open(const QString &fileName);
    // The same with another header (a campaign on several receivers).
    QString open(const QString &fileName, const QByteArray &header);
    // Appends the cycle and rewrites the summary; false when a write failed.
    bool record(const CampaignCycle &cycle, const CampaignRun &run);
    // Appends `row` and rewrites the summary file with `summary`.
    bool record(const QByteArray &row, const QByteArray &summary);
    void close() { m_file.close(); }
    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }
    QString errorString() const { return m_file.errorString(); }

private:
    QFile m_file;
};

#endif // CAMPAIGNFILE_H
