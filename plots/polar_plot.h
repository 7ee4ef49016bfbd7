#ifndef POLAR_PLOT_H
#define POLAR_PLOT_H

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

// The sky view: every satellite of a snapshot as a disc placed by azimuth
// and elevation, north up, east right. Draws a snapshot once.
class polar_plot : public QWidget
{
public:
    explicit polar_plot(QWidget *parent = nullptr);
    ~polar_plot() override;

    void set_satellites(const QList<float> &elevations, const QList<float> &azimuths,
                        const QList<QString> &labels, const QList<QColor> &outlines,
                        const QList<QColor> &fills);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<float> m_elevations;
    QList<float> m_azimuths;
    QList<QString> m_labels;
    QList<QColor> m_outlines;
    QList<QColor> m_fills;
};

#endif // POLAR_PLOT_H
