#include "launch/client.h"
#include "launch/roomlink.h"
#include "protocol/received.h"
#include "platform/draw/imagecache.h"
#include "round/roundflow.h"

// The game side: the round's messages and refused plays. The window's side of the round is the
// main window's when it has registered one; without a window the round runs on a view that
// shows nothing.
void HandleGameMsg(Client& c, const ReceivedMsg& msg)
{
    PaintCtx pc{c.surf, c.tbl, c.tv, c.pub, c.paint, ImageCache::instance()};
    BasicRoundView noWindow;
    noWindow.window = false;
    RoundCtx rc{pc, c.round, c.round.view ? *c.round.view : noWindow,
                [&c](const QByteArray& m) { return c.SendData(m); }};
    HandleRoundMsg(rc, msg);
}
