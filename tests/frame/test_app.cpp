// The client program as the lobby starts it: refused launches, the hello, surviving junk from
// the server, and ending with the link. Each test runs a copy of the program in its own folder,
// so the settings file beside it is the test's own.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>

#include "frame/kvrnmain.h"
#include "launch/commandline.h"
#include "protocol/framing.h"
#include "support/tableprogram.h"
#include "support/timing.h"

namespace {

using testsupport::WaitFor;

struct App : testsupport::TableProgram {
    QTcpServer server;
    QByteArray err;

    App()
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&proc, &QProcess::readyReadStandardError, [this] { err += proc.readAllStandardError(); });
    }
    QStringList words(int count) const { return (Words(server.serverPort()) << "extra").mid(0, count); }
    // The first complete frame the client sends, or empty.
    QByteArray firstFrame(QTcpSocket* s)
    {
        QByteArray buf;
        WaitFor([&] {
            buf += s->readAll();
            if (buf.size() < 4) return false;
            const auto* p = reinterpret_cast<const uchar*>(buf.constData());
            const int n = (p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
            return buf.size() >= 4 + n;
        });
        if (buf.size() < 4) return {};
        return buf.mid(4, (uchar(buf[2]) << 8) | uchar(buf[3]));
    }
    QTcpSocket* accept()
    {
        if (!WaitFor([this] { return server.hasPendingConnections(); })) return nullptr;
        return server.nextPendingConnection();
    }
};

void RefusedLaunch(App& a, const QStringList& args, const QString& text)
{
    ASSERT_TRUE(a.start(args));
    ASSERT_TRUE(WaitFor([&] { return a.err.contains(text.toUtf8()); })) << a.err.toStdString();
    // The box is up and blocking now; nothing may have connected.
    WaitFor([] { return false; }, 500);
    EXPECT_FALSE(a.server.hasPendingConnections());
    EXPECT_EQ(a.proc.state(), QProcess::Running) << "the box should keep the program open";
}

TEST(App, EightWordsAreErrorOne)
{
    App a;
    RefusedLaunch(a, a.words(8), QStringLiteral("1号错误，无法正常启动游戏！"));
}

TEST(App, TenWordsAreErrorOne)
{
    App a;
    RefusedLaunch(a, a.words(10), QStringLiteral("1号错误，无法正常启动游戏！"));
}

TEST(App, TokenWithOneLetterInAnotherCaseIsErrorTwo)
{
    App a;
    QStringList w = a.words(9);
    w[0].replace(3, 1, w[0][3].toLower());  // "p3!Hq..." -> "p3!hq..."
    ASSERT_NE(w[0], LaunchToken);
    RefusedLaunch(a, w, QStringLiteral("2号错误，无法正常启动游戏！"));
}

TEST(App, HelloFirstThenJunkThenExitWhenTheServerCloses)
{
    App a;
    ASSERT_TRUE(a.start(a.words(9)));
    QTcpSocket* s = a.accept();
    ASSERT_NE(s, nullptr) << a.err.toStdString();
    EXPECT_EQ(a.firstFrame(s), QByteArray("\x82\x00" "600`KVRN`1", 12));

    // Two hundred messages of random bytes, each code once at least, split across writes.
    QRandomGenerator rng(20261207);
    QByteArray junk;
    for (int i = 0; i < 200; ++i) {
        QByteArray m(1 + int(rng.bounded(300)), 0);
        for (auto& b : m) b = char(rng.bounded(256));
        m[0] = char(i + 56);  // codes 56..255: both handlers
        junk += EncodeFrame(m);
    }
    for (int i = 0; i < junk.size(); i += 997) {
        s->write(junk.mid(i, 997));
        s->flush();
    }
    WaitFor([] { return false; }, 700);
    ASSERT_EQ(a.proc.state(), QProcess::Running) << a.err.toStdString();

    s->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return a.proc.state() == QProcess::NotRunning; }));
    EXPECT_EQ(a.proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(a.proc.exitCode(), 0);
}

TEST(App, WordsLikeToolkitOptionsAreOrdinaryWords)
{
    App a;
    QStringList w = a.words(9);
    w[5] = "-reverse";  // a reserved word the toolkit would otherwise take for itself
    w[6] = "-style";
    ASSERT_TRUE(a.start(w));
    QTcpSocket* s = a.accept();
    ASSERT_NE(s, nullptr) << a.err.toStdString();
    EXPECT_EQ(a.firstFrame(s), QByteArray("\x82\x00" "600`KVRN`1", 12));
}

// A user's name is a launch word like any other: one that reads like a toolkit option, right
// before the score-mode word, must neither stop the program nor be taken as an option.
class ToolkitLikeName : public ::testing::TestWithParam<const char*> {};

TEST_P(ToolkitLikeName, StartsAndSaysHello)
{
    App a;
    QStringList w = a.words(9);
    w[7] = QString::fromLatin1(GetParam());
    ASSERT_TRUE(a.start(w));
    QTcpSocket* s = a.accept();
    ASSERT_NE(s, nullptr) << a.err.toStdString();
    EXPECT_EQ(a.firstFrame(s), QByteArray("\x82\x00" "600`KVRN`1", 12));
    EXPECT_EQ(a.proc.state(), QProcess::Running) << a.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Names, ToolkitLikeName, ::testing::Values("-platform", "-plugin", "-stylesheet"));

TEST(App, HelloCarriesTheSettingFromTheFileBesideTheProgram)
{
    App a;
    a.writeSettings(" 0 \r\n 1 \r\n 1 \r\n 0 \r\n 1 \r\n");
    ASSERT_TRUE(a.start(a.words(9)));
    QTcpSocket* s = a.accept();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(a.firstFrame(s), QByteArray("\x82\x00" "600`KVRN`0", 12));
}

// A pipe of that name does not hold the start up: the program says hello with the defaults.
TEST(App, APipeNamedLikeTheSettingsFileGivesTheDefaults)
{
    App a;
    ASSERT_EQ(::mkfifo(QFile::encodeName(a.dir.filePath("UserSet.ini")).constData(), 0600), 0);
    ASSERT_TRUE(a.start(a.words(9)));
    QTcpSocket* s = a.accept();
    ASSERT_NE(s, nullptr) << a.err.toStdString();
    EXPECT_EQ(a.firstFrame(s), QByteArray("\x82\x00" "600`KVRN`1", 12));
}

// How the program ends tells the launcher why: a link that failed or a refused frame are not the
// ordinary end of a session.
TEST(App, LinkEndsGiveTheirExitCodes)
{
    const struct {
        const char* name;
        std::function<void(QTcpSocket*)> end;
        int code;
    } cases[] = {
        {"server closes", [](QTcpSocket* s) { s->disconnectFromHost(); }, EXIT_OK},
        {"server resets", [](QTcpSocket* s) {
             const linger hard{1, 0};
             ::setsockopt(int(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
             s->abort();
         }, EXIT_LINK_FAILED},
        {"close inside a frame", [](QTcpSocket* s) {
             s->write(QByteArray("\x00\x00\x00\x05\x82\x02", 6));
             s->disconnectFromHost();
         }, EXIT_LINK_FAILED},
        {"zero-length frame", [](QTcpSocket* s) { s->write(QByteArray(4, '\0')); s->flush(); }, EXIT_FRAME_REFUSED},
        {"frame over the limit", [](QTcpSocket* s) { s->write(QByteArray("\x00\x10\x00\x01", 4)); s->flush(); },
         EXIT_FRAME_REFUSED},
    };
    for (const auto& c : cases) {
        App a;
        ASSERT_TRUE(a.start(a.words(9)));
        QTcpSocket* s = a.accept();
        ASSERT_NE(s, nullptr) << c.name;
        a.firstFrame(s);
        c.end(s);
        ASSERT_TRUE(WaitFor([&] { return a.proc.state() == QProcess::NotRunning; })) << c.name;
        EXPECT_EQ(a.proc.exitStatus(), QProcess::NormalExit) << c.name;
        EXPECT_EQ(a.proc.exitCode(), c.code) << c.name;
    }
}

TEST(App, RefusedConnectionEndsTheProgram)
{
    App a;
    QStringList w = a.words(9);
    a.server.close();  // nobody listens on that port now
    ASSERT_TRUE(a.start(w));
    EXPECT_TRUE(WaitFor([&] { return a.proc.state() == QProcess::NotRunning; }));
    EXPECT_EQ(a.proc.exitCode(), EXIT_LINK_FAILED);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
