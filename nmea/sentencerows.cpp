#include "nmea/sentencerows.h"

SentenceRows::SentenceRows(int rows)
    : m_texts(rows)
    , m_counts(rows, 0)
{
}

SentenceRows::Placement SentenceRows::place(const RowKey &key, int firstRow)
{
    if (!key.isSentence())
        return {};
    // Rows fill from the top, so the used ones are an unbroken run.
    for (int row = firstRow; row < m_used; ++row) {
        if (key.sharesRow(m_texts.at(row))) {
            m_texts[row] = key.text();
            return {row, false, ++m_counts[row]};
        }
    }
    const int row = qMax(m_used, firstRow);
    if (row >= m_texts.size())
        return {};
    m_texts[row] = key.text();
    m_counts[row] = 1;
    m_used = row + 1;
    return {row, true, 1};
}

void SentenceRows::clear()
{
    for (QString &text : m_texts)
        text.clear();
    m_counts.fill(0);
    m_used = 0;
}

QString SentenceRows::shownText(const QString &line)
{
    constexpr int Shown = 256;
    return line.size() > Shown ? line.left(Shown) + QChar(0x2026) : line;
}
