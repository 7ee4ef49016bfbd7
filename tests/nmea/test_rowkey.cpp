// Row keys of the sentence table: which lines share a row.
#include "nmea/rowkey.h"

#include <QtTest>

Q_DECLARE_METATYPE(RowKey::Kind)

class TestRowKey : public QObject
{
    Q_OBJECT

private slots:
    void kind_data();
    void kind();
    void sharesRow_data();
    void sharesRow();
    void textKeepsEveryByte();
};

void TestRowKey::kind_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<RowKey::Kind>("kind");

    QTest::newRow("version reply") << QByteArray("$PAIR001,605,0*3A\r") << RowKey::PmkReply;
    QTest::newRow("restart report") << QByteArray("$PAIR010,1,-1,2178,2*08\r") << RowKey::TtffStart;
    QTest::newRow("other PAIR010 report") << QByteArray("$PAIR010,0,1,2178,2*09\r") << RowKey::Pair010;
    QTest::newRow("GGA") << QByteArray("$GNGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r") << RowKey::Gga;
    QTest::newRow("GLL") << QByteArray("$GNGLL,4807.038,N,01131.000,E,123519.000,A,A*4F\r") << RowKey::Gll;
    QTest::newRow("RMC") << QByteArray("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r") << RowKey::Rmc;
    QTest::newRow("VTG") << QByteArray("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48\r") << RowKey::Vtg;
    QTest::newRow("ZDA") << QByteArray("$GPZDA,201530.00,04,07,2002,00,00*60\r") << RowKey::Zda;
    QTest::newRow("GSA") << QByteArray("$GNGSA,A,3,05,13,,,,,,,,,,,1.8,1.0,1.5,1*33\r") << RowKey::Gsa;
    QTest::newRow("GSV") << QByteArray("$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r") << RowKey::Gsv;
    QTest::newRow("other PAIR reply") << QByteArray("$PAIR001,062,0*3F\r") << RowKey::Pair;
    QTest::newRow("unknown type is a sentence") << QByteArray("$GNGST,082356.00,1.8,,,,1.7,1.3,2.2*7E\r") << RowKey::Other;
    QTest::newRow("proprietary with digits") << QByteArray("$PSTMVER,GNSSLIB_8.4.18.25_ARM*48\r") << RowKey::Other;
    QTest::newRow("LF-only line end") << QByteArray("$GNTXT,01,01,02,ANTSTATUS=OK*25") << RowKey::Other;
    QTest::newRow("doubled dollar") << QByteArray("$$GNGGA,135806.000,4723.00484,N,00045.88150,E,1,13,1.7,063.64,M,48.3,M,,*78") << RowKey::Gga;
    QTest::newRow("doubled dollar, unknown type") << QByteArray("$$PSTMVER,SWCFG_86065331*62") << RowKey::Other;
    QTest::newRow("dollars only") << QByteArray("$$,1") << RowKey::NotSentence;
    QTest::newRow("binary before a sentence") << QByteArray("\xb5\x62\x01\x07$GNGGA,1,2,3*00\r") << RowKey::NotSentence;
    QTest::newRow("line cut by the port opening") << QByteArray("GA,123519.000,4807.038,N*47\r") << RowKey::NotSentence;
    QTest::newRow("empty line") << QByteArray("") << RowKey::NotSentence;
    QTest::newRow("one character") << QByteArray("$") << RowKey::NotSentence;
    QTest::newRow("only a line end") << QByteArray("\r") << RowKey::NotSentence;
    QTest::newRow("address without comma") << QByteArray("$GPGGA*47\r") << RowKey::NotSentence;
    QTest::newRow("comma right after dollar") << QByteArray("$,GGA,1\r") << RowKey::NotSentence;
    QTest::newRow("comment header") << QByteArray("# Name: capture,GGA") << RowKey::NotSentence;
}

void TestRowKey::kind()
{
    QFETCH(QByteArray, line);
    QFETCH(RowKey::Kind, kind);
    const RowKey key(line);
    QCOMPARE(key.kind(), kind);
    QCOMPARE(key.isSentence(), kind != RowKey::NotSentence);
}

void TestRowKey::sharesRow_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("rowText");
    QTest::addColumn<bool>("shares");

    const QByteArray gpgga("$GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r");
    const QByteArray gngga("$GNGGA,123520.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*59\r");
    QTest::newRow("GGA same talker") << gngga << QByteArray("$GNGGA,000000.000,,,,,0,00,,,M,,M,,*40\r") << true;
    QTest::newRow("GGA other talker takes its own row") << gngga << gpgga << false;
    QTest::newRow("RMC against a GGA row") << QByteArray("$GPRMC,123519,A,4807.038,N*6A\r") << gpgga << false;

    // GSA: one row per satellite system, whatever the talker.
    const QByteArray gpsRow("$GNGSA,A,3,05,13,,,,,,,,,,,1.8,1.0,1.5,1*33\r");
    const QByteArray gloRow("$GNGSA,A,3,65,66,,,,,,,,,,,1.8,1.0,1.5,2*3C\r");
    QTest::newRow("GSA same system ID") << QByteArray("$GNGSA,A,3,07,,,,,,,,,,,,1.9,1.1,1.6,1*30\r") << gpsRow << true;
    QTest::newRow("GSA other system ID") << QByteArray("$GNGSA,A,3,11,12,,,,,,,,,,,1.8,1.0,1.5,3*31\r") << gpsRow << false;
    QTest::newRow("GPGSA with ID 1 joins the GNGSA ID 1 row") << QByteArray("$GPGSA,A,3,07,,,,,,,,,,,,1.9,1.1,1.6,1*2E\r") << gpsRow << true;
    QTest::newRow("old GPS GSA whose VDOP ends in 2 is not GLONASS")
            << QByteArray("$GPGSA,A,3,05,13,,,,,,,,,,,2.5,1.3,2.2*3C\r") << gloRow << false;
    QTest::newRow("old GPS GSA joins the GPS row")
            << QByteArray("$GPGSA,A,3,05,13,,,,,,,,,,,2.5,1.3,2.2*3C\r") << gpsRow << true;
    QTest::newRow("LF-only GSA keeps its system")
            << QByteArray("$GNGSA,A,3,65,66,,,,,,,,,,,1.8,1.0,1.5,2*3C") << gloRow << true;
    QTest::newRow("QZSS GSA has its own row")
            << QByteArray("$GNGSA,A,3,193,,,,,,,,,,,,1.8,1.0,1.5,5*0F\r") << gpsRow << false;
    QTest::newRow("QZSS GSA joins the QZSS row")
            << QByteArray("$GNGSA,A,3,193,,,,,,,,,,,,1.8,1.0,1.5,5*0F\r")
            << QByteArray("$GNGSA,A,3,,,,,,,,,,,,,1.8,1.0,1.5,5*09\r") << true;
    QTest::newRow("GN GSA without ID told by its numbers")
            << QByteArray("$GNGSA,A,3,70,71,,,,,,,,,,,2.5,1.3,2.1*2D\r") << gloRow << true;
    QTest::newRow("GSA against a row without GSA") << QByteArray("$GNGSA,A,3,05,,,,,,,,,,,,1.8,1.0,1.5,1*33\r")
            << QByteArray("$GNGST,1,1,1,1,1,1,1,1*00\r") << false;

    // GSV: one row per talker and message number.
    const QByteArray gsv1("$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r");
    QTest::newRow("GSV same message number") << QByteArray("$GPGSV,3,1,10,03,03,111,30*70\r") << gsv1 << true;
    QTest::newRow("GSV other message number") << QByteArray("$GPGSV,3,2,11,14,25,170,00*70\r") << gsv1 << false;
    QTest::newRow("GSV other talker") << QByteArray("$GLGSV,3,1,11,65,25,170,00*70\r") << gsv1 << false;
    QTest::newRow("GSV line shorter than ten") << QByteArray("$GPGSV,3\r") << QByteArray("$GPGSV,3\r") << false;
    QTest::newRow("doubled dollar GSV other message number")
            << QByteArray("$$GPGSV,3,2,11,14,25,170,00*70\r") << QByteArray("$$GPGSV,3,1,11,03,03,111,00*74\r") << false;
    QTest::newRow("doubled dollar GSV same message number")
            << QByteArray("$$GPGSV,3,2,11,14,25,170,00*70\r") << QByteArray("$$GPGSV,3,2,10,14,25,170,31*70\r") << true;
    QTest::newRow("doubled dollar GSV against a GSA row")
            << QByteArray("$$GNGSV,1,1,01,14,25,170,00*70\r") << QByteArray("$$GNGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0,1*00\r") << false;
    QTest::newRow("GSV row shorter than ten") << QByteArray("$GPGSV,3,1,11*70\r") << QByteArray("$GPGSV,3") << false;

    // Types the table does not know share the row of their address.
    QTest::newRow("unknown type same address") << QByteArray("$GNGST,082357.00,1.8,,,,1.7,1.3,2.2*7F\r")
            << QByteArray("$GNGST,082356.00,1.8,,,,1.7,1.3,2.2*7E\r") << true;
    QTest::newRow("unknown type other address") << QByteArray("$GNTXT,01,01,02,ANTSTATUS=OK*25\r")
            << QByteArray("$GNGST,082356.00,1.8,,,,1.7,1.3,2.2*7E\r") << false;
    QTest::newRow("doubled dollar, same address") << QByteArray("$$PSTMVER,FreeRTOS_V10.4.3_ARM*57")
            << QByteArray("$$PSTMVER,SWCFG_86065331*62") << true;
    QTest::newRow("address that is a prefix of another") << QByteArray("$GNGS,1,2*00\r")
            << QByteArray("$GNGST,082356.00,1.8,,,,1.7,1.3,2.2*7E\r") << false;

    // PAIR replies keep their own rules.
    QTest::newRow("version reply against its row") << QByteArray("$PAIR001,605,0*3A\r")
            << QByteArray("$PAIR001,605,0*3A\r") << true;
    QTest::newRow("restart report matches by twelve characters") << QByteArray("$PAIR010,1,-1,2178,2*08\r")
            << QByteArray("$PAIR010,1,-9,0,0*00\r") << true;
    QTest::newRow("PAIR010 reports match by eight characters") << QByteArray("$PAIR010,0,1,2178,2*09\r")
            << QByteArray("$PAIR010,2,0,1,1*00\r") << true;
    QTest::newRow("identical PAIR replies") << QByteArray("$PAIR001,062,0*3F\r")
            << QByteArray("$PAIR001,062,0*3F\r") << true;
    QTest::newRow("different PAIR replies") << QByteArray("$PAIR001,062,0*3F\r")
            << QByteArray("$PAIR001,063,0*3E\r") << false;

    QTest::newRow("non-sentence never shares") << QByteArray("GA,123519*47\r") << QByteArray("GA,123519*47\r") << false;
    QTest::newRow("empty row is never shared") << gngga << QByteArray() << false;
}

void TestRowKey::sharesRow()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, rowText);
    QFETCH(bool, shares);
    QCOMPARE(RowKey(line).sharesRow(QString::fromLatin1(rowText)), shares);
}

void TestRowKey::textKeepsEveryByte()
{
    const QByteArray line("$GNTXT,01,\xb0\xff,x*00\r");
    const RowKey key(line);
    QCOMPARE(key.text().size(), line.size());
    QCOMPARE(key.text().toLatin1(), line);
}

QTEST_APPLESS_MAIN(TestRowKey)
#include "test_rowkey.moc"
