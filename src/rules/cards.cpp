#include "rules/cards.h"

#include <algorithm>
#include <array>

namespace {

int clampCount(const ByteArr& a, int n) { return std::clamp(n, 0, a.upperBound()); }

// Copies positions 1..n out of a 1-based array.
std::vector<uint8_t> take(const ByteArr& a, int n)
{
    n = clampCount(a, n);
    return n > 0 ? std::vector<uint8_t>(a.data1(), a.data1() + n) : std::vector<uint8_t>{};
}

void putBack(ByteArr& a, const std::vector<uint8_t>& v)
{
    for (size_t i = 0; i < v.size(); ++i) a[int(i) + 1] = v[i];
}

}  // namespace

void SortPaiDesc(uint8_t* p, int n)
{
    if (!p || n < 2) return;
    // The ranks are worked out once and swapped along with the cards; the swaps are the same.
    constexpr int kLocal = 64;
    if (n > kLocal) {
        for (int j = 0; j < n - 1; ++j)
            for (int i = j + 1; i < n; ++i)
                if (IsPaiLess(p[j], p[i])) std::swap(p[j], p[i]);
        return;
    }
    std::array<int, kLocal> rank;
    for (int i = 0; i < n; ++i) rank[size_t(i)] = RankOrder(p[i]);
    for (int j = 0; j < n - 1; ++j)
        for (int i = j + 1; i < n; ++i)
            if (rank[size_t(j)] < rank[size_t(i)]) {
                std::swap(p[j], p[i]);
                std::swap(rank[size_t(j)], rank[size_t(i)]);
            }
}

void SortPaiDesc(ByteArr& cards, int n)
{
    n = clampCount(cards, n);
    if (n > 0) SortPaiDesc(&cards[1], n);
}

void RemovePai(ByteArr& hand, int& handCount, const ByteArr& cards, int n)
{
    handCount = clampCount(hand, handCount);
    // The list is read from a copy: when it is the hand itself it shrinks with every removal.
    const std::vector<uint8_t> list = take(cards, n);
    for (const uint8_t c : list) {
        for (int j = 1; j <= handCount; ++j) {
            if (hand[j] != c) continue;
            for (int m = j; m < handCount; ++m) hand[m] = hand[m + 1];
            --handCount;
            hand.redim(handCount);
            break;
        }
    }
}

void RemovePai(ByteArr& hand, const ByteArr& cards, int n)
{
    int count = hand.upperBound();
    RemovePai(hand, count, cards, n);
}

int GroupPaiByRank(const uint8_t* p, int n, PaiGroup* groups)
{
    if (!p || !groups || n <= 0) return 0;
    int k = 0;
    for (int i = 0; i < n; ++i) {
        const uint8_t c = p[i];
        if (k > 0) {
            PaiGroup& g = groups[k];
            if (g.Count < 16 && IsPaiSameRank(g.Cards[1], c)) {
                g.Cards[size_t(++g.Count)] = c;
                continue;
            }
        }
        PaiGroup& g = groups[++k];
        g.Cards[1] = c;
        g.Count = 1;
    }
    return k;
}

void GroupPaiByRank(const uint8_t* p, int n, std::vector<PaiGroup>& groups, int& groupCount)
{
    groups.clear();
    groupCount = 0;
    if (!p || n <= 0) return;
    groups.resize(size_t(n) + 1);
    groupCount = GroupPaiByRank(p, n, groups.data());
    groups.resize(size_t(groupCount) + 1);
}

void GroupPaiByRank(const ByteArr& cards, int n, std::vector<PaiGroup>& groups, int& groupCount)
{
    n = clampCount(cards, n);
    GroupPaiByRank(n > 0 ? cards.data1() : nullptr, n, groups, groupCount);
}

int32_t CountFenPai(const uint8_t* p, int n)
{
    int32_t fen = 0;
    if (!p) return 0;
    for (int i = 0; i < n; ++i) {
        if (!IsSuitedCard(p[i])) continue;
        const uint8_t r = CardRank(p[i]);
        if (r == kRankFive) fen += 5;
        else if (r == kRankTen || r == kRankKing) fen += 10;
    }
    return fen;
}

int32_t CountFenPai(const ByteArr& cards, int n)
{
    n = clampCount(cards, n);
    return n > 0 ? CountFenPai(cards.data1(), n) : 0;
}

void ArrangePaiByGroup(uint8_t* p, int n)
{
    if (!p || n <= 0) return;
    SortPaiDesc(p, n);
    std::vector<PaiGroup> g;
    int k = 0;
    GroupPaiByRank(p, n, g, k);
    for (int b = 1; b <= k - 1; ++b)
        for (int c = b + 1; c <= k; ++c)
            if (g[size_t(c)].Count > g[size_t(b)].Count ||
                (g[size_t(c)].Count == g[size_t(b)].Count && IsPaiLess(g[size_t(b)].Cards[1], g[size_t(c)].Cards[1])))
                std::swap(g[size_t(b)], g[size_t(c)]);
    int pos = 0;
    for (int b = 1; b <= k; ++b)
        for (int i = 1; i <= g[size_t(b)].Count; ++i) p[pos++] = g[size_t(b)].Cards[size_t(i)];
}

void ArrangePaiByGroup(ByteArr& cards, int n)
{
    n = clampCount(cards, n);
    if (n > 0) ArrangePaiByGroup(&cards[1], n);
}

void ArrangeHand(ByteArr& hand, bool sortMode, uint8_t deckCount)
{
    const std::vector<uint8_t> src = take(hand, hand.upperBound());
    const size_t n = src.size();
    if (n == 0) return;
    // A separate taken flag per position: a hand may hold any byte, so no code can serve as the mark.
    std::vector<bool> taken(n, false);
    std::vector<uint8_t> out;
    out.reserve(n);

    size_t jokers = 0;
    for (uint8_t c : src) jokers += IsJokerCard(c) ? 1 : 0;
    if (jokers >= 2) {
        for (uint8_t j : {kBigJoker, kSmallJoker})
            for (size_t i = 0; i < n; ++i)
                if (src[i] == j) { out.push_back(j); taken[i] = true; }
    }

    // Position of the first untaken card with the given code (suit < 0: any suit of that rank).
    auto find = [&](int suit, uint8_t rank) -> long {
        for (size_t i = 0; i < n; ++i) {
            if (taken[i] || !IsSuitedCard(src[i]) || CardRank(src[i]) != rank) continue;
            if (suit < 0 || CardSuit(src[i]) == suit) return long(i);
        }
        return -1;
    };
    // One five-ten-king set, appended five, ten, king; false when a card of it is missing.
    auto takeSet = [&](int suit) {
        const long f = find(suit, kRankFive), t = find(suit, kRankTen), k = find(suit, kRankKing);
        if (f < 0 || t < 0 || k < 0) return false;
        for (long i : {f, t, k}) { out.push_back(src[size_t(i)]); taken[size_t(i)] = true; }
        return true;
    };
    for (int s = 3; s >= 0; --s)
        for (int d = 0; d < deckCount; ++d)
            if (!takeSet(s)) break;
    while (takeSet(-1)) {}

    std::vector<uint8_t> rest;
    rest.reserve(n);
    for (size_t i = 0; i < n; ++i)
        if (!taken[i]) rest.push_back(src[i]);
    if (sortMode) SortPaiDesc(rest.data(), int(rest.size()));
    else ArrangePaiByGroup(rest.data(), int(rest.size()));
    out.insert(out.end(), rest.begin(), rest.end());
    putBack(hand, out);
}
