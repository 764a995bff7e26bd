#include "server/logthrottle.h"

#include <algorithm>

LogThrottle::LogThrottle(std::function<void(const QString&)> out, QObject* parent) : QObject(parent), out_(std::move(out))
{
    summary_.setSingleShot(true);
    connect(&summary_, &ClockTimer::timeout, this, &LogThrottle::summarize);
}

void LogThrottle::write(const QString& key, const QString& who, const QString& line)
{
    const qint64 now = ClockNowMs();
    auto it = peers_.find(key);
    if (it == peers_.end()) {
        if (peers_.size() >= kMaxPeers) {
            // Peers whose share is whole again and who owe no summary hold nothing worth keeping.
            for (auto p = peers_.begin(); p != peers_.end();) {
                if (p->second.held == 0 && now - p->second.stamp >= qint64(kBurst) * kRefillMs) p = peers_.erase(p);
                else ++p;
            }
        }
        const bool full = peers_.size() >= kMaxPeers;
        it = peers_.try_emplace(full ? QStringLiteral("\x01others") : key).first;
        if (it->second.who.isEmpty()) {
            it->second.who = full ? QStringLiteral("others") : who;
            it->second.stamp = now;
        }
    }
    Peer& p = it->second;
    p.tokens = std::min<double>(kBurst, p.tokens + double(std::max<qint64>(0, now - p.stamp)) / kRefillMs);
    p.stamp = now;
    if (p.tokens >= 1) {
        p.tokens -= 1;
        if (out_) out_(line);
        return;
    }
    ++p.held;
    if (!summary_.isActive()) summary_.start(kSummaryMs);
}

void LogThrottle::summarize()
{
    const qint64 now = ClockNowMs();
    for (auto it = peers_.begin(); it != peers_.end();) {
        Peer& p = it->second;
        if (p.held > 0 && out_) out_(QStringLiteral("refused %1 ×%2").arg(p.who).arg(p.held));
        p.held = 0;
        // A peer whose share is whole again holds nothing worth keeping.
        if (now - p.stamp >= qint64(kBurst) * kRefillMs) it = peers_.erase(it);
        else ++it;
    }
}

int RefusalWindow::note(int key, qint64 nowMs, int cap)
{
    if (times_.size() > 256) {
        for (auto it = times_.begin(); it != times_.end();) {
            if (it->second.empty() || nowMs - it->second.back() >= kWindowMs) it = times_.erase(it);
            else ++it;
        }
    }
    std::deque<qint64>& t = times_[key];
    t.push_back(nowMs);
    while (!t.empty() && nowMs - t.front() >= kWindowMs) t.pop_front();
    // Only whether the cap is passed matters: older refusals beyond it are not kept.
    while (int(t.size()) > cap + 1) t.pop_front();
    return int(t.size());
}
