// Status overlays: the time bar's ends, the turn clock, the score panel, the cards-left texts and
// the end panels.
#include <algorithm>

#include "platform/core/vbnum.h"
#include "tableview/gamepaint.h"
#include "tableview/paintutil.h"

using namespace paintutil;

namespace {

const QString kSong = QStringLiteral("宋体");
const QString kHei = QStringLiteral("黑体");

void NormalFont(Surface& s)
{
    s.fontBold = false;
    s.fontSize = 9;
    s.fontName = kSong;
}

// Top-left of the clock of the seat at ViewPos v.
void ClockPlace(const PaintCtx& c, int v, int& x, int& y)
{
    static constexpr int kOff[4][2] = {{-85, -2}, {0, -80}, {-85, -4}, {0, -80}};
    x = c.p.SeatX[size_t(v)] + kOff[v][0];
    y = c.p.SeatY[size_t(v)] + kOff[v][1];
}

// The etched rule of the end panels: a dark line with a light one just above it.
void EtchedRule(Surface& s, int x1, int x2, int y)
{
    s.line(x1, y, x2, y, QColor(30, 30, 30));
    s.line(x1, y - 1, x2, y - 1, QColor(230, 230, 230));
}

}  // namespace

void PaintTimeBar(PaintCtx& c)
{
    Surface& s = c.surf;
    const QImage head = Res(c, QStringLiteral("Res\\TimeBarHead.bmp"));
    if (!head.isNull()) s.blt(c.p.TimeBarX, c.p.TimeBarY, head.width(), head.height(), head, 0, 0);
    const QImage end = Res(c, QStringLiteral("Res\\TimeBarEnd.bmp"));
    if (!end.isNull()) s.blt(c.p.TimeBarX + 52 + 120, c.p.TimeBarY, end.width(), end.height(), end, 0, 0);
    s.changed();
}

void PaintClock(PaintCtx& c, bool show)
{
    if (c.ts.GamePhase == GamePhase::None) return;
    const int chair = c.p.TimedChair;
    if (chair < 0 || chair > 3) return;  // no seat is timed
    int x = 0, y = 0;
    ClockPlace(c, ViewPosOf(c, chair), x, y);
    Surface& s = c.surf;
    if (show) {
        const int n = c.p.ClockTicks;
        const QImage clock = Res(c, QStringLiteral("Res\\Clock.bmp"));
        if (!clock.isNull()) {
            s.maskBlt(x, y, 31, 38, clock, 248, 0, clock, ((n % 8 + 8) % 8) * 31, 0);
        }
        FillBackRect(c, 63, 35, 30, 30);
        s.fontName = kHei;
        s.fontSize = 9;
        s.fontBold = true;
        s.foreColor = QColor(255, 255, 0);
        s.print(63, 35, QString::number(qint64(c.ts.TurnSeconds) - n));
        NormalFont(s);
    } else {
        FillBackRect(c, x, y, 32, 39);
        FillBackRect(c, 63, 35, 30, 30);
    }
    s.changed();
}

void PaintGameScore(PaintCtx& c)
{
    const TableState& ts = c.ts;
    if (ts.TableIdle) return;
    Surface& s = c.surf;
    const int px = c.p.W - 159 - 50, py = 10;
    const QImage panel = Res(c, QStringLiteral("Res\\GameScore.bmp"));
    if (!panel.isNull()) s.blt(px, py, panel.width(), panel.height(), panel, 0, 0);
    const size_t own = ts.bteMyChair % 2;
    s.fontBold = true;
    s.fontSize = 10;
    s.foreColor = QColor(255, 255, 255);
    s.print(px + 100, py + 5, QString::number(ts.TeamScore[own]));
    s.print(px + 100, py + 25, QString::number(ts.TeamScore[1 - own]));
    s.foreColor = QColor(0, 255, 255);
    s.print(px + 100, py + 44, QString::number(ts.TrickFen));
    s.fontBold = false;
    s.fontSize = 9;
    s.changed();
}

void PaintYuPai(PaintCtx& c, int chair)
{
    if (chair < 0 || chair > 3) return;
    const size_t v = size_t(ViewPosOf(c, chair));
    const int ax = c.p.SeatX[v], ay = c.p.SeatY[v];
    static constexpr int kOff[4][2] = {{-16, 38}, {0, 70}, {136, 5}, {-20, 70}};
    const int x = ax + kOff[v][0], y = ay + kOff[v][1];
    Surface& s = c.surf;
    const QColor oldColor = s.foreColor;
    const int oldSize = s.fontSize;
    const bool oldBold = s.fontBold;
    FillBackRect(c, x, y, 63, 13);
    // The number's font is taller than that strip and starts above it: erase the whole box a
    // number of up to three digits takes, or the previous count's tops and bottoms stay.
    s.fontSize = 13;
    s.fontBold = true;
    FillBackRect(c, x + 40, y - 3, s.textWidth(QStringLiteral("888")) + 2, s.textHeight());
    s.fontSize = 11;
    s.fontBold = false;
    s.foreColor = QColor(0, 180, 200);
    s.print(x, y, QStringLiteral("余牌:"));
    s.fontSize = 13;
    s.fontBold = true;
    s.foreColor = QColor(250, 0, 200);
    s.print(x + 40, y - 3, QString::number(c.ts.Chairs[size_t(chair)].PaiCount));
    s.foreColor = oldColor;
    s.fontSize = oldSize;
    s.fontBold = oldBold;
    s.changed();
}

namespace {

// The framed panel centred on the table with its title, the etched rule under it and the two
// partnerships' scores: what both end panels share. Leaves the scores' font set.
void PaintEndPanelHead(PaintCtx& c, int w, int h, int textX, int scoresY, int scoresStep, const QString& title,
                       int& x, int& y)
{
    Surface& s = c.surf;
    const TableState& ts = c.ts;
    const size_t own = ts.bteMyChair % 2;
    x = (c.p.W - w) / 2;
    y = (c.p.H - h) / 2;
    PaintMsgPanel(c, x, y, w, h);
    s.fontName = kHei;
    s.fontSize = 20;
    s.fontBold = true;
    s.foreColor = QColor(0, 0, 250);
    s.print(x + textX, y + 35, title);
    EtchedRule(s, x + 30, x + w - 30, y + 70);
    s.fontName = kSong;
    s.fontSize = 12;
    s.fontBold = true;
    s.print(x + textX, y + scoresY, QStringLiteral("我伙得分： ") + QString::number(ts.TeamScore[own]));
    s.print(x + textX, y + scoresY + scoresStep, QStringLiteral("对伙得分： ") + QString::number(ts.TeamScore[1 - own]));
}

}  // namespace

void PaintGameOver(PaintCtx& c, const std::array<int32_t, 4>& changes)
{
    Surface& s = c.surf;
    int x = 0, y = 0;
    if (changes[0] == 0) {
        // A drawn round: the small panel with the two scores only.
        PaintEndPanelHead(c, 240, 160, 60, 85, 25, QStringLiteral("本轮和局！"), x, y);
    } else {
        PaintEndPanelHead(c, 340, 260, 110, 80, 25, QStringLiteral("游戏结束"), x, y);
        EtchedRule(s, x + 30, x + 310, y + 130);
        for (int i = 0; i < 4; ++i) {
            s.print(x + 60, y + 140 + 25 * i, c.ts.Chairs[size_t(i)].Name);
            s.print(x + 240, y + 140 + 25 * i, QString::number(changes[size_t(i)]));
        }
    }
    NormalFont(s);
    s.changed();
}

void PaintMsgPanel(PaintCtx& c, int x, int y, int w, int h)
{
    Surface& s = c.surf;
    constexpr int cw = 18, ch = 28;
    s.fillRect(x + cw, y + ch, w - 2 * cw, h - 2 * ch, QColor(247, 207, 156));
    const QImage img = Res(c, QStringLiteral("Res\\ModeMsg.bmp"));
    if (!img.isNull()) {
        const int bottom = y + h - ch;
        // Corners: a cell's mask ANDed, then the cell ORed; the right-hand ones mirrored.
        s.maskBlt(x, y, cw, ch, img, 1 * cw, 0, img, 0 * cw, 0);
        s.maskBlt(x + w, y, -cw, ch, img, 1 * cw, 0, img, 0 * cw, 0);
        s.maskBlt(x, bottom, cw, ch, img, 3 * cw, 0, img, 2 * cw, 0);
        s.maskBlt(x + w, bottom, -cw, ch, img, 3 * cw, 0, img, 2 * cw, 0);
        // Edges: cell 4 along the top, cell 5 along the bottom, cell 6 down the left side and
        // mirrored down the right; the last piece of each run is cut to fit.
        for (int ex = x + cw; ex < x + w - cw; ex += cw) {
            const int pw = std::min(cw, x + w - cw - ex);
            s.blt(ex, y, pw, ch, img, 4 * cw, 0);
            s.blt(ex, bottom, pw, ch, img, 5 * cw, 0);
        }
        for (int ey = y + ch; ey < bottom; ey += ch) {
            const int ph = std::min(ch, bottom - ey);
            s.blt(x, ey, cw, ph, img, 6 * cw, 0);
            s.blt(x + w, ey, -cw, ph, img, 6 * cw, 0);
        }
    }
    s.changed();
}
