// Checksum completion fed arbitrary commands. Properties: the result is
// always "$", a body free of "\r" and "*", "*", two upper-case hex digits
// that are the XOR of the body's bytes, and "\r\n"; the body is the
// command's own text before its first "\r" and first "*"; and the bytes
// the serial worker writes (up to a NUL) are that same whole sentence.
#include "fuzzcheck.h"
#include "link/checksum.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray command(reinterpret_cast<const char *>(data), int(size));
    const QByteArray sentence = completeCommand(command);

    FUZZ_CHECK(sentence.size() >= 6);
    FUZZ_CHECK(sentence.startsWith('$'));
    FUZZ_CHECK(sentence.endsWith("\r\n"));
    const int star = sentence.size() - 5;
    FUZZ_CHECK(sentence.at(star) == '*');
    const QByteArray body = sentence.mid(1, star - 1);
    FUZZ_CHECK(!body.contains('\r') && !body.contains('*') && !body.contains('\0'));

    const QByteArray digits = sentence.mid(star + 1, 2);
    for (const char c : digits)
        FUZZ_CHECK((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    bool ok = false;
    FUZZ_CHECK(digits.toUInt(&ok, 16) == sum && ok);

    // The body is taken from the command, not invented: it is the command's
    // text with at most one leading "$" removed.
    FUZZ_CHECK(command.startsWith(body) || command.startsWith('$' + body));

    // What reaches the line: the worker writes up to the first NUL.
    const int nul = sentence.indexOf('\0');
    FUZZ_CHECK(nul < 0);
    return 0;
}
