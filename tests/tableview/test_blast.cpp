// The blast animation: frame files, placement, the table put back exactly, the mouse ignored.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <vector>

#include "tablefixture.h"
#include "tableview/tablewidget.h"
#include "platform/core/clock.h"

using namespace tabletest;

namespace {

// Writes frames first..last of a blast kind (flat key colour, a coloured square) into the pack.
void WriteFrames(Table& t, int kind, int first, int last, int grow = 0)
{
    BlastKindInfo kindInfo;
    ASSERT_TRUE(GetBlastKind(kind, kindInfo));
    for (int i = first; i <= last; ++i) {
        const QString file = BlastFrameFile(t.root() + QStringLiteral("/bin/Res/Bomb/b%1/Blast0").arg(kind),
                                            QStringLiteral(".jpg"), i);
        // Stored losslessly under the .jpg name (the content decides the decoder) so the key
        // colour stays exact.
        ASSERT_TRUE(Save(BlastFrame(kindInfo.w + grow, kindInfo.h + grow, kindInfo.key.rgb(), qRgb(255, 128, i)), file));
    }
}

// A dealt table with plays, drawn whole.
void DealtTable(Table& t)
{
    t.Seat(0);
    t.ts.TableIdle = false;
    t.ts.DeckCount = 2;
    for (int c = 0; c < 4; ++c) t.ts.Chairs[size_t(c)].PaiCount = 20;
    for (int i = 0; i < 20; ++i) t.ts.MyPai.append(uint8_t(i));
    t.ts.Chairs[0].OutPai = ByteArr{5, 18, 31, 44};
    t.ts.Chairs[1].OutPai = ByteArr{kPassCard};
    t.ts.Chairs[2].OutPai = ByteArr{7, 20, 33, 46, 52, 53};
    t.ts.Chairs[3].OutPai = ByteArr{8, 21, 34};
    picGameBack_Paint(t.ctx);
}

// Every picture the surface showed while the blast ran.
struct Recorder {
    std::vector<QImage> shots;
    explicit Recorder(Surface& s) { s.onChanged = [this, &s]() { shots.push_back(s.image().copy()); }; }
};

}  // namespace

TEST(Blast, FrameFileNames)
{
    EXPECT_EQ(BlastFrameFile(QStringLiteral("b1\\Blast0"), QStringLiteral(".jpg"), 9), QStringLiteral("b1\\Blast009.jpg"));
    EXPECT_EQ(BlastFrameFile(QStringLiteral("b3\\Blast0"), QStringLiteral(".jpg"), 10), QStringLiteral("b3\\Blast010.jpg"));
    EXPECT_EQ(BlastFrameFile(QStringLiteral("Blast0"), QStringLiteral(".jpg"), 27), QStringLiteral("Blast027.jpg"));
    BlastKindInfo s;
    EXPECT_FALSE(GetBlastKind(0, s));
    EXPECT_FALSE(GetBlastKind(4, s));
    ASSERT_TRUE(GetBlastKind(2, s));
    EXPECT_EQ(s.frames, 15);
    EXPECT_EQ(s.w, 88);
    EXPECT_EQ(s.pauseMs, 40);
    EXPECT_EQ(s.key, QColor(255, 255, 255));
}

TEST(Blast, Placement)
{
    Table t(800, 600);
    DealtTable(t);
    const PaintState& p = t.p;
    int x = 0, y = 0;
    // Chair 2 is at the top: centred on its origin.
    ASSERT_TRUE(BlastPlace(t.ctx, 2, 1, x, y));
    EXPECT_EQ(x, p.OutPaiX[0] - 90);
    EXPECT_EQ(y, p.OutPaiY[0] - 10);
    ASSERT_TRUE(BlastPlace(t.ctx, 2, 3, x, y));
    EXPECT_EQ(y, p.OutPaiY[0] + 10);
    // Chair 3 on the left, 3 cards: r = 116.
    ASSERT_TRUE(BlastPlace(t.ctx, 3, 2, x, y));
    EXPECT_EQ(x, p.OutPaiX[1] + 58 - 44);
    EXPECT_EQ(y, p.OutPaiY[1] - 40);
    ASSERT_TRUE(BlastPlace(t.ctx, 3, 1, x, y));
    EXPECT_EQ(y, p.OutPaiY[1] - 60);
    // Chair 1 on the right, a pass of one entry: r = 80.
    ASSERT_TRUE(BlastPlace(t.ctx, 1, 3, x, y));
    EXPECT_EQ(x, p.OutPaiX[3] - 40 - 39);
    EXPECT_EQ(y, p.OutPaiY[3] - 40);
    EXPECT_FALSE(BlastPlace(t.ctx, 1, 0, x, y));
    EXPECT_FALSE(BlastPlace(t.ctx, 4, 1, x, y));
}

TEST(Blast, TableRestoredExactlyWithLastFrameMissing)
{
    Table t(800, 600);
    WriteFrames(t, 3, 1, 26);  // frame 27 is missing
    DealtTable(t);
    ManualClock clock;
    const QImage before = t.surf.image().copy();
    int x = 0, y = 0;
    ASSERT_TRUE(BlastPlace(t.ctx, 2, 3, x, y));
    Recorder rec(t.surf);
    PlayBlast(t.ctx, 2, 3);
    EXPECT_FALSE(t.tv.BlastRunning);
    EXPECT_EQ(t.surf.image(), before);
    // The frames were shown: the square's colour in the middle, the table where the key colour was.
    int framesSeen = 0;
    for (const QImage& shot : rec.shots) {
        const QRgb mid = shot.pixel(x + 39, y + 60) & 0xffffffu;
        if ((mid & 0xffff00u) == (qRgb(255, 128, 0) & 0xffff00u)) {
            ++framesSeen;
            EXPECT_EQ(shot.pixel(x + 2, y + 2), before.pixel(x + 2, y + 2));
        }
    }
    EXPECT_GE(framesSeen, 26);
}

TEST(Blast, WhiteKeyLeavesTheTableVisible)
{
    Table t(800, 600);
    WriteFrames(t, 2, 1, 3);
    DealtTable(t);
    const QImage before = t.surf.image().copy();
    int x = 0, y = 0;
    ASSERT_TRUE(BlastPlace(t.ctx, 0, 2, x, y));
    Recorder rec(t.surf);
    ManualClock clock;
    PlayBlast(t.ctx, 0, 2);
    EXPECT_EQ(clock.now(), 3 * 40) << "each frame shown waits its pause; missing ones none";
    EXPECT_EQ(t.surf.image(), before);
    bool seen = false;
    for (const QImage& shot : rec.shots) {
        if ((shot.pixel(x + 44, y + 40) & 0xffffu << 8) == (qRgb(255, 128, 1) & 0xffffu << 8)) {
            seen = true;
            EXPECT_EQ(shot.pixel(x + 1, y + 1), before.pixel(x + 1, y + 1));
            EXPECT_EQ(shot.pixel(x + 87, y + 79), before.pixel(x + 87, y + 79));
        }
    }
    EXPECT_TRUE(seen);
}

TEST(Blast, OversizedFramesAndEdgesOfTheSurface)
{
    Table t(300, 260);  // a small table: the side blasts reach past its edges
    WriteFrames(t, 1, 1, 2, 40);  // frames larger than their blast rectangle
    DealtTable(t);
    const QImage before = t.surf.image().copy();
    for (int chair = 0; chair < 4; ++chair) {
        PlayBlast(t.ctx, chair, 1);
        EXPECT_EQ(t.surf.image(), before) << chair;
    }
}

TEST(Blast, OtherKindsDoNothing)
{
    Table t(800, 600);
    DealtTable(t);
    const QImage before = t.surf.image().copy();
    PlayBlast(t.ctx, 0, 0);
    PlayBlast(t.ctx, 0, 7);
    PlayBlast(t.ctx, 9, 1);
    EXPECT_EQ(t.surf.image(), before);
    EXPECT_FALSE(t.tv.BlastRunning);
}

TEST(Blast, ClickDuringTheBlastIsIgnored)
{
    Table t(800, 600);
    WriteFrames(t, 3, 1, 10);
    DealtTable(t);
    GameTableWidget w(t.ctx);
    w.resize(800, 600);
    int ups = 0, moves = 0;
    bool runningAtClick = false;
    w.onMouseUp = [&](Qt::MouseButtons, int, int) { ++ups; };
    w.onMouseMove = [&](Qt::MouseButtons, int, int) { ++moves; };
    auto click = [&w]() {
        const QPointF at(400, 500);
        QMouseEvent up(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &up);
        QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &move);
    };
    ManualClock clock;   // the blast's frames pass on it
    clock.after(25, [&]() {
        runningAtClick = t.tv.BlastRunning;
        click();
    });
    PlayBlast(t.ctx, 0, 3);
    EXPECT_TRUE(runningAtClick);
    EXPECT_EQ(ups, 0);
    // Moving over the buttons still lights them up meanwhile.
    EXPECT_EQ(moves, 1);
    click();
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(moves, 2);
}

TEST(Blast, BlastStartedDuringABlastKeepsTheMouseBlocked)
{
    Table t(800, 600);
    WriteFrames(t, 3, 1, 12);
    WriteFrames(t, 1, 1, 1);
    DealtTable(t);
    const QImage before = t.surf.image().copy();
    bool afterInner = true;
    ManualClock clock;
    clock.after(20, [&]() {
        PlayBlast(t.ctx, 2, 1);
        afterInner = t.tv.BlastRunning;
    });
    PlayBlast(t.ctx, 0, 3);
    EXPECT_TRUE(afterInner);
    EXPECT_FALSE(t.tv.BlastRunning);
    EXPECT_EQ(t.surf.image(), before);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
