// Where the panes go for a client size, and the two horizontal bars' moves.
#include <gtest/gtest.h>

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

TEST_P(Narrow, RightColumnHiddenWhenNarrowerThanTheSplitter)
{
    FrameLayoutState s;
    InitFrameLayout(s, 800, 600);
    const FramePanes p = LayoutFrame(s, GetParam().width, 600);
    EXPECT_EQ(p.columnShown, GetParam().shown);
    EXPECT_EQ(p.lstUser.isValid(), GetParam().shown);
    EXPECT_TRUE(p.famGameBack.isValid());
}

INSTANTIATE_TEST_SUITE_P(Widths, Narrow,
                         ::testing::Values(WidthCase{600, false}, WidthCase{681, false}, WidthCase{682, true},
                                           WidthCase{1200, true}));

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

}  // namespace
