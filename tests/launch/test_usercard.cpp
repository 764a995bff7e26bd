// The player card: its eight captions, the menu that carries them, and the one item that acts.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>

#include "roomfake.h"

#include "launch/publicdefine.h"
#include "launch/usercard.h"

namespace {

using roomtest::FakeView;
using roomtest::Row;

PublicState Pub(uint8_t scoreMode)
{
    PublicState ps;
    ps.bteScoreMode = scoreMode;
    ParseLevelInfo(ps, QStringLiteral("长工_100`短工_200`佃农_500"));
    ps.MemberNames = DefaultMemberNames();
    return ps;
}

TEST(UserCard, CaptionsByRow)
{
    struct Case {
        const char* name;
        uint8_t scoreMode;
        QString row;
        QStringList captions;
    };
    // Row(): ID 10001, score 150, level 150, games 20, win 55, escape 5, won 11, lost 8, drawn 1.
    const Case cases[] = {
        {"player", 0, Row(QStringLiteral("乙"), 1, QString(), 2005),
         {"乙   身份：蓝钻会员", "游戏ID：10001", "旁观对象：", "-", "与他（她）交谈", "-",
          "级别:长工   胜率:55%   逃跑率:5%", "经验:150   胜:11   输:8   和:1   总局数:20"}},
        {"spectator_score_mode", 1, Row(QStringLiteral("丙"), 0, QStringLiteral("甲"), 4999),
         {"丙   身份：绿钻会员", "游戏ID：10001", "旁观对象：甲", "-", "与他（她）交谈", "-",
          "级别:长工   胜率:55%   逃跑率:5%", "积分:150   胜:11   输:8   和:1   总局数:20"}},
        {"unknown_membership", 0, Row(QStringLiteral("丁"), 2, QString(), 5000),
         {"丁   身份：未知身份", "游戏ID：10001", "旁观对象：", "-", "与他（她）交谈", "-",
          "级别:长工   胜率:55%   逃跑率:5%", "经验:150   胜:11   输:8   和:1   总局数:20"}},
        {"fifteen_fields", 0, Row(QStringLiteral("乙"), 1).section(u'`', 0, 14), {}},
        {"empty", 0, QString(), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(UserCardCaptions(Pub(c.scoreMode), c.row), c.captions) << c.name;

    QString high = Row(QStringLiteral("戊"), 0);
    QStringList f = high.split(u'`');
    f[3] = QStringLiteral("500");  // level exactly at a threshold gives that threshold's title
    EXPECT_TRUE(UserCardCaptions(Pub(0), f.join(u'`'))[UC_Rates].startsWith(QStringLiteral("级别:佃农")));
}

TEST(UserCard, OnlyTheTalkItemMakesTheTarget)
{
    for (int item = 0; item < UC_Count; ++item) {
        FakeView v;
        ExecUserMenu(v, item, QStringLiteral("乙"));
        EXPECT_EQ(v.log, item == UC_Talk ? QStringList{"target:乙"} : QStringList()) << item;
    }
    FakeView v;
    ExecUserMenu(v, UC_Talk, QString());  // an unbuilt card names nobody
    EXPECT_TRUE(v.log.isEmpty());
}

TEST(UserMenu, BuiltWithEightItemsTaggedWithTheName)
{
    frmUserMenu m;
    ASSERT_EQ(m.itemCount(), 1);
    EXPECT_EQ(m.itemCaption(0), QStringLiteral("UserName"));
    EXPECT_EQ(m.mnuUser()->title(), QStringLiteral("UserInfo"));
    const PublicState ps = Pub(0);
    for (const QString& who : {QStringLiteral("乙"), QStringLiteral("丁")}) {
        m.BuildUserCard(ps, Row(who, 1));
        ASSERT_EQ(m.itemCount(), UC_Count);
        EXPECT_EQ(m.mnuUser()->actions().size(), UC_Count);
        const QStringList expected = UserCardCaptions(ps, Row(who, 1));
        for (int i = 0; i < UC_Count; ++i) {
            EXPECT_EQ(m.itemTag(i), who) << i;
            EXPECT_EQ(m.itemCaption(i), expected[i]) << i;
            EXPECT_EQ(m.mnuUserItem(i)->isSeparator(), i == UC_Sep1 || i == UC_Sep2) << i;
            EXPECT_TRUE(m.mnuUserItem(i)->isVisible()) << i;
        }
    }
    // A malformed row leaves the card as it was.
    m.BuildUserCard(ps, QStringLiteral("乙`1`2"));
    EXPECT_EQ(m.itemTag(0), QStringLiteral("丁"));
    EXPECT_EQ(m.itemCount(), UC_Count);
}

TEST(UserMenu, NamesShowAsTheyAreSpelled)
{
    frmUserMenu m;
    const QString name = QStringLiteral("<b>x</b>&y");
    m.BuildUserCard(Pub(0), Row(name, 1));
    // The menu shows "&&" as one "&": the whole name, brackets and all, no shortcut letter.
    EXPECT_EQ(m.mnuUserItem(UC_Name)->text(), QStringLiteral("<b>x</b>&&y   身份：普通会员"));
    EXPECT_EQ(m.itemTag(UC_Name), name);
}

TEST(UserMenu, ChoosingAnItemRunsItThenUnloadsTheCard)
{
    QPointer<frmUserMenu> m = new frmUserMenu;
    QList<int> chosen;
    m->onChoice = [&](int i) { chosen << i; };
    m->BuildUserCard(Pub(0), Row(QStringLiteral("乙"), 1));
    m->mnuUserItem(UC_Talk)->trigger();
    m->mnuUserItem(UC_Id)->trigger();  // the card is on its way out: a second choice is not run
    EXPECT_EQ(chosen, QList<int>{UC_Talk});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m.isNull());
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
