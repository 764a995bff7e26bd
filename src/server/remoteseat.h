#pragma once
// A connection at the table: frames in and out, the hello first, and the table's guard against a
// broken peer. A frame over the limit, a message the client never sends or one of the wrong
// shape, no hello within the deadline, or a peer that stops reading, closes this connection
// only. A peer stops reading when what it was sent stays unsent: over kStallBytes with nothing
// taken for kStallMs, or over kMaxPending at all (a burst alone, read meanwhile, is no reason).
// What stays unsent also counts against the room's budget for all connections (backlog.h).
// Keep-alive is on, so a machine that vanished without a word is noticed.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <functional>

#include "platform/core/clock.h"
#include "protocol/framing.h"
#include "server/seat.h"

class BacklogBudget;
class Table;

class RemoteSeat : public QObject, public Seat {
    Q_OBJECT
public:
    // helloMs: the time the peer has for its hello (the clock in force, platform/core/clock.h).
    RemoteSeat(Table& table, QTcpSocket* socket, int helloMs = kHelloMs, QObject* parent = nullptr);
    ~RemoteSeat() override;

    void deliver(const QByteArray& msg) override;
    bool isBot() const override { return false; }
    void release() override;
    void close(const QString& why) override { drop(why); }
    QString origin() const override { return origin_; }
    // Hands what is still queued to the system now (before the program ends).
    void flush();
    // The room's budget for unsent bytes, told of this connection's; `overBudget` is called when
    // a write of this connection takes the room past it.
    void setBudget(BacklogBudget* budget, std::function<void()> overBudget);
    qint64 pending() const;

    QString peerName() const { return peer_; }
    bool greeted() const { return greeted_; }

    static constexpr int kHelloMs = 10000;
    // Unsent bytes a peer may leave waiting while it takes nothing, and for how long.
    static constexpr qint64 kStallBytes = 1024 * 1024;
    static constexpr qint64 kStallMs = 15000;
    // Unsent bytes beyond which a peer is dropped whatever it reads.
    static constexpr qint64 kMaxPending = 32 * 1024 * 1024;

    std::function<void(const QString&)> logLine;

signals:
    // The connection is closed and the table has been told; the seat may be deleted.
    void closed();

private:
    void onReadyRead();
    void onDisconnected();
    void drop(const QString& why);
    void tellBudget();

    Table& table_;
    BacklogBudget* budget_ = nullptr;
    std::function<void()> overBudget_;
    QString origin_;
    QPointer<QTcpSocket> sock_;
    FrameDecoder frames_;
    ClockTimer helloDeadline_;
    qint64 lastTaken_ = 0;   // when the peer last took bytes, or its backlog was small
    QString peer_;
    bool greeted_ = false;
    bool closing_ = false;   // dropped; the loss is on its way to the table
    bool gone_ = false;
};
