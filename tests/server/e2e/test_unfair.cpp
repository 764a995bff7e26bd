// The room program against peers that would take what is not theirs or hold the table up, over
// real sockets from several loopback addresses: a dropped chair and its hand stay with their
// person, a hidden hand never reaches a spectator, whispers reach their one target, squatters are
// closed, slow readers stay within the room's budget while the table plays on, a flood of refused
// moves leaves the log small, and a silent player is handed to a bot. What happened is read from
// the log in its order; the waits are hang bounds only.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTcpSocket>
#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "../rawpeer.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "protocol/received.h"
#include "protocol/shapes.h"
#include "support/roomprocess.h"
#include "support/timing.h"

namespace {

using testsupport::kHangMs;
using testsupport::WaitFor;
using servertest::RawPeer;

constexpr uint8_t kHidden = kHiddenCardCode;   // a card the room does not show

// A raw connection from a loopback address of its own, keeping what the room sends.
struct Peer : RawPeer {
    Peer(quint16 port, const char* from, int allow = -1) : RawPeer(port, from)
    {
        if (allow >= 0) send(BuildHello(uint8_t(allow)));
    }
    // The name the room gave this peer.
    QString name() const
    {
        const QList<ReceivedMsg> ids = of(MsgKind::Identity);
        return ids.isEmpty() || !ids[0].as<IdentityMsg>() ? QString() : ids[0].as<IdentityMsg>()->myName;
    }
    // Every card of a hand this peer was shown: deals, hands and snapshots.
    std::set<uint8_t> cardsShown() const
    {
        std::set<uint8_t> seen;
        const auto add = [&](const std::vector<uint8_t>& v) {
            for (uint8_t c : v)
                if (c != kHidden) seen.insert(c);
        };
        for (const QByteArray& m : got) {
            const ReceivedMsg r = DecodeServerMsg(m);
            if (const DealMsg* d = r.as<DealMsg>()) add(d->cards);
            if (const HandsMsg* h = r.as<HandsMsg>()) add(h->mine), add(h->partner);
            if (const TableSnapshotMsg* t = r.as<TableSnapshotMsg>()) add(t->myPai), add(t->partnerPai);
        }
        return seen;
    }
};

QByteArray Whisper(const QString& to, const QString& text)
{
    return BuildChat({QStringLiteral("x"), to, QStringLiteral("x"), to, text, QStringLiteral("#000000"), "0", "1", "12:00:00", ""});
}

std::string Log(const testsupport::RoomProcess& room) { return room.lines.join('\n').toStdString(); }

// The person (127.0.0.1, hiding the cards) drops: a stranger from 127.0.0.2 only watches and sees
// no card; the spectator there from the start never saw one; the person comes back to the chair
// and the hand; whispers reach their one target, and a whisper to nobody only its sender's notice.
TEST(UnfairPeers, TheChairAndTheHandStayWithTheirPerson)
{
    testsupport::RoomProcess room;
    ASSERT_TRUE(room.start({"--humans", "1", "--bot-delay", "600000", "--name", "甲"}));
    auto person = std::make_unique<Peer>(room.port, "127.0.0.1", 0);
    ASSERT_TRUE(WaitFor([&] { return room.has("join chair=0"); })) << Log(room);
    Peer early(room.port, "127.0.0.1", 1);
    ASSERT_TRUE(WaitFor([&] { return room.has("watch name="); })) << Log(room);
    person->send(BuildReady(0));
    ASSERT_TRUE(WaitFor([&] { return room.has("start game=1"); })) << Log(room);
    person->send(BuildDealRequest(0));
    ASSERT_TRUE(WaitFor([&] { return !early.of(MsgKind::Deal).isEmpty(); })) << Log(room);
    std::vector<uint8_t> mine, partner;
    ASSERT_TRUE(early.of(MsgKind::Deal).back().as<DealMsg>()->split(13, mine, partner));
    EXPECT_EQ(mine, std::vector<uint8_t>(13, kHidden));

    person.reset();
    ASSERT_TRUE(WaitFor([&] { return room.has("drop game=1 chair=0"); })) << Log(room);
    Peer stranger(room.port, "127.0.0.2", 1);
    ASSERT_TRUE(WaitFor([&] { return room.count("watch name=") == 2; })) << Log(room);
    ASSERT_TRUE(WaitFor([&] { return !stranger.of(MsgKind::TableSnapshot).isEmpty(); })) << Log(room);
    EXPECT_FALSE(room.has("back "));
    EXPECT_TRUE(stranger.cardsShown().empty());
    EXPECT_NE(stranger.name(), QStringLiteral("甲"));

    Peer back(room.port, "127.0.0.1", 0);
    ASSERT_TRUE(WaitFor([&] { return room.has("back game=1 chair=0 name=甲"); })) << Log(room);
    ASSERT_TRUE(WaitFor([&] { return back.cardsShown().size() == 13; })) << Log(room);
    EXPECT_TRUE(early.cardsShown().empty());
    EXPECT_TRUE(stranger.cardsShown().empty());

    const QString earlyName = early.name();
    back.send(Whisper(earlyName, QStringLiteral("悄悄")));
    back.send(Whisper(QStringLiteral("没这个人"), QStringLiteral("悄悄")));
    ASSERT_TRUE(WaitFor([&] { return !back.of(MsgKind::Notice).isEmpty(); })) << Log(room);
    ASSERT_TRUE(WaitFor([&] { return early.of(MsgKind::Chat).size() == 1; })) << Log(room);
    // The room answers in order: by the notice, the whisper has reached everybody it was for.
    WaitFor([&] { return false; }, 300);
    EXPECT_EQ(back.of(MsgKind::Chat).size(), 1);
    EXPECT_EQ(stranger.of(MsgKind::Chat).size(), 0);
    EXPECT_EQ(room.count("chat refused from=甲 nobody named"), 1);
}

// A squatter alone at the table is closed at the ready deadline and the next person gets the
// chair; an address closed twice is refused at the door for a while, others are not.
TEST(UnfairPeers, SquattersAreClosedAndRefused)
{
    testsupport::RoomProcess room;
    ASSERT_TRUE(room.start({"--humans", "1", "--bot-delay", "600000", "--ready-seconds", "5", "--name", "甲"}));
    for (int round = 1; round <= 2; ++round) {
        Peer squatter(room.port, "127.0.0.3", 1);
        ASSERT_TRUE(WaitFor([&] { return room.count("join chair=0") == round; })) << Log(room);
        ASSERT_TRUE(WaitFor([&] { return room.count("idle chair=0 name=甲") == round; })) << Log(room);
        ASSERT_TRUE(WaitFor([&] { return squatter.closed() || squatter.sock->waitForDisconnected(100); })) << Log(room);
    }
    Peer refused(room.port, "127.0.0.3", 1);
    ASSERT_TRUE(WaitFor([&] { return room.lines.filter(QStringLiteral("refused for a while")).size() == 1; })) << Log(room);
    EXPECT_TRUE(room.lines.filter(QStringLiteral("refused for a while"))[0].startsWith(QStringLiteral("close peer=127.0.0.3:")));
    EXPECT_EQ(room.count("join chair=0"), 2);
    Peer person(room.port, "127.0.0.1", 1);
    ASSERT_TRUE(WaitFor([&] { return room.count("join chair=0") == 3; })) << Log(room);
    person.send(BuildReady(0));
    ASSERT_TRUE(WaitFor([&] { return room.has("start game=1"); })) << Log(room);
}

// Slow readers chatting at the allowed rate: the room closes the ones that hold the most once
// the backlog of all passes the budget, the reading spectator stays, and the bots play on.
TEST(UnfairPeers, SlowReadersStayWithinTheBudgetAndTheTablePlaysOn)
{
    constexpr int kBudgetMb = 2, kReaders = 24;
    testsupport::RoomProcess room;
    ASSERT_TRUE(room.start({"--humans", "0", "--bot-delay", "5", "--turn-seconds", "5", "--backlog-mb",
                            QString::number(kBudgetMb), "--bots", "basic,basic,basic,basic"}));
    Peer watcher(room.port, "127.0.0.1", 1);
    std::vector<std::unique_ptr<Peer>> slow;
    const char* from[] = {"127.0.0.4", "127.0.0.5"};
    for (int i = 0; i < kReaders; ++i) {
        slow.push_back(std::make_unique<Peer>(room.port, from[i % 2], 1));
        slow.back()->reading = false;
        slow.back()->sock->setReadBufferSize(4096);
    }
    ASSERT_TRUE(WaitFor([&] { return room.count("watch name=") == kReaders + 1; })) << Log(room);
    const QString text(940, QChar(0x6C49));   // a line as long as the room relays
    const auto closedForBudget = [&] { return room.lines.filter(QStringLiteral("room's backlog")).size(); };
    const int gamesBefore = room.count("over game=");
    // Each chats at the allowed rate and takes 16 KiB now and then, until the budget has bitten
    // and the table has played on after it.
    int round = 0;
    ASSERT_TRUE(WaitFor([&] {
        ++round;
        for (auto& p : slow) {
            if (p->closed() || !p->sock->isOpen()) continue;
            p->send(BuildChat({"x", "所有人", "x", "所有人", text, "#000000", "0", "0", "12:00:00", ""}));
            if (round % 4 == 0) p->sock->read(16 * 1024);
        }
        WaitFor([] { return false; }, 500);
        const qsizetype at = room.lines.indexOf(QRegularExpression(QStringLiteral("^close peer=.*room's backlog.*")));
        return at >= 0 && room.lines.mid(at).filter(QRegularExpression(QStringLiteral("^over game="))).size() >= 2;
    }, 4 * kHangMs)) << room.tail(40);
    EXPECT_GT(closedForBudget(), 0);
    EXPECT_GT(room.count("over game="), gamesBefore);
    EXPECT_FALSE(watcher.closed()) << "a spectator that reads is not closed while the slow ones hold the most";
    // Each close found the room just past its budget: by one message, not by megabytes.
    for (const QString& l : room.lines.filter(QRegularExpression(QStringLiteral("room's backlog")))) {
        const auto m = QRegularExpression(QStringLiteral("(\\d+) in all, budget (\\d+)")).match(l);
        ASSERT_TRUE(m.hasMatch()) << l.toStdString();
        EXPECT_LE(m.captured(1).toLongLong(), m.captured(2).toLongLong() + 64 * 1024) << l.toStdString();
    }
    if (!testsupport::Sanitized()) {
        EXPECT_LT(testsupport::PeakRssKb(room.proc.processId()), 200 * 1024);
    }
}

// A seated peer floods bad plays as fast as it can: a few refusal lines, a summary at most, the
// link closed past the limit and a bot in the chair.
TEST(UnfairPeers, AFloodOfRefusedMovesLeavesTheLogSmall)
{
    testsupport::RoomProcess room;
    ASSERT_TRUE(room.start({"--humans", "1", "--auto-ready", "--bot-delay", "600000", "--name", "甲"}));
    Peer p(room.port, "127.0.0.1", 1);
    ASSERT_TRUE(WaitFor([&] { return room.has("start game=1"); })) << Log(room);
    // Once every hand is dealt, each bad play is refused rather than held for the lead.
    p.send(BuildDealRequest(0));
    ASSERT_TRUE(WaitFor([&] { return !p.of(MsgKind::Deal).isEmpty(); })) << Log(room);
    WaitFor([] { return false; }, 300);
    const qsizetype before = room.lines.size();
    QByteArray burst;
    const QByteArray bad = EncodeFrame(BuildPlay(0, {53, 53, 53}));
    for (int i = 0; i < 5000; ++i) burst += bad;
    p.sock->write(burst);
    ASSERT_TRUE(WaitFor([&] { return room.has("drop game=1 chair=0"); })) << Log(room);
    ASSERT_TRUE(WaitFor([&] { return p.closed() || p.sock->waitForDisconnected(100); })) << Log(room);
    WaitFor([] { return false; }, 300);
    const QStringList flood = room.lines.mid(before);
    EXPECT_LE(flood.filter(QRegularExpression(QStringLiteral("^refused game="))).size(), 10) << Log(room);
    EXPECT_LT(flood.join('\n').toUtf8().size(), 8 * 1024) << Log(room);
    EXPECT_TRUE(room.has("flood game=1 chair=0"));
}

// A player whose client says nothing at all is handed to a bot after the clients' own limit of
// moves made for them, and the game ends.
TEST(UnfairPeers, ASilentPlayerIsHandedToABot)
{
    testsupport::RoomProcess room;
    ASSERT_TRUE(room.start({"--humans", "1", "--auto-ready", "--bot-delay", "20", "--turn-seconds", "1",
                            "--auto-out-limit", "2", "--games", "1", "--bots", "basic,basic,basic,basic"}));
    Peer silent(room.port, "127.0.0.1", 1);
    silent.reading = false;
    ASSERT_TRUE(WaitFor([&] { return room.has("done games=1"); }, 4 * kHangMs)) << Log(room);
    ASSERT_TRUE(room.has("silent game=1 chair=0")) << Log(room);
    const qsizetype dropAt = room.lines.indexOf(QRegularExpression(QStringLiteral("^drop game=1 chair=0.*")));
    ASSERT_GE(dropAt, 0) << Log(room);
    EXPECT_EQ(room.lines.mid(0, dropAt).filter(QRegularExpression(QStringLiteral("^timeout game=1 chair=0"))).size(), 2);
    EXPECT_EQ(room.lines.mid(dropAt).filter(QRegularExpression(QStringLiteral("^timeout game=1 chair=0"))).size(), 0);
}

// Listening on "::" takes IPv4 and IPv6 peers alike, where the system lets one socket take both.
TEST(UnfairPeers, ListeningOnAnyTakesBothFamilies)
{
    testsupport::RoomProcess room;
    if (!room.start({"--humans", "1", "--listen", "::", "--bot-delay", "600000"})) GTEST_SKIP() << "no IPv6 here";
    QTcpSocket v4;
    v4.connectToHost(QHostAddress(QHostAddress::LocalHost), room.port);
    ASSERT_TRUE(v4.waitForConnected(kHangMs));
    v4.write(EncodeFrame(BuildHello(1)));
    v4.flush();
    ASSERT_TRUE(WaitFor([&] { return room.has("join chair=0"); })) << Log(room);
    QTcpSocket v6;
    v6.connectToHost(QHostAddress(QHostAddress::LocalHostIPv6), room.port);
    if (!v6.waitForConnected(kHangMs)) GTEST_SKIP() << "no IPv6 loopback here";
    v6.write(EncodeFrame(BuildHello(1)));
    v6.flush();
    ASSERT_TRUE(WaitFor([&] { return room.has("watch name="); })) << Log(room);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
