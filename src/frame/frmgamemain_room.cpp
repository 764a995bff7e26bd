// The main window's room side: the user list, the advert pane, the chat and the splitter bars
// between them, and the window as the room messages see it (the seats, the boxes and the
// settings dialog, plus the list's and the chat's own events).
#include <QCursor>
#include <QPainter>
#include <QUrl>
#include <QPointer>
#include <QTimer>

#include "frame/frmgamemain.h"
#include "launch/chat.h"
#include "launch/client.h"
#include "launch/frmgameset.h"
#include "launch/roomhandler.h"
#include "launch/usercard.h"
#include "platform/widgets/hsplitterbar.h"
#include "platform/widgets/tavchat.h"
#include "platform/widgets/tavlist.h"
#include "platform/widgets/tavweb.h"
#include "tableview/gamepaint.h"
#include "tableview/tablewidget.h"

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
    // Each fill clipped to its own rectangle: the painter then copies plain runs instead of
    // testing every pixel against the whole band.
    auto fill = [&p](const QRect& r, const QColor& c) {
        p.setClipRect(r);
        p.fillRect(r, c);
    };
    // The page covers the middle: only the band around it is the pane's own.
    const QRegion band = QRegion(rect()).subtracted(web_->isVisible() ? QRegion(web_->geometry()) : QRegion());
    for (const QRect& r : band) fill(r, kWindowBack);
    const QColor rings[3] = {QColor(0, 0, 150), QColor(192, 192, 190), QColor(0, 0, 250)};
    // A one-pixel outline covers its rectangle's right and bottom edge too. Filled as four
    // strips: the same pixels as an outlined rectangle, without the stroker's path.
    for (int i = 0; i < 3; ++i) {
        const int w = width() - 2 * i, h = height() - 2 * i;
        if (w <= 0 || h <= 0) break;
        fill(QRect(i, i, w, 1), rings[i]);
        fill(QRect(i, height() - 1 - i, w, 1), rings[i]);
        fill(QRect(i, i, 1, h), rings[i]);
        fill(QRect(width() - 1 - i, i, 1, h), rings[i]);
    }
    painting_ = false;
}

namespace {

class MainRoomView : public RoomView {
public:
    explicit MainRoomView(frmGameMain& w) : w_(w), c_(w.client()) {}
    ~MainRoomView() override
    {
        if (c_.roomView == this) c_.roomView = nullptr;
        delete userMenu_.data();
        delete gameSet_.data();
    }

    void AddUser(const QString& row) override { w_.lstUser->AddUser(row); }
    void RemoveUser(const QString& name) override { w_.lstUser->RemoveUser(name); }
    void ClearUsers() override { w_.lstUser->ClearUsers(); }
    void LoadUsers(const QString& body) override { w_.lstUser->LoadUsers(body); }
    void MarkUser(const QString& name) override { w_.lstUser->MarkUser(name); }
    void SetMyName(const QString& name) override
    {
        w_.lstUser->setMyName(name);
        w_.TavChat->setMyName(name);
    }

    void AddSystemLine(const QString& line) override { w_.TavChat->AddSystemLine(line); }
    void AddNoticeText(const QString& text) override { w_.TavChat->AddNoticeText(text); }
    void AddChatMessage(const QStringList& eightFields) override { w_.TavChat->AddChatMessage(eightFields); }
    void UpdateTargets(const QString& name, const QString& word) override { w_.TavChat->UpdateTargets(name, word); }
    void ClearChat() override { w_.TavChat->ClearChat(); }
    void SetChatTarget(const QString& name) override { w_.TavChat->SetChatTarget(name); }

    // Seat drawing goes into the table's picture; the widget then shows what changed.
    void PaintFigure(int chair) override { seat([&](PaintCtx& p) { PaintUserFace(p, chair, false); }); }
    void EraseFigure(int chair) override { seat([&](PaintCtx& p) { PaintUserFace(p, chair, true); }); }
    void PaintDropped(int chair) override { seat([&](PaintCtx& p) { PaintNetBreak(p, chair); }); }
    void PaintHandUp(int chair) override { seat([&](PaintCtx& p) { ::PaintHandUp(p, chair); }); }

    void LayoutTable() override { ComputeLayout(w_.paintContext()); }
    void RepaintTable() override { w_.RepaintTable(); }
    void RepaintFrame() override { w_.update(); }
    void ShowMainWindow(bool show) override { w_.setVisible(show); }

    void HideStartBut() override { w_.HideStartBut(); }
    void RefreshStartButton() override { w_.RefreshStartButton(); }
    void UpdateTurn() override { w_.UpdateTurn(); }
    void PlayGameSound(int n) override { w_.PlayGameSound(n); }

    void ShowNotice(const QString& text) override
    {
        c_.msgPool.ShowMsg(kRoomMsgOwner, &w_, 0, text, QString(), 0, QString(), QString(), true);
    }
    void CloseMsgByOwner(int ownerIdx) override { c_.msgPool.CloseMsgByOwner(ownerIdx); }
    void InitMsgPool() override { c_.msgPool.InitMsgPool(c_.pub.strParentPath); }

    bool OpenGameSet(bool blnDeskMaster, const QString& strAllGameSetInfo) override
    {
        // One dialog a round: a round arriving while one is open prepares the same dialog again.
        if (!gameSet_ || gameSet_->answered()) {
            gameSet_ = new frmGameSet(c_.pub, &w_);
            frmGameMain* w = &w_;
            gameSet_->SendGameSetResult = [w](const QByteArray& bteCmd) { w->SendGameSetResult(bteCmd); };
        }
        if (!gameSet_->SetInitGameSetInfo(blnDeskMaster, strAllGameSetInfo)) {
            // Its own warning box may be waiting on it: it goes from the event loop.
            gameSet_->hide();
            gameSet_->deleteLater();
            gameSet_ = nullptr;
            return false;
        }
        gameSet_->show();
        gameSet_->raise();
        return true;
    }

    // The list's click: the card for a right or double click, else the user becomes the target.
    void UserClicked(bool showCard, const QString& name, const QString& row)
    {
        if (!showCard) {
            ::SetChatTarget(*this, name);
            return;
        }
        if (!userMenu_) {
            userMenu_ = new frmUserMenu(&w_);
            frmGameMain* w = &w_;
            userMenu_->onChoice = [w](int index) { w->ExecUserMenu(index); };
        }
        userMenu_->BuildUserCard(c_.pub, row);
        userMenu_->PopupAt(QCursor::pos());
    }

    QPointer<frmUserMenu> userMenu_;
    QPointer<frmGameSet> gameSet_;

private:
    template <typename F>
    void seat(F draw)
    {
        PaintCtx& p = w_.paintContext();
        draw(p);
        p.surf.changed();
        // A seat is erased as a whole box, and during a game hands, plays and the cards-left
        // texts lie under those boxes: the table is drawn again once the message is handled.
        if (!c_.tbl.TableIdle) queueRepaint();
    }

    void queueRepaint()
    {
        if (repaintQueued_) return;
        repaintQueued_ = true;
        QTimer::singleShot(0, &w_, [this] {
            repaintQueued_ = false;
            if (!w_.isUnloaded()) RepaintTable();
        });
    }

    frmGameMain& w_;
    Client& c_;
    bool repaintQueued_ = false;
};

MainRoomView& MainView(RoomView& v)
{
    return static_cast<MainRoomView&>(v);
}

}  // namespace

void frmGameMain::SetupRoom()
{
    lstUser = new ::TavList(this);
    HSplitterBar = new ::HSplitterBar(this);
    picAdvBack = new AdvPane(this);
    TavAdvWeb = picAdvBack->web();
    HSplitterBar1 = new ::HSplitterBar(this);
    TavChat = new ::TavChat(this);

    auto view = std::make_unique<MainRoomView>(*this);
    MainRoomView* v = view.get();
    roomView_ = std::move(view);
    c_.roomView = v;

    // The row comes from the client's users, which the list only shows.
    connect(lstUser, &::TavList::UserClicked, this, [this, v](bool showCard, int, const QString& name, const QString&) {
        v->UserClicked(showCard, name, c_.users.Find(name));
    });
    connect(TavChat, &::TavChat::ChatSend, this, [this](const QStringList& tenTexts) {
        RoomCtx ctx = RoomCtxOf(c_);
        SendChat(ctx, tenTexts);
    });
}

void frmGameMain::RoomLoad()
{
    const PublicState& pub = c_.pub;
    HSplitterBar->setBackColor(kWindowBack);
    HSplitterBar1->setBackColor(kWindowBack);
    HSplitterBar->resize(HSplitterBar->width(), FrameMetrics::BarHeight);
    HSplitterBar1->resize(HSplitterBar1->width(), FrameMetrics::BarHeight);

    lstUser->setMyName(pub.strMyName);
    lstUser->setColors(QColor(41, 109, 165), QColor(255, 255, 255));
    lstUser->setStyleValue(4);
    lstUser->setTitle(QStringLiteral("用户列表"));
    lstUser->setScoreName(UserListScoreName(pub.bteScoreMode));
    lstUser->SetColumns(UserListHeadings(pub.bteScoreMode), 11);
    lstUser->SetColumnWidths(kUserListWidths);
    lstUser->SetLevelInfo(pub.strLevelInfo);

    TavChat->setFacePath(pub.strParentPath + QStringLiteral("UserRes/face"));
    TavChat->setAppPath(pub.strAppPath);
    TavChat->setPageFile(QStringLiteral("MeChatWeb.htm"));
    TavChat->setMyName(pub.strMyName);
    TavChat->SetChatTarget(QStringLiteral("所有人"));
    TavChat->ResetChat();
    TavChat->setFlag1(true);
    TavChat->setCaption(QStringLiteral("聊天室"));
    TavChat->setFlag2(false);

    TavAdvWeb->setMode(1);
    TavAdvWeb->Navigate(LocalAdvertPage(kAdvertUrl, pub.strAppPath));
}

void frmGameMain::ExecUserMenu(int lngUserMenuItemIdx)
{
    frmUserMenu* m = userMenu();
    ::ExecUserMenu(*roomView_, lngUserMenuItemIdx, m ? m->itemTag(lngUserMenuItemIdx) : QString());
}

frmUserMenu* frmGameMain::userMenu() const
{
    return MainView(*roomView_).userMenu_.data();
}

frmGameSet* frmGameMain::gameSet() const
{
    return MainView(*roomView_).gameSet_.data();
}
