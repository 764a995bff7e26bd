#pragma once
// The round flow's own state and the window side it drives. The table itself (hands, plays, turn,
// scores, the automatic-move count) is the table state's; this keeps what only the flow needs:
// the counts of its two window timers and what lets a handler that waited in a nested event loop
// (a trick pause, a blast, a modal box) find out what happened meanwhile.
#include <QString>
#include <array>
#include <cstdint>

// What the round flow needs from the main window: the time bar, the start button, the two
// timers, the table's tool tip, boxes, the chat, sounds and closing. The window implements it;
// tests implement it without a window.
class RoundView {
public:
    virtual ~RoundView() = default;

    // False once the main window has been torn down: a handler that comes back from a wait stops.
    virtual bool IsAlive() const = 0;
    // False for the stand-in the flow runs on while no window is there: no time bar times a
    // chair then, and no start button follows a repaint of the table.
    virtual bool HasWindow() const = 0;

    // The turn time bar: start timing `seconds` (warning `warnSeconds` before the end), and stop it.
    virtual void ClockStart(int seconds, int warnSeconds) = 0;
    virtual void ClockReset() = 0;

    // The start button and the ready countdown's timer.
    virtual void SetStartCaption(const QString& caption) = 0;
    virtual void MoveStartButton(int x, int y) = 0;
    virtual void SetStartVisible(bool visible) = 0;
    virtual bool StartVisible() const = 0;
    virtual bool StartTimerEnabled() const = 0;
    virtual void SetStartTimerEnabled(bool on) = 0;
    // The timer that ends the previous-trick view.
    virtual void SetLastOutPaiTimerEnabled(bool on) = 0;

    // The table's tool tip ("" for none).
    virtual void SetTableToolTip(const QString& text) = 0;
    // A notice in the client's own message box, one button "确定"; returns when it is closed
    // (events keep flowing meanwhile).
    virtual void ShowMsg(const QString& text, const QString& title) = 0;
    // The system's warning box (a refused own play); returns when it is closed.
    virtual void ShowWarning(const QString& title, const QString& text) = 0;
    // The server's refusal of the own play, in the client's box as ShowMsg shows it.
    virtual void ShowRefusal(const QString& text, const QString& title) = 0;
    // Closes the two boxes above while one is open: the move they speak of is gone (the turn
    // moved on, or its clock ran out and the client moved for the player).
    virtual void CloseMoveBoxes() = 0;
    // One line of the chat pane.
    virtual void AddSystemLine(const QString& line) = 0;
    // Sound n of the game (0..9); silent where the window or the settings say so.
    virtual void PlayGameSound(int n) = 0;
    // Closes the main window: the client leaves the table.
    virtual void CloseMainWindow() = 0;
};

// A view that keeps what it is told and shows nothing: the flow's side when no window exists,
// and the base of test views.
class BasicRoundView : public RoundView {
public:
    bool IsAlive() const override { return alive; }
    bool HasWindow() const override { return window; }
    void ClockStart(int seconds, int warnSeconds) override { clockSeconds = seconds; clockWarn = warnSeconds; clockRunning = true; }
    void ClockReset() override { clockRunning = false; }
    void SetStartCaption(const QString& caption) override { startCaption = caption; }
    void MoveStartButton(int x, int y) override { startX = x; startY = y; }
    void SetStartVisible(bool visible) override { startVisible = visible; }
    bool StartVisible() const override { return startVisible; }
    bool StartTimerEnabled() const override { return startTimer; }
    void SetStartTimerEnabled(bool on) override { startTimer = on; }
    void SetLastOutPaiTimerEnabled(bool on) override { lastOutPaiTimer = on; }
    void SetTableToolTip(const QString& text) override { toolTip = text; }
    void ShowMsg(const QString&, const QString&) override {}
    void ShowWarning(const QString&, const QString&) override {}
    void ShowRefusal(const QString& text, const QString& title) override { ShowMsg(text, title); }
    void CloseMoveBoxes() override { ++moveBoxCloses; }
    void AddSystemLine(const QString&) override {}
    void PlayGameSound(int) override {}
    void CloseMainWindow() override { alive = false; }

    bool alive = true;
    bool clockRunning = false;
    int clockSeconds = 0;
    int clockWarn = 0;
    bool window = true;
    QString startCaption = QStringLiteral("可以开始");
    int startX = 0, startY = 0;
    bool startVisible = false;
    bool startTimer = false;
    bool lastOutPaiTimer = false;
    int moveBoxCloses = 0;
    QString toolTip;
};

// The message pool's owner number of the server's refusal box, closed when its move is gone
// (the window's own notices are owner 0).
inline constexpr int kMoveMsgOwner = 1;

// The ready countdown in seconds.
inline constexpr int kReadySeconds = 20;

struct RoundState {
    // The window's side; null while no window is there (a view that shows nothing stands in).
    RoundView* view = nullptr;

    // The previous-trick view's count (the timer's tag): seconds it stays shown.
    int LastOutPaiTag = 0;
    // The ready countdown (tmrStart's): seconds left, and whether the count has begun (it
    // waits for someone at the table to be ready, then keeps going).
    int StartSecondsLeft = kReadySeconds;
    bool StartCounting = false;

    // Bumped when a game starts or ends: a handler that waited and finds another game stops.
    uint32_t GameSeq = 0;
    // Bumped by every turn update: a handler that waited does not start the clock again for a
    // turn a later message has already set up.
    uint32_t TurnSeq = 0;
    // Bumped by every game message handled: a blast that let others run redraws the table.
    uint32_t MsgSeq = 0;
    // A won trick's plays still lie on the table during its pause; the next play or the end of
    // the game moves them to the previous trick first.
    bool TrickMovePending = false;
    // The end panel on the table and its score changes, to draw it again after a repaint.
    bool GameOverShown = false;
    std::array<int32_t, 4> GameOverChanges{};
    // The automatic moves reached their limit: the player is leaving, and while the notice says
    // so (it waits for its button or its countdown) no clock plays for the player again.
    bool AutoOutLeaving = false;
    // The hint's place in the legal plays, for the turn it was asked on (TurnSeq).
    uint32_t HintTurn = 0;
    size_t HintNext = 0;
};
