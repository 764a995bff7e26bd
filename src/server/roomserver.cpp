#include "server/roomserver.h"

#include <QTcpSocket>

#include "server/remoteseat.h"

RoomServer::RoomServer(const RoomOptions& options, QObject* parent)
    : QObject(parent), opt_(options), table_(options, this)
{
    table_.logLine = [this](const QString& line) { log(line); };
    connect(&server_, &QTcpServer::newConnection, this, &RoomServer::onNewConnection);
}

void RoomServer::log(const QString& line)
{
    if (logLine) logLine(line);
}

bool RoomServer::start(QString& error)
{
    QHostAddress addr;
    if (!addr.setAddress(opt_.listen)) {
        error = QStringLiteral("\"%1\" is not an address to listen on").arg(opt_.listen);
        return false;
    }
    if (!server_.listen(addr, opt_.port)) {
        error = QStringLiteral("cannot listen on %1:%2: %3").arg(opt_.listen).arg(opt_.port).arg(server_.errorString());
        return false;
    }
    log(QStringLiteral("listening %1:%2").arg(server_.serverAddress().toString()).arg(server_.serverPort()));
    table_.seatBots();
    return true;
}

void RoomServer::flush()
{
    for (RemoteSeat* seat : findChildren<RemoteSeat*>(Qt::FindDirectChildrenOnly)) seat->flush();
}

void RoomServer::onNewConnection()
{
    while (QTcpSocket* s = server_.nextPendingConnection()) {
        if (connections_ >= kMaxConnections) {
            log(QStringLiteral("close peer=%1:%2 the room is full").arg(s->peerAddress().toString()).arg(s->peerPort()));
            s->abort();
            s->deleteLater();
            continue;
        }
        ++connections_;
        auto* seat = new RemoteSeat(table_, s, this);
        seat->logLine = [this](const QString& line) { log(line); };
        log(QStringLiteral("connect peer=%1").arg(seat->peerName()));
        connect(seat, &RemoteSeat::closed, this, [this, seat] {
            --connections_;
            log(QStringLiteral("disconnect peer=%1").arg(seat->peerName()));
            seat->deleteLater();
        });
    }
}
