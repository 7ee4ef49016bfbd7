// The connection's NMEA log file: opened when a port opens, one accepted
// block after the other written as bytes and pushed to disk, closed on
// disconnect and when the window goes.
#include "app/mainwindow.h"

#include "nmea/logfile.h"

#include <QStatusBar>

void MainWindow::openLogFile()
{
    m_connectionStart = QDateTime::currentDateTime();
    m_logFileName = NmeaLog::chooseFile(NmeaLog::defaultDirectory(), m_connectionStart);
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
    }
}

void MainWindow::closeLogFile()
{
    // Every block is already on disk; closing only lets go of the file.
    if (m_logFile.isOpen())
        m_logFile.close();
}
