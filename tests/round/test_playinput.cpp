// The play input: raising and lowering cards, the buttons under the mouse, the right click, the
// checks before sending, the previous-trick view and the start button.
#include <gtest/gtest.h>

#include <QApplication>

#include "../rules/cardcodes.h"
#include "roundfixture.h"
#include "rules/cards.h"
#include "rules/legalplays.h"

#include <algorithm>
#include <functional>

using namespace roundtest;

namespace {

const uint8_t kA = Card(0, RA), kQ = Card(1, RQ), kTwo = Card(2, R2), kTwo2 = Card(3, R2), kSix = Card(1, R6);

int IndexOf(const TableState& ts, uint8_t card)
{
    for (int i = 1; i <= ts.MyPai.upperBound(); ++i)
        if (ts.MyPai[i] == card) return i;
    return -1;
}

std::vector<uint8_t> Raised(const TableState& ts, const TableViewState& tv)
{
    std::vector<uint8_t> out;
    for (int i = 1; i <= ts.MyPai.upperBound(); ++i)
        if (tv.PaiSelected.at(i) != 0) out.push_back(ts.MyPai[i]);
    return out;
}

std::vector<int> Ranks(const ByteArr& hand)
{
    std::vector<int> out;
    for (const uint8_t c : hand.cards()) out.push_back(RankOrder(c));
    return out;
}

// A table where this client (chair 0) leads with a known hand.
struct Leading : Round {
    Leading() { Seat(0); Deal({kA, kQ, kTwo, kTwo2, kSix}, 0); }
    void ClickCard(uint8_t card, Qt::MouseButton b = Qt::LeftButton) { Click(CardPoint(IndexOf(ts, card)), b); }
};

TEST(Cards, TheSameCardTwiceAndAClickBesideTheCards)
{
    Leading r;
    r.ClickCard(kQ);
    EXPECT_EQ(Raised(r.ts, r.tv), std::vector<uint8_t>{kQ});
    r.ClickCard(kQ);
    EXPECT_TRUE(Raised(r.ts, r.tv).empty());
    r.ClickCard(kQ);
    r.ClickCard(kA);
    EXPECT_EQ(Raised(r.ts, r.tv).size(), 2u);
    r.Click({r.p.W / 2, 60});  // the empty table
    EXPECT_TRUE(Raised(r.ts, r.tv).empty());
    EXPECT_TRUE(r.sent.isEmpty());
}

TEST(Cards, ARightClickPlaysTheRaisedCardsInHandOrder)
{
    // A five-ten-king of one suit leads the arranged hand as five, ten, king, and goes out so; the
    // own copy of the play is shown king first.
    const uint8_t five = Card(0, R5), ten = Card(0, R10), king = Card(0, RK);
    Round r;
    r.Seat(0);
    r.Deal({five, ten, king}, 0);
    ASSERT_EQ(r.ts.MyPai[1], five);
    const ByteArr before = r.ts.MyPai;
    r.Raise({king, five, ten});
    r.Click({r.p.W / 2, 60}, Qt::RightButton);
    EXPECT_EQ(r.sent, QList<QByteArray>{BuildPlay(0, {five, ten, king})});
    EXPECT_EQ(r.sent[0], QByteArray("\x14\x00\x00\x00\x00\x00\x03\x02\x07\x0a", 10));
    EXPECT_EQ(r.ts.MyPaiBackup, before);
    EXPECT_EQ(r.ts.MyPai.upperBound(), 10);
    EXPECT_EQ(IndexOf(r.ts, ten), -1);
    EXPECT_EQ(r.ts.Chairs[0].OutPai, (ByteArr{king, ten, five}));
    EXPECT_TRUE(Raised(r.ts, r.tv).empty());
    EXPECT_EQ(r.tv.OutButState[0], BUT_HIDDEN);
    EXPECT_FALSE(r.view.clockRunning);
}

TEST(Cards, ARightClickWithNothingRaisedOrOutOfTurnSendsNothing)
{
    Leading r;
    r.Click({r.p.W / 2, 60}, Qt::RightButton);
    EXPECT_TRUE(r.sent.isEmpty());
    EXPECT_TRUE(r.view.warnings.isEmpty());
    r.ClickCard(kA);
    r.ts.TurnChair = 1;
    r.Click({r.p.W / 2, 60}, Qt::RightButton);
    EXPECT_TRUE(r.sent.isEmpty());
    EXPECT_EQ(Raised(r.ts, r.tv), std::vector<uint8_t>{kA});
}

TEST(Cards, AnIllegalSelectionShowsTheRuleAndSendsNothing)
{
    Leading r;
    r.ClickCard(kA);
    r.ClickCard(kQ);
    r.Click(r.OutButPoint(OUT_PLAY));
    EXPECT_TRUE(r.sent.isEmpty());
    ASSERT_EQ(r.view.warnings.size(), 1);
    EXPECT_EQ(r.view.warnings[0].first, QStringLiteral("四人牌局"));
    EXPECT_EQ(r.view.warnings[0].second, QStringLiteral("错误提示：牌型不对！"));
    EXPECT_EQ(Raised(r.ts, r.tv).size(), 2u);  // still raised for the player to change
    EXPECT_TRUE(r.ts.SelectedPai.empty());
    EXPECT_TRUE(r.ts.MyPaiBackup.empty());
}

TEST(Cards, AFollowIsCheckedAgainstTheBiggestPlay)
{
    Round r;
    r.Seat(0);
    r.Deal({kTwo, kTwo2, kSix}, 3);
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {Card(2, RA)}));
    r.Raise({kTwo, kTwo2});
    r.Click(r.OutButPoint(OUT_PLAY));
    ASSERT_EQ(r.view.warnings.size(), 1);
    EXPECT_EQ(r.view.warnings[0].second, QStringLiteral("错误提示：必须和本轮最大出牌的牌型相同：单牌"));
    EXPECT_TRUE(r.sent.isEmpty());
    r.tv.PaiSelected.clear();
    r.Raise({kTwo});
    r.Click(r.OutButPoint(OUT_PLAY));
    EXPECT_EQ(r.sent, QList<QByteArray>{BuildPlay(0, {kTwo})});
}

// A box about the own move (the rules' refusal, the server's) goes when that move is gone: the
// clock ran out and the client moved for the player, or the server's word of the move came.
// Other messages leave it up.
TEST(MoveBoxes, ARefusalBoxClosesWhenItsMoveIsGone)
{
    const struct {
        const char* what;
        bool serverRefused;
        std::function<void(Round&)> meanwhile;
        bool closed;
    } cases[] = {
        {"the own clock runs out", false, [](Round& r) { YuClock_TimeOut(r.ctx); }, true},
        {"the server passes for the player", false, [](Round& r) { r.feed(BuildOutPaiNotice(1, 2, 0, 0, {kPassCard})); }, true},
        {"the server's refusal, then its pass", true, [](Round& r) { r.feed(BuildOutPaiNotice(1, 2, 0, 0, {kPassCard})); }, true},
        {"the game ends", false, [](Round& r) { r.feed(BuildGameOver(false, {}, {0, 0}, {})); }, true},
        {"the server's refusal, a new game", true, [](Round& r) { r.feed(BuildGameStart(5, 1, 0, 30, 1)); }, true},
        {"a hand raised elsewhere", false, [](Round& r) { r.feed(BuildReady(2)); }, false},
        {"the server's refusal, a hand raised", true, [](Round& r) { r.feed(BuildReady(2)); }, false},
    };
    for (const auto& tc : cases) {
        Round r;
        r.Seat(0);
        r.Deal({kTwo, kTwo2, kSix}, 3);
        r.feed(BuildOutPaiNotice(0, 2, 0, 3, {Card(2, RA)}));
        bool openAfter = true;
        r.view.whileBoxOpen = [&] {
            tc.meanwhile(r);
            openAfter = r.view.moveBoxOpen;
        };
        if (tc.serverRefused) {
            r.Raise({kTwo});
            SubmitPlay(r.ctx, OUT_PLAY);
            r.feed(BuildOutPaiRefused(QStringLiteral("错误提示：还没有轮到你出牌！")));
        } else {
            r.Raise({kTwo, kTwo2});
            SubmitPlay(r.ctx, OUT_PLAY);
            ASSERT_EQ(r.view.warnings.size(), 1) << tc.what;
        }
        EXPECT_EQ(openAfter, !tc.closed) << tc.what;
    }
}

TEST(Cards, PassingLeavesTheHandAndItsBackupAlone)
{
    Round r;
    r.Seat(0);
    r.Deal({kTwo, kSix}, 3);
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {Card(2, RA)}));
    r.Raise({kSix});
    const ByteArr hand = r.ts.MyPai;
    r.Click(r.OutButPoint(OUT_PASS));
    EXPECT_EQ(r.sent, QList<QByteArray>{BuildPass(0)});
    EXPECT_EQ(r.sent[0], QByteArray("\x14\x00\x00\x00\x00\x00\x01\xfe", 8));
    EXPECT_EQ(r.ts.MyPai, hand);
    EXPECT_TRUE(r.ts.MyPaiBackup.empty());
    EXPECT_EQ(r.tv.OutButState[0], BUT_HIDDEN);
}

TEST(Cards, NothingHappensWhileABlastRunsOrForASpectator)
{
    Leading r;
    r.ClickCard(kA);
    r.tv.BlastRunning = true;
    r.Click(r.OutButPoint(OUT_PLAY));
    r.Click({r.p.W / 2, 60}, Qt::RightButton);
    EXPECT_TRUE(r.sent.isEmpty());
    r.tv.BlastRunning = false;

    r.ts.blnPangGuan = true;
    r.ClickCard(kQ);
    EXPECT_TRUE(Raised(r.ts, r.tv).empty());  // a spectator's click only lowers
    r.Raise({kA});
    r.Click(r.OutButPoint(OUT_PLAY));
    r.Click({r.p.W / 2, 60}, Qt::RightButton);
    EXPECT_TRUE(r.sent.isEmpty());
}

TEST(Buttons, OnlyAButtonUnderTheMouseReacts)
{
    Leading r;
    // Leading: the play button lights up; the pass button's place is nothing.
    const QPoint play = r.OutButPoint(OUT_PLAY);
    picGameBack_MouseMove(r.ctx, Qt::NoButton, play.x(), play.y());
    EXPECT_EQ(r.tv.OutButState[0], BUT_HOT);
    picGameBack_MouseMove(r.ctx, Qt::NoButton, 5, 5);
    EXPECT_EQ(r.tv.OutButState[0], BUT_SHOWN);
    // A release on a shown button acts whether a move lit it or not (the pointer may rest where
    // the button comes back); on the pass button's place while leading it is a click beside the
    // cards.
    r.Raise({kA});
    picGameBack_MouseUp(r.ctx, Qt::LeftButton, play.x(), play.y());
    EXPECT_EQ(r.sent, QList<QByteArray>{BuildPlay(0, {kA})});
}

TEST(Buttons, AClickWithoutAMoveActsOnEveryShownButton)
{
    struct Case {
        const char* name;
        int button;
        bool following;
        QByteArray sent;   // empty: nothing sent
    };
    const std::vector<Case> cases{
        {"pass while following", OUT_PASS, true, BuildPass(0)},
        {"play while following", OUT_PLAY, true, BuildPlay(0, {kTwo})},
        {"pass's place while leading", OUT_PASS, false, QByteArray()},
    };
    for (const Case& c : cases) {
        Round r;
        r.Seat(0);
        r.Deal({kTwo, kSix}, c.following ? 3 : 0);
        if (c.following) r.feed(BuildOutPaiNotice(0, 2, 0, 3, {Card(2, RA)}));
        r.Raise({kTwo});
        const QPoint at = r.OutButPoint(c.button);
        picGameBack_MouseUp(r.ctx, Qt::LeftButton, at.x(), at.y());
        EXPECT_EQ(r.sent.value(0), c.sent) << c.name;
    }
    // The option buttons too: the sort button sorts at once.
    Leading r;
    const ByteArr before = r.ts.MyPai;
    const QPoint sort = r.OptButPoint(OPT_SORT);
    picGameBack_MouseUp(r.ctx, Qt::LeftButton, sort.x(), sort.y());
    EXPECT_NE(r.ts.MyPai, before);
}

TEST(Keys, OnlyOnTheOwnTurnOfAPlayerWithoutABlast)
{
    struct Case {
        const char* name;
        std::function<void(Round&)> set;
        bool acts;
    };
    const std::vector<Case> cases{
        {"the own lead", [](Round&) {}, true},
        {"another chair's turn", [](Round& r) { r.ts.TurnChair = 1; }, false},
        {"a blast running", [](Round& r) { r.tv.BlastRunning = true; }, false},
        {"a spectator", [](Round& r) { r.ts.blnPangGuan = true; }, false},
    };
    for (const Case& c : cases) {
        Leading r;
        c.set(r);
        EXPECT_EQ(picGameBack_KeyPress(r.ctx, Qt::Key_H), c.acts) << c.name;
        EXPECT_EQ(Raised(r.ts, r.tv).empty(), !c.acts) << c.name;
        r.tv.PaiSelected.clear();
        r.Raise({kA});
        EXPECT_EQ(picGameBack_KeyPress(r.ctx, Qt::Key_Return), c.acts) << c.name;
        EXPECT_EQ(r.sent.size(), c.acts ? 1 : 0) << c.name;
    }
    Leading r;
    EXPECT_FALSE(picGameBack_KeyPress(r.ctx, Qt::Key_A)) << "other keys go on";
}

TEST(Keys, TheHintCyclesFromTheCheapestAndStartsOverOnANewTurn)
{
    Round r;
    r.Seat(0);
    r.Deal({kTwo, kTwo2, kSix}, 3);
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {Card(2, R9)}));
    const std::vector<LegalPlay> plays = PlaysFromCheapest(r.ts.MyPai.cards(), &r.ts.MaxOutPai, false);
    ASSERT_GE(plays.size(), 2u);
    auto sorted = [](std::vector<uint8_t> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    for (size_t k = 0; k <= plays.size(); ++k) {
        picGameBack_KeyPress(r.ctx, Qt::Key_H);
        EXPECT_EQ(sorted(Raised(r.ts, r.tv)), sorted(plays[k % plays.size()].Cards)) << k;
    }
    EXPECT_EQ(plays[0].Cards, std::vector<uint8_t>{Card(0, R10)}) << "the cheapest answer to a nine";
    // The turn set up again: the hint starts from the cheapest.
    UpdateTurn(r.ctx);
    picGameBack_KeyPress(r.ctx, Qt::Key_H);
    EXPECT_EQ(Raised(r.ts, r.tv), plays[0].Cards);
}

TEST(Buttons, FollowingLightsPlayAndPassInTurn)
{
    Round r;
    r.Seat(0);
    r.Deal({kTwo}, 3);
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {Card(2, RA)}));
    const QPoint play = r.OutButPoint(OUT_PLAY), pass = r.OutButPoint(OUT_PASS);
    picGameBack_MouseMove(r.ctx, Qt::NoButton, play.x(), play.y());
    EXPECT_EQ(r.tv.OutButState, (std::array<uint8_t, 3>{BUT_HOT, BUT_SHOWN, BUT_HIDDEN}));
    picGameBack_MouseMove(r.ctx, Qt::NoButton, pass.x(), pass.y());
    EXPECT_EQ(r.tv.OutButState, (std::array<uint8_t, 3>{BUT_SHOWN, BUT_HOT, BUT_HIDDEN}));
}

TEST(Buttons, OptionButtonsLightUpWithTheirTip)
{
    Leading r;
    const QPoint sort = r.OptButPoint(OPT_SORT), last = r.OptButPoint(OPT_LAST_TRICK);
    picGameBack_MouseMove(r.ctx, Qt::NoButton, sort.x(), sort.y());
    EXPECT_EQ(r.tv.OptButState, (std::array<uint8_t, 2>{BUT_HOT, BUT_SHOWN}));
    EXPECT_EQ(r.view.toolTip, r.tv.OptButText[0]);
    picGameBack_MouseMove(r.ctx, Qt::NoButton, last.x(), last.y());
    EXPECT_EQ(r.tv.OptButState, (std::array<uint8_t, 2>{BUT_SHOWN, BUT_HOT}));
    EXPECT_EQ(r.view.toolTip, QStringLiteral("上一轮"));
    picGameBack_MouseMove(r.ctx, Qt::NoButton, 5, 5);
    EXPECT_EQ(r.tv.OptButState, (std::array<uint8_t, 2>{BUT_SHOWN, BUT_SHOWN}));
    EXPECT_TRUE(r.view.toolTip.isEmpty());
}

TEST(Buttons, SortingTwiceReturnsTheHandAndKeepsTheRaisedCards)
{
    Round r;
    r.Seat(0);
    r.feed(BuildGameStart(5, 1, 0, 30, 0));
    CardList mine{Card(0, R6), Card(1, R6), Card(2, R6), Card(3, RA), Card(0, R9), Card(1, R9), Card(2, R4)};
    CardList partner{Card(0, RJ), Card(1, RJ), Card(3, RK)};
    mine = Round::FullHand(mine);
    for (uint8_t c = 40; partner.size() < 13; ++c) partner.push_back(c);
    r.feed(BuildDeal(true, mine, partner));
    const ByteArr first = r.ts.MyPai, firstPartner = r.ts.PartnerPai;
    r.Raise({Card(3, RA), Card(1, R9)});
    r.Click(r.OptButPoint(OPT_SORT));
    EXPECT_FALSE(r.ts.PaiSortMode);
    EXPECT_NE(r.ts.MyPai, first);
    EXPECT_NE(r.ts.PartnerPai, firstPartner);
    auto raised = Raised(r.ts, r.tv);
    std::sort(raised.begin(), raised.end());
    EXPECT_EQ(raised, (std::vector<uint8_t>{Card(1, R9), Card(3, RA)}));
    r.Click(r.OptButPoint(OPT_SORT));
    EXPECT_TRUE(r.ts.PaiSortMode);
    // The same arrangement again: rank by rank (cards of one rank may trade places).
    EXPECT_EQ(Ranks(r.ts.MyPai), Ranks(first));
    EXPECT_EQ(Ranks(r.ts.PartnerPai), Ranks(firstPartner));
    EXPECT_EQ(Raised(r.ts, r.tv).size(), 2u);
}

TEST(Buttons, ThePreviousTrickStaysTwoTicks)
{
    Leading r;
    r.ts.Chairs[1].LastOutPai = ByteArr{Card(0, R3)};
    r.Click(r.OptButPoint(OPT_LAST_TRICK));
    EXPECT_EQ(r.rs.LastOutPaiTag, 2);
    EXPECT_TRUE(r.view.lastOutPaiTimer);
    tmrPaintLastOutPai_Timer(r.ctx);
    EXPECT_TRUE(r.view.lastOutPaiTimer);
    tmrPaintLastOutPai_Timer(r.ctx);
    EXPECT_FALSE(r.view.lastOutPaiTimer);
    EXPECT_EQ(r.tv.OutButState[0], BUT_SHOWN);
}

TEST(StartButton, ReadyJoinOrNothingByTheTableAndTheRole)
{
    const struct {
        uint8_t joined;
        bool spectator;
        QList<QByteArray> sent;
    } cases[] = {
        {1, false, {BuildReady(2)}},
        {1, true, {}},
        {0, false, {BuildHandUpReq(QStringLiteral("player0"))}},
    };
    for (const auto& tc : cases) {
        Round r;
        r.Seat(2, tc.spectator);
        r.ps.TableJoined = tc.joined;
        r.ts.Chairs[1].HandRaised = true;
        r.ps.StartButShown = true;
        r.view.startVisible = true;
        r.view.startTimer = true;
        cmdStart_Click(r.ctx);
        EXPECT_EQ(r.sent, tc.sent);
        EXPECT_FALSE(r.ps.StartButShown);
        EXPECT_FALSE(r.view.startVisible);
        EXPECT_FALSE(r.view.startTimer);
        // Getting ready keeps the others' raised hands.
        EXPECT_TRUE(r.ts.Chairs[1].HandRaised);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
