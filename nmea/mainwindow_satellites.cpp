// The window's satellite update: snapshot, statistics and the plots.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

void MainWindow::updateInView(const QByteArray &gsvLine)
{
    // Built by the satellite work.
    Q_UNUSED(gsvLine);
}

void MainWindow::updateSatellites(const QList<QByteArray> &gsvBatch, const QList<QByteArray> &gsaBatch)
{
    // Built by the satellite work.
    Q_UNUSED(gsvBatch);
    Q_UNUSED(gsaBatch);
}
