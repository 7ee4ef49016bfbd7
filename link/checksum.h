#ifndef CHECKSUM_H
#define CHECKSUM_H

#include <QByteArray>

// Completes a typed command into a sentence the receiver accepts:
// "$", the body, "*", two upper-case hex digits of its XOR checksum, "\r\n".
//
// The command's line ends at its first "\r" or NUL byte; without one, the
// end of the input stands for the line end. What follows the first "*" of the line
// (a typed checksum, stray text) is dropped, and whatever follows the line
// end is replaced by "\r\n". A missing "$" is put in front; a "$" inside
// the text is an ordinary byte. Every input, empty and 8-bit included,
// gives a complete sentence whose checksum verifies.
QByteArray completeCommand(const QByteArray &command);

// The NMEA 0183 checksum: the exclusive OR of the bytes, as unsigned
// 8-bit values; 0 for no bytes.
quint8 nmeaChecksum(const QByteArray &body);

// What a received line's checksum says: "$GPGGA,...*47" with 47 the XOR of
// the bytes between the "$" (or run of "$") and the "*" is Good; other
// digits are Bad; a line without "*" and two hex digits at its end (line
// end aside) has none: Missing.
enum class ChecksumState { Good, Bad, Missing };
ChecksumState checksumState(const QByteArray &line);

#endif // CHECKSUM_H
