// Bots: how one chooses a move, and whole games of four bots run in-process to their ends.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>

#include "platform/core/clock.h"
#include "rules/cards.h"
#include "rules/paixing.h"
#include "server/botplayer.h"
#include "server/botseat.h"
#include "server/carefulbot.h"
#include "server/cardtext.h"
#include "server/deals.h"
#include "server/seatview.h"
#include "server/strongbot.h"
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

// Whole games at the table's core, each chair playing from its own view. Every view is checked
// at every move: it holds its chair's hand as the table does, a partner's hand only when shown,
// no card of another hand, and counts as unseen exactly the other hands and the undealt cards.
TEST(SeatView, HoldsNoHiddenCardOfAnotherChair)
{
    struct Case {
        const char* name;
        int decks;
        bool partnerShown;   // chair 0 is shown chair 2's hand
    };
    for (const Case& c : {Case{"one_deck", 1, false}, Case{"two_decks", 2, false}, Case{"partner_shown", 1, true}}) {
        for (int game = 1; game <= 3; ++game) {
            const Deal deal = DealFor(77, game, c.decks);
            RoundCore table;
            table.deal(deal.deck.data(), c.decks, deal.lead);
            table.beginPlay();
            std::array<SeatView, 4> views{SeatView(0), SeatView(1), SeatView(2), SeatView(3)};
            for (uint8_t ch = 0; ch < 4; ++ch) {
                views[ch].start(c.decks, deal.lead);
                views[ch].learnHand(table.hand(ch).data(), table.hand(ch).size());
                views[ch].beginPlay();
            }
            if (c.partnerShown) views[0].showPartner(table.hand(2).data(), table.hand(2).size());
            const size_t dealt = size_t(4 * FullHandCount(c.decks));
            const Cards spare(deal.deck.begin() + long(dealt), deal.deck.end());
            std::mt19937 rng{uint32_t(game)};
            while (!table.over()) {
                for (const SeatView& v : views) {
                    const uint8_t me = v.chair();
                    const bool partnerSeen = v.partnerShown();
                    CardCounts hidden{};
                    for (uint8_t card : spare) ++hidden[card];
                    for (uint8_t o = 0; o < 4; ++o) {
                        if (o == me || (partnerSeen && o == v.partner())) {
                            ASSERT_EQ(v.round().hand(o), table.hand(o)) << c.name;
                            continue;
                        }
                        ASSERT_FALSE(v.round().handKnown(o)) << c.name;
                        ASSERT_TRUE(v.round().hand(o).empty()) << c.name;
                        for (uint8_t card : table.hand(o)) ++hidden[card];
                    }
                    ASSERT_EQ(v.unseen(), hidden) << c.name << " chair " << int(me);
                    // Coming in from a snapshot: the earlier tricks count as unseen, nothing more
                    // is known.
                    SeatView late(me);
                    late.restore(table.facts(me));
                    ASSERT_EQ(late.hand(), table.hand(me));
                    const CardCounts lateUnseen = late.unseen();
                    for (uint8_t o = 0; o < 4; ++o) {
                        if (o == me) continue;
                        ASSERT_TRUE(late.round().hand(o).empty() && !late.round().handKnown(o)) << c.name;
                    }
                    for (size_t card = 0; card < hidden.size(); ++card) ASSERT_GE(lateUnseen[card], hidden[card]) << c.name;
                }
                // The even chairs play strong (on a small budget), the odd ones basic; the table
                // takes every move.
                const uint8_t chair = table.turn();
                std::vector<uint8_t> cards = chair % 2 == 0 ? ChooseStrongPlay(views[chair], rng, {.playouts = 60, .playoutsTwoDecks = 60, .minPerPlay = 4})
                                                            : ChooseBotPlay(ViewOf(views[chair].round(), chair));
                if (cards.empty()) cards = {kPassCode};
                const MoveOutcome o = table.move(chair, cards);
                ASSERT_TRUE(o.ok()) << c.name << ": " << o.reason.toStdString();
                for (SeatView& v : views) v.apply({o.chair, o.next, o.phase, o.place, o.cards});
            }
        }
    }
}

// A position with chair 0 to move; chairs after the biggest play passed up to it.
struct Position {
    const char* name;
    Cards hand;           // chair 0's
    Cards partner;        // chair 2's, shown; empty: hidden
    std::array<int, 4> counts;
    Cards maxCards;       // empty: chair 0 leads
    uint8_t maxChair;
    int32_t trickFen;
    std::array<int32_t, 2> score;
    Cards expect;         // empty: a pass
};

SeatView ViewAt(const Position& c)
{
    SeatView v(0);
    PublicRound r;
    r.decks = 1;
    r.viewer = 0;
    r.turn = 0;
    r.phase = c.maxCards.empty() ? GamePhase::Lead : GamePhase::Follow;
    r.trickFen = c.trickFen;
    r.teamScore = c.score;
    for (size_t ch = 0; ch < 4; ++ch) r.counts[ch] = uint8_t(c.counts[ch]);
    if (r.counts[2] == 0) r.mingCi[2] = 1;
    r.hand = CardRun(c.hand);
    if (!c.maxCards.empty()) {
        r.maxOutPai = Max(c.maxCards, c.maxChair);
        r.outPai[c.maxChair] = CardRun(c.maxCards);
        for (uint8_t ch = uint8_t((c.maxChair + 1) & 3); ch != 0; ch = uint8_t((ch + 1) & 3))
            r.outPai[ch] = CardRun(&kPassCode, 1);
    }
    v.restore(r);
    if (!c.partner.empty()) v.showPartner(c.partner.data(), int(c.partner.size()));
    return v;
}

// Positions where one play is plainly right, for the careful and the strong bot (on its own
// guesses, from a fixed seed).
TEST(CarefulAndStrongBots, PlainChoices)
{
    const std::vector<Position> cases{
        // The partner is out and the side is ahead: going out ends the game won.
        {"go_out_while_ahead", {Code(0, R9), Code(1, R9)}, {}, {2, 5, 0, 6}, {}, 0, 0, {60, 30}, {Code(1, R9), Code(0, R9)}},
        // The same with a bomb of twos: firing it is going out, never breaking it up.
        {"go_out_with_a_bomb", {Code(0, R2), Code(1, R2), Code(2, R2)}, {}, {3, 4, 0, 4}, {}, 0, 0, {30, 0},
         {Code(0, R2), Code(1, R2), Code(2, R2)}},
        {"go_out_over_an_opponent", {Code(0, R2), Code(1, R2), Code(2, R2)}, {}, {3, 4, 0, 4}, {Code(3, RA)}, 1, 10,
         {30, 20}, {Code(0, R2), Code(1, R2), Code(2, R2)}},
        // Twenty points on the table and only a bomb beats the ace: fire it.
        {"bomb_for_a_rich_trick", {Code(0, R7), Code(1, R7), Code(2, R7), Code(3, R4), Code(0, R6)}, {}, {5, 6, 6, 6},
         {Code(3, RA)}, 1, 20, {0, 0}, {Code(2, R7), Code(1, R7), Code(0, R7)}},
        {"bomb_for_a_rich_trick_late", {Code(0, R7), Code(1, R7), Code(2, R7), Code(3, R4), Code(0, R6), Code(1, R9)}, {},
         {6, 6, 7, 5}, {Code(3, R2)}, 3, 25, {10, 10}, {Code(2, R7), Code(1, R7), Code(0, R7)}},
        // The partner's two holds a trick of points against opponents who can no longer beat it.
        {"leave_the_partner_s_trick", {Code(0, R3), Code(1, R4), SJ}, {Code(1, R6)}, {3, 4, 1, 4}, {Code(3, R2)}, 2, 15,
         {20, 20}, {}},
        // The partner's jack wins an empty trick: no plain overtake.
        {"never_over_the_partner", {Code(0, RQ), Code(1, RA), Code(2, R4), Code(3, R6), Code(0, R8), Code(1, R9)}, {},
         {6, 9, 8, 9}, {Code(3, RJ)}, 2, 0, {0, 0}, {}},
        // An empty trick is not worth the two.
        {"keep_the_two_for_points",
         {Code(0, R2), Code(1, R3), Code(2, R4), Code(3, R6), Code(0, R8), Code(1, R8), Code(2, RJ), Code(3, RQ)}, {},
         {8, 9, 9, 9}, {Code(3, RA)}, 3, 0, {0, 0}, {}},
        // A lead sheds the low plain card, not the points.
        {"lead_low_without_points", {Code(0, R3), Code(1, R5), Code(2, RK), Code(3, R9), Code(0, RJ)}, {}, {5, 9, 9, 9}, {},
         0, 0, {0, 0}, {Code(0, R3)}},
    };
    for (const Position& c : cases) {
        const SeatView v = ViewAt(c);
        std::mt19937 rng(5);
        EXPECT_EQ(Canon(ChooseStrongPlay(v, rng)), Canon(c.expect)) << "strong: " << c.name;
        EXPECT_EQ(Canon(ChooseCarefulPlay(v)), Canon(c.expect)) << "careful: " << c.name;
    }
}

// Points the other side is winning that only a two, joker or bomb of the hand can still take: the
// strong bot takes them rather than keep the control, and leaves the partner's trick alone.
TEST(StrongBot, TakesPointsOnlyAControlCanWin)
{
    const Cards fives{Code(2, R5), Code(0, R9), Code(1, R4), Code(1, R5), Code(2, R6), Code(0, RJ), Code(0, RK), Code(3, R5), Code(0, RQ)};
    const Cards sevens{Code(1, R7), Code(3, R8), Code(3, R4), Code(3, R7), Code(2, R8), Code(2, RA), Code(1, R4),
                       Code(3, R3), Code(1, R8), Code(2, RQ), Code(0, RK), Code(0, R7), Code(3, RJ)};
    const Cards withTwo{Code(0, R2), Code(1, R3), Code(2, R4), Code(3, R6), Code(0, R8), Code(1, R9), Code(2, RJ), Code(3, RQ)};
    const std::vector<Position> cases{
        {"bomb_for_fifteen", fives, {}, {9, 8, 8, 10}, {Code(3, RA)}, 3, 15, {20, 20}, {Code(1, R5), Code(2, R5), Code(3, R5)}},
        {"bomb_for_ten_last_to_move", sevens, {}, {13, 6, 7, 8}, {Code(3, RA)}, 1, 10, {20, 20},
         {Code(0, R7), Code(1, R7), Code(3, R7)}},
        {"two_for_fifteen", withTwo, {}, {8, 9, 9, 9}, {Code(3, RA)}, 3, 15, {20, 20}, {Code(0, R2)}},
        // The partner's ace holds the points: nothing to take.
        {"partner_s_fifteen", fives, {}, {9, 8, 8, 10}, {Code(3, RA)}, 2, 15, {20, 20}, {}},
        {"partner_s_ten", withTwo, {}, {8, 9, 9, 9}, {Code(3, RA)}, 2, 10, {20, 20}, {}},
    };
    for (const Position& c : cases)
        for (uint32_t seed : {5u, 6u, 7u}) {
            std::mt19937 rng(seed);
            EXPECT_EQ(Canon(ChooseStrongPlay(ViewAt(c), rng)), Canon(c.expect)) << c.name << ", seed " << seed;
        }
}

// What a chair's passes tell: a pass on the other side's single (pair) is remembered by its
// lowest key; passes on the own side's play and plays tell nothing.
TEST(SeatView, RemembersPassesOnTheOtherSidesPlays)
{
    SeatView v(0);
    v.start(1, 1);
    const Cards mine{Code(0, R3), Code(1, R4)};
    v.learnHand(mine.data(), int(mine.size()));
    v.beginPlay();
    auto move = [&](uint8_t chair, uint8_t next, GamePhase phase, Cards cards) {
        MoveNotice n;
        n.chair = chair;
        n.next = next;
        n.phase = phase;
        n.cards = CardRun(cards);
        v.apply(n);
    };
    move(1, 2, GamePhase::Follow, {Code(2, R9)});        // chair 1 leads a nine
    move(2, 3, GamePhase::Follow, {kPassCode});          // chair 2 passes on the other side's nine
    move(3, 0, GamePhase::Follow, {kPassCode});          // chair 3 on its partner's: nothing learned
    move(0, 1, GamePhase::Lead, {kPassCode});
    EXPECT_EQ(v.passedSingle(2), int8_t(R9));
    EXPECT_EQ(v.passedSingle(3), SeatView::kNoPass);
    EXPECT_EQ(v.passedPair(2), SeatView::kNoPass);
    move(1, 2, GamePhase::Follow, {Code(0, R6), Code(1, R6)});
    move(2, 3, GamePhase::Follow, {kPassCode});
    EXPECT_EQ(v.passedPair(2), int8_t(R6));
    EXPECT_EQ(v.passedSingle(2), int8_t(R9));
}

using L = BotLevel;

// A deal depends on the seed and the game's number only: the games before it, however they went,
// change nothing, so one deal can be played again from the other side.
TEST(Deals, FollowFromTheSeedAndTheGameNumberOnly)
{
    auto deals = [](std::array<BotLevel, 4> levels) {
        RoomOptions o;
        o.humans = 0;
        o.botDelayMs = 0;
        o.games = 3;
        o.seed = 99;
        o.botLevels = levels;
        ManualClock clock;
        Table table(o);
        QStringList lines;
        table.logLine = [&](const QString& l) {
            if (l.startsWith(QLatin1String("deal ")) || l.startsWith(QLatin1String("start ")))
                lines.append(l.section(QLatin1String(" name="), 0, 0) + l.section(QLatin1String(" cards="), 1));
        };
        bool done = false;
        QObject::connect(&table, &Table::allGamesPlayed, [&] { done = true; });
        table.seatBots();
        EXPECT_TRUE(Spin([&] { return done; }, 120000));
        return lines;
    };
    const QStringList basic = deals({L::Basic, L::Basic, L::Basic, L::Basic});
    EXPECT_EQ(basic.size(), 3 * 5);
    // The opening chair of a later game is the first out of the one before, so only the cards
    // must agree.
    auto cardsOnly = [](QStringList l) {
        l.erase(std::remove_if(l.begin(), l.end(), [](const QString& s) { return s.startsWith(QLatin1String("start ")); }), l.end());
        return l;
    };
    EXPECT_EQ(cardsOnly(deals({L::Strong, L::Basic, L::Strong, L::Basic})), cardsOnly(basic));
    const Deal a = DealFor(99, 2, 2), b = DealFor(99, 2, 2), other = DealFor(99, 3, 2);
    EXPECT_EQ(a.deck, b.deck);
    EXPECT_NE(a.deck, other.deck);
    EXPECT_EQ(a.deck.size(), 108u);
}

// Each bot plays the level asked for its chair, wherever the people sit; a bot that takes over a
// person's chair plays the default.
TEST(BotLevels, EveryBotPlaysItsChairsLevel)
{
    struct Case {
        int humans;
        bool opponents;
        std::array<BotLevel, 4> asked;
        std::vector<int> people;
    };
    const std::vector<Case> cases{
        {2, false, {L::Strong, L::Basic, L::Strong, L::Basic}, {0, 2}},
        {2, false, {L::Basic, L::Basic, L::Basic, L::Basic}, {0, 2}},
        {2, true, {L::Strong, L::Strong, L::Basic, L::Basic}, {0, 1}},
        {1, false, {L::Basic, L::Basic, L::Strong, L::Basic}, {0}},
        {3, false, {L::Basic, L::Basic, L::Basic, L::Basic}, {0, 2, 1}},
        {0, false, {L::Basic, L::Strong, L::Basic, L::Strong}, {}},
    };
    for (const Case& c : cases) {
        RoomOptions o;
        o.humans = c.humans;
        o.opponents = c.opponents;
        o.botLevels = c.asked;
        o.botDelayMs = 0;
        ManualClock clock;
        Table table(o);
        table.seatBots();
        for (int chair = 0; chair < 4; ++chair) {
            const bool person = std::find(c.people.begin(), c.people.end(), chair) != c.people.end();
            const RoomUser* u = table.userAt(chair);
            if (person) {
                EXPECT_EQ(u, nullptr) << c.humans << c.opponents << chair;
                continue;
            }
            ASSERT_NE(u, nullptr);
            ASSERT_NE(u->bot, nullptr);
            EXPECT_EQ(u->bot->level(), c.asked[size_t(chair)]) << c.humans << " opponents " << c.opponents << " chair " << chair;
        }
    }
}

void RunBotGames(int games, int decks, uint32_t seed, std::array<BotLevel, 4> levels = {L::Basic, L::Basic, L::Basic, L::Basic})
{
    RoomOptions o;
    o.botLevels = levels;
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
    table.seatBots();
    // The bots' pauses (no bot delay: none) and the table's pause between games are on the
    // test's clock; the bots move before any turn clock could run out, so the time stands still.
    // No stall: a wait that no timer ends fails at once.
    ASSERT_TRUE(Spin([&] { return done; }, 120000)) << "stalled after " << table.gamesPlayed() << " games";
    EXPECT_EQ(clock.now(), 0) << "a turn clock ran out";
    EXPECT_EQ(table.gamesPlayed(), games);
    EXPECT_EQ(table.refusals(), 0);
    int plays = 0;
    for (const auto& [no, g] : checks) {
        EXPECT_TRUE(g.problems.isEmpty()) << "game " << no << ": " << g.problems.join(QLatin1Char('\n')).toStdString();
        plays += g.plays;
    }
    EXPECT_EQ(int(checks.size()), games);
    std::printf("%d four-bot games with %d deck(s): %d plays, %d log lines\n", games, decks, plays, lines);
}

TEST(BotGames, TwoHundredGamesOneDeck) { RunBotGames(200, 1, 1234); }
TEST(BotGames, FiftyGamesTwoDecks) { RunBotGames(50, 2, 4321); }
TEST(BotGames, StrongBotsOneDeck) { RunBotGames(2, 1, 1234, {L::Strong, L::Strong, L::Strong, L::Strong}); }
TEST(BotGames, StrongAgainstBasicTwoDecks) { RunBotGames(1, 2, 4321, {L::Strong, L::Basic, L::Strong, L::Basic}); }
TEST(BotGames, CarefulAgainstBasicBothDecks)
{
    RunBotGames(20, 1, 55, {L::Careful, L::Basic, L::Careful, L::Basic});
    RunBotGames(10, 2, 56, {L::Basic, L::Careful, L::Basic, L::Careful});
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
