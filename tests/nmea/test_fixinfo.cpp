// Position and fix information read from GGA and GSA sentences.
#include "nmea/fixinfo.h"
#include "nmea/nmeafields.h"

#include <QtTest>

Q_DECLARE_METATYPE(FixStatus)

class TestFixInfo : public QObject
{
    Q_OBJECT

private slots:
    void utcTime_data();
    void utcTime();
    void degrees_data();
    void degrees();
    void gga_data();
    void gga();
    void dops_data();
    void dops();
    void fixedSatellites_data();
    void fixedSatellites();
    void fixSequence_data();
    void fixSequence();
};

void TestFixInfo::utcTime_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("shown");
    QTest::newRow("three decimals") << QByteArray("123519.000") << QStringLiteral("12:35:19.000");
    QTest::newRow("two decimals") << QByteArray("123519.00") << QStringLiteral("12:35:19.00");
    QTest::newRow("one decimal") << QByteArray("123519.5") << QStringLiteral("12:35:19.5");
    QTest::newRow("no decimals") << QByteArray("123519") << QStringLiteral("12:35:19");
    QTest::newRow("empty field") << QByteArray() << QStringLiteral("::");
    QTest::newRow("cut after the minutes") << QByteArray("1235") << QStringLiteral("12:35:");
    QTest::newRow("one character") << QByteArray("1") << QStringLiteral("1::");
}

void TestFixInfo::utcTime()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, shown);
    QCOMPARE(utcTimeText(field), shown);
}

void TestFixInfo::degrees_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("shown");
    // 48 degrees and 7.038 minutes: 48 + 7.038 / 60 = 48.1173 exactly.
    QTest::newRow("latitude worked example") << QByteArray("4807.038") << QStringLiteral("48.117300");
    QTest::newRow("longitude with leading zero") << QByteArray("01131.000") << QStringLiteral("11.516667");
    QTest::newRow("three-digit longitude") << QByteArray("12158.3416") << QStringLiteral("121.972360");
    QTest::newRow("eight decimals of minutes") << QByteArray("3953.88008971") << QStringLiteral("39.898001");
    QTest::newRow("minutes only") << QByteArray("0030.000") << QStringLiteral("0.500000");
    QTest::newRow("empty field") << QByteArray() << QStringLiteral("0.000000");
    QTest::newRow("not a number") << QByteArray("N") << QStringLiteral("0.000000");
    QTest::newRow("nan text") << QByteArray("nan") << QStringLiteral("0.000000");
}

void TestFixInfo::degrees()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, shown);
    QCOMPARE(degreesText(field), shown);
}

void TestFixInfo::gga_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("shown");   // time, lat, N/S, lon, E/W, in use, altitude

    QTest::newRow("worked example")
            << QByteArray("$GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r")
            << QStringList{"12:35:19.000", "48.117300", "N", "11.516667", "E", "08", "545.4"};
    QTest::newRow("southern and western hemisphere keep the sign")
            << QByteArray("$GNGGA,001043.00,3342.6618,S,07033.3488,W,2,12,0.71,520.2,M,32.1,M,,0000*4D\r")
            << QStringList{"00:10:43.00", "33.711030", "S", "70.555813", "W", "12", "520.2"};
    QTest::newRow("no fix yet: empty fields")
            << QByteArray("$GPGGA,,,,,,0,00,99.99,,,,,,*48\r")
            << QStringList{"::", "0.000000", "", "0.000000", "", "00", ""};
    QTest::newRow("line cut after the time")
            << QByteArray("$GPGGA,123519")
            << QStringList{"12:35:19", "0.000000", "", "0.000000", "", "", ""};
    QTest::newRow("LF-only line, altitude last before checksum")
            << QByteArray("$GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4*1F")
            << QStringList{"12:35:19.000", "48.117300", "N", "11.516667", "E", "08", "545.4"};
}

void TestFixInfo::gga()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, shown);
    const GgaValues v = readGga(NmeaFields(line));
    QCOMPARE(QStringList({v.utcTime, v.latitude, v.northSouth, v.longitude, v.eastWest,
                          v.satsInUse, v.altitude}), shown);
}

void TestFixInfo::dops_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("pdop");
    QTest::addColumn<QString>("hdop");
    QTest::addColumn<QString>("vdop");
    QTest::newRow("NMEA 4.10 with system ID")
            << QByteArray("$GNGSA,A,3,05,13,,,,,,,,,,,1.8,1.0,1.5,1*33\r") << "1.8" << "1.0" << "1.5";
    QTest::newRow("NMEA 3 VDOP without checksum and CR")
            << QByteArray("$GPGSA,A,3,05,13,,,,,,,,,,,3.6,2.1,2.1*39\r") << "3.6" << "2.1" << "2.1";
    QTest::newRow("LF-only line")
            << QByteArray("$GPGSA,A,3,05,13,,,,,,,,,,,3.6,2.1,2.1*39") << "3.6" << "2.1" << "2.1";
    QTest::newRow("cut line: DOPs empty")
            << QByteArray("$GPGSA,A,3,05") << "" << "" << "";
}

void TestFixInfo::dops()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, pdop);
    QFETCH(QString, hdop);
    QFETCH(QString, vdop);
    FixState state;
    int noFix = 0;
    const GsaUpdate u = state.applyGsa(line, noFix);
    QCOMPARE(u.pdop, pdop);
    QCOMPARE(u.hdop, hdop);
    QCOMPARE(u.vdop, vdop);
}

void TestFixInfo::fixedSatellites_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("column");      // 0: no fixed-satellite cell
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("writesQzss");
    QTest::addColumn<QString>("qzss");

    QTest::newRow("GPS with QZSS and SBAS numbers")
            << QByteArray("$GNGSA,A,3,05,13,195,47,,,,,,,,,1.8,1.0,1.5,1*0A\r") << 1 << "05,13," << true << "195,";
    QTest::newRow("GPS without QZSS clears the QZSS cell")
            << QByteArray("$GPGSA,A,3,05,13,15,29,,,,,,,,,1.8,1.0,1.5*33\r") << 1 << "05,13,15,29," << true << "";
    QTest::newRow("GPS boundaries 1, 32, 193, 200; 0, 33, 201 left out")
            << QByteArray("$GPGSA,A,3,1,32,193,200,0,33,201,,,,,,1.8,1.0,1.5*33\r") << 1 << "1,32," << true << "193,200,";
    QTest::newRow("old GPS GSA whose VDOP ends in 2")
            << QByteArray("$GPGSA,A,3,05,13,,,,,,,,,,,2.5,1.3,2.2*3C\r") << 1 << "05,13," << true << "";
    QTest::newRow("GLONASS lists every number")
            << QByteArray("$GNGSA,A,3,65,66,05,,,,,,,,,,1.8,1.0,1.5,2*3C\r") << 2 << "65,66,05," << false << "";
    QTest::newRow("GLONASS by talker")
            << QByteArray("$GLGSA,A,3,70,,,,,,,,,,,,1.8,1.0,1.5*2C\r") << 2 << "70," << false << "";
    QTest::newRow("Galileo")
            << QByteArray("$GNGSA,A,3,11,21,19,,,,,,,,,,1.44,0.87,1.15,3*0D\r") << 3 << "11,21,19," << false << "";
    QTest::newRow("BeiDou by BD talker")
            << QByteArray("$BDGSA,A,3,201,202,,,,,,,,,,,1.8,1.0,1.5*2C\r") << 4 << "201,202," << false << "";
    QTest::newRow("QZSS system ID 5 fills the QZSS cell")
            << QByteArray("$GNGSA,A,3,193,194,,,,,,,,,,,1.8,1.0,1.5,5*0F\r") << 5 << "193,194," << false << "";
    QTest::newRow("LF-only GLONASS line")
            << QByteArray("$GNGSA,A,3,65,66,,,,,,,,,,,1.8,1.0,1.5,2*3C") << 2 << "65,66," << false << "";
    QTest::newRow("GN without ID told by GLONASS numbers")
            << QByteArray("$GNGSA,A,3,70,71,,,,,,,,,,,2.5,1.3,2.1*2D\r") << 2 << "70,71," << false << "";
    QTest::newRow("GN without ID and without numbers")
            << QByteArray("$GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9*2E\r") << 0 << "" << false << "";
    QTest::newRow("cut line") << QByteArray("$GNGSA,A") << 0 << "" << false << "";
    QTest::newRow("one character") << QByteArray("$") << 0 << "" << false << "";
}

void TestFixInfo::fixedSatellites()
{
    QFETCH(QByteArray, line);
    QFETCH(int, column);
    QFETCH(QString, list);
    QFETCH(bool, writesQzss);
    QFETCH(QString, qzss);
    FixState state;
    int noFix = 0;
    const GsaUpdate u = state.applyGsa(line, noFix);
    QCOMPARE(u.fixedColumn, column);
    QCOMPARE(u.fixedList, list);
    QCOMPARE(u.writesQzss, writesQzss);
    QCOMPARE(u.qzssList, qzss);
    QCOMPARE(u.centreTwoDLabel, column == 1);
}

namespace {

QByteArray gsa(int system, const char *fixType)
{
    // A 4.10 GSA of the system with twelve satellite fields.
    static const char *const sats[] = {"", "05,13", "65,66", "11,12", "201,202", "193,194"};
    return QByteArray("$GNGSA,A,") + fixType + ',' + sats[system]
            + ",,,,,,,,,,,1.8,1.0,1.5," + QByteArray::number(system) + "*00\r";
}

} // namespace

void TestFixInfo::fixSequence_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<int>("startCount");          // the no-fix counter before the first line
    QTest::addColumn<QList<int>>("firstFixAt");   // indices of lines that are a first fix
    QTest::addColumn<FixStatus>("status");        // after the last line
    QTest::addColumn<int>("endCount");

    QTest::newRow("GPS 3D")
            << QList<QByteArray>{gsa(1, "3")} << 0 << QList<int>{} << FixStatus::ThreeD << 0;
    QTest::newRow("GPS loses fix while GLONASS keeps 2D")
            << QList<QByteArray>{gsa(1, "3"), gsa(2, "2"), gsa(1, "1")} << 0 << QList<int>{} << FixStatus::TwoD << 0;
    QTest::newRow("no fix once GLONASS also reports 1")
            << QList<QByteArray>{gsa(1, "3"), gsa(2, "2"), gsa(1, "1"), gsa(2, "1")}
            << 0 << QList<int>{} << FixStatus::None << 1;
    QTest::newRow("restart, no fix twice, then a fix: one first fix")
            << QList<QByteArray>{gsa(1, "1"), gsa(1, "1"), gsa(1, "2"), gsa(1, "3"), gsa(2, "3")}
            << 0 << QList<int>{2} << FixStatus::ThreeD << 0;
    QTest::newRow("fix lost and found again without a restart")
            << QList<QByteArray>{gsa(1, "1"), gsa(1, "3"), gsa(1, "1"), gsa(1, "3")}
            << 0 << QList<int>{1, 3} << FixStatus::ThreeD << 0;
    QTest::newRow("fix right after a restart is not a first fix")
            << QList<QByteArray>{gsa(1, "3"), gsa(1, "3")} << 0 << QList<int>{} << FixStatus::ThreeD << 0;
    QTest::newRow("counter counts GSA sentences, not epochs")
            << QList<QByteArray>{gsa(1, "1"), gsa(2, "1"), gsa(3, "1"), gsa(4, "1")}
            << 0 << QList<int>{} << FixStatus::None << 4;
    QTest::newRow("empty fix type keeps the flags")
            << QList<QByteArray>{gsa(1, "3"), gsa(1, "")} << 0 << QList<int>{} << FixStatus::ThreeD << 0;
    QTest::newRow("unknown fix type keeps the flags")
            << QList<QByteArray>{gsa(3, "2"), gsa(3, "7")} << 0 << QList<int>{} << FixStatus::TwoD << 0;
    QTest::newRow("QZSS GSA changes no flag")
            << QList<QByteArray>{gsa(5, "3")} << 0 << QList<int>{} << FixStatus::None << 1;
    QTest::newRow("QZSS GSA after no fix still counts")
            << QList<QByteArray>{gsa(1, "1"), gsa(5, "3")} << 0 << QList<int>{} << FixStatus::None << 2;
    QTest::newRow("unknown system takes part in the status")
            << QList<QByteArray>{gsa(4, "3"), QByteArray("$GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9*2E\r")}
            << 3 << QList<int>{0} << FixStatus::ThreeD << 0;
    QTest::newRow("counter held from before")
            << QList<QByteArray>{gsa(2, "2")} << 5 << QList<int>{0} << FixStatus::TwoD << 0;
    QTest::newRow("counter does not overflow")
            << QList<QByteArray>{gsa(1, "1")} << INT_MAX << QList<int>{} << FixStatus::None << INT_MAX;
}

void TestFixInfo::fixSequence()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(int, startCount);
    QFETCH(QList<int>, firstFixAt);
    QFETCH(FixStatus, status);
    QFETCH(int, endCount);

    FixState state;
    int noFix = startCount;
    QList<int> firstFixes;
    GsaUpdate last;
    for (int i = 0; i < lines.size(); ++i) {
        last = state.applyGsa(lines.at(i), noFix);
        if (last.firstFix)
            firstFixes.append(i);
    }
    QCOMPARE(firstFixes, firstFixAt);
    QCOMPARE(last.status, status);
    QCOMPARE(state.status(), status);
    QCOMPARE(noFix, endCount);
}

QTEST_APPLESS_MAIN(TestFixInfo)
#include "test_fixinfo.moc"
