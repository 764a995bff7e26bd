#pragma once
// A room-server peer for tests: listens on loopback, takes one client at a time, speaks the link's
// framing, records every message the client sends and sends whatever the test scripts. It runs on
// the test's event loop; the wait functions spin that loop until their condition holds.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

#include "protocol/framing.h"
#include "protocol/messages.h"
#include "protocol/shapes.h"
#include "support/timing.h"

class ScriptedPeer : public QObject {
    Q_OBJECT
public:
    explicit ScriptedPeer(QObject* parent = nullptr);
    ~ScriptedPeer() override;

    quint16 port() const { return server_.serverPort(); }
    bool hasClient() const { return sock_ && sock_->state() == QAbstractSocket::ConnectedState; }

    // Sends one framed message; several in one write when given a list.
    void send(const QByteArray& msg);
    void send(const QList<QByteArray>& msgs);
    // Sends bytes as they are (for broken frames and pieces of frames).
    void sendRaw(const QByteArray& bytes);
    // Closes the client's connection (after what was written has gone out).
    void closeClient();

    // Messages received from the client, in order, and how each was identified.
    QList<QByteArray> received;
    QList<MsgKind> kinds() const;
    // The received messages of one kind.
    QList<QByteArray> receivedOf(MsgKind kind) const;

    // Called for every message received; a reply may be sent from it.
    std::function<void(const QByteArray&)> onMessage;

    // Spin the event loop until the condition holds or `ms` passed; true when it holds.
    bool waitFor(const std::function<bool()>& cond, int ms = testsupport::kHangMs);
    bool waitForClient(int ms = testsupport::kHangMs) { return waitFor([this] { return hasClient(); }, ms); }
    bool waitForMessages(int count, int ms = testsupport::kHangMs) { return waitFor([&] { return received.size() >= count; }, ms); }
    bool waitForKind(MsgKind kind, int ms = testsupport::kHangMs);
    bool waitForDisconnect(int ms = testsupport::kHangMs) { return waitFor([this] { return !hasClient(); }, ms); }

    // The client's connection broke its framing (the peer then drops it, as a server would).
    bool clientBrokeFraming() const { return brokeFraming_; }

signals:
    void messageReceived(const QByteArray& msg);

private:
    void onNewConnection();
    void onReadyRead();

    QTcpServer server_;
    QPointer<QTcpSocket> sock_;
    FrameDecoder frames_;
    bool brokeFraming_ = false;
};
