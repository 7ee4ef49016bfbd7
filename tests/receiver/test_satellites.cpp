// The satellite snapshot and the per-constellation statistics.
#include "nmea/nmeafields.h"
#include "receiver/skysnapshot.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QRegularExpression>
#include <QtTest>

#include <tuple>

using ByteList = QList<QByteArray>;
using Cells = QMap<QString, QString>;

namespace {

// A satellite group of a GSV message: number as sent, elevation, azimuth, CNR.
struct Sat
{
    QByteArray prn;
    QByteArray elevation;
    QByteArray azimuth;
    QByteArray cnr;
};

QByteArray withChecksum(const QByteArray &body)
{
    quint8 sum = 0;
    for (int i = 1; i < body.size(); ++i)
        sum ^= quint8(body.at(i));
    return body + '*' + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper() + "\r\n";
}

// "$GPGSV,1,1,<in view>,<groups>[,<signal id>]*hh\r\n"
QByteArray gsv(const QByteArray &talker, const QList<Sat> &sats, bool signalId = true)
{
    QByteArray body = "$" + talker + "GSV,1,1," + QByteArray::number(sats.size());
    for (const Sat &s : sats)
        body += "," + s.prn + "," + s.elevation + "," + s.azimuth + "," + s.cnr;
    if (signalId)
        body += ",1";
    return withChecksum(body);
}

// "$GNGSA,A,3,<12 satellite fields>,1.8,1.0,1.5[,<system id>]*hh\r\n"
QByteArray gsa(const QByteArray &talker, const QList<QByteArray> &prns, const QByteArray &systemId)
{
    QByteArray body = "$" + talker + "GSA,A,3";
    for (int i = 0; i < 12; ++i)
        body += "," + (i < prns.size() ? prns.at(i) : QByteArray());
    body += ",1.8,1.0,1.5";
    if (!systemId.isEmpty())
        body += "," + systemId;
    return withChecksum(body);
}

const QByteArray AnyGsa = gsa("GN", {}, "1");

// A line written with any checksum, given its right one.
QByteArray sealed(const char *body)
{
    return withChecksum(body);
}

Cells cellsOf(const QList<GridCell> &cells)
{
    Cells map;
    for (const GridCell &c : cells)
        map.insert(QStringLiteral("%1,%2").arg(c.row).arg(c.column), c.text);
    return map;
}

// Rows 1, 3 and 4, columns 1 to 5, GPS to QZSS.
Cells grid(const QStringList &inView, const QStringList &average, const QStringList &peak)
{
    Cells map;
    for (int c = 0; c < 5; ++c) {
        map.insert(QStringLiteral("1,%1").arg(c + 1), inView.at(c));
        map.insert(QStringLiteral("3,%1").arg(c + 1), average.at(c));
        map.insert(QStringLiteral("4,%1").arg(c + 1), peak.at(c));
    }
    return map;
}

const QStringList Zeros = {"0.00", "0.00", "0.00", "0.00", "0.00"};
const QStringList NoneInView = {"00", "00", "00", "00", "00"};
QStringList inView(const char *gps, const char *qzss)
{
    return {QString::fromLatin1(gps), "00", "00", "00", QString::fromLatin1(qzss)};
}

} // namespace

class TestSatellites : public QObject
{
    Q_OBJECT

private slots:
    void satelliteCount_data();
    void satelliteCount();
    void snapshotLabels_data();
    void snapshotLabels();
    void usedMark_data();
    void usedMark();
    void snapshotValuesAndColours();
    void statistics_data();
    void statistics();
    void epochWithoutSkyKeepsStatistics();
    void realCaptures_data();
    void realCaptures();
};

void TestSatellites::satelliteCount_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("count");
    QTest::newRow("four satellites with signal ID (21 fields)")
        << QByteArray(sealed("$GPGSV,3,1,11,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45,1")) << 4;
    QTest::newRow("four satellites without signal ID (20 fields)")
        << QByteArray(sealed("$GPGSV,3,1,11,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45")) << 4;
    QTest::newRow("three satellites with signal ID")
        << QByteArray(sealed("$GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00,0")) << 3;
    QTest::newRow("three satellites without signal ID")
        << QByteArray(sealed("$GPGSV,3,3,11,22,42,067,42,24,14,311,43,27,05,244,00")) << 3;
    QTest::newRow("no satellite, signal ID only") << QByteArray(sealed("$GQGSV,1,1,00,0")) << 0;
    QTest::newRow("one complete group in 8 fields") << QByteArray(sealed("$GPGSV,1,1,01,05,40,083,46")) << 1;
    QTest::newRow("incomplete group is no satellite") << QByteArray("$GPGSV,1,1,01,05,40,083\r\n") << 0;
    QTest::newRow("empty line") << QByteArray() << 0;
}

void TestSatellites::satelliteCount()
{
    QFETCH(QByteArray, line);
    QFETCH(int, count);
    QCOMPARE(gsvSatelliteCount(NmeaFields(line)), count);
}

void TestSatellites::snapshotLabels_data()
{
    QTest::addColumn<ByteList>("gsvBatch");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("QZSS then SBAS after all others, whatever the arrival order")
        << ByteList{gsv("GP", {{"40", "30", "200", "40"}, {"195", "50", "100", "35"}, {"05", "10", "20", "30"}}),
                    gsv("GL", {{"70", "20", "10", "25"}}),
                    gsv("GA", {{"11", "20", "10", "25"}}),
                    gsv("GB", {{"23", "20", "10", "25"}})}
        << QStringList{"G05", "R70", "E11", "B23", "Q195", "S40"};
    // NMEA 2.x-4.0 receivers number every constellation under $GP or $GN.
    QTest::newRow("$GP numbering: GPS, SBAS 33-64 (labelled as sent), GLONASS 65-96, SBAS 120-158, QZSS 193-200")
        << ByteList{gsv("GP", {{"32", "1", "2", "3"}, {"34", "1", "2", "3"}, {"64", "1", "2", "3"}, {"65", "1", "2", "3"},
                               {"96", "1", "2", "3"}, {"97", "1", "2", "3"}, {"119", "1", "2", "3"}, {"120", "1", "2", "3"},
                               {"158", "1", "2", "3"}, {"159", "1", "2", "3"}, {"200", "1", "2", "3"}, {"201", "1", "2", "3"}})}
        << QStringList{"G32", "R65", "R96", "B01", "Q200", "S34", "S64", "S120", "S158"};
    QTest::newRow("$GN numbers as $GP; $GL 65-96; $GA 101-136 only")
        << ByteList{gsv("GN", {{"05", "1", "2", "3"}, {"89", "1", "2", "3"}, {"101", "1", "2", "3"}}),
                    gsv("GL", {{"95", "1", "2", "3"}, {"05", "1", "2", "3"}}), gsv("GA", {{"101", "1", "2", "3"}})}
        << QStringList{"G05", "R89", "R95", "E01"};
    QTest::newRow("other talkers contribute nothing")
        << ByteList{gsv("IM", {{"05", "1", "2", "3"}}), gsv("GP", {{"07", "1", "2", "3"}})}
        << QStringList{"G07"};
    QTest::newRow("$PQGSV is BeiDou like $PQGSA")
        << ByteList{gsv("PQ", {{"07", "1", "2", "3"}})} << QStringList{"B07"};
    QTest::newRow("$BD is BeiDou like $GB")
        << ByteList{gsv("BD", {{"07", "1", "2", "3"}, {"64", "1", "2", "3"}}), gsv("GB", {{"08", "1", "2", "3"}})}
        << QStringList{"B07", "B08"};
    QTest::newRow("$GQ and $QZ are QZSS numbered 1 to 10, labelled as received")
        << ByteList{gsv("GQ", {{"02", "1", "2", "3"}, {"11", "1", "2", "3"}}), gsv("QZ", {{"1", "1", "2", "3"}}),
                    gsv("GP", {{"193", "1", "2", "3"}, {"12", "1", "2", "3"}})}
        << QStringList{"G12", "Q02", "Q1", "Q193"};
    QTest::newRow("fourth satellite of a message without signal ID is kept")
        << ByteList{gsv("GP", {{"01", "1", "2", "3"}, {"02", "1", "2", "3"}, {"03", "1", "2", "3"},
                               {"04", "1", "2", "3"}}, false)}
        << QStringList{"G01", "G02", "G03", "G04"};
    QTest::newRow("signal ID is never a satellite")
        << ByteList{sealed("$GPGSV,1,1,02,05,40,083,46,07,10,100,30,8")} << QStringList{"G05", "G07"};
    QTest::newRow("a satellite listed twice is drawn once")
        << ByteList{gsv("GP", {{"05", "1", "2", "3"}, {"193", "1", "2", "3"}}),
                    gsv("GP", {{"05", "1", "2", "3"}, {"193", "1", "2", "3"}})}
        << QStringList{"G05", "Q193"};
    QTest::newRow("extended numbers by their constellation's own number")
        << ByteList{gsv("BD", {{"214", "1", "2", "3"}}), gsv("GP", {{"401", "1", "2", "3"}, {"302", "1", "2", "3"}}),
                    gsv("GA", {{"136", "1", "2", "3"}})}
        << QStringList{"B14", "B01", "E02", "E36"};
}

void TestSatellites::snapshotLabels()
{
    QFETCH(ByteList, gsvBatch);
    QFETCH(QStringList, labels);
    SatelliteTracker tracker;
    const std::optional<SatelliteSnapshot> snapshot = tracker.update(gsvBatch, {AnyGsa});
    QVERIFY(snapshot);
    QCOMPARE(QStringList(snapshot->labels), labels);
    // Six parallel lists of one length.
    QCOMPARE(snapshot->elevations.size(), labels.size());
    QCOMPARE(snapshot->azimuths.size(), labels.size());
    QCOMPARE(snapshot->cnrs.size(), labels.size());
    QCOMPARE(snapshot->outlines.size(), labels.size());
    QCOMPARE(snapshot->fills.size(), labels.size());
}

void TestSatellites::usedMark_data()
{
    QTest::addColumn<ByteList>("gsvBatch");
    QTest::addColumn<ByteList>("gsaBatch");
    QTest::addColumn<QList<int>>("fillAlphas");

    const QByteArray gps = gsv("GP", {{"05", "40", "83", "46"}, {"07", "10", "100", "30"}});
    QTest::newRow("GPS satellite in the GPS GSA is used")
        << ByteList{gps} << ByteList{gsa("GN", {"05"}, "1")} << QList<int>{255, 30};
    QTest::newRow("same number only in the Galileo GSA is not")
        << ByteList{gps} << ByteList{gsa("GN", {"05", "07"}, "3")} << QList<int>{30, 30};
    QTest::newRow("system ID field decides, not the character before the end")
        << ByteList{gps} << ByteList{sealed("$GNGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.1,3")} << QList<int>{30, 30};
    QTest::newRow("GSA without system ID goes by its talker")
        << ByteList{gps} << ByteList{gsa("GP", {"07"}, "")} << QList<int>{30, 255};
    QTest::newRow("$GN GSA without system ID goes by its numbers")
        << ByteList{gsv("GL", {{"70", "1", "2", "3"}}), gps}
        << ByteList{gsa("GN", {"05"}, ""), gsa("GN", {"70"}, "")} << QList<int>{255, 255, 30};
    QTest::newRow("empty satellite field never matches")
        << ByteList{gps} << ByteList{gsa("GN", {"", "0"}, "1")} << QList<int>{30, 30};
    QTest::newRow("SBAS 40 and QZSS 193 listed by the GPS GSA are used")
        << ByteList{gsv("GP", {{"40", "1", "2", "3"}, {"193", "1", "2", "3"}, {"133", "1", "2", "3"}})}
        << ByteList{gsa("GN", {"40", "193"}, "1")} << QList<int>{255, 255, 30};
    QTest::newRow("$GNGSA without system ID: BeiDou 201, Galileo 305, GLONASS 70 by their numbers")
        << ByteList{gsv("GB", {{"01", "1", "2", "3"}}), gsv("GA", {{"05", "1", "2", "3"}}), gsv("GL", {{"70", "1", "2", "3"}})}
        << ByteList{gsa("GN", {"201", "305", "70"}, "")} << QList<int>{255, 255, 255};
    QTest::newRow("$GQ QZSS by system ID 5 only")
        << ByteList{gsv("GQ", {{"02", "1", "2", "3"}, {"03", "1", "2", "3"}})}
        << ByteList{gsa("GN", {"02"}, "5"), gsa("GN", {"03"}, "1")} << QList<int>{255, 30};
    QTest::newRow("BeiDou 214 by a $BDGSA listing 214, 401 by one listing 401")
        << ByteList{gsv("BD", {{"214", "1", "2", "3"}, {"401", "1", "2", "3"}, {"02", "1", "2", "3"}})}
        << ByteList{gsa("BD", {"214"}, ""), gsa("GN", {"401"}, "4")} << QList<int>{255, 255, 30};
    QTest::newRow("$BD BeiDou by system ID 4 and by a $BDGSA")
        << ByteList{gsv("BD", {{"07", "1", "2", "3"}, {"08", "1", "2", "3"}})}
        << ByteList{gsa("GN", {"07"}, "4"), gsa("BD", {"08"}, "")} << QList<int>{255, 255};
}

void TestSatellites::usedMark()
{
    QFETCH(ByteList, gsvBatch);
    QFETCH(ByteList, gsaBatch);
    QFETCH(QList<int>, fillAlphas);
    SatelliteTracker tracker;
    const std::optional<SatelliteSnapshot> snapshot = tracker.update(gsvBatch, gsaBatch);
    QVERIFY(snapshot);
    QList<int> alphas;
    for (int i = 0; i < snapshot->size(); ++i) {
        alphas.append(snapshot->fills.at(i).alpha);
        QCOMPARE(snapshot->outlines.at(i).alpha, 255);
    }
    QCOMPARE(alphas, fillAlphas);
}

void TestSatellites::snapshotValuesAndColours()
{
    SatelliteTracker tracker;
    const std::optional<SatelliteSnapshot> snapshot = tracker.update(
        {gsv("GP", {{"05", "40", "083", "46"}, {"07", "", "x", ""}, {"45", "12", "300", "33"}}),
         gsv("GL", {{"70", "5", "6", "7"}}), gsv("GA", {{"01", "5", "6", "7"}}),
         gsv("BD", {{"01", "5", "6", "7"}}), gsv("GQ", {{"01", "5", "6", "7"}})},
        {gsa("GN", {"05"}, "1")});
    QVERIFY(snapshot);
    QCOMPARE(QStringList(snapshot->labels), QStringList({"G05", "G07", "R70", "E01", "B01", "Q01", "S45"}));
    QCOMPARE(snapshot->elevations, QList<float>({40, 0, 5, 5, 5, 5, 12}));
    QCOMPARE(snapshot->azimuths, QList<float>({83, 0, 6, 6, 6, 6, 300}));
    QCOMPARE(snapshot->cnrs, QList<float>({46, 0, 7, 7, 7, 7, 33}));
    const QList<SatelliteColour> outlines = {{100, 100, 255, 255}, {100, 100, 255, 255}, {255, 153, 0, 255},
                                             {97, 146, 0, 255},    {153, 102, 51, 255},  {242, 98, 0, 255},
                                             {216, 244, 78, 255}};
    QCOMPARE(snapshot->outlines.size(), outlines.size());
    for (int i = 0; i < outlines.size(); ++i) {
        QVERIFY2(snapshot->outlines.at(i) == outlines.at(i), qPrintable(snapshot->labels.at(i)));
        SatelliteColour fill = outlines.at(i);
        fill.alpha = i == 0 ? 255 : 30;
        QVERIFY2(snapshot->fills.at(i) == fill, qPrintable(snapshot->labels.at(i)));
    }
}

void TestSatellites::statistics_data()
{
    QTest::addColumn<ByteList>("gsvBatch");
    QTest::addColumn<Cells>("cells");

    QTest::newRow("GPS 45 40 38 38 30 0: peak 45, top-4 average 40.25")
        << ByteList{gsv("GP", {{"01", "1", "1", "45"}, {"02", "1", "1", "38"}, {"03", "1", "1", "30"},
                               {"04", "1", "1", "40"}}),
                    gsv("GP", {{"05", "1", "1", "0"}, {"06", "1", "1", "38"}})}
        << grid(inView("06", "00"), {"40.25", "0.00", "0.00", "0.00", "0.00"}, {"45.00", "0.00", "0.00", "0.00", "0.00"});
    QTest::newRow("two values: mean of both")
        << ByteList{gsv("GP", {{"01", "1", "1", "44"}, {"02", "1", "1", "40"}, {"03", "1", "1", ""}})}
        << grid(inView("03", "00"), {"42.00", "0.00", "0.00", "0.00", "0.00"}, {"44.00", "0.00", "0.00", "0.00", "0.00"});
    QTest::newRow("none above 0: both 0.00, still in view")
        << ByteList{gsv("GP", {{"01", "1", "1", "0"}, {"02", "1", "1", ""}})} << grid(inView("02", "00"), Zeros, Zeros);
    QTest::newRow("one value per constellation")
        << ByteList{gsv("GL", {{"66", "1", "1", "31"}}), gsv("GA", {{"02", "1", "1", "32"}}),
                    gsv("BD", {{"03", "1", "1", "33"}}), gsv("GQ", {{"04", "1", "1", "34"}})}
        << grid({"00", "01", "01", "01", "01"}, {"0.00", "31.00", "32.00", "33.00", "34.00"},
                {"0.00", "31.00", "32.00", "33.00", "34.00"});
    QTest::newRow("QZSS from $GP and $GQ together; SBAS in no statistics")
        << ByteList{gsv("GP", {{"193", "1", "1", "20"}, {"40", "1", "1", "50"}, {"10", "1", "1", "25"}}),
                    gsv("GQ", {{"02", "1", "1", "30"}})}
        << grid(inView("01", "02"), {"25.00", "0.00", "0.00", "0.00", "25.00"}, {"25.00", "0.00", "0.00", "0.00", "30.00"});
    QTest::newRow("a satellite listed twice counts once")
        << ByteList{gsv("GP", {{"05", "1", "1", "20"}, {"193", "1", "1", "22"}}),
                    gsv("GP", {{"05", "1", "1", "20"}, {"193", "1", "1", "22"}})}
        << grid(inView("01", "01"), {"20.00", "0.00", "0.00", "0.00", "22.00"}, {"20.00", "0.00", "0.00", "0.00", "22.00"});
    QTest::newRow("satellite out of range is in no statistics")
        << ByteList{gsv("GL", {{"97", "1", "1", "50"}})} << grid(NoneInView, Zeros, Zeros);
    QTest::newRow("in view counts distinct satellites, not field 3 as sent")
        << ByteList{sealed("$GLGSV,2,1,13,65,45,120,38,66,10,100,30"), sealed("$GAGSV,1,1,,01,45,120,38"),
                    sealed("$GBGSV,1,1,00,0"), sealed("$GBGSV,1,1,01,12,45,120,38,1"), sealed("$GBGSV,1,1,01,12,45,120,33,5")}
        << grid({"00", "02", "01", "01", "00"}, {"0.00", "34.00", "38.00", "38.00", "0.00"},
                {"0.00", "38.00", "38.00", "38.00", "0.00"});
    QTest::newRow("a dual-band satellite counts once, by its strongest signal")
        << ByteList{gsv("GP", {{"01", "1", "1", "40"}, {"02", "1", "1", "30"}}),
                    sealed("$GPGSV,1,1,02,01,1,1,36,02,1,1,35,8")}
        << grid(inView("02", "00"), {"37.50", "0.00", "0.00", "0.00", "0.00"},
                {"40.00", "0.00", "0.00", "0.00", "0.00"});
}

void TestSatellites::statistics()
{
    QFETCH(ByteList, gsvBatch);
    QFETCH(Cells, cells);
    SatelliteTracker tracker;
    QVERIFY(tracker.update(gsvBatch, {AnyGsa}));
    QCOMPARE(cellsOf(tracker.statisticsCells()), cells);
}

void TestSatellites::epochWithoutSkyKeepsStatistics()
{
    SatelliteTracker tracker;
    const Cells initial = grid(NoneInView, Zeros, Zeros);
    QCOMPARE(cellsOf(tracker.statisticsCells()), initial);

    const ByteList gps = {gsv("GP", {{"01", "1", "1", "45"}, {"02", "1", "1", "35"}})};
    QVERIFY(tracker.update(gps, {AnyGsa}));
    const Cells held = grid(inView("02", "00"), {"40.00", "0.00", "0.00", "0.00", "0.00"},
                            {"45.00", "0.00", "0.00", "0.00", "0.00"});
    QCOMPARE(cellsOf(tracker.statisticsCells()), held);

    // GSA without GSV, or nothing: no snapshot, values held.
    QVERIFY(!tracker.update(ByteList{}, ByteList{AnyGsa}));
    QVERIFY(!tracker.update(ByteList{}, ByteList{}));
    QCOMPARE(cellsOf(tracker.statisticsCells()), held);

    // The next epoch with satellites, with or without a GSA, resets
    // everything it no longer sees.
    QVERIFY(tracker.update(ByteList{gsv("GL", {{"70", "1", "1", "20"}})}, ByteList{}));
    QCOMPARE(cellsOf(tracker.statisticsCells()),
             grid({"00", "01", "00", "00", "00"}, {"0.00", "20.00", "0.00", "0.00", "0.00"}, {"0.00", "20.00", "0.00", "0.00", "0.00"}));
}

void TestSatellites::realCaptures_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("GPS GLONASS Galileo BeiDou, NMEA 4.11") << "gpsd_ublox-neo-m9n_nmea411_gp-gl-ga-gb.log";
    QTest::newRow("$BD talker with system IDs") << "cn_bdgsv-bd-talker_gngsa-sysid_gsv-sigid0_CRLF.txt";
    QTest::newRow("$GQ QZSS and SBAS, NMEA 4.11") << "hazer_ublox-neo-f10t_l1l5_nmea411_raw.dat";
    QTest::newRow("QZSS 193 in $GPGSV, BeiDou 201 on, no system IDs") << "gpsd_skytraq-s2525f8_dgps_qzss193-in-gpgsv_psti.log";
    QTest::newRow("dual band L1 and L5") << "gpsd_unicore-um621_nmea411_fixloss_junk-talkers.log";
}

// Replays a capture block by block (a block runs from one GGA to the next)
// and checks the unit against a few lines of independent reading: per block
// the satellites of each constellation, their largest CNR, and those listed
// in a GSA of their system. GSA systems are read from the ID field, from
// the talker when it has none.
void TestSatellites::realCaptures()
{
    QFETCH(QString, file);
    QFile capture(QDir(QStringLiteral(SKYLOUPE_CAPTURE_DIR)).filePath(file));
    if (!capture.open(QIODevice::ReadOnly))
        QSKIP(qPrintable(QStringLiteral("capture %1 not found under %2").arg(file, SKYLOUPE_CAPTURE_DIR)));
    const QList<QByteArray> lines = capture.readAll().split('\n');

    const QRegularExpression groupRx(QStringLiteral(",(\\d*),(\\d*),(\\d*),(\\d*)"));
    // The older numbering under $GP and $GN; SBAS 33-64 is PRN 120-151.
    const QList<std::tuple<QString, int, int, int>> gpRanges = {
        {"G", 1, 32, 1}, {"S", 33, 64, 1}, {"R", 65, 96, 2}, {"S", 120, 158, 1}, {"Q", 193, 200, 1}};
    SatelliteTracker tracker;
    int blocks = 0;
    int satellites = 0;
    int used = 0;
    ByteList gsvBatch;
    ByteList gsaBatch;
    auto check = [&]() {
        if (gsvBatch.isEmpty() || gsaBatch.isEmpty())
            return;
        // Independent reading of the block.
        QMap<QString, int> count;   // distinct satellites, by label letter
        QMap<QString, int> peak;
        QSet<QPair<QString, int>> distinct;
        QMap<QPair<int, int>, bool> listed;   // (system, prn)
        for (const QByteArray &raw : gsaBatch) {
            const QString line = QString::fromLatin1(raw).trimmed().section('*', 0, 0);
            const QStringList f = line.split(',');
            int system = f.size() > 18 ? f.at(18).toInt() : 0;
            if (system == 0)
                system = line.startsWith("$GP") ? 1 : line.startsWith("$BD") ? 4 : 0;
            for (int i = 3; i <= 14 && i < f.size(); ++i)
                if (!f.at(i).isEmpty())
                    listed.insert({system, f.at(i).toInt()}, true);
        }
        int expectedUsed = 0;
        for (const QByteArray &raw : gsvBatch) {
            const QString line = QString::fromLatin1(raw).trimmed().section('*', 0, 0);
            const QString talker = line.mid(1, 2);
            // Satellite groups start at field 4, after the fourth comma.
            int at = -1;
            for (int commas = 0; commas < 4 && (at = line.indexOf(',', at + 1)) >= 0;)
                ++commas;
            const QString groups = at < 0 ? QString() : line.mid(at);
            auto it = groupRx.globalMatch(groups);
            while (it.hasNext()) {
                const auto m = it.next();
                const int prn = m.captured(1).toInt();
                const int cnr = m.captured(4).toInt();
                QString letter;
                int system = 0;
                if (talker == "GP" || talker == "GN") {
                    for (const auto &r : gpRanges)
                        if (prn >= std::get<1>(r) && prn <= std::get<2>(r)) {
                            letter = std::get<0>(r);
                            system = std::get<3>(r);
                        }
                } else if (talker == "GL" && prn >= 65 && prn <= 96) {
                    letter = "R"; system = 2;
                } else if (talker == "GA" && prn >= 1 && prn <= 36) {
                    letter = "E"; system = 3;
                } else if ((talker == "GB" || talker == "BD") && prn >= 1 && prn <= 63) {
                    letter = "B"; system = 4;
                } else if ((talker == "GQ" || talker == "QZ") && prn >= 1 && prn <= 10) {
                    letter = "Q"; system = 5;
                } else if (prn >= 201 && prn <= 263) {
                    letter = "B"; system = 4;   // extended BeiDou numbering
                }
                if (letter.isEmpty())
                    continue;
                peak[letter] = qMax(peak.value(letter), cnr);
                if (distinct.contains({letter, prn}))
                    continue;
                distinct.insert({letter, prn});
                count[letter] += 1;
                if (system != 0 && listed.contains({system, prn}))
                    ++expectedUsed;
            }
        }

        const std::optional<SatelliteSnapshot> snapshot = tracker.update(gsvBatch, gsaBatch);
        QVERIFY(snapshot);
        QMap<QString, int> seen;
        int seenUsed = 0;
        for (int i = 0; i < snapshot->size(); ++i) {
            seen[snapshot->labels.at(i).left(1)] += 1;
            seenUsed += snapshot->fills.at(i).alpha == 255 ? 1 : 0;
        }
        QCOMPARE(seen, count);
        QCOMPARE(seenUsed, expectedUsed);
        const EpochStatistics &s = tracker.statistics();
        const QStringList letters = {"G", "R", "E", "B", "Q"};
        for (int c = 0; c < letters.size(); ++c) {
            QCOMPARE(s.constellation[c].inView, count.value(letters.at(c)));
            QCOMPARE(s.constellation[c].peak, float(peak.value(letters.at(c))));
        }
        ++blocks;
        satellites += snapshot->size();
        used += seenUsed;
    };
    for (const QByteArray &line : lines) {
        if (line.startsWith('$') && line.mid(3, 3) == "GGA") {
            check();
            if (QTest::currentTestFailed())
                return;
            gsvBatch.clear();
            gsaBatch.clear();
        } else if (line.startsWith('$') && line.mid(3, 3) == "GSV") {
            gsvBatch.append(line + '\n');
        } else if (line.startsWith('$') && line.mid(3, 3) == "GSA") {
            gsaBatch.append(line + '\n');
        }
    }
    check();
    qInfo("%s: %d blocks, %d satellites, %d used", qPrintable(file), blocks, satellites, used);
    QVERIFY(blocks > 5);
    QVERIFY(used > 0);
}

QTEST_APPLESS_MAIN(TestSatellites)
#include "test_satellites.moc"
