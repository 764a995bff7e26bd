// The player's hand on the table: hovering and clicking the option and play buttons, raising and
// lowering cards, the right click that plays, the checks before a play is sent, the previous-trick
// view and the start button.
#include <vector>

#include "protocol/messages.h"
#include "round/roundinternal.h"
#include "rules/cards.h"
#include "rules/gamedefine.h"
#include "rules/legalplays.h"
#include "rules/paixing.h"

using namespace roundflow;

namespace {

// Option and play buttons: a button under the mouse lights up, the one it left goes back.
void HoverOptBut(RoundCtx& c, int x, int y)
{
    TableViewState& tv = c.tv();
    const int hit = HitOptBut(c.pc, x, y);
    auto calm = [&](int except) {
        for (int k = 0; k < int(tv.OptButState.size()); ++k)
            if (k != except && tv.OptButState[size_t(k)] == BUT_HOT) {
                tv.OptButState[size_t(k)] = BUT_SHOWN;
                PaintOptBut(c.pc, k);
            }
    };
    if (hit < 0) {
        calm(-1);
        c.view.SetTableToolTip(QString());
        return;
    }
    switch (tv.OptButState[size_t(hit)]) {
    case BUT_HIDDEN: c.view.SetTableToolTip(QString()); break;
    case BUT_SHOWN:
        calm(hit);
        tv.OptButState[size_t(hit)] = BUT_HOT;
        PaintOptBut(c.pc, hit);
        c.view.SetTableToolTip(tv.OptButText[size_t(hit)]);
        break;
    default: break;
    }
}

void HoverOutBut(RoundCtx& c, int x, int y)
{
    TableState& ts = c.ts();
    TableViewState& tv = c.tv();
    // Leading offers the play button alone; following offers play and pass.
    const int active = ts.GamePhase == GamePhase::Lead ? 1 : 3;
    const int hit = HitOutBut(c.pc, x, y);
    if (hit >= 0 && tv.OutButState[size_t(hit)] != BUT_SHOWN) return;
    for (int k = 0; k < active; ++k)
        if (k != hit && tv.OutButState[size_t(k)] == BUT_HOT) {
            tv.OutButState[size_t(k)] = BUT_SHOWN;
            PaintOutBut(c.pc, k);
        }
    if (hit >= 0) {
        tv.OutButState[size_t(hit)] = BUT_HOT;
        PaintOutBut(c.pc, hit);
    }
}

// Re-sorts a hand; the cards raised before stay raised.
void ResortMyPai(TableState& ts, TableViewState& tv)
{
    std::vector<uint8_t> raised;
    for (int i = 1; i <= ts.MyPai.upperBound(); ++i)
        if (tv.PaiSelected.at(i) != 0) raised.push_back(ts.MyPai[i]);
    ArrangeHand(ts.MyPai, ts.PaiSortMode, ts.DeckCount);
    tv.PaiSelected.clear();
    tv.PaiSelected.redim(ts.MyPai.upperBound());
    for (const uint8_t card : raised)
        for (int j = 1; j <= ts.MyPai.upperBound(); ++j)
            if (ts.MyPai[j] == card && tv.PaiSelected[j] == 0) {
                tv.PaiSelected[j] = 1;
                break;
            }
}

void ClickOptBut(RoundCtx& c, int i)
{
    TableState& ts = c.ts();
    if (i == OPT_SORT) {
        if (ts.MyPai.empty()) return;
        ts.PaiSortMode = !ts.PaiSortMode;
        ResortMyPai(ts, c.tv());
        PaintMyPai(c.pc);
        if (ts.ShowPartnerPai != 0) {
            ArrangeHand(ts.PartnerPai, ts.PaiSortMode, ts.DeckCount);
            PaintPartnerPai(c.pc);
        }
    } else if (i == OPT_LAST_TRICK) {
        c.rs.LastOutPaiTag = kLastTrickTicks;
        PaintOutPai(c.pc, true);
        c.view.SetLastOutPaiTimerEnabled(true);
    }
}

void LowerAll(RoundCtx& c)
{
    TableState& ts = c.ts();
    TableViewState& tv = c.tv();
    tv.PaiSelected.clear();
    tv.PaiSelected.redim(ts.MyPai.upperBound());
    PaintMyPai(c.pc);
}

// Raises the next legal play from the cheapest (the first on a new turn), every other card
// lowered.
void RaiseHint(RoundCtx& c)
{
    TableState& ts = c.ts();
    const bool lead = ts.GamePhase == GamePhase::Lead;
    const std::vector<LegalPlay> plays = PlaysFromCheapest(ts.MyPai.cards(), lead ? nullptr : &ts.MaxOutPai, ts.ShuangShunPlayed);
    if (plays.empty()) return;
    if (c.rs.HintTurn != c.rs.TurnSeq) {
        c.rs.HintTurn = c.rs.TurnSeq;
        c.rs.HintNext = 0;
    }
    const LegalPlay& play = plays[c.rs.HintNext % plays.size()];
    c.rs.HintNext = (c.rs.HintNext + 1) % plays.size();
    TableViewState& tv = c.tv();
    ClearSelection(tv, ts.MyPai.upperBound());
    for (const uint8_t card : play.Cards)
        for (int i = 1; i <= ts.MyPai.upperBound(); ++i)
            if (ts.MyPai[i] == card && tv.PaiSelected[i] == 0) {
                tv.PaiSelected[i] = 1;
                break;
            }
    PaintMyPai(c.pc);
}

}  // namespace

void picGameBack_MouseMove(RoundCtx& c, Qt::MouseButtons, int x, int y)
{
    const TableState& ts = c.ts();
    TableViewState& tv = c.tv();
    if (tv.OptButState[0] != BUT_HIDDEN) HoverOptBut(c, x, y);
    if (tv.OutButState[0] != BUT_HIDDEN && InTrick(ts)) HoverOutBut(c, x, y);
}

void picGameBack_MouseUp(RoundCtx& c, Qt::MouseButtons button, int x, int y)
{
    TableState& ts = c.ts();
    TableViewState& tv = c.tv();
    // A click inside a shown button acts whether or not a mouse move has lit it: the pointer
    // may rest where the button comes back.
    if (tv.OptButState[0] != BUT_HIDDEN) {
        const int i = HitOptBut(c.pc, x, y);
        if (i >= 0 && tv.OptButState[size_t(i)] != BUT_HIDDEN) {
            ClickOptBut(c, i);
            return;
        }
    }
    if (tv.OutButState[0] != BUT_HIDDEN && MyTurn(ts) && InTrick(ts)) {
        const int i = HitOutBut(c.pc, x, y);
        if (i >= 0 && tv.OutButState[size_t(i)] != BUT_HIDDEN) {
            if (!tv.BlastRunning) SubmitPlay(c, i);
            return;
        }
    }
    const int card = HitPk(c.pc, x, y);
    if (card >= 1 && (button & Qt::LeftButton) && IsPlayer(ts)) {
        if (tv.PaiSelected.upperBound() < ts.MyPai.upperBound()) tv.PaiSelected.redim(ts.MyPai.upperBound());
        tv.PaiSelected[card] = tv.PaiSelected[card] != 0 ? 0 : 1;
        RedrawMyPk(c.pc, card);
    } else if (button & Qt::RightButton) {
        if (MyTurn(ts) && InTrick(ts) && tv.OutButState[0] != BUT_HIDDEN && !tv.BlastRunning) SubmitPlay(c, OUT_PLAY);
    } else if (button & Qt::LeftButton) {
        LowerAll(c);
    }
}

bool picGameBack_KeyPress(RoundCtx& c, int key)
{
    const TableState& ts = c.ts();
    const TableViewState& tv = c.tv();
    // Through the same paths as the mouse, and only where the mouse could play.
    if (!IsPlayer(ts) || !MyTurn(ts) || !InTrick(ts) || tv.BlastRunning || tv.OutButState[OUT_PLAY] == BUT_HIDDEN)
        return false;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: SubmitPlay(c, OUT_PLAY); return true;
    case Qt::Key_Space:
        if (tv.OutButState[OUT_PASS] == BUT_HIDDEN) return false;
        SubmitPlay(c, OUT_PASS);
        return true;
    case Qt::Key_Escape: LowerAll(c); return true;
    case Qt::Key_H: RaiseHint(c); return true;
    default: return false;
    }
}

void CollectSelection(TableState& ts, const TableViewState& tv)
{
    ts.SelectedPai.clear();
    for (int i = 1; i <= ts.MyPai.upperBound(); ++i)
        if (tv.PaiSelected.at(i) == 1) ts.SelectedPai.append(ts.MyPai[i]);
}

void SubmitPlay(RoundCtx& c, int action)
{
    TableState& ts = c.ts();
    if (!MyTurn(ts)) return;
    const bool lead = ts.GamePhase == GamePhase::Lead;
    if (lead || (ts.GamePhase == GamePhase::Follow && action == OUT_PLAY)) {
        CollectSelection(ts, c.tv());
        const int n = ts.SelectedPai.upperBound();
        if (n < 1) return;
        QString why;
        PaiXingInfo info;
        const bool ok = lead ? CheckFirstOutPai(ts.SelectedPai, n, why, info)
                             : CheckFollowOutPai(ts.SelectedPai, n, ts.MaxOutPai, ts.ShuangShunPlayed, why, info);
        if (!ok) {
            // The raised cards stay raised for the player to change.
            ts.SelectedPai.clear();
            c.view.ShowWarning(c.pub().strGameTitle, why);
            return;
        }
        // The cards go out in hand order; only the own copy of the play is sorted for display.
        if (!Send(c, BuildPlay(ts.bteMyChair, ts.SelectedPai.cards()))) return;
        StopTurnClock(c);
        ShowOutBut(c.pc, false);
        ApplyOwnPlay(c);
    } else if (ts.GamePhase == GamePhase::Follow && action == OUT_PASS) {
        if (!Send(c, BuildPass(ts.bteMyChair))) return;
        StopTurnClock(c);
        ShowOutBut(c.pc, false);
    }
}

void ApplyOwnPlay(RoundCtx& c)
{
    TableState& ts = c.ts();
    ByteArr play = ts.SelectedPai;
    const int n = play.upperBound();
    SortPaiDesc(play, n);
    ts.MyPaiBackup = ts.MyPai;
    c.tv().PaiSelected.clear();
    ts.Chairs[ts.bteMyChair & 3].OutPai = play;
    RemovePai(ts.MyPai, play, n);
    PaintMyPai(c.pc);
    PaintUserOutPai(c.pc, ts.bteMyChair);
}

void cmdStart_Click(RoundCtx& c)
{
    TableState& ts = c.ts();
    PublicState& pub = c.pub();
    if (pub.TableJoined == 1) {
        if (IsPlayer(ts)) {
            ResetTable(c, false);
            HideStartBut(c);
            RepaintTable(c);
            Send(c, BuildReady(ts.bteMyChair));
        }
    } else {
        Send(c, BuildHandUpReq(pub.strMyName));
    }
    pub.StartButShown = false;
    RefreshStartButton(c);
}

void tmrPaintLastOutPai_Timer(RoundCtx& c)
{
    if (--c.rs.LastOutPaiTag >= 1) return;
    c.view.SetLastOutPaiTimerEnabled(false);
    PaintOutPai(c.pc, false);
    for (int i = 0; i < 3; ++i) PaintOutBut(c.pc, i);
}
