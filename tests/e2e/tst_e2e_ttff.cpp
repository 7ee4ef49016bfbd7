// The whole program against the simulated receiver, timed: the version
// query goes out 4990 ms after the port opened and its answer brings the
// three follow-up commands once; a TTFF test run from the dialog stops its
// display at the receiver's time to first fix less the one-second pause.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "e2e/simprocess.h"
#include "link/serialport.h"
#include "ttff/ttff.h"

#include <QApplication>
#include <QDir>
#include <QLCDNumber>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

namespace {

constexpr int ConnectMs = 10000;
constexpr int DataMs = 20000;
// Times to first fix the simulator is given, in seconds.
constexpr double HotSeconds = 3.0;
constexpr double ColdSeconds = 6.0;

} // namespace

class TestEndToEndTtff : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void versionQueryPacedAndAnsweredOnce();
    void ttffFromTheDialog_data();
    void ttffFromTheDialog();

private:
    void connectWindow();

    QTemporaryDir *m_dir = nullptr;
    QString m_oldDir;
    SimProcess *m_sim = nullptr;
    MainWindow *m_window = nullptr;
    std::atomic<qint64> m_openedUtcMs{0};
};

void TestEndToEndTtff::init()
{
    QVERIFY2(SimProcess::isBuilt(), qPrintable(SimProcess::executable() + " is not built"));
    m_dir = new QTemporaryDir;
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_sim = new SimProcess;
    QVERIFY2(m_sim->start({QStringLiteral("--seed"), QStringLiteral("5"), QStringLiteral("--ttff"),
                           QStringLiteral("hot=%1,cold=%2").arg(HotSeconds).arg(ColdSeconds)}),
             qPrintable(m_sim->rawLog()));
    m_window = new MainWindow;
    // The moment the worker reports the open port, taken in its own thread.
    m_openedUtcMs = 0;
    connect(m_window->worker(), &serialport::port_open, this, [this] {
        m_openedUtcMs = QDateTime::currentMSecsSinceEpoch();
    }, Qt::DirectConnection);
}

void TestEndToEndTtff::cleanup()
{
    delete m_window;
    delete m_sim;
    m_window = nullptr;
    m_sim = nullptr;
    QDir::setCurrent(m_oldDir);
    delete m_dir;
}

void TestEndToEndTtff::connectWindow()
{
    Ui::MainWindow *ui = m_window->form();
    m_window->offerPort(m_sim->portPath());
    ui->comboBox_2->setCurrentText(QStringLiteral("115200"));
    QCOMPARE(ui->comboBox_com->currentText(), m_sim->portPath());
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Disconnect"), ConnectMs);
    QVERIFY(m_sim->waitForListener(ConnectMs));
    QVERIFY(m_openedUtcMs != 0);
}

void TestEndToEndTtff::versionQueryPacedAndAnsweredOnce()
{
    connectWindow();
    const SimProcess::Entry last = m_sim->waitForCommand(QStringLiteral("$PAIR081*33"), DataMs);
    QVERIFY2(last.utc.isValid(), qPrintable(m_sim->rawLog()));
    // Let any repeat show itself before counting.
    QTest::qWait(2500);

    const QList<SimProcess::Entry> log = m_sim->log();
    int query = -1, answer = -1;
    QList<int> followUps;
    const QStringList expected{QStringLiteral("$PAIR020*38"), QStringLiteral("$PAIR021*39"),
                               QStringLiteral("$PAIR081*33")};
    for (int i = 0; i < log.size(); ++i) {
        const SimProcess::Entry &e = log.at(i);
        if (e.kind == QLatin1String("RX") && e.text == QLatin1String("$PMTK605*31")) {
            QVERIFY2(query < 0, "the version query went out twice");
            query = i;
        } else if (e.kind == QLatin1String("TX") && e.text.startsWith(QLatin1String("$PAIR001,605,"))) {
            answer = i;
        } else if (e.kind == QLatin1String("RX") && expected.contains(e.text)) {
            QVERIFY2(e.status == QLatin1String("ok"), qPrintable(e.text));
            followUps.append(i);
        }
    }
    QVERIFY2(query >= 0 && answer > query, qPrintable(m_sim->rawLog()));

    const qint64 delay = m_openedUtcMs.load() == 0 ? -1
        : log.at(query).utc.toMSecsSinceEpoch() - m_openedUtcMs.load();
    qInfo("version query reached the line %lld ms after the open", delay);
    QVERIFY2(delay >= 4990 - 300 && delay <= 4990 + 300, qPrintable(QString::number(delay)));

    // Each follow-up once, in order, after the answer.
    QCOMPARE(followUps.size(), 3);
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(log.at(followUps.at(k)).text, expected.at(k));
        QVERIFY(followUps.at(k) > answer);
    }
}

void TestEndToEndTtff::ttffFromTheDialog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("command");
    QTest::addColumn<double>("ttffSeconds");
    QTest::newRow("HOT") << "hot_btn" << "$PAIR004*3E" << HotSeconds;
    QTest::newRow("COLD") << "cold_btn" << "$PAIR006*3C" << ColdSeconds;
}

void TestEndToEndTtff::ttffFromTheDialog()
{
    QFETCH(QString, button);
    QFETCH(QString, command);
    QFETCH(double, ttffSeconds);
    connectWindow();

    // The receiver has a fix and the sentence table rows exist before the test.
    Ui::MainWindow *ui = m_window->form();
    QTRY_VERIFY_WITH_TIMEOUT(ui->info_item->item(7, 2)
                                 && ui->info_item->item(7, 2)->text() != QLatin1String("none"),
                             DataMs);

    ttff *dialog = m_window->ttffDialog();
    dialog->show();
    QApplication::setActiveWindow(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QVERIFY(dialog->isActiveWindow());

    dialog->findChild<QRadioButton *>(button)->click();
    dialog->findChild<QPushButton *>(QStringLiteral("run_btn"))->click();
    const SimProcess::Entry restart = m_sim->waitForCommand(command, DataMs);
    QVERIFY2(restart.utc.isValid(), qPrintable(m_sim->rawLog()));

    QTRY_VERIFY_WITH_TIMEOUT(dialog->display().state() == TtffDisplay::State::Counting, DataMs);
    QTRY_VERIFY_WITH_TIMEOUT(dialog->display().state() == TtffDisplay::State::Stopped,
                             int(ttffSeconds * 1000) + DataMs);
    auto *lcd = dialog->findChild<QLCDNumber *>(QStringLiteral("lcdNumber"));
    const double shown = lcd->value();
    qInfo("%s: display stopped at %.2f s for a receiver time to first fix of %.1f s",
          qPrintable(button), shown, ttffSeconds);
    // The simulator's own time from its restart report to its first fix.
    QVERIFY2(qAbs(shown - ttffSeconds) <= 0.1, qPrintable(QString::number(shown)));

    // Later epochs with a fix leave the result alone.
    QTest::qWait(2000);
    QCOMPARE(dialog->display().state(), TtffDisplay::State::Stopped);
    QCOMPARE(lcd->value(), shown);
    QCOMPARE(m_sim->receivedCommands().count(command), 1);
}

QTEST_MAIN(TestEndToEndTtff)
#include "tst_e2e_ttff.moc"
