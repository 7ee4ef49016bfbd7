// The whole program against the simulated receiver: Connect on its
// pseudo-terminal, blocks arriving through the worker thread into the
// sentence table, and the commands the program writes reaching the receiver.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "e2e/simprocess.h"
#include "support/nmeacheck.h"
#include "link/serialport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Generous: CI machines are shared and slow.
constexpr int ConnectMs = 10000;
constexpr int DataMs = 20000;

QList<QByteArray> linesOf(const QSignalSpy &spy)
{
    QList<QByteArray> lines;
    for (const QList<QVariant> &call : spy) {
        const QList<QByteArray> pieces = call.at(0).toByteArray().split('\n');
        for (int i = 0; i + 1 < pieces.size(); ++i)
            lines.append(pieces.at(i));
    }
    return lines;
}

} // namespace

class TestEndToEndConnect : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void blocksArriveAndFillTheTable();
    void receiverLogsWhatTheProgramWrote();

private:
    void connectWindow();

    QTemporaryDir *m_dir = nullptr;
    QString m_oldDir;
    SimProcess *m_sim = nullptr;
    MainWindow *m_window = nullptr;
    QSignalSpy *m_blocks = nullptr;
};

void TestEndToEndConnect::init()
{
    QVERIFY2(SimProcess::isBuilt(), qPrintable(SimProcess::executable() + " is not built"));
    // The window writes config.ini and its log files into the working folder.
    m_dir = new QTemporaryDir;
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_sim = new SimProcess;
    QVERIFY2(m_sim->start({QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--ttff"),
                           QStringLiteral("hot=2.5")}),
             qPrintable(m_sim->rawLog()));
    m_window = new MainWindow;
    // The spy must see every block: with the bound on, blocks read while
    // the window is busy (a slow machine, a sanitizer build) join the
    // pending bytes and reach the window without a signal of their own.
    m_window->worker()->setBoundedHandover(false);
    m_blocks = new QSignalSpy(m_window->worker(), &serialport::receive_data);
}

void TestEndToEndConnect::cleanup()
{
    delete m_blocks;
    delete m_window;
    delete m_sim;
    m_blocks = nullptr;
    m_window = nullptr;
    m_sim = nullptr;
    QDir::setCurrent(m_oldDir);
    delete m_dir;
}

void TestEndToEndConnect::connectWindow()
{
    Ui::MainWindow *ui = m_window->form();
    m_window->offerPort(m_sim->portPath());
    ui->comboBox_2->setCurrentText(QStringLiteral("115200"));
    QCOMPARE(ui->comboBox_com->currentText(), m_sim->portPath());
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Disconnect"), ConnectMs);
    QVERIFY(m_sim->waitForListener(ConnectMs));
}

void TestEndToEndConnect::blocksArriveAndFillTheTable()
{
    connectWindow();
    // Epochs come once a second; three blocks with a GGA sentence each.
    QVERIFY(waitUntil([this] {
        int withGga = 0;
        for (const QList<QVariant> &call : qAsConst(*m_blocks))
            withGga += call.at(0).toByteArray().contains("$GNGGA,") ? 1 : 0;
        return withGga >= 3;
    }, DataMs));

    QSet<QByteArray> types;
    for (const QList<QVariant> &call : qAsConst(*m_blocks))
        QVERIFY2(call.at(0).toByteArray().endsWith('\n'), "a block ends with a line feed");
    const QList<QByteArray> lines = linesOf(*m_blocks);
    for (const QByteArray &line : lines) {
        if (!line.startsWith('$'))
            continue;   // the tail of an epoch cut by the open
        QVERIFY2(line.endsWith('\r'), line.constData());
        QVERIFY2(checksumRight(line), line.constData());
        types.insert(line.mid(3, 3));
    }
    for (const char *type : {"GGA", "GLL", "RMC", "VTG", "ZDA", "GSA", "GSV"})
        QVERIFY2(types.contains(type), type);

    // The sentence table shows the keys of the stream, counted per block.
    QTableWidget *table = m_window->form()->Log_text;
    auto rowOf = [table](const QByteArray &prefix) {
        for (int row = 0; row < table->rowCount(); ++row) {
            const QTableWidgetItem *text = table->item(row, 2);
            if (text && text->text().startsWith(QLatin1String(prefix)))
                return row;
        }
        return -1;
    };
    QTRY_VERIFY_WITH_TIMEOUT(rowOf("$GNGGA") >= 0, DataMs);
    const int gga = rowOf("$GNGGA");
    QTRY_VERIFY_WITH_TIMEOUT(table->item(gga, 1)->text().toInt() >= 2, DataMs);
    for (const char *key : {"$GNRMC", "$GNGSA", "$GPGSV", "$GLGSV", "$GAGSV", "$GBGSV"})
        QVERIFY2(rowOf(key) >= 0, key);
}

void TestEndToEndConnect::receiverLogsWhatTheProgramWrote()
{
    connectWindow();
    const QDateTime before = QDateTime::currentDateTimeUtc();
    emit m_window->start_freq_signal(QByteArrayLiteral("$PAIR004*3E\r\n"));

    const SimProcess::Entry hot = m_sim->waitForCommand(QStringLiteral("$PAIR004*3E"), DataMs);
    QVERIFY2(hot.utc.isValid(), qPrintable(m_sim->rawLog()));
    QCOMPARE(hot.status, QStringLiteral("ok"));
    QVERIFY(hot.utc >= before.addMSecs(-50));

    // The receiver's answers come back through the worker: acknowledgement,
    // restart report, epochs without a fix, then the fix again.
    auto seen = [this](const QByteArray &prefix) {
        const QList<QByteArray> lines = linesOf(*m_blocks);
        return std::any_of(lines.begin(), lines.end(), [&](const QByteArray &l) { return l.startsWith(prefix); });
    };
    QVERIFY(waitUntil([&] { return seen("$PAIR001,004,0*") && seen("$PAIR010,1,-1"); }, DataMs));
    QVERIFY(waitUntil([&] {
        const QList<QByteArray> lines = linesOf(*m_blocks);
        const int report = int(std::find_if(lines.begin(), lines.end(),
                                            [](const QByteArray &l) { return l.startsWith("$PAIR010,1,-1"); })
                               - lines.begin());
        bool noFix = false;
        for (int i = report; i < lines.size(); ++i) {
            if (!lines.at(i).startsWith("$GNGGA,"))
                continue;
            const QList<QByteArray> fields = lines.at(i).split(',');
            if (fields.value(6) == "0")
                noFix = true;
            else if (noFix && fields.value(6) == "1")
                return true;
        }
        return false;
    }, DataMs));

    // The version query the program sends by itself after the open, and the
    // three follow-up commands its reply triggers, in this order.
    const SimProcess::Entry query = m_sim->waitForCommand(QStringLiteral("$PAIR081*33"), DataMs);
    QVERIFY2(query.utc.isValid(), qPrintable(m_sim->rawLog()));
    const QStringList commands = m_sim->receivedCommands();
    const int version = int(commands.indexOf(QStringLiteral("$PMTK605*31")));
    QVERIFY2(version >= 0, qPrintable(commands.join(QLatin1Char(' '))));
    QCOMPARE(commands.mid(version + 1, 3),
             QStringList({QStringLiteral("$PAIR020*38"), QStringLiteral("$PAIR021*39"), QStringLiteral("$PAIR081*33")}));
}

QTEST_MAIN(TestEndToEndConnect)
#include "tst_e2e_connect.moc"
