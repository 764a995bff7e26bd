#pragma once
// No squatters: the deadlines of the people who hold a kept chair without getting on with the
// game (not raising the hand once everybody else has, not answering the settings round), and the
// addresses that keep coming back to do it.
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "platform/core/clock.h"

class IdleChairs : public QObject {
public:
    // An address closed this many times for squatting, each within kStrikeMemoryMs of the one
    // before, is refused for kRefuseMs.
    static constexpr int kStrikes = 2;
    static constexpr qint64 kRefuseMs = 60000;
    static constexpr qint64 kStrikeMemoryMs = 10 * 60000;

    struct Due {
        int userId;
        int limitMs;
    };

    explicit IdleChairs(QObject* parent = nullptr);

    // The people who are now expected to act: each one's deadline runs from the first review that
    // listed it; whoever is not listed is forgotten.
    void review(const std::vector<Due>& due);
    // Called with a person whose deadline has passed.
    std::function<void(int userId)> expired;

    // A person from `origin` was closed for squatting.
    void struck(const QString& origin);
    // Connections from `origin` are refused for now.
    bool refuses(const QString& origin) const;

private:
    struct Waiting {
        qint64 since;
        int limitMs;
    };
    struct Strikes {
        int count = 0;
        qint64 last = 0;
        qint64 refusedUntil = 0;
    };
    void onTimer();
    void schedule();

    std::map<int, Waiting> waiting_;
    std::map<QString, Strikes> strikes_;
    ClockTimer timer_;
};
