#ifndef LABELSCALEDRAW_H
#define LABELSCALEDRAW_H

#include <QStringList>

#include <qwt_scale_draw.h>

// An axis that names its whole-number ticks: tick `first` + i reads
// labels[i] (restart kinds under their boxes, satellites under their
// bars); other values, and ticks past the list, read nothing.
class LabelScaleDraw : public QwtScaleDraw
{
public:
    explicit LabelScaleDraw(const QStringList &labels, int first = 0);

    QwtText label(double value) const override;

private:
    QStringList m_labels;
    int m_first;
};

#endif // LABELSCALEDRAW_H
