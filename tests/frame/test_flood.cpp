// The client program under a flood of tiny messages from its server: its memory stays flat, and
// it ends after the server closes the link.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <functional>

#include "support/floodpeer.h"
#include "support/tableprogram.h"
#include "support/timing.h"

namespace {

using Clock = testsupport::FloodPeer::Clock;

using testsupport::WaitFor;

TEST(ProgramFlood, MemoryStaysFlatAndTheProgramEndsAfterTheClose)
{
    // About 100 MB of 12-byte frames: a room code nobody handles and a running number. For a
    // measurement KVRN_FLOOD_MESSAGES gives another count.
    const int64_t kCount = qEnvironmentVariableIsSet("KVRN_FLOOD_MESSAGES")
                               ? qEnvironmentVariable("KVRN_FLOOD_MESSAGES").toLongLong()
                               : testsupport::Sanitized() ? 850'000 : 8'500'000;
    const QByteArray msg("\xC8\0\0\0\0\0\0\0", 8);

    testsupport::FloodPeer peer;
    ASSERT_NE(peer.port(), 0);
    peer.start(msg, kCount, 4, 1500);

    testsupport::TableProgram program;
    QProcess& proc = program.proc;
    ASSERT_TRUE(program.start(peer.port()));
    const long pid = long(proc.processId());
    ASSERT_TRUE(WaitFor([&] { return peer.accepted(); }));
    // The window is up and the link open: this is what the client needs without a flood.
    WaitFor([] { return false; }, 1200);
    const long baseKb = testsupport::PeakRssKb(pid);
    ASSERT_GT(baseKb, 0);

    long peakKb = baseKb;
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(WaitFor([&] {
        if (proc.state() == QProcess::Running) peakKb = std::max(peakKb, testsupport::PeakRssKb(pid));
        return peer.finished();
    }, 300000)) << peer.bytesWritten() << " bytes written";
    const qint64 floodMs = t.elapsed();
    ASSERT_EQ(peer.bytesWritten(), kCount * (msg.size() + 4));

    // From the close on, the program has only what the kernel still held to handle.
    ASSERT_TRUE(WaitFor([&] {
        if (proc.state() == QProcess::Running) peakKb = std::max(peakKb, testsupport::PeakRssKb(pid));
        return proc.state() == QProcess::NotRunning;
    }, 30000));
    const auto exitMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - peer.closedAt()).count();
    EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(proc.exitCode(), 0);
    // How soon it ended is printed (the target is under a second); the bound above is for a
    // program that never ends.
    if (!testsupport::Sanitized()) {
        EXPECT_LT(peakKb - baseKb, 64 * 1024) << "peak memory grew by " << (peakKb - baseKb) << " KiB";
    }
    std::printf("program flood: %lld bytes in %lld ms, ended %lld ms after the close, peak memory %ld KiB (+%ld)\n",
                static_cast<long long>(peer.bytesWritten()), static_cast<long long>(floodMs),
                static_cast<long long>(exitMs), peakKb, peakKb - baseKb);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
