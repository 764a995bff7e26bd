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
#include "launch/userrows.h"

struct Client;
struct PublicState;
// The decoded messages (protocol/received.h); only the handlers' sources need their layout.
struct ReceivedMsg;
struct UserRowMsg;
struct ResetMsg;
struct UserListMsg;
struct IdentityMsg;
struct ShowWindowMsg;
struct UserNameMsg;
struct GameSetMsg;
struct HandUpMsg;
struct NoticeMsg;
struct TableSnapshotMsg;
struct TableState;
struct TableViewState;
struct SeatHooks;
struct RoundState;

struct RoomCtx {
    PublicState& pub;
    TableState& tbl;
    TableViewState& tv;
    RoomView& view;
    // The listed users; the handlers change and read these, the view only shows them.
    UserRows& users;
    // Sends one whole message; false when nothing was sent.
    std::function<bool(const QByteArray&)> send;
    // The round flow's own state, reset with the table by a snapshot or a reset; null: none.
    RoundState* round = nullptr;
};

// The context of a client: its state, its view (a view of nothing while it has no window) and
// its sender.
RoomCtx RoomCtxOf(Client& c);

// Hands a decoded room message to its handler; a message of another shape, another code or
// another sub-code does nothing.
void HandleRoomMsg(RoomCtx& ctx, const ReceivedMsg& msg);
// The same from the message's bytes.
void HandleRoomMsg(RoomCtx& ctx, const QByteArray& msg);

// The seat operations of the chair rules, drawn through the view.
SeatHooks SeatHooksOf(RoomCtx& ctx);

// Leaves the table: RM_USER_OUT with the own name. Nothing is sent without an own name.
bool SendUserOut(RoomCtx& ctx);

// One handler per room message, on its decoded payload.
void OnPangGuanIn(RoomCtx& ctx, const UserRowMsg& m);
void OnReset(RoomCtx& ctx, const ResetMsg& m);
void OnUserList(RoomCtx& ctx, const UserListMsg& m);
void OnIdentity(RoomCtx& ctx, const IdentityMsg& m);
void OnUserIn(RoomCtx& ctx, const UserRowMsg& m);
void OnShowWindow(RoomCtx& ctx, const ShowWindowMsg& m);
void OnUserBack(RoomCtx& ctx, const UserNameMsg& m);
void OnUserDropped(RoomCtx& ctx, const UserNameMsg& m);
void OnPangGuanOut(RoomCtx& ctx, const UserNameMsg& m);
void OnUserMark(RoomCtx& ctx, const UserNameMsg& m);
void OnUserOut(RoomCtx& ctx, const UserNameMsg& m);
void OnGameSet(RoomCtx& ctx, const GameSetMsg& m);
void OnHandUp(RoomCtx& ctx, const HandUpMsg& m);
void OnNotice(RoomCtx& ctx, const NoticeMsg& m);
void OnTableSnapshot(RoomCtx& ctx, const TableSnapshotMsg& m);

// The chat lines of the room events.
QString PangGuanInLine(const QString& name, const QString& watched);
QString UserInLine(const QString& name);
QString UserBackLine(const QString& name);
QString UserDroppedLine(const QString& name);
QString PangGuanOutLine(const QString& name);
QString UserOutLine(const QString& name);

// The text of the box a player sees while the owner sets the table up.
QString WaitingForOwnerText();
