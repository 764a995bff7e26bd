// The main window's frame at work: the skin's pixels, caption buttons with strict hit tests and
// their highlight, moving and resizing by mouse, the question before leaving a running game on
// every way of closing, the splitter's collapse and drag, the repaint policy, the user buttons.
#include "framefixture.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

#include "frame/frameskin.h"
#include "protocol/codec.h"
#include "protocol/messages.h"
#include "msgbox/frmmsg.h"
#include "platform/widgets/hsplitterbar.h"
#include "platform/widgets/skinframe.h"
#include "settings/frmuserset.h"
#include "support/guimain.h"

using namespace frametest;

namespace {

void Send(QWidget* to, QEvent::Type t, QPoint local, Qt::MouseButton b = Qt::LeftButton,
          Qt::MouseButtons held = Qt::LeftButton)
{
    QMouseEvent e(t, QPointF(local), QPointF(to->mapToGlobal(local)), b, held, Qt::NoModifier);
    QApplication::sendEvent(to, &e);
}

void Hover(QWidget* to, QPoint local) { Send(to, QEvent::MouseMove, local, Qt::NoButton, Qt::NoButton); }

void Click(QWidget* to, QPoint local)
{
    Send(to, QEvent::MouseButtonPress, local);
    Send(to, QEvent::MouseButtonRelease, local, Qt::LeftButton, Qt::NoButton);
}

// Presses at a point, moves by delta (global positions from the press) and releases.
void Drag(QWidget* to, QPoint at, QPoint delta)
{
    const QPoint g0 = to->mapToGlobal(at);
    Send(to, QEvent::MouseButtonPress, at);
    for (QPoint d : {delta / 2, delta}) {
        QMouseEvent e(QEvent::MouseMove, QPointF(at + d), QPointF(g0 + d), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(to, &e);
    }
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(at + delta), QPointF(g0 + delta), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(to, &up);
}

QPoint Centre(const QPoint& topLeft, int size) { return topLeft + QPoint(size / 2, size / 2); }

// Answers every question box as it opens: index 0 yes, 1 no, -1 by its countdown.
struct Answerer {
    int asked = 0;
    QString text, title, yes, no;
    Answerer(MsgPool& pool, int answer)
    {
        QObject::connect(&pool, &MsgPool::MsgShown, &pool, [this, &pool, answer](int slot) {
            frmMsg* f = pool.FormAt(slot);
            if (!f) return;
            ++asked;
            text = f->strNote();
            title = f->strCaption();
            yes = f->cmdUser(0)->text();
            no = f->cmdUser(1)->text();
            if (answer >= 0) {
                f->cmdUser_Click(answer);
                return;
            }
            // The box is deleted only once control is back in the event loop.
            for (int i = 0; i < 11 && pool.FormAt(slot) == f; ++i) {
                f->tmrDelay_Timer();
                no = f->cmdUser(1)->text();
            }
        });
    }
};

void RunningGame(Client& c)
{
    c.tbl.blnPangGuan = false;
    c.tbl.TableIdle = false;
    c.pub.StartButShown = false;
    c.userSet.bytQuitPrompt = 1;
}

}  // namespace

TEST(Skin, BorderCaptionLogoAndTitle)
{
    REQUIRE_FRAME_PACK();
    MainWindow m;
    m.w->show();
    m.w->resize(1000, 700);
    m.w->PaintFrame();
    const QImage& s = m.w->skinImage();
    ASSERT_EQ(s.size(), QSize(1000, 700));
    const QRgb border[4] = {0x737173u, 0xadaeadu, 0xd6d3d6u, 0xe7e7e7u};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Rgb(s, i, 350), border[i]) << i;
        EXPECT_EQ(Rgb(s, 999 - i, 350), border[i]) << i;
        EXPECT_EQ(Rgb(s, 500, i), border[i]) << i;
        EXPECT_EQ(Rgb(s, 500, 699 - i), border[i]) << i;
    }
    EXPECT_EQ(Rgb(s, 500, 200), 0xfafafau);   // the cleared window under the panes
    // The caption tiles every 12 pixels from x 5, from row 2.
    const QImage mid = PackPicture("Res/CaptionMid.bmp");
    for (int x : {300, 311, 600, 700})
        for (int y : {5, 20, 33}) EXPECT_EQ(Rgb(s, x, y), mid.pixel((x - 5) % 12, y - 2) & 0xffffffu) << x << "," << y;
    // The right end as it is, ending 2 pixels before the right edge (under the border).
    const QImage end = PackPicture("Res/CaptionLR.bmp");
    const int right = 1000 - 2;
    for (int j : {0, 6, 12})
        for (int y : {10, 30}) EXPECT_EQ(Rgb(s, right - 17 + j, y), end.pixel(j, y - 2) & 0xffffffu) << j;
    // The left end mirrored: its outer column (the picture's darkest, rightmost) lies at the left.
    EXPECT_NE(Rgb(s, 4, 20), Rgb(s, 18, 20));
    EXPECT_EQ(Rgb(s, 18, 20), end.pixel(0, 18) & 0xffffffu);
    // The logo at (25, 6), the title in black over its light shadow from (54, 12).
    EXPECT_NE(Rgb(s, 33, 14), mid.pixel((33 - 5) % 12, 12) & 0xffffffu);
    int black = 0, shadow = 0;
    for (int y = 12; y < 30; ++y)
        for (int x = 54; x < 54 + 60; ++x) {
            black += Rgb(s, x, y) == 0u;
            shadow += Rgb(s, x, y) == 0xe6faf0u;
        }
    EXPECT_GT(black, 20);
    EXPECT_GT(shadow, 10);
}

TEST(Skin, CaptionButtonsOfA1000PixelWindowAndTheirStrictHits)
{
    REQUIRE_FRAME_PACK();
    MainWindow m;
    m.w->show();
    m.w->resize(1000, 700);
    EXPECT_EQ(m.w->SysButtonPos(0), QPoint(900, 7));
    EXPECT_EQ(m.w->SysButtonPos(1), QPoint(926, 7));
    EXPECT_EQ(m.w->SysButtonPos(2), QPoint(952, 7));
    struct Hit {
        int x, y, slot;
    };
    const Hit hits[] = {{900, 17, -1}, {901, 17, 0}, {920, 17, 0},  {921, 17, -1}, {926, 17, -1}, {927, 17, 1},
                        {952, 17, -1}, {953, 17, 2}, {972, 17, 2},  {973, 17, -1}, {960, 7, -1},  {960, 8, 2},
                        {960, 27, 2},  {960, 28, -1}, {500, 17, -1}};
    for (const Hit& h : hits) EXPECT_EQ(m.w->HitSysButton(h.x, h.y), h.slot) << h.x << "," << h.y;

    // Drawn from their cells; the one under the mouse highlighted, and plain again after.
    m.w->PaintFrame();
    const QImage sheet = PackPicture("Res/SysMenu.bmp");
    auto cellAt = [&](int slot) { return Rgb(m.w->skinImage(), 900 + 26 * slot + 10, 7 + 12); };
    auto sheetAt = [&](int kind, bool lit) { return sheet.pixel((lit ? 84 : 0) + kind * 21 + 10, 12) & 0xffffffu; };
    EXPECT_EQ(cellAt(0), sheetAt(0, false));
    EXPECT_EQ(cellAt(1), sheetAt(1, false));
    EXPECT_EQ(cellAt(2), sheetAt(3, false));
    Hover(m.w, {962, 17});
    EXPECT_EQ(m.w->intHotSysButton(), 2);
    EXPECT_EQ(cellAt(2), sheetAt(3, true));
    m.w->PaintFrame();   // a full repaint keeps the highlight
    EXPECT_EQ(cellAt(2), sheetAt(3, true));
    Hover(m.w, {936, 17});
    EXPECT_EQ(cellAt(2), sheetAt(3, false));
    EXPECT_EQ(cellAt(1), sheetAt(1, true));
    Hover(m.w, {500, 200});
    EXPECT_EQ(m.w->intHotSysButton(), -1);
    EXPECT_EQ(cellAt(1), sheetAt(1, false));
    // Maximised, the middle button shows the restore kind.
    m.w->SysButtonClick(1);
    EXPECT_TRUE(m.w->isMaximized());
    m.w->PaintFrame();
    EXPECT_EQ(Rgb(m.w->skinImage(), m.w->SysButtonPos(1).x() + 10, 19), sheetAt(2, false));
    m.w->SysButtonClick(1);
    EXPECT_FALSE(m.w->isMaximized());
}

TEST(Frame, FramelessNeverBelow800By570)
{
    MainWindow m(false);
    m.w->show();
    EXPECT_TRUE(m.w->windowFlags() & Qt::FramelessWindowHint);
    m.w->resize(640, 480);
    m.w->TrackFrameCursor();
    EXPECT_GE(m.w->width(), 800);
    EXPECT_GE(m.w->height(), 570);
}

struct MouseCase {
    const char* name;
    QPoint at;        // press point in the window
    QPoint delta;
    QPoint moved;     // how far the window's top-left went
    QSize grown;      // how much the window grew
    const char* edge; // strFrameEdge at the press
};

TEST(Frame, MovesByTheCaptionBandAndResizesByItsEdges)
{
    const MouseCase cases[] = {
        {"caption_band", {400, 20}, {30, 40}, {30, 40}, {0, 0}, "Move"},
        {"right_edge", {1277, 300}, {-100, 0}, {0, 0}, {-100, 0}, "Right"},
        {"bottom_edge", {600, 765}, {0, -50}, {0, 0}, {0, -50}, "Down"},
        {"left_top_corner", {2, 2}, {40, 30}, {40, 30}, {-40, -30}, "LeftUp"},
        {"caption_button", {1190, 17}, {30, 40}, {0, 0}, {0, 0}, ""},
        {"just_below_the_band", {400, 36}, {30, 40}, {0, 0}, {0, 0}, ""},
    };
    for (const MouseCase& c : cases) {
        MainWindow m(false);
        m.w->show();
        const QRect before = m.w->geometry();
        Hover(m.w, c.at);
        EXPECT_EQ(m.w->strFrameEdge(), QString::fromLatin1(c.edge)) << c.name;
        Drag(m.w, c.at, c.delta);
        EXPECT_EQ(m.w->pos() - before.topLeft(), c.moved) << c.name;
        EXPECT_EQ(m.w->size() - before.size(), c.grown) << c.name;
        EXPECT_FALSE(m.w->isUnloaded()) << c.name;
    }
    // A maximised window stays where it is.
    MainWindow m(false);
    m.w->show();
    m.w->showMaximized();
    const QRect before = m.w->geometry();
    Drag(m.w, {m.w->width() - 2, 300}, {-100, 0});
    Drag(m.w, {400, 20}, {30, 40});
    EXPECT_EQ(m.w->geometry(), before);
}

TEST(Frame, TheSystemIsAskedFirst)
{
    MainWindow m(false);
    m.w->show();
    QList<FrameEdge> asked;
    SetSystemFrameDrag([&](QWindow* win, FrameEdge e) {
        EXPECT_EQ(win, m.w->windowHandle());
        asked.append(e);
        return true;
    });
    Drag(m.w, {1277, 766}, {10, 10});
    Drag(m.w, {400, 20}, {10, 10});
    SetSystemFrameDrag({});
    EXPECT_EQ(asked, (QList<FrameEdge>{FrameEdge::RightDown, FrameEdge::Move}));
}

// ---- closing ----

struct QuitCase {
    const char* name;
    bool pangGuan, idle, startShown;
    uint8_t prompt;
    bool asks;
};

class Quit : public ::testing::TestWithParam<QuitCase> {};

TEST_P(Quit, TheQuestionOnlyForAPlayerInARunningGameWithTheSettingOn)
{
    const QuitCase& c = GetParam();
    MainWindow m(false);
    m.c.tbl.blnPangGuan = c.pangGuan;
    m.c.tbl.TableIdle = c.idle;
    m.c.pub.StartButShown = c.startShown;
    m.c.userSet.bytQuitPrompt = c.prompt;
    EXPECT_EQ(QuitNeedsQuestion(m.c), c.asks);
    m.w->show();
    Answerer no(m.c.msgPool, 1);
    Click(m.w, Centre(m.w->SysButtonPos(2), 21));   // the close button
    EXPECT_EQ(no.asked, c.asks ? 1 : 0);
    EXPECT_EQ(m.w->isUnloaded(), !c.asks);
    EXPECT_EQ(m.w->isVisible(), c.asks);
}

INSTANTIATE_TEST_SUITE_P(Cases, Quit,
                         ::testing::Values(QuitCase{"player_in_a_game", false, false, false, 1, true},
                                           QuitCase{"spectator", true, false, false, 1, false},
                                           QuitCase{"idle_table", false, true, false, 1, false},
                                           QuitCase{"start_offered", false, false, true, 1, false},
                                           QuitCase{"setting_off", false, false, false, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Quit, TheQuestionItsAnswersAndItsCountdown)
{
    {
        MainWindow m(false);
        RunningGame(m.c);
        m.w->show();
        Answerer byItself(m.c.msgPool, -1);
        m.w->SysButtonClick(2);
        EXPECT_EQ(byItself.asked, 1);
        EXPECT_EQ(byItself.text,
                  QStringLiteral("大伙正在游戏，如果你现在退出是很不道德的，并且系统会算你逃跑！你是否强退？"));
        EXPECT_EQ(byItself.title, QStringLiteral("系统提示"));
        EXPECT_EQ(byItself.yes, QStringLiteral("强退(&Y)"));
        EXPECT_EQ(byItself.no, QStringLiteral("取消(&N) 0"));   // it counted down on "取消"
        EXPECT_FALSE(m.w->isUnloaded());
        EXPECT_TRUE(m.w->isVisible());
    }
    {
        MainWindow m(false);
        RunningGame(m.c);
        m.w->show();
        int unloaded = 0;
        QObject::connect(m.w, &frmGameMain::Unloaded, [&] { ++unloaded; });
        Answerer yes(m.c.msgPool, 0);
        m.w->SysButtonClick(2);
        EXPECT_EQ(yes.asked, 1);
        EXPECT_TRUE(m.w->isUnloaded());
        EXPECT_EQ(unloaded, 1);
    }
}

TEST(Quit, EveryWayOfClosingAsksAlike)
{
    // The window manager's close (its close button, the taskbar, Alt+F4) and the program's own.
    for (bool bySystem : {true, false}) {
        MainWindow m(false);
        RunningGame(m.c);
        m.w->show();
        Answerer no(m.c.msgPool, 1);
        auto closeIt = [&] {
            if (!bySystem) return m.w->close();
            QCloseEvent e;
            QSpontaneKeyEvent::setSpontaneous(&e);
            QApplication::sendEvent(m.w->windowHandle(), &e);
            return e.isAccepted();
        };
        EXPECT_FALSE(closeIt()) << bySystem;
        EXPECT_EQ(no.asked, 1) << bySystem;
        EXPECT_TRUE(m.w->isVisible()) << bySystem;
        m.c.userSet.bytQuitPrompt = 0;   // the setting off: it closes without a word
        EXPECT_TRUE(closeIt()) << bySystem;
        EXPECT_EQ(no.asked, 1) << bySystem;
        EXPECT_TRUE(m.w->isUnloaded()) << bySystem;
        EXPECT_FALSE(m.w->isVisible()) << bySystem;
    }
}

TEST(Quit, TheLinkLostWhileTheQuestionWaitsClosesTheWindowOnce)
{
    MainWindow m(false);
    RunningGame(m.c);
    m.w->show();
    int unloaded = 0;
    QObject::connect(m.w, &frmGameMain::Unloaded, [&] { ++unloaded; });
    QObject::connect(&m.c.msgPool, &MsgPool::MsgShown, m.w, [&] { m.w->Form_Unload(); });
    m.w->SysButtonClick(2);
    EXPECT_TRUE(m.w->isUnloaded());
    EXPECT_EQ(unloaded, 1);
    EXPECT_FALSE(m.w->isVisible());
    EXPECT_EQ(m.c.msgPool.OpenCount(), 0);
}

// ---- the splitter ----

TEST(Splitter, MiddleBandCollapsesAndRestoresExactly)
{
    REQUIRE_FRAME_PACK();
    MainWindow m;
    m.w->show();
    QWidget* sp = m.w->picSplitter;
    EXPECT_EQ(sp->x(), 984);
    const int mid = sp->height() / 2;
    Send(sp, QEvent::MouseButtonPress, {6, mid}, Qt::RightButton, Qt::RightButton);   // any button
    EXPECT_TRUE(m.w->layoutState().blnSplitterCollapsed);
    EXPECT_EQ(sp->x(), 1280 - 14);
    EXPECT_FALSE(m.w->lstUser->isVisible());
    EXPECT_FALSE(m.w->TavChat->isVisible());
    EXPECT_EQ(m.w->picGameBack->width(), 1280 - 14 - 6);
    // The arrow now points back: the left arrow's pixels at y = h / 2 - 4.
    const QImage left = PackPicture("Res/VSpliterMid_Left.bmp");
    const QImage shown = sp->grab().toImage();
    for (int x : {2, 5, 8}) EXPECT_EQ(Rgb(shown, x, mid - 4 + 4), left.pixel(x, 4) & 0xffffffu) << x;
    Send(sp, QEvent::MouseButtonPress, {6, mid});
    EXPECT_FALSE(m.w->layoutState().blnSplitterCollapsed);
    EXPECT_EQ(sp->x(), 984);
    EXPECT_TRUE(m.w->lstUser->isVisible());
    EXPECT_EQ(m.w->lstUser->x(), 984 + 14);
    // Just outside the band a press starts a drag instead.
    const SplitterBand band = SplitterMiddleBand(sp->height());
    Send(sp, QEvent::MouseButtonPress, {6, band.hi});
    EXPECT_FALSE(m.w->layoutState().blnSplitterCollapsed);
    Send(sp, QEvent::MouseButtonRelease, {6, band.hi}, Qt::LeftButton, Qt::NoButton);
}

// A window opened on a wide screen and narrowed: the column keeps its width while the table
// can give way, and stays visible down to the window's minimum; the fold arrow folds it and
// brings it back visible at each width.
TEST(Splitter, NarrowedWindowKeepsTheColumnAndTheArrowUnfoldsItVisible)
{
    MainWindow m(false, QSize(1920, 1080));
    m.w->show();
    QWidget* sp = m.w->picSplitter;
    struct Case {
        QSize size;
        int column;
    };
    for (const Case& c : {Case{{1920, 1048}, 436}, Case{{1024, 736}, 354}, Case{{800, 736}, 130}}) {
        m.w->resize(c.size);
        const auto tag = ::testing::Message() << c.size.width();
        for (int fold = 0; fold < 3; ++fold) {
            ASSERT_EQ(m.w->layoutState().blnSplitterCollapsed, fold == 1) << tag;
            if (fold == 1) {
                EXPECT_FALSE(m.w->lstUser->isVisible()) << tag;
            } else {
                EXPECT_TRUE(m.w->lstUser->isVisible()) << tag;
                EXPECT_TRUE(m.w->TavChat->isVisible()) << tag;
                EXPECT_EQ(m.w->lstUser->width(), c.column) << tag;
                EXPECT_EQ(m.w->TavChat->width(), c.column) << tag;
                EXPECT_EQ(m.w->picUserButBk->geometry().right(), c.size.width() - 7) << tag;
                EXPECT_EQ(m.w->picGameBack->width(), sp->x() - 6) << tag;
            }
            if (fold < 2) Send(sp, QEvent::MouseButtonPress, {6, sp->height() / 2});
        }
    }
}

TEST(Splitter, DragShowsAClampedOutlineAndTheReleaseMovesTheSplitter)
{
    REQUIRE_FRAME_PACK();
    MainWindow m;
    m.w->show();
    QWidget* sp = m.w->picSplitter;
    const QImage before = m.w->grab().toImage();
    Send(sp, QEvent::MouseButtonPress, {6, 100});
    QWidget* outline = nullptr;
    for (QObject* o : m.w->children())
        if (auto* w = qobject_cast<QWidget*>(o); w && w->isVisible() && w->geometry() == QRect(984, 35, 8, sp->height()))
            outline = w;
    ASSERT_NE(outline, nullptr);
    auto moveTo = [&](int dx) {
        QMouseEvent e(QEvent::MouseMove, QPointF(6 + dx, 100), QPointF(sp->mapToGlobal(QPoint(6 + dx, 100))),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(sp, &e);
    };
    moveTo(-200);
    EXPECT_EQ(outline->x(), 784);
    // It shows the window inverted.
    const QImage o = outline->grab().toImage();
    EXPECT_EQ(Rgb(o, 3, 300), ~Rgb(before, 787, 335) & 0xffffffu);
    moveTo(-400);   // 584: left of 650, the outline stays
    EXPECT_EQ(outline->x(), 784);
    moveTo(-334);   // exactly 650
    EXPECT_EQ(outline->x(), 650);
    moveTo(200);    // 1184: beyond W - 140 = 1140
    EXPECT_EQ(outline->x(), 650);
    const int paints = m.w->skinPaintCount();
    Send(sp, QEvent::MouseButtonRelease, {206, 100}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(outline->isVisible());
    EXPECT_EQ(m.w->layoutState().lngSplitterLeft, 650);
    EXPECT_EQ(sp->x(), 650);
    EXPECT_EQ(m.w->lstUser->x(), 664);
    // The move skips one repaint of the skin, and only one.
    m.w->PaintFrame();
    EXPECT_EQ(m.w->skinPaintCount(), paints);
    m.w->PaintFrame();
    EXPECT_EQ(m.w->skinPaintCount(), paints + 1);
}

TEST(Splitter, IgnoresTheMouseDuringABlast)
{
    MainWindow m(false);
    m.w->show();
    QWidget* sp = m.w->picSplitter;
    m.c.tv.BlastRunning = true;
    Send(sp, QEvent::MouseButtonPress, {6, sp->height() / 2});
    EXPECT_FALSE(m.w->layoutState().blnSplitterCollapsed);
    Drag(sp, {6, 100}, {-200, 0});
    EXPECT_EQ(sp->x(), 984);
    // Nor does the frame take hover, clicks or drags.
    Hover(m.w, Centre(m.w->SysButtonPos(2), 21));
    EXPECT_EQ(m.w->intHotSysButton(), -1);
    Click(m.w, Centre(m.w->SysButtonPos(2), 21));
    Drag(m.w, {400, 20}, {30, 30});
    EXPECT_FALSE(m.w->isUnloaded());
    EXPECT_EQ(m.w->pos(), QPoint(0, 0));
}

TEST(Bars, MovingABarKeeps182ForTheAdvertAndSkipsOneRepaint)
{
    MainWindow m(false);
    m.w->show();
    m.w->PaintFrame();
    const int paints = m.w->skinPaintCount();
    auto* bar = m.w->HSplitterBar;
    const QPoint at(5, 2);
    const QPoint g0 = bar->mapToGlobal(at);
    Send(bar, QEvent::MouseButtonPress, at);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(at + QPoint(0, 60)), QPointF(g0 + QPoint(0, 60)), Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &up);
    EXPECT_EQ(m.w->layoutState().lngUpperBarTop, 266 + 60);
    EXPECT_EQ(m.w->picAdvBack->height(), 182);
    EXPECT_EQ(m.w->HSplitterBar1->y(), 266 + 60 + 5 + 182);
    m.w->PaintFrame();
    EXPECT_EQ(m.w->skinPaintCount(), paints);
    m.w->PaintFrame();
    EXPECT_EQ(m.w->skinPaintCount(), paints + 1);
}

TEST(Skin, AShrinkingWindowIsRepaintedAtOnceAGrowingOneByItsPaint)
{
    REQUIRE_FRAME_PACK();
    MainWindow m;
    m.w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m.w));
    m.w->repaint();
    int paints = m.w->skinPaintCount();
    m.w->resize(1100, 700);   // smaller: the skin now, before any paint event
    EXPECT_EQ(m.w->skinPaintCount(), paints + 1);
    EXPECT_EQ(m.w->skinImage().size(), QSize(1100, 700));
    const QImage sheet = PackPicture("Res/SysMenu.bmp");
    EXPECT_EQ(Rgb(m.w->skinImage(), 1000 + 10, 19), sheet.pixel(10, 12) & 0xffffffu);
    EXPECT_EQ(m.w->userSetDialog(), nullptr);
    // The user strip shrank with it: its picture is drawn at its new size at once.
    auto* strip = static_cast<UserButtonStrip*>(m.w->picUserButBk);
    EXPECT_EQ(strip->image().size(), strip->size());
    paints = m.w->skinPaintCount();
    m.w->resize(1200, 760);   // larger: left to the paint event
    EXPECT_EQ(m.w->skinPaintCount(), paints);
    EXPECT_TRUE(WaitFor([&] { return m.w->skinPaintCount() > paints; }));
    EXPECT_EQ(m.w->skinImage().size(), QSize(1200, 760));
}

TEST(Skin, APaintCopiesTheSkinAndRedrawsItOnlyAfterASizeOrStateChange)
{
    REQUIRE_FRAME_PACK();
    MainWindow m;
    m.w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m.w));
    m.w->repaint();
    const int paints = m.w->skinPaintCount();
    m.w->repaint();
    m.w->repaint(QRect(900, 7, 21, 21));
    EXPECT_EQ(m.w->skinPaintCount(), paints);
    // Maximised or restored, the caption button's kind changes: the next paint draws the skin.
    QWindowStateChangeEvent state(Qt::WindowNoState);
    QApplication::sendEvent(m.w, &state);
    m.w->repaint();
    EXPECT_EQ(m.w->skinPaintCount(), paints + 1);
    m.w->repaint();
    EXPECT_EQ(m.w->skinPaintCount(), paints + 1);
}

// ---- the user buttons ----

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& u) { opened.append(u); }
};

TEST(UserButtons, HighlightSettingsAndHelp)
{
    REQUIRE_FRAME_PACK();
    MainWindow m;
    m.w->show();
    QWidget* strip = m.w->picUserButBk;
    const int w = strip->width() / 3;
    EXPECT_EQ(m.w->UserButtonPos(0), QPoint(w - 30, 4));
    EXPECT_EQ(m.w->UserButtonPos(1), QPoint(w - 30 + w + 20, 4));
    EXPECT_EQ(m.w->HitUserButton(w - 30, 10), -1);   // strict
    EXPECT_EQ(m.w->HitUserButton(w - 29, 10), 0);

    const QImage sheet = PackPicture("Res/UserButton.bmp");
    const QPoint b1 = m.w->UserButtonPos(1) + QPoint(3, 12);
    Hover(strip, m.w->UserButtonPos(1) + QPoint(20, 12));
    EXPECT_EQ(m.w->intHotUserButton(), 1);
    EXPECT_EQ(Rgb(strip->grab().toImage(), b1.x(), b1.y()), sheet.pixel(82 + 41 + 3, 12) & 0xffffffu);
    Hover(strip, {1, 1});
    EXPECT_EQ(m.w->intHotUserButton(), -1);
    EXPECT_EQ(Rgb(strip->grab().toImage(), b1.x(), b1.y()), sheet.pixel(41 + 3, 12) & 0xffffffu);

    // The first opens the settings dialog, once however often it is pressed.
    Click(strip, m.w->UserButtonPos(0) + QPoint(20, 12));
    frmUserSet* d = m.w->userSetDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    Click(strip, m.w->UserButtonPos(0) + QPoint(20, 12));
    EXPECT_EQ(m.w->userSetDialog(), d);

    // The second opens the help page beside the program with the desktop's handler.
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    Click(strip, m.w->UserButtonPos(1) + QPoint(20, 12));
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_TRUE(catcher.opened[0].path().endsWith("/help/Mygame/KVRN.htm"));
    EXPECT_TRUE(QFileInfo(catcher.opened[0].toLocalFile()).isFile());
}

// Where no browser can be started the user is told so, in the game's box, with the page's place.
TEST(UserButtons, HelpWithoutABrowserSaysSoInABox)
{
    MainWindow m(false);
    m.w->show();
    auto* strip = static_cast<UserButtonStrip*>(m.w->picUserButBk);
    for (const bool opens : {true, false}) {
        QList<QUrl> asked;
        m.w->setUrlOpener([&](const QUrl& u) {
            asked << u;
            return opens;
        });
        Answerer box(m.c.msgPool, 0);
        Click(strip, m.w->UserButtonPos(1) + QPoint(20, 12));
        ASSERT_EQ(asked.size(), 1) << opens;
        EXPECT_EQ(box.asked, opens ? 0 : 1);
        if (opens) continue;
        EXPECT_TRUE(box.text.startsWith(QStringLiteral("无法打开帮助页面"))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(asked[0].toLocalFile()))) << box.text.toStdString();
        EXPECT_EQ(box.title, m.c.pub.strGameTitle);
        EXPECT_EQ(m.c.msgPool.OpenCount(), 0);
    }
}

// The page beside the program tells the keys of the own turn.
TEST(UserButtons, HelpPageNamesTheKeys)
{
    REQUIRE_FRAME_PACK();
    QFile f(frmGameMain::HelpPageUrl(BinDir() + u'/').toLocalFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(f.readAll());
    for (const char* key : {"Enter", "Space", "Esc", "H"})
        EXPECT_TRUE(page.contains(QStringLiteral("<b>%1</b>").arg(QLatin1String(key)))) << key;
}

// The program opens its window maximised; restored, it is the screen's size less 32 pixels.
TEST(Start, OpensMaximisedAndRestoresToTheScreenLess32)
{
    MainWindow m(false, QSize(1280, 800));
    m.w->ShowAtStart(QSize(1280, 800));
    EXPECT_TRUE(m.w->windowState() & Qt::WindowMaximized);
    ASSERT_TRUE(WaitFor([&] { return m.w->isMaximized() && m.w->isVisible(); }));
    EXPECT_EQ(m.w->normalGeometry().size(), QSize(1280, 768));
    m.w->SysButtonClick(1);   // the caption's restore button
    ASSERT_TRUE(WaitFor([&] { return !m.w->isMaximized(); }));
    EXPECT_EQ(m.w->size(), QSize(1280, 768));
}

TEST(UserButtons, SettingsOkSendsTheChangeOverTheLinkOnlyWhenItChanged)
{
    MainWindow m(false);
    m.w->show();
    frmUserSet* d = m.w->ShowUserSet();
    ASSERT_NE(d, nullptr);
    d->cmdUser(1)->click();   // nothing changed
    EXPECT_TRUE(m.sent.isEmpty());
    d = m.w->ShowUserSet();
    d->chkUser(0)->setChecked(false);
    d->cmdUser(1)->click();
    ASSERT_EQ(m.sent.size(), 1);
    EXPECT_EQ(m.sent[0], QByteArray("\x71\x01", 2) + EncodeGbk(QStringLiteral("我是玩家`0")));
    EXPECT_EQ(m.sent[0], BuildSeePaiSetting(QStringLiteral("我是玩家"), 0));   // as the room server reads it
    EXPECT_EQ(m.c.userSet.bytAllowPangGuan, 0);
    // The file beside the program holds the new values.
    UserSetState again;
    EXPECT_TRUE(LoadUserSet(again, m.c.pub.strAppPath + "UserSet.ini"));
    EXPECT_EQ(again.bytAllowPangGuan, 0);
}

TEST(AdvertPane, ThreeOutlinesOnAllFourSides)
{
    MainWindow m(false);
    m.w->show();
    const QImage a = m.w->picAdvBack->grab().toImage();
    const QRgb rings[3] = {0x000096u, 0xc0c0beu, 0x0000fau};
    const int w = a.width(), h = a.height();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Rgb(a, i, h / 2), rings[i]) << i;
        EXPECT_EQ(Rgb(a, w - 1 - i, h / 2), rings[i]) << i;
        EXPECT_EQ(Rgb(a, w / 2, i), rings[i]) << i;
        EXPECT_EQ(Rgb(a, w / 2, h - 1 - i), rings[i]) << i;
    }
}

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }

#include "test_frame.moc"
