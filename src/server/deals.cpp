#include "server/deals.h"

#include <random>

Deal DealFor(uint32_t seed, int game, int decks)
{
    std::seed_seq seq{seed, uint32_t(game), 0x6465616cu};
    std::mt19937 rng(seq);
    Deal d;
    for (int k = 0; k < decks; ++k)
        for (int c = 0; c < 54; ++c) d.deck.push_back(uint8_t(c));
    // Fisher-Yates on the generator's raw numbers, so a seed gives the same deal on every build.
    for (size_t i = d.deck.size() - 1; i > 0; --i) std::swap(d.deck[i], d.deck[rng() % (i + 1)]);
    d.lead = uint8_t(rng() % 4);
    return d;
}
