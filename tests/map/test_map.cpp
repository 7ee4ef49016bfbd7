// The map: what decimation keeps, the GPX and KML of a simulated drive, and
// the track drawn where its coordinates say.
#include "e2e/simprocess.h"
#include "map/mapcanvas.h"
#include "map/mapprojection.h"
#include "map/mapview.h"
#include "map/track.h"
#include "map/trackdecimation.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {
const QString Build = QStringLiteral(SKYLOUPE_BUILD_DIR);
}

class TestMap : public QObject
{
    Q_OBJECT

private slots:
    void decimation_data();
    void decimation();
    void driveExportsEveryFix();
    void trackDrawnWhereItLies();
};

void TestMap::decimation_data()
{
    // Points along x (fixed-point units) at y = 1000, 100 ms apart unless
    // `ms` says otherwise; kind 1 (GPS) unless `kinds` says otherwise. The
    // tolerance is 10 units; the view holds x from 0 to 1000 unless `clipTo`.
    QTest::addColumn<QVector<int>>("xs");
    QTest::addColumn<QVector<int>>("kinds");
    QTest::addColumn<QVector<int>>("ms");
    QTest::addColumn<int>("clipTo");
    QTest::addColumn<QVector<int>>("kept");
    QTest::newRow("straight line thinned to its ends") << QVector<int>{0, 3, 6, 9, 12} << QVector<int>() << QVector<int>()
                                                       << 1000 << QVector<int>{0, 4};
    QTest::newRow("jump out and back kept") << QVector<int>{0, 1, 2, 100, 3, 4} << QVector<int>() << QVector<int>()
                                            << 1000 << QVector<int>{0, 2, 3, 4, 5};
    QTest::newRow("fix change keeps both sides") << QVector<int>{0, 1, 2, 3, 4} << QVector<int>{1, 1, 1, 4, 4}
                                                 << QVector<int>() << 1000 << QVector<int>{0, 2, 3, 4};
    QTest::newRow("outage breaks the line") << QVector<int>{0, 1, 2, 3} << QVector<int>() << QVector<int>{0, 100, 5000, 5100}
                                            << 1000 << QVector<int>{0, 1, -1, 2, 3};
    QTest::newRow("piece outside the view left out") << QVector<int>{0, 20, 40, 200, 300, 20} << QVector<int>()
                                                     << QVector<int>() << 50 << QVector<int>{0, 1, 2, 3, -1, 4, 5};
}

void TestMap::decimation()
{
    QFETCH(QVector<int>, xs);
    QFETCH(QVector<int>, kinds);
    QFETCH(QVector<int>, ms);
    QFETCH(int, clipTo);
    QFETCH(QVector<int>, kept);
    Track track;
    for (int i = 0; i < xs.size(); ++i) {
        TrackPoint p;
        p.x = quint32(xs.at(i));
        p.y = 1000;
        p.kind = quint8(kinds.isEmpty() ? 1 : kinds.at(i));
        track.addPoint(1e9 + (ms.isEmpty() ? i * 100 : ms.at(i)) / 1000.0, p);
    }
    WorldBox clip;
    clip.maxX = clipTo;
    clip.maxY = 2000;
    QCOMPARE(decimateTrack(track, track.size(), 10, clip), kept);
}

// The simulator's drive through `skyloupe --analyze --format gpx,kml`:
// every epoch with a fix is a point, in the GPX (valid against its schema)
// and in the KML, and the outage splits the track.
void TestMap::driveExportsEveryFix()
{
    if (!SimProcess::isBuilt())
        QSKIP("skyloupe-sim is not built");
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        QSKIP("xmllint is missing (libxml2-utils; scripts/install-deps.sh installs it)");
    QTemporaryDir dir;
    const QString log = dir.filePath("drive.nma");
    QCOMPARE(QProcess::execute(SimProcess::executable(), {"--drive", "--epochs", "300", "--output", log}), 0);
    QCOMPARE(QProcess::execute(Build + "/skyloupe", {"--analyze", log, "--out", dir.path(), "--format", "gpx,kml"}), 0);

    // The fixes as the log has them: GGA quality above 0, with a position.
    QFile in(log);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QList<QByteArray> fixes;
    for (const QByteArray &line : in.readAll().split('\n')) {
        const QList<QByteArray> f = line.split(',');
        if (line.startsWith("$GNGGA") && f.size() > 6 && f.at(6).toInt() > 0)
            fixes << line;
    }
    QVERIFY(fixes.size() > 250 && fixes.size() < 300);

    QFile gpxFile(dir.filePath("track.gpx"));
    QVERIFY(gpxFile.open(QIODevice::ReadOnly));
    const QByteArray gpx = gpxFile.readAll();
    QCOMPARE(gpx.count("<trkpt "), fixes.size());
    QCOMPARE(gpx.count("<trkseg>"), 2);
    QCOMPARE(gpx.count("<sat>"), fixes.size());
    QCOMPARE(gpx.count("<hdop>"), fixes.size());
    // The first point: 3113.82400,N -> 31 + 13.824/60 degrees.
    const QList<QByteArray> first = fixes.first().split(',');
    const double lat = first.at(2).left(2).toDouble() + first.at(2).mid(2).toDouble() / 60;
    const double lon = first.at(4).left(3).toDouble() + first.at(4).mid(3).toDouble() / 60;
    const int at = gpx.indexOf("<trkpt lat=\"");
    const QList<QByteArray> attributes = gpx.mid(at).split('"');
    QVERIFY(std::abs(attributes.at(1).toDouble() - lat) < 1e-6);
    QVERIFY(std::abs(attributes.at(3).toDouble() - lon) < 1e-6);
    QProcess lint;
    lint.start(xmllint, {"--noout", "--schema", QStringLiteral(SKYLOUPE_SOURCE_DIR) + "/map/schema/gpx-1.1.xsd",
                         gpxFile.fileName()});
    QVERIFY(lint.waitForFinished(30000));
    QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());

    QFile kmlFile(dir.filePath("track.kml"));
    QVERIFY(kmlFile.open(QIODevice::ReadOnly));
    const QByteArray kml = kmlFile.readAll();
    QCOMPARE(kml.count("<when>"), fixes.size());
    QCOMPARE(kml.count("<gx:coord>"), fixes.size());
    QCOMPARE(kml.count("<gx:value>"), 3 * fixes.size());
    lint.start(xmllint, {"--noout", kmlFile.fileName()});
    QVERIFY(lint.waitForFinished(30000));
    QCOMPARE(lint.exitCode(), 0);
    QVERIFY(QFile::exists(dir.filePath("track.png")));
}

// A GPS track east along the equator from 0 to 0.001 degrees at zoom 18,
// the view centred on its middle: the world is 256 x 2^18 pixels wide, so
// the track spans 0.001 / 360 of that, 186.4 pixels, about the centre.
void TestMap::trackDrawnWhereItLies()
{
    Track track;
    for (int i = 0; i <= 10; ++i) {
        TrackPoint p;
        p.x = MapProjection::fixedX(i * 0.0001);
        p.y = MapProjection::fixedY(0);
        p.kind = quint8(FixKind::Gps);
        p.satellites = 14;
        p.hdopCenti = 80;
        track.addPoint(1.7e9 + i, p);
    }
    QTemporaryDir dir;
    MapView view(&track, nullptr, dir.filePath("config.ini"));
    view.resize(600, 500);
    view.show();
    view.refresh();
    MapCanvas *canvas = view.canvas();
    canvas->resize(400, 300);
    canvas->setViewport(QPointF((180 + 0.0005) / 360, 0.5), 18);
    const QImage image = canvas->grab().toImage();
    const double span = 0.001 / 360 * 256 * std::exp2(18);
    const QColor gps(QRgb(fixKindRgb(FixKind::Gps)));
    auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 40;
    };
    const int quarter = int(std::lround(200 - span / 4));
    QVERIFY(near(image.pixelColor(quarter, 150), gps));
    QVERIFY(near(image.pixelColor(int(200 + span / 4), 150), gps));
    QVERIFY(!near(image.pixelColor(quarter, 120), gps));
    QVERIFY(!near(image.pixelColor(int(200 + span / 2 + 30), 150), gps));

    // A click on the third point reads it out.
    QCOMPARE(canvas->pick(QPoint(int(std::lround(200 - span / 2 + span * 0.2)), 151)), 2);
    QVERIFY(view.pointText(2).contains("GPS, 14 satellites used, HDOP 0.80"));
}

QTEST_MAIN(TestMap)
#include "test_map.moc"
