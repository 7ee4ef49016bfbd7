#include "nmea/nmeafields.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

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


namespace {

// Where the body of a line ends: before its "*hh" checksum and its line end.
int bodyEnd(const QByteArray &line)
{
    int end = line.size();
    while (end > 0 && (line.at(end - 1) == '\n' || line.at(end - 1) == '\r'))
        --end;
    // The checksum is the last '*' followed by at most two characters; a
    // '*' further back belongs to the text (a cut line keeps its fields).
    const int star = line.lastIndexOf('*', end - 1);
    if (star >= 0 && end - star <= 3)
        end = star;
    return end;
}

} // namespace

QByteArray NmeaFields::body(const QByteArray &line)
{
    return line.left(bodyEnd(line));
}

NmeaFields::NmeaFields(const QByteArray &line)
    : m_line(line)
{
    const int end = bodyEnd(line);
    const char *data = line.constData();
    m_starts.append(0);
    for (int i = 0; i < end; ++i) {
        if (data[i] == ',')
            m_starts.append(i + 1);
    }
    m_starts.append(end + 1);
}

int NmeaFields::sizeAt(int i) const
{
    return (i >= 0 && i < count()) ? m_starts[i + 1] - 1 - m_starts[i] : 0;
}

QByteArray NmeaFields::at(int i) const
{
    // A copy of its own: the line may be a view of a buffer that goes.
    const int size = sizeAt(i);
    return size > 0 ? QByteArray(fieldData(i), size) : QByteArray();
}

bool NmeaFields::isAt(int i, const char *text) const
{
    const int size = sizeAt(i);
    return int(qstrlen(text)) == size && (size == 0 || std::memcmp(fieldData(i), text, size_t(size)) == 0);
}

bool NmeaFields::digitsAt(int i) const
{
    const int size = sizeAt(i);
    const char *p = size > 0 ? fieldData(i) : nullptr;
    return size > 0 && std::all_of(p, p + size, [](char c) { return c >= '0' && c <= '9'; });
}

int NmeaFields::intAt(int i) const
{
    // As QByteArray::toInt(&ok, 10): spaces around, an optional sign, digits.
    const int size = sizeAt(i);
    if (size == 0)
        return 0;
    const char *p = fieldData(i);
    const char *end = p + size;
    while (p != end && *p == ' ')
        ++p;
    while (end != p && end[-1] == ' ')
        --end;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+'))
        ++p;
    if (p == end)
        return 0;
    qint64 value = 0;
    for (; p != end; ++p) {
        if (*p < '0' || *p > '9')
            return 0;
        value = value * 10 + (*p - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return 0;
    }
    value = negative ? -value : value;
    return value > std::numeric_limits<int>::max() ? 0 : int(value);
}

bool NmeaFields::numberAt(int i, double *value) const
{
    const int size = sizeAt(i);
    if (size == 0)
        return false;
    const char *begin = fieldData(i);
    double v = 0;
    const std::from_chars_result read = std::from_chars(begin, begin + size, v);
    if (read.ec == std::errc() && read.ptr == begin + size) {
        *value = v;
        return true;
    }
    // What the quick reading does not take whole (a sign, spaces) goes the
    // long way, as before.
    bool ok = false;
    v = at(i).toDouble(&ok);
    if (ok)
        *value = v;
    return ok;
}

double NmeaFields::doubleAt(int i) const
{
    double value = 0.0;
    return numberAt(i, &value) ? value : 0.0;
}

QByteArray NmeaFields::talker() const
{
    // Some receivers double the "$" ("$$GNGGA"); the talker follows the last.
    const int size = sizeAt(0);
    const char *address = m_line.constData();
    int start = 0;
    while (start < size && address[start] == '$')
        ++start;
    return start > 0 && size >= start + 2 ? QByteArray(address + start, 2) : QByteArray();
}

QByteArray NmeaFields::type() const
{
    const int size = sizeAt(0);
    return size >= 6 ? QByteArray(m_line.constData() + size - 3, 3) : QByteArray();
}
