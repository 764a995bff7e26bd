// The table snapshot from arbitrary bytes: loading stops at the end of the message and leaves a
// table whose parts agree with each other, with every value a later reader indexes by in range.
#include <cstdint>
#include <cstdlib>

#include "rules/gamedefine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TableState t;
    InitGameDefine(t);
    t.blnPangGuan = size > 0 && (data[size - 1] & 1);
    LoadTableSnapshot(t, data, int(size));
    if (!IsWireChair(t.TurnChair) || !IsWirePhase(WireValue(t.GamePhase)) || !IsWireDeckCount(t.DeckCount)) abort();
    for (const ChairInfo& c : t.Chairs)
        if (!IsWirePlace(c.MingCi) || c.PaiCount > FullHandCount(t.DeckCount)) abort();
    return 0;
}
