// Decoding arbitrary bodies from any start: never reads outside the message, and a text that
// decodes encodes back to the very same bytes.
#include <cstdint>
#include <cstdlib>

#include "protocol/codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const int start = data[0] % 4;
    const QByteArray msg(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const QString text = DecodePacketText(msg, start);
    if (!text.isEmpty() && EncodeGbk(text) != msg.mid(start)) abort();
    int32_t v = 0;
    const bool ok = ReadLongBE(v, msg, start);
    if (ok != (msg.size() - start >= 4)) abort();
    return 0;
}
