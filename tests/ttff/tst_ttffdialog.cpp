// The TTFF dialog: its form, the restart it asks for, and its display
// driven by a chosen clock.
#include "ttff/ttff.h"

#include <QButtonGroup>
#include <QLCDNumber>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestTtffDialog : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void runEmitsChosenRestart_data();
    void runEmitsChosenRestart();
    void displayShowsElapsed_data();
    void displayShowsElapsed();
    void secondStartCountsFromZero();
    void stopAndFixKeepLastValue();
    void hidingKeepsState();
    void realClockCounts();

private:
    static QLCDNumber *lcd(ttff &d) { return d.findChild<QLCDNumber *>(QStringLiteral("lcdNumber")); }
    static QTimer *displayTimer(ttff &d) { return d.findChild<QTimer *>(); }
};

void TestTtffDialog::form()
{
    ttff d;
    QCOMPARE(d.size(), QSize(400, 250));
    QCOMPARE(d.minimumSize(), QSize(400, 250));
    QCOMPARE(d.maximumSize(), QSize(400, 250));
    QCOMPARE(d.windowTitle(), QStringLiteral("TTFF Testing"));

    auto *group = d.findChild<QButtonGroup *>();
    QVERIFY(group);
    QVERIFY(group->exclusive());
    const char *names[] = {"hot_btn", "warm_btn", "cold_btn", "full_btn"};
    const char *texts[] = {"HOT", "WARM", "COLD", "FULL"};
    for (int id = 0; id < 4; ++id) {
        auto *button = d.findChild<QRadioButton *>(QLatin1String(names[id]));
        QVERIFY(button);
        QCOMPARE(group->id(button), id);
        QCOMPARE(button->text(), QLatin1String(texts[id]));
        QCOMPARE(button->font().family(), QStringLiteral("Arial"));
        QCOMPARE(button->font().pointSize(), 10);
    }
    QCOMPARE(group->checkedId(), 0);

    QCOMPARE(lcd(d)->digitCount(), 6);
    QCOMPARE(lcd(d)->mode(), QLCDNumber::Dec);
    QCOMPARE(displayTimer(d)->interval(), 50);
    QVERIFY(!displayTimer(d)->isActive());
}

void TestTtffDialog::runEmitsChosenRestart_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("emitted");   // 0 HOT, 1 WARM, 2 COLD, 3 FULL
    QTest::newRow("HOT, as opened") << QString() << 0;
    QTest::newRow("WARM") << "warm_btn" << 1;
    QTest::newRow("COLD") << "cold_btn" << 2;
    QTest::newRow("FULL") << "full_btn" << 3;
    QTest::newRow("back to HOT") << "hot_btn" << 0;
}

void TestTtffDialog::runEmitsChosenRestart()
{
    QFETCH(QString, button);
    QFETCH(int, emitted);
    ttff d;
    if (!button.isEmpty()) {
        if (button != QLatin1String("full_btn"))
            d.findChild<QRadioButton *>(QStringLiteral("full_btn"))->click();
        d.findChild<QRadioButton *>(button)->click();
    }
    QSignalSpy hot(&d, &ttff::HOT_signal);
    QSignalSpy warm(&d, &ttff::WARM_signal);
    QSignalSpy cold(&d, &ttff::COLD_signal);
    QSignalSpy full(&d, &ttff::FULL_signal);
    QSignalSpy stop(&d, &ttff::stop_signal);
    d.findChild<QPushButton *>(QStringLiteral("run_btn"))->click();
    const QList<int> counts{hot.count(), warm.count(), cold.count(), full.count()};
    QList<int> expected{0, 0, 0, 0};
    expected[emitted] = 1;
    QCOMPARE(counts, expected);
    QCOMPARE(stop.count(), 0);
    // Run asks for the restart only; the display waits for the report.
    QVERIFY(!displayTimer(d)->isActive());
    QCOMPARE(d.display().state(), TtffDisplay::State::Idle);
}

void TestTtffDialog::displayShowsElapsed_data()
{
    QTest::addColumn<qint64>("pauseMs");     // restart report to start; 0: no report
    QTest::addColumn<qint64>("fixMs");       // first fix after the report; -1: none
    QTest::addColumn<qint64>("elapsedMs");   // after the start
    QTest::addColumn<double>("shown");
    QTest::newRow("12.34 s") << qint64(0) << qint64(-1) << qint64(12340) << 12.34;
    QTest::newRow("999.99 s still with decimals") << qint64(0) << qint64(-1) << qint64(999990) << 999.99;
    QTest::newRow("1234.5 s in whole seconds") << qint64(0) << qint64(-1) << qint64(1234500) << 1234.0;
    QTest::newRow("counted from the restart report, pause included")
        << qint64(1000) << qint64(-1) << qint64(2340) << 3.34;
    QTest::newRow("a fix during the pause is shown at its time")
        << qint64(1000) << qint64(700) << qint64(5000) << 0.7;
}

void TestTtffDialog::displayShowsElapsed()
{
    QFETCH(qint64, pauseMs);
    QFETCH(qint64, fixMs);
    QFETCH(qint64, elapsedMs);
    QFETCH(double, shown);
    ttff d;
    qint64 now = 5000;
    d.setClock([&now] { return now; });
    QSignalSpy overflow(lcd(d), &QLCDNumber::overflow);
    if (pauseMs > 0)
        d.noteRestartReport();
    if (fixMs >= 0) {
        now += fixMs;
        d.ttff_time();
        now -= fixMs;
    }
    now += pauseMs;
    d.start_time_update();
    QCOMPARE(displayTimer(d)->isActive(), fixMs < 0);
    now += elapsedMs;
    d.onTimeOut();
    QCOMPARE(lcd(d)->value(), shown);
    QCOMPARE(overflow.count(), 0);
}

void TestTtffDialog::secondStartCountsFromZero()
{
    ttff d;
    qint64 now = 0;
    d.setClock([&now] { return now; });
    d.start_time_update();
    now = 7000;
    d.onTimeOut();
    QCOMPARE(lcd(d)->value(), 7.0);
    d.start_time_update();
    now = 7250;
    d.onTimeOut();
    QCOMPARE(lcd(d)->value(), 0.25);
}

void TestTtffDialog::stopAndFixKeepLastValue()
{
    ttff d;
    qint64 now = 0;
    d.setClock([&now] { return now; });

    // Stop and the fix while idle change nothing.
    d.findChild<QPushButton *>(QStringLiteral("stop_btn"))->click();
    d.ttff_time();
    QCOMPARE(d.display().state(), TtffDisplay::State::Idle);
    QVERIFY(!displayTimer(d)->isActive());

    d.start_time_update();
    now = 3210;
    d.onTimeOut();
    d.ttff_time();
    QVERIFY(!displayTimer(d)->isActive());
    now = 9000;
    d.onTimeOut();   // a tick already queued when the timer stopped
    QCOMPARE(lcd(d)->value(), 3.21);

    d.findChild<QPushButton *>(QStringLiteral("stop_btn"))->click();
    d.ttff_time();
    QCOMPARE(d.display().state(), TtffDisplay::State::Stopped);
    QCOMPARE(lcd(d)->value(), 3.21);
}

void TestTtffDialog::hidingKeepsState()
{
    ttff d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.findChild<QRadioButton *>(QStringLiteral("cold_btn"))->click();
    d.start_time_update();
    d.hide();
    QVERIFY(displayTimer(d)->isActive());
    QTest::qWait(200);
    const double whileHidden = lcd(d)->value();
    QVERIFY2(whileHidden > 0.0, "the display counts on while hidden");
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QVERIFY(displayTimer(d)->isActive());
    QCOMPARE(d.findChild<QButtonGroup *>()->checkedId(), 2);
    QVERIFY(lcd(d)->value() >= whileHidden);
}

void TestTtffDialog::realClockCounts()
{
    ttff d;
    QElapsedTimer outside;
    outside.start();
    d.start_time_update();
    QTest::qWait(600);
    d.ttff_time();
    const double shown = lcd(d)->value();
    const double passed = outside.elapsed() / 1000.0;
    // The last tick lags the stop by less than one 50 ms tick (some slack
    // for a busy machine).
    QVERIFY2(shown <= passed && shown > passed - 0.3,
             qPrintable(QStringLiteral("shown %1 s after %2 s").arg(shown).arg(passed)));
}

QTEST_MAIN(TestTtffDialog)
#include "tst_ttffdialog.moc"
