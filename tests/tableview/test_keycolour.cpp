#include "tableview/paintimagebynullback.h"

#include <gtest/gtest.h>

namespace {

constexpr QRgb kTable = 0x105173;

// A frame on a flat key background with a 2 x 2 subject in the middle and one near-key pixel.
QImage frame(QRgb key, int w = 6, int h = 5)
{
    QImage f(w, h, QImage::Format_RGB32);
    f.fill(key | 0xff000000u);
    f.setPixel(2, 2, 0xffff8000u);
    f.setPixel(3, 2, 0xffff8000u);
    f.setPixel(2, 3, 0xffff8000u);
    f.setPixel(3, 3, 0xffff8000u);
    return f;
}

QRgb px(const QImage& i, int x, int y) { return i.pixel(x, y) & 0xffffff; }

} // namespace

struct KeyCase { QRgb key; QRgb nearKey; };

TEST(KeyColour, KeyPixelsLeaveTheTableAndNearColoursAreDrawn)
{
    const KeyCase cases[] = {{0x000000, 0x010000}, {0xffffff, 0xfffffe}, {0x00ff00, 0x00fe00}};
    for (const auto& c : cases) {
        Surface s(20, 20, QColor::fromRgb(kTable));
        s.fillRect(10, 10, 10, 10, QColor(1, 2, 3));   // not uniform under the frame
        QImage f = frame(c.key);
        f.setPixel(0, 4, c.nearKey | 0xff000000u);
        const QImage before = s.image().copy();
        int changes = 0;
        s.onChanged = [&] { ++changes; };
        clsPaintImageByNullBack().PictureBox_PaintImageByNullBack(s, f, QColor::fromRgb(c.key), 8, 8);
        EXPECT_EQ(changes, 1);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const int fx = x - 8, fy = y - 8;
                const bool inside = fx >= 0 && fy >= 0 && fx < f.width() && fy < f.height();
                const QRgb src = inside ? px(f, fx, fy) : 0;
                if (inside && src != c.key)
                    EXPECT_EQ(px(s.image(), x, y), src) << x << "," << y;
                else
                    EXPECT_EQ(px(s.image(), x, y), px(before, x, y)) << x << "," << y;
            }
        EXPECT_EQ(px(s.image(), 8, 12), c.nearKey);
    }
}

TEST(KeyColour, AtScale2EveryDevicePixelOfAKeyPixelLeavesTheTable)
{
    Surface s(20, 20, QColor::fromRgb(kTable));
    s.setDevicePixelRatio(2.0);
    const QImage f = frame(0x00ff00);
    clsPaintImageByNullBack().PictureBox_PaintImageByNullBack(s, f, QColor(0, 255, 0), 3, 4);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const int fx = x / 2 - 3, fy = y / 2 - 4;
            const bool subject = fx >= 2 && fx <= 3 && fy >= 2 && fy <= 3;
            ASSERT_EQ(px(s.image(), x, y), subject ? 0xff8000u : kTable) << x << "," << y;
        }
}

TEST(KeyColour, ClipsAtEveryEdge)
{
    const QImage f = frame(0x000000);
    const QPoint places[] = {{-3, -3}, {17, 17}, {-2, 17}, {17, -2}, {-100, 0}, {0, 100}};
    for (QPoint p : places) {
        Surface s(20, 20, QColor::fromRgb(kTable));
        clsPaintImageByNullBack().PictureBox_PaintImageByNullBack(s, f, Qt::black, p.x(), p.y());
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const int fx = x - p.x(), fy = y - p.y();
                const bool subject = fx >= 2 && fx <= 3 && fy >= 2 && fy <= 3;
                EXPECT_EQ(px(s.image(), x, y), subject ? 0xff8000u : kTable) << p.x() << " " << x << "," << y;
            }
    }
}

TEST(KeyColour, OtherPictureFormatsAndNoPicture)
{
    Surface s(12, 12, QColor::fromRgb(kTable));
    clsPaintImageByNullBack d;
    // A decoded JPEG may be 8-bit grey.
    d.PictureBox_PaintImageByNullBack(s, frame(0xffffff).convertToFormat(QImage::Format_Grayscale8), Qt::white, 0, 0);
    EXPECT_EQ(px(s.image(), 0, 0), kTable);
    EXPECT_NE(px(s.image(), 2, 2), kTable);
    const QImage before = s.image().copy();
    d.PictureBox_PaintImageByNullBack(s, QImage(), Qt::white, 0, 0);   // nothing to draw
    EXPECT_EQ(s.image(), before);
}
