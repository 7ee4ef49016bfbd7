#include "analysis/analyzecommand.h"

#include "analysis/analysisreport.h"
#include "analysis/comparelogs.h"
#include "analysis/loganalysis.h"
#include "app/commandline.h"
#include "history/signalhistory.h"
#include "rtcm/rtkeffect.h"
#include "map/track.h"
#include "map/trackexport.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDateTime>
#include <QJsonDocument>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace AnalyzeCommand {

int fail(int status, const QString &message)
{
    std::fprintf(stderr, "skyloupe: %s\n", message.toLocal8Bit().constData());
    return status;
}

bool isRequested(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--analyze") == 0 || std::strncmp(argv[i], "--analyze=", 10) == 0)
            return true;
    }
    return false;
}

QString defaultOutDirectory(const QString &log)
{
    const QFileInfo info(log);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("_analysis"));
}

bool parse(const QStringList &arguments, Options *options, QString *message)
{
    QCommandLineParser parser;
    // The same rows --help lists; --debug may stand beside them.
    parser.addOptions(CommandLine::parserOptions(CommandLine::Group::General));
    parser.addOptions(CommandLine::parserOptions(CommandLine::Group::Analysis));
    const QCommandLineOption analyze(QStringLiteral("analyze"));
    const QCommandLineOption reference(QStringLiteral("reference"));
    const QCommandLineOption out(QStringLiteral("out"));
    const QCommandLineOption format(QStringLiteral("format"));
    const QCommandLineOption compare(QStringLiteral("compare"));
    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first());
        return false;
    }
    options->log = parser.value(analyze);
    if (options->log.isEmpty()) {
        *message = QStringLiteral("--analyze needs a log file");
        return false;
    }
    options->compareWith = parser.value(compare);
    options->outDirectory = parser.isSet(out) ? parser.value(out) : defaultOutDirectory(options->log);
    if (parser.isSet(reference)) {
        options->reference = readPosition(parser.value(reference));
        if (!options->reference) {
            *message = QStringLiteral("--reference wants LAT,LON[,H] in degrees and metres, not %1")
                           .arg(parser.value(reference));
            return false;
        }
    }
    if (parser.isSet(format)) {
        options->json = options->csv = options->png = options->gpx = options->kml = false;
        for (const QString &f : parser.value(format).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString name = f.trimmed().toLower();
            if (name == QLatin1String("json"))
                options->json = true;
            else if (name == QLatin1String("csv"))
                options->csv = true;
            else if (name == QLatin1String("png"))
                options->png = true;
            else if (name == QLatin1String("gpx"))
                options->gpx = true;
            else if (name == QLatin1String("kml"))
                options->kml = true;
            else {
                *message = QStringLiteral("--format knows json, csv, png, gpx and kml, not %1").arg(f);
                return false;
            }
        }
    }
    return true;
}

int run(const Options &options, const ChartWriter &charts, const TrackPictureWriter &trackPicture)
{
    if (!options.compareWith.isEmpty())
        return CompareLogs::run(options.log, options.compareWith, options.outDirectory);
    const QFileInfo info(options.log);
    if (info.isDir())
        return fail(Unreadable, QStringLiteral("cannot read %1: it is a folder").arg(options.log));
    {
        QFile file(options.log);
        if (!file.open(QIODevice::ReadOnly))
            return fail(Unreadable, QStringLiteral("cannot read %1: %2").arg(options.log, file.errorString()));
    }

    const QDir outDir(options.outDirectory);
    const bool madeDir = !outDir.exists();
    const bool writesFiles = options.json || options.csv || options.png || options.gpx || options.kml;
    if (writesFiles && !QDir().mkpath(options.outDirectory))
        return fail(Usage, QStringLiteral("cannot make the folder %1").arg(options.outDirectory));

    LogAnalysis analysis;
    analysis.setReference(options.reference);
    AnalysisCsv csv;
    QString error;
    if (options.csv && !csv.open(options.outDirectory, &error))
        return fail(Usage, error);
    // Corrections beside the log start the RTK figures at their start, as
    // the session wrote it; otherwise they count from the log's start.
    RtkEffect rtk;
    QString rtkFrom = QStringLiteral("log start");
    QFile startFile(info.dir().filePath(info.completeBaseName() + QStringLiteral(".rtcm.start")));
    if (startFile.open(QIODevice::ReadOnly)) {
        const QDateTime start = QDateTime::fromString(QString::fromLatin1(startFile.readAll().trimmed()), Qt::ISODateWithMs);
        if (start.isValid()) {
            rtk.correctionsStarted(start.toMSecsSinceEpoch());
            rtkFrom = QStringLiteral("corrections");
        }
    }
    bool rtkSeen = false;
    // The track, 24 bytes an epoch, only for the files that show it.
    std::unique_ptr<Track> track;
    if (options.gpx || options.kml || (options.png && trackPicture))
        track = std::make_unique<Track>();
    analysis.setEpochSink([&](const Epoch &epoch, const EpochStatistics &stats, double utc) {
        if (!std::isnan(utc)) {
            const qint64 ms = qRound64(utc * 1000);
            rtk.correctionsStarted(ms);
            rtk.takeEpoch(ms, epoch.quality, epoch.hasPosition, epoch.latitude, epoch.longitude, epoch.altitude);
            rtkSeen = rtkSeen || epoch.quality == RtkEffect::Float || epoch.quality == RtkEffect::Fixed;
        }
        if (options.csv)
            csv.addEpoch(epoch, stats, utc);
        if (track)
            track->addEpoch(epoch);
    });
    // The log is the session's source, read through as fast as it goes.
    if (!analysis.readLog(options.log, &error))
        return fail(Unreadable, error);
    const bool csvWritten = !options.csv || csv.close(&error);

    if (!analysis.holdsNmea()) {
        // Nothing worth a file: leave no half-made folder behind.
        QFile::remove(outDir.filePath(QStringLiteral("epochs.csv")));
        QFile::remove(outDir.filePath(QStringLiteral("satellites.csv")));
        if (madeDir)
            QDir().rmdir(options.outDirectory);
        return fail(NoNmea, QStringLiteral("%1 holds no NMEA (%2 bytes read)").arg(options.log).arg(info.size()));
    }
    if (!csvWritten)
        return fail(Usage, error);

    QJsonObject summary = analysisSummary(analysis, info.fileName());
    if (rtkSeen || rtkFrom == QLatin1String("corrections"))
        summary[QStringLiteral("rtk")] = rtkSummary(rtk, rtkFrom);
    if (options.json) {
        QFile out(outDir.filePath(QStringLiteral("summary.json")));
        const QByteArray bytes = QJsonDocument(summary).toJson();
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
            return fail(Usage, QStringLiteral("cannot write %1: %2").arg(out.fileName(), out.errorString()));
    }
    if (options.png && charts && !charts(analysis, analysis.signalHistory(), options.outDirectory, &error))
        return fail(Usage, error);
    if (options.gpx && !TrackExport::writeGpxFile(*track, outDir.filePath(QStringLiteral("track.gpx")), &error))
        return fail(Usage, error);
    if (options.kml && !TrackExport::writeKmlFile(*track, outDir.filePath(QStringLiteral("track.kml")), &error))
        return fail(Usage, error);
    if (track && trackPicture && !trackPicture(*track, outDir.filePath(QStringLiteral("track.png")), &error))
        return fail(Usage, error);

    QString text = analysisText(summary);
    if (writesFiles)
        text += QStringLiteral("Files      %1\n").arg(QDir(options.outDirectory).absolutePath());
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace AnalyzeCommand
