#include "platform/draw/surface.h"

#include "platform/draw/gamefont.h"
#include "platform/draw/imagecache.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

// The families asked for by name are the ones the game's texts were laid out with; they are
// rarely installed here, so each is followed by an installed CJK family of similar weight.
// Without the fallback, fontconfig may hand back a Latin-only face and Chinese text shows boxes.
QFont makeFont(const QString& name, int points, bool bold, bool crispAllowed)
{
    // Points at 96 dpi, rounded like the original layout (9 pt = 12 px), so pixel positions hold
    // whatever the screen's logical dpi is.
    const int px = std::max(1, (points * 96 + 36) / 72);
    // Small sizes use the face with hand-tuned bitmap strokes and no smoothing: crisp, solid
    // pixels of exactly the text colour, as the table's small captions always looked. Large
    // sizes are smoothed. At a higher device pixel ratio the strokes have pixels enough:
    // smoothed like the large ones.
    const bool small = px <= 16 && crispAllowed;
    return GameFont(name, px, bold, small);
}

// Tiles of the drawn-since-the-clear map: two cache lines of 16 rows.
constexpr int kTileW = 32;
constexpr int kTileH = 16;
// Rectangles kept for the screen before they are merged into the one that bounds them all.
constexpr size_t kMaxChanged = 24;

constexpr QRgb kOpaque = 0xff000000u;

// The raster operations on a block of rows, written so the compiler turns them into vector code:
// no aliasing between the rows (a copy within the picture goes through a copy of its source) and
// nothing but the operation in the inner loop. Where the processor has them, the 32-byte vector
// instructions are used, chosen once when the program starts.
#if defined(__x86_64__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define KVRN_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef KVRN_VECTOR_CLONES
#define KVRN_VECTOR_CLONES
#endif

// Rows of n pixels, `rows` of them, each row `bpl` bytes after the previous one.
struct Rows {
    uchar* d;
    qsizetype dbpl;
    int n;
    int rows;
};

inline QRgb* rowAt(const Rows& r, int y) { return reinterpret_cast<QRgb*>(r.d + y * r.dbpl); }

inline const QRgb* rowAt(const uchar* base, qsizetype bpl, int y)
{
    return reinterpret_cast<const QRgb*>(base + y * bpl);
}

KVRN_VECTOR_CLONES void copyRows(Rows r, const uchar* s, qsizetype sbpl, bool mirY)
{
    for (int y = 0; y < r.rows; ++y) {
        QRgb* __restrict d = rowAt(r, y);
        const QRgb* __restrict sp = rowAt(s, sbpl, mirY ? -y : y);
        for (int i = 0; i < r.n; ++i) d[i] = sp[i] | kOpaque;
    }
}

KVRN_VECTOR_CLONES void andRows(Rows r, const uchar* s, qsizetype sbpl, bool mirY)
{
    for (int y = 0; y < r.rows; ++y) {
        QRgb* __restrict d = rowAt(r, y);
        const QRgb* __restrict sp = rowAt(s, sbpl, mirY ? -y : y);
        for (int i = 0; i < r.n; ++i) d[i] = (d[i] & sp[i]) | kOpaque;
    }
}

KVRN_VECTOR_CLONES void orRows(Rows r, const uchar* s, qsizetype sbpl, bool mirY)
{
    for (int y = 0; y < r.rows; ++y) {
        QRgb* __restrict d = rowAt(r, y);
        const QRgb* __restrict sp = rowAt(s, sbpl, mirY ? -y : y);
        for (int i = 0; i < r.n; ++i) d[i] = d[i] | sp[i] | kOpaque;
    }
}

KVRN_VECTOR_CLONES void notRows(Rows r, const uchar* s, qsizetype sbpl, bool mirY)
{
    for (int y = 0; y < r.rows; ++y) {
        QRgb* __restrict d = rowAt(r, y);
        const QRgb* __restrict sp = rowAt(s, sbpl, mirY ? -y : y);
        for (int i = 0; i < r.n; ++i) d[i] = ~sp[i] | kOpaque;
    }
}

// A mask ANDed and a face ORed in one pass.
KVRN_VECTOR_CLONES void maskRows(Rows r, const uchar* m, qsizetype mbpl, const uchar* f, qsizetype fbpl)
{
    for (int y = 0; y < r.rows; ++y) {
        QRgb* __restrict d = rowAt(r, y);
        const QRgb* __restrict mp = rowAt(m, mbpl, y);
        const QRgb* __restrict fp = rowAt(f, fbpl, y);
        for (int i = 0; i < r.n; ++i) d[i] = (d[i] & mp[i]) | fp[i] | kOpaque;
    }
}

KVRN_VECTOR_CLONES void fillRows(Rows r, QRgb v)
{
    for (int y = 0; y < r.rows; ++y) {
        QRgb* __restrict d = rowAt(r, y);
        for (int i = 0; i < r.n; ++i) d[i] = v;
    }
}

inline void applyRop(QRgb* d, QRgb s, Rop rop)
{
    switch (rop) {
    case Rop::Copy: *d = s | kOpaque; break;
    case Rop::And: *d = (*d & s) | kOpaque; break;
    case Rop::Or: *d = *d | s | kOpaque; break;
    case Rop::NotCopy: *d = ~s | kOpaque; break;
    }
}

bool is32Bit(const QImage& img)
{
    return img.format() == QImage::Format_RGB32 || img.format() == QImage::Format_ARGB32;
}

QImage as32Bit(const QImage& img)
{
    return is32Bit(img) ? img : img.convertToFormat(QImage::Format_RGB32);
}

inline QRgb* pixelRow(uchar* base, qsizetype bpl, int y) { return reinterpret_cast<QRgb*>(base + y * bpl); }

QPainter::CompositionMode modeOf(Rop rop)
{
    switch (rop) {
    case Rop::And: return QPainter::RasterOp_SourceAndDestination;
    case Rop::Or: return QPainter::RasterOp_SourceOrDestination;
    case Rop::NotCopy: return QPainter::RasterOp_NotSource;
    case Rop::Copy: break;
    }
    return QPainter::CompositionMode_Source;
}

inline const QRgb* pixelRow(const uchar* base, qsizetype bpl, int y)
{
    return reinterpret_cast<const QRgb*>(base + y * bpl);
}

} // namespace

Surface::Surface(int w, int h, QColor back) : backColor(back)
{
    resize(w, h);
}

void Surface::resize(int w, int h)
{
    w_ = std::max(0, w);
    h_ = std::max(0, h);
    w = dev(w_);
    h = dev(h_);
    img_ = QImage(w, h, QImage::Format_RGB32);
    if (dpr_ != 1.0)
        img_.setDevicePixelRatio(dpr_);
    tilesX_ = (w + kTileW - 1) / kTileW;
    tilesY_ = (h + kTileH - 1) / kTileH;
    cleanKnown_ = false;
    resetTiles(false);
    clear();
}

void Surface::setDevicePixelRatio(qreal dpr)
{
    dpr = dpr > 0 ? dpr : 1.0;
    if (dpr == dpr_)
        return;
    dpr_ = dpr;
    fonts_.clear();
    scaled_.clear();
    resize(w_, h_);
}

int Surface::dev(int v) const
{
    return dpr_ == 1.0 ? v : int(std::floor(v * dpr_ + 0.5));
}

QRect Surface::deviceRect(const QRect& r) const
{
    if (dpr_ == 1.0)
        return r;
    const int x0 = dev(r.x()), y0 = dev(r.y());
    return QRect(x0, y0, dev(r.x() + r.width()) - x0, dev(r.y() + r.height()) - y0);
}

QRect Surface::logicalRect(const QRect& d) const
{
    if (dpr_ == 1.0)
        return d;
    const int x0 = int(std::floor(d.x() / dpr_)), y0 = int(std::floor(d.y() / dpr_));
    const int x1 = int(std::ceil((d.x() + d.width()) / dpr_)), y1 = int(std::ceil((d.y() + d.height()) / dpr_));
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

QImage Surface::copyArea(int x, int y, int w, int h) const
{
    QImage part = img_.copy(deviceRect(QRect(x, y, w, h)));
    part.setDevicePixelRatio(dpr_);
    return part;
}

Surface::Source Surface::sourceOf(const QImage& pic) const
{
    // A picture that carries its own ratio (a part of this surface kept aside) is used as it is;
    // a plain picture is replaced by its 2x version where the surface has more than one device
    // pixel per logical one and the version exists. At scale 1 the 2x file is never asked for.
    if (pic.devicePixelRatio() != 1.0)
        return {pic, pic.devicePixelRatio()};
    if (dpr_ > 1.0) {
        const QImage hi = HiResPicture(pic);
        if (!hi.isNull())
            return {hi, 2.0};
    }
    return {pic, 1.0};
}

QImage Surface::devicePicture(const QImage& pic) const
{
    if (dpr_ == 1.0 || pic.isNull())
        return pic;
    const Source src = sourceOf(pic);
    const QSize want(dev(int(std::lround(pic.width() / pic.devicePixelRatio()))),
                     dev(int(std::lround(pic.height() / pic.devicePixelRatio()))));
    QImage out = src.img.size() == want ? src.img : src.img.scaled(want, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return out;
}

void Surface::paintScaled(const QRect& box, bool mirX, bool mirY, const QImage& src, const QRectF& from, Rop rop,
                          bool smooth)
{
    // The painter works in logical pixels on the device picture: scaling happens here, once,
    // where the picture meets the surface.
    if (box.isEmpty())
        return;
    QPainter p(&img_);
    p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    p.setCompositionMode(modeOf(rop));
    p.translate(mirX ? 2 * box.x() + box.width() : 0, mirY ? 2 * box.y() + box.height() : 0);
    p.scale(mirX ? -1 : 1, mirY ? -1 : 1);
    p.drawImage(QRectF(box), src, from);
    p.end();
    markDrawn(box);
}

QImage& Surface::drawingImage(const QRect& area)
{
    markDrawn(area);
    return img_;
}

void Surface::resetTiles(bool clean)
{
    drawn_.assign(size_t(tilesX_) * size_t(tilesY_), clean ? 0 : 1);
}

void Surface::markTiles(int x0, int y0, int x1, int y1)
{
    const int tx0 = x0 / kTileW, tx1 = (x1 - 1) / kTileW;
    for (int ty = y0 / kTileH; ty <= (y1 - 1) / kTileH; ++ty) {
        uint8_t* row = drawn_.data() + size_t(ty) * size_t(tilesX_);
        std::fill(row + tx0, row + tx1 + 1, uint8_t(1));
    }
}

void Surface::noteChanged(int x0, int y0, int x1, int y1)
{
    if (changedAll_)
        return;
    const QRect r(x0, y0, x1 - x0, y1 - y0);
    for (const QRect& c : changed_)
        if (c.contains(r))
            return;
    std::erase_if(changed_, [&r](const QRect& c) { return r.contains(c); });
    changed_.push_back(r);
    if (changed_.size() > kMaxChanged) {
        QRect all;
        for (const QRect& c : changed_)
            all |= c;
        changed_.assign(1, all);
    }
}

void Surface::markDrawn(const QRect& area)
{
    markDrawnDev(deviceRect(area));
}

void Surface::markDrawnDev(const QRect& area)
{
    const QRect r = area.intersected(img_.rect());
    if (r.isEmpty())
        return;
    markTiles(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    noteChanged(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

QRegion Surface::takeChanged()
{
    QRegion r;
    if (changedAll_) {
        r = QRegion(0, 0, width(), height());
    } else {
        for (const QRect& c : changed_)
            r += logicalRect(c);
    }
    changed_.clear();
    changedAll_ = false;
    return r;
}

void Surface::fillSpan(int x0, int y0, int x1, int y1, QRgb v)
{
    const qsizetype bpl = img_.bytesPerLine();
    fillRows(Rows{img_.bits() + y0 * bpl + x0 * 4, bpl, x1 - x0, y1 - y0}, v);
}

void Surface::eraseDrawn(int x0, int y0, int x1, int y1, QRgb v)
{
    const int tx0 = x0 / kTileW, tx1 = (x1 - 1) / kTileW;
    for (int ty = y0 / kTileH; ty <= (y1 - 1) / kTileH; ++ty) {
        const int top = ty * kTileH, bottom = std::min(top + kTileH, img_.height());
        const int ry0 = std::max(y0, top), ry1 = std::min(y1, bottom);
        uint8_t* row = drawn_.data() + size_t(ty) * size_t(tilesX_);
        // Only whole tiles inside the box (up to the picture's edge) are clean afterwards.
        const bool rowsCovered = ry0 == top && ry1 == bottom;
        for (int tx = tx0; tx <= tx1;) {
            if (!row[tx]) {
                ++tx;
                continue;
            }
            int end = tx;
            while (end <= tx1 && row[end])
                ++end;
            const int sx0 = std::max(x0, tx * kTileW), sx1 = std::min(x1, end * kTileW);
            fillSpan(sx0, ry0, sx1, ry1, v);
            erased_ += qint64(sx1 - sx0) * (ry1 - ry0);
            noteChanged(sx0, ry0, sx1, ry1);
            if (rowsCovered) {
                for (int k = tx; k < end; ++k) {
                    const int left = k * kTileW, right = std::min(left + kTileW, img_.width());
                    if (left >= x0 && right <= x1)
                        row[k] = 0;
                }
            }
            tx = end;
        }
    }
}

void Surface::clear()
{
    if (img_.isNull())
        return;
    const QRgb v = backColor.rgb() | kOpaque;
    if (!cleanKnown_ || v != cleanColor_) {
        img_.fill(v);
        erased_ += qint64(img_.width()) * img_.height();
        resetTiles(true);
        cleanColor_ = v;
        cleanKnown_ = true;
        changedAll_ = true;
        changed_.clear();
        return;
    }
    // Where nothing was drawn since the last clear, the back colour is still there.
    eraseDrawn(0, 0, img_.width(), img_.height(), v);
}

void Surface::fillRect(int x, int y, int w, int h, QColor c)
{
    if (w < 0) { x += w; w = -w; }
    if (h < 0) { y += h; h = -h; }
    if (dpr_ != 1.0) {
        const QRect d = deviceRect(QRect(x, y, w, h));
        x = d.x(), y = d.y(), w = d.width(), h = d.height();
    }
    int x0 = std::max(0, x), y0 = std::max(0, y);
    int x1 = std::min(img_.width(), x + w), y1 = std::min(img_.height(), y + h);
    if (x0 >= x1 || y0 >= y1)
        return;
    const QRgb v = c.rgb() | kOpaque;
    if (cleanKnown_ && v == cleanColor_) {
        eraseDrawn(x0, y0, x1, y1, v);
        return;
    }
    fillSpan(x0, y0, x1, y1, v);
    markTiles(x0, y0, x1, y1);
    noteChanged(x0, y0, x1, y1);
}

void Surface::blt(int dx, int dy, int w, int h, const QImage& srcIn, int sx, int sy, Rop rop)
{
    if (dpr_ == 1.0 && srcIn.devicePixelRatio() == 1.0) {
        bltDev(dx, dy, w, h, srcIn, sx, sy, rop);
        return;
    }
    if (w == 0 || h == 0 || img_.isNull() || srcIn.isNull())
        return;
    const Source src = sourceOf(srcIn);
    // The block's edges on the device: a mirrored block ends at dx (resp. dy).
    const int ex = dx + w, ey = dy + h;
    const int dx0 = dev(dx), dy0 = dev(dy), wd = dev(ex) - dx0, hd = dev(ey) - dy0;
    const int sxd = int(std::floor(sx * src.k + 0.5)), syd = int(std::floor(sy * src.k + 0.5));
    if (src.k == dpr_) {
        // The source is at the surface's resolution: a copy pixel for pixel.
        bltDev(dx0, dy0, wd, hd, src.img, sxd, syd, rop);
        return;
    }
    // Parts of the block beyond the source are not drawn, as at scale 1.
    const qreal lw = src.img.width() / src.k, lh = src.img.height() / src.k;
    const int aw = std::abs(w), ah = std::abs(h);
    const int cx0 = std::max(sx, 0), cy0 = std::max(sy, 0);
    const int cx1 = std::min<int>(sx + aw, int(lw)), cy1 = std::min<int>(sy + ah, int(lh));
    if (cx0 >= cx1 || cy0 >= cy1)
        return;
    // The destination of the kept source columns (mirrored ones count from the block's far end).
    const int bx = w < 0 ? dx - aw : dx, by = h < 0 ? dy - ah : dy;
    const int tx0 = w < 0 ? bx + (sx + aw - cx1) : bx + (cx0 - sx);
    const int ty0 = h < 0 ? by + (sy + ah - cy1) : by + (cy0 - sy);
    const int tw = cx1 - cx0, th = cy1 - cy0;
    // Masks and the pictures over them keep their hard edges where whole pixels repeat; other
    // scales and plain copies are smoothed.
    const qreal ratio = dpr_ / src.k;
    const bool smooth = rop == Rop::Copy || ratio != std::floor(ratio);
    // The part scaled to its device size once and kept: the same cards come back at every
    // repaint. Then a copy pixel for pixel.
    const QRect d = deviceRect(QRect(tx0, ty0, tw, th));
    const QRect from = QRectF(cx0 * src.k, cy0 * src.k, tw * src.k, th * src.k).toAlignedRect();
    const QImage piece = scaledPart(src.img, from, d.size(), smooth);
    bltDev(w < 0 ? d.x() + d.width() : d.x(), h < 0 ? d.y() + d.height() : d.y(), w < 0 ? -d.width() : d.width(),
           h < 0 ? -d.height() : d.height(), piece, 0, 0, rop);
}

QImage Surface::scaledPart(const QImage& src, const QRect& from, const QSize& size, bool smooth)
{
    const QString key = QStringLiteral("%1/%2,%3,%4,%5/%6x%7/%8")
                            .arg(src.cacheKey())
                            .arg(from.x())
                            .arg(from.y())
                            .arg(from.width())
                            .arg(from.height())
                            .arg(size.width())
                            .arg(size.height())
                            .arg(smooth ? 1 : 0);
    const auto it = scaled_.constFind(key);
    if (it != scaled_.cend())
        return *it;
    if (scaled_.size() >= 1024)
        scaled_.clear();
    QImage part = as32Bit(src.copy(from).scaled(size, Qt::IgnoreAspectRatio,
                                                smooth ? Qt::SmoothTransformation : Qt::FastTransformation));
    part.setDevicePixelRatio(1.0);
    scaled_.insert(key, part);
    return part;
}

void Surface::bltDev(int dx, int dy, int w, int h, const QImage& srcIn, int sx, int sy, Rop rop)
{
    if (w == 0 || h == 0 || img_.isNull() || srcIn.isNull())
        return;
    QImage src = as32Bit(srcIn);
    const bool mirX = w < 0, mirY = h < 0;
    const int aw = std::abs(w), ah = std::abs(h);
    // Left/top edge of the destination block; a mirrored block ends at dx (resp. dy).
    const int bx = mirX ? dx - aw : dx;
    const int by = mirY ? dy - ah : dy;
    // Column i of the block (0 .. aw-1) shows source column sx + i, or sx + aw-1-i mirrored.
    int i0 = 0, i1 = aw, j0 = 0, j1 = ah;
    // Clip to the destination.
    i0 = std::max(i0, -bx);
    i1 = std::min(i1, img_.width() - bx);
    j0 = std::max(j0, -by);
    j1 = std::min(j1, img_.height() - by);
    // Clip to the source: the source column used by block column i must lie inside it.
    if (!mirX) {
        i0 = std::max(i0, -sx);
        i1 = std::min(i1, src.width() - sx);
    } else {
        // sx + aw - 1 - i in [0, src.width()) <=> i in (sx + aw - 1 - src.width(), sx + aw - 1]
        i0 = std::max(i0, sx + aw - src.width());
        i1 = std::min(i1, sx + aw);
    }
    if (!mirY) {
        j0 = std::max(j0, -sy);
        j1 = std::min(j1, src.height() - sy);
    } else {
        j0 = std::max(j0, sy + ah - src.height());
        j1 = std::min(j1, sy + ah);
    }
    if (i0 >= i1 || j0 >= j1)
        return;
    auto srcCol = [&](int i) { return mirX ? sx + aw - 1 - i : sx + i; };
    auto srcRow = [&](int j) { return mirY ? sy + ah - 1 - j : sy + j; };
    if (src.constBits() == img_.constBits()) {
        // A copy within the picture reads the pixels as they were before it: copy just the part
        // that is read, then read from there.
        const int cx0 = std::min(srcCol(i0), srcCol(i1 - 1)), cy0 = std::min(srcRow(j0), srcRow(j1 - 1));
        const int cw = i1 - i0, ch = j1 - j0;
        src = src.copy(cx0, cy0, cw, ch);
        sx -= cx0;
        sy -= cy0;
    }
    uchar* const dbase = img_.bits();
    const qsizetype dbpl = img_.bytesPerLine();
    const uchar* const sbase = src.constBits();
    const qsizetype sbpl = src.bytesPerLine();
    if (!mirX) {
        // Rows top to bottom on the surface; a mirrored block reads its source bottom up.
        const Rows rows{dbase + (by + j0) * dbpl + (bx + i0) * 4, dbpl, i1 - i0, j1 - j0};
        const uchar* s0 = sbase + srcRow(j0) * sbpl + (sx + i0) * 4;
        switch (rop) {
        case Rop::Copy: copyRows(rows, s0, sbpl, mirY); break;
        case Rop::And: andRows(rows, s0, sbpl, mirY); break;
        case Rop::Or: orRows(rows, s0, sbpl, mirY); break;
        case Rop::NotCopy: notRows(rows, s0, sbpl, mirY); break;
        }
    } else {
        for (int j = j0; j < j1; ++j) {
            QRgb* d = pixelRow(dbase, dbpl, by + j) + bx;
            const QRgb* s = pixelRow(sbase, sbpl, srcRow(j));
            for (int i = i0; i < i1; ++i)
                applyRop(d + i, s[srcCol(i)], rop);
        }
    }
    markTiles(bx + i0, by + j0, bx + i1, by + j1);
    noteChanged(bx + i0, by + j0, bx + i1, by + j1);
}

void Surface::maskBlt(int dx, int dy, int w, int h, const QImage& mask, int mx, int my, const QImage& face, int fx,
                      int fy)
{
    if (dpr_ == 1.0 && mask.devicePixelRatio() == 1.0 && face.devicePixelRatio() == 1.0) {
        maskBltDev(dx, dy, w, h, mask, mx, my, face, fx, fy);
        return;
    }
    if (w == 0 || h == 0 || face.isNull())
        return;
    const Source m = mask.isNull() ? Source{mask, dpr_} : sourceOf(mask);
    const Source f = sourceOf(face);
    if (m.k == dpr_ && f.k == dpr_ && w > 0 && h > 0) {
        const QRect d = deviceRect(QRect(dx, dy, w, h));
        auto at = [this](int v) { return dev(v); };
        maskBltDev(d.x(), d.y(), d.width(), d.height(), m.img, at(mx), at(my), f.img, at(fx), at(fy));
        return;
    }
    const qreal ratio = dpr_ / f.k;
    if (!mask.isNull() && m.k == f.k && ratio != std::floor(ratio)) {
        cutOutBlt(dx, dy, w, h, m, mx, my, f, fx, fy);
        return;
    }
    if (!mask.isNull())
        blt(dx, dy, w, h, mask, mx, my, Rop::And);
    blt(dx, dy, w, h, face, fx, fy, Rop::Or);
}

void Surface::cutOutBlt(int dx, int dy, int w, int h, const Source& m, int mx, int my, const Source& f, int fx, int fy)
{
    // Between whole pixels a mask and a face each smoothed on its own and then combined bit by
    // bit leave a dark seam round the shape. So the face is cut out by its mask at the sources'
    // resolution, scaled once with its edge as coverage, and laid over what is there. Where the
    // mask is black or white this is the AND and OR of the pair.
    const qreal k = f.k;
    const int aw = std::abs(w), ah = std::abs(h);
    const int lw = std::min(int(m.img.width() / k) - mx, int(f.img.width() / k) - fx);
    const int lh = std::min(int(m.img.height() / k) - my, int(f.img.height() / k) - fy);
    const int i0 = std::max({0, -mx, -fx}), j0 = std::max({0, -my, -fy});
    const int i1 = std::min(aw, lw), j1 = std::min(ah, lh);
    if (i0 >= i1 || j0 >= j1)
        return;
    // A negative size mirrors, the block then ending at (dx, dy) as for a plain copy.
    const int bx = w < 0 ? dx - aw : dx, by = h < 0 ? dy - ah : dy;
    const QRect box(w < 0 ? bx + aw - i1 : bx + i0, h < 0 ? by + ah - j1 : by + j0, i1 - i0, j1 - j0);
    const QRect d = deviceRect(box);
    const QString key = QStringLiteral("cut/%1/%2/%3,%4,%5,%6,%7,%8/%9x%10/%11")
                            .arg(m.img.cacheKey())
                            .arg(f.img.cacheKey())
                            .arg(mx + i0)
                            .arg(my + j0)
                            .arg(fx + i0)
                            .arg(fy + j0)
                            .arg(box.width())
                            .arg(box.height())
                            .arg(d.width())
                            .arg(d.height())
                            .arg((w < 0 ? 1 : 0) + (h < 0 ? 2 : 0));
    auto it = scaled_.constFind(key);
    if (it == scaled_.cend()) {
        if (scaled_.size() >= 1024)
            scaled_.clear();
        const QImage mk = as32Bit(m.img), fc = as32Bit(f.img);
        const int mx0 = int(std::lround((mx + i0) * k)), my0 = int(std::lround((my + j0) * k));
        const int fx0 = int(std::lround((fx + i0) * k)), fy0 = int(std::lround((fy + j0) * k));
        const int sw = std::min({int(std::lround(box.width() * k)), mk.width() - mx0, fc.width() - fx0});
        const int sh = std::min({int(std::lround(box.height() * k)), mk.height() - my0, fc.height() - fy0});
        if (sw <= 0 || sh <= 0)
            return;
        QImage cut(sw, sh, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < sh; ++y) {
            const auto* mr = reinterpret_cast<const QRgb*>(mk.constScanLine(my0 + y)) + mx0;
            const auto* fr = reinterpret_cast<const QRgb*>(fc.constScanLine(fy0 + y)) + fx0;
            auto* out = reinterpret_cast<QRgb*>(cut.scanLine(y));
            for (int x = 0; x < sw; ++x) {
                const int a = 255 - qGray(mr[x]);
                out[x] = qPremultiply(qRgba(qRed(fr[x]), qGreen(fr[x]), qBlue(fr[x]), a));
            }
        }
        it = scaled_.insert(key, cut.mirrored(w < 0, h < 0).scaled(d.size(), Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation));
    }
    // Laid at the device pixels the other copies use for this box.
    QPainter p(&img_);
    p.scale(1.0 / dpr_, 1.0 / dpr_);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(d.topLeft(), *it);
    p.end();
    markDrawn(box);
}

void Surface::maskBltDev(int dx, int dy, int w, int h, const QImage& mask, int mx, int my, const QImage& face, int fx,
                         int fy)
{
    auto twoPasses = [&]() {
        if (!mask.isNull())
            bltDev(dx, dy, w, h, mask, mx, my, Rop::And);
        bltDev(dx, dy, w, h, face, fx, fy, Rop::Or);
    };
    if (mask.isNull() || face.isNull() || w <= 0 || h <= 0 || img_.isNull() || !is32Bit(mask) || !is32Bit(face) ||
        mask.constBits() == img_.constBits() || face.constBits() == img_.constBits()) {
        twoPasses();
        return;
    }
    // The block clipped to the picture, then to each source; one pass when both cover the same.
    const int i0 = std::max(0, -dx), i1 = std::min(w, img_.width() - dx);
    const int j0 = std::max(0, -dy), j1 = std::min(h, img_.height() - dy);
    const int mi0 = std::max(i0, -mx), mi1 = std::min(i1, mask.width() - mx);
    const int mj0 = std::max(j0, -my), mj1 = std::min(j1, mask.height() - my);
    const int fi0 = std::max(i0, -fx), fi1 = std::min(i1, face.width() - fx);
    const int fj0 = std::max(j0, -fy), fj1 = std::min(j1, face.height() - fy);
    if (mi0 != fi0 || mi1 != fi1 || mj0 != fj0 || mj1 != fj1) {
        twoPasses();
        return;
    }
    if (fi0 >= fi1 || fj0 >= fj1)
        return;
    const qsizetype dbpl = img_.bytesPerLine();
    const qsizetype mbpl = mask.bytesPerLine();
    const qsizetype fbpl = face.bytesPerLine();
    maskRows(Rows{img_.bits() + (dy + fj0) * dbpl + (dx + fi0) * 4, dbpl, fi1 - fi0, fj1 - fj0},
             mask.constBits() + (my + fj0) * mbpl + (mx + fi0) * 4, mbpl,
             face.constBits() + (fy + fj0) * fbpl + (fx + fi0) * 4, fbpl);
    markTiles(dx + fi0, dy + fj0, dx + fi1, dy + fj1);
    noteChanged(dx + fi0, dy + fj0, dx + fi1, dy + fj1);
}

void Surface::stretchBlt(int dx, int dy, int dw, int dh, const QImage& srcIn, int sx, int sy, int sw, int sh, Rop rop)
{
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || img_.isNull() || srcIn.isNull())
        return;
    if (std::abs(dw) == std::abs(sw) && std::abs(dh) == std::abs(sh) && sw > 0 && sh > 0) {
        blt(dx, dy, dw, dh, srcIn, sx, sy, rop);
        return;
    }
    if (dpr_ != 1.0 || srcIn.devicePixelRatio() != 1.0) {
        const Source src = sourceOf(srcIn);
        const QRect box = QRect(dw < 0 ? dx + dw : dx, dh < 0 ? dy + dh : dy, std::abs(dw), std::abs(dh));
        const QRectF from(std::min(sx, sx + sw) * src.k, std::min(sy, sy + sh) * src.k, std::abs(sw) * src.k,
                          std::abs(sh) * src.k);
        paintScaled(box, (dw < 0) != (sw < 0), (dh < 0) != (sh < 0), src.img, from, rop, true);
        return;
    }
    QImage src = as32Bit(srcIn);
    if (src.constBits() == img_.constBits())
        src = src.copy();
    // A negative source extent mirrors too; both negative cancel out.
    const bool mirX = (dw < 0) != (sw < 0), mirY = (dh < 0) != (sh < 0);
    const int aw = std::abs(dw), ah = std::abs(dh);
    const int asw = std::abs(sw), ash = std::abs(sh);
    const int ssx = sw < 0 ? sx + sw : sx, ssy = sh < 0 ? sy + sh : sy;
    const int bx = dw < 0 ? dx - aw : dx;
    const int by = dh < 0 ? dy - ah : dy;
    const int i0 = std::max(0, -bx), i1 = std::min(aw, img_.width() - bx);
    const int j0 = std::max(0, -by), j1 = std::min(ah, img_.height() - by);
    if (i0 >= i1 || j0 >= j1)
        return;
    uchar* const dbase = img_.bits();
    const qsizetype dbpl = img_.bytesPerLine();
    const uchar* const sbase = src.constBits();
    const qsizetype sbpl = src.bytesPerLine();
    for (int j = j0; j < j1; ++j) {
        int jj = mirY ? ah - 1 - j : j;
        int srow = ssy + int((qint64(jj) * 2 + 1) * ash / (qint64(ah) * 2));
        if (srow < 0 || srow >= src.height())
            continue;
        const QRgb* s = pixelRow(sbase, sbpl, srow);
        QRgb* d = pixelRow(dbase, dbpl, by + j) + bx;
        for (int i = i0; i < i1; ++i) {
            int ii = mirX ? aw - 1 - i : i;
            int scol = ssx + int((qint64(ii) * 2 + 1) * asw / (qint64(aw) * 2));
            if (scol < 0 || scol >= src.width())
                continue;
            applyRop(d + i, s[scol], rop);
        }
    }
    markTiles(bx + i0, by + j0, bx + i1, by + j1);
    noteChanged(bx + i0, by + j0, bx + i1, by + j1);
}

void Surface::line(int x1, int y1, int x2, int y2, QColor c)
{
    if (img_.isNull())
        return;
    // Bresenham, end point excluded as the original line drawing did.
    const QRgb v = c.rgb() | kOpaque;
    uchar* const base = img_.bits();
    const qsizetype bpl = img_.bytesPerLine();
    int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    int minX = width(), minY = height(), maxX = -1, maxY = -1;
    while (!(x == x2 && y == y2)) {
        if (dpr_ != 1.0) {
            // Each logical pixel of the line covers its block of device pixels.
            const QRect d = deviceRect(QRect(x, y, 1, 1)).intersected(img_.rect());
            if (!d.isEmpty()) {
                fillSpan(d.left(), d.top(), d.right() + 1, d.bottom() + 1, v);
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        } else if (x >= 0 && y >= 0 && x < width() && y < height()) {
            pixelRow(base, bpl, y)[x] = v;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
    if (maxX >= 0)
        markDrawn(QRect(QPoint(minX, minY), QPoint(maxX, maxY)));
}

Surface::FontEntry& Surface::fontEntry() const
{
    for (FontEntry& f : fonts_)
        if (f.size == fontSize && f.bold == fontBold && f.name == fontName)
            return f;
    // Building a font and its metrics costs more than drawing a short text; a table uses a
    // handful of them.
    if (fonts_.size() >= 32)
        fonts_.clear();
    const QFont f = makeFont(fontName, fontSize, fontBold, dpr_ == 1.0);
    fonts_.push_back(FontEntry{fontName, fontSize, fontBold, f, QFontMetrics(f), {}});
    return fonts_.back();
}

void Surface::print(int x, int y, const QString& text)
{
    if (img_.isNull() || text.isEmpty())
        return;
    FontEntry& f = fontEntry();
    // A text laid out once is drawn from its layout: the same pixels as laying it out again.
    // Control characters would start new lines there, so such a text is drawn as it comes.
    // At another device pixel ratio the text is laid out for the scaled painter each time.
    const bool plainLine = dpr_ == 1.0 &&
                           std::none_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.unicode() < 0x20; });
    const QStaticText* laid = nullptr;
    int width = 0;
    if (plainLine) {
        auto it = f.texts.find(text);
        if (it == f.texts.end()) {
            if (f.texts.size() >= 256)
                f.texts.clear();
            QStaticText layout(text);
            layout.setTextFormat(Qt::PlainText);
            layout.prepare(QTransform(), f.font);
            it = f.texts.insert(text, layout);
        }
        laid = &*it;
        width = qCeil(laid->size().width());
    } else {
        width = f.metrics.horizontalAdvance(text);
    }
    // No glyph reaches further than half a line beyond its line and the text's advance. The
    // painter is clipped to that box, so what was drawn on is known.
    const int lh = f.metrics.height();
    const QRect box = QRect(x - lh / 2 - 2, y - lh / 2 - 2, width + lh + 4, 2 * lh + 4).intersected(QRect(0, 0, w_, h_));
    if (box.isEmpty())
        return;
    QPainter p(&img_);
    p.setClipRect(box);
    p.setFont(f.font);
    p.setPen(foreColor);
    p.setBackgroundMode(Qt::TransparentMode);
    if (laid)
        p.drawStaticText(QPoint(x, y), *laid);
    else
        p.drawText(QPoint(x, y + f.metrics.ascent()), text);
    p.end();
    markDrawn(box);
}

int Surface::textWidth(const QString& text) const
{
    return fontEntry().metrics.horizontalAdvance(text);
}

int Surface::textHeight() const
{
    return fontEntry().metrics.height();
}

QFont Surface::currentFont() const
{
    return fontEntry().font;
}

void Surface::drawImage(int x, int y, const QImage& pic)
{
    if (img_.isNull() || pic.isNull())
        return;
    if (!pic.hasAlphaChannel()) {
        blt(x, y, pic.width(), pic.height(), pic, 0, 0, Rop::Copy);
        return;
    }
    QPainter p(&img_);
    if (dpr_ == 1.0) {
        p.drawImage(QPoint(x, y), pic);
    } else {
        const Source src = sourceOf(pic);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(QRectF(x, y, pic.width(), pic.height()), src.img, QRectF(src.img.rect()));
    }
    p.end();
    markDrawn(QRect(x, y, pic.width(), pic.height()));
}
