#include "freshness/staleshade.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

StaleShade::StaleShade(QWidget *view)
    : QWidget(view)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(view->rect());
    view->installEventFilter(this);
    hide();
}

void StaleShade::setText(const QString &text)
{
    m_text = text;
    setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
        raise();
        update();
    }
}

bool StaleShade::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void StaleShade::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter, rect(), m_text);
}

void StaleShade::paint(QPainter &painter, const QRect &area, const QString &text)
{
    if (text.isEmpty())
        return;
    painter.save();
    painter.fillRect(area, QColor(128, 128, 128, 140));
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSizeF(std::max(9.0, std::min(16.0, area.height() / 12.0)));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QRect box = metrics.boundingRect(text).adjusted(-12, -6, 12, 6);
    const QRect centred(area.center() - QPoint(box.width() / 2, box.height() / 2), box.size());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 40, 210));
    painter.drawRect(centred);
    painter.setPen(Qt::white);
    painter.drawText(centred, Qt::AlignCenter, text);
    painter.restore();
}
