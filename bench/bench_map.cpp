// A day at 10 Hz on the map: what the track adds to memory and how long
// one picture of it takes at every zoom, from the whole day down to a
// street. Prints rows of figure, value, unit and how it was measured.
#include "bench/residentmemory.h"
#include "map/mappainter.h"
#include "map/mapprojection.h"
#include "map/track.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <ctime>

namespace {

void row(const char *figure, double value, const char *unit, const QString &how)
{
    std::printf("%s\t%.6g\t%s\t%s\n", figure, value, unit, how.toUtf8().constData());
    std::fflush(stdout);
}

// A day's drive about a town: 14 m/s, the heading wandering, kept within
// 20 km of the start, a metre of noise; 10 s without a fix every 10
// minutes, the fix kind changing every 5 minutes.
void fillDay(Track *track, int points)
{
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0, 1);
    double east = 0, north = 0, heading = 0;
    const double lat0 = 48.137, lon0 = 11.575;
    const double metresPerDegree = 111320.0;
    for (int i = 0; i < points; ++i) {
        const double t = i / 10.0;
        heading += noise(random) * 0.05;
        if (std::hypot(east, north) > 20000)
            heading = std::atan2(-north, -east) + noise(random) * 0.3;
        east += 1.4 * std::cos(heading);
        north += 1.4 * std::sin(heading);
        if (std::fmod(t, 600) < 10)
            continue;   // the fix lost
        TrackPoint p;
        const double lat = lat0 + (north + noise(random)) / metresPerDegree;
        const double lon = lon0 + (east + noise(random)) / (metresPerDegree * std::cos(lat0 * M_PI / 180));
        p.x = MapProjection::fixedX(lon);
        p.y = MapProjection::fixedY(lat);
        p.height = 520;
        p.kind = quint8(1 + int(t / 300) % 4);
        p.satellites = 18;
        p.hdopCenti = 70;
        track->addPoint(1.7e9 + t, p);
    }
}

// This thread's CPU time in milliseconds: on a machine shared with other
// work the wall clock measures the neighbours too.
double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int points = argc > 1 ? std::atoi(argv[1]) : 864000;
    const QSize size(1200, 800);
    QImage image(size, QImage::Format_RGB32);
    {
        // Qt's fonts and painter loaded before memory is read.
        QPainter warm(&image);
        warm.drawText(10, 10, QStringLiteral("warm"));
    }
    const double rssBefore = residentMb();
    Track track;
    QElapsedTimer clock;
    clock.start();
    fillDay(&track, points);
    const double addUs = clock.nsecsElapsed() / 1000.0 / std::max(1, track.size());
    const double rssAfter = residentMb();
    const QString day = QStringLiteral("%1 points of a 10 Hz day's drive").arg(track.size());
    row("map.track_points", track.size(), "points", day + QStringLiteral(" (10 s outage every 10 min left out)"));
    row("map.track_mb", track.bytes() / 1048576.0, "MB", QStringLiteral("the track's own blocks, 24 bytes a point"));
    row("map.rss_growth", rssAfter - rssBefore, "MB", QStringLiteral("VmRSS after the track minus before"));
    row("map.add_point_us", addUs, "us", QStringLiteral("one point into the track, mean"));

    // One picture at each zoom, centred on points along the day; the worst
    // of five pictures per zoom.
    MapScene scene;
    scene.track = &track;
    scene.count = track.size();
    const MapViewport whole = MapPainter::fitView(track, track.size(), QSizeF(size));
    double worst = 0;
    double worstZoom = 0;
    const double firstZoom = std::max(0.0, std::floor(whole.zoom) - 3);
    for (double zoom = firstZoom; zoom <= 21; zoom += 1) {
        double zoomWorst = 0;
        for (int k = 0; k < 5; ++k) {
            const TrackPoint &p = track.at(int(qint64(track.size() - 1) * k / 4));
            scene.view = whole;
            scene.view.zoom = zoom;
            if (zoom > whole.zoom)
                scene.view.centre = QPointF(p.x / MapProjection::WorldUnits, p.y / MapProjection::WorldUnits);
            QPainter painter(&image);
            const double before = cpuMs();
            MapPainter::paint(painter, scene);
            painter.end();
            zoomWorst = std::max(zoomWorst, cpuMs() - before);
        }
        if (zoomWorst > worst) {
            worst = zoomWorst;
            worstZoom = zoom;
        }
        std::fprintf(stderr, "bench_map: zoom %2.0f: %.1f ms\n", zoom, zoomWorst);
    }
    scene.view = whole;
    QPainter painter(&image);
    const double before = cpuMs();
    MapPainter::paint(painter, scene);
    painter.end();
    row("map.draw_whole_ms", cpuMs() - before, "ms",
        QStringLiteral("CPU time of the whole day in a 1200 x 800 picture (zoom %1)").arg(whole.zoom, 0, 'f', 1));
    row("map.draw_worst_ms", worst, "ms",
        QStringLiteral("CPU time of the worst picture of zooms %1 to 21, five places each (zoom %2)")
            .arg(firstZoom).arg(worstZoom));
    return 0;
}
