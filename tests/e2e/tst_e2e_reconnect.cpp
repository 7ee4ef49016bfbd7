// A receiver unplugged and plugged in again: the simulated receiver hangs
// up, a new one comes up behind the same link, and the program opens it by
// itself, with a new log file. Once Disconnect ends the wait, a receiver
// that comes back is left alone.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "e2e/simprocess.h"

#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

class TestEndToEndReconnect : public QObject
{
    Q_OBJECT

private slots:
    void reconnectsUntilDisconnect();
};

void TestEndToEndReconnect::reconnectsUntilDisconnect()
{
    QTemporaryDir dir;
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(dir.path());   // config.ini and log/ go here
    const QString link = dir.filePath(QStringLiteral("gnss0"));
    const QStringList options{"--link", link, "--seed", "5"};
    auto logs = [] { return QDir(QStringLiteral("log")).entryList({"*.nma"}).size(); };
    {
        SimProcess first;
        QVERIFY2(first.start(options + QStringList{"--hangup-after", "3"}), qPrintable(first.rawLog()));
        MainWindow window;
        Ui::MainWindow *ui = window.form();
        window.offerPort(link);
        ui->comboBox_2->setCurrentText(QStringLiteral("115200"));
        QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
        QVERIFY(first.waitForListener(10000));
        QTRY_COMPARE_WITH_TIMEOUT(logs(), 1, 5000);

        // Unplugged: the program waits for the port, Disconnect still offered.
        QVERIFY(first.waitFor([](const SimProcess::Entry &e) { return e.text == "hangup"; }, 10000).utc.isValid());
        QTRY_VERIFY_WITH_TIMEOUT(!window.isConnected(), 10000);
        QCOMPARE(ui->ctn_btn->text(), QStringLiteral("Disconnect"));
        QVERIFY(window.statusBar()->currentMessage().contains(QStringLiteral("reconnecting when it is back")));

        SimProcess second;
        QVERIFY(second.start(options));
        QVERIFY(second.waitForListener(15000));
        QTRY_VERIFY_WITH_TIMEOUT(window.isConnected(), 5000);
        QVERIFY(window.statusBar()->currentMessage().contains(QStringLiteral("reconnected")));
        QTRY_COMPARE_WITH_TIMEOUT(logs(), 2, 5000);

        // Unplugged again, and the user stops waiting.
        second.stop();
        QTRY_VERIFY_WITH_TIMEOUT(window.reconnectWatch().isWatching(), 10000);
        QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Connect"), 5000);
        SimProcess third;
        QVERIFY(third.start(options));
        QVERIFY(!third.waitForListener(3 * 2000 + ReconnectWatch::SettleMs));
        QVERIFY(!window.isConnected());
    }
    QDir::setCurrent(oldDir);
}

QTEST_MAIN(TestEndToEndReconnect)
#include "tst_e2e_reconnect.moc"
