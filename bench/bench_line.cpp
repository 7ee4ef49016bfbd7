// The whole program on a live line: the simulated receiver writes to a
// pseudo-terminal at a baud rate's byte rate, the window (offscreen, shown,
// in this process) is connected to it with its Connect button and runs as
// a user's would. Measured in this process: CPU time (getrusage), resident
// memory (/proc/self/status), the delay of a 10 ms heartbeat timer on the
// window's thread, the bytes that reached MainWindow::loadPlot; from the
// simulator's --write-log: when each byte was written. The monotonic clock
// is shared by both processes, so delays and backlogs are exact.
//
//   bench_line --baud B --rate HZ [--flood] --seconds S [--no-heartbeat] [--docks] [--settle S]
//
// --docks shows every dock of the View menu (history, accuracy, sentences),
// each floating beside the others so all of them draw; --settle waits that
// many seconds after connecting (and showing them) before measuring, so
// first layouts and paints are not counted.
//
// Prints one "figure<TAB>value<TAB>unit<TAB>how" line per figure.
#include "floatingdocks.h"
#include "residentmemory.h"
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "e2e/simprocess.h"
#include "link/serialport.h"

#include <QApplication>
#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVector>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include <sys/resource.h>
#include <time.h>

namespace {

qint64 monotonicNs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

double cpuSeconds()
{
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

double percentile(QVector<double> v, double p)
{
    if (v.isEmpty())
        return -1;
    std::sort(v.begin(), v.end());
    const int i = qBound(0, static_cast<int>(p * (v.size() - 1) + 0.5), v.size() - 1);
    return v.at(i);
}

struct Sample
{
    qint64 ns;
    qint64 shown;
    double rssMb;
    double cpu;
};

// One sentence as the window handled it: when loadPlot returned with it,
// and where it ends in the stream. Blocks themselves are not kept: their
// memory would count as the program's.
struct Shown
{
    qint64 ns;
    qint64 endOffset;
};

struct Write
{
    qint64 ns;
    qint64 total;
};

QVector<Write> readWriteLog(const QString &path)
{
    QVector<Write> writes;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return writes;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const int space = line.indexOf(' ');
        if (space > 0)
            writes.append({line.left(space).toLongLong(), line.mid(space + 1).toLongLong()});
    }
    return writes;
}

// Bytes written by `ns`.
qint64 sentBy(const QVector<Write> &writes, qint64 ns)
{
    auto it = std::upper_bound(writes.begin(), writes.end(), ns,
                               [](qint64 t, const Write &w) { return t < w.ns; });
    return it == writes.begin() ? 0 : (it - 1)->total;
}

// When the byte at `offset` (1-based count) had been written.
qint64 writtenAt(const QVector<Write> &writes, qint64 offset)
{
    auto it = std::lower_bound(writes.begin(), writes.end(), offset,
                               [](const Write &w, qint64 o) { return w.total < o; });
    return it == writes.end() ? -1 : it->ns;
}

void row(const QString &figure, double value, const char *unit, const QString &how)
{
    std::printf("%s\t%.6g\t%s\t%s\n", figure.toUtf8().constData(), value, unit, how.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QApplication app(argc, argv);

    QString baud = QStringLiteral("921600");
    QString rate = QStringLiteral("10");
    bool flood = false;
    bool heartbeat = true;
    bool paced = true;   // false: the simulator writes each epoch at once
    bool docks = false;
    double settle = 0;
    double seconds = 60;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--baud") && i + 1 < args.size())
            baud = args.at(++i);
        else if (args.at(i) == QLatin1String("--rate") && i + 1 < args.size())
            rate = args.at(++i);
        else if (args.at(i) == QLatin1String("--seconds") && i + 1 < args.size())
            seconds = args.at(++i).toDouble();
        else if (args.at(i) == QLatin1String("--flood"))
            flood = true;
        else if (args.at(i) == QLatin1String("--no-heartbeat"))
            heartbeat = false;
        else if (args.at(i) == QLatin1String("--unpaced"))
            paced = false;
        else if (args.at(i) == QLatin1String("--docks"))
            docks = true;
        else if (args.at(i) == QLatin1String("--settle") && i + 1 < args.size())
            settle = args.at(++i).toDouble();
    }
    const QString tag = flood ? QStringLiteral("line%1.flood").arg(baud)
                              : QStringLiteral("line%1.%2hz%3").arg(baud, rate, paced ? QString() : QStringLiteral(".unpaced"));
    const QString tagged = docks ? tag + QStringLiteral(".docks") : tag;
    const double bytesPerSecond = baud.toDouble() / 10;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString writeLog = dir.filePath(QStringLiteral("writes.txt"));

    SimProcess sim;
    QStringList simArgs{"--rate", rate, "--seed", "1", "--write-log", writeLog};
    if (paced)
        simArgs << "--line-rate" << baud;
    if (flood)
        simArgs << "--flood";
    if (!SimProcess::isBuilt() || !sim.start(simArgs)) {
        std::fprintf(stderr, "bench_line: cannot start %s: %s\n", qPrintable(SimProcess::executable()),
                     qPrintable(sim.rawLog()));
        return 1;
    }

    MainWindow window;
    Ui::MainWindow *ui = window.form();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "bench: the window was not exposed\n");

    // Counted right after the window's own slot for the same block.
    std::atomic<qint64> shownBytes{0};
    QVector<Shown> shown;
    shown.reserve(200000);
    QObject::connect(window.worker(), &serialport::receive_data, &window, [&](const QByteArray &block) {
        const qint64 now = monotonicNs();
        qint64 offset = shownBytes.load();
        int start = 0;
        int feed;
        while ((feed = block.indexOf('\n', start)) >= 0) {
            if (block.at(start) == '$')
                shown.append({now, offset + feed + 1});
            start = feed + 1;
            if (start >= block.size())
                break;
        }
        shownBytes.store(offset + block.size());
    }, Qt::QueuedConnection);
    window.offerPort(sim.portPath());
    ui->comboBox_2->setCurrentText(baud);
    ui->ctn_btn->click();
    if (!waitUntil([&] { return window.isConnected(); }, 10000)) {
        std::fprintf(stderr, "bench_line: the window did not connect\n");
        return 1;
    }

    if (docks)
        floatDocksSideBySide(window.viewDocks());
    if (settle > 0)
        QTest::qWait(int(settle * 1000));

    // The heartbeat: how long a click would wait.
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    beat.setInterval(10);
    qint64 lastBeat = monotonicNs();
    qint64 worstBeatNs = 0;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = monotonicNs();
        worstBeatNs = qMax(worstBeatNs, now - lastBeat - 10000000);
        lastBeat = now;
    });

    // Memory, CPU and shown bytes from a thread of their own, so a busy
    // window thread cannot delay the samples.
    std::atomic<bool> sampling{true};
    QVector<Sample> samples;
    const qint64 startNs = monotonicNs();
    const double startCpu = cpuSeconds();
    std::thread sampler([&] {
        while (sampling.load()) {
            samples.append({monotonicNs(), shownBytes.load(), residentMb(), cpuSeconds()});
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    if (heartbeat) {
        lastBeat = monotonicNs();
        beat.start();
    }

    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();

    const qint64 endNs = monotonicNs();
    const double endCpu = cpuSeconds();
    const qint64 shownAtEnd = shownBytes.load();
    const double rssAtEnd = residentMb();
    beat.stop();
    sampling.store(false);
    sampler.join();

    // What is left of the stream reaches the window once the line stops.
    sim.stop();
    const QVector<Write> writes = readWriteLog(writeLog);
    const qint64 sentTotal = writes.isEmpty() ? 0 : writes.last().total;
    // The line may stop inside a sentence, whose start then never leaves
    // the serial worker: done when all arrived or nothing more comes.
    qint64 lastCount = -1;
    qint64 drainedNs = monotonicNs();
    waitUntil([&] {
        const qint64 count = shownBytes.load();
        if (count != lastCount) {
            lastCount = count;
            drainedNs = monotonicNs();
        }
        return count >= sentTotal || monotonicNs() - drainedNs > 1000000000;
    }, 30000);
    if (sentTotal - shownBytes.load() > 2000)
        std::fprintf(stderr, "bench_line: %lld bytes written, %lld reached the window\n",
                     static_cast<long long>(sentTotal), static_cast<long long>(shownBytes.load()));

    const double streamSeconds = (endNs - startNs) / 1e9;
    const qint64 sentAtEnd = sentBy(writes, endNs);
    qint64 worstBacklog = 0;
    double rssAt10 = -1;
    double rssPeak = 0;
    QVector<double> windowCpu;   // CPU seconds per second over 10-second windows
    double windowStartCpu = startCpu;
    qint64 windowStartNs = startNs;
    for (const Sample &s : qAsConst(samples)) {
        worstBacklog = qMax(worstBacklog, sentBy(writes, s.ns) - s.shown);
        rssPeak = qMax(rssPeak, s.rssMb);
        if (rssAt10 < 0 && s.ns - startNs >= qint64(10e9))
            rssAt10 = s.rssMb;
        if (s.ns - windowStartNs >= qint64(10e9)) {
            windowCpu << (s.cpu - windowStartCpu) / ((s.ns - windowStartNs) / 1e9);
            windowStartCpu = s.cpu;
            windowStartNs = s.ns;
        }
    }
    rssPeak = qMax(rssPeak, rssAtEnd);

    // Every line's delay: from the write that finished it to the moment
    // loadPlot had put it in its row.
    QVector<double> toRowMs;
    for (const Shown &s : qAsConst(shown)) {
        if (s.ns > endNs)
            break;
        const qint64 written = writtenAt(writes, s.endOffset);
        if (written >= 0)
            toRowMs << (s.ns - written) / 1e6;
    }

    const double cpu = endCpu - startCpu;
    const QString how = QStringLiteral("skyloupe-sim %1%2--rate %3 over a pty, port at %4 baud, %5 s; window "
                                       "offscreen in the bench process, connected with its button%6")
                            .arg(flood ? QStringLiteral("--flood ") : QString(),
                                 paced ? QStringLiteral("--line-rate %1 ").arg(baud)
                                       : QStringLiteral("(each epoch written at once) "),
                                 rate, baud)
                            .arg(streamSeconds, 0, 'f', 1)
                            .arg(docks ? QStringLiteral(", the View menu's docks shown") : QString());
    row(tagged + ".stream_rate", sentAtEnd / streamSeconds, "B/s",
        QStringLiteral("bytes the simulator wrote / seconds (line carries %1 B/s); ").arg(bytesPerSecond) + how);
    row(tagged + ".cpu_per_s", cpu / streamSeconds, "CPU s/s",
        QStringLiteral("getrusage of the whole process (window + serial thread%1) / stream seconds; ")
                .arg(heartbeat ? QStringLiteral(" + heartbeat and sampler") : QStringLiteral(" + sampler"))
            + how);
    row(tagged + ".cpu_pct", 100 * cpu / streamSeconds, "% of a core", QStringLiteral("the same as a share of one core"));
    if (!windowCpu.isEmpty())
        row(tagged + ".cpu_per_s.median10", percentile(windowCpu, 0.5), "CPU s/s",
            QStringLiteral("median of the %1 ten-second windows of the same").arg(windowCpu.size()));
    if (heartbeat)
        row(tagged + ".heartbeat_worst", worstBeatNs / 1e6, "ms",
            QStringLiteral("largest delay of a 10 ms PreciseTimer on the window thread beyond its interval"));
    row(tagged + ".backlog_end", sentAtEnd - shownAtEnd, "B",
        QStringLiteral("bytes written by the simulator by the end minus bytes loadPlot had handled (%1 s of data)")
            .arg((sentAtEnd - shownAtEnd) / bytesPerSecond, 0, 'f', 3));
    row(tagged + ".backlog_worst", worstBacklog, "B",
        QStringLiteral("largest of the same, sampled every 20 ms from another thread (%1 s of data)")
            .arg(worstBacklog / bytesPerSecond, 0, 'f', 3));
    row(tagged + ".drain", (drainedNs - endNs) / 1e6, "ms",
        QStringLiteral("from the end until the last written line had reached loadPlot (simulator stopped)"));
    row(tagged + ".rss_10s", rssAt10, "MB", QStringLiteral("VmRSS 10 s after connecting"));
    row(tagged + ".rss_peak", rssPeak, "MB", QStringLiteral("largest VmRSS sampled every 20 ms"));
    row(tagged + ".rss_end", rssAtEnd, "MB", QStringLiteral("VmRSS at the end"));
    row(tagged + ".rss_growth", rssAtEnd - rssAt10, "MB", QStringLiteral("VmRSS at the end minus after 10 s"));
    row(tagged + ".latency_row.median", percentile(toRowMs, 0.5), "ms",
        QStringLiteral("%1 sentences: from the simulator's write() that completed the sentence to loadPlot "
                       "having put it in its table row, median; ").arg(toRowMs.size()) + how);
    row(tagged + ".latency_row.p99", percentile(toRowMs, 0.99), "ms", QStringLiteral("the same, 99th percentile"));
    ui->ctn_btn->click();
    return 0;
}
