// Corrections end to end: str2str (RTKLIB) is the NTRIP caster on loopback,
// fed the simulator's own corrections file; the client lists its
// mountpoint, streams it with a user and password to the session, and the
// simulated receiver reaches RTK fixed when its truth file says; a TTFF
// campaign of kind RTK run by the window times each restart to RTK fixed as
// the truth says. A caster that refuses says why.
#include "simprocess.h"

#include "analysis/analyzecommand.h"
#include "app/mainwindow.h"
#include "campaign/campaignview.h"
#include "ui_mainwindow.h"
#include "ntrip/correctionslink.h"
#include "ntrip/ntripclient.h"
#include "receiver/receivermodel.h"
#include "session/receiversession.h"
#include "session/serialsource.h"
#include "session/sources.h"
#include "settings/filelocations.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
constexpr int WaitMs = 30000;
const QString Mount = QStringLiteral("SKL_BASE");
const QString User = QStringLiteral("rover");
const QString Password = QStringLiteral("s3cret");

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

bool listening(int port)
{
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, quint16(port));
    return probe.waitForConnected(200);
}
} // namespace

class TestEndToEndRtk : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void mountpointListedAndFixedInTime();
    void rtkCampaignTimesFixed();
    void refusals_data();
    void refusals();
    void droppedStreamComesBack();

private:
    NtripSettings settings() const;

    QTemporaryDir m_dir;
    QProcess m_caster;
    QByteArray m_rtcm;      // the simulator's corrections file
    int m_fed = 0;          // bytes of it given to the caster
    QTimer m_feed;
    int m_port = 0;
};

NtripSettings TestEndToEndRtk::settings() const
{
    NtripSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = m_port;
    s.mountpoint = Mount;
    s.user = User;
    s.password = Password;
    return s;
}

void TestEndToEndRtk::initTestCase()
{
    QVERIFY2(SimProcess::isBuilt(), qPrintable(SimProcess::executable() + " is not built"));
    const QString str2str = QStandardPaths::findExecutable(QStringLiteral("str2str"));
    if (str2str.isEmpty())
        QSKIP("str2str is not installed (scripts/install-deps.sh installs rtklib)");
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
    Places::setCurrent(Places::locate(false));

    const QString file = m_dir.filePath(QStringLiteral("base.rtcm"));
    QCOMPARE(QProcess::execute(SimProcess::executable(), {QStringLiteral("--write-rtcm"), file,
                                                          QStringLiteral("--epochs"), QStringLiteral("180")}), 0);
    QFile rtcm(file);
    QVERIFY(rtcm.open(QIODevice::ReadOnly));
    m_rtcm = rtcm.readAll();

    // The caster takes its stream from standard input, a second's worth
    // every second as a base station sends it.
    m_port = freePort();
    m_caster.start(str2str, {QStringLiteral("-out"),
                             QStringLiteral("ntripc://%1:%2@:%3/%4:SKL;RTCM 3.3;1005(10),1077(1),1087(1),1097(1),"
                                            "1127(1),1230(10);2;GPS+GLO+GAL+BDS;SKL;DEU;48.15;11.58;0;0;sNTRIP;"
                                            "none;B;N;9600;")
                                 .arg(User, Password).arg(m_port).arg(Mount)});
    QVERIFY(m_caster.waitForStarted());
    const int perSecond = m_rtcm.size() / 180;
    connect(&m_feed, &QTimer::timeout, this, [this, perSecond] {
        if (m_fed < m_rtcm.size())
            m_caster.write(m_rtcm.mid(m_fed, perSecond));
        m_fed += perSecond;
    });
    m_feed.start(1000);
    QTRY_VERIFY_WITH_TIMEOUT(listening(m_port), WaitMs);
}

void TestEndToEndRtk::cleanupTestCase()
{
    m_feed.stop();
    m_caster.terminate();
    if (!m_caster.waitForFinished(3000))
        m_caster.kill();
}

void TestEndToEndRtk::mountpointListedAndFixedInTime()
{
    NtripClient client;
    client.setSettings(settings());
    QSignalSpy table(&client, &NtripClient::sourceTable);
    client.fetchSourceTable();
    QVERIFY(table.wait(WaitMs));
    const auto entries = table.first().first().value<QVector<SourceEntry>>();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().mountpoint, Mount);
    QCOMPARE(entries.first().format, QStringLiteral("RTCM 3.3"));
    QCOMPARE(entries.first().latitude, 48.15);

    const QString truthFile = m_dir.filePath(QStringLiteral("truth.jsonl"));
    SimProcess sim;
    QVERIFY2(sim.start({QStringLiteral("--rtk"), QStringLiteral("float=2,fixed=5,age=10"), QStringLiteral("--truth"),
                        truthFile}),
             qPrintable(sim.rawLog()));
    ReceiverSession session;
    session.setSerialSource(new SerialSource);
    session.setSourceMaker(&Sources::make);
    session.open(sim.portPath(), QStringLiteral("115200"));
    QTRY_VERIFY_WITH_TIMEOUT(session.isOpen(), WaitMs);
    connect(&client, &NtripClient::received, &session, &ReceiverSession::takeCorrections);
    client.start();
    QTRY_VERIFY_WITH_TIMEOUT(session.rtkEffect().secondsToFixed() >= 0, WaitMs);
    QCOMPARE(client.state(), NtripClient::Streaming);
    QVERIFY(session.corrections().framer().badFrames() == 0);
    QVERIFY(session.corrections().station().known);
    // The station is 2 km from the receiver.
    const Epoch latest = session.receiverModel()->latest();
    const RtcmStation station = session.corrections().station();
    QVERIFY(qAbs(baselineMetres(station.latitude, station.longitude, latest.latitude, latest.longitude) - 2000) < 5);

    // Every byte the caster relayed reached the corrections log, whole and in order.
    client.stop();
    session.close();
    QFile log(session.correctionsLogName());
    QVERIFY2(log.open(QIODevice::ReadOnly), qPrintable(log.fileName()));
    const QByteArray logged = log.readAll();
    QVERIFY(logged.size() > 500 && m_rtcm.contains(logged));

    // The times the session measured are the truth's, within one epoch (1 s).
    QFile truth(truthFile);
    QVERIFY(truth.open(QIODevice::ReadOnly));
    QHash<QString, double> since;   // state -> seconds from the corrections' start
    for (const QByteArray &line : truth.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (!o.contains(QLatin1String("rtk")) || since.contains(o.value("rtk").toString()))
            continue;
        const auto at = [&o](const char *key) {
            return QDateTime::fromString(o.value(QLatin1String(key)).toString(), Qt::ISODateWithMs);
        };
        since.insert(o.value("rtk").toString(), at("corrections").msecsTo(at("utc")) / 1000.0);
    }
    QVERIFY2(since.contains(QStringLiteral("fixed")), qPrintable(sim.rawLog()));
    qInfo("float after %.2f s (truth %.2f s), fixed after %.2f s (truth %.2f s)", session.rtkEffect().secondsToFloat(),
          since.value(QStringLiteral("float")), session.rtkEffect().secondsToFixed(), since.value(QStringLiteral("fixed")));
    QVERIFY(qAbs(session.rtkEffect().secondsToFloat() - since.value(QStringLiteral("float"))) <= 1.0);
    QVERIFY(qAbs(session.rtkEffect().secondsToFixed() - since.value(QStringLiteral("fixed"))) <= 1.0);

    // The analysis of the log, in the receiver's time, says the same.
    AnalyzeCommand::Options options;
    options.log = session.logFileName();
    options.outDirectory = m_dir.filePath(QStringLiteral("analysis"));
    options.csv = false;
    QCOMPARE(AnalyzeCommand::run(options), 0);
    QFile summary(m_dir.filePath(QStringLiteral("analysis/summary.json")));
    QVERIFY(summary.open(QIODevice::ReadOnly));
    const QJsonObject rtk = QJsonDocument::fromJson(summary.readAll()).object().value("rtk").toObject();
    QCOMPARE(rtk.value("from").toString(), QStringLiteral("corrections"));
    QVERIFY(qAbs(rtk.value("secondsToFixed").toDouble() - since.value(QStringLiteral("fixed"))) <= 1.0);
    QVERIFY(rtk.value("cep50Fixed").toDouble() < 0.05 && rtk.value("fixedEpochs").toInt() >= 1);
}

void TestEndToEndRtk::rtkCampaignTimesFixed()
{
    const QString truthFile = m_dir.filePath(QStringLiteral("campaign-truth.jsonl"));
    SimProcess sim;
    QVERIFY2(sim.start({QStringLiteral("--rtk"), QStringLiteral("float=2,fixed=5,age=10"), QStringLiteral("--truth"),
                        truthFile}),
             qPrintable(sim.rawLog()));
    MainWindow window;
    window.offerPort(sim.portPath());
    window.form()->comboBox_2->setCurrentText(QStringLiteral("115200"));
    QTest::mouseClick(window.form()->ctn_btn, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.isConnected(), WaitMs);
    CampaignSetup setup;
    setup.kinds = {RestartKind::Rtk};
    setup.cyclesPerKind = 2;
    setup.settleMs = 500;
    setup.timeoutMs = WaitMs;
    // Without corrections it says so instead of timing out.
    const QString refusal = window.campaignView()->startCampaign(setup);
    QVERIFY2(refusal.contains(QLatin1String("no corrections have arrived")), qPrintable(refusal));

    window.startCorrections(settings());
    QTRY_VERIFY_WITH_TIMEOUT(window.correctionsLink()->session()->corrections().startMs() >= 0, WaitMs);
    QCOMPARE(window.campaignView()->startCampaign(setup), QString());
    CampaignRun *run = window.campaignView()->run();
    QTRY_COMPARE_WITH_TIMEOUT(run->state(), CampaignRun::State::Finished, 3 * WaitMs);

    // The truth of each cycle: from the restart's receipt to the first RTK fixed epoch after it.
    QFile truth(truthFile);
    QVERIFY(truth.open(QIODevice::ReadOnly));
    QVector<double> toFixed;
    QDateTime restarted;
    for (const QByteArray &line : truth.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.contains(QLatin1String("restart")))
            restarted = QDateTime::fromString(o.value("received").toString(), Qt::ISODateWithMs);
        else if (o.value("rtk").toString() == QLatin1String("fixed") && restarted.isValid())
            toFixed.append(restarted.msecsTo(QDateTime::fromString(o.value("utc").toString(), Qt::ISODateWithMs)) / 1000.0);
    }
    QCOMPARE(toFixed.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const CampaignCycle &cycle = run->cycles().at(i);
        qInfo("RTK cycle %d: fixed after %.2f s (truth %.2f s)", i + 1, cycle.ttffMs / 1000.0, toFixed.at(i));
        QVERIFY(!cycle.failed() && cycle.kind == RestartKind::Rtk);
        QVERIFY(qAbs(cycle.ttffMs / 1000.0 - toFixed.at(i)) <= 1.0);
    }
}

void TestEndToEndRtk::refusals_data()
{
    QTest::addColumn<QString>("mountpoint");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("words");
    QTest::newRow("wrong password, NTRIP 2") << Mount << "guess" << 2 << "refused the user name or password";
    QTest::newRow("wrong password, NTRIP 1") << Mount << "guess" << 1 << "refused the user name or password";
    QTest::newRow("unknown mountpoint") << "NO_SUCH" << Password << 1
                                        << "does not know mountpoint \"NO_SUCH\" and sent its source table";
}

void TestEndToEndRtk::refusals()
{
    QFETCH(QString, mountpoint);
    QFETCH(QString, password);
    QFETCH(int, version);
    QFETCH(QString, words);
    NtripSettings s = settings();
    s.mountpoint = mountpoint;
    s.password = password;
    s.version = version;
    NtripClient client;
    client.setSettings(s);
    QSignalSpy failed(&client, &NtripClient::failed);
    client.start();
    QVERIFY(failed.wait(WaitMs));
    QVERIFY2(failed.first().first().toString().contains(words), qPrintable(failed.first().first().toString()));
    QCOMPARE(client.state(), NtripClient::Refused);
}

void TestEndToEndRtk::droppedStreamComesBack()
{
    // A caster of this case alone, without a password, that goes away and returns.
    const int port = freePort();
    const QStringList args{QStringLiteral("-out"), QStringLiteral("ntripc://:%1/%2").arg(port).arg(Mount)};
    auto caster = std::make_unique<QProcess>();
    caster->start(QStandardPaths::findExecutable(QStringLiteral("str2str")), args);
    QVERIFY(caster->waitForStarted());
    NtripSettings s = settings();
    s.port = port;
    s.user.clear();
    NtripClient client;
    client.setSettings(s);
    QTRY_VERIFY_WITH_TIMEOUT(listening(port), WaitMs);
    client.start();
    QTRY_VERIFY_WITH_TIMEOUT(client.state() == NtripClient::Streaming, WaitMs);
    QTRY_VERIFY_WITH_TIMEOUT((caster->write(m_rtcm.left(500)), client.bytesReceived() > 0), WaitMs);

    caster->terminate();
    QVERIFY(caster->waitForFinished(5000));
    QTRY_VERIFY_WITH_TIMEOUT(client.state() == NtripClient::Waiting, WaitMs);
    QVERIFY2(client.stateText().contains(QLatin1String("reconnecting in 1 s")), qPrintable(client.stateText()));
    // Each try that fails waits twice as long: the next says 2 s.
    QTRY_VERIFY_WITH_TIMEOUT(client.stateText().contains(QLatin1String("reconnecting in 2 s")), WaitMs);

    caster = std::make_unique<QProcess>();
    caster->start(QStandardPaths::findExecutable(QStringLiteral("str2str")), args);
    QVERIFY(caster->waitForStarted());
    const qint64 before = client.bytesReceived();
    QTRY_VERIFY_WITH_TIMEOUT((caster->write(m_rtcm.mid(500, 500)), client.bytesReceived() > before), WaitMs);
    QCOMPARE(client.state(), NtripClient::Streaming);
    client.stop();
    caster->terminate();
    caster->waitForFinished(5000);
}

QTEST_MAIN(TestEndToEndRtk)
#include "tst_e2e_rtk.moc"
