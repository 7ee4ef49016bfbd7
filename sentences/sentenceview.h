#ifndef SENTENCEVIEW_H
#define SENTENCEVIEW_H

#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QTableWidget;
class SentenceCounter;

// Sentence rates and errors on screen: a table with a row per sentence
// type (rate over the last 10 s, count, checksum errors, sentences without
// a checksum, long or cut ones, seconds since the last) and the totals
// below. A table of its own rather than columns added to the "NMEA" tab:
// that table keeps a row per line kind (each GSV message, each GSA system)
// with the latest text and is filled line by line where every block
// arrives, while these figures are per sentence type, include lines that
// table never shows (broken addresses, binary), and only need to be read
// once a second, by a view nobody pays for while it is hidden.
class SentenceView : public QWidget
{
    Q_OBJECT

public:
    explicit SentenceView(SentenceCounter *counter, QWidget *parent = nullptr);

    QTableWidget *table() const { return m_table; }
    // The clock the counter was given its blocks by (a log played back
    // counts in its own UTC time); the program's monotonic clock until set.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    // Fills the table and the totals from the counter now.
    void refresh();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    SentenceCounter *m_counter;
    std::function<qint64()> m_clock;
    QTableWidget *m_table;
    QLabel *m_totals;
    QTimer m_ticker;   // once a second while shown: rates and ages move on
};

#endif // SENTENCEVIEW_H
