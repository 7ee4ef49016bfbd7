// A receiver unplugged and plugged in again behind the same link: the
// program opens it by itself, with a new log file, until Disconnect.
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
    QDir::setCurrent(dir.path());   // config.ini and log/ go here
    const QStringList options{"--link", dir.filePath(QStringLiteral("gnss0")), "--seed", "5"};
    SimProcess first;
    QVERIFY2(first.start(options + QStringList{"--hangup-after", "3"}), qPrintable(first.rawLog()));
    MainWindow window;
    Ui::MainWindow *ui = window.form();
    window.offerPort(options.at(1));
    ui->comboBox_2->setCurrentText(QStringLiteral("115200"));
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QVERIFY(first.waitForListener(10000));

    QTRY_VERIFY_WITH_TIMEOUT(!window.isConnected(), 10000);   // hung up after 3 s
    QCOMPARE(ui->ctn_btn->text(), QStringLiteral("Disconnect"));   // ends the wait
    SimProcess second;
    QVERIFY(second.start(options));
    QVERIFY(second.waitForListener(15000));
    QTRY_VERIFY_WITH_TIMEOUT(window.isConnected(), 5000);
    QVERIFY(window.statusBar()->currentMessage().contains(QStringLiteral("reconnected")));
    QTRY_COMPARE_WITH_TIMEOUT(QDir(QStringLiteral("log")).entryList({"*.nma"}).size(), 2, 5000);

    // Unplugged again, and the user stops waiting.
    second.stop();
    QTRY_VERIFY_WITH_TIMEOUT(window.reconnectWatch().isWatching(), 10000);
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Connect"), 5000);
    SimProcess third;
    QVERIFY(third.start(options));
    QVERIFY(!third.waitForListener(3 * 2000 + ReconnectWatch::SettleMs));
}

QTEST_MAIN(TestEndToEndReconnect)
#include "tst_e2e_reconnect.moc"
