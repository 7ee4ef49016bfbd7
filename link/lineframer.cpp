#include "link/lineframer.h"

#include <QDebug>

QByteArray LineFramer::push(const QByteArray &chunk)
{
    if (chunk.isEmpty())
        return QByteArray();
    m_buffer.append(chunk);

    if (chunk.endsWith('\n')) {
        QByteArray block;
        block.swap(m_buffer);
        return block;
    }
    if (m_buffer.size() <= MaxBuffered)
        return QByteArray();

    // Over the bound: complete lines leave now, a line-feed-free tail that
    // is itself over the bound cannot be a sentence and is dropped.
    const int lastFeed = m_buffer.lastIndexOf('\n');
    QByteArray block;
    if (lastFeed >= 0) {
        block = m_buffer.left(lastFeed + 1);
        m_buffer.remove(0, lastFeed + 1);
    }
    if (m_buffer.size() > MaxBuffered) {
        qDebug() << "receive buffer over" << MaxBuffered << "bytes without a line feed; dropped"
                 << m_buffer.size() << "bytes";
        m_dropped += m_buffer.size();
        m_buffer.clear();
    }
    return block;
}
