// The rules probe as a program: one answer line per input line, quickly, with exact answers.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <random>
#include <string>

#ifndef KVRN_RULES_PROBE
#define KVRN_RULES_PROBE ""
#endif

namespace {

QString probePath()
{
    const QString compiled = QString::fromUtf8(KVRN_RULES_PROBE);
    if (!compiled.isEmpty()) return compiled;
    return qEnvironmentVariable("KVRN_BIN_DIR") + QStringLiteral("/kvrn-rules");
}

// Runs the probe over the input and returns its output lines (the last line break dropped).
QStringList runProbe(const QByteArray& input)
{
    QProcess p;
    p.start(probePath(), {});
    if (!p.waitForStarted(30000)) {
        ADD_FAILURE() << "cannot start " << probePath().toStdString();
        return {};
    }
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (out.endsWith(QLatin1Char('\n'))) out.chop(1);
    return out.split(QLatin1Char('\n'));
}

TEST(RulesProbe, ExactAnswers)
{
    struct Row { const char* in; const char* out; };
    const Row rows[] = {
        {"classify 10 7 2", "1 7 7 10 3 0 0 0"},
        {"classify 23 20 15", "1 7 7 23 3 0 0 0"},
        {"classify 53 52", "1 8 8 53 2 0 0 0"},
        {"classify 9 9 9 7 7 7", "1 4 5 9 3 5 7 3"},
        {"classify", "0"},
        {"classify 54 54", "0"},
        {"classify 0 1", "0"},
        {"first 6 19 32 7 20 33", "0 错误提示：首家出牌不能出 两套火！"},
        {"first 0 14", "0 错误提示：牌型不对！"},
        {"first 2 3 4", "1 2 2 4 3 0 0 0"},
        {"follow 0 0 0 11 1 0 0 0 0 12 25", "0 错误提示：必须和本轮最大出牌的牌型相同：单牌"},
        {"follow 0 0 0 11 1 0 0 0 0 12", "1 0 0 12 1 0 0 0"},
        {"follow 2 3 3 2 6 0 0 0 1 0 13 26", "0 错误提示：本轮有人出过双顺，你必须用两套火管！"},
        {"follow 2 2 2 4 3 0 0 0 0 6 19 32 7 20 33", "0 错误提示：本轮没有人出双顺，你不能出两套火！"},
        {"follow 1 12 12 53 4 0 0 0 1 0 13 26 39 0 13 26 39", "0 错误提示：本轮有人出过双顺，你必须用两套火管！"},
        {"follow 0 0 0 11 1 0 0 0 0", "0 错误提示：牌型不对！"},
        {"bigger 5 1 4 5 9 3", "1"},
        {"bigger 6 49 3 6 10 3", "0"},
        {"arrange 2 1 53 1 52 2 7 10 40 41 44 28", "53 52 2 7 10 44 41 28 40 1"},
        {"arrange 1 0 0 13 26 11", "13 26 0 11"},  // the exchange sort moves the first three last
        {"arrange 1 1", ""},
        {"fen 2 7 10 52", "25"},
        {"fen", "0"},
        {"fen 0002 007", "15"},
        {"  classify   0\r", "1 0 0 0 1 0 0 0"},
    };
    QByteArray input;
    for (const Row& r : rows) input += QByteArray(r.in) + '\n';
    const QStringList out = runProbe(input);
    ASSERT_EQ(out.size(), int(std::size(rows)));
    for (int i = 0; i < out.size(); ++i) EXPECT_EQ(out[i].toStdString(), rows[i].out) << rows[i].in;
}

TEST(RulesProbe, BadLinesAnswerAnErrorAndTheProbeGoesOn)
{
    const char* bad[] = {"", "foo 1 2", "classify 256", "classify -1", "classify 1x", "classify 0256", "classify +5",
                         "follow 1 2 3", "follow 0 0 0 0 0 0 0 0 2 5", "bigger 1 2 3", "arrange 1",
                         "arrange 1 2 5", "fen 99999999999999999999"};
    QByteArray input;
    for (const char* b : bad) input += QByteArray(b) + "\nfen 2\n";
    const QStringList out = runProbe(input);
    ASSERT_EQ(out.size(), 2 * int(std::size(bad)));
    for (int i = 0; i < int(std::size(bad)); ++i) {
        EXPECT_TRUE(out[2 * i].startsWith(QStringLiteral("error:"))) << bad[i] << " -> " << out[2 * i].toStdString();
        EXPECT_EQ(out[2 * i + 1], QStringLiteral("5"));
    }
}

TEST(RulesProbe, TwentyThousandLinesOneAnswerEach)
{
    std::mt19937 rng(5);
    const char* cmds[] = {"classify", "first", "fen"};
    QByteArray input;
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        switch (i % 6) {
        case 0:
        case 1:
        case 2: line = cmds[i % 3]; break;
        case 3: line = "follow " + std::to_string(rng() % 4) + " " + std::to_string(rng() % 14) + " 5 20 4 0 0 0 " + std::to_string(rng() % 2); break;
        case 4: line = "arrange 2 " + std::to_string(rng() % 2); break;
        default: line = "bigger 5 20 4 5 33 " + std::to_string(rng() % 6); break;
        }
        if (i % 6 != 5) {
            const int n = int(rng() % (i % 50 == 0 ? 40 : 13));
            for (int k = 0; k < n; ++k) line += " " + std::to_string(i % 97 == 0 ? rng() % 256 : rng() % 54);
        }
        if (i % 1000 == 999) line = "garbage line";
        input += QByteArray::fromStdString(line) + '\n';
    }
    const QStringList out = runProbe(input);
    ASSERT_EQ(out.size(), 20000);
    int errors = 0;
    for (const QString& l : out) errors += l.startsWith(QStringLiteral("error:")) ? 1 : 0;
    EXPECT_EQ(errors, 20);
}

TEST(RulesProbe, BinaryGarbageKeepsOneLinePerLine)
{
    std::mt19937 rng(11);
    QByteArray input;
    const int lines = 2000;
    for (int i = 0; i < lines; ++i) {
        QByteArray l = (i % 2) ? QByteArray("classify ") : QByteArray();
        const int n = int(rng() % 60);
        for (int k = 0; k < n; ++k) {
            char ch = char(rng() % 256);
            if (ch == '\n') ch = ' ';
            l += ch;
        }
        input += l + '\n';
    }
    const QStringList out = runProbe(input);
    EXPECT_EQ(out.size(), lines);
}

}  // namespace
