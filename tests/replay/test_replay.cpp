// Replay: when epochs are due, where the index finds them, and the window
// playing a simulator's log back showing the epochs --analyze reports.
#include "e2e/simprocess.h"

#include "app/mainwindow.h"
#include "history/signalhistory.h"
#include "link/checksum.h"
#include "map/track.h"
#include "receiver/epochstatistics.h"
#include "receiver/receivermodel.h"
#include "replay/replaybar.h"
#include "replay/replayindex.h"
#include "replay/replaypacer.h"
#include "replay/replayplayer.h"
#include "session/receiversession.h"
#include "ui_mainwindow.h"
#include "ui_replaybar.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {
QByteArray gga(const char *time)
{
    const QByteArray body = QByteArray("GPGGA,") + time + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    return '$' + body + '*' + QByteArray::number(nmeaChecksum(body), 16).rightJustified(2, '0').toUpper() + "\r\n";
}
const QByteArray Gsa = "$GNGSA,A,3,04,05,09,12,,,,,,,,,2.5,1.3,2.1,1*3C\r\n";
} // namespace

class TestReplay : public QObject
{
    Q_OBJECT

private slots:
    void pacing_data();
    void pacing();
    void index_data();
    void index();
    void windowShowsWhatAnalysisReports();
};

void TestReplay::pacing_data()
{
    // Played from log time 100 s at wall clock 1000 ms.
    QTest::addColumn<double>("speed");
    QTest::addColumn<qint64>("wallMs");
    QTest::addColumn<double>("nextSpeed");   // set at wallMs; -1: none
    QTest::addColumn<qint64>("laterMs");
    QTest::addColumn<double>("due");
    QTest::newRow("1x, 2.5 s on") << 1.0 << 3500LL << -1.0 << 3500LL << 102.5;
    QTest::newRow("10x, 2.5 s on") << 10.0 << 3500LL << -1.0 << 3500LL << 125.0;
    QTest::newRow("a clock before the start is the start") << 1.0 << 500LL << -1.0 << 500LL << 100.0;
    QTest::newRow("2x then 5x keeps the time reached") << 2.0 << 2000LL << 5.0 << 3000LL << 107.0;
    QTest::newRow("flat out everything is due") << 0.0 << 1000LL << -1.0 << 1000LL << qInf();
}

void TestReplay::pacing()
{
    QFETCH(double, speed);
    QFETCH(qint64, wallMs);
    QFETCH(double, nextSpeed);
    QFETCH(qint64, laterMs);
    QFETCH(double, due);
    ReplayPacer pacer;
    pacer.setSpeed(speed, 1000);
    pacer.start(100.0, 1000);
    if (nextSpeed >= 0)
        pacer.setSpeed(nextSpeed, wallMs);
    QCOMPARE(pacer.dueAt(laterMs), due);
    // The next epoch, 0.5 s of log after what is due, comes that much later.
    if (std::isfinite(due))
        QCOMPARE(pacer.dueAt(pacer.wallWhen(due + 0.5, laterMs)), due + 0.5);
}

void TestReplay::index_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QVector<qint64>>("offsets");
    QTest::addColumn<QVector<double>>("times");   // UTC seconds of 1970-01-01: no date sent
    const QByteArray a = gga("120000.00"), b = gga("120001.00"), c = gga("120002.50");
    QTest::newRow("one line an epoch") << a + b + c << QVector<qint64>{0, a.size(), a.size() + b.size()}
                                       << QVector<double>{43200, 43201, 43202.5};
    QTest::newRow("lines after the time belong to its epoch")
        << a + Gsa + b + Gsa << QVector<qint64>{0, a.size() + Gsa.size()} << QVector<double>{43200, 43201};
    QTest::newRow("lines before the first time are skipped")
        << "junk\r\n" + Gsa + a + b << QVector<qint64>{6 + Gsa.size(), 6 + Gsa.size() + a.size()}
        << QVector<double>{43200, 43201};
    QTest::newRow("a last line without its line end") << a + b.left(b.size() - 2)
                                                       << QVector<qint64>{0, a.size()} << QVector<double>{43200, 43201};
    QTest::newRow("no NMEA") << QByteArray("hello\r\n\x01\x02\x03") << QVector<qint64>{} << QVector<double>{};
}

void TestReplay::index()
{
    QFETCH(QByteArray, log);
    QFETCH(QVector<qint64>, offsets);
    QFETCH(QVector<double>, times);
    QTemporaryDir dir;
    QFile file(dir.filePath("log.nma"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(log) == log.size());
    file.close();
    ReplayIndex index;
    QString error;
    std::atomic<bool> cancel{false};
    QVERIFY(index.build(file.fileName(), {}, cancel, &error));
    QCOMPARE(index.hasTime(), !times.isEmpty());
    QCOMPARE(index.epochCount(), offsets.size());
    for (int i = 0; i < offsets.size(); ++i) {
        QCOMPARE(index.offset(i), offsets.at(i));
        QCOMPARE(index.time(i), times.at(i));
        QCOMPARE(index.epochAt(times.at(i) + 0.1), i);
    }
    if (!offsets.isEmpty())
        QCOMPARE(index.end(offsets.size() - 1), qint64(log.size()));
}

void TestReplay::windowShowsWhatAnalysisReports()
{
    QTemporaryDir dir;
    const QString log = dir.filePath("drive.nma");
    QCOMPARE(QProcess::execute(SimProcess::executable(),
                               {"--epochs", "200", "--signals", "2", "--rate", "10", "--output", log}), 0);
    QCOMPARE(QProcess::execute(QStringLiteral(SKYLOUPE_BUILD_DIR "/skyloupe"),
                               {"--analyze", log, "--out", dir.filePath("out"), "--format", "csv"}), 0);
    QFile csv(dir.filePath("out/epochs.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QList<QByteArray> rows = csv.readAll().split('\n').mid(1);
    rows.removeAll(QByteArray());

    // The window plays the log flat out; every epoch its session finishes
    // is compared with the analysis's row of the same epoch.
    MainWindow window;
    QVector<Epoch> shown;
    connect(window.session()->receiverModel(), &ReceiverModel::epochFinished, this,
            [&shown](const Epoch &epoch) { shown.append(epoch); });
    window.replayBar()->form()->speedBox->setCurrentIndex(4);
    window.openSource("file:" + log);
    auto *player = qobject_cast<ReplayPlayer *>(window.session()->source());
    QVERIFY(player);
    QTRY_VERIFY_WITH_TIMEOUT(player->isIndexed() && !player->isPlaying(), 30000);
    QVERIFY(!window.form()->btn111->isEnabled());
    QCOMPARE(window.form()->btn111->toolTip(), player->whyCannotSend());

    QCOMPARE(shown.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QList<QByteArray> f = rows.at(i).split(',');
        const EpochStatistics stats = epochStatistics(shown.at(i));
        QCOMPARE(shown.at(i).utc().toString(Qt::ISODateWithMs).toLatin1(), f.at(0));
        QVERIFY(std::abs(shown.at(i).latitude - f.at(2).toDouble()) < 1e-8);
        QVERIFY(std::abs(shown.at(i).longitude - f.at(3).toDouble()) < 1e-8);
        for (int c = 0; c < StatisticsConstellations; ++c) {
            QCOMPARE(stats.constellation[c].used, f.at(8 + 3 * c).toInt());
            QCOMPARE(stats.constellation[c].inView, f.at(9 + 3 * c).toInt());
        }
    }

    // Back to the middle: that epoch is shown again and the history ends
    // with it.
    QSignalSpy time(player, &ReplayPlayer::replayedTime);
    player->seek(100);
    QCOMPARE(time.count(), 1);
    QCOMPARE(time.at(0).at(1).toInt(), 100);
    QCOMPARE(window.session()->signalHistory()->epochCount(), 101);
    // The map's track too ends at that epoch.
    const Track *track = window.session()->track();
    QVERIFY(!track->isEmpty());
    QVERIFY(std::abs(track->utcSeconds(track->size() - 1) - time.at(0).at(0).toDouble()) < 0.002);
    QCOMPARE(shown.last().utc().toString(Qt::ISODateWithMs).toLatin1(), rows.at(100).split(',').at(0));
}

QTEST_MAIN(TestReplay)
#include "test_replay.moc"
