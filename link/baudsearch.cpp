#include "link/baudsearch.h"

const QList<int> &BaudSearch::commonRates()
{
    static const QList<int> rates{4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};
    return rates;
}

BaudSearch::BaudSearch(const QList<int> &rates)
    : m_rates(rates)
{
}

int BaudSearch::start(qint64 nowMs)
{
    m_index = 0;
    m_since = nowMs;
    m_found = 0;
    m_bestCount = 0;
    return current();
}

int BaudSearch::heard(int goodSentences, qint64 nowMs)
{
    if (finished())
        return 0;
    if (goodSentences > m_bestCount) {
        m_bestCount = goodSentences;
        m_found = m_rates.at(m_index);
    }
    if (goodSentences >= Enough) {
        m_index = m_rates.size();   // found
        return 0;
    }
    if (nowMs - m_since < ListenMs)
        return current();
    ++m_index;
    m_since = nowMs;
    return current();
}
