// The surface above scale 1: logical coordinates in, device pixels out; pictures with a 2x
// version drawn from it pixel for pixel, masks kept exact, and the 2x file never read at 1.
#include "platform/draw/imagecache.h"
#include "platform/draw/surface.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QRgb dpx(const Surface& s, int x, int y) { return s.image().pixel(x, y) & 0xffffff; }

QImage pattern(int w, int h, int salt)
{
    QImage i(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) i.setPixel(x, y, qRgb(x * 9 + salt, y * 9, salt));
    return i;
}

} // namespace

TEST(SurfaceScale, LogicalRectanglesLandOnTheirDevicePixels)
{
    struct Case { qreal dpr; QSize device; QRect fill; QRect devFill; };
    const Case cases[] = {
        {2.0, QSize(40, 30), QRect(3, 2, 4, 5), QRect(6, 4, 8, 10)},
        {1.5, QSize(30, 23), QRect(3, 2, 4, 5), QRect(5, 3, 6, 8)},   // edges rounded, tiles meet
        {1.25, QSize(25, 19), QRect(1, 1, 2, 2), QRect(1, 1, 3, 3)},
    };
    for (const Case& c : cases) {
        Surface s(20, 15, QColor(0, 0, 0));
        s.setDevicePixelRatio(c.dpr);
        EXPECT_EQ(s.width(), 20);
        EXPECT_EQ(s.image().size(), c.device) << c.dpr;
        EXPECT_EQ(s.image().devicePixelRatio(), c.dpr);
        EXPECT_EQ(s.deviceRect(c.fill), c.devFill) << c.dpr;
        s.takeChanged();
        s.fillRect(c.fill.x(), c.fill.y(), c.fill.width(), c.fill.height(), QColor(255, 0, 0));
        for (int y = 0; y < c.device.height(); ++y)
            for (int x = 0; x < c.device.width(); ++x)
                ASSERT_EQ(dpx(s, x, y), c.devFill.contains(x, y) ? 0xff0000u : 0u) << c.dpr << " " << x << "," << y;
        // The screen is told in logical pixels, covering every device pixel drawn.
        const QRegion changed = s.takeChanged();
        EXPECT_TRUE(changed.contains(c.fill)) << c.dpr;
        EXPECT_TRUE(s.logicalRect(c.devFill).contains(c.fill));
    }
}

TEST(SurfaceScale, AKeptAreaGoesBackPixelForPixel)
{
    for (qreal dpr : {1.5, 2.0}) {
        Surface s(40, 30, QColor(0, 0, 0));
        s.setDevicePixelRatio(dpr);
        s.blt(0, 0, 40, 30, pattern(40, 30, 1), 0, 0);
        const QImage before = s.image();
        const QImage kept = s.copyArea(5, 4, 13, 11);
        s.fillRect(0, 0, 40, 30, QColor(9, 9, 9));
        s.blt(5, 4, 13, 11, kept, 0, 0);
        const QRect d = s.deviceRect(QRect(5, 4, 13, 11));
        for (int y = d.top(); y <= d.bottom(); ++y)
            for (int x = d.left(); x <= d.right(); ++x) ASSERT_EQ(s.image().pixel(x, y), before.pixel(x, y)) << dpr;
        EXPECT_EQ(dpx(s, d.right() + 1, d.top()), 0x090909u);
    }
}

TEST(SurfaceScale, MasksWithoutA2xVersionRepeatWholePixelsAtScale2)
{
    // A mask and a face made at 1x only: every device pixel is its logical pixel's, so the
    // table shows through exactly where the mask is white.
    QImage mask(4, 4, QImage::Format_RGB32), face(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool hole = (x + y) % 3 == 0;
            mask.setPixel(x, y, hole ? 0xffffffffu : 0xff000000u);
            face.setPixel(x, y, hole ? 0xff000000u : qRgb(200, 40 * x, 40 * y));
        }
    Surface s(10, 10, QColor(16, 81, 115));
    s.setDevicePixelRatio(2.0);
    s.maskBlt(2, 3, 4, 4, mask, 0, 0, face, 0, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const int lx = x / 2, ly = y / 2;
            const QRgb want = (lx + ly) % 3 == 0 ? 0x105173u : (face.pixel(lx, ly) & 0xffffff);
            ASSERT_EQ(dpx(s, 4 + x, 6 + y), want) << x << "," << y;
        }
}

TEST(SurfaceScale, AMaskedShapeBetweenWholePixelsHasNoDarkSeam)
{
    // A white disc cut out by its mask, both made at 2x, on the table at 1.5: every pixel is
    // the table, the disc, or a blend of the two, never darker than the table.
    QImage mask(40, 40, QImage::Format_RGB32), face(40, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool in = (x - 20) * (x - 20) + (y - 20) * (y - 20) < 15 * 15;
            mask.setPixel(x, y, in ? 0xff000000u : 0xffffffffu);
            face.setPixel(x, y, in ? 0xffffffffu : 0xff000000u);
        }
    mask.setDevicePixelRatio(2.0);
    face.setDevicePixelRatio(2.0);
    Surface s(30, 30, QColor(16, 81, 115));
    s.setDevicePixelRatio(1.5);
    s.maskBlt(5, 5, 20, 20, mask, 0, 0, face, 0, 0);
    int blends = 0;
    for (int y = 0; y < s.image().height(); ++y)
        for (int x = 0; x < s.image().width(); ++x) {
            const QRgb c = s.image().pixel(x, y);
            ASSERT_TRUE(qRed(c) >= 16 && qGreen(c) >= 81 && qBlue(c) >= 115) << x << "," << y;
            blends += c != 0xff105173u && c != 0xffffffffu;
        }
    EXPECT_GT(blends, 0);
    EXPECT_EQ(dpx(s, 22, 22), 0xffffffu);   // the middle of the disc
    EXPECT_EQ(dpx(s, 8, 8), 0x105173u);     // outside it, in the block
}

TEST(SurfaceScale, The2xVersionIsDrawnAbove1AndNeverReadAt1)
{
    QTemporaryDir dir;
    const QImage one = pattern(6, 4, 3), two = pattern(12, 8, 100);
    ASSERT_TRUE(one.save(dir.filePath(QStringLiteral("pic.bmp"))));
    ASSERT_TRUE(two.save(dir.filePath(QStringLiteral("pic@2x.bmp"))));
    ImageCache cache;
    const QImage pic = cache.get(dir.filePath(QStringLiteral("pic.bmp")));
    ASSERT_FALSE(pic.isNull());

    const int decodes = ImageCache::instance().decodeCount();
    Surface flat(20, 20, QColor(0, 0, 0));
    flat.blt(2, 2, 6, 4, pic, 0, 0);
    flat.maskBlt(10, 10, 6, 4, QImage(), 0, 0, pic, 0, 0);
    EXPECT_EQ(dpx(flat, 2 + 5, 2 + 3), one.pixel(5, 3) & 0xffffff);
    EXPECT_EQ(ImageCache::instance().decodeCount(), decodes);

    Surface sharp(20, 20, QColor(0, 0, 0));
    sharp.setDevicePixelRatio(2.0);
    sharp.blt(2, 2, 5, 3, pic, 1, 1);   // part of the picture: the same part of the 2x one
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(dpx(sharp, 4 + x, 4 + y), two.pixel(2 + x, 2 + y) & 0xffffff);
    // A 2x file of the wrong size is not taken for one.
    ASSERT_TRUE(pattern(11, 8, 50).save(dir.filePath(QStringLiteral("odd@2x.bmp"))));
    ASSERT_TRUE(one.save(dir.filePath(QStringLiteral("odd.bmp"))));
    EXPECT_TRUE(HiResPicture(cache.get(dir.filePath(QStringLiteral("odd.bmp")))).isNull());
    EXPECT_FALSE(HiResPicture(pic).isNull());
    // For a painter: the 2x version carrying its ratio above scale 1; else the picture itself.
    const QImage odd = cache.get(dir.filePath(QStringLiteral("odd.bmp")));
    struct R { qreal dpr; QImage in; QSize size; qreal ratio; };
    for (const R& r : {R{1.0, pic, pic.size(), 1.0}, R{2.0, pic, pic.size() * 2, 2.0}, R{1.5, pic, pic.size() * 2, 2.0},
                       R{2.0, odd, odd.size(), 1.0}}) {
        const QImage out = PictureForRatio(r.in, r.dpr);
        EXPECT_EQ(out.size(), r.size) << r.dpr;
        EXPECT_EQ(out.devicePixelRatio(), r.ratio) << r.dpr;
    }
}

TEST(SurfaceScale, TextIsDrawnAtDevicePixels)
{
    Surface s(60, 20, QColor(255, 255, 255));
    s.setDevicePixelRatio(2.0);
    s.print(2, 2, QStringLiteral("牌桌"));
    // Strokes thinner than a logical pixel: some device rows differ from their pair.
    int oddRows = 0;
    for (int y = 0; y + 1 < s.image().height(); y += 2)
        for (int x = 0; x < s.image().width(); ++x) oddRows += s.image().pixel(x, y) != s.image().pixel(x, y + 1);
    EXPECT_GT(oddRows, 0);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
