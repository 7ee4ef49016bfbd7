// Reading fields of a line, and which system a GSA line reports on.
#include "nmea/gsasystem.h"
#include "nmea/nmeafields.h"

#include <QtTest>

class TestNmeaFields : public QObject
{
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void numbers_data();
    void numbers();
    void address_data();
    void address();
    void gsaSystem_data();
    void gsaSystem();
};

void TestNmeaFields::fields_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("value");

    const QByteArray gsa3 = "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r";
    QTest::newRow("last field without checksum and CR") << gsa3 << 18 << 17 << QByteArray("2.1");
    QTest::newRow("LF-only line") << QByteArray("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39")
                                  << 18 << 17 << QByteArray("2.1");
    QTest::newRow("CRLF kept by the caller") << gsa3 + '\n' << 18 << 17 << QByteArray("2.1");
    QTest::newRow("empty field in the middle") << gsa3 << 18 << 5 << QByteArray();
    QTest::newRow("field beyond the end is empty") << gsa3 << 18 << 40 << QByteArray();
    QTest::newRow("negative index is empty") << gsa3 << 18 << -1 << QByteArray();
    QTest::newRow("cut line keeps its fields") << QByteArray("$GNRMC,001053.00,A,4404.1") << 4 << 3
                                                << QByteArray("4404.1");
    QTest::newRow("star inside the text is not a checksum") << QByteArray("$GPTXT,a*bcd,e*7F\r\n") << 3 << 1
                                                            << QByteArray("a*bcd");
    QTest::newRow("empty line") << QByteArray() << 1 << 0 << QByteArray();
    QTest::newRow("one character") << QByteArray("$") << 1 << 0 << QByteArray("$");
    QTest::newRow("only a line end") << QByteArray("\r\n") << 1 << 0 << QByteArray();
}

void TestNmeaFields::fields()
{
    QFETCH(QByteArray, line);
    QFETCH(int, count);
    QFETCH(int, index);
    QFETCH(QByteArray, value);
    const NmeaFields f(line);
    QCOMPARE(f.count(), count);
    QCOMPARE(f.at(index), value);
}

void TestNmeaFields::numbers_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("integer");
    QTest::addColumn<double>("real");
    QTest::newRow("zero-padded") << QByteArray("05") << 5 << 5.0;
    QTest::newRow("decimal") << QByteArray("4807.038") << 0 << 4807.038;
    QTest::newRow("empty") << QByteArray() << 0 << 0.0;
    QTest::newRow("not a number") << QByteArray("A") << 0 << 0.0;
    QTest::newRow("negative") << QByteArray("-12") << -12 << -12.0;
}

void TestNmeaFields::numbers()
{
    QFETCH(QByteArray, field);
    QFETCH(int, integer);
    QFETCH(double, real);
    const NmeaFields f("$GPXXX," + field + "*00\r");
    QCOMPARE(f.intAt(1), integer);
    QCOMPARE(f.doubleAt(1), real);
}

void TestNmeaFields::address_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("talker");
    QTest::addColumn<QByteArray>("type");
    QTest::newRow("GPS GSV") << QByteArray("$GPGSV,3,1,11*70\r") << QByteArray("GP") << QByteArray("GSV");
    QTest::newRow("doubled dollar") << QByteArray("$$GNGGA,1*00") << QByteArray("GN") << QByteArray("GGA");
    QTest::newRow("proprietary") << QByteArray("$PAIR001,605,0*3D") << QByteArray("PA") << QByteArray("001");
    QTest::newRow("no dollar") << QByteArray("GPGGA,1") << QByteArray() << QByteArray();
    QTest::newRow("too short") << QByteArray("$G") << QByteArray() << QByteArray();
}

void TestNmeaFields::address()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, talker);
    QFETCH(QByteArray, type);
    const NmeaFields f(line);
    QCOMPARE(f.talker(), talker);
    QCOMPARE(f.type(), type);
}

void TestNmeaFields::gsaSystem_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("system");
    QTest::newRow("system ID 1 on GN") << QByteArray("$GNGSA,A,3,05,13,,,,,,,,,,,1.8,1.0,1.5,1*33\r") << 1;
    QTest::newRow("system ID 3 with GLONASS numbers") << QByteArray("$GNGSA,A,3,70,,,,,,,,,,,,1.8,1.0,1.5,3*33\r") << 3;
    QTest::newRow("system ID 5 QZSS") << QByteArray("$GNGSA,A,3,02,,,,,,,,,,,,1.8,1.0,1.5,5*33\r") << 5;
    QTest::newRow("system ID wins over talker") << QByteArray("$GPGSA,A,3,,,,,,,,,,,,,1.8,1.0,1.5,2*33") << 2;
    QTest::newRow("old GPS GSA whose VDOP ends in 2") << QByteArray("$GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.2*39\r") << 1;
    QTest::newRow("GL talker") << QByteArray("$GLGSA,A,3,70,71,,,,,,,,,,,2.5,1.3,2.1*39\r") << 2;
    QTest::newRow("GA talker") << QByteArray("$GAGSA,A,3,11,,,,,,,,,,,,2.5,1.3,2.1*39\r") << 3;
    QTest::newRow("GB talker") << QByteArray("$GBGSA,A,3,11,,,,,,,,,,,,2.5,1.3,2.1*39\r") << 4;
    QTest::newRow("BD talker") << QByteArray("$BDGSA,A,3,11,,,,,,,,,,,,2.5,1.3,2.1*39\r") << 4;
    QTest::newRow("GN with GPS numbers") << QByteArray("$GNGSA,A,3,05,13,,,,,,,,,,,1.8,1.0,1.5*33\r") << 1;
    QTest::newRow("GN with GLONASS numbers") << QByteArray("$GNGSA,A,3,,70,71,,,,,,,,,,1.8,1.0,1.5*33\r") << 2;
    // SBAS is listed with GPS, as a 4.10 receiver puts it under system 1.
    QTest::newRow("GN with SBAS numbers") << QByteArray("$GNGSA,A,3,120,,,,,,,,,,,,1.8,1.0,1.5*33\r") << 1;
    QTest::newRow("GN with other numbers") << QByteArray("$GNGSA,A,3,99,,,,,,,,,,,,1.8,1.0,1.5*33\r") << 0;
    QTest::newRow("GN without satellites") << QByteArray("$GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9*33\r") << 0;
    QTest::newRow("cut line") << QByteArray("$GNGSA,A,3") << 0;
    QTest::newRow("LF-only 4.10 line") << QByteArray("$GNGSA,A,3,05,13,,,,,,,,,,,1.8,1.0,1.5,4*33") << 4;
}

void TestNmeaFields::gsaSystem()
{
    QFETCH(QByteArray, line);
    QFETCH(int, system);
    QCOMPARE(gsaSystemId(line), system);
}

QTEST_APPLESS_MAIN(TestNmeaFields)
#include "test_nmeafields.moc"
