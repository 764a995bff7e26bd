#include "launch/roomlink.h"

#include "launch/chat.h"
#include "launch/client.h"
#include "shop/daojumaket.h"

MsgRoute DispatchMessage(Client& c, const QByteArray& msg)
{
    const MsgRoute r = RouteOf(msg);
    if (r == MsgRoute::Room) {
        HandleRoomMsg(c, msg);
    } else if (IsDaoJuMsg(msg)) {
        HandleDaoJuMsg(DaoJuCtx{c.daoJu, c.pub, c.sendHook}, msg);
    } else if (r == MsgRoute::Game) {
        // Received chat is the room side's, although its code lies on the game side.
        if (uint8_t(msg[0]) == GM_CHAT) {
            RoomCtx ctx = RoomCtxOf(c);
            HandleChatMsg(ctx, msg);
        } else {
            HandleGameMsg(c, msg);
        }
    }
    return r;
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
