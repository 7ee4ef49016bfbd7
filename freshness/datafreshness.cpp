#include "freshness/datafreshness.h"

DataFreshness::DataFreshness(QObject *parent)
    : QObject(parent)
{
}

void DataFreshness::epoch(qint64 nowMs, const QTime &clock)
{
    m_seen = true;
    m_lastMs = nowMs;
    m_lastClock = clock;
    setState(State::Live);
}

void DataFreshness::lost()
{
    // Nothing shown yet: nothing to mark as old.
    if (m_seen && m_state == State::Live)
        setState(State::Stale);
}

void DataFreshness::closed()
{
    if (m_seen)
        setState(State::Disconnected);
}

void DataFreshness::check(qint64 nowMs)
{
    if (m_seen && m_state == State::Live && nowMs - m_lastMs > SilenceMs)
        setState(State::Stale);
}

QString DataFreshness::text() const
{
    switch (m_state) {
    case State::Live:
        return QString();
    case State::Stale:
        return tr("No data since %1").arg(m_lastClock.toString(QStringLiteral("hh:mm:ss")));
    case State::Disconnected:
        return tr("Disconnected");
    }
    return QString();
}

void DataFreshness::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit changed();
}
