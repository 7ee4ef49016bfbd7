#ifndef FIXRULE_H
#define FIXRULE_H

#include "receiver/epoch.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What counts as the receiver's first fix after a restart.
enum class FixRule {
    GgaOrRmc,   // the first line of an epoch with a fix (Epoch::hasFix) that reports it (the default)
    Gga,        // GGA quality 1 to 6
    Rmc,        // RMC status A, mode neither N nor S
    Gsa3d,      // a GSA reporting a 3D fix
    RtkFixed,   // GGA quality 4, RTK fixed (the campaign's RTK kind)
};

// "Fix (GGA, RMC, GNS or GLL)", "GGA quality 1-6", "RMC status A", "GSA 3D".
QString fixRuleName(FixRule rule);

// The monotonic time (Epoch::fixLineMs) of the epoch's first line that meets
// the rule; -1 when none does.
qint64 ruleFixMs(const Epoch &epoch, FixRule rule);

// True when the epoch says the receiver has no fix (Epoch::hasFix, from a
// GGA, RMC, GNS, GLL or GSA) and no line meets the rule.
bool showsNoFix(const Epoch &epoch, FixRule rule);

// Times one restart from the write of its command to the first fix. Lines
// the receiver sent before it took the command can arrive after the write
// with its old fix (an epoch still on the line, or still in the worker), so
// a fix counts only in an epoch that began after the receiver showed its
// restart: by its restart report ("$PAIR010,1,-1") or by an epoch without a
// fix. A receiver that shows neither never gets a fix here; its cycle times
// out. Times are monotonic milliseconds (ReceiverModel::monotonicMs()).
class FirstFixWatch
{
public:
    explicit FirstFixWatch(FixRule rule = FixRule::GgaOrRmc) : m_rule(rule) {}

    // The restart command was written at writeMs.
    void begin(qint64 writeMs);
    // A received block; looks for the receiver's restart report in it.
    void takeBlock(const QByteArray &block, qint64 receivedMs);
    // A finished epoch: the time to first fix in milliseconds, rounded to
    // 10 ms, when this epoch brings it; -1 otherwise (and after it came).
    qint64 takeEpoch(const Epoch &epoch);

    bool restartShown() const { return m_shownMs >= 0; }
    // When the counted fix's line arrived; -1 before.
    qint64 fixMs() const { return m_fixMs; }

private:
    FixRule m_rule;
    qint64 m_writeMs = -1;
    qint64 m_shownMs = -1;
    qint64 m_fixMs = -1;
};

#endif // FIXRULE_H
