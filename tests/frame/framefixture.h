#pragma once
// A main window over the generated resource pack, optionally in the middle of a game with users
// in the list and lines in the chat; and the pack's pictures for comparing pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <random>

#include "frame/frmgamemain.h"
#include "launch/client.h"
#include "launch/publicdefine.h"
#include "launch/roomhandler.h"
#include "platform/widgets/tavchat.h"
#include "platform/widgets/tavlist.h"
#include "protocol/received.h"
#include "rules/cards.h"
#include "rules/gamedefine.h"
#include "tableview/gamepaint.h"
#include "tableview/tablewidget.h"
#include "support/midgame.h"
#include "support/timing.h"

namespace frametest {

inline QString BinDir() { return QString::fromLocal8Bit(qgetenv("KVRN_BIN_DIR")); }

inline bool HavePack()
{
    return !BinDir().isEmpty() && QFileInfo::exists(BinDir() + QStringLiteral("/Res/SysMenu.bmp"));
}

// The program folder is named by ctest; its generated pictures must then be there.
#define REQUIRE_FRAME_PACK()                                                                       \
    do {                                                                                           \
        if (frametest::BinDir().isEmpty()) GTEST_SKIP() << "KVRN_BIN_DIR is not set";              \
        ASSERT_TRUE(frametest::HavePack()) << "no generated frame pictures under "                 \
                                           << frametest::BinDir().toStdString();                  \
    } while (0)

inline QImage PackPicture(const QString& rel)
{
    return QImage(BinDir() + u'/' + rel).convertToFormat(QImage::Format_RGB32);
}

using testsupport::WaitFor;

inline QRgb Rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xffffffu; }

// The main window as the program opens it, with the pack beside it (or a bare temporary folder
// when withPack is false). Settings come from a file written into the folder, when given.
struct MainWindow {
    QTemporaryDir dir;
    Client c;
    frmGameMain* w = nullptr;
    QList<QByteArray> sent;   // every message the window sent, whole

    explicit MainWindow(bool withPack = true, QSize screen = QSize(1280, 800), const QByteArray& settings = {})
    {
        c.pub.strGameTitle = QStringLiteral("四人牌桌");
        c.pub.strMyName = QStringLiteral("我是玩家");
        c.pub.strLevelInfo = QStringLiteral("长工_100`短工_200`佃农_500`贫农_1000`中农_2000");
        c.pub.bteScoreMode = 1;
        const QString app = withPack ? BinDir() : dir.filePath("bin");
        InitPublicState(c.pub, c.tv, app);
        if (!withPack) QDir().mkpath(app);
        // The settings file is the test's own: a copy of the folder would be shared by tests.
        c.pub.strAppPath = withPack ? dir.path() + u'/' : c.pub.strAppPath;
        if (withPack) {
            // Pictures are looked up under the program folder: link its resource folders in.
            QFile::link(BinDir() + QStringLiteral("/Res"), dir.filePath("Res"));
            QFile::link(BinDir() + QStringLiteral("/Adv"), dir.filePath("Adv"));
            QFile::link(BinDir() + QStringLiteral("/help"), dir.filePath("help"));
        }
        if (!settings.isEmpty()) {
            QFile f(c.pub.strAppPath + QStringLiteral("UserSet.ini"));
            f.open(QIODevice::WriteOnly);
            f.write(settings);
        }
        c.msgPool.InitMsgPool(c.pub.strParentPath);
        InitGameDefine(c.tbl);
        w = new frmGameMain(c);
        w->setQuitOnUnload(false);
        w->setScreenSize(screen);
        w->Form_Load();
        w->tmrForm->stop();   // tests drive the frame's timer themselves
        c.sendHook = [this](const QByteArray& m) {
            sent.append(m);
            return true;
        };
        w->move(0, 0);
        w->resize(screen.width(), screen.height() - 32);
    }
    ~MainWindow() { delete w; }

    // A game in its middle: four players, the own hand with raised cards, the partner's open,
    // plays on the table, the own turn.
    void MidGame()
    {
        testsupport::SetUpMidGame(c.tbl, c.tv);
        ComputeCardLayout(w->paintContext());
        picGameBack_Paint(w->paintContext());
        w->picGameBack->update();

        const char* rows[] = {
            "东方不败`10021`3560`中农`4`212`55`1`117`95`0`1`2000`0`0`0",
            "我是玩家`10022`1820`贫农`4`120`51`0`61`59`0`1`1003`1`0`0",
            "LuckyStar88`10023`760`佃农`4`64`47`2`30`34`0`1`6`2`0`0",
            "西门吹雪`10024`4410`中农`4`305`58`0`177`128`0`1`1009`3`0`0",
            "路过的风`10031`150`短工`我是玩家`12`50`0`6`6`0`1`4`-1`0`0",
        };
        QStringList body;
        for (const char* r : rows) body << QString::fromUtf8(r);
        RoomCtx ctx = RoomCtxOf(c);
        OnUserList(ctx, UserListMsg{body.join(u'\n')});
        w->TavChat->AddSystemLine(QStringLiteral("路过的风 进入了房间"));
        w->TavChat->AddChatMessage({QStringLiteral("东方不败"), QStringLiteral("所有人"), QStringLiteral("大家好，这把一定赢！"),
                                    QStringLiteral("#0000ff"), "0", "0", "", ""});
        w->TavChat->AddChatMessage({QStringLiteral("西门吹雪"), QStringLiteral("所有人"), QStringLiteral("炸弹留着别乱出"),
                                    QStringLiteral("#aa0000"), "0", "0", "", ""});
    }
};

}  // namespace frametest
