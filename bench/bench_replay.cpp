// A one-hour 10 Hz dual-band log played back in the window as fast as
// possible, with every dock of the View menu shown (floating side by side):
// the multiple of real time, how long input waits meanwhile, the index's
// build time, and how long a seek takes to show its epoch.
//
//   bench_replay [LOG]
//
// LOG is a simulator --output file; without it the hour is written first
// (--epochs 36000 --rate 10 --signals 2 --seed 1). Input is a event posted
// to the window's thread from another thread every 20 ms, as the system
// posts a click; its wait is the time until the window's thread takes it.
//
// Prints one "figure<TAB>value<TAB>unit<TAB>how" line per figure.
#include "floatingdocks.h"
#include "app/mainwindow.h"
#include "history/signalhistory.h"
#include "receiver/receivermodel.h"
#include "replay/replaybar.h"
#include "replay/replayplayer.h"
#include "session/receiversession.h"
#include "ui_replaybar.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

void row(const char *figure, double value, const char *unit, const QString &how)
{
    std::printf("%s\t%.6g\t%s\t%s\n", figure, value, unit, how.toUtf8().constData());
    std::fflush(stdout);
}

qint64 nowNs()
{
    QElapsedTimer t;
    t.start();
    return t.msecsSinceReference() * 1000000;
}

// Takes the posted input events and keeps how long each waited.
class InputProbe : public QObject
{
public:
    static const QEvent::Type Kind;
    struct Posted : QEvent
    {
        explicit Posted(qint64 at) : QEvent(Kind), postedNs(at) {}
        qint64 postedNs;
    };
    QVector<double> waitsMs;
    bool event(QEvent *e) override
    {
        if (e->type() != Kind)
            return QObject::event(e);
        waitsMs.append((nowNs() - static_cast<Posted *>(e)->postedNs) / 1e6);
        return true;
    }
};
const QEvent::Type InputProbe::Kind = QEvent::Type(QEvent::registerEventType());

double quantile(QVector<double> v, double share)
{
    if (v.isEmpty())
        return -1;
    std::sort(v.begin(), v.end());
    return v.at(std::min(int(v.size() - 1), int(share * v.size())));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir work;
    QString log = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (log.isEmpty()) {
        log = work.filePath(QStringLiteral("hour-dual.nma"));
        if (QProcess::execute(QStringLiteral(SKYLOUPE_BUILD_DIR "/skyloupe-sim"),
                              {"--output", log, "--epochs", "36000", "--rate", "10", "--signals", "2", "--seed", "1"})
            != 0) {
            std::fprintf(stderr, "bench_replay: cannot write %s\n", qPrintable(log));
            return 1;
        }
    }
    const QString what = QStringLiteral("%1 (%2 MB)").arg(QFileInfo(log).fileName()).arg(QFileInfo(log).size() / 1e6, 0, 'f', 1);

    MainWindow window;
    window.resize(1280, 800);
    window.show();
    floatDocksSideBySide(window.viewDocks());
    window.replayBar()->form()->speedBox->setCurrentIndex(4);   // as fast as possible

    QElapsedTimer clock;
    clock.start();
    window.openSource(QStringLiteral("file:") + log);
    auto *player = qobject_cast<ReplayPlayer *>(window.session()->source());
    if (!player) {
        std::fprintf(stderr, "bench_replay: %s did not open as a replay\n", qPrintable(log));
        return 1;
    }
    if (!QTest::qWaitFor([&] { return player->isIndexed(); }, 120000)) {
        std::fprintf(stderr, "bench_replay: the index was not built\n");
        return 1;
    }
    const double indexS = clock.elapsed() / 1000.0;
    const ReplayIndex &index = player->index();
    const double logSeconds = index.time(index.epochCount() - 1) - index.time(0);
    row("replay.index_s", indexS, "s", QStringLiteral("building the index of %1, %2 epochs, in its thread")
                                            .arg(what).arg(index.epochCount()));

    // Played flat out from the start, with input posted every 20 ms.
    InputProbe probe;
    std::atomic<bool> posting{true};
    std::thread poster([&] {
        while (posting) {
            QCoreApplication::postEvent(&probe, new InputProbe::Posted(nowNs()));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    clock.restart();
    player->seek(0);
    player->play();
    const bool done = QTest::qWaitFor([&] { return !player->isPlaying(); }, 1800000);
    const double playS = clock.elapsed() / 1000.0;
    posting = false;
    poster.join();
    QCoreApplication::sendPostedEvents(&probe);
    if (!done || player->shownEpoch() != index.epochCount() - 1) {
        std::fprintf(stderr, "bench_replay: the replay did not reach the end\n");
        return 1;
    }
    const QString how = QStringLiteral("%1 played back as fast as possible, every dock shown").arg(what);
    row("replay.x_real_time", logSeconds / playS, "x", how + QStringLiteral(": log time / wall time"));
    row("replay.wall_s", playS, "s", how);
    row("replay.input_wait.p99", quantile(probe.waitsMs, 0.99), "ms",
        QStringLiteral("an event posted every 20 ms from another thread until taken, 99th percentile"));
    row("replay.input_wait.worst", quantile(probe.waitsMs, 1.0), "ms", QStringLiteral("the same, the worst"));

    // Seeks to random times, back and forth: until the epoch is shown and
    // the window has taken its events.
    QVector<double> seeks;
    auto *model = window.session()->receiverModel();
    for (int i = 0; i < 50; ++i) {
        const int target = QRandomGenerator::global()->bounded(index.epochCount());
        bool shown = false;
        auto c = QObject::connect(model, &ReceiverModel::epochShown, [&](const Epoch &) { shown = true; });
        QElapsedTimer t;
        t.start();
        player->seek(target);
        QCoreApplication::processEvents();
        seeks.append(t.nsecsElapsed() / 1e6);
        QObject::disconnect(c);
        if (!shown || player->shownEpoch() != target) {
            std::fprintf(stderr, "bench_replay: seek to epoch %d showed nothing\n", target);
            return 1;
        }
    }
    row("replay.seek.median", quantile(seeks, 0.5), "ms",
        QStringLiteral("50 seeks to random epochs of the hour: until the epoch is shown and the events taken"));
    row("replay.seek.worst", quantile(seeks, 1.0), "ms", QStringLiteral("the same, the worst"));
    return 0;
}
