// The builders of both ends: exact bytes where the layout is fixed, and every built message read
// back by the shape check as what it was built to be.
#include <gtest/gtest.h>

#include "protocol/codec.h"
#include "protocol/messages.h"
#include "protocol/shapes.h"

namespace {

QByteArray Bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v) b.append(char(x));
    return b;
}

struct LayoutCase {
    const char* name;
    QByteArray built;
    QByteArray expected;
};

class Layout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, ExactBytes)
{
    EXPECT_EQ(GetParam().built.toHex(' '), GetParam().expected.toHex(' '));
}

const std::array<CardList, 4> kLeft = {CardList{}, CardList{5}, CardList{}, CardList{52, 53}};

INSTANTIATE_TEST_SUITE_P(
    All, Layout,
    ::testing::Values(
        LayoutCase{"hello_1", BuildHello(1), QByteArray("\x82\x00" "600`KVRN`1", 12)},
        LayoutCase{"hello_0", BuildHello(0), QByteArray("\x82\x00" "600`KVRN`0", 12)},
        LayoutCase{"join", BuildJoinGame(), Bytes({130, 1})},
        LayoutCase{"play_sorted_as_given", BuildPlay(2, {51, 12, 3}), Bytes({20, 0, 0, 0, 0, 2, 3, 51, 12, 3})},
        LayoutCase{"pass", BuildPass(3), Bytes({20, 0, 0, 0, 0, 3, 1, 254})},
        LayoutCase{"ready", BuildReady(1), Bytes({18, 1})},
        LayoutCase{"deal_request", BuildDealRequest(0), Bytes({19, 0})},
        LayoutCase{"hands_request", BuildHandsRequest(2), Bytes({2, 0, 2})},
        LayoutCase{"empty_chat_keeps_nine_separators", BuildChat(QStringList(10, QString())),
                   QByteArray(1, char(1)) + QByteArray(9, '`')},
        LayoutCase{"user_out", BuildUserOut(QStringLiteral("玩家")), Bytes({110, 0, 0xCD, 0xE6, 0xBC, 0xD2})},
        LayoutCase{"buy", BuildBuyDaoJu(5001), QByteArray("\x85\x00" "5001", 6)},
        LayoutCase{"game_start", BuildGameStart(5, 2, 1, 30, 3),
                   Bytes({17, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 2, 1, 30, 3})},
        LayoutCase{"deal_with_partner", BuildDeal(true, {1, 2}, {3, 4}), Bytes({19, 0, 1, 1, 2, 3, 4})},
        LayoutCase{"outpai_notice", BuildOutPaiNotice(1, 2, 0, 0, {7}), Bytes({20, 0, 1, 2, 0, 0, 1, 7})},
        LayoutCase{"game_over_long", BuildGameOver(true, {10, -10, 10, -10}, {120, 80}, kLeft),
                   Bytes({22, 1, 0, 0, 0, 10, 255, 255, 255, 246, 0, 0, 0, 10, 255, 255, 255, 246, 0, 0, 0, 120, 0, 0, 0, 80,
                          0, 1, 5, 0, 2, 52, 53})},
        LayoutCase{"game_over_no_changes", BuildGameOver(false, {}, {0, 5}, {}),
                   Bytes({22, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0})},
        LayoutCase{"hands", BuildHands({9}, {}), Bytes({2, 0, 1, 9, 0})},
        LayoutCase{"see_pai", BuildSeePai(true), Bytes({113, 0, 1})},
        LayoutCase{"daoju_used", BuildDaoJuUsed(2, 0, 5001), Bytes({133, 3, 2, 0, 0, 0, 19, 137})},
        LayoutCase{"snapshot_idle", BuildSnapshotIdle({true, false, false, true}, 0), Bytes({109, 0, 0, 0, 1, 0, 0, 1, 0})},
        LayoutCase{"notice_text_from_byte_3", BuildNotice("hi"), Bytes({105, 0, 0, 'h', 'i'})}),
    [](const auto& i) { return std::string(i.param.name); });

struct RoundTripCase {
    const char* name;
    Sender from;
    QByteArray built;
    MsgKind kind;
    QStringList fields;   // expected fields for text messages with a field rule
};

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, BuiltMessageFitsItsShape)
{
    const RoundTripCase& c = GetParam();
    const ParsedMsg p = ParseMessage(c.built, c.from);
    EXPECT_EQ(int(p.kind), int(c.kind));
    EXPECT_TRUE(p.fits);
    if (!c.fields.isEmpty()) {
        EXPECT_EQ(p.fields, c.fields);
    }
}

const QString kRow = QStringLiteral("甲`1001`300`300``10`50`0`5`5`0`0`2005`1`0`0");

INSTANTIATE_TEST_SUITE_P(
    All, RoundTrip,
    ::testing::Values(
        RoundTripCase{"user_in", Sender::Server, BuildUserIn(kRow), MsgKind::UserIn, kRow.split('`')},
        RoundTripCase{"pangguan_in", Sender::Server, BuildPangGuanIn(kRow), MsgKind::PangGuanIn, {}},
        RoundTripCase{"identity", Sender::Server, BuildIdentity("a", "b"), MsgKind::Identity, {"a", "b"}},
        RoundTripCase{"game_set_round", Sender::Server, BuildGameSet(true, 1, false, "100`500`10`50`200`0"),
                      MsgKind::GameSet, {"0", "0", "0", "1", "0", "1", "0", "100", "500", "10", "50", "200", "0"}},
        RoundTripCase{"game_set_offer", Sender::Server, BuildGameSet(false, 0, false, QString()), MsgKind::GameSet, {}},
        RoundTripCase{"hand_up_settings", Sender::Server, BuildHandUp(1, "a", "1`2`3`4`5`6"), MsgKind::HandUp,
                      {"a", "1", "2", "3", "4", "5", "6"}},
        RoundTripCase{"game_set_done", Sender::Client, BuildGameSetDone("a", "1`2`3`4`5`6"), MsgKind::GameSetDone, {}},
        RoundTripCase{"chat", Sender::Client, BuildChat({"a", "所有人", "a", "所有人", "你好", "#000000", "0", "0", "", ""}),
                      MsgKind::ChatSend, {}},
        RoundTripCase{"snapshot_game", Sender::Server, BuildSnapshotGame(SnapshotGame{}), MsgKind::TableSnapshot, {}},
        RoundTripCase{"deal", Sender::Server, BuildDeal(false, CardList(13, 1), {}), MsgKind::Deal, {}},
        RoundTripCase{"outpai", Sender::Server, BuildOutPaiNotice(1, 2, 0, 0, {7, 20}), MsgKind::OutPai, {}},
        RoundTripCase{"refused", Sender::Server, BuildOutPaiRefused("no"), MsgKind::OutPaiRefused, {}},
        RoundTripCase{"quit", Sender::Server, BuildQuit(1, "x"), MsgKind::Quit, {}},
        RoundTripCase{"start", Sender::Server, BuildGameStart(5, 1, 0, 30, 0), MsgKind::Start, {}},
        RoundTripCase{"daoju_list", Sender::Server, BuildDaoJuText(DJ_LIST, "0`0"), MsgKind::DaoJuList, {}},
        RoundTripCase{"see_pai_setting", Sender::Client, BuildSeePaiSetting("a", 0), MsgKind::SeePaiSetting, {"a", "0"}},
        RoundTripCase{"user_state", Sender::Server, BuildUserState(RM_USER_DROPPED, "a"), MsgKind::UserDropped, {}}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(Builders, UserListIsOneRowPerLine)
{
    const QByteArray m = BuildUserList({kRow, kRow});
    EXPECT_EQ(DecodePacketText(m, 2), kRow + QLatin1Char('\n') + kRow);
    EXPECT_EQ(BuildUserList({}), Bytes({130, 2}));
}

TEST(Builders, SnapshotOfARunningGameListsEveryPart)
{
    SnapshotGame s;
    s.DeckCount = 2;
    s.TurnChair = 3;
    s.GamePhase = 2;
    s.TeamScore = {300, 5};
    s.TrickFen = 15;
    s.OutPai[1] = {7};
    s.MyPai = {1, 2, 3};
    s.ShowPartnerPai = 1;
    s.PartnerPai = {4};
    const QByteArray m = BuildSnapshotGame(s);
    EXPECT_EQ(m.left(17).toHex(' '), Bytes({109, 0, 1, 0, 1, 2, 0, 30, 3, 2, 0, 1, 44, 0, 5, 0, 15}).toHex(' '));
    // MaxOutPai, MingCi and PaiCount (16 zero bytes), then each chair's play, the hand, the partner's.
    EXPECT_EQ(m.mid(33).toHex(' '), Bytes({0, 1, 7, 0, 0, 3, 1, 2, 3, 1, 1, 4}).toHex(' '));
}

}  // namespace
