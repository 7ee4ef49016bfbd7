#ifndef COMMANDANSWERS_H
#define COMMANDANSWERS_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

// The receiver's acknowledgements of the commands a user sent: a command
// "$PAIR050,1000*12" waits for "$PAIR001,050,<result>" ("$PMTK605" for
// "$PAIR001,605,..."); each step says what the status bar should show
// (note). Time is passed in, in milliseconds of a monotonic clock.
class CommandAnswers : public QObject
{
    Q_OBJECT

public:
    // An acknowledgement later than this after its command is none.
    static constexpr qint64 TimeoutMs = 3000;

    explicit CommandAnswers(QObject *parent = nullptr);

    // A command went to the receiver at `nowMs`: "Sent PAIR050,1000".
    void expect(const QByteArray &command, qint64 nowMs);
    // A received line; an acknowledgement of a waiting command ends its
    // wait: "PAIR050,1000: accepted" (result 0) or "...: result 3".
    // Anything else, or an answer nobody waits for, is ignored.
    void take(const QByteArray &line);
    // Commands waiting longer than TimeoutMs at `nowMs` end:
    // "PAIR050,1000: no answer within 3 s".
    void check(qint64 nowMs);
    bool isWaiting() const { return !m_waiting.isEmpty(); }

    // "$PAIR050,1000*12\r\n" -> "050"; "$PMTK605*31" -> "605"; empty for
    // a sentence that is no PAIR or PMTK command.
    static QByteArray commandNumber(const QByteArray &command);

signals:
    void note(const QString &text);

private:
    struct Waiting
    {
        QByteArray number;
        QString shown;   // the command without "$", checksum and line end
        qint64 sentMs;
    };
    QList<Waiting> m_waiting;
};

#endif // COMMANDANSWERS_H
