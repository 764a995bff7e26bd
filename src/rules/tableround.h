#pragma once
// The client's table and the game core speak of the same round: a broadcast move is applied to
// the table's books through the core, so the client, the table that deals and its bots keep one
// set of books. The table state stays what the client draws and snapshots load; the core is built
// from it for each move, so nothing kept beside it can drift.
#include "rules/roundcore.h"
#include "rules/tablestate.h"

// The round as the table state holds it, the hands left out: the client keeps its own and the
// partner's itself (sorted for the view, restored after a refused play), so to the core every
// chair is known by its card count only. A player that lets the core hold its hand adds it.
PublicRound RoundOf(const TableState& t);

// The table announced a move: the turn, the phase, the biggest play, the 双顺 mark, the trick's
// and the sides' points, the card counts and the mover's place follow from it through the core.
// What the client shows of each play (the chairs' plays, the hands) stays the caller's.
MoveOutcome ApplyMove(TableState& t, const MoveNotice& n);
