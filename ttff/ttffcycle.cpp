#include "ttff/ttffcycle.h"

bool takeTtffStart(bool &startedThisBlock, bool dialogActive)
{
    if (!dialogActive)
        return false;
    const bool start = !startedThisBlock;
    startedThisBlock = true;
    return start;
}

QString ttffLcdText(qint64 elapsedMs)
{
    if (elapsedMs < 0)
        elapsedMs = 0;
    // Round to hundredths first, so the switch to whole seconds happens
    // exactly where two decimals stop fitting ("999.99" is the last).
    const qint64 hundredths = (elapsedMs + 5) / 10;
    if (hundredths >= 100000)
        return QString::number(hundredths / 100);
    return QStringLiteral("%1.%2")
        .arg(hundredths / 100)
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

void TtffDisplay::start(qint64 nowMs)
{
    m_startMs = nowMs;
    m_state = State::Counting;
}

void TtffDisplay::stop()
{
    if (m_state == State::Counting)
        m_state = State::Stopped;
}

QString TtffDisplay::tick(qint64 nowMs)
{
    if (m_state == State::Counting)
        m_shown = ttffLcdText(nowMs - m_startMs);
    return m_shown;
}
