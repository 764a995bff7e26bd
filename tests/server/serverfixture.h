#pragma once
// What the server tests share: a seat that records what the table sends it, and decks laid out
// so a test knows every hand.
#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QList>
#include <QTest>
#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "platform/core/clock.h"
#include "protocol/messages.h"
#include "protocol/shapes.h"
#include "server/seat.h"
#include "server/table.h"

namespace servertest {

using Cards = std::vector<uint8_t>;

// A seat for the test to speak through: every message from the table is kept.
struct FakeSeat : Seat {
    QList<QByteArray> got;
    int releases = 0;
    QStringList closes;   // why the room closed the seat
    QString from;         // the origin the seat connects from
    FakeSeat() = default;
    explicit FakeSeat(const QString& origin) : from(origin) {}
    void deliver(const QByteArray& msg) override { got.append(msg); }
    bool isBot() const override { return false; }
    void release() override { ++releases; }
    void close(const QString& why) override { closes.append(why); }
    QString origin() const override { return from; }

    QList<ParsedMsg> of(MsgKind kind) const
    {
        QList<ParsedMsg> out;
        for (const QByteArray& m : got) {
            ParsedMsg p = ParseMessage(m, Sender::Server);
            if (p.kind == kind) out.append(p);
        }
        return out;
    }
    QList<QByteArray> raw(MsgKind kind) const
    {
        QList<QByteArray> out;
        for (const QByteArray& m : got)
            if (ParseMessage(m, Sender::Server).kind == kind) out.append(m);
        return out;
    }
    int count(MsgKind kind) const { return int(of(kind).size()); }
    QByteArray last(MsgKind kind) const
    {
        const QList<QByteArray> r = raw(kind);
        return r.isEmpty() ? QByteArray() : r.back();
    }
};

inline uint8_t Code(int suit, int rank) { return uint8_t(suit * 13 + rank); }

// A one-deck deal: the given hands for the named chairs, everything else in deck order for the
// other chairs and the two spare cards.
inline Cards StackDeck(const std::array<Cards, 4>& wanted)
{
    std::vector<int> left(54, 1);
    for (const Cards& h : wanted)
        for (uint8_t c : h) --left[c];
    Cards rest;
    for (int c = 0; c < 54; ++c)
        if (left[size_t(c)] > 0) rest.push_back(uint8_t(c));
    Cards deck;
    size_t r = 0;
    for (const Cards& h : wanted) {
        if (!h.empty()) deck.insert(deck.end(), h.begin(), h.end());
        else
            for (int k = 0; k < 13; ++k) deck.push_back(rest[r++]);
    }
    while (r < rest.size()) deck.push_back(rest[r++]);
    return deck;
}

// Runs the event loop until the condition holds or ms have passed. A real loop, not a polling
// wait: the table and its bots hand work on through zero-time timers, many per move. On a
// test's manual clock the time moves on, from one timer to the next, only once nothing else is
// left to handle: a bot moves as soon as the table is quiet, and a wait that no timer ends
// fails at once rather than after ms of real time.
inline bool Spin(const std::function<bool()>& cond, int ms = 10000)
{
    if (cond()) return true;
    if (ManualClock* clock = ManualClock::Active()) {
        const qint64 until = clock->now() + ms;
        for (;;) {
            ManualClock::RunPendingEvents();
            if (cond()) return true;
            if (clock->now() >= until || !clock->step()) return false;
        }
    }
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (cond()) loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return cond();
}

// The fields of a GM_OUTPAI broadcast.
struct Notice {
    uint8_t next, phase, place, chair;
    Cards cards;
};
inline Notice ReadNotice(const QByteArray& m)
{
    const auto* b = reinterpret_cast<const uint8_t*>(m.constData());
    return {b[2], b[3], b[4], b[5], Cards(b + 7, b + m.size())};
}

}  // namespace servertest
