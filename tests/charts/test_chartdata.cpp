// Decimation, the shown span and the read-out and CSV texts, in numbers.
#include "charts/chartvalues.h"
#include "charts/seriesdecimation.h"
#include "charts/timespan.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(TimeSpan)

class TestChartData : public QObject
{
    Q_OBJECT

private slots:
    void decimate_data();
    void decimate();
    void dayAtTenHertzKeepsItsSpike();
    void spans_data();
    void spans();
    void nearest_data();
    void nearest();
    void texts_data();
    void texts();
};

namespace {

// Samples at x = 0, 1, 2, ... with the given values.
QVector<QPointF> series(const QVector<double> &values)
{
    QVector<QPointF> s;
    for (int i = 0; i < values.size(); ++i)
        s.append(QPointF(i, values.at(i)));
    return s;
}

const double Noon = 1714564800;   // 2024-05-01 12:00:00 UTC

} // namespace

void TestChartData::decimate_data()
{
    QTest::addColumn<QVector<QPointF>>("samples");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QVector<QPointF>>("expected");
    const QVector<double> peakThenDrop{5, 5, 9, 5, 1, 5, 5, 5, 5, 5};
    QTest::newRow("no more than two per column comes back whole")
        << series({1, 2, 3}) << 0.0 << 2.0 << 10 << series({1, 2, 3});
    QTest::newRow("one column keeps its peak and its drop, in time order")
        << series(peakThenDrop) << 0.0 << 10.0 << 1 << QVector<QPointF>{{2, 9}, {4, 1}};
    QTest::newRow("a drop before the peak stays first")
        << series({5, 1, 5, 5, 9, 5}) << 0.0 << 6.0 << 1 << QVector<QPointF>{{1, 1}, {4, 9}};
    QTest::newRow("two columns of five, each its own lowest and highest")
        << series(peakThenDrop) << 0.0 << 10.0 << 2
        << QVector<QPointF>{{2, 9}, {4, 1}, {5, 5}};
    QTest::newRow("one sample beyond each edge so the line reaches it")
        << series({0, 1, 2, 3, 4, 5, 6, 7}) << 3.5 << 5.5 << 10
        << QVector<QPointF>{{3, 3}, {4, 4}, {5, 5}, {6, 6}};
    QTest::newRow("a span between two samples draws the line across it")
        << series({0, 1}) << 0.2 << 0.8 << 10 << series({0, 1});
    QTest::newRow("values that are not numbers are left out")
        << series({1, NAN, 3}) << 0.0 << 2.0 << 10 << QVector<QPointF>{{0, 1}, {2, 3}};
    QTest::newRow("a reversed span draws nothing") << series({1, 2, 3}) << 2.0 << 0.0 << 10
                                                   << QVector<QPointF>();
    QTest::newRow("no samples") << QVector<QPointF>() << 0.0 << 1.0 << 10 << QVector<QPointF>();
}

void TestChartData::decimate()
{
    QFETCH(QVector<QPointF>, samples);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, columns);
    QFETCH(QVector<QPointF>, expected);
    QCOMPARE(decimateMinMax(samples, from, to, columns), expected);
}

void TestChartData::dayAtTenHertzKeepsItsSpike()
{
    // 864,000 samples at 30 with one of 55 and one of 10: 1200 columns draw
    // at most 2400 points, both kept.
    QVector<QPointF> day;
    for (int i = 0; i < 864000; ++i)
        day.append(QPointF(Noon + i / 10.0, i == 500000 ? 55 : i == 700001 ? 10 : 30));
    const QVector<QPointF> drawn = decimateMinMax(day, Noon, Noon + 86400, 1200);
    QVERIFY(drawn.size() <= 2400);
    QVERIFY(drawn.contains(day.at(500000)));
    QVERIFY(drawn.contains(day.at(700001)));
}

void TestChartData::spans_data()
{
    QTest::addColumn<TimeSpan>("span");
    QTest::addColumn<TimeSpan>("expected");
    QTest::newRow("five-minute window ends at the newest sample")
        << followingSpan(100, 1000, 300) << TimeSpan{700, 1000};
    QTest::newRow("window 0 shows everything") << followingSpan(100, 1000, 0) << TimeSpan{100, 1000};
    QTest::newRow("one sample gets one second") << followingSpan(1000, 1000, 0) << TimeSpan{999, 1000};
    QTest::newRow("zoom in about 80 keeps 80 in place")
        << zoomedSpan({0, 100}, 80, 0.5) << TimeSpan{40, 90};
    QTest::newRow("zoom out about the middle") << zoomedSpan({0, 100}, 50, 2) << TimeSpan{-50, 150};
    QTest::newRow("zoom stops at one second") << zoomedSpan({0, 2}, 1, 0.1) << TimeSpan{0.5, 1.5};
    QTest::newRow("pan later") << pannedSpan({0, 100}, 30) << TimeSpan{30, 130};
}

void TestChartData::spans()
{
    QFETCH(TimeSpan, span);
    QFETCH(TimeSpan, expected);
    QCOMPARE(span.from, expected.from);
    QCOMPARE(span.to, expected.to);
}

void TestChartData::nearest_data()
{
    QTest::addColumn<QVector<QPointF>>("samples");
    QTest::addColumn<double>("time");
    QTest::addColumn<int>("expected");
    QTest::newRow("between two, the nearer") << series({5, 6, 7}) << 1.4 << 1;
    QTest::newRow("past the last, within reach") << series({5, 6, 7}) << 2.9 << 2;
    QTest::newRow("before the first, within reach") << series({5, 6, 7}) << -0.5 << 0;
    QTest::newRow("nothing within reach") << series({5, 6, 7}) << 3.5 << -1;
    QTest::newRow("empty series") << QVector<QPointF>() << 0.0 << -1;
}

void TestChartData::nearest()
{
    QFETCH(QVector<QPointF>, samples);
    QFETCH(double, time);
    QFETCH(int, expected);
    QCOMPARE(nearestSample(samples, time, 1.0), expected);
}

void TestChartData::texts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("read-out: UTC time in tenths, a series without a value")
        << readoutText(Noon + 3723.26, {{"GPS", 38.24}, {"Galileo", NAN}}).toUtf8()
        << QByteArray("13:02:03.3 UTC   GPS 38.2   Galileo -");
    QTest::newRow("CSV: UTC times to the millisecond, a name with a comma quoted")
        << chartCsv({{"A, \"B\"", {{Noon + 0.1, 38.5}, {Noon + 86399.999, 40}}}}, "time (UTC)", "CNR", true)
        << QByteArray("series,time (UTC),CNR\r\n\"A, \"\"B\"\"\",2024-05-01T12:00:00.100Z,38.5\r\n"
                      "\"A, \"\"B\"\"\",2024-05-02T11:59:59.999Z,40\r\n");
    QTest::newRow("CSV: plain numbers")
        << chartCsv({{"fix", {{1.5, -2.25}}}, {"ref", {{0, 1e-3}}}}, "east (m)", "north (m)", false)
        << QByteArray("series,east (m),north (m)\r\nfix,1.5,-2.25\r\nref,0,0.001\r\n");
}

void TestChartData::texts()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(text, expected);
}

QTEST_MAIN(TestChartData)
#include "test_chartdata.moc"
