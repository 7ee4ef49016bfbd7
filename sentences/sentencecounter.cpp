#include "sentences/sentencecounter.h"

#include <QtGlobal>

#include <algorithm>

namespace {

// A longer line without a line feed is not NMEA: it is counted and dropped
// so a stream of binary cannot grow memory.
constexpr int LongestPartialLine = 4096;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isAddressCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

void SentenceCounter::addBlock(const QByteArray &block, qint64 receivedMs)
{
    if (m_startMs < 0)
        m_startMs = receivedMs;
    m_totals.bytes += block.size();
    int start = 0;
    for (int feed = block.indexOf('\n'); feed >= 0; feed = block.indexOf('\n', start)) {
        if (m_partial.isEmpty()) {
            addLine(block.constData() + start, block.constData() + feed + 1, true, receivedMs);
        } else {
            m_partial.append(block.constData() + start, feed + 1 - start);
            addLine(m_partial.constData(), m_partial.constData() + m_partial.size(), true, receivedMs);
            m_partial.clear();
        }
        start = feed + 1;
    }
    m_partial.append(block.constData() + start, block.size() - start);
    if (m_partial.size() > LongestPartialLine) {
        m_totals.nonNmeaBytes += m_partial.size();
        m_partial.clear();
    }
}

void SentenceCounter::finish(qint64 receivedMs)
{
    if (!m_partial.isEmpty())
        addLine(m_partial.constData(), m_partial.constData() + m_partial.size(), false, receivedMs);
    m_partial.clear();
}

void SentenceCounter::addLine(const char *begin, const char *lineEnd, bool ended, qint64 receivedMs)
{
    m_totals.lines += ended ? 1 : 0;
    // The text ends before the line feed and any carriage returns.
    const char *end = ended ? lineEnd - 1 : lineEnd;
    while (end != begin && end[-1] == '\r')
        --end;
    const char *dollar = std::find(begin, end, '$');
    m_totals.nonNmeaBytes += dollar - begin;
    if (dollar == end)
        m_totals.nonNmeaBytes += lineEnd - end;
    while (dollar != end) {
        const char *body = dollar + 1;
        while (body != end && *body == '$')
            ++body;
        // Every "$" but the last of a run is a sentence that never began.
        m_totals.nonNmeaBytes += body - dollar - 1;
        const char *next = std::find(body, end, '$');
        addSentence(body - 1, next, next != end, receivedMs);
        dollar = next;
    }
}

void SentenceCounter::addSentence(const char *begin, const char *end, bool cut, qint64 receivedMs)
{
    // begin is the "$"; the checksum, when there is one, is the last three
    // characters.
    const qint64 length = end - begin;
    const bool hasChecksum = length >= 4 && end[-3] == '*' && hexValue(end[-2]) >= 0 && hexValue(end[-1]) >= 0;
    bool checksumWrong = false;
    if (hasChecksum) {
        quint8 sum = 0;
        for (const char *p = begin + 1; p != end - 3; ++p)
            sum ^= quint8(*p);
        checksumWrong = sum != hexValue(end[-2]) * 16 + hexValue(end[-1]);
        m_checksumsInUse = m_checksumsInUse || !checksumWrong;
    }
    // A receiver that sends checksums sends them on every sentence: one
    // without was cut short.
    cut = cut || (!hasChecksum && m_checksumsInUse);

    // The address runs to the first "," or "*". A broken sentence (wrong
    // checksum, cut) may carry a broken address: it counts under its type
    // only once that type has arrived intact, else under "?", so a noisy
    // line does not make a row of every garbled address.
    const char *addressEnd = begin + 1;
    while (addressEnd != end && *addressEnd != ',' && *addressEnd != '*')
        ++addressEnd;
    // Looked up as a view of the sentence: a copy is made only for a new type.
    const QByteArray address = QByteArray::fromRawData(begin + 1, int(addressEnd - begin - 1));
    const bool readable = !address.isEmpty() && address.size() <= 10
                          && std::all_of(address.cbegin(), address.cend(), isAddressCharacter);
    auto found = readable ? m_types.find(address) : m_types.end();
    if (found == m_types.end()) {
        const QByteArray type = readable && !checksumWrong && !cut ? QByteArray(address.constData(), address.size())
                                                                   : QByteArrayLiteral("?");
        found = m_types.find(type);
        if (found == m_types.end()) {
            found = m_types.insert(type, Type());
            found->counts.type = type;
        }
    }
    Type &t = *found;
    SentenceTypeCounts &c = t.counts;
    ++c.count;
    c.lastSeenMs = receivedMs;
    if (t.recent.empty() || t.recent.back().first != receivedMs)
        t.recent.emplace_back(receivedMs, 1);
    else
        ++t.recent.back().second;
    while (t.recent.front().first <= receivedMs - RateWindowMs)
        t.recent.pop_front();

    c.checksumErrors += checksumWrong ? 1 : 0;
    c.withoutChecksum += hasChecksum ? 0 : 1;
    c.longOrCut += cut || length > LongestSentence ? 1 : 0;
}

void SentenceCounter::reset()
{
    *this = SentenceCounter();
}

QVector<SentenceTypeCounts> SentenceCounter::types(qint64 nowMs) const
{
    const qint64 windowStart = std::max(nowMs - RateWindowMs, m_startMs);
    const qint64 window = nowMs - windowStart;
    QVector<SentenceTypeCounts> out;
    out.reserve(m_types.size());
    for (const Type &t : m_types) {
        SentenceTypeCounts c = t.counts;
        qint64 recent = 0;
        for (const auto &arrival : t.recent) {
            if (arrival.first > windowStart && arrival.first <= nowMs)
                recent += arrival.second;
        }
        c.rateHz = window > 0 ? recent * 1000.0 / window : 0.0;
        out.append(c);
    }
    std::sort(out.begin(), out.end(),
              [](const SentenceTypeCounts &a, const SentenceTypeCounts &b) { return a.type < b.type; });
    return out;
}

QByteArray SentenceCounter::csv(qint64 nowMs) const
{
    QByteArray csv = "sentence,rate (Hz),count,checksum errors,without checksum,long or cut,seconds since last\r\n";
    for (const SentenceTypeCounts &c : types(nowMs)) {
        csv += c.type + ',' + QByteArray::number(c.rateHz, 'f', 2) + ',' + QByteArray::number(c.count) + ','
               + QByteArray::number(c.checksumErrors) + ',' + QByteArray::number(c.withoutChecksum) + ','
               + QByteArray::number(c.longOrCut) + ','
               + QByteArray::number((nowMs - c.lastSeenMs) / 1000.0, 'f', 1) + "\r\n";
    }
    csv += "total bytes," + QByteArray::number(m_totals.bytes) + "\r\nlines," + QByteArray::number(m_totals.lines)
           + "\r\nbytes not NMEA," + QByteArray::number(m_totals.nonNmeaBytes) + "\r\n";
    return csv;
}
