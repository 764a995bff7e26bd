#include "server/remoteseat.h"

#include <QHostAddress>
#include <QTimer>

#if defined(__linux__)
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

#include "protocol/messages.h"
#include "protocol/received.h"
#include "protocol/shapes.h"
#include "server/backlog.h"
#include "server/peeraddress.h"
#include "server/table.h"

namespace {

constexpr int kHelloVersion = 0, kHelloGame = 1, kHelloAllow = 2;

// A machine that vanished (power, cable) leaves a half-open link that no write ever fails on
// while the room only reads: keep-alive probes find it. The system's default waits two hours
// before the first probe; a room notices within about two minutes.
void KeepAlive(QTcpSocket* socket)
{
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
#if defined(__linux__)
    const qintptr fd = socket->socketDescriptor();
    if (fd < 0) return;
    const int idle = 60, interval = 10, probes = 6;
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
#endif
}

}  // namespace

RemoteSeat::RemoteSeat(Table& table, QTcpSocket* socket, int helloMs, QObject* parent)
    : QObject(parent), table_(table), sock_(socket)
{
    socket->setParent(this);
    // A play or a chat line is one small write: held back for the previous one's
    // acknowledgement it would reach the table tens of milliseconds late.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    KeepAlive(socket);
    origin_ = AddressKey(socket->peerAddress());
    lastTaken_ = ClockNowMs();
    // A connection that never says hello would hold a place of the room for ever.
    helloDeadline_.setSingleShot(true);
    connect(&helloDeadline_, &ClockTimer::timeout, this, [this] {
        if (!greeted_) drop(QStringLiteral("did not say hello in time"));
    });
    helloDeadline_.start(helloMs);
    connect(socket, &QTcpSocket::bytesWritten, this, [this](qint64 n) {
        lastTaken_ = ClockNowMs();
        if (budget_ && !closing_ && !gone_) {
            budget_->drained(this, n, lastTaken_);
            tellBudget();
        }
    });
    peer_ = QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
    connect(socket, &QTcpSocket::readyRead, this, &RemoteSeat::onReadyRead);
    // Queued: the table hears of the loss from the event loop, never in the middle of a send.
    connect(socket, &QTcpSocket::disconnected, this, &RemoteSeat::onDisconnected, Qt::QueuedConnection);
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (sock_ && sock_->state() == QAbstractSocket::UnconnectedState) QTimer::singleShot(0, this, &RemoteSeat::onDisconnected);
    });
}

RemoteSeat::~RemoteSeat()
{
    if (budget_) budget_->forget(this);
}

void RemoteSeat::setBudget(BacklogBudget* budget, std::function<void()> overBudget)
{
    budget_ = budget;
    overBudget_ = std::move(overBudget);
}

qint64 RemoteSeat::pending() const
{
    return sock_ && !closing_ && !gone_ ? sock_->bytesToWrite() : 0;
}

void RemoteSeat::tellBudget()
{
    if (!budget_) return;
    budget_->pending(this, pending());
    if (budget_->over() && overBudget_) overBudget_();
}

void RemoteSeat::deliver(const QByteArray& msg)
{
    if (closing_ || gone_ || !sock_ || sock_->state() != QAbstractSocket::ConnectedState) return;
    const QByteArray frame = EncodeFrame(msg);
    if (frame.isEmpty()) return;
    // A burst may leave much unsent for a moment; only a peer that lets it lie is dropped.
    const qint64 pending = sock_->bytesToWrite() + frame.size();
    const qint64 now = ClockNowMs();
    if (pending <= kStallBytes) lastTaken_ = now;
    if (pending > kMaxPending || now - lastTaken_ > kStallMs) {
        drop(QStringLiteral("does not read what it is sent (%1 bytes waiting)").arg(pending));
        return;
    }
    sock_->write(frame);
    tellBudget();
}

void RemoteSeat::flush()
{
    if (!closing_ && !gone_ && sock_) sock_->flush();
}

void RemoteSeat::release()
{
    if (gone_ || !sock_) return;
    sock_->disconnectFromHost();
}

void RemoteSeat::drop(const QString& why)
{
    if (closing_ || gone_) return;
    closing_ = true;
    if (logLine) logLine(QStringLiteral("close peer=%1 %2").arg(peer_, why));
    frames_.clear();
    if (sock_) sock_->abort();
    if (budget_) budget_->forget(this);
    QTimer::singleShot(0, this, &RemoteSeat::onDisconnected);
}

void RemoteSeat::onReadyRead()
{
    if (closing_ || gone_ || !sock_) return;
    if (!frames_.append(sock_->readAll())) {
        drop(QStringLiteral("broke the framing"));
        return;
    }
    QByteArray msg;
    for (;;) {
        const FrameDecoder::Status st = frames_.next(msg);
        if (st == FrameDecoder::Status::NeedMore) break;
        if (st == FrameDecoder::Status::Broken) {
            drop(QStringLiteral("broke the framing"));
            return;
        }
        const ParsedMsg m = ParseMessage(msg, Sender::Client);
        if (!m.fits) {
            drop(QStringLiteral("sent a malformed message (code %1, %2 bytes)").arg(MsgCodeOf(msg)).arg(msg.size()));
            return;
        }
        if (!greeted_) {
            if (m.kind != MsgKind::Hello || m.fields[kHelloVersion] != QLatin1String(kProtocolVersion) ||
                m.fields[kHelloGame] != QLatin1String(kGameCode)) {
                drop(QStringLiteral("did not say hello"));
                return;
            }
            greeted_ = true;
            helloDeadline_.stop();
            table_.join(this, uint8_t(m.fields[kHelloAllow].toInt() != 0 ? 1 : 0));
        } else {
            table_.receive(this, msg);
        }
        if (closing_ || gone_ || !sock_) return;
    }
    frames_.squeeze();
}

void RemoteSeat::onDisconnected()
{
    if (gone_) return;
    gone_ = true;
    if (budget_) budget_->forget(this);
    if (greeted_) table_.leave(this);
    emit closed();
}
