#include "launch/roomlink.h"

#include "launch/client.h"
#include "launch/publictools.h"

MsgRoute RouteOf(const QByteArray& msg)
{
    if (msg.isEmpty()) return MsgRoute::None;
    const uint8_t code = uint8_t(msg[0]);
    if (code >= 95 && code != 113 && code != 133) return MsgRoute::Room;
    return MsgRoute::Game;
}

QByteArray BuildHello(uint8_t allowPangGuan)
{
    const QString body = QString::fromLatin1(kProtocolVersion) + u'`' + QString::fromLatin1(kGameCode) + u'`' +
                         QString::number(allowPangGuan);
    QByteArray out;
    BuildPacket(body, out, 2, QByteArray("\x82\x00", 2));
    return out;
}

MsgRoute DispatchMessage(Client& c, const QByteArray& msg)
{
    const MsgRoute r = RouteOf(msg);
    if (r == MsgRoute::Room) HandleRoomMsg(c, msg);
    else if (r == MsgRoute::Game) HandleGameMsg(c, msg);
    return r;
}

bool SendPacket(Client& c, const QByteArray& header, const QString& body)
{
    QByteArray msg = header;
    if (!body.isEmpty()) BuildPacket(body, msg, uint8_t(std::min<qsizetype>(header.size(), 255)), header);
    if (msg.isEmpty()) return false;
    return c.SendData(msg);
}
