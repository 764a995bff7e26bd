#pragma once
// One place at the table as the table sees it: something that receives the table's messages and
// answers with the client's messages (through Table::receive). A connection and a bot are both
// seats, so the table runs the same game whoever sits.
#include <QByteArray>
#include <QString>
#include <functional>

class Seat {
public:
    virtual ~Seat() = default;
    // A message from the table to whoever sits here.
    virtual void deliver(const QByteArray& msg) = 0;
    virtual bool isBot() const = 0;
    // The table lets this seat go: a connection is closed once what was sent has gone out.
    virtual void release() {}
    // The room closes this seat at once, whatever is still queued (a peer that holds up the
    // table or floods it); the table has let it go already.
    virtual void close(const QString& why) { Q_UNUSED(why); release(); }
    // Where the seat's person is (peeraddress.h): a dropped chair goes back only to its origin.
    virtual QString origin() const { return {}; }
};

// How a seat that lives beside the table (a bot) answers: its message, as from that seat.
using SeatReply = std::function<void(Seat* from, const QByteArray& msg)>;
