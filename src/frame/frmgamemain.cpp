#include "frame/frmgamemain.h"
#include "frame/kvrnmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <exception>

#include "launch/client.h"
#include "launch/publicdefine.h"
#include "launch/roomlink.h"
#include "platform/core/vbnum.h"
#include "platform/draw/respath.h"
#include "platform/net/tavsckclient.h"
#include "tableview/waitticks.h"
#include "platform/widgets/hsplitterbar.h"
#include "platform/widgets/tavchat.h"
#include "platform/widgets/tavlist.h"
#include "platform/widgets/tavtimebar.h"
#include "platform/widgets/tavweb.h"
#include "platform/widgets/windowtitle.h"
#include "rules/gamedefine.h"
#include "platform/draw/imagecache.h"
#include "tableview/gamepaint.h"
#include "tableview/tablewidget.h"
#include "frame/frameskin.h"

namespace {

const QColor kWindowBack(250, 250, 250);
const QColor kTableBack(16, 81, 115);

}  // namespace

const QString kAdvertUrl = QStringLiteral("http://adv.kvrn.invalid/adv/KVRN/ga.htm");

QString LocalAdvertPage(const QString& url, const QString& appPath)
{
    const QUrl u(url);
    if (u.path().endsWith(QStringLiteral("/adv/KVRN/ga.htm"), Qt::CaseInsensitive)) return appPath + "Adv/ga.htm";
    return url;
}

QString UserListScoreName(uint8_t scoreMode)
{
    return scoreMode == 0 ? QStringLiteral("经验") : QStringLiteral("积分");
}

QString UserListHeadings(uint8_t scoreMode)
{
    return QStringLiteral("用户名`用户ID`") + UserListScoreName(scoreMode) +
           QStringLiteral("`级别`旁观对象`总局数`胜率`逃跑率`胜`输`和`人物类型`图标号`实际椅子号`举手`掉线");
}

AdvPane::AdvPane(QWidget* parent) : QWidget(parent)
{
    web_ = new TavWeb(this);
}

void AdvPane::resizeEvent(QResizeEvent*)
{
    if (width() >= 10 && height() >= 10) web_->setGeometry(4, 3, width() - 8, height() - 6);
}

void AdvPane::paintEvent(QPaintEvent*)
{
    if (painting_) return;
    painting_ = true;
    QPainter p(this);
    p.fillRect(rect(), kWindowBack);
    const QColor rings[3] = {QColor(0, 0, 150), QColor(192, 192, 190), QColor(0, 0, 250)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(rings[i]);
        p.setBrush(Qt::NoBrush);
        // A one-pixel outline covers its rectangle's right and bottom edge too.
        p.drawRect(QRect(i, i, width() - 1 - 2 * i, height() - 1 - 2 * i));
    }
    painting_ = false;
}

frmGameMain::frmGameMain(Client& client, QWidget* parent) : QWidget(parent), c_(client)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    famGameBack = new QWidget(this);
    paintCtx_ = std::make_unique<PaintCtx>(PaintCtx{c_.surf, c_.tbl, c_.pub, c_.paint, ImageCache::instance()});
    picGameBack = new ::GameTableWidget(*paintCtx_, famGameBack);
    picSplitter = splitter_ = new VSplitterPane(lay_, this);
    picUserButBk = userStrip_ = new UserButtonStrip(this);
    lstUser = new ::TavList(this);
    HSplitterBar = new ::HSplitterBar(this);
    picAdvBack = new AdvPane(this);
    TavAdvWeb = picAdvBack->web();
    HSplitterBar1 = new ::HSplitterBar(this);
    TavChat = new ::TavChat(this);
    YuClock = new ::TavTimeBar(picGameBack);
    cmdStart = new QPushButton(QStringLiteral("可以开始"), picGameBack);
    TavSckClient = new ::TavSckClient(this);
    tmrForm = new QTimer(this);
    tmrStart = new QTimer(this);
    tmrPaintLastOutPai = new QTimer(this);
    // Counted in seconds the player sees: a coarse timer may fire up to 5 % early.
    tmrStart->setTimerType(Qt::PreciseTimer);
    tmrPaintLastOutPai->setTimerType(Qt::PreciseTimer);

    connect(TavSckClient, &::TavSckClient::Connected, this, &frmGameMain::TavSckClient_Connected);
    connect(TavSckClient, &::TavSckClient::DataArrived, this, &frmGameMain::TavSckClient_DataArrived);
    connect(TavSckClient, &::TavSckClient::Closed, this, &frmGameMain::TavSckClient_Closed);
    connect(TavSckClient, &::TavSckClient::Error, this, &frmGameMain::TavSckClient_Error);
    connect(tmrForm, &QTimer::timeout, this, &frmGameMain::tmrForm_Timer);
    connect(tmrStart, &QTimer::timeout, this, &frmGameMain::tmrStart_Timer);
    connect(tmrPaintLastOutPai, &QTimer::timeout, this, &frmGameMain::tmrPaintLastOutPai_Timer);
    connect(HSplitterBar, &::HSplitterBar::MoveStarted, this, [this] { lay_.blnUpperBarMoved = true; });
    connect(HSplitterBar1, &::HSplitterBar::MoveStarted, this, [this] { lay_.blnLowerBarMoved = true; });
    connect(HSplitterBar, &::HSplitterBar::MoveFinished, this, &frmGameMain::HSplitterBar_MoveFinished);
    connect(HSplitterBar1, &::HSplitterBar::MoveFinished, this, &frmGameMain::HSplitterBar1_MoveFinished);

    c_.sendHook = [this](const QByteArray& msg) { return SendData(msg); };
    c_.holdLinkHook = [this](bool on) { TavSckClient->setHeld(on); };
    SetupFrame();
    InitRound();
    SetupDaoJuMaket();
    SetupRoom();
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

    // The window: icon, background, splitter bars and the layout's start values.
    const QString logo = ResolvePath(pub.strAppPath + QStringLiteral("Res/Logo.ico"));
    if (!logo.isEmpty()) setWindowIcon(QIcon(logo));
    setAutoFillBackground(false);
    HSplitterBar->setBackColor(kWindowBack);
    HSplitterBar1->setBackColor(kWindowBack);
    HSplitterBar->resize(HSplitterBar->width(), FrameMetrics::BarHeight);
    HSplitterBar1->resize(HSplitterBar1->width(), FrameMetrics::BarHeight);
    InitFrameLayout(lay_, screen_.width(), screen_.height());

    // The table area: the time bar sits between its two end pictures, wherever the layout puts them.
    c_.surf.backColor = kTableBack;
    picGameBack->onResized = [this] {
        const PaintState& ps = c_.paint;
        YuClock->setGeometry(ps.YuClockX, ps.YuClockY, ps.YuClockWidth, YuClock->height());
    };
    // The start button follows the table's repaints once the round has its window side.
    picGameBack->onRepainted = [this] {
        if (c_.round.view) RefreshStartButton();
    };
    QFont tf(QStringLiteral("宋体"));
    tf.setPointSize(9);
    picGameBack->setFont(tf);
    QPalette bp = picUserButBk->palette();
    bp.setColor(QPalette::Window, kWindowBack);
    picUserButBk->setPalette(bp);
    picUserButBk->setAutoFillBackground(true);

    FrameLoad();
    tmrForm->setInterval(100);
    tmrForm->start();
    setWindowTitle(LiteralWindowTitle(pub.strGameTitle));

    TavSckClient->setKeepAlive(false);

    // The user list.
    lstUser->setMyName(pub.strMyName);
    lstUser->setColors(QColor(41, 109, 165), QColor(255, 255, 255));
    lstUser->setStyleValue(4);
    lstUser->setTitle(QStringLiteral("用户列表"));
    lstUser->setScoreName(UserListScoreName(pub.bteScoreMode));
    lstUser->SetColumns(UserListHeadings(pub.bteScoreMode), 11);
    lstUser->SetColumnWidths(kUserListWidths);
    lstUser->SetLevelInfo(pub.strLevelInfo);

    // The chat.
    TavChat->setFacePath(pub.strParentPath + QStringLiteral("UserRes/face"));
    TavChat->setAppPath(pub.strAppPath);
    TavChat->setPageFile(QStringLiteral("MeChatWeb.htm"));
    TavChat->setMyName(pub.strMyName);
    TavChat->SetChatTarget(QStringLiteral("所有人"));
    TavChat->ResetChat();
    TavChat->setFlag1(true);
    TavChat->setCaption(QStringLiteral("聊天室"));
    TavChat->setFlag2(false);

    // The advert pane.
    TavAdvWeb->setMode(1);
    TavAdvWeb->Navigate(LocalAdvertPage(kAdvertUrl, pub.strAppPath));

    cmdStart->hide();
    YuClock->setGeometry(70, 20, 120, 10);

    tmrStart->stop();
    tmrStart->setInterval(1000);

    // The personal settings: the hello carries the first of them.
    LoadUserSet(c_.userSet, pub.strAppPath + QString::fromLatin1(kUserSetFileName));

    tmrPaintLastOutPai->stop();
    tmrPaintLastOutPai->setInterval(1000);

    LayoutMain();
}

void frmGameMain::Form_Unload()
{
    if (unloaded_) return;
    unloaded_ = true;
    c_.pub.blnClosing = true;
    c_.msgPool.CloseMsgByOwner(0);
    InitPublicState(c_);
    InitGameDefine(c_.tbl);
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
    if (unloaded_ || msg.isEmpty()) return false;
    return TavSckClient->Send(msg, 0, int(msg.size()) - 1);
}

void frmGameMain::TavSckClient_Connected()
{
    SendData(BuildHello(c_.userSet.bytAllowPangGuan));
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
    applyPanes(MoveUpperBar(lay_, lay_.lngUpperBarTop + delta, width(), height()));
}

void frmGameMain::HSplitterBar1_MoveFinished(int delta)
{
    applyPanes(MoveLowerBar(lay_, lay_.lngLowerBarTop + delta, width(), height()));
}
