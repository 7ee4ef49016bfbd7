// The window's handling of each received block.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

void MainWindow::loadPlot(QByteArray block)
{
    // Built by the sentence-intake work.
    Q_UNUSED(block);
}
