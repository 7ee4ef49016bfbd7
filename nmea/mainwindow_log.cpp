// The connection's NMEA log file.
#include "app/mainwindow.h"

void MainWindow::openLogFile()
{
    // Built by the log-file work.
}

void MainWindow::writeLogBlock(const QByteArray &block)
{
    // Built by the log-file work.
    Q_UNUSED(block);
}

void MainWindow::closeLogFile()
{
    m_logStream.flush();
    m_logFile.close();
}
