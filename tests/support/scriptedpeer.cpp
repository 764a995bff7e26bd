#include "scriptedpeer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "protocol/shapes.h"

ScriptedPeer::ScriptedPeer(QObject* parent) : QObject(parent)
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, &ScriptedPeer::onNewConnection);
}

ScriptedPeer::~ScriptedPeer()
{
    if (sock_) sock_->abort();
}

void ScriptedPeer::onNewConnection()
{
    while (QTcpSocket* s = server_.nextPendingConnection()) {
        if (sock_) sock_->abort();
        sock_ = s;
        s->setParent(this);
        frames_.clear();
        connect(s, &QTcpSocket::readyRead, this, &ScriptedPeer::onReadyRead);
    }
}

void ScriptedPeer::onReadyRead()
{
    if (!sock_) return;
    frames_.append(sock_->readAll());
    QByteArray msg;
    for (;;) {
        const FrameDecoder::Status st = frames_.next(msg);
        if (st == FrameDecoder::Status::NeedMore) return;
        if (st == FrameDecoder::Status::Broken) {
            brokeFraming_ = true;
            sock_->abort();
            return;
        }
        received.append(msg);
        emit messageReceived(msg);
        if (onMessage) onMessage(msg);
        if (!sock_) return;
    }
}

void ScriptedPeer::send(const QByteArray& msg)
{
    sendRaw(EncodeFrame(msg));
}

void ScriptedPeer::send(const QList<QByteArray>& msgs)
{
    QByteArray all;
    for (const QByteArray& m : msgs) all += EncodeFrame(m);
    sendRaw(all);
}

void ScriptedPeer::sendRaw(const QByteArray& bytes)
{
    if (!sock_) return;
    sock_->write(bytes);
    sock_->flush();
}

void ScriptedPeer::closeClient()
{
    if (!sock_) return;
    sock_->flush();
    sock_->disconnectFromHost();
}

QList<MsgKind> ScriptedPeer::kinds() const
{
    QList<MsgKind> k;
    for (const QByteArray& m : received) k.append(ParseMessage(m, Sender::Client).kind);
    return k;
}

QList<QByteArray> ScriptedPeer::receivedOf(MsgKind kind) const
{
    QList<QByteArray> out;
    for (const QByteArray& m : received)
        if (ParseMessage(m, Sender::Client).kind == kind) out.append(m);
    return out;
}

bool ScriptedPeer::waitForKind(MsgKind kind, int ms)
{
    return waitFor([&] { return !receivedOf(kind).isEmpty(); }, ms);
}

bool ScriptedPeer::waitFor(const std::function<bool()>& cond, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}
