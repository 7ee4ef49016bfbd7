#ifndef POLAR_PLOT_H
#define POLAR_PLOT_H

#include <QColor>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QString>
#include <QPixmap>
#include <QWidget>

#include "plots/plotgeometry.h"
#include "plots/textcache.h"

// The sky view: every satellite of a snapshot as a disc placed by azimuth
// and elevation, north up, east right. Draws a snapshot once.
class polar_plot : public QWidget
{
public:
    explicit polar_plot(QWidget *parent = nullptr);
    ~polar_plot() override;

    // Stores the snapshot (five lists of equal length, element i the same
    // satellite) and schedules a paint; several snapshots before the paint
    // coalesce into one paint of the last. A snapshot the same as the
    // last paint drew, with none waiting, is neither stored nor painted.
    void set_satellites(const QList<float> &elevations, const QList<float> &azimuths,
                        const QList<QString> &labels, const QList<QColor> &outlines,
                        const QList<QColor> &fills);

    // The snapshot held until the next paint (empty once drawn).
    const QList<float> &heldElevations() const { return m_elevations; }
    const QList<float> &heldAzimuths() const { return m_azimuths; }
    const QList<QString> &heldLabels() const { return m_labels; }
    const QList<QColor> &heldOutlines() const { return m_outlines; }
    const QList<QColor> &heldFills() const { return m_fills; }

    // While the data is not current: the last snapshot drawn again at each
    // paint, dimmed, with `text` across it; an empty text ends it.
    void setStale(const QString &text);
    QString staleText() const { return m_staleText; }

protected:
    // Draws the horizon, the 45-degree ring, the compass letters and the
    // stored snapshot, then forgets the snapshot.
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The horizon, the ring and the compass letters into m_background.
    void drawBackground(qreal ratio, const SkyLayout &layout);

    QPainter m_painter;
    QPen m_gridPen;
    QPen m_textPen;
    float m_height = 0;
    float m_width = 0;
    QList<float> m_elevations;
    QList<float> m_azimuths;
    int m_radius = 0;
    QPen m_markerPen;
    QPen m_labelPen;
    QBrush m_markerBrush;
    QPoint m_centre;
    QList<QString> m_labels;
    QList<QColor> m_outlines;
    QList<QColor> m_fills;
    // What the last paint drew, and whether a snapshot waits for a paint.
    struct Shown {
        QList<float> elevations;
        QList<float> azimuths;
        QList<QString> labels;
        QList<QColor> outlines;
        QList<QColor> fills;
    } m_shown;
    bool m_paintPending = false;
    QString m_staleText;
    QPixmap m_background;
    QPoint m_backgroundAt;   // where in its parent the background was taken
    TextCache m_labelTexts{QFont(QStringLiteral("Arial"), 8, 50, false)};
};

#endif // POLAR_PLOT_H
