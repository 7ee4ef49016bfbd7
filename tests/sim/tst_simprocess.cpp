// The simulated receiver as a program on its pseudo-terminal: start, link
// and stop; acknowledgement and restart timing; replay pace; and what each
// fault mode does to the line.
#include "e2e/simprocess.h"
#include "tests/sim/simline.h"
#include "tests/sim/simtestutil.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace simtest;

namespace {

constexpr int StartMs = 15000;

QByteArray sentence(const QByteArray &body)
{
    quint8 sum = 0;
    for (char c : body)
        sum ^= quint8(c);
    return '$' + body + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

int ggaQuality(const QByteArray &line) { return fieldsOf(line).value(6).toInt(); }

} // namespace

class TestSimProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void stopsAndRemovesItsLink_data();
    void stopsAndRemovesItsLink();
    void acknowledgementTiming_data();
    void acknowledgementTiming();
    void wrongChecksumGetsNoAnswer();
    void restartTiming_data();
    void restartTiming();
    void replayKeepsTheRecordedPace_data();
    void replayKeepsTheRecordedPace();
    void lfOnlyAndNmea3();
    void chunkSplitsWrites();
    void garbageDamagesItsShare();
    void baudNoiseIsOnlyNoise();
    void hangupClosesTheLine();
    void lineRateAndFlood();

private:
    QTemporaryDir m_dir;
};

void TestSimProcess::initTestCase()
{
    QVERIFY2(SimProcess::isBuilt(), qPrintable(SimProcess::executable() + " is not built"));
    QVERIFY(m_dir.isValid());
}

void TestSimProcess::stopsAndRemovesItsLink_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("standard input closes") << 0;
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestSimProcess::stopsAndRemovesItsLink()
{
    QFETCH(int, how);
    const QString link = m_dir.filePath(QStringLiteral("gnss%1").arg(how));
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--link"), link}, StartMs));
    QVERIFY(sim.portPath().startsWith(QLatin1String("/dev/")));
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.portPath());
    {
        SimLine line(link);
        QVERIFY(line.isOpen());
        line.readFor(1500, [](const SimLine::Line &l) { return l.text.startsWith("$GNGGA"); });
        QVERIFY(!line.lines().isEmpty());
    }
    if (how == 0)
        sim.process()->closeWriteChannel();
    else
        ::kill(pid_t(sim.process()->processId()), how);
    QVERIFY(sim.process()->waitForFinished(5000));
    QCOMPARE(sim.process()->exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process()->exitCode(), 0);
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
}

void TestSimProcess::acknowledgementTiming_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("version query") << QByteArray("$PMTK605*31\r\n") << QByteArray("$PAIR001,605,");
    QTest::newRow("follow-up command") << QByteArray("$PAIR021*39\r\n") << QByteArray("$PAIR001,021,0*");
    QTest::newRow("typed command with a parameter") << QByteArray("$PAIR050,1000*12\r\n")
                                                    << QByteArray("$PAIR001,050,0*");
    QTest::newRow("cold start report") << QByteArray("$PAIR006*3C\r\n") << QByteArray("$PAIR010,1,-1");
}

void TestSimProcess::acknowledgementTiming()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    SimProcess sim;
    QVERIFY(sim.start({}, StartMs));
    SimLine line(sim.portPath());
    QVERIFY(line.isOpen());
    QVERIFY(sim.waitForListener(StartMs));
    line.readFor(300);
    const qint64 sentAt = line.nowMs();
    QVERIFY(line.write(command));
    line.readFor(3000, [&](const SimLine::Line &l) { return l.text.startsWith(reply); });
    const auto &lines = line.lines();
    auto found = std::find_if(lines.begin(), lines.end(), [&](const SimLine::Line &l) { return l.text.startsWith(reply); });
    QVERIFY2(found != lines.end(), qPrintable(sim.rawLog()));
    QVERIFY(checksumRight(found->text));
    QVERIFY2(found->atMs - sentAt < 100, qPrintable(QString::number(found->atMs - sentAt)));
    if (command.startsWith("$PMTK605")) {
        // The version text line follows the acknowledgement.
        line.readFor(500);
        const int at = int(found - lines.begin());
        QVERIFY(at + 1 < line.lines().size());
        QVERIFY(line.lines().at(at + 1).text.startsWith("$GNTXT,"));
    }
    const SimProcess::Entry logged = sim.waitForCommand(QString::fromLatin1(command.trimmed()), 3000);
    QCOMPARE(logged.status, QStringLiteral("ok"));
}

void TestSimProcess::wrongChecksumGetsNoAnswer()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--rate"), QStringLiteral("10")}, StartMs));
    SimLine line(sim.portPath());
    QVERIFY(sim.waitForListener(StartMs));
    QVERIFY(line.write("$PMTK605*30\r\n$PAIR004*00\r\n"));
    line.readFor(800);
    for (const SimLine::Line &l : line.lines())
        QVERIFY2(!l.text.startsWith("$PAIR"), l.text.constData());
    // The fix stays: no restart happened.
    for (const SimLine::Line &l : line.lines())
        if (l.text.startsWith("$GNGGA"))
            QCOMPARE(ggaQuality(l.text), 1);
    QCOMPARE(sim.waitForCommand(QStringLiteral("$PMTK605*30"), 3000).status, QStringLiteral("bad-checksum"));
    QCOMPARE(sim.waitForCommand(QStringLiteral("$PAIR004*00"), 3000).status, QStringLiteral("bad-checksum"));
    QVERIFY(sim.receivedCommands().isEmpty());
}

void TestSimProcess::restartTiming_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("ttffMs");
    QTest::addColumn<int>("highMs");   // above ttffMs: each restart draws from the spread, at 1 Hz
    QTest::newRow("hot") << QByteArray("$PAIR004*3E\r\n") << 400 << 0;
    QTest::newRow("warm") << QByteArray("$PAIR005*3F\r\n") << 700 << 0;
    QTest::newRow("cold") << QByteArray("$PAIR006*3C\r\n") << 1000 << 0;
    QTest::newRow("full cold") << QByteArray("$PAIR007*3D\r\n") << 1300 << 0;
    QTest::newRow("cold drawn from 1.0 to 2.5 s, 1 Hz") << QByteArray("$PAIR006*3C\r\n") << 1000 << 2500;
}

void TestSimProcess::restartTiming()
{
    QFETCH(QByteArray, command);
    QFETCH(int, ttffMs);
    QFETCH(int, highMs);
    const QString truth = m_dir.filePath(QStringLiteral("restart.jsonl"));
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--rate"), QString::number(highMs ? 1 : 10), QStringLiteral("--truth"), truth,
                       "--ttff", highMs ? "cold=1.0:2.5" : "hot=0.4,warm=0.7,cold=1.0,full=1.3"}, StartMs));
    SimLine line(sim.portPath());
    QVERIFY(sim.waitForListener(StartMs));
    line.readFor(300);
    line.clear();
    const qint64 sentAt = line.nowMs();
    QVERIFY(line.write(command));
    line.readFor(qMax(ttffMs, highMs) + 3000, [](const SimLine::Line &l) {
        return l.text.startsWith("$GNGGA") && ggaQuality(l.text) == 1;
    });
    // Truth: the time drawn, the first fixed epoch that long after the command was received, sent then.
    QFile file(truth);
    const QByteArray all = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QJsonObject restart = QJsonDocument::fromJson(all.mid(all.indexOf("{\"restart\"")).split('\n')[0]).object();
    const qint64 drawnMs = qRound64(restart.value(QStringLiteral("ttff")).toDouble() * 1000);
    QVERIFY2(drawnMs >= ttffMs && drawnMs <= qMax(ttffMs, highMs), all.constData());
    auto timeOf = [&](const char *k) { return QDateTime::fromString(restart[k].toString(), Qt::ISODateWithMs); };
    QCOMPARE(timeOf("received").msecsTo(timeOf("firstFix")), drawnMs);

    qint64 reportAt = -1, fixAt = -1;
    int withoutFix = 0;
    for (const SimLine::Line &l : line.lines()) {
        if (l.text.startsWith("$PAIR010,1,-1"))
            reportAt = l.atMs;
        if (reportAt < 0 || !l.text.startsWith("$GN"))
            continue;
        if (l.text.startsWith("$GNGGA")) {
            if (ggaQuality(l.text) == 1) {
                fixAt = l.atMs;
                QCOMPARE(fieldsOf(l.text).at(1), timeOf("firstFix").toString(QStringLiteral("HHmmss.zzz")).toLatin1());
                break;
            }
            ++withoutFix;
        } else if (l.text.startsWith("$GNGSA")) {
            QCOMPARE(fieldsOf(l.text).at(2), QByteArray("1"));
        }
    }
    QVERIFY2(reportAt >= 0, qPrintable(sim.rawLog()));
    QVERIFY(fixAt > reportAt);
    QVERIFY(withoutFix >= drawnMs * (highMs ? 1 : 10) / 1000 - 2);
    QVERIFY2(qAbs(fixAt - sentAt - drawnMs) <= 50, qPrintable(QString::number(fixAt - sentAt)));
}

void TestSimProcess::replayKeepsTheRecordedPace_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<bool>("loop");
    QTest::newRow("recorded pace") << 1.0 << false;
    QTest::newRow("twice as fast, looping") << 2.0 << true;
}

void TestSimProcess::replayKeepsTheRecordedPace()
{
    QFETCH(double, speed);
    QFETCH(bool, loop);
    // Six epochs at uneven steps: 0, 250, 500, 1000, 1200, 1700 ms.
    const QList<QByteArray> times = {"120000.00", "120000.25", "120000.50", "120001.00", "120001.20", "120001.70"};
    const QList<int> offsets = {0, 250, 500, 1000, 1200, 1700};
    QByteArray recording = "# recorded by a test\n";
    for (const QByteArray &t : times)
        recording += sentence("GPGGA," + t + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
                     + sentence("GPRMC," + t + ",A,4807.038,N,01131.000,E,0.0,0.0,010624,,,A");
    const QString path = m_dir.filePath(QStringLiteral("replay.nma"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(recording);
    file.close();

    QStringList arguments = {QStringLiteral("--replay"), path, QStringLiteral("--speed"), QString::number(speed)};
    if (loop)
        arguments << QStringLiteral("--loop");
    SimProcess sim;
    QVERIFY(sim.start(arguments, StartMs));
    SimLine line(sim.portPath());
    QVERIFY(line.isOpen());
    const int spanMs = int(1700 / speed);
    line.readFor(spanMs + (loop ? 1200 : 700));

    QList<qint64> arrivals;
    QList<QByteArray> seen;
    for (const SimLine::Line &l : line.lines()) {
        if (l.text.startsWith("$GPGGA")) {
            arrivals.append(l.atMs);
            seen.append(fieldsOf(l.text).at(1));
        }
    }
    QVERIFY2(arrivals.size() >= 6, qPrintable(sim.rawLog()));
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(seen.at(i), times.at(i));
        const qint64 expected = qint64(offsets.at(i) / speed);
        QVERIFY2(qAbs(arrivals.at(i) - arrivals.first() - expected) <= 60,
                 qPrintable(QStringLiteral("epoch %1 at %2 ms, recorded %3 ms")
                                .arg(i).arg(arrivals.at(i) - arrivals.first()).arg(expected)));
    }
    if (loop) {
        QVERIFY(arrivals.size() >= 7);
        QCOMPARE(seen.at(6), times.first());
    } else {
        QCOMPARE(arrivals.size(), 6);
        // Replayed bytes are the recording's, comment header left out.
        QCOMPARE(line.bytes(), recording.mid(recording.indexOf('\n') + 1));
    }
}

void TestSimProcess::lfOnlyAndNmea3()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--rate"), QStringLiteral("10"), QStringLiteral("--lf-only"),
                       QStringLiteral("--nmea"), QStringLiteral("3")}, StartMs));
    SimLine line(sim.portPath());
    QVERIFY(sim.waitForListener(StartMs));
    line.readFor(700);
    int gsa = 0, gsv = 0;
    for (const SimLine::Line &l : line.lines()) {
        QVERIFY2(l.text.endsWith('\n') && !l.text.contains('\r'), l.text.constData());
        if (!l.text.startsWith('$'))
            continue;
        QVERIFY2(checksumRight(l.text), l.text.constData());
        const QList<QByteArray> f = fieldsOf(l.text);
        if (l.text.startsWith("$GNGSA")) {
            ++gsa;
            QCOMPARE(f.size(), 18);   // no system ID
        } else if (l.text.mid(3, 3) == "GSV") {
            ++gsv;
            QCOMPARE((f.size() - 4) % 4, 0);   // no signal ID after the last satellite
        }
    }
    QVERIFY(gsa >= 8 && gsv >= 16);
}

void TestSimProcess::chunkSplitsWrites()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--chunk"), QStringLiteral("8")}, StartMs));
    SimLine line(sim.portPath());
    QVERIFY(sim.waitForListener(StartMs));
    line.readFor(2500);
    // Pieces of at most 8 bytes a millisecond apart: most reads see one piece.
    int small = 0;
    for (const SimLine::Read &r : line.reads())
        small += r.bytes.size() <= 8 ? 1 : 0;
    QVERIFY2(line.reads().size() > 100, qPrintable(QString::number(line.reads().size())));
    QVERIFY(small * 4 >= line.reads().size() * 3);
    // And nothing is lost: every whole sentence checks.
    int sentences = 0;
    for (const SimLine::Line &l : line.lines()) {
        if (!l.text.startsWith('$'))
            continue;
        QVERIFY2(checksumRight(l.text), l.text.constData());
        ++sentences;
    }
    QVERIFY(sentences >= 20);
}

void TestSimProcess::garbageDamagesItsShare()
{
    // Over the line: about a fifth of the lines fail their checksum.
    {
        SimProcess sim;
        QVERIFY(sim.start({QStringLiteral("--rate"), QStringLiteral("10"), QStringLiteral("--garbage"),
                           QStringLiteral("0.2"), QStringLiteral("--seed"), QStringLiteral("4")}, StartMs));
        SimLine line(sim.portPath());
        QVERIFY(sim.waitForListener(StartMs));
        line.readFor(1500);
        int bad = 0, all = 0;
        for (const SimLine::Line &l : line.lines()) {
            ++all;
            bad += checksumRight(l.text) ? 0 : 1;
            QVERIFY(l.text.endsWith("\r\n"));
        }
        QVERIFY(all > 200);
        QVERIFY2(bad > all * 0.12 && bad < all * 0.28, qPrintable(QStringLiteral("%1 of %2").arg(bad).arg(all)));
    }
    // In a file with its truth: the epochs' damaged counts are the bad lines.
    const QString out = m_dir.filePath(QStringLiteral("garbage.nma"));
    const QString truth = m_dir.filePath(QStringLiteral("garbage.jsonl"));
    QProcess run;
    run.start(SimProcess::executable(), {QStringLiteral("--output"), out, QStringLiteral("--truth"), truth,
                                         QStringLiteral("--epochs"), QStringLiteral("40"), QStringLiteral("--garbage"),
                                         QStringLiteral("0.05")});
    QVERIFY(run.waitForFinished(30000));
    QFile sent(out), json(truth);
    QVERIFY(sent.open(QIODevice::ReadOnly) && json.open(QIODevice::ReadOnly));
    int bad = 0;
    for (const QByteArray &l : linesOf(sent.readAll()))
        bad += checksumRight(l) ? 0 : 1;
    int damaged = 0, epochs = 0;
    for (const QByteArray &l : json.readAll().trimmed().split('\n')) {
        damaged += QJsonDocument::fromJson(l).object().value(QStringLiteral("damaged")).toInt();
        ++epochs;
    }
    QCOMPARE(epochs, 40);
    QVERIFY(bad > 0);
    QCOMPARE(damaged, bad);
}

void TestSimProcess::baudNoiseIsOnlyNoise()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--baud-noise"), QStringLiteral("--rate"), QStringLiteral("5")}, StartMs));
    SimLine line(sim.portPath());
    QVERIFY(sim.waitForListener(StartMs));
    QVERIFY(line.write("$PMTK605*31\r\n"));
    line.readFor(1500);
    const QByteArray bytes = line.bytes();
    QVERIFY(bytes.size() > 3000);
    QVERIFY(!bytes.contains("GGA,") && !bytes.contains("GSV,") && !bytes.contains("$PAIR001"));
    QSet<char> distinct;
    for (char c : bytes)
        distinct.insert(c);
    QVERIFY(distinct.size() > 200);   // all kinds of bytes, not text
    QCOMPARE(sim.waitForCommand(QStringLiteral("$PMTK605*31"), 3000).status, QStringLiteral("not-understood"));
}

void TestSimProcess::hangupClosesTheLine()
{
    const QString link = m_dir.filePath(QStringLiteral("unplug"));
    SimProcess sim;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(sim.start({QStringLiteral("--hangup-after"), QStringLiteral("1.5"), QStringLiteral("--link"), link},
                      StartMs));
    SimLine line(sim.portPath());
    QVERIFY(line.isOpen());
    line.readFor(6000, [](const SimLine::Line &) { return false; });
    QVERIFY(line.hungUp());
    QVERIFY2(clock.elapsed() >= 1400 && clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!line.lines().isEmpty());
    QVERIFY(sim.waitFor([](const SimProcess::Entry &e) { return e.text == QLatin1String("hangup"); }, 3000)
                .utc.isValid());
    QVERIFY(!QFileInfo(link).isSymLink());
    // The simulator itself keeps running until it is stopped.
    QCOMPARE(sim.process()->state(), QProcess::Running);
}

void TestSimProcess::lineRateAndFlood()
{
    // Flood at 9600 baud: the line is full, and never fuller than 960 bytes a second.
    {
        SimProcess sim;
        QVERIFY(sim.start({QStringLiteral("--flood"), QStringLiteral("--line-rate"), QStringLiteral("9600")},
                          StartMs));
        SimLine line(sim.portPath());
        QVERIFY(sim.waitForListener(StartMs));
        line.readFor(200);
        const qint64 from = line.nowMs();
        const int before = line.bytes().size();
        line.readFor(2000);
        const double seconds = (line.nowMs() - from) / 1000.0;
        const int bytes = line.bytes().size() - before;
        QVERIFY2(bytes <= 960 * seconds + 64 + 40 && bytes >= 960 * seconds * 0.85,
                 qPrintable(QStringLiteral("%1 bytes in %2 s").arg(bytes).arg(seconds)));
    }
    // Flood without a limit: epochs far faster than real time, each one
    // simulated second after the one before.
    {
        SimProcess sim;
        QVERIFY(sim.start({QStringLiteral("--flood")}, StartMs));
        SimLine line(sim.portPath());
        QVERIFY(sim.waitForListener(StartMs));
        line.readFor(1000);
        QList<QByteArray> times;
        for (const SimLine::Line &l : line.lines())
            if (l.text.startsWith("$GNGGA"))
                times.append(fieldsOf(l.text).at(1));
        QVERIFY2(times.size() > 20, qPrintable(QString::number(times.size())));
        for (int i = 1; i < times.size(); ++i) {
            const QTime a = QTime::fromString(QString::fromLatin1(times.at(i - 1)), QStringLiteral("HHmmss.zzz"));
            const QTime b = QTime::fromString(QString::fromLatin1(times.at(i)), QStringLiteral("HHmmss.zzz"));
            QCOMPARE(a.msecsTo(b), 1000);
        }
    }
}

QTEST_MAIN(TestSimProcess)
#include "tst_simprocess.moc"
