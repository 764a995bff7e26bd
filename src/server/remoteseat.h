#pragma once
// A connection at the table: frames in and out, the hello first, and the table's guard against a
// broken peer. A frame over the limit, a message the client never sends or one of the wrong
// shape, or a peer that stops reading, closes this connection only.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <functional>

#include "protocol/framing.h"
#include "server/seat.h"

class Table;

class RemoteSeat : public QObject, public Seat {
    Q_OBJECT
public:
    RemoteSeat(Table& table, QTcpSocket* socket, QObject* parent = nullptr);
    ~RemoteSeat() override;

    void deliver(const QByteArray& msg) override;
    bool isBot() const override { return false; }
    void release() override;
    // Hands what is still queued to the system now (before the program ends).
    void flush();

    QString peerName() const { return peer_; }

    // Unsent bytes beyond which a peer that does not read is dropped.
    static constexpr qint64 kMaxPending = 4 * 1024 * 1024;

    std::function<void(const QString&)> logLine;

signals:
    // The connection is closed and the table has been told; the seat may be deleted.
    void closed();

private:
    void onReadyRead();
    void onDisconnected();
    void drop(const QString& why);

    Table& table_;
    QPointer<QTcpSocket> sock_;
    FrameDecoder frames_;
    QString peer_;
    bool greeted_ = false;
    bool closing_ = false;   // dropped; the loss is on its way to the table
    bool gone_ = false;
};
