#include "sim/commandanswerer.h"
#include "sim/sentencewriter.h"

#include <QStringList>

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

bool TtffSettings::parse(const QString &text, QString *error)
{
    TtffSettings parsed = *this;
    const QStringList items = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (items.isEmpty()) {
        *error = QStringLiteral("--ttff needs kind=seconds pairs, e.g. hot=2,cold=30");
        return false;
    }
    for (const QString &item : items) {
        const QStringList pair = item.split(QLatin1Char('='));
        bool ok = false;
        const double seconds = pair.size() == 2 ? pair.at(1).trimmed().toDouble(&ok) : 0;
        if (!ok || seconds < 0 || seconds > 3600) {
            *error = QStringLiteral("bad --ttff item \"%1\" (want kind=seconds, 0 to 3600)").arg(item);
            return false;
        }
        const QString kind = pair.at(0).trimmed();
        if (kind == QLatin1String("hot"))
            parsed.hot = seconds;
        else if (kind == QLatin1String("warm"))
            parsed.warm = seconds;
        else if (kind == QLatin1String("cold"))
            parsed.cold = seconds;
        else if (kind == QLatin1String("full"))
            parsed.full = seconds;
        else {
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
    m_fixAtMs = nowMs + qint64(m_ttff.secondsFor(kind) * 1000.0 + 0.5);
}

double FixState::tracked(qint64 nowMs) const
{
    if (hasFix(nowMs))
        return 1.0;
    const double span = double(m_fixAtMs - m_restartMs);
    const double share = span > 0 ? double(nowMs - m_restartMs) / span : 1.0;
    return qBound(0.0, share, 1.0) * 0.8;
}
