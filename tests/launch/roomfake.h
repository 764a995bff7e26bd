#pragma once
// A room view that records every call as one line of text and keeps a user list the way the list
// component does (rows by name, a load that reports the names), and a room with its own state
// around it, for the handler tests.
#include <QList>
#include <QMap>
#include <QStringList>
#include <array>
#include <functional>

#include "launch/roomhandler.h"
#include "launch/seats.h"
#include "round/roundstate.h"
#include "protocol/messages.h"
#include "rules/gamedefine.h"
#include "rules/publicstate.h"
#include "rules/tablestate.h"

namespace roomtest {

class FakeView : public RoomView {
public:
    QMap<QString, QString> users;   // name -> row
    QStringList names;              // in the order listed
    QStringList log;
    bool gameSetShown = true;       // what OpenGameSet answers

    void AddUser(const QString& row) override
    {
        const QStringList f = row.split(u'`');
        if (f.size() != kUserFieldCount || f[0].isEmpty()) return;
        if (!users.contains(f[0])) names.append(f[0]);
        users[f[0]] = row;
        log << "add:" + f[0];
    }
    void RemoveUser(const QString& n) override
    {
        users.remove(n);
        names.removeAll(n);
        log << "remove:" + n;
    }
    void ClearUsers() override
    {
        users.clear();
        names.clear();
        log << "clear-users";
    }
    void LoadUsers(const QString& body) override
    {
        log << "load";
        for (const QString& line : body.split(u'\n')) {
            const QStringList f = line.split(u'`');
            if (f.size() != kUserFieldCount || f[0].isEmpty()) continue;
            if (!users.contains(f[0])) names.append(f[0]);
            users[f[0]] = line;
        }
    }
    void MarkUser(const QString& n) override { log << "mark:" + n; }
    void SetMyName(const QString& n) override { log << "myname:" + n; }
    void AddSystemLine(const QString& l) override { log << "line:" + l; }
    void AddNoticeText(const QString& t) override { log << "notice:" + t; }
    void AddChatMessage(const QStringList& f) override { log << "chat:" + f.join(u'|'); }
    void UpdateTargets(const QString& n, const QString& w) override { log << "targets:" + n + " " + w; }
    void ClearChat() override { log << "clear-chat"; }
    void SetChatTarget(const QString& n) override { log << "target:" + n; }
    void PaintFigure(int c) override { log << QStringLiteral("figure:%1").arg(c); }
    void EraseFigure(int c) override { log << QStringLiteral("erase:%1").arg(c); }
    void PaintDropped(int c) override { log << QStringLiteral("dropped:%1").arg(c); }
    void PaintHandUp(int c) override { log << QStringLiteral("hand:%1").arg(c); }
    void LayoutTable() override { log << "layout"; }
    void RepaintTable() override { log << "repaint"; }
    void RepaintFrame() override { log << "frame"; }
    void ShowMainWindow(bool s) override { log << (s ? "window:show" : "window:hide"); }
    void HideStartBut() override { log << "hide-start"; }
    void RefreshStartButton() override { log << "refresh-start"; }
    void UpdateTurn() override { log << "turn"; }
    void PlayGameSound(int n) override { log << QStringLiteral("sound:%1").arg(n); }
    void ShowNotice(const QString& t) override { log << "box:" + t; }
    void CloseMsgByOwner(int i) override { log << QStringLiteral("close:%1").arg(i); }
    void InitMsgPool() override { log << "pool"; }
    bool OpenGameSet(bool m, const QString& s) override
    {
        log << QStringLiteral("gameset:%1:").arg(m ? "owner" : "other") + s;
        return gameSetShown;
    }

    // The logged lines that start with `prefix`.
    QStringList of(const QString& prefix) const
    {
        QStringList out;
        for (const QString& l : log)
            if (l.startsWith(prefix)) out << l;
        return out;
    }
};

// One user row: a player when `watched` is empty.
inline QString Row(const QString& name, int chair, const QString& watched = QString(), int icon = 1003, int hand = 0,
                   int dropped = 0)
{
    return JoinUserRow({name, "10001", "150", "150", watched, "20", "55", "5", "11", "8", "1", "0",
                        QString::number(icon), QString::number(chair), QString::number(hand), QString::number(dropped)});
}

// A table seen from 甲 (chair 0): 乙 in chair 1, 丁 in chair 3, and 丙 watching 甲.
struct Room {
    PublicState pub;
    TableState tbl;
    TableViewState tv;
    FakeView view;
    UserRows users;
    RoundState round;
    QList<QByteArray> sent;
    RoomCtx ctx{pub, tbl, tv, view, users, [this](const QByteArray& m) {
                    sent.append(m);
                    return true;
                }, &round};

    explicit Room(bool seated = true)
    {
        pub.strMyName = QStringLiteral("甲");
        pub.strLevelInfo = QStringLiteral("长工_100`短工_200`佃农_500");
        ParseLevelInfo(pub, pub.strLevelInfo);
        InitGameDefine(tbl);
        if (!seated) return;
        feed(BuildIdentity(QStringLiteral("甲"), QStringLiteral("甲")));
        feed(BuildUserList({Row(QStringLiteral("甲"), 0), Row(QStringLiteral("乙"), 1, QString(), 2005),
                            Row(QStringLiteral("丁"), 3), Row(QStringLiteral("丙"), 9, QStringLiteral("甲"))}));
        view.log.clear();
    }
    void feed(const QByteArray& m) { HandleRoomMsg(ctx, m); }
    std::array<QString, 4> chairNames() const
    {
        return {tbl.Chairs[0].Name, tbl.Chairs[1].Name, tbl.Chairs[2].Name, tbl.Chairs[3].Name};
    }
};

}  // namespace roomtest
