#include "server/roomserver.h"

#include <QTcpSocket>

#include "server/guard.h"
#include "server/remoteseat.h"

RoomServer::RoomServer(const RoomOptions& options, QObject* parent)
    : QObject(parent), opt_(options), table_(options, this)
{
    table_.logLine = [this](const QString& line) { log(line); };
    connect(&server_, &QTcpServer::newConnection, this, &RoomServer::onNewConnection);
}

void RoomServer::log(const QString& line)
{
    if (logLine) logLine(LogSafe(line));
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
        const QString address = s->peerAddress().toString();
        const bool roomFull = connections_ >= kMaxConnections;
        if (roomFull || perAddress_[address] >= opt_.perAddress) {
            log(QStringLiteral("close peer=%1:%2 %3").arg(address).arg(s->peerPort())
                    .arg(roomFull ? QStringLiteral("the room is full") : QStringLiteral("too many from one address")));
            if (perAddress_[address] == 0) perAddress_.erase(address);
            s->abort();
            s->deleteLater();
            continue;
        }
        ++connections_;
        ++perAddress_[address];
        auto* seat = new RemoteSeat(table_, s, opt_.helloSeconds * 1000, this);
        seat->logLine = [this](const QString& line) { log(line); };
        log(QStringLiteral("connect peer=%1").arg(seat->peerName()));
        connect(seat, &RemoteSeat::closed, this, [this, seat, address] {
            --connections_;
            if (--perAddress_[address] <= 0) perAddress_.erase(address);
            log(QStringLiteral("disconnect peer=%1").arg(seat->peerName()));
            seat->deleteLater();
        });
    }
}
