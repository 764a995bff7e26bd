// The users of the table as the handlers keep them: which rows a load or an add takes, where a
// row goes, and how a name finds it.
#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

#include "launch/userrows.h"

namespace {

QString Row(const QString& name, const QString& score = QStringLiteral("150"))
{
    QStringList f{name, "10001", score, "7", "", "12", "50", "0", "6", "6", "0", "1", "1003", "0", "0", "0"};
    return f.join(u'`');
}

struct LoadCase {
    const char* what;
    QString body;
    QStringList names;
};

class UserRowsLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(UserRowsLoad, KeepsWellFormedRowsInOrder)
{
    UserRows u;
    u.Add(Row("stale"));
    u.Load(GetParam().body);
    EXPECT_EQ(u.Names(), GetParam().names);
    EXPECT_EQ(u.Count(), GetParam().names.size());
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, UserRowsLoad,
    ::testing::Values(
        LoadCase{"empty", "", {}},
        LoadCase{"order", Row("b") + "\n" + Row("a"), {"b", "a"}},
        LoadCase{"crlf", Row("a") + "\r\n" + Row("b") + "\r", {"a", "b"}},
        LoadCase{"short", Row("a") + "\nx`y\n" + Row("b") + "`extra", {"a"}},
        LoadCase{"no name", Row("") + "\n" + Row("a"), {"a"}},
        LoadCase{"twice keeps place", Row("a") + "\n" + Row("b") + "\n" + Row("a", "9"), {"a", "b"}}),
    [](const auto& info) {
        QString n = QString::fromUtf8(info.param.what);
        n.replace(u' ', u'_');
        return n.toStdString();
    });

TEST(UserRows, AddReplacesInPlaceAndRefusesMalformedRows)
{
    struct Step {
        QString row;
        bool taken;
        QStringList names;
    };
    const std::vector<Step> steps = {
        {Row("a"), true, {"a"}},
        {Row("b"), true, {"a", "b"}},
        {Row("a", "900"), true, {"a", "b"}},   // updated where it stands, last row wins
        {"bad`row", false, {"a", "b"}},
        {Row(""), false, {"a", "b"}},
        {Row("c") + "\r", true, {"a", "b", "c"}},
    };
    UserRows u;
    for (const Step& s : steps) {
        EXPECT_EQ(u.Add(s.row), s.taken) << s.row.toStdString();
        EXPECT_EQ(u.Names(), s.names) << s.row.toStdString();
    }
    EXPECT_EQ(u.Find("a"), Row("a", "900"));
    EXPECT_EQ(u.Find("c"), Row("c"));   // the line end is not data
}

TEST(UserRows, RemoveKeepsTheOthersInOrder)
{
    UserRows u;
    u.Load(Row("a") + "\n" + Row("b") + "\n" + Row("c"));
    EXPECT_FALSE(u.Remove("nobody"));
    EXPECT_TRUE(u.Remove("b"));
    EXPECT_EQ(u.Names(), (QStringList{"a", "c"}));
    EXPECT_EQ(u.IndexOf("c"), 1);
}

// Names are matched as spelled: the handlers never fold case or trim a name.
TEST(UserRows, LookupMatchesTheNameExactly)
{
    UserRows u;
    u.Load(Row("Star") + "\n" + Row("玩家"));
    struct Case {
        QString name;
        bool found;
    };
    for (const Case& c : std::vector<Case>{{"Star", true}, {"star", false}, {"STAR", false}, {" Star", false},
                                           {"Star ", false}, {"玩家", true}, {"", false}}) {
        EXPECT_EQ(u.Contains(c.name), c.found) << c.name.toStdString();
        EXPECT_EQ(u.Find(c.name).isEmpty(), !c.found) << c.name.toStdString();
    }
}

}  // namespace
