#include "nmea/nmeafields.h"

QByteArray NmeaFields::sentenceOf(const QByteArray &line)
{
    if (line.startsWith('$'))
        return line;
    int start = line.lastIndexOf('$');
    if (start < 0)
        return line;
    while (start > 0 && line.at(start - 1) == '$')
        --start;
    return line.mid(start);
}

QByteArray NmeaFields::body(const QByteArray &line)
{
    int end = line.size();
    while (end > 0 && (line.at(end - 1) == '\n' || line.at(end - 1) == '\r'))
        --end;
    // The checksum is the last '*' followed by at most two characters; a
    // '*' further back belongs to the text (a cut line keeps its fields).
    const int star = line.lastIndexOf('*', end - 1);
    if (star >= 0 && end - star <= 3)
        end = star;
    return line.left(end);
}

NmeaFields::NmeaFields(const QByteArray &line)
    : m_fields(body(line).split(','))
{
}

QByteArray NmeaFields::at(int i) const
{
    return (i >= 0 && i < m_fields.size()) ? m_fields.at(i) : QByteArray();
}

int NmeaFields::intAt(int i) const
{
    bool ok = false;
    const int value = at(i).toInt(&ok, 10);
    return ok ? value : 0;
}

double NmeaFields::doubleAt(int i) const
{
    bool ok = false;
    const double value = at(i).toDouble(&ok);
    return ok ? value : 0.0;
}

QByteArray NmeaFields::talker() const
{
    // Some receivers double the "$" ("$$GNGGA"); the talker follows the last.
    const QByteArray address = at(0);
    int start = 0;
    while (start < address.size() && address.at(start) == '$')
        ++start;
    return start > 0 && address.size() >= start + 2 ? address.mid(start, 2) : QByteArray();
}

QByteArray NmeaFields::type() const
{
    const QByteArray address = at(0);
    return address.size() >= 6 ? address.right(3) : QByteArray();
}
