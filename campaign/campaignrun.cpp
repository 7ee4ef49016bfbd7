#include "campaign/campaignrun.h"

#include "receiver/epochstatistics.h"

namespace {
// Epochs are handed over when the next one begins, so a fix that came just
// before the timeout is still learnt within this time after it.
constexpr qint64 TimeoutGraceMs = 2000;
}

QString restartKindName(RestartKind kind)
{
    switch (kind) {
    case RestartKind::Hot: return QStringLiteral("HOT");
    case RestartKind::Warm: return QStringLiteral("WARM");
    case RestartKind::Cold: return QStringLiteral("COLD");
    case RestartKind::Full: return QStringLiteral("FULL");
    case RestartKind::Rtk: return QStringLiteral("RTK");
    }
    return QString();
}

QVector<RestartKind> CampaignSetup::schedule() const
{
    QVector<RestartKind> order;
    for (int cycle = 0; cycle < cyclesPerKind; ++cycle)
        order += kinds;
    return order;
}

CampaignRun::CampaignRun(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<CampaignCycle>();
}

bool CampaignRun::isRunning() const
{
    return m_state == State::Settling || m_state == State::Measuring || m_state == State::Paused;
}

QString CampaignRun::refusal(const CampaignSetup &setup, bool portOpen, const QString &noCorrections) const
{
    if (isRunning())
        return tr("A campaign is already running.");
    if (!portOpen)
        return tr("No port is open: connect the receiver before starting a campaign.");
    if (setup.kinds.isEmpty())
        return tr("Choose at least one restart kind.");
    if (setup.cyclesPerKind < 1)
        return tr("Choose at least one cycle per kind.");
    if (setup.kinds.contains(RestartKind::Rtk) && !noCorrections.isEmpty())
        return tr("An RTK campaign needs corrections flowing to the receiver (%1): start them in the Corrections "
                  "panel.").arg(noCorrections);
    return QString();
}

QString CampaignRun::start(const CampaignSetup &setup, bool portOpen, qint64 nowMs)
{
    const QString reason = refusal(setup, portOpen);
    if (!reason.isEmpty())
        return reason;
    m_setup = setup;
    m_schedule = setup.schedule();
    m_cycles.clear();
    m_message.clear();
    m_pauseAfterCycle = false;
    m_watch = FirstFixWatch(setup.fixRule);
    m_nextRestartMs = nowMs;
    setState(State::Settling);
    tick(nowMs);
    return QString();
}

void CampaignRun::tick(qint64 nowMs)
{
    if (m_state == State::Measuring && nowMs - m_writeMs >= m_setup.timeoutMs + TimeoutGraceMs) {
        CampaignCycle cycle;
        cycle.spanMs = m_setup.timeoutMs;
        finishCycle(cycle, nowMs);
    }
    if (m_state != State::Settling || nowMs < m_nextRestartMs)
        return;
    // Until the window says when the command went out, the cycle counts
    // from now.
    m_writeMs = nowMs;
    m_startUtc = QDateTime();
    // An RTK cycle ends at the first RTK fixed epoch, whatever the rule.
    m_watch = FirstFixWatch(m_schedule.at(m_cycles.size()) == RestartKind::Rtk ? FixRule::RtkFixed : m_setup.fixRule);
    m_watch.begin(nowMs);
    setState(State::Measuring);
    emit restartDue(m_schedule.at(m_cycles.size()));
}

void CampaignRun::restartWritten(qint64 writeMs, const QDateTime &utc)
{
    if (m_state != State::Measuring)
        return;
    m_writeMs = writeMs;
    m_startUtc = utc;
    m_watch.begin(writeMs);
}

void CampaignRun::takeBlock(const QByteArray &block, qint64 receivedMs)
{
    if (m_state == State::Measuring)
        m_watch.takeBlock(block, receivedMs);
}

void CampaignRun::takeEpoch(const Epoch &epoch)
{
    if (m_state != State::Measuring)
        return;
    const qint64 ttff = m_watch.takeEpoch(epoch);
    if (ttff < 0 || ttff > m_setup.timeoutMs)
        return;
    CampaignCycle cycle;
    cycle.ttffMs = ttff;
    cycle.spanMs = ttff;
    const EpochStatistics statistics = epochStatistics(epoch);
    QVector<float> cnrs;
    for (const ConstellationStatistics &c : statistics.constellation)
        cycle.satellitesUsed += c.used;
    for (const SatelliteInView &s : epoch.satellites) {
        if (int(s.key.constellation) < StatisticsConstellations)
            cnrs.append(s.bestCnr());
    }
    cycle.topFourCnr = topFourAverage(cnrs);
    cycle.hasPosition = epoch.hasPosition;
    cycle.latitude = epoch.latitude;
    cycle.longitude = epoch.longitude;
    cycle.altitude = epoch.altitude;
    if (m_setup.reference && epoch.hasPosition)
        cycle.horizontalErrorM = horizontalErrorM(*m_setup.reference, epoch.latitude, epoch.longitude);
    finishCycle(cycle, m_watch.fixMs());
}

void CampaignRun::finishCycle(CampaignCycle cycle, qint64 nextFromMs)
{
    cycle.number = int(m_cycles.size()) + 1;
    cycle.kind = m_schedule.at(m_cycles.size());
    cycle.startUtc = m_startUtc;
    m_cycles.append(cycle);
    m_nextRestartMs = nextFromMs + m_setup.settleMs;
    emit cycleFinished(m_cycles.last());
    if (m_cycles.size() == m_schedule.size())
        setState(State::Finished);
    else if (m_pauseAfterCycle)
        setState(State::Paused);
    else
        setState(State::Settling);
    m_pauseAfterCycle = false;
}

void CampaignRun::pause()
{
    if (m_state == State::Settling)
        setState(State::Paused);
    else if (m_state == State::Measuring)
        m_pauseAfterCycle = true;
}

void CampaignRun::resume(qint64 nowMs)
{
    m_pauseAfterCycle = false;
    if (m_state != State::Paused)
        return;
    m_nextRestartMs = nowMs;
    setState(State::Settling);
    tick(nowMs);
}

void CampaignRun::stop(const QString &reason)
{
    if (!isRunning())
        return;
    m_message = reason;
    m_pauseAfterCycle = false;
    setState(State::Stopped);
}

void CampaignRun::portLost(const QString &message)
{
    stop(tr("Campaign stopped, the receiver's port was lost: %1.").arg(message));
}

void CampaignRun::portStatus(bool open)
{
    if (!open)
        stop(tr("Campaign stopped: the port was closed."));
}

void CampaignRun::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

qint64 CampaignRun::elapsedMs(qint64 nowMs) const
{
    return m_state == State::Measuring ? nowMs - m_writeMs : -1;
}

qint64 CampaignRun::expectedSpanMs(RestartKind kind) const
{
    qint64 kindSum = 0, allSum = 0;
    int kindCount = 0;
    for (const CampaignCycle &c : m_cycles) {
        allSum += c.spanMs;
        if (c.kind == kind) {
            kindSum += c.spanMs;
            ++kindCount;
        }
    }
    return kindCount > 0 ? kindSum / kindCount : allSum / m_cycles.size();
}

qint64 CampaignRun::remainingMs(qint64 nowMs) const
{
    if (m_cycles.isEmpty() || !isRunning())
        return isRunning() ? -1 : 0;
    qint64 left = 0;
    for (int i = int(m_cycles.size()); i < m_schedule.size(); ++i) {
        qint64 span = expectedSpanMs(m_schedule.at(i));
        if (i == m_cycles.size() && m_state == State::Measuring)
            span = qMax<qint64>(0, span - elapsedMs(nowMs));
        else if (i == m_cycles.size() && m_state == State::Settling)
            span += qMax<qint64>(0, m_nextRestartMs - nowMs) - m_setup.settleMs;
        left += span + m_setup.settleMs;
    }
    // No settle time after the last cycle.
    return qMax<qint64>(0, left - m_setup.settleMs);
}

TtffSummary CampaignRun::summary(RestartKind kind) const
{
    QVector<double> seconds;
    int failures = 0;
    for (const CampaignCycle &c : m_cycles) {
        if (c.kind != kind)
            continue;
        if (c.failed())
            ++failures;
        else
            seconds.append(c.ttffMs / 1000.0);
    }
    return summarizeTtff(seconds, failures);
}
