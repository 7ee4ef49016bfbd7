// What the map's tile layer costs the program: the time from asking for it
// to its first picture, and the memory it adds, with Qt Location's map in a
// QQuickWidget as the dock makes it. Prints rows of figure, value, unit and
// how; run under a display (xvfb-run) or QT_QUICK_BACKEND=software.
#include "bench/residentmemory.h"
#include "map/mapprojection.h"
#include "map/mapsettings.h"
#include "map/tilelayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir cache;
    MapSettings settings;
    // Nothing answers here: the figures are the library's, not the network's.
    settings.tileServer = QStringLiteral("http://127.0.0.1:9/");
    settings.cacheDirectory = cache.path();
    const double rssBefore = residentMb();
    QElapsedTimer clock;
    clock.start();
    TileLayer layer(settings);
    layer.resize(800, 600);
    layer.show();
    MapViewport view;
    view.centre = QPointF(MapProjection::worldX(11.575), MapProjection::worldY(48.137));
    view.zoom = 15;
    view.size = QSizeF(800, 600);
    if (!layer.setView(view)) {
        std::fprintf(stderr, "bench_maplibs: the map did not load: %s\n", layer.errorText().toLocal8Bit().constData());
        return 1;
    }
    const QImage first = layer.grabFramebuffer();
    const double startMs = clock.nsecsElapsed() / 1e6;
    const double rssAfter = residentMb();
    std::printf("maplibs.qtlocation.start_ms\t%.6g\tms\tTileLayer made, moved and its first frame grabbed (%dx%d)\n",
                startMs, first.width(), first.height());
    std::printf("maplibs.qtlocation.rss_growth\t%.6g\tMB\tVmRSS with the layer shown minus before\n",
                rssAfter - rssBefore);
    return 0;
}
