#include "charts/chartexport.h"

#include "charts/chartfile.h"

#include <QFileDialog>
#include <QMessageBox>

#include <qwt_plot.h>

namespace {

void reportFailure(QWidget *parent, const QString &fileName)
{
    QMessageBox::warning(parent, QObject::tr("Export"), QObject::tr("%1 could not be written.").arg(fileName));
}

} // namespace

void askToSaveChartImage(QWidget *parent, QwtPlot *plot, const QString &what, const QString &suggestedName)
{
    const QString fileName = QFileDialog::getSaveFileName(parent, QObject::tr("Save %1 as PNG").arg(what),
                                                          suggestedName, QObject::tr("PNG images (*.png)"));
    if (!fileName.isEmpty() && !renderChartToPng(plot, fileName))
        reportFailure(parent, fileName);
}

void askToSaveChartData(QWidget *parent, const QByteArray &csv, const QString &what, const QString &suggestedName)
{
    const QString fileName = QFileDialog::getSaveFileName(parent, QObject::tr("Save %1 as CSV").arg(what),
                                                          suggestedName, QObject::tr("CSV files (*.csv)"));
    if (!fileName.isEmpty() && !saveChartData(fileName, csv))
        reportFailure(parent, fileName);
}
