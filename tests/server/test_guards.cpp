// The table against peers that would take what is not theirs or hold the others up: a dropped
// chair goes back only to its origin, hidden hands never leave the room, whispers reach their one
// target, idle chairs are closed, floods of refused moves and silent players are handed on; and
// the room's budget for unsent bytes, its peer keys and its throttled log. Time runs on the
// table's clock.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QRegularExpression>
#include <set>

#include "platform/core/clock.h"
#include "protocol/received.h"
#include "protocol/snapshot.h"
#include "server/botplayer.h"
#include "server/backlog.h"
#include "server/hiddenhand.h"
#include "server/idlechairs.h"
#include "server/logthrottle.h"
#include "server/peeraddress.h"
#include "serverfixture.h"

using namespace servertest;

namespace {

RoomOptions Options(int humans)
{
    RoomOptions o;
    o.humans = humans;
    o.botDelayMs = 0;
    o.seed = 11;
    o.names = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")};
    o.botLevels.fill(BotLevel::Basic);
    return o;
}

struct Table1 {
    ManualClock clock;
    Table table;
    QStringList log;
    explicit Table1(const RoomOptions& o) : table(o)
    {
        table.logLine = [this](const QString& l) { log.append(l); };
        table.seatBots();
    }
    // The person raises the hand, the bots follow, the person asks for the cards.
    bool start(FakeSeat& p, uint8_t chair)
    {
        table.receive(&p, BuildReady(chair));
        if (!Spin([&] { return table.game().Running; })) return false;
        table.receive(&p, BuildDealRequest(chair));
        return Spin([&] { return !table.game().Dealing; });
    }
    int lines(const QString& prefix) const { return int(log.filter(QRegularExpression(QStringLiteral("^") + prefix)).size()); }
};

// Every card a seat was shown of any hand: deals, hands and snapshots, as our client decodes them.
std::set<uint8_t> CardsShown(const FakeSeat& s)
{
    std::set<uint8_t> seen;
    const auto add = [&](const std::vector<uint8_t>& v) {
        for (uint8_t c : v)
            if (c != kHiddenCard) seen.insert(c);
    };
    for (const QByteArray& m : s.got) {
        const ReceivedMsg r = DecodeServerMsg(m);
        if (const DealMsg* d = r.as<DealMsg>()) add(d->cards);
        if (const HandsMsg* h = r.as<HandsMsg>()) {
            add(h->mine);
            add(h->partner);
        }
        if (const TableSnapshotMsg* t = r.as<TableSnapshotMsg>()) {
            add(t->myPai);
            add(t->partnerPai);
        }
    }
    return seen;
}

bool Shares(const std::set<uint8_t>& seen, const std::vector<uint8_t>& hand)
{
    return std::any_of(hand.begin(), hand.end(), [&](uint8_t c) { return seen.count(c) > 0; });
}

// A game under way with the person of chair 0 (from 10.0.0.1, hiding the cards) dropped.
struct Dropped : Table1 {
    FakeSeat person{QStringLiteral("10.0.0.1")};
    bool started = false;
    Dropped() : Table1(Options(1))
    {
        table.join(&person, 0);
        started = start(person, 0);
        table.leave(&person);
    }
};

TEST(Guards, ADroppedChairGoesBackOnlyToItsOrigin)
{
    {
        Dropped d;
        ASSERT_TRUE(d.started);
        ASSERT_TRUE(d.table.userAt(0) && d.table.userAt(0)->Dropped);
        // A stranger watches, learns nothing of the hand, and the person still comes back.
        FakeSeat stranger{QStringLiteral("10.0.0.9")};
        d.table.join(&stranger, 1);
        EXPECT_NE(stranger.of(MsgKind::Identity).value(0).fields.value(0), QStringLiteral("甲"));
        EXPECT_TRUE(d.table.userAt(0)->Dropped);
        EXPECT_EQ(d.lines("back "), 0);
        EXPECT_FALSE(Shares(CardsShown(stranger), d.table.game().Round.hand(0).vec()));
        FakeSeat again{QStringLiteral("10.0.0.1")};
        d.table.join(&again, 1);
        EXPECT_EQ(d.table.userAt(0)->seat, &again);
        EXPECT_EQ(d.lines("back game=1 chair=0"), 1);
    }
    {
        // Two from the person's address at once: the first takes the chair, the other watches.
        Dropped d;
        ASSERT_TRUE(d.started);
        FakeSeat first{QStringLiteral("10.0.0.1")}, second{QStringLiteral("10.0.0.1")};
        d.table.join(&first, 0);
        d.table.join(&second, 0);
        EXPECT_EQ(d.table.userAt(0)->seat, &first);
        EXPECT_EQ(first.of(MsgKind::Identity).value(0).fields, (QStringList{QStringLiteral("甲"), QStringLiteral("甲")}));
        EXPECT_TRUE(Shares(CardsShown(first), d.table.game().Round.hand(0).vec()));
        EXPECT_EQ(second.of(MsgKind::Identity).value(0).fields.value(1), QStringLiteral("甲")) << "watches the person";
        EXPECT_FALSE(Shares(CardsShown(second), d.table.game().Round.hand(0).vec()));
    }
}

// A spectator of a player who hides the cards gets the deal, the snapshot and the hands after
// each play with hidden cards of the right count, all of which our client reads; the cards come
// before the permission, and a refusal takes them away again.
TEST(Guards, HiddenHandsStayOffTheWire)
{
    Table1 t(Options(1));
    FakeSeat before, player, early, late;
    t.table.join(&before, 1);
    t.table.join(&early, 1);
    // The chair's next person hides the cards: its spectators learn it.
    t.table.leave(&before);
    t.table.join(&player, 0);
    EXPECT_EQ(early.last(MsgKind::SeePai), BuildSeePai(false));
    t.table.setNextDeal(StackDeck({}), 0);
    ASSERT_TRUE(t.start(player, 0));
    const RoundCore& r = t.table.game().Round;
    // The deal: one hand of hidden cards, as our client takes a deal.
    const ReceivedMsg deal = DecodeServerMsg(early.last(MsgKind::Deal));
    ASSERT_NE(deal.as<DealMsg>(), nullptr);
    std::vector<uint8_t> mine, partner;
    ASSERT_TRUE(deal.as<DealMsg>()->split(13, mine, partner));
    EXPECT_EQ(mine, Cards(13, kHiddenCard));
    // A spectator who comes now: the snapshot, whole, with the count and no card.
    t.table.join(&late, 1);
    const TableSnapshotMsg snap = DecodeTableSnapshot(late.last(MsgKind::TableSnapshot));
    EXPECT_TRUE(snap.whole());
    EXPECT_EQ(snap.canSeePai, 0);
    EXPECT_EQ(snap.myPai, Cards(r.hand(0).size(), kHiddenCard));
    // The player leads: the spectators learn how many cards are left.
    ASSERT_TRUE(r.turn() == 0 && r.phase() == GamePhase::Lead);
    t.table.receive(&player, BuildPlay(0, {LowestCard(r.hand(0).vec())}));
    const ReceivedMsg hands = DecodeServerMsg(late.last(MsgKind::Hands));
    ASSERT_NE(hands.as<HandsMsg>(), nullptr);
    EXPECT_EQ(hands.as<HandsMsg>()->mine, Cards(r.hand(0).size(), kHiddenCard));
    EXPECT_EQ(hands.as<HandsMsg>()->partner.size(), r.hand(2).size());
    for (const FakeSeat* s : {&early, &late}) EXPECT_FALSE(Shares(CardsShown(*s), r.hand(0).vec()));

    // Allowed: the cards, then the permission; refused again: the permission goes first.
    const auto lastHand = [&] {
        const ReceivedMsg m = DecodeServerMsg(late.last(MsgKind::Hands));
        return m.as<HandsMsg>() ? m.as<HandsMsg>()->mine : Cards{};
    };
    const auto kindsAfter = [](const FakeSeat& s, qsizetype from) {
        QList<MsgKind> k;
        for (qsizetype i = from; i < s.got.size(); ++i) k.append(ParseMessage(s.got[i], Sender::Server).kind);
        return k;
    };
    qsizetype mark = late.got.size();
    t.table.receive(&player, BuildSeePaiSetting(QStringLiteral("甲"), 1));
    EXPECT_EQ(kindsAfter(late, mark), (QList<MsgKind>{MsgKind::Hands, MsgKind::SeePai}));
    EXPECT_EQ(lastHand(), r.hand(0).vec());
    mark = late.got.size();
    t.table.receive(&player, BuildSeePaiSetting(QStringLiteral("甲"), 0));
    EXPECT_EQ(kindsAfter(late, mark), (QList<MsgKind>{MsgKind::SeePai, MsgKind::Hands}));
    EXPECT_EQ(lastHand(), Cards(r.hand(0).size(), kHiddenCard));
    EXPECT_EQ(player.count(MsgKind::Hands), 0) << "the player's own hand is not touched";
}

TEST(Guards, AWhisperReachesItsTargetOrNobody)
{
    Table1 t(Options(2));
    FakeSeat a, b, watcher;
    t.table.join(&a, 1);
    t.table.join(&b, 1);
    t.table.join(&watcher, 1);
    const auto whisper = [&](const QString& to, const QString& text = QStringLiteral("嘘")) {
        return BuildChat({QStringLiteral("甲"), to, QStringLiteral("甲"), to, text, QStringLiteral("#000000"),
                          QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("12:00:00"), QString()});
    };
    t.table.receive(&a, whisper(QStringLiteral("乙")));
    EXPECT_EQ(a.count(MsgKind::Chat), 1);
    EXPECT_EQ(b.count(MsgKind::Chat), 1);
    EXPECT_EQ(watcher.count(MsgKind::Chat), 0);
    t.table.receive(&a, whisper(QStringLiteral("谁也不是")));
    EXPECT_EQ(a.count(MsgKind::Chat), 1);
    EXPECT_EQ(b.count(MsgKind::Chat), 1);
    EXPECT_EQ(watcher.count(MsgKind::Chat), 0);
    ASSERT_EQ(a.count(MsgKind::Notice), 1) << "the sender is told";
    EXPECT_TRUE(a.of(MsgKind::Notice)[0].text.contains(QStringLiteral("谁也不是")));
    EXPECT_EQ(t.lines("chat refused from=甲 nobody named"), 1);
    // Every relayed line is logged, its text cut short.
    t.table.receive(&a, whisper(QStringLiteral("乙"), QString(900, QChar(0x5618))));
    const QStringList relayed = t.log.filter(QRegularExpression(QStringLiteral("^chat from=甲 to=乙 ")));
    ASSERT_EQ(relayed.size(), 2);
    EXPECT_LT(relayed[1].size(), kLoggedChatChars + 40);
    EXPECT_TRUE(relayed[1].endsWith(QChar(0x2026)));
}

// A person who holds a kept chair idle is closed once the others are ready (or, owning the
// settings round, once its time is over); the chair waits for the next person, and an address
// closed twice is refused for a while.
TEST(Guards, IdleChairsAreClosed)
{
    RoomOptions o = Options(2);
    const int readyMs = o.readySeconds * 1000;
    {
        Table1 t(o);
        FakeSeat a{QStringLiteral("10.0.0.1")}, squatter{QStringLiteral("10.0.0.7")};
        t.table.join(&squatter, 1);   // chair 0
        // Alone at the table and never ready: waited for from the start.
        t.clock.advance(readyMs - 1);
        EXPECT_TRUE(squatter.closes.isEmpty());
        t.table.join(&a, 1);          // chair 2
        t.table.receive(&a, BuildReady(2));
        t.clock.advance(readyMs - 1);
        EXPECT_TRUE(squatter.closes.isEmpty()) << "the wait starts when the others are ready";
        t.clock.advance(1);
        ASSERT_EQ(squatter.closes.size(), 1);
        EXPECT_EQ(t.lines("idle chair=0 name=甲"), 1);
        EXPECT_EQ(t.table.userAt(0), nullptr);
        EXPECT_FALSE(t.table.refusesOrigin(squatter.from));
        // The next person gets the chair; a second close of one address refuses it for a minute.
        FakeSeat again{QStringLiteral("10.0.0.7")};
        t.table.join(&again, 1);
        ASSERT_NE(t.table.userAt(0), nullptr);
        EXPECT_EQ(t.table.userAt(0)->seat, &again);
        t.clock.advance(readyMs);
        EXPECT_EQ(again.closes.size(), 1);
        EXPECT_TRUE(t.table.refusesOrigin(again.from));
        EXPECT_FALSE(t.table.refusesOrigin(a.from));
        t.clock.advance(IdleChairs::kRefuseMs);
        EXPECT_FALSE(t.table.refusesOrigin(again.from));
        // One who raises in time plays.
        FakeSeat b;
        t.table.join(&b, 1);
        t.clock.advance(readyMs - 1);
        t.table.receive(&b, BuildReady(0));
        EXPECT_TRUE(t.table.game().Running);
        EXPECT_TRUE(b.closes.isEmpty());
    }
    {
        o.settingsRound = true;
        Table1 t(o);
        FakeSeat owner, other;
        t.table.join(&owner, 1);
        t.table.join(&other, 1);
        t.clock.advance(o.settingsSeconds * 1000);
        EXPECT_EQ(owner.closes.size(), 1) << "the owner did not answer";
        EXPECT_TRUE(other.closes.isEmpty());
        EXPECT_EQ(t.lines("idle chair=0"), 1);
    }
}

// A player who floods the table with refused moves: a few lines in the log, a summary, and the
// link closed past the limit, a bot playing on.
TEST(Guards, RefusedMovesAreLoggedSparinglyAndAFloodIsClosed)
{
    RoomOptions o = Options(1);
    o.refusedMoves = 20;
    Table1 t(o);
    FakeSeat p;
    t.table.join(&p, 1);
    ASSERT_TRUE(t.start(p, 0));
    const uint8_t notHeld = t.table.game().Round.hand(1).vec().front();
    for (int i = 0; i < o.refusedMoves; ++i) t.table.receive(&p, BuildPlay(0, {notHeld}));
    EXPECT_EQ(t.lines("refused game="), LogThrottle::kBurst);
    EXPECT_TRUE(p.closes.isEmpty());
    t.clock.advance(LogThrottle::kSummaryMs);
    EXPECT_EQ(t.lines("refused chair=0 name=甲 ×"), 1) << t.log.join('\n').toStdString();
    // Spread out, the same number is no flood; one more within 10 s is.
    t.table.receive(&p, BuildPlay(0, {notHeld}));
    EXPECT_TRUE(p.closes.isEmpty());
    for (int i = 0; i < o.refusedMoves; ++i) t.table.receive(&p, BuildPlay(0, {notHeld}));
    ASSERT_EQ(p.closes.size(), 1);
    EXPECT_EQ(t.lines("drop game=1 chair=0"), 1);
    EXPECT_NE(t.table.userAt(0)->bot, nullptr);
    EXPECT_LE(t.log.size(), 50) << t.log.join('\n').toStdString();
}

// A player whose client says nothing: after the client's own limit of moves made for it, a bot.
TEST(Guards, ASilentPlayerIsHandedToABot)
{
    RoomOptions o = Options(1);
    o.turnSeconds = 1;
    o.autoOutLimit = 2;
    o.games = 1;
    Table1 t(o);
    FakeSeat p;
    t.table.join(&p, 1);
    ASSERT_TRUE(t.start(p, 0));
    ASSERT_TRUE(Spin([&] { return t.lines("drop game=1 chair=0") == 1; }, 120000)) << t.log.join('\n').toStdString();
    EXPECT_EQ(t.lines("timeout game=1 chair=0"), o.autoOutLimit);
    EXPECT_EQ(p.closes.size(), 1);
    ASSERT_TRUE(Spin([&] { return t.table.gamesPlayed() == 1; }, 600000));
    EXPECT_EQ(t.lines("timeout game=1 chair=0"), o.autoOutLimit) << "the bot plays on";
}

TEST(Guards, PeersAreKnownByTheirAddressOrTheirSlash64)
{
    const struct {
        const char* address;
        const char* key;
    } cases[] = {{"192.0.2.7", "192.0.2.7"},
                 {"::ffff:192.0.2.7", "192.0.2.7"},
                 {"2001:db8:1:2:aaaa:bbbb:cccc:dddd", "2001:db8:1:2::/64"},
                 {"2001:db8:1:2::1", "2001:db8:1:2::/64"},
                 {"2001:db8:1:3::1", "2001:db8:1:3::/64"},
                 {"::1", "::/64"}};
    for (const auto& c : cases) EXPECT_EQ(AddressKey(QHostAddress(QString::fromLatin1(c.address))), QString::fromLatin1(c.key)) << c.address;
}

// Past the budget the spectators that hold the most (less what they took lately) go first; a
// player only when the spectators are not enough.
TEST(Guards, TheBacklogBudgetClosesSpectatorsFirst)
{
    const int players[2] = {0, 1};
    const int watchers[3] = {0, 0, 0};
    const auto isPlayer = [&](const void* c) { return c == &players[0] || c == &players[1]; };
    BacklogBudget b(1000);
    b.pending(&players[0], 600);
    b.pending(&watchers[0], 300);
    b.pending(&watchers[1], 100);
    EXPECT_TRUE(b.victims(isPlayer, 0).empty()) << "within the budget nobody goes";
    b.pending(&watchers[2], 300);
    b.drained(&watchers[2], 250, 0);
    // 1300 in all: the spectator that holds 300 and took nothing goes; one that took 250 stays.
    EXPECT_EQ(b.victims(isPlayer, 1000), (std::vector<const void*>{&watchers[0]}));
    b.pending(&players[1], 2000);
    const std::vector<const void*> v = b.victims(isPlayer, 1000);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v.back(), &players[1]) << "the spectators first, then the player holding the most";
    // What was taken over 15 s ago no longer counts.
    b.forget(&players[1]);
    const qint64 later = 1000 + BacklogBudget::kDrainWindowMs + 1000;
    b.drained(&watchers[0], 300, later);
    EXPECT_EQ(b.victims(isPlayer, later), (std::vector<const void*>{&watchers[2]}));
    EXPECT_EQ(b.total(), 1300);
}

// The log's share is per peer: a peer's burst is cut and summed up, while the many peers of a
// long churn each keep their own share, however many have come and gone.
TEST(Guards, TheLogThrottleKeepsEachPeersShare)
{
    ManualClock clock;
    QStringList out;
    LogThrottle log([&](const QString& l) { out.append(l); });
    for (int i = 0; i < 3 * int(LogThrottle::kMaxPeers); ++i) {
        log.write(QString::number(i), QStringLiteral("peer=%1").arg(i), QStringLiteral("close peer=%1").arg(i));
        clock.advance(LogThrottle::kBurst * LogThrottle::kRefillMs / 100);
    }
    EXPECT_EQ(out.size(), 3 * int(LogThrottle::kMaxPeers));
    out.clear();
    for (int i = 0; i < 100; ++i) log.write(QStringLiteral("x"), QStringLiteral("peer=x"), QStringLiteral("refused x"));
    EXPECT_EQ(out.size(), LogThrottle::kBurst);
    clock.advance(LogThrottle::kSummaryMs);
    EXPECT_EQ(out.last(), QStringLiteral("refused peer=x ×%1").arg(100 - LogThrottle::kBurst));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
