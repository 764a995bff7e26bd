// The table's own pictures: marks, buttons, clock, background pieces, time bar, score panel and
// the framed-panel cells.
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

#include "art.h"

namespace resgen {

namespace {

const QColor kTableC = QColor::fromRgb(kTable);

// Cells side by side from x 0, in the order given (pictures, then their mask where there is one).
// Cells made at a scale carry it, and so does the strip: they are placed in logical pixels.
QImage strip(const std::vector<QImage>& cells)
{
    int w = 0, h = 0;
    for (const QImage& c : cells) {
        w += c.width();
        h = std::max(h, c.height());
    }
    const qreal k = cells.empty() ? 1.0 : cells.front().devicePixelRatio();
    QImage out(w, h, QImage::Format_RGB32);
    if (k != 1.0)
        out.setDevicePixelRatio(k);
    out.fill(0xff000000u);
    int x = 0;
    for (const QImage& c : cells) {
        Put(out, c, x);
        x += int(c.width() / k);
    }
    return out;
}

// ---------- pass mark ----------
QImage buChu()
{
    QImage art = Canvas(67, 34, 0);
    QPainter p(&art);
    Smooth(p);
    const QRectF r(1.5, 2.5, 64, 29);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(255, 236, 150));
    g.setColorAt(0.5, QColor(250, 190, 60));
    g.setColorAt(1, QColor(215, 130, 20));
    p.setPen(QPen(QColor(110, 50, 10), 1.5));
    p.setBrush(g);
    p.drawRoundedRect(r, 13, 13);
    p.setPen(QPen(QColor(255, 250, 220), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 11, 11);
    CentredText(p, r.adjusted(0, 0, 0, -1), QStringLiteral("不出"), Cjk(19), QColor(160, 20, 20), QColor(255, 255, 255, 160));
    p.end();
    QImage pic, mask;
    SplitMasked(art, pic, mask);
    return strip({pic, mask});
}

// ---------- finishing places ----------
QImage mingCiCell(int place)
{
    QImage art = Canvas(48, 46, 0);
    QPainter p(&art);
    Smooth(p);
    const QColor metal[3][2] = {{QColor(255, 230, 110), QColor(200, 140, 10)},
                                {QColor(245, 245, 250), QColor(150, 155, 170)},
                                {QColor(240, 180, 120), QColor(150, 80, 30)}};
    const QColor ribbon[3] = {QColor(200, 30, 40), QColor(40, 90, 190), QColor(40, 140, 70)};
    // ribbon tails
    p.setPen(QPen(QColor(40, 20, 20), 0.8));
    p.setBrush(ribbon[place]);
    QPainterPath tl, tr;
    tl.moveTo(14, 26); tl.lineTo(7, 44); tl.lineTo(13, 40); tl.lineTo(18, 45); tl.lineTo(22, 30); tl.closeSubpath();
    tr.moveTo(34, 26); tr.lineTo(41, 44); tr.lineTo(35, 40); tr.lineTo(30, 45); tr.lineTo(26, 30); tr.closeSubpath();
    p.drawPath(tl);
    p.drawPath(tr);
    // medal with a notched rim
    const QPointF c(24, 19);
    QPainterPath rim;
    for (int i = 0; i < 32; ++i) {
        const double a = i * M_PI / 16;
        const double rr = i % 2 ? 17 : 18.5;
        QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
        if (i == 0) rim.moveTo(pt); else rim.lineTo(pt);
    }
    rim.closeSubpath();
    QRadialGradient g(c + QPointF(-5, -6), 22);
    g.setColorAt(0, metal[place][0]);
    g.setColorAt(1, metal[place][1]);
    p.setPen(QPen(metal[place][1].darker(160), 1));
    p.setBrush(g);
    p.drawPath(rim);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(metal[place][1].darker(130), 1));
    p.drawEllipse(c, 13, 13);
    CentredText(p, QRectF(c.x() - 12, c.y() - 13, 24, 25), QString::number(place + 1),
                Font(QStringLiteral("DejaVu Serif"), 20, true), metal[place][1].darker(220), QColor(255, 255, 255, 150));
    p.end();
    return OnTable(art);
}

QImage mingCi() { return strip({mingCiCell(0), mingCiCell(1), mingCiCell(2)}); }

// ---------- buttons ----------
// A rounded button face; lit buttons are brighter with a golden rim.
void buttonFace(QPainter& p, const QRectF& r, QColor base, bool lit, const QString& text, int px)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    const QColor top = lit ? base.lighter(170) : base.lighter(135);
    const QColor bottom = lit ? base.lighter(110) : base.darker(125);
    g.setColorAt(0, top);
    g.setColorAt(0.48, lit ? base.lighter(140) : base);
    g.setColorAt(0.52, lit ? base.lighter(125) : base.darker(110));
    g.setColorAt(1, bottom);
    p.setPen(QPen(lit ? QColor(255, 215, 90) : QColor(20, 30, 40), lit ? 1.6 : 1.2));
    p.setBrush(g);
    p.drawRoundedRect(r, 5, 5);
    p.setPen(QPen(QColor(255, 255, 255, lit ? 170 : 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
    CentredText(p, r.adjusted(0, 0, 0, -1), text, Cjk(px), lit ? QColor(255, 255, 210) : QColor(255, 255, 255),
                QColor(0, 0, 0, 150));
}

QImage optButton(const QString& text, bool lit)
{
    QImage art = Canvas(44, 24, 0);
    QPainter p(&art);
    Smooth(p);
    buttonFace(p, QRectF(0.5, 0.5, 43, 23), QColor(40, 110, 150), lit, text, text.size() > 2 ? 12 : 13);
    p.end();
    return OnTable(art);
}

QImage userOptBut()
{
    const QString names[2] = {QStringLiteral("排序"), QStringLiteral("上一轮")};
    std::vector<QImage> cells;
    for (bool lit : {false, true})
        for (const QString& n : names)
            cells.push_back(optButton(n, lit));
    return strip(cells);
}

QImage userOutBut()
{
    const QString names[3] = {QStringLiteral("出牌"), QStringLiteral("不出"), QStringLiteral("提示")};
    const QColor bases[3] = {QColor(30, 140, 70), QColor(190, 70, 30), QColor(50, 90, 180)};
    std::vector<QImage> cells;
    QImage mask;
    for (bool lit : {false, true})
        for (int i = 0; i < 3; ++i) {
            QImage art = Canvas(61, 28, 0);
            QPainter p(&art);
            Smooth(p);
            buttonFace(p, QRectF(1, 1, 59, 26), bases[i], lit, names[i], 15);
            p.end();
            QImage pic, m;
            SplitMasked(art, pic, m);
            cells.push_back(pic);
            mask = m;
        }
    cells.push_back(mask);
    return strip(cells);
}

// ---------- turn clock ----------
QImage clockArt(int step)
{
    QImage art = Canvas(31, 38, 0);
    QPainter p(&art);
    Smooth(p);
    // bells and legs
    p.setPen(QPen(QColor(60, 30, 10), 1));
    p.setBrush(QColor(230, 60, 50));
    p.drawChord(QRectF(1, 4, 12, 12), 30 * 16, 180 * 16);
    p.drawChord(QRectF(18, 4, 12, 12), -30 * 16, 180 * 16);
    p.setPen(QPen(QColor(60, 30, 10), 2));
    p.drawLine(QPointF(8, 33), QPointF(5, 37));
    p.drawLine(QPointF(23, 33), QPointF(26, 37));
    p.drawLine(QPointF(15.5, 6), QPointF(15.5, 3));
    // body
    const QPointF c(15.5, 21);
    QRadialGradient g(c + QPointF(-3, -3), 15);
    g.setColorAt(0, QColor(255, 120, 100));
    g.setColorAt(1, QColor(180, 30, 30));
    p.setPen(QPen(QColor(90, 10, 10), 1));
    p.setBrush(g);
    p.drawEllipse(c, 14, 14);
    p.setBrush(QColor(255, 252, 240));
    p.setPen(QPen(QColor(120, 40, 30), 0.8));
    p.drawEllipse(c, 10.5, 10.5);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        const double r0 = i % 3 ? 8.8 : 7.6;
        p.drawLine(QPointF(c.x() + r0 * std::sin(a), c.y() - r0 * std::cos(a)),
                   QPointF(c.x() + 9.8 * std::sin(a), c.y() - 9.8 * std::cos(a)));
    }
    // The hand sweeps once round over the eight cells; a short hand stays put.
    const double a = step * M_PI / 4;
    p.setPen(QPen(QColor(20, 20, 20), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x() + 8 * std::sin(a), c.y() - 8 * std::cos(a)));
    p.setPen(QPen(QColor(20, 20, 20), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x() + 4.5, c.y() + 1));
    p.setBrush(QColor(200, 30, 30));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, 1.6, 1.6);
    p.end();
    return art;
}

QImage clockStrip()
{
    std::vector<QImage> cells;
    QImage mask;
    for (int i = 0; i < 8; ++i) {
        QImage pic, m;
        SplitMasked(clockArt(i), pic, m);
        cells.push_back(pic);
        if (i == 0)
            mask = m;
    }
    // Every cell has the same outline (only the hand moves inside the dial), so one mask fits all.
    cells.push_back(mask);
    return strip(cells);
}

// ---------- raised hand ----------
QImage handMark()
{
    QImage art = Canvas(72, 35, 0);
    QPainter p(&art);
    Smooth(p);
    QPainterPath hand;
    // palm and fingers
    hand.addRoundedRect(QRectF(4, 15, 19, 17), 6, 6);
    const double fx[4] = {4.5, 9.3, 14.1, 18.9};
    const double ftop[4] = {8, 3, 4, 7};
    for (int i = 0; i < 4; ++i) {
        QPainterPath f;
        f.addRoundedRect(QRectF(fx[i], ftop[i], 4.6, 16), 2.3, 2.3);
        hand = hand.united(f);
    }
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-2, 0, 5, 13), 2.5, 2.5);
    QTransform t;
    t.translate(21, 24);
    t.rotate(-50);
    hand = hand.united(t.map(thumb));
    QLinearGradient g(0, 0, 0, 34);
    g.setColorAt(0, QColor(255, 226, 190));
    g.setColorAt(1, QColor(235, 180, 130));
    p.setPen(QPen(QColor(120, 60, 20), 1.1));
    p.setBrush(g);
    p.drawPath(hand);
    p.setPen(QPen(QColor(60, 120, 200), 2));
    p.setBrush(QColor(80, 150, 230));
    p.drawRoundedRect(QRectF(5, 30, 17, 5), 1.5, 1.5);
    CentredText(p, QRectF(27, 4, 45, 28), QStringLiteral("准备"), Cjk(18), QColor(255, 235, 80), QColor(0, 0, 0, 170));
    p.end();
    return OnTable(art);
}

// ---------- table background pieces ----------
// The rim colour at a depth into the rim, 0 = outermost pixel, 7 = innermost.
QRgb rimColour(int depth)
{
    static const QRgb k[8] = {0xff1e0e04, 0xff5a3414, 0xff8a5426, 0xffb07840,
                              0xff9a6430, 0xff744618, 0xff3a2a1c, 0xff0e3c58};
    return k[std::clamp(depth, 0, 7)];
}

// The rim colour at a depth in device pixels: at scale 1 the bands above; at higher scales the
// same profile sampled at each device pixel's centre, so the moulding is a smooth bevel rather
// than the bands doubled. Every piece takes its colours from here by device depth, so the
// pieces meet where they are tiled and the corner continues them.
QRgb rimColourAt(int deviceDepth)
{
    const int k = Scale();
    if (k == 1)
        return rimColour(deviceDepth);
    const double t = std::clamp((deviceDepth + 0.5) / k - 0.5, 0.0, 7.0);
    const int d = int(t);
    const double f = t - d;
    const QRgb a = rimColour(d), b = rimColour(d + 1);
    auto mix = [f](int u, int v) { return int(std::lround(u + (v - u) * f)); };
    return qRgb(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
}

QImage vsBian()   // 8 wide, column 0 faces the table, column 7 the outside
{
    QImage img = DeviceImage(8, 5);
    const int depths = img.width();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, rimColourAt(depths - 1 - x));
    return img;
}

QImage hsBian()   // 5 x 8, row 0 the outside, row 7 faces the table
{
    QImage img = DeviceImage(5, 8);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, rimColourAt(y));
    return img;
}

QImage jiao()   // top-right corner, 18 x 18: top rim rows 0..7, right rim columns 11..17
{
    // In device pixels: the side piece lies 7 logical columns in from the edge and shows its
    // outermost column beyond it, so the corner's right rim starts one logical pixel deep.
    const int k = Scale();
    QImage img = DeviceImage(18, 18);
    img.fill(kTable);
    for (int y = 0; y < 18 * k; ++y)
        for (int x = 0; x < 18 * k; ++x) {
            const int fromTop = y, fromRight = 18 * k - 1 - x;
            const int dTop = fromTop <= 8 * k - 1 ? fromTop : 999;
            const int dRight = fromRight <= 7 * k - 1 ? fromRight + k : 999;
            const int d = std::min(dTop, dRight);
            if (d < 999)
                img.setPixel(x, y, rimColourAt(d));
        }
    // a brass stud where the rims meet
    QPainter p(&img);
    Smooth(p);
    QRadialGradient g(QPointF(13, 4), 5);
    g.setColorAt(0, QColor(255, 240, 170));
    g.setColorAt(1, QColor(160, 110, 30));
    p.setPen(QPen(QColor(70, 40, 10), 0.8));
    p.setBrush(g);
    p.drawEllipse(QPointF(14, 4), 3.2, 3.2);
    p.end();
    return img;
}

QImage gameBackMid()
{
    QImage art = Canvas(228, 172, kTable);
    QPainter p(&art);
    Smooth(p);
    const QRectF r(3.5, 3.5, 221, 165);
    QRadialGradient g(r.center(), 140);
    g.setColorAt(0, QColor(30, 108, 146));
    g.setColorAt(1, QColor(18, 86, 121));
    p.setPen(QPen(QColor(60, 140, 170), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 30, 30);
    p.setPen(QPen(QColor(200, 170, 90, 170), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(5, 5, -5, -5), 25, 25);
    p.setPen(QPen(QColor(200, 170, 90, 90), 1));
    p.drawRoundedRect(r.adjusted(8, 8, -8, -8), 22, 22);
    // A quiet emblem: the four suits round a ring, barely lighter than the cloth.
    const QPointF c = r.center();
    p.setPen(QPen(QColor(70, 150, 180, 110), 2));
    p.drawEllipse(c, 34, 34);
    const QColor suitTint(70, 150, 185, 120);
    for (int s = 0; s < 4; ++s) {
        const double a = s * M_PI / 2 - M_PI / 2;
        const QPointF at(c.x() + 50 * std::cos(a), c.y() + 50 * std::sin(a));
        p.fillPath(SuitPath(s, QRectF(at.x() - 9, at.y() - 10, 18, 20)), suitTint);
    }
    p.end();
    return art.convertToFormat(QImage::Format_RGB32);
}

// ---------- time bar ends ----------
// The bar between the ends is 10 pixels high from y 20 (the time-bar control's place), so both
// ends are 10 high too. The seconds left are printed under the head's right end at (63, 35)
// after the table erases a 30 x 30 box there; the head keeps above that box.
constexpr int kBarH = 10;

QLinearGradient barGold()
{
    QLinearGradient g(0, 0, 0, kBarH);
    g.setColorAt(0, QColor(255, 236, 160));
    g.setColorAt(0.5, QColor(220, 165, 50));
    g.setColorAt(1, QColor(140, 88, 18));
    return g;
}

QImage timeBarHead()
{
    QImage art = Canvas(52, kBarH, kTable);
    QPainter p(&art);
    Smooth(p);
    p.setPen(QPen(QColor(70, 40, 10), 1));
    p.setBrush(barGold());
    p.drawRoundedRect(QRectF(0.5, 0.5, 64, kBarH - 1), 4.5, 4.5);
    // a small stopwatch at the left end, then a dark slot the bar runs out of
    p.setBrush(QColor(255, 252, 240));
    p.drawEllipse(QPointF(6, 5), 3.6, 3.6);
    p.setPen(QPen(QColor(90, 50, 10), 1));
    p.drawLine(QPointF(6, 5), QPointF(6, 2.6));
    p.drawLine(QPointF(6, 5), QPointF(7.8, 5.8));
    p.setPen(QPen(QColor(90, 50, 10), 1));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(14.5 + i * 4, 2.5), QPointF(14.5 + i * 4, kBarH - 2.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 25, 10));
    p.drawRect(QRectF(33, 2, 19, kBarH - 4));
    p.end();
    return art.convertToFormat(QImage::Format_RGB32);
}

QImage timeBarEnd()
{
    QImage art = Canvas(8, kBarH, kTable);
    QPainter p(&art);
    Smooth(p);
    p.setPen(QPen(QColor(70, 40, 10), 1));
    p.setBrush(barGold());
    p.drawRoundedRect(QRectF(-10, 0.5, 17.5, kBarH - 1), 4.5, 4.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 25, 10));
    p.drawRect(QRectF(0, 2, 2, kBarH - 4));
    p.end();
    return art.convertToFormat(QImage::Format_RGB32);
}

// ---------- score panel ----------
QImage gameScore()
{
    QImage art = Canvas(159, 62, kTable);
    QPainter p(&art);
    Smooth(p);
    const QRectF r(0.5, 0.5, 158, 61);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(40, 50, 80));
    g.setColorAt(1, QColor(15, 20, 40));
    p.setPen(QPen(QColor(220, 180, 80), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(r, 7, 7);
    // Value wells right of x 96, one per line the table prints at y + 5, + 25, + 44.
    const int rows[3] = {3, 23, 42};
    const QString labels[3] = {QStringLiteral("我方:"), QStringLiteral("对方:"), QStringLiteral("本轮分:")};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(90, 100, 140), 1));
        p.setBrush(QColor(8, 10, 22));
        p.drawRoundedRect(QRectF(95.5, rows[i] + 0.5, 56, 17), 3, 3);
        p.setFont(Cjk(13));
        p.setPen(i == 2 ? QColor(150, 230, 240) : QColor(250, 220, 130));
        p.drawText(QRectF(12, rows[i], 80, 18), Qt::AlignLeft | Qt::AlignVCenter, labels[i]);
    }
    p.end();
    return art.convertToFormat(QImage::Format_RGB32);
}

// ---------- framed panel cells ----------
// The frame around a panel: from the outside a dark line, a golden band, a dark line and a
// light line, then the panel's inside colour. depth = distance from the outer edge.
const QColor kPanelInside(247, 207, 156);
QColor frameColour(int depth)
{
    static const QRgb k[7] = {0xff3c1e08, 0xffc08a30, 0xffe8c060, 0xffd0a040, 0xff8a5a1a, 0xff4a2a10, 0xfffff0d8};
    return depth < 7 ? QColor::fromRgb(k[depth]) : kPanelInside;
}

// Corner cell 18 x 28 with the frame along its left side and along its top (top == true) or
// bottom; the outer corner is rounded. Set per device pixel: the frame's lines keep their
// logical widths, the rounded corner follows the circle at each device pixel's centre.
void panelCorner(bool top, QImage& pic, QImage& mask)
{
    constexpr int w = 18, h = 28, R = 8;
    const int k = Scale();
    QImage art = Canvas(w, h, 0);
    for (int y = 0; y < h * k; ++y)
        for (int x = 0; x < w * k; ++x) {
            const int vy = top ? y : h * k - 1 - y;   // distance from the outer horizontal edge
            double d;
            if (x < R * k && vy < R * k) {
                const double dx = R - (x + 0.5) / k, dy = R - (vy + 0.5) / k;
                const double dist = std::sqrt(dx * dx + dy * dy);
                if (dist > R)
                    continue;   // outside the rounded corner: see-through
                d = R - dist;
            } else {
                d = std::min(x, vy) / k;
            }
            art.setPixel(x, y, frameColour(int(d)).rgb());
        }
    SplitMasked(art, pic, mask);
}

QImage panelEdge(int side)   // 0 top, 1 bottom, 2 left
{
    const int k = Scale();
    QImage img = DeviceImage(18, 28);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int d = side == 0 ? y : side == 1 ? img.height() - 1 - y : x;
            img.setPixel(x, y, frameColour(d / k).rgb());
        }
    return img;
}

QImage modeMsg()
{
    QImage ulPic, ulMask, llPic, llMask;
    panelCorner(true, ulPic, ulMask);
    panelCorner(false, llPic, llMask);
    // Cells: upper-left corner and its mask, lower-left corner and its mask, then the edge
    // pieces for the top, the bottom and the left side (the right side is the left mirrored).
    return strip({ulPic, ulMask, llPic, llMask, panelEdge(0), panelEdge(1), panelEdge(2)});
}

} // namespace

void MakeTable(Out& out)
{
    // One line per picture: where it goes, its name, and the function that draws it. Pictures
    // for other windows are added the same way (Root::Parent for the shared folders).
    struct Item { Root root; const char* path; QImage (*make)(); };
    static const Item items[] = {
        {Root::App, "Res/BuChu.bmp", &buChu},
        {Root::App, "Res/MingCi.bmp", &mingCi},
        {Root::App, "Res/UserOptBut.bmp", &userOptBut},
        {Root::App, "Res/UserOutBut.bmp", &userOutBut},
        {Root::App, "Res/Clock.bmp", &clockStrip},
        {Root::App, "Res/Hand.bmp", &handMark},
        {Root::App, "Res/GameBackMid.bmp", &gameBackMid},
        {Root::App, "Res/GameBackVsBian.bmp", &vsBian},
        {Root::App, "Res/GameBackHsBian.bmp", &hsBian},
        {Root::App, "Res/GameBackJiao.bmp", &jiao},
        {Root::App, "Res/TimeBarHead.bmp", &timeBarHead},
        {Root::App, "Res/TimeBarEnd.bmp", &timeBarEnd},
        {Root::App, "Res/GameScore.bmp", &gameScore},
        {Root::App, "Res/ModeMsg.bmp", &modeMsg},
    };
    for (const Item& it : items)
        out.picture(it.root, QString::fromLatin1(it.path), it.make());
}

} // namespace resgen
