// Where the panes go for a client size, and the two horizontal bars' moves.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame/framelayout.h"

namespace {

struct StartCase {
    int screenW, screenH;
    int splitter, upper, lower;
};

class Start : public ::testing::TestWithParam<StartCase> {};

TEST_P(Start, Values)
{
    FrameLayoutState s;
    InitFrameLayout(s, GetParam().screenW, GetParam().screenH);
    EXPECT_EQ(s.lngSplitterLeft, GetParam().splitter);
    EXPECT_EQ(s.lngSplitterSaved, GetParam().splitter);
    EXPECT_EQ(s.lngUpperBarTop, GetParam().upper);
    EXPECT_EQ(s.lngLowerBarTop, GetParam().lower);
    EXPECT_FALSE(s.blnSplitterCollapsed);
}

INSTANTIATE_TEST_SUITE_P(Screens, Start,
                         ::testing::Values(StartCase{1024, 768, 792, 256, 447}, StartCase{800, 600, 600, 200, 391},
                                           StartCase{801, 600, 624, 200, 391}, StartCase{1280, 800, 984, 266, 457}));

TEST(Layout, PanesOfA1024Screen)
{
    FrameLayoutState s;
    InitFrameLayout(s, 1024, 768);
    const FramePanes p = LayoutFrame(s, 1024, 736);
    ASSERT_TRUE(p.columnShown);
    EXPECT_EQ(p.picSplitter, QRect(792, 35, 12, 696));
    EXPECT_EQ(p.famGameBack, QRect(5, 35, 786, 696));
    EXPECT_EQ(p.picUserButBk, QRect(806, 35, 212, 33));
    EXPECT_EQ(p.lstUser, QRect(806, 68, 212, 188));
    EXPECT_EQ(p.HSplitterBar, QRect(806, 256, 212, 5));
    EXPECT_EQ(p.picAdvBack, QRect(806, 261, 212, 186));
    EXPECT_EQ(p.HSplitterBar1, QRect(806, 447, 212, 5));
    EXPECT_EQ(p.TavChat, QRect(806, 452, 212, 278));
}

TEST(Layout, SplitterNeverLeftOf650)
{
    FrameLayoutState s;
    InitFrameLayout(s, 800, 600);
    const FramePanes p = LayoutFrame(s, 800, 568);
    EXPECT_EQ(s.lngSplitterLeft, 650);
    EXPECT_EQ(p.picSplitter.left(), 650);
}

struct WidthCase {
    int width;
    bool shown;
};

class Narrow : public ::testing::TestWithParam<WidthCase> {};

TEST_P(Narrow, RightColumnHiddenOnlyBelowTheWindowsMinimum)
{
    FrameLayoutState s;
    InitFrameLayout(s, 800, 600);
    const FramePanes p = LayoutFrame(s, GetParam().width, 600);
    EXPECT_EQ(p.columnShown, GetParam().shown);
    EXPECT_EQ(p.lstUser.isValid(), GetParam().shown);
    EXPECT_TRUE(p.famGameBack.isValid());
}

INSTANTIATE_TEST_SUITE_P(Widths, Narrow,
                         ::testing::Values(WidthCase{600, false}, WidthCase{789, false}, WidthCase{790, true},
                                           WidthCase{800, true}, WidthCase{1200, true}));

// Bars placed from a tall screen, in a window at its lowest: within reach, the chat still shown,
// and back where they were once the window is tall again.
TEST(Layout, BarsOfATallScreenInALowWindow)
{
    struct Case {
        int H, upper, lower;
    };
    FrameLayoutState s;
    InitFrameLayout(s, 1920, 1080);   // bars at 360 and 551
    for (const Case& c : {Case{570, 284, 475}, Case{646, 360, 551}, Case{1048, 360, 551}, Case{480, 200, 385}}) {
        const FramePanes p = LayoutFrame(s, 800, c.H);
        EXPECT_EQ(p.HSplitterBar.top(), c.upper) << c.H;
        EXPECT_EQ(p.HSplitterBar1.top(), c.lower) << c.H;
        EXPECT_EQ(p.lstUser.bottom() + 1, c.upper) << c.H;
        EXPECT_EQ(p.picAdvBack.bottom() + 1, c.lower) << c.H;
        ASSERT_TRUE(p.TavChat.isValid()) << c.H;
        EXPECT_EQ(p.TavChat.bottom(), c.H - 7) << c.H;
        EXPECT_EQ(s.lngUpperBarTop, 360);
        EXPECT_EQ(s.lngLowerBarTop, 551);
    }
}

TEST(Layout, TooLowForTheTableAndSplitter)
{
    FrameLayoutState s;
    InitFrameLayout(s, 1024, 768);
    const FramePanes p = LayoutFrame(s, 1024, 40);
    EXPECT_FALSE(p.picSplitter.isValid());
    EXPECT_FALSE(p.famGameBack.isValid());
    EXPECT_FALSE(p.TavChat.isValid());
}

struct BarCase {
    const char* name;
    bool upper;
    int requested;
    int upperTop, lowerTop;
};

class Bars : public ::testing::TestWithParam<BarCase> {};

TEST_P(Bars, ClampedAndTheAdvertKeeps182)
{
    const BarCase& c = GetParam();
    FrameLayoutState s;
    InitFrameLayout(s, 1024, 768);
    const int W = 1024, H = 736;
    const FramePanes p = c.upper ? MoveUpperBar(s, c.requested, W, H) : MoveLowerBar(s, c.requested, W, H);
    EXPECT_EQ(s.lngUpperBarTop, c.upperTop);
    EXPECT_EQ(s.lngLowerBarTop, c.lowerTop);
    EXPECT_EQ(p.HSplitterBar.top(), c.upperTop);
    EXPECT_EQ(p.HSplitterBar1.top(), c.lowerTop);
    EXPECT_EQ(p.picAdvBack.height(), 182);
    EXPECT_EQ(p.picAdvBack.top(), c.upperTop + 5);
    EXPECT_EQ(p.lstUser.bottom() + 1, c.upperTop);  // the list meets the upper bar
    EXPECT_EQ(p.TavChat.top(), c.lowerTop + 5);
    EXPECT_TRUE(c.upper ? s.blnUpperBarMoved : s.blnLowerBarMoved);
    // A later resize keeps the moved bars where they are.
    const FramePanes after = LayoutFrame(s, W, H);
    EXPECT_EQ(after.HSplitterBar.top(), c.upperTop);
    EXPECT_EQ(after.HSplitterBar1.top(), c.lowerTop);
    EXPECT_EQ(after.picAdvBack.height(), 182);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, Bars,
    ::testing::Values(BarCase{"upper_inside", true, 300, 300, 487}, BarCase{"upper_too_high", true, 100, 200, 387},
                      BarCase{"upper_too_low", true, 700, 454, 641}, BarCase{"lower_inside", false, 500, 313, 500},
                      BarCase{"lower_too_high", false, 300, 195, 382}, BarCase{"lower_too_low", false, 700, 449, 636}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the vertical splitter ----

TEST(Splitter, MiddleBandOfItsHeight)
{
    struct Case {
        int h, lo, hi;
    };
    for (const Case& c : {Case{696, 318, 378}, Case{695, 317, 377}, Case{60, 0, 60}, Case{20, -20, 40}}) {
        const SplitterBand b = SplitterMiddleBand(c.h);
        EXPECT_EQ(b.lo, c.lo) << c.h;
        EXPECT_EQ(b.hi, c.hi) << c.h;
    }
}

TEST(Splitter, CollapseAndExactRestore)
{
    FrameLayoutState s;
    InitFrameLayout(s, 1024, 768);
    s.lngSplitterLeft = 731;   // a place the user chose
    ToggleSplitterCollapse(s, 1024);
    EXPECT_TRUE(s.blnSplitterCollapsed);
    EXPECT_EQ(s.lngSplitterLeft, 1024 - 14);
    EXPECT_EQ(s.lngSplitterSaved, 731);
    FramePanes p = LayoutFrame(s, 1024, 736);
    EXPECT_FALSE(p.columnShown);   // the column's width is negative
    EXPECT_EQ(p.picSplitter, QRect(1010, 35, 12, 696));
    EXPECT_EQ(p.famGameBack.width(), 1004);
    // Collapsed, the splitter keeps to the right edge of a window that changes size.
    p = LayoutFrame(s, 900, 736);
    EXPECT_EQ(p.picSplitter.left(), 886);
    p = LayoutFrame(s, 1280, 736);
    EXPECT_EQ(p.picSplitter.left(), 1266);
    ToggleSplitterCollapse(s, 1280);
    EXPECT_FALSE(s.blnSplitterCollapsed);
    EXPECT_EQ(s.lngSplitterLeft, 731);
    p = LayoutFrame(s, 1280, 736);
    EXPECT_TRUE(p.columnShown);
    EXPECT_EQ(p.picSplitter.left(), 731);
    EXPECT_EQ(p.lstUser.left(), 745);
}

struct DragCase {
    int left;
    bool allowed;
    int applied;
};

TEST(Splitter, DragOnlyBetween650And140FromTheRight)
{
    const int W = 1024;
    const DragCase cases[] = {{649, false, 650}, {650, true, 650}, {800, true, 800},
                              {884, true, 884},  {885, false, 884}, {1010, false, 884}};
    for (const DragCase& c : cases) {
        EXPECT_EQ(SplitterDragAllowed(c.left, W), c.allowed) << c.left;
        FrameLayoutState s;
        InitFrameLayout(s, 1024, 768);
        ToggleSplitterCollapse(s, W);   // a drag also brings a collapsed column back
        FinishSplitterDrag(s, c.left, W);
        EXPECT_EQ(s.lngSplitterLeft, c.applied) << c.left;
        EXPECT_FALSE(s.blnSplitterCollapsed);
        EXPECT_TRUE(s.blnSplitterMoved);
    }
    // A window too narrow for both limits: 650 wins.
    FrameLayoutState s;
    FinishSplitterDrag(s, 700, 760);
    EXPECT_EQ(s.lngSplitterLeft, 650);
}

// A window narrowed from the screen's size: the table gives way first, down to its 650, then the
// column, never below its minimum; folding and unfolding at each width gives a visible column.
TEST(Splitter, NarrowingTakesFromTheTableFirstAndTheColumnStaysVisible)
{
    struct Case {
        int screenW, W;
        int splitter, column;
    };
    const Case cases[] = {
        {1920, 1920, 1464, 436}, {1920, 1500, 1044, 436}, {1920, 1106, 650, 436}, {1920, 1024, 650, 354},
        {1920, 800, 650, 130},   {1024, 1024, 792, 212},  {1024, 900, 668, 212},  {1024, 800, 650, 130},
        {800, 800, 650, 130},    {1280, 1100, 804, 276},
    };
    for (const Case& c : cases) {
        FrameLayoutState s;
        InitFrameLayout(s, c.screenW, 1080);
        const FramePanes p = LayoutFrame(s, c.W, 736);
        const auto tag = ::testing::Message() << c.screenW << " narrowed to " << c.W;
        ASSERT_TRUE(p.columnShown) << tag;
        EXPECT_EQ(p.picSplitter.left(), c.splitter) << tag;
        EXPECT_EQ(p.famGameBack.width(), c.splitter - 6) << tag;
        EXPECT_EQ(p.lstUser.width(), c.column) << tag;
        EXPECT_EQ(p.TavChat.width(), c.column) << tag;
        EXPECT_EQ(p.lstUser.right(), c.W - 7) << tag;
        EXPECT_GE(p.lstUser.width(), FrameMetrics::ColumnMinWidth) << tag;
        // The chosen place is kept for a wider window.
        EXPECT_EQ(LayoutFrame(s, c.screenW, 736).picSplitter.left(), std::max(650, c.screenW * 3 / 4 + 24)) << tag;
        LayoutFrame(s, c.W, 736);
        ToggleSplitterCollapse(s, c.W);
        EXPECT_FALSE(LayoutFrame(s, c.W, 736).columnShown) << tag;
        ToggleSplitterCollapse(s, c.W);
        const FramePanes back = LayoutFrame(s, c.W, 736);
        ASSERT_TRUE(back.columnShown) << tag;
        EXPECT_EQ(back.lstUser.width(), c.column) << tag;
    }
}

TEST(Splitter, FoldedInAWideWindowUnfoldsVisibleInANarrowOne)
{
    FrameLayoutState s;
    InitFrameLayout(s, 1920, 1080);
    LayoutFrame(s, 1920, 1048);
    ToggleSplitterCollapse(s, 1920);
    EXPECT_EQ(LayoutFrame(s, 1024, 736).picSplitter.left(), 1010);
    ToggleSplitterCollapse(s, 1024);
    const FramePanes p = LayoutFrame(s, 1024, 736);
    ASSERT_TRUE(p.columnShown);
    EXPECT_EQ(p.lstUser.width(), 354);
    // A drag sets the width the column then keeps.
    FinishSplitterDrag(s, 800, 1024);
    EXPECT_EQ(LayoutFrame(s, 900, 736).picSplitter.left(), 676);
    EXPECT_EQ(LayoutFrame(s, 900, 736).lstUser.width(), 204);
}

// ---- caption and user buttons ----

TEST(Buttons, PositionsForAWindowAndAStrip)
{
    const auto sys = SysButtonPositions(1000);
    EXPECT_EQ(sys[0], QPoint(900, 7));
    EXPECT_EQ(sys[1], QPoint(926, 7));
    EXPECT_EQ(sys[2], QPoint(952, 7));
    struct Case {
        int strip, x0, x1;
    };
    for (const Case& c : {Case{212, 40, 130}, Case{270, 60, 170}, Case{90, 0, 50}, Case{0, -30, -10}}) {
        const auto u = UserButtonPositions(c.strip);
        EXPECT_EQ(u[0], QPoint(c.x0, 4)) << c.strip;
        EXPECT_EQ(u[1], QPoint(c.x1, 4)) << c.strip;
    }
}

}  // namespace
