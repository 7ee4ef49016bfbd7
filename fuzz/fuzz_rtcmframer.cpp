// The RTCM 3 framing fed arbitrary chunk sequences. Properties: every frame
// passed on is whole (its length field matches its size) with a right
// CRC; the frames and the skipped bytes together never exceed the input;
// what waits for the rest of a frame stays below two frames' worth plus
// the latest chunk; a valid frame appended after the input is always found.
#include "fuzzcheck.h"
#include "rtcm/rtcmframer.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {
void checkFrame(const RtcmFrame &f)
{
    FUZZ_CHECK(f.bytes.size() >= 6 && quint8(f.bytes.at(0)) == 0xD3);
    const int length = ((quint8(f.bytes.at(1)) & 0x03) << 8) | quint8(f.bytes.at(2));
    FUZZ_CHECK(f.bytes.size() == length + 6);
    const quint32 crc = (quint32(quint8(f.bytes.at(length + 3))) << 16) | (quint32(quint8(f.bytes.at(length + 4))) << 8)
                        | quint8(f.bytes.at(length + 5));
    FUZZ_CHECK(rtcmCrc24q(f.bytes.constData(), length + 3) == crc);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    RtcmFramer framer;
    qint64 sent = 0;
    qint64 framed = 0;
    while (input.remaining_bytes() > 0) {
        const std::string chunk = input.ConsumeRandomLengthString(2048);
        sent += qint64(chunk.size());
        for (const RtcmFrame &f : framer.push(QByteArray(chunk.data(), int(chunk.size())))) {
            checkFrame(f);
            framed += f.bytes.size();
        }
        FUZZ_CHECK(framed + framer.junkBytes() + framer.badFrames() + framer.buffered() == sent);
        FUZZ_CHECK(framer.buffered() <= 2 * RtcmFramer::MaxFrame + int(chunk.size()));
    }
    // A good frame after whatever came: found once enough follows it.
    const QByteArray good = rtcmFrame(QByteArray::fromHex("3ED7D30202980EDEEF34B4BD62AC0941986F33"));
    QByteArray tail;
    for (int i = 0; i < 40; ++i)
        tail += good;
    bool found = false;
    for (const RtcmFrame &f : framer.push(tail)) {
        checkFrame(f);
        found = found || f.bytes == good;
    }
    FUZZ_CHECK(found);
    return 0;
}
