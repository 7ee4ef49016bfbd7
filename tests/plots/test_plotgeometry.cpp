// Where the sky view and the bar chart put things, in numbers.
#include "plots/plotgeometry.h"

#include <QtTest>

class TestPlotGeometry : public QObject
{
    Q_OBJECT

private slots:
    void skyLayoutFollowsHeight();
    void disc_data();
    void disc();
    void barScale_data();
    void barScale();
    void bars_data();
    void bars();
    void thinning_data();
    void thinning();
};

namespace {

bool near(double a, double b)
{
    return qAbs(a - b) < 0.01;
}

} // namespace

void TestPlotGeometry::skyLayoutFollowsHeight()
{
    const SkyLayout square = skyLayout(400, 400);
    QCOMPARE(square.centre, QPoint(200, 200));
    QCOMPARE(square.radius, 160);
    QCOMPARE(square.horizon, QRectF(40, 40, 320, 320));
    QCOMPARE(square.ring, QRect(120, 120, 160, 160));
    QCOMPARE(square.east, QRectF(360, 190, 60, 20));
    QCOMPARE(square.north, QRectF(170, 20, 60, 20));
    QCOMPARE(square.west, QRectF(-20, 190, 60, 20));
    QCOMPARE(square.south, QRectF(170, 360, 60, 20));

    // A wider widget moves the diagram to its middle but does not grow it.
    const SkyLayout wide = skyLayout(601, 300);
    QCOMPARE(wide.centre, QPoint(300, 150));
    QCOMPARE(wide.radius, 120);
    QVERIFY(near(wide.horizon.left(), 180.5));
    QVERIFY(near(wide.horizon.width(), 240));
    QCOMPARE(wide.ring, QRect(240, 90, 120, 120));

    // One narrower than high (a dock beside it) shrinks it whole: the
    // letters W and E keep their 0.1 w beside the horizon.
    const SkyLayout narrow = skyLayout(200, 400);
    QCOMPARE(narrow.radius, 80);
    QCOMPARE(narrow.horizon, QRectF(20, 120, 160, 160));
    QCOMPARE(narrow.west.right(), 20.0);
    QCOMPARE(narrow.east.left(), 180.0);
}

void TestPlotGeometry::disc_data()
{
    QTest::addColumn<float>("elevation");
    QTest::addColumn<float>("azimuth");
    QTest::addColumn<QPointF>("centre");
    // 400 x 400: centre (200, 200), horizon radius 160, disc diameter 22.22.
    QTest::newRow("elevation 90 at the centre") << 90.0f << 123.0f << QPointF(200, 200);
    QTest::newRow("elevation 45 azimuth 90 on the ring, right") << 45.0f << 90.0f << QPointF(280, 200);
    QTest::newRow("elevation 0 azimuth 0 on top of the horizon") << 0.0f << 0.0f << QPointF(200, 40);
    QTest::newRow("azimuth 180 straight down") << 0.0f << 180.0f << QPointF(200, 360);
    QTest::newRow("azimuth 270 to the left") << 45.0f << 270.0f << QPointF(120, 200);
    QTest::newRow("azimuth 45 up and right") << 0.0f << 45.0f << QPointF(313.137, 86.863);
    QTest::newRow("elevation above 90 crosses the centre") << 100.0f << 0.0f << QPointF(200, 217.778);
    QTest::newRow("negative elevation outside the horizon") << -9.0f << 90.0f << QPointF(376, 200);
    QTest::newRow("azimuth beyond 360 wraps") << 45.0f << 450.0f << QPointF(280, 200);
}

void TestPlotGeometry::disc()
{
    QFETCH(float, elevation);
    QFETCH(float, azimuth);
    QFETCH(QPointF, centre);
    const QRectF r = skyDiscRect(skyLayout(400, 400), 400, elevation, azimuth);
    QVERIFY2(near(r.center().x(), centre.x()) && near(r.center().y(), centre.y()),
             qPrintable(QStringLiteral("centre (%1, %2)").arg(r.center().x()).arg(r.center().y())));
    QVERIFY(near(r.width(), 400.0 / 18));
    QVERIFY(near(r.height(), 400.0 / 18));
}

void TestPlotGeometry::barScale_data()
{
    QTest::addColumn<int>("i");
    QTest::addColumn<int>("y");
    // 1000 x 400: baseline at 360, 1 dB-Hz is 400/75 pixels, a tick per 5 dB-Hz.
    QTest::newRow("0 dB-Hz on the baseline") << 0 << 360;
    QTest::newRow("5 dB-Hz") << 1 << 333;
    QTest::newRow("30 dB-Hz, 6/15 in single precision lands a pixel up") << 6 << 199;
    QTest::newRow("55 dB-Hz, the top tick") << 11 << 66;
}

void TestPlotGeometry::barScale()
{
    QFETCH(int, i);
    QFETCH(int, y);
    QCOMPARE(BarChart::tick(1000, 400, i), QLineF(95, y, 100, y));
    const QRectF label = BarChart::tickLabelRect(1000, 400, i);
    QVERIFY(near(label.left(), 80));
    QVERIFY(near(label.height(), 400.0 / 15));
    QVERIFY(qAbs(label.center().y() - y) <= 1.0);

    QCOMPARE(BarChart::baseline(1000, 400), QLineF(100, 360, 900, 360));
    QCOMPARE(BarChart::verticalAxis(1000, 400), QLineF(100, 360, 100, 40));
}

void TestPlotGeometry::bars_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("n");
    QTest::addColumn<float>("value");
    QTest::addColumn<QRectF>("bar");
    QTest::addColumn<QRectF>("box");
    // 1000 x 400.
    QTest::newRow("one bar: 0.375 w wide from 0.11 w, box 0.175 w from 0.285 w")
        << 0 << 1 << 30.0f << QRectF(110, 200, 375, 160) << QRectF(285, 150, 175, 30);
    QTest::newRow("55 dB-Hz reaches the top tick")
        << 0 << 1 << 55.0f << QRectF(110, 360 - 293.333, 375, 293.333) << QRectF(285, 16.667, 175, 30);
    QTest::newRow("third of four") << 2 << 4 << 15.0f << QRectF(510, 280, 150, 80) << QRectF(553.75, 230, 70, 30);
    QTest::newRow("last of ten stays left of 0.91 w")
        << 9 << 10 << 45.0f << QRectF(830, 120, 68.182, 240) << QRectF(847.5, 70, 31.818, 30);
    QTest::newRow("negative value grows downward") << 0 << 1 << -15.0f << QRectF(110, 440, 375, -80)
                                                   << QRectF(285, 390, 175, 30);
}

void TestPlotGeometry::bars()
{
    QFETCH(int, k);
    QFETCH(int, n);
    QFETCH(float, value);
    QFETCH(QRectF, bar);
    QFETCH(QRectF, box);
    const QRectF r = BarChart::barRect(1000, 400, k, n, value);
    const QRectF b = BarChart::valueBoxRect(1000, 400, k, n, value);
    auto same = [](const QRectF &a, const QRectF &e) {
        return near(a.x(), e.x()) && near(a.y(), e.y()) && near(a.width(), e.width())
               && near(a.height(), e.height());
    };
    QVERIFY2(same(r, bar), qPrintable(QStringLiteral("bar %1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
    QVERIFY2(same(b, box), qPrintable(QStringLiteral("box %1 %2 %3 %4").arg(b.x()).arg(b.y()).arg(b.width()).arg(b.height())));
    const QRectF label = BarChart::labelRect(1000, 400, k, n);
    QVERIFY(same(label, QRectF(bar.x(), 360, bar.width(), 30)));
}


void TestPlotGeometry::thinning_data()
{
    QTest::addColumn<double>("pitch");
    QTest::addColumn<double>("textWidth");
    QTest::addColumn<int>("step");
    QTest::newRow("fits with its gap: every one") << 20.0 << 18.0 << 1;
    QTest::newRow("two pixels short: every second") << 20.0 << 19.0 << 2;
    QTest::newRow("40 satellites in 800 px, 25 px labels: every second") << 16.0 << 25.0 << 2;
    QTest::newRow("80 signals in 800 px, 12 px values: every second") << 8.0 << 12.0 << 2;
    QTest::newRow("80 signals in 400 px, 12 px values: every fourth") << 4.0 << 12.0 << 4;
    QTest::newRow("no width to share: every one") << 0.0 << 25.0 << 1;
}

void TestPlotGeometry::thinning()
{
    QFETCH(double, pitch);
    QFETCH(double, textWidth);
    QFETCH(int, step);
    QCOMPARE(BarChart::thinningStep(pitch, textWidth), step);
}

QTEST_APPLESS_MAIN(TestPlotGeometry)
#include "test_plotgeometry.moc"
