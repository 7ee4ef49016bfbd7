// The window's command set over a real pseudo-terminal: what reaches the
// line for each restart, the version query and its follow-ups, typed
// commands with their history, and nothing at all while not connected.
#include "app/mainwindow.h"
#include "session/receiversession.h"
#include "ui_mainwindow.h"
#include "link/serialport.h"
#include "support/ptypair.h"
#include "ttff/timerthread.h"

#include <QAction>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

namespace {
QLoggingCategory::CategoryFilter previousFilter = nullptr;

// The test environment silences debug output; the "not connected" note is
// a trace line of the session's category the tests must see.
void keepDefaultDebug(QLoggingCategory *category)
{
    if (previousFilter)
        previousFilter(category);
    if (qstrcmp(category->categoryName(), "skyloupe.session") == 0)
        category->setEnabled(QtDebugMsg, true);
}

// GSA sentences for GPS (system ID 1): no fix, and a 3D fix.
const QByteArray GsaNoFix("$GNGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99,1*00\r\n");
const QByteArray GsaFix("$GNGSA,A,3,05,07,13,,,,,,,,,,1.90,1.00,1.62,1*00\r\n");
const QByteArray Gga("$GNGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void versionQueryFollowsTheOpen();
    void sendADCWritesTheQuery();
    void restartsWriteTheirCommand_data();
    void restartsWriteTheirCommand();
    void restartZeroesTheNoFixCounter();
    void followUpsOncePerArmedQuery();
    void typedCommandsCompletedAndKeptNewestFirst();
    void nothingSentWhileNotConnected();

private:
    QStringList history() const;
    QByteArray readLine(int count, int timeoutMs);
    void typeAndSend(const QString &text);

    QTemporaryDir m_dir;   // the working directory, for the log the connection opens
    PtyPair *m_pty = nullptr;
    MainWindow *m_window = nullptr;
};

void TestCommands::initTestCase()
{
    previousFilter = QLoggingCategory::installFilter(keepDefaultDebug);
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
    m_pty = new PtyPair;
    QVERIFY(m_pty->isValid());

    m_window = new MainWindow;
    QSignalSpy opened(m_window->worker(), &serialport::port_open);
    m_window->offerPort(m_pty->slavePath());
    QCOMPARE(m_window->form()->ctn_btn->text(), QStringLiteral("Connect"));
    m_window->form()->ctn_btn->click();
    // The worker may open the port before the wait begins.
    QVERIFY(opened.count() > 0 || opened.wait(5000));
    QTRY_VERIFY(m_window->isConnected());
}

void TestCommands::cleanupTestCase()
{
    delete m_window;
    delete m_pty;
    QDir::setCurrent(QDir::tempPath());
}

void TestCommands::init()
{
    // Nothing written before a test may be read by it.
    readLine(1 << 20, 50);
}

QStringList TestCommands::history() const
{
    QStringList items;
    for (int i = 0; i < m_window->form()->PAIR_line->count(); ++i)
        items.append(m_window->form()->PAIR_line->itemText(i));
    return items;
}

QByteArray TestCommands::readLine(int count, int timeoutMs)
{
    // Reads what reached the far end of the line while the window's own
    // events go on, so sends queued to the window happen meanwhile.
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (got.size() < count && clock.elapsed() < timeoutMs) {
        got += m_pty->read(count - got.size(), 10);
        QCoreApplication::processEvents();
    }
    return got;
}

void TestCommands::typeAndSend(const QString &text)
{
    m_window->form()->PAIR_line->setCurrentText(text);
    m_window->form()->btn111->click();
}

void TestCommands::versionQueryFollowsTheOpen()
{
    // The timer object asks for the version about 5 s after the port opened.
    const QByteArray query("$PMTK605*31\r\n");
    QCOMPARE(readLine(query.size(), 8000), query);
    QCOMPARE(readLine(1, 500), QByteArray());
}

void TestCommands::sendADCWritesTheQuery()
{
    m_window->sendADC();
    QCOMPARE(readLine(64, 500), QByteArray("$PMTK605*31\r\n"));
}

void TestCommands::restartsWriteTheirCommand_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("HOT") << 0 << QByteArray("$PAIR004*3E\r\n");
    QTest::newRow("Warm") << 1 << QByteArray("$PAIR005*3F\r\n");
    QTest::newRow("Cold") << 2 << QByteArray("$PAIR006*3C\r\n");
    QTest::newRow("Full") << 3 << QByteArray("$PAIR007*3D\r\n");
}

void TestCommands::restartsWriteTheirCommand()
{
    QFETCH(int, action);
    QFETCH(QByteArray, command);
    m_window->restartToolBar()->actions().at(action)->trigger();
    QCOMPARE(readLine(64, 500), command);
}

void TestCommands::restartZeroesTheNoFixCounter()
{
    // The counter is seen through the first-fix detection: a fix after
    // GSA sentences without one is a first fix only while the counter
    // holds them. The first sentence of a key only takes its table row.
    QSignalSpy firstFix(m_window, &MainWindow::hot_start_fix);
    m_window->loadPlot(GsaNoFix);
    m_window->loadPlot(GsaNoFix);
    m_window->loadPlot(GsaFix);
    QCOMPARE(firstFix.count(), 1);

    const QList<QAction *> restarts = m_window->restartToolBar()->actions();
    for (int i = 0; i < 4; ++i) {
        m_window->loadPlot(GsaNoFix);
        restarts.at(i)->trigger();
        m_window->loadPlot(GsaFix);
        QVERIFY2(firstFix.count() == 1, qPrintable(restarts.at(i)->text()));
    }
    readLine(1 << 20, 200);
}

void TestCommands::followUpsOncePerArmedQuery()
{
    // The port's open armed the query; a reply answers it once.
    QVERIFY(m_window->timerObject()->getPMKFlag());
    const QByteArray reply("$PAIR001,605,0*2C\r\n");
    m_window->loadPlot(Gga);   // a used row, so the reply is compared
    m_window->loadPlot(reply);
    const QByteArray followUps("$PAIR020*38\r\n$PAIR021*39\r\n$PAIR081*33\r\n");
    QCOMPARE(readLine(followUps.size() + 1, 1000), followUps);
    QVERIFY(!m_window->timerObject()->getPMKFlag());

    m_window->loadPlot(reply);
    m_window->loadPlot(Gga + reply);
    QCOMPARE(readLine(1, 500), QByteArray());
}

void TestCommands::typedCommandsCompletedAndKeptNewestFirst()
{
    m_window->form()->PAIR_line->clear();

    typeAndSend(QStringLiteral("PAIR050,1000"));
    QCOMPARE(readLine(64, 500), QByteArray("$PAIR050,1000*12\r\n"));
    typeAndSend(QStringLiteral("$PAIR004*00"));
    QCOMPARE(readLine(64, 500), QByteArray("$PAIR004*3E\r\n"));
    typeAndSend(QStringLiteral("PMTK605"));
    QCOMPARE(readLine(64, 500), QByteArray("$PMTK605*31\r\n"));
    QCOMPARE(history(), (QStringList{"PMTK605", "$PAIR004*00", "PAIR050,1000"}));

    // A repeat moves to the top and stays single.
    typeAndSend(QStringLiteral("PAIR050,1000"));
    QCOMPARE(readLine(64, 500), QByteArray("$PAIR050,1000*12\r\n"));
    QCOMPARE(history(), (QStringList{"PAIR050,1000", "PMTK605", "$PAIR004*00"}));
    QCOMPARE(m_window->form()->PAIR_line->currentText(), QStringLiteral("PAIR050,1000"));

    // Case matters; an empty line is sent as well.
    typeAndSend(QStringLiteral("pmtk605"));
    QCOMPARE(readLine(64, 500), QByteArray("$pmtk605*31\r\n"));
    typeAndSend(QString());
    QCOMPARE(readLine(64, 500), QByteArray("$*00\r\n"));
    QCOMPARE(history(), (QStringList{"", "pmtk605", "PAIR050,1000", "PMTK605", "$PAIR004*00"}));
}

void TestCommands::nothingSentWhileNotConnected()
{
    // The port stays open, so only the session's state can hold the writes.
    emit m_window->session()->serialSource()->status(false);   // as the source reports it
    QVERIFY(!m_window->isConnected());
    const QStringList before = history();
    QSignalSpy firstFix(m_window, &MainWindow::hot_start_fix);
    m_window->loadPlot(GsaNoFix);

    const QList<QAction *> restarts = m_window->restartToolBar()->actions();
    for (int i = 0; i < 4; ++i) {
        QTest::ignoreMessage(QtDebugMsg, "asdafe");
        restarts.at(i)->trigger();
    }
    QTest::ignoreMessage(QtDebugMsg, "asdafe");
    typeAndSend(QStringLiteral("PAIR004"));
    m_window->sendADC();

    QCOMPARE(readLine(1, 700), QByteArray());
    QCOMPARE(history(), before);
    // The counter kept its no-fix sentence: the next fix is a first fix.
    m_window->loadPlot(GsaFix);
    QCOMPARE(firstFix.count(), 1);
}

QTEST_MAIN(TestCommands)
#include "test_commands.moc"
