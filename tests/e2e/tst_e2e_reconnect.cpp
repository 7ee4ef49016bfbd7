// A receiver unplugged and plugged in again behind the same link: the
// program opens it by itself, with a new log file, until Disconnect. The
// views say meanwhile that their data is old, and a restart gets its
// acknowledgement on the status bar.
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
    QVERIFY2(ui->polar_widget->staleText().startsWith(QStringLiteral("No data since ")),
             qPrintable(ui->polar_widget->staleText()));
    QCOMPARE(ui->Bar_plot->staleText(), ui->polar_widget->staleText());
    SimProcess second;
    QVERIFY(second.start(options));
    QVERIFY(second.waitForListener(15000));
    QTRY_VERIFY_WITH_TIMEOUT(window.isConnected(), 5000);
    QVERIFY(window.statusBar()->currentMessage().contains(QStringLiteral("reconnected")));
    QTRY_COMPARE_WITH_TIMEOUT(QDir(QStringLiteral("log")).entryList({"*.nma"}).size(), 2, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(ui->polar_widget->staleText().isEmpty(), 5000);   // live with the first epoch
    window.hotstart();
    QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), QStringLiteral("PAIR004: accepted"), 3000);

    // Unplugged again, and the user stops waiting.
    second.stop();
    QTRY_VERIFY_WITH_TIMEOUT(window.reconnectWatch().isWatching(), 10000);
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Connect"), 5000);
    QCOMPARE(ui->polar_widget->staleText(), QStringLiteral("Disconnected"));
    SimProcess third;
    QVERIFY(third.start(options));
    QVERIFY(!third.waitForListener(3 * 2000 + ReconnectWatch::SettleMs));
}

QTEST_MAIN(TestEndToEndReconnect)
#include "tst_e2e_reconnect.moc"
