// The room program as a user starts it: its help, its refusals, and a run of bot games that ends
// by itself with every game in its log.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>

#include "../logcheck.h"

namespace {

QString Program() { return qEnvironmentVariable("KVRN_BIN_DIR") + QStringLiteral("/kvrn-room"); }

struct Outcome {
    int code = -1;
    QString out, err;
};

Outcome Start(const QStringList& args, int ms = 60000)
{
    QProcess p;
    p.start(Program(), args);
    Outcome r;
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished(3000);
        return r;
    }
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The lines the program writes until one equals `last` (included); then it is stopped, without
// the pause it makes after its last game.
QStringList LinesUntil(const QStringList& args, const QString& last, int ms = 60000)
{
    QProcess p;
    p.start(Program(), args);
    QStringList lines;
    QByteArray pending;
    QElapsedTimer t;
    t.start();
    while (p.waitForReadyRead(std::max<qint64>(1, ms - t.elapsed())) || p.bytesAvailable() > 0) {
        pending += p.readAllStandardOutput();
        for (qsizetype nl; (nl = pending.indexOf('\n')) >= 0; pending.remove(0, nl + 1))
            if (nl > 0) lines.append(QString::fromUtf8(pending.left(nl)));
        if (lines.contains(last) || t.elapsed() > ms) break;
    }
    p.kill();
    p.waitForFinished(3000);
    return lines;
}

TEST(Program, HelpAndRefusals)
{
    const Outcome help = Start({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--turn-seconds")));
    const Outcome bad = Start({"--decks", "3"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("--decks")));
    const Outcome badAddr = Start({"--listen", "nowhere", "--port", "0"});
    EXPECT_EQ(badAddr.code, 1);
}

TEST(Program, BotGamesRunToTheirEndAndTheProgramStops)
{
    const Outcome r = Start({"--humans", "0", "--bot-delay", "0", "--games", "3", "--port", "0", "--seed", "5", "--decks", "2", "--bots", "basic,strong,basic,basic"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("listening 127.0.0.1:")));
    EXPECT_EQ(lines.last(), QStringLiteral("done games=3"));
    std::map<int, servertest::GameCheck> games;
    for (const QString& l : lines) servertest::CheckLogLine(games, l, 2);
    ASSERT_EQ(games.size(), 3u);
    for (const auto& [no, g] : games) EXPECT_TRUE(g.problems.isEmpty()) << no << g.problems.join('\n').toStdString();
    // The same seed deals the same games.
    QStringList a = lines, b = LinesUntil({"--humans", "0", "--bot-delay", "0", "--games", "3", "--port", "0", "--seed", "5", "--decks", "2", "--bots", "basic,strong,basic,basic"},
                                          QStringLiteral("done games=3"));
    a.removeFirst();
    if (!b.isEmpty()) b.removeFirst();
    EXPECT_EQ(a, b);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
