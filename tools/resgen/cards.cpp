// Card faces, the shared card mask and the card back.
#include <QLinearGradient>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>

#include "art.h"

namespace resgen {

namespace {

constexpr int kRadius = 6;   // corner radius of the card shape
const QColor kRed(200, 20, 30);
const QColor kBlack(20, 20, 20);
const QColor kBorder(110, 110, 110);
// Image suits (the number in the file name div 13) to the symbol drawn: spades, diamonds,
// clubs, hearts.
constexpr int kSymbolOfImageSuit[4] = {0, 3, 2, 1};
const char* const kRankText[13] = {"A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"};

QColor suitColour(int symbol) { return SuitIsRed(symbol) ? kRed : kBlack; }

// Turns everything outside the card black (faces and backs are ORed over the mask's hole)
// and draws the thin border on the card's edge pixels.
QImage finishCard(const QImage& art, bool border)
{
    // The card's outline is the logical one at every scale: the mask's hole matches it exactly.
    QImage out = art.convertToFormat(QImage::Format_RGB32);
    const int k = Scale();
    for (int dy = 0; dy < kCardH * k; ++dy)
        for (int dx = 0; dx < kCardW * k; ++dx) {
            const int x = dx / k, y = dy / k;
            if (!InCard(x, y)) {
                out.setPixel(dx, dy, 0xff000000u);
                continue;
            }
            const bool edge = !InCard(x - 1, y) || !InCard(x + 1, y) || !InCard(x, y - 1) || !InCard(x, y + 1);
            if (edge && border)
                out.setPixel(dx, dy, kBorder.rgb());
        }
    return out;
}

void fillSymbol(QPainter& p, int symbol, const QRectF& box, bool upsideDown = false)
{
    QPainterPath path = SuitPath(symbol, box);
    if (upsideDown) {
        QTransform t;
        t.translate(box.center().x(), box.center().y());
        t.rotate(180);
        t.translate(-box.center().x(), -box.center().y());
        path = t.map(path);
    }
    p.fillPath(path, suitColour(symbol));
}

// Rank and suit in the top-left corner: within the 18-pixel strip a covered card still shows.
void drawIndex(QPainter& p, int rank, int symbol)
{
    const QColor c = suitColour(symbol);
    const QString t = QString::fromLatin1(kRankText[rank]);
    QFont f = Font(QStringLiteral("DejaVu Sans"), 15, true, rank == 9 ? 62 : 100);
    p.setFont(f);
    p.setPen(c);
    p.drawText(QRectF(1, 2, 16, 17), Qt::AlignCenter, t);
    fillSymbol(p, symbol, QRectF(3.5, 20, 11, 12));
}

void drawIndexBothCorners(QPainter& p, int rank, int symbol)
{
    drawIndex(p, rank, symbol);
    p.save();
    p.translate(kCardW, kCardH);
    p.rotate(180);
    drawIndex(p, rank, symbol);
    p.restore();
}

// Pip positions of the number cards: column (0 left, 1 centre, 2 right) and row 0..1.
struct Pip { int col; double row; };
const std::vector<Pip>& pipsOf(int n)
{
    static const std::vector<Pip> t[11] = {
        {}, {},
        {{1, 0}, {1, 1}},
        {{1, 0}, {1, 0.5}, {1, 1}},
        {{0, 0}, {2, 0}, {0, 1}, {2, 1}},
        {{0, 0}, {2, 0}, {1, 0.5}, {0, 1}, {2, 1}},
        {{0, 0}, {2, 0}, {0, 0.5}, {2, 0.5}, {0, 1}, {2, 1}},
        {{0, 0}, {2, 0}, {1, 0.25}, {0, 0.5}, {2, 0.5}, {0, 1}, {2, 1}},
        {{0, 0}, {2, 0}, {1, 0.25}, {0, 0.5}, {2, 0.5}, {1, 0.75}, {0, 1}, {2, 1}},
        {{0, 0}, {2, 0}, {0, 1.0 / 3}, {2, 1.0 / 3}, {1, 0.5}, {0, 2.0 / 3}, {2, 2.0 / 3}, {0, 1}, {2, 1}},
        {{0, 0}, {2, 0}, {1, 1.0 / 6}, {0, 1.0 / 3}, {2, 1.0 / 3}, {0, 2.0 / 3}, {2, 2.0 / 3}, {1, 5.0 / 6},
         {0, 1}, {2, 1}},
    };
    return t[n];
}

void drawPips(QPainter& p, int n, int symbol)
{
    const double colX[3] = {22, 33, 44};
    const double pw = 14, ph = 15, top = 10, bottom = kCardH - 10 - ph;
    for (const Pip& pip : pipsOf(n)) {
        const double y = top + pip.row * (bottom - top);
        fillSymbol(p, symbol, QRectF(colX[pip.col], y, pw, ph), pip.row > 0.5);
    }
}

void drawAce(QPainter& p, int symbol)
{
    QRectF box(20, 30, 40, 45);
    if (symbol == 0) {
        // The ace of spades gets its traditional flourish: a ring around the large symbol, kept
        // clear of the corner strip that overlapping cards leave visible.
        box = QRectF(25, 34, 30, 34);
        p.setPen(QPen(kBlack, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(20, 26, 40, 52));
        p.setPen(QPen(kBlack, 0.8));
        p.drawEllipse(QRectF(22.5, 28.5, 35, 47));
    }
    fillSymbol(p, symbol, box);
}

void drawCrown(QPainter& p, const QRectF& r, QColor gold)
{
    QPainterPath c;
    c.moveTo(r.left(), r.bottom());
    c.lineTo(r.left(), r.top() + r.height() * 0.35);
    c.lineTo(r.left() + r.width() * 0.25, r.top() + r.height() * 0.7);
    c.lineTo(r.center().x(), r.top());
    c.lineTo(r.right() - r.width() * 0.25, r.top() + r.height() * 0.7);
    c.lineTo(r.right(), r.top() + r.height() * 0.35);
    c.lineTo(r.right(), r.bottom());
    c.closeSubpath();
    p.setPen(QPen(QColor(120, 80, 0), 0.8));
    p.setBrush(gold);
    p.drawPath(c);
    p.setBrush(QColor(200, 30, 40));
    p.drawEllipse(QPointF(r.center().x(), r.top() + r.height() * 0.72), 1.6, 1.6);
}

void drawCourt(QPainter& p, int rank, int symbol)
{
    const QColor c = suitColour(symbol);
    const QRectF frame(19.5, 9.5, 41, 86);   // right of the 18-pixel corner strip
    QLinearGradient g(frame.topLeft(), frame.bottomRight());
    g.setColorAt(0, QColor(255, 248, 222));
    g.setColorAt(1, QColor(244, 228, 180));
    p.setPen(QPen(c, 1.4));
    p.setBrush(g);
    p.drawRoundedRect(frame, 3, 3);
    p.setPen(QPen(QColor(200, 160, 60), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame.adjusted(2.5, 2.5, -2.5, -2.5), 2, 2);
    const QColor gold(235, 185, 40);
    // The court's emblem above the letter: a crown for king and queen, a plumed cap for the jack.
    if (rank == 12)
        drawCrown(p, QRectF(29, 14, 22, 13), gold);
    else if (rank == 11)
        drawCrown(p, QRectF(31, 16, 18, 11), QColor(210, 210, 225));
    else {
        QPainterPath cap;
        cap.moveTo(29, 27);
        cap.cubicTo(30, 17, 50, 17, 51, 27);
        cap.closeSubpath();
        p.setPen(QPen(QColor(60, 40, 10), 0.8));
        p.setBrush(SuitIsRed(symbol) ? QColor(40, 90, 170) : QColor(170, 40, 50));
        p.drawPath(cap);
        QPainterPath plume;
        plume.moveTo(47, 21);
        plume.cubicTo(55, 12, 58, 17, 56, 13);
        plume.cubicTo(52, 15, 50, 18, 47, 21);
        p.setBrush(gold);
        p.drawPath(plume);
    }
    QFont f = Font(QStringLiteral("DejaVu Serif"), 34, true);
    CentredText(p, QRectF(18, 26, 44, 42), QString::fromLatin1(kRankText[rank]), f, c, QColor(0, 0, 0, 60));
    fillSymbol(p, symbol, QRectF(32, 70, 16, 18));
}

QImage jokerFace(bool big)
{
    QImage img = Canvas(kCardW, kCardH, 0xffffffffu);
    QPainter p(&img);
    Smooth(p);
    const QColor ink = big ? kRed : kBlack;
    // "JOKER" read downwards in the corner strip, so an overlapped joker still says what it is.
    QFont f = Font(QStringLiteral("DejaVu Sans"), 11, true);
    const char* letters = "JOKER";
    for (int i = 0; i < 5; ++i) {
        QRectF r(1, 3 + i * 11.5, 16, 12);
        CentredText(p, r, QString(QLatin1Char(letters[i])), f, ink);
        p.save();
        p.translate(kCardW, kCardH);
        p.rotate(180);
        CentredText(p, r, QString(QLatin1Char(letters[i])), f, ink);
        p.restore();
    }
    // The jester: a face under a three-pointed cap with bells, grey for the small joker and in
    // colour for the big one.
    const QColor cap1 = big ? QColor(210, 30, 40) : QColor(70, 70, 70);
    const QColor cap2 = big ? QColor(40, 90, 200) : QColor(150, 150, 150);
    const QColor cap3 = big ? QColor(30, 150, 60) : QColor(100, 100, 100);
    const QColor bell = big ? QColor(245, 200, 40) : QColor(200, 200, 200);
    const QColor skin = big ? QColor(255, 224, 190) : QColor(235, 235, 235);
    const QPointF c(40, 58);
    QPainterPath capL, capM, capR;
    capL.moveTo(c.x() - 14, c.y() - 10);
    capL.cubicTo(c.x() - 22, c.y() - 22, c.x() - 30, c.y() - 26, c.x() - 22, c.y() - 34);
    capL.cubicTo(c.x() - 18, c.y() - 24, c.x() - 8, c.y() - 18, c.x() - 4, c.y() - 14);
    capL.closeSubpath();
    capM.moveTo(c.x() - 8, c.y() - 13);
    capM.cubicTo(c.x() - 6, c.y() - 30, c.x() - 2, c.y() - 38, c.x() + 2, c.y() - 44);
    capM.cubicTo(c.x() + 6, c.y() - 34, c.x() + 8, c.y() - 24, c.x() + 8, c.y() - 13);
    capM.closeSubpath();
    capR.moveTo(c.x() + 14, c.y() - 10);
    capR.cubicTo(c.x() + 22, c.y() - 22, c.x() + 30, c.y() - 26, c.x() + 22, c.y() - 34);
    capR.cubicTo(c.x() + 18, c.y() - 24, c.x() + 8, c.y() - 18, c.x() + 4, c.y() - 14);
    capR.closeSubpath();
    p.setPen(QPen(QColor(30, 30, 30), 0.9));
    p.setBrush(cap1);
    p.drawPath(capL);
    p.setBrush(cap3);
    p.drawPath(capR);
    p.setBrush(cap2);
    p.drawPath(capM);
    p.setBrush(bell);
    p.drawEllipse(QPointF(c.x() - 22, c.y() - 35), 3, 3);
    p.drawEllipse(QPointF(c.x() + 22, c.y() - 35), 3, 3);
    p.drawEllipse(QPointF(c.x() + 2, c.y() - 45), 3, 3);
    // band of the cap
    p.setBrush(bell);
    p.drawRoundedRect(QRectF(c.x() - 16, c.y() - 14, 32, 6), 2, 2);
    // face
    p.setBrush(skin);
    p.drawEllipse(QRectF(c.x() - 13, c.y() - 8, 26, 26));
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(QPointF(c.x() - 5, c.y() + 2), 1.6, 2.2);
    p.drawEllipse(QPointF(c.x() + 5, c.y() + 2), 1.6, 2.2);
    p.setBrush(big ? QColor(220, 40, 50) : QColor(90, 90, 90));
    p.drawEllipse(QPointF(c.x(), c.y() + 7), 2.4, 2.4);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 30, 30), 1.2));
    p.drawArc(QRectF(c.x() - 7, c.y() + 3, 14, 10), 200 * 16, 140 * 16);
    // collar
    p.setPen(QPen(QColor(30, 30, 30), 0.9));
    for (int i = 0; i < 5; ++i) {
        QPainterPath tip;
        const double x0 = c.x() - 17 + i * 7;
        tip.moveTo(x0, c.y() + 18);
        tip.lineTo(x0 + 7, c.y() + 18);
        tip.lineTo(x0 + 3.5, c.y() + 28);
        tip.closeSubpath();
        p.setBrush(i % 2 ? cap2 : cap1);
        p.drawPath(tip);
    }
    // the word underneath
    CentredText(p, QRectF(18, 88, 44, 12), QStringLiteral("JOKER"), Font(QStringLiteral("DejaVu Sans"), 8, true), ink);
    p.end();
    return finishCard(img, true);
}

} // namespace

bool InCard(int x, int y)
{
    if (x < 0 || y < 0 || x >= kCardW || y >= kCardH)
        return false;
    // Distance from the nearest corner centre decides inside the rounded corners.
    const double cx = x < kRadius ? kRadius - 0.5 : (x >= kCardW - kRadius ? kCardW - kRadius - 0.5 : x + 0.5);
    const double cy = y < kRadius ? kRadius - 0.5 : (y >= kCardH - kRadius ? kCardH - kRadius - 0.5 : y + 0.5);
    const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
    return dx * dx + dy * dy <= double(kRadius) * kRadius;
}

QImage CardFace(int imageNo)
{
    if (imageNo == 52 || imageNo == 53)
        return jokerFace(imageNo == 53);
    const int symbol = kSymbolOfImageSuit[imageNo / 13];
    const int rank = imageNo % 13;
    QImage img = Canvas(kCardW, kCardH, 0xffffffffu);
    QPainter p(&img);
    Smooth(p);
    drawIndexBothCorners(p, rank, symbol);
    if (rank == 0)
        drawAce(p, symbol);
    else if (rank >= 10)
        drawCourt(p, rank, symbol);
    else
        drawPips(p, rank + 1, symbol);
    p.end();
    return finishCard(img, true);
}

namespace {

QImage cardMask()
{
    const int k = Scale();
    QImage m(kCardW * k, kCardH * k, QImage::Format_RGB32);
    if (k != 1)
        m.setDevicePixelRatio(k);
    for (int y = 0; y < kCardH * k; ++y)
        for (int x = 0; x < kCardW * k; ++x)
            m.setPixel(x, y, InCard(x / k, y / k) ? 0xff000000u : 0xffffffffu);
    return m;
}

QImage cardBack()
{
    QImage img = Canvas(kCardW, kCardH, 0xffffffffu);
    QPainter p(&img);
    Smooth(p);
    const QRectF inner(4.5, 4.5, kCardW - 9, kCardH - 9);
    QLinearGradient g(inner.topLeft(), inner.bottomRight());
    g.setColorAt(0, QColor(170, 28, 40));
    g.setColorAt(1, QColor(120, 14, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(inner, 3, 3);
    // A diagonal lattice with small diamonds at the crossings.
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(inner.adjusted(2, 2, -2, -2), 2, 2);
    p.setClipPath(clip);
    p.setPen(QPen(QColor(235, 190, 110, 150), 1.0));
    for (int k = -120; k < 200; k += 8) {
        p.drawLine(QPointF(k, 0), QPointF(k + 110, 110));
        p.drawLine(QPointF(k + 110, 0), QPointF(k, 110));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 215, 140, 180));
    for (int y = 4; y < kCardH; y += 8)
        for (int x = (y / 8) % 2 ? 4 : 8; x < kCardW; x += 8)
            p.drawEllipse(QPointF(x, y + 0.5), 1.1, 1.1);
    p.restore();
    // The centre medallion with the four suits.
    const QPointF c(kCardW / 2.0, kCardH / 2.0);
    QRadialGradient rg(c, 22);
    rg.setColorAt(0, QColor(255, 244, 214));
    rg.setColorAt(1, QColor(230, 200, 140));
    p.setPen(QPen(QColor(120, 80, 20), 1.2));
    p.setBrush(rg);
    p.drawEllipse(c, 19, 23);
    p.setPen(QPen(QColor(170, 28, 40), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 16, 20);
    const QPointF at[4] = {{c.x(), c.y() - 10}, {c.x() + 8, c.y()}, {c.x(), c.y() + 10}, {c.x() - 8, c.y()}};
    for (int s = 0; s < 4; ++s)
        p.fillPath(SuitPath(s, QRectF(at[s].x() - 5, at[s].y() - 5.5, 10, 11)),
                   SuitIsRed(s) ? QColor(190, 20, 30) : QColor(25, 25, 25));
    p.setPen(QPen(QColor(230, 230, 230), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inner.adjusted(-1, -1, 1, 1), 4, 4);
    p.end();
    return finishCard(img, true);
}

} // namespace

void MakeCards(Out& out)
{
    for (int n = 0; n <= 53; ++n)
        out.picture(Root::App, QStringLiteral("Res/ResPk/Pk%1.bmp").arg(n), CardFace(n));
    out.picture(Root::App, QStringLiteral("Res/ResPk/PkMask.bmp"), cardMask());
    out.picture(Root::App, QStringLiteral("Res/PkBack.bmp"), cardBack());
}

} // namespace resgen
