// The blast shown over a strong play: numbered frames drawn at a fixed pace with their flat
// background left out, then the table under them put back exactly.
#include <algorithm>
#include <utility>

#include "tableview/gamepaint.h"
#include "tableview/paintimagebynullback.h"
#include "tableview/paintutil.h"
#include "tableview/waitticks.h"

using namespace paintutil;

bool GetBlastKind(int kind, BlastKindInfo& kindInfo)
{
    switch (kind) {
    case 1: kindInfo = {QStringLiteral("Res\\Bomb\\b1\\"), 9, 180, 135, QColor(0, 0, 0), 30}; return true;
    case 2: kindInfo = {QStringLiteral("Res\\Bomb\\b2\\"), 15, 88, 80, QColor(255, 255, 255), 40}; return true;
    case 3: kindInfo = {QStringLiteral("Res\\Bomb\\b3\\"), 27, 78, 121, QColor(0, 0, 0), 10}; return true;
    default: return false;
    }
}

bool BlastPlace(const PaintCtx& c, int chair, int kind, int& x, int& y)
{
    BlastKindInfo kindInfo;
    if (chair < 0 || chair > 3 || !GetBlastKind(kind, kindInfo)) return false;
    const size_t v = size_t(ViewPosOf(c, chair));
    const int gx = c.p.OutPaiX[v], gy = c.p.OutPaiY[v];
    const int n = c.ts.Chairs[size_t(chair)].OutPai.upperBound();
    const int r = RowWidth(n, c.p.PkSpace2, c.p.PkWidth2);
    const int w = kindInfo.w;
    static constexpr int kTopBottomDy[4] = {0, -10, 0, 10};  // by kind
    static constexpr int kSideDy[4] = {0, -60, -40, -40};
    switch (v) {
    case 1: x = gx + r / 2 - w / 2; y = gy + kSideDy[kind]; break;
    case 3: x = gx - r / 2 - w / 2; y = gy + kSideDy[kind]; break;
    default: x = gx - w / 2; y = gy + kTopBottomDy[kind]; break;
    }
    return true;
}

QString BlastFrameFile(const QString& prefix, const QString& suffix, int i)
{
    return prefix + (i < 10 ? QStringLiteral("0") : QString()) + QString::number(i) + suffix;
}

void PlayBlast(PaintCtx& c, int chair, int kind)
{
    BlastKindInfo kindInfo;
    int x = 0, y = 0;
    if (!GetBlastKind(kind, kindInfo) || !BlastPlace(c, chair, kind, x, y)) return;
    // A game message handled during a pause may start another blast inside this one; the mouse
    // stays blocked until the outer one has finished too.
    const bool wasRunning = c.tv.BlastRunning;
    c.tv.BlastRunning = true;
    PlayFrames(c, AppRes(c, kindInfo.folder + QStringLiteral("Blast0")), QStringLiteral(".jpg"), 1, kindInfo.frames,
               kindInfo.w, kindInfo.h, kindInfo.key, kindInfo.pauseMs, x, y);
    c.tv.BlastRunning = wasRunning;
}

void PlayFrames(PaintCtx& c, const QString& prefix, const QString& suffix, int first, int last, int w, int h,
                QColor key, int pauseMs, int x, int y)
{
    if (w <= 0 || h <= 0) return;
    Surface& s = c.surf;
    // The table under the animation, kept aside (parts outside the surface are never written back).
    const QImage saved = s.copyArea(x, y, w, h);
    const uint32_t paints = c.p.FullPaints;
    clsPaintImageByNullBack drawer;
    for (int i = first; i <= last; ++i) {
        QImage frame = c.cache.get(BlastFrameFile(prefix, suffix, i));
        if (frame.isNull()) continue;  // a missing frame: no picture and no pause
        // Only the saved rectangle is put back, so a larger picture is cut to it.
        if (frame.width() > w || frame.height() > h)
            frame = frame.copy(0, 0, std::min(w, frame.width()), std::min(h, frame.height()));
        s.blt(x, y, w, h, saved, 0, 0);
        drawer.PictureBox_PaintImageByNullBack(s, frame, key, x, y);
        s.changed();
        WaitTicks(pauseMs, c.ps.blnClosing);
        // The table was drawn anew meanwhile (a game's end moves the plays): putting the kept
        // rectangle back would show the table as it was, beside the table as it is.
        if (c.p.FullPaints != paints) return;
    }
    s.blt(x, y, w, h, saved, 0, 0);
    s.changed();
}
