#include "map/mapview.h"

#include "accuracy/positionhistory.h"
#include "map/mapcanvas.h"
#include "map/tilelayer.h"
#include "map/track.h"
#include "map/trackexport.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int RefreshMs = 1000;
} // namespace

MapView::MapView(Track *track, PositionHistory *positions, const QString &configFile, QWidget *parent)
    : QWidget(parent)
    , m_track(track)
    , m_positions(positions)
    , m_configFile(configFile)
    , m_settings(MapSettings::read(configFile))
    , m_until(NAN)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *bar = new QHBoxLayout;
    m_follow = new QCheckBox(tr("Follow"), this);
    m_follow->setChecked(true);
    m_follow->setToolTip(tr("Keep the current position in view until the map is panned"));
    auto *fit = new QPushButton(tr("Whole track"), this);
    auto *tiles = new QCheckBox(tr("OpenStreetMap"), this);
    tiles->setToolTip(tr("Lay map tiles from %1 under the track (needs the network; cached in %2)")
                          .arg(m_settings.tileServer, m_settings.cacheFolder()));
    auto *gpx = new QPushButton(tr("Export GPX..."), this);
    auto *kml = new QPushButton(tr("Export KML..."), this);
    bar->addWidget(m_follow);
    bar->addWidget(fit);
    bar->addWidget(tiles);
    bar->addStretch(1);
    bar->addWidget(gpx);
    bar->addWidget(kml);
    layout->addLayout(bar);

    // The tile layer and the canvas share one area, the canvas on top.
    m_area = new QWidget(this);
    m_canvas = new MapCanvas(track, m_area);
    layout->addWidget(m_area, 1);
    m_readOut = new QLabel(tr("Click on the track to read a point out."), this);
    m_readOut->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long read-out wraps rather than widening the dock.
    m_readOut->setWordWrap(true);
    m_readOut->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(m_readOut);

    if (m_positions) {
        connect(m_positions, &PositionHistory::changed, this, [this] {
            m_canvas->setReference(m_positions->reference());
        });
        m_canvas->setReference(m_positions->reference());
    }
    connect(m_canvas, &MapCanvas::moved, this, [this] { m_follow->setChecked(false); });
    connect(m_canvas, &MapCanvas::picked, this, [this](int index) {
        m_readOut->setText(index >= 0 ? pointText(index) : tr("No track point there."));
    });
    connect(m_follow, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_canvas->centreOnLast();
    });
    connect(fit, &QPushButton::clicked, this, [this] {
        m_follow->setChecked(false);
        m_canvas->fitTrack();
    });
    connect(tiles, &QCheckBox::toggled, this, &MapView::setTiles);
    connect(gpx, &QPushButton::clicked, this, [this] { exportTrack(false); });
    connect(kml, &QPushButton::clicked, this, [this] { exportTrack(true); });

    m_timer = new QTimer(this);
    m_timer->setInterval(RefreshMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (isVisible())
            refresh();
    });
    m_timer->start();
    tiles->setChecked(m_settings.tilesOn);
}

QString MapView::pointText(int index) const
{
    if (index < 0 || index >= m_track->size())
        return QString();
    const TrackPoint &p = m_track->at(index);
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(std::llround(m_track->utcSeconds(index) * 1000), Qt::UTC);
    QStringList parts;
    parts << tr("UTC %1").arg(utc.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
    parts << fixKindName(p.fixKind());
    parts << (p.satellitesUsed() >= 0 ? tr("%1 satellites used").arg(p.satellitesUsed()) : tr("satellites not sent"));
    parts << (std::isfinite(p.hdop()) ? tr("HDOP %1").arg(p.hdop(), 0, 'f', 2) : tr("HDOP not sent"));
    parts << tr("%1, %2").arg(p.latitude(), 0, 'f', 7).arg(p.longitude(), 0, 'f', 7);
    return parts.join(QStringLiteral(", "));
}

void MapView::refresh()
{
    const int count = std::isnan(m_until) ? m_track->size() : m_track->countUntil(m_until);
    const bool grew = count != m_canvas->count();
    m_canvas->setCount(count);
    if (count > 0 && !m_fitted) {
        // The first points: a view of a few hundred metres about them.
        m_fitted = true;
        m_canvas->fitTrack();
        const MapViewport v = m_canvas->viewport();
        m_canvas->setViewport(v.centre, std::min(v.zoom, 17.0));
    } else if (grew && m_follow->isChecked()) {
        m_canvas->centreOnLast();
    }
}

void MapView::setUntil(double utcSeconds)
{
    m_until = utcSeconds;
    refresh();
}

void MapView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
}

void MapView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_canvas->setGeometry(m_area->rect());
    if (m_tiles)
        m_tiles->setGeometry(m_area->rect());
}

void MapView::setTiles(bool on)
{
    if (on != m_settings.tilesOn) {
        m_settings.tilesOn = on;
        m_settings.write(m_configFile);
    }
    if (on && !m_tiles) {
        m_tiles = new TileLayer(m_settings, m_area);
        m_tiles->setGeometry(m_area->rect());
        m_tiles->lower();
        connect(m_canvas, &MapCanvas::viewChanged, m_tiles, &TileLayer::setView);
        if (!m_tiles->setView(m_canvas->viewport())) {
            m_readOut->setText(tr("No map tiles: %1").arg(m_tiles->errorText()));
            m_tiles->deleteLater();
            m_tiles = nullptr;
            on = false;
        }
    }
    if (m_tiles)
        m_tiles->setVisible(on);
    m_canvas->setTilesUnder(on);
    m_canvas->raise();
}

void MapView::exportTrack(bool kml)
{
    const QString kind = kml ? QStringLiteral("KML") : QStringLiteral("GPX");
    const QString suffix = kml ? QStringLiteral("kml") : QStringLiteral("gpx");
    const QString path = QFileDialog::getSaveFileName(this, tr("Export the track as %1").arg(kind),
                                                      QStringLiteral("track.%1").arg(suffix),
                                                      tr("%1 files (*.%2)").arg(kind, suffix));
    if (path.isEmpty())
        return;
    QString error;
    const bool done = kml ? TrackExport::writeKmlFile(*m_track, path, &error)
                          : TrackExport::writeGpxFile(*m_track, path, &error);
    if (!done)
        QMessageBox::warning(this, tr("Export the track"), error);
    else
        m_readOut->setText(tr("%1 points written to %2").arg(m_track->size()).arg(path));
}
