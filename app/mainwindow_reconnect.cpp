// The connection the program remembers from one start to the next, and the
// watch that opens a lost port again once it is back. The decisions are
// those of settings/connectionsettings and reconnect/reconnectwatch; here
// they meet the form, the status bar and the worker.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "link/portlist.h"
#include "session/bytesource.h"
#include "session/receiversession.h"
#include "settings/connectionsettings.h"
#include "settings/filelocations.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>

namespace {
// A port named by its path (a pseudo-terminal, a link to one) exists while
// its file does; a name the system lists needs no file of that name.
bool portFileExists(const QString &name)
{
    return QDir::isAbsolutePath(name) && QFileInfo::exists(name);
}
} // namespace

void MainWindow::buildConnectionActions()
{
    ui->menuTool->addSeparator();
    QAction *openLogs = ui->menuTool->addAction(tr("Open log folder"));
    openLogs->setObjectName(QStringLiteral("actionOpen_Log_Folder"));
    connect(openLogs, &QAction::triggered, this, &MainWindow::openLogFolder);
    m_reconnectAction = ui->menuTool->addAction(tr("Reconnect after unplugging"));
    m_reconnectAction->setObjectName(QStringLiteral("actionReconnect"));
    m_reconnectAction->setCheckable(true);
}

void MainWindow::restoreConnection()
{
    const ConnectionSettings remembered = Connection::read(Places::current().configFile);
    m_watch.setEnabled(remembered.reconnect);
    m_reconnectAction->setChecked(remembered.reconnect);
    connect(m_reconnectAction, &QAction::toggled, this, &MainWindow::setReconnectEnabled);
    m_watchClock.start();

    const QString port = Connection::portToSelect(
        remembered, presentPorts(m_portNames, {remembered.port}, portFileExists));
    if (m_portNames.contains(port))
        ui->comboBox_com->setCurrentText(port);
    else
        offerPort(port);
    if (ui->comboBox_2->findText(remembered.baud) >= 0)
        ui->comboBox_2->setCurrentText(remembered.baud);
}

void MainWindow::connectionOpened()
{
    const QString port = m_session->source()->name();
    const QString baud = ui->comboBox_2->currentText();
    Connection::rememberOpened(Places::current().configFile, port, baud);
    Connection::rememberSource(Places::current().configFile, port);
    if (m_watch.opened(port, baud))
        showLinkMessage(tr("%1 is back: reconnected, logging to a new file").arg(port));
}

void MainWindow::onPortLost()
{
    // A network source waits for its peer by itself; the watch is the
    // serial port's.
    if (m_session->source() != m_session->serialSource()) {
        if (m_session->source()->isReconnecting())
            statusBar()->showMessage(tr("%1 disconnected; reconnecting when it is back "
                                        "(Disconnect stops waiting)").arg(m_session->source()->name()));
        return;
    }
    // Shown until the port is back or the user stops waiting.
    if (m_watch.lost(m_watchClock.elapsed()))
        statusBar()->showMessage(tr("%1 disconnected; reconnecting when it is back "
                                    "(Disconnect stops waiting)").arg(m_watch.port()));
}

void MainWindow::stopWatching()
{
    if (m_watch.isWatching())
        statusBar()->clearMessage();
    m_watch.closedByUser();
}

void MainWindow::reconnectIfBack(const QStringList &listed)
{
    const QStringList present = presentPorts(listed, m_offeredPorts, portFileExists);
    if (!m_watch.portsScanned(present, m_watchClock.elapsed()))
        return;
    // The form shows what is opened, so the remembered connection is it.
    ui->comboBox_com->setCurrentText(m_watch.port());
    ui->comboBox_2->setCurrentText(m_watch.baud());
    clearSentenceTable();
    emit connect_signal(m_watch.port(), m_watch.baud());
}

void MainWindow::setReconnectEnabled(bool on)
{
    Connection::setReconnect(Places::current().configFile, on);
    const bool wasWatching = m_watch.isWatching();
    m_watch.setEnabled(on);
    if (wasWatching && !on) {
        statusBar()->clearMessage();
        emit check_status_signal();   // the button goes back to Connect
    }
}
