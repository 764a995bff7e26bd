// The personal settings file: loading with its fallbacks, and saving; the settings dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <sys/stat.h>

#include "protocol/codec.h"
#include "settings/frmuserset.h"
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

// Only a regular file is read: whatever else carries the name gives the defaults, at once.
TEST(UserSet, WhatIsNotARegularFileGivesDefaults)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString good = dir.filePath("good.ini");
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("0 0 0 0 0");
    }
    ASSERT_TRUE(QFile::link(good, dir.filePath("link.ini")));
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("device.ini")));
    {
        QFile big(dir.filePath("big.ini"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(70 * 1024, ' ') + "0 0 0 0 0");
    }
    struct Case {
        const char* name;
        QString path;
        bool taken;
    };
    const Case cases[] = {
        {"folder", dir.path(), false},
        {"pipe", fifo, false},
        {"character_device", "/dev/zero", false},
        {"link_to_a_device", dir.filePath("device.ini"), false},
        {"much_too_big", dir.filePath("big.ini"), false},
        {"link_to_a_file", dir.filePath("link.ini"), true},
    };
    for (const Case& c : cases) {
        UserSetState s = Of(0, 0, 0, 0, 0);
        // A pipe without a writer would block the open for good: the case never returns.
        EXPECT_EQ(LoadUserSet(s, c.path), c.taken) << c.name;
        EXPECT_EQ(s, c.taken ? Of(0, 0, 0, 0, 0) : kAllOn) << c.name;
    }
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

// ---- the dialog ----

struct Dialog {
    QTemporaryDir dir;
    UserSetState set;
    QList<QByteArray> sent;
    QPointer<frmUserSet> d;

    explicit Dialog(UserSetState start, QString path = QString())
        : set(start)
    {
        if (path.isEmpty()) path = dir.filePath("UserSet.ini");
        d = new frmUserSet(set, path, QStringLiteral("玩家甲"), [this](const QByteArray& message) {
            sent.append(message);
            return true;
        });
        d->show();
    }
    ~Dialog() { delete d.data(); }
    QString file() const { return dir.filePath("UserSet.ini"); }
    QByteArray fileText() const
    {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
};

TEST(UserSetDialog, ControlsWhereAndAsTheyBelong)
{
    Dialog t(Of(1, 0, 1, 0, 1));
    frmUserSet& d = *t.d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("用户设置"));
    EXPECT_EQ(d.size(), QSize(346, 231));
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(d.isModal());
    EXPECT_EQ(d.Frame2->geometry(), QRect(8, 8, 329, 97));
    EXPECT_EQ(d.Frame2->title(), QStringLiteral("基本设置"));
    EXPECT_EQ(d.Frame1->geometry(), QRect(8, 112, 329, 73));
    EXPECT_EQ(d.Frame1->title(), QStringLiteral("提示设置"));
    struct Box {
        QGroupBox* frame;
        QRect at;
        const char* caption;
        bool checked;
    };
    const Box boxes[5] = {
        {d.Frame2, QRect(16, 24, 129, 17), "允许旁观者看我的牌", true},
        {d.Frame2, QRect(16, 48, 129, 17), "启用音效", false},
        {d.Frame2, QRect(16, 72, 121, 17), "显示用户进出消息", true},
        {d.Frame1, QRect(16, 24, 121, 17), "强退时给出提示", false},
        {d.Frame1, QRect(16, 48, 153, 17), "出牌不对时给出提示", true},
    };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(d.chkUser(i)->parentWidget(), boxes[i].frame) << i;
        EXPECT_EQ(d.chkUser(i)->geometry(), boxes[i].at) << i;
        EXPECT_EQ(d.chkUser(i)->text(), QString::fromUtf8(boxes[i].caption)) << i;
        EXPECT_EQ(d.chkUser(i)->isChecked(), boxes[i].checked) << i;
    }
    const QRect buttons[3] = {QRect(8, 200, 73, 23), QRect(200, 200, 65, 23), QRect(272, 200, 65, 23)};
    const char* captions[3] = {"默认值(&D)", "确定(&Y)", "取消(&C)"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(d.cmdUser(i)->geometry(), buttons[i]) << i;
        EXPECT_EQ(d.cmdUser(i)->text(), QString::fromUtf8(captions[i])) << i;
    }
    EXPECT_EQ(d.bytAllowPangGuanAtOpen, 1);
}

// Which box is toggled before OK, and what OK then sends and saves.
struct OkCase {
    const char* name;
    UserSetState start;
    int toggle;   // -1: none
    UserSetState after;
    const char* sentBody;   // nullptr: nothing sent
};

class UserSetOk : public ::testing::TestWithParam<OkCase> {};

TEST_P(UserSetOk, SavesAndSendsOnlyWhenTheSpectatorSettingChanged)
{
    const OkCase& c = GetParam();
    Dialog t(c.start);
    if (c.toggle >= 0) t.d->chkUser(c.toggle)->click();
    t.d->cmdUser(1)->click();
    EXPECT_EQ(t.set, c.after);
    QByteArray expected;
    for (int i = 1; i <= 5; ++i) expected += ' ' + QByteArray::number(c.after.at(i)) + " \r\n";
    EXPECT_EQ(t.fileText(), expected);
    if (c.sentBody) {
        ASSERT_EQ(t.sent.size(), 1);
        EXPECT_EQ(t.sent[0], QByteArray("\x71\x01", 2) + EncodeGbk(QString::fromUtf8(c.sentBody)));
    } else {
        EXPECT_TRUE(t.sent.isEmpty());
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(t.d.isNull());   // closed and gone
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserSetOk,
    ::testing::Values(OkCase{"unchanged", Of(1, 1, 1, 1, 1), -1, Of(1, 1, 1, 1, 1), nullptr},
                      OkCase{"spectators_off", Of(1, 1, 1, 1, 1), 0, Of(0, 1, 1, 1, 1), "玩家甲`0"},
                      OkCase{"spectators_on", Of(0, 1, 0, 1, 1), 0, Of(1, 1, 0, 1, 1), "玩家甲`1"},
                      OkCase{"another_box", Of(1, 1, 1, 1, 1), 3, Of(1, 1, 1, 0, 1), nullptr},
                      OkCase{"two_saved_as_one", Of(2, 2, 0, 0, 2), -1, Of(1, 1, 0, 0, 1), "玩家甲`1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UserSetDialog, DefaultsThenCancelChangeNothing)
{
    Dialog t(Of(0, 0, 1, 0, 0));
    t.d->cmdUser(0)->click();
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(t.d->chkUser(i)->isChecked()) << i;
    EXPECT_TRUE(t.d->isVisible());   // the defaults are not saved yet
    EXPECT_EQ(t.fileText(), QByteArray("<none>"));
    t.d->cmdUser(2)->click();
    EXPECT_EQ(t.set, Of(0, 0, 1, 0, 0));
    EXPECT_EQ(t.fileText(), QByteArray("<none>"));
    EXPECT_TRUE(t.sent.isEmpty());
}

TEST(UserSetDialog, DefaultsThenOkTurnsEverythingOnAndTellsTheServer)
{
    Dialog t(Of(0, 0, 0, 0, 0));
    t.d->cmdUser(0)->click();
    t.d->cmdUser(1)->click();
    EXPECT_EQ(t.set, kAllOn);
    ASSERT_EQ(t.sent.size(), 1);
    EXPECT_EQ(t.sent[0], QByteArray("\x71\x01", 2) + EncodeGbk(QStringLiteral("玩家甲`1")));
}

TEST(UserSetDialog, AFailedSaveKeepsTheValuesForTheRun)
{
    QTemporaryDir dir;
    Dialog t(Of(1, 1, 1, 1, 1), dir.filePath("no/such/folder/UserSet.ini"));
    t.d->chkUser(1)->click();
    t.d->chkUser(0)->click();
    t.d->cmdUser(1)->click();
    EXPECT_EQ(t.set, Of(0, 0, 1, 1, 1));
    EXPECT_FALSE(QFile::exists(dir.filePath("no/such/folder/UserSet.ini")));
    ASSERT_EQ(t.sent.size(), 1);   // the server still hears of it
}

TEST(UserSetDialog, OpenedAgainItShowsTheSettingsAsTheyAreThen)
{
    UserSetState set = Of(1, 1, 1, 1, 1);
    auto* d = new frmUserSet(set, QString(), "x", {});
    set.bytSoundOn = 0;   // changed while the dialog was not open
    auto* again = new frmUserSet(set, QString(), "x", {});
    EXPECT_FALSE(again->chkUser(1)->isChecked());
    EXPECT_TRUE(d->chkUser(1)->isChecked());
    delete d;
    delete again;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
