// The connection's NMEA log file: opened when a port opens, one accepted
// block after the other written as bytes and handed to the system, pushed
// to the disk itself within a second, closed on disconnect and
// when the window goes.
#include "app/mainwindow.h"

#include "app/receiverwindows.h"
#include "nmea/logfile.h"
#include "settings/filelocations.h"

#include <QDesktopServices>
#include <QDir>
#include <QStatusBar>
#include <QUrl>
#include <QTimer>

namespace {
// Longest a written block waits before it is pushed to the disk. Pushing
// every block (up to a hundred a second on a full line) would cost more
// than reading them.
constexpr int kLogSyncMs = 1000;
}

void MainWindow::openLogFile()
{
    m_connectionStart = QDateTime::currentDateTime();
    m_logFileName = NmeaLog::chooseFile(Places::current().logDirectory, m_connectionStart);
    // Another window's receiver connected in the same second keeps its file.
    if (m_windows)
        m_logFileName = NmeaLog::unshared(m_logFileName, m_windows->logFilesInUse(this));
    const QString reason = NmeaLog::open(m_logFile, m_logFileName);
    const QString notLogging = tr("Not logging: ");
    // The connection goes on without a log, but the user must know; the
    // note of an earlier connection goes once logging works again.
    if (!reason.isEmpty())
        statusBar()->showMessage(notLogging + tr("cannot create %1: %2").arg(m_logFileName, reason));
    else if (statusBar()->currentMessage().startsWith(notLogging))
        statusBar()->clearMessage();
}

void MainWindow::writeLogBlock(const QByteArray &block)
{
    if (!m_logFile.isOpen())
        return;
    if (!NmeaLog::appendBlock(m_logFile, block)) {
        // A full or vanished disk: say so once and stop trying.
        statusBar()->showMessage(tr("Not logging: cannot write %1: %2")
                                     .arg(m_logFileName, m_logFile.errorString()));
        m_logFile.close();
        return;
    }
    if (!m_logSyncTimer) {
        m_logSyncTimer = new QTimer(this);
        m_logSyncTimer->setSingleShot(true);
        connect(m_logSyncTimer, &QTimer::timeout, this, &MainWindow::syncLogFile);
    }
    if (!m_logSyncTimer->isActive())
        m_logSyncTimer->start(kLogSyncMs);
}

void MainWindow::syncLogFile()
{
    NmeaLog::syncToDisk(m_logFile);
}

void MainWindow::closeLogFile()
{
    if (m_logSyncTimer)
        m_logSyncTimer->stop();
    if (m_logFile.isOpen()) {
        NmeaLog::syncToDisk(m_logFile);
        m_logFile.close();
    }
}

void MainWindow::openLogFolder()
{
    // Made first, so the file manager opens it even before the first log.
    const QString folder = QDir(Places::current().logDirectory).absolutePath();
    QDir().mkpath(folder);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        statusBar()->showMessage(tr("The logs are in %1").arg(folder));
}
