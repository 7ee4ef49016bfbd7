#include "plots/polar_plot.h"

polar_plot::polar_plot(QWidget *parent)
    : QWidget(parent)
{
}

polar_plot::~polar_plot() = default;

void polar_plot::set_satellites(const QList<float> &elevations, const QList<float> &azimuths,
                                const QList<QString> &labels, const QList<QColor> &outlines,
                                const QList<QColor> &fills)
{
    m_elevations = elevations;
    m_azimuths = azimuths;
    m_labels = labels;
    m_outlines = outlines;
    m_fills = fills;
    repaint();
}

void polar_plot::paintEvent(QPaintEvent *event)
{
    // Drawing is built by the sky-view work.
    QWidget::paintEvent(event);
}
