// The window's side of the version-query delay and the TTFF cycle.
#include "app/mainwindow.h"

#include "receiver/receivermodel.h"
#include "ttff/timerthread.h"

#include <QThread>

void MainWindow::setPMKflag_false()
{
    m_timer->setFlag(false);
    m_timer->setPMKFlag(true);
    m_timerThread->start(QThread::InheritPriority);
    // A new connection: an epoch half gathered from the last one is dropped.
    m_receiver->reset();
    m_lineHealth.reset();
    openLogFile();
    emit flag_false();
}

void MainWindow::setflag_false()
{
    m_timer->setFlag(false);
    m_timerThread->start(QThread::InheritPriority);
    emit flag_false();
}
