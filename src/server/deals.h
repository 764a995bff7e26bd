#pragma once
// The deals of a run: game g of seed s is always the same shuffle and the same opening chair,
// whoever plays and however the games before it went, so one deal can be played from both sides.
#include <cstdint>
#include <vector>

struct Deal {
    std::vector<uint8_t> deck;   // decks x 54 cards; chair c holds the c-th run of hand size
    uint8_t lead = 0;            // the opening chair, unless the table names another
};

Deal DealFor(uint32_t seed, int game, int decks);
