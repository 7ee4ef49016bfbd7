#include "sim/commandanswerer.h"
#include "sim/sentencewriter.h"
#include "sim/splitmix.h"

#include <QStringList>
#include <cmath>

QString restartName(RestartKind kind)
{
    switch (kind) {
    case RestartKind::Hot: return QStringLiteral("hot");
    case RestartKind::Warm: return QStringLiteral("warm");
    case RestartKind::Cold: return QStringLiteral("cold");
    case RestartKind::Full: return QStringLiteral("full");
    case RestartKind::None: break;
    }
    return QString();
}

double TtffSettings::secondsFor(RestartKind kind) const
{
    switch (kind) {
    case RestartKind::Hot: return hot;
    case RestartKind::Warm: return warm;
    case RestartKind::Cold: return cold;
    case RestartKind::Full: return full;
    case RestartKind::None: break;
    }
    return 0;
}

double TtffSettings::highFor(RestartKind kind) const
{
    switch (kind) {
    case RestartKind::Hot: return hotHigh;
    case RestartKind::Warm: return warmHigh;
    case RestartKind::Cold: return coldHigh;
    case RestartKind::Full: return fullHigh;
    case RestartKind::None: break;
    }
    return 0;
}

double TtffSettings::draw(RestartKind kind, double unit) const
{
    const double low = secondsFor(kind);
    const double high = highFor(kind);
    if (high <= low)
        return low;
    return std::round((low + unit * (high - low)) * 100.0) / 100.0;
}

bool TtffSettings::parse(const QString &text, QString *error)
{
    TtffSettings parsed = *this;
    const QStringList items = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (items.isEmpty()) {
        *error = QStringLiteral("--ttff needs kind=seconds pairs, e.g. hot=2,cold=30 or cold=25:35");
        return false;
    }
    for (const QString &item : items) {
        const QStringList pair = item.split(QLatin1Char('='));
        const QStringList ends = pair.size() == 2 ? pair.at(1).split(QLatin1Char(':')) : QStringList();
        bool ok = ends.size() == 1 || ends.size() == 2;
        double values[2] = {0, 0};
        for (int i = 0; ok && i < ends.size(); ++i) {
            values[i] = ends.at(i).trimmed().toDouble(&ok);
            ok = ok && values[i] >= 0 && values[i] <= 3600;
        }
        if (!ok || (ends.size() == 2 && values[1] < values[0])) {
            *error = QStringLiteral("bad --ttff item \"%1\" (want kind=seconds or kind=low:high, 0 to 3600)").arg(item);
            return false;
        }
        const QString kind = pair.at(0).trimmed();
        const struct { const char *name; double *low; double *high; } kinds[] = {
            {"hot", &parsed.hot, &parsed.hotHigh}, {"warm", &parsed.warm, &parsed.warmHigh},
            {"cold", &parsed.cold, &parsed.coldHigh}, {"full", &parsed.full, &parsed.fullHigh},
        };
        bool known = false;
        for (const auto &k : kinds) {
            if (kind == QLatin1String(k.name)) {
                *k.low = values[0];
                *k.high = values[1];
                known = true;
            }
        }
        if (!known) {
            *error = QStringLiteral("unknown --ttff kind \"%1\" (hot, warm, cold, full)").arg(kind);
            return false;
        }
    }
    *this = parsed;
    return true;
}

QList<QByteArray> CommandReader::push(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    for (char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!m_pending.isEmpty())
                lines.append(m_pending);
            m_pending.clear();
        } else if (m_pending.size() < MaxLine) {
            m_pending.append(c);
        }
    }
    return lines;
}

CommandAnswer answerCommand(const QByteArray &line)
{
    CommandAnswer answer;
    QByteArray body;
    if (!nmeaChecksumValid(line, &body))
        return answer;
    answer.valid = true;

    const int comma = body.indexOf(',');
    const QByteArray address = comma < 0 ? body : body.left(comma);
    if (address == "PMTK605") {
        answer.replies << "PAIR001,605,0" << "GNTXT,01,01,02,SW=skyloupe-sim 1.0,NMEA=4.10";
        return answer;
    }
    if (address.startsWith("PAIR") && address.size() > 4) {
        const QByteArray number = address.mid(4);
        answer.replies << "PAIR001," + number + ",0";
        static const struct { const char *number; RestartKind kind; } restarts[] = {
            {"004", RestartKind::Hot}, {"005", RestartKind::Warm},
            {"006", RestartKind::Cold}, {"007", RestartKind::Full},
        };
        for (const auto &r : restarts) {
            if (number == r.number) {
                answer.restart = r.kind;
                // The receiver reports that it restarted; the fields after
                // "1,-1" carry no time yet.
                answer.replies << "PAIR010,1,-1,,";
            }
        }
    }
    return answer;
}

void FixState::restart(RestartKind kind, qint64 nowMs)
{
    if (kind == RestartKind::None)
        return;
    m_restartMs = nowMs;
    ++m_restarts;
    m_lastTtff = m_ttff.draw(kind, SplitMix64::unitOf(SplitMix64::mix(m_seed ^ 0x7FF0ULL) + m_restarts));
    m_fixAtMs = nowMs + qint64(m_lastTtff * 1000.0 + 0.5);
}

double FixState::tracked(qint64 nowMs) const
{
    if (hasFix(nowMs))
        return 1.0;
    const double span = double(m_fixAtMs - m_restartMs);
    const double share = span > 0 ? double(nowMs - m_restartMs) / span : 1.0;
    return qBound(0.0, share, 1.0) * 0.8;
}
