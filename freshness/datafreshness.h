#ifndef DATAFRESHNESS_H
#define DATAFRESHNESS_H

#include <QObject>
#include <QString>
#include <QTime>

// Whether what the views show is current: live while epochs come, stale
// ("No data since 12:34:56") once the source is lost or the receiver has
// been silent for 3 s, "Disconnected" after the user closed the source;
// live again with the first new epoch. Time is passed in: milliseconds of
// a monotonic clock, and the wall-clock time the text shows.
class DataFreshness : public QObject
{
    Q_OBJECT

public:
    enum class State { Live, Stale, Disconnected };
    static constexpr qint64 SilenceMs = 3000;

    explicit DataFreshness(QObject *parent = nullptr);

    // An epoch was shown at `nowMs`, wall-clock `clock`.
    void epoch(qint64 nowMs, const QTime &clock);
    // The source went away by itself (unplugged, hung up).
    void lost();
    // The user closed the source.
    void closed();
    // Stale when live and silent for more than SilenceMs at `nowMs`.
    void check(qint64 nowMs);

    State state() const { return m_state; }
    // What the views say over their dimmed content; empty while live.
    QString text() const;

signals:
    void changed();

private:
    void setState(State state);

    State m_state = State::Live;
    bool m_seen = false;   // an epoch came since the start
    qint64 m_lastMs = 0;
    QTime m_lastClock;
};

#endif // DATAFRESHNESS_H
