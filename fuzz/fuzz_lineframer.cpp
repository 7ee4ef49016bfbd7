// The line framing fed arbitrary chunk sequences. Properties: a chunk
// ending in a line feed releases everything buffered; going past the
// buffer bound releases whole lines, or everything when the rest is itself
// over it; nothing else releases anything; every byte comes out unchanged
// and in order.
#include "fuzzcheck.h"
#include "link/lineframer.h"

#include <fuzzer/FuzzedDataProvider.h>

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
        released += block;
        FUZZ_CHECK(framer.buffered() <= LineFramer::MaxBuffered);
        if (!chunk.isEmpty() && chunk.endsWith('\n'))
            FUZZ_CHECK(framer.buffered() == 0 && block.size() == before + chunk.size());
        else if (before + chunk.size() <= LineFramer::MaxBuffered)
            FUZZ_CHECK(block.isEmpty() && framer.buffered() == before + chunk.size());
        else
            FUZZ_CHECK(block.endsWith('\n') || framer.buffered() == 0);
        FUZZ_CHECK(released.size() + framer.buffered() == sent.size());
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

    // Every byte leaves, in order.
    FUZZ_CHECK(released == sent);
    return 0;
}
