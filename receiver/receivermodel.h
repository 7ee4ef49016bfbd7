#ifndef RECEIVERMODEL_H
#define RECEIVERMODEL_H

#include "receiver/epoch.h"
#include "receiver/epochassembler.h"

#include <QByteArray>
#include <QObject>

#include <functional>

// What one receiver says, epoch by epoch: takes the blocks read from its
// line and tells the views about each complete epoch.
class ReceiverModel : public QObject
{
    Q_OBJECT

public:
    explicit ReceiverModel(QObject *parent = nullptr);

    // Takes a block of whole lines as read from the line, at monotonicMs()
    // when it arrived (tests pass any clock of their own).
    void addBlock(const QByteArray &block, qint64 receivedMs);

    // The program's monotonic clock in milliseconds, which epochs are
    // stamped with: anything timed against an epoch (a restart command,
    // say) reads this clock.
    static qint64 monotonicMs();
    // A new connection: the epoch being gathered is dropped.
    void reset();
    // The end of the input (a log read to its end, or one epoch of it
    // played back): `unendedLine`, the last line without its line feed,
    // joins the epoch being gathered, which is then finished and shown.
    void finish(const QByteArray &unendedLine, qint64 receivedMs);

    // Called with every line as the epoch assembler has taken it (the log
    // analysis reads the receiver's identity and restarts from it).
    using LineWatcher = std::function<void(const QByteArray &line)>;
    void setLineWatcher(LineWatcher watcher) { m_watchLine = std::move(watcher); }
    // The sequence number of the epoch the latest line went to.
    qint64 currentSequence() const { return m_assembler.currentSequence(); }

    // The latest epoch shown, or an empty one before the first.
    const Epoch &latest() const { return m_latest; }

signals:
    // Every epoch once, in order, when it has ended (the next one began,
    // or, without time, its block ended): for histories and analysis.
    void epochFinished(const Epoch &epoch);
    // The newest complete epoch, at most once a block and as soon as it is
    // known complete: for what the window shows.
    void epochShown(const Epoch &epoch);

private:
    // Hands on the finished epochs and shows the newest complete one.
    void emitEpochs();

    EpochAssembler m_assembler;
    LineWatcher m_watchLine;
    Epoch m_latest;
    int m_shownLines = 0;   // lines the shown epoch had when it was shown
};

#endif // RECEIVERMODEL_H
