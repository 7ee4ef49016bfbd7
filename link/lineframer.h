#ifndef LINEFRAMER_H
#define LINEFRAMER_H

#include <QByteArray>

// Turns the chunks a serial port delivers into blocks of complete lines.
// A block is everything received since the previous block, released when a
// chunk ends in a line feed; bytes are kept exactly as received, and none
// is ever dropped.
class LineFramer
{
public:
    // Past this many buffered bytes the complete lines leave at once, and a
    // line that is itself longer leaves too, so a stream whose chunks never
    // end in a line feed cannot grow memory; such a block may end inside a
    // line.
    static constexpr int MaxBuffered = 64 * 1024;

    // Appends a chunk and returns the block it releases, or an empty array.
    QByteArray push(const QByteArray &chunk);
    // What waits for its line feed, taken out: the end of the stream.
    QByteArray takeRest();

    int buffered() const { return m_buffer.size(); }
    void clear() { m_buffer.clear(); }

private:
    QByteArray m_buffer;
};

#endif // LINEFRAMER_H
