// One decision of the strong bot: the opening lead from a full hand (13 cards with one deck, 27
// with two), and every decision of whole games, cycled, with the playouts a decision bought.
// kvrn-tournament prints the median and the worst decision of whole matches. The positions come from games of basic
// bots on the room's deals; each decision starts from the same generator state.
#include <benchmark/benchmark.h>

#include "benchcount.h"

#include <random>
#include <vector>

#include "rules/roundcore.h"
#include "server/botplayer.h"
#include "server/deals.h"
#include "server/seatview.h"
#include "server/strongbot.h"

namespace {

// The views of the chairs to move, at the lead only or at every move, over `games` deals.
std::vector<SeatView> Positions(int decks, int games, bool openingOnly)
{
    std::vector<SeatView> out;
    for (int g = 1; g <= games; ++g) {
        const Deal deal = DealFor(31, g, decks);
        RoundCore table;
        table.deal(deal.deck.data(), decks, deal.lead);
        table.beginPlay();
        std::vector<SeatView> views;
        for (uint8_t c = 0; c < 4; ++c) {
            views.emplace_back(c);
            views.back().start(decks, deal.lead);
            views.back().learnHand(table.hand(c).data(), table.hand(c).size());
            views.back().beginPlay();
        }
        while (!table.over()) {
            const uint8_t chair = table.turn();
            out.push_back(views[chair]);
            if (openingOnly) break;
            std::vector<uint8_t> cards = ChooseBotPlay(ViewOf(table, chair));
            if (cards.empty()) cards = {kPassCode};
            const MoveOutcome o = table.move(chair, cards);
            for (SeatView& v : views) v.apply({o.chair, o.next, o.phase, o.place, o.cards});
        }
    }
    return out;
}

void Decide(benchmark::State& state, const std::vector<SeatView>& positions)
{
    size_t i = 0;
    StrongBotSpent spent;
    double playouts = 0, dealsTried = 0;
    {
        benchcount::CountedLoop counted(state);
        for (auto _ : state) {
            std::mt19937 rng(7);
            benchmark::DoNotOptimize(ChooseStrongPlay(positions[i++ % positions.size()], rng, {}, &spent).data());
            playouts += spent.playouts;
            dealsTried += spent.dealsTried;
            spent = {};
        }
    }
    // Per decision: the playouts the budget bought and the deals drawn for the guesses.
    state.counters["playouts"] = benchmark::Counter(playouts, benchmark::Counter::kAvgIterations);
    state.counters["deals"] = benchmark::Counter(dealsTried, benchmark::Counter::kAvgIterations);
}

void BM_StrongOpeningLead13(benchmark::State& state) { Decide(state, Positions(1, 16, true)); }
void BM_StrongOpeningLead27(benchmark::State& state) { Decide(state, Positions(2, 16, true)); }
void BM_StrongAnyMoveOneDeck(benchmark::State& state) { Decide(state, Positions(1, 4, false)); }
void BM_StrongAnyMoveTwoDecks(benchmark::State& state) { Decide(state, Positions(2, 2, false)); }

}  // namespace

BENCHMARK(BM_StrongOpeningLead13)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrongOpeningLead27)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrongAnyMoveOneDeck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrongAnyMoveTwoDecks)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
