#ifndef LINEFRAMER_H
#define LINEFRAMER_H

#include <QByteArray>

// Turns the chunks a serial port delivers into blocks of complete lines.
// A block is everything received since the previous block, released when a
// chunk ends in a line feed; bytes are kept exactly as received.
class LineFramer
{
public:
    // Past this many buffered bytes the complete lines leave at once, so a
    // stream whose chunks never end in a line feed cannot grow memory.
    static constexpr int MaxBuffered = 64 * 1024;

    // Appends a chunk and returns the block it releases, or an empty array.
    // Text beyond the bound that holds no line feed is dropped (counted in
    // droppedBytes()).
    QByteArray push(const QByteArray &chunk);

    int buffered() const { return m_buffer.size(); }
    qint64 droppedBytes() const { return m_dropped; }
    void clear() { m_buffer.clear(); }

private:
    QByteArray m_buffer;
    qint64 m_dropped = 0;
};

#endif // LINEFRAMER_H
