#include "analysis/comparelogs.h"

#include "analysis/analyzecommand.h"
#include "analysis/loganalysis.h"
#include "compare/receivercomparison.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>
#include <deque>

namespace CompareLogs {

using AnalyzeCommand::fail;
using AnalyzeCommand::PieceBytes;

namespace {

// One log as a stream of epochs: read a piece at a time, its finished
// epochs wait here, with their UTC seconds, until the other log catches up.
struct LogSide
{
    CompareSide side;
    QString path;
    QFile file;
    LogAnalysis analysis;
    std::deque<std::pair<double, Epoch>> waiting;
    bool ended = false;

    bool open(QString *error)
    {
        file.setFileName(path);
        if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2")
                         .arg(path, QFileInfo(path).isDir() ? QStringLiteral("it is a folder") : file.errorString());
            return false;
        }
        analysis.setEpochSink([this](const Epoch &epoch, const EpochStatistics &, double utc) {
            waiting.emplace_back(utc, epoch);
        });
        return true;
    }
    // The next piece, or the end of the log; false for a read error.
    bool readPiece(QByteArray &piece)
    {
        const qint64 n = file.read(piece.data(), PieceBytes);
        if (n < 0)
            return false;
        if (n == 0) {
            analysis.finish();
            ended = true;
        } else {
            analysis.addBytes(piece.constData(), n);
        }
        return true;
    }
    // An epoch without a time sorts first: the comparison counts it at once.
    double nextTime() const
    {
        const double t = waiting.front().first;
        return std::isnan(t) ? -INFINITY : t;
    }
};

QJsonValue jsonNumber(double value, int decimals)
{
    if (!std::isfinite(value))
        return QJsonValue();
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

QString text(double value, int decimals)
{
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("-");
}

} // namespace

int run(const QString &underTestLog, const QString &referenceLog, const QString &outDirectory)
{
    LogSide sides[2];
    sides[0].side = CompareSide::Reference;
    sides[0].path = referenceLog;
    sides[1].side = CompareSide::UnderTest;
    sides[1].path = underTestLog;
    QString error;
    for (LogSide &s : sides) {
        if (!s.open(&error))
            return fail(AnalyzeCommand::Unreadable, error);
    }
    if (!QDir().mkpath(outDirectory))
        return fail(AnalyzeCommand::Usage, QStringLiteral("cannot make the folder %1").arg(outDirectory));
    QFile csv(QDir(outDirectory).filePath(QStringLiteral("comparison.csv")));
    if (!csv.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(AnalyzeCommand::Usage, QStringLiteral("cannot write %1: %2").arg(csv.fileName(), csv.errorString()));
    csv.write(ReceiverComparison::csvHeader());

    ReceiverComparison comparison;
    qint64 written = 0;
    auto feed = [&](LogSide &s) {
        comparison.addEpoch(s.side, s.waiting.front().second);
        s.waiting.pop_front();
        if (comparison.pairCount() > written) {
            written = comparison.pairCount();
            csv.write(comparison.csvLine(comparison.epochs().size() - 1));
        }
    };

    // Read the log that is behind in time, and hand the comparison the
    // epochs of both in time order, so each waits for its partner briefly.
    QByteArray piece(int(PieceBytes), Qt::Uninitialized);
    for (;;) {
        // A log with nothing waiting is read first, else the one behind.
        LogSide *next = nullptr;
        for (LogSide &s : sides) {
            if (s.ended || (next && next->waiting.empty()))
                continue;
            if (!next || s.waiting.empty() || s.nextTime() < next->nextTime())
                next = &s;
        }
        if (!next)
            break;
        if (!next->readPiece(piece))
            return fail(AnalyzeCommand::Unreadable,
                        QStringLiteral("cannot read %1: %2").arg(next->path, next->file.errorString()));
        for (;;) {
            LogSide &a = sides[0];
            LogSide &b = sides[1];
            if (!a.waiting.empty() && !b.waiting.empty())
                feed(a.nextTime() <= b.nextTime() ? a : b);
            else if (!a.waiting.empty() && b.ended)
                feed(a);
            else if (!b.waiting.empty() && a.ended)
                feed(b);
            else
                break;
        }
    }
    csv.close();

    for (const LogSide &s : sides) {
        if (!s.analysis.holdsNmea())
            return fail(AnalyzeCommand::NoNmea, QStringLiteral("%1 holds no NMEA").arg(s.path));
    }
    if (comparison.pairCount() == 0) {
        const QString why = comparison.problem().isEmpty()
            ? QStringLiteral("the two logs have no epoch with the same UTC time")
            : comparison.problem();
        return fail(AnalyzeCommand::NoNmea, QStringLiteral("nothing to compare: %1").arg(why));
    }

    // The figures of the compare view.
    QJsonArray differences;
    QString lines;
    for (const CnrSeriesKey &key : comparison.differenceSeries()) {
        const int count = comparison.differenceCount(key.constellation, key.band);
        const double mean = comparison.meanDifference(key.constellation, key.band);
        const QString name = SignalHistory::seriesName(key);
        differences.append(QJsonObject{{"series", name}, {"meanDb", jsonNumber(mean, 2)}, {"signals", count}});
        lines += QStringLiteral("  %1 %2 dB over %3 signals\n").arg(name, -16).arg(text(mean, 2), 6).arg(count);
    }
    const ReceiverComparison::Distance d = comparison.distance();
    const QJsonObject summary{
        {"underTest", QFileInfo(underTestLog).fileName()},
        {"reference", QFileInfo(referenceLog).fileName()},
        {"pairs", comparison.pairCount()},
        {"unmatchedUnderTest", comparison.unmatched(CompareSide::UnderTest)},
        {"unmatchedReference", comparison.unmatched(CompareSide::Reference)},
        {"cnrDifference", differences},
        {"rtkFixedRatio", QJsonObject{{"underTest", jsonNumber(comparison.rtkFixedRatio(CompareSide::UnderTest), 4)},
                                      {"reference", jsonNumber(comparison.rtkFixedRatio(CompareSide::Reference), 4)}}},
        {"distance", QJsonObject{{"fixes", d.count},
                                 {"horizontalMeanM", jsonNumber(d.horizontalMean, 3)},
                                 {"horizontalP95M", jsonNumber(d.horizontalP95, 3)},
                                 {"verticalMeanM", jsonNumber(d.verticalMean, 3)},
                                 {"verticalP95M", jsonNumber(d.verticalP95, 3)}}}};
    QFile json(QDir(outDirectory).filePath(QStringLiteral("comparison.json")));
    const QByteArray bytes = QJsonDocument(summary).toJson();
    if (!json.open(QIODevice::WriteOnly | QIODevice::Truncate) || json.write(bytes) != bytes.size())
        return fail(AnalyzeCommand::Usage, QStringLiteral("cannot write %1: %2").arg(json.fileName(), json.errorString()));

    QString out;
    out += QStringLiteral("Under test %1\nReference  %2\n").arg(underTestLog, referenceLog);
    out += QStringLiteral("Pairs      %1 epochs with the same UTC time (%2 and %3 without a partner)\n")
               .arg(comparison.pairCount())
               .arg(comparison.unmatched(CompareSide::UnderTest))
               .arg(comparison.unmatched(CompareSide::Reference));
    out += QStringLiteral("CNR        under test minus reference, mean:\n") + lines;
    out += QStringLiteral("Distance   %1 fixes: horizontal mean %2 m, 95 % %3 m; vertical mean %4 m, 95 % %5 m\n")
               .arg(d.count)
               .arg(text(d.horizontalMean, 2), text(d.horizontalP95, 2), text(d.verticalMean, 2),
                    text(d.verticalP95, 2));
    out += QStringLiteral("Files      %1\n").arg(QDir(outDirectory).absolutePath());
    std::fputs(out.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace CompareLogs
