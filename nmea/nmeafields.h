#ifndef NMEAFIELDS_H
#define NMEAFIELDS_H

#include <QByteArray>
#include <QList>
#include <QVarLengthArray>

// The comma-separated fields of one NMEA line. Field 0 is the address
// ("$GPGGA"); the checksum "*hh" and the line end are not part of any field.
// Bad input is an ordinary input: a field beyond the end is empty and a
// number that is not a number reads as 0.
class NmeaFields
{
public:
    explicit NmeaFields(const QByteArray &line);

    QByteArray at(int i) const;     // empty beyond the end
    int intAt(int i) const;          // base 10; 0 when empty or not a number
    double doubleAt(int i) const;    // 0 when empty or not a number
    int count() const { return m_starts.size() - 1; }

    // The same without making a copy of the field, for the hot paths that
    // read every received line: its length, whether it is `text`, and its
    // number (false, leaving *value, when empty or not a number).
    int sizeAt(int i) const;
    bool isAt(int i, const char *text) const;
    bool numberAt(int i, double *value) const;
    // True when the field is decimal digits and nothing else.
    bool digitsAt(int i) const;

    // The sentence in a line: the line itself, or, for a line that does
    // not begin with "$", the part from its last "$" (or run of "$") on,
    // where a receiver that mixes binary messages into its NMEA glued them
    // to the front of a sentence. A line without "$" is returned whole.
    static QByteArray sentenceOf(const QByteArray &line);
    // The line without its "*hh" checksum and without "\r"/"\n" at the end.
    static QByteArray body(const QByteArray &line);
    // "GP" of "$GPGSV" (and of "$$GPGSV"): the two characters after the
    // "$", or empty.
    QByteArray talker() const;
    // "GSV" of "$GPGSV": the last three characters of the address, or empty.
    QByteArray type() const;

private:
    const char *fieldData(int i) const { return m_line.constData() + m_starts[i]; }

    // The line the fields point into (shared, not copied), and where each
    // field starts: field i runs from m_starts[i] to m_starts[i + 1] - 1
    // (the comma). The line lives at least as long as the fields are read.
    QByteArray m_line;
    QVarLengthArray<int, 48> m_starts;
};

#endif // NMEAFIELDS_H
