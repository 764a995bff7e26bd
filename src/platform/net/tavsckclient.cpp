#include "platform/net/tavsckclient.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>

TavSckClient::TavSckClient(QObject* parent) : QObject(parent)
{
    connectTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, &TavSckClient::onTimeout);
}

TavSckClient::~TavSckClient()
{
    endQuietly();
}

void TavSckClient::Connect(const QString& host, int port, int timeoutSeconds)
{
    endQuietly();
    ended_ = false;
    peerClosed_ = false;
    sock_ = new QTcpSocket(this);
    connect(sock_, &QTcpSocket::connected, this, &TavSckClient::onConnected);
    connect(sock_, &QTcpSocket::readyRead, this, &TavSckClient::onReadyRead);
    connect(sock_, &QTcpSocket::disconnected, this, &TavSckClient::onDisconnected);
    connect(sock_, &QTcpSocket::errorOccurred, this, &TavSckClient::onSocketError);
    if (port < 1 || port > 65535) {
        // Reported from the event loop so the caller's own setup finishes first, as with any
        // other failure to connect.
        QPointer<TavSckClient> self(this);
        QTimer::singleShot(0, this, [self] { if (self) self->fail(); });
        return;
    }
    if (timeoutSeconds > 0) connectTimer_.start(timeoutSeconds * 1000);
    sock_->connectToHost(host, quint16(port));
}

bool TavSckClient::isConnected() const
{
    return !ended_ && !peerClosed_ && sock_ && sock_->state() == QAbstractSocket::ConnectedState;
}

void TavSckClient::setKeepAlive(bool on)
{
    keepAlive_ = on;
    if (sock_) sock_->setSocketOption(QAbstractSocket::KeepAliveOption, on ? 1 : 0);
}

bool TavSckClient::Send(const QByteArray& bytes, int first, int last)
{
    if (!isConnected()) return false;
    if (first < 0 || last < first || last >= bytes.size()) return false;
    const QByteArray frame = EncodeFrame(QByteArrayView(bytes).sliced(first, qsizetype(last) - first + 1));
    if (frame.isEmpty()) return false;
    return sock_->write(frame) == frame.size();
}

void TavSckClient::Abort()
{
    endQuietly();
}

void TavSckClient::onConnected()
{
    if (ended_) return;
    connectTimer_.stop();
    sock_->setSocketOption(QAbstractSocket::KeepAliveOption, keepAlive_ ? 1 : 0);
    sock_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    emit Connected();
}

void TavSckClient::onReadyRead()
{
    if (ended_ || !sock_) return;
    // A broken length stops the decoder at once; the messages complete before it are still
    // raised, then the link fails.
    frames_.append(sock_->readAll());
    scheduleDelivery();
}

void TavSckClient::scheduleDelivery()
{
    // Delivered from the event loop rather than from the socket's own signal: the socket raises
    // no further data signal while one of its handlers is still running, which would hold back
    // the messages a waiting handler is meant to see.
    if (deliveryQueued_ || ended_) return;
    deliveryQueued_ = true;
    QMetaObject::invokeMethod(this, &TavSckClient::deliverOne, Qt::QueuedConnection);
}

void TavSckClient::deliverOne()
{
    deliveryQueued_ = false;
    if (ended_) return;
    QByteArray msg;
    switch (frames_.next(msg)) {
    case FrameDecoder::Status::Broken:
        fail();
        return;
    case FrameDecoder::Status::Frame:
        // The next message is queued before this one is raised, so it flows even while this
        // one's handler waits; the handler may also end the link or delete this object.
        scheduleDelivery();
        emit DataArrived(msg);
        return;
    case FrameDecoder::Status::NeedMore:
        break;
    }
    if (peerClosed_) {
        endQuietly();
        emit Closed();
    }
}

void TavSckClient::onDisconnected()
{
    if (ended_ || peerClosed_) return;
    // Messages that arrived just before the close are still delivered, then Closed.
    if (sock_ && sock_->bytesAvailable() > 0) frames_.append(sock_->readAll());
    peerClosed_ = true;
    connectTimer_.stop();
    scheduleDelivery();
}

void TavSckClient::onSocketError()
{
    if (ended_ || peerClosed_ || !sock_) return;
    if (sock_->error() == QAbstractSocket::RemoteHostClosedError) {
        onDisconnected();
        return;
    }
    fail();
}

void TavSckClient::onTimeout()
{
    if (ended_) return;
    if (sock_ && sock_->state() == QAbstractSocket::ConnectedState) return;
    fail();
}

void TavSckClient::fail()
{
    if (ended_) return;
    endQuietly();
    emit Error();
}

void TavSckClient::endQuietly()
{
    ended_ = true;
    connectTimer_.stop();
    frames_.clear();
    if (sock_) {
        QTcpSocket* s = sock_;
        sock_ = nullptr;
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
}
