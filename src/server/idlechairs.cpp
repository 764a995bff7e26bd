#include "server/idlechairs.h"

#include <algorithm>

IdleChairs::IdleChairs(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    connect(&timer_, &ClockTimer::timeout, this, &IdleChairs::onTimer);
}

void IdleChairs::review(const std::vector<Due>& due)
{
    const qint64 now = ClockNowMs();
    std::map<int, Waiting> next;
    for (const Due& d : due) {
        const auto it = waiting_.find(d.userId);
        next[d.userId] = Waiting{it != waiting_.end() ? it->second.since : now, d.limitMs};
    }
    waiting_ = std::move(next);
    schedule();
}

void IdleChairs::schedule()
{
    if (waiting_.empty()) {
        timer_.stop();
        return;
    }
    qint64 first = INT64_MAX;
    for (const auto& [id, w] : waiting_) first = std::min(first, w.since + w.limitMs);
    timer_.start(int(std::clamp<qint64>(first - ClockNowMs(), 0, INT32_MAX)));
}

void IdleChairs::onTimer()
{
    const qint64 now = ClockNowMs();
    std::vector<int> due;
    for (const auto& [id, w] : waiting_)
        if (now >= w.since + w.limitMs) due.push_back(id);
    // Closing one reviews the others, whose deadlines stay as they were.
    for (int id : due)
        if (expired) expired(id);
    // One that was not closed starts anew should it still be expected.
    for (int id : due) waiting_.erase(id);
    schedule();
}

void IdleChairs::struck(const QString& origin)
{
    const qint64 now = ClockNowMs();
    if (strikes_.size() > 256) {
        for (auto it = strikes_.begin(); it != strikes_.end();) {
            if (now - it->second.last >= kStrikeMemoryMs && now >= it->second.refusedUntil) it = strikes_.erase(it);
            else ++it;
        }
    }
    Strikes& s = strikes_[origin];
    if (now - s.last >= kStrikeMemoryMs) s.count = 0;
    s.last = now;
    if (++s.count >= kStrikes) {
        s.count = 0;
        s.refusedUntil = now + kRefuseMs;
    }
}

bool IdleChairs::refuses(const QString& origin) const
{
    const auto it = strikes_.find(origin);
    return it != strikes_.end() && ClockNowMs() < it->second.refusedUntil;
}
