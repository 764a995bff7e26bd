#include "server/clock.h"

#include <QTimer>

namespace {

class LoopTimer : public TableTimer {
public:
    explicit LoopTimer(std::function<void()> onTimeout)
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, std::move(onTimeout));
    }
    void start(int ms) override { timer_.start(ms); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

class LoopClock : public TableClock {
public:
    std::unique_ptr<TableTimer> makeTimer(std::function<void()> onTimeout) override
    {
        return std::make_unique<LoopTimer>(std::move(onTimeout));
    }
};

}  // namespace

TableClock& EventLoopClock()
{
    static LoopClock clock;
    return clock;
}
