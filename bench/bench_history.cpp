// What a day of history costs: 864,000 synthetic epochs (24 h at 10 Hz,
// five constellations, four of them on two bands, a position with 2 m of
// noise) into the signal history and the position sample set, then the
// history and accuracy views shown on the offscreen platform with the whole
// day in view. Resident memory from /proc/self/status (VmRSS) at each step;
// the time one epoch takes to add; the time a refresh of each view takes;
// the points the charts hold after it.
//
//   bench_history [EPOCHS [STREAM]]
//
// With STREAM (the simulator's --output file) it also times the sentence
// counter on it, one block per line feed run of an epoch.
//
// Prints one "figure<TAB>value<TAB>unit<TAB>how" line per figure.
#include "residentmemory.h"
#include "accuracy/accuracyview.h"
#include "accuracy/positionhistory.h"
#include "charts/timechart.h"
#include "history/signalhistory.h"
#include "history/signalhistoryview.h"
#include "receiver/epoch.h"
#include "sentences/sentencecounter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <cstdio>

namespace {

void row(const char *figure, double value, const char *unit, const QString &how)
{
    std::printf("%s\t%.6g\t%s\t%s\n", figure, value, unit, how.toUtf8().constData());
    std::fflush(stdout);
}

// A sky of 46 satellites: (constellation, count, first band's signal ID,
// second band's, 0 for none).
Epoch templateEpoch()
{
    struct System { Constellation c; int count; int first; int second; };
    const System systems[] = {{Constellation::Gps, 12, 1, 8}, {Constellation::Glonass, 8, 1, 0},
                              {Constellation::Galileo, 10, 7, 1}, {Constellation::Beidou, 14, 1, 5},
                              {Constellation::Qzss, 2, 1, 8}};
    Epoch e;
    e.date = QDate(2024, 6, 1);
    e.quality = 1;
    e.hasPosition = true;
    for (const System &s : systems) {
        for (int n = 1; n <= s.count; ++n) {
            SatelliteInView sat;
            sat.key = {s.c, n};
            sat.label = QStringLiteral("X%1").arg(n);
            sat.cnrs.append({s.first, 40});
            if (s.second)
                sat.cnrs.append({s.second, 36});
            sat.used = n % 4 != 0;
            if (sat.used)
                e.used.append(sat.key);
            e.satellites.append(sat);
        }
    }
    return e;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int epochs = argc > 1 ? std::atoi(argv[1]) : 864000;
    const double hours = epochs / 36000.0;

    const double rssStart = residentMb();
    SignalHistory signalHistory;
    PositionHistory positions;
    Epoch e = templateEpoch();
    QRandomGenerator random(1);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < epochs; ++i) {
        const qint64 ms = qint64(i) * 100;
        e.date = QDate(2024, 6, 1).addDays(ms / 86400000);
        e.utcMs = int(ms % 86400000);
        e.receivedMs = ms;
        // 2 m of noise on each axis: 1.8e-5 degrees of latitude is 2 m.
        e.latitude = 31.2317 + random.bounded(2.0) * 1.8e-5 - 1.8e-5;
        e.longitude = 121.4786 + random.bounded(2.0) * 2.1e-5 - 2.1e-5;
        e.altitude = 12 + random.bounded(4.0) - 2;
        SatelliteInView &moved = e.satellites[i % e.satellites.size()];
        moved.cnrs[0].cnr = float(30 + random.bounded(20));
        signalHistory.addEpoch(e);
        positions.addEpoch(e);
    }
    const double addUs = clock.nsecsElapsed() / 1000.0 / epochs;
    const double rssModels = residentMb();

    SignalHistoryView historyView(&signalHistory);
    AccuracyView accuracyView(&positions);
    historyView.resize(900, 900);
    accuracyView.resize(900, 900);
    historyView.setWindowSeconds(0);
    historyView.show();
    accuracyView.show();
    if (!QTest::qWaitForWindowExposed(&accuracyView))
        std::fprintf(stderr, "bench_history: the views were not exposed\n");
    QTest::qWait(200);
    // The first refresh lays the charts out; the second costs what each
    // later one does.
    historyView.refresh();
    accuracyView.refresh();
    QCoreApplication::processEvents();
    clock.restart();
    historyView.refresh();
    QCoreApplication::processEvents();   // the charts' queued replots
    const double historyRefreshMs = clock.nsecsElapsed() / 1e6;
    clock.restart();
    accuracyView.refresh();
    QCoreApplication::processEvents();
    const double accuracyRefreshMs = clock.nsecsElapsed() / 1e6;
    QTest::qWait(200);
    const double rssViews = residentMb();
    int held = 0;
    for (TimeChart *chart : {historyView.cnrChart(), historyView.satelliteChart(), accuracyView.errorChart()}) {
        for (int s = 0; s < chart->seriesCount(); ++s)
            held += chart->samples(s).size();
    }

    const QString how = QStringLiteral("%1 synthetic epochs (%2 h at 10 Hz; 46 satellites, 4 of 5 constellations "
                                       "on two bands; a fix each)").arg(epochs).arg(hours, 0, 'f', 1);
    row("history.rss_start", rssStart, "MB", QStringLiteral("VmRSS before the first epoch (Qt loaded)"));
    row("history.rss_models", rssModels, "MB", QStringLiteral("VmRSS with the signal history and position set "
                                                               "holding ") + how);
    row("history.rss_models_growth", rssModels - rssStart, "MB", QStringLiteral("the same minus before"));
    row("history.rss_views", rssViews, "MB", QStringLiteral("VmRSS with the history and accuracy views shown "
                                                             "(offscreen, 900 x 900) on the whole day"));
    row("history.add_epoch_us", addUs, "us", QStringLiteral("one epoch into both histories, mean over ") + how);
    row("history.refresh_history_ms", historyRefreshMs, "ms",
        QStringLiteral("one refresh of the history view, window All, with its replots"));
    row("history.refresh_accuracy_ms", accuracyRefreshMs, "ms",
        QStringLiteral("one refresh of the accuracy view: figures, scatter of every fix, error chart"));
    row("history.chart_points", held, "points",
        QStringLiteral("samples the three time charts hold after it (every series, cut to pixel columns)"));

    if (argc > 2) {
        QFile stream(QString::fromLocal8Bit(argv[2]));
        if (!stream.open(QIODevice::ReadOnly))
            return 1;
        // One block per epoch: cut before each line that begins like the first.
        const QByteArray bytes = stream.readAll();
        const QByteArray opener = "\n" + bytes.left(bytes.indexOf(',') + 1);
        QList<QByteArray> blocks;
        for (int start = 0, next; start < bytes.size(); start = next) {
            next = bytes.indexOf(opener, start);
            next = next < 0 ? bytes.size() : next + 1;
            blocks.append(bytes.mid(start, next - start));
        }
        SentenceCounter counter;
        clock.restart();
        for (int i = 0; i < blocks.size(); ++i)
            counter.addBlock(blocks.at(i), i * 100);
        row("history.sentence_counter_block_us", clock.nsecsElapsed() / 1000.0 / blocks.size(), "us",
            QStringLiteral("SentenceCounter::addBlock per block, mean over the %1 epoch blocks of %2")
                .arg(blocks.size()).arg(QString::fromLocal8Bit(argv[2]).section('/', -1)));
    }
    return 0;
}
