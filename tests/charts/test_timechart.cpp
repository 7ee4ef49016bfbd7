// A time chart built with the chart helper, drawn to a PNG file on the
// offscreen platform, and driven with the mouse. The image is left in the
// test's working folder as timechart.png.
#include "charts/chartfile.h"
#include "charts/chartlook.h"
#include "charts/timechart.h"

#include <qwt_scale_draw.h>

#include <QImage>
#include <QtTest>

namespace {

const double Noon = 1714564800;   // 2024-05-01 12:00:00 UTC

bool near(QRgb p, const QColor &c)
{
    return qAbs(qRed(p) - c.red()) + qAbs(qGreen(p) - c.green()) + qAbs(qBlue(p) - c.blue()) < 20;
}

// An hour at 10 Hz: GPS at 30 dB-Hz with one sample of 50 at 12:30:00.5,
// Galileo at 40 throughout.
void fill(TimeChart &chart)
{
    QVector<QPointF> gps, galileo;
    for (int i = 0; i < 36000; ++i) {
        gps.append(QPointF(Noon + i / 10.0, i == 18005 ? 50 : 30));
        galileo.append(QPointF(Noon + i / 10.0, 40));
    }
    chart.setSamples(chart.addSeries("GPS", ChartLook::constellationColour(Constellation::Gps)), gps);
    chart.setSamples(chart.addSeries("Galileo", ChartLook::constellationColour(Constellation::Galileo)),
                     galileo);
    chart.setValueTitle("CNR (dB-Hz)");
    chart.setAxisScale(QwtPlot::yLeft, 0, 60);
}

} // namespace

class TestTimeChart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void renderedOffscreenKeepsThePeak();
    void readoutAndCsv();
    void wheelZoomsAndDragPans();
};

void TestTimeChart::initTestCase()
{
    // Labels must be UTC wherever the machine is.
    qputenv("TZ", "Asia/Tokyo");
    QVERIFY2(QDateTime::fromSecsSinceEpoch(qint64(Noon)).toString("hh") == "21",
             "the local zone did not change; the UTC label check would prove nothing");
}

void TestTimeChart::renderedOffscreenKeepsThePeak()
{
    TimeChart chart;
    fill(chart);
    QVERIFY(renderChartToPng(&chart, "timechart.png", QSize(1200, 600)));
    const QImage image("timechart.png");
    QCOMPARE(image.size(), QSize(1200, 600));
    QCOMPARE(chart.axisScaleDraw(QwtPlot::xBottom)->label(Noon + 1800).text(), QString("12:30:00"));

    // The GPS line is a row of its colour across the canvas. The single
    // sample of 50 on the 0 to 60 axis rises a third of the canvas (some
    // 170 pixels) above it, mid-hour: GPS pixels 100 to 150 pixels above the
    // line are that peak and nothing else.
    const QColor gps(100, 100, 255);
    QVector<int> perRow(image.height());
    int galileo = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            perRow[y] += near(image.pixel(x, y), gps) ? 1 : 0;
            galileo += near(image.pixel(x, y), QColor(97, 146, 0)) ? 1 : 0;
        }
    }
    QVERIFY(galileo > 900);
    const int lineRow = int(std::max_element(perRow.cbegin(), perRow.cend()) - perRow.cbegin());
    QVERIFY2(perRow.at(lineRow) > 900, qPrintable(QString::number(perRow.at(lineRow))));
    int peakPixels = 0;
    for (int y = lineRow - 150; y < lineRow - 100; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (near(image.pixel(x, y), gps)) {
                ++peakPixels;
                QVERIFY2(x > 500 && x < 800, qPrintable(QString::number(x)));
            }
        }
    }
    QVERIFY(peakPixels >= 50);
}

void TestTimeChart::readoutAndCsv()
{
    TimeChart chart;
    fill(chart);
    chart.replot();
    QCOMPARE(chart.readout(Noon + 1800.5), QString("12:30:00.5 UTC   GPS 50.0   Galileo 40.0"));
    QCOMPARE(chart.readout(Noon - 3600), QString("11:00:00.0 UTC   GPS -   Galileo -"));

    const QByteArray csv = chart.csv();
    QVERIFY(csv.startsWith("series,time (UTC),CNR (dB-Hz)\r\nGPS,2024-05-01T12:00:00.000Z,30\r\n"
                           "GPS,2024-05-01T12:00:00.100Z,30\r\n"));
    QVERIFY(csv.contains("\nGPS,2024-05-01T12:30:00.500Z,50\r\n"));
    QVERIFY(csv.endsWith("\nGalileo,2024-05-01T12:59:59.900Z,40\r\n"));
    QCOMPARE(csv.count('\n'), 1 + 2 * 36000);
    QTemporaryDir dir;
    QVERIFY(saveChartData(dir.filePath("chart.csv"), csv));
    QFile file(dir.filePath("chart.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), csv);
}

void TestTimeChart::wheelZoomsAndDragPans()
{
    TimeChart chart;
    chart.resize(1200, 600);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    fill(chart);
    QTRY_COMPARE(chart.span().from, Noon);
    QWidget *canvas = chart.canvas();

    // One notch in at a third of the canvas: the span shrinks to 0.8 and
    // the time under the mouse stays under it.
    const QPoint at(canvas->width() / 3, canvas->height() / 2);
    const double anchor = chart.invTransform(QwtPlot::xBottom, at.x());
    QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(canvas, &wheel);
    QVERIFY(!chart.isFollowing());
    QVERIFY(qAbs(chart.span().length() - 0.8 * 3599.9) < 1e-6);
    chart.replot();
    QVERIFY(qAbs(chart.transform(QwtPlot::xBottom, anchor) - at.x()) <= 1);

    // Dragged 100 pixels left: 100 pixels' worth of time later.
    const TimeSpan before = chart.span();
    QTest::mousePress(canvas, Qt::LeftButton, {}, at);
    QMouseEvent move(QEvent::MouseMove, at - QPoint(100, 0), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &move);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, at - QPoint(100, 0));
    QVERIFY(qAbs(chart.span().from - before.from - 100 * before.length() / canvas->width()) < 1e-6);

    // A double click follows the newest sample again.
    QTest::mouseDClick(canvas, Qt::LeftButton, {}, at);
    QVERIFY(chart.isFollowing());
    QTRY_COMPARE(chart.span().from, Noon);
}

QTEST_MAIN(TestTimeChart)
#include "test_timechart.moc"
