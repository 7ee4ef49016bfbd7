#ifndef TEXTCACHE_H
#define TEXTCACHE_H

#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QRectF>
#include <QStaticText>
#include <QString>

class QPainter;

// Draws short texts that come again paint after paint (satellite labels,
// CNR values, scale numbers) from laid-out copies, so each is shaped once
// instead of at every paint. Placed and clipped in their box as
// QPainter::drawText places and clips them.
class TextCache
{
public:
    explicit TextCache(const QFont &font);

    const QFont &font() const { return m_font; }
    // Draws `text` in `box` with the alignment flags (Qt::AlignLeft,
    // AlignRight, AlignHCenter, AlignTop, AlignBottom, AlignVCenter), in the
    // painter's current pen. The painter's font must be font().
    void draw(QPainter &painter, const QRectF &box, int flags, const QString &text);

private:
    QFont m_font;
    qreal m_lineHeight;
    QHash<QString, QStaticText> m_texts;
};

class QWidget;

// What shows behind `widget` (its parent's background), as a picture of the
// widget's size at the device pixel ratio, for a plot that draws its fixed
// parts once and then paints itself whole: the window then need not paint
// the parent under it at every paint.
QPixmap backdrop(QWidget *widget, qreal ratio);

#endif // TEXTCACHE_H
