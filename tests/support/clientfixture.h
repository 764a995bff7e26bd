#pragma once
// A whole client for tests: the shared state set up as the program does, the main window loaded
// and shown, its link connected to a scripted room-server peer on loopback. The window does not
// end the application on unload, so one test program can run many of these.
//
// Header-only: include it from test programs that link the main window (tests/frame).
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>

#include "frame/frmgamemain.h"
#include "launch/client.h"
#include "launch/publicdefine.h"
#include "platform/net/tavsckclient.h"
#include "rules/gamedefine.h"
#include "protocol/messages.h"
#include "support/scriptedpeer.h"

namespace testsupport {

// The program folder with the generated pictures and sounds (build/bin), or "" when unknown.
inline QString BuiltProgramDir() { return qEnvironmentVariable("KVRN_BIN_DIR"); }

struct LoopbackClient {
    ScriptedPeer peer;
    QTemporaryDir dir;
    Client c;
    QPointer<frmGameMain> w;
    int unloaded = 0;
    // Messages the client's link has delivered and the window has handled.
    int handled = 0;

    // programDir: where the client looks for its resources and settings; empty: a fresh folder
    // with nothing in it (no pictures, default settings).
    explicit LoopbackClient(const QString& myName = QStringLiteral("玩家甲"), const QString& programDir = QString(),
                            QSize screen = QSize(1024, 768))
    {
        const QString bin = programDir.isEmpty() ? dir.filePath(QStringLiteral("bin")) : programDir;
        QDir().mkpath(bin);
        c.pub.strGameTitle = QStringLiteral("四人牌局");
        c.pub.strMyName = myName;
        c.pub.strLevelInfo = QStringLiteral("长工_100`短工_200`佃农_500`贫农_1000`中农_2000`富农_4000`地主_8000`恶霸_12000");
        c.pub.strServerHost = QStringLiteral("127.0.0.1");
        c.pub.strServerPort = QString::number(peer.port());
        InitPublicState(c.pub, c.tv, bin);
        c.msgPool.InitMsgPool(c.pub.strParentPath);
        InitGameDefine(c.tbl);
        w = new frmGameMain(c);
        w->setScreenSize(screen);
        w->setQuitOnUnload(false);
        QObject::connect(w, &frmGameMain::Unloaded, [this] { ++unloaded; });
        // After the window's own handler: counts a message once its handler has returned.
        QObject::connect(w->TavSckClient, &::TavSckClient::DataArrived, [this] { ++handled; });
        w->Form_Load();
        w->resize(screen.width(), screen.height() - 32);
        w->show();
    }
    ~LoopbackClient() { delete w.data(); }

    // Connects and waits for the hello; false when it did not come.
    bool connect(int ms = 5000)
    {
        w->ConnectRoomServer();
        return peer.waitForKind(MsgKind::Hello, ms);
    }

    // Sends messages from the peer and lets the client handle them: waits until the window has
    // handled them all (on a busy machine that can take longer than any fixed pause), then lets
    // the event loop run for a moment.
    void feed(const QList<QByteArray>& msgs, int settleMs = 50)
    {
        const int target = handled + int(msgs.size());
        peer.send(msgs);
        peer.waitFor([&] { return handled >= target; });
        settle(settleMs);
    }
    void feed(const QByteArray& msg, int settleMs = 50) { feed(QList<QByteArray>{msg}, settleMs); }

    // Runs the event loop for ms milliseconds.
    void settle(int ms = 50)
    {
        peer.waitFor([] { return false; }, ms);
    }
};

}  // namespace testsupport
