#include "nmea/rowkey.h"
#include "nmea/gsasystem.h"

namespace {

bool isAddressChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

QByteArray RowKey::addressPrefix(const QByteArray &line)
{
    // Some receivers double the "$" ("$$GNGGA,..."); the line is still a
    // sentence.
    int start = 0;
    while (start < line.size() && line.at(start) == '$')
        ++start;
    if (start == 0)
        return QByteArray();
    int i = start;
    while (i < line.size() && isAddressChar(line.at(i)))
        ++i;
    if (i == start || i >= line.size() || line.at(i) != ',')
        return QByteArray();
    return line.left(i + 1);
}

RowKey::RowKey(const QByteArray &line)
    // With the explicit length, so a NUL byte in the line is a character
    // like any other rather than the end of the text.
    : m_text(QString::fromLatin1(line.constData(), line.size()))
{
    // Binary frames, noise and lines cut by the port opening take no row;
    // they still reach the log file with their block.
    const QByteArray address = addressPrefix(line);
    if (address.isEmpty())
        return;

    // The tests are plain text tests on the whole line, in this order.
    struct Rule { const char *text; bool beginsWith; Kind kind; int keyLength; };
    static const Rule rules[] = {
        {"$PAIR001,605", true, PmkReply, 12},
        {"$PAIR010,1,-1", true, TtffStart, 12},
        {"$PAIR010", true, Pair010, 8},
        {"GGA", false, Gga, 6},
        {"GLL", false, Gll, 6},
        {"RMC", false, Rmc, 6},
        {"VTG", false, Vtg, 6},
        {"ZDA", false, Zda, 6},
        {"GSA", false, Gsa, 0},
        {"GSV", false, Gsv, 6},
        {"PAIR", false, Pair, 0},
    };
    // Positions count from the last leading "$", so "$$GPGSV" rows are
    // told apart by talker, type and message number as "$GPGSV" rows are.
    int extraDollars = 0;
    while (extraDollars + 1 < line.size() && line.at(extraDollars + 1) == '$')
        ++extraDollars;
    m_messageNumberAt = 9 + extraDollars;
    m_kind = Other;
    for (const Rule &rule : rules) {
        const bool passes = rule.beginsWith ? line.startsWith(rule.text) : line.contains(rule.text);
        if (passes) {
            m_kind = rule.kind;
            if (rule.keyLength > 0)
                m_prefix = m_text.left(rule.keyLength + (rule.beginsWith ? 0 : extraDollars));
            break;
        }
    }
    if (m_kind == Other)
        m_prefix = QString::fromLatin1(address);
    else if (m_kind == Gsa)
        m_gsaSystem = gsaSystemId(line);
}

bool RowKey::sharesRow(const QString &rowText) const
{
    if (rowText.isEmpty())
        return false;
    switch (m_kind) {
    case NotSentence:
        return false;
    case Gsa:
        // One row per satellite system, whatever the talker.
        return rowText.contains(QLatin1String("GSA"))
                && gsaSystemId(rowText.toLatin1()) == m_gsaSystem;
    case Gsv:
        // One row per talker and message number ("$GPGSV,3,2,...": index 9).
        return m_text.size() > m_messageNumberAt && rowText.size() > m_messageNumberAt
                && rowText.startsWith(m_prefix)
                && rowText.at(m_messageNumberAt) == m_text.at(m_messageNumberAt);
    case Pair:
        return rowText.contains(m_text);
    default:
        return rowText.startsWith(m_prefix);
    }
}
