#ifndef BAR_PLOT_H
#define BAR_PLOT_H

#include <QBrush>
#include <QColor>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QString>
#include <QWidget>

// The CNR bar chart: one bar per satellite of a snapshot with a non-zero
// CNR, on a fixed 0 to 55 dB-Hz scale, coloured by constellation. Draws a
// snapshot once.
class bar_plot : public QWidget
{
    Q_OBJECT

public:
    explicit bar_plot(QWidget *parent = nullptr);
    ~bar_plot() override;

    // Stores the snapshot (four lists of equal length, element i the same
    // satellite) and schedules a paint; several snapshots before the paint
    // coalesce into one paint of the last.
    void set_satellites(const QList<float> &cnrs, const QList<QString> &labels,
                        const QList<QColor> &outlines, const QList<QColor> &fills);

    // The snapshot held until the next paint (empty once drawn).
    const QList<float> &heldCnrs() const { return m_cnrs; }
    const QList<QString> &heldLabels() const { return m_labels; }
    const QList<QColor> &heldOutlines() const { return m_outlines; }
    const QList<QColor> &heldFills() const { return m_fills; }

protected:
    // Draws the axes, the scale and the stored snapshot, then forgets the
    // snapshot.
    void paintEvent(QPaintEvent *event) override;

private:
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
};

#endif // BAR_PLOT_H
