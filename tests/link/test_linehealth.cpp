// Telling NMEA from noise: received checksums, the "not NMEA" rule and the
// baud search, with time passed in.
#include "link/baudsearch.h"
#include "link/checksum.h"
#include "link/linehealth.h"

#include <QtTest>

namespace {
const QByteArray Good("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
}

class TestLineHealth : public QObject
{
    Q_OBJECT

private slots:
    void checksum_data();
    void checksum();
    void notNmea_data();
    void notNmea();
    void search_data();
    void search();
};

void TestLineHealth::checksum_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("state");
    QTest::newRow("right, with CR LF") << Good << int(ChecksumState::Good);
    QTest::newRow("right, lower-case digits, doubled dollar") << QByteArray("$$GPTXT,x*1b") << int(ChecksumState::Good);
    QTest::newRow("wrong digits") << QByteArray("$GPTXT,ab*3B\r\n") << int(ChecksumState::Bad);
    QTest::newRow("no checksum") << QByteArray("$GPTXT,ab\r\n") << int(ChecksumState::Missing);
    QTest::newRow("cut after the star") << QByteArray("$GPTXT,ab*3") << int(ChecksumState::Missing);
    QTest::newRow("no dollar") << QByteArray("GPTXT,ab*3A") << int(ChecksumState::Missing);
}

void TestLineHealth::checksum()
{
    QFETCH(QByteArray, line);
    QFETCH(int, state);
    QCOMPARE(int(checksumState(line)), state);
}

void TestLineHealth::notNmea_data()
{
    // Every half second from 500 ms until `until`: bytes read grow, and a
    // block comes holding `block`.
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("until");
    QTest::addColumn<int>("askedAt");
    QTest::addColumn<bool>("said");
    QTest::newRow("noise for 3 s") << QByteArray("\xB5\x62 noise\n") << 3500 << 3500 << true;
    QTest::newRow("noise for 2.5 s only") << QByteArray("\xB5\x62 noise\n") << 3000 << 3000 << false;
    QTest::newRow("noise stopped over a second ago") << QByteArray("\xB5\x62 noise\n") << 3500 << 4600 << false;
    QTest::newRow("sentences keep coming") << Good << 6000 << 6000 << false;
    QTest::newRow("a sentence after binary data counts") << QByteArray("\xB5\x62\x01") + Good << 6000 << 6000 << false;
    QTest::newRow("wrong checksums are noise") << QByteArray("$GPTXT,ab*3B\r\n") << 3500 << 3500 << true;
}

void TestLineHealth::notNmea()
{
    QFETCH(QByteArray, block);
    QFETCH(int, until);
    QFETCH(int, askedAt);
    QFETCH(bool, said);
    LineHealth health;
    health.bytesRead(0, 0);
    for (int t = 500; t <= until; t += 500) {
        health.bytesRead(t * 2, t);
        health.take(block, t);
    }
    QCOMPARE(health.notNmea(askedAt), said);
}

void TestLineHealth::search_data()
{
    // Good sentences heard at each of 4800, 9600 and 38400, checked every
    // 100 ms for up to 1.5 s a rate; the rate found.
    QTest::addColumn<QList<int>>("goodPerSecond");
    QTest::addColumn<int>("found");
    QTest::newRow("enough at 9600 ends the search there") << QList<int>{0, 4, 4} << 9600;
    QTest::newRow("none anywhere") << QList<int>{0, 0, 0} << 0;
    QTest::newRow("too few everywhere: the most") << QList<int>{1, 0, 2} << 38400;
}

void TestLineHealth::search()
{
    QFETCH(QList<int>, goodPerSecond);
    QFETCH(int, found);
    BaudSearch search({4800, 9600, 38400});
    int rate = search.start(0);
    int heardAt = 0;
    qint64 since = 0;
    for (qint64 t = 100; rate != 0 && t < 10000; t += 100) {
        const int index = QList<int>{4800, 9600, 38400}.indexOf(rate);
        // Whole sentences only: what a rate brought in the time listened.
        heardAt = int(goodPerSecond.at(index) * (t - since) / 1000);
        const int next = search.heard(heardAt, t);
        if (next != rate)
            since = t;
        rate = next;
    }
    QVERIFY(search.finished());
    QCOMPARE(search.found(), found);
}

QTEST_APPLESS_MAIN(TestLineHealth)
#include "test_linehealth.moc"
