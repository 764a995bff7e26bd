#pragma once
// The table's chat as the client sees it: the ten texts the chat pane gives are sent as one chat
// message, the ones the server relays are shown, and the target is the user the next message
// goes to ("所有人" for everybody).
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "launch/roomhandler.h"

// The target that means everybody.
QString AllUsersTarget();

// Sends the pane's ten texts, joined with back-quotes, as one chat message. Nothing is sent
// (false) for another number of texts: the receivers count exactly ten.
bool SendChat(RoomCtx& ctx, const QStringList& tenTexts);

// The name the next message goes to.
void SetChatTarget(RoomView& view, const QString& name);

// A chat message relayed by the server: with ten fields or more, fields 2 to 9 are shown.
void HandleChatMsg(RoomCtx& ctx, const ReceivedMsg& msg);
void HandleChatMsg(RoomCtx& ctx, const QByteArray& msg);
