#include "launch/roomlink.h"

#include "launch/chat.h"
#include "launch/client.h"
#include "protocol/received.h"
#include "shop/daojumaket.h"

#include <exception>

namespace {

void Handle(Client& c, const ReceivedMsg& msg)
{
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
}

// Every wait returns into the handler that began it, so one level is counted per handler, on
// every way out of it.
void HandleCounted(Client& c, const ReceivedMsg& msg)
{
    struct Level {
        int& depth;
        explicit Level(int& d) : depth(d) { ++depth; }
        ~Level() { --depth; }
    } level(c.dispatch.depth);
    Handle(c, msg);
}

void HoldLink(Client& c, bool on)
{
    if (c.dispatch.linkHeld == on) return;
    c.dispatch.linkHeld = on;
    if (c.holdLinkHook) c.holdLinkHook(on);
}

// Handles the held messages, oldest first, while the nesting allows; a message handled here may
// wait and take the next ones inside its wait, as it would have without the hold.
void HandleHeld(Client& c)
{
    Client::Dispatch& d = c.dispatch;
    while (!d.held.empty() && d.depth < kMaxNestedDispatch) {
        const ReceivedMsg msg = std::move(d.held.front());
        d.held.pop_front();
        // With the last one out the link flows again, so its handler's wait sees what follows.
        if (d.held.empty()) HoldLink(c, false);
        try {
            HandleCounted(c, msg);
        } catch (const std::exception&) {
            // Dropped as the window drops a message it could not digest; the held ones behind
            // it must not stay held (the link waits for them).
        }
    }
    if (d.held.empty()) HoldLink(c, false);
}

}  // namespace

MsgRoute DispatchMessage(Client& c, const QByteArray& bytes)
{
    ReceivedMsg msg = DecodeServerMsg(bytes);
    const MsgRoute route = msg.route;
    Client::Dispatch& d = c.dispatch;
    if (d.depth >= kMaxNestedDispatch || !d.held.empty()) {
        // Behind the messages already held, so the order stays the server's. The link stops
        // delivering until they are handled: the socket, not this queue, holds the rest.
        d.held.push_back(std::move(msg));
        HoldLink(c, true);
        HandleHeld(c);
        return route;
    }
    HandleCounted(c, msg);
    HandleHeld(c);
    return route;
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
