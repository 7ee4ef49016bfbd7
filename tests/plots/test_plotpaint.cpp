// The sky view and the bar chart rendered offscreen into images.
#include "plots/bar_plot.h"
#include "plots/polar_plot.h"

#include <QImage>
#include <QtTest>

namespace {

const QColor Gps(100, 100, 255);
const QColor Glonass(255, 153, 0);
const QColor Galileo(97, 146, 0);
const QColor Beidou(153, 102, 51);

QImage render(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool isRed(QRgb p)
{
    return qRed(p) > 150 && qGreen(p) < 100 && qBlue(p) < 100;
}

bool isDark(QRgb p)
{
    return qRed(p) < 90 && qGreen(p) < 90 && qBlue(p) < 90;
}

int countPixels(const QImage &image, const QRect &area, const std::function<bool(QRgb)> &test)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

int countColour(const QImage &image, const QColor &colour)
{
    return countPixels(image, image.rect(), [&](QRgb p) { return p == colour.rgb(); });
}

QColor opaque(const QColor &c)
{
    return QColor(c.red(), c.green(), c.blue(), 255);
}

QColor faint(const QColor &c)
{
    return QColor(c.red(), c.green(), c.blue(), 30);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

class TestPlotPaint : public QObject
{
    Q_OBJECT

private slots:
    void skyDisc_data();
    void skyDisc();
    void skyUnusedDiscIsFaint();
    void skyEmptyDrawsArcsRingAndLetters();
    void skyLabelShowsLastTwoCharacters();
    void skySnapshotDrawnOnce();
    void sameSnapshotNotPaintedAgain_data();
    void sameSnapshotNotPaintedAgain();
    void barsPackedFromTheLeft();
    void barFiftyFiveLevelWithTopTick();
    void barValueBoxAndAxis();
    void barLastSnapshotBeforePaintWins();
    void barEmptyDrawsNoBars();
    void barChartMetaObject();
};

void TestPlotPaint::skyDisc_data()
{
    QTest::addColumn<float>("elevation");
    QTest::addColumn<float>("azimuth");
    QTest::addColumn<QPoint>("centre");
    // 400 x 400: centre (200, 200); the 45-degree ring has radius 80.
    QTest::newRow("elevation 45 azimuth 90 on the ring right of centre") << 45.0f << 90.0f << QPoint(280, 200);
    QTest::newRow("elevation 90 at the centre") << 90.0f << 0.0f << QPoint(200, 200);
    QTest::newRow("elevation 45 azimuth 0 on the ring above centre") << 45.0f << 0.0f << QPoint(200, 120);
    QTest::newRow("elevation 0 azimuth 270 on the horizon, left") << 0.0f << 270.0f << QPoint(40, 200);
}

void TestPlotPaint::skyDisc()
{
    QFETCH(float, elevation);
    QFETCH(float, azimuth);
    QFETCH(QPoint, centre);
    polar_plot plot;
    plot.resize(400, 400);
    plot.set_satellites({elevation}, {azimuth}, {QString()}, {opaque(Glonass)}, {opaque(Gps)});
    const QImage image = render(plot);

    // Disc diameter 400/18 = 22: filled within about 9 pixels of its centre.
    for (const QPoint &d : {QPoint(0, 0), QPoint(8, 0), QPoint(-8, 0), QPoint(0, 8), QPoint(0, -8)})
        QCOMPARE(QColor(image.pixel(centre + d)), Gps);
    // Its outline, and nothing of it beyond 13 pixels out.
    QVERIFY(countPixels(image, QRect(centre - QPoint(12, 12), QSize(25, 25)),
                        [](QRgb p) { return p == Glonass.rgb(); }) > 40);
    QCOMPARE(countColour(image, Gps) + countColour(image, Glonass),
             countPixels(image, QRect(centre - QPoint(13, 13), QSize(27, 27)),
                         [](QRgb p) { return p == Gps.rgb() || p == Glonass.rgb(); }));
}

void TestPlotPaint::skyUnusedDiscIsFaint()
{
    polar_plot plot;
    plot.resize(400, 400);
    const QImage background = render(plot);
    plot.set_satellites({45.0f}, {90.0f}, {QString()}, {opaque(Gps)}, {faint(Gps)});
    const QImage image = render(plot);
    // Alpha 30 of (100, 100, 255) over the background: a slight blue tint.
    const QColor under = background.pixel(275, 205);
    const QColor seen = image.pixel(275, 205);
    QVERIFY(seen != under);
    QVERIFY(qAbs(seen.red() - (under.red() * 225 + 100 * 30) / 255) <= 2);
    QVERIFY(qAbs(seen.blue() - (under.blue() * 225 + 255 * 30) / 255) <= 2);
}

void TestPlotPaint::skyEmptyDrawsArcsRingAndLetters()
{
    polar_plot plot;
    plot.resize(400, 400);
    const QImage image = render(plot);
    const QRgb background = image.pixel(2, 2);

    // Arcs of the horizon (radius 160) and the ring (radius 80) in black.
    QVERIFY(isDark(image.pixel(200 + 113, 200 - 113)));   // horizon at 45 degrees
    QVERIFY(isDark(image.pixel(200 - 113, 200 + 113)));   // horizon at 225 degrees
    QVERIFY(isDark(image.pixel(280, 200)));               // ring, east
    QVERIFY(isDark(image.pixel(120, 200)));               // ring, west
    QVERIFY(countPixels(image, QRect(199, 199, 3, 3), isDark) > 0);   // centre dot
    // Gaps in the horizon at the compass points.
    QCOMPARE(image.pixel(200, 40), background);
    QCOMPARE(image.pixel(360, 200), background);
    QCOMPARE(image.pixel(200, 360), background);
    QCOMPARE(image.pixel(40, 200), background);

    // The four letters red, in their boxes outside the horizon.
    auto red = [](QRgb p) { return isRed(p); };
    QVERIFY(countPixels(image, QRect(361, 190, 60, 20), red) > 10);   // E
    QVERIFY(countPixels(image, QRect(170, 20, 60, 20), red) > 10);    // N
    QVERIFY(countPixels(image, QRect(0, 190, 40, 20), red) > 10);     // W
    QVERIFY(countPixels(image, QRect(170, 361, 60, 20), red) > 10);   // S
    // Red nowhere else, and no colour other than black, grey, red and the
    // background anywhere.
    const int allRed = countPixels(image, image.rect(), red);
    QCOMPARE(countPixels(image, QRect(361, 190, 60, 20), red) + countPixels(image, QRect(170, 20, 60, 20), red)
                 + countPixels(image, QRect(0, 190, 40, 20), red)
                 + countPixels(image, QRect(170, 361, 60, 20), red),
             allRed);
    QCOMPARE(countPixels(image, image.rect(),
                         [&](QRgb p) {
                             // Black and grey, or red blended into the background.
                             const bool greyOrRed = qRed(p) + 8 >= qGreen(p) && qAbs(qGreen(p) - qBlue(p)) < 8;
                             return !(p == background || greyOrRed);
                         }),
             0);
}

void TestPlotPaint::skyLabelShowsLastTwoCharacters()
{
    auto draw = [](const QString &label) {
        polar_plot plot;
        plot.resize(400, 400);
        plot.set_satellites({60.0f}, {200.0f}, {label}, {opaque(Gps)}, {opaque(Gps)});
        return render(plot);
    };
    const QImage full = draw(QStringLiteral("G05"));
    QCOMPARE(full, draw(QStringLiteral("05")));
    QVERIFY(full != draw(QString()));
    QVERIFY(full != draw(QStringLiteral("G06")));
    QVERIFY(draw(QStringLiteral("R")) != draw(QString()));
}

void TestPlotPaint::skySnapshotDrawnOnce()
{
    polar_plot plot;
    plot.resize(400, 400);
    plot.set_satellites({45.0f, 20.0f}, {90.0f, 200.0f}, {"G01", "R70"}, {opaque(Gps), opaque(Glonass)},
                        {opaque(Gps), opaque(Glonass)});
    QVERIFY(countColour(render(plot), Gps) > 100);
    // Painting again (a resize, an uncovered window) shows the empty sky.
    const QImage again = render(plot);
    QCOMPARE(countColour(again, Gps), 0);
    QCOMPARE(countColour(again, Glonass), 0);
    // A second snapshot replaces the first entirely.
    plot.set_satellites({45.0f}, {90.0f}, {"G01"}, {opaque(Gps)}, {opaque(Gps)});
    plot.set_satellites({10.0f}, {10.0f}, {"E11"}, {opaque(Galileo)}, {opaque(Galileo)});
    const QImage second = render(plot);
    QCOMPARE(countColour(second, Gps), 0);
    QVERIFY(countColour(second, Galileo) > 100);
}

void TestPlotPaint::sameSnapshotNotPaintedAgain_data()
{
    QTest::addColumn<bool>("sky");
    QTest::newRow("bar chart") << false;
    QTest::newRow("sky view") << true;
}

// A shown plot is painted again for a snapshot that differs from what it
// shows, not for the same one; after a paint that showed nothing (an
// uncovered window) the same snapshot is painted again.
void TestPlotPaint::sameSnapshotNotPaintedAgain()
{
    QFETCH(bool, sky);
    bar_plot chart;
    polar_plot plot;
    QWidget &widget = sky ? static_cast<QWidget &>(plot) : chart;
    auto hand = [&](float value) {
        if (sky)
            plot.set_satellites({value}, {90.0f}, {"G01"}, {opaque(Gps)}, {opaque(Gps)});
        else
            chart.set_satellites({value}, {"G01"}, {Gps}, {opaque(Gps)});
    };
    widget.resize(400, 400);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    PaintCounter counter;
    widget.installEventFilter(&counter);
    hand(40.0f);
    QTRY_COMPARE(counter.paints, 1);
    hand(40.0f);
    QTest::qWait(50);
    QCOMPARE(counter.paints, 1);
    hand(30.0f);
    QTRY_COMPARE(counter.paints, 2);
    widget.repaint();
    hand(30.0f);
    QTRY_COMPARE(counter.paints, 4);
}

// 1000 x 400 chart: baseline at y 360, bar k of n starts at 110 + 800 k / n
// and is 750 / (n + 1) wide; v dB-Hz rise 400 v / 75 pixels.
void TestPlotPaint::barsPackedFromTheLeft()
{
    bar_plot chart;
    chart.resize(1000, 400);
    chart.set_satellites({40, 0, 30, 0, 20, 45}, {"G01", "G02", "R70", "E01", "B01", "Q193"},
                         {Gps, Gps, Glonass, Galileo, Beidou, Gps},
                         {opaque(Gps), opaque(Gps), opaque(Glonass), opaque(Galileo), opaque(Beidou), QColor(Qt::cyan)});
    const QImage image = render(chart);
    const QRgb background = image.pixel(999, 0);

    // Four bars: at 110, 310, 510, 710, each 150 wide, in list order.
    const QList<QColor> fills = {Gps, Glonass, Beidou, QColor(Qt::cyan)};
    const QList<float> values = {40, 30, 20, 45};
    for (int k = 0; k < 4; ++k) {
        const int left = 110 + 200 * k;
        const int top = int(360 - values.at(k) * 400 / 75);
        QCOMPARE(QColor(image.pixel(left + 75, 350)), fills.at(k));
        QCOMPARE(QColor(image.pixel(left + 3, top + 3)), fills.at(k));
        QCOMPARE(QColor(image.pixel(left + 147, top + 3)), fills.at(k));
        QCOMPARE(image.pixel(left - 3, 350), background);        // gap before it
        QCOMPARE(image.pixel(left + 153, 350), background);      // gap after it
        QCOMPARE(image.pixel(left + 75, top - 4), background);   // above the bar
    }
    QCOMPARE(countColour(image, Galileo), 0);   // CNR 0: no bar at all
    QCOMPARE(image.pixel(920, 350), background);
}

void TestPlotPaint::barFiftyFiveLevelWithTopTick()
{
    bar_plot chart;
    chart.resize(1000, 400);
    chart.set_satellites({55}, {"G01"}, {Gps}, {opaque(Galileo)});
    const QImage image = render(chart);

    // Top tick: the highest dark run in the tick column left of the axis.
    int tickTop = -1, tickBottom = -1;
    for (int y = 0; y < 400 && tickBottom < 0; ++y) {
        if (isDark(image.pixel(98, y)) && tickTop < 0)
            tickTop = y;
        else if (!isDark(image.pixel(98, y)) && tickTop >= 0)
            tickBottom = y - 1;
    }
    QVERIFY(tickTop > 0);
    int barTop = -1;
    for (int y = 0; y < 400 && barTop < 0; ++y) {
        const QRgb p = image.pixel(300, y);
        if (p == Gps.rgb() || p == Galileo.rgb())
            barTop = y;
    }
    QVERIFY2(barTop >= tickTop && barTop <= tickBottom + 1,
             qPrintable(QStringLiteral("bar top %1, tick %2-%3").arg(barTop).arg(tickTop).arg(tickBottom)));
    // One bar of 375 pixels from x 110.
    QCOMPARE(QColor(image.pixel(112, 300)), Galileo);
    QCOMPARE(QColor(image.pixel(483, 300)), Galileo);
    QVERIFY(image.pixel(488, 300) != Galileo.rgb() && image.pixel(488, 300) != Gps.rgb());
}

void TestPlotPaint::barValueBoxAndAxis()
{
    bar_plot chart;
    chart.resize(1000, 400);
    chart.set_satellites({30}, {"G01"}, {Gps}, {opaque(Gps)});
    const QImage image = render(chart);
    // Value box: dark grey, x 285 to 460, y 150 to 180, 20 pixels over the bar.
    const QColor grey(Qt::darkGray);
    QCOMPARE(QColor(image.pixel(290, 153)), grey);
    QCOMPARE(QColor(image.pixel(455, 177)), grey);
    QVERIFY(QColor(image.pixel(290, 190)) != grey);
    QVERIFY(QColor(image.pixel(280, 165)) != grey);
    // Its text is dark, inside the box.
    QVERIFY(countPixels(image, QRect(285, 150, 175, 30), isDark) > 5);
    // Vertical axis 3 pixels wide at x 100; the ticks to its left stay visible.
    for (int x = 99; x <= 101; ++x)
        QVERIFY(isDark(image.pixel(x, 250)));
    QVERIFY(!isDark(image.pixel(97, 250)));
    QVERIFY(!isDark(image.pixel(103, 250)));
    QVERIFY(isDark(image.pixel(98, 360)));   // tick 0
    QVERIFY(isDark(image.pixel(98, 199)));   // tick 30
}

void TestPlotPaint::barLastSnapshotBeforePaintWins()
{
    bar_plot chart;
    chart.resize(1000, 400);
    chart.set_satellites({40, 30, 20}, {"G01", "G02", "G03"}, {Gps, Gps, Gps}, {opaque(Gps), opaque(Gps), opaque(Gps)});
    chart.set_satellites({25, 35}, {"R70", "R71"}, {Glonass, Glonass}, {opaque(Glonass), opaque(Glonass)});
    const QImage image = render(chart);
    QCOMPARE(countColour(image, Gps), 0);
    // Two bars of 250 pixels at 110 and 510, widths from this snapshot's count.
    QCOMPARE(QColor(image.pixel(112, 350)), Glonass);
    QCOMPARE(QColor(image.pixel(357, 350)), Glonass);
    QCOMPARE(QColor(image.pixel(512, 350)), Glonass);
    QCOMPARE(QColor(image.pixel(757, 350)), Glonass);
    QVERIFY(QColor(image.pixel(362, 350)) != Glonass);
    QVERIFY(QColor(image.pixel(450, 350)) != Glonass);

    // The paint consumed the snapshot.
    QCOMPARE(countColour(render(chart), Glonass), 0);
}

void TestPlotPaint::barEmptyDrawsNoBars()
{
    bar_plot chart;
    chart.resize(1000, 400);
    const QImage empty = render(chart);
    chart.set_satellites({0, 0}, {"G01", "G02"}, {Gps, Gps}, {opaque(Gps), opaque(Gps)});
    const QImage zeros = render(chart);
    QCOMPARE(zeros, empty);
    // Black text and lines only: no bar colour, no grey value box.
    QCOMPARE(countPixels(empty, empty.rect(),
                         [](QRgb p) { return qAbs(qRed(p) - qGreen(p)) > 8 || qAbs(qGreen(p) - qBlue(p)) > 8; }),
             0);
    QVERIFY(countColour(empty, QColor(Qt::darkGray)) < 10);
    // Baseline from 100 to 900 at y 360, the scale labels and the title.
    QVERIFY(isDark(empty.pixel(500, 360)));
    QVERIFY(!isDark(empty.pixel(905, 360)));
    QVERIFY(countPixels(empty, QRect(80, 50, 25, 300), isDark) > 100);
    QVERIFY(countPixels(empty, QRect(40, 130, 40, 200), isDark) > 50);   // "CNR(dB-Hz)", read downwards
}

void TestPlotPaint::barChartMetaObject()
{
    QCOMPARE(QByteArray(bar_plot::staticMetaObject.className()), QByteArray("bar_plot"));
    QCOMPARE(bar_plot::staticMetaObject.methodCount(), QWidget::staticMetaObject.methodCount());
}

QTEST_MAIN(TestPlotPaint)
#include "test_plotpaint.moc"
