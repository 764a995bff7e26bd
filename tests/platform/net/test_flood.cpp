// The link under a flood of tiny messages: every message arrives, in order; what the link holds
// stays small whatever the sender pushes; the close is reported after the last message; and
// the event loop keeps getting its turns meanwhile.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "platform/net/tavsckclient.h"
#include "support/floodpeer.h"
#include "support/timing.h"

namespace {

using Clock = testsupport::FloodPeer::Clock;

using testsupport::WaitFor;

uint32_t NumberAt(const QByteArray& m, int at)
{
    const auto* p = reinterpret_cast<const uchar*>(m.constData()) + at;
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

TEST(Flood, TinyMessagesInOrderWithLittleHeldAndTheClose)
{
    // About 120 MB of 9-byte frames.
    // Fewer under the sanitizers, where every byte costs many times more.
    const int64_t kCount = testsupport::Sanitized() ? 1'000'000 : 13'000'000;
    const QByteArray msg("\xC8\0\0\0\0", 5);  // a room code nobody handles, then a running number

    testsupport::FloodPeer peer;
    ASSERT_NE(peer.port(), 0);
    TavSckClient link;
    int64_t got = 0;
    bool inOrder = true;
    qint64 maxHeld = 0;
    int closed = 0, errors = 0;
    Clock::time_point closedAt;
    QObject::connect(&link, &TavSckClient::DataArrived, [&](const QByteArray& m) {
        if (m.size() != msg.size() || NumberAt(m, 1) != uint32_t(got)) inOrder = false;
        ++got;
        if ((got & 0xFFF) == 0) maxHeld = std::max<qint64>(maxHeld, link.decoderCapacity() + link.socketBuffered());
    });
    QObject::connect(&link, &TavSckClient::Closed, [&] {
        ++closed;
        closedAt = Clock::now();
    });
    QObject::connect(&link, &TavSckClient::Error, [&] { ++errors; });
    // A timer due at every turn of the loop, counted while the messages pour in: it must keep
    // firing between them.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ticks += got > 0 && closed + errors == 0; });
    timer.start(0);

    const long rssBefore = testsupport::PeakRssKb();
    peer.start(msg, kCount, 1);
    link.Connect(QStringLiteral("127.0.0.1"), peer.port(), 10);
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(WaitFor([&] { return closed + errors > 0; }, 240000)) << got << " messages";
    const qint64 floodMs = t.elapsed();
    ASSERT_TRUE(peer.finished());

    EXPECT_EQ(errors, 0);
    EXPECT_EQ(closed, 1);
    // Messages still waiting when the close was noticed are not raised: the session is over.
    EXPECT_LE(got, kCount);
    EXPECT_GT(got, kCount - 1'000'000);
    EXPECT_TRUE(inOrder);
    // The link holds a socket buffer and a decoder chunk, not the backlog.
    EXPECT_LE(maxHeld, 4 * (TavSckClient::kReadBufferSize + TavSckClient::kKeptCapacity)) << maxHeld;
    const long grownKb = testsupport::PeakRssKb() - rssBefore;
    if (!testsupport::Sanitized()) { EXPECT_LT(grownKb, 64 * 1024) << "peak memory grew by " << grownKb << " KiB"; }
    // How soon the close was reported after the peer's is printed (the target is well under a
    // second).
    const auto lagMs = std::chrono::duration_cast<std::chrono::milliseconds>(closedAt - peer.closedAt()).count();
    // The loop had its turns while the messages poured in (the link raises a few hundred at most
    // in one turn): the timer fired between them.
    EXPECT_GE(ticks, int(got / TavSckClient::kBatchMessages / 2)) << ticks << " ticks for " << got << " messages";
    // The memory of the burst has gone back.
    EXPECT_EQ(link.decoderCapacity(), 0);
    std::printf("flood: %lld messages in %lld ms, %d turns of the loop, close lag %lld ms, link held at most %lld "
                "bytes, peak memory +%ld KiB\n",
                static_cast<long long>(got), static_cast<long long>(floodMs), ticks, static_cast<long long>(lagMs),
                static_cast<long long>(maxHeld), grownKb);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
