// The line framing fed arbitrary chunk sequences. Properties: a released
// block is never empty and always ends in a line feed; a chunk ending in a
// line feed releases everything buffered; bytes come out unchanged and in
// order; only a line longer than the buffer bound can lose bytes, and then
// only from its front, never a line feed.
#include "fuzzcheck.h"
#include "link/lineframer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QList>

namespace {

QList<QByteArray> splitLines(const QByteArray &stream)
{
    QList<QByteArray> lines;
    int start = 0;
    for (int i = 0; i < stream.size(); ++i) {
        if (stream.at(i) == '\n') {
            lines.append(stream.mid(start, i - start + 1));
            start = i + 1;
        }
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    LineFramer framer;
    QByteArray sent;
    QByteArray released;

    const auto push = [&](const QByteArray &chunk) {
        const int before = framer.buffered();
        const QByteArray block = framer.push(chunk);
        sent += chunk;
        if (!block.isEmpty()) {
            FUZZ_CHECK(block.endsWith('\n'));
            released += block;
        }
        FUZZ_CHECK(framer.buffered() <= LineFramer::MaxBuffered);
        if (!chunk.isEmpty() && chunk.endsWith('\n'))
            FUZZ_CHECK(framer.buffered() == 0 && block.size() == before + chunk.size());
        else if (before + chunk.size() <= LineFramer::MaxBuffered)
            FUZZ_CHECK(block.isEmpty() && framer.buffered() == before + chunk.size());
        FUZZ_CHECK(released.size() + framer.buffered() + framer.droppedBytes() == sent.size());
    };

    while (input.remaining_bytes() > 0) {
        const int length = input.ConsumeIntegralInRange<int>(0, 512);
        // A repeat count lets a short input grow a stream past the bound.
        const int repeats = input.ConsumeBool() ? input.ConsumeIntegralInRange<int>(1, 300) : 1;
        const std::string bytes = input.ConsumeBytesAsString(length);
        const QByteArray chunk(bytes.data(), int(bytes.size()));
        for (int r = 0; r < repeats; ++r)
            push(chunk);
    }
    // A final line feed releases whatever is left.
    push(QByteArray("\n"));

    // Line i out is line i in: line feeds are never dropped, a line no
    // longer than the bound arrives whole, a longer one at most loses bytes
    // from its front.
    const QList<QByteArray> in = splitLines(sent);
    const QList<QByteArray> out = splitLines(released);
    FUZZ_CHECK(out.size() == in.size());
    FUZZ_CHECK(released.endsWith('\n') || released.isEmpty());
    for (int i = 0; i < in.size(); ++i) {
        if (in.at(i).size() <= LineFramer::MaxBuffered)
            FUZZ_CHECK(out.at(i) == in.at(i));
        else
            FUZZ_CHECK(in.at(i).endsWith(out.at(i)));
    }
    return 0;
}
