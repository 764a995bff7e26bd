// The table with four scripted seats: dealing, turns, tricks, refusals, the end of a game and
// its scores, the room around it (spectators, chat, items, settings, a player who drops).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <array>
#include <map>
#include <memory>

#include "platform/core/clock.h"
#include "protocol/codec.h"
#include "protocol/received.h"
#include "protocol/snapshot.h"
#include "rules/cards.h"
#include "server/botplayer.h"
#include "server/botseat.h"
#include "server/guard.h"
#include "server/hiddenhand.h"
#include "serverfixture.h"

using namespace servertest;

namespace {

// Every bot of the table has asked to be ready: its hand is up, or held until the people's are.
bool BotsReady(const Table& t)
{
    for (int c = 0; c < 4; ++c)
        if (const RoomUser* u = t.userAt(c); u && u->bot && !u->Ready && !u->HandHeld) return false;
    return true;
}

constexpr int kStake = 10;
enum Rank { R3, R4, R5, R6, R7, R8, R9, R10, RJ, RQ, RK, RA, R2 };

RoomOptions Options(int humans, int decks = 1)
{
    RoomOptions o;
    o.humans = humans;
    o.decks = decks;
    o.botDelayMs = 0;
    o.seed = 7;
    o.names = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")};
    o.opponents = humans == 4;   // four people sit in the order they join: seat c is chair c
    // Quick bots for the room's tests; one that takes over a person's chair still plays strong.
    o.botLevels.fill(BotLevel::Basic);
    return o;
}

// A table on a clock the test drives, with its bots and as many scripted people as the options
// name (joined first, so seats[0] is chair 0); ready() raises the people's hands, deal() answers
// their deal requests. With four people, seat c is chair c.
struct Room {
    ManualClock clock;
    Table table;
    std::array<FakeSeat, 4> seats;
    QStringList log;
    int people;

    explicit Room(const RoomOptions& o, bool join = true) : table(o), people(join ? o.humans : 0)
    {
        table.logLine = [this](const QString& l) { log.append(l); };
        table.seatBots();
        for (int i = 0; i < people; ++i) table.join(&seats[size_t(i)], 1);
    }
    // The bots have all raised their hands, or hold them for the people's.
    bool botsReady()
    {
        return Spin([this] { return BotsReady(table); });
    }
    void ready()
    {
        for (int c = 0; c < people; ++c) table.receive(&seats[size_t(c)], BuildReady(uint8_t(c)));
    }
    void deal()
    {
        for (int c = 0; c < people; ++c) table.receive(&seats[size_t(c)], BuildDealRequest(uint8_t(c)));
    }
    void start(const Cards& deck, uint8_t lead)
    {
        table.setNextDeal(deck, lead);
        ready();
        deal();
    }
    void play(int chair, const Cards& cards) { table.receive(&seats[size_t(chair)], BuildPlay(uint8_t(chair), cards)); }
    void pass(int chair) { table.receive(&seats[size_t(chair)], BuildPass(uint8_t(chair))); }
    // Everybody whose turn it is passes until the trick is won.
    void passRound()
    {
        for (int guard = 0; guard < 4 && round().phase() == GamePhase::Follow; ++guard) pass(round().turn());
    }
    const RoundCore& round() const { return table.game().Round; }
    Cards hand(int chair) const { return round().hand(uint8_t(chair)).vec(); }
    Notice lastNotice(int viewer = 0) const { return ReadNotice(seats[size_t(viewer)].last(MsgKind::OutPai)); }
    int refusalsTo(int chair) const { return seats[size_t(chair)].count(MsgKind::OutPaiRefused); }
    QString lastRefusal(int chair) const
    {
        const QList<ParsedMsg> r = seats[size_t(chair)].of(MsgKind::OutPaiRefused);
        return r.isEmpty() ? QString() : r.back().text;
    }
};

Cards SuitRun(int suit, int from, int to)
{
    Cards v;
    for (int r = from; r <= to; ++r) v.push_back(Code(suit, r));
    return v;
}
Cards Desc(Cards c)
{
    SortPaiDesc(c.data(), int(c.size()));
    return c;
}
Cards Four(int rank) { return {Code(0, rank), Code(1, rank), Code(2, rank), Code(3, rank)}; }
Cards operator+(Cards a, const Cards& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// ---- Dealing ---------------------------------------------------------------------------------

TEST(Dealing, EveryCardOncePerDeckAndEachPlayerGetsItsHand)
{
    for (int decks : {1, 2}) {
        Room room(Options(4, decks));
        room.ready();
        ASSERT_TRUE(room.table.game().Running);
        room.deal();
        const int n = decks == 1 ? 13 : 27;
        std::map<uint8_t, int> seen;
        for (int c = 0; c < 4; ++c) {
            const Cards hand = room.hand(c);
            ASSERT_EQ(int(hand.size()), n);
            for (uint8_t x : hand) ++seen[x];
            // The deal the player got is its hand, in the client's layout.
            EXPECT_EQ(room.seats[size_t(c)].last(MsgKind::Deal), BuildDeal(false, hand, {}));
            EXPECT_EQ(room.seats[size_t(c)].count(MsgKind::Start), 1);
        }
        for (uint8_t x : room.table.game().Spare) ++seen[x];
        ASSERT_EQ(seen.size(), 54u) << decks;
        for (const auto& [code, k] : seen) EXPECT_EQ(k, decks) << int(code);
        EXPECT_EQ(room.table.game().Spare.size(), decks == 1 ? 2u : 0u);
        // GM_START carries the deck count and the turn seconds.
        const QByteArray start = room.seats[0].last(MsgKind::Start);
        EXPECT_EQ(uint8_t(start[11]), decks);
        EXPECT_EQ(uint8_t(start[13]), 30);
    }
}

TEST(Dealing, SameSeedSameDeal)
{
    Room a(Options(4)), b(Options(4));
    a.ready();
    b.ready();
    for (int c = 0; c < 4; ++c) EXPECT_EQ(a.hand(c), b.hand(c));
    EXPECT_EQ(a.round().lead(), b.round().lead());
}

TEST(Dealing, LeadWaitsForEveryDealRequest)
{
    Room room(Options(4));
    const Cards deck = StackDeck({SuitRun(0, R3, R2), {}, {}, {}});
    room.table.setNextDeal(deck, 0);
    room.ready();
    room.table.receive(&room.seats[0], BuildDealRequest(0));
    room.play(0, {Code(0, R3)});
    EXPECT_EQ(room.seats[1].count(MsgKind::OutPai), 0) << "played before the others had their cards";
    for (int c = 1; c < 4; ++c) room.table.receive(&room.seats[size_t(c)], BuildDealRequest(uint8_t(c)));
    ASSERT_EQ(room.seats[1].count(MsgKind::OutPai), 1);
    EXPECT_EQ(room.lastNotice(1).cards, Cards{Code(0, R3)});
}

// A player asking for its hands (or, late, for its deal) gets its own hand and its partner's
// true count, the partner's cards hidden: no card of another hand goes with it.
TEST(Dealing, TheHandsAnswerCountsThePartnerAndShowsNoneOfItsCards)
{
    const struct {
        const char* what;
        QByteArray (*request)(uint8_t);
    } cases[] = {{"the hands request", BuildHandsRequest}, {"a deal request after the first moves", BuildDealRequest}};
    for (const auto& tc : cases) {
        Room room(Options(4));
        room.start(StackDeck({SuitRun(0, R3, R2), SuitRun(1, R3, R2), SuitRun(2, R3, R2), {}}), 0);
        room.play(0, SuitRun(0, R3, R7));
        room.pass(1);
        room.pass(2);
        room.pass(3);
        room.play(0, {Code(0, R8)});
        room.pass(1);
        room.play(2, {Code(2, R9)});
        ASSERT_EQ(room.round().count(2), 12) << tc.what;
        room.table.receive(&room.seats[2], tc.request(2));
        const ReceivedMsg got = DecodeServerMsg(room.seats[2].last(MsgKind::Hands));
        const HandsMsg* h = got.as<HandsMsg>();
        ASSERT_NE(h, nullptr) << tc.what;
        EXPECT_EQ(Desc(h->mine), Desc(room.hand(2))) << tc.what;
        EXPECT_EQ(int(h->partner.size()), room.round().count(0)) << tc.what;
        EXPECT_EQ(int(h->partner.size()), 7) << tc.what;
        for (uint8_t c : h->partner) EXPECT_EQ(c, kHiddenCardCode) << tc.what;
    }
}

// ---- Turns, tricks, the end of a game ---------------------------------------------------------

// Chairs 0 and 2 each hold a run from three to ace of one suit and that suit's two.
struct TwoRunsGame : ::testing::Test {
    Room room{Options(4)};
    void SetUp() override { room.start(StackDeck({SuitRun(0, R3, R2), {}, SuitRun(1, R3, R2), {}}), 0); }
};

TEST_F(TwoRunsGame, TricksTurnsAndScores)
{
    // A trick won by a chair still in play: it leads again, its points go to its side.
    room.play(0, SuitRun(0, R3, RA));
    EXPECT_EQ(room.lastNotice().next, 1);
    EXPECT_EQ(room.lastNotice().phase, 2);
    room.pass(1);
    room.pass(2);
    room.pass(3);
    Notice n = room.lastNotice();
    EXPECT_EQ(n.chair, 3);
    EXPECT_EQ(n.phase, 1);
    EXPECT_EQ(n.next, 0);
    EXPECT_EQ(room.round().teamScore(), (std::array<int32_t, 2>{25, 0}));

    // Chair 0 goes out: first place; the trick it won is led by its partner.
    room.play(0, {Code(0, R2)});
    n = room.lastNotice();
    EXPECT_EQ(n.place, 1);
    EXPECT_EQ(n.next, 1);
    room.pass(1);
    room.pass(2);
    room.pass(3);
    n = room.lastNotice();
    EXPECT_EQ(n.phase, 1);
    EXPECT_EQ(n.next, 2) << "the partner of a chair that went out leads";

    // The turn passes over the chair that went out.
    room.play(2, SuitRun(1, R3, RA));
    EXPECT_EQ(room.lastNotice().next, 3);
    room.pass(3);
    EXPECT_EQ(room.lastNotice().next, 1);
    room.pass(1);
    EXPECT_EQ(room.lastNotice().phase, 1);
    EXPECT_EQ(room.lastNotice().next, 2);

    // Both of one side out: the last play, then the long game-over.
    room.play(2, {Code(1, R2)});
    n = room.lastNotice();
    EXPECT_EQ(n.place, 2);
    EXPECT_EQ(n.phase, 0);
    ASSERT_EQ(room.seats[1].count(MsgKind::GameOver), 1);
    const QByteArray over = room.seats[1].last(MsgKind::GameOver);
    EXPECT_EQ(over, BuildGameOver(true, {kStake, -kStake, kStake, -kStake}, {50, 0},
                                  {CardList{}, Desc(room.hand(1)), CardList{}, Desc(room.hand(3))}));
    EXPECT_FALSE(room.table.game().Running);
    EXPECT_EQ(room.table.gamesPlayed(), 1);
    // The start is offered again after the pause.
    const int offers = room.seats[0].count(MsgKind::GameSet);
    room.clock.advance(0);
    EXPECT_GT(room.seats[0].count(MsgKind::GameSet), offers);
    EXPECT_TRUE(room.log.filter(QStringLiteral("over game=1")).size() == 1);
}

TEST_F(TwoRunsGame, IllegalPlaysAreRefusedWithTheRulesMessage)
{
    struct Case {
        int chair;
        Cards cards;
        const char* reason;
    };
    const std::vector<Case> atLead{
        {1, {Code(2, R3)}, "错误提示：还没有轮到你出牌！"},
        {0, {kPassCode}, "错误提示：你是首家，必须出牌！"},
        {0, {Code(0, R3), Code(0, R5)}, "错误提示：牌型不对！"},
        {0, {Code(2, R3)}, "错误提示：你手里没有这些牌！"},
        {0, {Code(0, R3), Code(0, R3)}, "错误提示：你手里没有这些牌！"},
    };
    for (const Case& c : atLead) {
        const int before = room.refusalsTo(c.chair);
        room.play(c.chair, c.cards);
        EXPECT_EQ(room.refusalsTo(c.chair), before + 1) << c.reason;
        EXPECT_EQ(room.lastRefusal(c.chair), QString::fromUtf8(c.reason));
    }
    EXPECT_EQ(room.seats[2].count(MsgKind::OutPai), 0) << "a refused play is not shown to the table";
    room.play(0, {Code(0, R9)});
    // Chair 1 holds suit 2 from the three to the two: follow with a run, then with a lower single.
    const Cards hand1 = room.hand(1);
    ASSERT_GE(hand1.size(), 2u);
    room.play(1, {Code(2, R5), Code(2, R4), Code(2, R3)});
    EXPECT_EQ(room.lastRefusal(1), QStringLiteral("错误提示：必须和本轮最大出牌的牌型相同：单牌"));
    room.play(1, {Code(2, R3)});
    EXPECT_EQ(room.lastRefusal(1), QStringLiteral("错误提示：出牌必须比本轮最大出牌还要大！"));
    EXPECT_EQ(room.round().turn(), 1) << "a refusal keeps the turn";
    EXPECT_EQ(room.hand(1), hand1);
    EXPECT_EQ(room.table.refusals(), 7);
}

TEST(GameEnd, EqualPointsChangeNothing)
{
    Room room(Options(4));
    room.start(StackDeck({Four(R3) + Four(R4) + Four(R6) + Cards{Code(0, R7)}, {},
                          Four(R8) + Four(R9) + Four(RJ) + Cards{Code(0, RQ)}, {}}),
               0);
    for (const Cards& p : {Four(R3), Four(R4), Four(R6), Cards{Code(0, R7)}}) {
        room.play(0, p);
        room.passRound();
    }
    ASSERT_EQ(room.round().turn(), 2);
    for (const Cards& p : {Four(R8), Four(R9), Four(RJ), Cards{Code(0, RQ)}}) {
        room.play(2, p);
        room.passRound();
    }
    ASSERT_EQ(room.seats[0].count(MsgKind::GameOver), 1);
    const QByteArray over = room.seats[0].last(MsgKind::GameOver);
    ASSERT_GE(over.size(), 26);
    for (int c = 0; c < 4; ++c) {
        int32_t change = -1;
        ASSERT_TRUE(ReadLongBE(change, over, 2 + 4 * c));
        EXPECT_EQ(change, 0) << c;
    }
}

// ---- Around the game ----------------------------------------------------------------------------

TEST(Room, WelcomeOfAPlayerAndASpectator)
{
    RoomOptions o = Options(1);
    o.botDelayMs = 1000000;   // the bots stay ready but never move
    Room room(o, false);
    Table& table = room.table;
    ASSERT_TRUE(room.botsReady());
    FakeSeat a, b;
    table.join(&a, 1);
    ASSERT_GE(a.got.size(), 5);
    const QList<MsgKind> order{MsgKind::Identity, MsgKind::UserList, MsgKind::DaoJuList, MsgKind::MyDaoJuList, MsgKind::GameSet};
    for (int i = 0; i < order.size(); ++i) EXPECT_EQ(ParseMessage(a.got[i], Sender::Server).kind, order[i]) << i;
    EXPECT_EQ(a.of(MsgKind::Identity)[0].fields, (QStringList{QStringLiteral("甲"), QStringLiteral("甲")}));
    EXPECT_EQ(a.of(MsgKind::UserList)[0].text.split(QLatin1Char('\n')).size(), 4);
    EXPECT_LE(a.of(MsgKind::GameSet)[0].fields[5].toInt(), 0) << "the start is offered";
    // Items: two types, six items, the user's starting items in ID:count:YYYYMMDDHH triples.
    const QStringList cat = a.of(MsgKind::DaoJuList)[0].text.split(QLatin1Char('`'));
    ASSERT_GE(cat.size(), 4);
    EXPECT_EQ(cat.size(), 1 + cat[0].toInt() + 1 + cat[1 + cat[0].toInt()].toInt() * 10);
    const QStringList mine = a.of(MsgKind::MyDaoJuList)[0].text.split(QLatin1Char(':'));
    EXPECT_EQ(mine.size() % 3, 0);
    EXPECT_EQ(mine[2].size(), 10);

    table.join(&b, 1);
    EXPECT_EQ(b.of(MsgKind::Identity)[0].fields[1], QStringLiteral("甲")) << "a spectator watches the first human";
    ASSERT_EQ(a.count(MsgKind::PangGuanIn), 1);
    EXPECT_EQ(a.of(MsgKind::PangGuanIn)[0].fields[UF_Watched], QStringLiteral("甲"));
    EXPECT_EQ(b.count(MsgKind::TableSnapshot), 1);
    EXPECT_EQ(b.count(MsgKind::GameSet), 0);

    // The spectator setting goes to the spectators of that player.
    table.receive(&a, BuildSeePaiSetting(QStringLiteral("甲"), 0));
    EXPECT_EQ(b.last(MsgKind::SeePai), BuildSeePai(false));
    // A ready hand is shown to all; the game starts with four hands up.
    table.receive(&a, BuildReady(0));
    EXPECT_EQ(b.raw(MsgKind::Ready).front(), BuildReady(0)) << "the person's hand first, then the bots'";
    ASSERT_TRUE(table.game().Running);
    EXPECT_EQ(uint8_t(b.raw(MsgKind::HandUp).back()[1]), 2) << "the last hand lowers them all";
    // ...and comes after every ready and before the start, so no hand stays up.
    int lastReady = -1, lastHandUp = -1, start = -1;
    for (int i = 0; i < b.got.size(); ++i) {
        const MsgKind k = ParseMessage(b.got[i], Sender::Server).kind;
        if (k == MsgKind::Ready) lastReady = i;
        if (k == MsgKind::HandUp) lastHandUp = i;
        if (k == MsgKind::Start) start = i;
    }
    EXPECT_LT(lastReady, lastHandUp);
    EXPECT_LT(lastHandUp, start);
    // A spectator the player does not let see the cards gets the deal without them; one who
    // comes later, the table.
    EXPECT_EQ(b.last(MsgKind::Deal), BuildDeal(false, Cards(13, kHiddenCard), {}));
    FakeSeat late;
    table.join(&late, 1);
    const QByteArray snap = late.last(MsgKind::TableSnapshot);
    ASSERT_GT(snap.size(), 33);
    EXPECT_NE(uint8_t(snap[2]), 0) << "a game runs";
    EXPECT_EQ(uint8_t(snap[4]), 0) << "the player does not let spectators see the cards";
    // A spectator who goes is announced as one.
    table.leave(&late);
    EXPECT_EQ(a.of(MsgKind::PangGuanOut).back().text, late.of(MsgKind::Identity)[0].fields[0]);
}

TEST(Room, ChatIsRelayedAndWhispersStayPrivate)
{
    Room room(Options(4));
    QStringList f{QStringLiteral("冒名"), QStringLiteral("所有人"), QStringLiteral("冒名"), QStringLiteral("所有人"),
                  QStringLiteral("你好"), QStringLiteral("#000000"), QStringLiteral("0"), QStringLiteral("0"),
                  QStringLiteral("12:00:00"), QString()};
    room.table.receive(&room.seats[1], BuildChat(f));
    for (const FakeSeat& s : room.seats) {
        ASSERT_EQ(s.count(MsgKind::Chat), 1);
        const QStringList got = s.of(MsgKind::Chat)[0].fields;
        EXPECT_EQ(got[0], QStringLiteral("乙")) << "the sender is who the table knows";
        EXPECT_EQ(got[2], QStringLiteral("乙"));
        EXPECT_EQ(got[4], QStringLiteral("你好"));
    }
    f[1] = QStringLiteral("丁");
    f[7] = QStringLiteral("1");
    room.table.receive(&room.seats[1], BuildChat(f));
    EXPECT_EQ(room.seats[3].count(MsgKind::Chat), 2);
    EXPECT_EQ(room.seats[1].count(MsgKind::Chat), 2);
    EXPECT_EQ(room.seats[0].count(MsgKind::Chat), 1);
    EXPECT_EQ(room.seats[2].count(MsgKind::Chat), 1);
}

// A sender's chat: a burst of lines, then one line for each refill time on the table's clock; a
// run of refusals is one line of the log, whatever its lines were refused for.
TEST(Room, ChatBeyondItsRateIsRefusedAndLoggedOnceARun)
{
    Room room(Options(4));
    QStringList f{QStringLiteral("乙"), QStringLiteral("所有人"), QStringLiteral("乙"), QStringLiteral("所有人"),
                  QStringLiteral("你好"), QStringLiteral("#000000"), QStringLiteral("0"), QStringLiteral("0"),
                  QStringLiteral("12:00:00"), QString()};
    const auto send = [&](int lines) {
        for (int i = 0; i < lines; ++i) room.table.receive(&room.seats[1], BuildChat(f));
    };
    const auto refusalLines = [&] { return room.log.filter(QStringLiteral("chat refused from=乙")).size(); };
    send(kChatBurst + 5);
    EXPECT_EQ(room.seats[0].count(MsgKind::Chat), kChatBurst);
    EXPECT_EQ(refusalLines(), 1);
    room.clock.advance(kChatRefillMs - 1);
    send(1);
    EXPECT_EQ(room.seats[0].count(MsgKind::Chat), kChatBurst);
    room.clock.advance(1);
    send(2);
    EXPECT_EQ(room.seats[0].count(MsgKind::Chat), kChatBurst + 1);
    EXPECT_EQ(refusalLines(), 2) << "a relayed line ends a run";
    room.clock.advance(10 * kChatRefillMs);
    f[4] = QString(kMaxChatChars, QLatin1Char('x'));
    send(1);
    EXPECT_EQ(room.seats[0].count(MsgKind::Chat), kChatBurst + 1) << "too long, with time to spare";
    EXPECT_EQ(refusalLines(), 2);
}

TEST(Room, PurchaseAnswersWithANoticeAndTheNewList)
{
    Room room(Options(4));
    FakeSeat& s = room.seats[2];
    room.table.receive(&s, BuildBuyDaoJu(5001));
    ASSERT_EQ(s.count(MsgKind::DaoJuNotice), 1);
    EXPECT_TRUE(s.of(MsgKind::DaoJuNotice)[0].text.startsWith(QStringLiteral("购买成功：鲜花")));
    ASSERT_EQ(s.count(MsgKind::MyDaoJuList), 2);
    const QStringList after = s.of(MsgKind::MyDaoJuList).back().text.split(QLatin1Char(':'));
    const int at = int(after.indexOf(QStringLiteral("5001")));
    ASSERT_GE(at, 0);
    EXPECT_EQ(after[at + 1], QStringLiteral("20")) << "ten to start with, ten bought";
    // Something not for sale: a notice and no new list.
    room.table.receive(&s, BuildBuyDaoJu(42));
    EXPECT_EQ(s.count(MsgKind::DaoJuNotice), 2);
    EXPECT_EQ(s.count(MsgKind::MyDaoJuList), 2);
    EXPECT_EQ(room.seats[1].count(MsgKind::DaoJuNotice), 0);
}

TEST(Room, ABotMovesWhenItsPauseIsOverOnTheClock)
{
    for (int delay : {1, 700}) {
        RoomOptions o = Options(1);
        o.botDelayMs = delay;
        Room room(o);
        const FakeSeat& a = room.seats[0];
        ASSERT_TRUE(room.botsReady());
        room.start(StackDeck({SuitRun(0, R3, R2), {}, {}, {}}), 1);
        ManualClock::RunPendingEvents();
        ASSERT_FALSE(room.table.game().Dealing) << delay;
        room.clock.advance(delay - 1);
        EXPECT_EQ(a.count(MsgKind::OutPai), 0) << delay;
        room.clock.advance(1);
        ASSERT_EQ(a.count(MsgKind::OutPai), 1) << delay;
        EXPECT_EQ(ReadNotice(a.last(MsgKind::OutPai)).chair, 1) << "the lead bot, " << delay;
    }
}

TEST(Room, SettingsRoundBeforeTheFirstGame)
{
    RoomOptions o = Options(2);
    o.settingsRound = true;
    Room room(o);
    Table& table = room.table;
    FakeSeat &owner = room.seats[0], &other = room.seats[1];
    const QStringList ownerSet = owner.of(MsgKind::GameSet).back().fields;
    EXPECT_EQ(ownerSet[3], QStringLiteral("1"));
    EXPECT_EQ(ownerSet[5], QStringLiteral("1"));
    EXPECT_EQ(ownerSet.mid(7).size(), 6) << "the settings text";
    const QStringList otherSet = other.of(MsgKind::GameSet).back().fields;
    EXPECT_EQ(otherSet[3], QStringLiteral("0"));
    EXPECT_EQ(otherSet[6], QStringLiteral("0")) << "the owner has not decided yet";
    // A join request before the owner decided raises nothing.
    table.receive(&other, BuildHandUpReq(QStringLiteral("乙")));
    EXPECT_EQ(owner.count(MsgKind::Ready), 0);
    // The owner's values (the stake kept within its limits) reach everybody with the owner's hand.
    table.receive(&owner, BuildGameSetDone(QStringLiteral("甲"), QStringLiteral("5000`100`1`30`200`0")));
    const QList<ParsedMsg> hands = other.of(MsgKind::HandUp);
    ASSERT_FALSE(hands.isEmpty());
    EXPECT_EQ(hands.back().fields, (QStringList{QStringLiteral("甲"), "100", "100", "1", "30", "200", "0"}));
    // The bots agree from the event loop but wait for the other person; then the game starts.
    ASSERT_TRUE(room.botsReady());
    EXPECT_EQ(other.count(MsgKind::Ready), 1);
    EXPECT_FALSE(table.game().Running);
    table.receive(&other, BuildHandUpReq(QStringLiteral("乙")));
    EXPECT_TRUE(table.game().Running);
    EXPECT_EQ(table.settingsText(), QStringLiteral("100`100`1`30`200`0"));
}

TEST(Room, ADroppedPlayerIsReplacedByABot)
{
    RoomOptions o = Options(1);
    o.games = 1;
    Room room(o);
    Table& table = room.table;
    FakeSeat &a = room.seats[0], watcher;
    table.join(&watcher, 1);
    ASSERT_TRUE(room.botsReady());
    room.ready();
    ASSERT_TRUE(table.game().Running);
    // The player goes before even asking for its cards.
    table.leave(&a);
    EXPECT_EQ(watcher.of(MsgKind::UserDropped).back().text, QStringLiteral("甲"));
    ASSERT_TRUE(Spin([&] { return table.gamesPlayed() == 1; }));
    EXPECT_EQ(table.refusals(), 0);
    EXPECT_GT(watcher.count(MsgKind::OutPai), 4);
    EXPECT_EQ(watcher.of(MsgKind::UserOut).back().text, QStringLiteral("甲")) << "gone once the game is over";
    EXPECT_EQ(table.userAt(0), nullptr) << "the chair waits for a person again";
    EXPECT_EQ(room.log.filter(QStringLiteral("escape game=1 chair=0")).size(), 1);
}

TEST(Room, ABotTakingOverInTheMiddleOfATrickPlaysOnFromTheSnapshot)
{
    // Over several seeds: the player leads its lowest card and passes otherwise, and goes when it
    // is to follow a trick that others have passed on already; the bot reads its chair from the
    // snapshot and finishes the game without a refused move.
    int tookOver = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        RoomOptions o = Options(1);
        o.games = 1;
        o.seed = seed;
        Room room(o);
        Table& table = room.table;
        FakeSeat& a = room.seats[0];
        ASSERT_TRUE(room.botsReady());
        room.ready();
        room.deal();
        const RoundCore& r = table.game().Round;
        auto myMove = [&] { return !table.game().Running || (!table.game().Dealing && r.turn() == 0 && IsMovePhase(r.phase())); };
        while (true) {
            ASSERT_TRUE(Spin(myMove)) << seed;
            if (!table.game().Running) break;
            if (r.phase() == GamePhase::Follow && r.passes() > 0) {
                table.leave(&a);
                ++tookOver;
                break;
            }
            if (r.phase() == GamePhase::Lead) table.receive(&a, BuildPlay(0, {LowestCard(r.hand(0).vec())}));
            else table.receive(&a, BuildPass(0));
        }
        ASSERT_TRUE(Spin([&] { return table.gamesPlayed() == 1; })) << seed;
        EXPECT_EQ(table.refusals(), 0) << seed;
    }
    EXPECT_GT(tookOver, 0);
}

// Plays the chair's moves (its lowest card at a lead, a pass otherwise) until the game is over.
bool PlayOut(Table& table, FakeSeat& s, uint8_t chair)
{
    const RoundCore& r = table.game().Round;
    auto myMove = [&] { return !table.game().Running || (!table.game().Dealing && r.turn() == chair && IsMovePhase(r.phase())); };
    for (int guard = 0; guard < 200; ++guard) {
        if (!Spin(myMove)) return false;
        if (!table.game().Running) return true;
        if (r.phase() == GamePhase::Lead) table.receive(&s, BuildPlay(chair, {LowestCard(r.hand(chair).vec())}));
        else table.receive(&s, BuildPass(chair));
    }
    return false;
}

QStringList RowOf(const FakeSeat& s, const QString& name)
{
    const QList<ParsedMsg> lists = s.of(MsgKind::UserList);
    if (lists.isEmpty()) return {};
    for (const QString& row : lists.back().text.split(QLatin1Char('\n')))
        if (row.startsWith(name + QLatin1Char('`'))) return row.split(QLatin1Char('`'));
    return {};
}

TEST(Room, AfterAGameTheListShowsTheResultAndTheBotsWaitForThePerson)
{
    Room room(Options(1));
    Table& table = room.table;
    FakeSeat& a = room.seats[0];
    ASSERT_TRUE(room.botsReady());
    EXPECT_EQ(a.count(MsgKind::HandUp), 0) << "no bot's hand is up before the person's";
    room.ready();
    ASSERT_TRUE(table.game().Running);
    room.deal();
    ASSERT_TRUE(PlayOut(table, a, 0));
    // The list follows the game's end with the score and the counts it changed.
    const qsizetype over = a.got.indexOf(a.last(MsgKind::GameOver));
    ASSERT_GE(over, 0);
    ASSERT_EQ(ParseMessage(a.got.value(over + 1), Sender::Server).kind, MsgKind::UserList);
    int32_t change = 0;
    ASSERT_TRUE(ReadLongBE(change, a.got[over], 2));
    const QStringList row = RowOf(a, QStringLiteral("甲"));
    ASSERT_EQ(row.size(), UF_Count);
    EXPECT_EQ(row[UF_Score], QString::number(change));
    EXPECT_EQ(row[UF_Games], QStringLiteral("1"));
    EXPECT_EQ(row[UF_Won].toInt() + row[UF_Lost].toInt() + row[UF_Drawn].toInt(), 1);
    EXPECT_EQ(row[UF_Won] == QLatin1String("1"), change > 0);
    // However long the person reads the end (short of being closed as idle), no bot raises its
    // hand...
    const int hands = int(a.count(MsgKind::HandUp));
    room.clock.advance(RoomOptions().readySeconds * 1000 - 1);
    ManualClock::RunPendingEvents();
    EXPECT_EQ(a.count(MsgKind::HandUp), hands);
    EXPECT_TRUE(BotsReady(table));
    // ...and the next game starts with the person's.
    table.receive(&a, BuildReady(0));
    EXPECT_TRUE(table.game().Running);
    EXPECT_EQ(table.game().No, 2);
}

TEST(Room, PeopleSitAsPartnersUnlessAskedOtherwise)
{
    struct Case {
        int humans;
        bool opponents;
        std::vector<int> chairs;   // of the people, in the order they join
    };
    for (const Case& c : std::vector<Case>{{2, false, {0, 2}}, {2, true, {0, 1}}, {3, false, {0, 2, 1}}, {3, true, {0, 1, 2}}}) {
        RoomOptions o = Options(c.humans);
        o.opponents = c.opponents;
        Table table(o);
        table.seatBots();
        std::array<FakeSeat, 4> seats;
        for (size_t i = 0; i < c.chairs.size(); ++i) table.join(&seats[i], 1);
        for (int chair = 0; chair < 4; ++chair) {
            const auto at = std::find(c.chairs.begin(), c.chairs.end(), chair);
            ASSERT_NE(table.userAt(chair), nullptr);
            if (at == c.chairs.end()) EXPECT_NE(table.userAt(chair)->bot, nullptr) << c.humans << c.opponents << chair;
            else EXPECT_EQ(table.userAt(chair)->seat, &seats[size_t(at - c.chairs.begin())]) << c.humans << c.opponents << chair;
        }
    }
}

TEST(Room, APlayerWhoDroppedGetsTheChairBackAndPlaysOn)
{
    Room room(Options(1));
    Table& table = room.table;
    const QStringList& log = room.log;
    FakeSeat &a = room.seats[0], watcher, back;
    table.join(&watcher, 1);
    ASSERT_TRUE(room.botsReady());
    room.ready();
    room.deal();
    ASSERT_TRUE(Spin([&] { return !table.game().Dealing; }));
    table.leave(&a);
    ASSERT_TRUE(table.userAt(0)->Dropped);
    table.join(&back, 1);
    EXPECT_EQ(back.of(MsgKind::Identity).value(0).fields, (QStringList{QStringLiteral("甲"), QStringLiteral("甲")}));
    EXPECT_EQ(table.userAt(0)->seat, &back);
    EXPECT_FALSE(table.userAt(0)->Dropped);
    EXPECT_EQ(RowOf(back, QStringLiteral("甲")).value(UF_Dropped), QStringLiteral("0"));
    EXPECT_EQ(watcher.of(MsgKind::UserBack).value(0).text, QStringLiteral("甲"));
    EXPECT_EQ(back.count(MsgKind::UserBack), 0);
    // The snapshot holds the own hand as it is now.
    ASSERT_EQ(back.count(MsgKind::TableSnapshot), 1);
    const TableSnapshotMsg snap = DecodeTableSnapshot(back.last(MsgKind::TableSnapshot));
    ASSERT_EQ(snap.layout, TableSnapshotMsg::Layout::Game);
    Cards mine = table.game().Round.hand(0).vec();
    Cards got = snap.myPai;
    std::sort(mine.begin(), mine.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, mine);
    EXPECT_EQ(back.count(MsgKind::GameSet), 0);
    ASSERT_TRUE(PlayOut(table, back, 0));
    EXPECT_EQ(table.refusals(), 0);
    EXPECT_EQ(log.filter(QStringLiteral("back game=1 chair=0")).size(), 1);
    EXPECT_TRUE(log.filter(QStringLiteral("escape")).isEmpty()) << "back before the end is no escape";
    EXPECT_EQ(table.userAt(0)->seat, &back) << "the player stays for the next game";
    EXPECT_EQ(RowOf(back, QStringLiteral("甲")).value(UF_EscapeRate), QStringLiteral("0"));
}

TEST(Room, LeavingBetweenGamesFreesTheChairAndClosesTheLink)
{
    Room room(Options(4));
    room.table.receive(&room.seats[3], BuildUserOut(QStringLiteral("丁")));
    EXPECT_EQ(room.seats[3].releases, 1);
    EXPECT_EQ(room.seats[0].of(MsgKind::UserOut).back().text, QStringLiteral("丁"));
    EXPECT_EQ(room.table.userAt(3), nullptr);
    // Whoever comes next sits there.
    FakeSeat next;
    room.table.join(&next, 1);
    ASSERT_NE(room.table.userAt(3), nullptr);
    EXPECT_EQ(room.table.userAt(3)->seat, &next);
}

TEST(Room, ASilentPlayerIsMovedForAfterTheGrace)
{
    RoomOptions o = Options(4);
    o.turnSeconds = 1;
    Room room(o);
    room.start(StackDeck({SuitRun(0, R3, R2), {}, {}, {}}), 0);
    // Nobody moves: the lead plays its lowest card once the turn seconds and the grace are over.
    room.clock.advance(1000 + 3000 - 1);
    EXPECT_EQ(room.seats[1].count(MsgKind::OutPai), 0);
    room.clock.advance(1);
    ASSERT_EQ(room.seats[1].count(MsgKind::OutPai), 1);
    EXPECT_EQ(room.lastNotice(1).cards, Cards{Code(0, R3)});
    EXPECT_EQ(room.log.filter(QStringLiteral("timeout game=1 chair=0")).size(), 1);
    // Each follower is passed after its own wait; the trick won, its winner gets two seconds more.
    for (int chair : {1, 2, 3}) {
        room.clock.advance(4000);
        EXPECT_EQ(room.lastNotice().chair, chair);
        EXPECT_EQ(room.lastNotice().cards, Cards{kPassCode});
    }
    EXPECT_EQ(room.lastNotice().phase, WireValue(GamePhase::Lead));
    room.clock.advance(4000);
    EXPECT_EQ(room.lastNotice().chair, 3) << "no move yet: the pause after a won trick";
    room.clock.advance(2000);
    EXPECT_EQ(room.lastNotice().chair, 0);
    EXPECT_EQ(room.lastNotice().cards, Cards{Code(0, R4)});
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
