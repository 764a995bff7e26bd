// The room messages, each through the shape table into its handler, against a recording view.
#include <gtest/gtest.h>

#include "roomfake.h"

#include "launch/client.h"
#include "launch/roomlink.h"

namespace {

using roomtest::FakeView;
using roomtest::Room;
using roomtest::Row;

QByteArray Bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v) b.append(char(x));
    return b;
}

QByteArray Text(int code, int sub, const QString& body) { return TextMessage(Bytes({code, sub}), body); }

QString GameSetText(int n, const QString& owner = "0", const QString& round = "1", const QString& decided = "1")
{
    QStringList f{"0", "0", "0", owner, "0", round, decided, "100", "500", "10", "50", "200", "0"};
    return QStringList(f.mid(0, n)).join(u'`');
}

// ---- The right shape, and rows or names a handler turns down --------------------------------
// (Shapes one byte or field off are the protocol's tests.)

struct ShapeCase {
    const char* name;
    QByteArray msg;
    bool acts;
};

class RoomShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(RoomShape, OnlyTheRightShapeActs)
{
    Room r;
    const auto chairs = r.chairNames();
    const QString viewOwner = r.tbl.strViewOwner;
    r.feed(GetParam().msg);
    if (GetParam().acts) {
        EXPECT_FALSE(r.view.log.isEmpty() && r.sent.isEmpty());
    } else {
        EXPECT_EQ(r.view.log, QStringList());
        EXPECT_TRUE(r.sent.isEmpty());
        EXPECT_EQ(r.chairNames(), chairs);
        EXPECT_EQ(r.tbl.strViewOwner, viewOwner);
        EXPECT_EQ(r.pub.strMyName, QStringLiteral("甲"));
    }
}

const QString kNewSpectator = Row(QStringLiteral("戊"), 0, QStringLiteral("乙"));
const QString kNewPlayer = Row(QStringLiteral("戊"), 2);

const ShapeCase kShapeCases[] = {
    {"pangguan_in_16", BuildPangGuanIn(kNewSpectator), true},
    {"pangguan_in_player_row", BuildPangGuanIn(kNewPlayer), false},
    {"pangguan_in_blank_watched", BuildPangGuanIn(Row(QStringLiteral("戊"), 2, QStringLiteral("  "))), false},
    {"pangguan_in_no_name", BuildPangGuanIn(Row(QString(), 2, QStringLiteral("乙"))), false},
    {"user_in_16", BuildUserIn(kNewPlayer), true},
    {"user_in_listed", BuildUserIn(Row(QStringLiteral("乙"), 2)), false},
    {"identity_2", BuildIdentity(QStringLiteral("丙"), QStringLiteral("甲")), true},
    {"show_window_3_bytes", Bytes({130, 5, 1}), true},
    {"user_back", BuildUserState(RM_USER_BACK, QStringLiteral("乙")), true},
    {"user_back_empty", Bytes({108, 0}), false},
    {"user_back_unseated", BuildUserState(RM_USER_BACK, QStringLiteral("丙")), false},
    {"user_dropped", BuildUserState(RM_USER_DROPPED, QStringLiteral("乙")), true},
    {"user_dropped_unknown", BuildUserState(RM_USER_DROPPED, QStringLiteral("无名")), false},
    {"pangguan_out", BuildUserState(RM_PANGGUAN_OUT, QStringLiteral("丙")), true},
    {"pangguan_out_unlisted", BuildUserState(RM_PANGGUAN_OUT, QStringLiteral("无名")), false},
    {"user_mark", BuildUserState(RM_USER_MARK, QStringLiteral("乙")), true},
    {"user_mark_empty", Bytes({108, 6}), false},
    {"user_out", BuildUserOut(QStringLiteral("乙")), true},
    {"user_out_unlisted", BuildUserOut(QStringLiteral("无名")), false},
    {"game_set_6", Text(111, 0, GameSetText(6)), true},
    {"hand_up_1", BuildHandUp(0, QStringLiteral("乙")), true},
    {"hand_up_unseated", BuildHandUp(0, QStringLiteral("丙")), false},
    {"hand_up_empty_name", Text(112, 0, QStringLiteral("`1`2")), false},
    {"notice_no_text", Bytes({105, 0, 0}), false},
    {"notice_text_from_byte_3", Bytes({105, 'x', 'y', 'h'}), true},
    {"notice_broken_text", Bytes({105, 0, 0, 'h', 0xB0}), false},
};

INSTANTIATE_TEST_SUITE_P(All, RoomShape, ::testing::ValuesIn(kShapeCases),
                         [](const auto& i) { return std::string(i.param.name); });

// ---- Users coming in ------------------------------------------------------------------------

TEST(UserIn, SpectatorRowThroughEitherMessage)
{
    struct Case {
        const char* name;
        QByteArray msg;
        QStringList log;
    };
    const QString row = Row(QStringLiteral("戊"), 1, QStringLiteral("乙"));
    const Case cases[] = {
        // 130/4 greets a spectator as any user and leaves the chairs alone...
        {"user_in", BuildUserIn(row),
         {"add:戊", "line:戊 进来了...", "targets:戊 ADD"}},
        // ...130/0 says whom he watches and rings.
        {"pangguan_in", BuildPangGuanIn(row),
         {"add:戊", "line:戊 进来了，正在旁观 乙 游戏...", "targets:戊 ADD", "sound:8"}},
    };
    for (const Case& c : cases) {
        Room r;
        const auto chairs = r.chairNames();
        r.feed(c.msg);
        EXPECT_EQ(r.view.log, c.log) << c.name;
        EXPECT_EQ(r.chairNames(), chairs) << c.name;
        EXPECT_EQ(r.view.users.value(QStringLiteral("戊")), row) << c.name;
        // The same row again: already listed, nothing happens.
        r.view.log.clear();
        r.feed(c.msg);
        EXPECT_TRUE(r.view.log.isEmpty()) << c.name;
    }
}

TEST(UserIn, PlayerIsSeatedOnTheChairOfTheRow)
{
    Room r;
    r.feed(BuildUserIn(Row(QStringLiteral("戊"), 6, QString(), 4001)));  // 6 Mod 4 = chair 2
    EXPECT_EQ(r.tbl.Chairs[2].Name, QStringLiteral("戊"));
    EXPECT_EQ(r.tbl.Chairs[2].IconNo, 4001);
    EXPECT_EQ(r.view.log, (QStringList{"add:戊", "line:戊 进来了...", "targets:戊 ADD", "figure:2"}));
}

TEST(UserIn, SecondRowForAListedNameChangesNothingEvenWithAnotherChair)
{
    Room r;
    r.feed(BuildUserIn(Row(QStringLiteral("乙"), 2)));
    EXPECT_EQ(r.tbl.Chairs[1].Name, QStringLiteral("乙"));
    EXPECT_TRUE(r.tbl.Chairs[2].Name.isEmpty());
    EXPECT_TRUE(r.view.log.isEmpty());
}

TEST(UserIn, NegativeChairNumberSeatsNobody)
{
    Room r;
    r.feed(BuildUserIn(Row(QStringLiteral("戊"), -2)));
    EXPECT_EQ(r.view.of("figure:"), QStringList());
    EXPECT_EQ(r.chairNames(), (std::array<QString, 4>{"甲", "乙", "", "丁"}));
    EXPECT_TRUE(r.view.users.contains(QStringLiteral("戊")));
}

// ---- Users leaving, dropping, coming back ----------------------------------------------------

TEST(UserOut, SeatedPlayerLeavesAnEmptyErasedChair)
{
    Room r;
    r.tbl.Chairs[1].HandRaised = true;
    r.tbl.Chairs[1].Dropped = true;
    r.feed(BuildUserOut(QStringLiteral("乙")));
    const ChairInfo& ch = r.tbl.Chairs[1];
    EXPECT_TRUE(ch.Name.isEmpty());
    EXPECT_EQ(ch.IconNo, 0);  // not -1: as the leaving message leaves it
    EXPECT_FALSE(ch.HandRaised);
    EXPECT_FALSE(ch.Dropped);
    EXPECT_EQ(r.view.log, (QStringList{"remove:乙", "line:乙 走了...", "targets:乙 DEL", "figure:1", "hand:1",
                                       "dropped:1"}));
    EXPECT_FALSE(r.view.users.contains(QStringLiteral("乙")));
}

TEST(UserOut, SpectatorLeavingByEitherMessage)
{
    struct Case {
        const char* name;
        QByteArray msg;
        QStringList log;
    };
    const Case cases[] = {
        {"user_out", BuildUserOut(QStringLiteral("丙")), {"remove:丙", "line:丙 走了...", "targets:丙 DEL"}},
        {"pangguan_out", BuildUserState(RM_PANGGUAN_OUT, QStringLiteral("丙")),
         {"remove:丙", "line:旁观用户 丙 走了...", "targets:丙 DEL", "sound:9"}},
    };
    for (const Case& c : cases) {
        Room r;
        const auto chairs = r.chairNames();
        r.feed(c.msg);
        EXPECT_EQ(r.view.log, c.log) << c.name;
        EXPECT_EQ(r.chairNames(), chairs) << c.name;
    }
}

TEST(UserState, DroppedAndBackMarkTheChair)
{
    Room r;
    r.feed(BuildUserState(RM_USER_DROPPED, QStringLiteral("丁")));
    EXPECT_TRUE(r.tbl.Chairs[3].Dropped);
    r.feed(BuildUserState(RM_USER_BACK, QStringLiteral("丁")));
    EXPECT_FALSE(r.tbl.Chairs[3].Dropped);
    EXPECT_EQ(r.view.log, (QStringList{"dropped:3", "line:不好，丁 掉线了...", "dropped:3", "line:哈哈，丁 终于上线了..."}));
    r.view.log.clear();
    r.feed(BuildUserState(RM_USER_MARK, QStringLiteral("丁")));
    EXPECT_EQ(r.view.log, QStringList{"mark:丁"});
}

// ---- The list, the identity, the reset ---------------------------------------------------------

TEST(UserList, RebuildsChairsTargetsAndTheViewFromTheIdentity)
{
    Room r(false);
    r.feed(BuildIdentity(QStringLiteral("丙"), QStringLiteral("丁")));  // 丙 watches 丁
    EXPECT_EQ(r.view.log, QStringList{"myname:丙"});
    EXPECT_EQ(r.pub.strMyName, QStringLiteral("丙"));
    EXPECT_EQ(r.tbl.strViewOwner, QStringLiteral("丁"));
    r.view.log.clear();
    r.feed(BuildUserList({Row(QStringLiteral("甲"), 0, QString(), 1000, 1), Row(QStringLiteral("丁"), 3, QString(), 1000, 0, 1),
                          Row(QStringLiteral("丙"), 0, QStringLiteral("丁"))}));
    EXPECT_EQ(r.chairNames(), (std::array<QString, 4>{"甲", "", "", "丁"}));
    EXPECT_TRUE(r.tbl.Chairs[0].HandRaised);
    EXPECT_TRUE(r.tbl.Chairs[3].Dropped);
    EXPECT_EQ(r.tbl.bteMyChair, 3);
    EXPECT_TRUE(r.tbl.blnPangGuan);
    EXPECT_EQ(r.tv.ViewPosOfChair, (std::array<uint8_t, 4>{3, 0, 1, 2}));
    EXPECT_EQ(r.view.of("targets:"), (QStringList{"targets:甲 ADD", "targets:丁 ADD", "targets:丙 ADD"}));
    // Every seat is erased, then drawn with its marks.
    EXPECT_EQ(r.view.of("erase:").size(), 4);
    EXPECT_EQ(r.view.of("hand:").size(), 4);
    EXPECT_EQ(r.view.log.mid(0, 2), (QStringList{"clear-users", "load"}));
}

TEST(UserList, HandsStayDownOnceTheTableIsJoined)
{
    Room r(false);
    r.pub.TableJoined = 1;
    r.feed(BuildUserList({Row(QStringLiteral("甲"), 0, QString(), 1000, 1)}));
    EXPECT_EQ(r.tbl.Chairs[0].Name, QStringLiteral("甲"));
    EXPECT_FALSE(r.tbl.Chairs[0].HandRaised);
}

TEST(Reset, EmptiesListChatAndChairsInOrder)
{
    Room r;
    r.pub.TableJoined = 1;
    r.pub.StartButShown = true;
    r.feed(Bytes({130, 1}));
    EXPECT_EQ(r.view.log, (QStringList{"close:0", "pool", "hide-start", "frame", "repaint", "clear-users", "clear-chat",
                                       "target:所有人"}));
    EXPECT_TRUE(r.view.users.isEmpty());
    EXPECT_EQ(r.chairNames(), (std::array<QString, 4>{}));
    for (const ChairInfo& ch : r.tbl.Chairs) EXPECT_EQ(ch.IconNo, -1);
    EXPECT_TRUE(r.tbl.strViewOwner.isEmpty());
    EXPECT_EQ(r.pub.TableJoined, 0);
    EXPECT_FALSE(r.pub.StartButShown);
    EXPECT_EQ(r.pub.strMyName, QStringLiteral("甲"));  // the own name survives
}

TEST(Reset, TheRoundsPartToo)
{
    Room r;
    r.tv.BlastRunning = true;
    r.round.TrickMovePending = true;
    const uint32_t game = r.round.GameSeq;
    r.feed(Bytes({130, 1}));
    EXPECT_TRUE(r.tv.BlastRunning) << "a blast still playing keeps the mouse blocked";
    EXPECT_FALSE(r.round.TrickMovePending);
    EXPECT_NE(r.round.GameSeq, game);
}

// The client's rows and the list's are the same rows in the same order after every message that
// touches them, malformed ones included.
TEST(Users, ClientRowsFollowWhatTheListShows)
{
    const QString gui = Row(QStringLiteral("庚"), 2);
    struct Case {
        const char* name;
        QList<QByteArray> msgs;
        QStringList names;
    };
    const Case cases[] = {
        {"seated_room", {}, {"甲", "乙", "丁", "丙"}},
        {"in_then_out", {BuildUserIn(Row(QStringLiteral("戊"), 2)), BuildUserOut(QStringLiteral("乙"))},
         {"甲", "丁", "丙", "戊"}},
        {"spectator_out", {BuildUserState(RM_PANGGUAN_OUT, QStringLiteral("丙"))}, {"甲", "乙", "丁"}},
        {"malformed_in", {BuildUserIn(QStringLiteral("戊`1`2"))}, {"甲", "乙", "丁", "丙"}},
        {"reset", {Bytes({130, 1})}, {}},
        {"reload_twice_named",
         {BuildUserList({gui, Row(QStringLiteral("甲"), 0), Row(QStringLiteral("庚"), 1)})},
         {"庚", "甲"}},
    };
    for (const Case& c : cases) {
        Room r;
        for (const QByteArray& m : c.msgs) r.feed(m);
        EXPECT_EQ(r.users.Names(), c.names) << c.name;
        EXPECT_EQ(r.view.names, c.names) << c.name;
        for (const QString& n : c.names) EXPECT_EQ(r.users.Find(n), r.view.users.value(n)) << c.name;
    }
}

TEST(ShowWindow, ZeroShowsAnythingElseHides)
{
    Room r;
    for (int b : {0, 1, 255}) r.feed(Bytes({130, 5, b}));
    EXPECT_EQ(r.view.log, (QStringList{"window:show", "window:hide", "window:hide"}));
}

TEST(Notice, TextFromByteThree)
{
    Room r;
    r.feed(BuildNotice(QStringLiteral("本桌公告")));
    EXPECT_EQ(r.view.log, QStringList{"notice:本桌公告"});
}

// ---- The settings round ----------------------------------------------------------------------

TEST(GameSet, NoRoundOffersTheStartWhateverTheOwnerField)
{
    for (const char* owner : {"0", "1"}) {
        for (const char* round : {"0", "-1", "abc"}) {
            Room r;
            r.pub.TableJoined = 1;
            r.feed(Text(111, 0, GameSetText(6, owner, round)));
            EXPECT_EQ(r.pub.TableJoined, 0) << owner << round;
            EXPECT_TRUE(r.pub.StartButShown);
            EXPECT_EQ(r.view.log, QStringList{"refresh-start"});
            EXPECT_TRUE(r.sent.isEmpty());
        }
    }
}

TEST(GameSet, RoundByRole)
{
    struct Case {
        const char* name;
        QString body;
        bool shown;
        QStringList log;
        bool leaves;
    };
    const Case cases[] = {
        {"owner", GameSetText(13, "1", "1", "0"), true, {"gameset:owner:100`500`10`50`200`0"}, false},
        {"owner_seven_fields", GameSetText(7, "1"), true, {"gameset:owner:"}, false},
        {"owner_cannot_show", GameSetText(8, "1"), false, {"gameset:owner:100"}, true},
        {"other_waits", GameSetText(13, "0", "1", "0"), true, {"box:等待桌主进行本桌游戏设置..."}, false},
        {"other_six_fields_waits", GameSetText(6, "0", "1"), true, {"box:等待桌主进行本桌游戏设置..."}, false},
        {"other_agrees_or_not", GameSetText(13, "0", "2", "1"), true, {"gameset:other:100`500`10`50`200`0"}, false},
        {"other_cannot_show", GameSetText(12, "0", "2", "1"), false, {"gameset:other:100`500`10`50`200"}, true},
    };
    for (const Case& c : cases) {
        Room r;
        r.view.gameSetShown = c.shown;
        r.feed(Text(111, 0, c.body));
        EXPECT_EQ(r.view.log, c.log) << c.name;
        if (c.leaves) {
            ASSERT_EQ(r.sent.size(), 1) << c.name;
            EXPECT_EQ(r.sent[0], BuildUserOut(QStringLiteral("甲"))) << c.name;
        } else {
            EXPECT_TRUE(r.sent.isEmpty()) << c.name;
        }
    }
}

TEST(HandUp, RaisesTheHandAndClosesTheWaitingBox)
{
    Room r;
    r.feed(BuildHandUp(1, QStringLiteral("丁")));
    EXPECT_TRUE(r.tbl.Chairs[3].HandRaised);
    EXPECT_EQ(r.view.log, (QStringList{"hand:3", "close:0"}));
}

TEST(HandUp, SettingsOpenTheAgreementOnlyForOthers)
{
    struct Case {
        const char* name;
        QString from;
        bool shown;
        QStringList log;
        bool leaves;
    };
    const QString settings = QStringLiteral("100`500`10`50`200`0");
    const Case cases[] = {
        {"own", QStringLiteral("甲"), true, {"hand:0", "close:0"}, false},
        {"other", QStringLiteral("乙"), true, {"hand:1", "close:0", "gameset:other:" + settings}, false},
        {"other_cannot_show", QStringLiteral("乙"), false, {"hand:1", "close:0", "gameset:other:" + settings}, true},
    };
    for (const Case& c : cases) {
        Room r;
        r.view.gameSetShown = c.shown;
        r.feed(BuildHandUp(0, c.from, settings));
        EXPECT_EQ(r.view.log, c.log) << c.name;
        EXPECT_EQ(r.sent.size(), c.leaves ? 1 : 0) << c.name;
    }
}

TEST(HandUp, SubCodeAboveOneLowersEveryHandAfterRaising)
{
    for (int sub : {1, 2, 9}) {
        Room r;
        r.tbl.Chairs[0].HandRaised = true;
        r.feed(BuildHandUp(uint8_t(sub), QStringLiteral("乙")));
        const bool lowered = sub > 1;
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(r.tbl.Chairs[size_t(c)].HandRaised, !lowered && (c == 0 || c == 1)) << sub << " chair " << c;
        QStringList expected{"hand:1", "close:0"};
        if (lowered) expected << "hand:0" << "hand:1" << "hand:2" << "hand:3";
        EXPECT_EQ(r.view.log, expected) << sub;
    }
}

TEST(HandUp, RefusedSettingsLeaveBeforeTheHandsGoDown)
{
    Room r;
    r.view.gameSetShown = false;
    r.feed(BuildHandUp(2, QStringLiteral("乙"), QStringLiteral("1`2`3")));
    EXPECT_TRUE(r.tbl.Chairs[1].HandRaised);
    EXPECT_EQ(r.view.of("hand:"), QStringList{"hand:1"});
    ASSERT_EQ(r.sent.size(), 1);
    EXPECT_EQ(r.sent[0], BuildUserOut(QStringLiteral("甲")));
}

TEST(SendUserOut, NothingWithoutAnOwnName)
{
    Room r(false);
    r.pub.strMyName.clear();
    EXPECT_FALSE(SendUserOut(r.ctx));
    EXPECT_TRUE(r.sent.isEmpty());
}

// ---- The snapshot ----------------------------------------------------------------------------

TEST(Snapshot, RunningGameInItsOrderOfSteps)
{
    Room r;
    r.tbl.Chairs[2].HandRaised = true;
    r.tv.PaiSelected = ByteArr{1, 1};
    r.tv.BlastRunning = true;
    r.round.TrickMovePending = true;   // a won trick waits to become the previous one
    r.round.GameOverShown = true;
    const uint32_t game = r.round.GameSeq;
    SnapshotGame g;
    g.TurnChair = 1;
    g.GamePhase = 2;
    g.PaiCount = {13, 12, 13, 13};
    g.MyPai = {0, 53, 7, 52, 20};
    r.feed(BuildSnapshotGame(g));
    EXPECT_EQ(r.view.log, (QStringList{"hide-start", "layout", "repaint", "turn"}));
    EXPECT_EQ(r.pub.TableJoined, 1);
    EXPECT_FALSE(r.tbl.TableIdle);
    EXPECT_FALSE(r.tbl.Chairs[2].HandRaised);  // reset with the ready flags
    EXPECT_EQ(r.tbl.TurnChair, 1);
    // The hand is arranged: two jokers lead, big first.
    ASSERT_EQ(r.tbl.MyPai.upperBound(), 5);
    EXPECT_EQ(r.tbl.MyPai[1], 53);
    EXPECT_EQ(r.tbl.MyPai[2], 52);
    // One selection flag per card of the new hand, none raised; the view starts over.
    EXPECT_EQ(r.tv.PaiSelected, (ByteArr{0, 0, 0, 0, 0}));
    // The round's reset: a blast still playing keeps the mouse blocked; the snapshot's plays are
    // not the pending trick's to move, and the waiting handler does not resume.
    EXPECT_TRUE(r.tv.BlastRunning);
    EXPECT_FALSE(r.round.TrickMovePending);
    EXPECT_FALSE(r.round.GameOverShown);
    EXPECT_NE(r.round.GameSeq, game);
    EXPECT_EQ(r.chairNames()[1], QStringLiteral("乙"));  // the chairs' room fields stay
}

TEST(Snapshot, IdleTableRaisesTheHandsItNames)
{
    Room r;
    r.feed(BuildSnapshotIdle({false, true, false, true}, 1));
    EXPECT_TRUE(r.tbl.Chairs[1].HandRaised);
    EXPECT_TRUE(r.tbl.Chairs[3].HandRaised);
    EXPECT_EQ(r.tbl.GamePhase, GamePhase::Waiting);
    EXPECT_EQ(r.view.log, (QStringList{"hide-start", "layout", "repaint", "turn"}));
}

TEST(Snapshot, CutShortLoadsWhatItHoldsAndStillRedraws)
{
    Room r;
    r.tbl.TableIdle = false;
    r.feed(BuildSnapshotGame(SnapshotGame{}).left(12));
    EXPECT_TRUE(r.tbl.TableIdle);
    EXPECT_EQ(r.view.log, (QStringList{"hide-start", "layout", "repaint", "turn"}));
}

// ---- Through the client's dispatcher -------------------------------------------------------------

TEST(Dispatch, RoomMessagesReachTheClientsView)
{
    Client c;
    FakeView v;
    c.roomView = &v;
    c.pub.strMyName = QStringLiteral("甲");
    DispatchMessage(c, BuildUserIn(Row(QStringLiteral("乙"), 1)));
    EXPECT_EQ(c.tbl.Chairs[1].Name, QStringLiteral("乙"));
    EXPECT_EQ(v.log.first(), QStringLiteral("add:乙"));
    // Without a view the state still follows.
    c.roomView = nullptr;
    DispatchMessage(c, BuildUserIn(Row(QStringLiteral("丁"), 3)));
    EXPECT_EQ(c.tbl.Chairs[3].Name, QStringLiteral("丁"));
    // ...and the client keeps its users, so the same name again is no newcomer.
    EXPECT_EQ(c.users.Names(), (QStringList{"乙", "丁"}));
    c.tbl.Chairs[3].Name.clear();
    DispatchMessage(c, BuildUserIn(Row(QStringLiteral("丁"), 3)));
    EXPECT_TRUE(c.tbl.Chairs[3].Name.isEmpty());
}

}  // namespace
