// Line framing: which chunks release which blocks, byte for byte.
#include "link/lineframer.h"

#include <QtTest>

using Chunks = QList<QByteArray>;
Q_DECLARE_METATYPE(Chunks)

class TestLineFramer : public QObject
{
    Q_OBJECT

private slots:
    void release_data();
    void release();
    void boundKeepsCompleteLines();
    void boundReleasesEndlessNoise();
};

void TestLineFramer::release_data()
{
    QTest::addColumn<Chunks>("chunks");
    QTest::addColumn<Chunks>("blocks");
    QTest::addColumn<int>("leftOver");

    const QByteArray gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    const QByteArray rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
    const QByteArray gsa = "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n";

    QTest::newRow("sentence split across two reads")
        << Chunks{gga.left(20), gga.mid(20)} << Chunks{QByteArray(), gga} << 0;
    QTest::newRow("three sentences in one chunk")
        << Chunks{gga + rmc + gsa} << Chunks{gga + rmc + gsa} << 0;
    QTest::newRow("chunk ending in CR waits for LF")
        << Chunks{gga.left(gga.size() - 1), "\n"} << Chunks{QByteArray(), gga} << 0;
    QTest::newRow("line feed inside a chunk releases nothing")
        << Chunks{gga + rmc.left(10)} << Chunks{QByteArray()} << gga.size() + 10;
    QTest::newRow("buffered text leaves with the next line feed")
        << Chunks{gga + rmc.left(10), rmc.mid(10)} << Chunks{QByteArray(), gga + rmc} << 0;
    QTest::newRow("partial sentence at the head passes unchanged")
        << Chunks{gga.mid(30) + rmc} << Chunks{gga.mid(30) + rmc} << 0;
    QTest::newRow("bytes above 0x7F kept")
        << Chunks{QByteArray("$GPTXT,\xB5\xFF\xC3\xA9*00\r\n")}
        << Chunks{QByteArray("$GPTXT,\xB5\xFF\xC3\xA9*00\r\n")} << 0;
    QTest::newRow("NUL bytes kept")
        << Chunks{QByteArray("\xB5\x62\x00\x01\x00\n", 6)}
        << Chunks{QByteArray("\xB5\x62\x00\x01\x00\n", 6)} << 0;
    QTest::newRow("empty chunk releases nothing")
        << Chunks{QByteArray()} << Chunks{QByteArray()} << 0;
}

void TestLineFramer::release()
{
    QFETCH(Chunks, chunks);
    QFETCH(Chunks, blocks);
    QFETCH(int, leftOver);

    LineFramer framer;
    for (int i = 0; i < chunks.size(); ++i)
        QCOMPARE(framer.push(chunks.at(i)), blocks.at(i));
    QCOMPARE(framer.buffered(), leftOver);
}

void TestLineFramer::boundKeepsCompleteLines()
{
    // Chunks that never end in a line feed (each one carries the line feed
    // of the previous sentence at its head): once past 64 KiB, every
    // complete line leaves and the unfinished one waits.
    const QByteArray body = "$GNGSA,A,3,05,13,15,29,,,,,,,,,1.8,1.0,1.5,1*33\r";
    LineFramer framer;
    QByteArray sent;
    QByteArray received;
    int releases = 0;
    for (int i = 0; sent.size() <= 2 * LineFramer::MaxBuffered; ++i) {
        const QByteArray chunk = (i == 0 ? QByteArray() : QByteArray("\n")) + body;
        sent += chunk;
        const QByteArray block = framer.push(chunk);
        if (!block.isEmpty()) {
            ++releases;
            QVERIFY(block.endsWith('\n'));
            received += block;
        }
    }
    QVERIFY2(releases >= 2, "the bound did not release the complete lines");
    QVERIFY(framer.buffered() <= LineFramer::MaxBuffered);
    // Nothing lost: what left, followed by what waits, is everything sent.
    QVERIFY(sent.startsWith(received));
    QCOMPARE(received.size() + framer.buffered(), sent.size());
}

void TestLineFramer::boundReleasesEndlessNoise()
{
    // A wrong baud rate: noise without any line feed keeps memory flat, and
    // every byte of it leaves, for the log.
    LineFramer framer;
    const QByteArray noise(4096, '\xE3');
    QByteArray released;
    for (int i = 0; i < 100; ++i)
        released += framer.push(noise);
    QVERIFY(framer.buffered() <= LineFramer::MaxBuffered);
    QVERIFY(!released.isEmpty());
    QCOMPARE(released.size() + framer.buffered(), 100 * noise.size());

    // A sentence after the noise still arrives whole, and the end of the
    // stream can be taken out.
    const QByteArray gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    QVERIFY(framer.push(gga).endsWith(gga));
    framer.push("$GPRMC,1");
    QCOMPARE(framer.takeRest(), QByteArray("$GPRMC,1"));
    QCOMPARE(framer.buffered(), 0);
}

QTEST_APPLESS_MAIN(TestLineFramer)
#include "test_lineframer.moc"
