#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cardcodes.h"
#include "rules/cards.h"

namespace {

std::vector<uint8_t> arranged(std::vector<uint8_t> hand, bool sortMode, uint8_t decks)
{
    ByteArr h = ByteArr::fromVector(hand);
    ArrangeHand(h, sortMode, decks);
    return h.cards();
}

TEST(RankOrder, PairsOfCards)
{
    struct Row { uint8_t a, b; bool less, same; };
    const Row rows[] = {
        {Card(3, R3), Card(0, R4), true, false},   // suit never decides
        {Card(0, RA), Card(0, R2), true, false},   // the two above the ace
        {Card(3, R2), SJ, true, false},            // every joker above every suited card
        {Card(3, R2), BJ, true, false},
        {SJ, BJ, true, false},
        {BJ, SJ, false, false},
        {Card(1, R10), Card(2, R10), false, true}, // same rank, different suits
        {Card(2, RK), Card(2, RK), false, true},   // two copies of a code
        {SJ, SJ, false, true},
        {Card(0, R3), SJ, true, false},            // code 0 and 52 share code % 13 but not rank
        {Card(0, R4), BJ, true, false},            // code 1 and 53 likewise
    };
    for (const Row& r : rows) {
        EXPECT_EQ(IsPaiLess(r.a, r.b), r.less) << int(r.a) << " < " << int(r.b);
        EXPECT_EQ(IsPaiSameRank(r.a, r.b), r.same) << int(r.a) << " ~ " << int(r.b);
        EXPECT_EQ(IsPaiSameRank(r.b, r.a), r.same);
    }
}

TEST(RankOrder, CodesBeyondTheDeckOrderAboveJokersWithoutBreakingSorts)
{
    EXPECT_TRUE(IsPaiLess(BJ, 54));
    EXPECT_FALSE(IsPaiSameRank(BJ, 54));
    std::vector<uint8_t> v{255, 0, 54, 53, 254};
    SortPaiDesc(v.data(), int(v.size()));
    EXPECT_EQ(v, (std::vector<uint8_t>{255, 254, 54, 53, 0}));
}

TEST(SortPaiDesc, HighestFirstAndOnlyTheFirstN)
{
    ByteArr a{Card(0, R5), BJ, Card(2, RA), SJ, Card(1, R2), Card(3, R3)};
    SortPaiDesc(a, 5);
    EXPECT_EQ(a.cards(), (std::vector<uint8_t>{BJ, SJ, Card(1, R2), Card(2, RA), Card(0, R5), Card(3, R3)}));
    ByteArr b{Card(0, R5), Card(0, R6)};
    SortPaiDesc(b, 99);  // a count beyond the array is clamped
    EXPECT_EQ(b.cards(), (std::vector<uint8_t>{Card(0, R6), Card(0, R5)}));
    ByteArr empty;
    SortPaiDesc(empty, 3);
    EXPECT_TRUE(empty.empty());
}

TEST(SortPaiDesc, ExchangeOrderWithinARank)
{
    // The exchange sort moves equal ranks around through swaps with others: 40 ends before 1.
    std::vector<uint8_t> v{1, 40, 41, 44, 28};
    SortPaiDesc(v.data(), 5);
    EXPECT_EQ(v, (std::vector<uint8_t>{44, 41, 28, 40, 1}));
}

TEST(RemovePai, OneCopyPerListedCard)
{
    struct Row { std::vector<uint8_t> hand, remove, left; };
    const Row rows[] = {
        {{5, 18, 5, 7}, {5}, {18, 5, 7}},              // first copy only
        {{5, 18, 5, 7}, {5, 5}, {18, 7}},              // listed twice: both copies
        {{5, 18, 7}, {9, 18}, {5, 7}},                 // a card not held is skipped
        {{5}, {5}, {}},                                // the hand can become empty
        {{}, {5}, {}},
        {{SJ, BJ, SJ}, {SJ}, {BJ, SJ}},
        {{Card(0, R5), Card(1, R5)}, {Card(2, R5)}, {Card(0, R5), Card(1, R5)}},  // exact code, not rank
    };
    for (const Row& r : rows) {
        ByteArr hand = ByteArr::fromVector(r.hand);
        int count = hand.upperBound();
        RemovePai(hand, count, ByteArr::fromVector(r.remove), int(r.remove.size()));
        EXPECT_EQ(hand.cards(), r.left);
        EXPECT_EQ(count, int(r.left.size()));
        EXPECT_EQ(hand.upperBound(), count);
    }
}

TEST(RemovePai, TheHandItselfAsTheList)
{
    ByteArr hand{1, 2, 3};
    int count = hand.upperBound();
    RemovePai(hand, count, hand, count);
    EXPECT_TRUE(hand.empty());
    EXPECT_EQ(count, 0);
}

TEST(RemovePai, CountsBeyondTheArraysAreClamped)
{
    ByteArr hand{1, 2, 3};
    int count = 50;
    RemovePai(hand, count, ByteArr{2}, 10);
    EXPECT_EQ(hand.cards(), (std::vector<uint8_t>{1, 3}));
    EXPECT_EQ(count, 2);
    // A hand count smaller than the array restricts the search to that prefix.
    ByteArr h2{1, 2, 3};
    int c2 = 2;
    RemovePai(h2, c2, ByteArr{3}, 1);
    EXPECT_EQ(c2, 2);
}

TEST(GroupPaiByRank, RunsOfOneRank)
{
    std::vector<uint8_t> v{BJ, BJ, SJ, Card(0, RA), Card(2, RA), Card(1, RA), Card(3, R5)};
    std::vector<PaiGroup> g;
    int k = 0;
    GroupPaiByRank(v.data(), int(v.size()), g, k);
    ASSERT_EQ(k, 4);
    ASSERT_EQ(g.size(), 5u);
    EXPECT_EQ(g[1].Count, 2);
    EXPECT_EQ(g[2].Count, 1);
    EXPECT_EQ(g[3].Count, 3);
    EXPECT_EQ(g[3].Cards[1], Card(0, RA));
    EXPECT_EQ(g[3].Cards[3], Card(1, RA));
    EXPECT_EQ(g[4].Cards[1], Card(3, R5));
}

TEST(GroupPaiByRank, AGroupNeverHoldsMoreThanSixteen)
{
    std::vector<uint8_t> v(20, Card(1, R7));
    std::vector<PaiGroup> g;
    int k = 0;
    GroupPaiByRank(v.data(), 20, g, k);
    ASSERT_EQ(k, 2);
    EXPECT_EQ(g[1].Count, 16);
    EXPECT_EQ(g[2].Count, 4);
    GroupPaiByRank(v.data(), 0, g, k);
    EXPECT_EQ(k, 0);
}

TEST(CountFenPai, FivesTensKings)
{
    struct Row { std::vector<uint8_t> cards; int32_t fen; };
    const Row rows[] = {
        {{}, 0},
        {{Card(0, R5)}, 5},
        {{Card(3, R10), Card(2, RK)}, 20},
        {{Card(0, R5), Card(1, R5), Card(0, R10), Card(0, RK), Card(0, RQ), Card(0, RA)}, 30},
        {{SJ, BJ}, 0},                // 52 and 53 are not fives or tens despite code % 13
        {{54, 59, 62, 255}, 0},       // not cards at all
        {{Card(0, R4), Card(0, R6), Card(0, R9), Card(0, RJ)}, 0},
    };
    for (const Row& r : rows) EXPECT_EQ(CountFenPai(ByteArr::fromVector(r.cards), int(r.cards.size())), r.fen);
    ByteArr a{Card(0, R5), Card(0, RK)};
    EXPECT_EQ(CountFenPai(a, 1), 5);
    EXPECT_EQ(CountFenPai(a, 9), 15);
}

TEST(ArrangePaiByGroup, BiggestGroupsFirstThenHigherRank)
{
    ByteArr a{Card(0, RA), Card(0, R6), Card(1, RA), Card(1, R6), Card(2, R6), Card(2, RA), Card(3, R6),
              Card(0, R9), Card(1, R9), Card(0, RK)};
    ArrangePaiByGroup(a, a.upperBound());
    std::vector<uint8_t> r = a.cards();
    // four sixes, three aces, two nines, one king
    std::vector<int> ranks;
    for (uint8_t c : r) ranks.push_back(c % 13);
    EXPECT_EQ(ranks, (std::vector<int>{R6, R6, R6, R6, RA, RA, RA, R9, R9, RK}));

    ByteArr b{Card(0, R3), Card(1, R3), Card(0, R4), Card(1, R4)};
    ArrangePaiByGroup(b, 4);
    EXPECT_EQ(b[1] % 13, R4);  // equal sizes: higher rank first
}

TEST(ArrangeHand, JokersLeadOnlyFromTwo)
{
    EXPECT_EQ(arranged({Card(0, R3), BJ, Card(1, RA)}, true, 1), (std::vector<uint8_t>{BJ, Card(1, RA), Card(0, R3)}));
    EXPECT_EQ(arranged({Card(0, R3), SJ, Card(1, R2), BJ}, true, 1),
              (std::vector<uint8_t>{BJ, SJ, Card(1, R2), Card(0, R3)}));
    // by group: the lone joker is a group of one ranked above everything of the same size
    EXPECT_EQ(arranged({Card(0, R3), SJ, Card(1, R3)}, false, 1), (std::vector<uint8_t>{Card(0, R3), Card(1, R3), SJ}));
    EXPECT_EQ(arranged({SJ, BJ, SJ, BJ, Card(0, R4)}, false, 2), (std::vector<uint8_t>{BJ, BJ, SJ, SJ, Card(0, R4)}));
}

TEST(ArrangeHand, FiveTenKingSetsBySuitThenMixed)
{
    const uint8_t k3 = Card(3, RK), t3 = Card(3, R10), f3 = Card(3, R5);
    // Two complete sets of suit 3 with two decks: six cards right after the jokers.
    EXPECT_EQ(arranged({k3, Card(0, R3), t3, f3, BJ, k3, t3, SJ, f3}, true, 2),
              (std::vector<uint8_t>{BJ, SJ, f3, t3, k3, f3, t3, k3, Card(0, R3)}));
    // With one deck only one set per suit is looked for by suit; the second joins as a mixed set.
    EXPECT_EQ(arranged({k3, t3, f3, k3, t3, f3}, true, 1), (std::vector<uint8_t>{f3, t3, k3, f3, t3, k3}));
    // Suits 3 down to 0, then mixed sets in hand order, then the rest.
    const uint8_t k0 = Card(0, RK), t0 = Card(0, R10), f0 = Card(0, R5);
    const uint8_t k1 = Card(1, RK), t2 = Card(2, R10), f1 = Card(1, R5);
    EXPECT_EQ(arranged({k0, t0, f0, k1, t2, f1, Card(2, RA), f3, t3, k3}, true, 1),
              (std::vector<uint8_t>{f3, t3, k3, f0, t0, k0, f1, t2, k1, Card(2, RA)}));
    // An incomplete set stays in the rest.
    EXPECT_EQ(arranged({k1, t2, Card(0, R3)}, true, 1), (std::vector<uint8_t>{k1, t2, Card(0, R3)}));
    // A mixed set takes the first five, ten and king met in hand order.
    EXPECT_EQ(arranged({Card(2, R5), Card(1, R5), t0, k1}, true, 1),
              (std::vector<uint8_t>{Card(2, R5), t0, k1, Card(1, R5)}));
}

TEST(ArrangeHand, RestByGroupSize)
{
    std::vector<uint8_t> hand{Card(0, RA), Card(1, RA), Card(2, RA), Card(0, R6), Card(1, R6), Card(2, R6),
                              Card(3, R6), Card(0, R4)};
    std::vector<uint8_t> r = arranged(hand, false, 1);
    EXPECT_EQ(r[0] % 13, R6);
    EXPECT_EQ(r[3] % 13, R6);
    EXPECT_EQ(r[4] % 13, RA);
    EXPECT_EQ(r[7], Card(0, R4));
    std::vector<uint8_t> s = arranged(hand, true, 1);
    EXPECT_EQ(s[0] % 13, RA);
}

TEST(ArrangeHand, KeepsEveryCardOfAnyHand)
{
    // A full two-deck hand and one holding bytes that are no cards: the result is a permutation.
    std::vector<uint8_t> hand;
    for (int i = 0; i < 27; ++i) hand.push_back(uint8_t((i * 7) % 54));
    hand.push_back(255);
    hand.push_back(254);
    hand.push_back(60);
    for (bool mode : {true, false})
        for (uint8_t decks : {uint8_t(0), uint8_t(1), uint8_t(2), uint8_t(255)}) {
            std::vector<uint8_t> r = arranged(hand, mode, decks);
            std::vector<uint8_t> a = hand, b = r;
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            EXPECT_EQ(a, b);
        }
    EXPECT_TRUE(arranged({}, true, 1).empty());
}

}  // namespace
