#include "launch/roomhandler.h"

#include "launch/chat.h"
#include "launch/client.h"
#include "launch/publicdefine.h"
#include "launch/roomlink.h"
#include "launch/seats.h"
#include "platform/core/vbnum.h"
#include "protocol/messages.h"
#include "protocol/received.h"
#include "round/roundflow.h"
#include "rules/cards.h"
#include "rules/gamedefine.h"
#include "tableview/tableviewstate.h"

namespace {

const QString kAdd = QStringLiteral("ADD");
const QString kDel = QStringLiteral("DEL");

// A user row names somebody: a row with an empty name would list, greet and seat nobody.
bool NamesUser(const UserRowMsg& m)
{
    return !m.fields.isEmpty() && !m.fields[kUserFieldName].isEmpty();
}

bool IsSpectatorRow(const QStringList& f)
{
    return !TrimBlanks(f[kUserFieldWatched]).isEmpty();
}

bool Listed(RoomCtx& ctx, const QString& name)
{
    return ctx.users.Contains(name);
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

// The table set up anew the way the round flow does it, so a handler waiting in a pause (a won
// trick, a blast) finds the table is not its own any more and a running blast keeps its flag.
void ResetRound(RoomCtx& ctx, bool clearReady)
{
    if (ctx.round) {
        ResetRoundTable(ctx.tbl, ctx.tv, *ctx.round, clearReady);
        return;
    }
    const bool blast = ctx.tv.BlastRunning;
    ResetGameTable(ctx.tbl, clearReady);
    ResetTableView(ctx.tv);
    ctx.tv.BlastRunning = blast;
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
    return RoomCtx{c.pub, c.tbl, c.tv, v, c.users, [cp](const QByteArray& m) { return cp->SendData(m); }, &c.round};
}

SeatHooks SeatHooksOf(RoomCtx& ctx)
{
    RoomView* v = &ctx.view;
    const UserRows* users = &ctx.users;
    SeatHooks h;
    h.FindUser = [users](const QString& name) { return users->Find(name); };
    h.UpdateTargets = [v](const QString& name, const QString& word) { v->UpdateTargets(name, word); };
    h.EraseFigure = [v](int chair) { v->EraseFigure(chair); };
    h.PaintFigure = [v](int chair) { v->PaintFigure(chair); };
    h.PaintDropped = [v](int chair) { v->PaintDropped(chair); };
    h.PaintHandUp = [v](int chair) { v->PaintHandUp(chair); };
    return h;
}

bool SendUserOut(RoomCtx& ctx)
{
    if (ctx.pub.strMyName.isEmpty() || !ctx.send) return false;
    return ctx.send(BuildUserOut(ctx.pub.strMyName));
}

// 130/0: a spectator came in.
void OnPangGuanIn(RoomCtx& ctx, const UserRowMsg& m)
{
    const QStringList& f = m.fields;
    if (!NamesUser(m) || !IsSpectatorRow(f)) return;
    const QString& name = f[kUserFieldName];
    if (Listed(ctx, name)) return;
    ctx.users.Add(m.row);
    ctx.view.AddUser(m.row);
    ctx.view.AddSystemLine(PangGuanInLine(name, f[kUserFieldWatched]));
    ctx.view.UpdateTargets(name, kAdd);
    ctx.view.PlayGameSound(int(RoomSound::PangGuanIn));
}

// 130/1: the client is taken to a fresh table.
void OnReset(RoomCtx& ctx, const ResetMsg&)
{
    // The round's part first: a won trick waiting to move, an end shown, a handler waiting.
    ResetRound(ctx, true);
    const bool blast = ctx.tv.BlastRunning;
    InitPublicState(ctx.pub, ctx.tv, ctx.pub.strAppPath);
    ctx.view.CloseMsgByOwner(kRoomMsgOwner);
    ctx.view.InitMsgPool();
    InitGameDefine(ctx.tbl);
    InitTableView(ctx.tv);
    ctx.tv.BlastRunning = blast;
    ctx.view.HideStartBut();
    ctx.view.RepaintFrame();
    ctx.view.RepaintTable();
    ctx.users.Clear();
    ctx.view.ClearUsers();
    ctx.view.ClearChat();
    SetChatTarget(ctx.view, AllUsersTarget());
}

// 130/2: every user of the table; the chairs are rebuilt from the listed users.
void OnUserList(RoomCtx& ctx, const UserListMsg& m)
{
    ctx.users.Load(m.rows);
    ctx.view.ClearUsers();
    ctx.view.LoadUsers(m.rows);
    RebuildChairs(ctx.tbl, ctx.tv, ctx.pub, ctx.users.Names().join(u'`'), SeatHooksOf(ctx));
}

// 130/3: the own name and the player shown at the bottom. The view follows with the next list.
void OnIdentity(RoomCtx& ctx, const IdentityMsg& m)
{
    ctx.pub.strMyName = m.myName;
    ctx.tbl.strViewOwner = m.viewOwner;
    ctx.view.SetMyName(ctx.pub.strMyName);
}

// 130/4: a user came in; a player takes the chair the row names.
void OnUserIn(RoomCtx& ctx, const UserRowMsg& m)
{
    const QStringList& f = m.fields;
    if (!NamesUser(m)) return;
    const QString& name = f[kUserFieldName];
    if (Listed(ctx, name)) return;
    ctx.users.Add(m.row);
    ctx.view.AddUser(m.row);
    ctx.view.AddSystemLine(UserInLine(name));
    ctx.view.UpdateTargets(name, kAdd);
    if (!IsSpectatorRow(f)) SeatUserFromRow(ctx.tbl, f, SeatHooksOf(ctx));
}

// 130/5: shows or hides the main window.
void OnShowWindow(RoomCtx& ctx, const ShowWindowMsg& m)
{
    ctx.view.ShowMainWindow(m.show);
}

// 108/0: a dropped player is back.
void OnUserBack(RoomCtx& ctx, const UserNameMsg& m)
{
    const int c = FindChair(ctx.tbl, m.name);
    if (c >= 4) return;
    ctx.tbl.Chairs[size_t(c)].Dropped = false;
    ctx.view.PaintDropped(c);
    ctx.view.AddSystemLine(UserBackLine(m.name));
}

// 108/3: a player lost the link.
void OnUserDropped(RoomCtx& ctx, const UserNameMsg& m)
{
    const int c = FindChair(ctx.tbl, m.name);
    if (c >= 4) return;
    ctx.tbl.Chairs[size_t(c)].Dropped = true;
    ctx.view.PaintDropped(c);
    ctx.view.AddSystemLine(UserDroppedLine(m.name));
}

// 108/4: a spectator left.
void OnPangGuanOut(RoomCtx& ctx, const UserNameMsg& m)
{
    const QString& name = m.name;
    if (name.isEmpty() || !Listed(ctx, name)) return;
    ctx.users.Remove(name);
    ctx.view.RemoveUser(name);
    ctx.view.AddSystemLine(PangGuanOutLine(name));
    ctx.view.UpdateTargets(name, kDel);
    ctx.view.PlayGameSound(int(RoomSound::PangGuanOut));
}

// 108/6: the list marks the user.
void OnUserMark(RoomCtx& ctx, const UserNameMsg& m)
{
    if (m.name.isEmpty()) return;
    ctx.view.MarkUser(m.name);
}

// 110/0: a user left the table; a player's chair is emptied.
void OnUserOut(RoomCtx& ctx, const UserNameMsg& m)
{
    const QString& name = m.name;
    if (name.isEmpty() || !Listed(ctx, name)) return;
    ctx.users.Remove(name);
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
void OnGameSet(RoomCtx& ctx, const GameSetMsg& m)
{
    const bool owner = Val(m.owner) > 0;
    if (!(Val(m.round) > 0)) {
        ctx.pub.TableJoined = 0;
        ctx.pub.StartButShown = true;
        ctx.view.RefreshStartButton();
        return;
    }
    const QString& settings = m.settings;
    if (owner) {
        OfferSettings(ctx, true, settings);
        return;
    }
    // A missing decision reads as none yet.
    if (Val(m.decided) == 0) {
        ctx.view.ShowNotice(WaitingForOwnerText());
        return;
    }
    OfferSettings(ctx, false, settings);
}

// 112: a player raised the hand, perhaps with the owner's settings for the others to agree to.
void OnHandUp(RoomCtx& ctx, const HandUpMsg& m)
{
    const int c = FindChair(ctx.tbl, m.name);
    if (c >= 4) return;
    ctx.tbl.Chairs[size_t(c)].HandRaised = true;
    ctx.view.PaintHandUp(c);
    ctx.view.CloseMsgByOwner(kRoomMsgOwner);
    if (m.withSettings && m.name != ctx.pub.strMyName) {
        if (!ctx.view.OpenGameSet(false, m.settings)) {
            SendUserOut(ctx);
            return;
        }
    }
    if (m.lowersAll) {
        for (int i = 0; i < 4; ++i) {
            ctx.tbl.Chairs[size_t(i)].HandRaised = false;
            ctx.view.PaintHandUp(i);
        }
    }
}

// 105: a notice from the server.
void OnNotice(RoomCtx& ctx, const NoticeMsg& m)
{
    // Nothing to show: a notice without text (or with text that does not decode).
    if (m.text.isEmpty()) return;
    ctx.view.AddNoticeText(m.text);
}

// 109: the whole table at once.
void OnTableSnapshot(RoomCtx& ctx, const TableSnapshotMsg& m)
{
    TableState& t = ctx.tbl;
    ctx.pub.TableJoined = 1;
    ResetRound(ctx, true);
    ctx.view.HideStartBut();
    LoadTableSnapshot(t, m);
    ClearSelection(ctx.tv, t.MyPai.upperBound());
    ctx.view.LayoutTable();
    ArrangeHand(t.MyPai, t.PaiSortMode, t.DeckCount);
    if (t.ShowPartnerPai != 0) ArrangeHand(t.PartnerPai, t.PaiSortMode, t.DeckCount);
    ctx.view.RepaintTable();
    ctx.view.UpdateTurn();
}

namespace {

template <class T>
void Call(RoomCtx& ctx, const ReceivedMsg& msg, void (*handler)(RoomCtx&, const T&))
{
    if (const T* m = msg.as<T>()) handler(ctx, *m);
}

}  // namespace

void HandleRoomMsg(RoomCtx& ctx, const ReceivedMsg& msg)
{
    if (!msg.fits) return;
    switch (msg.kind) {
    case MsgKind::PangGuanIn: Call(ctx, msg, OnPangGuanIn); break;
    case MsgKind::Reset: Call(ctx, msg, OnReset); break;
    case MsgKind::UserList: Call(ctx, msg, OnUserList); break;
    case MsgKind::Identity: Call(ctx, msg, OnIdentity); break;
    case MsgKind::UserIn: Call(ctx, msg, OnUserIn); break;
    case MsgKind::ShowWindow: Call(ctx, msg, OnShowWindow); break;
    case MsgKind::UserBack: Call(ctx, msg, OnUserBack); break;
    case MsgKind::UserDropped: Call(ctx, msg, OnUserDropped); break;
    case MsgKind::PangGuanOut: Call(ctx, msg, OnPangGuanOut); break;
    case MsgKind::UserMark: Call(ctx, msg, OnUserMark); break;
    case MsgKind::UserOut: Call(ctx, msg, OnUserOut); break;
    case MsgKind::GameSet: Call(ctx, msg, OnGameSet); break;
    case MsgKind::HandUp: Call(ctx, msg, OnHandUp); break;
    case MsgKind::Notice: Call(ctx, msg, OnNotice); break;
    case MsgKind::TableSnapshot: Call(ctx, msg, OnTableSnapshot); break;
    default: break;  // not a room message
    }
}

void HandleRoomMsg(RoomCtx& ctx, const QByteArray& msg)
{
    HandleRoomMsg(ctx, DecodeServerMsg(msg));
}

// The room side of the protocol: users, chairs, the list and chat, the table's settings. Every
// message is checked for its length and field count before anything is read from it.
void HandleRoomMsg(Client& c, const ReceivedMsg& msg)
{
    RoomCtx ctx = RoomCtxOf(c);
    HandleRoomMsg(ctx, msg);
}
