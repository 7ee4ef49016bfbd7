#include "reconnect/reconnectwatch.h"

void ReconnectWatch::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled && m_state == State::Watching)
        m_state = State::Closed;
}

bool ReconnectWatch::opened(const QString &port, const QString &baud)
{
    const bool cameBack = m_state == State::Watching && port == m_port;
    m_state = State::Open;
    m_port = port;
    m_baud = baud;
    return cameBack;
}

bool ReconnectWatch::lost(qint64 nowMs)
{
    if (m_state != State::Open)
        return false;
    m_state = m_enabled ? State::Watching : State::Closed;
    m_nextTryMs = nowMs + SettleMs;
    return isWatching();
}

void ReconnectWatch::closedByUser()
{
    m_state = State::Closed;
}

bool ReconnectWatch::portsScanned(const QStringList &present, qint64 nowMs)
{
    if (m_state != State::Watching || nowMs < m_nextTryMs || !present.contains(m_port))
        return false;
    m_nextTryMs = nowMs + RetryMs;
    return true;
}
