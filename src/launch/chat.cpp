#include "launch/chat.h"

#include "protocol/messages.h"
#include "protocol/shapes.h"

namespace {

constexpr int kChatFields = 10;
// The fields of a relayed message that the pane shows.
constexpr int kFirstShown = 2;
constexpr int kShownCount = 8;

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

void HandleChatMsg(RoomCtx& ctx, const QByteArray& msg)
{
    const ParsedMsg m = ParseMessage(msg, Sender::Server);
    if (m.kind != MsgKind::Chat || !m.fits) return;
    ctx.view.AddChatMessage(m.fields.mid(kFirstShown, kShownCount));
}
