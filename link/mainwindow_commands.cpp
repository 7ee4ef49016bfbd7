// The receiver commands the window sends: restarts, the version query and
// typed commands.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "ttff/timerthread.h"

void MainWindow::sendADC()
{
    // Built by the receiver-command work.
}

void MainWindow::hotstart()
{
    // Built by the receiver-command work.
}

void MainWindow::warmstart()
{
    // Built by the receiver-command work.
}

void MainWindow::coldstart()
{
    // Built by the receiver-command work.
}

void MainWindow::fullstart()
{
    // Built by the receiver-command work.
}

void MainWindow::on_btn111_clicked()
{
    // Built by the receiver-command work.
}
