// A receiver at another baud rate than the program's: the status bar says
// that what arrives is not NMEA, and "Find baud rate" finds the receiver's
// rate, selects it, and sentences arrive.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "e2e/simprocess.h"

#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

class TestEndToEndBaud : public QObject
{
    Q_OBJECT

private slots:
    void wrongRateIsSaidAndFound();
};

void TestEndToEndBaud::wrongRateIsSaidAndFound()
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SimProcess sim;
    QVERIFY2(sim.start({"--seed", "6", "--rate", "5", "--baud", "38400"}), qPrintable(sim.rawLog()));
    MainWindow window;
    Ui::MainWindow *ui = window.form();
    window.offerPort(sim.portPath());
    ui->comboBox_2->setCurrentText(QStringLiteral("115200"));
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.isConnected(), 10000);

    QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(),
                              QStringLiteral("Data arrives but is not NMEA: is the baud rate right?"), 8000);
    QCOMPARE(ui->Log_text->item(0, 2), nullptr);

    window.findChild<QAction *>(QStringLiteral("actionFind_Baud_Rate"))->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(ui->comboBox_2->currentText(), QStringLiteral("38400"), 20000);
    QVERIFY2(window.statusBar()->currentMessage().contains(QStringLiteral("38400")),
             qPrintable(window.statusBar()->currentMessage()));
    QTRY_VERIFY_WITH_TIMEOUT(ui->Log_text->item(0, 2) && ui->Log_text->item(0, 2)->text().startsWith('$'), 5000);
}

QTEST_MAIN(TestEndToEndBaud)
#include "tst_e2e_baud.moc"
