// The card rules on arbitrary card bytes: classification never touches the cards, a follow is
// checked against the description of another arbitrary play, and a play the classifier accepts
// beats nothing it does not describe. The same bytes as a hand of real cards: every play the
// enumeration offers (the bots play from it) is made of the hand's cards and passes the checks.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <vector>

#include "rules/cards.h"
#include "rules/legalplays.h"
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

    // A hand of two decks at most: codes 0..53, no card more than twice, 27 cards.
    std::vector<uint8_t> cards;
    int copies[54] = {};
    for (int i = 0; i < nb && cards.size() < 27; ++i) {
        const uint8_t c = uint8_t(b[i] % 54);
        if (copies[c]++ < 2) cards.push_back(c);
    }
    const bool shuangShun = data[0] & 4;
    for (const LegalPlay& play : EnumerateLegalPlays(cards, maxIsPlay ? &maxOut : nullptr, shuangShun)) {
        std::vector<uint8_t> left = cards;
        for (uint8_t c : play.Cards) {
            const auto it = std::find(left.begin(), left.end(), c);
            if (it == left.end()) abort();
            left.erase(it);
        }
        QString why;
        PaiXingInfo out{};
        const int n = int(play.Cards.size());
        const bool ok = maxIsPlay ? CheckFollowOutPai(play.Cards.data(), n, maxOut, shuangShun, why, out)
                                  : CheckFirstOutPai(play.Cards.data(), n, why, out);
        if (!ok) abort();
    }
    return 0;
}
