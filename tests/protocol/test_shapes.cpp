// Every message against its shape: one field or byte short, one too many, and the right shape.
#include <gtest/gtest.h>

#include <QSet>

#include "protocol/codec.h"
#include "protocol/messages.h"
#include "protocol/shapes.h"
#include "wirebytes.h"

namespace {

QByteArray Text(int code, int sub, const QString& body) { return TextMessage(Bytes({code, sub}), body); }

struct ShapeCase {
    const char* name;
    Sender from;
    QByteArray msg;
    MsgKind kind;
    bool fits;
};

class Shape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(Shape, IdentifiedAndChecked)
{
    const ShapeCase& c = GetParam();
    const ParsedMsg p = ParseMessage(c.msg, c.from);
    EXPECT_EQ(int(p.kind), int(c.kind));
    EXPECT_EQ(p.fits, c.fits);
}

const ShapeCase kCases[] = {
    // Sixteen-field user rows.
    {"user_in_15", Sender::Server, Text(130, 4, Fields(15)), MsgKind::UserIn, false},
    {"user_in_16", Sender::Server, Text(130, 4, Fields(16)), MsgKind::UserIn, true},
    {"user_in_17", Sender::Server, Text(130, 4, Fields(17)), MsgKind::UserIn, false},
    {"pangguan_in_16", Sender::Server, Text(130, 0, Fields(16)), MsgKind::PangGuanIn, true},
    {"pangguan_in_15", Sender::Server, Text(130, 0, Fields(15)), MsgKind::PangGuanIn, false},
    {"pangguan_in_17", Sender::Server, Text(130, 0, Fields(17)), MsgKind::PangGuanIn, false},
    // Identity: exactly two.
    {"identity_1", Sender::Server, Text(130, 3, Fields(1)), MsgKind::Identity, false},
    {"identity_2", Sender::Server, Text(130, 3, Fields(2)), MsgKind::Identity, true},
    {"identity_3", Sender::Server, Text(130, 3, Fields(3)), MsgKind::Identity, false},
    {"identity_empty", Sender::Server, Bytes({130, 3}), MsgKind::Identity, false},
    {"reset", Sender::Server, Bytes({130, 1}), MsgKind::Reset, true},
    {"room_without_sub", Sender::Server, Bytes({130}), MsgKind::Unknown, false},
    {"room_sub_9", Sender::Server, Bytes({130, 9}), MsgKind::Unknown, false},
    {"room_sub_6", Sender::Server, Bytes({130, 6, 0}), MsgKind::Unknown, false},
    {"show_window_no_byte", Sender::Server, Bytes({130, 5}), MsgKind::ShowWindow, false},
    {"show_window", Sender::Server, Bytes({130, 5, 1}), MsgKind::ShowWindow, true},
    // User state by sub-code; other sub-codes are not messages.
    {"user_back", Sender::Server, Text(108, 0, "a"), MsgKind::UserBack, true},
    {"user_dropped", Sender::Server, Text(108, 3, "a"), MsgKind::UserDropped, true},
    {"pangguan_out", Sender::Server, Text(108, 4, "a"), MsgKind::PangGuanOut, true},
    {"user_mark", Sender::Server, Text(108, 6, "a"), MsgKind::UserMark, true},
    {"user_state_5", Sender::Server, Text(108, 5, "a"), MsgKind::Unknown, false},
    {"user_out", Sender::Server, Text(110, 0, "a"), MsgKind::UserOut, true},
    {"user_out_sub_1", Sender::Server, Text(110, 1, "a"), MsgKind::Unknown, false},
    // Settings round: at least six; hand up: at least one (an empty body has none).
    {"game_set_5", Sender::Server, Text(111, 0, Fields(5)), MsgKind::GameSet, false},
    {"game_set_6", Sender::Server, Text(111, 7, Fields(6)), MsgKind::GameSet, true},
    {"game_set_13", Sender::Server, Text(111, 0, Fields(13)), MsgKind::GameSet, true},
    {"hand_up_empty", Sender::Server, Bytes({112, 0}), MsgKind::HandUp, false},
    {"hand_up_1", Sender::Server, Text(112, 2, "a"), MsgKind::HandUp, true},
    {"notice", Sender::Server, Bytes({105, 0, 0, 'h', 'i'}), MsgKind::Notice, true},
    {"snapshot_code_only", Sender::Server, Bytes({109}), MsgKind::TableSnapshot, true},
    // Chat: at least ten fields from byte 1.
    {"chat_9", Sender::Server, TextMessage(Bytes({1}), Fields(9)), MsgKind::Chat, false},
    {"chat_10", Sender::Server, TextMessage(Bytes({1}), Fields(10)), MsgKind::Chat, true},
    {"chat_11", Sender::Server, TextMessage(Bytes({1}), Fields(11)), MsgKind::Chat, true},
    // Binary game messages.
    {"start_14", Sender::Server, QByteArray(14, char(17)), MsgKind::Start, false},
    {"start_15", Sender::Server, QByteArray(15, char(17)), MsgKind::Start, true},
    {"start_16", Sender::Server, QByteArray(16, char(17)), MsgKind::Start, false},
    {"ready_1", Sender::Server, Bytes({18}), MsgKind::Ready, false},
    {"ready_2", Sender::Server, Bytes({18, 3}), MsgKind::Ready, true},
    {"ready_3", Sender::Server, Bytes({18, 3, 0}), MsgKind::Ready, false},
    {"deal_3", Sender::Server, Bytes({19, 0, 0}), MsgKind::Deal, false},
    {"deal_4", Sender::Server, Bytes({19, 0, 0, 5}), MsgKind::Deal, true},
    {"outpai_7", Sender::Server, Bytes({20, 0, 1, 2, 0, 0, 0}), MsgKind::OutPai, false},
    {"outpai_pass", Sender::Server, Bytes({20, 0, 1, 2, 0, 0, 1, 254}), MsgKind::OutPai, true},
    {"outpai_one_short", Sender::Server, Bytes({20, 0, 1, 2, 0, 0, 2, 7}), MsgKind::OutPai, false},
    {"outpai_one_over", Sender::Server, Bytes({20, 0, 1, 2, 0, 0, 1, 7, 8}), MsgKind::OutPai, false},
    {"game_over_5", Sender::Server, Bytes({22, 0, 0, 0, 0}), MsgKind::GameOver, false},
    {"game_over_6", Sender::Server, Bytes({22, 0, 0, 0, 0, 0}), MsgKind::GameOver, true},
    {"see_pai_2", Sender::Server, Bytes({113, 0}), MsgKind::SeePai, false},
    {"see_pai_3", Sender::Server, Bytes({113, 0, 1}), MsgKind::SeePai, true},
    {"quit_2", Sender::Server, Bytes({5, 0}), MsgKind::Quit, false},
    {"quit_3", Sender::Server, Bytes({5, 0, 2}), MsgKind::Quit, true},
    {"daoju_used_7", Sender::Server, Bytes({133, 3, 2, 0, 0, 0, 19}), MsgKind::DaoJuUsed, false},
    {"daoju_used_8", Sender::Server, Bytes({133, 3, 2, 0, 0, 0, 19, 137}), MsgKind::DaoJuUsed, true},
    {"daoju_sub_4", Sender::Server, Bytes({133, 4}), MsgKind::Unknown, false},
    {"code_3", Sender::Server, Bytes({3, 0}), MsgKind::Unknown, false},
    {"code_99", Sender::Server, Bytes({99, 0, 1}), MsgKind::Unknown, false},
    {"code_200", Sender::Server, Bytes({200}), MsgKind::Unknown, false},
    // The same bytes from the client mean other things.
    {"hello", Sender::Client, BuildHello(1), MsgKind::Hello, true},
    {"join", Sender::Client, Bytes({130, 1}), MsgKind::JoinGame, true},
    {"join_with_body", Sender::Client, Bytes({130, 1, 'x'}), MsgKind::JoinGame, false},
    {"game_set_done_6", Sender::Client, Text(112, 0, Fields(6)), MsgKind::GameSetDone, false},
    {"game_set_done_7", Sender::Client, Text(112, 0, Fields(7)), MsgKind::GameSetDone, true},
    {"hand_up_req", Sender::Client, Text(112, 1, "me"), MsgKind::HandUpReq, true},
    {"chat_send_10", Sender::Client, BuildChat(QStringList(10, QString())), MsgKind::ChatSend, true},
    {"chat_send_11", Sender::Client, TextMessage(Bytes({1}), Fields(11)), MsgKind::ChatSend, false},
    {"hands_req", Sender::Client, BuildHandsRequest(2), MsgKind::HandsReq, true},
    {"deal_req", Sender::Client, BuildDealRequest(2), MsgKind::DealReq, true},
    {"play", Sender::Client, BuildPlay(1, {5, 18}), MsgKind::OutPaiReq, true},
    {"buy", Sender::Client, BuildBuyDaoJu(5001), MsgKind::BuyDaoJu, true},
    // The spectator setting carries the name and the new value.
    {"see_pai_setting_name_only", Sender::Client, Text(113, 1, "me"), MsgKind::SeePaiSetting, false},
    {"see_pai_setting", Sender::Client, BuildSeePaiSetting(QStringLiteral("me"), 1), MsgKind::SeePaiSetting, true},
};

INSTANTIATE_TEST_SUITE_P(All, Shape, ::testing::ValuesIn(kCases), [](const auto& i) { return std::string(i.param.name); });

TEST(Shape, TextAndFieldsAreHandedOver)
{
    const ParsedMsg p = ParseMessage(BuildIdentity(QStringLiteral("甲"), QStringLiteral("乙")), Sender::Server);
    ASSERT_TRUE(p.fits);
    EXPECT_EQ(p.fields, (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
    const ParsedMsg n = ParseMessage(BuildNotice(QStringLiteral("公告")), Sender::Server);
    EXPECT_EQ(n.text, QStringLiteral("公告"));
}

TEST(Shape, BrokenTextCountsAsAnEmptyBody)
{
    // A lead byte at the very end drops the whole text, so the row has no fields at all.
    QByteArray m = BuildUserIn(Fields(16));
    m.append(char(0xB0));
    const ParsedMsg p = ParseMessage(m, Sender::Server);
    EXPECT_EQ(p.kind, MsgKind::UserIn);
    EXPECT_FALSE(p.fits);
    EXPECT_TRUE(p.fields.isEmpty());
}

TEST(Shape, EveryKindHasExactlyOneShapeAndEveryCodeOneRoute)
{
    int n = 0;
    const MsgShape* all = AllShapes(n);
    QSet<int> kinds;
    for (int i = 0; i < n; ++i) {
        EXPECT_FALSE(kinds.contains(int(all[i].kind))) << all[i].name;
        kinds.insert(int(all[i].kind));
        EXPECT_EQ(ShapeOf(all[i].kind), &all[i]);
        // What the server sends to the room side must be a room code, and so on; a client's
        // messages go to no client side.
        const uint8_t code = all[i].code;
        MsgRoute side = MsgRoute::None;
        if (all[i].from == Sender::Server) {
            side = code == GM_CHAT     ? MsgRoute::Chat
                   : code == GM_DAOJU  ? MsgRoute::Items
                   : code >= 95 && code != GM_SEE_PAI ? MsgRoute::Room
                                                      : MsgRoute::Game;
        }
        EXPECT_EQ(all[i].route, side) << all[i].name;
    }
    EXPECT_EQ(ShapeOf(MsgKind::Unknown), nullptr);
}

TEST(SplitFields, EmptyTextHasNoFields)
{
    EXPECT_TRUE(SplitFields(QString()).isEmpty());
    EXPECT_EQ(SplitFields(QStringLiteral("`")).size(), 2);
    EXPECT_EQ(SplitFields(QStringLiteral("a")).size(), 1);
}

TEST(Lengths, HandsAndDeals)
{
    EXPECT_EQ(HandCountOf(1), 13);
    EXPECT_EQ(HandCountOf(2), 27);
    EXPECT_EQ(DealLength(13, false), 16);
    EXPECT_EQ(DealLength(27, true), 57);
}

}  // namespace
