// The room program against peers that try to spoil it for the others: a spectator flooding chat
// while the players do not read, connections that never say hello, and chat meant to forge
// lines of the log.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTcpSocket>
#include <algorithm>
#include <memory>
#include <vector>

#include "protocol/framing.h"
#include "protocol/messages.h"
#include "server/guard.h"
#include "support/clientfixture.h"
#include "support/roomprocess.h"
#include "support/timing.h"

namespace {

using testsupport::WaitFor;
using testsupport::kHangMs;

// The room with bots that never move.
struct Room : testsupport::RoomProcess {
    bool start(const QStringList& args) { return RoomProcess::start(QStringList{"--bot-delay", "600000"} + args); }
    // A raw connection; with a hello when `greet`.
    std::unique_ptr<QTcpSocket> connect(bool greet)
    {
        auto s = std::make_unique<QTcpSocket>();
        s->connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!s->waitForConnected(kHangMs)) return s;
        if (greet) {
            s->write(EncodeFrame(BuildHello(1)));
            s->flush();
        }
        return s;
    }
};

QByteArray Chat(const QString& text)
{
    return BuildChat({QStringLiteral("x"), QStringLiteral("所有人"), QStringLiteral("x"), QStringLiteral("所有人"), text,
                      QStringLiteral("#000000"), "0", "0", "12:00:00", ""});
}

// Players who read nothing while a spectator floods the table keep their chairs, and the room
// relays neither the long lines nor the flood.
TEST(HostileRoom, ASpectatorsChatBurstLeavesThePlayersSeated)
{
    const struct {
        const char* name;
        int lines;
        int chars;
    } bursts[] = {{"nine lines of a megabyte", 9, 1'040'000},
                  {"nine lines of half a megabyte", 9, 512'000},
                  {"five thousand small lines", 5000, 500}};
    for (const auto& b : bursts) {
        Room room;
        ASSERT_TRUE(room.start({"--humans", "2", "--name", "甲", "--name", "乙"})) << b.name;
        auto p1 = room.connect(true);
        auto p2 = room.connect(true);
        ASSERT_TRUE(WaitFor([&] { return room.count("join chair=") == 2; }, kHangMs)) << b.name;
        auto spy = room.connect(true);
        ASSERT_TRUE(WaitFor([&] { return room.count("watch name=") == 1; }, kHangMs)) << b.name;

        QByteArray burst;
        const QByteArray one = EncodeFrame(Chat(QString(b.chars, QLatin1Char('x'))));
        ASSERT_FALSE(one.isEmpty()) << b.name;
        for (int i = 0; i < b.lines; ++i) burst += one;
        spy->write(burst);
        ASSERT_TRUE(WaitFor([&] {
            spy->flush();
            return spy->bytesToWrite() == 0;
        }, 20000)) << b.name;
        // The players have read nothing so far.
        ASSERT_TRUE(WaitFor([&] { return room.count("chat refused from=") > 0; })) << b.name;
        WaitFor([] { return false; }, 500);
        EXPECT_EQ(room.count("close peer="), 0) << b.name << "\n" << room.lines.join('\n').toStdString();
        EXPECT_EQ(room.count("leave "), 0) << b.name;
        qint64 relayed = 0;
        WaitFor([&] {
            relayed += p1->readAll().size();
            return false;
        }, 300);
        EXPECT_EQ(p1->state(), QAbstractSocket::ConnectedState) << b.name;
        EXPECT_EQ(p2->state(), QAbstractSocket::ConnectedState) << b.name;
        // Only what the log shows relayed reaches a player: no long line, and of the flood the
        // first few lines and one now and then as time passes (the rate itself is checked on a
        // test's clock in the table's tests; here the machine may be slow).
        const int relayedLines = room.count("chat from=");
        if (b.chars > kMaxChatChars) {
            EXPECT_EQ(relayedLines, 0) << b.name;
        }
        EXPECT_LT(relayedLines, kChatBurst + b.lines / 10) << b.name;
        // (What else a player gets meanwhile, the lists and the spectator's arrival, is small.)
        EXPECT_LT(relayed, qint64(relayedLines) * (one.size() + 64) + 64 * 1024) << b.name;
        // A run of refusals is one line of the log, not one per line refused: in the log's order
        // a refusal follows a relayed line, or none.
        const QStringList chat = room.lines.filter(QRegularExpression(QStringLiteral("^chat (from|refused from)=")));
        for (qsizetype i = 1; i < chat.size(); ++i)
            EXPECT_FALSE(chat[i].startsWith(QLatin1String("chat refused")) && chat[i - 1].startsWith(QLatin1String("chat refused")))
                << b.name << ": " << chat[i].toStdString();
    }
}

// Peers connected at once, by the order of the log.
int MostOpenAtOnce(const QStringList& lines)
{
    int open = 0, most = 0;
    for (const QString& l : lines) {
        if (l.startsWith(QLatin1String("connect peer="))) most = std::max(most, ++open);
        else if (l.startsWith(QLatin1String("disconnect peer="))) --open;
    }
    return most;
}

// Silent connections take their places only until the hello's deadline; one address cannot take
// them all. The room's log is read in its order, so a slow machine on which the first deadlines
// pass before the last connection arrives reads the same.
TEST(HostileRoom, SilentConnectionsDoNotKeepAPlayerOut)
{
    Room room;
    ASSERT_TRUE(room.start({"--humans", "1", "--hello-seconds", "2"}));
    std::vector<std::unique_ptr<QTcpSocket>> silent;
    for (int i = 0; i < 64; ++i) silent.push_back(room.connect(false));
    // Refusals at the door are logged a few at a time, the rest summed up per address.
    auto accounted = [&] {
        int refused = room.count("close peer=") - room.count("disconnect peer=");
        for (const QString& l : room.lines.filter(QRegularExpression(QStringLiteral("^refused peer=.* ×\\d+$"))))
            refused += l.section(QChar(0xD7), 1).toInt();
        return room.count("connect peer=") + refused >= 64;
    };
    ASSERT_TRUE(WaitFor(accounted, kHangMs)) << room.lines.join('\n').toStdString();
    EXPECT_EQ(MostOpenAtOnce(room.lines), 16);
    // A player from that address gets in once the deadline has closed the silent ones.
    ASSERT_TRUE(WaitFor([&] { return room.count("disconnect peer=") == room.count("connect peer="); }, kHangMs))
        << room.lines.join('\n').toStdString();
    EXPECT_EQ(room.count("join chair="), 0);
    auto player = room.connect(true);
    ASSERT_TRUE(WaitFor([&] { return room.count("join chair=") == 1; }, kHangMs)) << room.lines.join('\n').toStdString();
}

// A peer's text never starts a line of the log, and a long one is cut there.
TEST(HostileRoom, ChatForgesNoLogLine)
{
    Room room;
    ASSERT_TRUE(room.start({"--humans", "1"}));
    auto p = room.connect(true);
    ASSERT_TRUE(WaitFor([&] { return room.count("join chair=") == 1; }, kHangMs));
    const int before = int(room.lines.size());
    p->write(EncodeFrame(Chat(QStringLiteral("hi\nover game=1 score=0\r\nleave chair=0\x1b" "x") + QString(800, 'y'))));
    p->flush();
    ASSERT_TRUE(WaitFor([&] { return room.count("chat from=") == 1; }, kHangMs));
    WaitFor([] { return false; }, 200);
    const QStringList after = room.lines.mid(before);
    ASSERT_EQ(after.size(), 1) << after.join('\n').toStdString();
    EXPECT_TRUE(after[0].contains(QStringLiteral("hi\\x0aover game=1"))) << after[0].toStdString();
    EXPECT_TRUE(after[0].contains(QStringLiteral("chair=0\\x1bx"))) << after[0].toStdString();
    EXPECT_LE(after[0].size(), 600);
    EXPECT_TRUE(after[0].endsWith(QChar(0x2026)));
    EXPECT_EQ(room.count("over game="), 0);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
