// Whole games through the round core: the table's deal and every move checked and applied, and a
// player's copy kept from the notices. The moves were chosen beforehand by the room's bots, so
// only the core is timed.
#include <benchmark/benchmark.h>

#include "benchcount.h"

#include <algorithm>
#include <random>
#include <vector>

#include "rules/roundcore.h"
#include "server/botplayer.h"

namespace {

struct Game {
    std::vector<uint8_t> deck;
    uint8_t lead = 0;
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> moves;
    std::vector<MoveNotice> notices;
};

std::vector<Game> Record(int decks, int count)
{
    std::mt19937 rng(4242);
    std::vector<Game> games;
    for (int g = 0; g < count; ++g) {
        Game game;
        for (int d = 0; d < decks; ++d)
            for (int c = 0; c < 54; ++c) game.deck.push_back(uint8_t(c));
        std::shuffle(game.deck.begin(), game.deck.end(), rng);
        game.lead = uint8_t(rng() % 4);
        RoundCore r;
        r.deal(game.deck.data(), decks, game.lead);
        r.beginPlay();
        while (!r.over()) {
            const uint8_t chair = r.turn();
            std::vector<uint8_t> cards = ChooseBotPlay(ViewOf(r, chair));
            if (cards.empty()) cards = {kPassCode};
            const MoveOutcome o = r.move(chair, cards);
            game.moves.emplace_back(chair, cards);
            game.notices.push_back({o.chair, o.next, o.phase, o.place, o.cards});
        }
        games.push_back(std::move(game));
    }
    return games;
}

void Table(benchmark::State& state, int decks)
{
    const auto games = Record(decks, 32);
    size_t i = 0, moves = 0;
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        const Game& g = games[i++ & 31];
        RoundCore r;
        r.deal(g.deck.data(), decks, g.lead);
        r.beginPlay();
        for (const auto& [chair, cards] : g.moves) benchmark::DoNotOptimize(r.move(chair, cards).next);
        moves += g.moves.size();
        benchmark::DoNotOptimize(r.teamScore());
    }
    state.counters["moves"] = benchmark::Counter(double(moves) / double(state.iterations()));
}

void Observer(benchmark::State& state, int decks)
{
    const auto games = Record(decks, 32);
    size_t i = 0;
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        const Game& g = games[i++ & 31];
        RoundCore r;
        r.observe(decks, g.lead);
        r.beginPlay();
        for (const MoveNotice& n : g.notices) benchmark::DoNotOptimize(r.apply(n).next);
        benchmark::DoNotOptimize(r.teamScore());
    }
}

void BM_TableGameOneDeck(benchmark::State& state) { Table(state, 1); }
void BM_TableGameTwoDecks(benchmark::State& state) { Table(state, 2); }
void BM_ObserverGameOneDeck(benchmark::State& state) { Observer(state, 1); }
void BM_ObserverGameTwoDecks(benchmark::State& state) { Observer(state, 2); }

}  // namespace

BENCHMARK(BM_TableGameOneDeck);
BENCHMARK(BM_TableGameTwoDecks);
BENCHMARK(BM_ObserverGameOneDeck);
BENCHMARK(BM_ObserverGameTwoDecks);
BENCHMARK_MAIN();
