// Chat: the ten texts out as one message, the relayed ones in, and the target.
#include <gtest/gtest.h>

#include "roomfake.h"

#include "launch/chat.h"
#include "launch/client.h"
#include "launch/roomlink.h"

namespace {

using roomtest::FakeView;
using roomtest::Room;

QStringList Texts(int n)
{
    QStringList l;
    for (int i = 0; i < n; ++i) l << QStringLiteral("t%1").arg(i);
    return l;
}

TEST(SendChat, TenTextsAfterByteOne)
{
    struct Case {
        const char* name;
        QStringList texts;
        QByteArray sent;  // empty: nothing goes out
    };
    const Case cases[] = {
        {"ten_empty", QStringList(10, QString()), QByteArray("\x01`````````")},
        {"ten", Texts(10), QByteArray("\x01t0`t1`t2`t3`t4`t5`t6`t7`t8`t9")},
        {"chinese", {"甲", "所有人", "", "", "你好", "", "", "", "", ""},
         QByteArray("\x01\xBC\xD7`\xCB\xF9\xD3\xD0\xC8\xCB```\xC4\xE3\xBA\xC3`````")},
        {"nine", Texts(9), QByteArray()},
        {"eleven", Texts(11), QByteArray()},
    };
    for (const Case& c : cases) {
        Room r(false);
        EXPECT_EQ(SendChat(r.ctx, c.texts), !c.sent.isEmpty()) << c.name;
        if (c.sent.isEmpty()) {
            EXPECT_TRUE(r.sent.isEmpty()) << c.name;
        } else {
            ASSERT_EQ(r.sent.size(), 1) << c.name;
            EXPECT_EQ(r.sent[0], c.sent) << c.name;
            EXPECT_EQ(ParseMessage(r.sent[0], Sender::Client).kind, MsgKind::ChatSend) << c.name;
            EXPECT_TRUE(ParseMessage(r.sent[0], Sender::Client).fits) << c.name;
        }
    }
}

TEST(ReceivedChat, FieldsTwoToNineWithTenOrMore)
{
    struct Case {
        const char* name;
        int fields;
        QStringList log;
    };
    const Case cases[] = {
        {"nine", 9, {}},
        {"ten", 10, {"chat:t2|t3|t4|t5|t6|t7|t8|t9"}},
        {"twelve", 12, {"chat:t2|t3|t4|t5|t6|t7|t8|t9"}},
    };
    for (const Case& c : cases) {
        Room r(false);
        HandleChatMsg(r.ctx, BuildChat(Texts(c.fields)));
        EXPECT_EQ(r.view.log, c.log) << c.name;
    }
}

TEST(ReceivedChat, CodeOneIsRoutedToTheChat)
{
    Client c;
    FakeView v;
    c.roomView = &v;
    EXPECT_EQ(DispatchMessage(c, BuildChat(Texts(10))), MsgRoute::Chat);
    EXPECT_EQ(v.log, QStringList{"chat:t2|t3|t4|t5|t6|t7|t8|t9"});
    // A one-byte chat message has no text at all.
    v.log.clear();
    DispatchMessage(c, QByteArray(1, char(GM_CHAT)));
    EXPECT_TRUE(v.log.isEmpty());
}

TEST(ChatTarget, SetThroughTheView)
{
    FakeView v;
    SetChatTarget(v, QStringLiteral("乙"));
    SetChatTarget(v, AllUsersTarget());
    EXPECT_EQ(v.log, (QStringList{"target:乙", "target:所有人"}));
}

}  // namespace
