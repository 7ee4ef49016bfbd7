// The whole window against a receiver that misbehaves: 5% corrupted and cut
// lines, NMEA 3.x sentences, LF-only line ends, and a receiver unplugged and
// plugged in again twenty times.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "e2e/simprocess.h"
#include "faults/faultsupport.h"
#include "link/serialport.h"
#include "support/ptypair.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int ConnectMs = 10000;

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

// What the window showed right after handling one block.
struct Shown
{
    QByteArray block;
    QMap<QString, QString> grid;   // "row,column" -> text
    QStringList info;              // the information table's column 2
};

} // namespace

class TestFaultsStream : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void corruptedLinesLeaveIntactEpochsRight();
    void receiverVariants_data();
    void receiverVariants();
    void unplugAndReconnectTwentyTimes();

private:
    // Connects to the simulator started with `arguments` and records what
    // the window shows after each block that is one whole intact epoch,
    // until `wanted` such blocks or `timeoutMs`.
    QList<Shown> watchEpochs(const QStringList &arguments, int wanted, int timeoutMs);

    QTemporaryDir *m_dir = nullptr;
    QString m_oldDir;
    SimProcess *m_sim = nullptr;
    MainWindow *m_window = nullptr;
};

void TestFaultsStream::init()
{
    m_dir = new QTemporaryDir;
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(m_dir->path());   // config.ini and log files go here
    m_window = new MainWindow;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestFaultsStream::cleanup()
{
    delete m_window;
    delete m_sim;
    m_window = nullptr;
    m_sim = nullptr;
    QDir::setCurrent(m_oldDir);
    delete m_dir;
}

QList<Shown> TestFaultsStream::watchEpochs(const QStringList &arguments, int wanted, int timeoutMs)
{
    QList<Shown> shown;
    if (!SimProcess::isBuilt()) {
        qWarning("%s is not built", qPrintable(SimProcess::executable()));
        return shown;
    }
    m_sim = new SimProcess;
    if (!m_sim->start(arguments)) {
        qWarning("simulator did not start: %s", qPrintable(m_sim->rawLog()));
        return shown;
    }
    Ui::MainWindow *ui = m_window->form();
    // Every block reaches loadPlot on its own: a window that fell behind
    // (a loaded machine) would otherwise take later, damaged lines with it.
    m_window->worker()->setBoundedHandover(false);
    // Queued after the window's own slot: runs just after loadPlot handled
    // the same block.
    const QMetaObject::Connection watch = connect(m_window->worker(), &serialport::receive_data, m_window,
        [&](const QByteArray &block) {
            if (!faults::wholeIntactEpoch(block))
                return;
            Shown s{block, {}, {}};
            for (int row : {1, 3, 4})
                for (int column = 1; column <= 5; ++column)
                    s.grid.insert(QStringLiteral("%1,%2").arg(row).arg(column),
                                  cellText(ui->info_table, row, column));
            for (int row = 0; row < ui->info_item->rowCount(); ++row)
                s.info.append(cellText(ui->info_item, row, 2));
            shown.append(s);
        }, Qt::QueuedConnection);

    m_window->offerPort(m_sim->portPath());
    ui->comboBox_2->setCurrentText(QStringLiteral("115200"));
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    if (!waitUntil([&] { return ui->ctn_btn->text() == QLatin1String("Disconnect"); }, ConnectMs))
        qWarning("no connection");
    // The first block of each sentence only makes its row, so the first
    // whole epochs show nothing yet; three are left out.
    waitUntil([&] { return shown.size() >= wanted + 3; }, timeoutMs);
    disconnect(watch);
    return shown.mid(std::min<int>(3, shown.size()));
}

void TestFaultsStream::corruptedLinesLeaveIntactEpochsRight()
{
    const QString truth = m_dir->filePath(QStringLiteral("truth.jsonl"));
    // Ten epochs a second, so enough of them come through without a
    // damaged line (about a quarter at 5% of some 25 lines).
    const QList<Shown> shown = watchEpochs({"--seed", "21", "--rate", "10", "--garbage", "0.05", "--chunk", "96",
                                            "--truth", truth}, 8, 40000);
    QVERIFY2(shown.size() >= 8, qPrintable(QStringLiteral("only %1 intact epochs shown").arg(shown.size())));

    int damagedSeen = 0;
    QFile record(truth);
    QVERIFY(record.open(QIODevice::ReadOnly));
    for (const QByteArray &line : record.readAll().split('\n'))
        damagedSeen += QJsonDocument::fromJson(line).object().value("damaged").toInt();
    QVERIFY2(damagedSeen > 0, "the simulator damaged no line; the test proves nothing");

    for (const Shown &s : shown) {
        const QString time = faults::ggaTime(s.block);
        const QJsonObject epoch = faults::truthAt(truth, time);
        QVERIFY2(!epoch.isEmpty(), qPrintable("no record for " + time));
        QCOMPARE(epoch.value("damaged").toInt(), 0);
        const QMap<QString, QString> expected = faults::expectedGrid(epoch);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(s.grid.value(it.key()) == it.value(),
                     qPrintable(QStringLiteral("%1 cell %2: shown %3, expected %4")
                                    .arg(time, it.key(), s.grid.value(it.key()), it.value())));
    }
    // The table holds no row of a damaged line's invented kind beyond the
    // rows the row-key rules make: every used row is a sentence address.
    const QTableWidget *table = m_window->form()->Log_text;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString text = cellText(table, row, 2);
        if (!text.isEmpty())
            QVERIFY2(QRegularExpression(QStringLiteral("^\\$+[A-Za-z0-9]+,")).match(text).hasMatch(),
                     qPrintable(text));
    }
}

void TestFaultsStream::receiverVariants_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("NMEA 3.x: GSA without system ID, GSV without signal ID") << QStringList{"--nmea", "3"};
    QTest::newRow("line feed alone ends a line") << QStringList{"--lf-only"};
    QTest::newRow("NMEA 3.x with line feeds alone") << QStringList{"--nmea", "3", "--lf-only"};
}

void TestFaultsStream::receiverVariants()
{
    QFETCH(QStringList, options);
    const QString truth = m_dir->filePath(QStringLiteral("truth.jsonl"));
    const QList<Shown> shown = watchEpochs(QStringList{"--seed", "8", "--rate", "5", "--truth", truth} + options,
                                           2, 30000);
    QVERIFY2(shown.size() >= 2, qPrintable(QStringLiteral("only %1 whole epochs shown").arg(shown.size())));
    for (const Shown &s : shown) {
        const QString time = faults::ggaTime(s.block);
        const QJsonObject epoch = faults::truthAt(truth, time);
        QVERIFY2(!epoch.isEmpty(), qPrintable("no record for " + time));
        // Information table: 0 time, 1 latitude, 3 longitude, 6 altitude,
        // 7 fix, 8 PDOP, 9 VDOP, 10 HDOP.
        QCOMPARE(s.info.value(0), time);
        QCOMPARE(s.info.value(1), QString::number(epoch.value("lat").toDouble(), 'f', 6));
        QCOMPARE(s.info.value(3), QString::number(epoch.value("lon").toDouble(), 'f', 6));
        QCOMPARE(s.info.value(6).toDouble(), epoch.value("alt").toDouble());
        QCOMPARE(s.info.value(7), epoch.value("fix").toString() == "none" ? QStringLiteral("none")
                                                                          : epoch.value("fix").toString());
        QCOMPARE(s.info.value(8).toDouble(), epoch.value("pdop").toDouble());
        QCOMPARE(s.info.value(9).toDouble(), epoch.value("vdop").toDouble());
        QCOMPARE(s.info.value(10).toDouble(), epoch.value("hdop").toDouble());
        const QMap<QString, QString> expected = faults::expectedGrid(epoch);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(s.grid.value(it.key()) == it.value(),
                     qPrintable(QStringLiteral("%1 cell %2: shown %3, expected %4")
                                    .arg(time, it.key(), s.grid.value(it.key()), it.value())));
    }
}

void TestFaultsStream::unplugAndReconnectTwentyTimes()
{
    Ui::MainWindow *ui = m_window->form();
    const QByteArray epoch =
        "$GNGGA,030000.000,3113.36057,N,12128.66218,E,1,33,0.46,11.8,M,9.1,M,,*77\r\n"
        "$GNGSA,A,3,06,07,10,,,,,,,,,,0.90,0.46,0.77,1*07\r\n"
        "$GPGSV,1,1,03,06,68,211,40,07,28,089,33,10,14,314,32,1*68\r\n";
    int blocks = 0;
    connect(m_window->worker(), &serialport::receive_data, this, [&] { ++blocks; });
    m_window->findChild<QAction *>(QStringLiteral("actionReconnect"))->setChecked(false);

    int filesAfterFirst = 0;
    int threadsAfterFirst = 0;
    qint64 rssAfterFirst = 0;
    for (int cycle = 1; cycle <= 20; ++cycle) {
        const int filesBefore = faults::openFiles();
        {
            PtyPair pty;
            QVERIFY(pty.isValid());
            m_window->offerPort(pty.slavePath());
            QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Disconnect"), ConnectMs);
            pty.closeSlave();
            const int seen = blocks;
            QVERIFY(pty.write(epoch));
            QTRY_VERIFY_WITH_TIMEOUT(blocks > seen, 5000);
            // Unplugged: the far end goes away.
            pty.closeMaster();
            QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Connect"), ConnectMs);
        }
        QCOMPARE(m_window->isConnected(), false);
        // The first connection starts the timer thread and opens the log;
        // from then on every cycle must end where it began.
        QTest::qWait(50);
        if (cycle == 1) {
            filesAfterFirst = faults::openFiles();
            threadsAfterFirst = faults::threads();
            rssAfterFirst = faults::residentKb();
            QVERIFY(filesAfterFirst <= filesBefore + 1);
        } else {
            QVERIFY2(faults::openFiles() == filesAfterFirst,
                     qPrintable(QStringLiteral("cycle %1: %2 files open, %3 after the first")
                                    .arg(cycle).arg(faults::openFiles()).arg(filesAfterFirst)));
            QVERIFY2(faults::threads() == threadsAfterFirst,
                     qPrintable(QStringLiteral("cycle %1: %2 threads, %3 after the first")
                                    .arg(cycle).arg(faults::threads()).arg(threadsAfterFirst)));
        }
    }
    const qint64 growth = faults::residentKb() - rssAfterFirst;
    qInfo("20 cycles: %d files, %d threads, resident memory grew by %lld kB", faults::openFiles(),
          faults::threads(), growth);
    if (SKYLOUPE_RSS_MEANINGFUL)
        QVERIFY2(growth < 3 * 1024, qPrintable(QStringLiteral("resident memory grew by %1 kB").arg(growth)));
}

QTEST_MAIN(TestFaultsStream)
#include "tst_faults_stream.moc"
