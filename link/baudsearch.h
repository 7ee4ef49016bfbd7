#ifndef BAUDSEARCH_H
#define BAUDSEARCH_H

#include <QList>

// Finding a receiver's baud rate: listen at each common rate in turn, for at
// most ListenMs each, and take the first at which enough sentences with a
// right checksum arrive; when none reaches that, the one with the most. Time
// is passed in.
class BaudSearch
{
public:
    static constexpr qint64 ListenMs = 1500;
    static constexpr int Enough = 3;
    static const QList<int> &commonRates();   // 4800 to 921600

    explicit BaudSearch(const QList<int> &rates = commonRates());

    // Starts at the first rate; returns it.
    int start(qint64 nowMs);
    // The good sentences heard at the current rate so far. Returns the
    // rate to listen at next, the current one while listening goes on, or
    // 0 when the search is over.
    int heard(int goodSentences, qint64 nowMs);

    bool finished() const { return m_index >= m_rates.size(); }
    // The rate found, 0 for none; meaningful once finished.
    int found() const { return m_found; }
    int current() const { return finished() ? 0 : m_rates.at(m_index); }

private:
    QList<int> m_rates;
    int m_index = 0;
    qint64 m_since = 0;
    int m_found = 0;
    int m_bestCount = 0;
};

#endif // BAUDSEARCH_H
