#pragma once
// A raw client end for the room's socket tests: it frames what it sends and keeps every message
// the room sends, to be decoded when a test asks.
#include <QAbstractSocket>
#include <QHostAddress>
#include <QTcpSocket>
#include <memory>

#include "protocol/framing.h"
#include "protocol/received.h"
#include "support/timing.h"

namespace servertest {

struct RawPeer {
    std::unique_ptr<QTcpSocket> sock = std::make_unique<QTcpSocket>();
    FrameDecoder frames;
    QList<QByteArray> got;
    bool reading = true;   // false: what the room sends stays unread, as with a stalled reader

    // Connects to the room's loopback port; `from` binds a loopback address of the peer's own, with
    // a small window so what it does not read piles up in the room rather than in the system.
    explicit RawPeer(quint16 port, const char* from = nullptr)
    {
        QObject::connect(sock.get(), &QTcpSocket::readyRead, [this] {
            if (!reading) return;
            frames.append(sock->readAll());
            QByteArray m;
            while (frames.next(m) == FrameDecoder::Status::Frame) got.append(m);
        });
        if (from) {
            sock->bind(QHostAddress(QString::fromLatin1(from)));
            sock->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 8192);
        }
        sock->connectToHost(QHostAddress::LocalHost, port);
        sock->waitForConnected(testsupport::kHangMs);
    }
    void send(const QByteArray& msg)
    {
        sock->write(EncodeFrame(msg));
        sock->flush();
    }
    bool closed() const { return sock->state() == QAbstractSocket::UnconnectedState; }
    QList<ReceivedMsg> of(MsgKind kind) const
    {
        QList<ReceivedMsg> out;
        for (const QByteArray& m : got)
            if (ReceivedMsg r = DecodeServerMsg(m); r.kind == kind) out.append(r);
        return out;
    }
};

}  // namespace servertest
