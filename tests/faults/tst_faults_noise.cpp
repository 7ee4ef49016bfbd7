// A receiver at another baud rate: the line carries only noise for a
// minute. The window stays responsive (a heartbeat timer in its thread is
// never held up for long), its memory stays flat, and the sentence table
// gains no row except those the row-key rules give any line that begins
// with "$", an address and a comma.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "e2e/simprocess.h"
#include "faults/faultsupport.h"
#include "link/serialport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

int noiseSeconds()
{
    const int fromEnvironment = qEnvironmentVariableIntValue("SKYLOUPE_NOISE_SECONDS");
    return fromEnvironment > 0 ? fromEnvironment : 60;
}

#if SKYLOUPE_RSS_MEANINGFUL
constexpr qint64 LongestPauseMs = 1000;
#else
constexpr qint64 LongestPauseMs = 2500;   // the sanitizers slow every paint
#endif

} // namespace

class TestFaultsNoise : public QObject
{
    Q_OBJECT

private slots:
    void noiseAtWrongBaudRate();
};

void TestFaultsNoise::noiseAtWrongBaudRate()
{
    QVERIFY2(SimProcess::isBuilt(), qPrintable(SimProcess::executable() + " is not built"));
    QTemporaryDir dir;
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
    SimProcess sim;
    // Ten epochs a second of noise: some 17 kB/s, about what a receiver
    // at another rate puts on a 115200 baud line.
    QVERIFY2(sim.start({"--seed", "4", "--rate", "10", "--baud-noise"}), qPrintable(sim.rawLog()));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Ui::MainWindow *ui = window.form();

    qint64 blocks = 0;
    qint64 bytes = 0;
    connect(window.worker(), &serialport::receive_data, &window, [&](const QByteArray &b) {
        ++blocks;
        bytes += b.size();
    });

    window.offerPort(sim.portPath());
    ui->comboBox_2->setCurrentText(QStringLiteral("115200"));
    QTest::mouseClick(ui->ctn_btn, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ui->ctn_btn->text(), QStringLiteral("Disconnect"), 10000);

    // The heartbeat: a 20 ms timer in the window's thread; the longest gap
    // between its ticks is how long the window was unresponsive.
    QElapsedTimer sinceTick;
    qint64 longestPause = 0;
    QTimer heartbeat;
    heartbeat.setInterval(20);
    connect(&heartbeat, &QTimer::timeout, this, [&] {
        longestPause = std::max(longestPause, sinceTick.restart());
    });
    sinceTick.start();
    heartbeat.start();

    const int seconds = noiseSeconds();
    QTest::qWait(std::min(10, seconds / 4) * 1000);
    const qint64 rssStart = faults::residentKb();
    QTest::qWait((seconds - std::min(10, seconds / 4)) * 1000);
    const qint64 rssEnd = faults::residentKb();
    heartbeat.stop();

    qInfo("%d s of noise: %lld blocks, %lld bytes; resident %lld -> %lld kB; longest pause %lld ms",
          seconds, blocks, bytes, rssStart, rssEnd, longestPause);
    // Noise has a line feed in every 256 bytes or so; the window gets it in
    // blocks of whole "lines" as the framing releases them.
    QVERIFY2(blocks > 0 && bytes > 2000 * seconds, "the noise did not reach the window");
    QCOMPARE(ui->ctn_btn->text(), QStringLiteral("Disconnect"));
    QVERIFY2(longestPause <= LongestPauseMs,
             qPrintable(QStringLiteral("the window stood still for %1 ms").arg(longestPause)));
    if (SKYLOUPE_RSS_MEANINGFUL)
        QVERIFY2(rssEnd - rssStart < 3 * 1024,
                 qPrintable(QStringLiteral("resident memory grew by %1 kB").arg(rssEnd - rssStart)));

    // Each row the noise made must pass the sentence test: one or more "$",
    // one or more letters or digits, a comma, all at the line's start.
    const QRegularExpression sentence(QStringLiteral("^\\$+[A-Za-z0-9]+,"));
    int used = 0;
    for (int row = 0; row < ui->Log_text->rowCount(); ++row) {
        const QTableWidgetItem *item = ui->Log_text->item(row, 2);
        if (!item || item->text().isEmpty())
            continue;
        ++used;
        QVERIFY2(sentence.match(item->text()).hasMatch(), qPrintable(item->text().toLatin1().toHex()));
    }
    qInfo("%d rows in use", used);
    QDir::setCurrent(oldDir);
}

QTEST_MAIN(TestFaultsNoise)
#include "tst_faults_noise.moc"
