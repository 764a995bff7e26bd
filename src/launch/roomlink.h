#pragma once
// The client's side of the room link: the dispatch of received messages by their code, and the
// sender every outgoing message goes through.
#include <QByteArray>
#include <QString>

#include "protocol/messages.h"

struct Client;

// Hands a received message to HandleRoomMsg or HandleGameMsg; returns where it went.
MsgRoute DispatchMessage(Client& c, const QByteArray& msg);

// The room and game handlers of received messages.
void HandleRoomMsg(Client& c, const QByteArray& msg);
void HandleGameMsg(Client& c, const QByteArray& msg);

// Sends header + GBK body as one message. Nothing is sent (false) for an empty body or header,
// or without a link.
bool SendPacket(Client& c, const QByteArray& header, const QString& body);
