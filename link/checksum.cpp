#include "link/checksum.h"

quint8 nmeaChecksum(const QByteArray &body)
{
    quint8 sum = 0;
    for (const char byte : body)
        sum ^= static_cast<quint8>(byte);
    return sum;
}

QByteArray completeCommand(const QByteArray &command)
{
    // The line proper: up to the first "\r", or all of it when there is none,
    // so no input can leave the line end unfound. A NUL byte ends it too: the
    // worker writes a command only up to its first NUL, and a NUL inside the
    // sentence would send it without checksum and line end.
    int lineEnd = command.size();
    for (int i = 0; i < command.size(); ++i) {
        if (command.at(i) == '\r' || command.at(i) == '\0') {
            lineEnd = i;
            break;
        }
    }
    QByteArray line = command.left(lineEnd);

    // Text after the first "*" is a typed checksum or stray text: it goes.
    const int star = line.indexOf('*');
    if (star >= 0)
        line.truncate(star);

    // Only a leading "$" starts the sentence; one further in is data.
    const QByteArray body = line.startsWith('$') ? line.mid(1) : line;

    QByteArray sentence;
    sentence.reserve(body.size() + 6);
    sentence += '$';
    sentence += body;
    sentence += '*';
    sentence += QByteArray::number(nmeaChecksum(body), 16).toUpper().rightJustified(2, '0');
    sentence += "\r\n";
    return sentence;
}

ChecksumState checksumState(const QByteArray &line)
{
    int end = line.size();
    while (end > 0 && (line.at(end - 1) == '\n' || line.at(end - 1) == '\r'))
        --end;
    int start = 0;
    while (start < end && line.at(start) == '$')
        ++start;
    if (start == 0 || end - start < 3 || line.at(end - 3) != '*')
        return ChecksumState::Missing;
    bool ok = false;
    const int sent = line.mid(end - 2, 2).toInt(&ok, 16);
    if (!ok)
        return ChecksumState::Missing;
    return sent == nmeaChecksum(line.mid(start, end - 3 - start)) ? ChecksumState::Good : ChecksumState::Bad;
}
