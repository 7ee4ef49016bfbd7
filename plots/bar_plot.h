#ifndef BAR_PLOT_H
#define BAR_PLOT_H

#include <QBrush>
#include <QColor>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QString>
#include <QPixmap>
#include <QWidget>

#include "plots/textcache.h"

// The CNR bar chart: one bar per satellite of a snapshot with a non-zero
// CNR, on a fixed 0 to 55 dB-Hz scale, coloured by constellation. A receiver
// that tracks several signals of a satellite gets one bar per signal, side
// by side under the satellite's label, each marked by its band. Draws a
// snapshot once.
class bar_plot : public QWidget
{
    Q_OBJECT

public:
    explicit bar_plot(QWidget *parent = nullptr);
    ~bar_plot() override;

    // Stores the snapshot (four lists of equal length, element i the same
    // satellite) and schedules a paint; several snapshots before the paint
    // coalesce into one paint of the last. A snapshot the same as the
    // last paint drew, with none waiting, is neither stored nor painted.
    void set_satellites(const QList<float> &cnrs, const QList<QString> &labels,
                        const QList<QColor> &outlines, const QList<QColor> &fills);

    // The band (Band of the receiver model: 0 L1, 1 L2, 2 L5, 3 E5b, 4 E6)
    // and the signal's name of each entry of the next snapshot, whose
    // consecutive entries with one label are one satellite's signals. With
    // none given, or all of one band, the chart is the single-band chart.
    void set_bands(const QList<int> &bands, const QList<QString> &signalNames);

    // The snapshot held until the next paint (empty once drawn).
    const QList<float> &heldCnrs() const { return m_cnrs; }
    const QList<QString> &heldLabels() const { return m_labels; }
    const QList<QColor> &heldOutlines() const { return m_outlines; }
    const QList<QColor> &heldFills() const { return m_fills; }

    // While the data is not current: the last snapshot drawn again at each
    // paint, dimmed, with `text` across it; an empty text ends it.
    void setStale(const QString &text);
    QString staleText() const { return m_staleText; }

protected:
    // Draws the axes, the scale and the stored snapshot, then forgets the
    // snapshot.
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The bands drawn and the signals of each, in a row along the top.
    void drawBandLegend(QList<int> bands, int count);
    // The axes, the scale and the title into m_background.
    void drawBackground(qreal ratio);

    QPainter m_painter;
    QPen m_axisPen;
    float m_height = 0;
    float m_width = 0;
    QList<float> m_cnrs;
    QPen m_barPen;
    QPen m_textPen;
    QBrush m_brush;
    QList<QString> m_labels;
    QList<QColor> m_outlines;
    QList<QColor> m_fills;
    int m_barCount = 0;
    QList<int> m_bands;
    QList<QString> m_signalNames;
    // What the last paint drew, and whether a snapshot waits for a paint.
    struct Shown {
        QList<float> cnrs;
        QList<QString> labels;
        QList<QColor> outlines;
        QList<QColor> fills;
        QList<int> bands;
        QList<QString> signalNames;
    } m_shown;
    bool m_paintPending = false;
    QString m_staleText;
    QPixmap m_background;
    QPoint m_backgroundAt;   // where in its parent the background was taken
    TextCache m_barTexts{QFont(QStringLiteral("Arial"), 7, 50, false)};
};

#endif // BAR_PLOT_H
