#ifndef CAMPAIGNRUN_H
#define CAMPAIGNRUN_H

#include "campaign/campaignstatistics.h"
#include "campaign/fixrule.h"
#include "link/receivercommands.h"
#include "receiver/epoch.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVector>

#include <limits>
#include <optional>

using RestartKind = ReceiverCommands::Restart;

// "HOT", "WARM", "COLD", "FULL": as the TTFF dialog names them.
QString restartKindName(RestartKind kind);

// What a campaign runs.
struct CampaignSetup
{
    QVector<RestartKind> kinds{RestartKind::Hot, RestartKind::Cold};
    int cyclesPerKind = 10;
    FixRule fixRule = FixRule::GgaOrRmc;
    int timeoutMs = 300000;   // a cycle without a fix by then fails
    int settleMs = 5000;      // from a fix to the next restart
    std::optional<ReferencePosition> reference;

    // The restarts in sending order, the kinds interleaved: H C H C ...
    QVector<RestartKind> schedule() const;
};

// One restart and its first fix.
struct CampaignCycle
{
    int number = 0;           // 1 for the first
    RestartKind kind = RestartKind::Hot;
    QDateTime startUtc;       // when the restart was written
    qint64 ttffMs = -1;       // to 10 ms; -1: timed out
    int satellitesUsed = 0;   // at the first fix
    float topFourCnr = 0;     // dB-Hz, the four strongest satellites at the first fix
    bool hasPosition = false;
    double latitude = 0;
    double longitude = 0;
    double altitude = std::numeric_limits<double>::quiet_NaN();
    // Metres from the reference position; NaN without one.
    double horizontalErrorM = std::numeric_limits<double>::quiet_NaN();
    qint64 spanMs = 0;        // restart to fix or timeout, for the time estimate

    bool failed() const { return ttffMs < 0; }
};

// Runs a TTFF campaign: asks for each restart in turn, times it to the first
// fix in the epochs it is handed, records the cycles and keeps the pace
// (settle time, timeout, pause). Clock-free: each call passes the monotonic
// time (ReceiverModel::monotonicMs()), so a test states the times.
class CampaignRun : public QObject
{
    Q_OBJECT

public:
    enum class State { Idle, Settling, Measuring, Paused, Finished, Stopped };
    Q_ENUM(State)

    explicit CampaignRun(QObject *parent = nullptr);

    // Why a campaign of `setup` cannot start now ("" when it can): no port
    // open, no kind, no cycle, one running, or the RTK kind while
    // `noCorrections` says why no corrections are flowing.
    QString refusal(const CampaignSetup &setup, bool portOpen, const QString &noCorrections = QString()) const;
    // Starts a campaign and asks for its first restart at once; returns the
    // refusal when it cannot start.
    QString start(const CampaignSetup &setup, bool portOpen, qint64 nowMs);
    // Applies the timeout and sends the next restart when its time came.
    void tick(qint64 nowMs);
    // The restart asked for with restartDue went out at writeMs (utc).
    void restartWritten(qint64 writeMs, const QDateTime &utc);
    // What the receiver sent, in arrival order: blocks as read, epochs
    // when finished.
    void takeBlock(const QByteArray &block, qint64 receivedMs);
    void takeEpoch(const Epoch &epoch);
    // Pause holds the next restart; a cycle under way finishes first.
    void pause();
    void resume(qint64 nowMs);
    // Ends the campaign, keeping the finished cycles; `reason` says why.
    void stop(const QString &reason);
    // The port went away (`message` says how), or closed: a running
    // campaign stops with the cycles done.
    void portLost(const QString &message);
    void portStatus(bool open);

    State state() const { return m_state; }
    bool isRunning() const;
    bool pausePending() const { return m_pauseAfterCycle; }
    const CampaignSetup &setup() const { return m_setup; }
    const QVector<CampaignCycle> &cycles() const { return m_cycles; }
    int totalCycles() const { return int(m_schedule.size()); }
    // The kind of the cycle at `index` (0 for the first) of the schedule.
    RestartKind kindAt(int index) const { return m_schedule.at(index); }
    QString message() const { return m_message; }
    // When the next restart is due, once a cycle has finished.
    qint64 nextRestartMs() const { return m_nextRestartMs; }
    // Milliseconds since the current restart was written; -1 between cycles.
    qint64 elapsedMs(qint64 nowMs) const;
    // Time left, from the mean span of the finished cycles of each kind
    // (of all kinds for a kind not yet run) plus the settle time; -1 before
    // any cycle finished.
    qint64 remainingMs(qint64 nowMs) const;
    TtffSummary summary(RestartKind kind) const;

signals:
    // Send this restart now and call restartWritten.
    void restartDue(RestartKind kind);
    void cycleFinished(const CampaignCycle &cycle);
    void stateChanged(CampaignRun::State state);

private:
    // Records the cycle; the next restart is due a settle time after nextFromMs.
    void finishCycle(CampaignCycle cycle, qint64 nextFromMs);
    void setState(State state);
    qint64 expectedSpanMs(RestartKind kind) const;

    CampaignSetup m_setup;
    QVector<RestartKind> m_schedule;
    QVector<CampaignCycle> m_cycles;
    State m_state = State::Idle;
    QString m_message;
    bool m_pauseAfterCycle = false;
    qint64 m_nextRestartMs = 0;
    qint64 m_writeMs = 0;
    QDateTime m_startUtc;
    FirstFixWatch m_watch;
};

Q_DECLARE_METATYPE(CampaignCycle)

#endif // CAMPAIGNRUN_H
