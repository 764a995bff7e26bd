#pragma once
// The room's budget for bytes it has queued and its peers have not yet taken, all connections
// together: each connection's limits alone let 64 slow readers hold gigabytes. Past the budget
// the connections that hold the most and have taken the least lately go first, spectators
// before players, until the rest fit.
#include <QtGlobal>
#include <deque>
#include <functional>
#include <map>
#include <utility>
#include <vector>

class BacklogBudget {
public:
    // How far back what a connection took counts in its favour.
    static constexpr qint64 kDrainWindowMs = 15000;

    explicit BacklogBudget(qint64 budgetBytes) : budget_(budgetBytes) {}

    // A connection's unsent bytes now.
    void pending(const void* conn, qint64 bytes);
    // A connection's peer took bytes at nowMs.
    void drained(const void* conn, qint64 bytes, qint64 nowMs);
    // The connection is closed: its bytes are freed.
    void forget(const void* conn);

    qint64 total() const { return total_; }
    qint64 budget() const { return budget_; }
    bool over() const { return total_ > budget_; }
    // The connections to close, in order, so that the rest fit the budget: spectators first,
    // then (only if that is not enough) players; within each, most unsent less most taken over
    // the last kDrainWindowMs first. Empty while within the budget.
    std::vector<const void*> victims(const std::function<bool(const void*)>& isPlayer, qint64 nowMs);

private:
    struct Conn {
        qint64 pending = 0;
        std::deque<std::pair<qint64, qint64>> taken;   // (second, bytes) within the window
    };
    qint64 takenLately(Conn& c, qint64 nowMs) const;

    qint64 budget_;
    qint64 total_ = 0;
    std::map<const void*, Conn> conns_;
};
