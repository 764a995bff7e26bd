#pragma once
// The room side of the link: users coming, going, dropping and returning, the user list and the
// chat lines about them, the chairs, the table-settings round, notices and the table snapshot.
// Every handler works on a narrow context: the state it changes, the view it draws through and
// the sender of the answers.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "launch/roomview.h"
#include "protocol/shapes.h"

struct Client;
struct PublicState;
struct TableState;
struct SeatHooks;

struct RoomCtx {
    PublicState& pub;
    TableState& tbl;
    RoomView& view;
    // Sends one whole message; false when nothing was sent.
    std::function<bool(const QByteArray&)> send;
};

// The context of a client: its state, its view (a view of nothing while it has no window) and
// its sender.
RoomCtx RoomCtxOf(Client& c);

// Identifies a room message and hands it to its handler; a message of another shape, another
// code or another sub-code does nothing.
void HandleRoomMsg(RoomCtx& ctx, const QByteArray& msg);

// The user list's list-loaded event: the chairs, the chat targets, the view and the seats are
// rebuilt from the listed users (names joined with back-quotes).
void OnUsersLoaded(RoomCtx& ctx, const QString& names);
// The seat operations of the chair rules, drawn through the view.
SeatHooks SeatHooksOf(RoomView& view);

// Leaves the table: RM_USER_OUT with the own name. Nothing is sent without an own name.
bool SendUserOut(RoomCtx& ctx);

// One handler per room message; `m` has been identified as the handler's kind and fits its shape.
void OnPangGuanIn(RoomCtx& ctx, const ParsedMsg& m);
void OnReset(RoomCtx& ctx, const ParsedMsg& m);
void OnUserList(RoomCtx& ctx, const ParsedMsg& m);
void OnIdentity(RoomCtx& ctx, const ParsedMsg& m);
void OnUserIn(RoomCtx& ctx, const ParsedMsg& m);
void OnShowWindow(RoomCtx& ctx, const ParsedMsg& m, const QByteArray& msg);
void OnUserBack(RoomCtx& ctx, const ParsedMsg& m);
void OnUserDropped(RoomCtx& ctx, const ParsedMsg& m);
void OnPangGuanOut(RoomCtx& ctx, const ParsedMsg& m);
void OnUserMark(RoomCtx& ctx, const ParsedMsg& m);
void OnUserOut(RoomCtx& ctx, const ParsedMsg& m);
void OnGameSet(RoomCtx& ctx, const ParsedMsg& m);
void OnHandUp(RoomCtx& ctx, const ParsedMsg& m, const QByteArray& msg);
void OnNotice(RoomCtx& ctx, const ParsedMsg& m);
void OnTableSnapshot(RoomCtx& ctx, const QByteArray& msg);

// The chat lines of the room events.
QString PangGuanInLine(const QString& name, const QString& watched);
QString UserInLine(const QString& name);
QString UserBackLine(const QString& name);
QString UserDroppedLine(const QString& name);
QString PangGuanOutLine(const QString& name);
QString UserOutLine(const QString& name);

// The text of the box a player sees while the owner sets the table up.
QString WaitingForOwnerText();
