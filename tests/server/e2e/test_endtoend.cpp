// The whole client, headless, plays a game against the room program: the room's bots and the
// client's own automatic moves carry it to its end. The room's log is replayed against the rules
// (every play held and allowed, every point accounted for) and the client's table must agree
// with the room's last word; the list shows the result, and the next game starts with the
// player's start.
//
// The client's pauses and turn clock run on a clock the test moves on ten times faster than real
// time: its own one-second turns time out in a tenth of a second, well inside the room's wait for
// them, and its trick pauses pass as soon as it has nothing else to do.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "../logcheck.h"
#include "platform/core/clock.h"
#include "support/clientfixture.h"
#include "support/guimain.h"
#include "support/roomprocess.h"

namespace {

using namespace servertest;

constexpr int kStartMs = testsupport::kHangMs;
constexpr int kGameMs = 240000;

// The room with one person's chair and quick bots, and the client's clock moved on ten times
// faster than real time.
struct EndToEnd : ::testing::Test {
    testsupport::RoomProcess room;
    ManualClock clock;
    QTimer fast;

    void SetUp() override
    {
        ASSERT_TRUE(room.start({"--humans", "1", "--name", "玩家甲", "--turn-seconds", "1", "--auto-out-limit", "255",
                                "--bot-delay", "10", "--seed", "11"}))
            << room.tail(20);
        QObject::connect(&fast, &QTimer::timeout, [this] { clock.advance(100); });
        fast.start(10);
    }
    // A client of the player, linked to the room.
    std::unique_ptr<testsupport::LoopbackClient> join()
    {
        auto lc = std::make_unique<testsupport::LoopbackClient>(QStringLiteral("玩家甲"));
        lc->c.pub.strServerPort = QString::number(room.port);
        lc->w->ConnectRoomServer();
        return lc;
    }
    // The start button shows (the bots wait for it) and is clicked.
    void start(testsupport::LoopbackClient& lc)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return lc.w->cmdStart->isVisible(); }, kStartMs));
        QTest::mouseClick(lc.w->cmdStart, Qt::LeftButton);
    }
    // The room's log of the first game holds only held, allowed plays and no refusal.
    void expectFirstGameSound(int minPlays)
    {
        std::map<int, GameCheck> games;
        for (const QString& l : room.lines) CheckLogLine(games, l, 1);
        ASSERT_EQ(games.count(1), 1u);
        EXPECT_TRUE(games[1].problems.isEmpty()) << games[1].problems.join('\n').toStdString();
        EXPECT_GT(games[1].plays, minPlays);
        EXPECT_FALSE(room.has(QStringLiteral("refused "))) << room.first(QStringLiteral("refused ")).toStdString();
    }
};

TEST_F(EndToEnd, TheClientPlaysAWholeGameAgainstTheRoom)
{
    const auto lc = join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return lc->w->cmdStart->isVisible(); }, kStartMs));
    EXPECT_FALSE(room.has(QStringLiteral("ready ")));
    start(*lc);

    // A client that does not take part in games yet never holds its cards.
    const bool dealt = QTest::qWaitFor([&] { return lc->c.tbl.MyPai.count() == 13; }, kStartMs);
    if (!dealt) GTEST_SKIP() << "the client does not play a game yet (no hand after the deal)";

    ASSERT_TRUE(QTest::qWaitFor([&] { return room.has(QStringLiteral("over game=1")); }, kGameMs)) << room.tail(20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return lc->c.tbl.ShowLeftPai == 1; }, testsupport::kHangMs));
    // The list comes again with the game counted; the end panel stays up through it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return lc->c.users.Find(QStringLiteral("玩家甲")).split('`').value(UF_Games) == "1"; }, testsupport::kHangMs));
    EXPECT_TRUE(lc->c.round.GameOverShown);

    expectFirstGameSound(4);
    // Every move of the client's chair was the client's own: the room never had to time it out.
    EXPECT_FALSE(room.has(QStringLiteral("timeout "))) << room.first(QStringLiteral("timeout ")).toStdString();

    // The client's table agrees with the room's last word.
    const QString over = room.first(QStringLiteral("over game=1"));
    const QStringList score = Field(over, QStringLiteral("score")).split(',');
    ASSERT_EQ(score.size(), 2);
    EXPECT_EQ(lc->c.tbl.TeamScore[0], score[0].toInt());
    EXPECT_EQ(lc->c.tbl.TeamScore[1], score[1].toInt());
    const QStringList left = Field(over, QStringLiteral("left")).split('|');
    ASSERT_EQ(left.size(), 4);
    const uint8_t me = lc->c.tbl.bteMyChair;
    EXPECT_EQ(lc->c.tbl.MyPai.count(), int(ParseCardsText(left[me])->size()));
    for (uint8_t c = 0; c < 4; ++c) {
        if (c == me) continue;
        EXPECT_EQ(lc->c.tbl.Chairs[c].LeftPai.count(), int(ParseCardsText(left[c])->size())) << int(c);
    }
    EXPECT_EQ(lc->unloaded, 0) << "the client stayed at the table to the end";

    // The next game starts once the player is ready again.
    start(*lc);
    EXPECT_TRUE(QTest::qWaitFor([&] { return room.has(QStringLiteral("deal game=2")); }, kStartMs));
}

TEST_F(EndToEnd, APlayerWhoDropsComesBackAndPlaysOnFromTheSnapshot)
{
    auto first = join();
    start(*first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return room.count(QStringLiteral("play game=1")) >= 6; }, kGameMs));
    first.reset();   // the link goes with the window
    ASSERT_TRUE(QTest::qWaitFor([&] { return room.has(QStringLiteral("drop game=1 chair=0")); }, kStartMs));

    const auto back = join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return room.has(QStringLiteral("back game=1 chair=0")); }, kStartMs))
        << room.tail(10);
    // The snapshot seats the player at its chair with its hand, and its moves are its own again.
    EXPECT_EQ(back->c.pub.strMyName, QStringLiteral("玩家甲"));
    EXPECT_FALSE(back->c.tbl.blnPangGuan);
    // The room's limit of automatic moves comes with a game's start only: a client that comes back
    // counts to the default, and nobody sits at this one to move by hand.
    back->c.tbl.AutoOutLimit = 255;
    ASSERT_TRUE(QTest::qWaitFor([&] { return room.has(QStringLiteral("over game=1")); }, kGameMs));
    expectFirstGameSound(0);
    EXPECT_FALSE(room.has(QStringLiteral("escape "))) << room.tail(40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return back->c.round.GameOverShown; }, kStartMs));
    EXPECT_EQ(back->unloaded, 0);
}

}  // namespace

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
