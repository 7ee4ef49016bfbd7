// Connection control on a real serial line (a pseudo-terminal): the button
// cycle, a port that cannot be opened, an unplugged device, the port list
// following devices, and the menu actions.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/about.h"
#include "link/serialport.h"
#include "support/processstats.h"
#include "support/ptypair.h"
#include "ttff/ttff.h"

#include <QStatusBar>
#include <QTimer>
#include <QtTest>



class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void connectAndDisconnect();
    void connectClearsTheTableAtOnce();
    void portThatCannotBeOpened();
    void unpluggedDeviceComesBackToConnect();
    void portListFollowsNames();
    void clearDataKeepsTheTableShape();
    void ttffTestingDoesNotBlock();
    void aboutIsModal();
    void commandWhileDisconnectedIsReported();

private:
    void connectTo(const QString &port);

    QTemporaryDir *m_dir = nullptr;
    QString m_oldDir;
    MainWindow *m_window = nullptr;
    PtyPair *m_pty = nullptr;
};

void TestConnection::init()
{
    // The window writes config.ini and log files into the working directory.
    m_dir = new QTemporaryDir;
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_pty = new PtyPair;
    QVERIFY(m_pty->isValid());
    m_window = new MainWindow;
    m_window->offerPort(m_pty->slavePath());
}

void TestConnection::cleanup()
{
    delete m_window;
    delete m_pty;
    QDir::setCurrent(m_oldDir);
    delete m_dir;
}

void TestConnection::connectTo(const QString &port)
{
    Ui::MainWindow *ui = m_window->form();
    ui->comboBox_com->setCurrentText(port);
    QCOMPARE(ui->ctn_btn->text(), QStringLiteral("Connect"));
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
}

void TestConnection::connectAndDisconnect()
{
    Ui::MainWindow *ui = m_window->form();
    ui->comboBox_2->setCurrentText(QStringLiteral("115200"));
    connectTo(m_pty->slavePath());
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Disconnect"), 2000);
    QVERIFY(m_window->isConnected());
    QVERIFY(!ui->comboBox_com->isEnabled());
    QVERIFY(ui->comboBox_2->isEnabled());

    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Connect"), 2000);
    QVERIFY(!m_window->isConnected());
    QVERIFY(ui->comboBox_com->isEnabled());
    QVERIFY(m_window->worker()->scanFlag());

    // Scanning resumed: another scan step arrives.
    QSignalSpy steps(m_window->worker(), &serialport::isDone);
    QTRY_VERIFY_WITH_TIMEOUT(steps.count() >= 1, 5000);

    // And the port can be opened again.
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Disconnect"), 2000);
}

void TestConnection::connectClearsTheTableAtOnce()
{
    Ui::MainWindow *ui = m_window->form();
    ui->Log_text->setItem(3, 2, new QTableWidgetItem(QStringLiteral("$GPGGA,old")));
    connectTo(m_pty->slavePath());
    // Cleared by the click itself, before the port is open.
    QVERIFY(!ui->Log_text->item(3, 2));
    QCOMPARE(ui->Log_text->rowCount(), 200);
}

void TestConnection::portThatCannotBeOpened()
{
    Ui::MainWindow *ui = m_window->form();
    const QString missing = QStringLiteral("/dev/no-such-receiver");
    m_window->offerPort(missing);
    connectTo(missing);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->statusBar()->currentMessage().startsWith(
                                 QStringLiteral("Cannot open /dev/no-such-receiver: ")), 2000);
    QTest::qWait(300);
    QCOMPARE(ui->ctn_btn->text(), QStringLiteral("Connect"));
    QVERIFY(!m_window->isConnected());
    QVERIFY(ui->comboBox_com->isEnabled());
}

void TestConnection::unpluggedDeviceComesBackToConnect()
{
    Ui::MainWindow *ui = m_window->form();
    m_window->findChild<QAction *>(QStringLiteral("actionReconnect"))->setChecked(false);
    connectTo(m_pty->slavePath());
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Disconnect"), 2000);
    QVERIFY(m_pty->write("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"));

    // Unplug: the far end of the line goes away.
    m_pty->closeSlave();
    m_pty->closeMaster();
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Connect"), 3000);
    QVERIFY(ui->comboBox_com->isEnabled());
    QVERIFY(!m_window->isConnected());
    QVERIFY(m_window->statusBar()->currentMessage().endsWith(QStringLiteral(" disconnected")));

    // No busy loop afterwards.
    const double before = processCpuSeconds();
    QTest::qWait(3000);
    const double used = processCpuSeconds() - before;
    QVERIFY2(used < 0.3, qPrintable(QStringLiteral("%1 s of CPU in the 3 s after the unplug").arg(used)));
}

void TestConnection::portListFollowsNames()
{
    Ui::MainWindow *ui = m_window->form();
    QStringList system{"ttyUSB0", "ttyUSB1"};
    m_window->setPortEnumerator([&system] { return system; });
    const QString pty = m_pty->slavePath();
    auto entries = [ui] {
        QStringList names;
        for (int i = 0; i < ui->comboBox_com->count(); ++i)
            names << ui->comboBox_com->itemText(i);
        return names;
    };

    m_window->updateport();
    QCOMPARE(entries(), (QStringList{"ttyUSB0", "ttyUSB1", pty}));
    ui->comboBox_com->setCurrentText(QStringLiteral("ttyUSB1"));

    system = QStringList{"ttyUSB0", "ttyACM0", "ttyUSB1"};   // added
    m_window->updateport();
    QCOMPARE(entries(), (QStringList{"ttyUSB0", "ttyACM0", "ttyUSB1", pty}));
    QCOMPARE(ui->comboBox_com->currentText(), QStringLiteral("ttyUSB1"));

    system = QStringList{"ttyUSB0", "ttyACM0", "ttyUSB2"};   // swapped, same count
    m_window->updateport();
    QCOMPARE(entries(), (QStringList{"ttyUSB0", "ttyACM0", "ttyUSB2", pty}));
    QCOMPARE(ui->comboBox_com->currentText(), QStringLiteral("ttyUSB0"));

    ui->comboBox_com->setCurrentText(QStringLiteral("ttyACM0"));
    system = QStringList{"ttyACM0"};                          // removed
    m_window->updateport();
    QCOMPARE(entries(), (QStringList{"ttyACM0", pty}));
    QCOMPARE(ui->comboBox_com->currentText(), QStringLiteral("ttyACM0"));
}

void TestConnection::clearDataKeepsTheTableShape()
{
    Ui::MainWindow *ui = m_window->form();
    ui->Log_text->setItem(0, 0, new QTableWidgetItem(QStringLiteral("12:00:00")));
    ui->Log_text->setItem(0, 2, new QTableWidgetItem(QStringLiteral("$GPGGA")));
    ui->actionClear_Data->trigger();
    QVERIFY(!ui->Log_text->item(0, 0));
    QVERIFY(!ui->Log_text->item(0, 2));
    QCOMPARE(ui->Log_text->rowCount(), 200);
    QCOMPARE(ui->Log_text->columnCount(), 3);
}

void TestConnection::ttffTestingDoesNotBlock()
{
    Ui::MainWindow *ui = m_window->form();
    ui->actionTTFF_Testing->trigger();   // returns: the dialog is not modal
    ttff *dialog = m_window->ttffDialog();
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    const QRect where = dialog->geometry();
    ui->actionTTFF_Testing->trigger();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->geometry(), where);
}

void TestConnection::aboutIsModal()
{
    bool wasModal = false;
    bool wasVisible = false;
    QTimer::singleShot(200, this, [&] {
        about *dialog = m_window->aboutDialog();
        wasVisible = dialog->isVisible();
        wasModal = dialog->isModal();
        dialog->accept();
    });
    m_window->form()->actionAbout->trigger();   // returns once the dialog closed
    QVERIFY(wasVisible);
    QVERIFY(wasModal);
    QVERIFY(!m_window->aboutDialog()->isVisible());
}

void TestConnection::commandWhileDisconnectedIsReported()
{
    QVERIFY(!m_window->isConnected());
    m_window->hotstart();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->statusBar()->currentMessage().contains(
                                 QStringLiteral("no port is open")), 1000);
}

QTEST_MAIN(TestConnection)
#include "test_connection.moc"
