// The window's side of the version-query delay and the TTFF cycle.
#include "app/mainwindow.h"

#include "session/receiversession.h"

void MainWindow::setPMKflag_false()
{
    // A new connection: the session arms the version query, opens a new
    // log and drops an epoch half gathered from the last one. It does so
    // by itself when its source opens.
    m_session->beginConnection();
}

void MainWindow::setflag_false()
{
    m_session->rearmVersionQuery();
}
