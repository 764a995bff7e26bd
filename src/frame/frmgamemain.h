#pragma once
// The client's main window: the table on the left, the user list, advert pane and chat on the
// right, the room link, and the window's timers. It works on one Client, which outlives it.
#include <QByteArray>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "frame/framelayout.h"
#include "launch/roomview.h"

struct Client;
struct PaintCtx;
class GameTableWidget;
class QPushButton;
class TavSckClient;
class TavList;
class TavChat;
class TavTimeBar;
class TavWeb;
class HSplitterBar;
class ShopView;
class DaoJuMaketButton;
class frmUserMenu;
class frmGameSet;

// The advert pane: a thin triple frame around the page view.
class AdvPane : public QWidget {
    Q_OBJECT
public:
    explicit AdvPane(QWidget* parent = nullptr);
    TavWeb* web() const { return web_; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    TavWeb* web_ = nullptr;
    bool painting_ = false;
};

// The advert page's configured address, and the local page it is shown from.
extern const QString kAdvertUrl;
// The local file for an advert address: the address whose path ends in "/adv/KVRN/ga.htm" is
// the page beside the program (appPath + "Adv/ga.htm"); any other address is returned as it is.
QString LocalAdvertPage(const QString& url, const QString& appPath);

// The experience or score headings of the user list by score mode, and the widths.
QString UserListHeadings(uint8_t scoreMode);
QString UserListScoreName(uint8_t scoreMode);
inline const QString kUserListWidths = QStringLiteral("100`90`70`80`80`60`50`50`50`50`50");

class frmGameMain : public QWidget {
    Q_OBJECT
public:
    explicit frmGameMain(Client& client, QWidget* parent = nullptr);
    ~frmGameMain() override;

    Client& client() { return c_; }
    PaintCtx& paintContext() { return *paintCtx_; }

    // The window's load: the panes, the components' start values, the timers and the user
    // settings (read before the link opens). Run once, before the window is shown.
    void Form_Load();
    // The window's tear-down: closes the message boxes, resets the shared state, closes every
    // other window and then this one, and ends the program. Runs at most once.
    void Form_Unload();
    bool isUnloaded() const { return unloaded_; }

    // Opens the room link to strServerHost:strServerPort.
    void ConnectRoomServer();
    // Sends the whole array as one message (the table-settings dialog's answer).
    void SendGameSetResult(const QByteArray& bteCmd);
    // Sends one message over the room link; false when the link is not up.
    bool SendData(const QByteArray& msg);

    // The round flow's operations that the room side also uses (frmgamemain_round.cpp).
    void HideStartBut();
    void RefreshStartButton();
    void UpdateTurn();
    void PlayGameSound(int n);
    // Connects the table's mouse, the time bar, the start button and the two round timers to the
    // round flow and registers the window as its view; run once by the constructor.
    void InitRound();

    // The screen size the layout starts from (tests may set it before Form_Load).
    void setScreenSize(const QSize& s) { screen_ = s; }
    // When false, Form_Unload does not end the program (tests keep their application running).
    void setQuitOnUnload(bool q) { quitOnUnload_ = q; }

    // The item shop (frmgamemain_shop.cpp): opens its window; its view of the item messages.
    void OpenDaoJuMaket();
    ShopView* shopView() const { return shopView_; }

    const FrameLayoutState& layoutState() const { return lay_; }
    void LayoutMain();

    // The controls, named as the rest of the client refers to them.
    QWidget* famGameBack = nullptr;
    ::GameTableWidget* picGameBack = nullptr;
    QWidget* picSplitter = nullptr;
    QWidget* picUserButBk = nullptr;
    ::TavList* lstUser = nullptr;
    ::HSplitterBar* HSplitterBar = nullptr;
    AdvPane* picAdvBack = nullptr;
    ::TavWeb* TavAdvWeb = nullptr;
    ::HSplitterBar* HSplitterBar1 = nullptr;
    ::TavChat* TavChat = nullptr;
    ::TavTimeBar* YuClock = nullptr;
    QPushButton* cmdStart = nullptr;
    ::TavSckClient* TavSckClient = nullptr;
    QTimer* tmrForm = nullptr;
    QTimer* tmrStart = nullptr;
    QTimer* tmrPaintLastOutPai = nullptr;
    DaoJuMaketButton* cmdDaoJuMaket = nullptr;

    // The room side (frmgamemain_room.cpp): the view the room messages draw through, the player
    // card's choice, and the card and the settings dialog while they are open.
    void ExecUserMenu(int lngUserMenuItemIdx);
    RoomView& roomView() { return *roomView_; }
    frmUserMenu* userMenu() const;
    frmGameSet* gameSet() const;

signals:
    // Raised at the end of Form_Unload.
    void Unloaded();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void TavSckClient_Connected();
    void TavSckClient_DataArrived(const QByteArray& msg);
    void TavSckClient_Closed();
    void TavSckClient_Error();
    void tmrForm_Timer();
    void tmrStart_Timer();
    void tmrPaintLastOutPai_Timer();
    void HSplitterBar_MoveFinished(int delta);
    void HSplitterBar1_MoveFinished(int delta);
    void applyPanes(const FramePanes& p);
    void SetupDaoJuMaket();

    Client& c_;
    // What the table drawing works on: the client's table state and surface, and the shared
    // picture cache. Made before the table widget, which keeps a reference to it.
    std::unique_ptr<PaintCtx> paintCtx_;
    FrameLayoutState lay_;
    QSize screen_;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool quitOnUnload_ = true;
    ShopView* shopView_ = nullptr;

    // The room side (frmgamemain_room.cpp).
    void SetupRoom();
    std::unique_ptr<RoomView> roomView_;
};
