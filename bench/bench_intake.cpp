// What one received block costs the window: a recorded stream (the
// simulator's --output file) cut into blocks of one epoch each, handed to
// MainWindow::loadPlot on the offscreen window while it is connected to a
// pseudo-terminal, so the log file is written and the plots paint. Each
// block is timed from the call to the end of the event-loop turn after it,
// so the paints and any work left for the event loop are part of its cost.
//
//   bench_intake STREAM [RUNS] [BLOCKS]
//
// Prints one "figure<TAB>value<TAB>unit<TAB>how" line per figure; of RUNS
// runs (default 3) over the first BLOCKS blocks (default all) it gives the
// median of each figure.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "session/receiversession.h"
#include "support/fakesource.h"
#include "support/ptypair.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

double quantile(QVector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const int i = qBound(0, static_cast<int>(p * (v.size() - 1) + 0.5), v.size() - 1);
    return v.at(i);
}

double median(const QVector<double> &v)
{
    return quantile(v, 0.5);
}

// Cuts the stream before every line of the type that opens its first epoch.
QList<QByteArray> epochs(const QByteArray &stream)
{
    QList<QByteArray> blocks;
    const int comma = stream.indexOf(',');
    if (!stream.startsWith('$') || comma < 0)
        return blocks;
    const QByteArray opener = "\n" + stream.left(comma + 1);
    int start = 0;
    while (start < stream.size()) {
        const int next = stream.indexOf(opener, start);
        const int end = next < 0 ? stream.size() : next + 1;
        blocks.append(stream.mid(start, end - start));
        start = end;
    }
    return blocks;
}

struct Run
{
    double blockMedianUs = 0;
    double blockP99Us = 0;
    double lineMedianUs = 0;
    double lineP99Us = 0;
    double linesPerSecond = 0;
    double loadPlotShare = 0;   // of the whole time, the part inside loadPlot
};

bool connectToPty(MainWindow &window, const PtyPair &pty)
{
    window.offerPort(pty.slavePath());
    window.form()->comboBox_2->setCurrentText(QStringLiteral("921600"));
    window.form()->ctn_btn->click();
    QElapsedTimer clock;
    clock.start();
    while (!window.isConnected() && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return window.isConnected();
}

Run runOnce(const QList<QByteArray> &blocks)
{
    PtyPair pty;
    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "bench: the window was not exposed\n");
    if (!pty.isValid() || !connectToPty(window, pty)) {
        std::fprintf(stderr, "bench_intake: cannot connect to a pseudo-terminal\n");
        std::exit(1);
    }

    QVector<double> blockUs;
    QVector<double> lineUs;
    blockUs.reserve(blocks.size());
    lineUs.reserve(blocks.size());
    qint64 lines = 0;
    double insideNs = 0;
    QElapsedTimer whole;
    QElapsedTimer clock;
    whole.start();
    for (const QByteArray &block : blocks) {
        const int n = qMax(1, int(block.count('\n')));
        clock.start();
        window.loadPlot(block);
        insideNs += clock.nsecsElapsed();
        QCoreApplication::processEvents();
        const double us = clock.nsecsElapsed() / 1000.0;
        blockUs << us;
        lineUs << us / n;
        lines += n;
    }
    const double seconds = whole.nsecsElapsed() / 1e9;
    Run r;
    r.blockMedianUs = median(blockUs);
    r.blockP99Us = quantile(blockUs, 0.99);
    r.lineMedianUs = median(lineUs);
    r.lineP99Us = quantile(lineUs, 0.99);
    r.linesPerSecond = lines / seconds;
    r.loadPlotShare = insideNs / 1e9 / seconds;
    window.form()->ctn_btn->click();
    return r;
}

// The session's own share: the same blocks through ReceiverSession::takeBlock
// with no window, its log written. Returns the median microseconds a block.
double sessionBlockUs(const QList<QByteArray> &blocks)
{
    ReceiverSession session;
    session.setSerialSource(new FakeSource);
    session.open(QStringLiteral("bench"), QString());
    QVector<double> blockUs;
    blockUs.reserve(blocks.size());
    QElapsedTimer clock;
    for (const QByteArray &block : blocks) {
        clock.start();
        session.takeBlock(block);
        blockUs << clock.nsecsElapsed() / 1000.0;
    }
    session.close();
    return median(blockUs);
}

void row(const char *figure, double value, const char *unit, const QString &how)
{
    std::printf("%s\t%.6g\t%s\t%s\n", figure, value, unit, how.toUtf8().constData());
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_intake STREAM [RUNS] [BLOCKS]\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_intake: cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray stream = file.readAll();
    const int runs = argc > 2 ? qMax(1, atoi(argv[2])) : 3;
    QList<QByteArray> blocks = epochs(stream);
    if (argc > 3)
        blocks = blocks.mid(0, qMax(1, atoi(argv[3])));
    qint64 bytes = 0;
    qint64 lines = 0;
    for (const QByteArray &b : blocks) {
        bytes += b.size();
        lines += b.count('\n');
    }
    if (lines == 0) {
        std::fprintf(stderr, "bench_intake: %s holds no lines\n", argv[1]);
        return 1;
    }
    const double meanLine = double(bytes) / lines;
    // 8N1: ten bits a byte.
    const double lineRateLines = 92160.0 / meanLine;

    // Logs go to a directory of their own.
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    QVector<double> blockMedian, blockP99, lineMedian, lineP99, rate, share, sessionMedian;
    for (int i = 0; i < runs; ++i) {
        sessionMedian << sessionBlockUs(blocks);
        const Run r = runOnce(blocks);
        blockMedian << r.blockMedianUs;
        blockP99 << r.blockP99Us;
        lineMedian << r.lineMedianUs;
        lineP99 << r.lineP99Us;
        rate << r.linesPerSecond;
        share << r.loadPlotShare;
    }

    const QString what = QStringLiteral("%1 blocks of one epoch (%2 lines, mean sentence %3 bytes), "
                                        "loadPlot + the event-loop turn after it, window shown offscreen and "
                                        "connected; median of %4 runs")
                             .arg(blocks.size()).arg(lines).arg(meanLine, 0, 'f', 1).arg(runs);
    row("intake.block.median", median(blockMedian), "us", QStringLiteral("per block, median; ") + what);
    row("intake.block.p99", median(blockP99), "us", QStringLiteral("per block, 99th percentile; ") + what);
    row("intake.line.median", median(lineMedian), "us", QStringLiteral("per line (block / its lines), median; ") + what);
    row("intake.line.p99", median(lineP99), "us", QStringLiteral("per line, 99th percentile; ") + what);
    row("intake.lines_per_s", median(rate), "lines/s", QStringLiteral("lines / wall time of the run; ") + what);
    row("intake.x_line_rate", median(rate) / lineRateLines, "x",
        QStringLiteral("lines/s over the most a full 921600-baud 8N1 line carries: 92160 B/s / %1 B = %2 lines/s")
            .arg(meanLine, 0, 'f', 1).arg(lineRateLines, 0, 'f', 0));
    row("intake.session.block.median", median(sessionMedian), "us",
        QStringLiteral("per block, median, ReceiverSession::takeBlock alone (no window; log, counter, rows, "
                       "receiver model); same blocks, median of %1 runs").arg(runs));
    row("intake.loadplot_share", 100 * median(share), "%",
        QStringLiteral("share of the time spent inside loadPlot itself (the rest: paints and deferred work)"));
    return 0;
}
