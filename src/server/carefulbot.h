#pragma once
// The careful bot: a rule-based player with a good player's habits. It counts the cards it has
// not seen, plans its own hand as groups to be played (runs, pairs, singles, bombs), leads low
// cards without points and keeps its twos, jokers and bombs for tricks worth points, never plays
// over a partner who is winning unless it adds points that will stay, wins point tricks with the
// cheapest play that holds, and goes out whenever it can. It sees only its chair's view and
// draws no random numbers: the same position gives the same move.
#include <cstdint>
#include <vector>

#include "server/seatview.h"

// The cards to play, highest first, or empty for a pass.
std::vector<uint8_t> ChooseCarefulPlay(const SeatView& view);
