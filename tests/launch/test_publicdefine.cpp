// The shared state's (re)initialisation: folders and the reset values.
#include <gtest/gtest.h>

#include "launch/client.h"
#include "launch/publicdefine.h"

namespace {

struct FolderCase {
    const char* name;
    QString programDir;
    QString app;
    QString parent;
};

class Folders : public ::testing::TestWithParam<FolderCase> {};

TEST_P(Folders, AppAndParent)
{
    PublicState p;
    TableViewState v;
    InitPublicState(p, v, GetParam().programDir);
    EXPECT_EQ(p.strAppPath, GetParam().app);
    EXPECT_EQ(p.strParentPath, GetParam().parent);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Folders,
    ::testing::Values(FolderCase{"plain", "/games/Card", "/games/Card/", "/games/"},
                      FolderCase{"trailing_separator", "/games/Card/", "/games/Card/", "/games/"},
                      FolderCase{"deep", "/home/u/games/card/bin", "/home/u/games/card/bin/", "/home/u/games/card/"},
                      FolderCase{"one_below_root", "/opt", "/opt/", "/"},
                      FolderCase{"root", "/", "/", "/"},
                      FolderCase{"drive_style", "C:\\Games\\Card", "C:\\Games\\Card\\", "C:\\Games\\"},
                      FolderCase{"drive_root", "C:\\", "C:\\", "C:\\"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InitPublicState, ResetsFlagsViewAndNames)
{
    Client c;
    c.pub.strAppPath = "/x/y/";
    c.pub.strLevelInfo = QStringLiteral("长工_100`短工_200");
    c.pub.blnClosing = true;
    c.pub.StartButShown = true;
    c.pub.TableJoined = 1;
    c.pub.MemberNames = QStringList{"old"};
    c.tv.ViewPosOfChair = {1, 2, 3, 0};
    InitPublicState(c);
    EXPECT_EQ(c.pub.strAppPath, "/x/y/");  // the stored folder is kept
    EXPECT_EQ(c.pub.strParentPath, "/x/");
    EXPECT_FALSE(c.pub.blnClosing);
    EXPECT_FALSE(c.pub.StartButShown);
    EXPECT_EQ(c.pub.TableJoined, 0);
    EXPECT_EQ(c.tv.ViewPosOfChair, (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(c.pub.MemberNames, (QStringList{QStringLiteral("普通用户"), QStringLiteral("普通会员"),
                                              QStringLiteral("蓝钻会员"), QStringLiteral("红钻会员"),
                                              QStringLiteral("绿钻会员")}));
    ASSERT_EQ(c.pub.LevelTitles.size(), 2u);
    EXPECT_EQ(c.pub.LevelTitles[1].Title, QStringLiteral("短工"));
    EXPECT_EQ(c.pub.LevelTitles[1].Threshold, 200);
}

TEST(Client, FreshClientHasTheDefaults)
{
    Client c;
    EXPECT_EQ(c.userSet.bytAllowPangGuan, 1);
    EXPECT_EQ(c.msgPool.MsgPoolTop(), -1);
    EXPECT_FALSE(c.SendData(QByteArray("x")));  // no link yet
    QByteArray sent;
    c.sendHook = [&](const QByteArray& m) { sent = m; return true; };
    EXPECT_TRUE(c.SendData(QByteArray("x")));
    EXPECT_EQ(sent, QByteArray("x"));
}

}  // namespace
