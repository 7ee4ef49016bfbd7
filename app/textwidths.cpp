#include "app/textwidths.h"

#include <QFontMetrics>

#include <algorithm>

TextWidths::TextWidths(const QFont &font)
    : m_font(font)
{
    const QFontMetrics metrics(font);
    for (int c = 0; c < 128; ++c)
        m_advance[c] = metrics.horizontalAdvance(QChar(c));
}

int TextWidths::width(const QString &text) const
{
    if (!isPlain(text))
        return QFontMetrics(m_font).horizontalAdvance(text);
    int sum = 0;
    for (const QChar c : text)
        sum += m_advance[c.unicode()];
    return sum;
}

bool TextWidths::isPlain(const QString &text)
{
    // The "\r" a line keeps draws nothing.
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return (c.unicode() >= 0x20 && c.unicode() < 0x7F) || c == QLatin1Char('\r'); });
}
