#ifndef MAPVIEW_H
#define MAPVIEW_H

#include "map/mapsettings.h"

#include <QWidget>

class MapCanvas;
class PositionHistory;
class QCheckBox;
class QLabel;
class QTimer;
class TileLayer;
class Track;

// The "Map" dock: where the receiver was. The track coloured by fix kind,
// the current position with its accuracy circle, the reference position of
// the accuracy view, a scale bar; "Follow" keeps the current position in
// view until the user pans; a click on the track reads a point out;
// "OpenStreetMap" lays tiles under the drawing; the track exports as GPX
// and KML. Redraws about once a second while shown.
class MapView : public QWidget
{
    Q_OBJECT

public:
    // `positions` gives the reference position, and may be null.
    MapView(Track *track, PositionHistory *positions, const QString &configFile, QWidget *parent = nullptr);

    MapCanvas *canvas() const { return m_canvas; }
    // The text a picked point reads out: "UTC 2026-12-08 12:34:56.700, RTK
    // fixed, 14 satellites used, HDOP 0.80".
    QString pointText(int index) const;
    // Takes the track's new points now.
    void refresh();
    // Shows only the points up to `utcSeconds` (a replay); NaN: all.
    void setUntil(double utcSeconds);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setTiles(bool on);
    void exportTrack(bool kml);

    Track *m_track;
    PositionHistory *m_positions;
    QString m_configFile;
    MapSettings m_settings;
    QWidget *m_area;
    MapCanvas *m_canvas;
    TileLayer *m_tiles = nullptr;
    QCheckBox *m_follow;
    QLabel *m_readOut;
    QTimer *m_timer;
    double m_until;
    bool m_fitted = false;
};

#endif // MAPVIEW_H
