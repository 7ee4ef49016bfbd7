#ifndef SIMPROCESS_H
#define SIMPROCESS_H

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

// Runs the simulated receiver (build/skyloupe-sim) for a test: starts it,
// reads its serial line's path from the first line of its output, collects
// its log of received commands and events, and stops it. The simulator is
// started with --stdin-lifetime, so it also ends when the test process dies.
class SimProcess : public QObject
{
    Q_OBJECT

public:
    // One line of the simulator's log:
    //   "2025-03-01T10:00:05.123Z RX $PAIR004*3E ok"
    struct Entry
    {
        QDateTime utc;
        QString kind;      // RX, TX or EVENT
        QString text;      // the command or reply sentence, or the event's text
        QString status;    // RX only: ok, bad-checksum or not-understood
    };

    explicit SimProcess(QObject *parent = nullptr);
    ~SimProcess() override;

    static QString executable();
    static bool isBuilt();

    // Starts the simulator with these options; true once its line's path is known.
    bool start(const QStringList &arguments, int timeoutMs = 15000);
    // Ends it as the user would (end of input); kills it if it does not go.
    void stop(int timeoutMs = 5000);

    QString portPath() const { return m_portPath; }
    QProcess *process() { return &m_process; }

    // The log so far (events are processed first).
    QList<Entry> log();
    // The commands received with a correct checksum, in order.
    QStringList receivedCommands();
    // Waits, running the event loop, until an entry matches; returns it
    // (an entry with an invalid time when the time ran out).
    Entry waitFor(const std::function<bool(const Entry &)> &match, int timeoutMs);
    Entry waitForCommand(const QString &command, int timeoutMs);
    // Waits until a program has opened the line.
    bool waitForListener(int timeoutMs);
    // Everything the simulator wrote to its standard error.
    QString rawLog() const { return QString::fromLatin1(m_stderr); }

private:
    void readLog();

    QProcess m_process;
    QString m_portPath;
    QByteArray m_stderr;
    QByteArray m_pendingLine;
    QList<Entry> m_entries;
};

// Runs the event loop until `condition` holds or the time runs out.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs);

#endif // SIMPROCESS_H
