#ifndef JOINTCAMPAIGN_H
#define JOINTCAMPAIGN_H

#include "campaign/campaignrun.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

// One TTFF campaign on several receivers at once (a reference and the
// module under test): a CampaignRun per receiver times each first fix from
// its own restart, while this keeps them in step. Every restart goes to all
// receivers in one call (the same event-loop turn); the next one waits
// until every receiver has its fix or timed out, and the settle time after
// the latest. Pause and Stop act on all; a run that stops (its port lost)
// stops the others. Clock-free like CampaignRun.
class JointCampaign : public QObject
{
    Q_OBJECT

public:
    // One run per name ("/dev/ttyUSB0"), in this order.
    explicit JointCampaign(const QStringList &names, QObject *parent = nullptr);

    int receiverCount() const { return int(m_runs.size()); }
    QString name(int receiver) const { return m_names.at(receiver); }
    CampaignRun *run(int receiver) const { return m_runs.at(receiver); }

    // Why it cannot start ("" when it can); `portOpen` per receiver.
    QString refusal(const CampaignSetup &setup, const QVector<bool> &portOpen) const;
    // Starts all runs, each asking for its first restart at once.
    QString start(const CampaignSetup &setup, const QVector<bool> &portOpen, qint64 nowMs);
    // Applies the timeouts; sends the next restart to all when every
    // receiver is done and settled.
    void tick(qint64 nowMs);
    // The restart asked for with restartDue went out to `receiver` at writeMs.
    void restartWritten(int receiver, qint64 writeMs, const QDateTime &utc)
    {
        m_runs.at(receiver)->restartWritten(writeMs, utc);
    }
    void pause();
    void resume(qint64 nowMs);
    void stop(const QString &reason);

    // Idle, Measuring (a receiver still waits for its fix), Settling,
    // Paused, Finished or Stopped, for all receivers together.
    CampaignRun::State state() const;
    bool isRunning() const;
    bool pausePending() const { return m_paused && state() == CampaignRun::State::Measuring; }
    // Cycles every receiver has finished.
    int cyclesDone() const;
    int totalCycles() const { return m_runs.first()->totalCycles(); }
    QString message() const { return m_message; }

signals:
    // Send this restart to `receiver` now and call restartWritten.
    void restartDue(int receiver, RestartKind kind);
    // Cycle `index` (0 for the first) has ended on every receiver.
    void rowFinished(int index);
    void stateChanged(CampaignRun::State state);

private:
    void restartAll(qint64 nowMs);
    void cycleEnded(const CampaignCycle &cycle);
    void runStateChanged(int receiver, CampaignRun::State state);
    void showState();

    QStringList m_names;
    QVector<CampaignRun *> m_runs;     // children
    qint64 m_nextRestartMs = 0;
    bool m_paused = false;             // by the user
    QString m_message;
    CampaignRun::State m_shown = CampaignRun::State::Idle;
};

// The CSV files of a joint campaign: the cycle and kind, then each
// receiver's columns of the single campaign's file (docs/campaign.csv)
// prefixed by its name: "cycle,kind,/dev/pts/3_start_utc,/dev/pts/3_ttff_s,
// ...,/dev/pts/4_start_utc,...". The summary has the receiver first:
// "receiver,kind,count,failures,min_s,...".
namespace JointCampaignCsv {

QByteArray cycleHeader(const QStringList &names);
// Cycle `index` of every receiver in one line (each has finished it).
QByteArray cycleRow(const JointCampaign &campaign, int index);
QByteArray summary(const JointCampaign &campaign);

} // namespace JointCampaignCsv

#endif // JOINTCAMPAIGN_H
