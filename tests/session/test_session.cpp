// The receiver session without a window: the read loop's decisions (the
// version query's follow-ups, the first fix after a restart, restart
// reports), the log of every byte, commands held by a source that cannot
// send, and the addresses sources are named by.
#include "support/fakesource.h"
#include "session/receiversession.h"
#include "settings/filelocations.h"
#include "ttff/timerthread.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>


class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void versionReply_data();
    void versionReply();
    void firstFixAfterRestart();
    void everyByteLogged();
    void sourceThatCannotSend();
    void addresses_data();
    void addresses();

private:
    void feed(const QList<QByteArray> &blocks)
    {
        for (const QByteArray &block : blocks)
            m_session->takeBlock(block);
    }
    std::unique_ptr<QTemporaryDir> m_dir;   // a log folder of each case's own
    std::unique_ptr<ReceiverSession> m_session;
    FakeSource *m_source = nullptr;
};

void TestSession::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    Places::setCurrent(Places::locate(false));
    QDir::setCurrent(m_dir->path());
    m_session = std::make_unique<ReceiverSession>();
    m_source = new FakeSource;
    m_session->setSerialSource(m_source);
    m_session->open(QStringLiteral("fake"), QStringLiteral("115200"));
    QVERIFY(m_session->isOpen());
}

void TestSession::cleanup()
{
    m_session.reset();
    QDir::setCurrent(QDir::tempPath());
    m_dir.reset();
}

void TestSession::versionReply_data()
{
    QTest::addColumn<bool>("armed");
    QTest::addColumn<bool>("tableUsed");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<bool>("armedAfter");
    QTest::newRow("armed, table in use: follow-ups sent once")
        << true << true << QByteArray("$PAIR020*38\r\n$PAIR021*39\r\n$PAIR081*33\r\n") << false;
    QTest::newRow("armed, empty table: reply only creates its row") << true << false << QByteArray() << true;
    QTest::newRow("not armed: nothing sent") << false << true << QByteArray() << false;
}

void TestSession::versionReply()
{
    QFETCH(bool, armed);
    QFETCH(bool, tableUsed);
    QFETCH(QByteArray, written);
    QFETCH(bool, armedAfter);

    if (tableUsed)
        feed({"$GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"});
    m_session->timerObject()->setPMKFlag(armed);
    const QByteArray reply("$PAIR001,605,0*3A\r\n");
    feed({reply});
    // A second reply is compared with the rows: the follow-ups go once.
    if (tableUsed)
        feed({reply});
    QCOMPARE(m_source->written, written);
    QCOMPARE(m_session->timerObject()->getPMKFlag(), armedAfter);
}

void TestSession::firstFixAfterRestart()
{
    const QByteArray noFix("$GNGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9,1*33\r\n");
    const QByteArray fix("$GNGSA,A,3,05,13,,,,,,,,,,,1.8,1.0,1.5,1*33\r\n");
    const QByteArray report("$PAIR010,1,-1*2D\r\n");
    QSignalSpy fixes(m_session.get(), &ReceiverSession::firstFix);
    QSignalSpy blocks(m_session.get(), &ReceiverSession::blockTaken);

    // A fix right after start, before any GSA without one, is not a first fix.
    feed({fix, fix});
    QCOMPARE(fixes.size(), 0);
    feed({noFix + noFix, fix});
    QCOMPARE(fixes.size(), 1);
    feed({fix + fix});
    QCOMPARE(fixes.size(), 1);
    // A restart starts the count again: its report is counted for the
    // window's TTFF display, and the next fix after no fix is a first one.
    QVERIFY(m_session->sendRestart(ReceiverCommands::Restart::Cold));
    feed({report + noFix + report, fix});
    QCOMPARE(fixes.size(), 2);
    QCOMPARE(blocks.at(blocks.size() - 2).at(0).value<SessionBlock>().restartReports, 2);
    QCOMPARE(m_source->written, QByteArray("$PAIR006*3C\r\n"));
}

void TestSession::everyByteLogged()
{
    // Binary bytes, a NUL and a line cut at the end all reach the log as
    // they came; the log closes with the source.
    const QByteArray bytes = QByteArray("\xb5\x62\x01\x07", 4) + QByteArray(1, '\0')
                             + "$GPGGA,1*00\r\n$GPRMC,cut";
    feed({bytes});
    const QString log = m_session->logFileName();
    QVERIFY(m_session->isLogging());
    m_session->close();
    QVERIFY(!m_session->isLogging());
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

void TestSession::sourceThatCannotSend()
{
    auto *listener = new FakeSource(QStringLiteral("a UDP source only listens"));
    ReceiverSession session;
    session.setSerialSource(listener);
    session.open(QStringLiteral("fake"), QString());
    QSignalSpy said(&session, &ReceiverSession::message);
    QVERIFY(!session.sendRestart(ReceiverCommands::Restart::Hot));
    QVERIFY(!session.writeRaw("\xd3\x00\x13"));
    QCOMPARE(listener->written, QByteArray());
    QCOMPARE(said.size(), 1);
    QCOMPARE(said.at(0).at(0).toString(), QStringLiteral("a UDP source only listens"));
}

void TestSession::addresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");    // -1: refused
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("pathOrDevice");
    QTest::newRow("serial port by name") << "/dev/ttyUSB0" << int(SourceAddress::Serial) << "" << 0 << "/dev/ttyUSB0";
    QTest::newRow("tcp with host and port") << "tcp://10.0.0.7:4001" << int(SourceAddress::Tcp) << "10.0.0.7" << 4001 << "";
    QTest::newRow("tcp to an IPv6 host") << "tcp://[::1]:4001" << int(SourceAddress::Tcp) << "::1" << 4001 << "";
    QTest::newRow("udp on any address") << "udp://:10110" << int(SourceAddress::Udp) << "" << 10110 << "";
    QTest::newRow("gpsd without port takes 2947") << "gpsd://localhost" << int(SourceAddress::Gpsd) << "localhost" << 2947 << "";
    QTest::newRow("gpsd with a device") << "gpsd://127.0.0.1:2947/dev/ttyACM0" << int(SourceAddress::Gpsd)
                                        << "127.0.0.1" << 2947 << "/dev/ttyACM0";
    QTest::newRow("file") << "file:/tmp/drive.nma" << int(SourceAddress::File) << "" << 0 << "/tmp/drive.nma";
    QTest::newRow("tcp without a host refused") << "tcp://:4001" << -1 << "" << 0 << "";
    QTest::newRow("port out of range refused") << "tcp://h:70000" << -1 << "" << 0 << "";
    QTest::newRow("unknown scheme refused") << "http://h:80" << -1 << "" << 0 << "";
}

void TestSession::addresses()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, pathOrDevice);
    SourceAddress a;
    QString error;
    QCOMPARE(SourceAddress::parse(text, &a, &error), kind >= 0);
    if (kind < 0) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QCOMPARE(int(a.kind), kind);
    QCOMPARE(a.host, host);
    QCOMPARE(a.port, port);
    QCOMPARE(a.kind == SourceAddress::Gpsd ? a.device : a.path, pathOrDevice);
    // Written back, it reads the same.
    SourceAddress again;
    QVERIFY(SourceAddress::parse(a.toString(), &again, &error));
    QCOMPARE(again.toString(), a.toString());
}

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
