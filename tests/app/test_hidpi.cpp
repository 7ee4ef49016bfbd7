// At 200 % the sky view's lines are twice as thick in device pixels, and
// the fix lamps have pixels of their own for their doubled size.
#include "app/hidpi.h"
#include "plots/polar_plot.h"

#include <QtTest>

class TestHiDpi : public QObject
{
    Q_OBJECT

private slots:
    void skyRingTwiceAsThick();
    void lampsSharpAtDoubleSize_data();
    void lampsSharpAtDoubleSize();
};

void TestHiDpi::skyRingTwiceAsThick()
{
    // A 400 x 400 sky view has its centre at (200, 200) and its 45-degree
    // ring 80 pixels right of it: count the dark pixels from 40 to 120
    // pixels right of the centre, along the centre's row.
    polar_plot sky;
    sky.resize(400, 400);
    QList<int> thickness;
    for (qreal ratio : {1.0, 2.0}) {
        QImage image(sky.size() * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        sky.render(&image);
        int dark = 0;
        for (int x = int(240 * ratio); x < int(320 * ratio); ++x)
            dark += qGray(image.pixel(x, int(200 * ratio))) < 90 ? 1 : 0;
        thickness.append(dark);
    }
    QVERIFY(thickness.at(0) > 0);
    QCOMPARE(thickness.at(1), 2 * thickness.at(0));
}

void TestHiDpi::lampsSharpAtDoubleSize_data()
{
    QTest::addColumn<QString>("lamp");
    QTest::newRow("no fix") << ":/redd.png";
    QTest::newRow("fix") << ":/green.png";
}

void TestHiDpi::lampsSharpAtDoubleSize()
{
    QFETCH(QString, lamp);
    Q_INIT_RESOURCE(resources);
    // Shown at 40 x 40: on a 200 % screen that is 80 x 80 device pixels,
    // which a 64-pixel image could only fill by blurring.
    QCOMPARE(HiDpi::iconWithDoubleSize(lamp).actualSize(QSize(80, 80)), QSize(80, 80));
}

QTEST_MAIN(TestHiDpi)
#include "test_hidpi.moc"
