#ifndef CHECKSUM_H
#define CHECKSUM_H

#include <QByteArray>

// Completes a typed command into a sentence the receiver accepts:
// "$", the body, "*", two upper-case hex digits of its XOR checksum, "\r\n".
QByteArray completeCommand(const QByteArray &command);

#endif // CHECKSUM_H
