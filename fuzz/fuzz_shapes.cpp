// Every message from either end through the shape check and the decoder: a message that fits
// has the field count its shape promises, and a decoded payload holds only values in range.
#include <cstdint>
#include <cstdlib>

#include "protocol/received.h"

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
    const ReceivedMsg m = DecodeServerMsg(msg);
    if (!m.fits && !std::holds_alternative<std::monostate>(m.body)) abort();
    if (const OutPaiMsg* o = m.as<OutPaiMsg>())
        if (!IsWireChair(o->next) || !IsWireChair(o->chair) || !IsWirePhase(o->phase) || !IsWirePlace(o->mingCi) ||
            o->cards.empty())
            abort();
    if (const StartMsg* s = m.as<StartMsg>())
        if ((s->settingsValid && !IsWireDeckCount(s->deckCount)) || (s->leadValid && !IsWireChair(s->leadChair)))
            abort();
    if (const QuitMsg* q = m.as<QuitMsg>(); q && !IsWireChair(q->chair)) abort();
    if (const ReadyMsg* r = m.as<ReadyMsg>(); r && !IsWireChair(r->chair)) abort();
    if (const GameOverMsg* g = m.as<GameOverMsg>(); g && (g->leftRead < 0 || g->leftRead > 4)) abort();
    DecodeClientMsg(msg);
    return 0;
}
