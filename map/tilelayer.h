#ifndef TILELAYER_H
#define TILELAYER_H

#include "map/mapprojection.h"
#include "map/mapsettings.h"

#include <QQuickWidget>

// OpenStreetMap tiles through Qt Location's osm plugin, as a layer under
// the map's drawing: the server, User-Agent and disk cache from
// MapSettings; moved by the map (setView), no input of its own.
class TileLayer : public QQuickWidget
{
    Q_OBJECT

public:
    explicit TileLayer(const MapSettings &settings, QWidget *parent = nullptr);

    // Shows what `view` shows; false when the map did not load (the QML
    // module missing), with the reason in errorText().
    bool setView(const MapViewport &view);
    QString errorText() const;
};

#endif // TILELAYER_H
