// The frame of a borderless window: which part of the frame a point is on, picture buttons with
// strict hit tests and their highlight, and moves and resizes handed to the window system or,
// where it refuses, followed by the window itself.
#include "platform/widgets/skinframe.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

struct EdgeCase {
    int x, y;
    bool overButton;
    FrameEdge edge;
};

// A window at (100, 50), 400 x 300: right and bottom exclusive at 500 and 350; band 5; the
// caption band is rows 6..34.
TEST(HitFrameEdge, CornersThenSidesThenTheCaptionBand)
{
    const QRect w(100, 50, 400, 300);
    const EdgeCase cases[] = {
        {100, 50, false, FrameEdge::LeftUp},     {104, 54, false, FrameEdge::LeftUp},
        {496, 346, false, FrameEdge::RightDown}, {499, 349, false, FrameEdge::RightDown},
        {496, 54, false, FrameEdge::RightUp},    {104, 346, false, FrameEdge::LeftDown},
        {104, 200, false, FrameEdge::Left},      {105, 200, false, FrameEdge::None},
        {496, 200, false, FrameEdge::Right},     {495, 200, false, FrameEdge::None},
        {300, 54, false, FrameEdge::Up},         {300, 55, false, FrameEdge::None},   // row 5: neither
        {300, 56, false, FrameEdge::Move},       {300, 84, false, FrameEdge::Move},
        {300, 85, false, FrameEdge::None},       {300, 346, false, FrameEdge::Down},
        {300, 60, true, FrameEdge::None},        // on a caption button
        {104, 60, true, FrameEdge::Left},        // edges win over buttons
        {50, 60, false, FrameEdge::Left},        // outside, left of the window: still the left band
    };
    for (const EdgeCase& c : cases)
        EXPECT_EQ(HitFrameEdge(w, QPoint(c.x, c.y), 5, 6, 34, c.overButton), c.edge)
            << c.x << "," << c.y << " " << FrameEdgeName(c.edge).toStdString();
    // Without a resize band and with a top band of rows 0..32 (a window that only moves).
    EXPECT_EQ(HitFrameEdge(w, QPoint(101, 50), 0, 0, 32, false), FrameEdge::Move);
    EXPECT_EQ(HitFrameEdge(w, QPoint(101, 82), 0, 0, 32, false), FrameEdge::Move);
    EXPECT_EQ(HitFrameEdge(w, QPoint(101, 83), 0, 0, 32, false), FrameEdge::None);
    EXPECT_EQ(HitFrameEdge(w, QPoint(99, 60), 0, 0, 32, false), FrameEdge::None);
}

TEST(FrameEdge, NamesSidesAndPointers)
{
    struct Case {
        FrameEdge e;
        const char* name;
        Qt::Edges sides;
        Qt::CursorShape pointer;
    };
    const Case cases[] = {
        {FrameEdge::None, "", {}, Qt::ArrowCursor},
        {FrameEdge::Left, "Left", Qt::LeftEdge, Qt::SizeHorCursor},
        {FrameEdge::Right, "Right", Qt::RightEdge, Qt::SizeHorCursor},
        {FrameEdge::Up, "Up", Qt::TopEdge, Qt::SizeVerCursor},
        {FrameEdge::Down, "Down", Qt::BottomEdge, Qt::SizeVerCursor},
        {FrameEdge::LeftUp, "LeftUp", Qt::LeftEdge | Qt::TopEdge, Qt::SizeFDiagCursor},
        {FrameEdge::RightDown, "RightDown", Qt::RightEdge | Qt::BottomEdge, Qt::SizeFDiagCursor},
        {FrameEdge::RightUp, "RightUp", Qt::RightEdge | Qt::TopEdge, Qt::SizeBDiagCursor},
        {FrameEdge::LeftDown, "LeftDown", Qt::LeftEdge | Qt::BottomEdge, Qt::SizeBDiagCursor},
        {FrameEdge::Move, "Move", {}, Qt::ArrowCursor},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FrameEdgeName(c.e), QString::fromLatin1(c.name));
        EXPECT_EQ(FrameEdgeSides(c.e), c.sides) << c.name;
        EXPECT_EQ(FrameEdgeCursor(c.e), c.pointer) << c.name;
    }
}

TEST(SkinButtons, StrictHitsAndOneHighlight)
{
    SkinButtons b;
    b.setButtons(QSize(21, 21), {QPoint(900, 7), QPoint(926, 7)});
    struct Case {
        int x, y, hit;
    };
    const Case cases[] = {{900, 10, -1}, {901, 10, 0}, {920, 10, 0}, {921, 10, -1}, {910, 7, -1},
                          {910, 8, 0},   {910, 27, 0}, {910, 28, -1}, {927, 27, 1}, {925, 15, -1}};
    for (const Case& c : cases) EXPECT_EQ(b.hit(QPoint(c.x, c.y)), c.hit) << c.x << "," << c.y;

    QSignalSpy spy(&b, &SkinButtons::HotChanged);
    b.setHot(0);
    b.setHot(0);   // already highlighted: nothing
    b.setHot(1);
    b.setHot(-1);
    b.setHot(-1);
    b.setHot(5);   // no such button: none
    ASSERT_EQ(spy.size(), 3);
    EXPECT_EQ(spy[0], (QList<QVariant>{-1, 0}));
    EXPECT_EQ(spy[1], (QList<QVariant>{0, 1}));
    EXPECT_EQ(spy[2], (QList<QVariant>{1, -1}));
    EXPECT_EQ(b.hot(), -1);
}

// A borderless window on the screen, with what the window system is asked recorded.
struct Window {
    QWidget w;
    SkinFrame* frame;
    QList<FrameEdge> asked;
    bool systemTakes = false;

    Window()
    {
        frame = new SkinFrame(&w);
        frame->setMoveBand(6, 34);
        frame->captionButtons().setButtons(QSize(21, 21), {QPoint(300, 7), QPoint(326, 7), QPoint(352, 7)});
        w.setMinimumSize(200, 150);
        w.setGeometry(100, 100, 400, 300);
        w.show();
        SetSystemFrameDrag([this](QWindow*, FrameEdge e) {
            asked.append(e);
            return systemTakes;
        });
    }
    ~Window() { SetSystemFrameDrag({}); }

    void send(QWidget* to, QEvent::Type t, QPoint local, Qt::MouseButton b, Qt::MouseButtons held)
    {
        QMouseEvent e(t, QPointF(local), QPointF(to->mapToGlobal(local)), b, held, Qt::NoModifier);
        QApplication::sendEvent(to, &e);
    }
    // Presses at a point of the window, moves by delta and releases.
    void drag(QPoint at, QPoint delta)
    {
        send(&w, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        // Later events are reported against the window's position at the press.
        const QPoint g0 = w.mapToGlobal(at);
        auto global = [&](QPoint d) {
            QMouseEvent e(QEvent::MouseMove, QPointF(at + d), QPointF(g0 + d), Qt::NoButton, Qt::LeftButton,
                          Qt::NoModifier);
            QApplication::sendEvent(&w, &e);
        };
        global(delta / 2);
        global(delta);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(at + delta), QPointF(g0 + delta), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &up);
    }
};

struct DragCase {
    const char* name;
    QPoint at;      // press point in the window
    QPoint delta;
    QRect after;    // the window's geometry after the drag
};

TEST(SkinFrame, TheWindowFollowsWhenTheSystemRefuses)
{
    const DragCase cases[] = {
        {"caption_band_moves", {150, 20}, {40, 25}, {140, 125, 400, 300}},
        {"right_edge_widens", {398, 150}, {50, 30}, {100, 100, 450, 300}},
        {"left_edge_keeps_the_right_side", {2, 150}, {-30, 0}, {70, 100, 430, 300}},
        {"bottom_right_corner", {398, 298}, {20, 40}, {100, 100, 420, 340}},
        {"top_edge_not_below_the_minimum", {150, 1}, {0, 250}, {100, 250, 400, 150}},
        {"caption_button_does_nothing", {310, 17}, {40, 25}, {100, 100, 400, 300}},
        {"below_the_band_does_nothing", {150, 100}, {40, 25}, {100, 100, 400, 300}},
    };
    for (const DragCase& c : cases) {
        Window t;
        t.drag(c.at, c.delta);
        EXPECT_EQ(t.w.geometry(), c.after) << c.name;
        EXPECT_FALSE(FrameDragFollowing(&t.w)) << c.name;   // the release ended it
    }
}

TEST(SkinFrame, TheSystemTakesTheDragWhenItCan)
{
    Window t;
    t.systemTakes = true;
    t.drag({398, 150}, {50, 0});
    t.drag({150, 20}, {50, 0});
    t.drag({2, 2}, {50, 0});
    EXPECT_EQ(t.asked, (QList<FrameEdge>{FrameEdge::Right, FrameEdge::Move, FrameEdge::LeftUp}));
    EXPECT_EQ(t.w.geometry(), QRect(100, 100, 400, 300));   // the system moves it, not we
}

TEST(SkinFrame, AMaximisedWindowIsNeitherMovedNorResized)
{
    Window t;
    t.w.showMaximized();
    const QRect before = t.w.geometry();
    t.drag(QPoint(t.w.width() - 2, 150), QPoint(-50, 0));
    t.drag({150, 20}, {40, 40});
    EXPECT_TRUE(t.asked.isEmpty());
    EXPECT_EQ(t.w.geometry(), before);
    EXPECT_FALSE(StartFrameDrag(&t.w, FrameEdge::Move, QPoint()));
}

TEST(SkinFrame, ButtonsHighlightAndClickAndTheGateStopsIt)
{
    Window t;
    QSignalSpy clicked(t.frame, &SkinFrame::ButtonClicked);
    t.send(&t.w, QEvent::MouseMove, {330, 15}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(t.frame->captionButtons().hot(), 1);
    t.send(&t.w, QEvent::MouseButtonPress, {330, 15}, Qt::LeftButton, Qt::LeftButton);
    t.send(&t.w, QEvent::MouseButtonRelease, {330, 15}, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked[0][0].toInt(), 1);
    EXPECT_TRUE(t.asked.isEmpty());
    // Leaving the window takes the highlight away.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&t.w, &leave);
    EXPECT_EQ(t.frame->captionButtons().hot(), -1);

    bool open = false;
    t.frame->setInputGate([&] { return open; });
    t.send(&t.w, QEvent::MouseMove, {355, 15}, Qt::NoButton, Qt::NoButton);
    t.send(&t.w, QEvent::MouseButtonRelease, {355, 15}, Qt::LeftButton, Qt::NoButton);
    t.drag({398, 150}, {50, 0});
    EXPECT_EQ(t.frame->captionButtons().hot(), -1);
    EXPECT_EQ(clicked.size(), 1);
    EXPECT_TRUE(t.asked.isEmpty());
    EXPECT_EQ(t.w.width(), 400);
}

TEST(SkinFrame, PointerFollowsTheEdges)
{
    Window t;
    t.send(&t.w, QEvent::MouseMove, {398, 150}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(t.frame->edge(), FrameEdge::Right);
    EXPECT_EQ(t.w.cursor().shape(), Qt::SizeHorCursor);
    t.send(&t.w, QEvent::MouseMove, {2, 298}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(t.w.cursor().shape(), Qt::SizeBDiagCursor);
    t.send(&t.w, QEvent::MouseMove, {150, 20}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(t.frame->edge(), FrameEdge::Move);
    EXPECT_EQ(t.w.cursor().shape(), Qt::ArrowCursor);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
