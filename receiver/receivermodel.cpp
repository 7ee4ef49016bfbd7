#include "receiver/receivermodel.h"

#include <QElapsedTimer>

ReceiverModel::ReceiverModel(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<Epoch>();
}

void ReceiverModel::addBlock(const QByteArray &block, qint64 receivedMs)
{
    // The piece after the last line feed is not a line yet.
    int start = 0;
    for (int end = block.indexOf('\n'); end >= 0; end = block.indexOf('\n', start)) {
        // A view of the block: the assembler keeps nothing of a line.
        const QByteArray line = QByteArray::fromRawData(block.constData() + start, end - start);
        m_assembler.addLine(line, receivedMs);
        if (m_watchLine)
            m_watchLine(line);
        start = end + 1;
    }
    m_assembler.endBlock();
    emitEpochs();
}

void ReceiverModel::finish(const QByteArray &unendedLine, qint64 receivedMs)
{
    if (!unendedLine.isEmpty()) {
        m_assembler.addLine(unendedLine, receivedMs);
        if (m_watchLine)
            m_watchLine(unendedLine);
    }
    m_assembler.finish();
    emitEpochs();
}

void ReceiverModel::emitEpochs()
{
    const QVector<Epoch> finished = m_assembler.takeFinished();
    for (const Epoch &epoch : finished)
        emit epochFinished(epoch);

    // Show the newest complete epoch unless it was shown as it is now.
    Epoch newest;
    if (m_assembler.currentLooksComplete())
        newest = m_assembler.current();
    else if (!finished.isEmpty())
        newest = finished.last();
    else
        return;
    if (newest.sequence == m_latest.sequence && newest.lines == m_shownLines)
        return;
    m_latest = newest;
    m_shownLines = newest.lines;
    emit epochShown(m_latest);
}

qint64 ReceiverModel::monotonicMs()
{
    QElapsedTimer now;
    now.start();
    return now.msecsSinceReference();
}

void ReceiverModel::reset()
{
    m_assembler.reset();
    m_latest = Epoch();
    m_shownLines = 0;
}
