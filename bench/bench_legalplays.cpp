// The legal-play enumeration on full two-deck hands (27 cards): at a lead, against ordinary
// plays, and against a trick that saw a 双顺 (where two-part plays are built too).
#include <benchmark/benchmark.h>

#include "benchcount.h"

#include <algorithm>
#include <random>
#include <vector>

#include "rules/legalplays.h"
#include "rules/paixing.h"

namespace {

std::vector<std::vector<uint8_t>> Hands(size_t count, size_t size)
{
    std::mt19937 rng(2718);
    std::vector<uint8_t> deck;
    for (int k = 0; k < 2; ++k)
        for (int c = 0; c < 54; ++c) deck.push_back(uint8_t(c));
    std::vector<std::vector<uint8_t>> hands;
    for (size_t i = 0; i < count; ++i) {
        std::shuffle(deck.begin(), deck.end(), rng);
        hands.emplace_back(deck.begin(), deck.begin() + long(size));
    }
    return hands;
}

PaiXingInfo Describe(std::vector<uint8_t> cards)
{
    PaiXingInfo p;
    GetPaiXing(cards.data(), int(cards.size()), p);
    return p;
}

void Run(benchmark::State& state, const PaiXingInfo* max, bool ss)
{
    const auto hands = Hands(64, 27);
    size_t i = 0, plays = 0;
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        const auto list = EnumerateLegalPlays(hands[i++ & 63], max, ss);
        plays += list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["plays"] = benchmark::Counter(double(plays) / double(state.iterations()));
}

void BM_Lead27(benchmark::State& state) { Run(state, nullptr, false); }
BENCHMARK(BM_Lead27)->Unit(benchmark::kMicrosecond);

void BM_FollowSingle27(benchmark::State& state)
{
    const PaiXingInfo max = Describe({20});   // a nine
    Run(state, &max, false);
}
BENCHMARK(BM_FollowSingle27)->Unit(benchmark::kMicrosecond);

void BM_FollowBomb27(benchmark::State& state)
{
    const PaiXingInfo max = Describe({4, 17, 30});   // three sevens
    Run(state, &max, false);
}
BENCHMARK(BM_FollowBomb27)->Unit(benchmark::kMicrosecond);

void BM_FollowAfterShuangShun27(benchmark::State& state)
{
    const PaiXingInfo max = Describe({2, 15, 1, 14, 0, 13});   // fives, fours, threes
    Run(state, &max, true);
}
BENCHMARK(BM_FollowAfterShuangShun27)->Unit(benchmark::kMicrosecond);

// The worst hand for two-part plays: every five, ten and king of both decks with bombs beside.
void BM_FollowAfterShuangShunRichHand(benchmark::State& state)
{
    std::vector<uint8_t> hand;
    for (int k = 0; k < 2; ++k)
        for (int s = 0; s < 4; ++s)
            for (int r : {2, 7, 10}) hand.push_back(uint8_t(s * 13 + r));
    hand.insert(hand.end(), {52, 53, 52});
    const PaiXingInfo max = Describe({2, 15, 1, 14, 0, 13});
    size_t plays = 0;
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        const auto list = EnumerateLegalPlays(hand, &max, true);
        plays += list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["plays"] = benchmark::Counter(double(plays) / double(state.iterations()));
}
BENCHMARK(BM_FollowAfterShuangShunRichHand)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
