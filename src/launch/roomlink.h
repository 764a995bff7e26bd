#pragma once
// The client's side of the room link: the dispatch of received messages by their route, and the
// sender every outgoing message goes through.
#include <QByteArray>
#include <QString>

#include "protocol/messages.h"
#include "protocol/shapes.h"

struct Client;
struct ReceivedMsg;

// Decodes a received message once and hands it to the room, round, item or chat handler its
// route names; returns the route.
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
