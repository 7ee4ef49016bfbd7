#include "campaign/jointcampaign.h"

#include "campaign/campaignfile.h"

#include <algorithm>

JointCampaign::JointCampaign(const QStringList &names, QObject *parent)
    : QObject(parent), m_names(names)
{
    for (int i = 0; i < names.size(); ++i) {
        auto *run = new CampaignRun(this);
        m_runs.append(run);
        connect(run, &CampaignRun::restartDue, this, [this, i](RestartKind kind) { emit restartDue(i, kind); });
        connect(run, &CampaignRun::cycleFinished, this, &JointCampaign::cycleEnded);
        connect(run, &CampaignRun::stateChanged, this, [this, i](CampaignRun::State s) { runStateChanged(i, s); });
    }
}

QString JointCampaign::refusal(const CampaignSetup &setup, const QVector<bool> &portOpen) const
{
    for (int i = 0; i < m_runs.size(); ++i) {
        const QString reason = m_runs.at(i)->refusal(setup, portOpen.value(i));
        if (!reason.isEmpty())
            return tr("%1: %2").arg(m_names.at(i), reason);
    }
    return QString();
}

QString JointCampaign::start(const CampaignSetup &setup, const QVector<bool> &portOpen, qint64 nowMs)
{
    const QString reason = refusal(setup, portOpen);
    if (!reason.isEmpty())
        return reason;
    m_paused = false;
    m_message.clear();
    // Each run asks for its restart as it starts; held paused after it, so
    // no run goes on to its next restart by itself.
    for (CampaignRun *run : qAsConst(m_runs)) {
        run->start(setup, true, nowMs);
        if (!run->isRunning())
            break;
        run->pause();
    }
    showState();
    return QString();
}

void JointCampaign::tick(qint64 nowMs)
{
    for (CampaignRun *run : qAsConst(m_runs))
        run->tick(nowMs);
    if (!m_paused && state() == CampaignRun::State::Settling && nowMs >= m_nextRestartMs)
        restartAll(nowMs);
}

void JointCampaign::restartAll(qint64 nowMs)
{
    for (int i = 0; i < m_runs.size(); ++i) {
        m_runs.at(i)->resume(nowMs);
        if (!m_runs.at(i)->isRunning())
            break;
        m_runs.at(i)->pause();
    }
    showState();
}

void JointCampaign::cycleEnded(const CampaignCycle &cycle)
{
    if (cyclesDone() < cycle.number)
        return;
    // The settle time after the later fix (or timeout) of the receivers.
    m_nextRestartMs = 0;
    for (const CampaignRun *run : qAsConst(m_runs))
        m_nextRestartMs = qMax(m_nextRestartMs, run->nextRestartMs());
    emit rowFinished(cycle.number - 1);
}

int JointCampaign::cyclesDone() const
{
    int done = std::numeric_limits<int>::max();
    for (const CampaignRun *run : m_runs)
        done = qMin(done, int(run->cycles().size()));
    return done;
}

void JointCampaign::pause()
{
    m_paused = true;
    showState();
}

void JointCampaign::resume(qint64 nowMs)
{
    m_paused = false;
    m_nextRestartMs = nowMs;
    showState();
    tick(nowMs);
}

void JointCampaign::stop(const QString &reason)
{
    if (std::none_of(m_runs.cbegin(), m_runs.cend(), [](const CampaignRun *r) { return r->isRunning(); }))
        return;
    if (m_message.isEmpty())
        m_message = reason;
    for (CampaignRun *run : qAsConst(m_runs))
        run->stop(reason);
}

void JointCampaign::runStateChanged(int receiver, CampaignRun::State state)
{
    // A receiver's port lost stops the others: the cycles stay side by side.
    if (state == CampaignRun::State::Stopped)
        stop(tr("%1: %2").arg(m_names.at(receiver), m_runs.at(receiver)->message()));
    showState();
}

CampaignRun::State JointCampaign::state() const
{
    bool measuring = false, finished = true, idle = true;
    for (const CampaignRun *run : m_runs) {
        const CampaignRun::State s = run->state();
        if (s == CampaignRun::State::Stopped)
            return s;
        measuring = measuring || s == CampaignRun::State::Measuring;
        finished = finished && s == CampaignRun::State::Finished;
        idle = idle && s == CampaignRun::State::Idle;
    }
    if (idle || finished)
        return idle ? CampaignRun::State::Idle : CampaignRun::State::Finished;
    if (measuring)
        return CampaignRun::State::Measuring;
    return m_paused ? CampaignRun::State::Paused : CampaignRun::State::Settling;
}

bool JointCampaign::isRunning() const
{
    const CampaignRun::State s = state();
    return s == CampaignRun::State::Measuring || s == CampaignRun::State::Settling
           || s == CampaignRun::State::Paused;
}

void JointCampaign::showState()
{
    const CampaignRun::State s = state();
    if (s == m_shown)
        return;
    m_shown = s;
    emit stateChanged(s);
}

namespace JointCampaignCsv {

namespace {
// A line of the single campaign's file as its fields.
QList<QByteArray> fields(const QByteArray &line)
{
    return line.trimmed().split(',');
}

// A name as a column prefix: no comma to split the line at.
QByteArray prefix(const QString &name)
{
    return name.toUtf8().replace(',', ' ');
}
} // namespace

QByteArray cycleHeader(const QStringList &names)
{
    const QList<QByteArray> single = fields(CampaignCsv::cycleHeader());
    QByteArray header = single.at(0) + ',' + single.at(1);
    for (const QString &name : names) {
        for (const QByteArray &field : single.mid(2))
            header += ',' + prefix(name) + '_' + field;
    }
    return header + "\r\n";
}

QByteArray cycleRow(const JointCampaign &campaign, int index)
{
    QByteArray row;
    for (int i = 0; i < campaign.receiverCount(); ++i) {
        const QList<QByteArray> single = fields(CampaignCsv::cycleRow(campaign.run(i)->cycles().at(index)));
        if (i == 0)
            row = single.at(0) + ',' + single.at(1);
        for (const QByteArray &field : single.mid(2))
            row += ',' + field;
    }
    return row + "\r\n";
}

QByteArray summary(const JointCampaign &campaign)
{
    QByteArray text;
    for (int i = 0; i < campaign.receiverCount(); ++i) {
        const QList<QByteArray> lines = CampaignCsv::summary(*campaign.run(i)).trimmed().split('\n');
        if (i == 0)
            text = "receiver," + lines.first().trimmed() + "\r\n";
        for (const QByteArray &line : lines.mid(1))
            text += prefix(campaign.name(i)) + ',' + line.trimmed() + "\r\n";
    }
    return text;
}

} // namespace JointCampaignCsv
