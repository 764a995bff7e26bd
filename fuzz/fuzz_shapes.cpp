// Every message from either end through the shape check: a message that fits has the field
// count its shape promises.
#include <cstdint>
#include <cstdlib>

#include "protocol/shapes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray msg(reinterpret_cast<const char*>(data), qsizetype(size));
    for (Sender from : {Sender::Server, Sender::Client}) {
        const ParsedMsg p = ParseMessage(msg, from);
        if (!p.fits || !p.shape) continue;
        if (p.shape->rule == FieldRule::Exact && p.fields.size() != p.shape->fields) abort();
        if (p.shape->rule == FieldRule::AtLeast && p.fields.size() < p.shape->fields) abort();
        if (msg.size() < p.shape->minBytes) abort();
    }
    return 0;
}
