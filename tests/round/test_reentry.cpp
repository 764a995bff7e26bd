// Messages that arrive while a handler waits (the pause after a won trick, a blast, a box): the
// table ends up as the later message left it, and a torn-down window stops the waiting handler.
// The pauses run on a clock the test drives; the later messages come at set times on it.
#include <gtest/gtest.h>

#include <QApplication>

#include "../rules/cardcodes.h"
#include "platform/core/clock.h"
#include "roundfixture.h"
#include "rules/gamedefine.h"
#include "rules/paixing.h"

using namespace roundtest;

namespace {

const CardList kBomb{Card(0, R8), Card(1, R8), Card(2, R8)};  // a blast of kind 1

// What a full repaint of the table state shows, compared with what the surface shows now, inside
// the table's edge (the clock's erase is known to reach into the edge pieces).
bool ShowsItsState(Round& r)
{
    const QRect inner(9, 9, r.p.W - 18, r.p.H - 18);
    const QImage now = r.surf.image().copy(inner);
    picGameBack_Paint(r.pc);
    if (r.rs.GameOverShown) PaintGameOver(r.pc, r.rs.GameOverChanges);
    return r.surf.image().copy(inner) == now;
}

TEST(Reentry, PlaysDuringABlastEndTheTrickAndTheTableShowsIt)
{
    ManualClock clock;
    Round r;
    r.Seat(0);
    r.Deal({Card(3, R9)}, 1);
    int nestedDone = 0;
    clock.after(30, [&] {
        ASSERT_TRUE(r.tv.BlastRunning);
        r.feed(BuildOutPaiNotice(3, 2, 0, 2, {kPassCard}));
        r.feed(BuildOutPaiNotice(0, 2, 0, 3, {kPassCard}));
        r.feed(BuildOutPaiNotice(1, 1, 0, 0, {kPassCard}));  // the trick's pause runs inside the blast
        ++nestedDone;
    });
    const int startsBefore = r.view.clockStarts;
    r.feed(BuildOutPaiNotice(2, 2, 0, 1, kBomb));
    ASSERT_EQ(nestedDone, 1);
    EXPECT_FALSE(r.tv.BlastRunning);
    for (const ChairInfo& ch : r.ts.Chairs) EXPECT_TRUE(ch.OutPai.empty());
    EXPECT_EQ(r.ts.Chairs[1].LastOutPai, ByteArr::fromVector(kBomb));
    EXPECT_EQ(r.ts.TurnChair, 1);
    EXPECT_EQ(r.ts.GamePhase, GamePhase::Lead);
    EXPECT_EQ(r.p.TimedChair, 1);
    // Every turn was set up once, by its own message; the blast's handler did not time it again.
    EXPECT_EQ(r.view.clockStarts - startsBefore, 3);
    // The rectangle the blast put back holds no stale bomb.
    EXPECT_TRUE(ShowsItsState(r));
}

TEST(Reentry, TheNextLeadDuringATrickPauseIsKept)
{
    ManualClock clock;
    Round r;
    r.Seat(0);
    r.Deal({Card(3, R9)}, 1);
    r.feed(BuildOutPaiNotice(2, 2, 0, 1, {Card(1, R5)}));
    r.feed(BuildOutPaiNotice(3, 2, 0, 2, {kPassCard}));
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {kPassCard}));
    clock.after(300, [&] { r.feed(BuildOutPaiNotice(2, 2, 0, 1, {Card(2, R6)})); });
    r.feed(BuildOutPaiNotice(1, 1, 0, 0, {kPassCard}));
    EXPECT_EQ(r.ts.Chairs[1].OutPai, ByteArr{Card(2, R6)});
    EXPECT_EQ(r.ts.Chairs[1].LastOutPai, ByteArr{Card(1, R5)});
    EXPECT_EQ(r.ts.Chairs[0].LastOutPai, ByteArr{kPassCard});
    EXPECT_EQ(r.ts.TeamScore[1], 5);
    EXPECT_EQ(r.ts.TurnChair, 2);
    EXPECT_EQ(r.ts.GamePhase, GamePhase::Follow);
    EXPECT_EQ(r.p.TimedChair, 2);
    EXPECT_TRUE(ShowsItsState(r));
}

TEST(Reentry, AGameOverDuringATrickPauseEndsIt)
{
    ManualClock clock;
    Round r;
    r.Seat(0);
    r.Deal({Card(3, R9)}, 1);
    r.feed(BuildOutPaiNotice(2, 2, 0, 1, {Card(1, R10)}));
    r.feed(BuildOutPaiNotice(3, 2, 0, 2, {kPassCard}));
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {kPassCard}));
    clock.after(300, [&] { r.feed(BuildGameOver(true, {10, -10, 10, -10}, {0, 110}, {})); });
    r.feed(BuildOutPaiNotice(1, 1, 0, 0, {kPassCard}));
    EXPECT_EQ(r.ts.GamePhase, GamePhase::None);
    EXPECT_TRUE(r.rs.GameOverShown);
    EXPECT_EQ(r.ts.TeamScore, (std::array<int32_t, 2>{0, 110}));  // the server's, not added to
    EXPECT_FALSE(r.view.clockRunning);
    EXPECT_EQ(r.p.TimedChair, kNoTimedChair);
    EXPECT_EQ(r.tv.OutButState[0], BUT_HIDDEN);
    EXPECT_TRUE(r.view.startVisible);
    EXPECT_TRUE(ShowsItsState(r));  // the end panel was not painted over
}

TEST(Reentry, ASnapshotLoadedDuringATrickPauseKeepsItsPlays)
{
    ManualClock clock;
    Round r;
    r.Seat(0);
    r.Deal({Card(3, R9)}, 1);
    r.feed(BuildOutPaiNotice(2, 2, 0, 1, {Card(1, R5)}));
    r.feed(BuildOutPaiNotice(3, 2, 0, 2, {kPassCard}));
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {kPassCard}));
    // What the room side does with a snapshot: the table reset, then loaded.
    SnapshotGame snap;
    snap.TurnChair = 3;
    snap.GamePhase = 2;
    snap.OutPai = {CardList{}, CardList{}, CardList{Card(0, R7)}, CardList{}};
    snap.PaiCount = {9, 9, 9, 9};
    clock.after(300, [&] {
        ResetGameTable(r.ts, false);
        LoadTableSnapshot(r.ts, BuildSnapshotGame(snap));
    });
    r.feed(BuildOutPaiNotice(1, 1, 0, 0, {kPassCard}));
    EXPECT_EQ(r.ts.Chairs[2].OutPai, ByteArr{Card(0, R7)});
    EXPECT_TRUE(r.ts.Chairs[2].LastOutPai.empty());
    EXPECT_EQ(r.ts.TurnChair, 3);
    EXPECT_EQ(r.ts.TeamScore, (std::array<int32_t, 2>{0, 0}));
}

// A snapshot lays down every play of the trick, the turn chair's earlier one too; the turn
// chair's move replaces it on the table (none of it shows around the pass mark or a shorter
// play) and it becomes that chair's previous play.
TEST(Reentry, AfterASnapshotTheTurnChairsEarlierPlayGoesBeforeItsMove)
{
    const CardList stale{Card(0, R6), Card(1, R6)};
    const struct {
        const char* what;
        CardList move;
    } cases[] = {{"a pass", {kPassCard}}, {"a single", {Card(2, R2)}}};
    for (const auto& tc : cases) {
        ManualClock clock;
        Round r;
        r.Seat(0);
        SnapshotGame snap;
        snap.TurnChair = 1;
        snap.GamePhase = 2;
        snap.OutPai = {CardList{Card(0, R9)}, stale, CardList{kPassCard}, CardList{kPassCard}};
        const uint8_t nine = Card(0, R9);
        PaiXingInfo biggest;
        ASSERT_TRUE(GetPaiXing(&nine, 1, biggest));
        snap.MaxOutPai = biggest.b;
        snap.MaxOutPai[0] = 0;
        snap.PaiCount = {9, 9, 9, 9};
        snap.MyPai = {Card(3, R3), Card(3, R4), Card(3, R5), Card(3, R7), Card(3, R8), Card(3, R10), Card(3, RJ),
                      Card(3, RQ), Card(3, RK)};
        ASSERT_TRUE(LoadTableSnapshot(r.ts, BuildSnapshotGame(snap)));
        ComputeCardLayout(r.pc);
        picGameBack_Paint(r.pc);
        UpdateTurn(r.ctx);
        r.feed(BuildOutPaiNotice(2, 2, 0, 1, tc.move));
        EXPECT_EQ(Cards(r.ts.Chairs[1].OutPai), tc.move) << tc.what;
        EXPECT_EQ(Cards(r.ts.Chairs[1].LastOutPai), stale) << tc.what;
        EXPECT_TRUE(ShowsItsState(r)) << tc.what;
    }
}

TEST(Reentry, ANewGameDuringABlastIsNotDisturbed)
{
    ManualClock clock;
    Round r;
    r.Seat(0);
    r.Deal({Card(3, R9)}, 1);
    clock.after(30, [&] { r.feed(BuildGameStart(5, 1, 0, 30, 2)); });
    r.feed(BuildOutPaiNotice(2, 2, 0, 1, kBomb));
    EXPECT_FALSE(r.tv.BlastRunning);
    for (const ChairInfo& ch : r.ts.Chairs) EXPECT_TRUE(ch.OutPai.empty());
    EXPECT_EQ(r.ts.TurnChair, 2);
    EXPECT_EQ(r.ts.GamePhase, GamePhase::None);  // waiting for the deal: nobody's turn
    EXPECT_FALSE(r.view.clockRunning);
    EXPECT_TRUE(ShowsItsState(r));
}

TEST(Reentry, TheWindowGoingAwayDuringAPauseOrABlastStopsTheHandler)
{
    for (const bool blast : {false, true}) {
        ManualClock clock;
        Round r;
        r.Seat(0);
        r.Deal({Card(3, R9)}, 1);
        if (!blast) {
            r.feed(BuildOutPaiNotice(2, 2, 0, 1, {Card(1, R5)}));
            r.feed(BuildOutPaiNotice(3, 2, 0, 2, {kPassCard}));
            r.feed(BuildOutPaiNotice(0, 2, 0, 3, {kPassCard}));
        }
        // The link is lost: the window's tear-down resets the table and ends the view.
        clock.after(50, [&] {
            r.view.alive = false;
            r.linkUp = false;
            InitGameDefine(r.ts);
        });
        const int startsBefore = r.view.clockStarts;
        r.feed(blast ? BuildOutPaiNotice(2, 2, 0, 1, kBomb) : BuildOutPaiNotice(1, 1, 0, 0, {kPassCard}));
        EXPECT_EQ(r.view.clockStarts, startsBefore) << blast;
        EXPECT_FALSE(r.view.clockRunning) << blast;
        EXPECT_FALSE(r.tv.BlastRunning) << blast;
        for (const ChairInfo& ch : r.ts.Chairs) {
            EXPECT_TRUE(ch.OutPai.empty()) << blast;
            EXPECT_TRUE(ch.LastOutPai.empty()) << blast;
        }
        EXPECT_EQ(r.ts.GamePhase, GamePhase::None) << blast;
        EXPECT_TRUE(r.sent.isEmpty()) << blast;
    }
}

TEST(Reentry, AGameOverWhileTheRefusalBoxIsOpenWins)
{
    ManualClock clock;
    Round r;
    r.Seat(0);
    r.Deal({Card(0, RA)}, 0);
    r.Raise({Card(0, RA)});
    SubmitPlay(r.ctx, OUT_PLAY);
    ASSERT_FALSE(r.ts.MyPaiBackup.empty());
    r.view.whileBoxOpen = [&] { r.feed(BuildGameOver(false, {}, {50, 50}, {})); };
    r.feed(BuildOutPaiRefused(QStringLiteral("不行")));
    EXPECT_EQ(r.ts.GamePhase, GamePhase::None);
    EXPECT_FALSE(r.view.clockRunning);
    EXPECT_EQ(r.tv.OutButState[0], BUT_HIDDEN);
}

TEST(Reentry, TheOwnPlayConfirmedWhileTheRefusalBoxOfAnEarlierOneIsOpen)
{
    ManualClock clock;
    Round r;
    r.Seat(0);
    r.Deal({Card(0, RA), Card(1, RQ)}, 0);
    r.Raise({Card(0, RA)});
    SubmitPlay(r.ctx, OUT_PLAY);
    const ByteArr before = r.ts.MyPaiBackup;
    // The confirmation arrives while the box is open: the backup is used up, nothing to restore.
    r.view.whileBoxOpen = [&] { r.feed(BuildOutPaiNotice(1, 2, 0, 0, {Card(0, RA)})); };
    r.feed(BuildOutPaiRefused(QStringLiteral("慢了")));
    EXPECT_EQ(r.ts.MyPai.upperBound(), before.upperBound() - 1);
    EXPECT_EQ(r.ts.Chairs[0].OutPai, ByteArr{Card(0, RA)});
    EXPECT_EQ(r.ts.TurnChair, 1);
    EXPECT_EQ(r.p.TimedChair, 1);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

namespace {

TEST(Reentry, ALastPlayBombIsDrawnOnceUnderTheEndPanel)
{
    for (const int overAt : {-1, 30}) {   // the end after the blast, or during it
        ManualClock clock;
        Round r;
        r.Seat(0);
        r.Deal({Card(3, R9)}, 1);
        const QByteArray over = BuildGameOver(true, {-10, 10, -10, 10}, {0, 65},
                                              {Round::FullHand({Card(3, R9)}), {}, CardList{Card(0, RK), Card(1, RQ), Card(2, R4)}, {}});
        int fed = 0;
        if (overAt >= 0) clock.after(overAt, [&] { ASSERT_TRUE(r.tv.BlastRunning); r.feed(over); ++fed; });
        // Once the end has drawn the table anew (the plays moved for the hands left), the blast
        // stops: going on over what it kept of the old table would show both.
        bool blastWentOn = false;
        if (overAt >= 0) clock.after(overAt + 45, [&] { blastWentOn = r.tv.BlastRunning; });
        r.feed(BuildOutPaiNotice(1, 0, 3, 1, kBomb));
        if (overAt < 0) { r.feed(over); ++fed; }
        ASSERT_EQ(fed, 1) << overAt;
        EXPECT_FALSE(blastWentOn) << overAt;
        EXPECT_TRUE(r.rs.GameOverShown) << overAt;
        EXPECT_TRUE(ShowsItsState(r)) << overAt;
    }
}

}  // namespace
