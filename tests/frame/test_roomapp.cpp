// The client program and the room: hiding its only window on the server's word does not end it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

#include "protocol/framing.h"
#include "protocol/messages.h"
#include "support/tableprogram.h"
#include "support/timing.h"

namespace {

using testsupport::WaitFor;

TEST(RoomApp, HiddenWindowKeepsTheProgramRunningUntilTheClose)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    testsupport::TableProgram program;
    const QProcess& proc = program.proc;
    ASSERT_TRUE(program.start(server.serverPort()));
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
