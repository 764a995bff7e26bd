// The whole client under a load of ordinary messages: 10,000 chat lines and plays in one burst
// during a game (KVRN_LOAD_MESSAGES sets another count: 50,000 for a long run). Every message is handled, in the order sent, the event loop keeps its timers
// running meanwhile, and memory stays bounded.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

#include "platform/net/tavsckclient.h"
#include "platform/widgets/tavchat.h"
#include "support/clientfixture.h"
#include "support/guimain.h"
#include "support/timing.h"

namespace {

QString Row(const QString& name, int chair)
{
    return JoinUserRow({name, "10001", "150", "150", "", "20", "55", "5", "11", "8", "1", "0", "1003",
                        QString::number(chair), "0", "0"});
}

TEST(Load, ABurstOfChatLinesAndPlaysArrivesWholeAndInOrder)
{
    testsupport::LoopbackClient lc(QStringLiteral("玩家甲"));
    ASSERT_TRUE(lc.connect());
    lc.feed({BuildIdentity(QStringLiteral("玩家甲"), QStringLiteral("玩家甲")),
             BuildUserList({Row(QStringLiteral("玩家甲"), 0), Row(QStringLiteral("乙"), 1), Row(QStringLiteral("丙"), 2),
                            Row(QStringLiteral("丁"), 3)})});
    lc.feed({BuildGameStart(255, 1, 0, 30, 1), BuildDeal(false, CardList(13, 5), {})});
    ASSERT_FALSE(lc.c.tbl.TableIdle);
    ASSERT_EQ(lc.c.tbl.MyPai.count(), 13);

    // Chat lines numbered in order; between them the other three chairs play single threes and
    // pass in turn, so the trick goes on and the own turn never comes.
    // KVRN_LOAD_MESSAGES gives another count, for measuring.
    const int kMessages =
        qEnvironmentVariableIsSet("KVRN_LOAD_MESSAGES") ? qEnvironmentVariableIntValue("KVRN_LOAD_MESSAGES") : 10000;
    QList<QByteArray> burst;
    burst.reserve(kMessages);
    for (int i = 0; i < kMessages; ++i) {
        if (i % 2 == 0) {
            burst.append(BuildChat({"乙", "所有人", "乙", "所有人", QString::number(i), "#000000", "0", "0", "", ""}));
        } else {
            const uint8_t chair = uint8_t(1 + (i / 2) % 3);
            const uint8_t next = uint8_t(chair % 3 + 1);
            burst.append(BuildOutPaiNotice(next, 2, 0, chair, (i / 2) % 4 == 0 ? CardList{uint8_t(chair * 13)} : CardList{kPassCard}));
        }
    }
    int handled = 0;
    bool inOrder = true;
    QObject::connect(lc.w->TavSckClient, &TavSckClient::DataArrived, [&](const QByteArray& m) {
        if (handled < burst.size() && m != burst[handled]) inOrder = false;
        ++handled;
    });
    // A timer due at every turn of the loop, counted while the burst is under way: a client that
    // handled the whole burst in one go would leave it no turn in between.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ticks += handled > 0 && handled < kMessages; });
    timer.start(0);
    const long peakBefore = testsupport::PeakRssKb();
    QElapsedTimer t;
    t.start();
    lc.peer.send(burst);
    ASSERT_TRUE(lc.peer.waitFor([&] { return handled >= kMessages; }, 300000)) << handled;
    const qint64 ms = t.elapsed();
    lc.settle(100);

    EXPECT_EQ(handled, kMessages);
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(lc.unloaded, 0);
    // The last chat line is the last one sent; the last play is on the table.
    EXPECT_TRUE(lc.w->TavChat->plainText().trimmed().endsWith(QString::number(kMessages - 2)));
    const int lastChair = 1 + ((kMessages - 1) / 2) % 3;
    EXPECT_EQ(lc.c.tbl.Chairs[size_t(lastChair)].OutPai.count(), 1);
    EXPECT_EQ(lc.c.tbl.TurnChair, lastChair % 3 + 1);
    // The loop had its turns between the messages (the link raises a few hundred at most in one
    // turn, so the burst takes some twenty): the timer fired meanwhile.
    EXPECT_GE(ticks, 10) << ticks << " ticks in " << ms << " ms";
    const long grownKb = testsupport::PeakRssKb() - peakBefore;
    // 64 MiB for 50,000 messages, in proportion for other counts (16 MiB at least): what the
    // client keeps per message stays small.
    const long allowedKb = std::max(16L * 1024, long(64LL * 1024 * kMessages / 50000));
    if (!testsupport::Sanitized()) {
        EXPECT_LT(grownKb, allowedKb) << "peak memory grew by " << grownKb << " KiB";
    }
    std::printf("load: %d messages in %lld ms, %d timer ticks, peak memory +%ld KiB\n", kMessages,
                static_cast<long long>(ms), ticks, grownKb);
}

}  // namespace

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
