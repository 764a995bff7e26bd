#include "launch/roomlink.h"

#include "launch/chat.h"
#include "launch/client.h"
#include "protocol/received.h"
#include "shop/daojumaket.h"

MsgRoute DispatchMessage(Client& c, const QByteArray& bytes)
{
    const ReceivedMsg msg = DecodeServerMsg(bytes);
    switch (msg.route) {
    case MsgRoute::Room: HandleRoomMsg(c, msg); break;
    case MsgRoute::Items: HandleDaoJuMsg(DaoJuCtx{c.daoJu, c.pub, c.sendHook}, msg); break;
    case MsgRoute::Chat: {
        RoomCtx ctx = RoomCtxOf(c);
        HandleChatMsg(ctx, msg);
        break;
    }
    case MsgRoute::Game: HandleGameMsg(c, msg); break;
    case MsgRoute::None: break;
    }
    return msg.route;
}

bool Sendable(const QByteArray& msg)
{
    return !msg.isEmpty() && !LacksTextBody(msg);
}

bool SendPacket(Client& c, const QByteArray& header, const QString& body)
{
    // The framing has no empty messages, and a header alone would read as another message
    // (a body of characters GBK cannot carry is as empty once encoded).
    if (header.isEmpty() || body.isEmpty()) return false;
    const QByteArray msg = TextMessage(header, body);
    if (msg.size() <= header.size()) return false;
    return c.SendData(msg);
}
