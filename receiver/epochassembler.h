#ifndef EPOCHASSEMBLER_H
#define EPOCHASSEMBLER_H

#include "receiver/epoch.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

#include <array>

class NmeaFields;
struct ConstellationRow;

// Turns received lines into epochs. An epoch begins where a line brings a
// new UTC time (GGA, RMC, GNS, GLL; a ZDA stamped less than 100 ms after the
// epoch's time belongs to it). A receiver that does not know the time (after
// a cold start, say) sends those sentences with the time empty: then an
// epoch begins where one of them comes again. A receiver that sends none of
// them has its epochs end with each block. Lines before the first beginning
// seen are the end of an epoch whose start was missed; they are dropped.
//
// An epoch is also known to be complete, before the next begins, once it
// has received the kind of line that ended the previous epoch: a window
// can show it at once instead of an epoch later.
class EpochAssembler
{
public:
    // Adds one line as received (its line end may stay). receivedMs is the
    // caller's monotonic clock when the line arrived. Bytes before the
    // sentence in a line are skipped; lines without one are ignored.
    void addLine(const QByteArray &line, qint64 receivedMs = 0);
    // The end of a block read from the line.
    void endBlock();
    // The end of the input (a log read to its end): the epoch being gathered
    // is finished as the next beginning would finish it, or as endBlock
    // does for a receiver that sends no line that begins epochs.
    void finish();
    // The epochs finished since the last call, oldest first.
    QVector<Epoch> takeFinished();

    // The epoch being gathered, with its used marks.
    Epoch current() const;
    // True when the epoch being gathered has received the kind of line that
    // ended the previous one (proprietary sentences aside), and nothing
    // after it.
    bool currentLooksComplete() const { return m_looksComplete; }
    bool hasCurrent() const { return m_current.lines > 0; }
    // The sequence number the epoch being gathered gets when finished.
    qint64 currentSequence() const { return m_current.sequence < 0 ? m_sequence : m_current.sequence; }
    // Lines in the epoch being gathered: 1 right after a line began one.
    int currentLines() const { return m_current.lines; }
    // The UTC time of the epoch being gathered, ms of the day; -1: none.
    int currentUtcMs() const { return m_current.utcMs; }

    // Forgets everything: a new connection.
    void reset();

private:
    void startEpoch(int utcMs, qint64 receivedMs);
    // Marks the satellites a GSA of the epoch lists as used.
    static void markUsed(Epoch *epoch);
    void finishCurrent();
    // Begins a new epoch where a GGA, RMC, GNS, GLL or ZDA (zda) line says so.
    void takeTime(const QByteArray &address, bool zda, int utcMs, qint64 receivedMs);
    // Finishes the epoch being gathered, or drops it when its start was missed.
    void closeCurrent();
    void readGga(const NmeaFields &fields, qint64 receivedMs);
    void readRmc(const NmeaFields &fields, qint64 receivedMs);
    void readGns(const NmeaFields &fields, qint64 receivedMs);
    void readGll(const NmeaFields &fields, qint64 receivedMs);
    // A line that reports a fix arrived.
    void noteFixLine(qint64 receivedMs);
    void readZda(const NmeaFields &fields);
    void readGst(const NmeaFields &fields);
    void readGsa(const NmeaFields &fields, qint64 receivedMs);
    void readGsv(const NmeaFields &fields);
    // The label of the satellite numbered in `field` of a GSV line.
    QString labelOf(const ConstellationRow &row, const NmeaFields &fields, int field);
    // Sets the position unless a sentence that ranks higher already did.
    void setPosition(const NmeaFields &fields, int latitudeAt, int rank);

    Epoch m_current;
    bool m_delimited = false;       // began where an epoch begins
    QVector<QByteArray> m_markers;  // addresses of the GGA, RMC, GNS, GLL lines in it
    int m_positionRank = 0;
    QDate m_date;
    int m_zdaCentury = 0;           // 1900 or 2000 once a ZDA gave a four-digit year
    int m_lastUtcMs = -1;
    qint64 m_sequence = 0;
    QByteArray m_lastKey;       // kind of the latest line
    QByteArray m_keyBuffer;     // where the next line's kind is made
    QByteArray m_terminalKey;   // kind of the line that ended the previous epoch
    bool m_looksComplete = false;
    QVector<Epoch> m_finished;
    // Where the epoch being gathered lists each satellite, by constellation
    // and number; -1: not listed.
    static constexpr int IndexedNumbers = 256;
    std::array<qint16, 6 * IndexedNumbers> m_satelliteIndex{};
    // Labels by constellation and number as sent, with the number's digits
    // (0: none yet): "G5" and "G05" are both GPS 5.
    std::array<QString, 6 * IndexedNumbers> m_labels;
    std::array<qint8, 6 * IndexedNumbers> m_labelDigits{};
};

#endif // EPOCHASSEMBLER_H
