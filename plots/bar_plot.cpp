#include "plots/bar_plot.h"
#include "plots/plotgeometry.h"

#include <algorithm>

#include <QFont>

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
    // A NaN is not 0 and gets a bar slot of its own.
    m_barCount = 0;
    for (float value : m_cnrs) {
        if (value != 0.0f)
            ++m_barCount;
    }
    update();
}

void bar_plot::paintEvent(QPaintEvent *)
{
    m_height = float(height());
    m_width = float(width());
    const float w = m_width;
    const float h = m_height;

    // No render hints: nothing is anti-aliased.
    m_painter.begin(this);
    // The vertical axis shares the 3-pixel pen with the baseline and ticks,
    // so it never covers the ticks.
    m_axisPen.setWidth(3);
    m_axisPen.setColor(Qt::black);
    m_painter.setPen(m_axisPen);
    const QFont titleFont(QStringLiteral("Arial"), 14, 50, false);
    const QFont barFont(QStringLiteral("Arial"), 7, 50, false);
    const QFont scaleFont(QStringLiteral("Arial"), 10, 50, false);

    m_painter.drawLine(BarChart::baseline(w, h));
    m_painter.setFont(scaleFont);
    for (int i = 0; i < BarChart::TickCount; ++i) {
        m_painter.drawLine(BarChart::tick(w, h, i));
        m_painter.drawText(BarChart::tickLabelRect(w, h, i), Qt::AlignVCenter,
                           QString::number(5 * i));
    }
    m_painter.drawLine(BarChart::verticalAxis(w, h));

    m_painter.setFont(titleFont);
    m_painter.rotate(90.0);
    m_painter.drawText(QPoint(int(0.35 * h), int(-0.05 * w)), QStringLiteral("CNR(dB-Hz)"));
    m_painter.rotate(-90.0);

    const int n = m_barCount;
    int k = 0;
    // The lists are parallel; never read past the shortest one.
    const int count = std::min({m_cnrs.size(), m_labels.size(), m_outlines.size(), m_fills.size()});
    for (int i = 0; i < count; ++i) {
        const float value = m_cnrs.at(i);
        if (value == 0.0f)
            continue;

        m_textPen.setColor(Qt::transparent);
        m_brush.setColor(Qt::darkGray);
        m_brush.setStyle(Qt::SolidPattern);
        m_painter.setPen(m_textPen);
        m_painter.setBrush(m_brush);
        const QRectF box = BarChart::valueBoxRect(w, h, k, n, value);
        m_painter.drawRects(&box, 1);

        m_textPen.setColor(Qt::black);
        m_painter.setPen(m_textPen);
        m_painter.setFont(barFont);
        m_painter.drawText(box, Qt::AlignCenter, QString::number(double(value), 'g', 6));
        m_painter.drawText(BarChart::labelRect(w, h, k, n), Qt::AlignCenter, m_labels.at(i));

        m_brush.setStyle(Qt::SolidPattern);
        m_brush.setColor(m_fills.at(i));
        m_barPen.setColor(m_outlines.at(i));
        m_barPen.setWidth(1);
        m_painter.setPen(m_barPen);
        m_painter.setBrush(m_brush);
        const QRectF bar = BarChart::barRect(w, h, k, n, value);
        m_painter.drawRects(&bar, 1);

        m_painter.setPen(m_textPen);
        ++k;
    }

    // A snapshot is drawn once; a later paint without a new one shows the
    // empty chart.
    m_labels.clear();
    m_cnrs.clear();
    m_outlines.clear();
    m_fills.clear();
    m_barCount = 0;
    m_painter.end();
}
