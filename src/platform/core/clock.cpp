#include "platform/core/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <algorithm>
#include <climits>

namespace {

ManualClock* g_active = nullptr;

// Counts the events handed to any object of this thread.
class EventCounter : public QObject {
public:
    EventCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent*) override
    {
        ++count;
        return false;
    }
};

// A loop that keeps handling events for ever (a zero-interval timer) stops being waited for here.
constexpr int kMostRounds = 1000;

}  // namespace

qint64 ClockNowMs()
{
    if (g_active) return g_active->now();
    static QElapsedTimer real = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return real.elapsed();
}

// ---- ManualClock ---------------------------------------------------------------------------

ManualClock::ManualClock() : previous_(g_active) { g_active = this; }

ManualClock::~ManualClock()
{
    for (ClockTimer* t : waiting_) t->clock_ = nullptr;
    waiting_.clear();
    if (g_active == this) g_active = previous_;
}

ManualClock* ManualClock::Active() { return g_active; }

void ManualClock::RunPendingEvents()
{
    if (!QCoreApplication::instance()) return;
    EventCounter counter;
    QEventLoop loop;
    for (int round = 0; round < kMostRounds; ++round) {
        const int before = counter.count;
        loop.processEvents(QEventLoop::AllEvents);
        if (counter.count == before) return;
    }
}

ClockTimer* ManualClock::nextDue() const
{
    ClockTimer* next = nullptr;
    for (ClockTimer* t : waiting_)
        if (!next || t->due_ < next->due_ || (t->due_ == next->due_ && t->serial_ < next->serial_)) next = t;
    return next;
}

bool ManualClock::step()
{
    RunPendingEvents();
    ClockTimer* t = nextDue();
    if (!t) return false;
    now_ = std::max(now_, t->due_);
    t->fireOnClock();
    return true;
}

void ManualClock::advance(qint64 ms)
{
    const qint64 target = now_ + std::max<qint64>(ms, 0);
    for (;;) {
        RunPendingEvents();
        ClockTimer* t = nextDue();
        if (!t || t->due_ > target) break;
        now_ = std::max(now_, t->due_);
        t->fireOnClock();
    }
    // A pause inside a timer's handler may have moved the time further already.
    now_ = std::max(now_, target);
}

void ManualClock::after(qint64 ms, std::function<void()> fn)
{
    auto t = std::make_unique<ClockTimer>();
    t->setSingleShot(true);
    ClockTimer* raw = t.get();
    QObject::connect(raw, &ClockTimer::timeout, raw, std::move(fn));
    owned_.push_back(std::move(t));
    raw->start(int(std::clamp<qint64>(ms, 0, INT_MAX)));
}

void ManualClock::add(ClockTimer* t)
{
    t->clock_ = this;
    t->serial_ = ++serial_;
    if (std::find(waiting_.begin(), waiting_.end(), t) == waiting_.end()) waiting_.push_back(t);
}

void ManualClock::remove(ClockTimer* t)
{
    waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), t), waiting_.end());
    t->clock_ = nullptr;
}

// ---- ClockTimer ----------------------------------------------------------------------------

ClockTimer::ClockTimer(QObject* parent) : QObject(parent)
{
    real_.setTimerType(Qt::PreciseTimer);
    connect(&real_, &QTimer::timeout, this, &ClockTimer::timeout);
}

ClockTimer::~ClockTimer()
{
    if (clock_) clock_->remove(this);
}

void ClockTimer::setInterval(int ms)
{
    interval_ = ms;
    if (clock_) start();
    else real_.setInterval(ms);
}

void ClockTimer::start(int ms)
{
    interval_ = ms;
    start();
}

void ClockTimer::start()
{
    stop();
    if (ManualClock* clock = ManualClock::Active()) {
        due_ = clock->now() + std::max(interval_, 0);
        clock->add(this);
    } else {
        real_.start(interval_);
    }
}

void ClockTimer::stop()
{
    real_.stop();
    if (clock_) clock_->remove(this);
}

void ClockTimer::fireOnClock()
{
    if (singleShot_) {
        clock_->remove(this);
    } else {
        // A repeating zero interval would hold the clock still for ever: it comes round at the
        // next millisecond instead.
        due_ = clock_->now() + std::max(interval_, 1);
        serial_ = ++clock_->serial_;
    }
    emit timeout();
}
