#pragma once
// Bounds on what one peer can make the room do over and over: the lines it makes the room log
// (refusals, chat refusals, closes), and the refused moves it may send before it is closed.
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <map>

#include "platform/core/clock.h"

// Lines caused by one peer: a burst of a few, then one each kRefillMs; what is held back is
// counted and written as one line per peer each kSummaryMs ("refused <who> ×N"). A peer is any
// key that stays the same for it (a connection, an address).
class LogThrottle : public QObject {
public:
    static constexpr int kBurst = 5;
    static constexpr int kRefillMs = 500;
    static constexpr int kSummaryMs = 10000;
    // Peers tracked at once; lines of peers beyond it are summed up together.
    static constexpr size_t kMaxPeers = 1024;

    explicit LogThrottle(std::function<void(const QString&)> out, QObject* parent = nullptr);
    // Writes `line` unless the peer `key` has had its share; `who` names the peer in a summary.
    void write(const QString& key, const QString& who, const QString& line);
    // What is held back is written now.
    void summarize();

private:
    struct Peer {
        double tokens = kBurst;
        qint64 stamp = 0;
        int held = 0;
        QString who;
    };
    std::function<void(const QString&)> out_;
    std::map<QString, Peer> peers_;
    ClockTimer summary_;
};

// Refused moves per peer over the last kWindowMs.
class RefusalWindow {
public:
    static constexpr qint64 kWindowMs = 10000;
    // Notes one refusal of `key` at nowMs; the refusals of that key within the window.
    int note(int key, qint64 nowMs, int cap);
    void forget(int key) { times_.erase(key); }

private:
    std::map<int, std::deque<qint64>> times_;
};
