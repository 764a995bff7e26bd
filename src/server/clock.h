#pragma once
// The table's waits (the turn clock, the deal wait, the pause after a game) on timers from a
// clock it is given: the program's runs on the event loop, a test's runs when the test says so.
#include <functional>
#include <memory>

class TableTimer {
public:
    virtual ~TableTimer() = default;
    // Fires once, ms from now; starting a running timer starts it anew.
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

class TableClock {
public:
    virtual ~TableClock() = default;
    virtual std::unique_ptr<TableTimer> makeTimer(std::function<void()> onTimeout) = 0;
};

// Timers on the event loop.
TableClock& EventLoopClock();
