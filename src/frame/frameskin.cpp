#include "frame/frameskin.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "platform/draw/imagecache.h"

namespace {

const QColor kSplitterBack(250, 250, 250);
const QString kMoveTag = QStringLiteral("MOVE");

}  // namespace

// ---- SplitterOutline ----

SplitterOutline::SplitterOutline(QWidget* window) : QWidget(window)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

void SplitterOutline::capture(const QRect& area)
{
    QWidget* w = parentWidget();
    if (!w) return;
    const bool wasVisible = isVisible();
    hide();
    area_ = area.intersected(w->rect());
    inverted_ = w->grab(area_).toImage().convertToFormat(QImage::Format_RGB32);
    inverted_.invertPixels();
    if (wasVisible) show();
}

void SplitterOutline::place(const QRect& r)
{
    setGeometry(r);
    show();
    raise();
    update();
}

void SplitterOutline::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const qreal dpr = inverted_.devicePixelRatio() > 0 ? inverted_.devicePixelRatio() : 1.0;
    const QRect src(QPointF((pos() - area_.topLeft()) * dpr).toPoint(), QSizeF(size() * dpr).toSize());
    p.fillRect(rect(), Qt::black);
    if (!inverted_.isNull()) p.drawImage(rect(), inverted_, src);
}

// ---- VSplitterPane ----

VSplitterPane::VSplitterPane(FrameLayoutState& layout, QWidget* window)
    : QWidget(window), lay_(layout), outline_(new SplitterOutline(window))
{
    setMouseTracking(true);
    setCursor(Qt::SplitHCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int VSplitterPane::clientWidth() const
{
    return parentWidget() ? parentWidget()->width() : 0;
}

void VSplitterPane::PaintSplitter(QPainter& p)
{
    if (painting_) return;
    painting_ = true;
    ImageCache& cache = ImageCache::instance();
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    // Placed and tiled by the 1x picture's size; drawn from its 2x version above scale 1.
    auto draw = [&p, dpr](int x, int y, const QImage& img) { p.drawImage(x, y, PictureForRatio(img, dpr)); };
    const int hs = height();
    p.fillRect(rect(), kSplitterBack);
    const QImage bk = cache.get(appPath + QStringLiteral("res\\VSpliterBk.bmp"));
    if (!bk.isNull())
        for (int y = 0; y < hs; y += bk.height()) draw(0, y, bk);
    const QImage mid = cache.get(appPath + QStringLiteral("res\\VSpliterMidBk.bmp"));
    if (!mid.isNull()) {
        const int lo = (hs - FrameMetrics::SplitterBandHeight) / 2;
        p.save();
        p.setClipRect(QRect(0, lo, width(), FrameMetrics::SplitterBandHeight));
        for (int y = lo; y < lo + FrameMetrics::SplitterBandHeight; y += mid.height()) draw(0, y, mid);
        p.restore();
    }
    const QImage arrow = cache.get(appPath + (lay_.blnSplitterCollapsed ? QStringLiteral("res\\VSpliterMid_Left.bmp")
                                                                        : QStringLiteral("res\\VSpliterMid_Right.bmp")));
    if (!arrow.isNull()) draw(0, hs / 2 - 4, arrow);
    painting_ = false;
}

void VSplitterPane::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintSplitter(p);
}

void VSplitterPane::drawOutline(int left)
{
    outlineRect_ = QRect(left, y(), width() - 4, height());
    outline_->place(outlineRect_);
}

void VSplitterPane::eraseOutline()
{
    outline_->hide();
}

void VSplitterPane::mouseMoveEvent(QMouseEvent* e)
{
    if (blocked()) return;
    const int y = int(e->position().y());
    const SplitterBand band = SplitterMiddleBand(height());
    if (band.lo <= y && y <= band.hi) setCursor(Qt::ArrowCursor);
    else setCursor(Qt::SplitHCursor);
    if (tag_ != kMoveTag || !(e->buttons() & Qt::LeftButton)) return;
    const int candidate = startLeft_ + (int(e->position().x()) - downX_);
    // Outside the allowed range the outline stays at its last allowed place.
    if (SplitterDragAllowed(candidate, clientWidth())) drawOutline(candidate);
}

void VSplitterPane::mousePressEvent(QMouseEvent* e)
{
    if (blocked()) return;
    const int y = int(e->position().y());
    const SplitterBand band = SplitterMiddleBand(height());
    if (band.lo < y && y < band.hi) {
        ToggleSplitterCollapse(lay_, clientWidth());
        if (tag_ == kMoveTag) eraseOutline();
        tag_.clear();
        if (relayout) relayout();
        update();
        return;
    }
    if (e->button() != Qt::LeftButton) return;
    downX_ = int(e->position().x());
    startLeft_ = x();
    // Only where the outline can go: from its start and the allowed range, over the splitter's rows.
    const int from = std::min(x(), FrameMetrics::SplitterMinLeft);
    const int to = std::max(x(), clientWidth() - FrameMetrics::SplitterMinRightGap) + width();
    outline_->capture(QRect(from, QWidget::y(), to - from, height()));
    drawOutline(x());
    tag_ = kMoveTag;
}

void VSplitterPane::mouseReleaseEvent(QMouseEvent* e)
{
    if (tag_ != kMoveTag || e->button() != Qt::LeftButton) return;
    eraseOutline();
    tag_.clear();
    // A blast that began during the drag takes the mouse: the drag is dropped, not applied.
    if (blocked()) return;
    FinishSplitterDrag(lay_, outlineRect_.x(), clientWidth());
    if (relayout) relayout();
    update();
}

// ---- UserButtonStrip ----

UserButtonStrip::UserButtonStrip(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void UserButtonStrip::paintEvent(QPaintEvent* e)
{
    // The buttons keep their picture between paints (a hover draws into it); it is drawn anew
    // only when the strip changed size.
    if (onPaint && !painting_ && (image_.deviceIndependentSize() != QSizeF(size()) || image_.devicePixelRatio() != devicePixelRatioF())) {
        painting_ = true;
        onPaint();
        painting_ = false;
    }
    QPainter p(this);
    if (image_.isNull()) {
        p.fillRect(rect(), kSplitterBack);
        return;
    }
    const qreal dpr = image_.devicePixelRatio();
    for (const QRect& r : e->region()) {
        const QRect in = r.intersected(rect());
        if (in.isEmpty()) continue;
        const QRect d(QPoint(qRound(in.x() * dpr), qRound(in.y() * dpr)),
                      QPoint(qRound((in.right() + 1) * dpr) - 1, qRound((in.bottom() + 1) * dpr) - 1));
        p.drawImage(QPointF(d.topLeft()) / dpr, image_, d);
    }
}

void UserButtonStrip::mouseMoveEvent(QMouseEvent* e)
{
    if (onMouseMove) onMouseMove(e->position().toPoint());
}

void UserButtonStrip::mouseReleaseEvent(QMouseEvent* e)
{
    if (onMouseUp) onMouseUp(e);
}

void UserButtonStrip::leaveEvent(QEvent*)
{
    // Off the strip no button is under the mouse any more.
    if (onMouseMove) onMouseMove(QPoint(-1, -1));
}
