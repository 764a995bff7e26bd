// The room over loopback: a connection that breaks the framing or sends what no client sends is
// closed, and only that one; a proper client is welcomed and plays on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/core/clock.h"
#include "protocol/framing.h"
#include "server/remoteseat.h"
#include "server/roomserver.h"
#include "rawpeer.h"
#include "serverfixture.h"

using namespace servertest;

namespace {

// A client end on loopback that counts the room's messages.
struct Peer : RawPeer {
    explicit Peer(quint16 port) : RawPeer(port) {}
    int count(MsgKind k) const { return int(of(k).size()); }
};

struct Server : ::testing::Test {
    std::unique_ptr<RoomServer> room;
    QStringList log;
    void SetUp() override
    {
        RoomOptions o;
        o.port = 0;
        o.humans = 2;
        o.opponents = true;  // the two people in chairs 0 and 1
        o.botDelayMs = 1000000;
        room = std::make_unique<RoomServer>(o);
        room->logLine = [this](const QString& l) { log.append(l); };
        QString error;
        ASSERT_TRUE(room->start(error)) << error.toStdString();
    }
};

TEST_F(Server, AHelloIsWelcomed)
{
    Peer p(room->port());
    p.send(BuildHello(1));
    ASSERT_TRUE(Spin([&] { return p.count(MsgKind::GameSet) == 1; }));
    EXPECT_EQ(ParseMessage(p.got[0], Sender::Server).kind, MsgKind::Identity);
    EXPECT_EQ(room->table().userAt(0)->Name, QStringLiteral("玩家"));
}

// A burst may leave megabytes unsent for a moment; only a peer that lets them lie for a while is
// dropped, and only that one.
TEST_F(Server, APeerIsDroppedOnlyWhenItsBacklogStaysUnread)
{
    ManualClock clock;
    Peer reader(room->port());
    // Says hello, then reads nothing; its small receive buffer keeps the kernel from taking in
    // what the room sends it.
    const int stalled = ::socket(AF_INET, SOCK_STREAM, 0);
    const int rcv = 32 * 1024;
    ::setsockopt(stalled, SOL_SOCKET, SO_RCVBUF, &rcv, sizeof rcv);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(room->port());
    ASSERT_EQ(::connect(stalled, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    const QByteArray hello = EncodeFrame(BuildHello(1));
    ASSERT_EQ(::send(stalled, hello.constData(), size_t(hello.size()), 0), hello.size());
    reader.send(BuildHello(1));
    ASSERT_TRUE(Spin([&] { return room->table().userAt(1) != nullptr && room->table().userAt(0) != nullptr; }));
    const QByteArray big(1000000, char(GM_CHAT)), small(1, char(GM_CHAT));
    const auto got = [&](const QByteArray& m) { return reader.got.count(m); };
    // Sixteen megabytes in one go to both: far past what a burst may leave unsent in the old
    // sense, and no reason to drop either.
    for (int chair : {0, 1})
        for (int i = 0; i < 16; ++i) room->table().userAt(chair)->seat->deliver(big);
    Spin([&] { return got(big) >= 16; });
    ASSERT_EQ(got(big), 16);
    EXPECT_FALSE(log.join('\n').contains("does not read")) << log.join('\n').toStdString();
    // Time passes: the one that took nothing meanwhile is dropped at the next message.
    clock.advance(RemoteSeat::kStallMs + 1);
    for (int chair : {0, 1}) room->table().userAt(chair)->seat->deliver(small);
    ASSERT_TRUE(Spin([&] { return log.join('\n').contains("does not read"); }));
    ASSERT_TRUE(Spin([&] { return got(small) == 1; }));
    EXPECT_FALSE(reader.closed());
    EXPECT_EQ(log.filter("does not read").size(), 1);
    ::close(stalled);
}

TEST_F(Server, BrokenPeersAreClosedAloneAndTheTableGoesOn)
{
    Peer good(room->port());
    good.send(BuildHello(1));
    ASSERT_TRUE(Spin([&] { return good.count(MsgKind::GameSet) == 1; }));

    struct Case {
        const char* name;
        QList<QByteArray> raw;   // bytes as they go on the wire
    };
    auto framed = [](const QByteArray& m) { return EncodeFrame(m); };
    QByteArray over(4, char(0));
    over[1] = char(0x10);   // 1 MiB + 1: announced, never needs to arrive
    over[3] = char(0x01);
    const QList<Case> cases{
        {"length_over_the_limit", {over}},
        {"length_zero", {QByteArray(4, char(0))}},
        {"no_hello_first", {framed(BuildReady(1))}},
        {"wrong_game_in_hello", {framed(TextMessage(QByteArray("\x82\x00", 2), QStringLiteral("600`XXXX`1")))}},
        {"unknown_code_after_hello", {framed(BuildHello(1)), framed(QByteArray("\x03\x00", 2))}},
        {"short_play_after_hello", {framed(BuildHello(1)), framed(QByteArray("\x14\x00\x00\x00\x00\x01\x05\x01", 8))}},
        {"chat_with_nine_fields", {framed(BuildHello(1)), framed(BuildChat(QStringList(9, QStringLiteral("x"))))}},
    };
    for (const Case& c : cases) {
        Peer bad(room->port());
        for (const QByteArray& r : c.raw) bad.sock->write(r);
        EXPECT_TRUE(Spin([&] { return bad.closed(); })) << c.name;
        EXPECT_FALSE(good.closed()) << c.name;
    }
    EXPECT_TRUE(Spin([&] { return room->connections() == 1; }));
    EXPECT_GE(log.filter(QStringLiteral("close peer=")).size(), cases.size());
    // The good client still plays: its ready reaches the table.
    const int before = good.count(MsgKind::Ready);
    good.send(BuildReady(0));
    EXPECT_TRUE(Spin([&] { return good.count(MsgKind::Ready) > before; }));
}

TEST_F(Server, AFrameInPiecesIsOneMessage)
{
    Peer p(room->port());
    const QByteArray f = EncodeFrame(BuildHello(1));
    for (char b : f) {
        p.sock->write(&b, 1);
        p.sock->flush();
        QTest::qWait(2);
    }
    EXPECT_TRUE(Spin([&] { return p.count(MsgKind::Identity) == 1; }));
}

TEST_F(Server, ALeavingClientIsClosed)
{
    Peer p(room->port());
    p.send(BuildHello(1));
    ASSERT_TRUE(Spin([&] { return p.count(MsgKind::Identity) == 1; }));
    p.send(BuildUserOut(QStringLiteral("玩家")));
    EXPECT_TRUE(Spin([&] { return p.closed(); }));
    EXPECT_EQ(room->table().userAt(0), nullptr);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
