#pragma once
// Where the panes of the main window go: the table on the left, the splitter, and the right
// column (user buttons, user list, upper bar, advert pane, lower bar, chat). Pure arithmetic
// over the client size so it can be checked without a window.
#include <QRect>

struct FrameLayoutState {
    int lngSplitterLeft = 0;
    int lngSplitterSaved = 0;
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
inline constexpr int BarHeight = 5;
inline constexpr int UpperBarMin = 200;
inline constexpr int LowerBarMin = 382;
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

// A finished drag of the upper or lower bar to newTop: clamps it, stores it, and returns the panes
// it moves (the list, both bars, the advert pane and the chat).
FramePanes MoveUpperBar(FrameLayoutState& s, int newTop, int clientWidth, int clientHeight);
FramePanes MoveLowerBar(FrameLayoutState& s, int newTop, int clientWidth, int clientHeight);
