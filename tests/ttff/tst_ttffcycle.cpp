// The TTFF test's decisions driven as event scripts with chosen times: the
// script runner wires the units the way the window and the dialog do
// (a restart command zeroes the no-fix counter, the first fix of the GSA
// handling stops the display, a started restart report starts it after the
// pause, every timed event is also a display tick).
#include "nmea/fixinfo.h"
#include "ttff/ttffcycle.h"

#include <QtTest>

namespace {

struct CycleResult {
    TtffDisplay::State state;
    QString shown;
    int starts = 0;
};

// Events: "cmd" restart command; "block" a new received block;
// "report@T" restart report with the dialog active, "away@T" with another
// window active; "nofix@T", "fix@T" a GPS GSA without and with a 3D fix;
// "stop@T" the Stop button; "tick@T" a display tick only. T in milliseconds.
CycleResult runScript(const QStringList &events)
{
    static const QByteArray noFixGsa("$GNGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99,1*37\r");
    static const QByteArray fixGsa("$GNGSA,A,3,05,13,15,29,,,,,,,,,1.8,1.0,1.5,1*33\r");
    CycleResult r;
    TtffDisplay display;
    FixState fixState;
    int noFixCount = 0;
    bool startedThisBlock = false;
    for (const QString &event : events) {
        const QStringList parts = event.split(QLatin1Char('@'));
        const QString what = parts.at(0);
        const qint64 t = parts.size() > 1 ? parts.at(1).toLongLong() : 0;
        if (parts.size() > 1)
            display.tick(t);
        if (what == QLatin1String("cmd")) {
            noFixCount = 0;
        } else if (what == QLatin1String("block")) {
            startedThisBlock = false;
        } else if (what == QLatin1String("report") || what == QLatin1String("away")) {
            if (takeTtffStart(startedThisBlock, what == QLatin1String("report"))) {
                ++r.starts;
                display.start(t);   // counts from the report, pause included
            }
        } else if (what == QLatin1String("nofix") || what == QLatin1String("fix")) {
            const QByteArray &gsa = what == QLatin1String("fix") ? fixGsa : noFixGsa;
            if (fixState.applyGsa(gsa, noFixCount).firstFix)
                display.stop();
        } else if (what == QLatin1String("stop")) {
            display.stop();
        } else if (what != QLatin1String("tick")) {
            qFatal("unknown event %s", qPrintable(event));
        }
    }
    r.state = display.state();
    r.shown = display.shownText();
    return r;
}

} // namespace

Q_DECLARE_METATYPE(TtffDisplay::State)

class TestTtffCycle : public QObject
{
    Q_OBJECT

private slots:
    void lcdText_data();
    void lcdText();
    void cycle_data();
    void cycle();
};

void TestTtffCycle::lcdText_data()
{
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing elapsed") << qint64(0) << "0.00";
    QTest::newRow("12.34 s") << qint64(12340) << "12.34";
    QTest::newRow("under a tenth keeps the zero") << qint64(70) << "0.07";
    QTest::newRow("half a hundredth rounds up") << qint64(1005) << "1.01";
    QTest::newRow("last time with decimals") << qint64(999990) << "999.99";
    QTest::newRow("rounds to 1000: whole seconds") << qint64(999995) << "1000";
    QTest::newRow("1234.5 s shows whole seconds") << qint64(1234500) << "1234";
    QTest::newRow("an hour") << qint64(3600000) << "3600";
    QTest::newRow("negative shows zero") << qint64(-86387660) << "0.00";
}

void TestTtffCycle::lcdText()
{
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, text);
    QCOMPARE(ttffLcdText(elapsedMs), text);
    QVERIFY(text.size() <= 6);
}

void TestTtffCycle::cycle_data()
{
    using S = TtffDisplay::State;
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<S>("state");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("starts");

    QTest::newRow("hot start: stopped at the first fix, counted from the report")
        << QStringList{"cmd", "block", "report@0", "nofix@2000", "fix@4340", "tick@9000"}
        << S::Stopped << "4.34" << 1;
    QTest::newRow("fix before any no-fix report: keeps counting")
        << QStringList{"cmd", "block", "report@0", "fix@3000", "tick@5000"}
        << S::Counting << "5.00" << 1;
    QTest::newRow("fix before the display started: counts on")
        << QStringList{"cmd", "nofix@100", "fix@500", "block", "report@600", "fix@2000", "tick@3600"}
        << S::Counting << "3.00" << 1;
    QTest::newRow("two reports in one block: one start")
        << QStringList{"block", "report@0", "report@200", "tick@3000"}
        << S::Counting << "3.00" << 1;
    QTest::newRow("two reports in two blocks: second start resets")
        << QStringList{"block", "report@0", "block", "report@2000", "tick@4000"}
        << S::Counting << "2.00" << 2;
    QTest::newRow("report while another window is active: no start")
        << QStringList{"block", "away@0", "tick@3000"}
        << S::Idle << "0" << 0;
    QTest::newRow("active report after an inactive one in the same block")
        << QStringList{"block", "away@0", "report@100", "tick@3100"}
        << S::Counting << "3.00" << 1;
    QTest::newRow("Stop while counting keeps the value")
        << QStringList{"block", "report@0", "stop@3500", "tick@9000"}
        << S::Stopped << "3.50" << 1;
    QTest::newRow("Stop while idle changes nothing")
        << QStringList{"stop@100", "tick@500"}
        << S::Idle << "0" << 0;
    QTest::newRow("fix lost and found again stops a restarted display")
        << QStringList{"cmd", "block", "report@0", "nofix@1500", "fix@3000",
                       "block", "report@4000", "nofix@5500", "fix@7750"}
        << S::Stopped << "3.75" << 2;
    QTest::newRow("first fix after Stop changes nothing")
        << QStringList{"cmd", "block", "report@0", "nofix@1500", "stop@2000", "fix@5000"}
        << S::Stopped << "2.00" << 1;
    QTest::newRow("restart while counting: second test counts from zero")
        << QStringList{"cmd", "block", "report@0", "nofix@1500", "tick@5000",
                       "cmd", "block", "report@6000", "nofix@7500", "fix@9250"}
        << S::Stopped << "3.25" << 2;
    QTest::newRow("slow cold start in whole seconds")
        << QStringList{"cmd", "block", "report@0", "nofix@60000", "fix@1235500"}
        << S::Stopped << "1235" << 1;
    // Times of a monotonic clock that started at midnight the day before:
    // the test runs from 23:59:50 to 00:00:03.34 and the clock keeps
    // counting past one day, where a time of day would wrap to 0.
    QTest::newRow("across midnight")
        << QStringList{"cmd", "block", "report@86390000", "nofix@86395000", "fix@86403340"}
        << S::Stopped << "13.34" << 1;
}

void TestTtffCycle::cycle()
{
    QFETCH(QStringList, events);
    QFETCH(TtffDisplay::State, state);
    QFETCH(QString, shown);
    QFETCH(int, starts);
    const CycleResult r = runScript(events);
    QCOMPARE(r.state, state);
    QCOMPARE(r.shown, shown);
    QCOMPARE(r.starts, starts);
}

QTEST_GUILESS_MAIN(TestTtffCycle)
#include "tst_ttffcycle.moc"
