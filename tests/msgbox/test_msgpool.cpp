// The message-box pool and the box: slot reuse, closing by owner (also from inside a modal
// wait), the countdown and the answer it gives, layout, the icon, the separator, topmost.
#include "msgbox/frmmsg.h"
#include "msgbox/msgpool.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include "platform/core/clock.h"
#include "support/timing.h"

namespace {
// Runs deleteLater() and queued calls.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
}

bool notice(MsgPool& pool, int owner, const QString& text = "等待桌主进行本桌游戏设置...") {
    return pool.ShowMsg(owner, nullptr, 0, text, "", 0, "", "", true);
}

// Runs `act` on the box in `slot` once it is shown (that is, inside its modal wait).
void onShown(MsgPool& pool, std::function<void(int slot)> act, bool once = true) {
    auto conn = std::make_shared<QMetaObject::Connection>();
    *conn = QObject::connect(&pool, &MsgPool::MsgShown, &pool, [act, conn, once](int slot) {
        if (once) QObject::disconnect(*conn);
        act(slot);
    });
}
}

TEST(MsgPool, TwoNoticesTakeSlotsZeroAndOneAndTheFirstFreeSlotIsReused) {
    MsgPool pool;
    pool.InitMsgPool("/nowhere/");
    EXPECT_EQ(pool.MsgPoolTop(), -1);
    EXPECT_FALSE(notice(pool, 0));
    EXPECT_FALSE(notice(pool, 0));
    EXPECT_EQ(pool.MsgPoolTop(), 1);
    ASSERT_NE(pool.FormAt(0), nullptr);
    ASSERT_NE(pool.FormAt(1), nullptr);
    EXPECT_EQ(pool.FormAt(0)->lngMsgObjectIdx, 0);
    EXPECT_EQ(pool.FormAt(1)->lngMsgObjectIdx, 1);
    EXPECT_TRUE(pool.FormAt(1)->isVisible());
    QPointer<frmMsg> first = pool.FormAt(0);
    pool.CloseMsgByOwner(0);
    EXPECT_EQ(pool.OpenCount(), 0);
    settle();
    EXPECT_TRUE(first.isNull());   // a closed modeless box is gone
    notice(pool, 0);
    EXPECT_EQ(pool.MsgPoolTop(), 1);   // the pool does not shrink
    ASSERT_NE(pool.FormAt(0), nullptr);
    EXPECT_EQ(pool.FormAt(1), nullptr);
    pool.CloseMsgByOwner(0);
}

TEST(MsgPool, CloseByOwnerClosesOnlyThatOwnersBoxes) {
    MsgPool pool;
    pool.InitMsgPool("/nowhere/");
    notice(pool, 0);
    notice(pool, 7);
    notice(pool, 0);
    pool.CloseMsgByOwner(0);
    EXPECT_EQ(pool.FormAt(0), nullptr);
    ASSERT_NE(pool.FormAt(1), nullptr);
    EXPECT_EQ(pool.FormAt(1)->lngRoomObjectIdx, 7);
    EXPECT_EQ(pool.FormAt(2), nullptr);
    pool.CloseMsgByOwner(3);   // nobody's: nothing happens
    EXPECT_EQ(pool.OpenCount(), 1);
    notice(pool, 0);
    EXPECT_NE(pool.FormAt(0), nullptr);   // the first free slot
    pool.CloseMsgByOwner(7);
    pool.CloseMsgByOwner(0);
    EXPECT_EQ(pool.OpenCount(), 0);
}

TEST(MsgPool, ClosingAModalBoxFromAnEventInsideItsWaitEndsTheWaitCleanly) {
    MsgPool pool;
    pool.InitMsgPool("/nowhere/");
    notice(pool, 5);   // another owner's notice stays
    settle();          // its own shown report is out of the way
    QPointer<frmMsg> modal;
    onShown(pool, [&](int slot) {
        EXPECT_EQ(slot, 1);
        modal = pool.FormAt(slot);
        // As a socket or timer event would, a moment later inside the nested loop.
        QTimer::singleShot(20, &pool, [&pool] { pool.CloseMsgByOwner(0); });
    });
    const bool answer = pool.ShowMsg(0, nullptr, 1, "text", "title", 10, "确定", "", true);
    EXPECT_FALSE(answer);
    ASSERT_FALSE(modal.isNull());   // not deleted under its own exec
    EXPECT_FALSE(modal->isVisible());
    EXPECT_EQ(pool.FormAt(1), nullptr);
    EXPECT_NE(pool.FormAt(0), nullptr);
    settle();
    EXPECT_TRUE(modal.isNull());
    pool.CloseMsgByOwner(5);
}

TEST(MsgPool, NestedModalBoxesEachReturnTheirOwnAnswer) {
    MsgPool pool;
    pool.InitMsgPool("/nowhere/");
    bool inner = false;
    int innerSlot = -1;
    onShown(pool, [&](int outerSlot) {
        EXPECT_EQ(outerSlot, 0);
        onShown(pool, [&](int slot) {
            innerSlot = slot;
            // While the inner box waits: the outer one is closed by its owner and its slot
            // taken by a notice; then the inner one is answered with yes.
            pool.CloseMsgByOwner(1);
            notice(pool, 9);
            pool.FormAt(slot)->cmdUser_Click(0);
        });
        inner = pool.ShowMsg(2, nullptr, 2, "inner", "t", 10, "是", "否", false);
    });
    const bool outer = pool.ShowMsg(1, nullptr, 2, "outer", "t", 10, "是", "否", true);
    EXPECT_EQ(innerSlot, 1);
    EXPECT_TRUE(inner);
    EXPECT_FALSE(outer);   // closed without an answer
    EXPECT_NE(pool.FormAt(0), nullptr);   // the notice that took the freed slot
    EXPECT_EQ(pool.FormAt(0)->lngRoomObjectIdx, 9);
    pool.CloseMsgByOwner(9);
    settle();
}

TEST(MsgPool, AStaleAnswerInAReusedSlotIsNotReturned) {
    MsgPool pool;
    pool.InitMsgPool("/nowhere/");
    onShown(pool, [&](int slot) { pool.FormAt(slot)->cmdUser_Click(0); });
    EXPECT_TRUE(pool.ShowMsg(0, nullptr, 1, "a", "t", 10, "确定", "", true));
    EXPECT_TRUE(pool.ResultAt(0));
    onShown(pool, [&](int) { QTimer::singleShot(0, &pool, [&pool] { pool.CloseMsgByOwner(0); }); });
    EXPECT_FALSE(pool.ShowMsg(0, nullptr, 2, "b", "t", 10, "强退", "取消", false));
    EXPECT_FALSE(pool.ResultAt(0));
    settle();
}

TEST(MsgPool, AQuestionThatCountsOnTheNoButtonAnswersNo) {
    MsgPool pool;
    pool.InitMsgPool("/nowhere/");
    QStringList noTexts;
    QString yesText;
    onShown(pool, [&](int slot) {
        frmMsg* f = pool.FormAt(slot);
        for (int i = 0; i < 11 && pool.FormAt(slot) == f; ++i) {
            f->tmrDelay_Timer();
            noTexts << f->cmdUser(1)->text();
            yesText = f->cmdUser(0)->text();
        }
    });
    const bool answer = pool.ShowMsg(
        0, nullptr, 2, "大伙正在游戏，如果你现在退出是很不道德的，并且系统会算你逃跑！你是否强退？", "游戏",
        10, "强退", "取消", false);
    EXPECT_FALSE(answer);
    ASSERT_EQ(noTexts.size(), 11);
    EXPECT_EQ(noTexts.first(), "取消(&N) 10");
    EXPECT_EQ(noTexts.at(9), "取消(&N) 1");
    EXPECT_EQ(noTexts.last(), "取消(&N) 0");
    EXPECT_EQ(yesText, "强退(&Y)");   // the yes button does not count
    settle();
}

TEST(MsgPool, TheBoxAnswersByItselfAfterItsCountdown) {
    MsgPool pool;
    pool.InitMsgPool("/nowhere/");
    ManualClock clock;
    // The box's own loop runs while it is up: the clock is moved on from there, a second at a
    // time, as long as the box stays.
    QTimer mover;
    QObject::connect(&mover, &QTimer::timeout, [&] { clock.advance(1000); });
    mover.start(1);
    EXPECT_TRUE(pool.ShowMsg(0, nullptr, 1, "本局游戏结束!", "游戏", 1, "确定", "", true));
    mover.stop();
    // Shows 1, then 0, answers on the second tick.
    EXPECT_EQ(clock.now(), 2000);
    EXPECT_EQ(pool.OpenCount(), 0);
    settle();
}

namespace {
struct CountCase {
    uint8_t type;
    bool yesDefault;
    int counting;
    const char* prefix;
    bool answer;
};
}

TEST(FrmMsg, CountdownTextsAndTheSelfAnswer) {
    const CountCase cases[] = {
        {1, true, 0, "确定(&Y) ", true},
        {1, false, 0, "确定(&Y) ", true},   // one button: it always counts
        {2, true, 0, "确定(&Y) ", true},
        {2, false, 1, "不同意(&N) ", false},
    };
    for (const CountCase& c : cases) {
        auto* f = new frmMsg;
        f->SetMsgInfo(c.type, "note", "title", "确定", "不同意", 10, c.yesDefault);
        QStringList seen;
        for (int tick = 1; tick <= 10; ++tick) {
            f->tmrDelay_Timer();
            seen << f->cmdUser(c.counting)->text();
            EXPECT_FALSE(f->answered()) << int(c.type) << " tick " << tick;
        }
        f->tmrDelay_Timer();   // the eleventh tick shows 0 and answers
        seen << f->cmdUser(c.counting)->text();
        EXPECT_TRUE(f->answered());
        EXPECT_EQ(f->answer(), c.answer);
        for (int i = 0; i <= 10; ++i)
            EXPECT_EQ(seen.at(i), QString::fromUtf8(c.prefix) + QString::number(10 - i));
        f->tmrDelay_Timer();   // a late tick changes nothing
        EXPECT_EQ(f->answer(), c.answer);
        delete f;
    }
}

TEST(FrmMsg, LayoutOfTheThreeTypes) {
    // Sizes are the whole window's; the inside is what is left within the system's frame.
    frmMsg f;
    f.SetMsgInfo(0, "等待", "ignored", "确定", "不同意", 0, true);
    f.show();
    EXPECT_EQ(f.frameGeometry().size(), QSize(397, 68));
    EXPECT_EQ(f.size(), QSize(397, 68));   // a notice has no frame of the system's
    EXPECT_EQ(f.windowTitle(), "");
    EXPECT_EQ(f.labNote()->pos(), QPoint(50, 25));
    EXPECT_TRUE(f.cmdUser(0)->isHidden());
    EXPECT_TRUE(f.cmdUser(1)->isHidden());
    EXPECT_FALSE(f.tmrDelay()->isActive());
    f.hide();

    frmMsg one;
    one.SetMsgInfo(1, "一个按钮", "游戏系统提示", "确定", "", 10, true);
    one.show();
    const QMargins m = one.windowHandle()->frameMargins();
    EXPECT_EQ(one.appliedFrame(), m);
    EXPECT_EQ(one.frameGeometry().size(), QSize(368, 144));
    const QSize inner(368 - m.left() - m.right(), 144 - m.top() - m.bottom());
    EXPECT_EQ(one.size(), inner);
    EXPECT_EQ(one.windowTitle(), "游戏系统提示");
    EXPECT_EQ(one.labNote()->pos(), QPoint(50, 22));
    EXPECT_FALSE(one.cmdUser(0)->isHidden());
    EXPECT_TRUE(one.cmdUser(1)->isHidden());
    EXPECT_EQ(one.cmdUser(0)->text(), "确定(&Y)");
    const QRect b0 = one.cmdUser(0)->geometry();
    EXPECT_EQ(b0.top(), inner.height() - 30);
    EXPECT_LE(std::abs((b0.left() + b0.right() + 1) - inner.width()), 1);   // centred
    // Centred on the screen as a whole window.
    const QRect screen = one.screen()->geometry();
    EXPECT_LE(std::abs(one.frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(one.frameGeometry().center().y() - screen.center().y()), 1);
    one.hide();

    frmMsg two;
    two.SetMsgInfo(2, "两个按钮", "t", "强退", "取消", 10, false);
    two.show();
    EXPECT_EQ(two.frameGeometry().size(), QSize(368, 144));
    EXPECT_FALSE(two.cmdUser(1)->isHidden());
    EXPECT_EQ(two.cmdUser(0)->text(), "强退(&Y)");
    EXPECT_EQ(two.cmdUser(1)->text(), "取消(&N)");
    const QRect y = two.cmdUser(0)->geometry(), n = two.cmdUser(1)->geometry();
    EXPECT_EQ(n.left() - y.right() - 1, 6);
    EXPECT_EQ(y.top(), two.height() - 30);
    EXPECT_EQ(n.top(), two.height() - 30);
    EXPECT_LE(std::abs((y.left() + n.right() + 1) - two.width()), 1);
    EXPECT_TRUE(two.cmdUser(1)->isDefault());   // Enter presses the counting button
    two.hide();
}

TEST(FrmMsg, TheInsideIsTheOuterSizeLessTheSystemsFrame) {
    struct Case {
        QMargins frame;
        QSize inner;
    };
    const Case cases[] = {
        {QMargins(0, 0, 0, 0), QSize(368, 144)},
        {QMargins(2, 2, 2, 2), QSize(364, 140)},
        {QMargins(4, 23, 4, 4), QSize(360, 117)},   // a caption bar and thin sides
        {QMargins(400, 0, 0, 200), QSize(1, 1)},    // never below one pixel
    };
    for (const Case& c : cases)
        EXPECT_EQ(frmMsg::InnerSize(QSize(368, 144), c.frame), c.inner) << c.frame.top();
}

TEST(FrmMsg, ABoxIsSizedForTheFrameTheLastBoxOfItsPoolGot) {
    MsgPool pool;
    pool.InitMsgPool("/nowhere/");
    EXPECT_TRUE(pool.LastFrame().isNull());
    frmMsg first(&pool);
    first.SetMsgInfo(1, "n", "t", "确定", "", 10, true);
    first.show();
    const QMargins m = first.windowHandle()->frameMargins();
    EXPECT_EQ(pool.LastFrame(), m);
    frmMsg second(&pool);   // not on the screen yet, already at the inside it will need
    second.SetMsgInfo(2, "n", "t", "强退", "取消", 10, false);
    EXPECT_EQ(second.size(), frmMsg::InnerSize(QSize(368, 144), m));
    frmMsg notice(&pool);   // a notice has no frame of the system's
    notice.SetMsgInfo(0, "n", "", "", "", 0, true);
    EXPECT_EQ(notice.size(), QSize(397, 68));
    first.hide();
}

TEST(FrmMsg, BoxesAnswerOnlyByAButtonOrTheirCountdown) {
    for (uint8_t type : {uint8_t(0), uint8_t(1), uint8_t(2)}) {
        frmMsg f;
        f.SetMsgInfo(type, "n", "c", "确定", "取消", 10, false);
        EXPECT_FALSE(f.windowFlags() & Qt::WindowCloseButtonHint) << int(type);
        f.show();
        QTest::keyClick(&f, Qt::Key_Escape);
        EXPECT_TRUE(f.isVisible()) << int(type);
        EXPECT_FALSE(f.answered()) << int(type);
        // The window system's close (it arrives at the native window): ignored.
        QCloseEvent byUser;
        QSpontaneKeyEvent::setSpontaneous(&byUser);
        QApplication::sendEvent(f.windowHandle(), &byUser);
        EXPECT_FALSE(byUser.isAccepted()) << int(type);
        EXPECT_TRUE(f.isVisible()) << int(type);
        EXPECT_FALSE(f.answered()) << int(type);
        // The program's own close at its end still closes it.
        f.close();
        EXPECT_FALSE(f.isVisible()) << int(type);
    }
}

TEST(FrmMsg, EveryTypeStaysOnTopAndTheModalOnesStartCountingWhenShown) {
    for (uint8_t type : {uint8_t(0), uint8_t(1), uint8_t(2)}) {
        frmMsg f;
        f.SetMsgInfo(type, "n", "c", "确定", "取消", 10, true);
        EXPECT_TRUE(f.windowFlags() & Qt::WindowStaysOnTopHint) << int(type);
        f.show();
        EXPECT_EQ(f.tmrDelay()->isActive(), type != 0) << int(type);
        EXPECT_EQ(f.tmrDelay()->interval(), 1000);
        f.hide();
    }
}

TEST(FrmMsg, TheTitleIsShownAsGiven) {
    frmMsg f;
    f.SetMsgInfo(1, "n", "牌局[*]提示", "确定", "", 10, true);
    f.show();
    ASSERT_NE(f.windowHandle(), nullptr);
    EXPECT_EQ(f.windowHandle()->title(), "牌局[*]提示");
    f.hide();
}

TEST(FrmMsg, TheNoteIsPlainText) {
    frmMsg f;
    f.SetMsgInfo(1, "<b>x</b>", "t", "确定", "", 10, true);
    EXPECT_EQ(f.labNote()->textFormat(), Qt::PlainText);
    EXPECT_EQ(f.labNote()->text(), "<b>x</b>");
}

TEST(FrmMsg, DrawsTheIconOfItsTypeAndTheEtchedSeparator) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Res"));   // the folder's case does not matter
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(QColor(255, 0, 0));
    ASSERT_TRUE(icon.save(dir.path() + "/Res/Msg1.ico", "ICO"));
    MsgPool pool;
    pool.InitMsgPool(dir.path() + "/");

    frmMsg f(&pool);
    f.SetMsgInfo(1, "", "t", "确定", "", 10, true);
    EXPECT_FALSE(f.iconFile().isEmpty());
    const QImage img = f.grab().toImage();
    EXPECT_EQ(QColor(img.pixel(10, 15)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(img.pixel(25, 30)), QColor(255, 0, 0));
    EXPECT_NE(QColor(img.pixel(27, 32)), QColor(255, 0, 0));
    const int sy = f.separatorY();
    EXPECT_GT(sy, f.labNote()->y());
    EXPECT_LT(sy, f.cmdUser(0)->y());
    EXPECT_EQ(QColor(img.pixel(10, sy)), QColor(132, 130, 132));
    EXPECT_EQ(QColor(img.pixel(10, sy + 1)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(img.pixel(f.width() - 10, sy)), QColor(132, 130, 132));
    EXPECT_NE(QColor(img.pixel(5, sy)), QColor(132, 130, 132));

    frmMsg notice(&pool);   // a notice draws the separator under its note
    notice.SetMsgInfo(0, "", "", "", "", 0, true);
    const QImage img0 = notice.grab().toImage();
    const int ny = notice.separatorY();
    EXPECT_GT(ny, 25 + 12);
    EXPECT_EQ(QColor(img0.pixel(10, ny)), QColor(132, 130, 132));
    EXPECT_EQ(QColor(img0.pixel(397 - 10, ny + 1)), QColor(255, 255, 255));

    frmMsg two(&pool);   // no Msg2.ico: nothing drawn, no failure
    two.SetMsgInfo(2, "", "t", "确定", "取消", 10, true);
    EXPECT_TRUE(two.iconFile().isEmpty());
    const QImage img2 = two.grab().toImage();
    EXPECT_NE(QColor(img2.pixel(12, 17)), QColor(255, 0, 0));
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
