#pragma once
// The client's side of the room link: the dispatch of received messages by their route, and the
// sender every outgoing message goes through.
#include <QByteArray>
#include <QString>

#include "protocol/messages.h"
#include "protocol/shapes.h"

struct Client;
struct ReceivedMsg;

// Handlers nested in one another's waits beyond which the next messages are held.
inline constexpr int kMaxNestedDispatch = 8;

// Decodes a received message once and hands it to the room, round, item or chat handler its
// route names; returns the route. A handler that waits (a pause, a modal box) sees the next
// messages inside its wait, as the server sends them; once kMaxNestedDispatch handlers wait in
// one another, the next messages are held, in order, and handled as the waits return.
MsgRoute DispatchMessage(Client& c, const QByteArray& msg);

// The room and game handlers of received messages.
void HandleRoomMsg(Client& c, const ReceivedMsg& msg);
void HandleGameMsg(Client& c, const ReceivedMsg& msg);

// Whether a message may leave the client: not empty, and not a message that carries text sent
// without any (whoever built it). The link's sender asks this of every message.
bool Sendable(const QByteArray& msg);

// Sends header + GBK body as one message. Nothing is sent (false) for an empty body or header,
// or without a link.
bool SendPacket(Client& c, const QByteArray& header, const QString& body);
