// Renders whole tables with the generated pictures and keeps them as PNG files in the build
// folder (tableview-shots) for looking at; also checks a few things every such table must show,
// and counts the decodes a repaint costs with and without the picture cache.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <algorithm>
#include <QTemporaryDir>
#include <functional>
#include <random>
#include <utility>

#include "platform/core/clock.h"
#include "rules/cards.h"
#include "tableview/gamepaint.h"
#include "support/midgame.h"

namespace {

QString BinDir() { return QString::fromLocal8Bit(qgetenv("KVRN_BIN_DIR")); }

bool HavePack()
{
    return !BinDir().isEmpty() && QFileInfo::exists(BinDir() + QStringLiteral("/Res/ResPk/Pk0.bmp"));
}

// Without a program folder there is nothing to render from. With one (ctest always names it)
// the generated pack must be there: a broken resource build fails here instead of skipping.
#define REQUIRE_PACK()                                                                             \
    do {                                                                                           \
        if (BinDir().isEmpty()) GTEST_SKIP() << "KVRN_BIN_DIR is not set";                         \
        ASSERT_TRUE(HavePack()) << "no generated pictures under " << BinDir().toStdString()        \
                                << " (Res/ResPk/Pk0.bmp is missing)";                              \
    } while (0)

QString ShotDir()
{
    const QString d = BinDir() + QStringLiteral("/../tableview-shots");
    QDir().mkpath(d);
    return QDir(d).absolutePath();
}

struct RealTable {
    Surface surf;
    TableState ts;
    TableViewState tv;
    PublicState ps;
    PaintState p;
    ImageCache cache;
    PaintCtx ctx{surf, ts, tv, ps, p, cache};

    RealTable(int w, int h, int screenWidth)
    {
        ps.strAppPath = BinDir() + u'/';
        ps.strParentPath = BinDir() + QStringLiteral("/../");
        ps.strMyName = QStringLiteral("我是玩家");
        p.ScreenWidthPx = screenWidth;
        surf.resize(w, h);
        ComputeLayout(ctx);
    }
};

// A game in its middle, with the others' backs and the trick before shown, the right seat's
// player dropped, and the own turn's clock.
void MidGame(RealTable& t, int handSize = 27)
{
    testsupport::SetUpMidGame(t.ts, t.tv, handSize);
    t.ts.ShowLeftPai = 1;
    t.ts.Chairs[1].LastOutPai = ByteArr{53, 53, 52, 52};  // four jokers, the trick before
    t.ts.Chairs[3].MingCi = 0;
    t.ts.Chairs[2].Dropped = true;
    t.p.TimedChair = 1;
    t.p.ClockTicks = 7;
    ComputeCardLayout(t.ctx);
}

QRgb At(const RealTable& t, int x, int y) { return t.surf.image().pixel(x, y) & 0xffffffu; }
QRgb Rgb(QRgb c) { return c & 0xffffffu; }

}  // namespace

TEST(Render, DealtTable1280x800)
{
    REQUIRE_PACK();
    RealTable t(1280, 800, 1280);
    MidGame(t);
    picGameBack_Paint(t.ctx);
    ASSERT_TRUE(t.surf.image().save(ShotDir() + QStringLiteral("/table-1280x800.png")));

    // The own hand, the partner's open hand and the backs all cover the table colour where they lie.
    const QRgb back = QColor(16, 81, 115).rgb() & 0xffffffu;
    EXPECT_NE(At(t, t.p.PaiX[2], t.p.PaiY[2] + 60), back);
    EXPECT_NE(At(t, t.p.PaiX[0], t.p.PaiY[0] + 60), back);
    EXPECT_NE(At(t, t.p.PaiX[1] + 40, t.p.PaiY[1]), back);
    EXPECT_NE(At(t, t.p.PaiX[3] + 40, t.p.PaiY[3]), back);

    // A finished game's end panel over the same table, and a drawn round.
    t.ts.Chairs[0].MingCi = 1;
    t.ts.Chairs[2].MingCi = 2;
    t.ts.Chairs[3].MingCi = 3;
    for (int c = 0; c < 4; ++c) PaintMingCi(t.ctx, c);
    PaintGameOver(t.ctx, {120, -120, 120, -120});
    ASSERT_TRUE(t.surf.image().save(ShotDir() + QStringLiteral("/table-gameover.png")));
    EXPECT_EQ(At(t, 640, 400 - 100), QColor(247, 207, 156).rgb() & 0xffffffu);
    picGameBack_Paint(t.ctx);
    PaintGameOver(t.ctx, {0, 0, 0, 0});
    ASSERT_TRUE(t.surf.image().save(ShotDir() + QStringLiteral("/table-drawn.png")));
}

TEST(Render, SmallScreenAndEndOfGameCards)
{
    REQUIRE_PACK();
    RealTable t(800, 560, 800);
    MidGame(t, 13);
    t.ts.DeckCount = 1;
    t.ts.ShowPartnerPai = 0;
    const auto hands = testsupport::DealTwoDecks(5);
    for (int c : {0, 2, 3}) {
        t.ts.Chairs[size_t(c)].LeftPai.clear();
        for (int i = 1; i <= 6; ++i) t.ts.Chairs[size_t(c)].LeftPai.append(hands[size_t(c)][i]);
    }
    ComputeCardLayout(t.ctx);
    picGameBack_Paint(t.ctx);
    ASSERT_TRUE(t.surf.image().save(ShotDir() + QStringLiteral("/table-800-leftpai.png")));
}

// Once the pictures are in the cache a repaint decodes nothing; without the cache (and without
// the repaint's own memo) every draw decodes its file. What that costs is measured in
// kvrn-render-bench.
TEST(Render, CachedRepaintsDecodeNothing)
{
    REQUIRE_PACK();
    RealTable t(1920, 1080, 1920);
    MidGame(t);  // four 27-card seats...
    t.ts.Chairs[1].OutPai = t.ts.Chairs[1].LastOutPai;  // ...and four plays
    picGameBack_Paint(t.ctx);
    const int warm = t.cache.decodeCount();
    for (int i = 0; i < 3; ++i) picGameBack_Paint(t.ctx);
    EXPECT_EQ(t.cache.decodeCount(), warm);
    t.cache.setEnabled(false);
    t.p.ImageMemoOn = false;
    for (int i = 0; i < 2; ++i) picGameBack_Paint(t.ctx);
    EXPECT_GT((t.cache.decodeCount() - warm) / 2, 60);
    t.cache.setEnabled(true);
    t.p.ImageMemoOn = true;
    ASSERT_TRUE(t.surf.image().save(ShotDir() + QStringLiteral("/table-1920x1080.png")));
}

TEST(Render, WaitingTableAndABlast)
{
    REQUIRE_PACK();
    RealTable t(1024, 700, 1024);
    TableState& ts = t.ts;
    // Before a game: three players, chair 3 free; two hands up, one player dropped.
    const QString names[3] = {QStringLiteral("我是玩家"), QStringLiteral("Player_Two"), QStringLiteral("三号玩家长名字")};
    for (int c = 0; c < 3; ++c) {
        ts.Chairs[size_t(c)].Name = names[c];
        ts.Chairs[size_t(c)].IconNo = 1000 + c;
    }
    ts.Chairs[1].HandRaised = true;
    ts.Chairs[2].HandRaised = true;
    ts.Chairs[2].Dropped = true;
    ts.strViewOwner = names[0];
    ts.bteMyChair = 0;
    t.tv.ViewPosOfChair = {2, 3, 0, 1};
    picGameBack_Paint(t.ctx);
    ASSERT_TRUE(t.surf.image().save(ShotDir() + QStringLiteral("/table-waiting.png")));
    const QRgb back = QColor(16, 81, 115).rgb() & 0xffffffu;
    const PaintState& p = t.p;
    // The raised hands (right and top seats) and the dropped mark are drawn; the free left seat
    // and the own seat show no hand.
    auto anyNot = [&](int x0, int y0, int w, int h) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (At(t, x, y) != back) return true;
        return false;
    };
    EXPECT_TRUE(anyNot(p.HandUpX[3], p.HandUpY[3], 72, 35));
    EXPECT_TRUE(anyNot(p.HandUpX[0], p.HandUpY[0], 72, 35));
    EXPECT_TRUE(anyNot(p.NetBreakX[0], p.NetBreakY[0], 32, 32));
    EXPECT_FALSE(anyNot(p.SeatX[1], p.SeatY[1], 32, 32));
    EXPECT_FALSE(anyNot(p.HandUpX[2], p.HandUpY[2], 72, 35));

    // A game: the top seat plays a bomb and its blast runs over the play. The picture in the
    // middle of the animation is kept; afterwards the table is exactly what it was.
    ts.Chairs[3].Name = QStringLiteral("西门吹雪");
    ts.Chairs[3].IconNo = 7;
    for (ChairInfo& ch : ts.Chairs) {
        ch.HandRaised = false;
        ch.PaiCount = 20;
    }
    ts.TableIdle = false;
    ts.GamePhase = GamePhase::Follow;
    ts.ShowLeftPai = 1;
    ts.Chairs[2].OutPai = ByteArr{5, 18, 31, 44, 5, 18};
    ComputeCardLayout(t.ctx);
    picGameBack_Paint(t.ctx);
    const QImage before = t.surf.image().copy();
    QImage during;
    ManualClock clock;   // the blast's frames pass on it
    clock.after(150, [&]() { during = t.surf.image().copy(); });
    PlayBlast(t.ctx, 2, 2);
    ASSERT_FALSE(during.isNull());
    ASSERT_TRUE(during.save(ShotDir() + QStringLiteral("/table-blast.png")));
    int x = 0, y = 0;
    ASSERT_TRUE(BlastPlace(t.ctx, 2, 2, x, y));
    EXPECT_NE(during.copy(x, y, 88, 80), before.copy(x, y, 88, 80));
    EXPECT_EQ(during.copy(0, 0, 1024, y), before.copy(0, 0, 1024, y)) << "nothing drawn above the blast";
    EXPECT_EQ(t.surf.image(), before);
}

namespace {

// The big table of the repaint measurements: four 27-card seats and four plays.
void BigTable(RealTable& t)
{
    MidGame(t);
    t.ts.Chairs[1].OutPai = t.ts.Chairs[1].LastOutPai;
}

// The same table drawn once on a new surface with nothing remembered.
QImage Fresh(int w, int h, int screenWidth, const std::function<void(RealTable&)>& setUp)
{
    RealTable t(w, h, screenWidth);
    setUp(t);
    picGameBack_Paint(t.ctx);
    return t.surf.image().copy();
}

}  // namespace

// A repaint clears only where something was drawn and copies the table's edges as kept bands:
// over whatever the table showed before (an end panel, a blast, a hand raised, a seat that
// emptied), it leaves exactly what a first repaint on a new surface does.
TEST(Render, RepaintOverAnythingIsTheFreshPicture)
{
    REQUIRE_PACK();
    const QImage want = Fresh(1920, 1080, 1920, BigTable);
    RealTable t(1920, 1080, 1920);
    BigTable(t);
    picGameBack_Paint(t.ctx);
    EXPECT_EQ(std::as_const(t.surf).image(), want) << "first repaint";
    const struct Step {
        const char* what;
        std::function<void()> draw;
    } steps[] = {
        {"end panel", [&] { PaintGameOver(t.ctx, {120, -120, 120, -120}); }},
        {"drawn round", [&] { PaintGameOver(t.ctx, {0, 0, 0, 0}); }},
        {"previous trick", [&] { PaintOutPai(t.ctx, true); }},
        {"cards raised", [&] {
             for (int i : {1, 2, 3, 20, 27}) {
                 t.tv.PaiSelected[i] = t.tv.PaiSelected[i] ? 0 : 1;
                 RedrawMyPk(t.ctx, i);
                 t.tv.PaiSelected[i] = t.tv.PaiSelected[i] ? 0 : 1;  // the state stays the fresh one's
             }
         }},
        {"clock ticks", [&] {
             for (int k = 0; k < 9; ++k) {
                 ++t.p.ClockTicks;
                 PaintClock(t.ctx, true);
             }
             t.p.ClockTicks = 7;
         }},
        {"lines and boxes everywhere", [&] {
             std::mt19937 rng(5);
             for (int k = 0; k < 300; ++k) {
                 const int x = int(rng() % 1920), y = int(rng() % 1080);
                 t.surf.fillRect(x, y, 50, 9, QColor::fromRgb(rng() & 0xffffffu));
                 t.surf.line(x, y, int(rng() % 1920), int(rng() % 1080), Qt::white);
                 t.surf.print(x, y, QStringLiteral("余牌: %1").arg(k));
             }
         }},
        {"straight into the picture", [&] { t.surf.image().setPixel(960, 540, qRgb(1, 2, 3)); }},
    };
    for (const Step& step : steps) {
        step.draw();
        picGameBack_Paint(t.ctx);
        ASSERT_EQ(std::as_const(t.surf).image(), want) << "after " << step.what;
    }
    // A seat that emptied, then came back: its erase leaves no trace after a repaint.
    t.ts.Chairs[0].Name.clear();
    PaintUserFace(t.ctx, 0);
    t.ts.Chairs[0].Name = QStringLiteral("东方不败");
    picGameBack_Paint(t.ctx);
    EXPECT_EQ(std::as_const(t.surf).image(), want);
}

// Erases that reach the table's edges leave them whole: the side seats' columns of card backs
// in a two-deck game are taller than a small table, and erasing them punched holes through the
// top and bottom edges.
TEST(Render, ErasesKeepTheEdges)
{
    REQUIRE_PACK();
    const struct {
        const char* what;
        int w, h;
        std::function<void(RealTable&)> erase;
    } cases[] = {
        {"side columns of an empty two-deck hand", 975, 725,
         [](RealTable& t) {
             for (int chair : {0, 2}) {  // seen at the left and the right
                 t.ts.Chairs[size_t(chair)].PaiCount = 0;
                 PaintUserPai(t.ctx, chair);
             }
         }},
        {"a box over the whole table and beyond", 800, 600,
         [](RealTable& t) { FillBackRect(t.ctx, -20, -20, 900, 700); }},
    };
    for (const auto& c : cases) {
        RealTable bare(c.w, c.h, 1280);  // nothing but the table and its edges
        PaintTableBack(bare.ctx);
        RealTable t(c.w, c.h, 1280);
        MidGame(t);
        picGameBack_Paint(t.ctx);
        const QImage before = std::as_const(t.surf).image().copy();
        c.erase(t);
        const QImage& after = std::as_const(t.surf).image();
        // Along the edges each pixel is what the table showed, or the bare table where erased.
        const int band = 18;
        int holes = 0, other = 0;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                if (x >= band && x < c.w - band && y >= band && y < c.h - band) continue;
                const QRgb a = after.pixel(x, y), b = std::as_const(bare.surf).image().pixel(x, y);
                if (a == before.pixel(x, y) || a == b) continue;
                ++other;
                if (Rgb(a) == Rgb(kTableBackColor.rgb())) ++holes;
            }
        EXPECT_EQ(holes, 0) << c.what;
        EXPECT_EQ(other, 0) << c.what;
    }
}

// The kept edge bands belong to one size and one set of edge pictures: a new size, or an edge
// picture changed on disk, draws them piece by piece again.
TEST(Render, EdgesFollowTheSizeAndTheirPictures)
{
    REQUIRE_PACK();
    RealTable t(1280, 800, 1280);
    BigTable(t);
    picGameBack_Paint(t.ctx);
    for (const QSize size : {QSize(1281, 803), QSize(800, 600), QSize(1280, 800)}) {
        t.surf.resize(size.width(), size.height());
        ComputeLayout(t.ctx);
        picGameBack_Paint(t.ctx);
        picGameBack_Paint(t.ctx);
        EXPECT_EQ(std::as_const(t.surf).image(), Fresh(size.width(), size.height(), 1280, BigTable))
            << size.width() << "x" << size.height();
    }
    // The same pack in a folder of its own, with the corner piece replaced.
    QTemporaryDir copy;
    ASSERT_TRUE(copy.isValid());
    const QString bin = copy.path() + QStringLiteral("/bin");
    for (const char* rel : {"Res/GameBackMid.bmp", "Res/GameBackVsBian.bmp", "Res/GameBackHsBian.bmp",
                            "Res/GameBackJiao.bmp"}) {
        QDir().mkpath(QFileInfo(bin + u'/' + QLatin1String(rel)).path());
        ASSERT_TRUE(QFile::copy(BinDir() + u'/' + QLatin1String(rel), bin + u'/' + QLatin1String(rel)));
    }
    RealTable c(640, 480, 640);
    c.ps.strAppPath = bin + u'/';
    picGameBack_Paint(c.ctx);
    const QImage before = std::as_const(c.surf).image().copy();
    QImage corner(18, 18, QImage::Format_RGB32);
    corner.fill(qRgb(250, 250, 0));
    ASSERT_TRUE(QFile::remove(bin + QStringLiteral("/Res/GameBackJiao.bmp")));
    ASSERT_TRUE(corner.save(bin + QStringLiteral("/Res/GameBackJiao.bmp"), "BMP"));
    picGameBack_Paint(c.ctx);
    EXPECT_NE(std::as_const(c.surf).image(), before);
    EXPECT_EQ(At(c, 639, 0), Rgb(qRgb(250, 250, 0)));
    EXPECT_EQ(At(c, 0, 479), Rgb(qRgb(250, 250, 0)));
}

// The full repaint writes only a part of the picture to clear it (its time against the floor is
// measured in kvrn-render-bench).
TEST(Render, FullRepaintClearsLessThanHalfThePicture)
{
    REQUIRE_PACK();
    RealTable t(1920, 1080, 1920);
    BigTable(t);
    for (int i = 0; i < 3; ++i) picGameBack_Paint(t.ctx);
    const qint64 erasedBefore = t.surf.erasedPixels();
    for (int i = 0; i < 4; ++i) picGameBack_Paint(t.ctx);
    const double erasedShare = double(t.surf.erasedPixels() - erasedBefore) / 4 / (1920.0 * 1080.0);
    EXPECT_LT(erasedShare, 0.5);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
