// The table snapshot from arbitrary bytes: loading stops at the end of the message and leaves a
// table whose parts agree with each other.
#include <cstdint>
#include <cstdlib>

#include "rules/gamedefine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TableState t;
    InitGameDefine(t);
    LoadTableSnapshot(t, data, int(size));
    if (t.PaiSelected.count() != t.MyPai.count()) abort();
    return 0;
}
