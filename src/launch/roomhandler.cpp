#include "launch/roomhandler.h"

#include "launch/chat.h"
#include "launch/client.h"
#include "launch/publicdefine.h"
#include "launch/roomlink.h"
#include "launch/seats.h"
#include "platform/core/vbnum.h"
#include "protocol/messages.h"
#include "rules/cards.h"
#include "rules/gamedefine.h"

namespace {

const QChar kFieldSep(u'`');
const QString kAdd = QStringLiteral("ADD");
const QString kDel = QStringLiteral("DEL");

// RM_GAME_SET's fields that the client reads.
enum GameSetField : int {
    GS_Owner = 3,       // above 0: this client owns the table
    GS_Round = 5,       // above 0: a settings round
    GS_Decided = 6,     // 0: the owner has not set the table up yet
    GS_Settings = 7,    // the settings text starts here
};

// RM_HAND_UP's sub-codes above this lower every hand (the game starts).
constexpr uint8_t kHandUpLowersAll = 1;

// Byte 2 of RM_SHOW_WINDOW: zero shows the window.
constexpr int kShowWindowByte = 2;

// A user row names somebody: a row with an empty name would list, greet and seat nobody.
bool NamesUser(const ParsedMsg& m)
{
    return !m.fields.isEmpty() && !m.fields[kUserFieldName].isEmpty();
}

bool IsSpectatorRow(const QStringList& f)
{
    return !TrimBlanks(f[kUserFieldWatched]).isEmpty();
}

bool Listed(RoomCtx& ctx, const QString& name)
{
    return !ctx.view.FindUser(name).isEmpty();
}

QString JoinFrom(const QStringList& f, int first)
{
    return f.size() > first ? f.mid(first).join(kFieldSep) : QString();
}

void RedrawChairMarks(RoomView& v, int chair)
{
    v.PaintHandUp(chair);
    v.PaintDropped(chair);
}

// Opens the settings dialog; the client leaves the table when the settings cannot be shown.
void OfferSettings(RoomCtx& ctx, bool deskMaster, const QString& settings)
{
    if (!ctx.view.OpenGameSet(deskMaster, settings)) SendUserOut(ctx);
}

NullRoomView& NoView()
{
    static NullRoomView v;
    return v;
}

}  // namespace

QString PangGuanInLine(const QString& name, const QString& watched)
{
    return name + QStringLiteral(" 进来了，正在旁观 ") + watched + QStringLiteral(" 游戏...");
}
QString UserInLine(const QString& name) { return name + QStringLiteral(" 进来了..."); }
QString UserBackLine(const QString& name) { return QStringLiteral("哈哈，") + name + QStringLiteral(" 终于上线了..."); }
QString UserDroppedLine(const QString& name) { return QStringLiteral("不好，") + name + QStringLiteral(" 掉线了..."); }
QString PangGuanOutLine(const QString& name) { return QStringLiteral("旁观用户 ") + name + QStringLiteral(" 走了..."); }
QString UserOutLine(const QString& name) { return name + QStringLiteral(" 走了..."); }
QString WaitingForOwnerText() { return QStringLiteral("等待桌主进行本桌游戏设置..."); }

RoomCtx RoomCtxOf(Client& c)
{
    RoomView& v = c.roomView ? *c.roomView : NoView();
    Client* cp = &c;
    return RoomCtx{c.pub, c.tbl, v, [cp](const QByteArray& m) { return cp->SendData(m); }};
}

SeatHooks SeatHooksOf(RoomView& view)
{
    RoomView* v = &view;
    SeatHooks h;
    h.FindUser = [v](const QString& name) { return v->FindUser(name); };
    h.UpdateTargets = [v](const QString& name, const QString& word) { v->UpdateTargets(name, word); };
    h.EraseFigure = [v](int chair) { v->EraseFigure(chair); };
    h.PaintFigure = [v](int chair) { v->PaintFigure(chair); };
    h.PaintDropped = [v](int chair) { v->PaintDropped(chair); };
    h.PaintHandUp = [v](int chair) { v->PaintHandUp(chair); };
    return h;
}

void OnUsersLoaded(RoomCtx& ctx, const QString& names)
{
    RebuildChairs(ctx.tbl, ctx.pub, names, SeatHooksOf(ctx.view));
}

bool SendUserOut(RoomCtx& ctx)
{
    if (ctx.pub.strMyName.isEmpty() || !ctx.send) return false;
    return ctx.send(BuildUserOut(ctx.pub.strMyName));
}

// 130/0: a spectator came in.
void OnPangGuanIn(RoomCtx& ctx, const ParsedMsg& m)
{
    const QStringList& f = m.fields;
    if (!NamesUser(m) || !IsSpectatorRow(f)) return;
    const QString& name = f[kUserFieldName];
    if (Listed(ctx, name)) return;
    ctx.view.AddUser(m.text);
    ctx.view.AddSystemLine(PangGuanInLine(name, f[kUserFieldWatched]));
    ctx.view.UpdateTargets(name, kAdd);
    ctx.view.PlayGameSound(int(RoomSound::PangGuanIn));
}

// 130/1: the client is taken to a fresh table.
void OnReset(RoomCtx& ctx, const ParsedMsg&)
{
    InitPublicState(ctx.pub, ctx.tbl, ctx.pub.strAppPath);
    ctx.view.CloseMsgByOwner(kRoomMsgOwner);
    ctx.view.InitMsgPool();
    InitGameDefine(ctx.tbl);
    ctx.view.HideStartBut();
    ctx.view.RepaintFrame();
    ctx.view.RepaintTable();
    ctx.view.ClearUsers();
    ctx.view.ClearChat();
    SetChatTarget(ctx.view, AllUsersTarget());
}

// 130/2: every user of the table; the list's load event rebuilds the chairs.
void OnUserList(RoomCtx& ctx, const ParsedMsg& m)
{
    ctx.view.ClearUsers();
    ctx.view.LoadUsers(m.text);
}

// 130/3: the own name and the player shown at the bottom. The view follows with the next list.
void OnIdentity(RoomCtx& ctx, const ParsedMsg& m)
{
    ctx.pub.strMyName = m.fields[0];
    ctx.tbl.strViewOwner = m.fields[1];
    ctx.view.SetMyName(ctx.pub.strMyName);
}

// 130/4: a user came in; a player takes the chair the row names.
void OnUserIn(RoomCtx& ctx, const ParsedMsg& m)
{
    const QStringList& f = m.fields;
    if (!NamesUser(m)) return;
    const QString& name = f[kUserFieldName];
    if (Listed(ctx, name)) return;
    ctx.view.AddUser(m.text);
    ctx.view.AddSystemLine(UserInLine(name));
    ctx.view.UpdateTargets(name, kAdd);
    if (!IsSpectatorRow(f)) SeatUserFromRow(ctx.tbl, f, SeatHooksOf(ctx.view));
}

// 130/5: byte 2 zero shows the main window, anything else hides it.
void OnShowWindow(RoomCtx& ctx, const ParsedMsg&, const QByteArray& msg)
{
    ctx.view.ShowMainWindow(msg.at(kShowWindowByte) == 0);
}

// 108/0: a dropped player is back.
void OnUserBack(RoomCtx& ctx, const ParsedMsg& m)
{
    const int c = FindChair(ctx.tbl, m.text);
    if (c >= 4) return;
    ctx.tbl.Chairs[size_t(c)].Dropped = false;
    ctx.view.PaintDropped(c);
    ctx.view.AddSystemLine(UserBackLine(m.text));
}

// 108/3: a player lost the link.
void OnUserDropped(RoomCtx& ctx, const ParsedMsg& m)
{
    const int c = FindChair(ctx.tbl, m.text);
    if (c >= 4) return;
    ctx.tbl.Chairs[size_t(c)].Dropped = true;
    ctx.view.PaintDropped(c);
    ctx.view.AddSystemLine(UserDroppedLine(m.text));
}

// 108/4: a spectator left.
void OnPangGuanOut(RoomCtx& ctx, const ParsedMsg& m)
{
    const QString& name = m.text;
    if (name.isEmpty() || !Listed(ctx, name)) return;
    ctx.view.RemoveUser(name);
    ctx.view.AddSystemLine(PangGuanOutLine(name));
    ctx.view.UpdateTargets(name, kDel);
    ctx.view.PlayGameSound(int(RoomSound::PangGuanOut));
}

// 108/6: the list marks the user.
void OnUserMark(RoomCtx& ctx, const ParsedMsg& m)
{
    if (m.text.isEmpty()) return;
    ctx.view.MarkUser(m.text);
}

// 110/0: a user left the table; a player's chair is emptied.
void OnUserOut(RoomCtx& ctx, const ParsedMsg& m)
{
    const QString& name = m.text;
    if (name.isEmpty() || !Listed(ctx, name)) return;
    ctx.view.RemoveUser(name);
    ctx.view.AddSystemLine(UserOutLine(name));
    ctx.view.UpdateTargets(name, kDel);
    const int c = FindChair(ctx.tbl, name);
    if (c >= 4) return;
    ChairInfo& ch = ctx.tbl.Chairs[size_t(c)];
    ch.Name.clear();
    ch.IconNo = 0;
    ch.HandRaised = false;
    ch.Dropped = false;
    ctx.view.PaintFigure(c);
    RedrawChairMarks(ctx.view, c);
}

// 111: the start is offered, or a settings round begins.
void OnGameSet(RoomCtx& ctx, const ParsedMsg& m)
{
    const QStringList& f = m.fields;
    const bool owner = Val(f[GS_Owner]) > 0;
    if (!(Val(f[GS_Round]) > 0)) {
        ctx.pub.TableJoined = 0;
        ctx.pub.StartButShown = true;
        ctx.view.RefreshStartButton();
        return;
    }
    const QString settings = JoinFrom(f, GS_Settings);
    if (owner) {
        OfferSettings(ctx, true, settings);
        return;
    }
    // Six fields are enough for a round; a missing decision reads as none yet.
    if (Val(f.value(GS_Decided)) == 0) {
        ctx.view.ShowNotice(WaitingForOwnerText());
        return;
    }
    OfferSettings(ctx, false, settings);
}

// 112: a player raised the hand, perhaps with the owner's settings for the others to agree to.
void OnHandUp(RoomCtx& ctx, const ParsedMsg& m, const QByteArray& msg)
{
    const QStringList& f = m.fields;
    const int c = FindChair(ctx.tbl, f[0]);
    if (c >= 4) return;
    ctx.tbl.Chairs[size_t(c)].HandRaised = true;
    ctx.view.PaintHandUp(c);
    const bool withSettings = f.size() >= 2;
    const QString settings = JoinFrom(f, 1);
    ctx.view.CloseMsgByOwner(kRoomMsgOwner);
    if (withSettings && f[0] != ctx.pub.strMyName) {
        if (!ctx.view.OpenGameSet(false, settings)) {
            SendUserOut(ctx);
            return;
        }
    }
    if (msg.size() > 1 && uint8_t(msg.at(1)) > kHandUpLowersAll) {
        for (int i = 0; i < 4; ++i) {
            ctx.tbl.Chairs[size_t(i)].HandRaised = false;
            ctx.view.PaintHandUp(i);
        }
    }
}

// 105: a notice from the server.
void OnNotice(RoomCtx& ctx, const ParsedMsg& m)
{
    // Nothing to show: a notice without text (or with text that does not decode).
    if (m.text.isEmpty()) return;
    ctx.view.AddNoticeText(m.text);
}

// 109: the whole table at once.
void OnTableSnapshot(RoomCtx& ctx, const QByteArray& msg)
{
    TableState& t = ctx.tbl;
    ctx.pub.TableJoined = 1;
    ResetGameTable(t, true);
    ctx.view.HideStartBut();
    LoadTableSnapshot(t, msg);
    ctx.view.LayoutTable();
    ArrangeHand(t.MyPai, t.PaiSortMode, t.DeckCount);
    if (t.ShowPartnerPai != 0) ArrangeHand(t.PartnerPai, t.PaiSortMode, t.DeckCount);
    ctx.view.RepaintTable();
    ctx.view.UpdateTurn();
}

void HandleRoomMsg(RoomCtx& ctx, const QByteArray& msg)
{
    const ParsedMsg m = ParseMessage(msg, Sender::Server);
    if (!m.fits) return;
    switch (m.kind) {
    case MsgKind::PangGuanIn: OnPangGuanIn(ctx, m); break;
    case MsgKind::Reset: OnReset(ctx, m); break;
    case MsgKind::UserList: OnUserList(ctx, m); break;
    case MsgKind::Identity: OnIdentity(ctx, m); break;
    case MsgKind::UserIn: OnUserIn(ctx, m); break;
    case MsgKind::ShowWindow: OnShowWindow(ctx, m, msg); break;
    case MsgKind::UserBack: OnUserBack(ctx, m); break;
    case MsgKind::UserDropped: OnUserDropped(ctx, m); break;
    case MsgKind::PangGuanOut: OnPangGuanOut(ctx, m); break;
    case MsgKind::UserMark: OnUserMark(ctx, m); break;
    case MsgKind::UserOut: OnUserOut(ctx, m); break;
    case MsgKind::GameSet: OnGameSet(ctx, m); break;
    case MsgKind::HandUp: OnHandUp(ctx, m, msg); break;
    case MsgKind::Notice: OnNotice(ctx, m); break;
    case MsgKind::TableSnapshot: OnTableSnapshot(ctx, msg); break;
    default: break;  // not a room message
    }
}

// The room side of the protocol: users, chairs, the list and chat, the table's settings. Every
// message is checked for its length and field count before anything is read from it.
void HandleRoomMsg(Client& c, const QByteArray& msg)
{
    RoomCtx ctx = RoomCtxOf(c);
    HandleRoomMsg(ctx, msg);
}
