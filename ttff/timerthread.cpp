#include "ttff/timerthread.h"
#include "trace/trace.h"

namespace {
// The version query goes out this long after the flag is found set.
constexpr unsigned long kQueryDelayMs = 4990;
// The flags are polled at this pace: short enough not to delay the query
// noticeably, long enough to leave the processor idle while waiting.
constexpr unsigned long kPollMs = 10;

// True when the thread this runs in is asked to end (the window closes).
bool shuttingDown()
{
    return QThread::currentThread()->isInterruptionRequested();
}

// Sleeps `ms` in poll-sized steps; false when the thread is asked to end.
bool sleepUnlessShuttingDown(unsigned long ms)
{
    for (unsigned long slept = 0; slept < ms; slept += kPollMs) {
        if (shuttingDown())
            return false;
        QThread::msleep(qMin(kPollMs, ms - slept));
    }
    return !shuttingDown();
}
}

timerthread::timerthread(QObject *parent)
    : QThread(parent)
{
}

void timerthread::run()
{
    qCDebug(lcTimer) << "timer" << QThread::currentThread();
    qCDebug(lcTimer) << "PMKStop" << (m_pmkFlag ? "true" : "false");
    if (m_stopFlag)
        return;
    do {
        // Sleep between polls: the flag is set from the window's thread.
        while (!m_pmkFlag) {
            if (!sleepUnlessShuttingDown(kPollMs))
                return;
        }
        if (!sleepUnlessShuttingDown(kQueryDelayMs))
            return;
        m_stopFlag = true;
        emit isDone();
    } while (!m_stopFlag);
}

void timerthread::run_ttff()
{
    while (!m_ttffFlag) {
        if (!sleepUnlessShuttingDown(kPollMs))
            return;
        emit ttffisDone();
    }
}

void timerthread::setFlag(bool flag)
{
    m_stopFlag = flag;
}

void timerthread::setPMKFlag(bool flag)
{
    m_pmkFlag = flag;
}

void timerthread::setFlagttff(bool flag)
{
    m_ttffFlag = flag;
}
