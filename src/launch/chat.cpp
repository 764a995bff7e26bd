#include "launch/chat.h"

#include "protocol/messages.h"
#include "protocol/received.h"

namespace {

constexpr int kChatFields = 10;

}  // namespace

QString AllUsersTarget() { return QStringLiteral("所有人"); }

bool SendChat(RoomCtx& ctx, const QStringList& tenTexts)
{
    if (tenTexts.size() != kChatFields || !ctx.send) return false;
    return ctx.send(BuildChat(tenTexts));
}

void SetChatTarget(RoomView& view, const QString& name)
{
    view.SetChatTarget(name);
}

void HandleChatMsg(RoomCtx& ctx, const ReceivedMsg& msg)
{
    const ChatMsg* m = msg.as<ChatMsg>();
    if (msg.kind != MsgKind::Chat || !m) return;
    ctx.view.AddChatMessage(m->shown);
}

void HandleChatMsg(RoomCtx& ctx, const QByteArray& msg)
{
    HandleChatMsg(ctx, DecodeServerMsg(msg));
}
