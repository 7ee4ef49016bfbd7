#ifndef STALESHADE_H
#define STALESHADE_H

#include <QString>
#include <QWidget>

class QPainter;

// A view's content dimmed, with why it is not current ("No data since
// 12:34:56", "Disconnected") across its middle. Laid over a widget that
// draws itself (a table), or painted by a view at the end of its paint.
class StaleShade : public QWidget
{
    Q_OBJECT

public:
    // Covers `view` (its whole rectangle, following its size); hidden
    // while the text is empty.
    explicit StaleShade(QWidget *view);

    void setText(const QString &text);
    QString text() const { return m_text; }

    // Dims `area` and writes `text` in its middle; nothing for an empty text.
    static void paint(QPainter &painter, const QRect &area, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};

#endif // STALESHADE_H
