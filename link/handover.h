#ifndef HANDOVER_H
#define HANDOVER_H

#include <QByteArray>
#include <QMutex>

// What the serial worker has read and the window has not yet taken, all of
// it and in order. The worker tells the window only when the window has
// taken everything before, so at most one call waits in the window's queue
// however fast bytes come; what arrives meanwhile joins the pending bytes,
// and the window takes them with the block it was told of. Used from both
// threads.
class BlockHandover
{
public:
    // Worker: a block read. True when the window must be told of it (the
    // block then travels with the call); false when it joined the pending
    // bytes of a call already on its way.
    bool put(const QByteArray &block);
    // Window: everything that joined since it was told, emptied; after this
    // the next block is told again.
    QByteArray takePending();
    // Bytes waiting, for figures.
    int pendingBytes();

private:
    QMutex m_mutex;
    QByteArray m_pending;
    bool m_told = false;
};

#endif // HANDOVER_H
