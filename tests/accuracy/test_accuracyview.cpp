// The accuracy view shown on the offscreen platform, resized while fixes
// arrive, its figures read and its charts exported.
#include "accuracy/accuracyview.h"
#include "charts/chartfile.h"
#include "charts/timechart.h"
#include "receiver/epoch.h"

#include <qwt_plot.h>

#include <QtTest>

#include <cmath>

class TestAccuracyView : public QObject
{
    Q_OBJECT

private slots:
    void resizedAndExported();
};

// 200 fixes on a circle of 3 m about a point on the equator: there a metre
// north is 1 / 6335439 rad of latitude, a metre east 1 / 6378137 rad of
// longitude (the ellipsoid's radii of curvature). Every fix lies 3 m from
// the mean, so CEP50 and CEP95 are 3 m and 2DRMS 6 m.
void TestAccuracyView::resizedAndExported()
{
    PositionHistory history;
    AccuracyView view(&history);
    view.resize(700, 700);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    Epoch e;
    e.date = QDate(2024, 6, 1);
    e.quality = 2;
    e.hasPosition = true;
    e.altitude = 10;
    for (int i = 0; i < 200; ++i) {
        const double a = 2 * M_PI * i / 200;
        e.utcMs = 43200000 + 100 * i;
        e.latitude = 3 * std::cos(a) / 6335439 * 180 / M_PI;
        e.longitude = 3 * std::sin(a) / 6378137 * 180 / M_PI;
        history.addEpoch(e);
        if (i % 20 == 0) {
            view.resize(500 + 2 * i, 800 - i);   // a dock dragged while fixes come
            QTest::qWait(5);
        }
    }
    view.refresh();
    const PositionSpread spread = history.spread();
    QCOMPARE(spread.count, 200);
    QVERIFY2(std::fabs(spread.cep50 - 3) < 0.001 && std::fabs(spread.cep95 - 3) < 0.001,
             qPrintable(QStringLiteral("%1 %2").arg(spread.cep50).arg(spread.cep95)));
    QVERIFY(std::fabs(spread.twoDrms - 6) < 0.002);

    // A header, then a line per fix (scatter), per fix and error (time).
    QCOMPARE(view.scatterCsv().count("\r\n"), 1 + 200);
    QCOMPARE(view.errorCsv().count("\r\n"), 1 + 2 * 200);
    QTemporaryDir dir;
    for (QwtPlot *chart : {view.scatterChart(), static_cast<QwtPlot *>(view.errorChart())}) {
        const QString file = dir.filePath(QStringLiteral("chart.png"));
        QVERIFY(renderChartToPng(chart, file, QSize(600, 400)));
        QCOMPARE(QImage(file).size(), QSize(600, 400));
    }
}

QTEST_MAIN(TestAccuracyView)
#include "test_accuracyview.moc"
