#include "platform/net/tavsckclient.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <algorithm>

#if defined(Q_OS_LINUX)
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// How often the peer's end is looked for while nothing else would notice it.
constexpr int kPeerWatchMs = 100;

enum class PeerEnd { Open, Closed, Reset };

// What the socket's TCP state says of the peer. The kernel knows of a close or a reset as soon
// as it comes, however many bytes are still waiting ahead of it.
PeerEnd PeerEndOf(int fd)
{
#if defined(Q_OS_LINUX)
    if (fd < 0) return PeerEnd::Open;
    tcp_info info{};
    socklen_t n = sizeof info;
    if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &n) != 0) return PeerEnd::Open;
    if (info.tcpi_state == TCP_CLOSE_WAIT) return PeerEnd::Closed;
    if (info.tcpi_state == TCP_CLOSE) return PeerEnd::Reset;
#else
    Q_UNUSED(fd);
#endif
    return PeerEnd::Open;
}

}  // namespace

TavSckClient::TavSckClient(QObject* parent) : QObject(parent)
{
    connectTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, &TavSckClient::onTimeout);
    peerWatch_.setInterval(kPeerWatchMs);
    // Held, nothing else takes bytes from the socket: the lookahead is filled from here, so the
    // close behind a burst still reaches the kernel.
    connect(&peerWatch_, &QTimer::timeout, this, [this] {
        if (!checkPeerEnd()) pull();
    });
}

TavSckClient::~TavSckClient()
{
    endQuietly();
}

void TavSckClient::Connect(const QString& host, int port, int timeoutSeconds)
{
    endQuietly();
    ended_ = false;
    held_ = false;
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

bool TavSckClient::isConnecting() const
{
    if (ended_ || !sock_) return false;
    const auto st = sock_->state();
    return st == QAbstractSocket::HostLookupState || st == QAbstractSocket::ConnectingState;
}

qint64 TavSckClient::socketBuffered() const
{
    return sock_ ? sock_->bytesAvailable() : 0;
}

bool TavSckClient::isConnected() const
{
    return !ended_ && sock_ && sock_->state() == QAbstractSocket::ConnectedState;
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

void TavSckClient::Flush()
{
    if (isConnected()) sock_->flush();
}

void TavSckClient::Abort()
{
    endQuietly();
}

void TavSckClient::setHeld(bool on)
{
    held_ = on;
    if (!on) scheduleDelivery();
}

void TavSckClient::onConnected()
{
    if (ended_) return;
    connectTimer_.stop();
    wasConnected_ = true;
#if defined(Q_OS_LINUX)
    // A second handle on the connection: the socket closes its own as soon as it reads the end,
    // and this one still tells a reset from a close, and reads what the kernel holds when the
    // end is noticed first.
    watchFd_ = ::fcntl(int(sock_->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
#endif
    peerWatch_.start();
    sock_->setSocketOption(QAbstractSocket::KeepAliveOption, keepAlive_ ? 1 : 0);
    sock_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    emit Connected();
}

void TavSckClient::onReadyRead()
{
    if (ended_ || !sock_) return;
    if (checkPeerEnd()) return;
    pull();
    scheduleDelivery();
}

void TavSckClient::pull()
{
    // Once a complete message waits and kLookahead bytes are taken, nothing more is: the
    // socket's buffer fills, stops reading, and the sender is held back by TCP. The lookahead
    // lets the close behind a burst reach the kernel while the messages ahead of it wait. A
    // broken length stops the decoder at once.
    while (sock_ && (frames_.framesReady() == 0 || frames_.buffered() < kLookahead) && !frames_.broken()) {
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
    if (ended_ || held_) return;
    if (checkPeerEnd()) return;
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
        if (!self || ended_ || held_) return;
    }
    // Nothing complete is waiting: the memory of the burst goes back (not while a big message
    // is still coming in, which needs it).
    if (frames_.capacity() > kKeptCapacity && frames_.buffered() < kKeptCapacity) frames_.squeeze();
}

bool TavSckClient::checkPeerEnd()
{
    if (ended_) return true;
    const PeerEnd end = PeerEndOf(watchFd_);
    if (end == PeerEnd::Open) return false;
    endAfterPeer(end == PeerEnd::Reset);
    return true;
}

void TavSckClient::endAfterPeer(bool reset)
{
    // Nothing waiting is raised any more. The rest of the stream is read only to see whether it
    // ended after a whole message (a close) or inside one (a failure).
    bool cleanEnd = !reset;
    if (cleanEnd && sock_) {
        QByteArray msg;
        const auto take = [&](const QByteArray& bytes) {
            frames_.append(bytes);
            while (frames_.next(msg) == FrameDecoder::Status::Frame) {}
        };
        take(QByteArray());
        while (sock_->bytesAvailable() > 0 && !frames_.broken()) take(sock_->read(kReadBufferSize));
#if defined(Q_OS_LINUX)
        bool eof = watchFd_ < 0;
        QByteArray chunk(int(kReadBufferSize), Qt::Uninitialized);
        while (watchFd_ >= 0 && !frames_.broken()) {
            const ssize_t n = ::recv(watchFd_, chunk.data(), size_t(chunk.size()), MSG_DONTWAIT);
            if (n > 0) {
                take(QByteArray(chunk.constData(), qsizetype(n)));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            eof = n == 0;
            break;
        }
        cleanEnd = eof;
#endif
    }
    if (frames_.broken()) {
        fail(Failure::BrokenFrame);
    } else if (cleanEnd && frames_.buffered() == 0) {
        endQuietly();
        emit Closed();
    } else {
        fail(Failure::Lost);
    }
}

void TavSckClient::onDisconnected()
{
    if (ended_) return;
    connectTimer_.stop();
    endAfterPeer(PeerEndOf(watchFd_) == PeerEnd::Reset);
}

void TavSckClient::onSocketError()
{
    if (ended_ || !sock_) return;
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
    peerWatch_.stop();
    frames_.clear();
    if (sock_) {
        QTcpSocket* s = sock_;
        sock_ = nullptr;
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
#if defined(Q_OS_LINUX)
    if (watchFd_ >= 0) ::close(watchFd_);
#endif
    watchFd_ = -1;
}
