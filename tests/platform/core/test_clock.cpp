// The clock tests drive: timers fire at their times on it and in order, with the events already
// waiting handled first; without it, timers run on real time.
#include "platform/core/clock.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include "support/timing.h"

namespace {

// Each timer records "name@time" when it fires.
struct Log {
    QStringList fired;
    void on(ClockTimer& t, const QString& name, const ManualClock& clock)
    {
        QObject::connect(&t, &ClockTimer::timeout, [this, name, &clock] { fired << name + '@' + QString::number(clock.now()); });
    }
};

TEST(ManualClock, TimersFireAtTheirTimesInTheOrderTheyComeDue)
{
    struct Case {
        const char* what;
        qint64 advance;
        QStringList want;
    } cases[] = {
        {"before any is due", 99, {}},
        {"the first", 100, {"a@100"}},
        {"all in one move", 1000, {"a@100", "b@150", "c@150", "a@200", "a@300"}},
    };
    for (const Case& c : cases) {
        ManualClock clock;
        Log log;
        ClockTimer a, b, once;
        a.setInterval(100);
        b.setInterval(150);
        b.setSingleShot(true);
        once.setSingleShot(true);
        once.setInterval(150);
        log.on(a, "a", clock);
        log.on(b, "b", clock);
        log.on(once, "c", clock);
        // The repeating one stops itself after its third tick.
        int aTicks = 0;
        QObject::connect(&a, &ClockTimer::timeout, [&] {
            if (++aTicks == 3) a.stop();
        });
        a.start();
        b.start();
        once.start();   // started after b, due with it: fires after it
        clock.advance(c.advance);
        EXPECT_EQ(log.fired, c.want) << c.what;
        EXPECT_EQ(clock.now(), c.advance) << c.what;
    }
}

TEST(ManualClock, StopRestartAndANewIntervalCountFromNow)
{
    ManualClock clock;
    Log log;
    ClockTimer t;
    t.setSingleShot(true);
    log.on(t, "t", clock);
    t.start(100);
    clock.advance(60);
    t.setInterval(100);   // running: restarts from 60
    EXPECT_TRUE(t.isActive());
    clock.advance(60);
    EXPECT_TRUE(log.fired.isEmpty());
    clock.advance(40);
    EXPECT_EQ(log.fired, QStringList{"t@160"});
    EXPECT_FALSE(t.isActive());
    t.start(10);
    t.stop();
    clock.advance(50);
    EXPECT_EQ(log.fired, QStringList{"t@160"});
}

TEST(ManualClock, EventsAlreadyWaitingAreHandledBeforeATimerFires)
{
    ManualClock clock;
    QString order;
    ClockTimer t;
    t.setSingleShot(true);
    QObject::connect(&t, &ClockTimer::timeout, [&] { order += 'T'; });
    t.start(0);
    QTimer::singleShot(0, [&] { order += 'P'; });
    clock.advance(0);
    EXPECT_EQ(order, "PT");
}

TEST(ManualClock, StepFiresTheNextTimerAndAfterCallsOnce)
{
    ManualClock clock;
    int calls = 0;
    clock.after(250, [&] { ++calls; });
    EXPECT_TRUE(clock.step());
    EXPECT_EQ(clock.now(), 250);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(clock.step());
    EXPECT_EQ(clock.now(), 250);
}

TEST(ManualClock, ATimerGoneOrTheClockGoneIsForgotten)
{
    int fired = 0;
    auto clock = std::make_unique<ManualClock>();
    {
        ClockTimer gone;
        QObject::connect(&gone, &ClockTimer::timeout, [&] { ++fired; });
        gone.start(10);
    }
    ClockTimer left;
    left.start(10);
    clock->advance(100);
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(left.isActive());
    clock.reset();
    EXPECT_FALSE(left.isActive());
    EXPECT_EQ(ManualClock::Active(), nullptr);
}

TEST(ClockTimer, WithoutAManualClockRunsOnRealTime)
{
    ClockTimer t;
    t.setSingleShot(true);
    bool fired = false;
    QObject::connect(&t, &ClockTimer::timeout, [&] { fired = true; });
    const qint64 start = ClockNowMs();
    t.start(20);
    EXPECT_TRUE(t.isActive());
    EXPECT_TRUE(testsupport::WaitFor([&] { return fired; }));
    EXPECT_GE(ClockNowMs() - start, 20);
    EXPECT_FALSE(t.isActive());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
