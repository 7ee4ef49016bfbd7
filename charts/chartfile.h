#ifndef CHARTFILE_H
#define CHARTFILE_H

#include <QByteArray>
#include <QSize>
#include <QString>

class QwtPlot;

// Draws `plot` on white into an image of `size` (the plot's own size when
// empty) and writes it as a PNG file. Needs no window on screen: works on
// the offscreen platform with no display, for the headless analysis. A plot
// that is not shown is first resized to `size`, so it lays out and
// decimates for the image; a shown one is drawn as it is. False when the
// file cannot be written.
bool renderChartToPng(QwtPlot *plot, const QString &fileName, const QSize &size = QSize());

// Writes a chart's data (chartCsv, TimeChart::csv) to `fileName`, whole or
// not at all; false when it cannot be written.
bool saveChartData(const QString &fileName, const QByteArray &bytes);

#endif // CHARTFILE_H
