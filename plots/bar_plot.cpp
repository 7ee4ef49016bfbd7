#include "plots/bar_plot.h"

bar_plot::bar_plot(QWidget *parent)
    : QWidget(parent)
{
}

bar_plot::~bar_plot() = default;

void bar_plot::set_satellites(const QList<float> &cnrs, const QList<QString> &labels,
                              const QList<QColor> &outlines, const QList<QColor> &fills)
{
    m_cnrs = cnrs;
    m_labels = labels;
    m_outlines = outlines;
    m_fills = fills;
    repaint();
}

void bar_plot::paintEvent(QPaintEvent *event)
{
    // Drawing is built by the bar-chart work.
    QWidget::paintEvent(event);
}
