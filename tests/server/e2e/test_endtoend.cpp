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
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "../logcheck.h"
#include "platform/core/clock.h"
#include "support/clientfixture.h"
#include "support/guimain.h"

namespace {

using namespace servertest;

constexpr int kStartMs = 10000;
constexpr int kGameMs = 240000;

struct Room {
    QProcess proc;
    QStringList lines;
    QByteArray pending;
    quint16 port = 0;

    bool start(const QStringList& args)
    {
        QObject::connect(&proc, &QProcess::readyReadStandardOutput, [this] {
            pending += proc.readAllStandardOutput();
            qsizetype nl;
            while ((nl = pending.indexOf('\n')) >= 0) {
                lines.append(QString::fromUtf8(pending.left(nl)));
                pending.remove(0, nl + 1);
            }
        });
        proc.start(testsupport::BuiltProgramDir() + QStringLiteral("/kvrn-room"), args);
        if (!proc.waitForStarted(5000)) return false;
        const QRegularExpression re(QStringLiteral("^listening [^ ]+:(\\d+)$"));
        if (!QTest::qWaitFor([&] { return !lines.isEmpty(); }, 5000)) return false;
        const auto m = re.match(lines.value(0));
        port = m.hasMatch() ? quint16(m.captured(1).toUInt()) : 0;
        return port != 0;
    }
    bool has(const QString& prefix) const
    {
        return std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(prefix); });
    }
    QString first(const QString& prefix) const
    {
        for (const QString& l : lines)
            if (l.startsWith(prefix)) return l;
        return QString();
    }
    ~Room()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(3000);
        }
    }
};

TEST(EndToEnd, TheClientPlaysAWholeGameAgainstTheRoom)
{
    Room room;
    ASSERT_TRUE(room.start({"--port", "0", "--humans", "1", "--name", "玩家甲", "--turn-seconds", "1", "--auto-out-limit",
                            "255", "--bot-delay", "10", "--seed", "11"}))
        << room.lines.join('\n').toStdString();

    ManualClock clock;
    QTimer fast;
    QObject::connect(&fast, &QTimer::timeout, [&] { clock.advance(100); });
    fast.start(10);
    testsupport::LoopbackClient lc(QStringLiteral("玩家甲"));
    lc.c.pub.strServerPort = QString::number(room.port);
    lc.w->ConnectRoomServer();
    // The bots wait for the player's start.
    ASSERT_TRUE(QTest::qWaitFor([&] { return lc.w->cmdStart->isVisible(); }, kStartMs));
    EXPECT_FALSE(room.has(QStringLiteral("ready ")));
    QTest::mouseClick(lc.w->cmdStart, Qt::LeftButton);

    // A client that does not take part in games yet never holds its cards.
    const bool dealt = QTest::qWaitFor([&] { return lc.c.tbl.MyPai.count() == 13; }, kStartMs);
    if (!dealt) GTEST_SKIP() << "the client does not play a game yet (no hand after the deal)";

    ASSERT_TRUE(QTest::qWaitFor([&] { return room.has(QStringLiteral("over game=1")); }, kGameMs))
        << room.lines.mid(room.lines.size() - 20).join('\n').toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return lc.c.tbl.ShowLeftPai == 1; }, 10000));
    // The list comes again with the game counted; the end panel stays up through it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return lc.c.users.Find(QStringLiteral("玩家甲")).split('`').value(UF_Games) == "1"; }, 10000));
    EXPECT_TRUE(lc.c.round.GameOverShown);

    std::map<int, GameCheck> games;
    for (const QString& l : room.lines) CheckLogLine(games, l, 1);
    ASSERT_EQ(games.count(1), 1u);
    EXPECT_TRUE(games[1].problems.isEmpty()) << games[1].problems.join('\n').toStdString();
    EXPECT_GT(games[1].plays, 4);
    EXPECT_FALSE(room.has(QStringLiteral("refused "))) << room.first(QStringLiteral("refused ")).toStdString();
    // Every move of the client's chair was the client's own: the room never had to time it out.
    EXPECT_FALSE(room.has(QStringLiteral("timeout "))) << room.first(QStringLiteral("timeout ")).toStdString();

    // The client's table agrees with the room's last word.
    const QString over = room.first(QStringLiteral("over game=1"));
    const QStringList score = Field(over, QStringLiteral("score")).split(',');
    ASSERT_EQ(score.size(), 2);
    EXPECT_EQ(lc.c.tbl.TeamScore[0], score[0].toInt());
    EXPECT_EQ(lc.c.tbl.TeamScore[1], score[1].toInt());
    const QStringList left = Field(over, QStringLiteral("left")).split('|');
    ASSERT_EQ(left.size(), 4);
    const uint8_t me = lc.c.tbl.bteMyChair;
    EXPECT_EQ(lc.c.tbl.MyPai.count(), int(ParseCardsText(left[me])->size()));
    for (uint8_t c = 0; c < 4; ++c) {
        if (c == me) continue;
        EXPECT_EQ(lc.c.tbl.Chairs[c].LeftPai.count(), int(ParseCardsText(left[c])->size())) << int(c);
    }
    EXPECT_EQ(lc.unloaded, 0) << "the client stayed at the table to the end";

    // The next game starts once the player is ready again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return lc.w->cmdStart->isVisible(); }, kStartMs));
    QTest::mouseClick(lc.w->cmdStart, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return room.has(QStringLiteral("deal game=2")); }, kStartMs));
}

TEST(EndToEnd, APlayerWhoDropsComesBackAndPlaysOnFromTheSnapshot)
{
    Room room;
    ASSERT_TRUE(room.start({"--port", "0", "--humans", "1", "--name", "玩家甲", "--turn-seconds", "1", "--auto-out-limit",
                            "255", "--bot-delay", "10", "--seed", "11"}))
        << room.lines.join('\n').toStdString();
    ManualClock clock;
    QTimer fast;
    QObject::connect(&fast, &QTimer::timeout, [&] { clock.advance(100); });
    fast.start(10);

    auto first = std::make_unique<testsupport::LoopbackClient>(QStringLiteral("玩家甲"));
    first->c.pub.strServerPort = QString::number(room.port);
    first->w->ConnectRoomServer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->w->cmdStart->isVisible(); }, kStartMs));
    QTest::mouseClick(first->w->cmdStart, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return room.lines.filter(QStringLiteral("play game=1")).size() >= 6; }, kGameMs));
    first.reset();   // the link goes with the window
    ASSERT_TRUE(QTest::qWaitFor([&] { return room.has(QStringLiteral("drop game=1 chair=0")); }, kStartMs));

    testsupport::LoopbackClient back(QStringLiteral("玩家甲"));
    back.c.pub.strServerPort = QString::number(room.port);
    back.w->ConnectRoomServer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return room.has(QStringLiteral("back game=1 chair=0")); }, kStartMs))
        << room.lines.mid(room.lines.size() - 10).join('\n').toStdString();
    // The snapshot seats the player at its chair with its hand, and its moves are its own again.
    EXPECT_EQ(back.c.pub.strMyName, QStringLiteral("玩家甲"));
    EXPECT_FALSE(back.c.tbl.blnPangGuan);
    // The room's limit of automatic moves comes with a game's start only: a client that comes back
    // counts to the default, and nobody sits at this one to move by hand.
    back.c.tbl.AutoOutLimit = 255;
    ASSERT_TRUE(QTest::qWaitFor([&] { return room.has(QStringLiteral("over game=1")); }, kGameMs));
    std::map<int, GameCheck> games;
    for (const QString& l : room.lines) CheckLogLine(games, l, 1);
    EXPECT_TRUE(games[1].problems.isEmpty()) << games[1].problems.join('\n').toStdString();
    EXPECT_FALSE(room.has(QStringLiteral("refused ")));
    EXPECT_FALSE(room.has(QStringLiteral("escape "))) << room.lines.join('\n').toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return back.c.round.GameOverShown; }, kStartMs));
    EXPECT_EQ(back.unloaded, 0);
}

}  // namespace

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
