// The room through the real link: the whole client with its main window against the scripted
// peer. A table fills up, chat goes both ways, a settings round is answered, names stay text, and
// the list's clicks reach the chat target and the player card.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QPushButton>
#include <QTableWidget>

#include "launch/frmgameset.h"
#include "launch/usercard.h"
#include "msgbox/frmmsg.h"
#include "platform/widgets/tavchat.h"
#include "platform/widgets/tavlist.h"
#include "support/clientfixture.h"
#include "support/guimain.h"
#include "tableview/gamepaint.h"

namespace {

using testsupport::LoopbackClient;

QString Row(const QString& name, int chair, const QString& watched = QString(), int icon = 1003)
{
    return JoinUserRow({name, "10001", "150", "150", watched, "20", "55", "5", "11", "8", "1", "0",
                        QString::number(icon), QString::number(chair), "0", "0"});
}

const QString kSettings = QStringLiteral("100`500`10`50`200`0");

// Runs the event loop a moment, then lets what was unloaded go (the test has no running loop of
// its own to do that).
void Settle(LoopbackClient& lc)
{
    lc.settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// White pixels (the seat names' colour) in a rectangle of the table's picture.
int WhitePixels(const QImage& img, int x, int y, int w, int h)
{
    int n = 0;
    for (int j = std::max(0, y); j < std::min(img.height(), y + h); ++j)
        for (int i = std::max(0, x); i < std::min(img.width(), x + w); ++i)
            if (img.pixel(i, j) == qRgb(255, 255, 255)) ++n;
    return n;
}

int NamePixels(LoopbackClient& lc, int chair)
{
    const PaintState& p = lc.c.paint;
    const size_t v = lc.c.tv.ViewPosOfChair[size_t(chair)];
    return WhitePixels(lc.c.surf.image(), p.NameX[v], p.NameY[v], 60, 40);
}

// Four players and a spectator come in, one message at a time.
void FillTable(LoopbackClient& lc)
{
    lc.feed({BuildIdentity(QStringLiteral("玩家甲"), QStringLiteral("玩家甲")),
             BuildUserList({Row(QStringLiteral("玩家甲"), 0, QString(), 1001)})});
    lc.feed({BuildUserIn(Row(QStringLiteral("乙"), 1, QString(), 2002)),
             BuildUserIn(Row(QStringLiteral("丙"), 2, QString(), 3003)),
             BuildUserIn(Row(QStringLiteral("丁"), 3, QString(), 4004)),
             BuildPangGuanIn(Row(QStringLiteral("看客"), 0, QStringLiteral("玩家甲")))});
}

TEST(Room, TableFillsWithFourPlayersAndASpectator)
{
    LoopbackClient lc(QStringLiteral("玩家甲"), testsupport::BuiltProgramDir());
    ASSERT_TRUE(lc.connect());
    FillTable(lc);
    frmGameMain& w = *lc.w;
    const TableState& t = lc.c.tbl;
    EXPECT_EQ(t.Chairs[0].Name, QStringLiteral("玩家甲"));
    EXPECT_EQ(t.Chairs[1].Name, QStringLiteral("乙"));
    EXPECT_EQ(t.Chairs[2].Name, QStringLiteral("丙"));
    EXPECT_EQ(t.Chairs[3].Name, QStringLiteral("丁"));
    EXPECT_EQ(t.Chairs[3].IconNo, 4004);
    EXPECT_EQ(t.bteMyChair, 0);
    EXPECT_EQ(lc.c.tv.ViewPosOfChair, (std::array<uint8_t, 4>{2, 3, 0, 1}));
    EXPECT_EQ(w.lstUser->userNames(),
              (QStringList{"玩家甲", "乙", "丙", "丁", "看客"}));
    const QString chat = w.TavChat->plainText();
    for (const char* line : {"乙 进来了...", "丙 进来了...", "丁 进来了...", "看客 进来了，正在旁观 玩家甲 游戏..."})
        EXPECT_TRUE(chat.contains(QString::fromUtf8(line))) << line;
    for (const char* name : {"玩家甲", "乙", "丙", "丁", "看客"})
        EXPECT_TRUE(w.TavChat->targets().contains(QString::fromUtf8(name))) << name;
    // Every seat shows its name on the table.
    for (int c = 0; c < 4; ++c) EXPECT_GT(NamePixels(lc, c), 5) << "chair " << c;

    // A player leaves: the seat is erased; the spectator leaves: the list shrinks.
    lc.feed({BuildUserOut(QStringLiteral("丙")), BuildUserState(RM_PANGGUAN_OUT, QStringLiteral("看客"))});
    EXPECT_TRUE(t.Chairs[2].Name.isEmpty());
    EXPECT_EQ(NamePixels(lc, 2), 0);
    EXPECT_EQ(w.lstUser->userNames(), (QStringList{"玩家甲", "乙", "丁"}));
    EXPECT_FALSE(w.TavChat->targets().contains(QStringLiteral("看客")));
    EXPECT_TRUE(w.TavChat->plainText().contains(QStringLiteral("旁观用户 看客 走了...")));
}

TEST(Room, ListLoadRebuildsTheChairsThroughTheWindow)
{
    LoopbackClient lc(QStringLiteral("玩家甲"));
    ASSERT_TRUE(lc.connect());
    lc.feed({BuildIdentity(QStringLiteral("看客"), QStringLiteral("丁")),
             BuildUserList({Row(QStringLiteral("乙"), 1), Row(QStringLiteral("丁"), 7), Row(QStringLiteral("看客"), 0, QStringLiteral("丁"))})});
    EXPECT_EQ(lc.c.tbl.Chairs[3].Name, QStringLiteral("丁"));
    EXPECT_EQ(lc.c.tbl.bteMyChair, 3);
    EXPECT_TRUE(lc.c.tbl.blnPangGuan);
    EXPECT_EQ(lc.w->lstUser->myName(), QStringLiteral("看客"));
}

// During a game the seats' erases would leave holes in the hands and texts under them: the table
// ends up exactly as a full repaint draws it.
TEST(Room, SeatChangesDuringAGameLeaveTheTableWhole)
{
    LoopbackClient lc(QStringLiteral("玩家甲"), testsupport::BuiltProgramDir(), QSize(1280, 800));
    ASSERT_TRUE(lc.connect());
    FillTable(lc);
    TableState& t = lc.c.tbl;
    t.TableIdle = false;
    t.DeckCount = 2;
    for (int i = 0; i < 27; ++i) t.MyPai.append(uint8_t(i * 2 % 54));
    for (ChairInfo& ch : t.Chairs) ch.PaiCount = 27;
    picGameBack_Resize(lc.w->paintContext(), lc.c.surf.width(), lc.c.surf.height());
    lc.feed({BuildUserList({Row(QStringLiteral("玩家甲"), 0, QString(), 1001), Row(QStringLiteral("乙"), 1),
                            Row(QStringLiteral("丙"), 2), Row(QStringLiteral("丁"), 3)}),
             BuildUserState(RM_USER_DROPPED, QStringLiteral("丁")), BuildUserState(RM_USER_BACK, QStringLiteral("丁"))});
    const QImage after = lc.c.surf.image().copy();
    picGameBack_Paint(lc.w->paintContext());
    EXPECT_EQ(after, lc.c.surf.image());
}

TEST(Room, ChatSentAndReceived)
{
    LoopbackClient lc(QStringLiteral("玩家甲"));
    ASSERT_TRUE(lc.connect());
    FillTable(lc);
    TavChat* chat = lc.w->TavChat;
    chat->SetChatTarget(QStringLiteral("乙"));
    chat->input()->setText(QStringLiteral("你好"));
    chat->sendButton()->click();
    ASSERT_TRUE(lc.peer.waitForKind(MsgKind::ChatSend));
    const ParsedMsg sent = ParseMessage(lc.peer.receivedOf(MsgKind::ChatSend).first(), Sender::Client);
    ASSERT_TRUE(sent.fits);
    EXPECT_EQ(sent.fields.mid(0, 5), (QStringList{"玩家甲", "乙", "玩家甲", "乙", "你好"}));

    // The server relays it to the table, with two leading fields the pane does not show.
    lc.feed(BuildChat(sent.fields));
    EXPECT_TRUE(chat->plainText().contains(QStringLiteral("你好")));
    // Nine fields are not a chat message.
    const QString before = chat->plainText();
    lc.feed(BuildChat(QStringList{"a", "b", "c", "d", "不该出现", "", "", "", ""}));
    EXPECT_EQ(chat->plainText(), before);
}

TEST(Room, OwnerSetsTheTable)
{
    LoopbackClient lc(QStringLiteral("玩家甲"));
    ASSERT_TRUE(lc.connect());
    FillTable(lc);
    lc.feed(BuildGameSet(true, 1, false, kSettings));
    frmGameSet* d = lc.w->gameSet();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->blnDeskMaster());
    d->txtUser[0]->setText(QStringLiteral("200"));
    d->cmdUser[0]->click();
    ASSERT_TRUE(lc.peer.waitForKind(MsgKind::GameSetDone));
    EXPECT_EQ(lc.peer.receivedOf(MsgKind::GameSetDone).first(),
              BuildGameSetDone(QStringLiteral("玩家甲"), QStringLiteral("200`500`10`50`200`0")));
    Settle(lc);
    EXPECT_EQ(lc.w->gameSet(), nullptr);
    // The server echoes the owner's hand with the settings: no dialog for the owner.
    lc.feed(BuildHandUp(0, QStringLiteral("玩家甲"), QStringLiteral("200`500`10`50`200`0")));
    EXPECT_EQ(lc.w->gameSet(), nullptr);
    EXPECT_TRUE(lc.c.tbl.Chairs[0].HandRaised);
}

TEST(Room, PlayerWaitsThenAgreesOrLeaves)
{
    for (int button : {0, 1}) {
        LoopbackClient lc(QStringLiteral("玩家甲"));
        ASSERT_TRUE(lc.connect());
        FillTable(lc);
        lc.feed(BuildGameSet(false, 1, false, QString()));
        EXPECT_EQ(lc.c.msgPool.OpenCount(), 1);
        EXPECT_EQ(lc.w->gameSet(), nullptr);
        lc.feed(BuildHandUp(0, QStringLiteral("乙"), kSettings));
        EXPECT_EQ(lc.c.msgPool.OpenCount(), 0);  // the waiting box went away
        frmGameSet* d = lc.w->gameSet();
        ASSERT_NE(d, nullptr);
        EXPECT_FALSE(d->blnDeskMaster());
        EXPECT_TRUE(d->txtUser[0]->isReadOnly());
        d->cmdUser[size_t(button)]->click();
        const MsgKind kind = button == 0 ? MsgKind::HandUpReq : MsgKind::LeaveTable;
        ASSERT_TRUE(lc.peer.waitForKind(kind)) << button;
        const QByteArray expected =
            button == 0 ? BuildHandUpReq(QStringLiteral("玩家甲")) : BuildUserOut(QStringLiteral("玩家甲"));
        EXPECT_EQ(lc.peer.receivedOf(kind).first(), expected);
    }
}

TEST(Room, SettingsThatCannotBeShownLeaveTheTable)
{
    LoopbackClient lc(QStringLiteral("玩家甲"));
    ASSERT_TRUE(lc.connect());
    FillTable(lc);
    lc.feed(BuildGameSet(true, 1, true, QStringLiteral("100`500`10")));
    ASSERT_TRUE(lc.peer.waitForKind(MsgKind::LeaveTable));
    Settle(lc);
    EXPECT_EQ(lc.w->gameSet(), nullptr);
}

TEST(Room, NewRoundWhileTheOwnersWarningWaits)
{
    // The owner's input is refused and its box waits; meanwhile the server sends settings that
    // cannot be shown: the client leaves, and the dialog goes with its box, without harm.
    LoopbackClient lc(QStringLiteral("玩家甲"));
    ASSERT_TRUE(lc.connect());
    FillTable(lc);
    lc.feed(BuildGameSet(true, 1, false, kSettings));
    QPointer<frmGameSet> d = lc.w->gameSet();
    ASSERT_FALSE(d.isNull());
    d->txtUser[0]->setText(QStringLiteral("9"));
    bool boxSeen = false;
    QTimer::singleShot(100, [&] {
        boxSeen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
        lc.peer.send(BuildGameSet(true, 1, false, QStringLiteral("1`2")));
    });
    // Should the box outlive its dialog, it is closed here rather than hang the test.
    QTimer::singleShot(5000, [] {
        if (QWidget* m = QApplication::activeModalWidget()) m->close();
    });
    d->cmdUser[0]->click();
    EXPECT_TRUE(boxSeen);
    ASSERT_TRUE(lc.peer.waitForKind(MsgKind::LeaveTable));
    Settle(lc);
    EXPECT_TRUE(d.isNull());
    EXPECT_TRUE(lc.peer.receivedOf(MsgKind::GameSetDone).isEmpty());
}

TEST(Room, NamesAndTextsFromTheServerAreText)
{
    LoopbackClient lc(QStringLiteral("玩家甲"));
    ASSERT_TRUE(lc.connect());
    FillTable(lc);
    const QString name = QStringLiteral("<b>x</b>");
    lc.feed({BuildUserIn(Row(name, 5)), BuildNotice(QStringLiteral("<i>公告</i>"))});
    EXPECT_EQ(lc.c.tbl.Chairs[1].Name, name);  // chair 5 Mod 4 = 1: the later row wins the chair
    EXPECT_GT(NamePixels(lc, 1), 5);
    lc.feed(BuildUserState(RM_USER_MARK, name));
    TavChat* chat = lc.w->TavChat;
    EXPECT_TRUE(chat->plainText().contains(name + QStringLiteral(" 进来了...")));
    EXPECT_TRUE(chat->plainText().contains(QStringLiteral("<i>公告</i>")));
    EXPECT_FALSE(chat->paneHtml().contains(QStringLiteral("<b>x</b>")));
    QTableWidget* table = lc.w->lstUser->table();
    bool shown = false;
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->item(r, 0) && table->item(r, 0)->text() == name) shown = true;
    EXPECT_TRUE(shown);
    EXPECT_EQ(lc.w->lstUser->markedUser(), name);
}

TEST(Room, ListClicksPickTheTargetOrOpenTheCard)
{
    LoopbackClient lc(QStringLiteral("玩家甲"));
    ASSERT_TRUE(lc.connect());
    FillTable(lc);
    frmGameMain& w = *lc.w;
    TavList* list = w.lstUser;
    emit list->UserClicked(false, 0, QStringLiteral("丁"), list->FindUser(QStringLiteral("丁")));
    EXPECT_EQ(w.TavChat->chatTarget(), QStringLiteral("丁"));

    emit list->UserClicked(true, 0, QStringLiteral("乙"), list->FindUser(QStringLiteral("乙")));
    frmUserMenu* card = w.userMenu();
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->itemCount(), UC_Count);
    EXPECT_EQ(card->itemCaption(UC_Name), QStringLiteral("乙   身份：蓝钻会员"));
    card->mnuUser()->close();
    card->mnuUserItem(UC_Rates)->trigger();  // does nothing but unload the card
    Settle(lc);
    EXPECT_EQ(w.userMenu(), nullptr);
    EXPECT_EQ(w.TavChat->chatTarget(), QStringLiteral("丁"));

    emit list->UserClicked(true, 0, QStringLiteral("乙"), list->FindUser(QStringLiteral("乙")));
    ASSERT_NE(w.userMenu(), nullptr);
    w.userMenu()->mnuUser()->close();
    w.userMenu()->mnuUserItem(UC_Talk)->trigger();
    EXPECT_EQ(w.TavChat->chatTarget(), QStringLiteral("乙"));

    // The reset takes the target back to everybody and empties list and chat.
    lc.feed(BuildReset());
    EXPECT_EQ(w.TavChat->chatTarget(), QStringLiteral("所有人"));
    EXPECT_EQ(list->userCount(), 0);
    EXPECT_EQ(w.TavChat->lineCount(), 0);
    EXPECT_TRUE(lc.c.tbl.Chairs[0].Name.isEmpty());
}

TEST(Room, ServerShowsAndHidesTheWindow)
{
    LoopbackClient lc(QStringLiteral("玩家甲"));
    ASSERT_TRUE(lc.connect());
    lc.feed(BuildShowWindow(true));
    EXPECT_FALSE(lc.w->isVisible());
    EXPECT_EQ(lc.unloaded, 0);
    lc.feed(BuildShowWindow(false));
    EXPECT_TRUE(lc.w->isVisible());
}

// Not a check: with KVRN_ROOM_SHOT set to a file name, the filled table is saved there.
TEST(Room, Picture)
{
    const QString shot = qEnvironmentVariable("KVRN_ROOM_SHOT");
    if (shot.isEmpty()) GTEST_SKIP() << "KVRN_ROOM_SHOT not set";
    LoopbackClient lc(QStringLiteral("玩家甲"), testsupport::BuiltProgramDir(), QSize(1280, 800));
    ASSERT_TRUE(lc.connect());
    FillTable(lc);
    lc.feed({BuildHandUp(1, QStringLiteral("乙")), BuildHandUp(1, QStringLiteral("丁")),
             BuildUserState(RM_USER_DROPPED, QStringLiteral("丙")),
             BuildNotice(QStringLiteral("欢迎来到本桌，祝大家玩得开心！"))});
    QStringList f{"乙", "所有人", "乙", "所有人", "大家好，准备开始吧", "#0000ff", "0", "0", "20:15:03", ""};
    lc.feed(BuildChat(f), 300);
    EXPECT_TRUE(lc.w->grab().save(shot));
}

}  // namespace

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
