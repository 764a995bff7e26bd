// The table-settings dialog: both roles, the countdown and its automatic press, the owner's
// checks, digit-only inputs and the three answers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "launch/frmgameset.h"
#include "platform/core/clock.h"
#include "protocol/messages.h"
#include "rules/publicstate.h"

namespace {

const QString kSettings = QStringLiteral("100`500`10`50`200`0");

// A dialog with its answers and warnings recorded.
struct Dialog {
    PublicState pub;
    QPointer<frmGameSet> d;
    QList<QByteArray> sent;
    QStringList warnings;

    explicit Dialog(bool owner, const QString& settings = kSettings, bool* prepared = nullptr)
    {
        pub.strGameTitle = QStringLiteral("四人牌局");
        pub.strMyName = QStringLiteral("甲");
        d = new frmGameSet(pub);
        d->SendGameSetResult = [this](const QByteArray& m) { sent.append(m); };
        d->ShowInputWarning = [this](const QString& t) { warnings.append(t); };
        const bool ok = d->SetInitGameSetInfo(owner, settings);
        if (prepared) *prepared = ok;
    }
    ~Dialog() { delete d.data(); }
    // Lets the dialog's deferred unload happen.
    bool gone()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return d.isNull();
    }
    void input(int i, const QString& text) { d->txtUser[size_t(i)]->setText(text); }
};

TEST(GameSet, PreparedByRole)
{
    struct Case {
        bool owner;
        const char* frame;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {true, "你是桌主，请进行本桌游戏设置", "确定", "取消"},
        {false, "桌主对本桌游戏进行的设置情况", "同意", "不同意"},
    };
    for (const Case& c : cases) {
        Dialog g(c.owner);
        frmGameSet& d = *g.d;
        EXPECT_EQ(d.famGameSet->title(), QString::fromUtf8(c.frame));
        EXPECT_EQ(d.cmdUser[0]->text(), QString::fromUtf8(c.first));
        EXPECT_EQ(d.cmdUser[1]->text(), QString::fromUtf8(c.second));
        EXPECT_EQ(d.txtUser[0]->text(), QStringLiteral("100"));
        EXPECT_EQ(d.txtUser[1]->text(), QStringLiteral("50"));
        EXPECT_EQ(d.txtUser[0]->isReadOnly(), !c.owner);
        EXPECT_EQ(d.txtUser[1]->isReadOnly(), !c.owner);
        EXPECT_EQ(d.stakeMax(), 500);
        EXPECT_EQ(d.stakeMin(), 10);
        EXPECT_EQ(d.penaltyMax(), 200);
        EXPECT_EQ(d.penaltyMin(), 0);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("四人牌局 游戏设置"));
        EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_FALSE(d.isModal());
        EXPECT_TRUE(d.tmrDelay->isActive());
        EXPECT_EQ(d.tmrDelay->interval(), 1000);
        EXPECT_EQ(d.Label1->text(), QStringLiteral("本桌大小"));
        EXPECT_EQ(d.Label2->text(), QStringLiteral("逃跑者应扣除的积分"));
    }
}

TEST(GameSet, OnlySixFieldsCanBeShown)
{
    for (const QString& s : {QStringLiteral("100`500`10`50`200"), QStringLiteral("100`500`10`50`200`0`7"), QString()}) {
        bool prepared = true;
        Dialog g(false, s, &prepared);
        EXPECT_FALSE(prepared) << s.toStdString();
        EXPECT_FALSE(g.d->tmrDelay->isActive());
    }
}

TEST(GameSet, CountdownFromTwentyThenTheFirstButtonIsPressed)
{
    struct Case {
        bool owner;
        const char* base;
        QByteArray answer;
    };
    const Case cases[] = {
        {false, "同意", BuildHandUpReq(QStringLiteral("甲"))},
        {true, "确定", BuildGameSetDone(QStringLiteral("甲"), kSettings)},
    };
    for (const Case& c : cases) {
        Dialog g(c.owner);
        for (int tick = 1; tick <= 21; ++tick) {
            ASSERT_FALSE(g.d.isNull());
            g.d->tmrDelay_Timer();
            if (tick <= 20) {
                EXPECT_EQ(g.d->cmdUser[0]->text(), QString::fromUtf8(c.base) + QStringLiteral(" %1").arg(21 - tick));
                EXPECT_TRUE(g.sent.isEmpty()) << tick;
            }
        }
        // The twenty-first tick shows 0 and presses the button.
        EXPECT_EQ(g.sent, QList<QByteArray>{c.answer});
        EXPECT_TRUE(g.gone());
    }
}

TEST(GameSet, TheTimerTicksOncePerSecond)
{
    ManualClock clock;
    Dialog g(false);
    clock.advance(999);
    EXPECT_EQ(g.d->counter(), 0);
    clock.advance(1301);
    ASSERT_FALSE(g.d.isNull());
    // Two ticks: 20, then 19.
    EXPECT_EQ(g.d->counter(), 2);
    EXPECT_EQ(g.d->cmdUser[0]->text(), QStringLiteral("同意 19"));
}

TEST(GameSet, OwnerChecksInOrderAndTheDialogStaysOpen)
{
    struct Case {
        const char* name;
        QString stake;
        QString penalty;
        QString warning;  // empty: accepted
    };
    const Case cases[] = {
        {"stake_above", "501", "50", StakeRangeText(10, 500)},
        {"stake_below", "9", "50", StakeRangeText(10, 500)},
        {"stake_empty_is_zero", "", "50", StakeRangeText(10, 500)},
        {"penalty_above", "100", "201", PenaltyRangeText(0, 200)},
        {"eight_digits_before_range", "100", "12345678", TooManyDigitsText()},
        {"eight_digits_first_input", "12345678", "999", TooManyDigitsText()},
        {"seven_digits_in_range_check", "1234567", "0", StakeRangeText(10, 500)},
        {"limits", "10", "200", QString()},
        {"limits_other_end", "500", "0", QString()},
    };
    for (const Case& c : cases) {
        Dialog g(true);
        g.input(0, c.stake);
        g.input(1, c.penalty);
        g.d->cmdUser[0]->click();
        if (c.warning.isEmpty()) {
            EXPECT_TRUE(g.warnings.isEmpty()) << c.name;
            ASSERT_EQ(g.sent.size(), 1) << c.name;
            EXPECT_EQ(g.sent[0], BuildGameSetDone(QStringLiteral("甲"), QStringList{c.stake, "500", "10", c.penalty, "200", "0"}.join(u'`')))
                << c.name;
            EXPECT_TRUE(g.gone()) << c.name;
        } else {
            EXPECT_EQ(g.warnings, QStringList{c.warning}) << c.name;
            EXPECT_TRUE(g.sent.isEmpty()) << c.name;
            EXPECT_FALSE(g.gone()) << c.name;
            EXPECT_TRUE(g.d->tmrDelay->isActive()) << c.name;
        }
    }
    EXPECT_EQ(StakeRangeText(10, 500), QStringLiteral("本桌大小必须在 10 和 500 之间！"));
    EXPECT_EQ(PenaltyRangeText(0, 200), QStringLiteral("逃跑者扣分大小必须在 0 和 200 之间！"));
    EXPECT_EQ(TooManyDigitsText(), QStringLiteral("每个输入区域的数字不能超过 7 位！"));
}

TEST(GameSet, RefusedInputShowsAWarningBoxOwnedByTheDialog)
{
    PublicState pub;
    pub.strGameTitle = QStringLiteral("四人牌局");
    pub.strMyName = QStringLiteral("甲");
    QPointer<frmGameSet> d = new frmGameSet(pub);
    QList<QByteArray> sent;
    d->SendGameSetResult = [&](const QByteArray& m) { sent.append(m); };
    ASSERT_TRUE(d->SetInitGameSetInfo(true, kSettings));
    d->show();
    d->txtUser[0]->setText(QStringLiteral("501"));
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
    bool timerStopped = false;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        parent = box->parentWidget();
        timerStopped = !d->tmrDelay->isActive();
        box->button(QMessageBox::Ok)->click();
    });
    d->cmdUser[0]->click();
    EXPECT_EQ(title, QStringLiteral("四人牌局"));
    EXPECT_EQ(text, StakeRangeText(10, 500));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(parent, d.data());
    EXPECT_TRUE(timerStopped);  // no automatic press while the box is up
    ASSERT_FALSE(d.isNull());
    EXPECT_TRUE(d->tmrDelay->isActive());
    EXPECT_TRUE(sent.isEmpty());
    delete d.data();
}

TEST(GameSet, AfterTheCountdownEveryTickPressesAgainUntilTheInputIsRight)
{
    Dialog g(true);
    g.input(0, "501");
    for (int tick = 1; tick <= 23; ++tick) g.d->tmrDelay_Timer();
    EXPECT_EQ(g.warnings.size(), 3);  // ticks 21, 22 and 23
    EXPECT_EQ(g.d->cmdUser[0]->text(), QStringLiteral("确定 0"));
    g.input(0, "500");
    g.d->tmrDelay_Timer();
    EXPECT_EQ(g.sent.size(), 1);
    EXPECT_TRUE(g.gone());
}

TEST(GameSet, SecondButtonLeavesTheTable)
{
    for (bool owner : {false, true}) {
        Dialog g(owner);
        g.d->cmdUser[1]->click();
        EXPECT_EQ(g.sent, QList<QByteArray>{BuildUserOut(QStringLiteral("甲"))}) << owner;
        EXPECT_TRUE(g.gone());
    }
}

TEST(GameSet, EscapeAndTheCloseButtonDoNothing)
{
    Dialog g(false);
    g.d->show();
    QTest::keyClick(g.d, Qt::Key_Escape);
    ASSERT_FALSE(g.gone());
    EXPECT_FALSE(g.d->close());
    EXPECT_TRUE(g.sent.isEmpty());
    ASSERT_FALSE(g.gone());
    EXPECT_TRUE(g.d->isVisible());
    // The countdown still answers.
    for (int tick = 1; tick <= 21; ++tick) g.d->tmrDelay_Timer();
    EXPECT_EQ(g.sent, QList<QByteArray>{BuildHandUpReq(QStringLiteral("甲"))});
}

TEST(GameSet, AnsweredOnceOnly)
{
    Dialog g(false);
    g.d->cmdUser[0]->click();
    if (!g.d.isNull()) {
        g.d->cmdUser[1]->click();
        g.d->tmrDelay_Timer();
    }
    EXPECT_EQ(g.sent, QList<QByteArray>{BuildHandUpReq(QStringLiteral("甲"))});
}

TEST(GameSet, InputsTakeDigitsOnly)
{
    Dialog g(true);
    QLineEdit* t = g.d->txtUser[0];
    t->clear();
    QTest::keyClicks(t, QStringLiteral("1a2 b-3."));
    QKeyEvent wide(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("中"));
    QApplication::sendEvent(t, &wide);
    EXPECT_EQ(t->text(), QStringLiteral("123"));
    QTest::keyClick(t, Qt::Key_Backspace);
    EXPECT_EQ(t->text(), QStringLiteral("12"));
    // Text that arrives another way keeps only its digits.
    t->insert(QStringLiteral("x4y5"));
    EXPECT_EQ(t->text(), QStringLiteral("1245"));
    // The server's own values are shown as sent.
    EXPECT_EQ(g.d->txtUser[1]->text(), QStringLiteral("50"));
}

TEST(GameSet, EnterMovesFromInputToInputToTheFirstButton)
{
    Dialog g(true);
    g.d->show();
    QApplication::setActiveWindow(g.d);
    g.d->txtUser[0]->setFocus();
    QTest::keyClick(g.d->txtUser[0], Qt::Key_Return);
    EXPECT_TRUE(g.d->txtUser[1]->hasFocus());
    QTest::keyClick(g.d->txtUser[1], Qt::Key_Enter);
    EXPECT_TRUE(g.d->cmdUser[0]->hasFocus());
    EXPECT_TRUE(g.sent.isEmpty());  // moving on presses nothing
}

TEST(GameSet, NoAnswerWithoutAnOwnName)
{
    Dialog g(false);
    g.pub.strMyName.clear();
    g.d->cmdUser[0]->click();
    EXPECT_TRUE(g.sent.isEmpty());
    EXPECT_TRUE(g.gone());
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
