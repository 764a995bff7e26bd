// Player figures (32 x 32): distinct people, each on its own coloured tile, and the small icons:
// message-box icons, the window logo and the network-break mark.
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

#include "art.h"

namespace resgen {

namespace {

struct Person {
    QRgb tile, skin, hair, shirt;
    int hairStyle;   // 0 short, 1 long, 2 bun, 3 cap, 4 bald with beard, 5 ponytail, 6 spiky, 7 hat
    bool glasses;
};

const Person kPeople[] = {
    {0xff3d7ab8, 0xffffdcb8, 0xff2a1a10, 0xffd04040, 0, false},
    {0xffc0506e, 0xfff8d0b0, 0xff4a2810, 0xff3060c0, 1, false},
    {0xff4a9a5a, 0xffe8b890, 0xff101010, 0xffe0c040, 2, false},
    {0xff8a5ab0, 0xffffe0c8, 0xff7a4a20, 0xff30a070, 3, false},
    {0xffc08030, 0xffd8a078, 0xff707070, 0xff405070, 4, true},
    {0xff2a8a9a, 0xfffff0dc, 0xffd0a040, 0xffe07090, 5, false},
    {0xff5060a0, 0xffe0b088, 0xff202020, 0xff70b030, 6, false},
    {0xffa04030, 0xfff0c8a0, 0xff603018, 0xff202840, 7, false},
    {0xff6a8a30, 0xffffd8b0, 0xff101010, 0xff8040a0, 0, true},
    {0xff9a3a7a, 0xffe8c0a0, 0xffa03020, 0xfff0f0f0, 1, true},
    {0xff307080, 0xffc89068, 0xff101010, 0xffc06020, 6, false},
    {0xffb09040, 0xffffe4cc, 0xfff0e0c0, 0xff506090, 4, false},
    {0xff405a80, 0xfff5d2b4, 0xff3a2010, 0xffd0a030, 5, false},
    {0xff8a4a4a, 0xffe0b898, 0xff181818, 0xff4090d0, 3, true},
    {0xff3a7a4a, 0xffffe0c0, 0xff8a5a2a, 0xffb03050, 2, true},
    {0xff6a6a8a, 0xffd8a880, 0xff2a2a2a, 0xff60a0a0, 7, true},
};

QImage person(const Person& m)
{
    QImage art = Canvas(32, 32, 0);
    QPainter p(&art);
    Smooth(p);
    QLinearGradient bg(0, 0, 0, 32);
    bg.setColorAt(0, QColor::fromRgb(m.tile).lighter(130));
    bg.setColorAt(1, QColor::fromRgb(m.tile).darker(120));
    p.setPen(QPen(QColor(20, 20, 30), 1));
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 5, 5);
    p.setClipRect(QRect(1, 1, 30, 30));
    const QColor skin = QColor::fromRgb(m.skin), hair = QColor::fromRgb(m.hair);
    const QPen outline(QColor(40, 25, 15), 0.8);
    // long hair falls behind the shoulders
    if (m.hairStyle == 1) {
        p.setPen(outline);
        p.setBrush(hair);
        p.drawRoundedRect(QRectF(7, 7, 18, 20), 7, 7);
    }
    if (m.hairStyle == 5) {
        p.setPen(outline);
        p.setBrush(hair);
        p.drawEllipse(QRectF(21, 12, 7, 12));
    }
    // shoulders
    p.setPen(outline);
    p.setBrush(QColor::fromRgb(m.shirt));
    p.drawRoundedRect(QRectF(4, 24, 24, 14), 8, 8);
    p.setBrush(skin);
    p.drawRect(QRectF(13.5, 20, 5, 5));
    // head
    p.drawEllipse(QRectF(9, 6, 14, 16));
    // hair on top
    p.setBrush(hair);
    switch (m.hairStyle) {
    case 0: case 1: case 5: {
        QPainterPath h;
        h.moveTo(8.8, 13);
        h.cubicTo(8, 3, 24, 3, 23.2, 13);
        h.cubicTo(20, 9, 14, 8, 8.8, 13);
        p.drawPath(h);
        break;
    }
    case 2: {
        p.drawEllipse(QRectF(12, 1.5, 8, 7));
        QPainterPath h;
        h.moveTo(8.8, 13);
        h.cubicTo(8, 4, 24, 4, 23.2, 13);
        h.cubicTo(20, 9.5, 12, 9.5, 8.8, 13);
        p.drawPath(h);
        break;
    }
    case 3: {
        p.setBrush(QColor::fromRgb(m.shirt).darker(130));
        QPainterPath c;
        c.moveTo(8.5, 12);
        c.cubicTo(8.5, 3, 23.5, 3, 23.5, 12);
        c.closeSubpath();
        p.drawPath(c);
        p.drawRoundedRect(QRectF(16, 10, 11, 3), 1.5, 1.5);
        break;
    }
    case 4: {
        // bald crown, beard
        p.drawChord(QRectF(9, 13, 14, 10), 180 * 16, 180 * 16);
        p.setBrush(skin.darker(108));
        break;
    }
    case 6: {
        QPainterPath h;
        h.moveTo(8.5, 12);
        for (int i = 0; i <= 6; ++i) {
            const double x = 8.5 + i * 2.5;
            h.lineTo(x + 1.25, i % 2 ? 4.5 : 2.5);
            h.lineTo(x + 2.5, 8);
        }
        h.lineTo(23.5, 12);
        h.cubicTo(20, 9, 12, 9, 8.5, 12);
        p.drawPath(h);
        break;
    }
    default: {
        p.setBrush(QColor(60, 40, 30));
        p.drawRoundedRect(QRectF(6, 8, 20, 3), 1.5, 1.5);
        p.drawRoundedRect(QRectF(10, 1.5, 12, 8), 2, 2);
        p.setBrush(QColor(200, 40, 40));
        p.drawRect(QRectF(10, 6.5, 12, 2));
        break;
    }
    }
    // face
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 20, 20));
    p.drawEllipse(QPointF(13.5, 14), 1.1, 1.3);
    p.drawEllipse(QPointF(18.5, 14), 1.1, 1.3);
    p.setBrush(QColor(240, 120, 120, 110));
    p.drawEllipse(QPointF(11.8, 17), 1.6, 1);
    p.drawEllipse(QPointF(20.2, 17), 1.6, 1);
    p.setPen(QPen(QColor(120, 40, 30), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(13.5, 15, 5, 4), 200 * 16, 140 * 16);
    if (m.glasses) {
        p.setPen(QPen(QColor(20, 20, 20), 0.8));
        p.drawEllipse(QPointF(13.5, 14), 2.3, 2.1);
        p.drawEllipse(QPointF(18.5, 14), 2.3, 2.1);
        p.drawLine(QPointF(15.8, 14), QPointF(16.2, 14));
    }
    p.end();
    // Opaque: the figure is copied plainly onto the table, so its tile carries its own colour
    // and the corners take the table's.
    return OnTable(art);
}

// ---- icons ----

// A round badge with a glyph in its middle: the information and question icons.
QImage RoundBadgeIcon(QColor light, QColor dark, QColor rim, const QRectF& glyphBox, const QString& glyph,
                      const QFont& font)
{
    QImage art = Canvas(32, 32, 0);
    QPainter p(&art);
    Smooth(p);
    QRadialGradient g(QPointF(12, 10), 20);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(QPen(rim, 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    CentredText(p, glyphBox, glyph, font, Qt::white);
    p.end();
    return art;
}

QImage infoIcon()
{
    return RoundBadgeIcon(QColor(120, 180, 255), QColor(20, 70, 190), QColor(10, 30, 90), QRectF(2, 3, 28, 28),
                          QStringLiteral("i"), Font(QStringLiteral("DejaVu Serif"), 22, true));
}

QImage questionIcon()
{
    return RoundBadgeIcon(QColor(140, 230, 160), QColor(20, 130, 60), QColor(10, 70, 30), QRectF(2, 2, 28, 28),
                          QStringLiteral("?"), Font(QStringLiteral("DejaVu Sans"), 20, true));
}

QImage logoIcon()
{
    // Two fanned cards with a spade and a heart.
    QImage art = Canvas(16, 16, 0);
    QPainter p(&art);
    Smooth(p);
    p.setPen(QPen(QColor(40, 40, 40), 0.8));
    p.save();
    p.translate(8, 14);
    p.rotate(-14);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(-7, -13, 9, 12.5), 1.5, 1.5);
    p.fillPath(SuitPath(0, QRectF(-5.5, -10, 6, 6.5)), QColor(20, 20, 20));
    p.restore();
    p.save();
    p.translate(8, 14);
    p.rotate(14);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(-2, -13, 9, 12.5), 1.5, 1.5);
    p.fillPath(SuitPath(1, QRectF(-0.5, -10, 6, 6.5)), QColor(200, 20, 30));
    p.restore();
    p.end();
    return art;
}

QImage netBreak()
{
    // An unplugged cable under a red cross, copied plainly onto the table.
    QImage art = Canvas(32, 32, 0);
    QPainter p(&art);
    Smooth(p);
    p.setPen(QPen(QColor(30, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(2, 24), QPointF(9, 18));
    p.drawLine(QPointF(30, 8), QPointF(23, 14));
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(200, 200, 205));
    p.save();
    p.translate(11, 16);
    p.rotate(-40);
    p.drawRoundedRect(QRectF(-4, -3, 8, 7), 1.5, 1.5);
    p.setPen(QPen(QColor(230, 190, 60), 1.6));
    p.drawLine(QPointF(4, -1.5), QPointF(7, -1.5));
    p.drawLine(QPointF(4, 2), QPointF(7, 2));
    p.restore();
    p.save();
    p.translate(21, 16);
    p.rotate(-40);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.drawRoundedRect(QRectF(-4, -3, 8, 7), 1.5, 1.5);
    p.restore();
    p.setPen(QPen(QColor(230, 30, 30), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 4), QPointF(23, 28));
    p.drawLine(QPointF(23, 4), QPointF(9, 28));
    p.setPen(QPen(QColor(255, 255, 255, 180), 1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 4.5), QPointF(22.5, 27));
    p.end();
    return OnTable(art);
}

} // namespace

void MakeFigures(Out& out)
{
    int n = 1;
    for (const Person& m : kPeople)
        out.picture(Root::Parent, QStringLiteral("UserRes/LargeUser/%1.ico").arg(n++), person(m));
}

void MakeIcons(Out& out)
{
    out.picture(Root::Parent, QStringLiteral("res/Msg0.ico"), infoIcon());
    // One button is every notice's box, good news ("购买成功") as much as bad: the neutral sign.
    out.picture(Root::Parent, QStringLiteral("res/Msg1.ico"), infoIcon());
    out.picture(Root::Parent, QStringLiteral("res/Msg2.ico"), questionIcon());
    out.picture(Root::App, QStringLiteral("Res/Logo.png"), logoIcon());
    out.picture(Root::App, QStringLiteral("Res/NetBreak.bmp"), netBreak());
}

} // namespace resgen
