#pragma once
// What travels over the room link besides the codec: the hello, the dispatch of received
// messages by their code, and the senders.
#include <QByteArray>
#include <QString>
#include <cstdint>

struct Client;

// The game's code in the hello and the protocol version before it.
inline constexpr const char* kGameCode = "KVRN";
inline constexpr const char* kProtocolVersion = "600";

// Which handler a received message belongs to.
enum class MsgRoute { None, Room, Game };

// Codes 95..255 except 113 and 133 go to the room side, the rest to the game side; an empty
// message goes nowhere.
MsgRoute RouteOf(const QByteArray& msg);

// The hello: header 130, 0; body "600`KVRN`" and the spectator setting (0 or 1).
QByteArray BuildHello(uint8_t allowPangGuan);

// Hands a received message to HandleRoomMsg or HandleGameMsg; returns where it went.
MsgRoute DispatchMessage(Client& c, const QByteArray& msg);

// The room and game handlers of received messages.
void HandleRoomMsg(Client& c, const QByteArray& msg);
void HandleGameMsg(Client& c, const QByteArray& msg);

// Sends header + GBK body as one message; an empty body sends only the header bytes. Returns
// false when nothing was sent (no link).
bool SendPacket(Client& c, const QByteArray& header, const QString& body);
