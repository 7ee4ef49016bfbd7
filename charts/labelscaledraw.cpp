#include "charts/labelscaledraw.h"

#include <qwt_text.h>

#include <cmath>

LabelScaleDraw::LabelScaleDraw(const QStringList &labels, int first)
    : m_labels(labels), m_first(first)
{
}

QwtText LabelScaleDraw::label(double value) const
{
    const long tick = std::lround(value);
    const long index = tick - m_first;
    if (std::fabs(value - double(tick)) > 1e-6 || index < 0 || index >= m_labels.size())
        return QwtText();
    return QwtText(m_labels.at(int(index)));
}
