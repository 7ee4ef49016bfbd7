// The window's side of its session: the session's notes in the status bar,
// what the session holds as the window's accessors tell it, and the
// Tool menu's log folder.
#include "app/mainwindow.h"

#include "app/receiverwindows.h"
#include "session/receiversession.h"
#include "settings/filelocations.h"

#include <QDesktopServices>
#include <QDir>
#include <QStatusBar>
#include <QUrl>

void MainWindow::connectSession()
{
    connect(m_session, &ReceiverSession::message, this, &MainWindow::showSessionMessage);
    connect(m_session, &ReceiverSession::messageWithdrawn, this, &MainWindow::withdrawSessionMessage);
    connect(m_session, &ReceiverSession::failed, this, &MainWindow::showLinkMessage);
    connect(m_session, &ReceiverSession::lost, this, &MainWindow::showLinkMessage);
    connect(m_session, &ReceiverSession::sourceChanged, this, &MainWindow::showSendability);
    connect(m_session, &ReceiverSession::status, this, &MainWindow::showSendability);
    // Two sessions connected in the same second do not share a log file.
    m_session->setLogNamesInUse([this] { return m_windows ? m_windows->logFilesInUse(this) : QStringList(); });
}

void MainWindow::showSessionMessage(const QString &text, int ms)
{
    statusBar()->showMessage(text, ms);
}

void MainWindow::withdrawSessionMessage(const QString &text)
{
    if (!text.isEmpty() && statusBar()->currentMessage().startsWith(text))
        statusBar()->clearMessage();
}

QString MainWindow::logFileName() const
{
    return m_session->logFileName();
}

bool MainWindow::isLogging() const
{
    return m_session && m_session->isLogging();
}

SignalHistory *MainWindow::signalHistory() const
{
    return m_session->signalHistory();
}

PositionHistory *MainWindow::positionHistory() const
{
    return m_session->positionHistory();
}

const SentenceCounter &MainWindow::sentenceCounter() const
{
    return m_session->sentenceCounter();
}

void MainWindow::openLogFolder()
{
    // Made first, so the file manager opens it even before the first log.
    const QString folder = QDir(Places::current().logDirectory).absolutePath();
    QDir().mkpath(folder);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        statusBar()->showMessage(tr("The logs are in %1").arg(folder));
}
