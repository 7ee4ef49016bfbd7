// A TTFF campaign run by the program against the simulated receiver: three
// HOT and three COLD restarts, each TTFF within 0.25 s of the one the
// simulator drew (its truth file), the CSV written as cycles end; a cycle
// that times out counts as failed; refused while no port is open; a lost
// port stops it with the finished cycles kept.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "campaign/campaignview.h"
#include "e2e/simprocess.h"
#include "receiver/receivermodel.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int ConnectMs = 10000;
constexpr int CampaignMs = 90000;

// The lines of a file that are not empty.
QList<QByteArray> fileLines(const QString &name)
{
    QFile file(name);
    file.open(QIODevice::ReadOnly);
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeAll(QByteArray());
    return lines;
}
} // namespace

class TestEndToEndCampaign : public QObject
{
    Q_OBJECT

private slots:
    void campaignOnTheSimulator();
};

void TestEndToEndCampaign::campaignOnTheSimulator()
{
    QVERIFY2(SimProcess::isBuilt(), qPrintable(SimProcess::executable() + " is not built"));
    QTemporaryDir dir;
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    SimProcess sim;
    const QString truth = dir.filePath(QStringLiteral("truth.jsonl"));
    QVERIFY2(sim.start({"--seed", "11", "--ttff", "hot=1:2,cold=3:5", "--truth", truth}), qPrintable(sim.rawLog()));
    MainWindow window;
    CampaignView *view = window.campaignView();
    CampaignRun *run = view->run();

    CampaignSetup setup;
    setup.cyclesPerKind = 3;
    setup.settleMs = 500;
    setup.timeoutMs = 15000;
    QVERIFY(view->startCampaign(setup).contains(QLatin1String("No port is open")));
    QVERIFY(view->messageText().contains(QLatin1String("No port is open")));
    QVERIFY(sim.receivedCommands().isEmpty());

    window.offerPort(sim.portPath());
    window.form()->comboBox_2->setCurrentText(QStringLiteral("115200"));
    QTest::mouseClick(window.form()->ctn_btn, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.isConnected(), ConnectMs);
    QTRY_VERIFY_WITH_TIMEOUT(window.receiverModel()->latest().hasFix(), ConnectMs);

    QCOMPARE(view->startCampaign(setup), QString());
    QTRY_COMPARE_WITH_TIMEOUT(run->state(), CampaignRun::State::Finished, CampaignMs);
    QList<QJsonObject> restarts;
    for (const QByteArray &line : fileLines(truth)) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.contains(QLatin1String("restart")))
            restarts.append(o);
    }
    QCOMPARE(restarts.size(), 6);
    const QStringList kinds{"hot", "cold", "hot", "cold", "hot", "cold"};
    for (int i = 0; i < 6; ++i) {
        const CampaignCycle &cycle = run->cycles().at(i);
        const double drawn = restarts.at(i).value(QLatin1String("ttff")).toDouble();
        qInfo("cycle %d %s: %.2f s measured, %.3f s drawn", i + 1, qPrintable(kinds.at(i)),
              cycle.ttffMs / 1000.0, drawn);
        QCOMPARE(restarts.at(i).value(QLatin1String("restart")).toString(), kinds.at(i));
        QVERIFY(!cycle.failed());
        QVERIFY2(qAbs(cycle.ttffMs / 1000.0 - drawn) <= 0.25, qPrintable(QString::number(drawn)));
    }
    // Next to the connection's log, with its time stamp.
    const QString logStem = QDir("log").entryList({"*.nma"}).value(0).chopped(4);
    QCOMPARE(QFileInfo(view->csvFileName()).fileName(), logStem + "_campaign.csv");
    QCOMPARE(fileLines(view->csvFileName()).size(), 1 + 6);

    // COLD takes at least 3 s: a 2 s timeout fails the cycle.
    setup.kinds = {RestartKind::Cold};
    setup.cyclesPerKind = 1;
    setup.timeoutMs = 2000;
    QCOMPARE(view->startCampaign(setup), QString());
    QTRY_COMPARE_WITH_TIMEOUT(run->state(), CampaignRun::State::Finished, CampaignMs);
    QVERIFY(run->cycles().at(0).failed());
    QCOMPARE(run->summary(RestartKind::Cold).failures, 1);
    QVERIFY(fileLines(view->csvFileName()).at(1).contains(",COLD,"));
    QVERIFY(fileLines(view->csvFileName()).at(1).contains(",timeout,"));
    QVERIFY(fileLines(CampaignCsv::summaryFileName(view->csvFileName())).at(1).startsWith("COLD,1,1,"));

    // The receiver goes away during the second cycle.
    setup.kinds = {RestartKind::Hot};
    setup.cyclesPerKind = 5;
    setup.timeoutMs = 15000;
    QCOMPARE(view->startCampaign(setup), QString());
    QTRY_COMPARE_WITH_TIMEOUT(run->cycles().size(), 1, CampaignMs);
    sim.stop();
    QTRY_COMPARE_WITH_TIMEOUT(run->state(), CampaignRun::State::Stopped, ConnectMs);
    QVERIFY2(view->messageText().contains(QLatin1String("lost")), qPrintable(view->messageText()));
    QCOMPARE(fileLines(view->csvFileName()).size(), 1 + int(run->cycles().size()));
    QDir::setCurrent(oldDir);
}

QTEST_MAIN(TestEndToEndCampaign)
#include "tst_e2e_campaign.moc"
