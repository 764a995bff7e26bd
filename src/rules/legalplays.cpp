#include "rules/legalplays.h"

#include <algorithm>
#include <array>
#include <set>
#include <tuple>

#include "rules/cards.h"
#include "rules/paixing.h"

namespace {

constexpr int kCodes = 54;
constexpr int kSuits = 4;
constexpr int kStraightTop = 11;  // the ace: twos and jokers never join a run
using Counts = std::array<uint8_t, kCodes>;
using Signature = std::array<int, 7>;

// Bytes 1..7 of a description with every key reduced to its rank, except a 真马队's: its suit
// decides against another. A one-part play's second part is left out.
Signature SignatureOf(const PaiXingInfo& info)
{
    auto key = [](uint8_t type, uint8_t key) { return type == PX_ZhenMaDui ? int(key) : RankOrder(key); };
    Signature s{info[1], info[2], key(info[2], info[3]), info[4], 0, 0, 0};
    if (info[1] == PX_LiangTaoHuo) {
        s[4] = info[5];
        s[5] = key(info[5], info[6]);
        s[6] = info[7];
    }
    return s;
}

// How many cards of a suited rank the counts hold.
int RankCount(const Counts& c, int rank)
{
    int k = 0;
    for (int s = 0; s < kSuits; ++s) k += c[size_t(s * 13 + rank)];
    return k;
}

// Moves k cards of a suited rank from the counts into out, lowest suit first; false (counts
// partly used) when there are fewer.
bool TakeRank(Counts& c, int rank, int k, std::vector<uint8_t>& out)
{
    for (int s = 0; s < kSuits && k > 0; ++s) {
        uint8_t& have = c[size_t(s * 13 + rank)];
        while (have > 0 && k > 0) {
            --have;
            --k;
            out.push_back(uint8_t(s * 13 + rank));
        }
    }
    return k == 0;
}

bool TakeCode(Counts& c, uint8_t code, std::vector<uint8_t>& out)
{
    if (c[code] == 0) return false;
    --c[code];
    out.push_back(code);
    return true;
}

// One part of a two-part play before its cards are chosen: a same-rank set, or named cards.
struct Part {
    int rank = -1;               // >= 0: `size` cards of this suited rank
    int size = 0;
    std::vector<uint8_t> codes;  // otherwise these exact cards
};

class Collector {
public:
    Collector(const PaiXingInfo* maxOutPai, bool shuangShunPlayed) : max_(maxOutPai), ss_(shuangShunPlayed) {}

    void consider(std::vector<uint8_t> cards)
    {
        if (cards.empty() || int(cards.size()) > kMaxPlayCards) return;
        SortPaiDesc(cards.data(), int(cards.size()));
        LegalPlay p;
        const bool ok = max_ ? CheckFollowOutPai(cards.data(), int(cards.size()), *max_, ss_, msg_, p.Info)
                             : CheckFirstOutPai(cards.data(), int(cards.size()), msg_, p.Info);
        // Plays the table cannot tell apart are listed once: the first one built.
        if (!ok || !kinds_.insert(SignatureOf(p.Info)).second) return;
        p.Cards = std::move(cards);
        plays_.push_back(std::move(p));
    }

    std::vector<LegalPlay> take() { return std::move(plays_); }

private:
    const PaiXingInfo* max_;
    bool ss_;
    QString msg_;
    std::set<Signature> kinds_;
    std::vector<LegalPlay> plays_;
};

// Every five-ten-king triple of distinct cards the hand holds.
std::vector<std::array<uint8_t, 3>> MaDuiTriples(const Counts& c)
{
    std::vector<std::array<uint8_t, 3>> out;
    for (int sk = 0; sk < kSuits; ++sk)
        for (int st = 0; st < kSuits; ++st)
            for (int sf = 0; sf < kSuits; ++sf) {
                const uint8_t k = uint8_t(sk * 13 + kRankKing), t = uint8_t(st * 13 + kRankTen),
                              f = uint8_t(sf * 13 + kRankFive);
                if (c[k] && c[t] && c[f]) out.push_back({k, t, f});
            }
    return out;
}

// The joker sets of 2 to `maxSize` cards: (small jokers, big jokers).
std::vector<std::pair<int, int>> JokerSets(const Counts& c, int minSize, int maxSize)
{
    std::vector<std::pair<int, int>> out;
    for (int sj = 0; sj <= c[kSmallJoker]; ++sj)
        for (int bj = 0; bj <= c[kBigJoker]; ++bj)
            if (sj + bj >= minSize && sj + bj <= maxSize) out.push_back({sj, bj});
    return out;
}

std::vector<uint8_t> JokerCards(int sj, int bj)
{
    std::vector<uint8_t> v(size_t(bj), kBigJoker);
    v.insert(v.end(), size_t(sj), kSmallJoker);
    return v;
}

void OneRankPlays(const Counts& hand, Collector& out)
{
    for (int r = 0; r < 13; ++r) {
        const int k = RankCount(hand, r);
        // A single, a pair, and every bomb size the rank allows.
        for (int size = 1; size <= std::min(k, 8); ++size) {
            Counts c = hand;
            std::vector<uint8_t> cards;
            if (TakeRank(c, r, size, cards)) out.consider(std::move(cards));
        }
    }
    if (hand[kSmallJoker]) out.consider({kSmallJoker});
    if (hand[kBigJoker]) out.consider({kBigJoker});
    for (auto [sj, bj] : JokerSets(hand, 2, 4)) out.consider(JokerCards(sj, bj));
}

void RunPlays(const Counts& hand, Collector& out)
{
    // Single runs and runs of pairs, three ranks or more.
    constexpr int minLen = 3;
    for (int width = 1; width <= 2; ++width) {
        for (int low = 0; low <= kStraightTop; ++low) {
            std::vector<uint8_t> cards;
            Counts c = hand;
            for (int r = low; r <= kStraightTop; ++r) {
                if (!TakeRank(c, r, width, cards)) break;
                if (r - low + 1 >= minLen) out.consider(cards);
            }
        }
    }
}

void MaDuiPlays(const Counts& hand, Collector& out)
{
    // One triple of each suit pattern is enough for the single play: the true ones by their suit,
    // any mixed one for the rest.
    bool mixedDone = false;
    for (const auto& t : MaDuiTriples(hand)) {
        const bool oneSuit = CardSuit(t[0]) == CardSuit(t[1]) && CardSuit(t[1]) == CardSuit(t[2]);
        if (!oneSuit) {
            if (mixedDone) continue;
            mixedDone = true;
        }
        out.consider({t[0], t[1], t[2]});
    }
}

// The cards of two parts together, or empty when the hand cannot hold both.
std::vector<uint8_t> Combine(const Counts& hand, const Part& a, const Part& b)
{
    Counts c = hand;
    std::vector<uint8_t> cards;
    // Named cards first, so a same-rank set takes what they leave.
    for (const Part* p : {&a, &b})
        for (uint8_t code : p->codes)
            if (!TakeCode(c, code, cards)) return {};
    for (const Part* p : {&a, &b})
        if (p->rank >= 0 && !TakeRank(c, p->rank, p->size, cards)) return {};
    return cards;
}

void LiangTaoHuoPlays(const Counts& hand, Collector& out)
{
    std::vector<Part> parts;
    for (int r = 0; r < 13; ++r)
        for (int size = 3; size <= std::min(RankCount(hand, r), 8); ++size) parts.push_back({r, size, {}});
    for (auto [sj, bj] : JokerSets(hand, 2, 4)) parts.push_back({-1, 0, JokerCards(sj, bj)});
    for (const auto& t : MaDuiTriples(hand)) parts.push_back({-1, 0, {t[0], t[1], t[2]}});
    for (size_t i = 0; i < parts.size(); ++i)
        for (size_t j = i + 1; j < parts.size(); ++j) {
            if (parts[i].rank >= 0 && parts[i].rank == parts[j].rank) continue;  // one bigger set
            std::vector<uint8_t> cards = Combine(hand, parts[i], parts[j]);
            if (!cards.empty()) out.consider(std::move(cards));
        }
}

}  // namespace

std::vector<LegalPlay> EnumerateLegalPlays(const uint8_t* hand, int n, const PaiXingInfo* maxOutPai,
                                           bool shuangShunPlayed)
{
    Counts counts{};
    for (int i = 0; i < n; ++i)
        if (hand[i] < kCodes && counts[hand[i]] < 255) ++counts[hand[i]];
    Collector out(maxOutPai, shuangShunPlayed);
    OneRankPlays(counts, out);
    RunPlays(counts, out);
    MaDuiPlays(counts, out);
    // A 两套火 is only ever allowed against a trick that saw a 双顺.
    if (maxOutPai && shuangShunPlayed) LiangTaoHuoPlays(counts, out);
    return out.take();
}

std::vector<LegalPlay> EnumerateLegalPlays(const std::vector<uint8_t>& hand, const PaiXingInfo* maxOutPai,
                                           bool shuangShunPlayed)
{
    return EnumerateLegalPlays(hand.data(), int(hand.size()), maxOutPai, shuangShunPlayed);
}

std::vector<LegalPlay> PlaysFromCheapest(const std::vector<uint8_t>& hand, const PaiXingInfo* maxOutPai,
                                         bool shuangShunPlayed)
{
    std::vector<LegalPlay> plays = EnumerateLegalPlays(hand, maxOutPai, shuangShunPlayed);
    auto cost = [](const LegalPlay& p) {
        const uint8_t type = p.Info[1];
        const int family = type == PX_LiangTaoHuo ? 2 : type > PX_LiangTaoHuo ? 1 : 0;
        const int lowest = p.Cards.empty() ? 0 : RankOrder(p.Cards.back());
        return std::make_tuple(family, family == 1 ? int(type) : 0, RankOrder(p.Info[3]), lowest, p.Cards.size());
    };
    std::stable_sort(plays.begin(), plays.end(), [&](const LegalPlay& a, const LegalPlay& b) { return cost(a) < cost(b); });
    return plays;
}

std::vector<int> PlaySignature(const PaiXingInfo& info)
{
    const Signature s = SignatureOf(info);
    return std::vector<int>(s.begin(), s.end());
}
