// The real client program, headless, against the room program for games in a row: every game
// ends, the client neither stalls nor crashes, and its memory as the last game ends is within 10 %
// of what it was as an early one ended. KVRN_SOAK_GAMES sets the number of games (the full soak is
// 100; the suite plays two, each about twenty seconds of one-second turns).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <map>

#include "launch/commandline.h"
#include "support/roomprocess.h"
#include "support/tableprogram.h"
#include "support/timing.h"

namespace {

constexpr int kGameMs = 180000;   // a game with one-second turns; far more means a stall

int Games()
{
    if (qEnvironmentVariableIsSet("KVRN_SOAK_GAMES")) return std::max(1, qEnvironmentVariableIntValue("KVRN_SOAK_GAMES"));
    return 2;
}

TEST(Soak, GamesInARowWithoutStallCrashOrGrowth)
{
    const QString bin = qEnvironmentVariable("KVRN_BIN_DIR");
    if (bin.isEmpty()) GTEST_SKIP() << "KVRN_BIN_DIR is not set";
    const int games = Games();
    // The memory after an early game (the pictures and fonts in use by then) against the last. The
    // first game has shown them all: the client's memory after it and after the fourth differed
    // by 0.2 %.
    const int early = games >= 20 ? 10 : 1;

    testsupport::RoomProcess room;
    ASSERT_TRUE(room.start({"--humans", "1", "--name", "玩家甲", "--turn-seconds", "1", "--auto-out-limit", "255",
                            "--auto-ready", "--bot-delay", "20", "--seed", "3", "--games", QString::number(games),
                            // The client is under test here, not the bots: the quick ones keep the games short.
                            "--bots", "basic,basic,basic,basic"}))
        << room.tail(5);

    testsupport::TableProgram program(true);   // with the pictures, whose memory is part of the measure
    const QProcess& client = program.proc;
    ASSERT_TRUE(program.start({LaunchToken, "127.0.0.1", QString::number(room.port), QStringLiteral("四人牌桌"),
                               QStringLiteral("长工_100`短工_200"), "0", "0", QStringLiteral("玩家甲"), "0"}));
    const long pid = long(client.processId());

    std::map<int, long> rssAfter;   // game number -> the client's resident memory in KiB as the game ended
    long rssNow = 0;                 // the latest sample, taken while the client runs
    int seen = 0;
    QElapsedTimer sinceLast;
    sinceLast.start();
    const auto over = [&] {
        room.readLines();
        return room.count(QStringLiteral("over game=")) > seen;
    };
    while (seen < games) {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                if (client.state() == QProcess::Running) {
                    if (const long kb = testsupport::RssKb(pid); kb > 0) rssNow = kb;
                }
                return over() || client.state() != QProcess::Running;
            },
            kGameMs))
            << "game " << seen + 1 << " did not end";
        // The client ends once the room closes the link after its last game, which it may see
        // before this test has read the room's line for that game: what the room wrote by then
        // is read before the client's end counts as one during the game.
        if (!over() && client.state() != QProcess::Running) room.proc.waitForFinished(testsupport::kHangMs);
        ASSERT_TRUE(over()) << "the client ended during game " << seen + 1 << "; the room's log ends:\n" << room.tail(30);
        ++seen;
        rssAfter[seen] = rssNow;
        std::printf("game %d over after %lld ms, client memory %ld KiB\n", seen, static_cast<long long>(sinceLast.restart()),
                    rssAfter[seen]);
    }
    // The room stops after its last game; the client then ends as after any close of the link.
    ASSERT_TRUE(program.ended());
    EXPECT_EQ(client.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(client.exitCode(), 0);
    room.proc.waitForFinished(testsupport::kHangMs);
    EXPECT_EQ(room.proc.state(), QProcess::NotRunning);
    room.readLines();
    EXPECT_TRUE(room.lines.contains(QStringLiteral("done games=%1").arg(games)));

    if (!testsupport::Sanitized() && games > early) {
        EXPECT_LE(rssAfter[games], rssAfter[early] * 110 / 100)
            << "after game " << early << ": " << rssAfter[early] << " KiB; after game " << games << ": " << rssAfter[games] << " KiB";
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
