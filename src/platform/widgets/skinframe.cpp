#include "skinframe.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

QString FrameEdgeName(FrameEdge e)
{
    switch (e) {
    case FrameEdge::Left: return QStringLiteral("Left");
    case FrameEdge::Right: return QStringLiteral("Right");
    case FrameEdge::Up: return QStringLiteral("Up");
    case FrameEdge::Down: return QStringLiteral("Down");
    case FrameEdge::LeftUp: return QStringLiteral("LeftUp");
    case FrameEdge::RightUp: return QStringLiteral("RightUp");
    case FrameEdge::LeftDown: return QStringLiteral("LeftDown");
    case FrameEdge::RightDown: return QStringLiteral("RightDown");
    case FrameEdge::Move: return QStringLiteral("Move");
    case FrameEdge::None: break;
    }
    return QString();
}

Qt::Edges FrameEdgeSides(FrameEdge e)
{
    switch (e) {
    case FrameEdge::Left: return Qt::LeftEdge;
    case FrameEdge::Right: return Qt::RightEdge;
    case FrameEdge::Up: return Qt::TopEdge;
    case FrameEdge::Down: return Qt::BottomEdge;
    case FrameEdge::LeftUp: return Qt::LeftEdge | Qt::TopEdge;
    case FrameEdge::RightUp: return Qt::RightEdge | Qt::TopEdge;
    case FrameEdge::LeftDown: return Qt::LeftEdge | Qt::BottomEdge;
    case FrameEdge::RightDown: return Qt::RightEdge | Qt::BottomEdge;
    case FrameEdge::Move:
    case FrameEdge::None: break;
    }
    return {};
}

Qt::CursorShape FrameEdgeCursor(FrameEdge e)
{
    switch (e) {
    case FrameEdge::LeftUp:
    case FrameEdge::RightDown: return Qt::SizeFDiagCursor;
    case FrameEdge::RightUp:
    case FrameEdge::LeftDown: return Qt::SizeBDiagCursor;
    case FrameEdge::Left:
    case FrameEdge::Right: return Qt::SizeHorCursor;
    case FrameEdge::Up:
    case FrameEdge::Down: return Qt::SizeVerCursor;
    case FrameEdge::Move:
    case FrameEdge::None: break;
    }
    return Qt::ArrowCursor;
}

FrameEdge HitFrameEdge(const QRect& w, const QPoint& p, int band, int moveTop, int moveBottom, bool overButton)
{
    // Right and bottom are exclusive, as a window rectangle of the system gives them.
    const int L = w.x(), T = w.y(), R = w.x() + w.width(), B = w.y() + w.height();
    const int x = p.x(), y = p.y();
    if (band > 0) {
        const bool left = x < L + band, right = x > R - band, up = y < T + band, down = y > B - band;
        if (left && up) return FrameEdge::LeftUp;
        if (right && down) return FrameEdge::RightDown;
        if (right && up) return FrameEdge::RightUp;
        if (left && down) return FrameEdge::LeftDown;
        if (left) return FrameEdge::Left;
        if (right) return FrameEdge::Right;
        if (up) return FrameEdge::Up;
        if (down) return FrameEdge::Down;
    }
    const bool inside = x >= L && x < R && y >= T && y < B;
    if (inside && moveBottom >= moveTop && y >= T + moveTop && y <= T + moveBottom && !overButton)
        return FrameEdge::Move;
    return FrameEdge::None;
}

namespace {

SystemFrameDrag& ReplacedSystemDrag()
{
    static SystemFrameDrag drag;
    return drag;
}

bool AskSystem(QWindow* w, FrameEdge e)
{
    if (const SystemFrameDrag& replaced = ReplacedSystemDrag()) return replaced(w, e);
    if (e == FrameEdge::Move) return w->startSystemMove();
    return w->startSystemResize(FrameEdgeSides(e));
}

// The new geometry of a window dragged by delta from start, keeping its size within min..max and
// the sides that do not move where they were.
QRect Followed(const QRect& start, FrameEdge e, QPoint d, QSize min, QSize max)
{
    if (e == FrameEdge::Move) return start.translated(d);
    const Qt::Edges sides = FrameEdgeSides(e);
    QRect r = start;
    if (sides & Qt::LeftEdge) {
        const int w = qBound(min.width(), start.width() - d.x(), max.width());
        r.setLeft(start.right() + 1 - w);
    } else if (sides & Qt::RightEdge) {
        r.setWidth(qBound(min.width(), start.width() + d.x(), max.width()));
    }
    if (sides & Qt::TopEdge) {
        const int h = qBound(min.height(), start.height() - d.y(), max.height());
        r.setTop(start.bottom() + 1 - h);
    } else if (sides & Qt::BottomEdge) {
        r.setHeight(qBound(min.height(), start.height() + d.y(), max.height()));
    }
    return r;
}

// A drag the window system would not take: the window follows the mouse until the left button is
// up. It watches every mouse event of the program, since the press may have been on a child of
// the window and the child then receives the moves.
class DragFollower : public QObject {
public:
    DragFollower(QWidget* w, FrameEdge e, QPoint press)
        : window_(w), edge_(e), press_(press), start_(w->geometry())
    {
        qApp->installEventFilter(this);
    }
    ~DragFollower() override
    {
        if (qApp) qApp->removeEventFilter(this);
    }
    const QWidget* window() const { return window_; }

    static QPointer<DragFollower>& current()
    {
        static QPointer<DragFollower> f;
        return f;
    }

protected:
    bool eventFilter(QObject*, QEvent* ev) override
    {
        const QEvent::Type t = ev->type();
        if (t != QEvent::MouseMove && t != QEvent::MouseButtonRelease && t != QEvent::MouseButtonPress) return false;
        const auto* me = static_cast<QMouseEvent*>(ev);
        if (!window_) {
            finish();
            return false;
        }
        const QPoint g = me->globalPosition().toPoint();
        if (t == QEvent::MouseMove && (me->buttons() & Qt::LeftButton)) {
            follow(g);
            return true;
        }
        if (t == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton) {
            follow(g);
            finish();
            return true;
        }
        // A move without the button (its release went elsewhere) or another press ends the drag.
        finish();
        return false;
    }

private:
    void follow(QPoint g)
    {
        const QRect r = Followed(start_, edge_, g - press_, window_->minimumSize(), window_->maximumSize());
        if (r != window_->geometry()) window_->setGeometry(r);
    }
    void finish()
    {
        qApp->removeEventFilter(this);
        deleteLater();
        current() = nullptr;
    }

    QPointer<QWidget> window_;
    FrameEdge edge_;
    QPoint press_;
    QRect start_;
};

}  // namespace

void SetSystemFrameDrag(SystemFrameDrag drag) { ReplacedSystemDrag() = std::move(drag); }

bool FrameDragFollowing(const QWidget* window)
{
    const QPointer<DragFollower>& f = DragFollower::current();
    return f && f->window() == window;
}

bool StartFrameDrag(QWidget* window, FrameEdge edge, const QPoint& globalPress)
{
    if (!window || edge == FrameEdge::None) return false;
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return false;
    QWindow* handle = window->window()->windowHandle();
    if (!handle) return false;
    if (DragFollower::current()) return false;   // one mouse, one drag
    if (AskSystem(handle, edge)) return true;
    DragFollower::current() = new DragFollower(window->window(), edge, globalPress);
    return true;
}

// ---- SkinButtons ----

SkinButtons::SkinButtons(QObject* parent) : QObject(parent) {}

void SkinButtons::setButtons(QSize size, const QVector<QPoint>& topLefts)
{
    size_ = size;
    pos_ = topLefts;
    if (hot_ >= count()) hot_ = -1;
}

void SkinButtons::setPos(int i, QPoint topLeft)
{
    if (i >= 0 && i < count()) pos_[i] = topLeft;
}

QPoint SkinButtons::pos(int i) const { return i >= 0 && i < count() ? pos_[i] : QPoint(); }

QRect SkinButtons::rect(int i) const { return i >= 0 && i < count() ? QRect(pos_[i], size_) : QRect(); }

int SkinButtons::hit(QPoint p) const
{
    for (int i = 0; i < count(); ++i) {
        const QPoint b = pos_[i];
        if (b.x() < p.x() && p.x() < b.x() + size_.width() && b.y() < p.y() && p.y() < b.y() + size_.height())
            return i;
    }
    return -1;
}

void SkinButtons::setHot(int i)
{
    if (i >= count()) i = -1;
    if (i < -1) i = -1;
    if (i == hot_) return;
    const int previous = hot_;
    hot_ = i;
    emit HotChanged(previous, i);
}

// ---- SkinFrame ----

SkinFrame::SkinFrame(QWidget* window) : QObject(window), window_(window)
{
    window_->setWindowFlag(Qt::FramelessWindowHint, true);
    window_->setMouseTracking(true);
    window_->installEventFilter(this);
}

void SkinFrame::setMoveBand(int top, int bottom)
{
    moveTop_ = top;
    moveBottom_ = bottom;
}

FrameEdge SkinFrame::edgeAt(QPoint screenPoint) const
{
    const QRect r = window_->frameGeometry();
    const bool overButton = buttons_.hit(window_->mapFromGlobal(screenPoint)) >= 0;
    return HitFrameEdge(r, screenPoint, band_, moveTop_, moveBottom_, overButton);
}

void SkinFrame::setPointer(FrameEdge e)
{
    const bool arrows = FrameEdgeSides(e) != Qt::Edges();
    const bool hadArrows = FrameEdgeSides(pointerFor_) != Qt::Edges();
    pointerFor_ = e;
    if (arrows) window_->setCursor(FrameEdgeCursor(e));
    else if (hadArrows) window_->unsetCursor();
}

FrameEdge SkinFrame::TrackCursor()
{
    // A maximised window shows no resize arrows: its edges cannot be dragged.
    const bool fixed = window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    edge_ = edgeAt(QCursor::pos());
    setPointer(fixed || FrameDragFollowing(window_) ? FrameEdge::None : edge_);
    return edge_;
}

bool SkinFrame::StartDrag(QPoint globalPress)
{
    edge_ = edgeAt(globalPress);
    return StartFrameDrag(window_, edge_, globalPress);
}

bool SkinFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window_) return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        if (!gateOpen()) return false;
        const auto* me = static_cast<QMouseEvent*>(event);
        buttons_.setHot(buttons_.hit(me->position().toPoint()));
        if (!FrameDragFollowing(window_)) {
            edge_ = edgeAt(me->globalPosition().toPoint());
            const bool fixed = window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
            setPointer(fixed ? FrameEdge::None : edge_);
        }
        return false;
    }
    case QEvent::MouseButtonPress: {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() != Qt::LeftButton || !gateOpen()) return false;
        const QPoint g = me->globalPosition().toPoint();
        edge_ = edgeAt(g);
        if (edge_ == FrameEdge::None) return false;
        return StartFrameDrag(window_, edge_, g);
    }
    case QEvent::MouseButtonRelease: {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() != Qt::LeftButton || !gateOpen()) return false;
        edge_ = edgeAt(me->globalPosition().toPoint());
        if (edge_ != FrameEdge::None) return false;
        const int i = buttons_.hit(me->position().toPoint());
        if (i >= 0) emit ButtonClicked(i);
        return false;
    }
    case QEvent::Leave:
        if (gateOpen()) buttons_.setHot(-1);
        return false;
    default: return false;
    }
}
