#include "map/mapcanvas.h"

#include "map/track.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {
constexpr double MaxZoom = 21;
constexpr int ClickSlop = 4;     // pixels a click may move and still be one
constexpr int PickPixels = 8;
} // namespace

MapCanvas::MapCanvas(const Track *track, QWidget *parent)
    : QWidget(parent)
    , m_track(track)
{
    setMinimumSize(200, 150);
    setMouseTracking(false);
    setCursor(Qt::OpenHandCursor);
}

void MapCanvas::setCount(int count)
{
    m_count = count;
    if (m_selected >= count)
        m_selected = -1;
    update();
}

void MapCanvas::setReference(const std::optional<GeodeticPosition> &reference)
{
    m_reference = reference;
    update();
}

void MapCanvas::setTilesUnder(bool under)
{
    m_tilesUnder = under;
    setAttribute(Qt::WA_NoSystemBackground, under);
    update();
}

MapViewport MapCanvas::viewport() const
{
    MapViewport v;
    v.centre = m_centre;
    v.zoom = m_zoom;
    v.size = QSizeF(size());
    return v;
}

void MapCanvas::setViewport(const QPointF &centre, double zoom)
{
    m_centre = QPointF(std::clamp(centre.x(), 0.0, 1.0), std::clamp(centre.y(), 0.0, 1.0));
    m_zoom = std::clamp(zoom, 0.0, MaxZoom);
    changed();
}

void MapCanvas::changed()
{
    update();
    emit viewChanged(viewport());
}

void MapCanvas::centreOnLast()
{
    if (m_count <= 0)
        return;
    const TrackPoint &p = m_track->at(m_count - 1);
    setViewport(QPointF(p.x / MapProjection::WorldUnits, p.y / MapProjection::WorldUnits), m_zoom);
}

void MapCanvas::fitTrack()
{
    const MapViewport v = MapPainter::fitView(*m_track, m_count, QSizeF(size()));
    setViewport(v.centre, v.zoom);
}

int MapCanvas::pick(const QPoint &pixel)
{
    const MapViewport v = viewport();
    const QPointF world = v.toWorld(pixel);
    const double within = v.unitsPerPixel() * PickPixels;
    m_selected = -1;
    if (world.x() >= 0 && world.x() <= 1 && world.y() >= 0 && world.y() <= 1) {
        m_selected = m_track->nearest(m_count, quint32(world.x() * MapProjection::WorldUnits),
                                      quint32(world.y() * MapProjection::WorldUnits),
                                      quint32(std::min(within, 4.0e9)));
    }
    update();
    emit picked(m_selected);
    return m_selected;
}

void MapCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    MapScene scene;
    scene.track = m_track;
    scene.count = m_count;
    scene.view = viewport();
    scene.reference = m_reference;
    scene.tilesUnder = m_tilesUnder;
    scene.selected = m_selected;
    MapPainter::paint(painter, scene);
}

void MapCanvas::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressAt = event->pos();
    m_pressCentre = m_centre;
    m_dragging = false;
    setCursor(Qt::ClosedHandCursor);
}

void MapCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint shift = event->pos() - m_pressAt;
    if (!m_dragging && shift.manhattanLength() <= ClickSlop)
        return;
    m_dragging = true;
    const double scale = MapProjection::worldPixels(m_zoom);
    setViewport(m_pressCentre - QPointF(shift) / scale, m_zoom);
    emit moved();
}

void MapCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    setCursor(Qt::OpenHandCursor);
    if (event->button() == Qt::LeftButton && !m_dragging)
        pick(event->pos());
    m_dragging = false;
}

void MapCanvas::wheelEvent(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    // The point under the pointer stays where it is.
    const QPointF pointer = event->position();
    const QPointF before = viewport().toWorld(pointer);
    const double zoom = std::clamp(m_zoom + steps * 0.5, 0.0, MaxZoom);
    const double scale = MapProjection::worldPixels(zoom);
    const QPointF offset = pointer - QPointF(width() / 2.0, height() / 2.0);
    // Zooming is no pan: a map that follows goes on following.
    setViewport(before - offset / scale, zoom);
}

void MapCanvas::resizeEvent(QResizeEvent *)
{
    emit viewChanged(viewport());
}
