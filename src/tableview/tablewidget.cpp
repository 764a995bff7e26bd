#include "tableview/tablewidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
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
    QPainter p(this);
    const QImage& img = std::as_const(ctx_.surf).image();
    for (const QRect& r : e->region()) {
        const QRect in = r.intersected(img.rect());
        if (!in.isEmpty()) p.drawImage(in.topLeft(), img, in);
    }
    // Beyond the picture (only while a resize is on its way): the table colour.
    const QRegion rest = e->region().subtracted(QRegion(img.rect()));
    for (const QRect& part : rest) p.fillRect(part, ctx_.surf.backColor);
}

void GameTableWidget::resizeEvent(QResizeEvent*)
{
    try {
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
