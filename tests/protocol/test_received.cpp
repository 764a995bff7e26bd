// Received messages decoded into typed values: the route of every code, each kind's payload,
// the range limits that leave a message without one, and the points where a short message stops.
#include <gtest/gtest.h>

#include <functional>

#include "protocol/messages.h"
#include "protocol/received.h"
#include "wirebytes.h"

namespace {

using Cards = std::vector<uint8_t>;

// ---- Routes ----------------------------------------------------------------------------------

TEST(Route, ByCodeForKnownAndUnknownMessages)
{
    const struct { int code; MsgRoute route; } cases[] = {
        {0, MsgRoute::Game},    {1, MsgRoute::Chat},   {3, MsgRoute::Game},   {20, MsgRoute::Game},
        {94, MsgRoute::Game},   {95, MsgRoute::Room},  {112, MsgRoute::Room}, {113, MsgRoute::Game},
        {114, MsgRoute::Room},  {130, MsgRoute::Room}, {133, MsgRoute::Items}, {134, MsgRoute::Room},
        {255, MsgRoute::Room}};
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeServerMsg(Bytes({c.code, 2})).route, c.route) << c.code;
        EXPECT_EQ(DecodeServerMsg(Bytes({c.code})).route, c.route) << c.code << " alone";
    }
    EXPECT_EQ(DecodeServerMsg(QByteArray()).route, MsgRoute::None);
    // The server takes what a client sends itself.
    EXPECT_EQ(DecodeClientMsg(BuildPlay(1, {5})).route, MsgRoute::None);
}

// ---- Each kind's payload, and the range limits that leave it without one -----------------

struct KindCase {
    const char* name;
    QByteArray msg;
    MsgKind kind;
    std::function<void(const ReceivedMsg&)> check;
};

template <class T>
const T& Body(const ReceivedMsg& m)
{
    static const T none{};
    const T* p = m.as<T>();
    EXPECT_NE(p, nullptr);
    return p ? *p : none;
}

const QString kRow = QStringLiteral("戊`1`0`0`乙`0`0`0`0`0`0`0`0`2`0`0");

const KindCase kKinds[] = {
    {"start", BuildGameStart(5, 2, 1, 20, 3), MsgKind::Start, [](const ReceivedMsg& m) {
         const StartMsg& s = Body<StartMsg>(m);
         EXPECT_EQ(s.autoOutLimit, 5);
         EXPECT_TRUE(s.settingsValid && s.leadValid);
         EXPECT_EQ(s.deckCount, 2);
         EXPECT_EQ(s.showLeftPai, 1);
         EXPECT_EQ(s.turnSeconds, 20);
         EXPECT_EQ(s.leadChair, 3);
     }},
    {"deal", BuildDeal(true, {1, 2}, {3, 4}), MsgKind::Deal, [](const ReceivedMsg& m) {
         const DealMsg& d = Body<DealMsg>(m);
         EXPECT_EQ(d.showPartner, 1);
         EXPECT_EQ(d.cards, (Cards{1, 2, 3, 4}));
     }},
    {"outpai", BuildOutPaiNotice(2, 1, 4, 3, {9, 22}), MsgKind::OutPai, [](const ReceivedMsg& m) {
         const OutPaiMsg& o = Body<OutPaiMsg>(m);
         EXPECT_EQ(o.next, 2);
         EXPECT_EQ(o.phase, 1);
         EXPECT_EQ(o.mingCi, 4);
         EXPECT_EQ(o.chair, 3);
         EXPECT_EQ(o.cards, (Cards{9, 22}));
     }},
    {"refused", BuildOutPaiRefused(QStringLiteral("不行")), MsgKind::OutPaiRefused,
     [](const ReceivedMsg& m) { EXPECT_EQ(Body<RefusedMsg>(m).reason, QStringLiteral("不行")); }},
    {"game_over", BuildGameOver(true, {1, -2, 3, -4}, {300, 45}, {Cards{7}, Cards{}, Cards{8, 9}, Cards{10}}),
     MsgKind::GameOver, [](const ReceivedMsg& m) {
         const GameOverMsg& g = Body<GameOverMsg>(m);
         EXPECT_TRUE(g.withChanges && g.changesRead && g.scoresRead);
         EXPECT_EQ(g.changes, (std::array<int32_t, 4>{1, -2, 3, -4}));
         EXPECT_EQ(g.teamScore, (std::array<int32_t, 2>{300, 45}));
         EXPECT_EQ(g.leftRead, 4);
         EXPECT_EQ(g.leftPai[2], (Cards{8, 9}));
     }},
    {"hands", BuildHands({5, 6}, {7}), MsgKind::Hands, [](const ReceivedMsg& m) {
         EXPECT_EQ(Body<HandsMsg>(m).mine, (Cards{5, 6}));
         EXPECT_EQ(Body<HandsMsg>(m).partner, (Cards{7}));
     }},
    {"quit", BuildQuit(2, QStringLiteral("断线")), MsgKind::Quit, [](const ReceivedMsg& m) {
         EXPECT_EQ(Body<QuitMsg>(m).chair, 2);
         EXPECT_EQ(Body<QuitMsg>(m).reason, QStringLiteral("断线"));
     }},
    {"ready", BuildReady(3), MsgKind::Ready, [](const ReceivedMsg& m) { EXPECT_EQ(Body<ReadyMsg>(m).chair, 3); }},
    {"see_pai", BuildSeePai(true), MsgKind::SeePai, [](const ReceivedMsg& m) { EXPECT_TRUE(Body<SeePaiMsg>(m).canSee); }},
    {"see_pai_off", BuildSeePai(false), MsgKind::SeePai,
     [](const ReceivedMsg& m) { EXPECT_FALSE(Body<SeePaiMsg>(m).canSee); }},
    {"user_in", BuildUserIn(kRow), MsgKind::UserIn, [](const ReceivedMsg& m) {
         EXPECT_EQ(Body<UserRowMsg>(m).row, kRow);
         EXPECT_EQ(Body<UserRowMsg>(m).fields.size(), 16);
     }},
    {"reset", BuildReset(), MsgKind::Reset, [](const ReceivedMsg& m) { Body<ResetMsg>(m); }},
    {"identity", BuildIdentity(QStringLiteral("甲"), QStringLiteral("乙")), MsgKind::Identity,
     [](const ReceivedMsg& m) {
         EXPECT_EQ(Body<IdentityMsg>(m).myName, QStringLiteral("甲"));
         EXPECT_EQ(Body<IdentityMsg>(m).viewOwner, QStringLiteral("乙"));
     }},
    {"show_window", BuildShowWindow(false), MsgKind::ShowWindow,
     [](const ReceivedMsg& m) { EXPECT_TRUE(Body<ShowWindowMsg>(m).show); }},
    {"hide_window", Bytes({130, 5, 7}), MsgKind::ShowWindow,
     [](const ReceivedMsg& m) { EXPECT_FALSE(Body<ShowWindowMsg>(m).show); }},
    {"user_mark", BuildUserState(RM_USER_MARK, QStringLiteral("乙")), MsgKind::UserMark,
     [](const ReceivedMsg& m) { EXPECT_EQ(Body<UserNameMsg>(m).name, QStringLiteral("乙")); }},
    {"game_set_6", TextMessage(Bytes({111, 0}), QStringLiteral("0`0`0`1`0`2")), MsgKind::GameSet,
     [](const ReceivedMsg& m) {
         const GameSetMsg& g = Body<GameSetMsg>(m);
         EXPECT_EQ(g.owner, QStringLiteral("1"));
         EXPECT_EQ(g.round, QStringLiteral("2"));
         EXPECT_TRUE(g.decided.isEmpty());
         EXPECT_TRUE(g.settings.isEmpty());
     }},
    {"game_set_9", TextMessage(Bytes({111, 0}), QStringLiteral("0`0`0`1`0`2`1`a`b")), MsgKind::GameSet,
     [](const ReceivedMsg& m) {
         EXPECT_EQ(Body<GameSetMsg>(m).decided, QStringLiteral("1"));
         EXPECT_EQ(Body<GameSetMsg>(m).settings, QStringLiteral("a`b"));
     }},
    {"hand_up", BuildHandUp(1, QStringLiteral("乙")), MsgKind::HandUp, [](const ReceivedMsg& m) {
         const HandUpMsg& h = Body<HandUpMsg>(m);
         EXPECT_EQ(h.name, QStringLiteral("乙"));
         EXPECT_FALSE(h.withSettings || h.lowersAll);
     }},
    {"hand_up_settings_lowering", BuildHandUp(2, QStringLiteral("乙"), QStringLiteral("a`b")), MsgKind::HandUp,
     [](const ReceivedMsg& m) {
         const HandUpMsg& h = Body<HandUpMsg>(m);
         EXPECT_TRUE(h.withSettings && h.lowersAll);
         EXPECT_EQ(h.settings, QStringLiteral("a`b"));
     }},
    {"notice", BuildNotice(QStringLiteral("通知")), MsgKind::Notice,
     [](const ReceivedMsg& m) { EXPECT_EQ(Body<NoticeMsg>(m).text, QStringLiteral("通知")); }},
    {"snapshot", BuildSnapshotIdle({true, false, true, false}, 0), MsgKind::TableSnapshot, [](const ReceivedMsg& m) {
         const TableSnapshotMsg& s = Body<TableSnapshotMsg>(m);
         EXPECT_EQ(s.layout, TableSnapshotMsg::Layout::Idle);
         EXPECT_TRUE(s.whole());
         EXPECT_EQ(s.handRaised, (std::array<bool, 4>{true, false, true, false}));
     }},
    {"chat", TextMessage(Bytes({1}), Fields(11)), MsgKind::Chat, [](const ReceivedMsg& m) {
         EXPECT_EQ(Body<ChatMsg>(m).shown, Fields(10).split(QLatin1Char('`')).mid(2));
     }},
    {"daoju_list", BuildDaoJuText(DJ_LIST, QStringLiteral("x")), MsgKind::DaoJuList,
     [](const ReceivedMsg& m) { EXPECT_EQ(Body<DaoJuTextMsg>(m).text, QStringLiteral("x")); }},
    {"daoju_list_empty", Bytes({133, 0}), MsgKind::DaoJuList,
     [](const ReceivedMsg& m) { EXPECT_TRUE(Body<DaoJuTextMsg>(m).text.isEmpty()); }},
    {"daoju_used", BuildDaoJuUsed(2, 0, 5001), MsgKind::DaoJuUsed, [](const ReceivedMsg& m) {
         const DaoJuUsedMsg& u = Body<DaoJuUsedMsg>(m);
         EXPECT_EQ(u.fromUser, 2);
         EXPECT_EQ(u.toUser, 0);
         EXPECT_EQ(u.itemId, 5001);
     }},
};

// Range limits: identified as their kind; out of range, without a payload (no check).
const KindCase kLimits[] = {
    {"outpai_next_3", BuildOutPaiNotice(3, 2, 0, 1, {5}), MsgKind::OutPai, [](const ReceivedMsg& m) { EXPECT_EQ(Body<OutPaiMsg>(m).next, 3); }},
    {"outpai_next_4", BuildOutPaiNotice(4, 2, 0, 1, {5}), MsgKind::OutPai, nullptr},
    {"outpai_chair_4", BuildOutPaiNotice(0, 2, 0, 4, {5}), MsgKind::OutPai, nullptr},
    {"outpai_phase_0", BuildOutPaiNotice(0, 0, 0, 1, {5}), MsgKind::OutPai, [](const ReceivedMsg& m) { EXPECT_EQ(Body<OutPaiMsg>(m).phase, 0); }},
    {"outpai_phase_100", BuildOutPaiNotice(0, 100, 0, 1, {5}), MsgKind::OutPai, [](const ReceivedMsg& m) { EXPECT_EQ(Body<OutPaiMsg>(m).phase, 100); }},
    {"outpai_phase_3", BuildOutPaiNotice(0, 3, 0, 1, {5}), MsgKind::OutPai, nullptr},
    {"outpai_phase_99", BuildOutPaiNotice(0, 99, 0, 1, {5}), MsgKind::OutPai, nullptr},
    {"outpai_place_4", BuildOutPaiNotice(0, 2, 4, 1, {5}), MsgKind::OutPai, [](const ReceivedMsg& m) { EXPECT_EQ(Body<OutPaiMsg>(m).mingCi, 4); }},
    {"outpai_place_5", BuildOutPaiNotice(0, 2, 5, 1, {5}), MsgKind::OutPai, nullptr},
    {"outpai_no_cards", Bytes({20, 0, 2, 0, 1, 0, 0, 0}), MsgKind::OutPai, nullptr},
    {"outpai_count_short", Bytes({20, 0, 2, 0, 1, 2, 5}), MsgKind::OutPai, nullptr},
    {"quit_chair_3", BuildQuit(3, QStringLiteral("x")), MsgKind::Quit, [](const ReceivedMsg& m) { EXPECT_EQ(Body<QuitMsg>(m).chair, 3); }},
    {"quit_chair_4", BuildQuit(4, QStringLiteral("x")), MsgKind::Quit, nullptr},
    {"quit_no_reason_byte", Bytes({5, 0}), MsgKind::Quit, nullptr},
    {"ready_chair_4", BuildReady(4), MsgKind::Ready, nullptr},
    {"ready_chair_255", BuildReady(255), MsgKind::Ready, nullptr},
    {"hands_partner_missing", Bytes({2, 0, 1, 5}), MsgKind::Hands, nullptr},
    {"hands_one_short", Bytes({2, 0, 2, 5}), MsgKind::Hands, nullptr},
    {"hands_both_empty", Bytes({2, 0, 0, 0}), MsgKind::Hands, [](const ReceivedMsg& m) { EXPECT_TRUE(Body<HandsMsg>(m).mine.empty() && Body<HandsMsg>(m).partner.empty()); }},
    {"daoju_used_7", Bytes({133, 3, 2, 0, 0, 0, 19}), MsgKind::DaoJuUsed, nullptr},
    // A body that does not decode is not an empty list.
    {"daoju_list_broken", Bytes({133, 0, 0xB0}), MsgKind::DaoJuList, nullptr},
    {"daoju_my_list_broken", Bytes({133, 1, 0xFF, 0xFF}), MsgKind::MyDaoJuList, nullptr},
    {"user_in_15", BuildUserIn(Fields(15)), MsgKind::UserIn, nullptr},
    {"see_pai_2", Bytes({113, 0}), MsgKind::SeePai, nullptr},
    {"start_14", QByteArray(14, char(17)), MsgKind::Start, nullptr},
};

class Kind : public ::testing::TestWithParam<KindCase> {};

TEST_P(Kind, DecodedIntoItsPayloadOrNoneOutOfRange)
{
    const ReceivedMsg m = DecodeServerMsg(GetParam().msg);
    EXPECT_EQ(int(m.kind), int(GetParam().kind));
    if (!GetParam().check) {
        EXPECT_TRUE(std::holds_alternative<std::monostate>(m.body));
        return;
    }
    EXPECT_TRUE(m.fits);
    GetParam().check(m);
}

INSTANTIATE_TEST_SUITE_P(All, Kind, ::testing::ValuesIn(kKinds), [](const auto& i) { return std::string(i.param.name); });
INSTANTIATE_TEST_SUITE_P(Limits, Kind, ::testing::ValuesIn(kLimits), [](const auto& i) { return std::string(i.param.name); });

TEST(Start, BadDeckCountEndsAfterTheLimitBadLeadAfterTheSettings)
{
    const struct { int decks, lead; bool settings, leadValid; } cases[] = {
        {1, 0, true, true}, {0, 0, false, false}, {3, 0, false, false}, {2, 4, true, false},
        {2, 255, true, false}};
    for (const auto& c : cases) {
        const ReceivedMsg m = DecodeServerMsg(BuildGameStart(7, uint8_t(c.decks), 1, 25, uint8_t(c.lead)));
        const StartMsg* s = m.as<StartMsg>();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->autoOutLimit, 7);
        EXPECT_EQ(s->settingsValid, c.settings) << c.decks;
        EXPECT_EQ(s->leadValid, c.leadValid) << c.decks << " " << c.lead;
        if (c.settings) {
            EXPECT_EQ(s->turnSeconds, 25);
        }
    }
}

TEST(Deal, SplitByTheHandCountOfTheTable)
{
    const ReceivedMsg both = DecodeServerMsg(BuildDeal(true, {1, 2, 3}, {4, 5, 6}));
    const DealMsg* d = both.as<DealMsg>();
    ASSERT_NE(d, nullptr);
    Cards mine, partner;
    EXPECT_TRUE(d->split(3, mine, partner));
    EXPECT_EQ(mine, (Cards{1, 2, 3}));
    EXPECT_EQ(partner, (Cards{4, 5, 6}));
    EXPECT_FALSE(d->split(2, mine, partner));
    EXPECT_TRUE(mine.empty() && partner.empty());
    const ReceivedMsg one = DecodeServerMsg(BuildDeal(false, {1, 2, 3}, {}));
    const DealMsg* alone = one.as<DealMsg>();
    ASSERT_NE(alone, nullptr);
    EXPECT_TRUE(alone->split(3, mine, partner));
    EXPECT_TRUE(partner.empty());
    EXPECT_FALSE(alone->split(-1, mine, partner));
}

// ---- Short messages stop where the handlers stop ---------------------------------------------

TEST(GameOver, CutShortStopsAtTheFirstMissingPart)
{
    const QByteArray full =
        BuildGameOver(true, {1, 2, 3, 4}, {5, 6}, {Cards{7}, Cards{8, 9}, Cards{}, Cards{10}});
    // 2 header bytes, 16 of changes, 8 of scores, then lists of 2, 3, 1 and 2 bytes.
    ASSERT_EQ(full.size(), 34);
    for (int len = 6; len <= full.size(); ++len) {
        const ReceivedMsg m = DecodeServerMsg(full.left(len));
        const GameOverMsg* g = m.as<GameOverMsg>();
        ASSERT_NE(g, nullptr) << len;
        EXPECT_TRUE(g->withChanges);
        EXPECT_EQ(g->changesRead, len >= 18) << len;
        EXPECT_EQ(g->scoresRead, len >= 26) << len;
        const int left = len >= 34 ? 4 : len >= 32 ? 3 : len >= 31 ? 2 : len >= 28 ? 1 : 0;
        EXPECT_EQ(g->leftRead, left) << len;
    }
    const ReceivedMsg plainMsg = DecodeServerMsg(BuildGameOver(false, {}, {5, 6}, {}));
    const GameOverMsg* plain = plainMsg.as<GameOverMsg>();
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->withChanges || plain->changesRead);
    EXPECT_TRUE(plain->scoresRead);
    EXPECT_EQ(plain->leftRead, 4);
    const ReceivedMsg tooShort = DecodeServerMsg(full.left(5));
    EXPECT_EQ(tooShort.kind, MsgKind::GameOver);
    EXPECT_EQ(tooShort.as<GameOverMsg>(), nullptr);
}

TEST(Snapshot, FieldsReadUpToTheFirstMissingOrOutOfRange)
{
    SnapshotGame g;
    g.DeckCount = 2;
    g.MyPai = {1, 2, 3};
    g.ShowPartnerPai = 1;
    g.PartnerPai = {4};
    const QByteArray full = BuildSnapshotGame(g);
    const TableSnapshotMsg whole = DecodeTableSnapshot(full);
    EXPECT_EQ(whole.layout, TableSnapshotMsg::Layout::Game);
    EXPECT_TRUE(whole.whole());
    EXPECT_EQ(whole.partnerPai, (Cards{4}));
    const struct { int len; int fields; size_t myPai; } cuts[] = {
        {2, 0, 0}, {4, 0, 0}, {5, SG_DeckCount, 0}, {10, SG_ShuangShunPlayed, 0}, {12, SG_TeamScore0, 0},
        {13, SG_TeamScore1, 0}, {33, SG_OutPai0, 0}, {38, SG_MyPai, 0}, {40, SG_MyPai, 2}, {41, SG_ShowPartnerPai, 3},
        {43, SG_PartnerPai, 3}};
    for (const auto& c : cuts) {
        const TableSnapshotMsg s = DecodeTableSnapshot(full.left(c.len));
        EXPECT_EQ(s.fieldsRead, c.fields) << c.len;
        EXPECT_EQ(s.myPai.size(), c.myPai) << c.len;
        EXPECT_FALSE(s.whole()) << c.len;
    }
    QByteArray bad = full;
    bad[29] = char(28);  // more cards than two decks deal a hand
    EXPECT_EQ(DecodeTableSnapshot(bad).fieldsRead, SG_PaiCount0);
    EXPECT_EQ(DecodeTableSnapshot(nullptr, 40).layout, TableSnapshotMsg::Layout::None);
}

// ---- Sent by a client --------------------------------------------------------------------------

TEST(ClientMsg, PlayRequestAndTheOthersChecked)
{
    const ReceivedMsg play = DecodeClientMsg(BuildPlay(2, {51, 12}));
    const PlayReqMsg* p = play.as<PlayReqMsg>();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->chair, 2);
    EXPECT_EQ(p->cards, (Cards{51, 12}));
    const ReceivedMsg hello = DecodeClientMsg(BuildHello(1));
    ASSERT_NE(hello.as<ParsedMsg>(), nullptr);
    EXPECT_EQ(hello.as<ParsedMsg>()->fields.size(), 3);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(DecodeClientMsg(Bytes({20, 0, 0})).body));
}

}  // namespace
