// The simulated receiver's small units: command answers and checksums,
// the restart timing rule, the --ttff option, the line pacing, replay
// splitting and pace, and the fault injector.
#include "sim/commandanswerer.h"
#include "sim/faults.h"
#include "sim/pacing.h"
#include "sim/simoptions.h"
#include "tests/sim/simtestutil.h"

#include <QtTest>

using namespace simtest;

class TestSimUnits : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void commandReaderSplitsLines();
    void restartTiming();
    void ttffOption_data();
    void ttffOption();
    void options_data();
    void options();
    void pacerKeepsTheByteRate_data();
    void pacerKeepsTheByteRate();
    void recordingSplitsIntoEpochs();
    void replayPace_data();
    void replayPace();
    void damageAtFullShare();
    void splitKeepsEveryByte();
};

void TestSimUnits::answers_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QList<QByteArray>>("replyStarts");
    QTest::addColumn<int>("restart");
    using L = QList<QByteArray>;
    QTest::newRow("version query") << QByteArray("$PMTK605*31") << L{"PAIR001,605,0", "GNTXT,"} << 0;
    QTest::newRow("hot start") << QByteArray("$PAIR004*3E") << L{"PAIR001,004,0", "PAIR010,1,-1"} << int(RestartKind::Hot);
    QTest::newRow("warm start") << QByteArray("$PAIR005*3F") << L{"PAIR001,005,0", "PAIR010,1,-1"} << int(RestartKind::Warm);
    QTest::newRow("cold start") << QByteArray("$PAIR006*3C") << L{"PAIR001,006,0", "PAIR010,1,-1"} << int(RestartKind::Cold);
    QTest::newRow("full cold start") << QByteArray("$PAIR007*3D") << L{"PAIR001,007,0", "PAIR010,1,-1"} << int(RestartKind::Full);
    QTest::newRow("follow-up command") << QByteArray("$PAIR020*38") << L{"PAIR001,020,0"} << 0;
    QTest::newRow("command with a parameter") << QByteArray("$PAIR050,1000*12") << L{"PAIR001,050,0"} << 0;
    QTest::newRow("lower-case checksum digits") << QByteArray("$PAIR004*3e") << L{"PAIR001,004,0", "PAIR010,1,-1"} << int(RestartKind::Hot);
    QTest::newRow("wrong checksum") << QByteArray("$PAIR004*3F") << L{} << 0;
    QTest::newRow("no checksum") << QByteArray("$PAIR004") << L{} << 0;
    QTest::newRow("typed garbage") << QByteArray("hello") << L{} << 0;
    QTest::newRow("other valid sentence: silent") << QByteArray("$GPTXT,hi*62") << L{} << 0;
}

void TestSimUnits::answers()
{
    QFETCH(QByteArray, command);
    QFETCH(QList<QByteArray>, replyStarts);
    QFETCH(int, restart);
    const CommandAnswer answer = answerCommand(command);
    QCOMPARE(answer.replies.size(), replyStarts.size());
    for (int i = 0; i < replyStarts.size(); ++i)
        QVERIFY2(answer.replies.at(i).startsWith(replyStarts.at(i)), answer.replies.at(i).constData());
    QCOMPARE(int(answer.restart), restart);
}

void TestSimUnits::commandReaderSplitsLines()
{
    CommandReader reader;
    QVERIFY(reader.push("$PAIR0").isEmpty());
    QCOMPARE(reader.push("04*3E\r\n$PMTK605*31\r"), (QList<QByteArray>{"$PAIR004*3E", "$PMTK605*31"}));
    QCOMPARE(reader.push("\n\n$PAIR020*38\n"), QList<QByteArray>{"$PAIR020*38"});
    // Junk without a line end is bounded.
    reader.push(QByteArray(100000, 'x'));
    QCOMPARE(reader.push("\n").first().size(), CommandReader::MaxLine);
}

void TestSimUnits::restartTiming()
{
    TtffSettings ttff;
    QString error;
    QVERIFY(ttff.parse(QStringLiteral("hot=2,warm=20,cold=30,full=35"), &error));
    FixState state(ttff);
    QVERIFY(state.hasFix(0));
    QCOMPARE(state.tracked(0), 1.0);
    state.restart(RestartKind::Cold, 10000);
    QVERIFY(!state.hasFix(10000));
    QVERIFY(!state.hasFix(39999));
    QVERIFY(state.hasFix(40000));
    QVERIFY(state.tracked(10000) < 0.01);
    QVERIFY(state.tracked(25000) > 0.3 && state.tracked(25000) < 0.6);
    // A restart during another starts the count again.
    state.restart(RestartKind::Hot, 20000);
    QVERIFY(!state.hasFix(21999));
    QVERIFY(state.hasFix(22000));
    QVERIFY(ttff.parse(QStringLiteral("cold=25:35"), &error));   // each restart draws its time from the spread
    FixState spread(ttff, 7);
    QSet<qint64> draws;
    for (int i = 0; i < 20; ++i, draws.insert(spread.fixAtMs())) {
        spread.restart(RestartKind::Cold, 0);
        QVERIFY(spread.fixAtMs() >= 25000 && spread.fixAtMs() <= 35000);
    }
    QVERIFY(draws.size() > 15);
}

void TestSimUnits::ttffOption_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("hot");
    QTest::addColumn<double>("full");
    QTest::newRow("all four") << "hot=1,warm=2,cold=3,full=4" << true << 1.0 << 4.0;
    QTest::newRow("a subset keeps the defaults") << "hot=0.5" << true << 0.5 << 35.0;
    QTest::newRow("spaces around") << " full = 7.25 " << true << 2.0 << 7.25;
    QTest::newRow("unknown kind") << "lukewarm=3" << false << 2.0 << 35.0;
    QTest::newRow("not a number") << "hot=soon" << false << 2.0 << 35.0;
    QTest::newRow("negative") << "hot=-1" << false << 2.0 << 35.0;
    QTest::newRow("empty") << "" << false << 2.0 << 35.0;
}

void TestSimUnits::ttffOption()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, hot);
    QFETCH(double, full);
    TtffSettings ttff;
    QString error;
    QCOMPARE(ttff.parse(text, &error), ok);
    QCOMPARE(error.isEmpty(), ok);
    QCOMPARE(ttff.hot, hot);
    QCOMPARE(ttff.full, full);
}

void TestSimUnits::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("result");
    const int run = int(SimParse::Run), error = int(SimParse::Error);
    QTest::newRow("none") << QStringList() << run;
    QTest::newRow("rate 10") << QStringList{"--rate", "10"} << run;
    QTest::newRow("rate 2 is not offered") << QStringList{"--rate", "2"} << error;
    QTest::newRow("garbage above 1") << QStringList{"--garbage", "1.5"} << error;
    QTest::newRow("chunk 0") << QStringList{"--chunk", "0"} << error;
    QTest::newRow("nmea 3") << QStringList{"--nmea", "3"} << run;
    QTest::newRow("nmea 2") << QStringList{"--nmea", "2"} << error;
    QTest::newRow("unknown option") << QStringList{"--colour"} << error;
    QTest::newRow("output without an end") << QStringList{"--output", "x.nma"} << error;
    QTest::newRow("help") << QStringList{"--help"} << int(SimParse::Help);
    QTest::newRow("version") << QStringList{"--version"} << int(SimParse::Version);
}

void TestSimUnits::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, result);
    SimOptions options;
    QString message;
    QCOMPARE(int(parseSimOptions(QStringList{"skyloupe-sim"} + arguments, &options, &message)), result);
    if (result == int(SimParse::Help)) {
        // Every option is documented, each with an example.
        const QStringList names = {"--rate", "--seed", "--start", "--ttff", "--replay", "--speed", "--loop",
                                   "--nmea", "--lf-only", "--chunk", "--garbage", "--hangup-after",
                                   "--baud-noise", "--truth", "--link", "--stdin-lifetime", "--line-rate",
                                   "--flood", "--epochs", "--output", "--signals", "--position-noise", "--cnr-offset"};
        for (const QString &name : names)
            QVERIFY2(message.contains(name + QLatin1Char(' ')), qPrintable(name));
        QVERIFY(message.count(QLatin1String("Example:")) >= names.size());
    }
}

void TestSimUnits::pacerKeepsTheByteRate_data()
{
    QTest::addColumn<qint64>("baud");
    QTest::newRow("9600 baud") << qint64(9600);
    QTest::newRow("115200 baud") << qint64(115200);
    QTest::newRow("921600 baud") << qint64(921600);
}

void TestSimUnits::pacerKeepsTheByteRate()
{
    QFETCH(qint64, baud);
    // A writer that always has bytes to send, asked every 0.7 ms for two seconds.
    LinePacer pacer(baud);
    const double perSecond = baud / 10.0;
    qint64 sent = 0;
    for (qint64 us = 0; us <= 2000000; us += 700) {
        const qint64 n = qMin<qint64>(pacer.allowance(us), 1000);
        pacer.consumed(n);
        sent += n;
        // Never ahead of the line: at most its bytes so far plus a few ms of burst.
        QVERIFY(sent <= qint64(perSecond * us / 1e6) + qMax(64.0, perSecond * 0.004) + 1);
    }
    QVERIFY(sent >= qint64(perSecond * 2 * 0.97));
    QCOMPARE(LinePacer(0).allowance(5), std::numeric_limits<qint64>::max());
}

void TestSimUnits::recordingSplitsIntoEpochs()
{
    const QByteArray recording =
        "# a comment header\n"
        "$GPGSV,1,1,01,05,40,083,46*7F\r\n"          // before any time: joins the first epoch
        "$GPGGA,235959.00,,,,,0,00,,,,,,,*66\r\n"
        "$GPRMC,235959.00,V,,,,,,,,,,N*7A\r\n"
        "\xB5\x62\x01\x02 binary\n"
        "$GPGGA,000000.00,,,,,0,00,,,,,,,*6E\r\n"
        "$GPGLL,,,,,000000.50,V,N*4E\r\n"
        "$GPZDA,000001.00,01,01,2024,,*6D\r\n"
        "$GPTXT,last line without an end";
    const QList<ReplayEpoch> epochs = splitRecording(recording);
    QCOMPARE(epochs.size(), 4);
    QCOMPARE(epochs.at(0).timeMs, qint64(86399000));
    QVERIFY(epochs.at(0).bytes.startsWith("$GPGSV"));
    QVERIFY(epochs.at(0).bytes.endsWith(" binary\n"));
    QCOMPARE(epochs.at(1).timeMs, qint64(0));
    QCOMPARE(epochs.at(2).timeMs, qint64(500));
    QCOMPARE(epochs.at(3).timeMs, qint64(1000));
    QVERIFY(epochs.at(3).bytes.endsWith("without an end"));
    // Bytes are kept exactly, comment lines left out.
    QByteArray joined;
    for (const ReplayEpoch &e : epochs)
        joined += e.bytes;
    QCOMPARE(joined, recording.mid(recording.indexOf('\n') + 1));
}

void TestSimUnits::replayPace_data()
{
    QTest::addColumn<QList<qint64>>("times");
    QTest::addColumn<double>("speed");
    QTest::addColumn<QList<qint64>>("offsets");
    using L = QList<qint64>;
    QTest::newRow("one hertz") << L{1000, 2000, 3000} << 1.0 << L{0, 1000, 2000};
    QTest::newRow("twice as fast") << L{1000, 2000, 3000} << 2.0 << L{0, 500, 1000};
    QTest::newRow("uneven steps kept") << L{0, 200, 1200, 1300} << 1.0 << L{0, 200, 1200, 1300};
    QTest::newRow("across midnight") << L{86399500, 0, 500} << 1.0 << L{0, 500, 1000};
    QTest::newRow("backwards step counts as a second") << L{5000, 4000, 5000} << 1.0 << L{0, 1000, 2000};
    QTest::newRow("corrupt jump counts as a second") << L{5000, 3600000, 3601000} << 1.0 << L{0, 1000, 2000};
    QTest::newRow("epoch without time") << L{5000, -1, 7000} << 1.0 << L{0, 1000, 2000};
}

void TestSimUnits::replayPace()
{
    QFETCH(QList<qint64>, times);
    QFETCH(double, speed);
    QFETCH(QList<qint64>, offsets);
    QList<ReplayEpoch> epochs;
    for (qint64 t : times) {
        ReplayEpoch e;
        e.timeMs = t;
        epochs.append(e);
    }
    QCOMPARE(replayOffsets(epochs, speed), offsets);
}

void TestSimUnits::damageAtFullShare()
{
    FaultInjector faults(3);
    const QByteArray sentence = "$GNGGA,030000.000,3113.90418,N,12128.71700,E,1,31,0.46,12.1,M,9.1,M,,*76\r\n";
    QVERIFY(checksumRight(sentence));
    int corrupted = 0, cut = 0;
    for (int i = 0; i < 200; ++i) {
        bool damaged = false;
        const QByteArray out = faults.damage(sentence, 1.0, &damaged);
        QVERIFY(damaged);
        QVERIFY(out.endsWith("\r\n"));
        QVERIFY2(!checksumRight(out), out.constData());
        if (out.size() == sentence.size())
            ++corrupted;
        else
            ++cut;
    }
    QVERIFY(corrupted > 50 && cut > 50);
    bool damaged = true;
    QCOMPARE(faults.damage(sentence, 0.0, &damaged), sentence);
    QVERIFY(!damaged);
}

void TestSimUnits::splitKeepsEveryByte()
{
    FaultInjector faults(8);
    const QByteArray bytes(5000, 'a');
    for (int max : {1, 7, 64}) {
        const QList<QByteArray> pieces = faults.split(bytes, max);
        QByteArray joined;
        QSet<int> sizes;
        for (const QByteArray &p : pieces) {
            QVERIFY(p.size() >= 1 && p.size() <= max);
            sizes.insert(p.size());
            joined += p;
        }
        QCOMPARE(joined, bytes);
        QVERIFY(max == 1 || sizes.size() > 1);   // random points, not a fixed stride
    }
    QCOMPARE(faults.noise(300).size(), 300);
}

QTEST_MAIN(TestSimUnits)
#include "tst_simunits.moc"
