// The map: what decimation keeps, the GPX and KML of a simulated drive, and
// the track drawn where its coordinates say.
#include "e2e/simprocess.h"
#include "map/mapcanvas.h"
#include "map/mapprojection.h"
#include "map/mapview.h"
#include "map/track.h"
#include "map/trackdecimation.h"
#include "map/trackexport.h"
#include "receiver/epochassembler.h"

#include <QBuffer>
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
    void projection_data();
    void projection();
    void decimation_data();
    void decimation();
    void captureTrack_data();
    void captureTrack();
    void driveExportsEveryFix();
    void trackDrawnWhereItLies();
};

void TestMap::projection_data()
{
    // Tile numbers as tile servers name them: x = (lon + 180) / 360 * 2^z.
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("tileX");
    QTest::addColumn<int>("tileY");
    QTest::newRow("London's tile at zoom 10") << 51.5 << -0.12 << 10 << 511 << 340;
    QTest::newRow("null island at zoom 1") << 0.0001 << 0.0001 << 1 << 1 << 0;
    QTest::newRow("south-west corner of that tile") << -0.0001 << -0.0001 << 1 << 0 << 1;
}

void TestMap::projection()
{
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(int, zoom);
    QFETCH(int, tileX);
    QFETCH(int, tileY);
    QCOMPARE(int(MapProjection::worldX(longitude) * (1 << zoom)), tileX);
    QCOMPARE(int(MapProjection::worldY(latitude) * (1 << zoom)), tileY);
    // Fixed point and back, within a centimetre.
    TrackPoint p;
    p.x = MapProjection::fixedX(longitude);
    p.y = MapProjection::fixedY(latitude);
    QVERIFY(std::abs(p.latitude() - latitude) < 1e-7);
    QVERIFY(std::abs(p.longitude() - longitude) < 1e-7);
}

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

void TestMap::captureTrack_data()
{
    // Counted in the files by their GGA lines (field 6 the quality); the
    // first circle from the first GST's latitude and longitude sigmas
    // (fields 6 and 7), else the first GGA's HDOP x 5 m.
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("ofKind");
    QTest::addColumn<double>("firstRadius");
    QTest::newRow("RTK rover, GST 0.050 and 0.049 m") << "dotmorten_trimble-r2_rtk_shared-gsv-sequence_ptnl.txt" << 34
                                                     << "RTK float" << 9 << std::hypot(0.050, 0.049);
    QTest::newRow("DGPS, GST 0.4 and 0.6 m") << "gpsd_skytraq-s2525f8_dgps_qzss193-in-gpgsv_psti.log" << 96 << "DGPS"
                                             << 96 << std::hypot(0.4, 0.6);
    QTest::newRow("fix lost for 4 s, no GST: HDOP 0.69") << "gpsd_unicore-um621_nmea411_fixloss_junk-talkers.log" << 20
                                                         << "No fix" << 4 << 0.69 * 5;
}

// A real receiver's capture, epoch by epoch into the track: every position
// is a point of its kind, the accuracy circle comes from GST where sent,
// and the GPX holds them all.
void TestMap::captureTrack()
{
    QFETCH(QString, file);
    QFETCH(int, points);
    QFETCH(QString, kind);
    QFETCH(int, ofKind);
    QFETCH(double, firstRadius);
    QFile in(QStringLiteral(SKYLOUPE_CAPTURE_DIR) + "/" + file);
    if (!in.open(QIODevice::ReadOnly))
        QSKIP("the recorded captures (../shared/nmea) are not here");
    EpochAssembler assembler;
    for (const QByteArray &line : in.readAll().split('\n'))
        assembler.addLine(line);
    assembler.finish();
    Track track;
    for (const Epoch &epoch : assembler.takeFinished())
        track.addEpoch(epoch);
    QCOMPARE(track.size(), points);
    QVERIFY(std::abs(track.accuracyRadius(0) - firstRadius) < 0.006);

    QBuffer gpx;
    gpx.open(QIODevice::WriteOnly);
    QString error;
    QVERIFY(TrackExport::writeGpx(track, &gpx, &error));
    QCOMPARE(gpx.data().count("<trkpt "), points);
    QCOMPARE(gpx.data().count(QStringLiteral("<type>%1</type>").arg(kind).toUtf8()), ofKind);
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
