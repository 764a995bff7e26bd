// The main window's own frame: the caption band and its ends, the caption buttons, the two user
// buttons, and the vertical splitter's background, middle band and arrows.
#include <QLinearGradient>
#include <QPainterPath>

#include "art.h"

namespace resgen {

namespace {

// The window's back colour: what shows around rounded pictures drawn onto the window.
const QColor kWindowBack(250, 250, 250);
// The caption band is 33 rows from the window's row 2 down to the panes at row 35.
constexpr int kCaptionH = 33;
constexpr int kCaptionTop = 2;

QColor mix(QColor a, QColor b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// The caption's colour at a row of the band: a pale sheen at the top deepening to a soft blue,
// light enough for the black title, with a darker line where the band meets the panes.
QColor captionRow(int row)
{
    const QColor top(246, 249, 253), mid(221, 232, 244), low(188, 207, 229);
    if (row >= kCaptionH - 1) return QColor(139, 164, 196);
    if (row == 0) return QColor(255, 255, 255);
    const double t = double(row) / double(kCaptionH - 2);
    return t < 0.45 ? mix(top, mid, t / 0.45) : mix(mid, low, (t - 0.45) / 0.55);
}

// The pieces set pixel by pixel take each device pixel's colour from the logical pixel it lies
// in, so at 2x they keep the rows and columns the caption buttons are drawn over.
QImage captionMid()
{
    const int k = Scale();
    QImage img = DeviceImage(12, kCaptionH);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, captionRow(y / k).rgb());
    return img;
}

// The right end of the band (the left end is the same picture mirrored): the band rounds off
// at its top corner and darkens towards the window's edge.
QImage captionEnd()
{
    constexpr int w = 17;
    const int k = Scale();
    QImage img = DeviceImage(w, kCaptionH);
    for (int dy = 0; dy < img.height(); ++dy)
        for (int dx = 0; dx < img.width(); ++dx) {
            const int x = dx / k, y = dy / k;
            const double edge = x > 8 ? double(x - 8) / 8.0 : 0.0;
            img.setPixel(dx, dy, mix(captionRow(y), QColor(120, 146, 180), 0.45 * edge * edge).rgb());
        }
    QPainter p(&img);
    Smooth(p);
    // The rounded top corner, cut out in the window's back colour.
    QPainterPath outside;
    outside.addRect(QRectF(w - 7, -1, 8, 8));
    QPainterPath corner;
    corner.addEllipse(QRectF(w - 14, 0, 14, 14));
    p.fillPath(outside.subtracted(corner), kWindowBack);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.drawArc(QRectF(w - 13.5, 0.5, 13, 13), 90 * 16, -70 * 16);
    p.end();
    return img;
}

// One caption button cell, 21 x 21, over the caption rows it sits on (window rows 7..27).
// kind: 0 minimise, 1 maximise, 2 restore, 3 close.
QImage sysCell(int kind, bool lit)
{
    constexpr int s = 21;
    const int k = Scale();
    QImage img(s * k, s * k, QImage::Format_ARGB32_Premultiplied);
    if (k != 1)
        img.setDevicePixelRatio(k);
    for (int y = 0; y < s * k; ++y)
        for (int x = 0; x < s * k; ++x) img.setPixel(x, y, captionRow(7 - kCaptionTop + y / k).rgb());
    QPainter p(&img);
    Smooth(p);
    const QRectF face(0.5, 0.5, s - 1, s - 1);
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    QColor rim, glyph;
    if (kind == 3 && lit) {
        g.setColorAt(0, QColor(250, 140, 120));
        g.setColorAt(0.5, QColor(226, 72, 52));
        g.setColorAt(1, QColor(176, 32, 20));
        rim = QColor(120, 20, 10);
        glyph = Qt::white;
    } else if (lit) {
        g.setColorAt(0, QColor(255, 255, 255));
        g.setColorAt(0.5, QColor(190, 222, 250));
        g.setColorAt(1, QColor(120, 176, 232));
        rim = QColor(50, 100, 160);
        glyph = QColor(20, 50, 100);
    } else {
        g.setColorAt(0, QColor(255, 255, 255, 230));
        g.setColorAt(1, QColor(208, 222, 240, 230));
        rim = QColor(120, 146, 182);
        glyph = QColor(40, 60, 90);
    }
    p.setPen(QPen(rim, 1));
    p.setBrush(g);
    p.drawRoundedRect(face, 4, 4);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(glyph, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    switch (kind) {
    case 0: p.drawLine(QPointF(6, 14.5), QPointF(15, 14.5)); break;
    case 1:
        p.setPen(QPen(glyph, 1.2));
        p.drawRect(QRectF(5.5, 5.5, 10, 10));
        p.fillRect(QRectF(5, 5, 11, 3), glyph);
        break;
    case 2:
        p.setPen(QPen(glyph, 1.2));
        p.drawRect(QRectF(8.5, 4.5, 8, 8));
        p.fillRect(QRectF(8, 4, 9, 2.5), glyph);
        p.setBrush(g);
        p.drawRect(QRectF(4.5, 8.5, 8, 8));
        p.fillRect(QRectF(4, 8, 9, 2.5), glyph);
        break;
    default:
        p.setPen(QPen(glyph, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6.5, 6.5), QPointF(14.5, 14.5));
        p.drawLine(QPointF(14.5, 6.5), QPointF(6.5, 14.5));
        break;
    }
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

// Cells side by side from x 0.
QImage row(const std::vector<QImage>& cells)
{
    int w = 0, h = 0;
    for (const QImage& c : cells) {
        w += c.width();
        h = std::max(h, c.height());
    }
    // Cells made at a scale carry it: they are placed in logical pixels.
    const qreal k = cells.empty() ? 1.0 : cells.front().devicePixelRatio();
    QImage out(w, h, QImage::Format_RGB32);
    if (k != 1.0)
        out.setDevicePixelRatio(k);
    out.fill(kWindowBack);
    int x = 0;
    for (const QImage& c : cells) {
        Put(out, c, x);
        x += int(c.width() / k);
    }
    return out;
}

// The minimise, maximise, restore and close cells, then the same four highlighted.
QImage sysMenu()
{
    std::vector<QImage> cells;
    for (bool lit : {false, true})
        for (int k = 0; k < 4; ++k) cells.push_back(sysCell(k, lit));
    return row(cells);
}

// A user button, 41 x 25, on the window's back colour: 0 opens the settings, 1 the help page.
QImage userCell(int which, bool lit)
{
    QImage img = Canvas(41, 25, kWindowBack.rgb());
    QPainter p(&img);
    Smooth(p);
    const QRectF face(0.5, 0.5, 40, 24);
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    if (lit) {
        g.setColorAt(0, QColor(255, 226, 150));
        g.setColorAt(0.5, QColor(250, 186, 70));
        g.setColorAt(1, QColor(222, 140, 30));
    } else {
        g.setColorAt(0, QColor(120, 176, 226));
        g.setColorAt(0.5, QColor(62, 132, 190));
        g.setColorAt(1, QColor(41, 109, 165));
    }
    p.setPen(QPen(lit ? QColor(150, 90, 20) : QColor(28, 78, 125), 1));
    p.setBrush(g);
    p.drawRoundedRect(face, 5, 5);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(face.adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
    const QString text = which == 0 ? QStringLiteral("设置") : QStringLiteral("帮助");
    CentredText(p, face.adjusted(0, 0, 0, -1), text, Cjk(12), lit ? QColor(80, 30, 0) : Qt::white,
                lit ? QColor(255, 245, 210) : QColor(10, 40, 80));
    p.end();
    return img;
}

QImage userButton() { return row({userCell(0, false), userCell(1, false), userCell(0, true), userCell(1, true)}); }

// The splitter, 12 wide: a soft rounded bar, light at both sides.
QColor splitterColumn(int x)
{
    static const QColor edge(150, 172, 198), side(222, 232, 243), mid(182, 202, 224);
    if (x == 0 || x == 11) return edge;
    const double t = std::abs(x - 5.5) / 4.5;   // 0 in the middle, 1 at the sides
    return mix(mid, side, t);
}

QImage vSplitterBk()
{
    const int k = Scale();
    QImage img = DeviceImage(12, 16);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, splitterColumn(x / k).rgb());
    return img;
}

// The middle band that collapses and restores the right column: deep blue with a light rim.
QColor midColumn(int x)
{
    if (x == 0 || x == 11) return QColor(28, 78, 125);
    if (x == 1) return QColor(120, 176, 226);
    const double t = std::abs(x - 6.0) / 5.0;
    return mix(QColor(41, 109, 165), QColor(78, 146, 204), 1.0 - t);
}

QImage vSplitterMidBk()
{
    const int k = Scale();
    QImage img = DeviceImage(12, 20);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, midColumn(x / k).rgb());
    return img;
}

// An arrow over the middle band; left: the column comes back, right: the column goes.
QImage vSplitterArrow(bool left)
{
    const int k = Scale();
    QImage img = DeviceImage(12, 9);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, midColumn(x / k).rgb());
    QPainter p(&img);
    Smooth(p);
    QPainterPath tri;
    if (left) {
        tri.moveTo(3, 4.5);
        tri.lineTo(8.5, 0.5);
        tri.lineTo(8.5, 8.5);
    } else {
        tri.moveTo(9, 4.5);
        tri.lineTo(3.5, 0.5);
        tri.lineTo(3.5, 8.5);
    }
    tri.closeSubpath();
    p.fillPath(tri, Qt::white);
    p.end();
    return img;
}

QImage vSplitterLeft() { return vSplitterArrow(true); }
QImage vSplitterRight() { return vSplitterArrow(false); }

} // namespace

void MakeFrame(Out& out)
{
    struct Item { Root root; const char* path; QImage (*make)(); };
    static const Item items[] = {
        {Root::App, "Res/CaptionMid.bmp", &captionMid},
        {Root::App, "Res/CaptionLR.bmp", &captionEnd},
        {Root::App, "Res/SysMenu.bmp", &sysMenu},
        {Root::App, "Res/UserButton.bmp", &userButton},
        {Root::App, "Res/VSpliterBk.bmp", &vSplitterBk},
        {Root::App, "Res/VSpliterMidBk.bmp", &vSplitterMidBk},
        {Root::App, "Res/VSpliterMid_Left.bmp", &vSplitterLeft},
        {Root::App, "Res/VSpliterMid_Right.bmp", &vSplitterRight},
    };
    for (const Item& it : items)
        out.picture(it.root, QString::fromLatin1(it.path), it.make());
}

} // namespace resgen
