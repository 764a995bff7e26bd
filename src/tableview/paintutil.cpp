#include "tableview/paintutil.h"

#include <algorithm>

namespace paintutil {

QImage Img(PaintCtx& c, const QString& path)
{
    PaintState& p = c.p;
    if (p.ImageMemoDepth <= 0 || !p.ImageMemoOn) return c.cache.get(path);
    auto it = p.ImageMemo.constFind(path);
    if (it != p.ImageMemo.constEnd()) return *it;
    const QImage img = c.cache.get(path);
    p.ImageMemo.insert(path, img);
    return img;
}

int VisibleExtent(PaintCtx& c, const QImage& mask, int w, int h, int step, bool across)
{
    const int full = across ? w : h;
    if (mask.isNull() || step <= 0 || step >= full || mask.width() < w || mask.height() < h) return full;
    PaintState& p = c.p;
    if (p.MaskProfileKey != mask.cacheKey() || int(p.MaskLeakCols.size()) != w || int(p.MaskLeakRows.size()) != h) {
        p.MaskLeakCols.assign(size_t(w), false);
        p.MaskLeakRows.assign(size_t(h), false);
        for (int y = 0; y < h; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                if ((line[x] & 0xffffffu) != 0) {
                    p.MaskLeakCols[size_t(x)] = true;
                    p.MaskLeakRows[size_t(y)] = true;
                }
            }
        }
        p.MaskProfileKey = mask.cacheKey();
    }
    const std::vector<bool>& leak = across ? p.MaskLeakCols : p.MaskLeakRows;
    // The next card covers this one's extent from `step` on with its own first full - step
    // columns (rows); the last of those that lets anything through bounds what can show.
    int open = 0;
    for (int i = 0; i < full - step; ++i)
        if (leak[size_t(i)]) open = i + 1;
    return std::min(full, step + open);
}

}  // namespace paintutil
