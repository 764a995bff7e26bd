// The dispatch of received messages and the sender.
#include <gtest/gtest.h>

#include "launch/client.h"
#include "launch/roomlink.h"
#include "protocol/received.h"
#include "roomfake.h"

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

// A view whose every chat line waits, as a box or a pause does: while it waits the link hands
// over what has arrived, unless the dispatcher holds it.
struct WaitingView : roomtest::FakeView {
    Client* c = nullptr;
    QList<QByteArray> link;    // arrived, not yet handed over
    QList<bool> holds;         // what the dispatcher asked of the link
    int deepest = 0;
    void AddChatMessage(const QStringList& f) override
    {
        roomtest::FakeView::AddChatMessage(f);
        deepest = std::max(deepest, c->dispatch.depth);
        while (!link.isEmpty() && !c->dispatch.linkHeld) DispatchMessage(*c, link.takeFirst());
    }
};

QByteArray ChatLine(int n)
{
    return BuildChat({"a", "b", "a", "b", QString::number(n), "#000000", "0", "0", "", ""});
}

TEST(Dispatch, NestedWaitsStopAtTheBoundAndTheOrderHolds)
{
    for (const int count : {3, kMaxNestedDispatch, kMaxNestedDispatch + 1, 40}) {
        Client c;
        WaitingView v;
        v.c = &c;
        c.roomView = &v;
        c.holdLinkHook = [&](bool on) { v.holds.append(on); };
        for (int i = 1; i < count; ++i) v.link.append(ChatLine(i));
        DispatchMessage(c, ChatLine(0));
        QStringList expected;
        for (int i = 0; i < count; ++i) expected << QStringLiteral("chat:a|b|%1|#000000|0|0||").arg(i);
        EXPECT_EQ(v.log, expected) << count;
        EXPECT_EQ(v.deepest, std::min(count, kMaxNestedDispatch)) << count;
        // Held once the bound is reached, and let go again once the held ones are out.
        EXPECT_EQ(v.holds.isEmpty(), count <= kMaxNestedDispatch) << count;
        if (!v.holds.isEmpty()) { EXPECT_FALSE(v.holds.last()) << count; }
        EXPECT_EQ(v.holds.count(true), v.holds.count(false)) << count;
        EXPECT_TRUE(c.dispatch.held.empty());
        EXPECT_EQ(c.dispatch.depth, 0);
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
