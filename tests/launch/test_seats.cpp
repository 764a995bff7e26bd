// Chairs, view positions, level titles and membership names.
#include <gtest/gtest.h>

#include <QApplication>

#include <QHash>
#include <QStringList>
#include <vector>

#include "launch/seats.h"

namespace {

const QString kLevels = QStringLiteral("长工_100`短工_200`佃农_500`贫农_1000`中农_2000`富农_4000`地主_8000`恶霸_12000");

PublicState MakePublic()
{
    PublicState ps;
    ps.strMyName = QStringLiteral("me");
    ps.strParentPath = QStringLiteral("/games/");
    ps.MemberNames = {QStringLiteral("普通用户"), QStringLiteral("普通会员"), QStringLiteral("蓝钻会员"),
                      QStringLiteral("红钻会员"), QStringLiteral("绿钻会员")};
    ParseLevelInfo(ps, kLevels);
    return ps;
}

// A user row of sixteen fields.
QString Row(const QString& name, const QString& chair, const QString& watched = QString(), int icon = 2005,
            int hand = 0, int dropped = 0)
{
    QStringList f;
    f << name << QStringLiteral("10001") << QStringLiteral("350") << QStringLiteral("7") << watched
      << QStringLiteral("12") << QStringLiteral("50") << QStringLiteral("0") << QStringLiteral("6")
      << QStringLiteral("6") << QStringLiteral("0") << QStringLiteral("1") << QString::number(icon) << chair
      << QString::number(hand) << QString::number(dropped);
    return f.join(u'`');
}

}  // namespace

TEST(LevelTitles, ParsesItemsInOrder)
{
    PublicState ps = MakePublic();
    ASSERT_EQ(ps.LevelTitles.size(), 8u);
    EXPECT_EQ(ps.LevelTitles[0].Title, QStringLiteral("长工"));
    EXPECT_EQ(ps.LevelTitles[0].Threshold, 100);
    EXPECT_EQ(ps.LevelTitles[7].Title, QStringLiteral("恶霸"));
    EXPECT_EQ(ps.LevelTitles[7].Threshold, 12000);
}

TEST(LevelTitles, AtAndBetweenThresholds)
{
    const PublicState ps = MakePublic();
    const struct { int v; const char* title; } cases[] = {
        {-5, "长工"},   {50, "长工"},   {100, "长工"},  {150, "长工"},   {199, "长工"},   {200, "短工"},
        {201, "短工"},  {500, "佃农"},  {999, "佃农"},  {11999, "地主"}, {12000, "恶霸"}, {99999, "恶霸"},
    };
    for (const auto& c : cases) EXPECT_EQ(LevelTitle(ps, c.v), QString::fromUtf8(c.title)) << c.v;
}

TEST(LevelTitles, EmptyAndMalformedText)
{
    PublicState ps = MakePublic();
    ParseLevelInfo(ps, QString());
    EXPECT_TRUE(ps.LevelTitles.empty());
    EXPECT_EQ(LevelTitle(ps, 100), QStringLiteral("未知级别"));

    // An item without an underscore keeps the threshold 0.
    ParseLevelInfo(ps, QStringLiteral("新手`老手_50"));
    ASSERT_EQ(ps.LevelTitles.size(), 2u);
    EXPECT_EQ(ps.LevelTitles[0].Threshold, 0);
    EXPECT_EQ(LevelTitle(ps, 0), QStringLiteral("新手"));
    EXPECT_EQ(LevelTitle(ps, 49), QStringLiteral("新手"));
    EXPECT_EQ(LevelTitle(ps, 50), QStringLiteral("老手"));
}

TEST(MemberNames, ByThousands)
{
    const PublicState ps = MakePublic();
    const struct { int icon; const char* name; } cases[] = {
        {0, "普通用户"},  {999, "普通用户"}, {1000, "普通会员"}, {2005, "蓝钻会员"}, {3000, "红钻会员"},
        {4999, "绿钻会员"}, {5000, "未知身份"}, {7012, "未知身份"}, {-1000, "未知身份"},
    };
    for (const auto& c : cases) EXPECT_EQ(MemberName(ps, c.icon), QString::fromUtf8(c.name)) << c.icon;
}

TEST(ViewPositions, ForEachOwnChair)
{
    const PublicState ps = MakePublic();
    // ViewPos of chairs 0..3 when the own chair is c.
    const std::array<std::array<uint8_t, 4>, 4> expected = {{
        {2, 3, 0, 1},
        {1, 2, 3, 0},
        {0, 1, 2, 3},
        {3, 0, 1, 2},
    }};
    for (int mine = 0; mine < 4; ++mine) {
        TableState ts;
        TableViewState tv;
        for (int c = 0; c < 4; ++c) ts.Chairs[size_t(c)].Name = QStringLiteral("p%1").arg(c);
        ts.Chairs[size_t(mine)].Name = QStringLiteral("me");
        ts.strViewOwner = QStringLiteral("me");
        ts.blnPangGuan = true;
        ASSERT_TRUE(ComputeViewPositions(ts, tv, ps));
        EXPECT_EQ(tv.ViewPosOfChair, expected[size_t(mine)]) << "own chair " << mine;
        EXPECT_EQ(ts.bteMyChair, mine);
        EXPECT_FALSE(ts.blnPangGuan);
    }
}

TEST(ViewPositions, SpectatorSeesTheWatchedChairAtTheBottom)
{
    const PublicState ps = MakePublic();
    TableState ts;
    TableViewState tv;
    for (int c = 0; c < 4; ++c) ts.Chairs[size_t(c)].Name = QStringLiteral("p%1").arg(c);
    ts.strViewOwner = QStringLiteral("p3");
    ASSERT_TRUE(ComputeViewPositions(ts, tv, ps));
    EXPECT_EQ(ts.bteMyChair, 3);
    EXPECT_EQ(tv.ViewPosOfChair[3], 2);
    EXPECT_EQ(tv.ViewPosOfChair[1], 0);  // the watched player's partner at the top
    EXPECT_TRUE(ts.blnPangGuan);
}

TEST(ViewPositions, UnseatedViewerKeepsTheOldMapping)
{
    const PublicState ps = MakePublic();
    TableState ts;
    TableViewState tv;
    ts.Chairs[1].Name = QStringLiteral("me");
    ts.strViewOwner = QStringLiteral("me");
    ASSERT_TRUE(ComputeViewPositions(ts, tv, ps));
    const auto before = tv.ViewPosOfChair;
    ts.strViewOwner = QStringLiteral("ghost");
    EXPECT_FALSE(ComputeViewPositions(ts, tv, ps));
    EXPECT_EQ(tv.ViewPosOfChair, before);
    EXPECT_EQ(ts.bteMyChair, 1);
    EXPECT_FALSE(ts.blnPangGuan);
    // Nobody viewed yet: a free chair is not the viewer's chair.
    ts.strViewOwner.clear();
    EXPECT_FALSE(ComputeViewPositions(ts, tv, ps));
    EXPECT_EQ(ts.bteMyChair, 1);
    EXPECT_FALSE(ts.blnPangGuan);
}

TEST(FindChairs, ExactNameLowestChairFirst)
{
    TableState ts;
    TableViewState tv;
    ts.Chairs[1].Name = QStringLiteral("Bob");
    ts.Chairs[3].Name = QStringLiteral("Bob");
    EXPECT_EQ(FindChair(ts, QStringLiteral("Bob")), 1);
    EXPECT_EQ(FindChair(ts, QStringLiteral("bob")), 4);
    EXPECT_EQ(FindChair(ts, QStringLiteral("Bob ")), 4);
    EXPECT_EQ(FindChair(ts, QString()), 4);
}

TEST(SeatRows, PlayerRowFillsItsChairAndRedrawsIt)
{
    TableState ts;
    TableViewState tv;
    std::vector<int> drawn;
    SeatHooks hooks;
    hooks.PaintFigure = [&](int c) { drawn.push_back(c); };
    EXPECT_EQ(SeatUserFromRow(ts, Row(QStringLiteral("amy"), QStringLiteral("6")), hooks), 2);
    EXPECT_EQ(ts.Chairs[2].Name, QStringLiteral("amy"));
    EXPECT_EQ(ts.Chairs[2].IconNo, 2005);
    EXPECT_EQ(drawn, std::vector<int>{2});
}

TEST(SeatRows, SpectatorRowsAndBadRowsChangeNoChair)
{
    TableState ts;
    TableViewState tv;
    SeatHooks hooks;
    int drawn = 0;
    hooks.PaintFigure = [&](int) { ++drawn; };
    const QString rows[] = {
        Row(QStringLiteral("spy"), QStringLiteral("1"), QStringLiteral("amy")),  // spectator
        Row(QStringLiteral("neg"), QStringLiteral("-3")),                          // Mod 4 gives -3
        Row(QStringLiteral("huge"), QStringLiteral("1e300")),                      // no chair at all
        Row(QStringLiteral("short"), QStringLiteral("1")).section(u'`', 0, 14),    // 15 fields
        Row(QStringLiteral("long"), QStringLiteral("1")) + QStringLiteral("`x"),   // 17 fields
    };
    for (const QString& r : rows) EXPECT_EQ(SeatUserFromRow(ts, r, hooks), -1) << r.toStdString();
    for (const ChairInfo& ch : ts.Chairs) {
        EXPECT_TRUE(ch.Name.isEmpty());
        EXPECT_EQ(ch.IconNo, -1);
    }
    EXPECT_EQ(drawn, 0);
    // Blanks alone do not make a spectator.
    EXPECT_EQ(SeatUserFromRow(ts, Row(QStringLiteral("amy"), QStringLiteral("1"), QStringLiteral("   ")), hooks), 1);
}

TEST(SeatRows, TwoRowsClaimingOneChairTheLaterWins)
{
    TableState ts;
    TableViewState tv;
    SeatHooks hooks;
    SeatUserFromRow(ts, Row(QStringLiteral("first"), QStringLiteral("3"), QString(), 1), hooks);
    SeatUserFromRow(ts, Row(QStringLiteral("second"), QStringLiteral("7"), QString(), 2), hooks);
    EXPECT_EQ(ts.Chairs[3].Name, QStringLiteral("second"));
    EXPECT_EQ(ts.Chairs[3].IconNo, 2);
}

namespace {

struct Lobby {
    QHash<QString, QString> rows;
    std::vector<QString> targets;
    std::vector<QString> calls;
    SeatHooks hooks;
    Lobby()
    {
        hooks.FindUser = [this](const QString& n) { return rows.value(n); };
        hooks.UpdateTargets = [this](const QString& n, const QString& w) { targets.push_back(w + u' ' + n); };
        hooks.EraseFigure = [this](int c) { calls.push_back(QStringLiteral("erase%1").arg(c)); };
        hooks.PaintFigure = [this](int c) { calls.push_back(QStringLiteral("figure%1").arg(c)); };
        hooks.PaintDropped = [this](int c) { calls.push_back(QStringLiteral("dropped%1").arg(c)); };
        hooks.PaintHandUp = [this](int c) { calls.push_back(QStringLiteral("hand%1").arg(c)); };
    }
};

}  // namespace

TEST(RebuildChairs, FromTheUserList)
{
    PublicState ps = MakePublic();
    TableState ts;
    TableViewState tv;
    ts.strViewOwner = QStringLiteral("me");
    Lobby lobby;
    lobby.rows[QStringLiteral("me")] = Row(QStringLiteral("me"), QStringLiteral("1"), QString(), 3, 1, 0);
    lobby.rows[QStringLiteral("bob")] = Row(QStringLiteral("bob"), QStringLiteral("2"), QString(), 4, 0, 1);
    lobby.rows[QStringLiteral("eve")] = Row(QStringLiteral("eve"), QStringLiteral("0"), QStringLiteral("bob"));
    RebuildChairs(ts, tv, ps, QStringLiteral("me`bob`eve`gone"), lobby.hooks);

    EXPECT_EQ(lobby.targets, (std::vector<QString>{QStringLiteral("ADD me"), QStringLiteral("ADD bob"),
                                                    QStringLiteral("ADD eve"), QStringLiteral("ADD gone")}));
    EXPECT_EQ(ts.Chairs[1].Name, QStringLiteral("me"));
    EXPECT_TRUE(ts.Chairs[1].HandRaised);
    EXPECT_FALSE(ts.Chairs[1].Dropped);
    EXPECT_EQ(ts.Chairs[2].Name, QStringLiteral("bob"));
    EXPECT_EQ(ts.Chairs[2].IconNo, 4);
    EXPECT_TRUE(ts.Chairs[2].Dropped);
    EXPECT_TRUE(ts.Chairs[0].Name.isEmpty());  // eve only watches
    EXPECT_EQ(ts.bteMyChair, 1);
    EXPECT_EQ(tv.ViewPosOfChair, (std::array<uint8_t, 4>{1, 2, 3, 0}));
    ASSERT_EQ(lobby.calls.size(), 16u);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(lobby.calls[size_t(4 * c)], QStringLiteral("erase%1").arg(c));
        EXPECT_EQ(lobby.calls[size_t(4 * c + 1)], QStringLiteral("figure%1").arg(c));
        EXPECT_EQ(lobby.calls[size_t(4 * c + 2)], QStringLiteral("dropped%1").arg(c));
        EXPECT_EQ(lobby.calls[size_t(4 * c + 3)], QStringLiteral("hand%1").arg(c));
    }
}

TEST(RebuildChairs, NoRaisedHandsOnceJoined)
{
    PublicState ps = MakePublic();
    ps.TableJoined = 1;
    TableState ts;
    TableViewState tv;
    Lobby lobby;
    lobby.rows[QStringLiteral("me")] = Row(QStringLiteral("me"), QStringLiteral("0"), QString(), 3, 1, 0);
    RebuildChairs(ts, tv, ps, QStringLiteral("me"), lobby.hooks);
    EXPECT_EQ(ts.Chairs[0].Name, QStringLiteral("me"));
    EXPECT_FALSE(ts.Chairs[0].HandRaised);
}

TEST(RebuildChairs, WithoutHooksNothingBreaks)
{
    PublicState ps = MakePublic();
    TableState ts;
    TableViewState tv;
    SeatHooks none;
    RebuildChairs(ts, tv, ps, QStringLiteral("a`b"), none);
    for (const ChairInfo& ch : ts.Chairs) EXPECT_TRUE(ch.Name.isEmpty());
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
