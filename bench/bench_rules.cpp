// Throughput of the card rules: classification, the follow check and arranging a full hand.
#include <benchmark/benchmark.h>

#include "benchcount.h"

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "rules/cards.h"
#include "rules/paixing.h"

namespace {

struct Play {
    std::array<uint8_t, 12> c{};
    int n = 0;
};

std::vector<uint8_t> twoDecks()
{
    std::vector<uint8_t> d;
    for (int k = 0; k < 2; ++k)
        for (int c = 0; c < 54; ++c) d.push_back(uint8_t(c));
    return d;
}

// Random plays of 1..12 cards drawn from two shuffled decks; half of them are same-rank sets or
// runs so the deeper rules are exercised too, not only early rejections.
std::vector<Play> makePlays(size_t count)
{
    std::mt19937 rng(12345);
    std::vector<uint8_t> deck = twoDecks();
    std::vector<Play> plays;
    plays.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        Play p;
        p.n = int(rng() % 12) + 1;
        if (i % 2 == 0) {
            std::shuffle(deck.begin(), deck.end(), rng);
            std::copy_n(deck.begin(), p.n, p.c.begin());
        } else {
            const int start = int(rng() % 12);
            for (int k = 0; k < p.n; ++k) {
                const int rank = (i % 4 == 1) ? start : (start + k / 2) % 12;
                p.c[size_t(k)] = uint8_t((rng() % 4) * 13 + rank);
            }
        }
        plays.push_back(p);
    }
    return plays;
}

void BM_Classify(benchmark::State& state)
{
    const std::vector<Play> plays = makePlays(4096);
    size_t i = 0;
    PaiXingInfo out;
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        const Play& p = plays[i++ & 4095];
        benchmark::DoNotOptimize(GetPaiXing(p.c.data(), p.n, out));
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_Classify);

void BM_FollowCheck(benchmark::State& state)
{
    const std::vector<Play> plays = makePlays(4096);
    // Biggest plays to follow: a 双顺, a 4-card bomb, a 两套火 and a 6-card bomb.
    const std::array<PaiXingInfo, 4> maxima{{
        {{0, 3, 3, 11, 6, 0, 0, 0}},
        {{1, 5, 5, 20, 4, 0, 0, 0}},
        {{2, 4, 5, 9, 4, 6, 10, 3}},
        {{3, 11, 11, 45, 6, 0, 0, 0}},
    }};
    size_t i = 0;
    PaiXingInfo out;
    QString msg;
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        const Play& p = plays[i & 4095];
        benchmark::DoNotOptimize(CheckFollowOutPai(p.c.data(), p.n, maxima[i & 3], (i & 1) != 0, msg, out));
        ++i;
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_FollowCheck);

void BM_ArrangeHand27(benchmark::State& state)
{
    std::mt19937 rng(777);
    std::vector<uint8_t> deck = twoDecks();
    std::vector<ByteArr> hands;
    for (int k = 0; k < 64; ++k) {
        std::shuffle(deck.begin(), deck.end(), rng);
        hands.push_back(ByteArr::fromCards(deck.data(), 27));
    }
    size_t i = 0;
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        ByteArr h = hands[i & 63];
        ArrangeHand(h, (i & 1) != 0, 2);
        benchmark::DoNotOptimize(h);
        ++i;
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_ArrangeHand27);

}  // namespace

BENCHMARK_MAIN();
