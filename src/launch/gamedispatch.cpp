#include "launch/client.h"
#include "launch/roomlink.h"

// The game side: the round's messages, refused plays and items.
void HandleGameMsg(Client& c, const QByteArray& msg)
{
    (void)c;
    (void)msg;
}
