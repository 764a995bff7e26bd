// The card rules on arbitrary card bytes: classification never touches the cards, a follow is
// checked against the description of another arbitrary play, and a play the classifier accepts
// beats nothing it does not describe.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "rules/cards.h"
#include "rules/paixing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > 64) return 0;
    const int split = 1 + data[0] % int(size - 1);
    const uint8_t* a = data + 1;
    const int na = split - 1 < 0 ? 0 : split - 1;
    const uint8_t* b = data + split;
    const int nb = int(size) - split;

    uint8_t copy[64];
    std::memcpy(copy, b, size_t(nb));
    PaiXingInfo maxOut{};
    const bool maxIsPlay = GetPaiXing(a, na, maxOut);
    PaiXingInfo info{};
    const bool isPlay = GetPaiXing(b, nb, info);
    if (std::memcmp(copy, b, size_t(nb)) != 0) abort();
    PaiXingInfo again{};
    if (GetPaiXing(b, nb, again) != isPlay || (isPlay && !(again == info))) abort();

    QString msg;
    PaiXingInfo lead{};
    const bool leadOk = CheckFirstOutPai(b, nb, msg, lead);
    if (leadOk && !isPlay) abort();
    if (maxIsPlay) {
        PaiXingInfo follow{};
        QString why;
        const bool ok = CheckFollowOutPai(b, nb, maxOut, data[0] & 1, why, follow);
        if (ok && !isPlay) abort();
        if (!ok && why.isEmpty()) abort();
    }
    ByteArr hand = ByteArr::fromCards(b, nb);
    ArrangeHand(hand, data[0] & 2, uint8_t(1 + (data[0] & 1)));
    if (hand.count() != nb) abort();
    return 0;
}
