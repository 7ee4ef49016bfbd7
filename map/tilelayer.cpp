#include "map/tilelayer.h"

#include <QDir>
#include <QQmlContext>
#include <QQmlError>
#include <QQuickItem>

TileLayer::TileLayer(const MapSettings &settings, QWidget *parent)
    : QQuickWidget(parent)
{
    Q_INIT_RESOURCE(map);
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QDir().mkpath(settings.cacheFolder());
    rootContext()->setContextProperty(QStringLiteral("tileServer"), settings.tileServer);
    rootContext()->setContextProperty(QStringLiteral("tileUserAgent"), settings.userAgent);
    rootContext()->setContextProperty(QStringLiteral("tileCache"), settings.cacheFolder());
    setSource(QUrl(QStringLiteral("qrc:/map/tilelayer.qml")));
}

bool TileLayer::setView(const MapViewport &view)
{
    QQuickItem *map = rootObject();
    if (!map)
        return false;
    // Qt Location's zoom level is ours: the world TileSize x 2^zoom wide.
    const double latitude = MapProjection::latitudeOf(view.centre.y());
    const double longitude = MapProjection::longitudeOf(view.centre.x());
    return QMetaObject::invokeMethod(map, "setView", Q_ARG(QVariant, latitude), Q_ARG(QVariant, longitude),
                                     Q_ARG(QVariant, view.zoom));
}

QString TileLayer::errorText() const
{
    QStringList lines;
    for (const QQmlError &e : errors())
        lines << e.toString();
    return lines.join(QLatin1Char('\n'));
}
