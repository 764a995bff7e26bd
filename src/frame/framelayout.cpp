#include "frame/framelayout.h"

#include <algorithm>

using namespace FrameMetrics;

namespace {

int ColumnWidthAt(int splitterLeft, int W) { return W - splitterLeft - SplitterWidth - ColumnGap - RightMargin; }

}  // namespace

void InitFrameLayout(FrameLayoutState& s, int screenWidth, int screenHeight)
{
    s.lngUpperBarTop = screenHeight / 3;
    s.lngLowerBarTop = BarHeight + s.lngUpperBarTop + AdvHeight + 4;
    s.lngSplitterLeft = screenWidth * 3 / 4;
    if (screenWidth > 800) s.lngSplitterLeft += 24;
    s.lngSplitterSaved = s.lngSplitterLeft;
    s.lngColumnWidth = ColumnWidthAt(s.lngSplitterLeft, screenWidth);
    s.blnSplitterCollapsed = false;
}

namespace {

struct Column {
    int x, w;
};

Column ColumnOf(const FrameLayoutState& s, int W)
{
    const int left = PlacedSplitterLeft(s, W);
    const int x = left + SplitterWidth + ColumnGap;
    return {x, ColumnWidthAt(left, W)};
}

}  // namespace

int PlacedSplitterLeft(const FrameLayoutState& s, int W)
{
    if (s.blnSplitterCollapsed)
        return std::max(SplitterMinLeft, std::min(s.lngSplitterLeft, W - SplitterWidth - ColumnGap));
    const int keepWidth = W - SplitterWidth - ColumnGap - RightMargin - std::max(s.lngColumnWidth, ColumnMinWidth);
    return std::max(SplitterMinLeft, std::min(s.lngSplitterLeft, keepWidth));
}

FramePanes LayoutFrame(FrameLayoutState& s, int W, int H)
{
    FramePanes p;
    const int h = H - BottomBorder - CaptionHeight - 1;
    // A collapsed column stays collapsed at the right edge however the window is sized; a
    // place remembered from a wider window would leave the splitter, and the way back, outside.
    if (s.blnSplitterCollapsed) s.lngSplitterLeft = W - SplitterWidth - ColumnGap;
    if (s.lngSplitterLeft < SplitterMinLeft) s.lngSplitterLeft = SplitterMinLeft;
    const int left = PlacedSplitterLeft(s, W);
    if (h > 0) {
        p.picSplitter = QRect(left, CaptionHeight, SplitterWidth, h);
        p.famGameBack = QRect(TableLeft, CaptionHeight, left - 6, h);
    }
    const Column c = ColumnOf(s, W);
    // Only a client area narrower than the window's minimum leaves no room for the column.
    if (c.w < ColumnMinWidth) return p;
    p.columnShown = true;
    p.picUserButBk = QRect(c.x, CaptionHeight, c.w, UserButHeight);
    // Bars placed for a taller window (the start values come from the screen) are placed within
    // a lower one's reach, the advert pane keeping its height, so the chat stays on the window;
    // their stored places come back when it grows again.
    const auto [upperTop, lowerTop] = PlacedBarTops(s, H);
    const int u = upperTop - 68;
    if (u > 0) p.lstUser = QRect(c.x, CaptionHeight + 25 + 8, c.w, u);
    p.HSplitterBar = QRect(c.x, upperTop, c.w, BarHeight);
    const int a = lowerTop - upperTop - BarHeight;
    p.picAdvBack = QRect(c.x, upperTop + BarHeight, c.w, a);
    p.HSplitterBar1 = QRect(c.x, lowerTop, c.w, BarHeight);
    const int ch = H - BottomBorder - lowerTop - BarHeight - 2;
    if (ch > 0) p.TavChat = QRect(c.x, lowerTop + BarHeight, c.w, ch);
    return p;
}

BarTops PlacedBarTops(const FrameLayoutState& s, int H)
{
    // The lowest the upper bar's own range puts the lower one: H - 282 + 5 + 182.
    const int lowerTop = std::max(LowerBarMin, std::min(s.lngLowerBarTop, H - 282 + BarHeight + AdvHeight));
    const int upperTop =
        std::max(std::min(UpperBarMin, s.lngUpperBarTop), s.lngUpperBarTop - (s.lngLowerBarTop - lowerTop));
    return {upperTop, lowerTop};
}

FramePanes MoveUpperBar(FrameLayoutState& s, int t, int W, int H)
{
    s.blnUpperBarMoved = true;
    if (t < UpperBarMin) t = UpperBarMin;
    if (t > H - AdvHeight - 100) t = H - 282;
    s.lngUpperBarTop = t;
    const Column c = ColumnOf(s, W);
    FramePanes p;
    p.columnShown = c.w >= ColumnMinWidth;
    const int listTop = CaptionHeight + 25 + 8;
    p.lstUser = QRect(c.x, listTop, c.w, t - listTop);
    p.HSplitterBar = QRect(c.x, t, c.w, BarHeight);
    const int d = t + BarHeight;
    p.picAdvBack = QRect(c.x, d, c.w, AdvHeight);
    s.lngLowerBarTop = d + AdvHeight;
    p.HSplitterBar1 = QRect(c.x, s.lngLowerBarTop, c.w, BarHeight);
    const int chatTop = s.lngLowerBarTop + BarHeight;
    p.TavChat = QRect(c.x, chatTop, c.w, H - chatTop - 5);
    return p;
}

FramePanes MoveLowerBar(FrameLayoutState& s, int t, int W, int H)
{
    s.blnLowerBarMoved = true;
    if (t < LowerBarMin) t = LowerBarMin;
    if (t > H - 100) t = H - 100;
    s.lngLowerBarTop = t;
    const Column c = ColumnOf(s, W);
    FramePanes p;
    p.columnShown = c.w >= ColumnMinWidth;
    p.HSplitterBar1 = QRect(c.x, t, c.w, BarHeight);
    p.TavChat = QRect(c.x, t + BarHeight, c.w, H - t - BarHeight - 2 - 4);
    p.picAdvBack = QRect(c.x, t - AdvHeight, c.w, AdvHeight);
    s.lngUpperBarTop = t - AdvHeight - BarHeight;
    p.HSplitterBar = QRect(c.x, s.lngUpperBarTop, c.w, BarHeight);
    const int listTop = CaptionHeight + 25 + 8;
    p.lstUser = QRect(c.x, listTop, c.w, s.lngUpperBarTop - listTop);
    return p;
}

SplitterBand SplitterMiddleBand(int hs)
{
    return {(hs - SplitterBandHeight) / 2, (hs + SplitterBandHeight) / 2};
}

void ToggleSplitterCollapse(FrameLayoutState& s, int W)
{
    if (s.blnSplitterCollapsed) {
        s.lngSplitterLeft = s.lngSplitterSaved;
        s.blnSplitterCollapsed = false;
    } else {
        s.lngSplitterSaved = s.lngSplitterLeft;
        s.lngSplitterLeft = W - SplitterWidth - ColumnGap;
        s.blnSplitterCollapsed = true;
    }
}

bool SplitterDragAllowed(int left, int W)
{
    return left >= SplitterMinLeft && left <= W - SplitterMinRightGap;
}

void FinishSplitterDrag(FrameLayoutState& s, int left, int W)
{
    if (left > W - SplitterMinRightGap) left = W - SplitterMinRightGap;
    if (left < SplitterMinLeft) left = SplitterMinLeft;
    s.lngSplitterLeft = left;
    s.lngColumnWidth = ColumnWidthAt(left, W);
    s.blnSplitterCollapsed = false;
    s.blnSplitterMoved = true;
}

std::array<QPoint, 3> SysButtonPositions(int W)
{
    const int x0 = W - 100;
    return {QPoint(x0, 7), QPoint(x0 + 26, 7), QPoint(x0 + 52, 7)};
}

std::array<QPoint, 2> UserButtonPositions(int stripWidth)
{
    const int w = stripWidth / 3;
    const int x0 = w - 30;
    return {QPoint(x0, 4), QPoint(x0 + w + 20, 4)};
}
