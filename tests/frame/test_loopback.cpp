// The whole client against the scripted peer: the hello goes out first, messages are handled, and
// the peer closing the link unloads the window once.
#include <gtest/gtest.h>

#include "platform/net/tavsckclient.h"
#include "support/clientfixture.h"
#include "support/guimain.h"

namespace {

TEST(Loopback, HelloThenMessagesThenTheCloseUnloadsOnce)
{
    testsupport::LoopbackClient lc;
    ASSERT_TRUE(lc.connect());
    EXPECT_EQ(lc.peer.received.first(), BuildHello(1));
    int handled = 0;
    QObject::connect(lc.w->TavSckClient, &TavSckClient::DataArrived, [&](const QByteArray&) { ++handled; });
    lc.peer.send({BuildNotice("a"), BuildNotice("b")});
    ASSERT_TRUE(lc.peer.waitFor([&] { return handled == 2; }));
    lc.peer.closeClient();
    ASSERT_TRUE(lc.peer.waitFor([&] { return lc.unloaded > 0; }));
    EXPECT_EQ(handled, 2);
    lc.settle(100);
    EXPECT_EQ(lc.unloaded, 1);
}

}  // namespace

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
