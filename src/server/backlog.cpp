#include "server/backlog.h"

#include <algorithm>

void BacklogBudget::pending(const void* conn, qint64 bytes)
{
    Conn& c = conns_[conn];
    total_ += bytes - c.pending;
    c.pending = bytes;
}

void BacklogBudget::drained(const void* conn, qint64 bytes, qint64 nowMs)
{
    Conn& c = conns_[conn];
    const qint64 second = nowMs / 1000;
    if (!c.taken.empty() && c.taken.back().first == second) c.taken.back().second += bytes;
    else c.taken.emplace_back(second, bytes);
    takenLately(c, nowMs);
}

void BacklogBudget::forget(const void* conn)
{
    const auto it = conns_.find(conn);
    if (it == conns_.end()) return;
    total_ -= it->second.pending;
    conns_.erase(it);
}

qint64 BacklogBudget::takenLately(Conn& c, qint64 nowMs) const
{
    const qint64 from = (nowMs - kDrainWindowMs) / 1000;
    while (!c.taken.empty() && c.taken.front().first < from) c.taken.pop_front();
    qint64 sum = 0;
    for (const auto& [second, bytes] : c.taken) sum += bytes;
    return sum;
}

std::vector<const void*> BacklogBudget::victims(const std::function<bool(const void*)>& isPlayer, qint64 nowMs)
{
    if (!over()) return {};
    struct Candidate {
        bool player;
        qint64 held;   // unsent, less what it took lately
        const void* conn;
        qint64 pending;
    };
    std::vector<Candidate> order;
    for (auto& [conn, c] : conns_)
        if (c.pending > 0) order.push_back({isPlayer && isPlayer(conn), c.pending - takenLately(c, nowMs), conn, c.pending});
    std::stable_sort(order.begin(), order.end(), [](const Candidate& a, const Candidate& b) {
        return a.player != b.player ? !a.player : a.held > b.held;
    });
    std::vector<const void*> out;
    qint64 left = total_;
    for (const Candidate& c : order) {
        if (left <= budget_) break;
        out.push_back(c.conn);
        left -= c.pending;
    }
    return out;
}
