// Bots: how one chooses a move, and whole games of four bots run in-process to their ends.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <map>

#include "platform/core/clock.h"
#include "rules/cards.h"
#include "rules/paixing.h"
#include "server/botplayer.h"
#include "server/cardtext.h"
#include "logcheck.h"
#include "serverfixture.h"

using namespace servertest;

namespace {

enum Rank { R3, R4, R5, R6, R7, R8, R9, R10, RJ, RQ, RK, RA, R2 };
constexpr uint8_t SJ = 52, BJ = 53;

PaiXingInfo Max(Cards cards, uint8_t chair)
{
    SortPaiDesc(cards.data(), int(cards.size()));
    PaiXingInfo p;
    EXPECT_TRUE(GetPaiXing(cards.data(), int(cards.size()), p));
    p[0] = chair;
    return p;
}

// Cards of equal rank may come in either order.
Cards Canon(Cards c)
{
    std::sort(c.begin(), c.end());
    return c;
}

TEST(BotChoice, Table)
{
    struct Case {
        const char* name;
        Cards hand;
        Cards max;        // empty: the bot leads
        uint8_t maxChair;
        int32_t trickFen;
        Cards expect;     // empty: a pass
    };
    const std::vector<Case> cases{
        {"lead_lowest_single", {Code(0, RK), Code(1, R4), Code(2, R9)}, {}, 0, 0, {Code(1, R4)}},
        {"lead_pair_before_single_of_same_rank", {Code(0, R4), Code(1, R4), Code(2, R9), Code(0, RQ)}, {}, 0, 0, {Code(1, R4), Code(0, R4)}},
        {"lead_run_from_the_lowest",
         {Code(0, R3), Code(1, R4), Code(2, R5), Code(0, RK), Code(1, RA)}, {}, 0, 0, {Code(2, R5), Code(1, R4), Code(0, R3)}},
        {"lead_keeps_a_bomb", {Code(0, R3), Code(1, R3), Code(2, R3), Code(0, R8), Code(1, RJ)}, {}, 0, 0, {Code(0, R8)}},
        {"lead_whole_hand", {Code(0, R6), Code(1, R6), Code(2, R6)}, {}, 0, 0, {Code(2, R6), Code(1, R6), Code(0, R6)}},
        {"follow_smallest_that_beats", {Code(0, R9), Code(1, RJ), Code(2, RA), Code(3, R4)}, {Code(3, R8)}, 1, 0, {Code(0, R9)}},
        {"follow_pair", {Code(0, R9), Code(1, R9), Code(2, RQ), Code(3, RQ), Code(3, R4)}, {Code(0, R8), Code(2, R8)}, 1, 0,
         {Code(1, R9), Code(0, R9)}},
        {"follow_nothing_beats", {Code(0, R3), Code(1, R4)}, {Code(3, R2)}, 1, 0, {}},
        {"no_bomb_for_a_cheap_trick", {Code(0, R7), Code(1, R7), Code(2, R7), Code(3, R4)}, {Code(3, R2)}, 3, 5, {}},
        {"bomb_for_ten_points", {Code(0, R7), Code(1, R7), Code(2, R7), Code(3, R4)}, {Code(3, R2)}, 3, 10,
         {Code(2, R7), Code(1, R7), Code(0, R7)}},
        {"smallest_bomb_first", {Code(0, R7), Code(1, R7), Code(2, R7), Code(0, R9), Code(1, R9), Code(2, R9), Code(3, R9), Code(0, R3)},
         {Code(3, R2)}, 1, 20, {Code(2, R7), Code(1, R7), Code(0, R7)}},
        {"partner_holds_the_trick", {Code(0, R9), Code(1, RJ)}, {Code(3, R8)}, 0, 0, {}},
        {"going_out_over_the_partner", {Code(0, R9)}, {Code(3, R8)}, 0, 0, {Code(0, R9)}},
        {"small_joker_before_big", {BJ, SJ, Code(0, R3)}, {Code(3, R2)}, 1, 0, {SJ}},
    };
    for (const Case& c : cases) {
        BotView v;
        v.Hand = c.hand;
        v.MyChair = 2;
        v.Leading = c.max.empty();
        if (!v.Leading) v.MaxOutPai = Max(c.max, c.maxChair);
        v.TrickFen = c.trickFen;
        EXPECT_EQ(Canon(ChooseBotPlay(v)), Canon(c.expect)) << c.name;
    }
    EXPECT_EQ(LowestCard({Code(3, RA), SJ, Code(0, R4), Code(2, R2)}), Code(0, R4));
}

void RunBotGames(int games, int decks, uint32_t seed)
{
    RoomOptions o;
    o.humans = 0;
    o.botDelayMs = 0;
    o.decks = decks;
    o.games = games;
    o.seed = seed;
    ManualClock clock;
    Table table(o);
    std::map<int, GameCheck> checks;
    int lines = 0;
    table.logLine = [&](const QString& l) {
        ++lines;
        CheckLogLine(checks, l, decks);
    };
    bool done = false;
    QObject::connect(&table, &Table::allGamesPlayed, [&] { done = true; });
    QElapsedTimer wall;
    wall.start();
    table.seatBots();
    // The bots' pauses (no bot delay: none) and the table's pause between games are on the
    // test's clock; the bots move before any turn clock could run out, so the time stands still.
    // No stall: a wait that no timer ends fails at once.
    ASSERT_TRUE(Spin([&] { return done; }, 120000)) << "stalled after " << table.gamesPlayed() << " games";
    const qint64 ms = wall.elapsed();
    EXPECT_EQ(clock.now(), 0) << "a turn clock ran out";
    EXPECT_EQ(table.gamesPlayed(), games);
    EXPECT_EQ(table.refusals(), 0);
    int plays = 0;
    for (const auto& [no, g] : checks) {
        EXPECT_TRUE(g.problems.isEmpty()) << "game " << no << ": " << g.problems.join(QLatin1Char('\n')).toStdString();
        plays += g.plays;
    }
    EXPECT_EQ(int(checks.size()), games);
    std::printf("%d four-bot games with %d deck(s): %lld ms, %d plays, %d log lines\n", games, decks, ms, plays, lines);
    ::testing::Test::RecordProperty("ms_" + std::to_string(decks) + "_decks", int(ms));
}

TEST(BotGames, TwoHundredGamesOneDeck) { RunBotGames(200, 1, 1234); }
TEST(BotGames, FiftyGamesTwoDecks) { RunBotGames(50, 2, 4321); }

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
