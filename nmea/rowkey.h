#ifndef ROWKEY_H
#define ROWKEY_H

#include <QByteArray>
#include <QString>

// The sentence table's row key of one received line: which kind of
// sentence it is and whether a used row of the table belongs to the same key.
class RowKey
{
public:
    // The row-key tests in the order they are tried; the first that a line
    // passes decides its kind.
    enum Kind {
        NotSentence,   // no "$" and address at its start: takes no row
        PmkReply,      // "$PAIR001,605...": reply to the version query
        TtffStart,     // "$PAIR010,1,-1...": the receiver restarted
        Pair010,       // other "$PAIR010..." reports
        Gga,
        Gll,
        Rmc,
        Vtg,
        Zda,
        Gsa,
        Gsv,
        Pair,          // any other line containing "PAIR"
        Other,         // a sentence of a type the table does not know
    };

    // Classifies the line as received, its checksum and line end included.
    explicit RowKey(const QByteArray &line);

    Kind kind() const { return m_kind; }
    bool isSentence() const { return m_kind != NotSentence; }
    // The line as the table shows it: one character per byte.
    const QString &text() const { return m_text; }

    // True when a used row whose column-2 text is rowText belongs to this
    // line's key. Never true for a line that is not a sentence or for an
    // empty row text.
    bool sharesRow(const QString &rowText) const;

    // "$GNGST," of "$GNGST,..."; empty when the line does not begin with
    // "$" (or several), one or more letters or digits and a comma.
    static QByteArray addressPrefix(const QByteArray &line);

private:
    Kind m_kind = NotSentence;
    QString m_text;
    QString m_prefix;   // what a row text must begin with, where that decides
    int m_gsaSystem = 0;
    int m_messageNumberAt = 9;   // where a GSV line holds its message number
};

#endif // ROWKEY_H
