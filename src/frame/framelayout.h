#pragma once
// Where the panes of the main window go: the table on the left, the splitter, and the right
// column (user buttons, user list, upper bar, advert pane, lower bar, chat). Pure arithmetic
// over the client size so it can be checked without a window.
#include <QPoint>
#include <QRect>
#include <array>

struct FrameLayoutState {
    int lngSplitterLeft = 0;
    int lngSplitterSaved = 0;
    // The right column's width the user chose (by the start place or a drag): a narrower window
    // takes its loss from the table first, so the column keeps this width while it can.
    int lngColumnWidth = 0;
    bool blnSplitterCollapsed = false;
    int lngUpperBarTop = 0;
    int lngLowerBarTop = 0;
    bool blnUpperBarMoved = false;
    bool blnLowerBarMoved = false;
    bool blnSplitterMoved = false;
};

namespace FrameMetrics {
inline constexpr int CaptionHeight = 35;
inline constexpr int BottomBorder = 4;
inline constexpr int TableLeft = 5;
inline constexpr int SplitterWidth = 12;
inline constexpr int ColumnGap = 2;
inline constexpr int RightMargin = 6;
inline constexpr int UserButHeight = 33;
inline constexpr int AdvHeight = 182;
inline constexpr int SplitterMinLeft = 650;
inline constexpr int SplitterMinRightGap = 140;
// The narrowest the right column is shown: what a drag to its limit leaves it.
inline constexpr int ColumnMinWidth = SplitterMinRightGap - SplitterWidth - ColumnGap - RightMargin;
inline constexpr int BarHeight = 5;
inline constexpr int UpperBarMin = 200;
inline constexpr int LowerBarMin = 382;
inline constexpr int SplitterBandHeight = 60;   // the middle band that collapses the column
inline constexpr int SysButtonSize = 21;
inline constexpr int UserButtonWidth = 41, UserButtonHeight = 25;
inline constexpr int MinWindowWidth = 800, MinWindowHeight = 570;
inline constexpr int FrameBand = 5;             // how near an edge a press resizes the window
}  // namespace FrameMetrics

// The start values from the screen size in pixels.
void InitFrameLayout(FrameLayoutState& s, int screenWidth, int screenHeight);

// The pane rectangles for a client area; an invalid QRect means "leave that control where it
// is". columnShown false: the right column is hidden.
struct FramePanes {
    QRect picSplitter, famGameBack, picUserButBk, lstUser, HSplitterBar, picAdvBack, HSplitterBar1, TavChat;
    bool columnShown = false;
};

// The layout on resize; raises lngSplitterLeft to its minimum as a side effect.
FramePanes LayoutFrame(FrameLayoutState& s, int clientWidth, int clientHeight);
// Where the splitter is placed. Folded: 14 pixels from the right edge. Otherwise lngSplitterLeft
// while the window leaves the column its chosen width; in a narrower window the table gives way
// first (the splitter moves left, down to 650), then the column, never below ColumnMinWidth. A
// place chosen in a wider window stays remembered for when the window grows again.
int PlacedSplitterLeft(const FrameLayoutState& s, int clientWidth);

// Where the two bars are placed in a client area H high: where they were put, or, for a window
// too low for that, moved up together (the advert pane keeping its height, the upper bar not
// above its 200) so that the chat keeps a place; the stored places are not changed.
struct BarTops {
    int upper, lower;
};
BarTops PlacedBarTops(const FrameLayoutState& s, int clientHeight);

// A finished drag of the upper or lower bar to newTop: clamps it, stores it, and returns the panes
// it moves (the list, both bars, the advert pane and the chat).
FramePanes MoveUpperBar(FrameLayoutState& s, int newTop, int clientWidth, int clientHeight);
FramePanes MoveLowerBar(FrameLayoutState& s, int newTop, int clientWidth, int clientHeight);

// ---- the vertical splitter ----

// The splitter's middle band for its height: lo = (h - 60) / 2, hi = (h + 60) / 2.
struct SplitterBand {
    int lo, hi;
};
SplitterBand SplitterMiddleBand(int splitterHeight);
// A press on the middle band: collapses the right column (the splitter goes to 14 pixels from
// the right edge, its place remembered) or brings it back where it was, at a visible width
// whatever the window's size meanwhile.
void ToggleSplitterCollapse(FrameLayoutState& s, int clientWidth);
// While dragging, the outline only goes where the splitter may be: 650 .. clientWidth - 140.
bool SplitterDragAllowed(int left, int clientWidth);
// A released drag: the splitter's new left, clamped to at most clientWidth - 140 and then at
// least 650. The column is shown again wherever the drag ended.
void FinishSplitterDrag(FrameLayoutState& s, int left, int clientWidth);

// ---- the caption and user buttons ----

// Minimise, maximise or restore, close: 26 pixels apart from clientWidth - 100, all at y 7.
std::array<QPoint, 3> SysButtonPositions(int clientWidth);
// The two user buttons in their strip: with w = stripWidth / 3, at (w - 30, 4) and 20 pixels
// plus w further right.
std::array<QPoint, 2> UserButtonPositions(int stripWidth);
