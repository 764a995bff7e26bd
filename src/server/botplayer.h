#pragma once
// How a bot chooses its move, from what it knows of the table.
#include <cstdint>
#include <vector>

#include "rules/roundcore.h"

struct BotView {
    std::vector<uint8_t> Hand;
    uint8_t MyChair = 0;
    bool Leading = true;            // the bot opens the trick
    PaiXingInfo MaxOutPai;          // when following: the biggest play, byte 0 its chair
    bool ShuangShunPlayed = false;
    int32_t TrickFen = 0;           // points played into the trick so far
};

// The view of a bot on this chair: its own hand and what every chair sees, nothing more.
BotView ViewOf(const RoundCore& round, uint8_t chair);

// Points a trick must hold before a bot spends a bomb on it.
inline constexpr int32_t kBombWorthFen = 10;

// The cards to play, highest first, or empty for a pass (only when following). A lead is the
// single, pair or run that starts lowest (the longest of those), taken where possible from ranks that are no bomb; a follow is the
// smallest play that beats the trick, a bomb only for a trick of kBombWorthFen points or more, and
// nothing over the partner's play. A play that empties the hand is always taken.
std::vector<uint8_t> ChooseBotPlay(const BotView& v);

// The lowest card of a hand by rank (what a player who runs out of time leads).
uint8_t LowestCard(const std::vector<uint8_t>& hand);
