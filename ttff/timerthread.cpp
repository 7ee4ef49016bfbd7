#include "ttff/timerthread.h"

#include <QDebug>

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
        // Poll gently: the flag is set from the window's thread.
        while (!m_pmkFlag)
            QThread::msleep(10);
        QThread::msleep(4990);
        m_stopFlag = true;
        emit isDone();
    } while (!m_stopFlag);
}

void timerthread::run_ttff()
{
    while (!m_ttffFlag) {
        QThread::msleep(10);
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
