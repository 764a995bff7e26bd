// The client program and the room: hiding its only window on the server's word does not end it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <functional>

#include "launch/commandline.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "support/timing.h"

namespace {

using testsupport::WaitFor;

TEST(RoomApp, HiddenWindowKeepsTheProgramRunningUntilTheClose)
{
    QTemporaryDir dir;
    const QString src = qEnvironmentVariable("KVRN_BIN_DIR") + "/kvrn-table";
    ASSERT_TRUE(QFile::copy(src, dir.filePath("kvrn-table")));
    QFile::setPermissions(dir.filePath("kvrn-table"), QFile::permissions(src));
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    proc.setProcessEnvironment(env);
    proc.setWorkingDirectory(dir.path());
    proc.start(dir.filePath("kvrn-table"), {LaunchToken, "127.0.0.1", QString::number(server.serverPort()),
                                            QStringLiteral("牌局"), QStringLiteral("长工_100"), "r0", "r1",
                                            QStringLiteral("玩家甲"), "1"});
    ASSERT_TRUE(proc.waitForStarted(10000));
    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket* s = server.nextPendingConnection();
    s->write(EncodeFrame(BuildShowWindow(true)));
    s->flush();
    WaitFor([] { return false; }, 1000);
    EXPECT_EQ(proc.state(), QProcess::Running);
    s->write(EncodeFrame(BuildShowWindow(false)));
    s->flush();
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(proc.state(), QProcess::Running);
    s->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return proc.state() == QProcess::NotRunning; }));
    EXPECT_EQ(proc.exitCode(), 0);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
