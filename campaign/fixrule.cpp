#include "campaign/fixrule.h"

#include "nmea/rowkey.h"

#include <algorithm>
#include <iterator>

QString fixRuleName(FixRule rule)
{
    switch (rule) {
    case FixRule::GgaOrRmc: return QStringLiteral("Fix (GGA, RMC, GNS or GLL)");
    case FixRule::Gga: return QStringLiteral("GGA quality 1-6");
    case FixRule::Rmc: return QStringLiteral("RMC status A");
    case FixRule::Gsa3d: return QStringLiteral("GSA 3D");
    case FixRule::RtkFixed: return QStringLiteral("GGA quality 4 (RTK fixed)");
    }
    return QString();
}

qint64 ruleFixMs(const Epoch &epoch, FixRule rule)
{
    const qint64 gga = epoch.fixLineMs[Epoch::GgaFix];
    const qint64 rmc = epoch.fixLineMs[Epoch::RmcFix];
    switch (rule) {
    case FixRule::GgaOrRmc:
        return epoch.hasFix() ? epoch.fixLineMs[Epoch::AnyFix] : -1;
    case FixRule::Gga: return gga;
    case FixRule::Rmc: return rmc;
    case FixRule::Gsa3d: return epoch.fixLineMs[Epoch::Gsa3dFix];
    case FixRule::RtkFixed: return epoch.quality == 4 ? gga : -1;
    }
    return -1;
}

bool showsNoFix(const Epoch &epoch, FixRule rule)
{
    const bool gsaSays = std::any_of(std::begin(epoch.fixType), std::end(epoch.fixType), [](int t) { return t != 0; });
    const bool says = epoch.quality >= 0 || epoch.rmcStatus != 0 || epoch.gnsFix != 0 || epoch.gllStatus != 0 || gsaSays;
    return says && !epoch.hasFix() && ruleFixMs(epoch, rule) < 0;
}

void FirstFixWatch::begin(qint64 writeMs)
{
    m_writeMs = writeMs;
    m_shownMs = -1;
    m_fixMs = -1;
}

void FirstFixWatch::takeBlock(const QByteArray &block, qint64 receivedMs)
{
    if (m_writeMs < 0 || restartShown() || receivedMs < m_writeMs)
        return;
    int start = 0;
    for (int end = block.indexOf('\n'); end >= 0; end = block.indexOf('\n', start)) {
        if (RowKey(block.mid(start, end - start)).kind() == RowKey::TtffStart) {
            m_shownMs = receivedMs;
            return;
        }
        start = end + 1;
    }
}

qint64 FirstFixWatch::takeEpoch(const Epoch &epoch)
{
    if (m_writeMs < 0 || m_fixMs >= 0 || epoch.receivedMs <= m_writeMs)
        return -1;
    if (!restartShown()) {
        if (showsNoFix(epoch, m_rule))
            m_shownMs = epoch.receivedMs;
        return -1;
    }
    // Stamps are whole milliseconds: an epoch begun in the report's own
    // millisecond may be one from before it.
    const qint64 fix = ruleFixMs(epoch, m_rule);
    if (epoch.receivedMs <= m_shownMs || fix < 0)
        return -1;
    m_fixMs = fix;
    return (fix - m_writeMs + 5) / 10 * 10;
}
