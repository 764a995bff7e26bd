// Launch words: splitting, checking and storing.
#include <gtest/gtest.h>

#include "launch/commandline.h"
#include "rules/publicstate.h"

namespace {

struct SplitCase {
    const char* name;
    QString line;
    int maxArgs;
    QStringList words;  // from slot 1
};

class Split : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Split, Words)
{
    const SplitCase& c = GetParam();
    const QStringList got = SplitCommandLine(c.line, c.maxArgs);
    ASSERT_FALSE(got.isEmpty());
    EXPECT_TRUE(got[0].isEmpty());
    EXPECT_EQ(got.mid(1), c.words) << got.join(u'|').toStdString();
}

QStringList Numbers(int n)
{
    QStringList w;
    for (int i = 1; i <= n; ++i) w << QString::number(i);
    return w;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Split,
    ::testing::Values(
        SplitCase{"empty", "", 10, {}},
        SplitCase{"only_separators", " \t  \t", 10, {}},
        SplitCase{"blanks_and_tabs", "  a\t\tb \t c  ", 10, {"a", "b", "c"}},
        SplitCase{"quotes_not_special", "x \"a b\" y", 10, {"x", "\"a", "b\"", "y"}},
        SplitCase{"backslash_not_special", "a\\ b", 10, {"a\\", "b"}},
        SplitCase{"line_feed_is_no_separator", "a\nb c", 10, {"a\nb", "c"}},
        SplitCase{"eight", "1 2 3 4 5 6 7 8", 10, Numbers(8)},
        SplitCase{"nine", "1 2 3 4 5 6 7 8 9", 10, Numbers(9)},
        SplitCase{"ten", "1 2 3 4 5 6 7 8 9 10", 10, Numbers(10)},
        SplitCase{"eleven_drops_the_last", "1 2 3 4 5 6 7 8 9 10 11", 10, Numbers(10)},
        SplitCase{"max_three", "1 2 3 4", 3, Numbers(3)},
        SplitCase{"max_zero", "1 2", 0, {}},
        SplitCase{"chinese", QStringLiteral("房间 玩家甲"), 10, {QStringLiteral("房间"), QStringLiteral("玩家甲")}}),
    [](const auto& info) { return std::string(info.param.name); });

QString NineWords(const QString& sep = QStringLiteral(" "))
{
    return QStringList{LaunchToken, "127.0.0.1", "5000", QStringLiteral("牌局"), QStringLiteral("长工_100`短工_200"),
                       "r0", "r1", QStringLiteral("玩家甲"), "1"}
        .join(sep);
}

TEST(LaunchArgs, NineWordsWithMixedSeparatorsAreValid)
{
    EXPECT_EQ(CheckLaunchArgs(SplitCommandLine(NineWords())), 0);
    EXPECT_EQ(CheckLaunchArgs(SplitCommandLine("\t " + NineWords(QStringLiteral(" \t\t  ")) + "  ")), 0);
}

TEST(LaunchArgs, WrongCountIsErrorOneBeforeTheToken)
{
    EXPECT_EQ(CheckLaunchArgs(SplitCommandLine(NineWords() + " extra")), 1);
    EXPECT_EQ(CheckLaunchArgs(SplitCommandLine(NineWords().section(u' ', 0, 7))), 1);
    EXPECT_EQ(CheckLaunchArgs(SplitCommandLine("wrong 2 3 4 5 6 7 8")), 1);
    EXPECT_EQ(CheckLaunchArgs(SplitCommandLine("")), 1);
}

TEST(LaunchArgs, TokenComparedExactly)
{
    QString words = NineWords();
    words[0] = words[0].toUpper();  // "p3!Hq..." -> "P3!Hq..."
    EXPECT_EQ(CheckLaunchArgs(SplitCommandLine(words)), 2);
    EXPECT_EQ(CheckLaunchArgs(SplitCommandLine("x" + NineWords())), 2);
    EXPECT_EQ(LaunchToken.size(), 38);
}

TEST(LaunchArgs, ScoreModeMustFitAByte)
{
    QStringList a = SplitCommandLine(NineWords());
    for (const char* ok : {"0", "1", "2", "255", "abc"}) {
        a[9] = ok;
        EXPECT_EQ(CheckLaunchArgs(a), 0) << ok;
    }
    for (const char* bad : {"256", "-1", "1e9"}) {
        a[9] = bad;
        EXPECT_EQ(CheckLaunchArgs(a), 1) << bad;
    }
}

TEST(LaunchArgs, ErrorTexts)
{
    EXPECT_EQ(LaunchErrorText(1), QStringLiteral("1号错误，无法正常启动游戏！"));
    EXPECT_EQ(LaunchErrorText(2), QStringLiteral("2号错误，无法正常启动游戏！"));
}

TEST(LaunchArgs, StoredIntoTheGlobals)
{
    PublicState p;
    StoreLaunchArgs(p, SplitCommandLine(NineWords()));
    EXPECT_EQ(p.strServerHost, "127.0.0.1");
    EXPECT_EQ(p.strServerPort, "5000");
    EXPECT_EQ(p.strGameTitle, QStringLiteral("牌局"));
    EXPECT_EQ(p.strLevelInfo, QStringLiteral("长工_100`短工_200"));
    EXPECT_EQ(p.strReserved[0], "r0");
    EXPECT_EQ(p.strReserved[1], "r1");
    EXPECT_EQ(p.strMyName, QStringLiteral("玩家甲"));
    EXPECT_EQ(p.bteScoreMode, 1);
    QStringList a = SplitCommandLine(NineWords());
    a[9] = "2.5";  // rounded half to even
    StoreLaunchArgs(p, a);
    EXPECT_EQ(p.bteScoreMode, 2);
}

TEST(LaunchArgs, JoinedArgumentsSkipTheProgram)
{
    EXPECT_EQ(JoinedArguments({"/bin/prog", "a", "b c"}), "a b c");
    EXPECT_EQ(JoinedArguments({"/bin/prog"}), "");
}

}  // namespace
