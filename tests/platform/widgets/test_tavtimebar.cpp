// The turn time bar: ticks, warning and time-out at the right moments, Reset, and the bar. Time
// runs on a clock the tests drive.
#include "platform/widgets/tavtimebar.h"

#include <QApplication>
#include <algorithm>
#include <gtest/gtest.h>

#include "platform/core/clock.h"

TEST(TavTimeBar, TicksEverySecondWarnsAndTimesOutOnTime) {
    ManualClock clock;
    TavTimeBar bar;
    EXPECT_EQ(bar.tickInterval(), 1000);
    qint64 warnAt = -1, outAt = -1;
    int ticks = 0;
    QObject::connect(&bar, &TavTimeBar::Tick, [&] { ++ticks; });
    QObject::connect(&bar, &TavTimeBar::Warning, [&] { warnAt = clock.now(); });
    QObject::connect(&bar, &TavTimeBar::TimeOut, [&] { outAt = clock.now(); });
    bar.Start(2, 1);
    EXPECT_TRUE(bar.isRunning());
    clock.advance(1999);
    EXPECT_EQ(outAt, -1);
    clock.advance(1);
    EXPECT_EQ(warnAt, 1000);
    EXPECT_EQ(outAt, 2000);
    EXPECT_EQ(ticks, 2);
    EXPECT_FALSE(bar.isRunning());
    clock.advance(1200);   // nothing more after the time-out
    EXPECT_EQ(ticks, 2);
}

namespace {
struct Counts {
    int ticks = 0, warnings = 0, timeouts = 0;
    QString order;
};
void watch(TavTimeBar& bar, Counts& c) {
    QObject::connect(&bar, &TavTimeBar::Tick, [&c] { ++c.ticks; c.order += 'T'; });
    QObject::connect(&bar, &TavTimeBar::Warning, [&c] { ++c.warnings; c.order += 'W'; });
    QObject::connect(&bar, &TavTimeBar::TimeOut, [&c] { ++c.timeouts; c.order += 'O'; });
}
}

TEST(TavTimeBar, WarningComesWithTheTickThatLeavesThatManySecondsOrAtOnce) {
    const struct {
        int seconds, warn;
        const char* order;
    } cases[] = {
        {5, 2, "TTTWTTO"}, {2, 1, "TWTO"}, {3, 0, "TTTO"},
        // A turn no longer than the warning time warns as it starts.
        {3, 3, "WTTTO"}, {5, 5, "WTTTTTO"}, {1, 5, "WTO"}, {0, 1, "WTO"},
    };
    for (const auto& tc : cases) {
        ManualClock clock;
        TavTimeBar bar;
        bar.setTickInterval(5);
        Counts c;
        watch(bar, c);
        bar.Start(tc.seconds, tc.warn);
        clock.advance(5 * std::max(tc.seconds, 1));
        EXPECT_EQ(c.timeouts, 1) << tc.seconds << "/" << tc.warn;
        clock.advance(30);
        EXPECT_EQ(c.order, tc.order) << tc.seconds << "/" << tc.warn;
    }
}

TEST(TavTimeBar, ResetStopsTheTurnForGood) {
    ManualClock clock;
    TavTimeBar bar;
    bar.setTickInterval(40);
    Counts c;
    watch(bar, c);
    bar.Start(3, 1);
    clock.after(60, [&bar] { bar.Reset(); });   // between the first and second tick
    clock.advance(300);
    EXPECT_EQ(c.timeouts, 0);
    EXPECT_EQ(c.order, "T");
    EXPECT_FALSE(bar.isRunning());
}

TEST(TavTimeBar, AResetFromATickHandlerCancelsTheWarningAndTheTimeOut) {
    for (const int resetOnTick : {1, 2}) {
        ManualClock clock;
        TavTimeBar bar;
        bar.setTickInterval(5);
        Counts c;
        watch(bar, c);
        QObject::connect(&bar, &TavTimeBar::Tick, [&] {
            if (c.ticks == resetOnTick) bar.Reset();
        });
        bar.Start(2, 1);
        clock.advance(80);
        EXPECT_EQ(c.timeouts, 0) << resetOnTick;
        EXPECT_EQ(c.warnings, resetOnTick == 1 ? 0 : 1) << resetOnTick;   // warned at tick 1
        EXPECT_EQ(c.ticks, resetOnTick);
    }
}

TEST(TavTimeBar, AShortTurnStoppedAtOnceDoesNotWarn) {
    ManualClock clock;
    TavTimeBar bar;
    bar.setTickInterval(5);
    Counts c;
    watch(bar, c);
    bar.Start(3, 5);
    bar.Reset();
    bar.Start(30, 5);   // the next turn is long: its warning is still far off
    clock.advance(30);
    EXPECT_EQ(c.warnings, 0);
    EXPECT_GE(c.ticks, 1);
}

TEST(TavTimeBar, StartingAgainTimesTheNewTurnOnly) {
    ManualClock clock;
    TavTimeBar bar;
    bar.setTickInterval(40);
    Counts c;
    watch(bar, c);
    bar.Start(2, 0);
    clock.after(60, [&bar] { bar.Start(4, 0); });
    clock.advance(220);   // the new turn's four ticks from 60
    EXPECT_EQ(c.timeouts, 1);
    clock.advance(150);
    EXPECT_EQ(c.timeouts, 1);
    EXPECT_EQ(c.ticks, 5);
}

TEST(TavTimeBar, TagHoldsItsText) {
    TavTimeBar bar;
    bar.Tag = "100";
    EXPECT_EQ(bar.tag(), "100");
    bar.setTag("2");
    bar.Start(5, 1);
    bar.Reset();
    EXPECT_EQ(bar.Tag, "2");
}

TEST(TavTimeBar, TheBarShrinksWithTheTimeLeft) {
    ManualClock clock;
    TavTimeBar bar;
    bar.resize(120, 12);
    bar.setTickInterval(5);
    Counts c;
    watch(bar, c);
    auto barEnd = [&bar] {
        const QImage img = bar.grab().toImage();
        const QColor back(16, 81, 115);
        int last = 0;
        for (int x = 1; x < img.width() - 1; ++x)
            if (QColor(img.pixel(x, img.height() / 2)) != back) last = x;
        return last;
    };
    bar.setTickInterval(100000);   // hold it still after the start
    bar.Start(10, 3);
    EXPECT_GE(barEnd(), 115);   // full
    bar.Reset();
    EXPECT_EQ(barEnd(), 0);     // empty once stopped
    bar.setTickInterval(5);
    bar.Start(10, 3);
    clock.advance(25);
    ASSERT_EQ(c.ticks, 5);
    bar.setTickInterval(100000);   // takes effect at the next tick; freeze what we have
    const int left = bar.secondsLeft();
    const int end = barEnd();
    EXPECT_NEAR(end, 1 + 118 * left / 10, 2);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
