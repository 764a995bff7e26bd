#include "launch/seats.h"

#include <cmath>
#include <limits>

#include "platform/core/vbnum.h"

namespace {

const QChar kFieldSep(u'`');

bool IsPlayerRow(const QStringList& f)
{
    return f.size() == kUserFieldCount && TrimBlanks(f[kUserFieldWatched]).isEmpty();
}

void Call(const std::function<void(int)>& hook, int chair)
{
    if (hook) hook(chair);
}

}  // namespace

QString TrimBlanks(const QString& s)
{
    // Blanks only, as the row fields are padded with spaces and nothing else.
    int b = 0, e = int(s.size());
    while (b < e && s[b] == u' ') ++b;
    while (e > b && s[e - 1] == u' ') --e;
    return s.mid(b, e - b);
}

void ParseLevelInfo(PublicState& ps, const QString& strLevelInfo)
{
    ps.LevelTitles.clear();
    if (strLevelInfo.isEmpty()) return;
    const QStringList items = strLevelInfo.split(kFieldSep);
    ps.LevelTitles.reserve(size_t(items.size()));
    for (const QString& item : items) {
        LevelTitleEntry e;
        const QStringList parts = item.split(u'_');
        e.Title = parts.value(0);
        if (parts.size() > 1) e.Threshold = ValLng(parts[1]);
        ps.LevelTitles.push_back(e);
    }
}

QString LevelTitle(const PublicState& ps, int32_t level)
{
    const auto& t = ps.LevelTitles;
    if (t.empty()) return QStringLiteral("未知级别");
    if (level <= t.front().Threshold) return t.front().Title;
    if (level >= t.back().Threshold) return t.back().Title;
    for (size_t i = 1; i < t.size(); ++i)
        if (level < t[i].Threshold) return t[i - 1].Title;
    return t.back().Title;  // thresholds out of order: nothing below matched
}

QString MemberName(const PublicState& ps, int32_t iconNo)
{
    const int32_t k = iconNo / 1000;  // truncates toward zero like the integer division it mirrors
    if (k >= 0 && k <= 4 && k < ps.MemberNames.size()) return ps.MemberNames[k];
    return QStringLiteral("未知身份");
}

int ChairOfRow(const QStringList& fields)
{
    if (fields.size() != kUserFieldCount) return -1;
    const double v = Val(fields[kUserFieldChair]);
    // A chair number beyond the 32-bit range is garbage, not a seat: clamping it would seat the
    // player on chair 3.
    if (!(std::fabs(v) < 2147483647.5)) return -1;
    const int32_t c = CLng(v) % 4;
    return c < 0 ? -1 : c;
}

int SeatUserFromRow(TableState& ts, const QStringList& fields, const SeatHooks& hooks)
{
    if (!IsPlayerRow(fields)) return -1;
    const int c = ChairOfRow(fields);
    if (c < 0) return -1;
    ts.Chairs[size_t(c)].Name = fields[kUserFieldName];
    ts.Chairs[size_t(c)].IconNo = ValLng(fields[kUserFieldIconNo]);
    Call(hooks.PaintFigure, c);
    return c;
}

int SeatUserFromRow(TableState& ts, const QString& row, const SeatHooks& hooks)
{
    return SeatUserFromRow(ts, row.split(kFieldSep), hooks);
}

void RebuildChairs(TableState& ts, TableViewState& tv, const PublicState& ps, const QString& names, const SeatHooks& hooks)
{
    const QStringList list = names.isEmpty() ? QStringList() : names.split(kFieldSep);
    for (const QString& n : list) {
        if (!hooks.UpdateTargets) break;
        hooks.UpdateTargets(n, QStringLiteral("ADD"));
    }
    for (const QString& n : list) {
        const QString row = hooks.FindUser ? hooks.FindUser(n) : QString();
        const QStringList f = row.split(kFieldSep);
        if (!IsPlayerRow(f)) continue;
        const int c = ChairOfRow(f);
        if (c < 0) continue;
        ChairInfo& ch = ts.Chairs[size_t(c)];
        ch.Name = n;
        ch.IconNo = ValLng(f[kUserFieldIconNo]);
        ch.HandRaised = ps.TableJoined == 1 ? false : Val(f[kUserFieldHandUp]) > 0;
        ch.Dropped = Val(f[kUserFieldDropped]) > 0;
    }
    ComputeViewPositions(ts, tv, ps);
    for (int c = 0; c < 4; ++c) {
        Call(hooks.EraseFigure, c);
        Call(hooks.PaintFigure, c);
        Call(hooks.PaintDropped, c);
        Call(hooks.PaintHandUp, c);
    }
}

bool ComputeViewPositions(TableState& ts, TableViewState& tv, const PublicState& ps)
{
    const int c = FindChair(ts, ts.strViewOwner);
    if (c >= 4) return false;
    tv.ViewPosOfChair[size_t(c)] = 2;
    ts.bteMyChair = uint8_t(c);
    tv.ViewPosOfChair[size_t((c + 1) % 4)] = 3;
    tv.ViewPosOfChair[size_t((c + 2) % 4)] = 0;
    tv.ViewPosOfChair[size_t((c + 3) % 4)] = 1;
    ts.blnPangGuan = ts.strViewOwner != ps.strMyName;
    return true;
}

int FindChair(const TableState& ts, const QString& name)
{
    // A free chair's Name is "", so an empty name would otherwise "find" the first free chair.
    if (name.isEmpty()) return 4;
    for (int c = 0; c < 4; ++c)
        if (ts.Chairs[size_t(c)].Name == name) return c;
    return 4;
}
