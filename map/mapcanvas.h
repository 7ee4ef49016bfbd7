#ifndef MAPCANVAS_H
#define MAPCANVAS_H

#include "map/mappainter.h"

#include <QPoint>
#include <QWidget>

#include <optional>

class Track;

// The map's drawing surface: paints the scene (MapPainter) and turns the
// mouse into the map's moves: a drag pans, the wheel zooms about the
// pointer, a click picks the nearest track point. Transparent where a tile
// layer lies under it.
class MapCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit MapCanvas(const Track *track, QWidget *parent = nullptr);

    // The points shown: [0, count).
    void setCount(int count);
    int count() const { return m_count; }
    void setReference(const std::optional<GeodeticPosition> &reference);
    void setTilesUnder(bool under);
    // Keeps the last point in the middle of the view.
    void centreOnLast();
    // Shows every point.
    void fitTrack();
    MapViewport viewport() const;
    void setViewport(const QPointF &centre, double zoom);
    int selected() const { return m_selected; }
    // Picks the point nearest `pixel` (within 8 pixels), as a click does.
    int pick(const QPoint &pixel);

signals:
    // The user moved the map (drag or wheel).
    void moved();
    // The view changed, by the user or the program (the tile layer follows).
    void viewChanged(const MapViewport &view);
    // A point was picked; -1 when the click hit none.
    void picked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void changed();

    const Track *m_track;
    int m_count = 0;
    QPointF m_centre{0.5, 0.5};
    double m_zoom = 2;
    std::optional<GeodeticPosition> m_reference;
    bool m_tilesUnder = false;
    int m_selected = -1;
    QPoint m_pressAt;
    QPointF m_pressCentre;
    bool m_dragging = false;
};

#endif // MAPCANVAS_H
