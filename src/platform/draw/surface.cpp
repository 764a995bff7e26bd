#include "platform/draw/surface.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {

// The families asked for by name are the ones the game's texts were laid out with; they are
// rarely installed here, so each is followed by an installed CJK family of similar weight.
// Without the fallback, fontconfig may hand back a Latin-only face and Chinese text shows boxes.
QFont makeFont(const QString& name, int points, bool bold)
{
    QFont f;
    QStringList fams;
    // Points at 96 dpi, rounded like the original layout (9 pt = 12 px), so pixel positions hold
    // whatever the screen's logical dpi is.
    const int px = std::max(1, (points * 96 + 36) / 72);
    // Small sizes use the face with hand-tuned bitmap strokes and no smoothing: crisp, solid
    // pixels of exactly the text colour, as the table's small captions always looked. Large
    // sizes are smoothed.
    const bool small = px <= 16;
    fams << name;
    if (small)
        fams << QStringLiteral("WenQuanYi Zen Hei Sharp");
    fams << QStringLiteral("WenQuanYi Zen Hei");
    f.setFamilies(fams);
    f.setPixelSize(px);
    f.setBold(bold);
    f.setStyleStrategy(small ? QFont::StyleStrategy(QFont::PreferMatch | QFont::NoAntialias) : QFont::PreferMatch);
    return f;
}

inline void applyRop(QRgb* d, QRgb s, Rop rop)
{
    switch (rop) {
    case Rop::Copy: *d = s; break;
    case Rop::And: *d = (*d & s) | 0xff000000u; break;
    case Rop::Or: *d = *d | s | 0xff000000u; break;
    case Rop::NotCopy: *d = ~s | 0xff000000u; break;
    }
}

} // namespace

Surface::Surface(int w, int h, QColor back) : backColor(back)
{
    resize(w, h);
}

void Surface::resize(int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    img_ = QImage(w, h, QImage::Format_RGB32);
    clear();
}

void Surface::clear()
{
    if (!img_.isNull())
        img_.fill(backColor.rgb());
}

void Surface::fillRect(int x, int y, int w, int h, QColor c)
{
    if (w < 0) { x += w; w = -w; }
    if (h < 0) { y += h; h = -h; }
    int x0 = std::max(0, x), y0 = std::max(0, y);
    int x1 = std::min(width(), x + w), y1 = std::min(height(), y + h);
    if (x0 >= x1 || y0 >= y1)
        return;
    const QRgb v = c.rgb() | 0xff000000u;
    for (int yy = y0; yy < y1; ++yy) {
        QRgb* d = reinterpret_cast<QRgb*>(img_.scanLine(yy));
        std::fill(d + x0, d + x1, v);
    }
}

void Surface::blt(int dx, int dy, int w, int h, const QImage& srcIn, int sx, int sy, Rop rop)
{
    if (w == 0 || h == 0 || img_.isNull() || srcIn.isNull())
        return;
    const QImage src = (srcIn.format() == QImage::Format_RGB32 || srcIn.format() == QImage::Format_ARGB32)
        ? srcIn : srcIn.convertToFormat(QImage::Format_RGB32);
    const bool mirX = w < 0, mirY = h < 0;
    const int aw = std::abs(w), ah = std::abs(h);
    // Left/top edge of the destination block; a mirrored block ends at dx (resp. dy).
    const int bx = mirX ? dx - aw : dx;
    const int by = mirY ? dy - ah : dy;
    // Column i of the block (0 .. aw-1) shows source column sx + i, or sx + aw-1-i mirrored.
    int i0 = 0, i1 = aw, j0 = 0, j1 = ah;
    // Clip to the destination.
    i0 = std::max(i0, -bx);
    i1 = std::min(i1, width() - bx);
    j0 = std::max(j0, -by);
    j1 = std::min(j1, height() - by);
    // Clip to the source: the source column used by block column i must lie inside it.
    auto srcCol = [&](int i) { return mirX ? sx + aw - 1 - i : sx + i; };
    auto srcRow = [&](int j) { return mirY ? sy + ah - 1 - j : sy + j; };
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
    for (int j = j0; j < j1; ++j) {
        QRgb* d = reinterpret_cast<QRgb*>(img_.scanLine(by + j)) + bx;
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(srcRow(j)));
        if (!mirX) {
            const QRgb* sp = s + sx;
            switch (rop) {
            case Rop::Copy:
                for (int i = i0; i < i1; ++i) d[i] = sp[i] | 0xff000000u;
                break;
            case Rop::And:
                for (int i = i0; i < i1; ++i) d[i] = (d[i] & sp[i]) | 0xff000000u;
                break;
            case Rop::Or:
                for (int i = i0; i < i1; ++i) d[i] = d[i] | sp[i] | 0xff000000u;
                break;
            case Rop::NotCopy:
                for (int i = i0; i < i1; ++i) d[i] = ~sp[i] | 0xff000000u;
                break;
            }
        } else {
            for (int i = i0; i < i1; ++i)
                applyRop(d + i, s[srcCol(i)], rop);
        }
    }
}

void Surface::stretchBlt(int dx, int dy, int dw, int dh, const QImage& srcIn, int sx, int sy, int sw, int sh, Rop rop)
{
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || img_.isNull() || srcIn.isNull())
        return;
    if (std::abs(dw) == std::abs(sw) && std::abs(dh) == std::abs(sh) && sw > 0 && sh > 0) {
        blt(dx, dy, dw, dh, srcIn, sx, sy, rop);
        return;
    }
    const QImage src = (srcIn.format() == QImage::Format_RGB32 || srcIn.format() == QImage::Format_ARGB32)
        ? srcIn : srcIn.convertToFormat(QImage::Format_RGB32);
    // A negative source extent mirrors too; both negative cancel out.
    const bool mirX = (dw < 0) != (sw < 0), mirY = (dh < 0) != (sh < 0);
    const int aw = std::abs(dw), ah = std::abs(dh);
    const int asw = std::abs(sw), ash = std::abs(sh);
    const int ssx = sw < 0 ? sx + sw : sx, ssy = sh < 0 ? sy + sh : sy;
    const int bx = dw < 0 ? dx - aw : dx;
    const int by = dh < 0 ? dy - ah : dy;
    const int i0 = std::max(0, -bx), i1 = std::min(aw, width() - bx);
    const int j0 = std::max(0, -by), j1 = std::min(ah, height() - by);
    for (int j = j0; j < j1; ++j) {
        int jj = mirY ? ah - 1 - j : j;
        int srow = ssy + int((qint64(jj) * 2 + 1) * ash / (qint64(ah) * 2));
        if (srow < 0 || srow >= src.height())
            continue;
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(srow));
        QRgb* d = reinterpret_cast<QRgb*>(img_.scanLine(by + j)) + bx;
        for (int i = i0; i < i1; ++i) {
            int ii = mirX ? aw - 1 - i : i;
            int scol = ssx + int((qint64(ii) * 2 + 1) * asw / (qint64(aw) * 2));
            if (scol < 0 || scol >= src.width())
                continue;
            applyRop(d + i, s[scol], rop);
        }
    }
}

void Surface::line(int x1, int y1, int x2, int y2, QColor c)
{
    if (img_.isNull())
        return;
    // Bresenham, end point excluded as the original line drawing did.
    const QRgb v = c.rgb() | 0xff000000u;
    int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (!(x == x2 && y == y2)) {
        if (x >= 0 && y >= 0 && x < width() && y < height())
            reinterpret_cast<QRgb*>(img_.scanLine(y))[x] = v;
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

void Surface::print(int x, int y, const QString& text)
{
    if (img_.isNull() || text.isEmpty())
        return;
    QPainter p(&img_);
    QFont f = makeFont(fontName, fontSize, fontBold);
    p.setFont(f);
    p.setPen(foreColor);
    p.setBackgroundMode(Qt::TransparentMode);
    QFontMetrics fm(f);
    p.drawText(QPoint(x, y + fm.ascent()), text);
}

int Surface::textWidth(const QString& text) const
{
    return QFontMetrics(makeFont(fontName, fontSize, fontBold)).horizontalAdvance(text);
}

int Surface::textHeight() const
{
    return QFontMetrics(makeFont(fontName, fontSize, fontBold)).height();
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
    p.drawImage(QPoint(x, y), pic);
}
