// The program killed with SIGKILL while a receiver streams to it: the log
// file is a byte-for-byte record of whole blocks in the order they came,
// and everything the program had taken in before the kill is in it. Ended
// with SIGTERM, it closes as by its window and the log holds every byte,
// the unfinished last line too. The
// program runs as a child process (build/skyloupe --port PTY --connect on
// the offscreen platform); the test is the receiver on a pseudo-terminal.
#include "support/ptypair.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

QString program()
{
    return QStringLiteral(SKYLOUPE_BUILD_DIR "/skyloupe");
}

// One epoch of sentences, numbered so every block of the stream differs.
QByteArray epoch(int n)
{
    QByteArray e;
    const QByteArray time = QByteArray::number(30000 + n).rightJustified(6, '0') + ".000";
    e += "$GNGGA," + time + ",3113.36057,N,12128.66218,E,1,33,0.46,11.8,M,9.1,M,,*77\r\n";
    e += "$GNRMC," + time + ",A,3113.36057,N,12128.66218,E,0.00,0.00,010624,,,A,V*0C\r\n";
    e += "$GNGSA,A,3,06,07,10,12,15,16,17,21,193,199,,,0.90,0.46,0.77,1*05\r\n";
    e += "$GPGSV,1,1,04,05,08,272,31,06,68,211,40,07,28,089,33,10,14,314,32,1*6F\r\n";
    return e;
}

QByteArray logContent(const QString &dir)
{
    QByteArray all;
    const QStringList files = QDir(dir + "/log").entryList({"*.nma"}, QDir::Files, QDir::Name);
    for (const QString &name : files) {
        QFile f(dir + "/log/" + name);
        if (f.open(QIODevice::ReadOnly))
            all += f.readAll();
    }
    return all;
}

} // namespace

class TestFaultsKill : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileStreaming_data();
    void killedWhileStreaming();
};

void TestFaultsKill::killedWhileStreaming_data()
{
    QTest::addColumn<bool>("caughtUp");
    QTest::addColumn<int>("signal");
    // The program has read and shown all that was sent: the log holds all.
    QTest::newRow("killed after the stream paused") << true << SIGKILL;
    // Killed in the middle of a stream: the log is a prefix of whole blocks.
    QTest::newRow("killed in mid-stream") << false << SIGKILL;
    // Asked to end after a line without its line feed: that line is logged.
    QTest::newRow("terminated after an unfinished line") << true << SIGTERM;
}

void TestFaultsKill::killedWhileStreaming()
{
    QFETCH(bool, caughtUp);
    QFETCH(int, signal);
    if (!QFile::exists(program()))
        QSKIP("the program is not built");
    QTemporaryDir dir;
    PtyPair pty;
    QVERIFY(pty.isValid());

    QProcess app;
    app.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.setStandardOutputFile(QProcess::nullDevice());
    app.start(program(), {"--port", pty.slavePath(), "--baud", "115200", "--connect"});
    QVERIFY2(app.waitForStarted(10000), qPrintable(app.errorString()));

    // Connected once the log file exists.
    QElapsedTimer clock;
    clock.start();
    while (QDir(dir.path() + "/log").entryList({"*.nma"}, QDir::Files).isEmpty() && clock.elapsed() < 20000)
        QTest::qWait(50);
    QVERIFY2(clock.elapsed() < 20000, "the program did not connect");
    pty.closeSlave();

    // Stream epochs, each written at once, so each usually arrives as one
    // block; now and then two go together. In mid-stream the kill comes
    // right after a write, with blocks still on their way.
    QByteArray sent;
    QByteArray before;
    const int epochs = 60 + int(QRandomGenerator::global()->bounded(60));
    const int killAt = caughtUp ? -1 : epochs / 3 + int(QRandomGenerator::global()->bounded(epochs / 2));
    for (int n = 0; n < epochs; ++n) {
        QByteArray chunk = epoch(n);
        if (n % 7 == 3)
            chunk += epoch(++n);
        QVERIFY(pty.write(chunk));
        sent += chunk;
        if (n >= killAt && killAt >= 0) {
            before = logContent(dir.path());
            ::kill(pid_t(app.processId()), SIGKILL);
            break;
        }
        QTest::qWait(n % 5 == 0 ? 15 : 2);
    }
    if (caughtUp) {
        // Wait until the log holds all: everything sent has been shown.
        QTRY_VERIFY_WITH_TIMEOUT(logContent(dir.path()).size() == sent.size(), 20000);
        before = logContent(dir.path());
        if (signal == SIGTERM) {
            const QByteArray unfinished = epoch(epochs).left(30);
            QVERIFY(pty.write(unfinished));
            sent += unfinished;
            QTest::qWait(300);
        }
        ::kill(pid_t(app.processId()), signal);
    }
    QVERIFY(app.waitForFinished(10000));
    QCOMPARE(app.exitStatus(), signal == SIGKILL ? QProcess::CrashExit : QProcess::NormalExit);

    const QByteArray log = logContent(dir.path());
    qInfo("sent %d bytes, %d in the log before the kill, %d after", int(sent.size()), int(before.size()),
          int(log.size()));
    // Nothing the program had taken in is lost, nothing is invented or
    // reordered, and no block is cut.
    QVERIFY(log.size() >= before.size());
    QVERIFY(log.startsWith(before));
    QVERIFY2(sent.startsWith(log), "the log is not a prefix of the stream");
    QVERIFY(signal == SIGTERM || log.isEmpty() || log.endsWith('\n'));
    if (caughtUp)
        QCOMPARE(log.size(), sent.size());
    else
        QVERIFY2(log.size() > 0, "nothing was logged before the kill");
}

QTEST_MAIN(TestFaultsKill)
#include "tst_faults_kill.moc"
