// The item shop: the shop window's background, buttons, tabs and slots (DaoJuMaket/ under the
// parent folder), the pictures of the sample items (Res/DaoJu/DaoJuInfo_<id>.bmp for the
// catalogue and the panel, Res/DaoJu/MyDaoJu_<id>.bmp for the owned-item strip), the sample
// note file Res/DaoJu/DaoJuInfo.ini (GBK) and the main window's shop button Res/DaoJuBut.bmp.
#include <QLinearGradient>
#include <QRadialGradient>
#include <QStringEncoder>
#include <cmath>

#include "art.h"

namespace resgen {

namespace {

// The window's see-through colour: the shop window leaves every pixel of it out of its shape.
constexpr QRgb kKey = 0xffff00ff;

constexpr int kWinW = 727, kWinH = 541;
constexpr int kItemW = 113, kItemH = 116;    // catalogue and panel picture
constexpr int kSlotW = 81, kSlotH = 79;      // owned-item slot

const QColor kInk(60, 30, 10);
const QColor kCream(252, 247, 232);
const QColor kGoldHi(255, 226, 140);
const QColor kGoldLo(222, 150, 40);
const QColor kBrown(130, 70, 20);
// The owned-item strip's ground, shared by its slots and scroll buttons.
constexpr QRgb kStrip = 0xfff3d89e;

// ---------- the sample items ----------

using IconFn = void (*)(QPainter&, const QRectF&);

QPointF At(const QRectF& b, double fx, double fy)
{
    return QPointF(b.x() + fx * b.width(), b.y() + fy * b.height());
}

void Flower(QPainter& p, const QRectF& b)
{
    p.setPen(QPen(QColor(40, 110, 40), b.width() * 0.05, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(At(b, 0.5, 0.5), At(b, 0.5, 0.98));
    p.setPen(QPen(QColor(30, 90, 30), 1));
    p.setBrush(QColor(70, 160, 60));
    QPainterPath leaf;
    leaf.moveTo(At(b, 0.5, 0.8));
    leaf.quadTo(At(b, 0.72, 0.6), At(b, 0.86, 0.72));
    leaf.quadTo(At(b, 0.7, 0.86), At(b, 0.5, 0.8));
    p.drawPath(leaf);
    const QPointF c = At(b, 0.5, 0.36);
    const double r = b.width() * 0.17;
    p.setPen(QPen(QColor(150, 20, 60), 1));
    for (int i = 0; i < 6; ++i) {
        const double a = i * M_PI / 3;
        QRadialGradient g(c + QPointF(std::cos(a), std::sin(a)) * r, r);
        g.setColorAt(0, QColor(255, 150, 190));
        g.setColorAt(1, QColor(220, 40, 100));
        p.setBrush(g);
        p.drawEllipse(c + QPointF(std::cos(a), std::sin(a)) * r, r, r);
    }
    QRadialGradient mid(c, r * 0.8);
    mid.setColorAt(0, QColor(255, 240, 120));
    mid.setColorAt(1, QColor(230, 160, 20));
    p.setBrush(mid);
    p.drawEllipse(c, r * 0.75, r * 0.75);
}

void Egg(QPainter& p, const QRectF& b)
{
    QPainterPath egg;
    egg.moveTo(At(b, 0.5, 0.08));
    egg.cubicTo(At(b, 0.82, 0.1), At(b, 0.9, 0.62), At(b, 0.82, 0.78));
    egg.cubicTo(At(b, 0.7, 0.98), At(b, 0.3, 0.98), At(b, 0.18, 0.78));
    egg.cubicTo(At(b, 0.1, 0.62), At(b, 0.18, 0.1), At(b, 0.5, 0.08));
    QRadialGradient g(At(b, 0.38, 0.32), b.width() * 0.6);
    g.setColorAt(0, QColor(255, 252, 240));
    g.setColorAt(1, QColor(225, 200, 160));
    p.setPen(QPen(QColor(120, 90, 50), 1.2));
    p.setBrush(g);
    p.drawPath(egg);
    // a crack
    p.setPen(QPen(QColor(110, 80, 40), 1.4));
    QPainterPath crack;
    crack.moveTo(At(b, 0.22, 0.5));
    crack.lineTo(At(b, 0.34, 0.44));
    crack.lineTo(At(b, 0.42, 0.54));
    crack.lineTo(At(b, 0.52, 0.44));
    crack.lineTo(At(b, 0.6, 0.55));
    p.setBrush(Qt::NoBrush);
    p.drawPath(crack);
}

void Beer(QPainter& p, const QRectF& b)
{
    const QRectF mug(At(b, 0.2, 0.26), At(b, 0.68, 0.94));
    p.setPen(QPen(kBrown, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(At(b, 0.6, 0.4), At(b, 0.86, 0.78)), 8, 8);
    QLinearGradient g(mug.topLeft(), mug.topRight());
    g.setColorAt(0, QColor(250, 200, 60));
    g.setColorAt(0.5, QColor(255, 230, 120));
    g.setColorAt(1, QColor(220, 150, 20));
    p.setPen(QPen(kBrown, 1.4));
    p.setBrush(g);
    p.drawRoundedRect(mug, 4, 4);
    // the foam
    p.setBrush(QColor(255, 255, 250));
    p.setPen(QPen(QColor(200, 190, 170), 1));
    for (int i = 0; i < 4; ++i) p.drawEllipse(At(b, 0.24 + i * 0.13, 0.25), b.width() * 0.09, b.height() * 0.08);
    p.setPen(QPen(QColor(255, 250, 220, 200), 2));
    p.drawLine(At(b, 0.3, 0.4), At(b, 0.3, 0.86));
}

void Cake(QPainter& p, const QRectF& b)
{
    p.setPen(QPen(QColor(120, 60, 40), 1.2));
    QLinearGradient base(At(b, 0, 0.55), At(b, 0, 0.92));
    base.setColorAt(0, QColor(250, 210, 170));
    base.setColorAt(1, QColor(210, 150, 100));
    p.setBrush(base);
    p.drawRoundedRect(QRectF(At(b, 0.12, 0.55), At(b, 0.88, 0.92)), 5, 5);
    p.setBrush(QColor(255, 170, 200));
    p.drawRoundedRect(QRectF(At(b, 0.24, 0.34), At(b, 0.76, 0.58)), 4, 4);
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(At(b, 0.12, 0.6), At(b, 0.88, 0.66)));
    for (int i = 0; i < 3; ++i) {
        const double x = 0.36 + i * 0.14;
        p.setBrush(QColor(120, 170, 240));
        p.drawRect(QRectF(At(b, x - 0.02, 0.18), At(b, x + 0.02, 0.34)));
        p.setBrush(QColor(255, 190, 40));
        p.drawEllipse(At(b, x, 0.13), b.width() * 0.03, b.height() * 0.05);
    }
}

void Horn(QPainter& p, const QRectF& b)
{
    QPainterPath cone;
    cone.moveTo(At(b, 0.2, 0.42));
    cone.lineTo(At(b, 0.78, 0.14));
    cone.lineTo(At(b, 0.78, 0.86));
    cone.lineTo(At(b, 0.2, 0.58));
    cone.closeSubpath();
    QLinearGradient g(At(b, 0, 0.14), At(b, 0, 0.86));
    g.setColorAt(0, QColor(255, 120, 90));
    g.setColorAt(1, QColor(190, 30, 30));
    p.setPen(QPen(QColor(100, 10, 10), 1.2));
    p.setBrush(g);
    p.drawPath(cone);
    p.setBrush(QColor(230, 230, 235));
    p.drawRect(QRectF(At(b, 0.1, 0.4), At(b, 0.22, 0.6)));
    p.setBrush(QColor(250, 200, 60));
    p.drawEllipse(QRectF(At(b, 0.72, 0.14), At(b, 0.86, 0.86)));
    p.setPen(QPen(QColor(60, 60, 70), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 2; ++i) p.drawArc(QRectF(At(b, 0.74 - 0.1 * i, 0.5 - 0.16 * i), QSizeF(b.width() * 0.36 * i, b.height() * 0.32 * i)), -40 * 16, 80 * 16);
}

void Amulet(QPainter& p, const QRectF& b)
{
    p.setPen(QPen(QColor(160, 40, 30), 2));
    p.drawLine(At(b, 0.5, 0.02), At(b, 0.5, 0.14));
    QPainterPath tag;
    tag.moveTo(At(b, 0.5, 0.12));
    tag.lineTo(At(b, 0.82, 0.28));
    tag.lineTo(At(b, 0.82, 0.92));
    tag.lineTo(At(b, 0.18, 0.92));
    tag.lineTo(At(b, 0.18, 0.28));
    tag.closeSubpath();
    QLinearGradient g(At(b, 0.18, 0), At(b, 0.82, 0));
    g.setColorAt(0, QColor(250, 220, 80));
    g.setColorAt(1, QColor(230, 170, 30));
    p.setPen(QPen(QColor(150, 30, 20), 1.5));
    p.setBrush(g);
    p.drawPath(tag);
    CentredText(p, QRectF(At(b, 0.18, 0.3), At(b, 0.82, 0.9)), QStringLiteral("护"), Cjk(int(b.height() * 0.42)), QColor(180, 20, 20));
}

// A card with a big sign on it (the score cards).
void SignCard(QPainter& p, const QRectF& b, const QString& sign, QColor c1, QColor c2)
{
    const QRectF r(At(b, 0.14, 0.1), At(b, 0.86, 0.92));
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, c1);
    g.setColorAt(1, c2);
    p.setPen(QPen(c2.darker(160), 1.5));
    p.setBrush(g);
    p.drawRoundedRect(r, 6, 6);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(4, 4, -4, -4), 4, 4);
    CentredText(p, r, sign, Font(QStringLiteral("DejaVu Sans"), int(b.height() * 0.36), true), QColor(255, 255, 255), c2.darker(200));
}

void DoubleCard(QPainter& p, const QRectF& b) { SignCard(p, b, QStringLiteral("×2"), QColor(120, 200, 255), QColor(30, 90, 200)); }
void ZeroCard(QPainter& p, const QRectF& b) { SignCard(p, b, QStringLiteral("0"), QColor(150, 235, 150), QColor(30, 140, 60)); }

void Ghost(QPainter& p, const QRectF& b)
{
    QPainterPath g;
    g.moveTo(At(b, 0.2, 0.9));
    g.lineTo(At(b, 0.2, 0.42));
    g.cubicTo(At(b, 0.2, 0.05), At(b, 0.8, 0.05), At(b, 0.8, 0.42));
    g.lineTo(At(b, 0.8, 0.9));
    for (int i = 0; i < 3; ++i) {
        const double x = 0.8 - i * 0.2;
        g.quadTo(At(b, x - 0.05, 0.8), At(b, x - 0.1, 0.9));
        g.quadTo(At(b, x - 0.15, 0.8), At(b, x - 0.2, 0.9));
    }
    g.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 140), 1.4));
    p.setBrush(QColor(235, 235, 255, 220));
    p.drawPath(g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 70));
    p.drawEllipse(At(b, 0.4, 0.4), b.width() * 0.05, b.height() * 0.07);
    p.drawEllipse(At(b, 0.6, 0.4), b.width() * 0.05, b.height() * 0.07);
}

void RedPacket(QPainter& p, const QRectF& b)
{
    const QRectF r(At(b, 0.2, 0.08), At(b, 0.8, 0.94));
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(240, 60, 50));
    g.setColorAt(1, QColor(170, 10, 20));
    p.setPen(QPen(QColor(110, 0, 0), 1.4));
    p.setBrush(g);
    p.drawRoundedRect(r, 5, 5);
    QPainterPath flap;
    flap.moveTo(r.topLeft() + QPointF(0, 6));
    flap.quadTo(QPointF(r.center().x(), r.top() + r.height() * 0.5), r.topRight() + QPointF(0, 6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    p.setPen(QPen(QColor(150, 90, 0), 1));
    p.setBrush(QColor(255, 210, 60));
    p.drawEllipse(QPointF(r.center().x(), r.top() + r.height() * 0.4), b.width() * 0.11, b.width() * 0.11);
    CentredText(p, QRectF(QPointF(r.center().x() - 10, r.top() + r.height() * 0.4 - 10), QSizeF(20, 20)), QStringLiteral("福"),
                Cjk(int(b.width() * 0.14)), QColor(190, 20, 20));
}

void Tomato(QPainter& p, const QRectF& b)
{
    QRadialGradient g(At(b, 0.4, 0.45), b.width() * 0.45);
    g.setColorAt(0, QColor(255, 120, 90));
    g.setColorAt(1, QColor(200, 30, 20));
    p.setPen(QPen(QColor(120, 10, 0), 1.2));
    p.setBrush(g);
    p.drawEllipse(QRectF(At(b, 0.12, 0.2), At(b, 0.88, 0.9)));
    p.setBrush(QColor(60, 150, 50));
    p.setPen(QPen(QColor(30, 90, 30), 1));
    QPainterPath leaves;
    const QPointF c = At(b, 0.5, 0.22);
    for (int i = 0; i < 5; ++i) {
        const double a = -M_PI / 2 + i * 2 * M_PI / 5;
        leaves.moveTo(c);
        leaves.quadTo(c + QPointF(std::cos(a - 0.5), std::sin(a - 0.5)) * b.width() * 0.12,
                      c + QPointF(std::cos(a), std::sin(a) * 0.6) * b.width() * 0.2);
        leaves.quadTo(c + QPointF(std::cos(a + 0.5), std::sin(a + 0.5)) * b.width() * 0.12, c);
    }
    p.drawPath(leaves);
}

void Diamond(QPainter& p, const QRectF& b)
{
    QPainterPath d;
    d.moveTo(At(b, 0.3, 0.2));
    d.lineTo(At(b, 0.7, 0.2));
    d.lineTo(At(b, 0.9, 0.4));
    d.lineTo(At(b, 0.5, 0.9));
    d.lineTo(At(b, 0.1, 0.4));
    d.closeSubpath();
    QLinearGradient g(At(b, 0.1, 0.2), At(b, 0.9, 0.9));
    g.setColorAt(0, QColor(200, 245, 255));
    g.setColorAt(0.5, QColor(90, 190, 250));
    g.setColorAt(1, QColor(30, 100, 200));
    p.setPen(QPen(QColor(20, 70, 140), 1.4));
    p.setBrush(g);
    p.drawPath(d);
    p.setPen(QPen(QColor(255, 255, 255, 190), 1));
    p.drawLine(At(b, 0.1, 0.4), At(b, 0.9, 0.4));
    p.drawLine(At(b, 0.3, 0.2), At(b, 0.4, 0.4));
    p.drawLine(At(b, 0.7, 0.2), At(b, 0.6, 0.4));
    p.drawLine(At(b, 0.4, 0.4), At(b, 0.5, 0.9));
    p.drawLine(At(b, 0.6, 0.4), At(b, 0.5, 0.9));
}

struct SampleItem {
    int id;
    QRgb tile;
    IconFn icon;
    const char16_t* note;
};

// The room server's catalogue numbers its items from 5001 upward; these are the ones with a
// picture and a note. Any other ID shows the "no picture" tile and "暂无说明。".
const SampleItem kItems[] = {
    {5001, 0xffffe0ec, &Flower, u"送给牌友一束鲜花，表达你的欣赏与友好。对方的头像旁会开出一朵花，牌桌上所有人都能看见。"},
    {5002, 0xfffff3d6, &Egg, u"对打得太慢或者太凶的牌友扔一个鸡蛋，开个玩笑。请文明娱乐，不要恶意刷屏。"},
    {5003, 0xfffff0c0, &Beer, u"请牌友喝一杯冰啤酒，一起庆祝刚才那手好牌。"},
    {5004, 0xffffe4f0, &Cake, u"生日蛋糕：为过生日的牌友送上祝福，全桌都会看到你的心意。"},
    {5005, 0xffe8f0ff, &Horn, u"小喇叭：在本游戏的所有房间里广播一句话，每次使用消耗一个。"},
    {5006, 0xfffff8d8, &Amulet, u"护身符：有效期内掉线或者逃跑时不扣分，也不记逃跑次数。"},
    {5007, 0xffe0f0ff, &DoubleCard, u"双倍积分卡：有效期内每局赢得的积分翻倍，输掉的积分不变。"},
    {5008, 0xffe4f8e4, &ZeroCard, u"负分清零卡：把你当前为负数的积分清为零，积分为正时不起作用。"},
    {5009, 0xffeeeefa, &Ghost, u"隐身卡：有效期内进入房间时不在用户列表中显示你的名字。"},
    {5010, 0xffffe4e0, &RedPacket, u"给牌友发一个红包，讨个好彩头。"},
    {5011, 0xffffece4, &Tomato, u"扔一个番茄，表示你对这手牌的不满。"},
    {5012, 0xffe4f4ff, &Diamond, u"会员钻石：有效期内享受会员价购买所有道具，并在名字旁显示会员标志。"},
};

QImage ItemTile(const SampleItem* item, int w, int h, QRgb margin, double iconScale)
{
    QImage art = Canvas(w, h, margin);
    QPainter p(&art);
    Smooth(p);
    const QRectF tile(3.5, 3.5, w - 7, h - 7);
    QLinearGradient g(tile.topLeft(), tile.bottomLeft());
    const QColor base = item ? QColor::fromRgb(item->tile) : QColor(232, 232, 232);
    g.setColorAt(0, base.lighter(106));
    g.setColorAt(1, base.darker(112));
    p.setPen(QPen(base.darker(150), 1));
    p.setBrush(g);
    p.drawRoundedRect(tile, 8, 8);
    const double side = std::min(tile.width(), tile.height()) * iconScale;
    const QRectF box(tile.center().x() - side / 2, tile.center().y() - side / 2, side, side);
    if (item) {
        item->icon(p, box);
    } else {
        CentredText(p, box.adjusted(0, -side * 0.15, 0, -side * 0.15), QStringLiteral("?"),
                    Font(QStringLiteral("DejaVu Sans"), int(side * 0.6), true), QColor(150, 150, 150), QColor(255, 255, 255));
        CentredText(p, QRectF(tile.left(), tile.bottom() - side * 0.35, tile.width(), side * 0.3), QStringLiteral("暂无图片"),
                    Cjk(std::max(9, int(side * 0.16)), false), QColor(120, 120, 120));
    }
    p.end();
    return Opaque(art, margin);
}

// ---------- the window's pieces ----------

// A shape drawn smooth over a key-coloured field: pixels at least half covered become the shape
// (blended with the colour behind it), the rest exactly the key colour.
QImage OverKey(const QImage& argbIn, QRgb behind)
{
    const QImage argb = argbIn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(argb.size(), QImage::Format_RGB32);
    out.setDevicePixelRatio(argb.devicePixelRatio());
    const QColor b = QColor::fromRgb(behind);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb s = argb.pixel(x, y);
            const int a = qAlpha(s);
            if (a < 128) {
                out.setPixel(x, y, kKey);
                continue;
            }
            QRgb c = qRgb(std::min(255, qRed(s) + b.red() * (255 - a) / 255), std::min(255, qGreen(s) + b.green() * (255 - a) / 255),
                          std::min(255, qBlue(s) + b.blue() * (255 - a) / 255));
            // Never the key colour itself inside the window.
            if (c == kKey) c = qRgb(254, 0, 255);
            out.setPixel(x, y, c);
        }
    return out;
}

void ShoppingBag(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(120, 40, 10), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(r.x() + r.width() * 0.3, r.y(), r.width() * 0.4, r.height() * 0.5), 0, 180 * 16);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(255, 120, 80));
    g.setColorAt(1, QColor(200, 40, 30));
    p.setPen(QPen(QColor(120, 20, 10), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(r.x(), r.y() + r.height() * 0.25, r.width(), r.height() * 0.75), 3, 3);
    p.setPen(QPen(QColor(255, 230, 150), 1.2));
    p.drawLine(QPointF(r.x() + r.width() * 0.2, r.y() + r.height() * 0.5), QPointF(r.right() - r.width() * 0.2, r.y() + r.height() * 0.5));
}

QImage MainBack()
{
    QImage art = Canvas(kWinW, kWinH, 0);
    QPainter p(&art);
    Smooth(p);
    const QRectF whole(0.5, 0.5, kWinW - 1, kWinH - 1);
    QPainterPath shape;
    shape.addRoundedRect(whole, 12, 12);
    // the body
    p.setPen(QPen(QColor(110, 60, 20), 1));
    p.setBrush(kCream);
    p.drawPath(shape);
    p.setClipPath(shape);
    // the top band the window moves by
    QLinearGradient band(0, 0, 0, 33);
    band.setColorAt(0, QColor(255, 236, 170));
    band.setColorAt(1, QColor(246, 190, 80));
    p.fillRect(QRectF(0, 0, kWinW, 33), band);
    p.setPen(QPen(QColor(190, 120, 40), 1));
    p.drawLine(QPointF(0, 32.5), QPointF(kWinW, 32.5));
    ShoppingBag(p, QRectF(12, 6, 20, 21));
    // the catalogue's tab row ends on a rule
    p.setPen(QPen(QColor(220, 150, 60), 2));
    p.drawLine(QPointF(8, 59), QPointF(kWinW - 8, 59));
    // the panel's surround
    p.setPen(QPen(QColor(200, 160, 100), 1));
    p.setBrush(QColor(244, 234, 210));
    p.drawRoundedRect(QRectF(580.5, 63.5, 140, 349), 6, 6);
    // "我的道具" heading and the strip's area
    p.setPen(QPen(QColor(220, 150, 60), 2));
    p.drawLine(QPointF(8, 449), QPointF(kWinW - 8, 449));
    p.fillRect(QRectF(0, 450, kWinW, kWinH - 450), QColor::fromRgb(kStrip));
    CentredText(p, QRectF(kWinW - 120, 429, 110, 16), QStringLiteral("我 的 道 具"), Cjk(13), QColor(150, 70, 10));
    // a border just inside the outline
    p.setClipping(false);
    p.setPen(QPen(QColor(110, 60, 20), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.end();
    QImage out = OverKey(art, 0xff6e3c14);
    // The window's shape is cut in logical pixels from the 1x picture: at a higher scale the
    // key colour lies exactly where it lies at 1x, or specks of it would show inside the shape
    // and the cut edge would show the field behind.
    const int k = Scale();
    if (k != 1) {
        SetScale(1);
        const QImage one = MainBack();
        SetScale(k);
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) {
                const bool key = one.pixel(x / k, y / k) == kKey;
                if (key)
                    out.setPixel(x, y, kKey);
                else if (out.pixel(x, y) == kKey)
                    out.setPixel(x, y, QColor(0xff6e3c14).rgb());
            }
    }
    return out;
}

QImage InfoBack()
{
    // Four cells of 279 x 159 from (5, 5) of this picture, which is drawn at (10, 63).
    QImage art = Canvas(568, 322, QColor(kCream).rgba());
    QPainter p(&art);
    Smooth(p);
    for (int c = 0; c < 4; ++c) {
        // The card's top edge a few pixels above the cell's, clear of the name on its first line.
        const QRectF cell(5 + (c % 2) * 279 + 1.5, 5 + (c / 2) * 159 - 2.5, 276, 156);
        p.setPen(QPen(QColor(215, 180, 120), 1));
        p.setBrush(QColor(255, 255, 255));
        p.drawRoundedRect(cell, 5, 5);
        // a light rule beside the texts
        p.setPen(QPen(QColor(240, 225, 200), 1));
        p.drawLine(QPointF(cell.x() + 120, cell.y() + 8), QPointF(cell.x() + 120, cell.bottom() - 8));
    }
    p.end();
    return Opaque(art, QColor(kCream).rgb());
}

QImage SysButtons()
{
    QImage out = DeviceImage(4 * 17, 17);
    for (int cell = 0; cell < 4; ++cell) {
        const bool lit = cell >= 2;
        const bool close = cell % 2 == 1;
        QImage art = Canvas(17, 17, 0);
        QPainter p(&art);
        Smooth(p);
        QLinearGradient g(0, 0, 0, 17);
        const QColor top = lit ? (close ? QColor(255, 130, 110) : QColor(255, 240, 190)) : QColor(255, 238, 196);
        const QColor bottom = lit ? (close ? QColor(210, 40, 30) : QColor(245, 190, 80)) : QColor(236, 186, 96);
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.setPen(QPen(QColor(150, 80, 20), 1));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(0.5, 0.5, 16, 16), 3, 3);
        p.setPen(QPen(lit && close ? QColor(255, 255, 255) : QColor(90, 40, 10), 1.8, Qt::SolidLine, Qt::RoundCap));
        if (close) {
            p.drawLine(QPointF(5, 5), QPointF(12, 12));
            p.drawLine(QPointF(12, 5), QPointF(5, 12));
        } else {
            p.drawLine(QPointF(4.5, 11.5), QPointF(12.5, 11.5));
        }
        p.end();
        Put(out, Opaque(art, 0xfffbe6b0), cell * 17);
    }
    return out;
}

QImage Tab(bool selected)
{
    QImage art = Canvas(85, 20, QColor(kCream).rgba());
    QPainter p(&art);
    Smooth(p);
    QPainterPath t;
    t.moveTo(1, 20);
    t.lineTo(1, 5);
    t.quadTo(1, 1, 5, 1);
    t.lineTo(80, 1);
    t.quadTo(84, 1, 84, 5);
    t.lineTo(84, 20);
    QLinearGradient g(0, 0, 0, 20);
    g.setColorAt(0, selected ? QColor(255, 250, 230) : QColor(238, 226, 200));
    g.setColorAt(1, selected ? QColor(255, 214, 120) : QColor(214, 196, 160));
    p.setPen(QPen(selected ? QColor(200, 120, 30) : QColor(170, 150, 120), 1));
    p.setBrush(g);
    p.drawPath(t);
    p.end();
    return Opaque(art, QColor(kCream).rgb());
}

QImage BuyButton(bool lit)
{
    QImage art = Canvas(55, 23, 0xffffffff);
    QPainter p(&art);
    Smooth(p);
    QLinearGradient g(0, 0, 0, 23);
    g.setColorAt(0, lit ? QColor(255, 190, 120) : QColor(255, 160, 80));
    g.setColorAt(1, lit ? QColor(240, 90, 30) : QColor(210, 60, 20));
    p.setPen(QPen(QColor(140, 30, 10), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 54, 22), 10, 10);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawLine(QPointF(8, 4), QPointF(47, 4));
    CentredText(p, QRectF(0, 0, 55, 23), QStringLiteral("购 买"), Cjk(13), QColor(255, 255, 255), QColor(120, 20, 0));
    p.end();
    return Opaque(art, 0xffffffff);
}

QImage MoveButton(int dir, bool lit)
{
    QImage art = Canvas(38, 94, kStrip);
    QPainter p(&art);
    Smooth(p);
    QLinearGradient g(0, 0, 38, 0);
    g.setColorAt(0, lit ? QColor(255, 240, 200) : QColor(250, 222, 160));
    g.setColorAt(1, lit ? QColor(250, 200, 110) : QColor(226, 176, 90));
    p.setPen(QPen(QColor(160, 100, 30), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1.5, 6.5, 35, 81), 8, 8);
    QPainterPath arrow;
    const double cx = 19, cy = 47;
    const double s = dir == 0 ? -1 : 1;
    arrow.moveTo(cx + s * 8, cy);
    arrow.lineTo(cx - s * 6, cy - 13);
    arrow.lineTo(cx - s * 6, cy + 13);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(110, 50, 10), 1));
    p.setBrush(lit ? QColor(230, 80, 20) : QColor(170, 90, 30));
    p.drawPath(arrow);
    p.end();
    return Opaque(art, kStrip);
}

QImage SlotBack()
{
    QImage art = Canvas(kSlotW, kSlotH, kStrip);
    QPainter p(&art);
    Smooth(p);
    p.setPen(QPen(QColor(200, 150, 80), 1, Qt::DashLine));
    p.setBrush(QColor(255, 246, 224));
    p.drawRoundedRect(QRectF(3.5, 3.5, kSlotW - 7, kSlotH - 7), 8, 8);
    p.end();
    return Opaque(art, kStrip);
}

QImage OpenButton()
{
    QImage out = DeviceImage(82, 25);
    for (int lit = 0; lit < 2; ++lit) {
        QImage art = Canvas(41, 25, 0xfffafafa);
        QPainter p(&art);
        Smooth(p);
        QLinearGradient g(0, 0, 0, 25);
        g.setColorAt(0, lit ? QColor(255, 244, 200) : kGoldHi);
        g.setColorAt(1, lit ? QColor(250, 190, 80) : kGoldLo);
        p.setPen(QPen(kBrown, 1));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(0.5, 0.5, 40, 24), 5, 5);
        ShoppingBag(p, QRectF(4, 5, 11, 14));
        p.setPen(QPen(kInk, 1));
        CentredText(p, QRectF(14, 0, 27, 25), QStringLiteral("商城"), Cjk(11, true), kInk);
        p.end();
        Put(out, Opaque(art, 0xfffafafa), lit * 41);
    }
    return out;
}

QByteArray NoteFile()
{
    QString text = QStringLiteral("; 道具说明：每个道具一节，节名为 DaoJuInfo_ID_ 加道具ID，键 Note 为说明文字。\r\n");
    for (const SampleItem& it : kItems) {
        text += QStringLiteral("\r\n[DaoJuInfo_ID_") + QString::number(it.id) + QStringLiteral("]\r\n");
        text += QStringLiteral("Note=") + QString::fromUtf16(it.note) + QStringLiteral("\r\n");
    }
    QStringEncoder enc("GBK");
    return enc.isValid() ? enc.encode(text) : text.toUtf8();
}

} // namespace

void MakeShop(Out& out)
{
    auto shop = [&](const QString& name, const QImage& img) { out.picture(Root::Parent, QStringLiteral("DaoJuMaket/") + name, img); };
    shop(QStringLiteral("DaoJuMain.bmp"), MainBack());
    shop(QStringLiteral("DaoJuInfoBk.bmp"), InfoBack());
    shop(QStringLiteral("SysBut.bmp"), SysButtons());
    shop(QStringLiteral("TabBut.bmp"), Tab(true));
    shop(QStringLiteral("TabButM.bmp"), Tab(false));
    shop(QStringLiteral("BuyBut.bmp"), BuyButton(false));
    shop(QStringLiteral("BuyButM.bmp"), BuyButton(true));
    shop(QStringLiteral("DaoJuNo.bmp"), ItemTile(nullptr, kItemW, kItemH, 0xffffffff, 0.62));
    shop(QStringLiteral("MyDaoJuBk.bmp"), SlotBack());
    shop(QStringLiteral("MeNo.bmp"), ItemTile(nullptr, kSlotW, kSlotH, kStrip, 0.7));
    for (int i = 0; i < 2; ++i) {
        shop(QStringLiteral("Move%1.bmp").arg(i), MoveButton(i, false));
        shop(QStringLiteral("move%1M.bmp").arg(i), MoveButton(i, true));
    }
    for (const SampleItem& it : kItems) {
        out.picture(Root::App, QStringLiteral("Res/DaoJu/DaoJuInfo_%1.bmp").arg(it.id), ItemTile(&it, kItemW, kItemH, 0xffffffff, 0.66));
        out.picture(Root::App, QStringLiteral("Res/DaoJu/MyDaoJu_%1.bmp").arg(it.id), ItemTile(&it, kSlotW, kSlotH, kStrip, 0.7));
    }
    out.bytes(Root::App, QStringLiteral("Res/DaoJu/DaoJuInfo.ini"), NoteFile());
    out.picture(Root::App, QStringLiteral("Res/DaoJuBut.bmp"), OpenButton());
}

} // namespace resgen
