// The room's guards: the size and rate of chat per sender, and log lines a peer cannot break.
#include <gtest/gtest.h>

#include "server/guard.h"

namespace {

QStringList Fields(int textChars)
{
    return {"a", "所有人", "a", "所有人", QString(textChars, 'x'), "#000000", "0", "0", "12:00:00", ""};
}

TEST(ChatGuard, SizeAndRatePerSender)
{
    ChatGuard g;
    int one = 0, other = 0;
    bool first = false;
    // A burst, then one line per refill; the other sender has a burst of its own.
    for (int i = 0; i < kChatBurst; ++i) EXPECT_EQ(g.admit(&one, Fields(10), 1000, first), ChatVerdict::Relay) << i;
    EXPECT_EQ(g.admit(&one, Fields(10), 1000, first), ChatVerdict::TooFast);
    EXPECT_TRUE(first);
    EXPECT_EQ(g.admit(&one, Fields(10), 1000 + kChatRefillMs - 1, first), ChatVerdict::TooFast);
    EXPECT_FALSE(first);  // the same run of refusals
    EXPECT_EQ(g.admit(&other, Fields(10), 1000, first), ChatVerdict::Relay);
    EXPECT_EQ(g.admit(&one, Fields(10), 1000 + kChatRefillMs, first), ChatVerdict::Relay);
    EXPECT_EQ(g.admit(&one, Fields(10), 1000 + kChatRefillMs, first), ChatVerdict::TooFast);
    EXPECT_TRUE(first);  // a new run
    // Too long is refused whatever the rate, and costs no line of the rate.
    const int room = kMaxChatChars - (Fields(0).join("").size());
    EXPECT_EQ(g.admit(&other, Fields(room + 1), 1000, first), ChatVerdict::TooLong);
    EXPECT_TRUE(first);
    EXPECT_EQ(g.admit(&other, Fields(room), 1000, first), ChatVerdict::Relay);
}

TEST(LogSafe, ControlsEscapedLongLinesCutAndDoneOnce)
{
    const struct {
        QString in, out;
    } cases[] = {
        {"chat text=hi", "chat text=hi"},
        {"text=a\nover game=1", "text=a\\x0aover game=1"},
        {QStringLiteral("a\r\tb\u0085c\u2028d\x7f"), "a\\x0d\\x09b\\x85c\\x2028d\\x7f"},
        {QString(kMaxLogChars, 'y'), QString(kMaxLogChars, 'y')},
        {QString(kMaxLogChars + 1, 'y'), QString(kMaxLogChars - 1, 'y') + u'…'},
        {QString(kMaxLogChars * 4, '\n'), QString("\\x0a").repeated(kMaxLogChars / 4).left(kMaxLogChars - 1) + u'…'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LogSafe(c.in), c.out) << c.in.left(40).toStdString();
        EXPECT_EQ(LogSafe(LogSafe(c.in)), LogSafe(c.in));
    }
}

}  // namespace
