#pragma once
// Small helpers shared by the table drawing files (not part of the public drawing interface).
#include <QImage>
#include <QRect>
#include <QString>

#include "tableview/gamepaint.h"

namespace paintutil {

// The picture of a file from the cache (or from the running call's memo); null when missing or
// unreadable.
QImage Img(PaintCtx& c, const QString& path);
// The picture of a resource under the program folder.
inline QImage Res(PaintCtx& c, const QString& rel) { return Img(c, AppRes(c, rel)); }

// While one lives, each file is fetched from the cache once; the memo empties when the
// outermost scope ends, so the next drawing call sees files changed on disk meanwhile.
class ImageMemoScope {
public:
    explicit ImageMemoScope(PaintCtx& c) : p_(c.p) { ++p_.ImageMemoDepth; }
    ~ImageMemoScope()
    {
        if (--p_.ImageMemoDepth <= 0) {
            p_.ImageMemoDepth = 0;
            p_.ImageMemo.clear();
        }
    }
    ImageMemoScope(const ImageMemoScope&) = delete;
    ImageMemoScope& operator=(const ImageMemoScope&) = delete;

private:
    PaintState& p_;
};

// Cards overlap in rows (the next one `step` to the right) and columns (`step` lower). Where the
// next card's mask is black it replaces what lies under it whatever that is, so only the first
// VisibleExtent pixels of a covered card can show: `step` plus the leading columns (rows) of
// the overlap through which the mask lets anything through. w x h is the card size; the whole
// extent when there is no mask.
int VisibleExtent(PaintCtx& c, const QImage& mask, int w, int h, int step, bool across);

// A card-shaped picture: the mask ANDed, then the face ORed, both w x h from (0, 0). A null mask
// leaves the face ORed alone.
inline void DrawCard(Surface& s, int x, int y, int w, int h, const QImage& mask, const QImage& face)
{
    s.maskBlt(x, y, w, h, mask, 0, 0, face, 0, 0);
}

inline void DrawCardClip(Surface& s, int x, int y, int w, int h, const QImage& mask, const QImage& face,
                         const QRect& clip)
{
    const QRect r = QRect(x, y, w, h).intersected(clip);
    if (r.isEmpty()) return;
    s.maskBlt(r.x(), r.y(), r.width(), r.height(), mask, r.x() - x, r.y() - y, face, r.x() - x, r.y() - y);
}

// Face picture of a card in the given set (true: first).
QImage PkFace(PaintCtx& c, uint8_t card, bool normalSet);
QImage PkMask(PaintCtx& c, bool normalSet);
QImage PkBack(PaintCtx& c);

// Width of a row of n cards: (n - 1) * step + card width.
inline int RowWidth(int n, int step, int w) { return (n - 1) * step + w; }

}  // namespace paintutil
