// The card rules on arbitrary card bytes: classification never touches the cards, describes
// what it was given, and does not depend on the cards' order; a follow is checked against the
// description of another arbitrary play and leaves it as it was; a refusal always says why. The
// same bytes as a hand: arranging keeps the cards and removing takes no more than asked. As a
// hand of real cards: every play the enumeration offers (the bots play from it) is made of the
// hand's cards and passes the checks. The rules tests replay this target on generated hands.
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <vector>

#include "rules/cards.h"
#include "rules/legalplays.h"
#include "rules/paixing.h"

namespace {

const QString kRefusal = QStringLiteral("错误提示：");

// A play's description names what it was made of: its type, its parts' kinds, sizes and keys.
void CheckDescription(const uint8_t* v, int n, const PaiXingInfo& p)
{
    if (p[1] > 12) abort();
    for (int i = 0; i < n; ++i)
        if (v[i] > 53) abort();
    if (p[1] == PX_LiangTaoHuo) {
        if (p[2] < 5 || p[2] > 12 || p[5] < 5 || p[5] > 12 || p[4] + p[7] != n) abort();
    } else {
        if (p[2] != p[1] || p[4] != n) abort();
        // The key is one of the cards, or a joker for the kinds that count jokers as their key.
        if (std::find(v, v + n, p[3]) == v + n && !(p[1] >= 8 && p[3] == 53)) abort();
    }
}

}  // namespace

// The same cards in any order make the same type with the same kinds of parts. Only two 马队
// built from three pairs may trade places: each is keyed on one of the kings, and which king the
// sort puts first depends on the order the cards came in.
bool SameTypes(const PaiXingInfo& p, const PaiXingInfo& q)
{
    if (q[1] != p[1]) return false;
    const auto maDui = [](uint8_t k) { return k == PX_JiaMaDui || k == PX_ZhenMaDui; };
    if (p[1] == PX_LiangTaoHuo && p[4] == 3 && p[7] == 3 && maDui(p[2]) && maDui(p[5]))
        return std::min(q[2], q[5]) == std::min(p[2], p[5]) && std::max(q[2], q[5]) == std::max(p[2], p[5]);
    return q[2] == p[2] && q[5] == p[5];
}

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
    if (isPlay) CheckDescription(b, nb, info);
    std::vector<uint8_t> reversed(b, b + nb);
    std::reverse(reversed.begin(), reversed.end());
    PaiXingInfo turned{};
    if (GetPaiXing(reversed.data(), nb, turned) != isPlay || (isPlay && !SameTypes(info, turned))) abort();

    QString msg;
    PaiXingInfo lead{};
    const bool leadOk = CheckFirstOutPai(b, nb, msg, lead);
    if (leadOk && !isPlay) abort();
    if (!leadOk && !msg.startsWith(kRefusal)) abort();
    // Not a play: its first eight bytes stand for any description a snapshot may bring.
    if (!maxIsPlay && na >= 8) std::memcpy(maxOut.b.data(), a, 8);
    if (maxIsPlay || na >= 8) {
        PaiXingInfo follow{};
        QString why;
        const PaiXingInfo before = maxOut;
        const bool ok = CheckFollowOutPai(b, nb, maxOut, data[0] & 1, why, follow);
        if (!(maxOut == before)) abort();
        if (ok && (!isPlay || !why.isEmpty())) abort();
        if (ok) CheckDescription(b, nb, follow);
        if (!ok && !why.startsWith(kRefusal)) abort();
    }
    // A part never beats itself.
    if (nb >= 3 && IsComponentBigger(PaiComponent{b[0], b[1], b[2]}, PaiComponent{b[0], b[1], b[2]})) abort();

    ByteArr hand = ByteArr::fromCards(b, nb);
    ArrangeHand(hand, data[0] & 2, uint8_t(1 + (data[0] & 1)));
    if (hand.count() != nb) abort();
    std::vector<uint8_t> kept = hand.cards(), given(b, b + nb);
    std::sort(kept.begin(), kept.end());
    std::sort(given.begin(), given.end());
    if (kept != given) abort();
    // Removing the first part of the cards plus one the hand may not hold takes those it holds.
    ByteArr taken = ByteArr::fromCards(a, na);
    int count = hand.upperBound();
    RemovePai(hand, count, taken, na);
    if (count != hand.upperBound() || count < nb - na || count > nb) abort();

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
