#include "map/mappainter.h"

#include "map/track.h"
#include "map/trackdecimation.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QColor Ground(242, 239, 233);
const QColor GridLine(200, 196, 188);
const QColor GridLabel(110, 106, 100);
const QColor GapLine(120, 120, 120);
constexpr double TrackWidth = 2.5;
constexpr int WideSegments = 5000;

QColor kindColour(int kind)
{
    return QColor(QRgb(fixKindRgb(FixKind(kind))));
}

// 1, 2 or 5 x 10^n, the smallest at least `value`.
double roundUp(double value)
{
    const double p = std::pow(10.0, std::floor(std::log10(value)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * p >= value * 0.999999)
            return m * p;
    }
    return 10 * p;
}

QString degreeText(double value, double step)
{
    const int decimals = std::clamp(int(std::ceil(-std::log10(step))), 0, 7);
    return QString::number(value, 'f', decimals) + QChar(0x00B0);
}

void paintGrid(QPainter &p, const MapScene &s)
{
    const MapViewport &v = s.view;
    const double step = MapPainter::gridStep(v, 90);
    const QPointF topLeft = v.toWorld(QPointF(0, 0));
    const QPointF bottomRight = v.toWorld(QPointF(v.size.width(), v.size.height()));
    const double west = MapProjection::longitudeOf(topLeft.x());
    const double east = MapProjection::longitudeOf(bottomRight.x());
    const double north = MapProjection::latitudeOf(std::max(0.0, topLeft.y()));
    const double south = MapProjection::latitudeOf(std::min(1.0, bottomRight.y()));
    QColor line = GridLine;
    if (s.tilesUnder)
        line.setAlpha(120);
    p.setPen(QPen(line, 1));
    p.setFont(QFont(p.font().family(), 8));
    const QFontMetrics fm(p.font());
    for (double lon = std::ceil(west / step) * step; lon <= east; lon += step) {
        const double x = v.toPixel(MapProjection::worldX(lon), 0).x();
        p.setPen(QPen(line, 1));
        p.drawLine(QPointF(x, 0), QPointF(x, v.size.height()));
        p.setPen(GridLabel);
        p.drawText(QPointF(x + 3, v.size.height() - 4), degreeText(lon, step));
    }
    for (double lat = std::ceil(south / step) * step; lat <= north; lat += step) {
        const double y = v.toPixel(0, MapProjection::worldY(lat)).y();
        p.setPen(QPen(line, 1));
        p.drawLine(QPointF(0, y), QPointF(v.size.width(), y));
        p.setPen(GridLabel);
        p.drawText(QPointF(3, y - 3), degreeText(lat, step));
    }
}

QPointF pixelOf(const MapViewport &v, const TrackPoint &t)
{
    return v.toPixel(t.x / MapProjection::WorldUnits, t.y / MapProjection::WorldUnits);
}

void paintTrack(QPainter &p, const MapScene &s)
{
    const Track &track = *s.track;
    const MapViewport &v = s.view;
    const double margin = 4;   // pixels beyond the edge still drawn
    const QPointF a = v.toWorld(QPointF(-margin, -margin));
    const QPointF b = v.toWorld(QPointF(v.size.width() + margin, v.size.height() + margin));
    WorldBox clip;
    clip.minX = qint64(std::floor(std::max(0.0, a.x()) * MapProjection::WorldUnits));
    clip.minY = qint64(std::floor(std::max(0.0, a.y()) * MapProjection::WorldUnits));
    clip.maxX = qint64(std::ceil(std::min(1.0, b.x()) * MapProjection::WorldUnits));
    clip.maxY = qint64(std::ceil(std::min(1.0, b.y()) * MapProjection::WorldUnits));
    const QVector<int> kept = decimateTrack(track, s.count, v.unitsPerPixel() * 0.75, clip);

    p.setRenderHint(QPainter::Antialiasing, true);
    // Where the receiver lost its position: a thin dashed line over the gap.
    p.setPen(QPen(GapLine, 1, Qt::DashLine));
    for (int i : track.gapStarts()) {
        if (i >= s.count)
            break;
        const TrackPoint &from = track.at(i - 1);
        const TrackPoint &to = track.at(i);
        if (clip.holds(from.x, from.y) || clip.holds(to.x, to.y))
            p.drawLine(pixelOf(v, from), pixelOf(v, to));
    }
    // The segments by fix kind, each in the kind of its end. A track that
    // goes over the same road again (a day of laps) would draw the same
    // pixels many times: a short segment between two pixels already drawn
    // in its kind is left out, which keeps the cost to the pixels covered.
    const int w = int(v.size.width()) + 1;
    const int h = int(v.size.height()) + 1;
    std::vector<quint8> drawn(size_t(w) * size_t(h), 0);   // a bit per fix kind
    auto cell = [&](const QPointF &at) -> quint8 * {
        const int x = int(at.x()), y = int(at.y());
        return x >= 0 && y >= 0 && x < w && y < h ? &drawn[size_t(y) * size_t(w) + size_t(x)] : nullptr;
    };
    QVector<QLineF> lines[FixKindCount];
    QVector<QPointF> dots[FixKindCount];
    QPointF from;
    int previous = -1;
    for (int k = 0; k < kept.size(); ++k) {
        const int index = kept.at(k);
        if (index < 0) {
            previous = -1;
            continue;
        }
        const TrackPoint &t = track.at(index);
        const QPointF at = pixelOf(v, t);
        const quint8 bit = quint8(1u << t.kind);
        quint8 *here = cell(at);
        if (previous < 0) {
            // A piece of one point shows as a dot.
            if (k + 1 >= kept.size() || kept.at(k + 1) < 0)
                dots[t.kind] << at;
        } else {
            quint8 *there = cell(from);
            const QPointF d = at - from;
            const bool covered = here && there && (*here & bit) && (*there & bit)
                && d.x() * d.x() + d.y() * d.y() <= 4.0;
            if (!covered) {
                lines[t.kind] << QLineF(from, at);
                if (there)
                    *there |= bit;
            }
        }
        if (here)
            *here |= bit;
        from = at;
        previous = index;
    }
    // A wide pen costs some 6 us a segment, a one-pixel one a tenth of
    // that: a view of thousands of segments (a day zoomed out) draws thin.
    int segments = 0;
    for (const QVector<QLineF> &l : lines)
        segments += l.size();
    const double penWidth = segments > WideSegments ? 0 : TrackWidth;
    for (int kind = 0; kind < FixKindCount; ++kind) {
        p.setPen(QPen(kindColour(kind), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLines(lines[kind]);
        p.setPen(Qt::NoPen);
        p.setBrush(kindColour(kind));
        for (const QPointF &dot : dots[kind])
            p.drawEllipse(dot, TrackWidth, TrackWidth);
        p.setBrush(Qt::NoBrush);
    }
}

void paintCurrent(QPainter &p, const MapScene &s)
{
    const Track &track = *s.track;
    const int last = s.count - 1;
    const TrackPoint &t = track.at(last);
    const QPointF at = pixelOf(s.view, t);
    const double radius = track.accuracyRadius(last);
    if (std::isfinite(radius)) {
        const double pixels = radius / MapProjection::metresPerPixel(t.latitude(), s.view.zoom);
        QColor fill = kindColour(t.kind);
        fill.setAlpha(40);
        p.setPen(QPen(kindColour(t.kind).darker(130), 1));
        p.setBrush(fill);
        p.drawEllipse(at, pixels, pixels);
    }
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(kindColour(t.kind).darker(120));
    p.drawEllipse(at, 6, 6);
    p.setBrush(Qt::NoBrush);
}

void paintReference(QPainter &p, const MapScene &s)
{
    const QPointF at = s.view.toPixel(MapProjection::worldX(s.reference->longitude),
                                      MapProjection::worldY(s.reference->latitude));
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.drawLine(at + QPointF(-9, 0), at + QPointF(9, 0));
    p.drawLine(at + QPointF(0, -9), at + QPointF(0, 9));
    p.drawEllipse(at, 5, 5);
}

void paintScaleBar(QPainter &p, const MapScene &s)
{
    double pixels = 0;
    const double metres = MapPainter::scaleBarMetres(s.view, 100, &pixels);
    if (!(pixels > 0))
        return;
    const QString text = metres >= 1000 ? QStringLiteral("%1 km").arg(metres / 1000) : QStringLiteral("%1 m").arg(metres);
    const QPointF origin(12, s.view.size.height() - 22);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(origin.x() - 4, origin.y() - 16, pixels + 8, 24), QColor(255, 255, 255, 200));
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(origin, origin + QPointF(pixels, 0));
    p.drawLine(origin, origin + QPointF(0, -5));
    p.drawLine(origin + QPointF(pixels, 0), origin + QPointF(pixels, -5));
    p.setFont(QFont(p.font().family(), 8));
    p.drawText(QRectF(origin.x(), origin.y() - 16, pixels, 14), Qt::AlignCenter, text);
}

void paintSelected(QPainter &p, const MapScene &s)
{
    const QPointF at = pixelOf(s.view, s.track->at(s.selected));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, 7, 7);
}

} // namespace

namespace MapPainter {

void paint(QPainter &p, const MapScene &s)
{
    p.save();
    if (!s.tilesUnder)
        p.fillRect(QRectF(QPointF(0, 0), s.view.size), Ground);
    paintGrid(p, s);
    const bool hasTrack = s.track && s.count > 0 && s.count <= s.track->size();
    if (hasTrack)
        paintTrack(p, s);
    if (s.reference)
        paintReference(p, s);
    if (hasTrack)
        paintCurrent(p, s);
    if (hasTrack && s.selected >= 0 && s.selected < s.count)
        paintSelected(p, s);
    paintScaleBar(p, s);
    p.restore();
}

double gridStep(const MapViewport &view, double minPixels)
{
    // Degrees of longitude per pixel; latitude lines come out closer
    // together only towards the poles, where they spread instead.
    const double degreesPerPixel = 360.0 / MapProjection::worldPixels(view.zoom);
    return std::min(30.0, roundUp(degreesPerPixel * minPixels));
}

double scaleBarMetres(const MapViewport &view, double targetPixels, double *pixels)
{
    const double latitude = MapProjection::latitudeOf(std::clamp(view.centre.y(), 0.0, 1.0));
    const double perPixel = MapProjection::metresPerPixel(latitude, view.zoom);
    if (!(perPixel > 0)) {
        *pixels = 0;
        return 0;
    }
    double metres = roundUp(perPixel * targetPixels);
    if (metres / perPixel > targetPixels * 1.6)
        metres = metres / 2.5 < perPixel * targetPixels * 0.6 ? metres / 2 : metres / 2.5;
    *pixels = metres / perPixel;
    return metres;
}

MapViewport fitView(const Track &track, int count, const QSizeF &size)
{
    MapViewport v;
    v.size = size;
    quint32 x0, y0, x1, y1;
    if (!track.bounds(count, &x0, &y0, &x1, &y1)) {
        v.zoom = std::log2(std::max(1.0, std::min(size.width(), size.height()) / MapProjection::TileSize));
        return v;
    }
    v.centre = QPointF((double(x0) + x1) / 2 / MapProjection::WorldUnits, (double(y0) + y1) / 2 / MapProjection::WorldUnits);
    const double spanX = std::max(1.0, double(x1) - x0) / MapProjection::WorldUnits;
    const double spanY = std::max(1.0, double(y1) - y0) / MapProjection::WorldUnits;
    const double worldPixels = std::min(size.width() * 0.85 / spanX, size.height() * 0.85 / spanY);
    v.zoom = std::clamp(std::log2(worldPixels / MapProjection::TileSize), 0.0, 19.0);
    return v;
}

} // namespace MapPainter

bool writeTrackPicture(const Track &track, const QString &file, QString *error)
{
    const QSize size(1200, 900);
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    MapScene scene;
    scene.track = &track;
    scene.count = track.size();
    scene.view = MapPainter::fitView(track, track.size(), size);
    MapPainter::paint(painter, scene);
    painter.end();
    if (!image.save(file, "PNG")) {
        *error = QStringLiteral("cannot write %1").arg(file);
        return false;
    }
    return true;
}
