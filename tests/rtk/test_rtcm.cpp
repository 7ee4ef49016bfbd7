// RTCM 3 framing, the station of a 1005 message, and a caster's source table.
#include "ntrip/ntripprotocol.h"
#include "ntrip/sourcetable.h"
#include "rtcm/correctionstream.h"

#include <QtTest>

namespace {
// The 1005 worked example of the RTCM 3 standard: station 2003 at
// X 1114104.5999, Y -4850729.7108, Z 3975521.4643 m; CRC 36 0B 98.
const QByteArray Example1005 = QByteArray::fromHex("D300133ED7D30202980EDEEF34B4BD62AC0941986F33360B98");
} // namespace

class TestRtcm : public QObject
{
    Q_OBJECT

private slots:
    void framing_data();
    void framing();
    void station();
    void sourceTable();
    void replies_data();
    void replies();
};

void TestRtcm::framing_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<int>>("types");
    QTest::addColumn<int>("bad");
    QByteArray broken = Example1005;
    broken[10] = char(broken.at(10) ^ 0x01);

    QTest::newRow("one good frame") << QList<QByteArray>{Example1005} << QList<int>{1005} << 0;
    QTest::newRow("two frames in one read") << QList<QByteArray>{Example1005 + Example1005} << QList<int>{1005, 1005} << 0;
    QTest::newRow("bad CRC dropped, next frame kept")
        << QList<QByteArray>{broken + Example1005} << QList<int>{1005} << 1;
    QTest::newRow("frame cut across three reads")
        << QList<QByteArray>{Example1005.left(2), Example1005.mid(2, 10), Example1005.mid(12)} << QList<int>{1005} << 0;
    QTest::newRow("junk and NMEA between frames")
        << QList<QByteArray>{QByteArray::fromHex("00ff") + "$GPGGA,,*hh\r\n" + Example1005 + "\xd3\xff junk" + Example1005}
        << QList<int>{1005, 1005} << 0;
    QTest::newRow("half a frame is never passed on") << QList<QByteArray>{Example1005.left(20)} << QList<int>{} << 0;
}

void TestRtcm::framing()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<int>, types);
    QFETCH(int, bad);
    CorrectionStream stream;
    QList<int> seen;
    qint64 t = 1000;
    for (const QByteArray &chunk : chunks) {
        for (const RtcmFrame &f : stream.take(chunk, t += 100)) {
            seen.append(f.type);
            QCOMPARE(f.bytes, Example1005);
        }
    }
    QCOMPARE(seen, types);
    QCOMPARE(stream.framer().badFrames(), qint64(bad));
    if (types.isEmpty()) {
        QVERIFY(stream.ageSeconds(t) < 0);
    } else {
        QCOMPARE(stream.types().value(0).count, qint64(types.size()));
        QCOMPARE(stream.ageSeconds(t + 11000), 11.0);
        QVERIFY(stream.isStale(t + 11000) && !stream.isStale(t + 9000));
    }
}

void TestRtcm::station()
{
    CorrectionStream stream;
    stream.take(Example1005, 0);
    const RtcmStation s = stream.station();
    QVERIFY(s.known);
    QCOMPARE(s.id, 2003);
    QCOMPARE(qRound64(s.x * 10000), 11141045999LL);
    QCOMPARE(qRound64(s.y * 10000), -48507297108LL);
    QCOMPARE(qRound64(s.z * 10000), 39755214643LL);
    // That point lies near 38.8 N, 77.1 W.
    QVERIFY(qAbs(s.latitude - 38.8) < 0.1 && qAbs(s.longitude + 77.07) < 0.1);
    // A degree of latitude is about 111.2 km.
    QVERIFY(qAbs(baselineMetres(48.0, 11.0, 49.0, 11.0) - 111195) < 10);
}

void TestRtcm::sourceTable()
{
    // As a public caster sends it, abridged.
    const QByteArray table =
        "CAS;rtk2go.example;2101;NtripCaster;SNIP;0;USA;36.00;-78.00;0.0.0.0;0;http://example\r\n"
        "NET;SNIP;SNIP;B;N;http://example;none;none;none\r\n"
        "STR;WTZR00DEU0;Bad Koetzting;RTCM 3.3;1005(10),1077(1),1087(1),1097(1),1127(1),1230(10);2;"
        "GPS+GLO+GAL+BDS;IGS;DEU;49.14;12.88;0;0;sNTRIP;none;B;N;10200;\r\n"
        "STR;VRS_RTCM32;Network RTK;RTCM 3.2;1004(1),1012(1),1033(10);2;GPS+GLO;SAPOS;DEU;51.00;10.00;1;1;"
        "Trimble;none;B;Y;3600;\r\n"
        "STR;\r\n"
        "ENDSOURCETABLE\r\n";
    const QVector<SourceEntry> entries = parseSourceTable(table);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0).mountpoint, QStringLiteral("WTZR00DEU0"));
    QCOMPARE(entries.at(0).format, QStringLiteral("RTCM 3.3"));
    QCOMPARE(entries.at(0).latitude, 49.14);
    QCOMPARE(entries.at(0).longitude, 12.88);
    QVERIFY(!entries.at(0).wantsGga);
    QCOMPARE(entries.at(1).mountpoint, QStringLiteral("VRS_RTCM32"));
    QVERIFY(entries.at(1).wantsGga);
}

void TestRtcm::replies_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QString>("mountpoint");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("headerSize");
    QTest::newRow("NTRIP 1 stream") << QByteArray("ICY 200 OK\r\n\xd3") << "M" << int(NtripReply::Stream) << 12;
    QTest::newRow("NTRIP 2 stream") << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\n\r\n")
                                    << "M" << int(NtripReply::Stream) << 44;
    QTest::newRow("header not complete") << QByteArray("HTTP/1.1 200 OK\r\nContent-Ty") << "M"
                                         << int(NtripReply::Incomplete) << 0;
    QTest::newRow("wrong password") << QByteArray("HTTP/1.0 401 Unauthorized\r\n") << "M"
                                    << int(NtripReply::Unauthorized) << 0;
    QTest::newRow("source table asked for") << QByteArray("SOURCETABLE 200 OK\r\nContent-Length: 3\r\n\r\n") << ""
                                            << int(NtripReply::SourceTable) << 41;
}

void TestRtcm::replies()
{
    QFETCH(QByteArray, received);
    QFETCH(QString, mountpoint);
    QFETCH(int, kind);
    QFETCH(int, headerSize);
    const NtripReply reply = readNtripReply(received, mountpoint);
    QCOMPARE(int(reply.kind), kind);
    QCOMPARE(reply.headerSize, headerSize);
    // The back-off doubles from 1 s and stops at a minute.
    QCOMPARE(QList<int>({ntripBackoffSeconds(1), ntripBackoffSeconds(2), ntripBackoffSeconds(3), ntripBackoffSeconds(7),
                         ntripBackoffSeconds(30)}),
             QList<int>({1, 2, 4, 60, 60}));
}

QTEST_GUILESS_MAIN(TestRtcm)
#include "test_rtcm.moc"
