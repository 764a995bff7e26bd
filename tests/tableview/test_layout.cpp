// Table layout, seats, buttons with their hit tests, plays and overlays.
#include <gtest/gtest.h>

#include <QApplication>

#include "tablefixture.h"

using namespace tabletest;

TEST(Layout, Anchors800x600)
{
    Table t(800, 600);
    const PaintState& p = t.p;
    EXPECT_EQ(p.SeatX[0], 384);
    EXPECT_EQ(p.SeatY[0], 9);
    EXPECT_EQ(p.SeatX[2], 384);
    EXPECT_EQ(p.SeatY[2], 558);
    EXPECT_EQ(p.SeatX[1], 9);
    EXPECT_EQ(p.SeatY[1], 254);
    EXPECT_EQ(p.SeatX[3], 750);
    EXPECT_EQ(p.SeatY[3], 254);
    // Derived per-seat places.
    EXPECT_EQ(p.NameX[3], 740);
    EXPECT_EQ(p.NameY[3], 289);
    EXPECT_EQ(p.HandUpX[3], 650);
    EXPECT_EQ(p.NetBreakY[1], 214);
    // Hand origins.
    EXPECT_EQ(p.PaiX[0], 400);
    EXPECT_EQ(p.PaiY[0], 76);
    EXPECT_EQ(p.PaiX[1], 59);
    EXPECT_EQ(p.PaiY[1], 270);
    EXPECT_EQ(p.PaiX[2], 400);
    EXPECT_EQ(p.PaiY[2], 447);
    EXPECT_EQ(p.PaiX[3], 655);
    EXPECT_EQ(p.PaiY[3], 270);
    // Buttons and the time bar.
    EXPECT_EQ(p.OptButX, 746);
    EXPECT_EQ(p.OptButY, 600 - 2 * 29 - 47);
    EXPECT_EQ(p.YuClockX, 70);
    EXPECT_EQ(p.PkWidth, 80);
    EXPECT_EQ(p.PkHeight, 105);
    EXPECT_EQ(p.PkSpace, 18);
    EXPECT_EQ(p.PkSpace2, 18);
}

TEST(Layout, OddWidthAndHeight)
{
    Table t(801, 601);
    EXPECT_EQ(t.p.SeatX[0], 384);
    EXPECT_EQ(t.p.SeatY[1], (601 - 32) / 2 - 30);
    EXPECT_EQ(t.p.SeatX[3], 751);
    EXPECT_EQ(t.p.PaiX[2], 400);
}

TEST(Layout, PlayedCardsByScreenClassAndOptions)
{
    Table t(800, 600);
    struct Case { int screen; int showLeft; int showPartner; std::array<int, 8> g; };
    // (x, y) of ViewPos 0, 1, 2, 3; hand origins are (400, 76), (59, 270), (400, 447), (655, 270).
    const Case cases[] = {
        {800, 0, 0, {400, 76 + 52 - 30, 59 + 40, 250, 400, 447 - 131, 655 + 40, 250}},
        {800, 0, 1, {400, 76 + 107, 59 + 40, 295, 400, 447 - 131, 655 + 40, 295}},
        {800, 1, 1, {400, 76 + 107, 59 + 82, 295, 400, 447 - 131, 652, 295}},
        {1024, 0, 0, {400, 76 + 52 - 15, 59 + 50, 250, 400, 447 - 139, 655 + 30, 250}},
        {1024, 0, 1, {400, 76 + 110, 59 + 50, 300, 400, 447 - 137, 655 + 30, 300}},
        {1024, 1, 0, {400, 76 + 110, 59 + 90, 300, 400, 447 - 137, 645, 300}},
    };
    for (const Case& c : cases) {
        t.p.ScreenWidthPx = c.screen;
        t.ts.ShowLeftPai = uint8_t(c.showLeft);
        t.ts.ShowPartnerPai = uint8_t(c.showPartner);
        ComputeCardLayout(t.ctx);
        for (int v = 0; v < 4; ++v) {
            EXPECT_EQ(t.p.OutPaiX[size_t(v)], c.g[size_t(2 * v)]) << c.screen << " v" << v;
            EXPECT_EQ(t.p.OutPaiY[size_t(v)], c.g[size_t(2 * v + 1)]) << c.screen << " v" << v;
        }
    }
}

TEST(Buttons, OptionButtonBordersDoNotHit)
{
    Table t(800, 600);
    const int left = t.p.OptButX, top = t.p.OptButY;
    t.tv.OptButState = {1, 1};
    const struct { int x, y, expect; } cases[] = {
        {left, top + 10, -1}, {left + 1, top + 10, 0}, {left + 43, top + 10, 0}, {left + 44, top + 10, -1},
        {left + 10, top, -1}, {left + 10, top + 1, 0}, {left + 10, top + 23, 0}, {left + 10, top + 24, -1},
        {left + 10, top + 29, -1}, {left + 10, top + 30, 1}, {left + 10, top + 52, 1}, {left + 10, top + 53, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(HitOptBut(t.ctx, c.x, c.y), c.expect) << c.x - left << "," << c.y - top;
    t.tv.OptButState = {0, 1};
    EXPECT_EQ(HitOptBut(t.ctx, left + 10, top + 30), -1) << "button 0 hidden: nothing hits";
}

TEST(Buttons, PlayButtonsFollowThePhase)
{
    Table t(800, 600);
    const int gx = t.p.OutPaiX[2], top = t.p.OutPaiY[2] + (105 - 28) / 2;
    t.tv.OutButState = {1, 1, 1};
    t.ts.GamePhase = GamePhase::Lead;  // one button centred on gx
    const int l1 = gx - 61 / 2;
    EXPECT_EQ(HitOutBut(t.ctx, l1, top + 5), -1);
    EXPECT_EQ(HitOutBut(t.ctx, l1 + 1, top + 5), 0);
    EXPECT_EQ(HitOutBut(t.ctx, l1 + 60, top + 27), 0);
    EXPECT_EQ(HitOutBut(t.ctx, l1 + 61, top + 5), -1);
    EXPECT_EQ(HitOutBut(t.ctx, l1 + 5, top + 28), -1);
    t.ts.GamePhase = GamePhase::Follow;  // two buttons, 130 wide together
    const int l2 = gx - 65;
    EXPECT_EQ(HitOutBut(t.ctx, l2 + 1, top + 5), 0);
    EXPECT_EQ(HitOutBut(t.ctx, l2 + 61, top + 5), -1);
    EXPECT_EQ(HitOutBut(t.ctx, l2 + 65, top + 5), -1);
    EXPECT_EQ(HitOutBut(t.ctx, l2 + 70, top + 5), 1);
    EXPECT_EQ(HitOutBut(t.ctx, l2 + 129, top + 5), 1);
    EXPECT_EQ(HitOutBut(t.ctx, l2 + 130, top + 5), -1);
    for (int phase : {0, 100}) {
        t.ts.GamePhase = GamePhaseOf(phase);
        EXPECT_EQ(HitOutBut(t.ctx, l2 + 5, top + 5), -1) << phase;
        const QImage before = t.surf.image().copy();
        PaintOutBut(t.ctx, 0);
        EXPECT_EQ(t.surf.image(), before) << phase;
    }
    t.ts.GamePhase = GamePhase::Follow;
    t.tv.OutButState = {0, 1, 1};
    EXPECT_EQ(HitOutBut(t.ctx, l2 + 70, top + 5), -1) << "button 0 hidden: nothing hits";
}

TEST(Buttons, ShowAndHidePlayButtons)
{
    Table t(800, 600);
    const int gx = t.p.OutPaiX[2], top = t.p.OutPaiY[2] + (105 - 28) / 2;
    t.ts.GamePhase = GamePhase::Follow;
    ShowOutBut(t.ctx, true);
    EXPECT_EQ(t.tv.OutButState, (std::array<uint8_t, 3>{1, 1, 0}));
    EXPECT_EQ(t.px(gx - 65 + 10, top + 10), Rgb(qRgb(30, 220, 30)));       // cell 0
    EXPECT_EQ(t.px(gx - 65 + 69 + 10, top + 10), Rgb(qRgb(70, 220, 30)));  // cell 1
    t.tv.OutButState[1] = 2;
    PaintOutBut(t.ctx, 1);
    EXPECT_EQ(t.px(gx - 65 + 69 + 10, top + 10), Rgb(qRgb(190, 220, 30)));  // cell (2 - 1) * 3 + 1
    ShowOutBut(t.ctx, false);
    EXPECT_EQ(t.tv.OutButState, (std::array<uint8_t, 3>{0, 0, 0}));
    // The buttons lie over the centre picture, which is put back (its pixel (x, y) is (x, y, 60)).
    const int mx = (800 - 228) / 2, my = (600 - 172) / 2;
    for (int x : {gx - 65, gx - 65 + 10, gx + 64}) EXPECT_EQ(t.px(x, top + 10), Rgb(qRgb(x - mx, top + 10 - my, 60)));
    EXPECT_EQ(t.px(gx + 65, top + 10), Rgb(qRgb(gx + 65 - mx, top + 10 - my, 60))) << "one pixel wider";
}

TEST(Seats, EmptiedSeatIsErasedOnlyWhenTheTableIsDrawn)
{
    Table t(800, 600);
    t.Seat(0);
    picGameBack_Paint(t.ctx);
    const int v3x = t.p.SeatX[3], v3y = t.p.SeatY[3];
    EXPECT_EQ(t.px(v3x + 5, v3y + 5), Rgb(qRgb(0, 250, 0))) << "the figure";
    // Chair 1 sits on the right; it empties.
    t.ts.Chairs[1].Name.clear();
    t.p.blnTableDrawn = false;
    PaintUserFace(t.ctx, 1);
    EXPECT_EQ(t.px(v3x + 5, v3y + 5), Rgb(qRgb(0, 250, 0))) << "no erase while a repaint runs";
    t.p.blnTableDrawn = true;
    PaintUserFace(t.ctx, 1);
    EXPECT_EQ(t.px(v3x + 5, v3y + 5), kBack);
    // 52 x 90 from one pixel left of the name (10 left of the figure) and one above.
    t.surf.fillRect(0, 0, 800, 600, QColor(1, 2, 3));
    PaintUserFace(t.ctx, 1);
    EXPECT_EQ(t.px(v3x - 11, v3y - 1), kBack);
    EXPECT_EQ(t.px(v3x - 11 + 51, v3y - 1 + 89), kBack);
    EXPECT_EQ(t.px(v3x - 12, v3y + 5), Rgb(qRgb(1, 2, 3)));
    EXPECT_EQ(t.px(v3x - 11 + 52, v3y + 5), Rgb(qRgb(1, 2, 3)));
    // The bottom seat erases 150 x 34.
    t.ts.Chairs[0].Name.clear();
    PaintUserFace(t.ctx, 0);
    EXPECT_EQ(t.px(t.p.SeatX[2] - 1 + 149, t.p.SeatY[2] - 1 + 33), kBack);
    EXPECT_EQ(t.px(t.p.SeatX[2] - 1 + 150, t.p.SeatY[2] + 5), Rgb(qRgb(1, 2, 3)));
}

TEST(Seats, FigureFileNumberIsIconModThousandPlusOne)
{
    EXPECT_EQ(FigureFilePath(QStringLiteral("/games/"), 2005), QStringLiteral("/games/UserRes\\LargeUser\\6.ico"));
    EXPECT_EQ(FigureFilePath(QStringLiteral("/games/"), 0), QStringLiteral("/games/UserRes\\LargeUser\\1.ico"));
    EXPECT_EQ(FigureFilePath(QStringLiteral("/games/"), 3999), QStringLiteral("/games/UserRes\\LargeUser\\1000.ico"));
}

TEST(Seats, MarksDrawAndErase)
{
    Table t(800, 600);
    t.Seat(0);
    t.ts.Chairs[2].HandRaised = true;  // top seat
    PaintHandUp(t.ctx, 2);
    const int hx = t.p.HandUpX[0], hy = t.p.HandUpY[0];
    EXPECT_EQ(t.px(hx + 1, hy + 1), Rgb(qRgb(240, 240, 240)));
    t.ts.Chairs[2].HandRaised = false;
    PaintHandUp(t.ctx, 2);
    EXPECT_EQ(t.px(hx + 1, hy + 1), kBack);

    QImage mark(30, 30, QImage::Format_RGB32);
    mark.fill(qRgb(255, 0, 0));
    t.p.imgNetBreak = mark;
    t.ts.Chairs[3].Dropped = true;  // left seat
    PaintNetBreak(t.ctx, 3);
    EXPECT_EQ(t.px(t.p.NetBreakX[1] + 2, t.p.NetBreakY[1] + 2), Rgb(qRgb(255, 0, 0)));
    t.ts.Chairs[3].Dropped = false;
    PaintNetBreak(t.ctx, 3);
    EXPECT_EQ(t.px(t.p.NetBreakX[1] + 2, t.p.NetBreakY[1] + 2), kBack);
}

TEST(Plays, PassMarkAndRows)
{
    Table t(800, 600);
    t.Seat(0);
    t.ts.Chairs[0].OutPai = ByteArr{kPassCard};  // bottom: pass
    t.ts.Chairs[1].OutPai = ByteArr{11, 12};      // right: ends at its origin
    t.ts.Chairs[3].OutPai = ByteArr{0};           // left: starts at its origin
    t.ts.Chairs[2].LastOutPai = ByteArr{53};
    PaintOutPai(t.ctx, false);
    const PaintState& p = t.p;
    const int bx = p.OutPaiX[2] - 67 / 2, by = p.OutPaiY[2] + (105 - 34) / 2;
    EXPECT_EQ(t.px(bx + 10, by + 10), Rgb(qRgb(250, 250, 0)));
    EXPECT_EQ(t.px(p.OutPaiX[3] - 1, p.OutPaiY[3]), Rgb(FaceColour(14)));
    EXPECT_EQ(t.px(p.OutPaiX[3] - 98 + 5, p.OutPaiY[3]), Rgb(FaceColour(13)));
    EXPECT_EQ(t.px(p.OutPaiX[1] + 5, p.OutPaiY[1]), Rgb(FaceColour(15)));
    EXPECT_NE(t.px(p.OutPaiX[1] - 1, p.OutPaiY[1]), Rgb(FaceColour(15)));
    // The previous trick replaces the current one.
    PaintOutPai(t.ctx, true);
    EXPECT_NE(t.px(bx + 10, by + 10), Rgb(qRgb(250, 250, 0)));
    EXPECT_EQ(t.px(p.OutPaiX[0], p.OutPaiY[0] + 50), Rgb(FaceColour(53)));
}

TEST(Plays, ClearOnePlayRestoresTheCentre)
{
    Table t(800, 600);
    t.Seat(0);
    picGameBack_Paint(t.ctx);
    const QImage before = t.surf.image().copy();
    t.ts.Chairs[2].OutPai = ByteArr{1, 2, 3, 4, 5, 6};  // top play, over the centre picture
    PaintUserOutPai(t.ctx, 2);
    EXPECT_NE(t.surf.image(), before);
    ClearUserOutPai(t.ctx, 2);
    EXPECT_EQ(t.surf.image(), before);
}

TEST(Plays, FinishingPlaces)
{
    Table t(800, 600);
    t.Seat(0);
    const QImage before = t.surf.image().copy();
    t.ts.Chairs[0].MingCi = 0;
    PaintMingCi(t.ctx, 0);
    t.ts.Chairs[0].MingCi = 4;
    PaintMingCi(t.ctx, 0);
    EXPECT_EQ(t.surf.image(), before);
    t.ts.Chairs[0].MingCi = 2;
    PaintMingCi(t.ctx, 0);
    EXPECT_EQ(t.px(t.p.SeatX[2] - 95 + 5, t.p.SeatY[2] + 3 + 5), Rgb(qRgb(110, 0, 250)));
}

TEST(Overlays, ClockCellFollowsTheTicks)
{
    Table t(800, 600);
    t.Seat(0);
    t.ts.GamePhase = GamePhase::Follow;
    t.ts.TurnSeconds = 20;
    t.p.TimedChair = 1;  // the right seat
    const int x = t.p.SeatX[3], y = t.p.SeatY[3] - 80;
    for (const auto& c : {std::pair{3, 3}, std::pair{9, 1}, std::pair{0, 0}}) {
        t.p.ClockTicks = c.first;
        PaintClock(t.ctx, true);
        EXPECT_EQ(t.px(x + 5, y + 5), Rgb(qRgb(20 + c.second * 30, 20, 20))) << c.first;
    }
    // The seconds left are printed in yellow at (63, 35).
    bool yellow = false;
    for (int yy = 35; yy < 65; ++yy)
        for (int xx = 63; xx < 93; ++xx) yellow |= t.px(xx, yy) == Rgb(qRgb(255, 255, 0));
    EXPECT_TRUE(yellow);
    EXPECT_EQ(t.surf.fontName, QStringLiteral("宋体"));
    EXPECT_FALSE(t.surf.fontBold);
    PaintClock(t.ctx, false);
    EXPECT_EQ(t.px(x + 5, y + 5), kBack);

    t.p.TimedChair = kNoTimedChair;
    const QImage before = t.surf.image().copy();
    PaintClock(t.ctx, true);
    EXPECT_EQ(t.surf.image(), before);
    t.p.TimedChair = 1;
    t.ts.GamePhase = GamePhase::None;
    PaintClock(t.ctx, true);
    EXPECT_EQ(t.surf.image(), before);
    t.ts.GamePhase = GamePhase::Follow;
    t.p.TimedChair = 4;  // a number that names no seat
    PaintClock(t.ctx, true);
    EXPECT_EQ(t.surf.image(), before);
}

TEST(Overlays, CardsLeftKeepsTheFont)
{
    Table t(800, 600);
    t.Seat(0);
    t.surf.foreColor = QColor(1, 2, 3);
    t.surf.fontSize = 15;
    t.surf.fontBold = true;
    t.ts.Chairs[1].PaiCount = 27;
    PaintYuPai(t.ctx, 1);
    EXPECT_EQ(t.surf.foreColor, QColor(1, 2, 3));
    EXPECT_EQ(t.surf.fontSize, 15);
    EXPECT_TRUE(t.surf.fontBold);
    bool label = false, number = false;
    const int x = t.p.SeatX[3] - 20, y = t.p.SeatY[3] + 70;
    for (int yy = y - 3; yy < y + 16; ++yy)
        for (int xx = x; xx < x + 70; ++xx) {
            label |= t.px(xx, yy) == Rgb(qRgb(0, 180, 200));
            number |= t.px(xx, yy) == Rgb(qRgb(250, 0, 200));
        }
    EXPECT_TRUE(label);
    EXPECT_TRUE(number);
}

TEST(Overlays, ScoreOnlyDuringAGame)
{
    Table t(800, 600);
    t.Seat(1);
    const QImage before = t.surf.image().copy();
    PaintGameScore(t.ctx);
    EXPECT_EQ(t.surf.image(), before);
    t.ts.TableIdle = false;
    PaintGameScore(t.ctx);
    EXPECT_EQ(t.px(800 - 209 + 2, 12), Rgb(qRgb(50, 50, 90)));
}

TEST(Overlays, EndPanels)
{
    Table t(800, 600);
    t.Seat(0);
    // A drawn round: the small panel only.
    PaintGameOver(t.ctx, {0, 5, -5, 5});
    EXPECT_EQ(t.px(400, 300), Rgb(qRgb(247, 207, 156)));
    EXPECT_EQ(t.px((800 - 340) / 2 + 25, (600 - 260) / 2 + 40), kBack);
    EXPECT_EQ(t.px(280 + 30 + 5, 220 + 70), Rgb(qRgb(30, 30, 30)));
    EXPECT_EQ(t.px(280 + 30 + 5, 220 + 69), Rgb(qRgb(230, 230, 230)));
    EXPECT_EQ(t.surf.fontSize, 9);
    // End of the game: the large panel.
    t.surf.clear();
    PaintGameOver(t.ctx, {10, -10, 10, -10});
    EXPECT_EQ(t.px((800 - 340) / 2 + 25, (600 - 260) / 2 + 40), Rgb(qRgb(247, 207, 156)));
    EXPECT_EQ(t.px(230 + 100, 170 + 130), Rgb(qRgb(30, 30, 30)));
}


TEST(Overlays, CardsLeftLeavesNothingOfTheOldNumber)
{
    Table a(800, 600), b(800, 600);
    a.Seat(0);
    b.Seat(0);
    a.ts.Chairs[2].PaiCount = 88;
    PaintYuPai(a.ctx, 2);
    a.ts.Chairs[2].PaiCount = 1;
    b.ts.Chairs[2].PaiCount = 1;
    PaintYuPai(a.ctx, 2);
    PaintYuPai(b.ctx, 2);
    EXPECT_EQ(a.surf.image(), b.surf.image());
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// ---- The view's own state --------------------------------------------------------------------

TEST(TableView, ResetAndStartUpClearTheViewWithTheirCaptions)
{
    struct Case {
        const char* name;
        void (*reset)(TableViewState&);
        QString sort, last;
        std::array<uint8_t, 4> pos;  // what stays of the seat places
    };
    const Case cases[] = {
        {"reset", ResetTableView, QStringLiteral("排序"), QStringLiteral("上一轮"), {3, 0, 1, 2}},
        {"start-up", InitTableView, QStringLiteral(" 对手里的牌重新排序 "), QStringLiteral(" 查看玩家上一轮的出牌 "), {}},
    };
    for (const Case& k : cases) {
        TableViewState v;
        v.ViewPosOfChair = {3, 0, 1, 2};
        v.PaiSelected = ByteArr{1, 0, 1};
        v.OptButState = {1, 2};
        v.OptButText = {QStringLiteral("x"), QStringLiteral("y")};
        v.OutButState = {1, 1, 2};
        v.BlastRunning = true;
        k.reset(v);
        EXPECT_TRUE(v.PaiSelected.empty()) << k.name;
        EXPECT_EQ(v.OptButState, (std::array<uint8_t, 2>{})) << k.name;
        EXPECT_EQ(v.OutButState, (std::array<uint8_t, 3>{})) << k.name;
        EXPECT_FALSE(v.BlastRunning) << k.name;
        EXPECT_EQ(v.OptButText[0], k.sort) << k.name;
        EXPECT_EQ(v.OptButText[1], k.last) << k.name;
        EXPECT_EQ(v.ViewPosOfChair, k.pos) << k.name;
    }
}
