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
    std::optional<SatelliteSnapshot> snapshot = m_satelliteTracker.update(gsvBatch, gsaBatch);
    // The plots get a snapshot only while the port is open; they get it
    // with the block's frame (see requestFrame), a later snapshot of the
    // same frame replacing it.
    if (snapshot && m_connected)
        m_pendingSnapshot = std::move(snapshot);
    // Without a new snapshot the grid shows the statistics held.
    for (const GridCell &cell : m_satelliteTracker.statisticsCells())
        setGridCell(cell);
}

void MainWindow::showPendingSnapshot()
{
    if (!m_pendingSnapshot)
        return;
    const SatelliteSnapshot snapshot = std::move(*m_pendingSnapshot);
    m_pendingSnapshot.reset();
    // The bar chart first; both paint at the window's next paint.
    const QList<QColor> outlines = toQColors(snapshot.outlines);
    const QList<QColor> fills = toQColors(snapshot.fills);
    ui->Bar_plot->set_satellites(snapshot.cnrs, snapshot.labels, outlines, fills);
    ui->polar_widget->set_satellites(snapshot.elevations, snapshot.azimuths, snapshot.labels, outlines, fills);
}
