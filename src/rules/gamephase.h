#pragma once
// What the game waits for, with the values the phase has on the wire.
#include <cstdint>

#include "protocol/wirerange.h"

enum class GamePhase : uint8_t {
    None = 0,       // nobody is to move (dealing, or the game is over)
    Lead = 1,       // the turn chair opens a trick
    Follow = 2,     // the turn chair beats the biggest play or passes
    Waiting = 100,  // between games, waiting for the ready hands
};

inline constexpr uint8_t WireValue(GamePhase p) { return uint8_t(p); }
// A phase read from the wire; anything unknown is None.
inline constexpr GamePhase GamePhaseOf(int p) { return IsWirePhase(p) ? GamePhase(p) : GamePhase::None; }
// The turn chair has a move to make.
inline constexpr bool IsMovePhase(GamePhase p) { return p == GamePhase::Lead || p == GamePhase::Follow; }
