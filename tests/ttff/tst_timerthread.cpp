// The version-query delay: run() in a thread of its own, as the window
// drives it through a queued call.
#include "ttff/timerthread.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// Processor time used by the whole process so far, in milliseconds.
qint64 processCpuMs()
{
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return (use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1000
        + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1000;
}
#endif

// Starts run() in a thread the way the window does: the object is moved
// into the thread and run() arrives as a queued call.
class Driver : public QObject
{
    Q_OBJECT
public:
    explicit Driver(timerthread *timer)
    {
        m_thread.start();
        timer->moveToThread(&m_thread);
        connect(this, &Driver::go, timer, &timerthread::run);
    }
    ~Driver() override
    {
        m_thread.quit();
        m_thread.wait();
    }
signals:
    void go();
private:
    QThread m_thread;
};

} // namespace

class TestTimerThread : public QObject
{
    Q_OBJECT

private slots:
    void waitsQuietlyThenFiresOnce();
    void stopFlagReturnsAtOnce();
};

void TestTimerThread::waitsQuietlyThenFiresOnce()
{
#ifndef Q_OS_UNIX
    QSKIP("processor time is read with getrusage");
#else
    auto *timer = new timerthread;
    QSignalSpy done(timer, &timerthread::isDone);
    {
        Driver driver(timer);
        emit driver.go();

        // While the PMK flag is clear, run() waits; this thread sleeps, so
        // the process's processor time is the waiting loop's.
        QThread::msleep(50);
        const qint64 cpuBefore = processCpuMs();
        QThread::msleep(800);
        const qint64 waitCpu = processCpuMs() - cpuBefore;
        qInfo("processor time while waiting 800 ms for the flag: %lld ms", waitCpu);
        QVERIFY2(waitCpu < 80, "the wait for the flag keeps the processor busy");
        QCOMPARE(done.count(), 0);

        QElapsedTimer sinceFlag;
        timer->setPMKFlag(true);
        sinceFlag.start();
        QVERIFY(done.wait(7000));
        const qint64 delay = sinceFlag.elapsed();
        qInfo("isDone %lld ms after the flag", delay);
        QVERIFY2(delay >= 4990 && delay < 4990 + 300, qPrintable(QString::number(delay)));

        // One pass: the stop flag is now set, no second emission follows.
        QTest::qWait(300);
        QCOMPARE(done.count(), 1);
    }
    // The stop flag set by the pass makes the next run return at once
    // (its thread has finished; run() is called here directly).
    QElapsedTimer again;
    again.start();
    timer->run();
    QVERIFY(again.elapsed() < 100);
    QCOMPARE(done.count(), 1);
    delete timer;
#endif
}

void TestTimerThread::stopFlagReturnsAtOnce()
{
    // With the PMK flag set, a run that ignored the stop flag would take
    // 4990 ms and emit isDone.
    timerthread timer;
    QSignalSpy done(&timer, &timerthread::isDone);
    timer.setFlag(true);
    timer.setPMKFlag(true);
    QElapsedTimer clock;
    clock.start();
    timer.run();
    QVERIFY(clock.elapsed() < 100);
    QCOMPARE(done.count(), 0);
}

QTEST_GUILESS_MAIN(TestTimerThread)
#include "tst_timerthread.moc"
