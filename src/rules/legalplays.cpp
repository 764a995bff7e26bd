#include "rules/legalplays.h"

#include <algorithm>
#include <array>
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
// decides against another. A one-part play's second part is left out; a 两套火's parts come
// bigger first, since every check pairs them with the other play's both ways.
Signature SignatureOf(const PaiXingInfo& info)
{
    auto key = [](uint8_t type, uint8_t key) { return type == PX_ZhenMaDui ? int(key) : RankOrder(key); };
    Signature s{info[1], info[2], key(info[2], info[3]), info[4], 0, 0, 0};
    if (info[1] == PX_LiangTaoHuo) {
        s[4] = info[5];
        s[5] = key(info[5], info[6]);
        s[6] = info[7];
        if (std::tie(s[1], s[2], s[3]) < std::tie(s[4], s[5], s[6])) {
            std::swap(s[1], s[4]);
            std::swap(s[2], s[5]);
            std::swap(s[3], s[6]);
        }
    }
    return s;
}

// The signature in one word (every field is below 256), for the set of kinds already listed.
uint64_t Packed(const Signature& s)
{
    uint64_t v = 0;
    for (int x : s) v = (v << 8) | uint64_t(x & 0xff);
    return v;
}

// A play being built, in place: at most kMaxPlayCards cards.
struct Cand {
    std::array<uint8_t, kMaxPlayCards> c{};
    int n = 0;
    bool push(uint8_t code)
    {
        if (n >= kMaxPlayCards) return false;
        c[size_t(n++)] = code;
        return true;
    }
};

// How many cards of a suited rank the counts hold.
int RankCount(const Counts& c, int rank)
{
    int k = 0;
    for (int s = 0; s < kSuits; ++s) k += c[size_t(s * 13 + rank)];
    return k;
}

// Moves k cards of a suited rank from the counts into out, lowest suit first; false (counts
// partly used) when there are fewer.
bool TakeRank(Counts& c, int rank, int k, Cand& out)
{
    for (int s = 0; s < kSuits && k > 0; ++s) {
        uint8_t& have = c[size_t(s * 13 + rank)];
        while (have > 0 && k > 0) {
            if (!out.push(uint8_t(s * 13 + rank))) return false;
            --have;
            --k;
        }
    }
    return k == 0;
}

bool TakeCode(Counts& c, uint8_t code, Cand& out)
{
    if (c[code] == 0 || !out.push(code)) return false;
    --c[code];
    return true;
}

// Plays the table tells apart, each listed once: the first one built.
class Collector {
public:
    Collector(const PaiXingInfo* maxOutPai, bool shuangShunPlayed) : max_(maxOutPai), ss_(shuangShunPlayed)
    {
        plays_.reserve(64);
    }

    // Lists the cards when they are a play here of a kind not yet listed. The signature of the
    // play whenever it is one here, listed now or before; 0 when it is none.
    uint64_t consider(const Cand& cand)
    {
        if (cand.n <= 0) return 0;
        Cand sorted = cand;
        SortPaiDesc(sorted.c.data(), sorted.n);
        PaiXingInfo info;
        const PlayCheck ok = max_ ? CheckFollow(sorted.c.data(), sorted.n, *max_, ss_, info)
                                  : CheckLead(sorted.c.data(), sorted.n, info);
        if (ok != PlayCheck::Ok) return 0;
        const uint64_t sig = Packed(SignatureOf(info));
        if (!insert(sig)) return sig;
        LegalPlay p;
        p.Info = info;
        p.Cards.assign(sorted.c.begin(), sorted.c.begin() + sorted.n);
        plays_.push_back(std::move(p));
        return sig;
    }

    std::vector<LegalPlay> take() { return std::move(plays_); }

private:
    // Open addressing over the packed signatures (never 0: the type byte of a real play sits
    // above the part bytes, and a play's count is never 0).
    bool insert(uint64_t sig)
    {
        if (used_ * 2 >= seen_.size()) {
            // More kinds than ever seen in a real hand: fall back to a plain look-up.
            if (std::find(overflow_.begin(), overflow_.end(), sig) != overflow_.end()) return false;
            for (size_t i = 0; i < seen_.size(); ++i)
                if (seen_[i] == sig) return false;
            overflow_.push_back(sig);
            return true;
        }
        size_t i = size_t((sig * 0x9E3779B97F4A7C15ull) >> 54) & (seen_.size() - 1);
        while (seen_[i]) {
            if (seen_[i] == sig) return false;
            i = (i + 1) & (seen_.size() - 1);
        }
        seen_[i] = sig;
        ++used_;
        return true;
    }

    const PaiXingInfo* max_;
    bool ss_;
    std::array<uint64_t, 1024> seen_{};
    size_t used_ = 0;
    std::vector<uint64_t> overflow_;
    std::vector<LegalPlay> plays_;
};

// Every five-ten-king triple of distinct cards the hand holds.
int MaDuiTriples(const Counts& c, std::array<std::array<uint8_t, 3>, 64>& out)
{
    int n = 0;
    for (int sk = 0; sk < kSuits; ++sk)
        for (int st = 0; st < kSuits; ++st)
            for (int sf = 0; sf < kSuits; ++sf) {
                const uint8_t k = uint8_t(sk * 13 + kRankKing), t = uint8_t(st * 13 + kRankTen),
                              f = uint8_t(sf * 13 + kRankFive);
                if (c[k] && c[t] && c[f]) out[size_t(n++)] = {k, t, f};
            }
    return n;
}

bool OneSuit(const std::array<uint8_t, 3>& t) { return CardSuit(t[0]) == CardSuit(t[1]) && CardSuit(t[1]) == CardSuit(t[2]); }

void OneRankPlays(const Counts& hand, Collector& out)
{
    for (int r = 0; r < 13; ++r) {
        const int k = RankCount(hand, r);
        // A single, a pair, and every bomb size the rank allows.
        for (int size = 1; size <= std::min(k, 8); ++size) {
            Counts c = hand;
            Cand cards;
            if (TakeRank(c, r, size, cards)) out.consider(cards);
        }
    }
    for (uint8_t j : {kSmallJoker, kBigJoker})
        if (hand[j]) {
            Cand one;
            one.push(j);
            out.consider(one);
        }
    for (int sj = 0; sj <= hand[kSmallJoker]; ++sj)
        for (int bj = 0; bj <= hand[kBigJoker]; ++bj) {
            if (sj + bj < 2 || sj + bj > 4) continue;
            Cand cards;
            for (int i = 0; i < bj; ++i) cards.push(kBigJoker);
            for (int i = 0; i < sj; ++i) cards.push(kSmallJoker);
            out.consider(cards);
        }
}

void RunPlays(const Counts& hand, Collector& out)
{
    // Single runs and runs of pairs, three ranks or more.
    constexpr int minLen = 3;
    for (int width = 1; width <= 2; ++width) {
        for (int low = 0; low <= kStraightTop; ++low) {
            Cand cards;
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
    std::array<std::array<uint8_t, 3>, 64> triples;
    const int n = MaDuiTriples(hand, triples);
    bool mixedDone = false;
    for (int i = 0; i < n; ++i) {
        const auto& t = triples[size_t(i)];
        if (!OneSuit(t)) {
            if (mixedDone) continue;
            mixedDone = true;
        }
        Cand cards;
        for (uint8_t c : t) cards.push(c);
        out.consider(cards);
    }
}

// One part of a two-part play before its cards are chosen: a same-rank set, joker counts, or
// one of the five-ten-king triples of a group.
struct Part {
    int rank = -1;          // >= 0: `size` cards of this suited rank
    int size = 0;
    int small = 0, big = 0; // jokers
    int group = -1;         // >= 0: a triple of this group of triples
};

// The triples that make the same kind of part: each true one alone (its suit counts), every
// mixed one together. Pairing tries the members of a group in order, so a group stands for its
// first member that fits beside the other part.
struct TripleGroups {
    std::array<std::array<uint8_t, 3>, 64> triples{};
    int count = 0;
    std::array<std::array<uint8_t, 64>, 5> members{};   // indexes into triples
    std::array<int, 5> size{};
    int groups = 0;
};

TripleGroups GroupTriples(const Counts& hand)
{
    TripleGroups g;
    g.count = MaDuiTriples(hand, g.triples);
    std::array<int, 5> groupOf;   // by suit of a true triple, 4 for the mixed ones
    groupOf.fill(-1);
    for (int i = 0; i < g.count; ++i) {
        const auto& t = g.triples[size_t(i)];
        const int kind = OneSuit(t) ? CardSuit(t[0]) : 4;
        int& at = groupOf[size_t(kind)];
        if (at < 0) at = g.groups++;
        g.members[size_t(at)][size_t(g.size[size_t(at)]++)] = uint8_t(i);
    }
    // Mixed triples of three suits first: no bomb beside them can make them look true, so the
    // first that fits usually does.
    if (groupOf[4] >= 0) {
        auto& m = g.members[size_t(groupOf[4])];
        auto threeSuits = [&g](uint8_t i) {
            const auto& t = g.triples[i];
            return CardSuit(t[0]) != CardSuit(t[1]) && CardSuit(t[1]) != CardSuit(t[2]) && CardSuit(t[0]) != CardSuit(t[2]);
        };
        std::stable_partition(m.begin(), m.begin() + g.size[size_t(groupOf[4])], threeSuits);
    }
    return g;
}

// The cards of two parts together, with the given triples for their triple parts; false when
// the hand cannot hold both. Named cards (jokers, triples) go first in the parts' order, so a
// same-rank set takes what they leave.
bool Combine(const Counts& hand, const Part& a, const Part& b, const std::array<uint8_t, 3>* ta,
             const std::array<uint8_t, 3>* tb, Cand& cards)
{
    Counts c = hand;
    const std::pair<const Part*, const std::array<uint8_t, 3>*> named[2] = {{&a, ta}, {&b, tb}};
    for (const auto& [p, t] : named) {
        if (t)
            for (uint8_t code : *t)
                if (!TakeCode(c, code, cards)) return false;
        for (int i = 0; i < p->big; ++i)
            if (!TakeCode(c, kBigJoker, cards)) return false;
        for (int i = 0; i < p->small; ++i)
            if (!TakeCode(c, kSmallJoker, cards)) return false;
    }
    for (const Part* p : {&a, &b})
        if (p->rank >= 0 && !TakeRank(c, p->rank, p->size, cards)) return false;
    return true;
}

// How many mixed (假马队) parts a described play holds.
int MixedParts(uint64_t sig)
{
    // Packed: type, part 1 type, key, count, part 2 type, key, count; the part types sit in
    // bytes 5 and 2 from the bottom.
    return int(((sig >> 40) & 0xff) == PX_JiaMaDui) + int(((sig >> 16) & 0xff) == PX_JiaMaDui);
}

void LiangTaoHuoPlays(const Counts& hand, Collector& out)
{
    const TripleGroups tg = GroupTriples(hand);
    std::vector<Part> parts;
    for (int r = 0; r < 13; ++r)
        for (int size = 3; size <= std::min(RankCount(hand, r), 8); ++size) parts.push_back({r, size, 0, 0, -1});
    for (int sj = 0; sj <= hand[kSmallJoker]; ++sj)
        for (int bj = 0; bj <= hand[kBigJoker]; ++bj)
            if (sj + bj >= 2 && sj + bj <= 4) parts.push_back({-1, 0, sj, bj, -1});
    for (int g = 0; g < tg.groups; ++g) parts.push_back({-1, 0, 0, 0, g});

    auto triple = [&tg](int group, int member) { return &tg.triples[tg.members[size_t(group)][size_t(member)]]; };
    for (size_t i = 0; i < parts.size(); ++i)
        for (size_t j = i; j < parts.size(); ++j) {
            const Part& a = parts[i];
            const Part& b = parts[j];
            if (a.rank >= 0 && a.rank == b.rank) continue;   // one bigger set
            if (i == j && a.group < 0) continue;            // the same bomb or jokers twice
            // The mixed group stands for its first members that fit and stay mixed: the table
            // may see a triple as true where a king of the bomb beside it matches its suit.
            auto mixed = [&](const Part& p) { return p.group >= 0 && !OneSuit(*triple(p.group, 0)) ? 1 : 0; };
            const int mixedWanted = mixed(a) + mixed(b);
            const int na = a.group >= 0 ? tg.size[size_t(a.group)] : 1;
            const int nb = b.group >= 0 ? tg.size[size_t(b.group)] : 1;
            bool done = false;
            for (int x = 0; x < na && !done; ++x)
                for (int y = (i == j ? x : 0); y < nb && !done; ++y) {
                    const std::array<uint8_t, 3>* ta = a.group >= 0 ? triple(a.group, x) : nullptr;
                    const std::array<uint8_t, 3>* tb = b.group >= 0 ? triple(b.group, y) : nullptr;
                    Cand cards;
                    if (!Combine(hand, a, b, ta, tb, cards)) continue;
                    // Done once the pair came out as the kind it stands for.
                    const uint64_t sig = out.consider(cards);
                    done = mixedWanted == 0 || (sig && MixedParts(sig) >= mixedWanted);
                }
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
