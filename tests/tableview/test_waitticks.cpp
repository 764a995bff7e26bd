#include "tableview/waitticks.h"

#include "platform/core/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

TEST(WaitTicks, LastsAtLeastTheTimeAndRunsTimersMeanwhile)
{
    bool closing = false;
    int fired = 0;
    QTimer t;
    t.setInterval(10);
    QObject::connect(&t, &QTimer::timeout, [&] { ++fired; });
    t.start();
    for (int ms : {1, 30, 120}) {
        fired = 0;
        QElapsedTimer clock;
        clock.start();
        WaitTicks(ms, closing);
        EXPECT_GE(clock.elapsed(), ms);
        if (ms >= 30) {
            EXPECT_GE(fired, 1) << ms;
        }
    }
}

// No pause at all: nothing waiting is handled inside it.
TEST(WaitTicks, ZeroOrNegativeReturnsAtOnce)
{
    bool closing = false;
    bool handled = false;
    QTimer::singleShot(0, [&] { handled = true; });
    WaitTicks(0, closing);
    WaitTicks(-5, closing);
    EXPECT_FALSE(handled);
    QCoreApplication::processEvents();
    EXPECT_TRUE(handled);
}

TEST(WaitTicks, NestedWaitsBothComplete)
{
    bool closing = false;
    bool innerDone = false;
    QTimer::singleShot(5, [&] { WaitTicks(20, closing); innerDone = true; });
    QElapsedTimer clock;
    clock.start();
    WaitTicks(60, closing);
    EXPECT_TRUE(innerDone);
    EXPECT_GE(clock.elapsed(), 60);
}

// On a test's clock: the pause lasts its time on that clock and next to no real time, and what
// comes meanwhile (the clock's timers, posted events, a pause inside it) is handled inside it.
TEST(WaitTicksOnAManualClock, LastsItsTimeOnTheClockAndHandlesWhatComesMeanwhile)
{
    bool closing = false;
    ManualClock clock;
    QStringList seen;
    ClockTimer tick;
    tick.setInterval(500);
    QObject::connect(&tick, &ClockTimer::timeout, [&] { seen << QStringLiteral("tick@%1").arg(clock.now()); });
    tick.start();
    clock.after(300, [&] {
        QTimer::singleShot(0, [&] { seen << QStringLiteral("posted@%1").arg(clock.now()); });
        WaitTicks(1000, closing);   // a pause inside the pause, longer than what is left of it
        seen << QStringLiteral("inner@%1").arg(clock.now());
    });
    WaitTicks(1200, closing);
    tick.stop();
    EXPECT_EQ(seen, (QStringList{"posted@300", "tick@500", "tick@1000", "inner@1300"}));
    EXPECT_EQ(clock.now(), 1300);
    WaitTicks(0, closing);
    WaitTicks(-5, closing);
    EXPECT_EQ(clock.now(), 1300);
}

// With pausesAdvance off the pause waits, handling events, until something moves the clock past
// its end: here a real timer, as data arriving from outside would.
TEST(WaitTicksOnAManualClock, HeldTillSomethingElseMovesTheClock)
{
    bool closing = false;
    ManualClock clock;
    clock.pausesAdvance = false;
    int moves = 0;
    QTimer mover;
    mover.setInterval(5);
    QObject::connect(&mover, &QTimer::timeout, [&] {
        ++moves;
        clock.advance(400);
    });
    mover.start();
    WaitTicks(1000, closing);
    EXPECT_EQ(moves, 3);
    EXPECT_EQ(clock.now(), 1200);
}

TEST(WaitTicksDeathTest, EndsTheProgramWhenClosingIsSetDuringAPauseOnAManualClock)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bool closing = false;
            ManualClock clock;
            clock.after(20, [&] { closing = true; });
            WaitTicks(10000, closing);
            std::fprintf(stderr, "returned\n");
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(WaitTicksDeathTest, EndsTheProgramWhenClosingAlreadySet)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    bool closing = true;
    EXPECT_EXIT(WaitTicks(10000, closing), ::testing::ExitedWithCode(0), "");
}

TEST(WaitTicksDeathTest, EndsTheProgramWhenClosingIsSetDuringTheWait)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bool closing = false;
            QTimer::singleShot(20, [&] { closing = true; });
            WaitTicks(10000, closing);
            std::fprintf(stderr, "returned\n");
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
