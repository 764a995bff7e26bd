// The legal-play enumeration against brute force: for small hands every subset of the hand is put
// through the checks, and the kinds of play found must be exactly the ones enumerated.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cardcodes.h"
#include "rules/cards.h"
#include "rules/legalplays.h"
#include "rules/paixing.h"

namespace {

using Cards = std::vector<uint8_t>;
using Signatures = std::set<std::vector<int>>;

PaiXingInfo Describe(Cards cards, uint8_t chair = 1)
{
    SortPaiDesc(cards.data(), int(cards.size()));
    PaiXingInfo p;
    EXPECT_TRUE(GetPaiXing(cards.data(), int(cards.size()), p));
    p[0] = chair;
    return p;
}

Signatures BruteForce(const Cards& hand, const PaiXingInfo* max, bool ss)
{
    Signatures out;
    const int n = int(hand.size());
    for (uint32_t mask = 1; mask < (1u << n); ++mask) {
        Cards pick;
        for (int i = 0; i < n; ++i)
            if (mask & (1u << i)) pick.push_back(hand[size_t(i)]);
        SortPaiDesc(pick.data(), int(pick.size()));
        PaiXingInfo info;
        QString msg;
        const bool ok = max ? CheckFollowOutPai(pick.data(), int(pick.size()), *max, ss, msg, info)
                            : CheckFirstOutPai(pick.data(), int(pick.size()), msg, info);
        if (ok) out.insert(PlaySignature(info));
    }
    return out;
}

Signatures Enumerated(const Cards& hand, const PaiXingInfo* max, bool ss)
{
    Signatures out;
    for (const LegalPlay& p : EnumerateLegalPlays(hand, max, ss)) out.insert(PlaySignature(p.Info));
    return out;
}

struct Context {
    const char* name;
    Cards max;      // empty: a lead
    bool ss;
};

Cards Deck(int decks)
{
    Cards d;
    for (int k = 0; k < decks; ++k)
        for (int c = 0; c < 54; ++c) d.push_back(uint8_t(c));
    return d;
}

const std::vector<Context>& Contexts()
{
    static const std::vector<Context> c{
        {"lead", {}, false},
        {"single_nine", {Card(0, R9)}, false},
        {"pair_fours", {Card(0, R4), Card(1, R4)}, false},
        {"run_five", {Card(0, R4), Card(1, R5), Card(2, R6), Card(0, R7), Card(3, R8)}, false},
        {"double_run", {Card(0, R3), Card(1, R3), Card(0, R4), Card(1, R4), Card(2, R5), Card(3, R5)}, true},
        {"bomb_three", {Card(0, R6), Card(1, R6), Card(2, R6)}, false},
        {"false_madui", {Card(0, RK), Card(1, R10), Card(2, R5)}, false},
        {"two_jokers", {SJ, BJ}, false},
        {"six_bomb_after_double_run", {Card(0, R8), Card(1, R8), Card(2, R8), Card(3, R8), Card(0, R8), Card(1, R8)}, true},
        {"liangtaohuo", {Card(0, R4), Card(1, R4), Card(2, R4), Card(0, RK), Card(1, R10), Card(2, R5)}, true},
        {"four_jokers_after_double_run", {SJ, SJ, BJ, BJ}, true},
    };
    return c;
}

TEST(LegalPlays, MatchBruteForceOnRandomHands)
{
    std::mt19937 rng(20240611);
    int compared = 0;
    for (int round = 0; round < 60; ++round) {
        const int decks = 1 + round % 2;
        Cards deck = Deck(decks);
        std::shuffle(deck.begin(), deck.end(), rng);
        const Cards hand(deck.begin(), deck.begin() + 10 + round % 3);
        for (const Context& ctx : Contexts()) {
            PaiXingInfo max;
            if (!ctx.max.empty()) max = Describe(ctx.max);
            const PaiXingInfo* mp = ctx.max.empty() ? nullptr : &max;
            EXPECT_EQ(Enumerated(hand, mp, ctx.ss), BruteForce(hand, mp, ctx.ss)) << ctx.name << " round " << round;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 60 * int(Contexts().size()));
}

// Hands built to hold the rare shapes: bombs with a 马队 beside them, joker sets, pairs of kings,
// tens and fives, long runs.
TEST(LegalPlays, MatchBruteForceOnCraftedHands)
{
    const std::vector<std::pair<const char*, Cards>> hands{
        {"king_bomb_and_madui", {Card(0, RK), Card(1, RK), Card(2, RK), Card(3, RK), Card(1, R10), Card(1, R5), Card(0, R3), Card(2, R9)}},
        {"three_pairs_madui", {Card(0, RK), Card(1, RK), Card(0, R10), Card(2, R10), Card(0, R5), Card(1, R5), Card(3, R7)}},
        {"jokers_and_bomb", {SJ, SJ, BJ, BJ, Card(0, R9), Card(1, R9), Card(2, R9), Card(0, RK), Card(2, R10), Card(3, R5)}},
        {"long_runs", {Card(0, R3), Card(1, R4), Card(2, R5), Card(0, R6), Card(1, R7), Card(2, R8), Card(3, R9), Card(0, R10),
                       Card(1, RJ), Card(2, RQ), Card(3, RK), Card(0, RA), Card(1, R2)}},
        {"double_runs", {Card(0, R3), Card(1, R3), Card(0, R4), Card(1, R4), Card(2, R5), Card(3, R5), Card(0, R6), Card(2, R6),
                         Card(1, R7), Card(3, R7)}},
        {"two_bombs", {Card(0, R7), Card(1, R7), Card(2, R7), Card(3, R7), Card(0, R7), Card(0, RJ), Card(1, RJ), Card(2, RJ), BJ}},
        // Two decks: the same mixed or true triple twice, and kings, tens and fives of many
        // suits beside a bomb of one of them and jokers, where the triples are grouped.
        {"same_mixed_triple_twice", {Card(0, RK), Card(0, RK), Card(2, R10), Card(2, R10), Card(0, R5), Card(0, R5), Card(1, R9), Card(2, R9), Card(3, R9)}},
        {"same_true_triple_twice", {Card(3, RK), Card(3, RK), Card(3, R10), Card(3, R10), Card(3, R5), Card(3, R5), SJ, SJ, Card(0, R4)}},
        {"many_triples_and_king_bomb", {Card(0, RK), Card(1, RK), Card(2, RK), Card(3, RK), Card(0, R10), Card(1, R10), Card(3, R10),
                                        Card(0, R5), Card(2, R5), Card(3, R5), SJ, BJ, Card(1, R6)}},
        {"tens_bomb_and_triples", {Card(0, R10), Card(1, R10), Card(2, R10), Card(0, R10), Card(1, RK), Card(2, RK), Card(1, R5),
                                   Card(2, R5), Card(3, R5), BJ, BJ, Card(0, R8), Card(1, R8)}},
    };
    for (const auto& [name, hand] : hands)
        for (const Context& ctx : Contexts()) {
            PaiXingInfo max;
            if (!ctx.max.empty()) max = Describe(ctx.max);
            const PaiXingInfo* mp = ctx.max.empty() ? nullptr : &max;
            EXPECT_EQ(Enumerated(hand, mp, ctx.ss), BruteForce(hand, mp, ctx.ss)) << name << " / " << ctx.name;
        }
}

TEST(LegalPlays, EveryPlayIsHeldCheckedAndListedOnce)
{
    std::mt19937 rng(99);
    Cards deck = Deck(2);
    for (int round = 0; round < 40; ++round) {
        std::shuffle(deck.begin(), deck.end(), rng);
        const Cards hand(deck.begin(), deck.begin() + 27);
        for (const Context& ctx : Contexts()) {
            PaiXingInfo max;
            if (!ctx.max.empty()) max = Describe(ctx.max);
            const PaiXingInfo* mp = ctx.max.empty() ? nullptr : &max;
            std::set<Cards> seen;
            for (const LegalPlay& p : EnumerateLegalPlays(hand, mp, ctx.ss)) {
                Cards rest = hand;
                for (uint8_t c : p.Cards) {
                    const auto it = std::find(rest.begin(), rest.end(), c);
                    ASSERT_NE(it, rest.end()) << "a card the hand does not hold";
                    rest.erase(it);
                }
                EXPECT_TRUE(std::is_sorted(p.Cards.begin(), p.Cards.end(), [](uint8_t a, uint8_t b) { return IsPaiLess(b, a); }));
                PaiXingInfo info;
                QString msg;
                EXPECT_TRUE(mp ? CheckFollowOutPai(p.Cards.data(), int(p.Cards.size()), max, ctx.ss, msg, info)
                               : CheckFirstOutPai(p.Cards.data(), int(p.Cards.size()), msg, info));
                EXPECT_TRUE(seen.insert(p.Cards).second) << "listed twice";
            }
        }
    }
}

TEST(LegalPlays, EdgeHands)
{
    EXPECT_TRUE(EnumerateLegalPlays(Cards{}, nullptr, false).empty());
    // A lone card leads as a single; against a higher single it has no answer.
    const Cards three{Card(0, R3)};
    ASSERT_EQ(EnumerateLegalPlays(three, nullptr, false).size(), 1u);
    const PaiXingInfo ace = Describe({Card(2, RA)});
    EXPECT_TRUE(EnumerateLegalPlays(three, &ace, false).empty());
    // Codes that are no cards are ignored rather than read past a table.
    const Cards junk{254, 255, Card(1, R4)};
    ASSERT_EQ(EnumerateLegalPlays(junk, nullptr, false).size(), 1u);
    // A 两套火 is never offered as a lead.
    const Cards fire{Card(0, R4), Card(1, R4), Card(2, R4), Card(0, R9), Card(1, R9), Card(2, R9)};
    for (const LegalPlay& p : EnumerateLegalPlays(fire, nullptr, false)) EXPECT_NE(p.Info[1], PX_LiangTaoHuo);
}

TEST(LegalPlays, FromTheCheapest)
{
    // Two threes, a four, a run from five to seven, three eights (a bomb), the two jokers.
    const Cards hand{Card(0, R3), Card(1, R3), Card(2, R4), Card(0, R5), Card(1, R6), Card(2, R7),
                     Card(0, R8), Card(1, R8), Card(2, R8), SJ, BJ};
    struct Case {
        const char* name;
        Cards max;        // empty: a lead
        Cards first;      // the cheapest play, highest first
        uint8_t lastType; // the dearest play's type
    };
    const std::vector<Case> cases{
        {"a lead starts from the lowest single", {}, {Card(0, R3)}, PX_LiaWang},
        {"a single is beaten by the next single up", {Card(3, R4)}, {Card(0, R5)}, PX_LiaWang},
        {"a pair by the lowest higher pair", {Card(2, R3), Card(3, R3)}, {Card(0, R8), Card(1, R8)}, PX_LiaWang},
        {"a two is beaten by a joker before any bomb", {Card(3, R2)}, {SJ}, PX_LiaWang},
    };
    for (const Case& c : cases) {
        const PaiXingInfo max = c.max.empty() ? PaiXingInfo{} : Describe(c.max, 2);
        const std::vector<LegalPlay> plays = PlaysFromCheapest(hand, c.max.empty() ? nullptr : &max, false);
        ASSERT_FALSE(plays.empty()) << c.name;
        EXPECT_EQ(plays.front().Cards, c.first) << c.name;
        EXPECT_EQ(plays.back().Info[1], c.lastType) << c.name;
        // Every bomb-family play after every ordinary one.
        bool bombSeen = false;
        for (const LegalPlay& p : plays) {
            const bool bomb = p.Info[1] >= PX_LiangTaoHuo;
            EXPECT_FALSE(bombSeen && !bomb) << c.name;
            bombSeen = bombSeen || bomb;
        }
        EXPECT_EQ(plays.size(), EnumerateLegalPlays(hand, c.max.empty() ? nullptr : &max, false).size()) << c.name;
    }
}

TEST(LegalPlays, SignatureKeepsOnlyWhatDecides)
{
    // Two kings of different suits lead the same; two true 马队 of different suits do not.
    EXPECT_EQ(PlaySignature(Describe({Card(0, RK)})), PlaySignature(Describe({Card(3, RK)})));
    EXPECT_NE(PlaySignature(Describe({Card(0, RK), Card(0, R10), Card(0, R5)})),
              PlaySignature(Describe({Card(3, RK), Card(3, R10), Card(3, R5)})));
    EXPECT_EQ(PlaySignature(Describe({Card(0, RK), Card(1, R10), Card(0, R5)})),
              PlaySignature(Describe({Card(3, RK), Card(2, R10), Card(1, R5)})));
}

}  // namespace
