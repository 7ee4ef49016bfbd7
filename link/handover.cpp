#include "link/handover.h"

#include <QMutexLocker>

bool BlockHandover::put(const QByteArray &block)
{
    QMutexLocker lock(&m_mutex);
    if (!m_told) {
        m_told = true;
        return true;
    }
    m_pending += block;
    return false;
}

QByteArray BlockHandover::takePending()
{
    QMutexLocker lock(&m_mutex);
    QByteArray pending;
    pending.swap(m_pending);
    m_told = false;
    return pending;
}

int BlockHandover::pendingBytes()
{
    QMutexLocker lock(&m_mutex);
    return m_pending.size();
}
