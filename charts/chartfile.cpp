#include "charts/chartfile.h"

#include <qwt_plot.h>
#include <qwt_plot_renderer.h>

#include <QImage>
#include <QPainter>
#include <QSaveFile>

bool renderChartToPng(QwtPlot *plot, const QString &fileName, const QSize &size)
{
    const QSize target = size.isEmpty() ? plot->size() : size;
    if (target.isEmpty())
        return false;
    if (!plot->isVisible())
        plot->resize(target);
    plot->replot();

    QImage image(target, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    QwtPlotRenderer().render(plot, &painter, QRectF(QPointF(0, 0), target));
    painter.end();
    return image.save(fileName, "PNG");
}

bool saveChartData(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
