// Sentence counts, faults and rates against worked examples; checksum errors
// of the recorded captures that hold broken lines against a count made here.
#include "sentences/sentencecounter.h"
#include "support/nmeacheck.h"

#include <QtTest>

class TestSentenceCounter : public QObject
{
    Q_OBJECT

private slots:
    void counts_data();
    void counts();
    void rate_data();
    void rate();
    void captureChecksumErrors_data();
    void captureChecksumErrors();
};

namespace {

// Sentences whose checksums are right.
const QByteArray Zda("$GNZDA,030000.000,01,06,2024,00,00*48");
const QByteArray Vtg("$GNVTG,0.00,T,,M,0.00,N,0.00,K,A*23");

// "TYPE count checksumErrors withoutChecksum longOrCut" per type.
QStringList describe(const QVector<SentenceTypeCounts> &types)
{
    QStringList out;
    for (const SentenceTypeCounts &t : types)
        out << QStringLiteral("%1 %2 %3 %4 %5").arg(QString::fromLatin1(t.type)).arg(t.count).arg(t.checksumErrors)
                   .arg(t.withoutChecksum).arg(t.longOrCut);
    return out;
}

} // namespace

void TestSentenceCounter::counts_data()
{
    QTest::addColumn<QList<QByteArray>>("blocks");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<qint64>("lines");
    QTest::addColumn<qint64>("nonNmeaBytes");
    QTest::newRow("sentences with their checksums") << QList<QByteArray>{Zda + "\r\n" + Vtg + "\r\n"}
                                                    << QStringList{"GNVTG 1 0 0 0", "GNZDA 1 0 0 0"} << 2LL << 0LL;
    QTest::newRow("wrong checksum") << QList<QByteArray>{Vtg + "\r\n$GNVTG,0.00,T,,M,0.00,N,0.00,K,A*24\r\n"}
                                    << QStringList{"GNVTG 2 1 0 0"} << 2LL << 0LL;
    QTest::newRow("wrong checksum, type never intact: under ?")
        << QList<QByteArray>{"$GNVTG,0.00,T,,M,0.00,N,0.00,K,A*24\r\n" + Vtg + "\r\n"}
        << QStringList{"? 1 1 0 0", "GNVTG 1 0 0 0"} << 2LL << 0LL;
    QTest::newRow("checksum in lower case")
        << QList<QByteArray>{"$GNRMC,030000.000,A,3113.90523,N,12128.71588,E,0.00,0.00,010624,,,A,V*0e\n"}
        << QStringList{"GNRMC 1 0 0 0"} << 1LL << 0LL;
    QTest::newRow("no checksum") << QList<QByteArray>{"$GNVTG,0.00,T,,M,0.00,N,0.00,K,A\r\n"}
                                 << QStringList{"GNVTG 1 0 1 0"} << 1LL << 0LL;
    QTest::newRow("no checksum after sentences with one: cut short")
        << QList<QByteArray>{Zda + "\r\n$GNZDA,030000.000,01\r\n"} << QStringList{"GNZDA 2 0 1 1"} << 2LL << 0LL;
    QTest::newRow("cut by the next sentence") << QList<QByteArray>{Vtg + "\n$GNVTG,0.00,T,,M" + Zda + "\r\n"}
                                              << QStringList{"GNVTG 2 0 1 1", "GNZDA 1 0 0 0"} << 2LL << 0LL;
    QTest::newRow("80 characters before the line end are not too long")
        << QList<QByteArray>{"$PTEST," + QByteArray(73, 'A') + "\r\n"} << QStringList{"PTEST 1 0 1 0"} << 1LL << 0LL;
    QTest::newRow("81 are") << QList<QByteArray>{"$PTEST," + QByteArray(74, 'A') + "\r\n"}
                            << QStringList{"PTEST 1 0 1 1"} << 1LL << 0LL;
    QTest::newRow("a doubled dollar: the first is not NMEA") << QList<QByteArray>{"$" + Zda + "\n"}
                                                             << QStringList{"GNZDA 1 0 0 0"} << 1LL << 1LL;
    QTest::newRow("binary before a sentence") << QList<QByteArray>{"\xb5\x62\x01\x02" + Zda + "\r\n"}
                                              << QStringList{"GNZDA 1 0 0 0"} << 1LL << 4LL;
    QTest::newRow("a comment line and a blank line are not NMEA")
        << QList<QByteArray>{"# log start\n\r\n"} << QStringList{} << 2LL << 14LL;
    QTest::newRow("a line split across blocks is one sentence")
        << QList<QByteArray>{Zda.left(20), Zda.mid(20) + "\r\n", "$GNVTG"} << QStringList{"GNZDA 1 0 0 0"} << 1LL
        << 0LL;
    QTest::newRow("an address that is not one") << QList<QByteArray>{"$G?A,1\r\n"} << QStringList{"? 1 0 1 0"}
                                                 << 1LL << 0LL;
}

void TestSentenceCounter::counts()
{
    QFETCH(QList<QByteArray>, blocks);
    QFETCH(QStringList, types);
    QFETCH(qint64, lines);
    QFETCH(qint64, nonNmeaBytes);
    SentenceCounter counter;
    qint64 bytes = 0;
    for (const QByteArray &block : blocks) {
        counter.addBlock(block, 1000);
        bytes += block.size();
    }
    QCOMPARE(describe(counter.types(1000)), types);
    QCOMPARE(counter.totals().lines, lines);
    QCOMPARE(counter.totals().nonNmeaBytes, nonNmeaBytes);
    QCOMPARE(counter.totals().bytes, bytes);
}

void TestSentenceCounter::rate_data()
{
    QTest::addColumn<qint64>("periodMs");
    QTest::addColumn<int>("perBlock");
    QTest::addColumn<qint64>("lastMs");   // blocks at 0, periodMs, ... lastMs
    QTest::addColumn<qint64>("nowMs");
    QTest::addColumn<double>("hertz");
    // Sentences after the window's start over the window: the last 10 s, or
    // the time since the first block while that is shorter.
    QTest::newRow("1 Hz over the last 10 s") << 1000LL << 1 << 12000LL << 12000LL << 1.0;
    QTest::newRow("1 Hz in the first 2 s") << 1000LL << 1 << 2000LL << 2000LL << 1.0;
    QTest::newRow("a group of four each second") << 1000LL << 4 << 15000LL << 15000LL << 4.0;
    QTest::newRow("10 Hz") << 100LL << 1 << 20000LL << 20000LL << 10.0;
    QTest::newRow("stopped 6 s ago: 4 in the last 10 s") << 1000LL << 1 << 10000LL << 16000LL << 0.4;
    QTest::newRow("gone for 10 s") << 1000LL << 1 << 10000LL << 20000LL << 0.0;
    QTest::newRow("no time since counting began") << 1000LL << 1 << 0LL << 0LL << 0.0;
}

void TestSentenceCounter::rate()
{
    QFETCH(qint64, periodMs);
    QFETCH(int, perBlock);
    QFETCH(qint64, lastMs);
    QFETCH(qint64, nowMs);
    QFETCH(double, hertz);
    SentenceCounter counter;
    QByteArray block;
    for (int i = 0; i < perBlock; ++i)
        block += Zda + "\r\n";
    for (qint64 t = 0; t <= lastMs; t += periodMs)
        counter.addBlock(block, t);
    const QVector<SentenceTypeCounts> types = counter.types(nowMs);
    QCOMPARE(types.size(), 1);
    QVERIFY2(std::fabs(types.first().rateHz - hertz) < 1e-9, qPrintable(QString::number(types.first().rateHz)));
    QCOMPARE(types.first().lastSeenMs, lastMs);
}

void TestSentenceCounter::captureChecksumErrors_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("phone forwarder, bad $PGLOR") << "gpsd_android-sm-t510_forwarder_pglor-badck.log";
    QTest::newRow("cold boot, corrupt lines") << "gpsd_gps320fw_coldboot_corrupt-lines_qzss193.log";
    QTest::newRow("one bad $GPGSV, doubled dollars") << "gpsd_st-teseo-liv4f_nmea41_gp-ga-bd_1badck.log";
}

void TestSentenceCounter::captureChecksumErrors()
{
    QFETCH(QString, file);
    QFile capture(QDir(QStringLiteral(SKYLOUPE_CAPTURE_DIR)).filePath(file));
    if (!capture.open(QIODevice::ReadOnly))
        QSKIP("No recorded captures at " SKYLOUPE_CAPTURE_DIR "; the checksum counts are skipped.");
    const QByteArray bytes = capture.readAll();

    // Every piece of a line that follows a "$" and ends in "*hh" is a
    // sentence whose checksum can be checked.
    int bad = 0;
    for (QByteArray line : bytes.split('\n')) {
        while (line.endsWith('\r'))
            line.chop(1);
        for (const QByteArray &piece : line.split('$').mid(1)) {
            const int star = piece.size() - 3;
            if (star >= 0 && piece.at(star) == '*' && isxdigit(piece.at(star + 1)) && isxdigit(piece.at(star + 2)))
                bad += checksumRight('$' + piece.left(star + 1) + piece.mid(star + 1).toUpper()) ? 0 : 1;
        }
    }
    QVERIFY(bad > 0);

    // Fed in reads cut anywhere, as a serial port may deliver them.
    SentenceCounter counter;
    for (int at = 0; at < bytes.size(); at += 1000)
        counter.addBlock(bytes.mid(at, 1000), at);
    qint64 counted = 0;
    for (const SentenceTypeCounts &t : counter.types(bytes.size()))
        counted += t.checksumErrors;
    QCOMPARE(counted, qint64(bad));
    QCOMPARE(counter.totals().lines, qint64(bytes.count('\n')));
}

QTEST_GUILESS_MAIN(TestSentenceCounter)
#include "test_sentencecounter.moc"
