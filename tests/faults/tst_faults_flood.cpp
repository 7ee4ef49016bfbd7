// Junk on the line, as a wrong baud rate or binary messages mixed into NMEA
// give it: every byte read after the port opened is in the log, in order,
// and a flood as fast as the line is read keeps memory bounded and leaves
// the window answering soon after it ends.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "faults/faultsupport.h"
#include "link/lineframer.h"
#include "support/ptypair.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

namespace {

// Bytes as a bad line brings them: random bytes and NULs, a line of 70 kB,
// "$" with junk, cut sentences, and whole sentences between them. Not XON
// and XOFF (0x11, 0x13): with software flow control the line itself takes
// those, and no program reads them.
QByteArray junk(quint64 &state, int size)
{
    QByteArray bytes;
    while (bytes.size() < size) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        switch (int(state >> 60) % 5) {
        case 0:
            for (int i = 0; i < 300; ++i) {
                const char byte = char(state >> (i % 56));
                bytes += (byte == 0x11 || byte == 0x13) ? '\0' : byte;
            }
            break;
        case 1:
            bytes += QByteArray(int(state >> 32) % 70000 + 1, (state & 1) ? '\0' : 'x');
            break;
        case 2:
            bytes += "$\xB5\x62\x01\x07junk\r\n$GPGGA,1235";
            break;
        default:
            bytes += "$GNGGA,123519.000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*59\r\n";
        }
    }
    return bytes;
}

} // namespace

class TestFaultsFlood : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void floods_data();
    void floods();

private:
    QTemporaryDir *m_dir = nullptr;
    QString m_oldDir;
};

void TestFaultsFlood::init()
{
    m_dir = new QTemporaryDir;
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
}

void TestFaultsFlood::cleanup()
{
    QDir::setCurrent(m_oldDir);
    delete m_dir;
}

void TestFaultsFlood::floods_data()
{
    QTest::addColumn<int>("bytesPerSecond");   // 0: as fast as the line is read
    QTest::addColumn<int>("seconds");
    QTest::newRow("paced writes: the log holds every byte") << 300000 << 3;
    QTest::newRow("unpaced: memory bounded, the window answers") << 0 << 8;
}

void TestFaultsFlood::floods()
{
    QFETCH(int, bytesPerSecond);
    QFETCH(int, seconds);
    PtyPair pty;
    QVERIFY(pty.isValid());
    MainWindow window;
    window.show();
    Ui::MainWindow *ui = window.form();
    window.offerPort(pty.slavePath());
    ui->comboBox_2->setCurrentText(QStringLiteral("921600"));
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.isConnected(), 10000);
    pty.closeSlave();

    std::atomic<bool> flooding{true};
    std::atomic<qint64> written{0};
    QByteArray sent;
    std::thread writer([&] {
        quint64 state = 7;
        QElapsedTimer clock;
        clock.start();
        while (flooding) {
            const QByteArray bytes = junk(state, bytesPerSecond > 0 ? bytesPerSecond / 20 : 256 * 1024);
            if (!pty.write(bytes))
                break;
            if (bytesPerSecond > 0) {
                sent += bytes;
                QThread::msleep(50);
            }
            written += bytes.size();
        }
    });
    qint64 peakKb = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        QTest::qWait(100);
        peakKb = qMax(peakKb, faults::residentKb());
    }
    flooding = false;
    writer.join();

    // The window answers: a timer posted now fires within a second.
    QElapsedTimer answer;
    answer.start();
    bool answered = false;
    QTimer::singleShot(0, &window, [&] { answered = true; });
    QTRY_VERIFY_WITH_TIMEOUT(answered, 5000);
    qInfo("%lld bytes in %d s; peak resident %lld kB; answered after %lld ms", qint64(written), seconds, peakKb,
          answer.elapsed());
    if (SKYLOUPE_RSS_MEANINGFUL) {
        QVERIFY2(peakKb < 150 * 1024, qPrintable(QStringLiteral("peak resident memory %1 kB").arg(peakKb)));
        QVERIFY2(answer.elapsed() < 1000, "the window answered late");
    }

    // What the line still holds reaches the window (all but what waits for
    // a read that ends a line), then the user disconnects.
    const QStringList logs = QDir(QStringLiteral("log")).entryList({"*.nma"});
    QCOMPARE(logs.size(), 1);
    QFile log(QStringLiteral("log/") + logs.first());
    QTRY_VERIFY2_WITH_TIMEOUT(log.size() >= written - LineFramer::MaxBuffered, qPrintable(QStringLiteral("log %1 of %2 bytes").arg(log.size()).arg(written)), 10000);
    QTest::qWait(500);   // the last write reaches the worker
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Connect"), 10000);
    qInfo("log %lld of %lld bytes", log.size(), qint64(written));
    QVERIFY(log.open(QIODevice::ReadOnly));
    if (bytesPerSecond > 0)
        QVERIFY2(log.readAll() == sent, "the log is not the bytes written");
    else
        QCOMPARE(log.size(), qint64(written));
}

QTEST_MAIN(TestFaultsFlood)
#include "tst_faults_flood.moc"
