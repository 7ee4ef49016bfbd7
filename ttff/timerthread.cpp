#include "ttff/timerthread.h"

#include <QDebug>

namespace {
// The version query goes out this long after the flag is found set.
constexpr unsigned long kQueryDelayMs = 4990;
// The flags are polled at this pace: short enough not to delay the query
// noticeably, long enough to leave the processor idle while waiting.
constexpr unsigned long kPollMs = 10;
}

timerthread::timerthread(QObject *parent)
    : QThread(parent)
{
}

void timerthread::run()
{
    qDebug() << "timer" << QThread::currentThread();
    qDebug() << "PMKStop" << (m_pmkFlag ? "true" : "false");
    if (m_stopFlag)
        return;
    do {
        // Sleep between polls: the flag is set from the window's thread.
        while (!m_pmkFlag)
            QThread::msleep(kPollMs);
        QThread::msleep(kQueryDelayMs);
        m_stopFlag = true;
        emit isDone();
    } while (!m_stopFlag);
}

void timerthread::run_ttff()
{
    while (!m_ttffFlag) {
        QThread::msleep(kPollMs);
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
