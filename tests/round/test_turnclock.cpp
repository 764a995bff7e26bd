// The turn clock, the automatic moves with their warning and leaving, and the ready countdown.
#include <gtest/gtest.h>

#include <QApplication>

#include "../rules/cardcodes.h"
#include "roundfixture.h"

using namespace roundtest;

namespace {

TEST(TurnClock, StartsForTheTurnsChairAndStopsToNoChair)
{
    Round r;
    r.Seat(0);
    r.Deal({Card(3, R9)}, 2, 20);
    EXPECT_EQ(r.p.TimedChair, 2);
    EXPECT_EQ(r.view.clockSeconds, 20);
    EXPECT_EQ(r.view.clockWarn, kClockWarnSeconds);
    YuClock_Tick(r.ctx);
    YuClock_Tick(r.ctx);
    EXPECT_EQ(r.p.ClockTicks, 2);
    StartTurnClock(r.ctx, 3);
    EXPECT_EQ(r.p.ClockTicks, 0);
    EXPECT_EQ(r.p.TimedChair, 3);
    StartTurnClock(r.ctx, 4);  // not a chair: the clock goes on for chair 3
    EXPECT_EQ(r.p.TimedChair, 3);
    StopTurnClock(r.ctx);
    EXPECT_EQ(r.p.TimedChair, kNoTimedChair);
    EXPECT_FALSE(r.view.clockRunning);
    r.ts.GamePhase = GamePhase::None;  // nothing to time: stopped, not started
    StartTurnClock(r.ctx, 1);
    EXPECT_EQ(r.p.TimedChair, kNoTimedChair);
    EXPECT_FALSE(r.view.clockRunning);
    YuClock_Warning(r.ctx);
    EXPECT_EQ(r.view.sounds.last(), SND_WARNING);
}

TEST(TurnClock, ATimedOutLeadPlaysExactlyTheLastCardOfTheArrangedHand)
{
    Round r;
    r.Seat(0);
    r.Deal({Card(3, R2), Card(1, R9)}, 0);
    const uint8_t last = r.ts.MyPai[r.ts.MyPai.upperBound()];
    r.Raise({Card(3, R2)});
    YuClock_TimeOut(r.ctx);
    EXPECT_EQ(r.sent, QList<QByteArray>{BuildPlay(0, {last})});
    EXPECT_EQ(r.ts.AutoOutCount, 1);
    EXPECT_EQ(r.tv.OutButState[0], BUT_HIDDEN);
    EXPECT_EQ(r.p.TimedChair, kNoTimedChair);
    // The server's answer takes the card; no optimistic copy was kept.
    EXPECT_TRUE(r.ts.MyPaiBackup.empty());
    EXPECT_EQ(r.ts.MyPai.upperBound(), 13);
}

TEST(TurnClock, ATimedOutFollowPasses)
{
    Round r;
    r.Seat(0);
    r.Deal({Card(3, R9)}, 3);
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {Card(0, R3)}));
    YuClock_TimeOut(r.ctx);
    EXPECT_EQ(r.sent, QList<QByteArray>{BuildPass(0)});
    EXPECT_EQ(r.ts.AutoOutCount, 1);
}

TEST(TurnClock, OnlyThePlayersOwnChairActsOnATimeOut)
{
    const struct {
        bool spectator;
        int chair;
        uint8_t phase;
    } cases[] = {
        {true, 0, 1}, {false, 1, 1}, {false, kNoTimedChair, 1}, {false, 4, 2}, {false, 100, 2}, {false, 0, 0},
        {false, 0, 100},
    };
    for (const auto& tc : cases) {
        Round r;
        r.Seat(0, tc.spectator);
        r.Deal({Card(3, R9)}, 0);
        r.ts.GamePhase = GamePhaseOf(tc.phase);
        r.p.TimedChair = tc.chair;
        YuClock_TimeOut(r.ctx);
        EXPECT_TRUE(r.sent.isEmpty()) << tc.chair;
        EXPECT_EQ(r.ts.AutoOutCount, 0) << tc.chair;
        EXPECT_EQ(r.p.TimedChair, kNoTimedChair);
    }
}

TEST(TurnClock, ALeadWithoutAHandYetPlaysNothing)
{
    Round r;
    r.Seat(0);
    r.ts.GamePhase = GamePhase::Lead;
    r.ts.TurnChair = 0;
    r.p.TimedChair = 0;
    YuClock_TimeOut(r.ctx);
    EXPECT_TRUE(r.sent.isEmpty());
    EXPECT_EQ(r.ts.AutoOutCount, 0);
}

TEST(AutoOut, TheFourthOfFiveWarnsAndTheFifthLeaves)
{
    Round r;
    r.Seat(0);
    r.Deal({Card(3, R9)}, 3, 30, 5);
    for (int k = 1; k <= 5; ++k) {
        r.feed(BuildOutPaiNotice(0, 2, 0, 3, {Card(0, uint8_t(k))}));
        YuClock_TimeOut(r.ctx);
        EXPECT_EQ(r.ts.AutoOutCount, k);
        EXPECT_EQ(r.view.msgs.size(), k < 4 ? 0 : k - 3) << k;
        EXPECT_EQ(r.view.closes, k < 5 ? 0 : 1) << k;
    }
    ASSERT_EQ(r.view.msgs.size(), 2);
    EXPECT_EQ(r.view.msgs[0].first, QStringLiteral("注意：系统帮你自动出牌的次数累计已达 4 次，再出现一次就算你逃跑！"));
    EXPECT_EQ(r.view.msgs[1].first, QStringLiteral("注意：系统帮你自动出牌的次数累计已达 5 次，现在算你逃跑！"));
    EXPECT_EQ(r.view.msgs[1].second, QStringLiteral("系统提示"));
    EXPECT_EQ(r.sentOf(MsgKind::OutPaiReq).size(), 5);
}

// Turns shorter than the notices' countdown run out while a notice is still open: the limit is
// reached inside the warning, and no turn that runs out under the leaving notice is played.
TEST(AutoOut, TurnsThatRunOutUnderTheLeavingNoticeAreNotPlayed)
{
    Round r;
    r.Seat(0);
    r.Deal({Card(3, R9)}, 3, 2, 2);
    int timeOutsUnderLeaving = 0;
    auto myTurnRunsOut = [&r](int k) {
        r.feed(BuildOutPaiNotice(0, 2, 0, 3, {Card(0, uint8_t(k))}));
        YuClock_TimeOut(r.ctx);
    };
    r.view.whileBoxOpen = [&] {
        // Under the warning: the next turn runs out and reaches the limit.
        r.view.whileBoxOpen = [&] {
            for (int k = 3; k <= 6; ++k, ++timeOutsUnderLeaving) myTurnRunsOut(k);
        };
        myTurnRunsOut(2);
    };
    myTurnRunsOut(1);
    EXPECT_EQ(timeOutsUnderLeaving, 4);
    EXPECT_EQ(r.sentOf(MsgKind::OutPaiReq).size(), 2);
    EXPECT_EQ(r.ts.AutoOutCount, 2);
    ASSERT_EQ(r.view.msgs.size(), 2);
    EXPECT_EQ(r.view.msgs[1].first, QStringLiteral("注意：系统帮你自动出牌的次数累计已达 2 次，现在算你逃跑！"));
    EXPECT_EQ(r.view.closes, 1);
}

TEST(AutoOut, TheLimitFromTheGameStartCounts)
{
    const struct {
        uint8_t limit;
        int warnAt, leaveAt;
    } cases[] = {{2, 1, 2}, {1, 0, 1}, {3, 2, 3}};
    for (const auto& tc : cases) {
        Round r;
        r.Seat(0);
        r.Deal({Card(3, R9)}, 0, 30, tc.limit);
        int warned = 0, left = 0;
        for (int k = 1; k <= 3 && !left; ++k) {
            CountAutoOut(r.ctx);
            if (!warned && r.view.msgs.size() == 1 && !r.view.closes) warned = k;
            if (r.view.closes) left = k;
        }
        EXPECT_EQ(warned, tc.warnAt) << int(tc.limit);
        EXPECT_EQ(left, tc.leaveAt) << int(tc.limit);
    }
}

TEST(StartCountdown, WaitsForSomebodyReadyThenCountsToTheEnd)
{
    Round r;
    r.Seat(0);
    r.ps.StartButShown = true;
    RefreshStartButton(r.ctx);
    EXPECT_TRUE(r.view.startVisible);
    EXPECT_TRUE(r.view.startTimer);
    EXPECT_EQ(r.rs.StartSecondsLeft, 20);
    EXPECT_EQ(r.view.startCaption, QStringLiteral("可以开始"));
    EXPECT_EQ(r.view.startX, r.p.SeatX[2] + 150);
    EXPECT_EQ(r.view.startY, r.p.SeatY[2] + 5);
    // Nobody ready: no count. A blank-named chair's raised hand does not count either.
    r.ts.Chairs[3].Name = QStringLiteral("  ");
    r.ts.Chairs[3].HandRaised = true;
    for (int i = 0; i < 3; ++i) tmrStart_Timer(r.ctx);
    EXPECT_EQ(r.rs.StartSecondsLeft, 20);
    EXPECT_EQ(r.view.startCaption, QStringLiteral("可以开始"));
    r.ts.Chairs[1].HandRaised = true;
    tmrStart_Timer(r.ctx);
    EXPECT_EQ(r.view.startCaption, QStringLiteral("可以开始 19"));
    // Once begun, the count goes on after the ready player left, and through a repaint.
    r.ts.Chairs[1].HandRaised = false;
    tmrStart_Timer(r.ctx);
    RefreshStartButton(r.ctx);
    EXPECT_EQ(r.view.startCaption, QStringLiteral("可以开始 18"));
    for (int i = 0; i < 17; ++i) tmrStart_Timer(r.ctx);
    EXPECT_EQ(r.view.startCaption, QStringLiteral("可以开始 1"));
    EXPECT_EQ(r.view.closes, 0);
    tmrStart_Timer(r.ctx);
    EXPECT_EQ(r.view.startCaption, QStringLiteral("可以开始 0"));
    EXPECT_EQ(r.view.closes, 1);
    EXPECT_FALSE(r.view.startTimer);
}

TEST(StartCountdown, HidingAndShowingAgainStartsFromTwenty)
{
    Round r;
    r.Seat(0);
    r.ts.Chairs[1].HandRaised = true;
    r.ps.StartButShown = true;
    RefreshStartButton(r.ctx);
    tmrStart_Timer(r.ctx);
    tmrStart_Timer(r.ctx);
    HideStartBut(r.ctx);
    EXPECT_FALSE(r.view.startVisible);
    EXPECT_FALSE(r.view.startTimer);
    EXPECT_EQ(r.view.startCaption, QStringLiteral("可以开始"));
    r.ps.StartButShown = true;
    RefreshStartButton(r.ctx);
    EXPECT_EQ(r.rs.StartSecondsLeft, 20);
}

TEST(StartCountdown, ASpectatorNeverSeesTheStartButton)
{
    Round r;
    r.Seat(1, true);
    r.ps.StartButShown = true;
    RefreshStartButton(r.ctx);
    EXPECT_FALSE(r.ps.StartButShown);
    EXPECT_FALSE(r.view.startVisible);
    EXPECT_FALSE(r.view.startTimer);
    r.ts.GamePhase = GamePhase::Waiting;
    UpdateTurn(r.ctx);
    EXPECT_FALSE(r.view.startVisible);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
