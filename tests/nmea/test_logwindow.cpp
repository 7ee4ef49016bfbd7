// The window's NMEA log over a real pseudo-terminal: one file per
// connection, every accepted block in it as soon as it is handled, and a
// log that cannot be created is said in the status bar while the
// connection goes on.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"
#include "link/serialport.h"
#include "support/ptypair.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

namespace {
const QByteArray Gga("$GNGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
const QByteArray Rmc("$GNRMC,123519.000,A,4807.038,N,01131.000,E,0.0,0.0,090526,,,A*00\r\n");
const QByteArray EightBit("$GPTXT,01,01,02,\xB5\xFF\x80\xE9*00\r\n");

qint64 sizeOf(const QString &path)
{
    return QFileInfo(path).size();   // a fresh look each time, no caching
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList logFiles()
{
    return QDir(QStringLiteral("log")).entryList({QStringLiteral("*.nma")}, QDir::Files, QDir::Name);
}
} // namespace

class TestLogWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fileHoldsEveryAcceptedBlockAtOnce();
    void twoConnectionsGiveTwoFiles();
    void closingWhileConnectedLeavesCompleteFile();
    void uncreatableLogIsShownAndConnectionGoesOn();

private:
    bool connectWindow();
    bool disconnectWindow();
    bool sendBlock(const QByteArray &block, const QString &file, qint64 sizeAfter);

    QTemporaryDir *m_dir = nullptr;
    PtyPair *m_pty = nullptr;
    MainWindow *m_window = nullptr;
};

void TestLogWindow::init()
{
    // The log directory is relative to the working directory.
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_pty = new PtyPair;
    QVERIFY(m_pty->isValid());
    m_window = new MainWindow;
    m_window->offerPort(m_pty->slavePath());
}

void TestLogWindow::cleanup()
{
    delete m_window;
    delete m_pty;
    QDir::setCurrent(QDir::tempPath());
    delete m_dir;
    m_window = nullptr;
    m_pty = nullptr;
    m_dir = nullptr;
}

bool TestLogWindow::connectWindow()
{
    QSignalSpy opened(m_window->worker(), &serialport::port_open);
    if (m_window->form()->ctn_btn->text() != QLatin1String("Connect"))
        return false;
    m_window->form()->ctn_btn->click();
    if (opened.count() == 0 && !opened.wait(5000))
        return false;
    return QTest::qWaitFor([this] { return m_window->isConnected(); }, 3000);
}

bool TestLogWindow::disconnectWindow()
{
    if (m_window->form()->ctn_btn->text() != QLatin1String("Disconnect"))
        return false;
    m_window->form()->ctn_btn->click();
    return QTest::qWaitFor([this] { return !m_window->isConnected(); }, 3000);
}

bool TestLogWindow::sendBlock(const QByteArray &block, const QString &file, qint64 sizeAfter)
{
    // One block at a time: the next is written only once this one is in.
    return m_pty->write(block)
           && QTest::qWaitFor([&] { return sizeOf(file) == sizeAfter; }, 3000);
}

void TestLogWindow::fileHoldsEveryAcceptedBlockAtOnce()
{
    QVERIFY(!QFileInfo::exists(QStringLiteral("log")));
    const QDateTime before = QDateTime::currentDateTime();
    QVERIFY(connectWindow());
    const QDateTime after = QDateTime::currentDateTime();

    // Named after the moment the port opened: some second between the
    // click and the connected state.
    QCOMPARE(logFiles().size(), 1);
    const QString name = logFiles().constFirst();
    QStringList possible;
    for (QDateTime t = before; t <= after.addSecs(1); t = t.addSecs(1)) {
        if (t.toString(QStringLiteral("MMdd_hhmmss")) <= after.toString(QStringLiteral("MMdd_hhmmss")))
            possible.append(t.toString(QStringLiteral("MMdd_hhmmss")) + QStringLiteral(".nma"));
    }
    QVERIFY2(possible.contains(name), qPrintable(name + " not in " + possible.join(' ')));
    const QString path = QStringLiteral("log/") + name;
    QCOMPARE(sizeOf(path), 0);

    QByteArray accepted;
    for (const QByteArray &block : {Gga, Gga + Rmc, EightBit, Rmc + EightBit + Gga}) {
        accepted += block;
        QVERIFY2(sendBlock(block, path, accepted.size()), block.constData());
    }
    // A block that does not begin with "$" is logged too: every byte read.
    const QByteArray cut = QByteArray("A,123519.000,4807.038,N*00\r\n") + Gga;
    m_window->loadPlot(cut);
    accepted += cut + Rmc;
    QVERIFY(sendBlock(Rmc, path, accepted.size()));
    QCOMPARE(contentOf(path), accepted);
}

void TestLogWindow::twoConnectionsGiveTwoFiles()
{
    QVERIFY(connectWindow());
    QCOMPARE(logFiles().size(), 1);
    const QString first = QStringLiteral("log/") + logFiles().constFirst();
    QVERIFY(sendBlock(Gga, first, Gga.size()));
    QVERIFY(disconnectWindow());

    // The next connection starts in another second.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("MMdd_hhmmss"));
    QVERIFY(QTest::qWaitFor([&] {
        return QDateTime::currentDateTime().toString(QStringLiteral("MMdd_hhmmss")) != stamp;
    }, 2000));
    QVERIFY(connectWindow());
    QCOMPARE(logFiles().size(), 2);
    const QString second = QStringLiteral("log/") + logFiles().constLast();
    QVERIFY(first != second);
    QVERIFY(sendBlock(Rmc + Gga, second, Rmc.size() + Gga.size()));

    QCOMPARE(contentOf(first), Gga);
    QCOMPARE(contentOf(second), Rmc + Gga);
}

void TestLogWindow::closingWhileConnectedLeavesCompleteFile()
{
    QVERIFY(connectWindow());
    const QString path = QStringLiteral("log/") + logFiles().constFirst();
    QByteArray accepted;
    for (int i = 0; i < 20; ++i) {
        const QByteArray block = (i % 2 ? Gga : EightBit + Rmc);
        accepted += block;
        QVERIFY(sendBlock(block, path, accepted.size()));
    }
    delete m_window;
    m_window = nullptr;
    QCOMPARE(contentOf(path), accepted);
}

void TestLogWindow::uncreatableLogIsShownAndConnectionGoesOn()
{
    // A plain file named "log" leaves no way to make the log directory.
    QFile blocker(QStringLiteral("log"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QVERIFY(connectWindow());
    const QRegularExpression expected(
        QStringLiteral("^Not logging: cannot create \\./log/\\d{4}_\\d{6}\\.nma: Not a directory$"));
    QTRY_VERIFY2(expected.match(m_window->statusBar()->currentMessage()).hasMatch(),
                 qPrintable(m_window->statusBar()->currentMessage()));

    // Blocks are still shown and commands still go out.
    QVERIFY(m_pty->write(Gga));
    QTRY_VERIFY(m_window->form()->Log_text->item(0, 2)
                && m_window->form()->Log_text->item(0, 2)->text().startsWith(QLatin1String("$GNGGA")));
    m_pty->read(1 << 20, 50);
    m_window->restartToolBar()->actions().at(0)->trigger();
    QCOMPARE(m_pty->read(64, 1000), QByteArray("$PAIR004*3E\r\n"));
    QCOMPARE(sizeOf(QStringLiteral("log")), 0);

    // Once the way is clear, the next connection logs and the note goes.
    QVERIFY(QFile::remove(QStringLiteral("log")));
    QVERIFY(disconnectWindow());
    QVERIFY(connectWindow());
    QCOMPARE(logFiles().size(), 1);
    QVERIFY2(!m_window->statusBar()->currentMessage().startsWith(QLatin1String("Not logging")),
             qPrintable(m_window->statusBar()->currentMessage()));
    const QString path = QStringLiteral("log/") + logFiles().constFirst();
    QVERIFY(sendBlock(Rmc, path, Rmc.size()));
}

QTEST_MAIN(TestLogWindow)
#include "test_logwindow.moc"
