#pragma once
// What the round flow's files share among themselves.
#include <QString>

#include "round/roundflow.h"

namespace roundflow {

inline bool IsPlayer(const TableState& ts) { return !ts.blnPangGuan; }
inline bool MyTurn(const TableState& ts) { return !ts.blnPangGuan && ts.TurnChair == ts.bteMyChair; }
inline bool InTrick(const TableState& ts) { return IsMovePhase(ts.GamePhase); }
inline int PartnerOf(int chair) { return (chair + 2) & 3; }

// Sends one message; false when there is no link.
bool Send(RoundCtx& c, const QByteArray& msg);

// The table reset before a game, after one for a spectator, and on the ready click. A blast that
// is still running keeps the mouse blocked: the reset does not clear that flag under it.
void ResetTable(RoundCtx& c, bool clearReady);

// A won trick still lying on the table becomes the previous trick and the centre is redrawn.
void FinishTrickMove(RoundCtx& c);

// Where a handler stands before it waits: the game and the table's set-up.
struct WaitMark {
    uint32_t game;
    uint32_t resets;
};
inline WaitMark MarkWait(RoundCtx& c) { return {c.rs.GameSeq, c.ts().ResetCount}; }
// After a wait: the window is still there, the same game goes on, and the table was not set up
// anew (a snapshot loaded meanwhile holds plays that are not this handler's to move).
inline bool Resumable(RoundCtx& c, const WaitMark& m)
{
    return c.view.IsAlive() && c.rs.GameSeq == m.game && c.ts().ResetCount == m.resets;
}

}  // namespace roundflow
