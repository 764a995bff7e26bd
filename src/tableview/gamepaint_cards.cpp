// Hands and plays: card pictures, the own hand with raised cards and its hit test, the other
// seats' cards, the plays of the current and the previous trick, pass marks and finishing places.
#include <algorithm>
#include <vector>

#include "tableview/gamepaint.h"
#include "tableview/paintutil.h"

using namespace paintutil;

namespace paintutil {

QImage PkFace(PaintCtx& c, uint8_t card, bool normalSet)
{
    const uint8_t no = GetPkImageNo(card);
    if (no == 255) return QImage();
    const QString& folder = normalSet ? c.p.strPkPath : c.p.strPkPath2;
    const size_t set = normalSet ? 0 : 1;
    std::array<QString, 54>& paths = c.p.PkFacePaths[set];
    if (no >= paths.size()) return Img(c, folder + QStringLiteral("Pk") + QString::number(no) + QStringLiteral(".bmp"));
    if (c.p.PkFaceFolder[set] != folder) {
        c.p.PkFaceFolder[set] = folder;
        for (size_t i = 0; i < paths.size(); ++i)
            paths[i] = folder + QStringLiteral("Pk") + QString::number(i) + QStringLiteral(".bmp");
    }
    return Img(c, paths[no]);
}

QImage PkMask(PaintCtx& c, bool normalSet)
{
    return Img(c, normalSet ? c.p.strPkMaskPath : c.p.strPkMaskPath2);
}

QImage PkBack(PaintCtx& c) { return Res(c, QStringLiteral("Res\\PkBack.bmp")); }

}  // namespace paintutil

namespace {

bool ValidChair(int chair) { return chair >= 0 && chair < 4; }

bool IsPass(const ByteArr& play) { return play.upperBound() == 1 && play[1] == kPassCard; }

// Cards laid `step` apart (to the right when `across`, else downwards), each over the previous.
// Only the part of a card the next one leaves visible is copied: the picture is the same as
// copying every card whole, at a fraction of the pixels.
void DrawOverlapped(PaintCtx& c, const std::vector<QImage>& faces, int x, int y, int w, int h, int step,
                    bool across, const QImage& mask)
{
    const int n = int(faces.size());
    if (n == 0) return;
    const int ext = VisibleExtent(c, mask, w, h, step, across);
    for (int i = 0; i < n; ++i) {
        const int cw = (i + 1 < n && across) ? ext : w;
        const int ch = (i + 1 < n && !across) ? ext : h;
        const int cx = across ? x + i * step : x;
        const int cy = across ? y : y + i * step;
        DrawCard(c.surf, cx, cy, cw, ch, mask, faces[size_t(i)]);
    }
}

// A row of card backs, `count` of them, `step` apart, from (x, y) (horizontal when `across`).
void PaintBackRow(PaintCtx& c, int count, int x, int y, int step, bool across)
{
    if (count < 1) return;
    const QImage back = PkBack(c);
    if (back.isNull()) return;
    DrawOverlapped(c, std::vector<QImage>(size_t(count), back), x, y, c.p.PkWidth, c.p.PkHeight, step, across,
                   PkMask(c, true));
}

// Face-up cards down a column, `step` apart; a card without a picture closes up like in a row.
void PaintFaceColumn(PaintCtx& c, const ByteArr& cards, int x, int y, int step)
{
    std::vector<QImage> faces;
    for (int i = 1; i <= cards.upperBound(); ++i) {
        QImage face = PkFace(c, cards[i], true);
        if (!face.isNull()) faces.push_back(std::move(face));
    }
    DrawOverlapped(c, faces, x, y, c.p.PkWidth, c.p.PkHeight, step, false, PkMask(c, true));
}

// Left edge of the own hand of n cards.
int MyPaiLeft(const PaintCtx& c, int n)
{
    return c.p.PaiX[2] - RowWidth(n, c.p.PkSpace, c.p.PkWidth) / 2;
}

// The picture of own hand position i: its face, or the back while the cards are hidden.
QImage MyPaiImage(PaintCtx& c, int i)
{
    if (c.ts.CanSeePai == 0) return PkBack(c);
    return PkFace(c, c.ts.MyPai[i], true);
}

void GrowSelected(PaintCtx& c)
{
    const int n = c.ts.MyPai.upperBound();
    if (c.tv.PaiSelected.upperBound() < n) c.tv.PaiSelected.redim(n);
}

// Where one seat's play of n entries goes: the pass mark's or the row's top-left.
void OutPaiPlace(const PaintCtx& c, int chair, int n, bool pass, int& x, int& y)
{
    const PaintState& p = c.p;
    const size_t v = size_t(ViewPosOf(c, chair));
    const int gx = p.OutPaiX[v], gy = p.OutPaiY[v];
    const int w = RowWidth(n, p.PkSpace2, p.PkWidth2);
    const int pkW = p.PkWidth2, pkH = p.PkHeight2;
    if (pass) {
        switch (v) {
        case 1: x = gx + (pkW - 67) / 2 + 3; y = gy - 34 / 2; break;
        case 3: x = gx - (pkW - 67) / 2 - 67 - 3; y = gy - 34 / 2; break;
        default: x = gx - 67 / 2; y = gy + (pkH - 34) / 2; break;
        }
    } else {
        switch (v) {
        case 1: x = gx; y = gy - pkH / 2; break;
        case 3: x = gx - w; y = gy - pkH / 2; break;
        default: x = gx - w / 2; y = gy; break;
        }
    }
}

void DrawPlay(PaintCtx& c, int chair, const ByteArr& play)
{
    const int n = play.upperBound();
    if (n < 1) return;
    const bool pass = IsPass(play);
    int x = 0, y = 0;
    OutPaiPlace(c, chair, n, pass, x, y);
    if (pass)
        PaintBuChu(c, x, y);
    else
        PaintPkRow(c, play, x, y, false);
}

}  // namespace

uint8_t GetPkImageNo(uint8_t card)
{
    if (card > 53) return 255;
    if (card == 52 || card == 53) return card;
    const int s = card / 13, r = card % 13;
    const int rank = r < 11 ? r + 2 : r - 11;
    static constexpr int kSuit[4] = {1, 2, 3, 0};
    return uint8_t(kSuit[s] * 13 + rank);
}

void PaintPkRow(PaintCtx& c, const ByteArr& cards, int x, int y, bool normalSet)
{
    const int n = cards.upperBound();
    if (n < 1) return;
    const PaintState& p = c.p;
    const int w = normalSet ? p.PkWidth : p.PkWidth2;
    const int h = normalSet ? p.PkHeight : p.PkHeight2;
    const int step = normalSet ? p.PkSpace : p.PkSpace2;
    std::vector<QImage> faces;
    faces.reserve(size_t(n));
    for (int i = 1; i <= n; ++i) {
        QImage face = PkFace(c, cards[i], normalSet);
        if (!face.isNull()) faces.push_back(std::move(face));  // else the next card takes its place
    }
    DrawOverlapped(c, faces, x, y, w, h, step, true, PkMask(c, normalSet));
    c.surf.changed();
}

int MaxHandCount(const TableState& ts) { return (int(ts.DeckCount) * 54) / 4; }

void PaintUserPai(PaintCtx& c, int chair)
{
    if (!ValidChair(chair)) return;
    const int v = ViewPosOf(c, chair);
    if (v == 2) {
        PaintMyPai(c);
        return;
    }
    const PaintState& p = c.p;
    const TableState& ts = c.ts;
    const ChairInfo& ch = ts.Chairs[size_t(chair)];
    const int m = MaxHandCount(ts);
    const int hx = p.PaiX[size_t(v)], hy = p.PaiY[size_t(v)];

    if (v == 0) {
        if (!ch.LeftPai.empty()) {
            const int cnt = ch.LeftPai.upperBound();
            PaintPkRow(c, ch.LeftPai, hx - RowWidth(cnt, p.PkSpace, p.PkWidth) / 2, hy, true);
        } else if (ts.ShowPartnerPai != 0) {
            PaintPartnerPai(c);
        } else if (ts.ShowLeftPai != 0) {
            const int cnt = ch.PaiCount;
            const int mw = RowWidth(std::max(m, cnt), p.PkSpace, p.PkWidth);
            FillBackRect(c, hx - mw / 2 - 1, hy - 1, mw + 2, p.PkHeight + 2);
            PaintBackRow(c, cnt, hx - RowWidth(cnt, p.PkSpace, p.PkWidth) / 2, hy, p.PkSpace, true);
        }
    } else {
        const int step = p.PkUpSpace;
        if (!ch.LeftPai.empty()) {
            const int cnt = ch.LeftPai.upperBound();
            PaintFaceColumn(c, ch.LeftPai, hx, hy - RowWidth(cnt, step, p.PkHeight) / 2, step + 5);
        } else if (ts.ShowLeftPai != 0) {
            const int cnt = ch.PaiCount;
            const int mh = RowWidth(std::max(m, cnt), step, p.PkHeight);
            FillBackRect(c, hx - 1, hy - mh / 2 - 1, p.PkWidth + 2, mh + 2);
            PaintBackRow(c, cnt, hx, hy - RowWidth(cnt, step, p.PkHeight) / 2, step, false);
        }
    }
    c.surf.changed();
}

void PaintMyPai(PaintCtx& c)
{
    const PaintState& p = c.p;
    TableState& ts = c.ts;
    const int n = ts.MyPai.upperBound();
    // The erase covers the largest hand, or a longer one should the server ever send it, so no
    // card of an earlier picture is left beside the row.
    const int mw = RowWidth(std::max(MaxHandCount(ts), n), p.PkSpace, p.PkWidth);
    FillBackRect(c, p.PaiX[2] - mw / 2, p.PaiY[2] - p.PkUpSpace, mw + 1, p.PkHeight + 25);
    if (n < 1) return;
    GrowSelected(c);
    ImageMemoScope memo(c);
    const QImage mask = PkMask(c, true);
    const int ext = VisibleExtent(c, mask, p.PkWidth, p.PkHeight, p.PkSpace, true);
    std::vector<QImage> faces(size_t(n) + 1);
    for (int i = 1; i <= n; ++i) faces[size_t(i)] = MyPaiImage(c, i);
    int x = MyPaiLeft(c, n);
    for (int i = 1; i <= n; ++i) {
        const bool raised = c.tv.PaiSelected[i] != 0;
        const int y = raised ? p.PaiY[2] - p.PkUpSpace : p.PaiY[2];
        const QImage& face = faces[size_t(i)];
        // A card without a picture keeps its place, so what is seen stays where HitPk looks.
        if (!face.isNull()) {
            // Only a next card at the same height hides this one's right-hand part.
            const bool covered = i < n && !faces[size_t(i) + 1].isNull() && (c.tv.PaiSelected[i + 1] != 0) == raised;
            const int cw = covered ? ext : p.PkWidth;
            DrawCard(c.surf, x, y, cw, p.PkHeight, mask, face);
        }
        x += p.PkSpace;
    }
    c.surf.changed();
}

void PaintPartnerPai(PaintCtx& c)
{
    const PaintState& p = c.p;
    const TableState& ts = c.ts;
    const int cnt = ts.PartnerPai.upperBound();
    const int hx = p.PaiX[0], hy = p.PaiY[0];
    const int mw = RowWidth(std::max(MaxHandCount(ts), cnt), p.PkSpace, p.PkWidth);
    FillBackRect(c, hx - mw / 2 - 1, hy - 1, mw + 2, p.PkHeight + 2);
    if (cnt < 1) return;
    const int left = hx - RowWidth(cnt, p.PkSpace, p.PkWidth) / 2;
    if (ts.CanSeePai == 0)
        PaintBackRow(c, cnt, left, hy, p.PkSpace, true);
    else
        PaintPkRow(c, ts.PartnerPai, left, hy, true);
    c.surf.changed();
}

int HitPk(PaintCtx& c, int x, int y)
{
    const PaintState& p = c.p;
    const TableState& ts = c.ts;
    const int n = ts.MyPai.upperBound();
    if (n < 1) return -1;
    const int L = MyPaiLeft(c, n);
    const int R = L + RowWidth(n, p.PkSpace, p.PkWidth);
    const int T = p.PaiY[2];
    const int up = p.PkUpSpace;
    const int k = p.PkWidth / p.PkSpace;
    if (x < L || x > R || y < T - up || y > T + p.PkHeight) return -1;
    const int i = std::min((x - L) / p.PkSpace + 1, n);
    auto sel = [&c](int j) { return c.tv.PaiSelected.at(j) != 0; };
    int j = i - 1;
    if (y < T) {
        // Above the row only raised cards reach.
        if (sel(i)) return i;
        while (j >= 1 && !sel(j)) --j;
    } else if (y < T + p.PkHeight - up) {
        return i;
    } else {
        // The bottom strip, which raised cards left.
        if (!sel(i)) return i;
        while (j >= 1 && sel(j)) --j;
    }
    if (j < 1 || i - j >= k) return -1;
    return j;
}

void RedrawMyPk(PaintCtx& c, int i)
{
    const PaintState& p = c.p;
    TableState& ts = c.ts;
    const int n = ts.MyPai.upperBound();
    if (n < 1 || i < 1 || i > n) return;
    GrowSelected(c);
    // Card i moves only inside its own column, from the raised top to the unraised bottom: erase
    // that column and draw again every card reaching into it, in hand order, cut to the column.
    // Inside the column the result is what the whole-hand drawing leaves there; outside it
    // nothing changed.
    const int L = MyPaiLeft(c, n);
    const QRect clip(L + (i - 1) * p.PkSpace, p.PaiY[2] - p.PkUpSpace, p.PkWidth, p.PkHeight + p.PkUpSpace);
    c.surf.fillRect(clip.x(), clip.y(), clip.width(), clip.height(), kTableBackColor);
    const QImage mask = PkMask(c, true);
    const int reach = (p.PkWidth + p.PkSpace - 1) / p.PkSpace;
    for (int j = std::max(1, i - reach); j <= std::min(n, i + reach); ++j) {
        const QImage face = MyPaiImage(c, j);
        if (face.isNull()) continue;
        const int x = L + (j - 1) * p.PkSpace;
        const int y = c.tv.PaiSelected[j] != 0 ? p.PaiY[2] - p.PkUpSpace : p.PaiY[2];
        DrawCardClip(c.surf, x, y, p.PkWidth, p.PkHeight, mask, face, clip);
    }
    c.surf.changed();
}

void PaintOutPai(PaintCtx& c, bool previous)
{
    const PaintState& p = c.p;
    ImageMemoScope memo(c);
    const int x = p.OutPaiX[1], y = p.OutPaiY[0];
    FillBackRect(c, x, y, p.OutPaiX[3] - x + 1, p.OutPaiY[2] + p.PkHeight - y + 1);
    const QImage mid = Res(c, QStringLiteral("Res\\GameBackMid.bmp"));
    if (!mid.isNull()) c.surf.blt((p.W - 228) / 2, (p.H - 172) / 2, mid.width(), mid.height(), mid, 0, 0);
    for (int chair = 0; chair < 4; ++chair) {
        const ChairInfo& ch = c.ts.Chairs[size_t(chair)];
        DrawPlay(c, chair, previous ? ch.LastOutPai : ch.OutPai);
    }
    c.surf.changed();
}

void PaintUserOutPai(PaintCtx& c, int chair)
{
    if (!ValidChair(chair)) return;
    DrawPlay(c, chair, c.ts.Chairs[size_t(chair)].OutPai);
    c.surf.changed();
}

void ClearUserOutPai(PaintCtx& c, int chair)
{
    if (!ValidChair(chair)) return;
    const ByteArr& play = c.ts.Chairs[size_t(chair)].OutPai;
    const int n = play.upperBound();
    if (n < 1) return;
    const bool pass = IsPass(play);
    int x = 0, y = 0;
    OutPaiPlace(c, chair, n, pass, x, y);
    const int w = pass ? 67 : RowWidth(n, c.p.PkSpace2, c.p.PkWidth2);
    const int h = pass ? 34 : c.p.PkHeight2;
    FillBackRect(c, x, y, w, h);
    RestoreBackRect(c, x, y, w, h);
}

void PaintBuChu(PaintCtx& c, int x, int y)
{
    const QImage img = Res(c, QStringLiteral("Res\\BuChu.bmp"));
    if (img.isNull()) return;
    c.surf.maskBlt(x, y, 67, 34, img, 67, 0, img, 0, 0);
    c.surf.changed();
}

void PaintMingCi(PaintCtx& c, int chair)
{
    if (!ValidChair(chair)) return;
    const int place = c.ts.Chairs[size_t(chair)].MingCi;
    if (place < 1 || place > 3) return;
    const QImage img = Res(c, QStringLiteral("Res\\MingCi.bmp"));
    if (img.isNull()) return;
    const size_t v = size_t(ViewPosOf(c, chair));
    static constexpr int kOff[4][2] = {{-95, 3}, {0, -70}, {-95, 3}, {-10, -70}};
    c.surf.blt(c.p.SeatX[v] + kOff[v][0], c.p.SeatY[v] + kOff[v][1], 48, 46, img, (place - 1) * 48, 0);
    c.surf.changed();
}
