#pragma once
// The frame of a borderless window that draws its own caption and border from pictures.
//
// The window keeps drawing everything itself (caption band, border, button pictures); these
// pieces decide and report what the mouse does to the frame:
//
//   SkinButtons   a row of picture buttons: positions, strict hit test, the highlighted one.
//   SkinFrame     attached to a top-level window: which edge or band the mouse is over and the
//                 pointer shape that goes with it, caption buttons (a SkinButtons), a press on an
//                 edge or on the caption band handed to the window system as a resize or a move,
//                 and a click on a caption button reported.
//   StartFrameDrag  the same hand-over as one call, for a window that handles its own mouse
//                 presses (a press on its top band, say).
//
// A typical borderless window:
//
//   auto* frame = new SkinFrame(this);             // makes the window frameless
//   frame->setMoveBand(0, 32);                     // a press on rows 0..32 moves the window
//   frame->setResizeBand(0);                       // not resized from its edges
//   frame->captionButtons().setButtons(QSize(17, 17), {{689, 2}, {710, 2}});
//   connect(frame, &SkinFrame::ButtonClicked, this, [this](int i) { i ? close() : showMinimized(); });
//   connect(&frame->captionButtons(), &SkinButtons::HotChanged, this, [this](int, int) { update(); });
//
// Where the window system cannot take a move or a resize over (no window manager that offers
// it), the window follows the mouse by itself until the button is released, so dragging works
// everywhere.
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <functional>

class QMouseEvent;
class QTimer;
class QWidget;
class QWindow;

// Where the mouse is on a window's frame: one of its eight edges and corners, the caption band
// that moves the window, or none of them.
enum class FrameEdge { None, Left, Right, Up, Down, LeftUp, RightUp, LeftDown, RightDown, Move };

// "Left", "Right", "Up", "Down", "LeftUp", "RightUp", "LeftDown", "RightDown", "Move" or "".
QString FrameEdgeName(FrameEdge e);
// The window edges a resize from e moves (none for Move and None).
Qt::Edges FrameEdgeSides(FrameEdge e);
// The pointer shown over e: the resize arrows on edges and corners, the default elsewhere.
Qt::CursorShape FrameEdgeCursor(FrameEdge e);

// The frame part under a screen point. window: the window's screen rectangle, right and bottom
// exclusive (x + width, y + height); band: how near an edge counts as on it (0: never); the
// caption band is the rows moveTop..moveBottom of the window (inclusive; an empty range: none).
// Corners are tested first, then the sides, then the caption band; overButton: the point is on a
// caption button, which is never part of the band.
FrameEdge HitFrameEdge(const QRect& window, const QPoint& screenPoint, int band, int moveTop, int moveBottom,
                       bool overButton);

// Hands a move (Move) or a resize (an edge or corner) of the window to the window system, as a
// press at globalPress with the left button down would. A maximised window, None and a window
// without a native handle do nothing. When the system refuses, the window follows the mouse
// itself until the left button is released (keeping its minimum and maximum size). Returns true
// when a drag started either way.
bool StartFrameDrag(QWidget* window, FrameEdge edge, const QPoint& globalPress);
// A move of the window from a press at globalPress (its caption or top band).
inline bool StartSystemMove(QWidget* window, const QPoint& globalPress)
{
    return StartFrameDrag(window, FrameEdge::Move, globalPress);
}
// True while a drag that the window follows itself is running.
bool FrameDragFollowing(const QWidget* window);

// What the window system is asked; replaceable so a test can see the request, or make the
// system refuse. Returns true when the system took the drag over.
using SystemFrameDrag = std::function<bool(QWindow* window, FrameEdge edge)>;
void SetSystemFrameDrag(SystemFrameDrag drag);   // an empty function restores the real one

// A row of picture buttons of one size on some surface, in that surface's coordinates.
class SkinButtons : public QObject {
    Q_OBJECT
public:
    explicit SkinButtons(QObject* parent = nullptr);

    void setButtons(QSize size, const QVector<QPoint>& topLefts);
    void setPos(int i, QPoint topLeft);
    int count() const { return int(pos_.size()); }
    QSize buttonSize() const { return size_; }
    QPoint pos(int i) const;
    QRect rect(int i) const;

    // The first button whose inside holds p: bx < x < bx + w and by < y < by + h, strict on all
    // four sides (a point on a button's outline is not on it). -1 for none.
    int hit(QPoint p) const;

    // The highlighted button, -1 for none.
    int hot() const { return hot_; }
    // Makes i the highlighted button (-1: none). Nothing happens when i is already highlighted;
    // otherwise HotChanged tells the owner which button to draw plain and which highlighted.
    void setHot(int i);

signals:
    // previous: the button to draw plain again (-1: none); current: to draw highlighted (-1: none).
    void HotChanged(int previous, int current);

private:
    QSize size_;
    QVector<QPoint> pos_;
    int hot_ = -1;
};

// The frame behaviour of one borderless top-level window (see the top of this file).
class SkinFrame : public QObject {
    Q_OBJECT
public:
    // Attaches to the window and makes it frameless; the frame lives as long as the window.
    explicit SkinFrame(QWidget* window);

    QWidget* window() const { return window_; }

    // How near the window's edges a press resizes it (0: not resizable by the mouse).
    void setResizeBand(int px) { band_ = px; }
    int resizeBand() const { return band_; }
    // The rows of the window (client y, inclusive) where a press moves it; bottom < top: none.
    void setMoveBand(int top, int bottom);
    int moveBandTop() const { return moveTop_; }
    int moveBandBottom() const { return moveBottom_; }

    // While the gate says no (an animation that must not be disturbed, say), the window's own
    // mouse events do nothing to the frame: no hover, no drag, no click.
    void setInputGate(std::function<bool()> open) { gate_ = std::move(open); }

    SkinButtons& captionButtons() { return buttons_; }
    const SkinButtons& captionButtons() const { return buttons_; }

    // Where the mouse is now, from the cursor position; also sets the window's pointer. Meant to be
    // run on a timer as well as on mouse moves, so the pointer follows the mouse leaving the window.
    FrameEdge TrackCursor();
    // The frame part under a screen point, and the one found by the last tracking.
    FrameEdge edgeAt(QPoint screenPoint) const;
    FrameEdge edge() const { return edge_; }

    // Hands the drag for the part under globalPress to the window system (see StartFrameDrag).
    bool StartDrag(QPoint globalPress);

signals:
    // The left button went up over caption button i, with no drag.
    void ButtonClicked(int i);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool gateOpen() const { return !gate_ || gate_(); }
    void setPointer(FrameEdge e);

    QWidget* window_;
    SkinButtons buttons_;
    std::function<bool()> gate_;
    int band_ = 5;
    int moveTop_ = 0, moveBottom_ = -1;
    FrameEdge edge_ = FrameEdge::None;
    FrameEdge pointerFor_ = FrameEdge::None;
};
