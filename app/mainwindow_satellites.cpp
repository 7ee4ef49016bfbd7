// The window's satellite update: snapshot, statistics and the plots.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "freshness/datafreshness.h"
#include "freshness/staleshade.h"
#include "session/receiversession.h"

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
    setCellText(ui->info_table, cell.row, cell.column, cell.text, Qt::AlignCenter);
}

void MainWindow::showEpoch(const Epoch &epoch)
{
    SatelliteSnapshot bars;
    std::optional<SatelliteSnapshot> sky = m_satelliteTracker.update(epoch, &bars);
    // The plots get a snapshot only while the port is open; they get it
    // with the block's frame (see requestFrame), a later snapshot of the
    // same frame replacing it.
    if (sky && isConnected()) {
        m_pendingSnapshot = std::move(sky);
        m_pendingBars = std::move(bars);
    }
}

void MainWindow::showStatistics()
{
    for (const GridCell &cell : m_satelliteTracker.statisticsCells())
        setGridCell(cell);
}

void MainWindow::showPendingSnapshot()
{
    if (!m_pendingSnapshot)
        return;
    const SatelliteSnapshot snapshot = std::move(*m_pendingSnapshot);
    m_pendingSnapshot.reset();
    // The bar chart first, one bar per signal; both paint at the window's
    // next paint.
    ui->Bar_plot->set_bands(m_pendingBars.bands, m_pendingBars.signalNames);
    ui->Bar_plot->set_satellites(m_pendingBars.cnrs, m_pendingBars.labels, toQColors(m_pendingBars.outlines),
                                 toQColors(m_pendingBars.fills));
    ui->polar_widget->set_satellites(snapshot.elevations, snapshot.azimuths, snapshot.labels,
                                     toQColors(snapshot.outlines), toQColors(snapshot.fills));
}

void MainWindow::showFreshness()
{
    const QString text = m_session->freshness()->text();
    if (!m_gridShade)
        m_gridShade = new StaleShade(ui->info_table);
    m_gridShade->setText(text);
    ui->polar_widget->setStale(text);
    ui->Bar_plot->setStale(text);
    if (text.isEmpty() || m_redLamp.isNull())
        return;
    // Lamps off: greyed, and lit again by the next fix status.
    const QIcon off(m_redLamp.pixmap(ui->info_table->iconSize(), QIcon::Disabled));
    for (int column : {2, 4})
        ui->info_table->setItem(5, column, new QTableWidgetItem(off, QStringLiteral(" ")));
    m_lampStatus.reset();
}
