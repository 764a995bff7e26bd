#include "platform/draw/surface.h"
#include "platform/draw/gamefont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

QImage solid(int w, int h, QRgb c)
{
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(c);
    return i;
}

// A source whose every pixel is distinct: red = x, green = y.
QImage ramp(int w, int h)
{
    QImage i(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            i.setPixel(x, y, qRgb(x, y, 7));
    return i;
}

QRgb px(const Surface& s, int x, int y) { return s.image().pixel(x, y) & 0xffffff; }

} // namespace

struct RopCase { Rop rop; QRgb dst; QRgb src; QRgb want; };

TEST(Surface, RasterOpsAreExact)
{
    const RopCase cases[] = {
        {Rop::Copy, 0x123456, 0xabcdef, 0xabcdef},
        {Rop::And, 0x123456, 0xf0f00f, 0x103006},
        {Rop::And, 0x105173, 0xffffff, 0x105173},   // white mask keeps the table
        {Rop::And, 0x105173, 0x000000, 0x000000},   // black mask cuts a hole
        {Rop::Or, 0x000000, 0xabcdef, 0xabcdef},    // face into the hole
        {Rop::Or, 0x105173, 0x000000, 0x105173},    // black face leaves the table
        {Rop::Or, 0x0f0f00, 0xf000f0, 0xff0ff0},
        {Rop::NotCopy, 0x123456, 0x00ff0f, 0xff00f0},
    };
    for (const auto& c : cases) {
        Surface s(4, 4, QColor::fromRgb(c.dst));
        s.blt(1, 1, 2, 2, solid(2, 2, c.src), 0, 0, c.rop);
        EXPECT_EQ(px(s, 1, 1), c.want) << int(c.rop);
        EXPECT_EQ(px(s, 2, 2), c.want) << int(c.rop);
        EXPECT_EQ(px(s, 0, 0), c.dst & 0xffffff);
        EXPECT_EQ(px(s, 3, 3), c.dst & 0xffffff);
    }
}

TEST(Surface, CopiesTheSourceRectangle)
{
    Surface s(10, 10);
    s.blt(2, 3, 4, 2, ramp(20, 20), 5, 6);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(px(s, 2 + i, 3 + j), qRgb(5 + i, 6 + j, 7) & 0xffffff);
    EXPECT_EQ(px(s, 6, 3), QColor(16, 81, 115).rgb() & 0xffffff);
}

TEST(Surface, NegativeWidthMirrorsLeftOfDx)
{
    Surface s(12, 4, Qt::black);
    // Eight wide mirrored ending at x 6: spans -2 .. 5, so only source columns 7 .. 2 show.
    s.blt(6, 0, -8, 2, ramp(8, 2), 0, 0);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(qRed(s.image().pixel(x, 0)), 5 - x) << x;
    EXPECT_EQ(px(s, 6, 0), 0u);
}

TEST(Surface, NegativeHeightMirrorsAboveDy)
{
    Surface s(4, 10, Qt::black);
    s.blt(0, 10, 3, -4, ramp(3, 4), 0, 0);
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(qGreen(s.image().pixel(1, 6 + j)), 3 - j);
    EXPECT_EQ(px(s, 1, 5), 0u);
}

TEST(Surface, MirroredBothWays)
{
    Surface s(5, 5, Qt::black);
    s.blt(5, 5, -5, -5, ramp(5, 5), 0, 0);
    EXPECT_EQ(qRed(s.image().pixel(0, 0)), 4);
    EXPECT_EQ(qGreen(s.image().pixel(0, 0)), 4);
    EXPECT_EQ(qRed(s.image().pixel(4, 4)), 0);
    EXPECT_EQ(qGreen(s.image().pixel(4, 4)), 0);
}

TEST(Surface, ClipsToBothImages)
{
    Surface s(6, 6, Qt::black);
    // Off the top-left of the destination.
    s.blt(-2, -3, 4, 4, ramp(10, 10), 0, 0);
    EXPECT_EQ(qRed(s.image().pixel(0, 0)), 2);
    EXPECT_EQ(qGreen(s.image().pixel(0, 0)), 3);
    EXPECT_EQ(px(s, 2, 0), 0u);
    // Off the bottom-right of the destination.
    s.blt(4, 4, 10, 10, ramp(10, 10), 0, 0);
    EXPECT_EQ(qRed(s.image().pixel(5, 5)), 1);
    // Source rectangle beyond the source: only the existing part is copied.
    Surface t(6, 6, Qt::black);
    t.blt(0, 0, 6, 6, ramp(3, 3), 1, -1);
    EXPECT_EQ(qRed(t.image().pixel(0, 1)), 1);
    EXPECT_EQ(qGreen(t.image().pixel(0, 1)), 0);
    EXPECT_EQ(qRed(t.image().pixel(1, 2)), 2);
    EXPECT_EQ(px(t, 0, 0), 0u);
    EXPECT_EQ(px(t, 2, 1), 0u);
    // Wholly outside does nothing and does not crash.
    t.blt(100, 100, 5, 5, ramp(3, 3), 0, 0);
    t.blt(-100, 0, -5, 5, ramp(3, 3), 0, 0);
    t.blt(0, 0, 5, 5, QImage(), 0, 0);
}

TEST(Surface, MirroredCopyClipsAtSourceEdge)
{
    Surface s(10, 1, Qt::black);
    // Source has 3 columns, block asks for 5 mirrored: block columns 0,1 read source 4,3 (absent).
    s.blt(5, 0, -5, 1, ramp(3, 1), 0, 0);
    EXPECT_EQ(px(s, 0, 0), 0u);
    EXPECT_EQ(px(s, 1, 0), 0u);
    EXPECT_EQ(qRed(s.image().pixel(2, 0)), 2);
    EXPECT_EQ(qRed(s.image().pixel(4, 0)), 0);
}

TEST(Surface, CopyWithinTheSameImageReadsTheOldPixels)
{
    Surface s(10, 1, Qt::black);
    s.blt(0, 0, 10, 1, ramp(10, 1), 0, 0);
    // Overlapping move to the right by 2: every pixel comes from the picture before the copy.
    s.blt(2, 0, 6, 1, s.image(), 0, 0);
    for (int x = 2; x < 8; ++x)
        EXPECT_EQ(qRed(s.image().pixel(x, 0)), x - 2) << x;
    s.blt(0, 0, -4, 1, s.image(), 0, 0);   // wholly off the left edge: nothing
    s.blt(4, 0, -4, 1, s.image(), 4, 0);   // mirrored onto itself
    EXPECT_EQ(qRed(s.image().pixel(0, 0)), 5);
    EXPECT_EQ(qRed(s.image().pixel(3, 0)), 2);
}

TEST(Surface, StretchScalesAndMirrors)
{
    Surface s(10, 16, Qt::black);
    s.stretchBlt(0, 0, 10, 16, ramp(5, 8), 0, 0, 5, 8);
    EXPECT_EQ(qRed(s.image().pixel(0, 0)), 0);
    EXPECT_EQ(qRed(s.image().pixel(1, 0)), 0);
    EXPECT_EQ(qRed(s.image().pixel(2, 0)), 1);
    EXPECT_EQ(qRed(s.image().pixel(9, 0)), 4);
    EXPECT_EQ(qGreen(s.image().pixel(0, 15)), 7);
    Surface m(5, 8, Qt::black);
    m.stretchBlt(0, 8, 5, -8, ramp(5, 8), 0, 0, 5, 8);
    EXPECT_EQ(qGreen(m.image().pixel(0, 0)), 7);
    EXPECT_EQ(qGreen(m.image().pixel(0, 7)), 0);
}

TEST(Surface, FillRectClipsAndLinesDraw)
{
    Surface s(8, 8, Qt::black);
    s.fillRect(-3, -3, 5, 5, Qt::red);
    EXPECT_EQ(px(s, 1, 1), 0xff0000u);
    EXPECT_EQ(px(s, 2, 2), 0u);
    s.fillRect(6, 6, 100, 100, Qt::green);
    EXPECT_EQ(px(s, 7, 7), 0x00ff00u);
    s.line(0, 7, 5, 7, Qt::blue);
    EXPECT_EQ(px(s, 0, 7), 0x0000ffu);
    EXPECT_EQ(px(s, 4, 7), 0x0000ffu);
    s.line(-10, -10, 100, 100, Qt::white);   // off the surface on both ends
    EXPECT_EQ(px(s, 3, 3), 0xffffffu);
}

TEST(Surface, TextUsesItsColourAndRendersChinese)
{
    Surface s(120, 30, Qt::white);
    s.foreColor = QColor(200, 0, 0);
    s.fontName = QStringLiteral("宋体");
    s.fontSize = 9;
    s.print(2, 2, QStringLiteral("我方"));
    int exact = 0, changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            QRgb p = px(s, x, y);
            if (p == 0xc80000u) ++exact;
            if (p != 0xffffffu) ++changed;
            if (p != 0xffffffu) {
                EXPECT_GE(x, 2);
                EXPECT_GE(y, 1);   // CJK strokes may reach one pixel above the ascent
            }
        }
    EXPECT_GT(exact, 10);
    // Two CJK glyphs at 12 px are full of strokes; a missing-glyph box would have few pixels
    // and a gap in the middle. Both glyphs must be present and different.
    EXPECT_GT(changed, 40);
    EXPECT_EQ(s.textHeight() >= 12 && s.textHeight() <= 18, true) << s.textHeight();
    EXPECT_GE(s.textWidth(QStringLiteral("我方")), 22);
    EXPECT_LE(s.textWidth(QStringLiteral("我方")), 26);

    QImage a(12, 14, QImage::Format_RGB32), b(12, 14, QImage::Format_RGB32);
    Surface g1(14, 16, Qt::white), g2(14, 16, Qt::white);
    g1.print(0, 0, QStringLiteral("我"));
    g2.print(0, 0, QStringLiteral("方"));
    EXPECT_NE(g1.image(), g2.image());
    // Background stays: text is drawn transparently.
    EXPECT_EQ(px(g1, 13, 15), 0xffffffu);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The game's faces, rarely installed here, stand for one installed family each: the painting
// code asks by name, and so do the toolkit's widgets and pages once the faces are substituted.
TEST(GameFonts, FacesResolveToAnInstalledFamilyEverywhere)
{
    SubstituteGameFaces();
    const QStringList installed = QFontDatabase::families();
    for (const char* name : {"宋体", "黑体"}) {
        const QString face = QString::fromUtf8(name);
        for (const bool crisp : {true, false}) {
            const QString family = InstalledFamily(face, crisp);
            EXPECT_TRUE(installed.contains(family) || installed.isEmpty()) << name << crisp;
            EXPECT_EQ(InstalledFamily(face, crisp), family);
        }
        if (installed.contains(face)) continue;
        const QString smooth = InstalledFamily(face, false);
        if (smooth == face) continue;   // no stand-in installed at all
        EXPECT_EQ(QFont::substitute(face).compare(smooth, Qt::CaseInsensitive), 0) << name;
        // What a widget or a page gets for the face, at any size and weight.
        for (const int px : {12, 16}) {
            QFont f(face);
            f.setPixelSize(px);
            f.setBold(px == 16);
            EXPECT_EQ(QFontInfo(f).family(), smooth) << name << px;
        }
        const QFont g = GameFont(face, 12, true, true);
        EXPECT_EQ(g.family(), InstalledFamily(face, true));
    }
}
