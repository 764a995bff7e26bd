#pragma once
// A clock for the table that moves only when the test says: advance() fires every timer that
// falls due on the way, in the order they fall due, each at its own time.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "server/clock.h"

namespace servertest {

class ManualClock : public TableClock {
public:
    std::unique_ptr<TableTimer> makeTimer(std::function<void()> onTimeout) override
    {
        auto t = std::make_unique<Timer>(*this, std::move(onTimeout));
        timers_.push_back(t.get());
        return t;
    }

    int64_t now() const { return now_; }

    void advance(int64_t ms)
    {
        const int64_t until = now_ + ms;
        for (;;) {
            Timer* next = nullptr;
            for (Timer* t : timers_)
                if (t->active && t->due <= until && (!next || t->due < next->due || (t->due == next->due && t->order < next->order)))
                    next = t;
            if (!next) break;
            now_ = next->due;
            next->active = false;
            next->fire();
        }
        now_ = until;
    }

    // Ms until the first timer falls due; -1 when none runs.
    int64_t untilNext() const
    {
        int64_t best = -1;
        for (const Timer* t : timers_)
            if (t->active && (best < 0 || t->due - now_ < best)) best = t->due - now_;
        return best;
    }

private:
    struct Timer : TableTimer {
        Timer(ManualClock& c, std::function<void()> f) : clock(c), fire(std::move(f)) {}
        ~Timer() override { std::erase(clock.timers_, this); }
        void start(int ms) override
        {
            active = true;
            due = clock.now_ + ms;
            order = clock.started_++;
        }
        void stop() override { active = false; }
        bool isActive() const override { return active; }

        ManualClock& clock;
        std::function<void()> fire;
        bool active = false;
        int64_t due = 0;
        uint64_t order = 0;
    };

    std::vector<Timer*> timers_;
    int64_t now_ = 0;
    uint64_t started_ = 0;
};

}  // namespace servertest
