// Whole games of four bots on the round core alone, each bot choosing from its own copy kept from
// the notices: after every move every copy equals the table's view of that chair, and a copy
// rebuilt from that view (a bot taking over a chair) equals it as well.
#include <gtest/gtest.h>

#include <random>

#include "rules/cards.h"
#include "server/botplayer.h"

namespace {

struct Tally {
    int games = 0, moves = 0, tricks = 0;
};

void ReplayGames(int decks, uint32_t seed, int games, Tally& tally)
{
    std::mt19937 rng(seed);
    for (int g = 0; g < games; ++g) {
        std::vector<uint8_t> deck;
        for (int d = 0; d < decks; ++d)
            for (int c = 0; c < 54; ++c) deck.push_back(uint8_t(c));
        std::shuffle(deck.begin(), deck.end(), rng);
        const uint8_t lead = uint8_t(rng() % 4);
        RoundCore table;
        table.deal(deck.data(), decks, lead);
        table.beginPlay();
        std::array<RoundCore, 4> seen;
        for (uint8_t c = 0; c < 4; ++c) {
            seen[c].observe(decks, lead);
            seen[c].learnHand(c, table.hand(c).data(), table.hand(c).size());
            seen[c].beginPlay();
        }
        int guard = 0;
        while (!table.over()) {
            ASSERT_LT(++guard, 1000) << "game " << g << " does not end";
            const uint8_t chair = table.turn();
            const std::vector<uint8_t> cards = ChooseBotPlay(ViewOf(seen[chair], chair));
            const MoveOutcome o = table.move(chair, cards.empty() ? std::vector<uint8_t>{kPassCode} : cards);
            ASSERT_TRUE(o.ok()) << "game " << g << " chair " << int(chair) << ": " << o.reason.toStdString();
            ++tally.moves;
            tally.tricks += o.trickWon;
            for (uint8_t c = 0; c < 4; ++c) {
                seen[c].apply({o.chair, o.next, o.phase, o.place, o.cards});
                const PublicRound truth = table.facts(c);
                ASSERT_EQ(seen[c].facts(c), truth) << "game " << g << " move " << guard << " chair " << int(c);
                ASSERT_EQ(seen[c].passes(), table.passes());
                RoundCore rebuilt;
                rebuilt.restore(truth);
                ASSERT_EQ(rebuilt.facts(c), truth);
                ASSERT_EQ(rebuilt.passes(), table.passes()) << "game " << g << " move " << guard;
            }
        }
        // Every point is with a side or still in a hand or the spare cards.
        int32_t left = 0;
        for (uint8_t c = 0; c < 4; ++c) left += CountFenPai(table.hand(c).data(), table.hand(c).size());
        const int n = 4 * (decks * 54 / 4);
        left += CountFenPai(deck.data() + n, int(deck.size()) - n);
        EXPECT_EQ(table.teamScore()[0] + table.teamScore()[1] + left, 100 * decks);
        ++tally.games;
    }
}

TEST(RoundReplay, ObserversMatchTheTableOverSeededGames)
{
    for (int decks : {1, 2}) {
        Tally t;
        ReplayGames(decks, 99 + uint32_t(decks), 100, t);
        EXPECT_EQ(t.games, 100);
        std::printf("%d deck(s): %d games, %d moves, %d tricks\n", decks, t.games, t.moves, t.tricks);
    }
}

}  // namespace
