#include "frame/frmgamemain.h"
#include "frame/kvrnmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <exception>

#include "launch/client.h"
#include "launch/publicdefine.h"
#include "launch/roomlink.h"
#include "platform/core/vbnum.h"
#include "platform/draw/imagecache.h"
#include "platform/net/tavsckclient.h"
#include "tableview/waitticks.h"
#include "platform/widgets/hsplitterbar.h"
#include "platform/widgets/tavchat.h"
#include "platform/widgets/tavlist.h"
#include "platform/widgets/tavtimebar.h"
#include "platform/widgets/windowtitle.h"
#include "rules/gamedefine.h"
#include "tableview/tablewidget.h"
#include "frame/frameskin.h"

frmGameMain::frmGameMain(Client& client, QWidget* parent) : QWidget(parent), c_(client)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Each part makes its widgets; the panes stack in the order made: the table, the splitter and
    // the user buttons, then the room's column.
    SetupTable();
    SetupFrame();
    SetupRoom();
    SetupDaoJuMaket();

    TavSckClient = new ::TavSckClient(this);
    connect(TavSckClient, &::TavSckClient::Connected, this, &frmGameMain::TavSckClient_Connected);
    connect(TavSckClient, &::TavSckClient::DataArrived, this, &frmGameMain::TavSckClient_DataArrived);
    connect(TavSckClient, &::TavSckClient::Closed, this, &frmGameMain::TavSckClient_Closed);
    connect(TavSckClient, &::TavSckClient::Error, this, &frmGameMain::TavSckClient_Error);
    connect(HSplitterBar, &::HSplitterBar::MoveStarted, this, [this] { lay_.blnUpperBarMoved = true; });
    connect(HSplitterBar1, &::HSplitterBar::MoveStarted, this, [this] { lay_.blnLowerBarMoved = true; });
    connect(HSplitterBar, &::HSplitterBar::MoveFinished, this, &frmGameMain::HSplitterBar_MoveFinished);
    connect(HSplitterBar1, &::HSplitterBar::MoveFinished, this, &frmGameMain::HSplitterBar1_MoveFinished);
    c_.sendHook = [this](const QByteArray& msg) { return SendData(msg); };
    c_.holdLinkHook = [this](bool on) { TavSckClient->setHeld(on); };
}

frmGameMain::~frmGameMain()
{
    c_.sendHook = nullptr;
    c_.holdLinkHook = nullptr;
    if (TavSckClient) TavSckClient->Abort();
    // The table widget refers to the drawing context, which goes before the children do.
    delete picGameBack;
    picGameBack = nullptr;
}

void frmGameMain::Form_Load()
{
    if (loaded_) return;
    loaded_ = true;
    PublicState& pub = c_.pub;
    if (!screen_.isValid()) {
        const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        screen_ = s ? s->geometry().size() : QSize(1024, 768);
    }

    // The window: background and the layout's start values (its icon follows the first frame).
    setAutoFillBackground(false);
    InitFrameLayout(lay_, screen_.width(), screen_.height());
    TableLoad();
    FrameLoad();
    setWindowTitle(LiteralWindowTitle(pub.strGameTitle));
    TavSckClient->setKeepAlive(false);
    RoomLoad();

    // The personal settings: the hello carries the first of them.
    LoadUserSet(c_.userSet, pub.strAppPath + QString::fromLatin1(kUserSetFileName));

    LayoutMain();
}

void frmGameMain::AfterFirstFrame()
{
    if (unloaded_) return;
    // The icon, decoded by its suffix through the picture cache like every other picture.
    const QImage logo = ImageCache::instance().getWithAlpha(c_.pub.strAppPath + QStringLiteral("Res\\Logo.png"));
    if (!logo.isNull()) setWindowIcon(QIcon(QPixmap::fromImage(logo)));
    ++afterFirstFrameRuns_;
}

void frmGameMain::Form_Unload()
{
    if (unloaded_) return;
    unloaded_ = true;
    startShow_ = QSize();   // a link that failed before the hello: nothing more to show
    c_.pub.blnClosing = true;
    c_.msgPool.CloseMsgByOwner(0);
    c_.msgPool.CloseMsgByOwner(kMoveMsgOwner);
    InitPublicState(c_);
    InitGameDefine(c_.tbl);
    InitTableView(c_.tv);
    // Nothing more may arrive or fire while the windows go.
    TavSckClient->Abort();
    tmrForm->stop();
    tmrStart->stop();
    tmrPaintLastOutPai->stop();
    YuClock->Reset();
    c_.sendHook = nullptr;
    // Messages held back for the waits under way belong to the session that ended.
    c_.dispatch.held.clear();
    c_.dispatch.linkHeld = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && !w->isHidden()) w->close();
    close();
    emit Unloaded();
    if (endPausesOnUnload_ && quitOnUnload_ && PausesUnderWay() > 0) EndProgramNow(exitCode_);
    if (quitOnUnload_) QCoreApplication::exit(exitCode_);
}

void frmGameMain::ShowAtStart(const QSize& screenSize)
{
    // The normal size the restore button brings back; the window itself opens maximised.
    move(0, 0);
    resize(screenSize.width(), screenSize.height() - 32);
    showMaximized();
}

void frmGameMain::ShowAtStartAfterHello(const QSize& screenSize)
{
    if (unloaded_) return;
    startShow_ = screenSize;
    if (!TavSckClient->isConnecting()) {
        ShowPendingStart();
        return;
    }
    QTimer::singleShot(startShowWaitMs_, this, &frmGameMain::ShowPendingStart);
}

void frmGameMain::ShowPendingStart()
{
    if (!startShow_.isValid()) return;
    const QSize s = startShow_;
    startShow_ = QSize();
    if (unloaded_) return;
    Form_Load();
    ShowAtStart(s);
}

void frmGameMain::ConnectAtStart()
{
    if (unloaded_) return;
    // What Form_Load would set before the link: the hello's setting and the socket's property.
    LoadUserSet(c_.userSet, c_.pub.strAppPath + QString::fromLatin1(kUserSetFileName));
    TavSckClient->setKeepAlive(false);
    ConnectRoomServer();
}

void frmGameMain::ConnectRoomServer()
{
    if (unloaded_) return;
    TavSckClient->Connect(c_.pub.strServerHost, ValLng(c_.pub.strServerPort), 120);
}

void frmGameMain::SendGameSetResult(const QByteArray& bteCmd)
{
    SendData(bteCmd);
}

bool frmGameMain::SendData(const QByteArray& msg)
{
    if (unloaded_ || !Sendable(msg)) return false;
    return TavSckClient->Send(msg, 0, int(msg.size()) - 1);
}

void frmGameMain::TavSckClient_Connected()
{
    SendData(BuildHello(c_.userSet.bytAllowPangGuan));
    TavSckClient->Flush();
    ShowPendingStart();
}

void frmGameMain::TavSckClient_DataArrived(const QByteArray& msg)
{
    if (unloaded_) return;
    try {
        DispatchMessage(c_, msg);
    } catch (const std::exception&) {
        // A message the handlers could not digest (the standard library's allocation and range
        // failures are all they can raise) is dropped; the link goes on.
    }
}

void frmGameMain::TavSckClient_Closed()
{
    Form_Unload();
}

void frmGameMain::TavSckClient_Error()
{
    // A launcher tells a link that failed, or a server that broke the framing, from an ending
    // the user or the game chose.
    exitCode_ = TavSckClient->failure() == ::TavSckClient::Failure::BrokenFrame ? EXIT_FRAME_REFUSED : EXIT_LINK_FAILED;
    // A pause under way ends the program itself, with this status.
    SetClosingExitCode(exitCode_);
    Form_Unload();
}

void frmGameMain::LayoutMain()
{
    if (isMinimized()) return;
    applyPanes(LayoutFrame(lay_, width(), height()));
    FrameAfterLayout();
}

void frmGameMain::applyPanes(const FramePanes& p)
{
    if (p.picSplitter.isValid()) picSplitter->setGeometry(p.picSplitter);
    if (p.famGameBack.isValid()) {
        famGameBack->setGeometry(p.famGameBack);
        picGameBack->setGeometry(0, 0, p.famGameBack.width(), p.famGameBack.height());
    }
    QWidget* column[] = {picUserButBk, lstUser, HSplitterBar, HSplitterBar1, picAdvBack, TavChat};
    if (!p.columnShown) {
        for (QWidget* w : column) w->hide();
        return;
    }
    if (p.picUserButBk.isValid()) picUserButBk->setGeometry(p.picUserButBk);
    if (p.lstUser.isValid()) lstUser->setGeometry(p.lstUser);
    if (p.HSplitterBar.isValid()) HSplitterBar->setGeometry(p.HSplitterBar);
    if (p.picAdvBack.isValid()) picAdvBack->setGeometry(p.picAdvBack);
    if (p.HSplitterBar1.isValid()) HSplitterBar1->setGeometry(p.HSplitterBar1);
    if (p.TavChat.isValid()) TavChat->setGeometry(p.TavChat);
    for (QWidget* w : column) w->show();
}

void frmGameMain::HSplitterBar_MoveFinished(int delta)
{
    applyPanes(MoveUpperBar(lay_, PlacedBarTops(lay_, height()).upper + delta, width(), height()));
}

void frmGameMain::HSplitterBar1_MoveFinished(int delta)
{
    applyPanes(MoveLowerBar(lay_, PlacedBarTops(lay_, height()).lower + delta, width(), height()));
}
