#include "link/linehealth.h"
#include "link/checksum.h"

void LineHealth::bytesRead(qint64 total, qint64 nowMs)
{
    if (m_total >= 0 && total > m_total) {
        m_lastByteMs = nowMs;
        if (m_badSinceMs < 0)
            m_badSinceMs = nowMs;
    }
    m_total = total;
}

void LineHealth::take(const QByteArray &block, qint64 nowMs)
{
    int good = 0;
    int start = 0;
    for (int end = block.indexOf('\n'); end >= 0; end = block.indexOf('\n', start)) {
        // A sentence may follow binary data on its line.
        const QByteArray line = block.mid(start, end - start);
        const int dollar = line.indexOf('$');
        if (dollar >= 0 && checksumState(line.mid(dollar)) == ChecksumState::Good)
            ++good;
        start = end + 1;
    }
    m_good += good;
    if (good > 0) {
        m_badSinceMs = -1;
        m_lastByteMs = nowMs;
    }
}

void LineHealth::reset()
{
    const qint64 total = m_total;
    *this = LineHealth();
    m_total = total;
}

bool LineHealth::notNmea(qint64 nowMs) const
{
    return m_badSinceMs >= 0 && nowMs - m_badSinceMs >= NotNmeaAfterMs && nowMs - m_lastByteMs < 1000;
}
