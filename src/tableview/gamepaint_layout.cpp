// Layout of the table, the full repaint, the background, the seats and the buttons.
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <utility>

#include "tableview/gamepaint.h"
#include "tableview/paintutil.h"

using namespace paintutil;

namespace {

QString WithSep(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(u'\\') || folder.endsWith(u'/')) return folder;
    return folder + u'/';
}

// Screen width in pixels that picks the played-cards layout.
int ScreenWidthFor(const PaintCtx& c)
{
    if (c.p.ScreenWidthPx > 0) return c.p.ScreenWidthPx;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* s = QGuiApplication::primaryScreen()) return s->geometry().width();
    }
    return c.p.W;
}

bool ValidChair(int chair) { return chair >= 0 && chair < 4; }

}  // namespace

QString AppRes(const PaintCtx& c, const QString& rel) { return WithSep(c.ps.strAppPath) + rel; }

QString FigureFilePath(const QString& strParentPath, int32_t iconNo)
{
    return WithSep(strParentPath) + QStringLiteral("UserRes\\LargeUser\\") + QString::number(iconNo % 1000 + 1) +
           QStringLiteral(".ico");
}

int ViewPosOf(const PaintCtx& c, int chair)
{
    if (!ValidChair(chair)) return 2;
    const int v = c.tv.ViewPosOfChair[size_t(chair)];
    return v < 4 ? v : 2;
}

// ---- Layout --------------------------------------------------------------------------------

void ComputeLayout(PaintCtx& c)
{
    PaintState& p = c.p;
    p.W = c.surf.width();
    p.H = c.surf.height();
    const int W = p.W, H = p.H;

    p.SeatX = {(W - 32) / 2, 9, (W - 32) / 2, W - 50};
    const int sideY = (H - 32) / 2 - 30;
    p.SeatY = {9, sideY, H - 42, sideY};

    static constexpr int kName[4][2] = {{35, 8}, {0, 35}, {35, 8}, {-10, 35}};
    static constexpr int kNet[4][2] = {{-40, 0}, {0, -40}, {-40, 0}, {0, -40}};
    static constexpr int kHand[4][2] = {{-16, 40}, {50, 0}, {-16, -40}, {-100, 0}};
    for (size_t v = 0; v < 4; ++v) {
        p.NameX[v] = p.SeatX[v] + kName[v][0];
        p.NameY[v] = p.SeatY[v] + kName[v][1];
        p.NetBreakX[v] = p.SeatX[v] + kNet[v][0];
        p.NetBreakY[v] = p.SeatY[v] + kNet[v][1];
        p.HandUpX[v] = p.SeatX[v] + kHand[v][0];
        p.HandUpY[v] = p.SeatY[v] + kHand[v][1];
    }
    ComputeCardLayout(c);
}

void ComputeCardLayout(PaintCtx& c)
{
    PaintState& p = c.p;
    const TableState& ts = c.ts;
    p.W = c.surf.width();
    p.H = c.surf.height();

    p.PkWidth = 80;
    p.PkHeight = 105;
    p.PkSpace = 18;
    p.PkUpSpace = 24;
    p.strPkPath = AppRes(c, QStringLiteral("Res\\ResPk\\"));
    p.strPkMaskPath = AppRes(c, QStringLiteral("Res\\ResPk\\PkMask.bmp"));
    p.PkWidth2 = 80;
    p.PkHeight2 = 105;
    p.PkSpace2 = 18;
    p.PkUpSpace2 = 24;
    p.strPkPath2 = p.strPkPath;
    p.strPkMaskPath2 = p.strPkMaskPath;

    const int PkW = p.PkWidth, PkH = p.PkHeight;
    // Hand origins.
    p.PaiX[0] = p.SeatX[0] + 16;
    p.PaiY[0] = p.SeatY[0] + 67;
    p.PaiX[1] = p.SeatX[1] + 50;
    p.PaiY[1] = p.SeatY[1] + 16;
    p.PaiX[2] = p.SeatX[2] + 16;
    p.PaiY[2] = p.SeatY[2] - PkH - 6;
    p.PaiX[3] = p.SeatX[3] - PkW - 15;
    p.PaiY[3] = p.SeatY[3] + 16;

    // Played-cards origins: by screen class, then by what the side seats show.
    const bool small = ScreenWidthFor(c) < 801;
    const int opt = ts.ShowLeftPai != 0 ? 0 : (ts.ShowPartnerPai != 0 ? 1 : 2);
    const auto& X = p.PaiX;
    const auto& Y = p.PaiY;
    auto set = [&p](int v, int x, int y) { p.OutPaiX[size_t(v)] = x; p.OutPaiY[size_t(v)] = y; };
    if (small) {
        switch (opt) {
        case 0:
            set(0, X[0], Y[0] + PkH + 2);
            set(1, X[1] + PkW + 2, Y[1] + 25);
            set(2, X[2], Y[2] - PkH - 26);
            set(3, X[3] - 3, Y[3] + 25);
            break;
        case 1:
            set(0, X[0], Y[0] + PkH + 2);
            set(1, X[1] + PkW / 2, Y[1] + 25);
            set(2, X[2], Y[2] - PkH - 26);
            set(3, X[3] + PkW / 2, Y[3] + 25);
            break;
        default:
            set(0, X[0], Y[0] + PkH / 2 - 30);
            set(1, X[1] + PkW / 2, Y[1] - 20);
            set(2, X[2], Y[2] - PkH - 26);
            set(3, X[3] + PkW / 2, Y[3] - 20);
            break;
        }
    } else {
        switch (opt) {
        case 0:
            set(0, X[0], Y[0] + PkH + 5);
            set(1, X[1] + PkW + 10, Y[1] + 30);
            set(2, X[2], Y[2] - PkH - 32);
            set(3, X[3] - 10, Y[3] + 30);
            break;
        case 1:
            set(0, X[0], Y[0] + PkH + 5);
            set(1, X[1] + PkW / 2 + 10, Y[1] + 30);
            set(2, X[2], Y[2] - PkH - 32);
            set(3, X[3] + PkW / 2 - 10, Y[3] + 30);
            break;
        default:
            set(0, X[0], Y[0] + PkH / 2 - 15);
            set(1, X[1] + PkW / 2 + 10, Y[1] - 20);
            set(2, X[2], Y[2] - PkH - 34);
            set(3, X[3] + PkW / 2 - 10, Y[3] - 20);
            break;
        }
    }

    p.OptButCount = 2;
    p.OptButX = p.W - 54;
    p.OptButY = p.H - p.OptButCount * 29 - 47;
    p.TimeBarX = 18;
    p.TimeBarY = 20;
    p.YuClockX = 18 + 52;
    p.YuClockY = 20;
    p.YuClockWidth = 120;
}

bool picGameBack_Resize(PaintCtx& c, int w, int h, const std::function<void()>& afterLayout)
{
    c.surf.resize(std::max(0, w), std::max(0, h));
    ComputeLayout(c);
    if (afterLayout) afterLayout();
    return picGameBack_Paint(c);
}

bool picGameBack_Paint(PaintCtx& c)
{
    PaintState& p = c.p;
    if (p.blnPaintRunning) return false;
    p.blnPaintRunning = true;
    ++p.FullPaints;
    const bool seats = !c.ts.strViewOwner.isEmpty();
    {
        // Pictures looked up during this repaint are remembered until it ends.
        ImageMemoScope memo(c);
        c.surf.clear();
        PaintTableBack(c, c.surf.backColor != kTableBackColor);
        PaintTimeBar(c);
        p.blnTableDrawn = false;
        PaintOutPai(c, false);
        if (seats) {
            for (int chair = 0; chair < 4; ++chair) {
                PaintUserFace(c, chair);
                PaintNetBreak(c, chair);
                PaintHandUp(c, chair);
                if (!c.ts.TableIdle) {
                    PaintUserPai(c, chair);
                    PaintMingCi(c, chair);
                    PaintYuPai(c, chair);
                }
            }
            PaintOptBut(c, 0);
            PaintOptBut(c, 1);
            PaintOutBut(c, 0);
            PaintOutBut(c, 1);
            PaintOutBut(c, 2);
            PaintTimeBar(c);
            PaintClock(c, true);
            PaintGameScore(c);
        }
    }
    p.blnTableDrawn = true;
    p.blnPaintRunning = false;
    c.surf.changed();
    return seats;
}

// ---- Background ----------------------------------------------------------------------------

namespace {

// The table's edges, as the last full repaint kept them, put back inside `r`.
void RestoreEdges(PaintCtx& c, const QRect& r)
{
    const PaintState::TableEdges& e = c.p.Edges;
    const int W = e.W, H = e.H;
    if (W != c.p.W || H != c.p.H || W != c.surf.width() || H != c.surf.height() || e.top.isNull()) return;
    const int sideH = H - e.topH - e.bottomH;
    const struct {
        QRect band;
        const QImage& pic;
    } bands[] = {
        {QRect(0, 0, W, e.topH), e.top},
        {QRect(0, H - e.bottomH, W, e.bottomH), e.bottom},
        {QRect(0, e.topH, e.leftW, sideH), e.left},
        {QRect(W - e.rightW, e.topH, e.rightW, sideH), e.right},
    };
    for (const auto& b : bands) {
        const QRect part = r.intersected(b.band);
        if (!part.isEmpty() && !b.pic.isNull())
            c.surf.blt(part.x(), part.y(), part.width(), part.height(), b.pic, part.x() - b.band.x(),
                       part.y() - b.band.y());
    }
}

}  // namespace

void FillBackRect(PaintCtx& c, int x, int y, int w, int h)
{
    c.surf.fillRect(x, y, w, h, kTableBackColor);
    // An erase that reaches the table's edges (a side seat's column of 27 cards is taller than a
    // small table) puts the edges back there: the table colour alone leaves holes in the frame.
    RestoreEdges(c, QRect(x, y, w, h));
    c.surf.changed();
}

void RestoreBackRect(PaintCtx& c, int x, int y, int w, int h)
{
    const int mx = (c.p.W - 228) / 2, my = (c.p.H - 172) / 2;
    const QRect r = QRect(x, y, w + 1, h + 1).intersected(QRect(mx, my, 228, 172));
    if (r.isEmpty()) return;
    const QImage mid = Res(c, QStringLiteral("Res\\GameBackMid.bmp"));
    if (mid.isNull()) return;
    c.surf.blt(r.x(), r.y(), r.width(), r.height(), mid, r.x() - mx, r.y() - my, Rop::Copy);
    c.surf.changed();
}

namespace {

// The edge pieces along the four sides and the corners, one small copy at a time.
void DrawTableEdges(Surface& s, int W, int H, const QImage& vs, const QImage& hs, const QImage& jiao)
{
    if (!vs.isNull()) {
        for (int y = 0; y <= H; y += 5) {
            s.blt(6, y, -8, vs.height(), vs, 0, 0);  // mirrored, spans x = -2 .. 6
            s.blt(W - 7, y, vs.width(), vs.height(), vs, 0, 0);
        }
    }
    if (!hs.isNull()) {
        for (int x = 0; x <= W; x += 5) {
            s.blt(x, 0, hs.width(), hs.height(), hs, 0, 0);
            s.stretchBlt(x, H, 5, -8, hs, 0, 0, hs.width(), hs.height());  // mirrored, spans y = H - 8 .. H
        }
    }
    if (!jiao.isNull()) {
        s.blt(W - 18, 0, 18, 18, jiao, 0, 0);
        s.blt(17, 0, -18, 18, jiao, 0, 0);
        s.blt(17, H, -18, -18, jiao, 0, 0);
        s.blt(W - 18, H, 18, -18, jiao, 0, 0);
    }
}

}  // namespace

void PaintTableBack(PaintCtx& c, bool fill)
{
    Surface& s = c.surf;
    const int W = c.p.W, H = c.p.H;
    if (fill) s.fillRect(0, 0, W, H, kTableBackColor);

    const QImage mid = Res(c, QStringLiteral("Res\\GameBackMid.bmp"));
    if (!mid.isNull()) s.blt((W - 228) / 2, (H - 172) / 2, mid.width(), mid.height(), mid, 0, 0);

    const QImage vs = Res(c, QStringLiteral("Res\\GameBackVsBian.bmp"));
    const QImage hs = Res(c, QStringLiteral("Res\\GameBackHsBian.bmp"));
    const QImage jiao = Res(c, QStringLiteral("Res\\GameBackJiao.bmp"));
    // Every piece lies within these bands: the side pieces within 7 columns of the edges, the
    // top piece within its height, the bottom one within 8 rows, the corners within 18.
    PaintState::TableEdges& e = c.p.Edges;
    const bool same = e.W == W && e.H == H && W == s.width() && H == s.height() &&
                      e.top.devicePixelRatio() == s.devicePixelRatio() && e.mid == mid.cacheKey() &&
                      e.vs == vs.cacheKey() && e.hs == hs.cacheKey() && e.jiao == jiao.cacheKey();
    if (same) {
        // The bands as the pieces left them over the table colour and the central picture,
        // which is what lies under them now.
        s.blt(0, 0, W, e.topH, e.top, 0, 0);
        s.blt(0, H - e.bottomH, W, e.bottomH, e.bottom, 0, 0);
        s.blt(0, e.topH, e.leftW, H - e.topH - e.bottomH, e.left, 0, 0);
        s.blt(W - e.rightW, e.topH, e.rightW, H - e.topH - e.bottomH, e.right, 0, 0);
    } else {
        DrawTableEdges(s, W, H, vs, hs, jiao);
        e = PaintState::TableEdges{};
        if (W == s.width() && H == s.height()) {
            e.topH = std::min(H, std::max(18, hs.isNull() ? 0 : hs.height()));
            e.bottomH = std::min(H - e.topH, 18);
            e.leftW = std::min(W, 18);
            e.rightW = std::min(W - e.leftW, 18);
            const int sideH = H - e.topH - e.bottomH;
            e.top = s.copyArea(0, 0, W, e.topH);
            e.bottom = s.copyArea(0, H - e.bottomH, W, e.bottomH);
            e.left = s.copyArea(0, e.topH, e.leftW, sideH);
            e.right = s.copyArea(W - e.rightW, e.topH, e.rightW, sideH);
            e.W = W;
            e.H = H;
            e.mid = mid.cacheKey();
            e.vs = vs.cacheKey();
            e.hs = hs.cacheKey();
            e.jiao = jiao.cacheKey();
        }
    }
    s.changed();
}

// ---- Seats ---------------------------------------------------------------------------------

void PaintUserFace(PaintCtx& c, int chair, bool asFree)
{
    if (!ValidChair(chair)) return;
    PaintState& p = c.p;
    Surface& s = c.surf;
    const size_t v = size_t(ViewPosOf(c, chair));
    const int x = p.SeatX[v], y = p.SeatY[v];
    const ChairInfo& ch = c.ts.Chairs[size_t(chair)];
    s.foreColor = QColor(255, 255, 255);

    const QString name = asFree ? QString() : ch.Name;
    if (name.isEmpty()) {
        if (p.blnTableDrawn) {
            if (v == 1 || v == 3)
                FillBackRect(c, std::min(x, p.NameX[v]) - 1, y - 1, 52, 90);
            else
                FillBackRect(c, x - 1, y - 1, 150, 34);
        }
        return;
    }

    // Figures are icons: drawn through their transparency like the original picture copy did.
    const QImage fig = c.cache.getWithAlpha(FigureFilePath(c.ps.strParentPath, ch.IconNo));
    if (!fig.isNull()) s.drawImage(x, y, fig);

    if (v == 0 || v == 2) {
        s.print(p.NameX[v], p.NameY[v], name);
    } else {
        // Side seats are narrow: about four wide characters (or eight narrow ones) a line.
        int k = 0, units = 0;
        QString line;
        for (int i = 0; i < name.size(); ++i) {
            QChar ch0 = name[i];
            line.append(ch0);
            if (ch0.isHighSurrogate() && i + 1 < name.size()) line.append(name[++i]);
            units += ch0.unicode() >= 256 ? 2 : 1;
            if (units >= 8) {
                ++k;
                s.print(p.NameX[v], p.NameY[v] + 12 * k, line);
                line.clear();
                units = 0;
            }
        }
        if (!line.isEmpty()) s.print(p.NameX[v], p.NameY[v] + 12 * (k + 1), line);
    }
    s.changed();
}

void PaintNetBreak(PaintCtx& c, int chair)
{
    if (!ValidChair(chair)) return;
    const size_t v = size_t(ViewPosOf(c, chair));
    const int x = c.p.NetBreakX[v], y = c.p.NetBreakY[v];
    if (c.ts.Chairs[size_t(chair)].Dropped) {
        const QImage img = c.p.imgNetBreak.isNull() ? Res(c, QStringLiteral("Res\\NetBreak.bmp")) : c.p.imgNetBreak;
        if (!img.isNull()) {
            c.surf.blt(x, y, img.width(), img.height(), img, 0, 0);
            c.surf.changed();
        }
    } else if (c.p.blnTableDrawn) {
        FillBackRect(c, x - 1, y - 1, 34, 34);
    }
}

void PaintHandUp(PaintCtx& c, int chair)
{
    if (!ValidChair(chair)) return;
    const size_t v = size_t(ViewPosOf(c, chair));
    const int x = c.p.HandUpX[v], y = c.p.HandUpY[v];
    const QImage hand = c.ts.Chairs[size_t(chair)].HandRaised ? Res(c, QStringLiteral("Res\\Hand.bmp")) : QImage();
    if (!hand.isNull()) {
        c.surf.blt(x, y, hand.width(), hand.height(), hand, 0, 0);
        c.surf.changed();
    } else if (c.p.blnTableDrawn) {
        FillBackRect(c, x - 1, y - 1, 82, 37);
    }
}

// ---- Buttons -------------------------------------------------------------------------------

namespace {

int OutButCount(const TableState& ts) { return ts.GamePhase == GamePhase::Lead ? 1 : (ts.GamePhase == GamePhase::Follow ? 2 : 0); }

}  // namespace

void PaintOptBut(PaintCtx& c, int i)
{
    const PaintState& p = c.p;
    if (i < 0 || i >= p.OptButCount || i >= int(c.tv.OptButState.size())) return;
    const int st = c.tv.OptButState[size_t(i)];
    if (st != 1 && st != 2) return;
    const QImage img = Res(c, QStringLiteral("Res\\UserOptBut.bmp"));
    if (img.isNull()) return;
    const int cell = (st - 1) * p.OptButCount + i;
    c.surf.blt(p.OptButX, p.OptButY + i * 29, 44, 24, img, cell * 44, 0);
    c.surf.changed();
}

bool OutButRect(const PaintCtx& c, int i, int& x, int& y)
{
    const int k = OutButCount(c.ts);
    if (i < 0 || i >= k) return false;
    const int rowW = k * 69 - 8;
    x = c.p.OutPaiX[2] - rowW / 2 + i * 69;
    y = c.p.OutPaiY[2] + (c.p.PkHeight - 28) / 2;
    return true;
}

void PaintOutBut(PaintCtx& c, int i)
{
    int x = 0, y = 0;
    if (!OutButRect(c, i, x, y)) return;
    const int st = c.tv.OutButState[size_t(i)];
    if (st != 1 && st != 2) return;
    const QImage img = Res(c, QStringLiteral("Res\\UserOutBut.bmp"));
    if (img.isNull()) return;
    c.surf.maskBlt(x, y, 61, 28, img, 366, 0, img, ((st - 1) * 3 + i) * 61, 0);
    c.surf.changed();
}

void ShowOutBut(PaintCtx& c, bool show)
{
    TableState& ts = c.ts;
    c.tv.OutButState = {0, 0, 0};
    if (show) {
        if (ts.GamePhase == GamePhase::Lead) {
            c.tv.OutButState[0] = 1;
            PaintOutBut(c, 0);
        } else if (ts.GamePhase == GamePhase::Follow) {
            c.tv.OutButState[0] = 1;
            c.tv.OutButState[1] = 1;
            PaintOutBut(c, 0);
            PaintOutBut(c, 1);
        }
    } else {
        const int x = c.p.OutPaiX[2] - 65;
        const int y = c.p.OutPaiY[2] + (c.p.PkHeight - 28) / 2;
        FillBackRect(c, x, y, 130, 28);
        RestoreBackRect(c, x, y, 130, 28);
    }
}

int HitOptBut(const PaintCtx& c, int x, int y)
{
    if (c.tv.OptButState[0] == 0) return -1;
    for (int i = 0; i < c.p.OptButCount; ++i) {
        const int left = c.p.OptButX, top = c.p.OptButY + i * 29;
        if (x > left && x < left + 44 && y > top && y < top + 24) return i;
    }
    return -1;
}

int HitOutBut(const PaintCtx& c, int x, int y)
{
    if (c.tv.OutButState[0] == 0) return -1;
    for (int i = 0; i < 3; ++i) {
        int left = 0, top = 0;
        if (!OutButRect(c, i, left, top)) break;
        if (x > left && x < left + 61 && y > top && y < top + 28) return i;
    }
    return -1;
}
