// The client program against a hostile room: bursts of messages whose handlers wait (boxes,
// blasts), chat lines of half a megabyte, and a chat flood, each followed by the close. The
// program must survive, come back to idle, and end soon after the close.
//
// The chat flood runs KVRN_CHAT_FLOOD_SECONDS (default 2) seconds; the long form of it is
// `KVRN_CHAT_FLOOD_SECONDS=20 build/tests-bin/frame_test_hostile --gtest_filter=*Flood*`
// (registered with CTest as frame_test_hostile_long, label "long", when KVRN_LONG_TESTS is on).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <unistd.h>

#include "launch/commandline.h"
#include "protocol/codes.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "support/floodpeer.h"
#include "support/tableprogram.h"
#include "support/timing.h"

namespace {

using testsupport::WaitFor;
using Clock = std::chrono::steady_clock;

// CPU time the process has used, in ms (user and system), or -1.
long CpuMs(long pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray stat = f.readAll();
    // The fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
    const QList<QByteArray> rest = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (rest.size() < 13) return -1;
    return long((rest[11].toLongLong() + rest[12].toLongLong()) * 1000 / ::sysconf(_SC_CLK_TCK));
}

// A copy of the program with the build's pictures, its errors shown with the test's, and its
// sounds off (the sound system's own shutdown is not what is checked here).
struct Program : testsupport::TableProgram {
    Program() : TableProgram(true)
    {
        writeSettings("1\r\n0\r\n1\r\n1\r\n1\r\n");
        proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
};

// The room's side: one connection, its hello read.
struct Room {
    QTcpServer server;
    QTcpSocket* peer = nullptr;

    Room() { server.listen(QHostAddress::LocalHost); }
    bool accept()
    {
        if (!WaitFor([this] { return server.hasPendingConnections(); })) return false;
        peer = server.nextPendingConnection();
        return WaitFor([this] { return peer->bytesAvailable() >= 16; }) && peer->readAll().size() >= 16;
    }
    void send(const QByteArray& bytes)
    {
        peer->write(bytes);
        WaitFor([this] {
            peer->flush();
            return peer->bytesToWrite() == 0;
        }, 10000);
    }
};

QByteArray Frames(const QByteArray& msg, int count) { return EncodeFrame(msg).repeated(count); }

QByteArray Chat(const QString& text)
{
    return BuildChat({QStringLiteral("玩家乙"), QStringLiteral("所有人"), QStringLiteral("玩家乙"), QStringLiteral("所有人"),
                      text, QStringLiteral("#000000"), "0", "0", "12:00:00", ""});
}

// The program's exit after the close, an ordinary end. Handling what still waited instead would
// take it minutes (thousands of waits) or never end (a loop): the bound is for those, not a
// measure of speed; the time it took is printed.
void ExpectEndAfterClose(Program& p, Room& r, const char* what)
{
    const long peakBefore = testsupport::PeakRssKb(p.pid());
    QElapsedTimer t;
    t.start();
    r.peer->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return !p.running(); })) << what;
    const qint64 ms = t.elapsed();
    EXPECT_EQ(p.proc.exitStatus(), QProcess::NormalExit) << what;
    EXPECT_EQ(p.proc.exitCode(), 0) << what;
    std::printf("%s: ended %lld ms after the close, peak memory %ld KiB\n", what, static_cast<long long>(ms), peakBefore);
}

// Ten thousand messages whose handlers wait, in one burst: the waits nest only so deep, the
// program lives on, and the close ends it.
TEST(HostileRoom, BurstsOfWaitingMessages)
{
    const uint8_t four7[] = {5, 18, 31, 44};   // the four sevens: a bomb with its blast
    const struct {
        const char* name;
        QList<QByteArray> setup;
        QByteArray msg;
    } cases[] = {
        {"refusals", {}, BuildOutPaiRefused(QStringLiteral("出牌不合规则"))},
        {"quits of another chair", {}, BuildQuit(2, QStringLiteral("断线"))},
        {"four-of-a-kind plays",
         {BuildGameStart(5, 1, 0, 30, 1), BuildDeal(false, {0, 1, 2, 3, 13, 14, 15, 16, 26, 27, 28, 29, 39}, {})},
         BuildOutPaiNotice(2, 2, 0, 1, CardList(std::begin(four7), std::end(four7)))},
        {"trick-winning passes", {BuildGameStart(5, 1, 0, 30, 1)}, BuildOutPaiNotice(1, 1, 0, 0, {kPassCode})},
    };
    for (const auto& c : cases) {
        Room r;
        Program p;
        ASSERT_TRUE(p.start(r.server.serverPort())) << c.name;
        ASSERT_TRUE(r.accept()) << c.name;
        for (const QByteArray& m : c.setup) r.send(EncodeFrame(m));
        WaitFor([] { return false; }, 300);
        const long baseKb = testsupport::RssKb(p.pid());
        r.send(Frames(c.msg, 10000));
        WaitFor([] { return false; }, 800);
        ASSERT_TRUE(p.running()) << c.name << ": exit " << p.proc.exitCode();
        if (!testsupport::Sanitized()) { EXPECT_LT(testsupport::RssKb(p.pid()) - baseKb, 100 * 1024) << c.name; }
        ExpectEndAfterClose(p, r, c.name);
    }
}

// Chat lines of half a megabyte cost the program little once shown, and the close still ends it.
TEST(HostileRoom, HugeChatLinesLeaveTheProgramIdle)
{
    Room r;
    Program p;
    ASSERT_TRUE(p.start(r.server.serverPort()));
    ASSERT_TRUE(r.accept());
    r.send(Frames(Chat(QString(512000, QLatin1Char('x'))), 9));
    // Idle again: half a second that costs the program under a tenth of it in CPU, then a
    // second with under a fifth.
    QElapsedTimer t;
    t.start();
    bool idle = false;
    while (!idle && t.elapsed() < 30000 && p.running()) {
        const long before = CpuMs(p.pid());
        WaitFor([] { return false; }, 500);
        idle = CpuMs(p.pid()) - before < 50;
    }
    ASSERT_TRUE(p.running());
    EXPECT_TRUE(idle) << "still busy after " << t.elapsed() << " ms";
    const long before = CpuMs(p.pid());
    WaitFor([] { return false; }, 1000);
    EXPECT_LT(CpuMs(p.pid()) - before, 200);
    std::printf("nine half-megabyte lines: idle after %lld ms\n", static_cast<long long>(t.elapsed()));
    ExpectEndAfterClose(p, r, "huge chat lines");
}

// Chat as fast as the program takes it, then the close: what still waits is not handled.
TEST(HostileRoom, ChatFloodThenTheCloseEndsTheProgramSoon)
{
    const int seconds = qEnvironmentVariableIsSet("KVRN_CHAT_FLOOD_SECONDS")
                            ? qEnvironmentVariableIntValue("KVRN_CHAT_FLOOD_SECONDS")
                            : 2;
    testsupport::FloodPeer peer;
    Program p;
    ASSERT_TRUE(p.start(peer.port()));
    peer.start(Chat(QString(1000, QChar(0x4E2D))), INT64_MAX, -1, 500, seconds * 1000);
    ASSERT_TRUE(WaitFor([&] { return peer.finished(); }, (seconds + 30) * 1000));
    ASSERT_TRUE(WaitFor([&] { return !p.running(); }));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - peer.closedAt()).count();
    EXPECT_EQ(p.proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.proc.exitCode(), 0);
    // How soon it ended is the long flood's measurement, printed; the bound above is for a
    // program that handles the queue behind the close for good.
    std::printf("chat flood: %lld bytes in %d s, ended %lld ms after the close\n",
                static_cast<long long>(peer.bytesWritten()), seconds, static_cast<long long>(ms));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
