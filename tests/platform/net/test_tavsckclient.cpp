// The link component over a real loopback socket: framing in both directions, split and
// coalesced frames, broken frames, and how the link ends.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

#include <sys/socket.h>

#include "platform/net/tavsckclient.h"
#include "support/timing.h"

namespace {

using testsupport::WaitFor;

void Spin(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QByteArray Frame(const QByteArray& msg)
{
    const quint32 n = quint32(msg.size());
    QByteArray f;
    f.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    return f + msg;
}

// A client linked to a loopback server, with everything the client raised recorded.
struct Link {
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    TavSckClient client;
    QList<QByteArray> got;
    int connected = 0, closed = 0, errors = 0;

    Link()
    {
        QObject::connect(&client, &TavSckClient::Connected, [this] { ++connected; });
        QObject::connect(&client, &TavSckClient::DataArrived, [this](const QByteArray& m) { got.append(m); });
        QObject::connect(&client, &TavSckClient::Closed, [this] { ++closed; });
        QObject::connect(&client, &TavSckClient::Error, [this] { ++errors; });
    }
    bool open()
    {
        if (!server.listen(QHostAddress::LocalHost)) return false;
        client.Connect(QStringLiteral("127.0.0.1"), server.serverPort(), 120);
        if (!WaitFor([this] { return server.hasPendingConnections() && connected == 1; })) return false;
        peer = server.nextPendingConnection();
        return peer != nullptr;
    }
    QByteArray peerRead(int n)
    {
        QByteArray b;
        WaitFor([&] {
            b += peer->readAll();
            return b.size() >= n;
        });
        return b;
    }
};

TEST(TavSckClient, SendFramesTheChosenRange)
{
    Link l;
    ASSERT_TRUE(l.open());
    const QByteArray msg("\x82\x00" "600`KVRN`1", 11);
    EXPECT_TRUE(l.client.Send(msg, 0, int(msg.size()) - 1));
    EXPECT_TRUE(l.client.Send(msg, 2, 4));
    EXPECT_EQ(l.peerRead(15 + 7), Frame(msg) + Frame("600"));
}

TEST(TavSckClient, SendRefusesWhatCannotBeAFrame)
{
    Link l;
    const QByteArray msg("abc");
    EXPECT_FALSE(l.client.Send(msg, 0, 2));  // no link yet
    ASSERT_TRUE(l.open());
    EXPECT_FALSE(l.client.Send(msg, 0, 3));   // past the end
    EXPECT_FALSE(l.client.Send(msg, -1, 1));
    EXPECT_FALSE(l.client.Send(msg, 2, 1));   // empty range
    EXPECT_FALSE(l.client.Send(QByteArray(), 0, -1));
    EXPECT_FALSE(l.client.Send(QByteArray(int(TavSckClient::kMaxFrame) + 1, 'x'), 0, int(TavSckClient::kMaxFrame)));
    EXPECT_TRUE(l.client.Send(msg, 1, 1));
    EXPECT_EQ(l.peerRead(5), Frame("b"));
}

TEST(TavSckClient, SplitFrameArrivesAsOneMessage)
{
    Link l;
    ASSERT_TRUE(l.open());
    const QByteArray f = Frame("hello world");
    for (int i = 0; i < f.size(); i += 3) {
        l.peer->write(f.mid(i, 3));
        l.peer->flush();
        Spin(15);
        if (i + 3 < f.size()) {
            EXPECT_TRUE(l.got.isEmpty()) << "delivered early at byte " << i;
        }
    }
    ASSERT_TRUE(WaitFor([&] { return l.got.size() == 1; }));
    EXPECT_EQ(l.got[0], QByteArray("hello world"));
}

TEST(TavSckClient, CoalescedFramesArriveOneByOneInOrder)
{
    Link l;
    ASSERT_TRUE(l.open());
    QByteArray all;
    for (int i = 1; i <= 50; ++i) all += Frame(QByteArray(i, char(i)));
    all += Frame("last").left(6);  // a partial frame stays buffered
    l.peer->write(all);
    ASSERT_TRUE(WaitFor([&] { return l.got.size() == 50; }));
    for (int i = 1; i <= 50; ++i) EXPECT_EQ(l.got[i - 1], QByteArray(i, char(i)));
    l.peer->write(Frame("last").mid(6));
    ASSERT_TRUE(WaitFor([&] { return l.got.size() == 51; }));
    EXPECT_EQ(l.got[50], QByteArray("last"));
    EXPECT_EQ(l.errors + l.closed, 0);
}

TEST(TavSckClient, LargestFrameIsAccepted)
{
    Link l;
    ASSERT_TRUE(l.open());
    const QByteArray big(int(TavSckClient::kMaxFrame), 'z');
    l.peer->write(Frame(big));
    ASSERT_TRUE(WaitFor([&] { return l.got.size() == 1; }));
    EXPECT_EQ(l.got[0].size(), big.size());
    EXPECT_EQ(l.errors, 0);
}

struct BadLength {
    const char* name;
    quint32 length;
};

class BrokenFrame : public ::testing::TestWithParam<BadLength> {};

TEST_P(BrokenFrame, AbortsTheLinkAsAFailure)
{
    Link l;
    ASSERT_TRUE(l.open());
    const quint32 n = GetParam().length;
    QByteArray bytes = Frame("ok");
    bytes.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    bytes += Frame("never");
    l.peer->write(bytes);
    ASSERT_TRUE(WaitFor([&] { return l.errors == 1; }));
    Spin(100);
    EXPECT_EQ(l.got, QList<QByteArray>{QByteArray("ok")});
    EXPECT_EQ(l.errors, 1);
    EXPECT_EQ(l.closed, 0);
    EXPECT_FALSE(l.client.isConnected());
    EXPECT_TRUE(WaitFor([&] { return l.peer->state() != QAbstractSocket::ConnectedState || !l.peer->waitForReadyRead(10); }));
}

INSTANTIATE_TEST_SUITE_P(Lengths, BrokenFrame,
                         ::testing::Values(BadLength{"zero", 0}, BadLength{"one_over", TavSckClient::kMaxFrame + 1},
                                           BadLength{"huge", 0xFFFFFFFFu}),
                         [](const auto& info) { return std::string(info.param.name); });

// Losing the link ends the session: what still waits when the end is noticed is not raised, and
// the rest of the stream tells a close after a whole message from a broken link.
TEST(TavSckClient, HowThePeerEndsTheLink)
{
    const QByteArray waiting = Frame(QByteArray(100, 'w')).repeated(2000);
    const struct {
        const char* name;
        QByteArray bytes;
        bool reset;
        int closed, errors;
        TavSckClient::Failure why;
    } cases[] = {
        {"close after whole messages", waiting, false, 1, 0, TavSckClient::Failure::None},
        {"close inside a frame", waiting + Frame("cut").left(5), false, 0, 1, TavSckClient::Failure::Lost},
        {"reset", waiting, true, 0, 1, TavSckClient::Failure::Lost},
        {"broken length behind the close", waiting + QByteArray(4, '\0'), false, 0, 1,
         TavSckClient::Failure::BrokenFrame},
    };
    for (const auto& c : cases) {
        Link l;
        ASSERT_TRUE(l.open()) << c.name;
        l.client.setHeld(true);  // the receiver is busy: everything stays waiting
        l.peer->write(c.bytes);
        ASSERT_TRUE(WaitFor([&] { return l.peer->bytesToWrite() == 0; })) << c.name;
        if (c.reset) {
            const linger hard{1, 0};
            ::setsockopt(int(l.peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            l.peer->abort();
        } else {
            l.peer->disconnectFromHost();
        }
        ASSERT_TRUE(WaitFor([&] { return l.closed + l.errors > 0; })) << c.name;
        Spin(50);
        EXPECT_EQ(l.closed, c.closed) << c.name;
        EXPECT_EQ(l.errors, c.errors) << c.name;
        EXPECT_EQ(l.client.failure(), c.why) << c.name;
        EXPECT_TRUE(l.got.isEmpty()) << c.name;
        EXPECT_FALSE(l.client.Send(QByteArray("x"), 0, 0)) << c.name;
    }
}

// Held, the link raises nothing and takes little from the socket; released, the messages come
// in their order.
TEST(TavSckClient, HeldLinkRaisesNothingUntilReleased)
{
    Link l;
    ASSERT_TRUE(l.open());
    l.client.setHeld(true);
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i) bytes += Frame(QByteArray::number(i).rightJustified(200, '.'));
    l.peer->write(bytes);
    Spin(150);
    EXPECT_TRUE(l.got.isEmpty());
    EXPECT_LE(l.client.decoderCapacity(), 2 * (TavSckClient::kLookahead + TavSckClient::kReadBufferSize));
    l.client.setHeld(false);
    ASSERT_TRUE(WaitFor([&] { return l.got.size() == 3000; }));
    for (int i = 0; i < 3000; ++i) ASSERT_EQ(l.got[i], QByteArray::number(i).rightJustified(200, '.'));
    EXPECT_TRUE(l.client.isConnected());
}

TEST(TavSckClient, RefusedConnectionIsAnError)
{
    QTcpServer s;
    ASSERT_TRUE(s.listen(QHostAddress::LocalHost));
    const quint16 port = s.serverPort();
    s.close();
    TavSckClient c;
    int errors = 0, connected = 0;
    QObject::connect(&c, &TavSckClient::Error, [&] { ++errors; });
    QObject::connect(&c, &TavSckClient::Connected, [&] { ++connected; });
    c.Connect(QStringLiteral("127.0.0.1"), port, 120);
    ASSERT_TRUE(WaitFor([&] { return errors == 1; }));
    EXPECT_EQ(connected, 0);
}

TEST(TavSckClient, PortOutsideRangeFailsFromTheEventLoop)
{
    for (int port : {0, -5, 65536}) {
        TavSckClient c;
        int errors = 0;
        QObject::connect(&c, &TavSckClient::Error, [&] { ++errors; });
        c.Connect(QStringLiteral("127.0.0.1"), port, 120);
        EXPECT_EQ(errors, 0) << port;  // not from inside Connect
        ASSERT_TRUE(WaitFor([&] { return errors == 1; })) << port;
    }
}

TEST(TavSckClient, HandlerMayDeleteTheClientMidBatch)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QPointer<TavSckClient> c = new TavSckClient;
    int got = 0, connected = 0;
    QObject::connect(c, &TavSckClient::Connected, [&] { ++connected; });
    QObject::connect(c, &TavSckClient::DataArrived, [&](const QByteArray&) {
        if (++got == 2) delete c.data();
    });
    c->Connect(QStringLiteral("127.0.0.1"), server.serverPort(), 120);
    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections() && connected == 1; }));
    QTcpSocket* peer = server.nextPendingConnection();
    peer->write(Frame("a") + Frame("b") + Frame("c"));
    ASSERT_TRUE(WaitFor([&] { return c.isNull(); }));
    Spin(50);
    EXPECT_EQ(got, 2);
}

TEST(TavSckClient, HandlerWaitingInANestedLoopKeepsTheOrder)
{
    Link l;
    QList<QByteArray> order;
    bool waited = false;
    QObject::connect(&l.client, &TavSckClient::DataArrived, [&](const QByteArray& m) {
        order.append(m);
        if (!waited) {
            waited = true;
            // The next messages are sent while this handler waits in a loop of its own, which
            // goes on until they are in (a bound on the wait, not on how soon they come).
            l.peer->write(Frame("2") + Frame("3"));
            QEventLoop loop;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
                if (order.size() >= 3) loop.quit();
            });
            poll.start(5);
            QTimer::singleShot(testsupport::kHangMs, &loop, &QEventLoop::quit);
            loop.exec();
            order.append("end of first");
        }
    });
    ASSERT_TRUE(l.open());
    l.peer->write(Frame("1"));
    ASSERT_TRUE(WaitFor([&] { return order.size() == 4; }));
    EXPECT_EQ(order, (QList<QByteArray>{"1", "2", "3", "end of first"}));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
