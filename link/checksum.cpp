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
    // so no input can leave the line end unfound.
    const int lineEnd = command.indexOf('\r');
    QByteArray line = lineEnd >= 0 ? command.left(lineEnd) : command;

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
