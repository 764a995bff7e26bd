// The client's books of a round and the game core's: whole seeded games, the table's broadcast
// moves fed to the client's round flow and to a player's copy of the core side by side, the books
// compared after every move; and the notices a correct table never sends.
#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <random>

#include "../rules/cardcodes.h"
#include "platform/core/clock.h"
#include "roundfixture.h"
#include "rules/cards.h"
#include "rules/roundcore.h"

using namespace roundtest;

namespace {

std::vector<uint8_t> ShuffledDeck(int decks, unsigned seed)
{
    std::vector<uint8_t> deck;
    for (int d = 0; d < decks; ++d)
        for (int c = 0; c < 54; ++c) deck.push_back(uint8_t(c));
    std::shuffle(deck.begin(), deck.end(), std::mt19937(seed));
    return deck;
}

// A legal move of the turn chair picked by the generator: every run of neighbouring cards of the
// sorted hand (a single, a pair, a bomb, a run of pairs) the table allows, or a pass.
std::vector<uint8_t> PickMove(const RoundCore& table, std::mt19937& rng)
{
    const uint8_t chair = table.turn();
    CardRun hand = table.hand(chair);
    SortPaiDesc(hand.data(), hand.size());
    std::vector<std::vector<uint8_t>> legal;
    for (int len = 1; len <= 8; ++len)
        for (int i = 0; i + len <= hand.size(); ++i) {
            const std::vector<uint8_t> cards(hand.begin() + i, hand.begin() + i + len);
            RoundCore trial = table;
            if (trial.move(chair, cards).ok()) legal.push_back(cards);
        }
    const bool mayPass = table.phase() == GamePhase::Follow;
    if (mayPass && (legal.empty() || rng() % 3 == 0)) return {kPassCode};
    return legal[rng() % legal.size()];
}

// before: the player's copy as the move found it.
void ExpectSameBooks(const TableState& ts, const RoundCore& before, const RoundCore& seen, const MoveOutcome& o,
                     const std::string& where)
{
    EXPECT_EQ(ts.TurnChair, seen.turn()) << where;
    EXPECT_EQ(ts.GamePhase, seen.phase()) << where;
    EXPECT_EQ(ts.ShuangShunPlayed, seen.shuangShunPlayed()) << where;
    EXPECT_EQ(ts.MaxOutPai, seen.maxOutPai()) << where;
    for (uint8_t c = 0; c < 4; ++c) {
        EXPECT_EQ(ts.Chairs[c].PaiCount, seen.count(c)) << where << " chair " << int(c);
        EXPECT_EQ(ts.Chairs[c].MingCi, seen.mingCi()[c]) << where << " chair " << int(c);
    }
    if (!seen.over()) {
        EXPECT_EQ(ts.TrickFen, seen.trickFen()) << where;
        EXPECT_EQ(ts.TeamScore, seen.teamScore()) << where;
        return;
    }
    // At the end the client keeps the unfinished trick's points apart until the game-over
    // message brings the final points; the core has them on the side of the last play.
    EXPECT_EQ(ts.TeamScore, before.teamScore()) << where;
    EXPECT_EQ(ts.TrickFen, before.trickFen() + o.fen) << where;
    std::array<int32_t, 2> settled = ts.TeamScore;
    settled[size_t(SideOf(o.chair))] += ts.TrickFen;
    EXPECT_EQ(settled, seen.teamScore()) << where;
}

TEST(Books, SeededGamesKeepTheClientsBooksAsTheCoreDoes)
{
    struct Case {
        unsigned seed;
        int decks;
        uint8_t lead;
        int mine;
        bool spectator;
    };
    // Both deck counts, every lead and viewing chair, players and spectators.
    std::vector<Case> cases;
    for (unsigned seed = 1; seed <= 24; ++seed)
        cases.push_back({seed, int(seed % 2 + 1), uint8_t(seed % 4), int(seed * 3 / 2 % 4), seed % 5 == 0});
    int endsWithPoints = 0;
    for (const Case& tc : cases) {
        const std::string what = "seed " + std::to_string(tc.seed);
        const std::vector<uint8_t> deck = ShuffledDeck(tc.decks, tc.seed);
        RoundCore table;
        table.deal(deck.data(), tc.decks, tc.lead);
        table.beginPlay();
        RoundCore seen;
        seen.observe(tc.decks, tc.lead);
        seen.beginPlay();

        Round r;
        r.Seat(tc.mine, tc.spectator);
        r.feed(BuildGameStart(5, uint8_t(tc.decks), 0, 30, tc.lead));
        r.feed(BuildDeal(false, table.hand(uint8_t(tc.mine)).vec(), {}));
        ASSERT_EQ(r.ts.GamePhase, GamePhase::Lead) << what;

        std::mt19937 rng(tc.seed);
        int moves = 0, tricks = 0;
        while (!table.over() && moves < 1000) {
            const MoveOutcome o = table.move(table.turn(), PickMove(table, rng));
            ASSERT_TRUE(o.ok()) << what;
            ++moves;
            tricks += o.trickWon;
            r.feed(BuildOutPaiNotice(o.next, WireValue(o.phase), o.place, o.chair, o.cards.vec()));
            const RoundCore before = seen;
            seen.apply({o.chair, o.next, o.phase, o.place, o.cards});
            ExpectSameBooks(r.ts, before, seen, o, what + " move " + std::to_string(moves));
            endsWithPoints += seen.over() && before.trickFen() + o.fen != 0;
        }
        EXPECT_TRUE(table.over()) << what;
        EXPECT_GT(tricks, 3) << what;
    }
    EXPECT_GT(endsWithPoints, 0);  // some game ends on a trick with points in it
}

// Notices a correct table never sends leave the client's books in range and its turn on a chair.
TEST(Books, ContradictingNoticesKeepTheBooksInRange)
{
    struct Case {
        const char* what;
        QByteArray msg;
    };
    const Case cases[] = {
        {"a pass code with cards after it", BuildOutPaiNotice(2, 2, 0, 1, {kPassCard, Card(0, R3)})},
        {"a pass that opens a trick", BuildOutPaiNotice(1, 1, 0, 0, {kPassCard})},
        {"a place for a chair with cards", BuildOutPaiNotice(2, 2, 4, 1, {Card(0, R3)})},
        {"more cards than the hand holds", BuildOutPaiNotice(2, 2, 0, 1, CardList(20, Card(1, R5)))},
        {"the end announced mid-game", BuildOutPaiNotice(2, 0, 0, 1, {Card(0, R3)})},
        {"a trick won on the first play", BuildOutPaiNotice(3, 1, 0, 1, {Card(0, R10)})},
    };
    for (const Case& tc : cases) {
        Round r;
        r.Seat(0);
        r.Deal({Card(3, R9)}, 1);
        r.feed(tc.msg);
        r.feed(BuildOutPaiNotice(3, 2, 0, 2, {kPassCard}));
        r.feed(tc.msg);
        EXPECT_LE(r.ts.TurnChair, 3) << tc.what;
        EXPECT_TRUE(IsWirePhase(WireValue(r.ts.GamePhase))) << tc.what;
        EXPECT_LE(r.ts.MaxOutPai[0], 3) << tc.what;
        for (const ChairInfo& ch : r.ts.Chairs) {
            EXPECT_LE(ch.PaiCount, 13) << tc.what;
            EXPECT_LE(ch.MingCi, 4) << tc.what;
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The pauses (a won trick, a blast) pass on a clock the tests drive.
    ManualClock clock;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
