#include "platform/net/tavsckclient.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <algorithm>

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
    wasConnected_ = false;
    failure_ = Failure::None;
    sock_ = new QTcpSocket(this);
    sock_->setReadBufferSize(kReadBufferSize);
    connect(sock_, &QTcpSocket::connected, this, &TavSckClient::onConnected);
    connect(sock_, &QTcpSocket::readyRead, this, &TavSckClient::onReadyRead);
    connect(sock_, &QTcpSocket::disconnected, this, &TavSckClient::onDisconnected);
    connect(sock_, &QTcpSocket::errorOccurred, this, &TavSckClient::onSocketError);
    if (port < 1 || port > 65535) {
        // Reported from the event loop so the caller's own setup finishes first, as with any
        // other failure to connect.
        QPointer<TavSckClient> self(this);
        QTimer::singleShot(0, this, [self] { if (self) self->fail(Failure::ConnectFailed); });
        return;
    }
    if (timeoutSeconds > 0) connectTimer_.start(timeoutSeconds * 1000);
    sock_->connectToHost(host, quint16(port));
}

qint64 TavSckClient::socketBuffered() const
{
    return sock_ ? sock_->bytesAvailable() : 0;
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
    wasConnected_ = true;
    sock_->setSocketOption(QAbstractSocket::KeepAliveOption, keepAlive_ ? 1 : 0);
    sock_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    emit Connected();
}

void TavSckClient::onReadyRead()
{
    if (ended_ || !sock_) return;
    pull();
    scheduleDelivery();
}

void TavSckClient::pull()
{
    // While a complete message waits nothing more is taken: the socket's buffer fills, stops
    // reading, and the sender is held back by TCP. A broken length stops the decoder at once.
    while (sock_ && frames_.framesReady() == 0 && !frames_.broken()) {
        const qint64 avail = sock_->bytesAvailable();
        if (avail <= 0) return;
        const qint64 want = std::min<qint64>(avail, std::max<qint64>(frames_.missing(), kReadBufferSize));
        const QByteArray bytes = sock_->read(want);
        if (bytes.isEmpty()) return;
        frames_.append(bytes);
    }
}

void TavSckClient::scheduleDelivery()
{
    // Delivered from the event loop rather than from the socket's own signal: the socket raises
    // no further data signal while one of its handlers is still running, which would hold back
    // the messages a waiting handler is meant to see.
    if (deliveryQueued_ || ended_) return;
    deliveryQueued_ = true;
    QMetaObject::invokeMethod(this, &TavSckClient::deliver, Qt::QueuedConnection);
}

void TavSckClient::deliver()
{
    deliveryQueued_ = false;
    if (ended_) return;
    QPointer<TavSckClient> self(this);
    QElapsedTimer turn;
    turn.start();
    for (int n = 0;; ++n) {
        if (n >= kBatchMessages || turn.elapsed() >= kBatchMs) {
            // The rest waits for the next turn, after the events that came meanwhile.
            scheduleDelivery();
            return;
        }
        pull();
        QByteArray msg;
        const FrameDecoder::Status st = frames_.next(msg);
        if (st == FrameDecoder::Status::Broken) {
            fail(Failure::BrokenFrame);
            return;
        }
        if (st == FrameDecoder::Status::NeedMore) break;
        // The next turn is queued before this message is raised, so messages flow even while
        // its handler waits in a loop of its own; the handler may also end the link or delete
        // this object.
        scheduleDelivery();
        emit DataArrived(msg);
        if (!self || ended_) return;
    }
    // Nothing complete is waiting: the memory of the burst goes back (not while a big message
    // is still coming in, which needs it).
    if (frames_.capacity() > kKeptCapacity && frames_.buffered() < kKeptCapacity) frames_.squeeze();
    if (peerClosed_ && (!sock_ || sock_->bytesAvailable() == 0)) {
        endQuietly();
        emit Closed();
    }
}

void TavSckClient::onDisconnected()
{
    if (ended_ || peerClosed_) return;
    // What arrived before the close stays in the socket and is still delivered, then Closed.
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
    fail(wasConnected_ ? Failure::Lost : Failure::ConnectFailed);
}

void TavSckClient::onTimeout()
{
    if (ended_) return;
    if (sock_ && sock_->state() == QAbstractSocket::ConnectedState) return;
    fail(Failure::ConnectFailed);
}

void TavSckClient::fail(Failure why)
{
    if (ended_) return;
    failure_ = why;
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
