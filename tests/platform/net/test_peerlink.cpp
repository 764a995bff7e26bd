// The socket component against the scripted room-server peer the higher-level tests use: both
// ends agree on the framing in both directions, in order, including bursts.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/net/tavsckclient.h"
#include "protocol/messages.h"
#include "support/scriptedpeer.h"

namespace {

TEST(PeerLink, MessagesBothWaysInOrder)
{
    ScriptedPeer peer;
    TavSckClient link;
    QList<QByteArray> got;
    bool up = false;
    QObject::connect(&link, &TavSckClient::Connected, [&] { up = true; link.Send(BuildHello(1), 0, 11); });
    QObject::connect(&link, &TavSckClient::DataArrived, [&](const QByteArray& m) { got.append(m); });
    link.Connect(QStringLiteral("127.0.0.1"), peer.port(), 5);
    ASSERT_TRUE(peer.waitForKind(MsgKind::Hello));
    EXPECT_TRUE(up);

    QList<QByteArray> burst;
    for (int i = 0; i < 300; ++i) burst.append(BuildReady(uint8_t(i % 4)));
    burst.append(BuildNotice(QStringLiteral("欢迎")));
    peer.send(burst);
    ASSERT_TRUE(peer.waitFor([&] { return got.size() == burst.size(); }));
    EXPECT_EQ(got, burst);

    link.Send(BuildPass(2), 0, 7);
    ASSERT_TRUE(peer.waitForKind(MsgKind::OutPaiReq));
    EXPECT_EQ(peer.kinds(), (QList<MsgKind>{MsgKind::Hello, MsgKind::OutPaiReq}));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
