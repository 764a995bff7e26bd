#include "tableview/tablewidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <exception>
#include <utility>

GameTableWidget::GameTableWidget(PaintCtx& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // Only what was drawn on goes to the screen: a clock tick copies its clock and its seconds,
    // not the whole table.
    ctx_.surf.onChanged = [this]() {
        const QRegion changed = ctx_.surf.takeChanged();
        if (!changed.isEmpty()) update(changed);
    };
}

GameTableWidget::~GameTableWidget()
{
    ctx_.surf.onChanged = nullptr;
}

void GameTableWidget::paintEvent(QPaintEvent* e)
{
    // Only a copy of the table's picture: everything is drawn into it beforehand. Each part of
    // the region on its own: its bounding rectangle may be most of the table.
    // The picture is at device pixels: each part is copied as it is, unscaled.
    if (ctx_.surf.devicePixelRatio() != devicePixelRatioF()) QTimer::singleShot(0, this, [this] { followScreen(); });
    QPainter p(this);
    const Surface& surf = ctx_.surf;
    const QRect logical(0, 0, surf.width(), surf.height());
    for (const QRect& r : e->region()) {
        const QRect in = r.intersected(logical);
        if (in.isEmpty()) continue;
        const QRect d = surf.deviceRect(in);
        p.drawImage(QPointF(d.topLeft()) / surf.devicePixelRatio(), surf.image(), d);
    }
    // Beyond the picture (only while a resize is on its way): the table colour.
    const QRegion rest = e->region().subtracted(QRegion(logical));
    for (const QRect& part : rest) p.fillRect(part, ctx_.surf.backColor);
}

void GameTableWidget::followScreen()
{
    // Moved to a screen of another scale: the table is drawn again at its device pixels.
    if (ctx_.surf.devicePixelRatio() == devicePixelRatioF()) return;
    resizeEvent(nullptr);
}

void GameTableWidget::resizeEvent(QResizeEvent*)
{
    try {
        ctx_.surf.setDevicePixelRatio(devicePixelRatioF());
        // The played-cards layout depends on the screen the table is shown on.
        if (const QScreen* s = screen()) ctx_.p.ScreenWidthPx = s->geometry().width();
        if (picGameBack_Resize(ctx_, width(), height(), onResized) && onRepainted) onRepainted();
    } catch (const std::exception&) {
        // Nothing leaves an event handler; the table shows what was drawn before.
    }
    update();
}

void GameTableWidget::forward(const std::function<void(Qt::MouseButtons, int, int)>& hook, Qt::MouseButtons b,
                              QMouseEvent* e, bool duringBlast)
{
    e->accept();
    if ((ctx_.tv.BlastRunning && !duringBlast) || !hook) return;
    const QPoint pos = e->position().toPoint();
    try {
        hook(b, pos.x(), pos.y());
    } catch (const std::exception&) {
        // The click's handler failed: the click is lost, the table goes on.
    }
}

// Moving only lights the buttons up; it goes on during a blast, so a button under a resting
// mouse is ready for the click once the blast is over.
void GameTableWidget::mouseMoveEvent(QMouseEvent* e) { forward(onMouseMove, e->buttons(), e, true); }

void GameTableWidget::mousePressEvent(QMouseEvent* e) { forward(onMouseDown, e->button(), e); }

void GameTableWidget::mouseReleaseEvent(QMouseEvent* e) { forward(onMouseUp, e->button(), e); }
