// The frame decoder fed arbitrary bytes in arbitrary pieces: what comes out, framed again, is
// exactly the stream that went in, up to where it broke or ran out.
#include <cstdint>
#include <cstdlib>

#include "protocol/framing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const size_t piece = size_t(data[0] % 17) + 1;
    ++data;
    --size;
    FrameDecoder d;
    QByteArray out;
    QByteArray msg;
    for (size_t at = 0; at < size; at += piece) {
        const size_t n = std::min(piece, size - at);
        d.append(QByteArrayView(reinterpret_cast<const char*>(data) + at, qsizetype(n)));
        while (d.next(msg) == FrameDecoder::Status::Frame) {
            if (msg.isEmpty() || msg.size() > qsizetype(kMaxFrame)) abort();
            out += EncodeFrame(msg);
        }
        if (at % 5 == 0) d.squeeze();
    }
    const QByteArray in(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!in.startsWith(out)) abort();
    if (!d.broken() && out.size() + d.buffered() != in.size()) abort();
    return 0;
}
