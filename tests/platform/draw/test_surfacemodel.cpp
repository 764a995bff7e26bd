// The surface's fast paths against a plain model of the same operations: vector loops, masked
// cards in one pass, copies within the picture, and clearing or erasing only where something was
// drawn since the last clear must all leave exactly the model's pixels. Also what the surface
// reports as changed and as erased, and its texts against QPainter's.
#include "platform/draw/surface.h"

#include <QGuiApplication>
#include <QPainter>
#include <random>
#include <utility>
#include <gtest/gtest.h>


namespace {

// Every operation pixel by pixel, reading the source as it was before the operation.
struct Model {
    QImage img;
    QRgb back;

    Model(int w, int h, QRgb b) : img(w, h, QImage::Format_RGB32), back(b | 0xff000000u) { img.fill(back); }

    bool inside(const QImage& i, int x, int y) const { return x >= 0 && y >= 0 && x < i.width() && y < i.height(); }

    void fill(int x, int y, int w, int h, QRgb c)
    {
        if (w < 0) { x += w; w = -w; }
        if (h < 0) { y += h; h = -h; }
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                if (inside(img, i, j)) img.setPixel(i, j, c | 0xff000000u);
    }

    static QRgb apply(QRgb d, QRgb s, Rop rop)
    {
        switch (rop) {
        case Rop::Copy: return s | 0xff000000u;
        case Rop::And: return (d & s) | 0xff000000u;
        case Rop::Or: return d | s | 0xff000000u;
        case Rop::NotCopy: return ~s | 0xff000000u;
        }
        return d;
    }

    void blt(int dx, int dy, int w, int h, const QImage& srcIn, int sx, int sy, Rop rop)
    {
        const QImage src = srcIn.copy();
        const int aw = std::abs(w), ah = std::abs(h);
        const int bx = w < 0 ? dx - aw : dx, by = h < 0 ? dy - ah : dy;
        for (int j = 0; j < ah; ++j)
            for (int i = 0; i < aw; ++i) {
                const int cx = w < 0 ? sx + aw - 1 - i : sx + i, cy = h < 0 ? sy + ah - 1 - j : sy + j;
                if (!inside(img, bx + i, by + j) || !inside(src, cx, cy)) continue;
                img.setPixel(bx + i, by + j, apply(img.pixel(bx + i, by + j), src.pixel(cx, cy), rop));
            }
    }
};

QImage Noise(std::mt19937& rng, int w, int h)
{
    QImage i(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) i.setPixel(x, y, 0xff000000u | (rng() & 0xffffffu));
    return i;
}

// A card mask: black inside, white in the corners and along a few random columns.
QImage MaskLike(std::mt19937& rng, int w, int h)
{
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(0xff000000u);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x < 3 || x >= w - 3) && (y < 3 || y >= h - 3)) i.setPixel(x, y, 0xffffffffu);
    for (int k = 0; k < 3; ++k) {
        const int x = int(rng() % unsigned(w));
        for (int y = 0; y < h; ++y) i.setPixel(x, y, 0xffffffffu);
    }
    return i;
}

QRgb Px(const QImage& i, int x, int y) { return i.pixel(x, y) & 0xffffffu; }

}  // namespace

// Thousands of random operations, many of them partly or wholly off the picture, on a surface
// and on the model: after each the two pictures are the same.
TEST(SurfaceModel, RandomOperationsGiveTheModelsPixels)
{
    std::mt19937 rng(20241207);
    const int W = 173, H = 97;  // not a whole number of tiles either way
    const QRgb back = qRgb(16, 81, 115);
    Surface s(W, H, QColor::fromRgb(back));
    Model m(W, H, back);
    const QImage pics[] = {Noise(rng, 40, 30), Noise(rng, 7, 5), MaskLike(rng, 40, 30), Noise(rng, 80, 105)};
    const QImage mask = MaskLike(rng, 80, 105);
    auto coord = [&rng](int range) { return int(rng() % unsigned(range + 60)) - 30; };
    for (int step = 0; step < 3000; ++step) {
        const int op = int(rng() % 9);
        const int x = coord(W), y = coord(H);
        const int w = int(rng() % 90) - 20, h = int(rng() % 70) - 15;
        const QImage& pic = pics[rng() % 4];
        const int sx = int(rng() % 50) - 10, sy = int(rng() % 40) - 10;
        switch (op) {
        case 0:
            if (rng() % 8 == 0) {
                s.clear();
                m.img.fill(m.back);
            }
            break;
        case 1:  // erasing in the back colour
            s.fillRect(x, y, w, h, QColor::fromRgb(back));
            m.fill(x, y, w, h, back);
            break;
        case 2: {
            const QRgb c = rng() & 0xffffffu;
            s.fillRect(x, y, w, h, QColor::fromRgb(c));
            m.fill(x, y, w, h, c);
            break;
        }
        case 3:
        case 4: {
            const Rop rop = Rop(rng() % 4);
            s.blt(x, y, w, h, pic, sx, sy, rop);
            m.blt(x, y, w, h, pic, sx, sy, rop);
            break;
        }
        case 5: {  // within the picture itself, overlapping
            const Rop rop = Rop(rng() % 4);
            const QImage before = m.img.copy();
            s.blt(x, y, w, h, std::as_const(s).image(), sx + x / 2, sy + y / 2, rop);
            m.blt(x, y, w, h, before, sx + x / 2, sy + y / 2, rop);
            break;
        }
        case 6:
        case 7: {  // a masked card, sometimes cut by the edges or by a partial source
            const int cw = int(rng() % 81), ch = int(rng() % 106);
            const int ox = rng() % 3 == 0 ? int(rng() % 20) : 0;
            s.maskBlt(x, y, cw, ch, mask, ox, 0, pics[3], ox, 0);
            m.blt(x, y, cw, ch, mask, ox, 0, Rop::And);
            m.blt(x, y, cw, ch, pics[3], ox, 0, Rop::Or);
            break;
        }
        case 8: {  // drawing straight into the picture
            const QRect r(x, y, 9, 9);
            QImage& img = rng() % 2 ? s.image() : s.drawingImage(r);
            const QRgb c = 0xff000000u | (rng() & 0xffffffu);
            for (int j = r.top(); j <= r.bottom(); ++j) {
                for (int i = r.left(); i <= r.right(); ++i) {
                    if (!m.inside(img, i, j)) continue;
                    img.setPixel(i, j, c);
                    m.img.setPixel(i, j, c);
                }
            }
            break;
        }
        }
        ASSERT_EQ(std::as_const(s).image(), m.img) << "after step " << step << ", operation " << op;
    }
}

// A masked card in one pass is the two copies, whatever the mask and face hold and wherever
// each source ends.
TEST(SurfaceModel, MaskedCopyIsTheTwoCopies)
{
    std::mt19937 rng(7);
    const QImage face = Noise(rng, 80, 105), mask = MaskLike(rng, 80, 105), narrow = Noise(rng, 50, 105);
    struct Case {
        int x, y, w, h, mx, fx;
        const QImage* face;
    } cases[] = {
        {10, 10, 80, 105, 0, 0, &face},    // whole card
        {10, 10, 21, 105, 0, 0, &face},    // the slice a covered card shows
        {-30, -40, 80, 105, 0, 0, &face},  // off the top-left
        {150, 90, 80, 105, 0, 0, &face},   // off the bottom-right
        {10, 10, 80, 105, 5, 5, &face},    // sources end before the block does
        {10, 10, 80, 105, 0, 0, &narrow},  // the face narrower than the mask
        {10, 10, 80, 105, 10, 0, &face},   // mask and face read from different columns
    };
    for (const Case& c : cases) {
        Surface one(200, 150), two(200, 150);
        const QImage under = Noise(rng, 200, 150);
        one.blt(0, 0, 200, 150, under, 0, 0);
        two.blt(0, 0, 200, 150, under, 0, 0);
        one.maskBlt(c.x, c.y, c.w, c.h, mask, c.mx, 0, *c.face, c.fx, 0);
        two.blt(c.x, c.y, c.w, c.h, mask, c.mx, 0, Rop::And);
        two.blt(c.x, c.y, c.w, c.h, *c.face, c.fx, 0, Rop::Or);
        EXPECT_EQ(std::as_const(one).image(), std::as_const(two).image()) << c.x << "," << c.y << " " << c.w << "x" << c.h;
    }
    // No mask: the face ORed alone.
    Surface one(100, 120, Qt::black), two(100, 120, Qt::black);
    one.maskBlt(5, 5, 80, 105, QImage(), 0, 0, face, 0, 0);
    two.blt(5, 5, 80, 105, face, 0, 0, Rop::Or);
    EXPECT_EQ(std::as_const(one).image(), std::as_const(two).image());
}

// Clearing writes only the tiles drawn on since the last clear; so does erasing in the back
// colour, which writes nothing at all where nothing was drawn.
TEST(SurfaceModel, ClearAndEraseWriteOnlyWhereSomethingWasDrawn)
{
    Surface s(1920, 1080);
    const qint64 atStart = s.erasedPixels();
    s.clear();
    EXPECT_EQ(s.erasedPixels(), atStart) << "a clear surface stays as it is";
    QImage card(80, 105, QImage::Format_RGB32);
    card.fill(qRgb(200, 10, 10));
    s.blt(500, 300, 80, 105, card, 0, 0);
    qint64 before = s.erasedPixels();
    s.fillRect(0, 0, 400, 1080, QColor(16, 81, 115));  // beside the card: nothing to erase
    EXPECT_EQ(s.erasedPixels(), before);
    s.clear();
    const qint64 erased = s.erasedPixels() - before;
    EXPECT_GE(erased, 80 * 105);
    EXPECT_LE(erased, (80 + 64) * (105 + 32)) << "only the tiles under the card";
    EXPECT_EQ(Px(std::as_const(s).image(), 540, 350), 0x105173u);

    // A new back colour has no tiles known to hold it: the whole picture is written.
    before = s.erasedPixels();
    s.backColor = Qt::black;
    s.clear();
    EXPECT_EQ(s.erasedPixels() - before, 1920 * 1080);
    EXPECT_EQ(Px(std::as_const(s).image(), 1000, 1000), 0u);
    // Direct access counts as drawing everywhere.
    before = s.erasedPixels();
    s.image().setPixel(3, 3, qRgb(1, 2, 3));
    s.clear();
    EXPECT_EQ(s.erasedPixels() - before, 1920 * 1080);
}

// What the surface reports as changed covers every pixel that changed, and for a small drawing
// not much more.
TEST(SurfaceModel, ChangedRegionCoversEveryChangedPixel)
{
    std::mt19937 rng(99);
    Surface s(300, 200);
    const QImage pic = Noise(rng, 60, 40);
    s.takeChanged();
    QImage before = std::as_const(s).image().copy();
    s.takeChanged();
    for (int round = 0; round < 200; ++round) {
        const int ops = int(rng() % 40) + 1;
        for (int k = 0; k < ops; ++k) {
            const int x = int(rng() % 340) - 20, y = int(rng() % 240) - 20;
            switch (rng() % 4) {
            case 0: s.blt(x, y, 30, 20, pic, 5, 5, Rop::Copy); break;
            case 1: s.fillRect(x, y, 25, 15, QColor(16, 81, 115)); break;
            case 2: s.fillRect(x, y, 12, 30, QColor::fromRgb(rng() & 0xffffffu)); break;
            case 3: s.line(x, y, x + 40, y + 7, Qt::white); break;
            }
        }
        const QRegion changed = s.takeChanged();
        const QImage& now = std::as_const(s).image();
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                if (now.pixel(x, y) != before.pixel(x, y)) {
                    ASSERT_TRUE(changed.contains(QPoint(x, y))) << x << "," << y << " in round " << round;
                }
        before = now.copy();
    }
    s.blt(100, 100, 10, 10, pic, 0, 0);
    const QRegion one = s.takeChanged();
    EXPECT_EQ(one.boundingRect(), QRect(100, 100, 10, 10));
    EXPECT_TRUE(s.takeChanged().isEmpty()) << "taken once";
}

// Texts come from layouts kept per font: the same pixels QPainter draws from a fresh layout,
// the first time and every time after, in every font and size the table uses.
TEST(SurfaceModel, KeptTextsDrawLikeFreshOnes)
{
    const QString texts[] = {QStringLiteral("余牌:"), QStringLiteral("27"), QStringLiteral("东方不败"),
                             QStringLiteral("LuckyStar88"), QStringLiteral("我伙得分： 120"), QStringLiteral("-120"),
                             QStringLiteral("本轮和局！"), QStringLiteral("a\tb\nc")};
    struct Font { const char* name; int size; bool bold; } fonts[] = {
        {"宋体", 9, false}, {"黑体", 9, true}, {"宋体", 10, true}, {"宋体", 11, false},
        {"宋体", 13, true}, {"宋体", 12, true}, {"黑体", 20, true},
    };
    const QColor ink(250, 0, 200);
    for (const Font& f : fonts) {
        Surface s(260, 60);
        s.fontName = QString::fromUtf8(f.name);
        s.fontSize = f.size;
        s.fontBold = f.bold;
        s.foreColor = ink;
        const QFont font = s.currentFont();
        for (const QString& t : texts) {
            QImage fresh(260, 60, QImage::Format_RGB32);
            fresh.fill(QColor(16, 81, 115));
            {
                QPainter p(&fresh);
                p.setFont(font);
                p.setPen(ink);
                p.drawText(QPoint(7, 5 + QFontMetrics(font).ascent()), t);
            }
            for (int again = 0; again < 2; ++again) {
                s.clear();
                s.print(7, 5, t);
                EXPECT_EQ(std::as_const(s).image(), fresh) << f.name << f.size << " " << qPrintable(t) << " " << again;
            }
        }
    }
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
