// Card pictures, rows, the own hand, its hit test and its partial redraw.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <random>
#include <set>

#include "tablefixture.h"

using namespace tabletest;

TEST(CardImages, FileNumberOfEachCode)
{
    const struct { int code; int file; } cases[] = {
        {0, 15}, {11, 13}, {12, 14}, {51, 1}, {52, 52}, {53, 53}, {54, 255}, {254, 255},
        {13, 28}, {25, 27}, {26, 41}, {38, 40}, {39, 2}, {1, 16},
    };
    for (const auto& c : cases) EXPECT_EQ(GetPkImageNo(uint8_t(c.code)), c.file) << c.code;
    // Every real card has its own picture.
    std::set<int> seen;
    for (int code = 0; code < 54; ++code) seen.insert(GetPkImageNo(uint8_t(code)));
    EXPECT_EQ(seen.size(), 54u);
    EXPECT_EQ(*seen.rbegin(), 53);
}

TEST(CardImages, EachCodeDrawsItsFile)
{
    Table t;
    const struct { int code; int file; } cases[] = {{0, 15}, {11, 13}, {12, 14}, {51, 1}, {52, 52}, {53, 53}};
    for (const auto& c : cases) {
        t.surf.clear();
        PaintPkRow(t.ctx, ByteArr{uint8_t(c.code)}, 100, 100, true);
        EXPECT_EQ(t.px(140, 150), Rgb(FaceColour(c.file))) << c.code;
        EXPECT_EQ(t.px(100, 100), kBack) << "the corner shows the table";
        EXPECT_EQ(t.px(179, 204), kBack);
        EXPECT_EQ(t.px(181, 150), kBack) << "nothing beyond the card";
        PaintPkRow(t.ctx, ByteArr{uint8_t(c.code)}, 300, 100, false);  // the second size set
        EXPECT_EQ(t.px(340, 150), Rgb(FaceColour(c.file))) << c.code;
    }
    // Card 54 has no picture: nothing is drawn.
    t.surf.clear();
    const QImage before = t.surf.image().copy();
    PaintPkRow(t.ctx, ByteArr{54}, 100, 100, true);
    EXPECT_EQ(t.surf.image(), before);
}

TEST(CardRows, OverlapAndEmptyRows)
{
    Table t;
    PaintPkRow(t.ctx, ByteArr{11, 12, 0}, 100, 100, true);
    EXPECT_EQ(t.px(100 + 10, 150), Rgb(FaceColour(13)));  // 18-pixel strip of the first card
    EXPECT_EQ(t.px(118 + 10, 150), Rgb(FaceColour(14)));
    EXPECT_EQ(t.px(136 + 79, 150), Rgb(FaceColour(15)));  // the last card whole
    EXPECT_EQ(t.px(136 + 80, 150), kBack);

    const QImage before = t.surf.image().copy();
    PaintPkRow(t.ctx, ByteArr{}, 400, 100, true);
    EXPECT_EQ(t.surf.image(), before);
}

TEST(CardRows, MissingFaceClosesUp)
{
    Table t;
    ASSERT_TRUE(QFile::remove(t.root() + QStringLiteral("/bin/Res/ResPk/Pk15.bmp")));  // card 0
    PaintPkRow(t.ctx, ByteArr{11, 0, 12}, 100, 100, true);
    EXPECT_EQ(t.px(100 + 10, 150), Rgb(FaceColour(13)));
    EXPECT_EQ(t.px(118 + 79, 150), Rgb(FaceColour(14)));  // card 12 took card 0's place
    EXPECT_EQ(t.px(118 + 80, 150), kBack);
}

TEST(CardRows, MissingMaskLeavesFacesOredOnly)
{
    Table t;
    ASSERT_TRUE(QFile::remove(t.root() + QStringLiteral("/bin/Res/ResPk/PkMask.bmp")));
    t.surf.fillRect(0, 0, 800, 600, QColor(0, 0, 0));
    PaintPkRow(t.ctx, ByteArr{11}, 100, 100, true);
    EXPECT_EQ(t.px(140, 150), Rgb(FaceColour(13)));  // OR over black
    t.surf.fillRect(0, 0, 800, 600, QColor(1, 1, 1));
    PaintPkRow(t.ctx, ByteArr{11}, 100, 100, true);
    EXPECT_EQ(t.px(140, 150), Rgb(FaceColour(13) | qRgb(1, 1, 1)));
}

namespace {

// A hand of n cards with the given raised positions, laid out on an 800 x 600 table.
void Deal(Table& t, int n, std::initializer_list<int> raised)
{
    t.ts.DeckCount = 2;
    t.ts.MyPai.clear();
    for (int i = 0; i < n; ++i) t.ts.MyPai.append(uint8_t(i % 54));
    t.tv.PaiSelected.redim(n);
    for (int i = 1; i <= n; ++i) t.tv.PaiSelected[i] = 0;
    for (int r : raised) t.tv.PaiSelected[r] = 1;
}

}  // namespace

TEST(MyHand, WidthAndRaisedCards)
{
    Table t;
    t.Seat(0);
    Deal(t, 27, {3});
    PaintMyPai(t.ctx);
    const int H2x = (800 - 32) / 2 + 16, H2y = 600 - 42 - 105 - 6;
    const int L = H2x - 548 / 2;
    EXPECT_EQ(t.px(L + 1 + 2, H2y + 50), Rgb(FaceColour(GetPkImageNo(0))));
    EXPECT_EQ(t.px(L - 1, H2y + 50), kBack);
    EXPECT_EQ(t.px(L + 547, H2y + 50), Rgb(FaceColour(GetPkImageNo(26))));
    EXPECT_EQ(t.px(L + 548, H2y + 50), kBack);
    // Card 3 is raised by 24: its strip shows above the row and the bottom strip under it is empty.
    EXPECT_EQ(t.px(L + 36 + 5, H2y - 20), Rgb(FaceColour(GetPkImageNo(2))));
    EXPECT_EQ(t.px(L + 18 + 5, H2y - 20), kBack);
    // Under the raised card the bottom strip shows card 2, which reaches that far; card 4 starts on.
    EXPECT_EQ(t.px(L + 36 + 5, H2y + 104), Rgb(FaceColour(GetPkImageNo(1))));
    EXPECT_EQ(t.px(L + 54 + 5, H2y + 104), Rgb(FaceColour(GetPkImageNo(3))));
    EXPECT_EQ(t.px(L + 36 + 5, H2y + 80), Rgb(FaceColour(GetPkImageNo(2))));

    // One card: 80 wide, centred.
    Deal(t, 1, {});
    PaintMyPai(t.ctx);
    EXPECT_EQ(t.px(H2x - 40 + 5, H2y + 50), Rgb(FaceColour(GetPkImageNo(0))));
    EXPECT_EQ(t.px(H2x - 41, H2y + 50), kBack);
    EXPECT_EQ(t.px(H2x + 40, H2y + 50), kBack);
    EXPECT_EQ(t.px(L + 100, H2y + 50), kBack) << "the longer hand was erased";
}

TEST(MyHand, BacksWhenCardsAreHidden)
{
    Table t;
    t.Seat(0);
    Deal(t, 5, {});
    t.ts.CanSeePai = 0;
    PaintMyPai(t.ctx);
    const int H2x = 400, H2y = 600 - 42 - 105 - 6;
    EXPECT_EQ(t.px(H2x, H2y + 50), Rgb(kBackColour));
}

TEST(MyHand, GrowsSelectionFlags)
{
    Table t;
    t.Seat(0);
    Deal(t, 5, {2});
    t.tv.PaiSelected.redim(2);
    PaintMyPai(t.ctx);
    ASSERT_EQ(t.tv.PaiSelected.upperBound(), 5);
    EXPECT_EQ(t.tv.PaiSelected[2], 1);
    EXPECT_EQ(t.tv.PaiSelected[5], 0);
}

TEST(HitPk, Bands)
{
    Table t;
    t.Seat(0);
    // 10 cards; 3 and 8 raised.
    Deal(t, 10, {3, 8});
    const int n = 10, H2x = 400, T = 600 - 42 - 105 - 6;
    const int L = H2x - ((n - 1) * 18 + 80) / 2, R = L + (n - 1) * 18 + 80;
    auto col = [L](int i) { return L + (i - 1) * 18 + 2; };  // inside slot i
    const struct { int x, y, expect; const char* what; } cases[] = {
        {L - 1, T + 10, -1, "left of the hand"},
        {R + 1, T + 10, -1, "right of the hand"},
        {R, T + 10, 10, "the right edge belongs to the last card"},
        {L + 9 * 18, T + 10, 10, "the last card's left edge"},
        {L, T + 10, 1, "the left edge"},
        {col(5), T - 25, -1, "above the raise"},
        {col(5), T + 106, -1, "below the row"},
        {col(5), T + 105, 5, "the bottom line"},
        {col(3), T - 24, 3, "top of a raised card"},
        {col(3), T - 1, 3, "raised strip over the raised card"},
        {col(4), T - 10, 3, "raised strip over an unraised card right of a raised one"},
        {col(6), T - 10, 3, "three steps right still reaches"},
        {col(7), T - 10, -1, "four steps right is out of reach"},
        {col(2), T - 10, -1, "nothing raised to the left"},
        {col(9), T - 10, 8, "raised card 8 reaches slot 9"},
        {col(5), T + 40, 5, "the middle band hits the slot"},
        {col(3), T + 80, 3, "middle band over a raised card"},
        {col(5), T + 90, 5, "bottom strip, unraised card"},
        {col(3), T + 90, 2, "bottom strip under a raised card: the unraised card to its left"},
        {col(8), T + 90, 7, "bottom strip under raised card 8"},
    };
    for (const auto& c : cases) EXPECT_EQ(HitPk(t.ctx, c.x, c.y), c.expect) << c.what;

    // Raised cards 1..5: the bottom strip under card 5 finds no unraised card within reach.
    Deal(t, 10, {1, 2, 3, 4, 5});
    EXPECT_EQ(HitPk(t.ctx, col(5), T + 90), -1);
    EXPECT_EQ(HitPk(t.ctx, col(2), T + 90), -1);
    EXPECT_EQ(HitPk(t.ctx, col(6), T + 90), 6);
    Deal(t, 0, {});
    EXPECT_EQ(HitPk(t.ctx, 400, T + 40), -1);
}

TEST(RedrawMyPk, SamePictureAsWholeHand)
{
    std::mt19937 rng(7);
    for (int n : {1, 2, 5, 13, 27}) {
        Table a, b;
        a.Seat(0);
        b.Seat(0);
        Deal(a, n, {});
        Deal(b, n, {});
        for (int i = 1; i <= n; i += 3) a.tv.PaiSelected[i] = b.tv.PaiSelected[i] = 1;
        picGameBack_Paint(a.ctx);
        a.ts.TableIdle = false;
        PaintMyPai(a.ctx);
        for (int step = 0; step < 40; ++step) {
            const int i = 1 + int(rng() % unsigned(n));
            const QImage before = a.surf.image().copy();
            a.tv.PaiSelected[i] ^= 1;
            RedrawMyPk(a.ctx, i);
            // The reference: the same table with the whole hand drawn afresh.
            b.surf.image() = before;
            b.tv.PaiSelected = a.tv.PaiSelected;
            PaintMyPai(b.ctx);
            ASSERT_EQ(a.surf.image(), b.surf.image()) << "hand of " << n << ", step " << step << ", card " << i;
        }
    }
}

TEST(RedrawMyPk, OutOfRangeDrawsNothing)
{
    Table t;
    t.Seat(0);
    Deal(t, 5, {});
    PaintMyPai(t.ctx);
    const QImage before = t.surf.image().copy();
    RedrawMyPk(t.ctx, 0);
    RedrawMyPk(t.ctx, 6);
    EXPECT_EQ(t.surf.image(), before);
}

namespace {

// The row or column drawn the plain way: every card's mask ANDed and face ORed whole, in order.
QImage CopiedWhole(const QImage& start, const QString& root, const std::vector<uint8_t>& cards, int x, int y,
                   int dx, int dy)
{
    Surface s(start.width(), start.height());
    s.image() = start;
    const QImage mask(root + QStringLiteral("/bin/Res/ResPk/PkMask.bmp"));
    for (uint8_t card : cards) {
        const QImage face(root + QStringLiteral("/bin/Res/ResPk/Pk%1.bmp").arg(GetPkImageNo(card)));
        if (!mask.isNull()) s.blt(x, y, 80, 105, mask.convertToFormat(QImage::Format_RGB32), 0, 0, Rop::And);
        s.blt(x, y, 80, 105, face.convertToFormat(QImage::Format_RGB32), 0, 0, Rop::Or);
        x += dx;
        y += dy;
    }
    return s.image();
}

}  // namespace

TEST(CardRows, SameAsCopyingEveryCardWhole)
{
    // Masks that let the table through in the corners only, also deep inside the overlap, or
    // not at all (no mask file).
    for (int variant = 0; variant < 3; ++variant) {
        Table t;
        t.Seat(0);
        const QString maskFile = t.root() + QStringLiteral("/bin/Res/ResPk/PkMask.bmp");
        if (variant == 1) {
            QImage m = CardMask();
            for (int y = 40; y < 60; ++y) m.setPixel(50, y, qRgb(255, 255, 255));
            m.setPixel(61, 3, qRgb(0, 0, 1));  // not quite black lets the table through too
            ASSERT_TRUE(Save(m, maskFile));
        } else if (variant == 2) {
            ASSERT_TRUE(QFile::remove(maskFile));
        }
        // Something under the cards, so whatever shows through is seen.
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) t.surf.image().setPixel(x, y, qRgb(x & 255, y & 255, (x ^ y) & 255));
        const std::vector<uint8_t> cards = {3, 17, 52, 29, 40, 8, 53, 0};
        const QImage start = t.surf.image().copy();
        PaintPkRow(t.ctx, ByteArr::fromVector(cards), 100, 50, true);
        EXPECT_EQ(t.surf.image(), CopiedWhole(start, t.root(), cards, 100, 50, 18, 0)) << "row, mask " << variant;

        // The left seat's revealed cards run down a column 29 apart.
        t.surf.image() = start;
        t.ts.Chairs[3].LeftPai = ByteArr::fromVector(cards);
        PaintUserPai(t.ctx, 3);
        const int top = t.p.PaiY[1] - ((8 - 1) * 24 + 105) / 2;
        EXPECT_EQ(t.surf.image(), CopiedWhole(start, t.root(), cards, t.p.PaiX[1], top, 0, 29))
            << "column, mask " << variant;
    }
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
