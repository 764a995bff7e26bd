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
    buf_.clear();
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
    const qint64 n = qint64(last) - first + 1;
    if (n > qint64(kMaxFrame)) return false;
    QByteArray frame;
    frame.reserve(int(n) + 4);
    const quint32 len = quint32(n);
    frame.append(char((len >> 24) & 0xFF));
    frame.append(char((len >> 16) & 0xFF));
    frame.append(char((len >> 8) & 0xFF));
    frame.append(char(len & 0xFF));
    frame.append(bytes.constData() + first, int(n));
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
    buf_.append(sock_->readAll());
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
    if (buf_.size() >= 4) {
        const auto* p = reinterpret_cast<const uchar*>(buf_.constData());
        const quint32 len = (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
        if (len == 0 || len > kMaxFrame) {
            fail();
            return;
        }
        if (quint32(buf_.size()) - 4 >= len) {
            QByteArray msg = buf_.mid(4, int(len));
            buf_.remove(0, int(len) + 4);
            // The next message is queued before this one is raised, so it flows even while this
            // one's handler waits; the handler may also end the link or delete this object.
            scheduleDelivery();
            emit DataArrived(msg);
            return;
        }
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
    if (sock_ && sock_->bytesAvailable() > 0) buf_.append(sock_->readAll());
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
    buf_.clear();
    if (sock_) {
        QTcpSocket* s = sock_;
        sock_ = nullptr;
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
}
