#ifndef SENTENCEROWS_H
#define SENTENCEROWS_H

#include "nmea/rowkey.h"

#include <QString>
#include <QVector>

// The sentence table's rows as values: which row a line goes to and how
// often each row has been updated. A row holds the latest line of its key;
// rows fill from the top and never grow past the table's fixed count.
class SentenceRows
{
public:
    explicit SentenceRows(int rows = 200);

    // Where a line goes: the first row from `firstRow` on whose key it
    // shares (updated, its count grows by one), or the first empty row (the
    // line takes it, count 1, `created`), or row -1 when every row is used
    // by another key (the line is dropped).
    struct Placement
    {
        int row = -1;
        bool created = false;
        qint64 count = 0;
    };
    Placement place(const RowKey &key, int firstRow = 0);

    int used() const { return m_used; }

    // A line as its row shows it: at most its first 256 characters, then
    // an ellipsis (NMEA sentences are at most 82; the log keeps it whole).
    static QString shownText(const QString &line);
    // The line a used row shows, empty for an empty row.
    const QString &text(int row) const { return m_texts.at(row); }
    void clear();

private:
    QVector<QString> m_texts;
    QVector<qint64> m_counts;
    int m_used = 0;
};

#endif // SENTENCEROWS_H
