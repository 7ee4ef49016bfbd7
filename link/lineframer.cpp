#include "link/lineframer.h"

QByteArray LineFramer::push(const QByteArray &chunk)
{
    if (chunk.isEmpty())
        return QByteArray();
    m_buffer.append(chunk);

    QByteArray block;
    if (chunk.endsWith('\n')) {
        block.swap(m_buffer);
        return block;
    }
    if (m_buffer.size() <= MaxBuffered)
        return block;
    // Over the bound the complete lines leave and an unfinished one waits,
    // unless it is itself over the bound: a line that long is no sentence,
    // but its bytes belong in the log.
    const int lastFeed = m_buffer.lastIndexOf('\n');
    block = m_buffer.left(lastFeed + 1);
    m_buffer.remove(0, lastFeed + 1);
    if (m_buffer.size() > MaxBuffered) {
        block += m_buffer;
        m_buffer.clear();
    }
    return block;
}

QByteArray LineFramer::takeRest()
{
    QByteArray rest;
    rest.swap(m_buffer);
    return rest;
}
