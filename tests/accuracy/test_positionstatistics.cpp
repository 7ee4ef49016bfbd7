// Local offsets, CEP50, CEP95, 2DRMS and the vertical spread against worked
// examples, and the CEP50 of the simulator's position noise.
#include "accuracy/positionhistory.h"
#include "receiver/epochassembler.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(LocalOffset)

class TestPositionStatistics : public QObject
{
    Q_OBJECT

private slots:
    void localOffsets_data();
    void localOffsets();
    void spread_data();
    void spread();
    void simulatedNoise();
};

void TestPositionStatistics::localOffsets_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("east");
    QTest::addColumn<double>("north");
    QTest::addColumn<double>("up");
    QTest::addColumn<LocalOffset>("expected");
    // Degrees on the WGS 84 ellipsoid: a radius of curvature times the angle.
    // Along the equator a = 6378137 m; in the meridian M = a(1-e2)/(1-e2
    // sin2 lat)^1.5: 6335439 m at the equator, 6367382 m at 45 degrees.
    const double degree = M_PI / 180;
    QTest::newRow("0.001 degrees of longitude on the equator")
        << 0.0 << 0.001 << 0.0 << 0.0 << LocalOffset{6378137 * 0.001 * degree, 0, 0};
    QTest::newRow("0.001 degrees of latitude on the equator")
        << 0.0 << 0.0 << 0.001 << 0.0 << LocalOffset{0, 6335439 * 0.001 * degree, 0};
    QTest::newRow("0.001 degrees of latitude at 45 north")
        << 45.0 << 0.0 << 0.001 << 0.0 << LocalOffset{0, 6367382 * 0.001 * degree, 0};
    QTest::newRow("100 m higher") << 31.2 << 0.0 << 0.0 << 100.0 << LocalOffset{0, 0, 100};
}

void TestPositionStatistics::localOffsets()
{
    QFETCH(double, latitude);
    QFETCH(double, east);
    QFETCH(double, north);
    QFETCH(double, up);
    QFETCH(LocalOffset, expected);
    const GeodeticPosition origin{latitude, 121.5, 10};
    const GeodeticPosition point{latitude + north, 121.5 + east, 10 + up};
    const LocalOffset o = localOffset(origin, point);
    // The chord below the arc sits 1 mm lower at 111 m.
    QVERIFY2(std::fabs(o.east - expected.east) < 0.01, qPrintable(QString::number(o.east)));
    QVERIFY2(std::fabs(o.north - expected.north) < 0.01, qPrintable(QString::number(o.north)));
    QVERIFY2(std::fabs(o.up - expected.up) < 0.01, qPrintable(QString::number(o.up)));
    const GeodeticPosition back = offsetPosition(origin, o);
    QVERIFY(std::fabs(back.latitude - point.latitude) < 1e-9 && std::fabs(back.longitude - point.longitude) < 1e-9);
    QVERIFY(std::fabs(back.height - point.height) < 1e-4);
}

void TestPositionStatistics::spread_data()
{
    QTest::addColumn<QVector<LocalOffset>>("offsets");
    QTest::addColumn<LocalOffset>("centre");
    QTest::addColumn<QVector<double>>("expected");   // CEP50, CEP95, 2DRMS, vertical
    const double none = std::nan("");
    // Distances 1, 2, 3, 4: the 0.5 rank lies halfway between 2 and 3, the
    // 0.95 rank (2.85) at 3 + 0.85; 2DRMS = 2 sqrt(30 / 4).
    QTest::newRow("four fixes on a line")
        << QVector<LocalOffset>{{1, 0, 1}, {2, 0, -1}, {3, 0, 1}, {4, 0, -1}} << LocalOffset{0, 0, 0}
        << QVector<double>{2.5, 3.85, 2 * std::sqrt(7.5), 1};
    QTest::newRow("all on one circle of 5 m")
        << QVector<LocalOffset>{{3, 4, 0}, {-3, -4, 0}, {0, 5, 2}, {5, 0, -2}} << LocalOffset{0, 0, 0}
        << QVector<double>{5, 5, 10, std::sqrt(2.0)};
    // Distances sqrt(13) and sqrt(41) from (3, 4); 2DRMS = 2 sqrt(54 / 2).
    QTest::newRow("a reference away from the fixes")
        << QVector<LocalOffset>{{1, 1, 0}, {-1, -1, 0}} << LocalOffset{3, 4, 0}
        << QVector<double>{(std::sqrt(13.0) + std::sqrt(41.0)) / 2,
                           std::sqrt(13.0) + 0.95 * (std::sqrt(41.0) - std::sqrt(13.0)), 2 * std::sqrt(27.0), 0};
    QTest::newRow("a centre without height: heights about their mean")
        << QVector<LocalOffset>{{1, 0, 10}, {0, 1, 12}} << LocalOffset{0, 0, none}
        << QVector<double>{1, 1, 2, 1};
    QTest::newRow("a fix without altitude counts horizontally only")
        << QVector<LocalOffset>{{1, 0, 1}, {2, 0, none}, {3, 0, -1}} << LocalOffset{0, 0, 0}
        << QVector<double>{2, 2.9, 2 * std::sqrt(14.0 / 3), 1};
    QTest::newRow("no fixes") << QVector<LocalOffset>{} << LocalOffset{0, 0, 0}
                              << QVector<double>{none, none, none, none};
}

void TestPositionStatistics::spread()
{
    QFETCH(QVector<LocalOffset>, offsets);
    QFETCH(LocalOffset, centre);
    QFETCH(QVector<double>, expected);
    const PositionSpread s = positionSpread(offsets, centre);
    QCOMPARE(s.count, offsets.size());
    const double got[] = {s.cep50, s.cep95, s.twoDrms, s.verticalSpread};
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(std::isnan(expected.at(i)) ? std::isnan(got[i]) : std::fabs(got[i] - expected.at(i)) < 1e-9,
                 qPrintable(QStringLiteral("figure %1: %2, expected %3").arg(i).arg(got[i]).arg(expected.at(i))));
    }
}

// 600 epochs with white Gaussian noise of 2 m east and north: the distance
// from the centre follows a Rayleigh law, whose median is
// sigma sqrt(2 ln 2) = 1.1774 sigma.
void TestPositionStatistics::simulatedNoise()
{
    const QString sim = QStringLiteral(SKYLOUPE_BUILD_DIR "/skyloupe-sim");
    if (!QFileInfo(sim).isExecutable())
        QSKIP("The simulated receiver is not built");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("noise.nma"));
    QCOMPARE(QProcess::execute(sim, {"--output", file, "--epochs", "600", "--position-noise", "2"}), 0);
    QFile nma(file);
    QVERIFY(nma.open(QIODevice::ReadOnly));
    EpochAssembler assembler;
    PositionHistory history;
    int ggaLines = 0;
    for (const QByteArray &line : nma.readAll().split('\n')) {
        ggaLines += line.startsWith("$GNGGA") ? 1 : 0;
        assembler.addLine(line);
    }
    for (const Epoch &epoch : assembler.takeFinished())
        history.addEpoch(epoch);
    // The last epoch has not ended when the file does.
    const PositionSpread spread = history.spread();
    QCOMPARE(spread.count, ggaLines - 1);
    QVERIFY2(std::fabs(spread.cep50 - 1.1774 * 2) < 0.1 * 1.1774 * 2, qPrintable(QString::number(spread.cep50)));
}

QTEST_GUILESS_MAIN(TestPositionStatistics)
#include "test_positionstatistics.moc"
