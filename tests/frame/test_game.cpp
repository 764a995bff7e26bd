// A whole game through the scripted room server: the start with its join and deal requests, the
// deal, own plays by mouse (one refused and restored, one illegal and never sent, a 两套火 after a
// 双顺 with its blast), a pass, won tricks with their points, a player going out, and the end with
// the revealed hands. Also: a spectator's table, and the link lost during a blast and during a
// trick's pause.
//
// The client's pauses and its turn clock run on a clock the tests drive; boxes and the link run on
// real time.
//
// With KVRN_SHOTS_DIR set, pictures of the table are saved there (own turn with raised cards and
// the clock, and the end of the game).
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "launch/seats.h"
#include "platform/core/clock.h"
#include "platform/widgets/tavchat.h"
#include "platform/widgets/tavtimebar.h"
#include "round/roundflow.h"
#include "support/clientfixture.h"
#include "support/guimain.h"
#include "tableview/tablewidget.h"

using testsupport::LoopbackClient;

namespace {

constexpr uint8_t Card(int suit, int rank) { return uint8_t(suit * 13 + rank); }
enum : uint8_t { R3 = 0, R4, R5, R6, R7, R8, R9, R10, RJ, RQ, RK, RA, R2 };

const QStringList kNames{QStringLiteral("玩家甲"), QStringLiteral("玩家乙"), QStringLiteral("玩家丙"),
                         QStringLiteral("玩家丁")};

// Seats the four players, this client's user on `mine`, viewing `viewed`, and draws the table.
void SeatTable(LoopbackClient& lc, int viewed)
{
    TableState& ts = lc.c.tbl;
    for (int c = 0; c < 4; ++c) {
        ts.Chairs[size_t(c)].Name = kNames[c];
        ts.Chairs[size_t(c)].IconNo = c;
    }
    ts.strViewOwner = kNames[viewed];
    ComputeViewPositions(ts, lc.c.tv, lc.c.pub);
    picGameBack_Paint(lc.w->paintContext());
}

int IndexOf(const TableState& ts, uint8_t card)
{
    for (int i = 1; i <= ts.MyPai.upperBound(); ++i)
        if (ts.MyPai[i] == card) return i;
    return -1;
}

struct Game {
    ManualClock clock;
    LoopbackClient lc{kNames[0], testsupport::BuiltProgramDir()};
    int boxes = 0;
    int warnings = 0;
    QString lastBox;

    Game()
    {
        // Answer every box as a player would, once it is up.
        QObject::connect(&lc.c.msgPool, &MsgPool::MsgShown, [this](int) {
            ++boxes;
            QTimer::singleShot(20, [this] {
                lc.c.msgPool.CloseMsgByOwner(0);
                lc.c.msgPool.CloseMsgByOwner(kMoveMsgOwner);
            });
        });
    }
    TableState& ts() { return lc.c.tbl; }
    TableViewState& tv() { return lc.c.tv; }
    PaintCtx& pc() { return lc.w->paintContext(); }
    GameTableWidget* table() { return lc.w->picGameBack; }

    // Feeds messages and waits until the client has handled them (pauses and blasts included).
    void feed(const QList<QByteArray>& msgs, int settleMs = 80) { lc.feed(msgs, settleMs); }
    bool waitSent(int count) { return lc.peer.waitForMessages(count); }
    QByteArray lastSent() const { return lc.peer.received.isEmpty() ? QByteArray() : lc.peer.received.last(); }

    QPoint cardPoint(uint8_t card)
    {
        const int i = IndexOf(ts(), card);
        const int n = ts().MyPai.upperBound();
        const PaintState& p = pc().p;
        const int left = p.PaiX[2] - ((n - 1) * p.PkSpace + p.PkWidth) / 2;
        return {left + (i - 1) * p.PkSpace + p.PkSpace / 2, p.PaiY[2] + p.PkHeight / 2};
    }
    QPoint outButPoint(int i)
    {
        int x = 0, y = 0;
        OutButRect(pc(), i, x, y);
        return {x + 30, y + 14};
    }
    void clickCard(uint8_t card) { QTest::mouseClick(table(), Qt::LeftButton, {}, cardPoint(card)); }
    void hoverAndClick(QPoint pt, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseMove(table(), pt);
        lc.settle(30);  // a window system delivers the move in its own time
        QTest::mouseClick(table(), b, {}, pt);
    }
    void shot(const QString& name)
    {
        const QString dir = qEnvironmentVariable("KVRN_SHOTS_DIR");
        if (!dir.isEmpty()) lc.w->grab().save(dir + QLatin1Char('/') + name);
    }
};

// The own hand of the scripted game, and what the others play.
const CardList kMine{Card(0, R3), Card(0, R4), Card(1, R4), Card(0, R8), Card(1, R8), Card(2, R8), Card(0, RJ),
                     Card(1, RJ), Card(2, RJ), Card(3, RA), Card(1, R2), Card(3, R9), Card(3, R10)};
const CardList kShuangShun{Card(2, R3), Card(3, R3), Card(2, R4), Card(3, R4), Card(2, R5), Card(3, R5)};

TEST(Game, AWholeScriptedGame)
{
    Game g;
    ASSERT_TRUE(g.lc.connect());
    SeatTable(g.lc, 0);
    ASSERT_EQ(g.ts().bteMyChair, 0);
    int sent = g.lc.peer.received.size();

    // Start: the join (the table was not joined yet) and the deal request.
    g.feed({BuildGameStart(5, 1, 0, 30, 0)});
    ASSERT_TRUE(g.waitSent(sent + 2));
    EXPECT_EQ(g.lc.peer.received.mid(sent), (QList<QByteArray>{BuildJoinGame(), BuildDealRequest(0)}));
    sent += 2;
    EXPECT_EQ(g.lc.c.pub.TableJoined, 1);

    // The deal: the hand arranged, everybody 13 cards, this client leads with the clock running.
    g.feed({BuildDeal(false, kMine, {})});
    EXPECT_EQ(g.ts().MyPai.upperBound(), 13);
    EXPECT_EQ(g.ts().GamePhase, GamePhase::Lead);
    EXPECT_EQ(g.tv().OutButState[0], BUT_SHOWN);
    EXPECT_TRUE(g.lc.w->YuClock->isRunning());
    EXPECT_EQ(g.lc.c.paint.TimedChair, 0);

    // An illegal lead: the rule's warning, nothing sent, the cards stay raised.
    g.clickCard(Card(0, R3));
    g.clickCard(Card(3, RA));
    QTimer::singleShot(100, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            g.lastBox = box->text();
            ++g.warnings;
            box->accept();
        }
    });
    g.hoverAndClick(g.outButPoint(OUT_PLAY));
    EXPECT_EQ(g.warnings, 1);
    EXPECT_EQ(g.lastBox, QStringLiteral("错误提示：牌型不对！"));
    g.lc.settle(50);
    EXPECT_EQ(g.lc.peer.received.size(), sent);

    // Lower them by a click beside the cards; lead the ace: refused by the server and restored.
    QTest::mouseClick(g.table(), Qt::LeftButton, {}, QPoint(g.pc().p.W / 2, 80));
    g.clickCard(Card(3, RA));
    g.hoverAndClick(g.outButPoint(OUT_PLAY));
    ASSERT_TRUE(g.waitSent(sent + 1));
    EXPECT_EQ(g.lastSent(), BuildPlay(0, {Card(3, RA)}));
    ++sent;
    EXPECT_EQ(g.ts().MyPai.upperBound(), 12);
    g.feed({BuildOutPaiRefused(QStringLiteral("现在不能出这张"))}, 200);
    EXPECT_EQ(g.boxes, 1);
    EXPECT_EQ(g.ts().MyPai.upperBound(), 13);
    EXPECT_TRUE(g.ts().Chairs[0].OutPai.empty());
    EXPECT_EQ(g.tv().OutButState[0], BUT_SHOWN);

    // Lead the ten by the right click; the server confirms; chair 1 takes it with a two, the
    // others pass, this client passes by the button: the trick's 10 points go to chair 1's side.
    g.clickCard(Card(3, R10));
    QTest::mouseClick(g.table(), Qt::RightButton, {}, QPoint(g.pc().p.W / 2, 80));
    ASSERT_TRUE(g.waitSent(sent + 1));
    EXPECT_EQ(g.lastSent(), BuildPlay(0, {Card(3, R10)}));
    ++sent;
    g.feed({BuildOutPaiNotice(1, 2, 0, 0, {Card(3, R10)}), BuildOutPaiNotice(2, 2, 0, 1, {Card(0, R2)}),
            BuildOutPaiNotice(3, 2, 0, 2, {kPassCode}), BuildOutPaiNotice(0, 2, 0, 3, {kPassCode})});
    EXPECT_EQ(g.ts().MyPai.upperBound(), 12);
    EXPECT_EQ(g.ts().TrickFen, 10);
    EXPECT_EQ(g.tv().OutButState[1], BUT_SHOWN);
    g.hoverAndClick(g.outButPoint(OUT_PASS));
    ASSERT_TRUE(g.waitSent(sent + 1));
    EXPECT_EQ(g.lastSent(), QByteArray("\x14\x00\x00\x00\x00\x00\x01\xfe", 8));
    ++sent;
    g.feed({BuildOutPaiNotice(1, 1, 0, 0, {kPassCode})});
    EXPECT_EQ(g.ts().TeamScore, (std::array<int32_t, 2>{0, 10}));
    EXPECT_EQ(g.ts().Chairs[1].LastOutPai, ByteArr{Card(0, R2)});

    // Chair 1 leads a 双顺; this client answers with a 两套火 (the eights and the jacks), which
    // goes out highest first and blasts when confirmed; everybody passes: 10 points to this side.
    g.feed({BuildOutPaiNotice(2, 2, 0, 1, kShuangShun), BuildOutPaiNotice(3, 2, 0, 2, {kPassCode}),
            BuildOutPaiNotice(0, 2, 0, 3, {kPassCode})});
    EXPECT_TRUE(g.ts().ShuangShunPlayed);
    for (const uint8_t c : {Card(0, R8), Card(1, R8), Card(2, R8), Card(0, RJ), Card(1, RJ), Card(2, RJ)}) g.clickCard(c);
    g.shot(QStringLiteral("game-own-turn.png"));
    g.hoverAndClick(g.outButPoint(OUT_PLAY));
    ASSERT_TRUE(g.waitSent(sent + 1));
    const QByteArray play = g.lastSent();
    ++sent;
    ASSERT_EQ(play.size(), 13);
    for (int i = 7; i < 10; ++i) EXPECT_EQ(uint8_t(play[i]) % 13, RJ) << i;
    for (int i = 10; i < 13; ++i) EXPECT_EQ(uint8_t(play[i]) % 13, R8) << i;
    bool blasted = false;
    g.clock.after(60, [&] { blasted = g.tv().BlastRunning; });
    g.feed({BuildOutPaiNotice(1, 2, 0, 0, CardList(play.begin() + 7, play.end()))});
    EXPECT_TRUE(blasted);
    EXPECT_FALSE(g.tv().BlastRunning);
    EXPECT_EQ(g.ts().MaxOutPai[1], 4);
    EXPECT_EQ(g.ts().MyPai.upperBound(), 6);
    g.feed({BuildOutPaiNotice(2, 2, 0, 1, {kPassCode}), BuildOutPaiNotice(3, 2, 0, 2, {kPassCode}),
            BuildOutPaiNotice(0, 1, 0, 3, {kPassCode})});
    EXPECT_EQ(g.ts().TeamScore, (std::array<int32_t, 2>{10, 10}));
    EXPECT_FALSE(g.ts().ShuangShunPlayed);

    // This client leads its three; chair 1 bombs it with four queens and, the others passing,
    // leads its last two cards and goes out first.
    g.lc.peer.received.clear();
    sent = 0;
    g.clickCard(Card(0, R3));
    QTest::mouseClick(g.table(), Qt::RightButton, {}, QPoint(g.pc().p.W / 2, 80));
    ASSERT_TRUE(g.waitSent(1));
    sent = 1;
    g.feed({BuildOutPaiNotice(1, 2, 0, 0, {Card(0, R3)}),
            BuildOutPaiNotice(2, 2, 0, 1, {Card(0, RQ), Card(1, RQ), Card(2, RQ), Card(3, RQ)}),
            BuildOutPaiNotice(3, 2, 0, 2, {kPassCode}), BuildOutPaiNotice(0, 2, 0, 3, {kPassCode})});
    EXPECT_EQ(g.ts().MaxOutPai[1], 5);
    g.hoverAndClick(g.outButPoint(OUT_PASS));
    ASSERT_TRUE(g.waitSent(++sent));
    g.feed({BuildOutPaiNotice(1, 1, 0, 0, {kPassCode})});
    g.feed({BuildOutPaiNotice(2, 2, 1, 1, {Card(1, R10), Card(0, R10)})});
    EXPECT_EQ(g.ts().Chairs[1].MingCi, 1);
    EXPECT_EQ(g.ts().Chairs[1].PaiCount, 0);
    EXPECT_EQ(g.ts().TrickFen, 20);

    // The end: score lines in the chat, the others' hands revealed, the start button offered.
    g.feed({BuildGameOver(true, {-60, 60, -60, 60}, {10, 130},
                          {CardList{}, CardList{}, CardList{Card(0, R6), Card(1, R7)}, CardList{Card(2, RK)}})});
    EXPECT_EQ(g.ts().Chairs[2].LeftPai, (ByteArr{Card(0, R6), Card(1, R7)}));
    EXPECT_TRUE(g.ts().Chairs[0].LeftPai.empty());
    EXPECT_EQ(g.ts().ShowLeftPai, 1);
    EXPECT_TRUE(g.lc.w->TavChat->plainText().contains(QStringLiteral("玩家乙：60")));
    EXPECT_FALSE(g.lc.w->YuClock->isRunning());
    EXPECT_TRUE(g.lc.w->cmdStart->isVisible());
    EXPECT_TRUE(g.lc.w->tmrStart->isActive());
    g.shot(QStringLiteral("game-over.png"));

    // Ready for the next one.
    QTest::mouseClick(g.lc.w->cmdStart, Qt::LeftButton);
    ASSERT_TRUE(g.waitSent(sent + 1));
    EXPECT_EQ(g.lastSent(), BuildReady(0));
    EXPECT_FALSE(g.lc.w->cmdStart->isVisible());
    EXPECT_EQ(g.lc.unloaded, 0);
}

// The keys act on the own turn as the mouse does, but not while the chat input has the focus.
TEST(Game, KeysPlayPassLowerAndHint)
{
    Game g;
    ASSERT_TRUE(g.lc.connect());
    SeatTable(g.lc, 0);
    g.feed({BuildGameStart(5, 1, 0, 30, 0), BuildDeal(false, kMine, {})});
    ASSERT_EQ(g.ts().GamePhase, GamePhase::Lead);
    auto raised = [&] {
        CardList r;
        for (int i = 1; i <= g.ts().MyPai.upperBound(); ++i)
            if (g.tv().PaiSelected.at(i) != 0) r.push_back(g.ts().MyPai[i]);
        return r;
    };
    // Typing in the chat: the letter is the chat's.
    QLineEdit* chat = g.lc.w->TavChat->input();
    chat->setFocus();
    g.lc.w->activateWindow();
    QTest::keyClick(chat, Qt::Key_H);
    EXPECT_TRUE(raised().empty());
    EXPECT_EQ(chat->text(), QStringLiteral("h"));
    // Elsewhere: H raises the smallest lead, Escape lowers it, H twice the next one.
    g.table()->setFocus();
    QTest::keyClick(g.table(), Qt::Key_H);
    EXPECT_EQ(raised(), CardList{Card(0, R3)});
    g.shot(QStringLiteral("hint.png"));
    QTest::keyClick(g.table(), Qt::Key_Escape);
    EXPECT_TRUE(raised().empty());
    QTest::keyClick(g.table(), Qt::Key_H);
    QTest::keyClick(g.table(), Qt::Key_H);
    const CardList second = raised();
    EXPECT_FALSE(second.empty());
    EXPECT_NE(second, CardList{Card(0, R3)});
    // Space does not pass a lead; Enter plays what is raised.
    const int sent = g.lc.peer.received.size();
    QTest::keyClick(g.table(), Qt::Key_Space);
    g.lc.settle(30);
    EXPECT_EQ(g.lc.peer.received.size(), sent);
    QTest::keyClick(g.table(), Qt::Key_Return);
    ASSERT_TRUE(g.waitSent(sent + 1));
    EXPECT_EQ(g.lastSent(), BuildPlay(0, second));
    // Not this client's turn any more: the keys do nothing.
    g.feed({BuildOutPaiNotice(1, 2, 0, 0, second)});
    QTest::keyClick(g.table(), Qt::Key_H);
    EXPECT_TRUE(raised().empty());
}

// A box about the own move closes by itself once that move is gone: the rules' refusal when the
// own clock runs out under it (the client passes), the server's refusal when the server passes
// for the player meanwhile. A box still up at the hang bound is closed and counted.
TEST(Game, RefusalBoxesCloseWhenTheirMoveIsGone)
{
    for (const bool serverRefusal : {false, true}) {
        const char* what = serverRefusal ? "the server's refusal" : "the rules' refusal";
        Game g;
        ASSERT_TRUE(g.lc.connect());
        SeatTable(g.lc, 0);
        // This client follows chair 3's ace.
        g.feed({BuildGameStart(5, 1, 0, 30, 3), BuildDeal(false, kMine, {}), BuildOutPaiNotice(0, 2, 0, 3, {Card(2, RA)})});
        ASSERT_EQ(g.ts().TurnChair, 0);
        int leftUp = 0;
        QTimer rescue;
        rescue.setSingleShot(true);
        QObject::connect(&rescue, &QTimer::timeout, [&] {
            if (QWidget* m = QApplication::activeModalWidget()) {
                ++leftUp;
                m->close();
            }
            g.lc.c.msgPool.CloseMsgByOwner(kMoveMsgOwner);
        });
        const int sent = g.lc.peer.received.size();
        if (!serverRefusal) {
            // A pair cannot follow a single: the rules' box, and under it the turn's time runs out.
            g.clickCard(Card(0, R8));
            g.clickCard(Card(1, R8));
            QTimer::singleShot(50, [&] { g.clock.advance(31000); });
            rescue.start(testsupport::kHangMs);
            g.hoverAndClick(g.outButPoint(OUT_PLAY));
            ASSERT_TRUE(g.waitSent(sent + 1)) << what;
            EXPECT_EQ(g.lastSent(), BuildPass(0)) << what;
        } else {
            // The server refuses the two; under its box the server passes for the player.
            QObject::disconnect(&g.lc.c.msgPool, &MsgPool::MsgShown, nullptr, nullptr);
            QObject::connect(&g.lc.c.msgPool, &MsgPool::MsgShown, [&](int) {
                QTimer::singleShot(20, [&] { g.lc.peer.send({BuildOutPaiNotice(1, 2, 0, 0, {kPassCode})}); });
            });
            g.clickCard(Card(1, R2));
            g.hoverAndClick(g.outButPoint(OUT_PLAY));
            ASSERT_TRUE(g.waitSent(sent + 1)) << what;
            rescue.start(testsupport::kHangMs);
            g.feed({BuildOutPaiRefused(QStringLiteral("现在不能出这张"))}, 200);
            EXPECT_TRUE(g.lc.peer.waitFor([&] { return g.ts().TurnChair == 1; })) << what;
        }
        g.lc.settle(50);
        EXPECT_EQ(leftUp, 0) << what;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << what;
        EXPECT_EQ(g.lc.c.msgPool.OpenCount(), 0) << what;
    }
}

// The list that follows a game's end redraws the seats, and the end panel stays on the table.
TEST(Game, TheEndPanelOutlivesTheListAfterTheGame)
{
    Game g;
    ASSERT_TRUE(g.lc.connect());
    SeatTable(g.lc, 0);
    g.feed({BuildGameStart(5, 1, 0, 30, 0), BuildDeal(false, kMine, {})});
    g.feed({BuildGameOver(true, {-10, 10, -10, 10}, {0, 65}, {CardList{}, CardList{Card(2, RK)}, CardList{}, CardList{}})});
    ASSERT_TRUE(g.lc.c.round.GameOverShown);
    const QImage withPanel = g.lc.c.surf.image().copy();
    QStringList rows;
    for (int c = 0; c < 4; ++c)
        rows << JoinUserRow({kNames[c], "10001", "10", "10", QString(), "1", "100", "0", "1", "0", "0", "0", QString::number(c),
                             QString::number(c), "0", "0"});
    g.feed({BuildUserList(rows)}, 150);
    EXPECT_EQ(g.lc.c.surf.image(), withPanel);
}

TEST(Game, ASpectatorSeesThePlayButNeverActs)
{
    ManualClock clock;
    LoopbackClient lc(QStringLiteral("看客"));
    ASSERT_TRUE(lc.connect());
    SeatTable(lc, 2);
    ASSERT_TRUE(lc.c.tbl.blnPangGuan);
    lc.w->YuClock->setTickInterval(20);
    const int sent = lc.peer.received.size();
    lc.feed({BuildGameStart(5, 1, 0, 1, 2), BuildDeal(false, kMine, {})});
    EXPECT_EQ(lc.c.tbl.MyPai.upperBound(), 13);
    clock.advance(300);  // the watched player's turn times out on the spectator's clock
    EXPECT_EQ(lc.peer.received.mid(sent), QList<QByteArray>{BuildJoinGame()});
    EXPECT_EQ(lc.c.tbl.AutoOutCount, 0);
    const qint64 overAt = clock.now();
    lc.feed({BuildGameOver(true, {5, -5, 5, -5}, {0, 0}, {})});
    EXPECT_EQ(clock.now() - overAt, kSpectatorEndPauseMs);
    EXPECT_FALSE(lc.w->cmdStart->isVisible());
    EXPECT_TRUE(lc.c.tbl.TableIdle);
}

TEST(Game, LinkLostDuringABlastOrATrickPauseUnloadsOnce)
{
    for (const bool blast : {true, false}) {
        ManualClock clock;
        LoopbackClient lc(kNames[0], testsupport::BuiltProgramDir());  // with the blast's frames
        ASSERT_TRUE(lc.connect());
        SeatTable(lc, 0);
        lc.feed({BuildGameStart(5, 1, 0, 30, 1), BuildDeal(false, kMine, {})});
        if (!blast)
            lc.feed({BuildOutPaiNotice(2, 2, 0, 1, {Card(0, R2)}), BuildOutPaiNotice(3, 2, 0, 2, {kPassCode}),
                     BuildOutPaiNotice(0, 2, 0, 3, {kPassCode})});
        const QByteArray last = blast ? BuildOutPaiNotice(2, 2, 0, 1, {Card(1, R6), Card(2, R6), Card(3, R6)})
                                      : BuildOutPaiNotice(1, 1, 0, 0, {kPassCode});
        const int sent = lc.peer.received.size();
        const qint64 sentAt = clock.now();
        qint64 unloadedAt = -1;
        QObject::connect(lc.w, &frmGameMain::Unloaded, [&] { unloadedAt = clock.now(); });
        lc.peer.send(last);
        clock.after(blast ? 80 : 400, [&] { lc.peer.closeClient(); });
        ASSERT_TRUE(lc.peer.waitFor([&] { return lc.unloaded > 0; })) << blast;
        lc.settle();
        // The window went while the blast (nine frames of 30 ms) or the pause still ran.
        EXPECT_LT(unloadedAt - sentAt, blast ? 9 * 30 : kTrickPauseMs) << blast;
        EXPECT_EQ(lc.unloaded, 1) << blast;
        EXPECT_TRUE(lc.w->isUnloaded());
        EXPECT_EQ(lc.peer.received.size(), sent) << blast;
        EXPECT_FALSE(lc.w->YuClock->isRunning()) << blast;
        EXPECT_FALSE(lc.c.tv.BlastRunning) << blast;
        EXPECT_EQ(lc.c.tbl.GamePhase, GamePhase::None) << blast;
        for (const ChairInfo& ch : lc.c.tbl.Chairs) EXPECT_TRUE(ch.OutPai.empty() && ch.LastOutPai.empty()) << blast;
    }
}

}  // namespace

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
