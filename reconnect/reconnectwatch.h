#ifndef RECONNECTWATCH_H
#define RECONNECTWATCH_H

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Decides when a port that went away without the user closing it (a
// receiver unplugged) is opened again. The window tells it what happens to
// the connection and, at each port scan, which ports are present; it
// answers whether to reconnect now. Times are milliseconds of any
// monotonic clock, passed in.
class ReconnectWatch
{
public:
    enum class State {
        Closed,     // no port open, none watched for
        Open,       // a port is open
        Watching,   // the open port went away; waiting for it to come back
    };

    // Off: a lost port is not watched for, and a watch in progress ends.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // `port` is open at `baud`. True when this ends a watch: the port came back.
    bool opened(const QString &port, const QString &baud);
    // The open port went away by itself at `nowMs`. True when a watch starts.
    bool lost(qint64 nowMs);
    // The user closed the port, or pressed Disconnect while waiting.
    void closedByUser();
    // A scan at `nowMs` found `present`. True when the watched port is among
    // them and the last try is long enough ago: open it now. A try that
    // fails leaves the watch on and is repeated RetryMs later.
    bool portsScanned(const QStringList &present, qint64 nowMs);

    State state() const { return m_state; }
    bool isWatching() const { return m_state == State::Watching; }
    QString port() const { return m_port; }
    QString baud() const { return m_baud; }

    // A device node that reappears needs a moment before it can be opened
    // (the system sets its permissions); a refused try is not repeated at
    // every scan.
    static constexpr qint64 SettleMs = 1000;
    static constexpr qint64 RetryMs = 5000;

private:
    State m_state = State::Closed;
    bool m_enabled = true;
    QString m_port;
    QString m_baud;
    qint64 m_nextTryMs = 0;
};

#endif // RECONNECTWATCH_H
