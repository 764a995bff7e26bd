// The personal settings file: loading with its fallbacks, and saving.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "settings/usersetstate.h"

namespace {

UserSetState Of(int a, int b, int c, int d, int e)
{
    UserSetState s;
    s.bytAllowPangGuan = uint8_t(a);
    s.bytSoundOn = uint8_t(b);
    s.bytShowInOut = uint8_t(c);
    s.bytQuitPrompt = uint8_t(d);
    s.bytOutPaiPrompt = uint8_t(e);
    return s;
}

struct LoadCase {
    const char* name;
    const char* content;  // nullptr: no file
    UserSetState expect;
    bool taken;
};

class Load : public ::testing::TestWithParam<LoadCase> {};

TEST_P(Load, Settings)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("UserSet.ini");
    if (GetParam().content) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(GetParam().content);
    }
    UserSetState s = Of(7, 7, 7, 7, 7);
    EXPECT_EQ(LoadUserSet(s, path), GetParam().taken);
    EXPECT_EQ(s, GetParam().expect);
}

const UserSetState kAllOn = Of(1, 1, 1, 1, 1);

INSTANTIATE_TEST_SUITE_P(
    Cases, Load,
    ::testing::Values(
        LoadCase{"no_file", nullptr, kAllOn, false},
        LoadCase{"five_lines", " 0 \r\n 1 \r\n 1 \r\n 0 \r\n 1 \r\n", Of(0, 1, 1, 0, 1), true},
        LoadCase{"commas_and_blanks", "0,1 ,\t1\n0 , 1", Of(0, 1, 1, 0, 1), true},
        LoadCase{"four_numbers", "0\n1\n1\n0\n", kAllOn, false},
        LoadCase{"a_300", "0 1 300 0 1", kAllOn, false},
        LoadCase{"negative", "0 1 -1 0 1", kAllOn, false},
        LoadCase{"text_reads_zero", "abc 1 1 1 1", Of(0, 1, 1, 1, 1), true},
        LoadCase{"empty_field_reads_zero", "1,,1,1,1", Of(1, 0, 1, 1, 1), true},
        LoadCase{"extra_numbers_ignored", "0 0 0 0 0 9 9", Of(0, 0, 0, 0, 0), true},
        LoadCase{"empty_file", "", kAllOn, false},
        LoadCase{"binary_junk", "\x01\x02\xff\xfe", kAllOn, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UserSet, UnreadableFileGivesDefaults)
{
    QTemporaryDir dir;
    UserSetState s = Of(0, 0, 0, 0, 0);
    EXPECT_FALSE(LoadUserSet(s, dir.path()));  // a folder, not a file
    EXPECT_EQ(s, kAllOn);
}

TEST(UserSet, SaveWritesFiveLinesAndLoadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("UserSet.ini");
    ASSERT_TRUE(SaveUserSet(Of(0, 1, 0, 1, 1), path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(" 0 \r\n 1 \r\n 0 \r\n 1 \r\n 1 \r\n"));
    UserSetState s;
    EXPECT_TRUE(LoadUserSet(s, path));
    EXPECT_EQ(s, Of(0, 1, 0, 1, 1));
}

TEST(UserSet, FailedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    EXPECT_FALSE(SaveUserSet(kAllOn, dir.filePath("missing/UserSet.ini")));
    UserSetState s = Of(0, 0, 0, 0, 0);
    SetDefaultUserSet(s);
    EXPECT_EQ(s, kAllOn);
}

}  // namespace
