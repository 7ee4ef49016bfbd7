#include "plots/textcache.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QWidget>

namespace {
// Enough for every label and value of a sky; a cache that grows past it
// (a stream of ever new texts) starts again.
constexpr int MaxTexts = 2000;
}

TextCache::TextCache(const QFont &font)
    : m_font(font)
    , m_lineHeight(QFontMetricsF(font).height())
{
}

void TextCache::draw(QPainter &painter, const QRectF &box, int flags, const QString &text)
{
    auto it = m_texts.find(text);
    if (it == m_texts.end()) {
        if (m_texts.size() >= MaxTexts)
            m_texts.clear();
        QStaticText laidOut(text);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
        laidOut.prepare(painter.transform(), m_font);
        it = m_texts.insert(text, laidOut);
    }
    // The line box as QPainter::drawText sizes it: the text's advance by
    // the font's line height.
    const QSizeF size(it->size().width(), m_lineHeight);
    QPointF at(box.left(), box.top());
    if (flags & Qt::AlignHCenter)
        at.rx() += (box.width() - size.width()) / 2;
    else if (flags & Qt::AlignRight)
        at.rx() += box.width() - size.width();
    if (flags & Qt::AlignVCenter)
        at.ry() += (box.height() - size.height()) / 2;
    else if (flags & Qt::AlignBottom)
        at.ry() += box.height() - size.height();

    const bool overflows = size.width() > box.width() || size.height() > box.height();
    if (overflows) {
        painter.save();
        painter.setClipRect(box, Qt::IntersectClip);
    }
    painter.drawStaticText(at, *it);
    if (overflows)
        painter.restore();
}

QPixmap backdrop(QWidget *widget, qreal ratio)
{
    // Opaque, so that drawing it is a plain copy. A window of its own shows
    // its palette's window colour behind it.
    QImage picture(widget->size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    QWidget *parent = widget->parentWidget();
    picture.fill((parent ? parent : widget)->palette().window().color());
    if (parent)
        parent->render(&picture, QPoint(), QRegion(widget->geometry()), QWidget::DrawWindowBackground);
    return QPixmap::fromImage(picture);
}
