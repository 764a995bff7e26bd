#include "launch/roomlink.h"

#include "launch/client.h"
#include "shop/daojumaket.h"

MsgRoute DispatchMessage(Client& c, const QByteArray& msg)
{
    const MsgRoute r = RouteOf(msg);
    if (r == MsgRoute::Room) HandleRoomMsg(c, msg);
    else if (IsDaoJuMsg(msg)) HandleDaoJuMsg(DaoJuCtx{c.daoJu, c.pub, c.sendHook}, msg);
    else if (r == MsgRoute::Game) HandleGameMsg(c, msg);
    return r;
}

bool SendPacket(Client& c, const QByteArray& header, const QString& body)
{
    const QByteArray msg = TextMessage(header, body);
    if (msg.isEmpty()) return false;
    return c.SendData(msg);
}
