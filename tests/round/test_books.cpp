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
#include "rules/paixing.h"
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

// The books as the game messages' steps keep them, one notice at a time: the turn and the phase
// from the notice, the trick's points added up play by play and given to the side that leads
// next when the notice says the trick is won, each card count lowered by the play (never below
// 0), the place as announced.
struct StepBooks {
    uint8_t turn = 0;
    GamePhase phase = GamePhase::Lead;
    int32_t trickFen = 0;
    std::array<int32_t, 2> teamScore{};
    std::array<int, 4> counts{};
    std::array<uint8_t, 4> mingCi{};
    uint8_t maxChair = 0;

    void take(const MoveOutcome& o)
    {
        turn = o.next;
        phase = o.phase;
        mingCi[o.chair] = o.place;
        if (!o.pass) {
            trickFen += CountFenPai(o.cards.data(), o.cards.size());
            maxChair = o.chair;
            counts[o.chair] = std::max(0, counts[o.chair] - o.cards.size());
        }
        if (phase == GamePhase::Lead) {
            teamScore[size_t(turn % 2)] += trickFen;
            trickFen = 0;
        }
    }

    // The first difference from the client's books, "" for none.
    std::string differs(const TableState& ts) const
    {
        if (ts.TurnChair != turn) return "turn";
        if (ts.GamePhase != phase) return "phase";
        if (ts.TrickFen != trickFen) return "trick points";
        if (ts.TeamScore != teamScore) return "side points";
        if (phase == GamePhase::Follow && ts.MaxOutPai[0] != maxChair) return "biggest play";
        for (uint8_t c = 0; c < 4; ++c) {
            if (ts.Chairs[c].PaiCount != counts[c]) return "count of chair " + std::to_string(c);
            if (ts.Chairs[c].MingCi != mingCi[c]) return "place of chair " + std::to_string(c);
        }
        return {};
    }
};

// The client's hands request answered with the partner's count at 0 (as a room may answer), or
// the counts left full: either way every move's books are the steps', and the own legal follows
// pass the client's own check.
TEST(Books, TheTrickEndsWhereTheTableSaysWhateverTheCountsSay)
{
    int moves = 0, partnerPasses = 0, ownFollows = 0;
    for (const bool partnerAtZero : {true, false})
        for (unsigned seed = 1; seed <= 40; ++seed) {
            const std::string what = std::string(partnerAtZero ? "partner at 0" : "full counts") + ", seed " + std::to_string(seed);
            const int decks = int(seed % 2 + 1);
            const uint8_t lead = uint8_t(seed % 4), mine = uint8_t(seed * 7 / 3 % 4);
            const std::vector<uint8_t> deck = ShuffledDeck(decks, seed + 1000);
            RoundCore table;
            table.deal(deck.data(), decks, lead);
            table.beginPlay();

            Round r;
            r.Seat(mine);
            r.feed(BuildGameStart(5, uint8_t(decks), 0, 30, lead));
            r.feed(BuildDeal(false, table.hand(mine).vec(), {}));
            StepBooks steps;
            steps.turn = lead;
            steps.counts.fill(HandCountOf(decks));
            if (partnerAtZero) {
                r.feed(BuildHands(table.hand(mine).vec(), {}));
                steps.counts[PartnerOf(mine)] = 0;
            }
            ASSERT_EQ(steps.differs(r.ts), "") << what;

            std::mt19937 rng(seed);
            int guard = 0;
            while (!table.over() && ++guard < 1000) {
                const std::vector<uint8_t> cards = PickMove(table, rng);
                if (table.turn() == mine && table.phase() == GamePhase::Follow && cards[0] != kPassCode) {
                    QString why;
                    PaiXingInfo info;
                    const ByteArr mineOut = ByteArr::fromVector(cards);
                    EXPECT_TRUE(CheckFollowOutPai(mineOut, mineOut.upperBound(), r.ts.MaxOutPai, r.ts.ShuangShunPlayed, why, info))
                        << what << " move " << guard << ": " << why.toStdString();
                    ++ownFollows;
                }
                const MoveOutcome o = table.move(table.turn(), cards);
                ASSERT_TRUE(o.ok()) << what;
                partnerPasses += o.pass && o.chair == PartnerOf(mine);
                r.feed(BuildOutPaiNotice(o.next, WireValue(o.phase), o.place, o.chair, o.cards.vec()));
                steps.take(o);
                const std::string d = steps.differs(r.ts);
                ASSERT_EQ(d, "") << what << " move " << guard;
                ++moves;
            }
            EXPECT_TRUE(table.over()) << what;
        }
    EXPECT_GT(moves, 3000);
    EXPECT_GT(partnerPasses, 300);
    EXPECT_GT(ownFollows, 100);
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
