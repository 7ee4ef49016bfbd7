// TTFF campaigns without a window: the statistics per kind, the fix rules,
// when a fix counts after a restart, and a campaign paced with stated times.
#include "campaign/campaignfile.h"
#include "campaign/campaignrun.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

class TestCampaign : public QObject
{
    Q_OBJECT

private slots:
    void summary_data();
    void summary();
    void horizontalError_data();
    void horizontalError();
    void fixRule_data();
    void fixRule();
    void firstFix_data();
    void firstFix();
    void pacedCampaign();
};

// NaN is written as -1 in the expected rows.
static void compareSeconds(double actual, double expected)
{
    if (expected < 0)
        QVERIFY2(std::isnan(actual), qPrintable(QString::number(actual)));
    else
        QVERIFY2(std::abs(actual - expected) < 1e-4, qPrintable(QString::number(actual)));
}

void TestCampaign::summary_data()
{
    QTest::addColumn<QVector<double>>("seconds");
    QTest::addColumn<int>("failures");
    // count, min, median, mean, p95, max, standard deviation
    QTest::addColumn<QVector<double>>("expected");
    QTest::newRow("1 to 10 s") << QVector<double>{3, 1, 2, 4, 5, 6, 7, 8, 9, 10} << 0
                               << QVector<double>{10, 1, 5.5, 5.5, 9.55, 10, 3.02765};
    QTest::newRow("odd count with failures") << QVector<double>{30, 10, 20} << 2
                                             << QVector<double>{5, 10, 20, 20, 29, 30, 10};
    QTest::newRow("a single fix") << QVector<double>{27.31} << 1
                                  << QVector<double>{2, 27.31, 27.31, 27.31, 27.31, 27.31, 0};
    QTest::newRow("only timeouts") << QVector<double>{} << 3 << QVector<double>{3, -1, -1, -1, -1, -1, -1};
}

void TestCampaign::summary()
{
    QFETCH(QVector<double>, seconds);
    QFETCH(int, failures);
    QFETCH(QVector<double>, expected);
    const TtffSummary s = summarizeTtff(seconds, failures);
    QCOMPARE(s.count, int(expected.at(0)));
    QCOMPARE(s.failures, failures);
    const double values[] = {s.min, s.median, s.mean, s.p95, s.max, s.standardDeviation};
    for (int i = 0; i < 6; ++i)
        compareSeconds(values[i], expected.at(i + 1));
}

void TestCampaign::horizontalError_data()
{
    // Lengths of a degree on WGS 84 from published tables.
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("dLatitude");
    QTest::addColumn<double>("dLongitude");
    QTest::addColumn<double>("metres");
    QTest::newRow("0.001 deg north at the equator") << 0.0 << 0.001 << 0.0 << 110.574;
    QTest::newRow("0.001 deg east at the equator") << 0.0 << 0.0 << 0.001 << 111.320;
    QTest::newRow("0.001 deg east at 60 N") << 60.0 << 0.0 << 0.001 << 55.800;
    QTest::newRow("0.001 deg south-west at 60 S") << -60.0 << -0.001 << -0.001 << std::hypot(111.412, 55.800);
    QTest::newRow("across the antimeridian") << 0.0 << 0.0 << -359.999 << 111.320;
}

void TestCampaign::horizontalError()
{
    QFETCH(double, latitude);
    QFETCH(double, dLatitude);
    QFETCH(double, dLongitude);
    QFETCH(double, metres);
    const ReferencePosition reference{latitude, 179.9995, 0};
    const double error = horizontalErrorM(reference, latitude + dLatitude, 179.9995 + dLongitude);
    QVERIFY2(std::abs(error - metres) < 0.002, qPrintable(QString::number(error, 'f', 4)));
}

void TestCampaign::fixRule_data()
{
    QTest::addColumn<int>("quality");
    QTest::addColumn<char>("rmcStatus");
    QTest::addColumn<int>("gsaFixType");
    QTest::addColumn<QVector<qint64>>("lineMs");     // GGA, RMC, GSA 3D, any fix line
    QTest::addColumn<QVector<qint64>>("expected");   // GGA or RMC, GGA, RMC, GSA 3D, RTK fixed
    QTest::addColumn<bool>("noFix");
    QTest::newRow("GGA before RMC") << 1 << 'A' << 3 << QVector<qint64>{1000, 1040, 1020, 1000}
                                    << QVector<qint64>{1000, 1000, 1040, 1020, -1} << false;
    QTest::newRow("RMC before GGA") << 1 << 'A' << 0 << QVector<qint64>{1200, 1100, -1, 1100}
                                    << QVector<qint64>{1100, 1200, 1100, -1, -1} << false;
    QTest::newRow("RMC alone") << -1 << 'A' << 2 << QVector<qint64>{-1, 1300, -1, 1300}
                               << QVector<qint64>{1300, -1, 1300, -1, -1} << false;
    QTest::newRow("3D in GSA, no position yet") << 0 << 'V' << 3 << QVector<qint64>{-1, -1, 900, -1}
                                                << QVector<qint64>{-1, -1, -1, 900, -1} << true;
    QTest::newRow("no fix anywhere") << 0 << 'V' << 1 << QVector<qint64>{-1, -1, -1, -1}
                                     << QVector<qint64>{-1, -1, -1, -1, -1} << true;
    QTest::newRow("a 2D fix says no loss") << -1 << char(0) << 2 << QVector<qint64>{-1, -1, -1, -1}
                                           << QVector<qint64>{-1, -1, -1, -1, -1} << false;
    QTest::newRow("RTK float is not fixed") << 5 << 'A' << 3 << QVector<qint64>{1000, 1010, 1020, 1000}
                                            << QVector<qint64>{1000, 1000, 1010, 1020, -1} << false;
    QTest::newRow("RTK fixed by its GGA") << 4 << 'A' << 3 << QVector<qint64>{1000, 1010, 1020, 1000}
                                          << QVector<qint64>{1000, 1000, 1010, 1020, 1000} << false;
}

void TestCampaign::fixRule()
{
    QFETCH(int, quality);
    QFETCH(char, rmcStatus);
    QFETCH(int, gsaFixType);
    QFETCH(QVector<qint64>, lineMs);
    QFETCH(QVector<qint64>, expected);
    QFETCH(bool, noFix);
    Epoch epoch;
    epoch.quality = quality;
    epoch.rmcStatus = rmcStatus;
    epoch.fixType[1] = gsaFixType;
    for (int i = 0; i < Epoch::FixLineCount; ++i)
        epoch.fixLineMs[i] = lineMs.at(i);
    const FixRule rules[] = {FixRule::GgaOrRmc, FixRule::Gga, FixRule::Rmc, FixRule::Gsa3d, FixRule::RtkFixed};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(ruleFixMs(epoch, rules[i]), expected.at(i));
    QCOMPARE(showsNoFix(epoch, FixRule::GgaOrRmc), noFix);
}

// Events after a restart written at 1000 ms: "epoch AT [fix]" is an epoch
// whose first line came at AT, with or without GGA quality 1 on that line;
// "report AT" a block with the receiver's restart report.
void TestCampaign::firstFix_data()
{
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<qint64>("ttffMs");
    QTest::newRow("fix after an epoch without fix") << QStringList{"epoch 1300", "epoch 3304 fix"} << qint64(2300);
    QTest::newRow("old fix still arriving is not one")
        << QStringList{"epoch 1050 fix", "epoch 2050 fix", "epoch 3050 fix"} << qint64(-1);
    QTest::newRow("restart report, rounded to 10 ms")
        << QStringList{"epoch 1050 fix", "report 1060", "epoch 2007 fix"} << qint64(1010);
    QTest::newRow("epoch begun in the report's millisecond")
        << QStringList{"report 1500", "epoch 1500 fix", "epoch 2512 fix"} << qint64(1510);
    QTest::newRow("no-fix epoch begun before the write")
        << QStringList{"epoch 900", "epoch 1900 fix"} << qint64(-1);
}

void TestCampaign::firstFix()
{
    QFETCH(QStringList, events);
    QFETCH(qint64, ttffMs);
    FirstFixWatch watch;
    watch.begin(1000);
    qint64 measured = -1;
    for (const QString &event : events) {
        const QStringList parts = event.split(' ');
        const qint64 at = parts.at(1).toLongLong();
        if (parts.at(0) == QLatin1String("report")) {
            watch.takeBlock("$PAIR001,004,0*3F\r\n$PAIR010,1,-1,,*23\r\n", at);
            continue;
        }
        Epoch epoch;
        epoch.receivedMs = at;
        epoch.quality = parts.size() > 2 ? 1 : 0;
        epoch.fixLineMs[Epoch::GgaFix] = epoch.fixLineMs[Epoch::AnyFix] = parts.size() > 2 ? at : -1;
        const qint64 t = watch.takeEpoch(epoch);
        if (t >= 0)
            measured = t;
    }
    QCOMPARE(measured, ttffMs);
}

// HOT and COLD twice with a 5 s settle and a 10 s timeout: the kinds
// interleave, the settle counts from the fix, a silent receiver times out,
// pause holds the next restart, and the CSV has every finished cycle.
void TestCampaign::pacedCampaign()
{
    QTemporaryDir dir;
    CampaignRun run;
    QVector<QPair<RestartKind, qint64>> restarts;
    qint64 now = 0;
    connect(&run, &CampaignRun::restartDue, this, [&](RestartKind kind) { restarts.append({kind, now}); });
    CampaignFile file;
    connect(&run, &CampaignRun::cycleFinished, this, [&](const CampaignCycle &c) { QVERIFY(file.record(c, run)); });
    auto fixEpoch = [&](qint64 at) {
        Epoch epoch;
        epoch.receivedMs = at;
        epoch.quality = 1;
        epoch.fixLineMs[Epoch::GgaFix] = epoch.fixLineMs[Epoch::AnyFix] = at;
        return epoch;
    };
    Epoch noFix;
    noFix.quality = 0;

    CampaignSetup setup;
    setup.cyclesPerKind = 2;
    setup.timeoutMs = 10000;
    QVERIFY(!run.start(setup, false, now).isEmpty());
    QVERIFY(restarts.isEmpty());
    QCOMPARE(file.open(dir.filePath("c.csv")), QString());
    QCOMPARE(run.start(setup, true, now), QString());

    // Cycle 1, HOT: restart at 0, fix at 1500.
    noFix.receivedMs = 500;
    run.takeEpoch(noFix);
    run.takeEpoch(fixEpoch(1500));
    // Cycle 2, COLD: due 5 s after the fix; the receiver stays silent.
    now = 6499;
    run.tick(now);
    QCOMPARE(restarts.size(), 1);
    now = 6500;
    run.tick(now);
    now = 18500;
    run.tick(now);
    QCOMPARE(run.cycles().size(), 2);
    QVERIFY(run.cycles().at(1).failed());
    // Pause holds cycle 3 past its time until resumed.
    run.pause();
    now = 30000;
    run.tick(now);
    QCOMPARE(restarts.size(), 2);
    run.resume(now);
    QCOMPARE(restarts.size(), 3);
    QCOMPARE(run.remainingMs(now), qint64(1500 + 5000 + 10000));

    const QVector<QPair<RestartKind, qint64>> expected{
        {RestartKind::Hot, 0}, {RestartKind::Cold, 6500}, {RestartKind::Hot, 30000}};
    QCOMPARE(restarts, expected);
    QCOMPARE(run.cycles().at(0).ttffMs, qint64(1500));
    QCOMPARE(run.summary(RestartKind::Cold).failures, 1);
    run.stop(QStringLiteral("port lost"));
    QCOMPARE(run.state(), CampaignRun::State::Stopped);

    QFile csv(dir.filePath("c.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), 4);   // header, two cycles, nothing after the last line end
    QVERIFY(lines.at(1).startsWith("1,HOT,"));
    QVERIFY(lines.at(1).contains(",1.50,"));
    QVERIFY(lines.at(2).startsWith("2,COLD,"));
    QVERIFY(lines.at(2).contains(",timeout,"));
}

QTEST_MAIN(TestCampaign)
#include "tst_campaign.moc"
