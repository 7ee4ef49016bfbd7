// The serial worker over a real pseudo-terminal: open, framing, writes,
// close, and a device that goes away.
#include "link/serialport.h"
#include "support/processstats.h"
#include "support/ptypair.h"

#include <QSignalSpy>
#include <QtTest>

#include <termios.h>


class TestSerialPort : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensAtBaudWith8N1AndSoftwareFlow_data();
    void opensAtBaudWith8N1AndSoftwareFlow();
    void unknownPortEmitsNoOpen();
    void secondOpenLeavesTheOpenPortAlone();
    void receivedChunksBecomeBlocks();
    void writeDataPutsExactBytes();
    void closeSerialEmitsIsDone();
    void scanStepsWhileClosedOnly();
    void vanishedDeviceClosesWithoutSpinning();

private:
    void openOn(const QString &path, const QString &baud);

    serialport *m_worker = nullptr;
    PtyPair *m_pty = nullptr;
};

void TestSerialPort::init()
{
    m_pty = new PtyPair;
    QVERIFY(m_pty->isValid());
    m_worker = new serialport;
    m_worker->setScanFlag(false);
}

void TestSerialPort::cleanup()
{
    delete m_worker;
    delete m_pty;
    m_worker = nullptr;
    m_pty = nullptr;
}

void TestSerialPort::openOn(const QString &path, const QString &baud)
{
    QMetaObject::invokeMethod(m_worker, "init_port", Qt::QueuedConnection,
                              Q_ARG(QString, path), Q_ARG(QString, baud));
}

void TestSerialPort::opensAtBaudWith8N1AndSoftwareFlow_data()
{
    QTest::addColumn<QString>("baud");
    QTest::addColumn<int>("speed");
    QTest::newRow("9600") << "9600" << int(B9600);
    QTest::newRow("115200") << "115200" << int(B115200);
    QTest::newRow("921600") << "921600" << int(B921600);
}

void TestSerialPort::opensAtBaudWith8N1AndSoftwareFlow()
{
    QFETCH(QString, baud);
    QFETCH(int, speed);
    QSignalSpy opened(m_worker, &serialport::port_open);
    QSignalSpy status(m_worker, &serialport::status);
    openOn(m_pty->slavePath(), baud);
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 3000);
    QTRY_COMPARE(status.count(), 1);
    QCOMPARE(status.at(0).at(0).toBool(), true);

    termios tio{};
    QCOMPARE(tcgetattr(m_pty->slaveFd(), &tio), 0);
    QCOMPARE(int(cfgetospeed(&tio)), speed);
    QCOMPARE(int(cfgetispeed(&tio)), speed);
    QCOMPARE(int(tio.c_cflag & CSIZE), int(CS8));
    QVERIFY(!(tio.c_cflag & PARENB));
    QVERIFY(!(tio.c_cflag & CSTOPB));
    QVERIFY(tio.c_iflag & IXON);
    QVERIFY(tio.c_iflag & IXOFF);
    QVERIFY(!(tio.c_cflag & CRTSCTS));
}

void TestSerialPort::unknownPortEmitsNoOpen()
{
    QSignalSpy opened(m_worker, &serialport::port_open);
    QSignalSpy failed(m_worker, &serialport::open_failed);
    QSignalSpy status(m_worker, &serialport::status);
    openOn(QStringLiteral("/dev/no-such-receiver"), QStringLiteral("9600"));
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 3000);
    QVERIFY(failed.at(0).at(0).toString().startsWith(QLatin1String("Cannot open ")));
    QTRY_COMPARE(status.count(), 1);
    QCOMPARE(status.at(0).at(0).toBool(), false);
    QCOMPARE(opened.count(), 0);
}

void TestSerialPort::secondOpenLeavesTheOpenPortAlone()
{
    QSignalSpy opened(m_worker, &serialport::port_open);
    QSignalSpy status(m_worker, &serialport::status);
    QSignalSpy blocks(m_worker, &serialport::receive_data);
    openOn(m_pty->slavePath(), QStringLiteral("115200"));
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 3000);
    // Half a sentence waits in the worker when the second Connect comes.
    QVERIFY(m_pty->write("$GPGGA,123519,4807.038,N"));
    QTest::qWait(100);
    openOn(m_pty->slavePath(), QStringLiteral("115200"));
    QTRY_COMPARE_WITH_TIMEOUT(status.count(), 2, 3000);
    QCOMPARE(status.last().at(0).toBool(), true);
    QCOMPARE(opened.count(), 1);
    // Nothing buffered was thrown away.
    QVERIFY(m_pty->write(",01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(blocks.count(), 1, 3000);
    QCOMPARE(blocks.at(0).at(0).toByteArray(),
             QByteArray("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"));
}

void TestSerialPort::receivedChunksBecomeBlocks()
{
    QSignalSpy opened(m_worker, &serialport::port_open);
    QSignalSpy blocks(m_worker, &serialport::receive_data);
    openOn(m_pty->slavePath(), QStringLiteral("115200"));
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 3000);

    const QByteArray epoch = QByteArray("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                                        "$GPTXT,\xB5\x00\xFF*00\r\n", 82);
    QVERIFY(m_pty->write(epoch.left(25)));
    QTest::qWait(100);
    QCOMPARE(blocks.count(), 0);
    QVERIFY(m_pty->write(epoch.mid(25)));
    QTRY_VERIFY_WITH_TIMEOUT(blocks.count() >= 1, 3000);
    QByteArray got;
    for (const auto &args : blocks)
        got += args.at(0).toByteArray();
    QCOMPARE(got, epoch);
}

void TestSerialPort::writeDataPutsExactBytes()
{
    QSignalSpy opened(m_worker, &serialport::port_open);
    openOn(m_pty->slavePath(), QStringLiteral("115200"));
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 3000);

    const QByteArray command = "$PAIR004*3E\r\n";
    QMetaObject::invokeMethod(m_worker, "write_data", Qt::QueuedConnection, Q_ARG(QByteArray, command));
    QCOMPARE(m_pty->read(command.size(), 3000), command);

    const QByteArray query = "$PMTK605*31\r\n";
    QSignalSpy started(m_worker, &serialport::start_timer);
    QMetaObject::invokeMethod(m_worker, "write_PMTKdata", Qt::QueuedConnection, Q_ARG(QByteArray, query));
    QCOMPARE(m_pty->read(query.size(), 3000), query);
    QTRY_COMPARE(started.count(), 1);
}

void TestSerialPort::closeSerialEmitsIsDone()
{
    QSignalSpy opened(m_worker, &serialport::port_open);
    QSignalSpy done(m_worker, &serialport::isDone);
    QSignalSpy status(m_worker, &serialport::status);
    openOn(m_pty->slavePath(), QStringLiteral("115200"));
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 3000);
    QMetaObject::invokeMethod(m_worker, "closeserial", Qt::QueuedConnection);
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 3000);
    QMetaObject::invokeMethod(m_worker, "check_status", Qt::QueuedConnection);
    QTRY_COMPARE(status.count(), 2);
    QCOMPARE(status.last().at(0).toBool(), false);

    // Closing a closed port still reports done.
    QMetaObject::invokeMethod(m_worker, "closeserial", Qt::QueuedConnection);
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, 3000);
}

void TestSerialPort::scanStepsWhileClosedOnly()
{
    QSignalSpy done(m_worker, &serialport::isDone);
    m_worker->setScanFlag(true);
    QElapsedTimer clock;
    clock.start();
    QMetaObject::invokeMethod(m_worker, "run", Qt::QueuedConnection);
    QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, 4000);
    QVERIFY2(clock.elapsed() >= 1800, "a scan step came before its 2 seconds");

    // The scan does not hold the worker: an open is served at once.
    QSignalSpy opened(m_worker, &serialport::port_open);
    clock.restart();
    openOn(m_pty->slavePath(), QStringLiteral("115200"));
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 1000);
    QVERIFY2(clock.elapsed() < 500, "the open waited for the scan");

    // With the port open the pass ends: no more steps.
    const int steps = done.count();
    QTest::qWait(2500);
    QCOMPARE(done.count(), steps);
}

void TestSerialPort::vanishedDeviceClosesWithoutSpinning()
{
    QSignalSpy opened(m_worker, &serialport::port_open);
    QSignalSpy lost(m_worker, &serialport::port_lost);
    QSignalSpy done(m_worker, &serialport::isDone);
    openOn(m_pty->slavePath(), QStringLiteral("115200"));
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 3000);
    m_pty->closeSlave();
    m_pty->closeMaster();
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 3000);
    QVERIFY(lost.at(0).at(0).toString().endsWith(QLatin1String(" disconnected")));
    QTRY_VERIFY(done.count() >= 1);

    const double before = processCpuSeconds();
    QTest::qWait(1500);
    const double used = processCpuSeconds() - before;
    QVERIFY2(used < 0.2, qPrintable(QStringLiteral("%1 s of CPU after the unplug").arg(used)));
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "test_serialport.moc"
