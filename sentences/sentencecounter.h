#ifndef SENTENCECOUNTER_H
#define SENTENCECOUNTER_H

#include <QByteArray>
#include <QHash>
#include <QVector>

#include <deque>
#include <utility>

// What arrived of one sentence type ("GPGGA", "PUBX": the address after
// "$"; "?" for addresses that cannot be read or never arrived intact).
struct SentenceTypeCounts
{
    QByteArray type;
    qint64 count = 0;             // sentences of the type
    qint64 checksumErrors = 0;    // "*hh" present and not the XOR of the sentence
    qint64 withoutChecksum = 0;   // no "*hh" at the end
    qint64 longOrCut = 0;         // over 80 characters before the line end, or cut
    qint64 lastSeenMs = 0;        // the caller's clock when the last one arrived
    double rateHz = 0;            // over the last RateWindowMs (SentenceCounter::types)
};

// Totals of everything received.
struct SentenceTotals
{
    qint64 bytes = 0;
    qint64 lines = 0;          // ended by a line feed
    qint64 nonNmeaBytes = 0;   // bytes outside any sentence
};

// Counts sentences per type, their faults and their rate, from the raw
// blocks a receiver sends (every block, whatever it begins with). A line
// ends at a line feed; a line cut at a block's end is completed by the next
// block. A sentence runs from a "$" (the last of several in a row) to the
// next "$" or the line end. It is cut when a new "$" ends it, or when it
// has no checksum once a sentence with a right one has come (the receiver
// sends them, so the end is missing). A sentence with
// a wrong checksum or cut counts under its type once a sentence of that
// type has come intact, before that under "?". Bytes before a
// line's first sentence (binary data, comments, blank lines) are not NMEA,
// their line end included.
class SentenceCounter
{
public:
    static constexpr qint64 RateWindowMs = 10000;
    // NMEA 0183 allows 82 characters with "$" and CR LF.
    static constexpr int LongestSentence = 80;

    // Takes a block as received at `receivedMs` (any monotonic clock).
    void addBlock(const QByteArray &block, qint64 receivedMs);
    // The end of the input (a log read to its end): a last line without a
    // line feed is counted as it is.
    void finish(qint64 receivedMs);
    // Forgets everything; counting begins again with the next block.
    void reset();

    // Every type seen, sorted by type, with its rate at `nowMs`: the
    // sentences that arrived after the window's start, divided by the
    // window, which is the last RateWindowMs, or the time since counting
    // began while that is shorter (0 Hz for no time).
    QVector<SentenceTypeCounts> types(qint64 nowMs) const;
    const SentenceTotals &totals() const { return m_totals; }
    // The types (as types(nowMs)) and the totals as CSV, lines ending in
    // "\r\n": "GPGGA,1.00,600,0,0,0,0.4", then "total bytes,N", "lines,N",
    // "bytes not NMEA,N".
    QByteArray csv(qint64 nowMs) const;

private:
    struct Type
    {
        SentenceTypeCounts counts;
        std::deque<std::pair<qint64, int>> recent;   // (time, sentences) per block, within the window
    };
    // One line, from its first byte to after its line feed.
    // `ended`: lineEnd is after its line feed; else the input ended there.
    void addLine(const char *begin, const char *lineEnd, bool ended, qint64 receivedMs);
    void addSentence(const char *begin, const char *end, bool cut, qint64 receivedMs);

    QHash<QByteArray, Type> m_types;
    SentenceTotals m_totals;
    QByteArray m_partial;          // a line not yet ended
    qint64 m_startMs = -1;         // the first block's time
    bool m_checksumsInUse = false; // a sentence with a right checksum has come
};

#endif // SENTENCECOUNTER_H
