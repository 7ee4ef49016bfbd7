#ifndef BAR_PLOT_H
#define BAR_PLOT_H

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

// The CNR bar chart: one bar per satellite of a snapshot, coloured by
// constellation. Draws a snapshot once.
class bar_plot : public QWidget
{
public:
    explicit bar_plot(QWidget *parent = nullptr);
    ~bar_plot() override;

    void set_satellites(const QList<float> &cnrs, const QList<QString> &labels,
                        const QList<QColor> &outlines, const QList<QColor> &fills);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<float> m_cnrs;
    QList<QString> m_labels;
    QList<QColor> m_outlines;
    QList<QColor> m_fills;
};

#endif // BAR_PLOT_H
