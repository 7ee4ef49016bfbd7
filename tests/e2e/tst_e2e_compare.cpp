// Two receivers in one program: two windows on two simulators with the same
// seed and sky, the second 3 dB weaker and with position noise, connected in
// the same moment; the compare view's figures against the truth files. A
// TTFF campaign on both: each restart reaches both simulators together,
// each TTFF as the simulator drew it, one CSV row per cycle for both.
#include "app/mainwindow.h"
#include "app/receiverwindows.h"
#include "ui_mainwindow.h"

#include "campaign/jointcampaignview.h"
#include "compare/receivercomparison.h"
#include "e2e/simprocess.h"
#include "receiver/receivermodel.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QtTest>

namespace {

// Horizontal distance between the two truth files' positions at each UTC
// time (seconds since 1970), in a plane at the site.
QHash<qint64, double> truthDistances(const QString &referencePath, const QString &underTestPath)
{
    QHash<qint64, QPointF> positions[2];
    const QString paths[2] = {referencePath, underTestPath};
    for (int s = 0; s < 2; ++s) {
        QFile file(paths[s]);
        file.open(QIODevice::ReadOnly);
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            const QDateTime utc = QDateTime::fromString(o.value("utc").toString(), Qt::ISODateWithMs);
            if (utc.isValid() && o.value("fix").toString() != QLatin1String("none"))
                positions[s].insert(utc.toSecsSinceEpoch(), QPointF(o.value("lon").toDouble(), o.value("lat").toDouble()));
        }
    }
    QHash<qint64, double> distances;
    for (auto it = positions[0].cbegin(); it != positions[0].cend(); ++it) {
        if (!positions[1].contains(it.key()))
            continue;
        const QPointF d = positions[1].value(it.key()) - it.value();
        const double metresPerDegree = 6378137 * M_PI / 180;   // a few mm off over metres
        distances.insert(it.key(), std::hypot(d.x() * metresPerDegree * std::cos(it.value().y() * M_PI / 180),
                                              d.y() * metresPerDegree));
    }
    return distances;
}

} // namespace

class TestEndToEndCompare : public QObject
{
    Q_OBJECT

private slots:
    void twoWindowsCompared();
    void campaignOnBoth();
};

void TestEndToEndCompare::twoWindowsCompared()
{
    QVERIFY2(SimProcess::isBuilt(), qPrintable(SimProcess::executable() + " is not built"));
    QTemporaryDir dir;
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    SimProcess sims[2];
    QVERIFY(sims[0].start({"--seed", "5", "--signals", "2", "--truth", dir.filePath("ref.jsonl")}));
    QVERIFY(sims[1].start({"--seed", "5", "--signals", "2", "--truth", dir.filePath("dut.jsonl"), "--cnr-offset",
                           "-3", "--position-noise", "2"}));

    {
        ReceiverWindows windows;
        MainWindow *w[2] = {windows.open(), windows.open()};
        windows.showComparison();
        CompareView *view = windows.compareView();
        QVERIFY2(view->problemText().startsWith("Waiting for epochs"), qPrintable(view->problemText()));
        for (int s = 0; s < 2; ++s) {
            w[s]->offerPort(sims[s].portPath());
            w[s]->form()->comboBox_2->setCurrentText(QStringLiteral("115200"));
        }
        // Both in the same second: each keeps a log file of its own.
        w[0]->form()->ctn_btn->click();
        w[1]->form()->ctn_btn->click();
        QTRY_VERIFY_WITH_TIMEOUT(w[0]->isLogging() && w[1]->isLogging(), 10000);
        QVERIFY2(w[0]->logFileName() != w[1]->logFileName(), qPrintable(w[0]->logFileName()));

        const ReceiverComparison *comparison = view->comparison();
        QTRY_VERIFY_WITH_TIMEOUT(comparison->pairCount() >= 8, 30000);
        view->refresh();
        QCOMPARE(view->problemText(), QString());
        const QStringList rows = view->meansText().split('\n');
        QVERIFY2(rows.size() >= 5, qPrintable(view->meansText()));
        for (const QString &row : rows)
            QVERIFY2(row.section('\t', 1, 1) == QLatin1String("-3.0"), qPrintable(row));
        QCOMPARE(view->onlyOneText(), QStringLiteral("Only the reference tracks: none\n"
                                                     "Only the receiver under test tracks: none"));

        // The mean distance shown, against the truth files at the compared times.
        const QHash<qint64, double> truth = truthDistances(dir.filePath("ref.jsonl"), dir.filePath("dut.jsonl"));
        double sum = 0;
        for (double t : comparison->times())
            sum += truth.value(qint64(t), qQNaN());
        const double mean = sum / comparison->times().size();
        const QString shown = view->distanceText().section(QStringLiteral("mean "), 1, 1).section(' ', 0, 0);
        QVERIFY2(std::fabs(shown.toDouble() - mean) < 0.02, qPrintable(view->distanceText() + " / " + QString::number(mean)));
        // Neither simulator has corrections: no RTK fixed epoch on either side.
        QVERIFY2(view->distanceText().endsWith("RTK fixed: reference 0.0 %, under test 0.0 % of the paired epochs"),
                 qPrintable(view->distanceText()));

        // Closing one window leaves the other, and the view, running.
        w[1]->close();
        QTRY_COMPARE(windows.windows().size(), 1);
        QVERIFY(w[0]->isConnected() && view->isVisible());
    }
    QDir::setCurrent(oldDir);
}

void TestEndToEndCompare::campaignOnBoth()
{
    QTemporaryDir dir;
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    SimProcess sims[2];
    const QString truths[2] = {dir.filePath("ref.jsonl"), dir.filePath("dut.jsonl")};
    for (int s = 0; s < 2; ++s)
        QVERIFY(sims[s].start({"--seed", QString::number(7 + s), "--ttff", "hot=1:2.5", "--truth", truths[s]}));
    ReceiverWindows windows;
    MainWindow *w[2] = {windows.open(), windows.open()};
    for (int s = 0; s < 2; ++s) {
        w[s]->offerPort(sims[s].portPath());
        w[s]->form()->comboBox_2->setCurrentText(QStringLiteral("115200"));
        w[s]->form()->ctn_btn->click();
    }
    QTRY_VERIFY_WITH_TIMEOUT(w[0]->receiverModel()->latest().hasFix() && w[1]->receiverModel()->latest().hasFix(),
                             15000);
    windows.showComparison();
    for (QPushButton *button : windows.compareView()->findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String("Campaign on both..."))
            button->click();
    }
    JointCampaignView *view = windows.jointCampaignView();
    QVERIFY(view);
    CampaignSetup setup;
    setup.kinds = {RestartKind::Hot};
    setup.cyclesPerKind = 2;
    setup.settleMs = 500;
    setup.timeoutMs = 15000;
    QCOMPARE(view->startCampaign(setup), QString());
    QTRY_COMPARE_WITH_TIMEOUT(view->campaign()->state(), CampaignRun::State::Finished, 60000);

    // Per simulator, the restarts it received and the TTFF it drew for each.
    QList<QJsonObject> restarts[2];
    QList<QDateTime> restartTimes[2];
    for (int s = 0; s < 2; ++s) {
        QFile file(truths[s]);
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.contains("restart"))
                restarts[s].append(o);
        }
        QCOMPARE(restarts[s].size(), 2);
        for (const SimProcess::Entry &e : sims[s].log()) {
            if (e.kind == QLatin1String("EVENT") && e.text.contains(QLatin1String(" start, first fix")))
                restartTimes[s].append(e.utc);
        }
        QCOMPARE(restartTimes[s].size(), 2);
    }
    QFile csv(view->csvFileName());
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 1 + 2);
    const QList<QByteArray> header = lines.at(0).trimmed().split(',');
    for (int cycle = 0; cycle < 2; ++cycle) {
        // The truth's times run from each simulator's start; its log has the wall clock.
        const QDateTime received[2] = {restartTimes[0].value(cycle), restartTimes[1].value(cycle)};
        qInfo("cycle %d: restarts received %lld ms apart", cycle + 1, qAbs(received[0].msecsTo(received[1])));
        QVERIFY(qAbs(received[0].msecsTo(received[1])) <= 50);
        const QList<QByteArray> row = lines.at(1 + cycle).trimmed().split(',');
        QCOMPARE(row.mid(0, 2), QList<QByteArray>({QByteArray::number(cycle + 1), "HOT"}));
        for (int s = 0; s < 2; ++s) {
            const double drawn = restarts[s].at(cycle).value("ttff").toDouble();
            const QByteArray column = sims[s].portPath().toUtf8() + "_ttff_s";
            QVERIFY2(header.contains(column), lines.at(0).constData());
            const double measured = row.value(int(header.indexOf(column))).toDouble();
            qInfo("  %s: %.2f s measured, %.3f s drawn", column.constData(), measured, drawn);
            QVERIFY(qAbs(measured - drawn) <= 0.25);
        }
    }
    QDir::setCurrent(oldDir);
}

QTEST_MAIN(TestEndToEndCompare)
#include "tst_e2e_compare.moc"
