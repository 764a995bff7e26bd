// The round core: one scripted game move by move (turns, tricks, the lead after a chair went out,
// places, points per side, the end and its score changes), refusals that leave the round as it
// was, and the score changes for the points of both sides.
#include <gtest/gtest.h>

#include <vector>

#include "cardcodes.h"
#include "rules/roundcore.h"

namespace {

using Cards = std::vector<uint8_t>;

Cards SuitRun(int suit, int from, int to)
{
    Cards v;
    for (int r = from; r <= to; ++r) v.push_back(Card(suit, r));
    return v;
}
Cards operator+(Cards a, const Cards& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const Cards kPass{kPassCode};

// Chair 0 holds spades three to two, chair 1 and chair 3 two whole suits, chair 2 hearts three to
// king and both jokers; the heart ace and two are spare.
RoundCore Dealt()
{
    const Cards deck = SuitRun(0, R3, R2) + SuitRun(2, R3, R2) + (SuitRun(1, R3, RK) + Cards{SJ, BJ}) + SuitRun(3, R3, R2) + Cards{Card(1, RA), Card(1, R2)};
    RoundCore r;
    r.deal(deck.data(), 1, 0);
    r.beginPlay();
    return r;
}

TEST(RoundCore, AScriptedGame)
{
    struct Step {
        const char* what;
        int chair;
        Cards cards;
        int next;
        GamePhase phase;
        int place;
        bool trickWon;
        int winner;
        std::array<int32_t, 2> score;   // after the move
    };
    constexpr auto F = GamePhase::Follow, L = GamePhase::Lead, N = GamePhase::None;
    const std::vector<Step> steps{
        {"run of twelve, 25 points", 0, SuitRun(0, R3, RA), 1, F, 0, false, 0, {0, 0}},
        {"pass", 1, kPass, 2, F, 0, false, 0, {0, 0}},
        {"partner passes", 2, kPass, 3, F, 0, false, 0, {0, 0}},
        {"everybody passed: the trick to side 0", 3, kPass, 0, L, 0, true, 0, {25, 0}},
        {"the last card: first place", 0, {Card(0, R2)}, 1, F, 1, false, 0, {25, 0}},
        {"pass", 1, kPass, 2, F, 0, false, 0, {25, 0}},
        {"pass", 2, kPass, 3, F, 0, false, 0, {25, 0}},
        {"won by a chair that went out: its partner leads", 3, kPass, 2, L, 0, true, 0, {25, 0}},
        {"run of ten, 15 points", 2, SuitRun(1, R3, RQ), 3, F, 0, false, 0, {25, 0}},
        {"pass", 3, kPass, 1, F, 0, false, 0, {25, 0}},
        {"a higher run, 25 points", 1, SuitRun(2, R4, RK), 2, F, 0, false, 0, {25, 0}},
        {"both jokers over it", 2, {BJ, SJ}, 3, F, 0, false, 0, {25, 0}},
        {"pass", 3, kPass, 1, F, 0, false, 0, {25, 0}},
        {"the turn skips the chair that went out", 1, kPass, 2, L, 0, true, 2, {65, 0}},
        {"both of a side out: over, the open trick to its biggest play", 2, {Card(1, RK)}, 3, N, 2, false, 0, {75, 0}},
    };
    RoundCore r = Dealt();
    for (const Step& s : steps) {
        const MoveOutcome o = r.move(uint8_t(s.chair), s.cards);
        ASSERT_TRUE(o.ok()) << s.what << ": " << o.reason.toStdString();
        EXPECT_EQ(o.next, s.next) << s.what;
        EXPECT_EQ(o.phase, s.phase) << s.what;
        EXPECT_EQ(r.turn(), s.next) << s.what;
        EXPECT_EQ(o.place, s.place) << s.what;
        EXPECT_EQ(o.trickWon, s.trickWon) << s.what;
        if (s.trickWon) {
            EXPECT_EQ(o.winner, s.winner) << s.what;
        }
        EXPECT_EQ(r.teamScore(), s.score) << s.what;
        EXPECT_EQ(o.gameOver, s.phase == N) << s.what;
    }
    EXPECT_EQ(r.mingCi(), (std::array<uint8_t, 4>{1, 0, 2, 0}));
    EXPECT_EQ(r.firstOut(), 0);
    EXPECT_EQ(r.scoreChanges(10), (std::array<int32_t, 4>{10, -10, 10, -10}));
    EXPECT_EQ(r.count(1), 3);
    EXPECT_EQ(r.count(3), 13);
    EXPECT_EQ(r.plays(), 6);
}

TEST(RoundCore, ARefusedMoveChangesNothing)
{
    struct Case {
        const char* what;
        int chair;
        Cards cards;
        Refusal refusal;
    };
    const std::vector<Case> cases{
        {"not the turn", 1, {Card(2, R3)}, Refusal::NotYourTurn},
        {"a pass at the lead", 0, kPass, Refusal::MustLead},
        {"another chair's card", 0, {Card(1, R3)}, Refusal::NotHeld},
        {"one card twice", 0, {Card(0, R3), Card(0, R3)}, Refusal::NotHeld},
        {"no play", 0, {Card(0, R3), Card(0, R5)}, Refusal::Rules},
    };
    const RoundCore fresh = Dealt();
    for (const Case& c : cases) {
        RoundCore r = fresh;
        const MoveOutcome o = r.move(uint8_t(c.chair), c.cards);
        EXPECT_EQ(o.refusal, c.refusal) << c.what;
        EXPECT_EQ(o.reason.isEmpty(), c.refusal != Refusal::Rules) << c.what;
        for (uint8_t v = 0; v < 4; ++v) EXPECT_EQ(r.facts(v), fresh.facts(v)) << c.what;
    }
    // Following: a single under the biggest play, and a different type.
    RoundCore r = fresh;
    ASSERT_TRUE(r.move(0, {Card(0, R9)}).ok());
    EXPECT_EQ(r.move(1, {Card(2, R4)}).refusal, Refusal::Rules);
    EXPECT_EQ(r.move(1, {Card(2, RJ), Card(2, R10)}).refusal, Refusal::Rules);
    EXPECT_EQ(r.turn(), 1);
    EXPECT_TRUE(r.move(1, {Card(2, RJ)}).ok());
}

TEST(RoundCore, ScoreChangesGoToTheSideWithMorePoints)
{
    struct Case {
        std::array<int32_t, 2> score;
        std::array<int32_t, 4> changes;
    };
    const std::vector<Case> cases{
        {{60, 40}, {20, -20, 20, -20}},
        {{0, 100}, {-20, 20, -20, 20}},
        {{50, 50}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        PublicRound p;
        p.teamScore = c.score;
        RoundCore r;
        r.restore(p);
        EXPECT_EQ(r.scoreChanges(20), c.changes) << c.score[0] << ":" << c.score[1];
    }
}

TEST(RoundCore, ARestoredViewersHandIsKnownOnlyWhenItIsThere)
{
    struct Case {
        const char* what;
        Cards hand;
        uint8_t counted;
        bool known;
        int count;
    };
    const std::vector<Case> cases{
        {"the hand given", {Card(0, R3), Card(1, R4)}, 2, true, 2},
        {"no hand, cards counted: not seen", {}, 9, false, 9},
        {"no hand, none counted: out", {}, 0, true, 0},
    };
    for (const Case& c : cases) {
        PublicRound p;
        p.viewer = 2;
        p.counts = {13, 13, c.counted, 13};
        p.hand = CardRun(c.hand);
        RoundCore r;
        r.restore(p);
        EXPECT_EQ(r.handKnown(2), c.known) << c.what;
        EXPECT_EQ(r.count(2), c.count) << c.what;
        // A play leaves the hand when it is seen, the count otherwise.
        r.apply({2, 3, GamePhase::Follow, 0, CardRun(Cards{Card(0, R3)})});
        EXPECT_EQ(r.count(2), std::max(0, c.count - 1)) << c.what;
    }
}

// Whole games followed by observers against the table are in the server's replay test; here, a
// notice that contradicts the copy's books.
TEST(RoundCore, AnObserversNoticeFromTheTableHasTheLastWord)
{
    RoundCore table = Dealt();
    RoundCore seen;
    seen.observe(1, 0);
    seen.beginPlay();
    const std::vector<std::pair<int, Cards>> moves{{0, SuitRun(0, R3, RA)}, {1, kPass}, {2, kPass}, {3, kPass}, {0, {Card(0, R2)}},
                                                   {1, kPass}, {2, kPass}, {3, kPass}, {2, SuitRun(1, R3, RQ)}, {3, kPass},
                                                   {1, SuitRun(2, R4, RK)}};
    for (const auto& [chair, cards] : moves) {
        const MoveOutcome o = table.move(uint8_t(chair), cards);
        ASSERT_TRUE(o.ok());
        seen.apply({o.chair, o.next, o.phase, o.place, o.cards});
    }
    // The copy counts one pass of three; the table says the trick is over, and chair 0 leads.
    RoundCore early = seen;
    seen.apply({3, 0, GamePhase::Lead, 0, CardRun(kPass)});
    EXPECT_EQ(seen.phase(), GamePhase::Lead);
    EXPECT_EQ(seen.turn(), 0);
    EXPECT_EQ(seen.trickFen(), 0);
    EXPECT_EQ(seen.teamScore(), (std::array<int32_t, 2>{65, 0})) << "the trick to the side that leads next";
    // The other way round: the copy's counts would end the trick (it takes chairs 0 and 2 for
    // out), the table says it goes on.
    early.learnHand(0, nullptr, 0);
    early.learnHand(2, nullptr, 0);
    const MoveOutcome o = early.apply({3, 1, GamePhase::Follow, 0, CardRun(kPass)});
    EXPECT_FALSE(o.trickWon);
    EXPECT_EQ(early.phase(), GamePhase::Follow);
    EXPECT_EQ(early.turn(), 1);
    EXPECT_EQ(early.trickFen(), 40);
    EXPECT_EQ(early.maxOutPai()[0], 1);
}

TEST(CardRun, TakeIsAllOrNothingAndKeepsTheOrder)
{
    CardRun h(Cards{5, 9, 5, 7});
    EXPECT_FALSE(h.take(Cards{5, 5, 5}.data(), 3));
    EXPECT_EQ(h.vec(), (Cards{5, 9, 5, 7}));
    EXPECT_TRUE(h.take(Cards{5, 7}.data(), 2));
    EXPECT_EQ(h.vec(), (Cards{9, 5}));
    h.takeHeld(Cards{1, 9}.data(), 2);
    EXPECT_EQ(h.vec(), (Cards{5}));
}

}  // namespace
