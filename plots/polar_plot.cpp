#include "plots/polar_plot.h"
#include "freshness/staleshade.h"
#include "plots/plotgeometry.h"
#include "plots/textcache.h"

#include <algorithm>

#include <QEvent>
#include <QFont>
#include <QPixmap>

polar_plot::polar_plot(QWidget *parent)
    : QWidget(parent)
{
    // It paints itself whole, its parent's background included (backdrop).
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void polar_plot::changeEvent(QEvent *event)
{
    // Another style or palette: the fixed parts are drawn again.
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange)
        m_background = QPixmap();
    QWidget::changeEvent(event);
}

polar_plot::~polar_plot() = default;

void polar_plot::set_satellites(const QList<float> &elevations, const QList<float> &azimuths,
                                const QList<QString> &labels, const QList<QColor> &outlines,
                                const QList<QColor> &fills)
{
    // Satellites move by whole degrees, minutes apart: the same sky as on
    // the screen is not painted again.
    if (!m_paintPending && elevations == m_shown.elevations && azimuths == m_shown.azimuths
        && labels == m_shown.labels && outlines == m_shown.outlines && fills == m_shown.fills)
        return;
    m_paintPending = true;
    m_elevations = elevations;
    m_azimuths = azimuths;
    m_labels = labels;
    m_outlines = outlines;
    m_fills = fills;
    // Scheduled rather than painted now: snapshots that come faster than
    // the screen refreshes coalesce into one paint of the last.
    update();
}

void polar_plot::drawBackground(qreal ratio, const SkyLayout &layout)
{
    m_background = backdrop(this, ratio);
    m_backgroundAt = pos();
    QPainter painter(&m_background);
    m_gridPen.setWidth(3);
    m_gridPen.setColor(Qt::black);
    painter.setPen(m_gridPen);
    const QFont compassFont(QStringLiteral("Arial"), 12, 50, false);

    // The horizon in four 70-degree arcs, leaving a gap at each compass point
    // for its letter.
    for (int start : {160, 1600, 3040, 4480})
        painter.drawArc(layout.horizon, start, 1120);

    m_gridPen.setWidth(2);
    painter.setPen(m_gridPen);
    painter.drawEllipse(layout.ring);
    painter.drawPoints(&layout.centre, 1);

    m_textPen.setColor(Qt::red);
    painter.setPen(m_textPen);
    painter.setFont(compassFont);
    painter.drawText(layout.east, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("E"));
    painter.drawText(layout.north, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("N"));
    painter.drawText(layout.west, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("W"));
    painter.drawText(layout.south, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("S"));
}

void polar_plot::setStale(const QString &text)
{
    if (text == m_staleText)
        return;
    m_staleText = text;
    update();
}

void polar_plot::paintEvent(QPaintEvent *)
{
    // Not current: what was drawn last stays, under the shade.
    if (!m_staleText.isEmpty() && !m_paintPending && m_elevations.isEmpty()) {
        m_elevations = m_shown.elevations;
        m_azimuths = m_shown.azimuths;
        m_labels = m_shown.labels;
        m_outlines = m_shown.outlines;
        m_fills = m_shown.fills;
    }
    m_height = float(height());
    m_width = float(width());
    const SkyLayout layout = skyLayout(m_width, m_height);
    m_centre = layout.centre;
    m_radius = layout.radius;

    // The horizon, the ring and the compass letters change only with the
    // size: drawn once into a picture of their own.
    const qreal ratio = devicePixelRatioF();
    if (m_background.size() != size() * ratio || m_backgroundAt != pos())
        drawBackground(ratio, layout);
    // No render hints: the diagram is drawn without anti-aliasing.
    m_painter.begin(this);
    m_painter.drawPixmap(0, 0, m_background);
    m_painter.setFont(m_labelTexts.font());

    // The lists are parallel; never read past the shortest one.
    const int count = std::min({m_elevations.size(), m_azimuths.size(), m_labels.size(),
                                m_outlines.size(), m_fills.size()});
    for (int i = 0; i < count; ++i) {
        const QRectF disc = skyDiscRect(layout, m_height, m_elevations.at(i), m_azimuths.at(i));
        m_markerBrush.setStyle(Qt::SolidPattern);
        m_markerBrush.setColor(m_fills.at(i));
        m_markerPen.setColor(m_outlines.at(i));
        m_painter.setPen(m_markerPen);
        m_painter.setBrush(m_markerBrush);
        m_painter.drawEllipse(disc);

        m_labelPen.setColor(Qt::black);
        m_painter.setPen(m_labelPen);
        m_labelTexts.draw(m_painter, disc, Qt::AlignCenter, m_labels.at(i).right(2));
    }

    // A snapshot is drawn once; a later paint without a new one shows the
    // empty sky.
    m_shown = {std::move(m_elevations), std::move(m_azimuths), std::move(m_labels), std::move(m_outlines),
               std::move(m_fills)};
    m_paintPending = false;
    m_elevations.clear();
    m_azimuths.clear();
    m_labels.clear();
    m_outlines.clear();
    m_fills.clear();
    StaleShade::paint(m_painter, rect(), m_staleText);
    m_painter.end();
}
