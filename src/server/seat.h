#pragma once
// One place at the table as the table sees it: something that receives the table's messages and
// answers with the client's messages (through Table::receive). A connection and a bot are both
// seats, so the table runs the same game whoever sits.
#include <QByteArray>
#include <functional>

class Seat {
public:
    virtual ~Seat() = default;
    // A message from the table to whoever sits here.
    virtual void deliver(const QByteArray& msg) = 0;
    virtual bool isBot() const = 0;
    // The table lets this seat go: a connection is closed once what was sent has gone out.
    virtual void release() {}
};

// How a seat that lives beside the table (a bot) answers: its message, as from that seat.
using SeatReply = std::function<void(Seat* from, const QByteArray& msg)>;
