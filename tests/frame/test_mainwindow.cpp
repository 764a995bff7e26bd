// The main window's load, its panes, its link and its tear-down, inside the test's process.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBrowser>
#include <QTemporaryDir>
#include <QWindow>
#include <arpa/inet.h>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "frame/frmgamemain.h"
#include "launch/client.h"
#include "launch/publicdefine.h"
#include "msgbox/frmmsg.h"
#include "platform/net/tavsckclient.h"
#include "platform/widgets/tavchat.h"
#include "platform/widgets/tavlist.h"
#include "platform/widgets/tavtimebar.h"
#include "platform/widgets/tavweb.h"
#include "rules/gamedefine.h"
#include "tableview/tablewidget.h"
#include "support/guimain.h"
#include "support/timing.h"

namespace {

using testsupport::WaitFor;

// A client set up as the program does, with its program folder in a temporary directory.
struct Table {
    QTemporaryDir dir;
    Client c;
    frmGameMain* w = nullptr;

    explicit Table(uint8_t scoreMode = 1, const QByteArray& settings = QByteArray(), bool load = true)
    {
        c.pub.strGameTitle = QStringLiteral("四人牌局");
        c.pub.strMyName = QStringLiteral("玩家甲");
        c.pub.strLevelInfo = QStringLiteral("长工_100`短工_200");
        c.pub.bteScoreMode = scoreMode;
        c.pub.strServerHost = "127.0.0.1";
        InitPublicState(c.pub, c.tv, dir.filePath("bin"));
        QDir().mkpath(dir.filePath("bin/Adv"));
        QFile page(dir.filePath("bin/Adv/ga.htm"));
        page.open(QIODevice::WriteOnly);
        page.write("<html><body>local advert</body></html>");
        page.close();
        if (!settings.isEmpty()) {
            QFile f(dir.filePath("bin/UserSet.ini"));
            f.open(QIODevice::WriteOnly);
            f.write(settings);
        }
        InitGameDefine(c.tbl);
        w = new frmGameMain(c);
        w->setQuitOnUnload(false);
        w->setScreenSize(QSize(1024, 768));
        if (!load) return;
        w->Form_Load();
        w->resize(1024, 736);
    }
    ~Table() { delete w; }
};

// The client's link as the room server sees it, once the first 16 bytes have come: the hello
// every test of the start expects first.
QTcpSocket* AcceptHello(QTcpServer& server, QByteArray& got)
{
    if (!WaitFor([&] { return server.hasPendingConnections(); })) return nullptr;
    QTcpSocket* peer = server.nextPendingConnection();
    WaitFor([&] {
        got += peer->readAll();
        return got.size() >= 16;
    });
    return peer;
}

TEST(FormLoad, ComponentsGetTheirStartValues)
{
    Table s;
    frmGameMain& w = *s.w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("四人牌局"));
    EXPECT_EQ(w.lstUser->title(), QStringLiteral("用户列表"));
    EXPECT_EQ(w.lstUser->shownColumns(), 11);
    EXPECT_EQ(w.lstUser->myName(), QStringLiteral("玩家甲"));
    EXPECT_EQ(w.lstUser->columnHeading(0), QStringLiteral("用户名"));
    EXPECT_EQ(w.TavChat->caption(), QStringLiteral("聊天室"));
    EXPECT_EQ(w.TavChat->chatTarget(), QStringLiteral("所有人"));
    EXPECT_EQ(w.TavAdvWeb->mode(), 1);
    EXPECT_FALSE(w.TavAdvWeb->showingPlaceholder());
    EXPECT_TRUE(w.TavAdvWeb->plainText().contains("local advert"));
    EXPECT_FALSE(w.cmdStart->isVisibleTo(&w));
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("可以开始"));
    EXPECT_TRUE(w.tmrForm->isActive());
    EXPECT_EQ(w.tmrForm->interval(), 100);
    EXPECT_FALSE(w.tmrStart->isActive());
    EXPECT_EQ(w.tmrStart->interval(), 1000);
    EXPECT_EQ(s.c.round.StartSecondsLeft, 20);
    EXPECT_EQ(s.c.paint.TimedChair, kNoTimedChair);  // no chair timed yet
    EXPECT_FALSE(w.tmrPaintLastOutPai->isActive());
    EXPECT_EQ(w.tmrPaintLastOutPai->interval(), 1000);
}

TEST(FormLoad, CaptionIsTheGameTitleAsGiven)
{
    Table s;
    s.c.pub.strGameTitle = QStringLiteral("牌局[*]");
    frmGameMain w(s.c);
    w.setQuitOnUnload(false);
    w.setScreenSize(QSize(1024, 768));
    w.Form_Load();
    w.show();
    ASSERT_NE(w.windowHandle(), nullptr);
    EXPECT_EQ(w.windowHandle()->title(), QStringLiteral("牌局[*]"));
}

struct ModeCase {
    uint8_t mode;
    const char* score;
};

class ScoreMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ScoreMode, Headings)
{
    Table s(GetParam().mode);
    EXPECT_EQ(s.w->lstUser->columnHeading(2), QString::fromUtf8(GetParam().score));
    EXPECT_EQ(UserListHeadings(GetParam().mode).split(u'`').size(), 16);
    EXPECT_EQ(UserListHeadings(GetParam().mode).split(u'`')[2], QString::fromUtf8(GetParam().score));
}

INSTANTIATE_TEST_SUITE_P(Modes, ScoreMode,
                         ::testing::Values(ModeCase{0, "经验"}, ModeCase{1, "积分"}, ModeCase{2, "积分"}));

TEST(FormLoad, SettingsReadFromBesideTheProgram)
{
    Table s(1, " 0 \r\n 0 \r\n 1 \r\n 0 \r\n 1 \r\n");
    EXPECT_EQ(s.c.userSet.bytAllowPangGuan, 0);
    EXPECT_EQ(s.c.userSet.bytSoundOn, 0);
    EXPECT_EQ(s.c.userSet.bytQuitPrompt, 0);
}

TEST(FormLoad, PanesPlacedAndTableColoured)
{
    Table s;
    frmGameMain& w = *s.w;
    w.show();
    EXPECT_EQ(w.layoutState().lngSplitterLeft, 792);
    EXPECT_EQ(w.lstUser->geometry(), QRect(806, 68, 212, 188));
    EXPECT_EQ(w.picAdvBack->geometry(), QRect(806, 261, 212, 186));
    EXPECT_EQ(w.TavAdvWeb->geometry(), QRect(4, 3, 204, 180));
    EXPECT_EQ(w.TavChat->geometry(), QRect(806, 452, 212, 278));
    EXPECT_EQ(w.picGameBack->size(), QSize(786, 696));
    const QImage img = w.picGameBack->grab().toImage();
    EXPECT_EQ(QColor(img.pixel(400, 400)), QColor(16, 81, 115));
    const QImage adv = w.picAdvBack->grab().toImage();
    EXPECT_EQ(QColor(adv.pixel(0, 50)), QColor(0, 0, 150));
    EXPECT_EQ(QColor(adv.pixel(1, 50)), QColor(192, 192, 190));
    EXPECT_EQ(QColor(adv.pixel(2, 50)), QColor(0, 0, 250));
    // The narrowest window (800): the table gave way down to its 650, the column keeps the rest.
    w.resize(681, 600);
    EXPECT_EQ(w.width(), 800);
    EXPECT_EQ(w.picSplitter->x(), 650);
    EXPECT_TRUE(w.lstUser->isVisible());
    EXPECT_EQ(w.lstUser->width(), 130);
    w.resize(900, 600);
    EXPECT_EQ(w.lstUser->width(), 212);
}

TEST(AdvertPage, ConfiguredAddressIsTheLocalFile)
{
    EXPECT_EQ(LocalAdvertPage(kAdvertUrl, "/app/"), "/app/Adv/ga.htm");
    EXPECT_EQ(LocalAdvertPage("http://elsewhere/x.htm", "/app/"), "http://elsewhere/x.htm");
}

// Counts the paints a widget gets.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// The program's start: the hello is on its way before the window is drawn and before the advert
// page is laid out; the window comes up maximised after it, then the page and the icon.
TEST(Start, TheHelloGoesBeforeTheFirstPaintAndTheAdvert)
{
    Table s;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    s.c.pub.strServerPort = QString::number(server.serverPort());
    PaintCounter counter;
    s.w->installEventFilter(&counter);
    auto* page = s.w->TavAdvWeb->findChild<QTextBrowser*>();
    ASSERT_NE(page, nullptr);
    int paintsAtHello = -1;
    QString advertAtHello = QStringLiteral("not yet");
    // Raised after the window's own handler has sent the hello.
    QObject::connect(s.w->TavSckClient, &TavSckClient::Connected, [&] {
        paintsAtHello = counter.paints;
        advertAtHello = page->toPlainText();
    });
    // However slowly the link comes up here, the window waits for it.
    s.w->setStartShowWaitMs(testsupport::kHangMs);
    s.w->ConnectRoomServer();
    s.w->ShowAtStartAfterHello(QSize(1024, 768));
    QByteArray got;
    QTcpSocket* peer = AcceptHello(server, got);
    ASSERT_NE(peer, nullptr);
    EXPECT_EQ(got, QByteArray("\0\0\0\x0c\x82\x00" "600`KVRN`1", 16));
    EXPECT_EQ(paintsAtHello, 0);
    EXPECT_EQ(advertAtHello, QString());
    ASSERT_TRUE(WaitFor([&] {
        return counter.paints > 0 && s.w->afterFirstFrameRuns() == 1 && page->toPlainText().contains("local advert");
    }));
    EXPECT_TRUE(s.w->isMaximized());
    EXPECT_FALSE(s.w->startShowPending());
}

// Calls a function when the window's title is set (Form_Load sets it).
struct OnTitle : QObject {
    std::function<void()> f;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::WindowTitleChange && f) f();
        return false;
    }
};

// As the program starts: the settings the hello carries are read, the link comes up and the
// hello is on the wire, and only then is the window loaded and shown. The room here is a plain
// listening socket, read from the window's load, outside the event loop.
TEST(Start, TheWindowIsLoadedAfterTheHello)
{
    Table s(1, " 0 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n", false);
    // Never waits: a load before the link is up finds nothing to accept.
    const int lfd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(lfd, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ASSERT_EQ(::bind(lfd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(lfd, 4), 0);
    ASSERT_EQ(::getsockname(lfd, reinterpret_cast<sockaddr*>(&a), &len), 0);
    s.c.pub.strServerPort = QString::number(ntohs(a.sin_port));
    s.w->setStartShowWaitMs(testsupport::kHangMs);
    QByteArray atLoad;
    int peer = -1;
    OnTitle onTitle;
    onTitle.f = [&] {
        if (peer >= 0) return;
        peer = ::accept(lfd, nullptr, nullptr);
        char buf[64];
        const ssize_t n = peer >= 0 ? ::recv(peer, buf, sizeof buf, MSG_DONTWAIT) : -1;
        if (n > 0) atLoad = QByteArray(buf, int(n));
    };
    s.w->installEventFilter(&onTitle);
    s.w->ConnectAtStart();
    s.w->ShowAtStartAfterHello(QSize(1024, 768));
    ASSERT_TRUE(WaitFor([&] { return s.w->isLoaded() && s.w->isVisible(); }));
    // The hello carries the settings file's "spectators may not see my cards".
    EXPECT_EQ(atLoad, QByteArray("\0\0\0\x0c\x82\x00" "600`KVRN`0", 16));
    EXPECT_TRUE(s.w->isMaximized());
    EXPECT_EQ(s.w->windowTitle(), QStringLiteral("四人牌局"));
    EXPECT_EQ(s.c.userSet.bytAllowPangGuan, 0);
    EXPECT_FALSE(s.w->TavSckClient->keepAlive());
    if (peer >= 0) ::close(peer);
    ::close(lfd);
}

// A link that does not come up (nothing listens, or no route) leaves no start waiting: the
// window is shown, or the program ends with the link.
TEST(Start, TheWindowComesUpWithoutTheLink)
{
    for (const char* host : {"127.0.0.1", "10.255.255.1"}) {
        Table s;
        s.c.pub.strServerHost = QString::fromLatin1(host);
        QTcpServer gone;
        ASSERT_TRUE(gone.listen(QHostAddress::LocalHost));
        s.c.pub.strServerPort = QString::number(gone.serverPort());
        gone.close();
        s.w->ConnectRoomServer();
        s.w->ShowAtStartAfterHello(QSize(1024, 768));
        EXPECT_TRUE(WaitFor([&] { return s.w->isUnloaded() || s.w->isVisible(); })) << host;
        EXPECT_FALSE(s.w->startShowPending()) << host;
    }
}

TEST(Link, HelloThenUnloadWhenTheServerCloses)
{
    Table s;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    s.c.pub.strServerPort = QString::number(server.serverPort());
    int unloaded = 0;
    QObject::connect(s.w, &frmGameMain::Unloaded, [&] { ++unloaded; });
    s.w->show();
    s.w->ConnectRoomServer();
    QByteArray got;
    QTcpSocket* peer = AcceptHello(server, got);
    ASSERT_NE(peer, nullptr);
    EXPECT_EQ(got, QByteArray("\0\0\0\x0c\x82\x00" "600`KVRN`1", 16));

    // A message for each handler, then the close.
    peer->write(QByteArray("\0\0\0\x02\x82\x02\0\0\0\x01\x5e", 11));
    peer->flush();
    s.c.tbl.Chairs[1].Name = "x";
    s.c.pub.StartButShown = true;
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return unloaded == 1; }));
    EXPECT_TRUE(s.w->isUnloaded());
    EXPECT_FALSE(s.w->isVisible());
    EXPECT_TRUE(s.c.tbl.Chairs[1].Name.isEmpty());  // table state reset
    EXPECT_FALSE(s.c.pub.StartButShown);             // public state reset
    EXPECT_FALSE(s.c.pub.blnClosing);
    EXPECT_FALSE(s.c.SendData("x"));
    s.w->Form_Unload();  // a second unload does nothing
    EXPECT_EQ(unloaded, 1);
}

TEST(Link, RefusedPortUnloads)
{
    Table s;
    s.c.pub.strServerPort = "not a port";
    int unloaded = 0;
    QObject::connect(s.w, &frmGameMain::Unloaded, [&] { ++unloaded; });
    s.w->ConnectRoomServer();
    EXPECT_TRUE(WaitFor([&] { return unloaded == 1; }));
}

TEST(Unload, ClosesTheMessageBoxesAndOtherWindows)
{
    Table s;
    s.c.msgPool.InitMsgPool(s.c.pub.strParentPath);
    s.w->show();
    s.c.msgPool.ShowMsg(0, s.w, 0, QStringLiteral("提示"), QStringLiteral("四人牌局"), 0, QString(), QString(), true);
    auto* other = new QWidget;
    other->setAttribute(Qt::WA_DeleteOnClose);
    other->show();
    ASSERT_EQ(s.c.msgPool.OpenCount(), 1);
    s.w->close();  // the window's close runs the tear-down
    EXPECT_TRUE(s.w->isUnloaded());
    EXPECT_TRUE(WaitFor([&] { return s.c.msgPool.OpenCount() == 0; }));
    EXPECT_TRUE(WaitFor([&] {
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->isVisible()) return false;
        return true;
    }));
}

TEST(Unload, StepsRunInOrder)
{
    Table s;
    s.c.msgPool.InitMsgPool(s.c.pub.strParentPath);
    s.w->show();
    s.c.tbl.Chairs[1].Name = "x";
    s.c.pub.StartButShown = true;
    s.c.msgPool.ShowMsg(0, s.w, 0, QStringLiteral("等待"), QString(), 0, QString(), QString(), true);
    ASSERT_NE(s.c.msgPool.FormAt(0), nullptr);
    // What each step sees: the own boxes close while the state is still the game's and the
    // closing flag is up; the other windows close after the state has been reset.
    struct Seen {
        bool closing;
        QString chair1;
        bool startBut;
    };
    QList<Seen> boxSaw, otherSaw;
    QObject::connect(s.c.msgPool.FormAt(0), &QDialog::finished, [&] {
        boxSaw.append({s.c.pub.blnClosing, s.c.tbl.Chairs[1].Name, s.c.pub.StartButShown});
    });
    auto* other = new QDialog;
    other->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(other, &QDialog::finished, [&] {
        otherSaw.append({s.c.pub.blnClosing, s.c.tbl.Chairs[1].Name, s.c.pub.StartButShown});
    });
    other->show();
    s.w->Form_Unload();
    ASSERT_EQ(boxSaw.size(), 1);
    EXPECT_TRUE(boxSaw[0].closing);
    EXPECT_EQ(boxSaw[0].chair1, "x");
    EXPECT_TRUE(boxSaw[0].startBut);
    ASSERT_EQ(otherSaw.size(), 1);
    EXPECT_FALSE(otherSaw[0].closing);  // the reset clears the flag again
    EXPECT_TRUE(otherSaw[0].chair1.isEmpty());
    EXPECT_FALSE(otherSaw[0].startBut);
}

}  // namespace

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
