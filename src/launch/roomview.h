#pragma once
// What the room messages change on screen, as the main window offers it: the user list, the chat,
// the seats of the table, the message boxes, the table-settings dialog and the few operations of
// the round flow the room side starts. The handlers see the window only through this, so each of
// them runs in a test against a recording view, without a window or a socket.
#include <QString>
#include <QStringList>
#include <cstdint>

// The two sounds the room side plays (numbers of the game's sound table).
enum class RoomSound : int {
    PangGuanIn = 8,    // a spectator came in
    PangGuanOut = 9,   // a spectator left
};

// The owner number of the main window's message boxes.
inline constexpr int kRoomMsgOwner = 0;

class RoomView {
public:
    virtual ~RoomView() = default;

    // ---- The user list ----
    // Shows what the handlers did to their rows (UserRows); the rows are read there, not here.
    virtual void AddUser(const QString& row) = 0;
    virtual void RemoveUser(const QString& name) = 0;
    virtual void ClearUsers() = 0;
    // Shows the body's rows in place of those shown.
    virtual void LoadUsers(const QString& body) = 0;
    virtual void MarkUser(const QString& name) = 0;
    // The user list and the chat learn the own name.
    virtual void SetMyName(const QString& name) = 0;

    // ---- The chat ----
    virtual void AddSystemLine(const QString& line) = 0;
    virtual void AddNoticeText(const QString& text) = 0;
    virtual void AddChatMessage(const QStringList& eightFields) = 0;
    // word: "ADD" or "DEL".
    virtual void UpdateTargets(const QString& name, const QString& word) = 0;
    virtual void ClearChat() = 0;
    virtual void SetChatTarget(const QString& name) = 0;

    // ---- The seats, by chair number ----
    virtual void PaintFigure(int chair) = 0;   // figure and name; erased when the chair is free
    virtual void EraseFigure(int chair) = 0;   // drawn as for a free chair
    virtual void PaintDropped(int chair) = 0;  // network-break mark, drawn or erased
    virtual void PaintHandUp(int chair) = 0;   // raised-hand mark, drawn or erased

    // ---- The table and the window ----
    virtual void LayoutTable() = 0;
    virtual void RepaintTable() = 0;
    virtual void RepaintFrame() = 0;
    virtual void ShowMainWindow(bool show) = 0;

    // ---- The round flow's operations ----
    virtual void HideStartBut() = 0;
    virtual void RefreshStartButton() = 0;
    virtual void UpdateTurn() = 0;
    virtual void PlayGameSound(int n) = 0;

    // ---- Message boxes ----
    // A notice of type 0 (no buttons, no title, no time limit) owned by the main window.
    virtual void ShowNotice(const QString& text) = 0;
    virtual void CloseMsgByOwner(int ownerIdx) = 0;
    virtual void InitMsgPool() = 0;

    // ---- The table-settings dialog ----
    // Loads the dialog (or takes the one open) and prepares it; shows it and returns true when
    // the settings text could be shown, otherwise unloads it and returns false.
    virtual bool OpenGameSet(bool blnDeskMaster, const QString& strAllGameSetInfo) = 0;
};

// A view that shows nothing and lists nobody: for a client without a window.
class NullRoomView : public RoomView {
public:
    void AddUser(const QString&) override {}
    void RemoveUser(const QString&) override {}
    void ClearUsers() override {}
    void LoadUsers(const QString&) override {}
    void MarkUser(const QString&) override {}
    void SetMyName(const QString&) override {}
    void AddSystemLine(const QString&) override {}
    void AddNoticeText(const QString&) override {}
    void AddChatMessage(const QStringList&) override {}
    void UpdateTargets(const QString&, const QString&) override {}
    void ClearChat() override {}
    void SetChatTarget(const QString&) override {}
    void PaintFigure(int) override {}
    void EraseFigure(int) override {}
    void PaintDropped(int) override {}
    void PaintHandUp(int) override {}
    void LayoutTable() override {}
    void RepaintTable() override {}
    void RepaintFrame() override {}
    void ShowMainWindow(bool) override {}
    void HideStartBut() override {}
    void RefreshStartButton() override {}
    void UpdateTurn() override {}
    void PlayGameSound(int) override {}
    void ShowNotice(const QString&) override {}
    void CloseMsgByOwner(int) override {}
    void InitMsgPool() override {}
    // Nothing to show it in, and no reason to leave the table for that.
    bool OpenGameSet(bool, const QString&) override { return true; }
};
