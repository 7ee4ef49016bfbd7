// The window's satellite update: snapshot, statistics and the plots.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

namespace {

QList<QColor> toQColors(const QList<SatelliteColour> &colours)
{
    QList<QColor> result;
    result.reserve(colours.size());
    for (const SatelliteColour &c : colours)
        result.append(QColor(c.red, c.green, c.blue, c.alpha));
    return result;
}

} // namespace

void MainWindow::setGridCell(const GridCell &cell)
{
    auto *item = new QTableWidgetItem(cell.text);
    item->setTextAlignment(Qt::AlignCenter);
    ui->info_table->setItem(cell.row, cell.column, item);
}

void MainWindow::updateInView(const QByteArray &gsvLine)
{
    if (const std::optional<GridCell> cell = inViewCell(gsvLine))
        setGridCell(*cell);
}

void MainWindow::updateSatellites(const QList<QByteArray> &gsvBatch, const QList<QByteArray> &gsaBatch)
{
    const std::optional<SatelliteSnapshot> snapshot = m_satelliteTracker.update(gsvBatch, gsaBatch);
    // The plots get a snapshot only while the port is open; the bar chart
    // first, as its paint is only scheduled while the sky view paints now.
    if (snapshot && m_connected) {
        const QList<QColor> outlines = toQColors(snapshot->outlines);
        const QList<QColor> fills = toQColors(snapshot->fills);
        ui->Bar_plot->set_satellites(snapshot->cnrs, snapshot->labels, outlines, fills);
        ui->polar_widget->set_satellites(snapshot->elevations, snapshot->azimuths,
                                         snapshot->labels, outlines, fills);
    }
    // Without a new snapshot the grid shows the statistics held.
    for (const GridCell &cell : m_satelliteTracker.statisticsCells())
        setGridCell(cell);
}
