#include "tableview/waitticks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>
#include "support/timing.h"

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
        if (!testsupport::Sanitized()) { EXPECT_LT(clock.elapsed(), ms + 200); }
        if (ms >= 30) {
            EXPECT_GE(fired, 1) << ms;
        }
    }
}

TEST(WaitTicks, ZeroOrNegativeReturnsAtOnce)
{
    bool closing = false;
    QElapsedTimer clock;
    clock.start();
    WaitTicks(0, closing);
    WaitTicks(-5, closing);
    if (!testsupport::Sanitized()) { EXPECT_LT(clock.elapsed(), 50); }
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
