#pragma once
// The round flow: the game messages from the room server, the turn they lead to, the play input
// on the table, the turn clock with its automatic moves, and the ready countdown. Every procedure
// works on a context of the table's drawing context (which holds the table state), the flow's own
// state, the window's side and the sender, so each runs in a test without a window or a socket.
//
// Waits happen in nested event loops (the pause after a won trick, the blast, a modal box), so a
// message can arrive inside a handler; a handler that comes back from a wait checks what changed
// and never undoes what a later message did.
#include <QByteArray>
#include <Qt>
#include <cstdint>
#include <functional>

#include "round/roundstate.h"
#include "tableview/gamepaint.h"

struct RoundCtx {
    PaintCtx& pc;
    RoundState& rs;
    RoundView& view;
    // Sends one whole message; false when nothing was sent.
    std::function<bool(const QByteArray&)> send;

    TableState& ts() { return pc.ts; }
    TableViewState& tv() { return pc.tv; }
    PublicState& pub() { return pc.ps; }
};

// The states of the option and play buttons.
enum ButState : uint8_t { BUT_HIDDEN = 0, BUT_SHOWN = 1, BUT_HOT = 2 };
// The option buttons and the play buttons (also SubmitPlay's actions).
enum OptBut : int { OPT_SORT = 0, OPT_LAST_TRICK = 1 };
enum OutAction : int { OUT_PLAY = 0, OUT_PASS = 1, OUT_NOTHING = 2 };

// The game's sounds by number.
enum GameSound : int {
    SND_START = 0, SND_LIANG = 1, SND_OUTPAI = 2, SND_PASS = 3, SND_HONG10 = 4, SND_ZHADAN = 5,
    SND_WARNING = 6, SND_END = 7, SND_PANGGUAN_IN = 8, SND_PANGGUAN_OUT = 9,
};
// The blast kinds of strong plays (0: none).
enum BlastKind : int { BLAST_NONE = 0, BLAST_ZHADAN = 1, BLAST_MADUI = 2, BLAST_WANG = 3 };

// What a play of a card type sounds and looks like.
struct PlayEffect {
    int sound = SND_OUTPAI;
    int blast = BLAST_NONE;
};
PlayEffect PlayEffectOf(uint8_t paiXing);

// How long a won trick stays on the table, and how long a spectator sees the end of a game.
inline constexpr int kTrickPauseMs = 2000;
inline constexpr int kSpectatorEndPauseMs = 5000;
// The turn clock's warning comes this many seconds before the end.
inline constexpr int kClockWarnSeconds = 5;
// The previous trick stays shown for this many ticks of its timer.
inline constexpr int kLastTrickTicks = 2;

// ---- Game messages (code below 95, or 113) ------------------------------------------------------
// One decoded message from the server. Chat (code 1) and items (133) are not handled here.
struct ReceivedMsg;
void HandleRoundMsg(RoundCtx& c, const ReceivedMsg& msg);
// The same from the message's bytes.
void HandleRoundMsg(RoundCtx& c, const QByteArray& msg);
// Buttons, clock and automatic requests from GamePhase and TurnChair.
void UpdateTurn(RoundCtx& c);
// Stops the turn clock and takes the start button away.
void HideStartBut(RoundCtx& c);
// Asks the server for the own hands (GM_HANDS [2, 0, chair]).
void SendHandsRequest(RoundCtx& c);

// ---- Play input ------------------------------------------------------------------------------
void picGameBack_MouseMove(RoundCtx& c, Qt::MouseButtons buttons, int x, int y);
void picGameBack_MouseUp(RoundCtx& c, Qt::MouseButtons button, int x, int y);
// A key on the table, on the own turn of a player while no blast runs: Enter plays the raised
// cards, Space passes when following, Escape lowers every card, H raises a hint (the cheapest
// legal play; again, the next one). True when the key was used.
bool picGameBack_KeyPress(RoundCtx& c, int key);
// Checks and sends the raised cards (OUT_PLAY) or a pass (OUT_PASS) on the own turn.
void SubmitPlay(RoundCtx& c, int action);
// SelectedPai = the raised cards of MyPai in hand order.
void CollectSelection(TableState& ts, const TableViewState& tv);
// The sent play taken from the own hand at once; the hand before it is kept for the answer.
void ApplyOwnPlay(RoundCtx& c);
void cmdStart_Click(RoundCtx& c);
// The previous-trick view's timer tick.
void tmrPaintLastOutPai_Timer(RoundCtx& c);

// ---- Turn clock, automatic moves, ready countdown ----------------------------------------------
void StartTurnClock(RoundCtx& c, int chair);
void StopTurnClock(RoundCtx& c);
void YuClock_Tick(RoundCtx& c);
void YuClock_Warning(RoundCtx& c);
void YuClock_TimeOut(RoundCtx& c);
void CountAutoOut(RoundCtx& c);
void RefreshStartButton(RoundCtx& c);
// The full repaint of the table, with the end panel while a game's end is shown and the start
// button brought up to date when it drew the seats.
void RepaintTable(RoundCtx& c);
// The table set up anew, as before a game, on the ready click and for a snapshot: the game and
// the view reset (a blast still playing keeps the mouse blocked), no trick move pending, no end
// shown, and a handler waiting meanwhile does not resume.
void ResetRoundTable(TableState& ts, TableViewState& tv, RoundState& rs, bool clearReady);
void tmrStart_Timer(RoundCtx& c);
