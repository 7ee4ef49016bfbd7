// What `skyloupe --analyze` costs on a one-hour 10 Hz four-system log: the
// program itself runs as a child process, and its own CPU time (user and
// system, from wait4) and peak resident memory (ru_maxrss) are taken, so
// the figures are those of one core whatever else the machine does.
//
//   bench_analyze [STREAM]
//
// STREAM is the simulator's --output file (run-bench.sh passes its hour);
// without it the hour is written first. Runs the analysis twice: with the
// default files (summary.json, epochs.csv, satellites.csv) and with
// summary.json alone, three times each, and takes the median run (the
// machine is shared, and a busy neighbour slows single runs by a third).
// The sentences are those summary.json counts.
//
// Prints one "figure<TAB>value<TAB>unit<TAB>how" line per figure.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ChildCost
{
    double cpuSeconds = -1;
    double peakMb = -1;
};

// Runs a program to its end with its output thrown away; its own CPU time
// and peak memory.
ChildCost runChild(const QStringList &arguments)
{
    QList<QByteArray> bytes;
    for (const QString &a : arguments)
        bytes << a.toLocal8Bit();
    QVector<char *> argv;
    for (QByteArray &b : bytes)
        argv << b.data();
    argv << nullptr;
    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stdout))
            _exit(127);
        execv(argv.first(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return {usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6,
            usage.ru_maxrss / 1024.0};
}

qint64 sentencesIn(const QString &summaryFile)
{
    QFile file(summaryFile);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    qint64 sentences = 0;
    for (const QJsonValue &type : QJsonDocument::fromJson(file.readAll())["sentences"]["types"].toArray())
        sentences += type["count"].toVariant().toLongLong();
    return sentences;
}

void row(const char *figure, double value, const char *unit, const QString &how)
{
    std::printf("%s\t%.6g\t%s\t%s\n", figure, value, unit, how.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString build = QStringLiteral(SKYLOUPE_BUILD_DIR);
    QTemporaryDir work;
    QString stream = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (stream.isEmpty()) {
        stream = work.filePath(QStringLiteral("hour.nma"));
        if (QProcess::execute(build + QStringLiteral("/skyloupe-sim"),
                              {"--output", stream, "--epochs", "36000", "--rate", "10", "--seed", "1"}) != 0) {
            std::fprintf(stderr, "bench_analyze: cannot write %s\n", qPrintable(stream));
            return 1;
        }
    }
    const double streamMb = QFileInfo(stream).size() / 1e6;
    const struct { const char *key; const char *formats; const char *what; } runs[] = {
        {"analyze", "json,csv", "summary.json, epochs.csv and satellites.csv"},
        {"analyze.json_only", "json", "summary.json only"},
    };
    for (const auto &run : runs) {
        const QString out = work.filePath(QString::fromLatin1(run.key));
        QVector<ChildCost> costs;
        for (int i = 0; i < 3; ++i) {
            costs.append(runChild({build + QStringLiteral("/skyloupe"), "--analyze", stream, "--out", out,
                                   "--format", QString::fromLatin1(run.formats)}));
        }
        std::sort(costs.begin(), costs.end(),
                  [](const ChildCost &a, const ChildCost &b) { return a.cpuSeconds < b.cpuSeconds; });
        const ChildCost cost = costs.first().cpuSeconds <= 0 ? costs.first() : costs.at(1);
        const qint64 sentences = sentencesIn(QDir(out).filePath(QStringLiteral("summary.json")));
        if (cost.cpuSeconds <= 0 || sentences <= 0) {
            std::fprintf(stderr, "bench_analyze: skyloupe --analyze %s failed\n", qPrintable(stream));
            return 1;
        }
        const QString how = QStringLiteral("skyloupe --analyze of the one-hour 10 Hz log (%1 sentences, %2 MB), "
                                           "%3; its CPU time (user + system), median of 3 runs")
                                .arg(sentences).arg(streamMb, 0, 'f', 1).arg(QString::fromLatin1(run.what));
        row(QByteArray(run.key).append(".sentences_per_s").constData(), sentences / cost.cpuSeconds, "1/s", how);
        row(QByteArray(run.key).append(".cpu_s").constData(), cost.cpuSeconds, "s", how);
        row(QByteArray(run.key).append(".rss_peak").constData(), cost.peakMb, "MB",
            QStringLiteral("peak resident memory of the same run (ru_maxrss)"));
    }
    return 0;
}
