// The dispatch of received messages and the sender.
#include <gtest/gtest.h>

#include "launch/client.h"
#include "launch/roomlink.h"
#include "protocol/received.h"

namespace {

TEST(Dispatch, EmptyMessageGoesNowhere)
{
    Client c;
    EXPECT_EQ(DispatchMessage(c, QByteArray()), MsgRoute::None);
}

TEST(Dispatch, EveryCodeAndLengthIsHandledWithoutHarm)
{
    Client c;
    for (int code = 0; code < 256; ++code)
        for (int len = 1; len <= 4; ++len) {
            QByteArray m(len, char(0xB0));
            m[0] = char(code);
            EXPECT_EQ(DispatchMessage(c, m), DecodeServerMsg(m).route);
        }
}

TEST(SendPacket, HeaderAndBody)
{
    Client c;
    QList<QByteArray> sent;
    c.sendHook = [&](const QByteArray& m) { sent.append(m); return true; };
    EXPECT_TRUE(SendPacket(c, QByteArray("\x71\x01", 2), QStringLiteral("玩家`0")));
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0], QByteArray("\x71\x01\xCD\xE6\xBC\xD2`0"));
    // An empty body sends nothing, not even the header; nor does a body GBK cannot carry at all.
    EXPECT_FALSE(SendPacket(c, QByteArray("\x82\x03", 2), QString()));
    EXPECT_FALSE(SendPacket(c, QByteArray(), QString()));
    EXPECT_FALSE(SendPacket(c, QByteArray("\x82\x03", 2), QStringLiteral("€")));
    EXPECT_EQ(sent.size(), 1);
}

}  // namespace

namespace {

TEST(Sendable, NoTextMessageLeavesWithoutItsText)
{
    struct Case {
        const char* what;
        QByteArray msg;
        bool sendable;
    };
    const QString nothing;
    const QString unencodable = QStringLiteral("€");
    const std::vector<Case> cases{
        {"join request", BuildHandUpReq(QStringLiteral("甲")), true},
        {"join request without a name", BuildHandUpReq(nothing), false},
        {"join request of a name GBK cannot carry", BuildHandUpReq(unencodable), false},
        {"leaving without a name", BuildUserOut(nothing), false},
        {"purchase", BuildBuyDaoJu(5001), true},
        {"chat without text", TextMessage(QByteArray(1, char(GM_CHAT)), nothing), false},
        {"the join of a game has no text", BuildJoinGame(), true},
        {"a deal request has no text", BuildDealRequest(1), true},
        {"a pass", BuildPass(2), true},
        {"nothing at all", QByteArray(), false},
    };
    for (const Case& c : cases) EXPECT_EQ(Sendable(c.msg), c.sendable) << c.what;
}

}  // namespace
