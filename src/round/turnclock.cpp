// The two clocks that keep the table moving: the turn clock, which plays for a player whose time
// runs out and counts those moves up to the point where the player is taken to have fled, and the
// ready countdown on the start button, which closes the window when it runs out.
#include "platform/core/vbnum.h"
#include "protocol/messages.h"
#include "round/roundinternal.h"

using namespace roundflow;

namespace {

const QString kStartCaption = QStringLiteral("可以开始");

// The caption of a countdown that has begun: the seconds left after the words.
QString CountingCaption(int secondsLeft)
{
    return kStartCaption + QLatin1Char(' ') + QString::number(secondsLeft);
}

bool AnyoneReady(const TableState& ts)
{
    for (const ChairInfo& ch : ts.Chairs)
        if (!ch.Name.trimmed().isEmpty() && ch.HandRaised) return true;
    return false;
}

}  // namespace

void StartTurnClock(RoundCtx& c, int chair)
{
    if (chair < 0 || chair >= 4) return;
    StopTurnClock(c);
    if (c.ts().GamePhase == GamePhase::None) return;
    // Without a time bar nothing times the chair, and the table shows no clock.
    c.pc.p.TimedChair = c.view.HasWindow() ? chair : kNoTimedChair;
    c.pc.p.ClockTicks = 0;
    c.view.ClockStart(c.ts().TurnSeconds, kClockWarnSeconds);
    // The clock shows at the seat as soon as the turn is there, with the whole time left.
    PaintClock(c.pc, true);
}

void StopTurnClock(RoundCtx& c)
{
    c.view.ClockReset();
    PaintClock(c.pc, false);
    c.pc.p.TimedChair = kNoTimedChair;
}

void YuClock_Tick(RoundCtx& c)
{
    ++c.pc.p.ClockTicks;
    PaintClock(c.pc, true);
}

void YuClock_Warning(RoundCtx& c)
{
    c.view.PlayGameSound(SND_WARNING);
}

void YuClock_TimeOut(RoundCtx& c)
{
    TableState& ts = c.ts();
    const int chair = c.pc.p.TimedChair;
    StopTurnClock(c);
    if (chair < 0 || chair != ts.bteMyChair || !IsPlayer(ts)) return;
    // The move a refusal box speaks of is over; the box goes before the client moves.
    c.view.CloseMoveBoxes();
    // Turns shorter than the leaving notice's countdown run out under it; the player is gone.
    if (c.rs.AutoOutLeaving) return;
    switch (ts.GamePhase) {
    case GamePhase::Lead: {
        // The last card of the hand as arranged: with the hand sorted by rank, the lowest. With
        // no hand yet (its request still on the way) there is nothing to play.
        const int last = ts.MyPai.upperBound();
        if (last < 1) return;
        if (!Send(c, BuildPlay(ts.bteMyChair, CardList{ts.MyPai[last]}))) return;
        ShowOutBut(c.pc, false);
        CountAutoOut(c);
        break;
    }
    case GamePhase::Follow:
        SubmitPlay(c, OUT_PASS);
        CountAutoOut(c);
        break;
    default: break;
    }
}

void CountAutoOut(RoundCtx& c)
{
    TableState& ts = c.ts();
    if (ts.AutoOutCount < 255) ++ts.AutoOutCount;
    const int count = ts.AutoOutCount;
    const QString head = QStringLiteral("注意：系统帮你自动出牌的次数累计已达 ") + QString::number(count);
    if (int(ts.AutoOutLimit) == count + 1) {
        c.view.ShowMsg(head + QStringLiteral(" 次，再出现一次就算你逃跑！"), QStringLiteral("系统提示"));
    } else if (count >= int(ts.AutoOutLimit)) {
        c.rs.AutoOutLeaving = true;
        c.view.ShowMsg(head + QStringLiteral(" 次，现在算你逃跑！"), QStringLiteral("系统提示"));
        if (c.view.IsAlive()) c.view.CloseMainWindow();
    }
}

void RefreshStartButton(RoundCtx& c)
{
    PublicState& pub = c.pub();
    RoundState& rs = c.rs;
    // A countdown that has begun keeps its number on the button through any repaint.
    c.view.SetStartCaption(rs.StartCounting ? CountingCaption(rs.StartSecondsLeft) : kStartCaption);
    c.view.MoveStartButton(c.pc.p.SeatX[2] + 150, c.pc.p.SeatY[2] + 5);
    if (c.ts().blnPangGuan) pub.StartButShown = false;
    c.view.SetStartVisible(pub.StartButShown);
    if (!c.view.StartTimerEnabled() && pub.StartButShown) {
        rs.StartSecondsLeft = kReadySeconds;
        rs.StartCounting = false;
    }
    c.view.SetStartTimerEnabled(pub.StartButShown);
    if (!pub.StartButShown && rs.StartCounting) {
        rs.StartCounting = false;
        c.view.SetStartCaption(kStartCaption);
    }
}

void RepaintTable(RoundCtx& c)
{
    // The stand-in without a window has no button to follow the table.
    if (!picGameBack_Paint(c.pc)) return;
    // The end of a game stays on the table until the next one starts, whatever redraws it.
    if (c.rs.GameOverShown) PaintGameOver(c.pc, c.rs.GameOverChanges);
    if (c.view.HasWindow()) RefreshStartButton(c);
}

void tmrStart_Timer(RoundCtx& c)
{
    RoundState& rs = c.rs;
    if (!rs.StartCounting) {
        // The count begins once somebody at the table is ready, and then keeps going.
        if (!AnyoneReady(c.ts())) return;
        rs.StartCounting = true;
    }
    const int n = --rs.StartSecondsLeft;
    c.view.SetStartCaption(CountingCaption(n));
    if (n <= 0) {
        c.view.SetStartTimerEnabled(false);
        rs.StartCounting = false;
        c.view.CloseMainWindow();
    }
}
