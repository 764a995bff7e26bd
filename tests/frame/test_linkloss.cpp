// Losing the link while a handler waits in a modal message box: the box gives up its wait, the
// window unloads once, the application's loop ends, and the window can then be deleted. Each test
// runs the real main loop (the tear-down ends it), with a watchdog in case the end never comes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <sys/socket.h>

#include "frame/frmgamemain.h"
#include "frame/kvrnmain.h"
#include "launch/client.h"
#include "launch/publicdefine.h"
#include "msgbox/frmmsg.h"
#include "platform/net/tavsckclient.h"
#include "rules/gamedefine.h"
#include "tableview/waitticks.h"
#include "support/guimain.h"
#include "support/timing.h"

namespace {

QByteArray Frame(const QByteArray& msg)
{
    const quint32 n = quint32(msg.size());
    QByteArray f;
    f.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    return f + msg;
}

// A client as the program sets it up, its window loaded and shown, ending the application's
// loop on unload as the program does.
struct Running {
    QTemporaryDir dir;
    Client c;
    QPointer<frmGameMain> w;
    QTcpServer server;
    QTcpSocket* peer = nullptr;
    int unloaded = 0;

    Running()
    {
        c.pub.strGameTitle = QStringLiteral("四人牌局");
        c.pub.strMyName = QStringLiteral("玩家甲");
        c.pub.strServerHost = "127.0.0.1";
        InitPublicState(c.pub, c.tv, dir.filePath("bin"));
        QDir().mkpath(dir.filePath("bin"));
        c.msgPool.InitMsgPool(c.pub.strParentPath);
        InitGameDefine(c.tbl);
        server.listen(QHostAddress::LocalHost);
        c.pub.strServerPort = QString::number(server.serverPort());
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            peer = server.nextPendingConnection();
            onPeer();
        });
        w = new frmGameMain(c);
        w->setScreenSize(QSize(1024, 768));
        QObject::connect(w, &frmGameMain::Unloaded, [this] { ++unloaded; });
        w->Form_Load();
        w->resize(1024, 736);
        w->show();
    }
    ~Running() { delete w.data(); }

    std::function<void()> onPeer = [] {};

    // Connects and runs the application's loop until the window's tear-down ends it (with the
    // program's status) or the watchdog does (99).
    int run()
    {
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(30000);
        QTimer::singleShot(0, w, [this] { w->ConnectRoomServer(); });
        return QApplication::exec();
    }
};

// Opens a modal box from inside the delivery of a message, as the game's notices do.
bool ShowNotice(Client& c, QWidget* owner, int ownerIdx)
{
    return c.msgPool.ShowMsg(ownerIdx, owner, 1, QStringLiteral("本局游戏结束!"), QStringLiteral("四人牌局"), 10,
                             QStringLiteral("确定"), QString(), true);
}

TEST(LinkLoss, WhileTheWindowsOwnBoxWaitsTheProgramEnds)
{
    Running r;
    QList<QByteArray> seen;
    int answers = 0;
    bool answer = true;
    bool sentAfter = true;
    QObject::connect(r.w->TavSckClient, &TavSckClient::DataArrived, [&](const QByteArray& m) {
        seen.append(m);
        if (m == QByteArray("\x02\x01", 2)) r.peer->disconnectFromHost();
        if (m != QByteArray("\x01\x01", 2)) return;
        answer = ShowNotice(r.c, r.w, 0);
        ++answers;
        // What a handler does after its box: the link is gone, nothing may be sent, and
        // another box must not hold the ending up.
        sentAfter = r.c.SendData(QByteArray("\x01\x02", 2));
        ShowNotice(r.c, r.w, 0);
        ++answers;
    });
    // The next message comes once the box is up and waiting, and the close once it is handled
    // (what still waits behind a close is not).
    QObject::connect(&r.c.msgPool, &MsgPool::MsgShown, [&](int) {
        if (!r.peer || r.unloaded) return;
        r.peer->write(Frame(QByteArray("\x02\x01", 2)));
        r.peer->flush();
    });
    r.onPeer = [&] {
        r.peer->write(Frame(QByteArray("\x01\x01", 2)));
        r.peer->flush();
    };

    EXPECT_EQ(r.run(), 0);
    EXPECT_EQ(r.unloaded, 1);
    EXPECT_EQ(answers, 2);
    EXPECT_FALSE(answer);
    EXPECT_FALSE(sentAfter);
    EXPECT_EQ(seen, (QList<QByteArray>{QByteArray("\x01\x01", 2), QByteArray("\x02\x01", 2)}));
    EXPECT_TRUE(r.w->isUnloaded());
    EXPECT_FALSE(r.w->isVisible());
    delete r.w.data();
    EXPECT_TRUE(r.w.isNull());
    EXPECT_EQ(r.c.msgPool.OpenCount(), 0);
}

TEST(LinkLoss, ABoxOfAnotherOwnerIsClosedWithTheOtherWindows)
{
    Running r;
    bool answer = true;
    bool returned = false;
    QPointer<frmMsg> box;
    QObject::connect(r.w->TavSckClient, &TavSckClient::DataArrived, [&](const QByteArray&) {
        answer = ShowNotice(r.c, r.w, 7);  // not the window's own: only the window's unload closes it
        returned = true;
    });
    QObject::connect(&r.c.msgPool, &MsgPool::MsgShown, [&](int slot) {
        box = r.c.msgPool.FormAt(slot);
        // The link fails rather than closing in order: a reset, whether or not the hello has
        // been read yet (a close with nothing unread would go out as an orderly end).
        if (r.peer) {
            const linger hard{1, 0};
            ::setsockopt(int(r.peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            r.peer->abort();
        }
    });
    r.onPeer = [&] {
        r.peer->write(Frame(QByteArray("\x86\x00", 2)));
        r.peer->flush();
    };

    EXPECT_EQ(r.run(), EXIT_LINK_FAILED);
    EXPECT_EQ(r.unloaded, 1);
    EXPECT_TRUE(returned);
    EXPECT_FALSE(answer);
    EXPECT_TRUE(box.isNull() || !box->isVisible());
    delete r.w.data();
    EXPECT_TRUE(box.isNull());  // gone at the latest with its owner window
    EXPECT_EQ(r.c.msgPool.OpenCount(), 0);
}

TEST(LinkLoss, NestedBoxesBothGiveUpTheirWait)
{
    Running r;
    QList<bool> answers;
    int shown = 0;
    QObject::connect(r.w->TavSckClient, &TavSckClient::DataArrived, [&](const QByteArray& m) {
        answers.append(ShowNotice(r.c, r.w, m.at(1) == 1 ? 0 : 3));
    });
    QObject::connect(&r.c.msgPool, &MsgPool::MsgShown, [&](int) {
        if (!r.peer) return;
        // The first box's wait lets the second message in; the close comes with the second box.
        if (++shown == 1) r.peer->write(Frame(QByteArray("\x01\x02", 2)));
        else r.peer->disconnectFromHost();
        r.peer->flush();
    });
    r.onPeer = [&] {
        r.peer->write(Frame(QByteArray("\x01\x01", 2)));
        r.peer->flush();
    };

    EXPECT_EQ(r.run(), 0);
    EXPECT_EQ(r.unloaded, 1);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(answers, (QList<bool>{false, false}));
    delete r.w.data();
    EXPECT_EQ(r.c.msgPool.OpenCount(), 0);
}

TEST(LinkLoss, DuringAnAnimationPauseTheProgramStillEnds)
{
    Running r;
    int pauses = 0;
    QObject::connect(r.w->TavSckClient, &TavSckClient::DataArrived, [&](const QByteArray&) {
        // An animation pausing between its frames while the link goes away under it.
        QTimer::singleShot(50, r.peer, [&r] { r.peer->disconnectFromHost(); });
        for (int i = 0; i < 3; ++i) {
            WaitTicks(300, r.c.pub.blnClosing);
            ++pauses;
        }
    });
    r.onPeer = [&] {
        r.peer->write(Frame(QByteArray("\x05\x00", 2)));
        r.peer->flush();
    };

    EXPECT_EQ(r.run(), 0);
    EXPECT_EQ(r.unloaded, 1);
    EXPECT_EQ(pauses, 3);
    delete r.w.data();
}

}  // namespace

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
