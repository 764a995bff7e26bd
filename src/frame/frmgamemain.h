#pragma once
// The client's main window: the table on the left, the user list, advert pane and chat on the
// right, the room link, and the window's timers. It works on one Client, which outlives it.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "frame/framelayout.h"
#include "platform/draw/surface.h"
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
class SkinFrame;
class SkinButtons;
class frmUserSet;
class VSplitterPane;
class UserButtonStrip;
class QUrl;
class ShopView;
class DaoJuMaketButton;
class frmUserMenu;
class frmGameSet;

// The window's background, which the room column and the frame show too.
inline const QColor kWindowBack(250, 250, 250);

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

// The main window. Its parts each own their widgets and live in their own source:
// - the window itself (frmgamemain.cpp): loading and tear-down, the room link, the pane layout;
// - the table side (frmgamemain_table.cpp): the table, its time bar and start button, the round
//   flow's timers and its window view;
// - the room side (frmgamemain_room.cpp): the user list, the advert pane, the chat and the
//   splitter bars between them, and the view the room messages draw through;
// - the frame (frmgamemain_frame.cpp): caption, border, caption and user buttons, moving and
//   resizing, closing;
// - the shop (frmgamemain_shop.cpp): the shop button and the item messages' view.
class frmGameMain : public QWidget {
    Q_OBJECT
public:
    explicit frmGameMain(Client& client, QWidget* parent = nullptr);
    ~frmGameMain() override;

    Client& client() { return c_; }

    // ---- The window ----
    // The window's load: the panes, the components' start values, the timers and the user
    // settings (read before the link opens). Run once, before the window is shown.
    void Form_Load();
    bool isLoaded() const { return loaded_; }
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

    // The screen size the layout starts from (tests may set it before Form_Load).
    void setScreenSize(const QSize& s) { screen_ = s; }
    // When false, Form_Unload does not end the program (tests keep their application running).
    void setQuitOnUnload(bool q) { quitOnUnload_ = q; }
    // When true (the program), an unload while pauses are under way ends the program at once
    // rather than after each pause has run out its time: the session is over.
    void setEndPausesOnUnload(bool on) { endPausesOnUnload_ = on; }
    // What the program ends with once the window has unloaded (see ExitCode in kvrnmain.h).
    int exitCode() const { return exitCode_; }

    const FrameLayoutState& layoutState() const { return lay_; }
    void LayoutMain();

    ::TavSckClient* TavSckClient = nullptr;

    // ---- The table side ----
    PaintCtx& paintContext() { return *paintCtx_; }
    // The round flow's operations that the room side also uses.
    void HideStartBut();
    void RefreshStartButton();
    void UpdateTurn();
    // The round's full repaint of the table (with the end panel while it is shown), then shown.
    void RepaintTable();
    void PlayGameSound(int n);

    QWidget* famGameBack = nullptr;
    ::GameTableWidget* picGameBack = nullptr;
    ::TavTimeBar* YuClock = nullptr;
    QPushButton* cmdStart = nullptr;
    QTimer* tmrStart = nullptr;
    QTimer* tmrPaintLastOutPai = nullptr;

    // ---- The room side ----
    // The player card's choice, and the card and the settings dialog while they are open.
    void ExecUserMenu(int lngUserMenuItemIdx);
    RoomView& roomView() { return *roomView_; }
    frmUserMenu* userMenu() const;
    frmGameSet* gameSet() const;

    ::TavList* lstUser = nullptr;
    ::HSplitterBar* HSplitterBar = nullptr;
    AdvPane* picAdvBack = nullptr;
    ::TavWeb* TavAdvWeb = nullptr;
    ::HSplitterBar* HSplitterBar1 = nullptr;
    ::TavChat* TavChat = nullptr;

    // ---- The frame ----
    // The skin: the window's persistent picture of its caption and border.
    void PaintFrame();
    void PaintCaption(const QString& title);
    void PaintFormBorder();
    const QImage& skinImage() const;
    // The skin has the window's size and device pixel ratio.
    bool skinFits() const;
    int skinPaintCount() const { return skinPaints_; }
    // Caption buttons: slot 0 minimise, 1 maximise or restore, 2 close; kinds 0 minimise,
    // 1 maximise, 2 restore, 3 close.
    void LayoutCaptionButtons();
    void PaintSysButton(int kind, bool highlighted);
    int HitSysButton(int x, int y) const;
    void SetHotSysButton(int slot);
    void SysButtonClick(int slot);
    int intHotSysButton() const;
    QPoint SysButtonPos(int slot) const;
    // The two user buttons on picUserButBk: 0 the settings dialog, 1 the help page.
    // Draws a user button into the strip's picture; show: and puts it on the screen.
    void PaintUserButton(int i, bool highlighted, bool show = true);
    int HitUserButton(int x, int y) const;
    void SetHotUserButton(int i);
    void UserButtonClick(int i);
    int intHotUserButton() const;
    QPoint UserButtonPos(int i) const;
    // The frame part under the mouse ("Left", ..., "Move" or ""), refreshed by tmrForm.
    void TrackFrameCursor();
    QString strFrameEdge() const;
    // Hands a move or resize for strFrameEdge to the window system.
    bool StartFrameDrag();
    // Asks before a player leaves a running game; false when the answer is to stay.
    bool ConfirmQuit();
    ::SkinFrame* skinFrame() const { return frame_; }
    // The settings dialog, opened by the first user button (one at a time).
    frmUserSet* ShowUserSet();
    frmUserSet* userSetDialog() const;
    // The help page the second user button opens: the page beside the program.
    static QUrl HelpPageUrl(const QString& appPath);
    // Opens the help page (the desktop's own handler by default); false when nothing could be
    // started, which the user is then told in a box.
    void setUrlOpener(std::function<bool(const QUrl&)> open) { openUrl_ = std::move(open); }
    // Shows the window as the program starts it: maximised, restoring to the screen's size
    // less the 32 pixels at the bottom.
    void ShowAtStart(const QSize& screenSize);
    // The program's start, first: the settings the hello carries are read and the link is
    // started, before the window is loaded.
    void ConnectAtStart();
    // Then: the window is loaded (Form_Load, when it was not) and shown (as ShowAtStart) once
    // the hello has gone out, so that the hello waits for neither; or after kStartShowWaitMs
    // when the link is slow to come up, or at once when it is neither up nor coming.
    void ShowAtStartAfterHello(const QSize& screenSize);
    static constexpr int kStartShowWaitMs = 250;
    // The longest the window waits for the hello (tests on a loaded machine wait longer).
    void setStartShowWaitMs(int ms) { startShowWaitMs_ = ms; }
    // What the first frame does not need (the window's icon) is done once it has been drawn.
    int afterFirstFrameRuns() const { return afterFirstFrameRuns_; }
    // A start waiting for its hello before it shows the window.
    bool startShowPending() const { return startShow_.isValid(); }

    QWidget* picSplitter = nullptr;
    QWidget* picUserButBk = nullptr;
    QTimer* tmrForm = nullptr;

    // ---- The shop ----
    // Opens the shop window; the shop's view of the item messages.
    void OpenDaoJuMaket();
    ShopView* shopView() const { return shopView_; }

    DaoJuMaketButton* cmdDaoJuMaket = nullptr;

signals:
    // Raised at the end of Form_Unload.
    void Unloaded();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // The window.
    void TavSckClient_Connected();
    void TavSckClient_DataArrived(const QByteArray& msg);
    void TavSckClient_Closed();
    void TavSckClient_Error();
    void HSplitterBar_MoveFinished(int delta);
    void HSplitterBar1_MoveFinished(int delta);
    void applyPanes(const FramePanes& p);

    Client& c_;
    FrameLayoutState lay_;
    QSize screen_;
    bool loaded_ = false;
    bool unloaded_ = false;
    QSize startShow_;   // the screen size of a start waiting for its hello
    int startShowWaitMs_ = kStartShowWaitMs;
    void ShowPendingStart();
    void AfterFirstFrame();
    bool firstFrameSeen_ = false;
    int afterFirstFrameRuns_ = 0;
    bool quitOnUnload_ = true;
    bool endPausesOnUnload_ = false;
    std::function<bool(const QUrl&)> openUrl_;
    int exitCode_ = 0;

    // The table side: its widgets and the round flow's window view (the constructor's part), and
    // their start values (Form_Load's part).
    void SetupTable();
    void TableLoad();
    void tmrStart_Timer();
    void tmrPaintLastOutPai_Timer();
    // What the table drawing works on: the client's table state and surface, and the shared
    // picture cache. Made before the table widget, which keeps a reference to it.
    std::unique_ptr<PaintCtx> paintCtx_;

    // The room side.
    void SetupRoom();
    void RoomLoad();
    std::unique_ptr<RoomView> roomView_;

    // The frame.
    void SetupFrame();
    void FrameLoad();
    void FrameAfterLayout();
    void tmrForm_Timer();
    void picUserButBk_Paint();
    ::SkinFrame* frame_ = nullptr;
    ::SkinButtons* userButtons_ = nullptr;
    VSplitterPane* splitter_ = nullptr;
    UserButtonStrip* userStrip_ = nullptr;
    Surface skin_;
    bool paintingFrame_ = false;
    // The skin no longer matches the window's state (maximised or not): the next paint draws it.
    bool skinStale_ = true;
    bool lastCaptionRoom_ = true;
    int skinPaints_ = 0;
    QSize lastSize_, lastUserButSize_;
    bool askingQuit_ = false;
    QPointer<frmUserSet> userSet_;

    // The shop.
    void SetupDaoJuMaket();
    ShopView* shopView_ = nullptr;
};

// The forced-quit question is asked only of a player (not a spectator) of a loaded game whose
// start button is not offered, with the setting "强退时给出提示" on.
bool QuitNeedsQuestion(const Client& c);
