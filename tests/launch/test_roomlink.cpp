// The hello and the routing of received messages by their first byte.
#include <gtest/gtest.h>

#include "launch/client.h"
#include "launch/roomlink.h"

namespace {

TEST(Hello, CarriesTheSpectatorSetting)
{
    EXPECT_EQ(BuildHello(1), QByteArray("\x82\x00" "600`KVRN`1", 12));
    EXPECT_EQ(BuildHello(0), QByteArray("\x82\x00" "600`KVRN`0", 12));
}

struct RouteCase {
    int code;
    MsgRoute route;
};

class Route : public ::testing::TestWithParam<RouteCase> {};

TEST_P(Route, ByFirstByte)
{
    QByteArray msg;
    msg.append(char(GetParam().code)).append(char(2));
    EXPECT_EQ(RouteOf(msg), GetParam().route) << GetParam().code;
    EXPECT_EQ(RouteOf(msg.left(1)), GetParam().route) << "code alone";
}

INSTANTIATE_TEST_SUITE_P(Cases, Route,
                         ::testing::Values(RouteCase{0, MsgRoute::Game}, RouteCase{94, MsgRoute::Game},
                                           RouteCase{95, MsgRoute::Room}, RouteCase{112, MsgRoute::Room},
                                           RouteCase{113, MsgRoute::Game}, RouteCase{114, MsgRoute::Room},
                                           RouteCase{130, MsgRoute::Room}, RouteCase{132, MsgRoute::Room},
                                           RouteCase{133, MsgRoute::Game}, RouteCase{134, MsgRoute::Room},
                                           RouteCase{255, MsgRoute::Room}));

TEST(Route, EmptyMessageGoesNowhere)
{
    Client c;
    EXPECT_EQ(RouteOf(QByteArray()), MsgRoute::None);
    EXPECT_EQ(DispatchMessage(c, QByteArray()), MsgRoute::None);
}

TEST(Dispatch, EveryCodeAndLengthIsHandledWithoutHarm)
{
    Client c;
    for (int code = 0; code < 256; ++code)
        for (int len = 1; len <= 4; ++len) {
            QByteArray m(len, char(0xB0));
            m[0] = char(code);
            EXPECT_EQ(DispatchMessage(c, m), RouteOf(m));
        }
}

TEST(SendPacket, HeaderAndBody)
{
    Client c;
    QList<QByteArray> sent;
    c.sendHook = [&](const QByteArray& m) { sent.append(m); return true; };
    EXPECT_TRUE(SendPacket(c, QByteArray("\x71\x01", 2), QStringLiteral("玩家`0")));
    EXPECT_TRUE(SendPacket(c, QByteArray("\x82\x03", 2), QString()));
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[0], QByteArray("\x71\x01\xCD\xE6\xBC\xD2`0"));
    EXPECT_EQ(sent[1], QByteArray("\x82\x03", 2));
    EXPECT_FALSE(SendPacket(c, QByteArray(), QString()));  // nothing to send
    EXPECT_EQ(sent.size(), 2);
}

}  // namespace
