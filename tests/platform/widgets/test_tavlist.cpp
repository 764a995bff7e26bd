// The user list: loading, finding, adding and removing rows by name, the columns, the level
// titles, the marker, the clicks and the header colours.
#include "platform/widgets/tavlist.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {
const QString kHeadings = QStringLiteral(
    "用户名`用户ID`经验`级别`旁观对象`总局数`胜率`逃跑率`胜`输`和`人物类型`图标号`实际椅子号`举手`掉线");

QString row(const QString& name, const QString& watched = QString(), const QString& level = "150",
            const QString& dropped = "0") {
    return QStringList{name, "10" + name, "1200", level, watched, "30", "55", "2", "16", "12", "2",
                       "1", "4001", "2", "0", dropped}
        .join('`');
}

struct ListFixture : ::testing::Test {
    TavList list;
    void SetUp() override {
        list.SetColumns(kHeadings, 11);
        list.SetColumnWidths("100`90`70`80`80`60`50`50`50`50`50");
        list.resize(700, 300);
    }
};
}

TEST_F(ListFixture, LoadKeepsWellFormedRowsAndReportsTheirNames) {
    QSignalSpy loaded(&list, &TavList::UsersLoaded);
    const QString fifteen = row("short").section('`', 0, 14);
    const QString seventeen = row("long") + "`x";
    const QString body = row("alice") + "\n" + fifteen + "\n\n" + row("bob", "alice") + "\r\n" +
                         seventeen + "\n" + row("") + "\n" + row("carol");
    list.LoadUsers(body);
    ASSERT_EQ(loaded.count(), 1);
    EXPECT_EQ(loaded.at(0).at(0).toString(), "alice`bob`carol");
    EXPECT_EQ(list.userCount(), 3);
    EXPECT_EQ(list.table()->rowCount(), 3);
    EXPECT_EQ(list.FindUser("bob"), row("bob", "alice"));   // the "\r" of the line is not data
    EXPECT_EQ(list.FindUser("short"), "");
    EXPECT_EQ(list.FindUser("long"), "");
}

TEST_F(ListFixture, ANameThatLooksLikeMarkupIsShownAsText) {
    const QString name = "<b>甲</b>&amp;";
    list.AddUser(row(name));
    ASSERT_EQ(list.table()->rowCount(), 1);
    EXPECT_EQ(list.table()->item(0, 0)->text(), name);
    // The tool tip is rich text whose shown text is the name, markup characters and all.
    const QString tip = list.table()->item(0, 0)->toolTip();
    QTextDocument doc;
    doc.setHtml(tip);
    EXPECT_EQ(doc.toPlainText(), name);
}

TEST_F(ListFixture, LoadReplacesEverythingAndAnEmptyBodyListsNobody) {
    list.LoadUsers(row("alice") + "\n" + row("bob"));
    QSignalSpy loaded(&list, &TavList::UsersLoaded);
    list.LoadUsers(row("dave"));
    EXPECT_EQ(list.userNames(), QStringList{"dave"});
    EXPECT_EQ(list.FindUser("alice"), "");
    list.LoadUsers("");
    EXPECT_EQ(list.userCount(), 0);
    ASSERT_EQ(loaded.count(), 2);
    EXPECT_EQ(loaded.at(1).at(0).toString(), "");
}

TEST_F(ListFixture, ANameListedTwiceKeepsOneRowWithTheLastData) {
    list.LoadUsers(row("alice") + "\n" + row("alice", "bob"));
    EXPECT_EQ(list.userCount(), 1);
    EXPECT_EQ(list.FindUser("alice"), row("alice", "bob"));
}

TEST_F(ListFixture, AddRemoveAndClear) {
    list.LoadUsers(row("alice"));
    list.AddUser(row("bob"));
    list.AddUser("bad`row");
    list.AddUser(row("bob", "alice"));   // same name: the row is replaced, not doubled
    EXPECT_EQ(list.userNames(), (QStringList{"alice", "bob"}));
    EXPECT_EQ(list.FindUser("bob"), row("bob", "alice"));
    list.RemoveUser("nobody");
    list.RemoveUser("alice");
    EXPECT_EQ(list.userNames(), QStringList{"bob"});
    EXPECT_EQ(list.table()->rowCount(), 1);
    EXPECT_EQ(list.table()->item(0, 0)->text(), "bob");
    list.ClearUsers();
    EXPECT_EQ(list.userCount(), 0);
    EXPECT_EQ(list.table()->rowCount(), 0);
    EXPECT_EQ(list.FindUser("bob"), "");
}

TEST_F(ListFixture, ElevenColumnsShownWithTheirHeadingsAndWidths) {
    EXPECT_EQ(list.table()->columnCount(), 11);
    EXPECT_EQ(list.columnHeading(0), "用户名");
    EXPECT_EQ(list.columnHeading(10), "和");
    EXPECT_EQ(list.columnHeading(11), "");
    EXPECT_EQ(list.table()->columnWidth(0), 100);
    EXPECT_EQ(list.table()->columnWidth(1), 90);
    EXPECT_EQ(list.table()->columnWidth(10), 50);
    list.AddUser(row("alice", "bob"));
    EXPECT_EQ(list.table()->item(0, 4)->text(), "bob");
    EXPECT_EQ(list.table()->item(0, 6)->text(), "55%");
}

TEST_F(ListFixture, ScoreHeadingFollowsTheScoreName) {
    list.setScoreName("积分");
    EXPECT_EQ(list.columnHeading(2), "积分");
    list.SetColumns(kHeadings, 11);   // headings given later keep the score name
    EXPECT_EQ(list.columnHeading(2), "积分");
}

TEST_F(ListFixture, LevelColumnShowsTheTitleOfTheLevelValue) {
    list.SetLevelInfo("长工_100`短工_200`佃农_500`恶霸_12000");
    const struct {
        const char* value;
        const char* title;
    } cases[] = {{"50", "长工"}, {"100", "长工"}, {"150", "长工"}, {"200", "短工"},
                 {"11999", "佃农"}, {"12000", "恶霸"}, {"99999", "恶霸"}, {"", "长工"}};
    for (const auto& c : cases) {
        list.LoadUsers(row("alice", "", c.value));
        EXPECT_EQ(list.table()->item(0, 3)->text(), QString::fromUtf8(c.title)) << c.value;
        EXPECT_EQ(list.FindUser("alice").section('`', 3, 3), c.value);   // the data stays raw
    }
    list.SetLevelInfo("");
    EXPECT_EQ(list.table()->item(0, 3)->text(), "");
}

TEST_F(ListFixture, MarkHighlightsOneRowAndMoves) {
    list.LoadUsers(row("alice") + "\n" + row("bob"));
    list.MarkUser("bob");
    EXPECT_EQ(list.markedUser(), "bob");
    EXPECT_TRUE(list.table()->item(1, 0)->font().bold());
    EXPECT_TRUE(list.table()->item(1, 5)->font().bold());
    EXPECT_FALSE(list.table()->item(0, 0)->font().bold());
    list.MarkUser("alice");
    EXPECT_FALSE(list.table()->item(1, 0)->font().bold());
    EXPECT_TRUE(list.table()->item(0, 0)->font().bold());
    list.MarkUser("nobody");
    EXPECT_EQ(list.markedUser(), "");
    EXPECT_FALSE(list.table()->item(0, 0)->font().bold());
}

TEST_F(ListFixture, TheMarkerSurvivesAReload) {
    list.LoadUsers(row("alice") + "\n" + row("bob"));
    list.MarkUser("bob");
    list.LoadUsers(row("bob") + "\n" + row("carol"));
    EXPECT_EQ(list.markedUser(), "bob");
    EXPECT_TRUE(list.table()->item(0, 0)->font().bold());
}

namespace {
void sendMouse(QWidget* w, QEvent::Type t, Qt::MouseButton b, QPoint pos) {
    QMouseEvent e(t, pos, w->mapToGlobal(pos), b, t == QEvent::MouseButtonRelease ? Qt::NoButton : b,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
}

TEST_F(ListFixture, ClicksPickTheTargetOrShowTheCard) {
    list.LoadUsers(row("alice") + "\n" + row("bob", "alice"));
    list.show();
    QSignalSpy clicked(&list, &TavList::UserClicked);
    QWidget* vp = list.table()->viewport();
    const QPoint onBob = list.table()->visualItemRect(list.table()->item(1, 2)).center();

    sendMouse(vp, QEvent::MouseButtonPress, Qt::LeftButton, onBob);
    sendMouse(vp, QEvent::MouseButtonRelease, Qt::LeftButton, onBob);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_FALSE(clicked.at(0).at(0).toBool());
    EXPECT_EQ(clicked.at(0).at(2).toString(), "bob");
    EXPECT_EQ(clicked.at(0).at(3).toString(), row("bob", "alice"));

    sendMouse(vp, QEvent::MouseButtonPress, Qt::RightButton, onBob);
    sendMouse(vp, QEvent::MouseButtonRelease, Qt::RightButton, onBob);
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_TRUE(clicked.at(1).at(0).toBool());

    sendMouse(vp, QEvent::MouseButtonDblClick, Qt::LeftButton, onBob);
    sendMouse(vp, QEvent::MouseButtonRelease, Qt::LeftButton, onBob);
    ASSERT_EQ(clicked.count(), 3);
    EXPECT_TRUE(clicked.at(2).at(0).toBool());

    // Below the last row: nothing.
    const QPoint empty(10, vp->height() - 3);
    sendMouse(vp, QEvent::MouseButtonPress, Qt::LeftButton, empty);
    sendMouse(vp, QEvent::MouseButtonRelease, Qt::LeftButton, empty);
    EXPECT_EQ(clicked.count(), 3);
}

TEST_F(ListFixture, AHandlerMayReloadTheListWhileAClickIsReported) {
    list.LoadUsers(row("alice") + "\n" + row("bob"));
    list.show();
    QString seen;
    QObject::connect(&list, &TavList::UserClicked, [&](bool, int, const QString& name, const QString&) {
        seen = name;
        list.ClearUsers();
    });
    QWidget* vp = list.table()->viewport();
    const QPoint onBob = list.table()->visualItemRect(list.table()->item(1, 0)).center();
    sendMouse(vp, QEvent::MouseButtonPress, Qt::RightButton, onBob);
    sendMouse(vp, QEvent::MouseButtonRelease, Qt::RightButton, onBob);
    EXPECT_EQ(seen, "bob");
    EXPECT_EQ(list.userCount(), 0);
}

TEST_F(ListFixture, TitleAndHeaderDrawnInTheGivenColours) {
    list.setColors(QColor(41, 109, 165), QColor(255, 255, 255));
    list.setTitle("用户列表");
    list.LoadUsers(row("alice") + "\n" + row("bob") + "\n" + row("carol"));
    list.show();
    QApplication::processEvents();
    const QImage img = list.grab().toImage();
    EXPECT_EQ(list.title(), "用户列表");
    EXPECT_EQ(QColor(img.pixel(img.width() - 3, 3)), QColor(41, 109, 165));   // title bar
    const QHeaderView* h = list.table()->horizontalHeader();
    const QPoint inHeader = h->mapTo(&list, QPoint(h->sectionSize(0) - 6, h->height() / 2));
    EXPECT_EQ(QColor(img.pixel(inHeader)), QColor(41, 109, 165));
    // Alternating rows: row 0 and row 1 have different backgrounds at their right end.
    const QRect r0 = list.table()->visualItemRect(list.table()->item(0, 1));
    const QRect r1 = list.table()->visualItemRect(list.table()->item(1, 1));
    QWidget* vp = list.table()->viewport();
    const QColor c0 = img.pixel(vp->mapTo(&list, QPoint(r0.left() + 1, r0.top() + 1)));
    const QColor c1 = img.pixel(vp->mapTo(&list, QPoint(r1.left() + 1, r1.top() + 1)));
    EXPECT_NE(c0, c1);
    EXPECT_EQ(c0, QColor(Qt::white));
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
