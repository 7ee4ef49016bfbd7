// Sources beyond the serial port, each against the real program on the far
// end, all on loopback: the simulator serving TCP and sending UDP, gpsd
// owning the simulator's line, ser2net bridging it to TCP; and sources that
// fail, each with its plain word in time.
#include "simprocess.h"

#include "app/mainwindow.h"
#include "receiver/receivermodel.h"
#include "replay/replayplayer.h"
#include "session/receiversession.h"
#include "session/sources.h"
#include "session/serialsource.h"
#include "settings/filelocations.h"
#include "ttff/ttff.h"
#include "ui_mainwindow.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLCDNumber>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int DataMs = 15000;

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// A session as the window makes one, its sources made by the program's maker.
std::unique_ptr<ReceiverSession> newSession()
{
    auto session = std::make_unique<ReceiverSession>();
    session->setSerialSource(new SerialSource);
    session->setSourceMaker(&Sources::make);
    Sources::setReplayMaker([](const QString &path, QObject *parent, QString *) -> ByteSource * {
        return new ReplayPlayer(path, parent);
    });
    return session;
}

// A peer program (gpsd, ser2net) run by the test and ended with it.
struct Peer
{
    QProcess process;
    ~Peer()
    {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(3000);
    }
};
} // namespace

class TestEndToEndSources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tcpBothWaysAndReconnect();
    void udpListens();
    void gpsdEpochsMatchTheTruth();
    void ser2netCarriesRestartsAndTtff();
    void badSources_data();
    void badSources();

private:
    QTemporaryDir m_dir;
};

void TestEndToEndSources::initTestCase()
{
    QVERIFY2(SimProcess::isBuilt(), qPrintable(SimProcess::executable() + " is not built"));
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
    Places::setCurrent(Places::locate(false));
}

void TestEndToEndSources::tcpBothWaysAndReconnect()
{
    const int port = freePort();
    const QStringList simArgs{QStringLiteral("--tcp"), QString::number(port), QStringLiteral("--rate"), QStringLiteral("5")};
    auto sim = std::make_unique<SimProcess>();
    QVERIFY2(sim->start(simArgs), qPrintable(sim->rawLog()));
    auto session = newSession();
    QSignalSpy epochs(session->receiverModel(), &ReceiverModel::epochFinished);
    session->open(QStringLiteral("tcp://127.0.0.1:%1").arg(port), QString());
    QTRY_VERIFY_WITH_TIMEOUT(epochs.size() >= 3, DataMs);
    QVERIFY(session->whyCannotSend().isEmpty());
    QVERIFY(session->sendRestart(ReceiverCommands::Restart::Hot));
    QVERIFY2(sim->waitForCommand(QStringLiteral("$PAIR004*3E"), DataMs).utc.isValid(), qPrintable(sim->rawLog()));
    const QString firstLog = session->logFileName();

    // The peer goes and comes back: the session says so, waits, and logs
    // the new connection to a new file.
    QSignalSpy lost(session.get(), &ReceiverSession::lost);
    sim->stop();
    QTRY_VERIFY_WITH_TIMEOUT(lost.size() == 1, DataMs);
    QVERIFY(!session->isOpen() && session->source()->isReconnecting());
    QTest::qWait(1100);   // a log of another second
    sim = std::make_unique<SimProcess>();
    QVERIFY2(sim->start(simArgs), qPrintable(sim->rawLog()));
    QTRY_VERIFY_WITH_TIMEOUT(session->isOpen(), DataMs);
    const int before = epochs.size();
    QTRY_VERIFY_WITH_TIMEOUT(epochs.size() >= before + 3, DataMs);
    QVERIFY(session->logFileName() != firstLog);
}

void TestEndToEndSources::udpListens()
{
    const int port = freePort();
    auto session = newSession();
    QSignalSpy epochs(session->receiverModel(), &ReceiverModel::epochFinished);
    session->open(QStringLiteral("udp://127.0.0.1:%1").arg(port), QString());
    QVERIFY(session->isOpen());
    SimProcess sim;
    QVERIFY2(sim.start({QStringLiteral("--udp"), QStringLiteral("127.0.0.1:%1").arg(port)}), qPrintable(sim.rawLog()));
    QTRY_VERIFY_WITH_TIMEOUT(epochs.size() >= 3, DataMs);
    // It cannot send, and says why instead of failing silently.
    QVERIFY(session->whyCannotSend().contains(QLatin1String("UDP")));
    QVERIFY(!session->sendRestart(ReceiverCommands::Restart::Cold));
}

void TestEndToEndSources::gpsdEpochsMatchTheTruth()
{
    const QString gpsd = QStandardPaths::findExecutable(QStringLiteral("gpsd"), {"/usr/sbin", "/usr/bin"});
    if (gpsd.isEmpty())
        QSKIP("gpsd is not installed (scripts/install-deps.sh installs it)");
    const QString truthFile = m_dir.filePath(QStringLiteral("truth.jsonl"));
    SimProcess sim;
    QVERIFY2(sim.start({QStringLiteral("--truth"), truthFile, QStringLiteral("--signals"), QStringLiteral("2")}),
             qPrintable(sim.rawLog()));
    const int port = freePort();
    Peer peer;
    // Its control socket in the test's folder: another gpsd may run beside.
    peer.process.start(gpsd, {QStringLiteral("-N"), QStringLiteral("-n"), QStringLiteral("-b"), QStringLiteral("-F"),
                              m_dir.filePath(QStringLiteral("gpsd.sock")), QStringLiteral("-S"),
                              QString::number(port), sim.portPath()});
    QVERIFY(peer.process.waitForStarted());

    auto session = newSession();
    QList<Epoch> seen;
    connect(session->receiverModel(), &ReceiverModel::epochFinished, this, [&](const Epoch &e) { seen.append(e); });
    // gpsd takes a moment to listen.
    QTRY_VERIFY_WITH_TIMEOUT([&] {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(port));
        return probe.waitForConnected(200);
    }(), DataMs);
    session->open(QStringLiteral("gpsd://127.0.0.1:%1%2").arg(port).arg(sim.portPath()), QString());
    QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 5, DataMs * 2);
    QVERIFY(!session->whyCannotSend().isEmpty());

    // Every epoch the session made is one the simulator sent: its time and
    // position as the truth file has them.
    QFile truth(truthFile);
    QVERIFY(truth.open(QIODevice::ReadOnly));
    QHash<int, QJsonObject> sent;
    for (const QByteArray &line : truth.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QTime t = QDateTime::fromString(o.value("utc").toString(), Qt::ISODateWithMs).time();
        if (t.isValid())
            sent.insert(t.msecsSinceStartOfDay(), o);
    }
    int compared = 0;
    for (const Epoch &e : seen) {
        QVERIFY2(sent.contains(e.utcMs), qPrintable(QString::number(e.utcMs)));
        const QJsonObject o = sent.value(e.utcMs);
        if (!e.hasFix() || o.value("lat").isNull())
            continue;
        QVERIFY(qAbs(e.latitude - o.value("lat").toDouble()) < 1e-5);
        QVERIFY(qAbs(e.longitude - o.value("lon").toDouble()) < 1e-5);
        ++compared;
    }
    QVERIFY(compared >= 3);
}

void TestEndToEndSources::ser2netCarriesRestartsAndTtff()
{
    const QString ser2net = QStandardPaths::findExecutable(QStringLiteral("ser2net"), {"/usr/sbin", "/usr/bin"});
    if (ser2net.isEmpty())
        QSKIP("ser2net is not installed (scripts/install-deps.sh installs it)");
    SimProcess sim;
    QVERIFY2(sim.start({QStringLiteral("--ttff"), QStringLiteral("hot=3")}), qPrintable(sim.rawLog()));
    const int port = freePort();
    const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
    QFile yaml(config);
    QVERIFY(yaml.open(QIODevice::WriteOnly));
    yaml.write(QStringLiteral("connection: &sim\n"
                              "  accepter: tcp,127.0.0.1,%1\n"
                              "  connector: serialdev,%2,115200n81,local\n"
                              "  options:\n"
                              "    kickolduser: true\n").arg(port).arg(sim.portPath()).toUtf8());
    yaml.close();
    Peer peer;
    peer.process.start(ser2net, {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-P"),
                                 m_dir.filePath(QStringLiteral("ser2net.pid")), QStringLiteral("-c"), config});
    QVERIFY(peer.process.waitForStarted());

    MainWindow window;
    QTRY_VERIFY_WITH_TIMEOUT([&] {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(port));
        return probe.waitForConnected(200);
    }(), DataMs);
    window.openSource(QStringLiteral("tcp://127.0.0.1:%1").arg(port));
    QTRY_VERIFY_WITH_TIMEOUT(window.receiverModel()->latest().hasFix(), DataMs);
    QCOMPARE(window.form()->ctn_btn->text(), QStringLiteral("Disconnect"));

    // The TTFF dialog's HOT start reaches the receiver through the bridge
    // and stops at its first fix.
    ttff *dialog = window.ttffDialog();
    dialog->show();
    QApplication::setActiveWindow(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    dialog->findChild<QRadioButton *>(QStringLiteral("hot_btn"))->click();
    dialog->findChild<QPushButton *>(QStringLiteral("run_btn"))->click();
    QVERIFY2(sim.waitForCommand(QStringLiteral("$PAIR004*3E"), DataMs).utc.isValid(), qPrintable(sim.rawLog()));
    QTRY_VERIFY_WITH_TIMEOUT(dialog->display().state() == TtffDisplay::State::Stopped, 3000 + DataMs);
    QVERIFY(dialog->findChild<QLCDNumber *>(QStringLiteral("lcdNumber"))->value() > 0);
}

void TestEndToEndSources::badSources_data()
{
    QTest::addColumn<QString>("peer");      // what the test serves, if anything
    QTest::addColumn<QString>("address");   // %1: the port served on
    QTest::addColumn<QString>("said");      // what the status bar is told
    QTest::addColumn<bool>("logged");       // everything served must reach the log
    QTest::newRow("unknown host") << "" << "tcp://no-such-host.invalid:4001" << "Cannot open" << false;
    QTest::newRow("refused") << "" << "tcp://127.0.0.1:%1" << "refused" << false;
    QTest::newRow("gpsd without a device") << "gpsd" << "gpsd://127.0.0.1:%1" << "has no receiver" << false;
    QTest::newRow("peer closing mid-line") << "mid-line" << "tcp://127.0.0.1:%1" << "disconnected" << true;
    QTest::newRow("junk flood bounded") << "flood" << "tcp://127.0.0.1:%1" << "" << true;
    QTest::newRow("a log that is not there") << "" << "file:/no/such/log.nma" << "does not exist" << false;
    QTest::newRow("a log without NMEA") << "binary log" << "file:%1/binary.nma" << "holds no NMEA" << false;
}

void TestEndToEndSources::badSources()
{
    QFETCH(QString, peer);
    QFETCH(QString, address);
    QFETCH(QString, said);
    QFETCH(bool, logged);
    // A log folder of its own: logs opened in the same second share a file.
    QTemporaryDir rowDir;
    QDir::setCurrent(rowDir.path());
    const int port = freePort();
    QTcpServer server;
    Peer gpsd;
    constexpr qint64 FloodBytes = 8 << 20;
    const QByteArray midLine("$GPGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,5");
    int served = 0;
    if (peer == QLatin1String("gpsd")) {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("gpsd"), {"/usr/sbin", "/usr/bin"});
        if (program.isEmpty())
            QSKIP("gpsd is not installed");
        gpsd.process.start(program, {QStringLiteral("-N"), QStringLiteral("-n"), QStringLiteral("-F"),
                                     m_dir.filePath(QStringLiteral("gpsd-none.sock")), QStringLiteral("-S"),
                                     QString::number(port)});
        QTRY_VERIFY_WITH_TIMEOUT([&] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, quint16(port));
            return probe.waitForConnected(200);
        }(), DataMs);
    } else if (peer == QLatin1String("binary log")) {
        QFile binary(rowDir.filePath(QStringLiteral("binary.nma")));
        QVERIFY(binary.open(QIODevice::WriteOnly) && binary.write(QByteArray(100000, '\x81')) == 100000);
        address = address.arg(rowDir.path());
    } else if (!peer.isEmpty()) {
        QVERIFY(server.listen(QHostAddress::LocalHost, quint16(port)));
        connect(&server, &QTcpServer::newConnection, this, [&] {
            QTcpSocket *client = server.nextPendingConnection();
            if (peer == QLatin1String("mid-line")) {
                // Once: the session calls again after the hang-up.
                if (served++ == 0)
                    client->write(midLine);
                client->flush();
                client->disconnectFromHost();
                return;
            }
            // Junk as fast as it is taken, 1 MB at a time, without a line end.
            auto sent = std::make_shared<qint64>(0);
            auto more = [client, sent] {
                while (*sent < FloodBytes && client->bytesToWrite() < (1 << 20)) {
                    client->write(QByteArray(1 << 16, 'x'));
                    *sent += 1 << 16;
                }
            };
            connect(client, &QTcpSocket::bytesWritten, client, more);
            more();
        });
    }
    auto session = newSession();
    QStringList messages;
    const auto collect = [&](const QString &text) { messages << text; };
    connect(session.get(), &ReceiverSession::failed, this, collect);
    connect(session.get(), &ReceiverSession::lost, this, collect);
    connect(session.get(), &ReceiverSession::message, this, collect);
    QElapsedTimer clock;
    clock.start();
    session->open(address.contains(QLatin1String("%1")) ? address.arg(port) : address, QString());
    // The window stays answerable: a 50 ms tick is never held up long.
    qint64 longestTick = 0;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] { longestTick = qMax(longestTick, sinceTick.restart()); });
    ticker.start(50);
    QTRY_VERIFY_WITH_TIMEOUT(messages.join('\n').contains(said), 5000);
    if (peer.isEmpty())
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    if (!logged)
        return;
    // Nothing read is lost: the unfinished line, the whole flood.
    QTRY_VERIFY_WITH_TIMEOUT(!session->logFileName().isEmpty(), DataMs);
    const QString log = session->logFileName();
    const qint64 expected = peer == QLatin1String("flood") ? FloodBytes : midLine.size();
    // The flood's last piece waits in the framer for a line feed that never
    // comes, so the flood is whole once it is read; closing then logs it.
    if (peer == QLatin1String("flood"))
        QTRY_VERIFY_WITH_TIMEOUT(session->source()->bytesRead() >= expected, DataMs * 4);
    else
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(log).size() >= expected, DataMs * 4);
    session->close();
    QCOMPARE(QFileInfo(log).size(), expected);
    QVERIFY2(longestTick < 1000, qPrintable(QString::number(longestTick)));
    QDir::setCurrent(m_dir.path());
}

QTEST_MAIN(TestEndToEndSources)
#include "tst_e2e_sources.moc"
