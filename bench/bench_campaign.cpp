// What a TTFF campaign costs the window: the program in this process, shown
// on the offscreen platform and connected to the simulated receiver at
// 115200 baud, 1 Hz. CPU (getrusage) and memory (VmRSS) over a quiet spell
// without a campaign, then over a campaign of N HOT restarts with the
// campaign window shown, then over a quiet spell after it.
//   bench_campaign [--cycles N] [--quiet-seconds S] [--hidden]
// --hidden runs the campaign with its window closed, which leaves the
// window's painting out of the figures. --restarts-only S sends the same
// number of HOT restarts every S seconds from the toolbar with no campaign:
// what the receiver's restarts alone cost the window.
// Prints "key value unit" lines; asserts nothing.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "campaign/campaignview.h"
#include "e2e/simprocess.h"
#include "receiver/receivermodel.h"
#include "support/processstats.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTest>

#include <cstdio>

namespace {

double rssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

void print(const char *key, double value, const char *unit)
{
    std::printf("%s %.2f %s\n", key, value, unit);
    std::fflush(stdout);
}

// CPU share of one core while `run` runs the event loop.
double cpuPercent(const std::function<void()> &run, double *seconds)
{
    QElapsedTimer wall;
    wall.start();
    const double cpu = processCpuSeconds();
    run();
    *seconds = wall.elapsed() / 1000.0;
    return 100 * (processCpuSeconds() - cpu) / *seconds;
}

// Runs the event loop for `ms` without polling (QTest::qWait wakes every
// 10 ms, which would be counted as the window's).
void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int cycles = args.contains("--cycles") ? args.at(args.indexOf("--cycles") + 1).toInt() : 100;
    const int quietS = args.contains("--quiet-seconds") ? args.at(args.indexOf("--quiet-seconds") + 1).toInt() : 60;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SimProcess sim;
    if (!sim.start({"--seed", "3", "--ttff", "hot=1:2"})) {
        std::fprintf(stderr, "simulator did not start: %s\n", qPrintable(sim.rawLog()));
        return 1;
    }
    MainWindow window;
    window.show();
    window.offerPort(sim.portPath());
    window.form()->comboBox_2->setCurrentText(QStringLiteral("115200"));
    QTest::mouseClick(window.form()->ctn_btn, Qt::LeftButton);
    if (!waitUntil([&] { return window.receiverModel()->latest().hasFix(); }, 20000)) {
        std::fprintf(stderr, "no fix from the simulator\n");
        return 1;
    }
    QTest::qWait(3000);   // past the version query and its follow-ups

    double seconds = 0;
    const double rssBefore = rssMb();
    print("campaign.quiet_before.cpu_pct", cpuPercent([&] { idle(quietS * 1000); }, &seconds), "%");
    print("campaign.quiet_before.rss", rssMb(), "MB");

    if (args.contains("--restarts-only")) {
        const double every = args.at(args.indexOf("--restarts-only") + 1).toDouble();
        const double cpu = cpuPercent([&] {
            for (int i = 0; i < cycles; ++i) {
                window.restartToolBar()->actions().at(0)->trigger();
                idle(int(every * 1000));
            }
        }, &seconds);
        print("restarts_only.cpu_pct", cpu, "%");
        print("restarts_only.seconds", seconds, "s");
        print("restarts_only.rss_end", rssMb(), "MB");
        sim.stop();
        return 0;
    }

    CampaignView *view = window.campaignView();
    if (!args.contains("--hidden"))
        view->show();
    CampaignSetup setup;
    setup.kinds = {RestartKind::Hot};
    setup.cyclesPerKind = cycles;
    setup.settleMs = 500;
    setup.timeoutMs = 15000;
    const QString refused = view->startCampaign(setup);
    if (!refused.isEmpty()) {
        std::fprintf(stderr, "campaign refused: %s\n", qPrintable(refused));
        return 1;
    }
    // CPU and memory over each tenth of the campaign: a cost that grew
    // with the cycles done would show as a rising row. The loop sleeps
    // until a cycle ends, so the measuring costs nothing between them.
    CampaignRun *run = view->run();
    double rssAfter10 = 0;
    int tenth = 0;
    double tenthCpu = processCpuSeconds();
    QElapsedTimer tenthWall;
    tenthWall.start();
    QEventLoop loop;
    QObject::connect(run, &CampaignRun::cycleFinished, &loop, [&] {
        const int done = int(run->cycles().size());
        if (rssAfter10 == 0 && done >= 10)
            rssAfter10 = rssMb();
        if (done < (tenth + 1) * cycles / 10)
            return;
        ++tenth;
        std::printf("campaign.running.tenth_%d cpu %.2f %% rss %.2f MB\n", tenth,
                    100 * (processCpuSeconds() - tenthCpu) / (tenthWall.elapsed() / 1000.0), rssMb());
        tenthCpu = processCpuSeconds();
        tenthWall.start();
    });
    QObject::connect(run, &CampaignRun::stateChanged, &loop, [&] {
        if (!run->isRunning())
            loop.quit();
    });
    const double cpu = cpuPercent([&] { loop.exec(); }, &seconds);
    print("campaign.running.cpu_pct", cpu, "%");
    print("campaign.running.seconds", seconds, "s");
    print("campaign.running.cycles", run->cycles().size(), "cycles");
    int failed = 0;
    for (const CampaignCycle &c : run->cycles())
        failed += c.failed();
    print("campaign.running.failed", failed, "cycles");
    print("campaign.running.rss_after_10_cycles", rssAfter10, "MB");
    print("campaign.running.rss_end", rssMb(), "MB");
    print("campaign.quiet_after.cpu_pct", cpuPercent([&] { idle(quietS * 1000); }, &seconds), "%");
    print("campaign.quiet_after.rss", rssMb(), "MB");
    print("campaign.rss_growth", rssMb() - rssBefore, "MB");
    sim.stop();
    return 0;
}
