// The table widget: resizing lays the table out and repaints it, the screen shows the surface,
// the mouse reaches the play input.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <utility>

#include "tablefixture.h"
#include "tableview/tablewidget.h"

using namespace tabletest;

TEST(TableWidget, ResizeLaysOutAndRepaints)
{
    Table t(10, 10);
    t.Seat(0);
    GameTableWidget w(t.ctx);
    std::vector<int> order;
    int widthAtHook = 0;
    w.onResized = [&]() {
        widthAtHook = t.p.W;
        order.push_back(t.p.blnPaintRunning ? 2 : 1);
    };
    w.resize(801, 600);
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(t.surf.width(), 801);
    EXPECT_EQ(t.surf.height(), 600);
    EXPECT_EQ(widthAtHook, 801) << "the hook runs after the layout";
    EXPECT_EQ(t.p.SeatX[0], 384);
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.back(), 1) << "and outside the repaint";
    // The repaint drew the seats: the top seat's figure.
    EXPECT_EQ(t.px(t.p.SeatX[0] + 5, t.p.SeatY[0] + 5), Rgb(qRgb(0, 250, 0)));
    // What the widget shows is the surface.
    const QImage shown = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.size(), t.surf.image().size());
    EXPECT_EQ(shown.pixel(t.p.SeatX[0] + 5, t.p.SeatY[0] + 5), t.surf.image().pixel(t.p.SeatX[0] + 5, t.p.SeatY[0] + 5));
    EXPECT_EQ(shown.pixel(400, 300), t.surf.image().pixel(400, 300));
}

TEST(TableWidget, MouseReachesThePlayInput)
{
    Table t(800, 600);
    GameTableWidget w(t.ctx);
    w.resize(800, 600);
    struct Ev { char kind; Qt::MouseButtons b; int x, y; };
    std::vector<Ev> seen;
    w.onMouseDown = [&](Qt::MouseButtons b, int x, int y) { seen.push_back({'d', b, x, y}); };
    w.onMouseUp = [&](Qt::MouseButtons b, int x, int y) { seen.push_back({'u', b, x, y}); };
    w.onMouseMove = [&](Qt::MouseButtons b, int x, int y) { seen.push_back({'m', b, x, y}); };
    const QPointF at(123, 456);
    QMouseEvent down(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, at + QPointF(1, 1), at + QPointF(1, 1), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent up(QEvent::MouseButtonRelease, at, at, Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &down);
    QCoreApplication::sendEvent(&w, &move);
    QCoreApplication::sendEvent(&w, &up);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].kind, 'd');
    EXPECT_EQ(seen[0].b, Qt::MouseButtons(Qt::LeftButton));
    EXPECT_EQ(seen[0].x, 123);
    EXPECT_EQ(seen[0].y, 456);
    EXPECT_EQ(seen[1].kind, 'm');
    EXPECT_EQ(seen[1].x, 124);
    EXPECT_EQ(seen[1].b, Qt::MouseButtons(Qt::LeftButton));
    EXPECT_EQ(seen[2].kind, 'u');
    EXPECT_EQ(seen[2].b, Qt::MouseButtons(Qt::RightButton));

    // A handler that throws does not take the widget down.
    w.onMouseUp = [](Qt::MouseButtons, int, int) { throw std::runtime_error("bad"); };
    QCoreApplication::sendEvent(&w, &up);
    // While a blast runs no press or release is passed on; moves still light the buttons up.
    t.tv.BlastRunning = true;
    seen.clear();
    QCoreApplication::sendEvent(&w, &down);
    QCoreApplication::sendEvent(&w, &up);
    EXPECT_TRUE(seen.empty());
    QCoreApplication::sendEvent(&w, &move);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, 'm');
    EXPECT_EQ(seen[0].x, 124);
}

TEST(TableWidget, RepaintIsNotReentered)
{
    Table t(800, 600);
    t.Seat(0);
    // A repaint asked for while one runs returns at once, drawing nothing.
    const QImage before = t.surf.image().copy();
    t.p.blnPaintRunning = true;
    EXPECT_FALSE(picGameBack_Paint(t.ctx));
    EXPECT_EQ(t.surf.image(), before);
    t.p.blnPaintRunning = false;
    EXPECT_TRUE(picGameBack_Paint(t.ctx));
    EXPECT_FALSE(t.p.blnPaintRunning);
    EXPECT_TRUE(t.p.blnTableDrawn);
    // Before the viewed user is known only the background and the centre are drawn, and the
    // start button has nothing to follow.
    t.ts.strViewOwner.clear();
    EXPECT_FALSE(picGameBack_Paint(t.ctx));
    EXPECT_EQ(t.px(t.p.SeatX[0] + 5, t.p.SeatY[0] + 5), kBack);
}

namespace {

// Collects the parts of the widget its paint events asked to copy to the screen.
class PaintSpy : public QObject {
public:
    QRegion painted;
    int events = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(e)->region();
            ++events;
        }
        return false;
    }
};

qint64 Area(const QRegion& r)
{
    qint64 a = 0;
    for (const QRect& part : r) a += qint64(part.width()) * part.height();
    return a;
}

}  // namespace

// A clock tick copies to the screen only the clock and the seconds left, not the table; a
// card raised copies its own column; what the screen shows afterwards is the surface.
TEST(TableWidget, ScreenGetsOnlyWhatChanged)
{
    Table t(1000, 700);
    t.Seat(0);
    t.ts.GamePhase = GamePhase::Follow;
    t.ts.TurnSeconds = 30;
    t.ts.TableIdle = false;
    t.ts.DeckCount = 2;
    for (uint8_t card = 0; card < 20; ++card) t.ts.MyPai.append(card);
    t.p.TimedChair = 1;
    GameTableWidget w(t.ctx);
    w.resize(1000, 700);
    w.show();
    QApplication::processEvents();
    PaintSpy spy;
    w.installEventFilter(&spy);
    auto settle = [&] {
        spy.painted = QRegion();
        spy.events = 0;
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    };
    settle();

    // The right seat's clock, and the seconds' box at (63, 35) with what the text may reach.
    const QRect clock(t.p.SeatX[3], t.p.SeatY[3] - 80, 31, 38);
    const QRegion allowed = QRegion(clock).united(QRect(40, 10, 90, 80));
    for (int tick = 1; tick <= 3; ++tick) {
        t.p.ClockTicks = tick;
        PaintClock(t.ctx, true);
        settle();
        ASSERT_GT(spy.events, 0) << "the tick reaches the screen";
        EXPECT_TRUE(spy.painted.subtracted(allowed).isEmpty()) << "tick " << tick;
        EXPECT_TRUE(spy.painted.intersects(clock));
    }

    // One card raised: its column, not the hand.
    t.tv.PaiSelected.redim(20);
    t.tv.PaiSelected[7] = 1;
    RedrawMyPk(t.ctx, 7);
    settle();
    EXPECT_LE(Area(spy.painted), 80 * (105 + 24)) << "one card's column";

    const QImage shown = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, std::as_const(t.surf).image());

    // A full repaint goes to the screen whole.
    picGameBack_Paint(t.ctx);
    settle();
    EXPECT_GE(Area(spy.painted), 1000 * 700 / 2);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
