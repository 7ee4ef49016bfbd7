#include "campaign/campaignfile.h"

#include "nmea/logfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace {

// A number with `decimals` after the point; empty for NaN.
QByteArray number(double value, int decimals)
{
    return std::isnan(value) ? QByteArray() : QByteArray::number(value, 'f', decimals);
}

} // namespace

namespace CampaignCsv {

QByteArray cycleHeader()
{
    return "cycle,kind,start_utc,ttff_s,satellites_used,top4_cnr_dbhz,latitude_deg,longitude_deg,"
           "altitude_m,horizontal_error_m\r\n";
}

QByteArray cycleRow(const CampaignCycle &cycle)
{
    QByteArray row = QByteArray::number(cycle.number) + ',' + restartKindName(cycle.kind).toLatin1() + ','
                     + cycle.startUtc.toUTC().toString(Qt::ISODateWithMs).toLatin1() + ',';
    if (cycle.failed())
        return row + "timeout,,,,,,\r\n";
    row += number(cycle.ttffMs / 1000.0, 2) + ',' + QByteArray::number(cycle.satellitesUsed) + ','
           + number(cycle.topFourCnr, 1) + ',';
    if (cycle.hasPosition)
        row += number(cycle.latitude, 7) + ',' + number(cycle.longitude, 7) + ',' + number(cycle.altitude, 1);
    else
        row += ",,";
    return row + ',' + number(cycle.horizontalErrorM, 2) + "\r\n";
}

QByteArray summary(const CampaignRun &run)
{
    QByteArray text = "kind,count,failures,min_s,median_s,mean_s,p95_s,max_s,stddev_s\r\n";
    for (RestartKind kind : run.setup().kinds) {
        const TtffSummary s = run.summary(kind);
        text += restartKindName(kind).toLatin1() + ',' + QByteArray::number(s.count) + ','
                + QByteArray::number(s.failures);
        for (double v : {s.min, s.median, s.mean, s.p95, s.max, s.standardDeviation})
            text += ',' + number(v, 2);
        text += "\r\n";
    }
    return text;
}

QString defaultFileName(const QString &logFileName, const QDateTime &now)
{
    QString log = logFileName;
    if (log.isEmpty())
        log = NmeaLog::fileName(NmeaLog::defaultDirectory(), now, QDateTime());
    const QFileInfo info(log);
    const QString stem = info.dir().filePath(info.completeBaseName() + QStringLiteral("_campaign"));
    QString name = stem + QStringLiteral(".csv");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QStringLiteral("_%1.csv").arg(n);
    return name;
}

QString summaryFileName(const QString &cyclesFileName)
{
    QString name = cyclesFileName;
    if (name.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        name.chop(4);
    return name + QStringLiteral("_summary.csv");
}

} // namespace CampaignCsv

QString CampaignFile::open(const QString &fileName)
{
    return open(fileName, CampaignCsv::cycleHeader());
}

QString CampaignFile::open(const QString &fileName, const QByteArray &header)
{
    m_file.close();
    m_file.setFileName(fileName);
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return m_file.errorString();
    if (m_file.write(header) < 0 || !m_file.flush())
        return m_file.errorString();
    return QString();
}

bool CampaignFile::record(const CampaignCycle &cycle, const CampaignRun &run)
{
    return record(CampaignCsv::cycleRow(cycle), CampaignCsv::summary(run));
}

bool CampaignFile::record(const QByteArray &row, const QByteArray &text)
{
    if (!m_file.isOpen())
        return false;
    if (m_file.write(row) != row.size() || !m_file.flush())
        return false;
    QSaveFile summary(CampaignCsv::summaryFileName(m_file.fileName()));
    return summary.open(QIODevice::WriteOnly) && summary.write(text) == text.size() && summary.commit();
}
