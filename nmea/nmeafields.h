#ifndef NMEAFIELDS_H
#define NMEAFIELDS_H

#include <QByteArray>
#include <QList>

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
    int count() const { return m_fields.size(); }

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
    QList<QByteArray> m_fields;
};

#endif // NMEAFIELDS_H
