#include "server/roomserver.h"

#include <QTcpSocket>

#include "server/guard.h"
#include "server/peeraddress.h"
#include "server/remoteseat.h"

RoomServer::RoomServer(const RoomOptions& options, QObject* parent)
    : QObject(parent),
      opt_(options),
      table_(options, this),
      budget_(qint64(options.backlogMb) * 1024 * 1024),
      refusedLog_([this](const QString& line) { log(line); })
{
    table_.logLine = [this](const QString& line) { log(line); };
    connect(&server_, &QTcpServer::newConnection, this, &RoomServer::onNewConnection);
}

RoomServer::~RoomServer()
{
    // The connections go before the budget they report to.
    qDeleteAll(findChildren<RemoteSeat*>(Qt::FindDirectChildrenOnly));
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
    // "::" alone would take IPv6 peers only: both families where the system lets one socket
    // take both, IPv6 alone where it does not.
    const bool anyV6 = addr == QHostAddress(QHostAddress::AnyIPv6);
    if (anyV6 && server_.listen(QHostAddress::Any, opt_.port)) addr = QHostAddress::Any;
    else if (!server_.listen(addr, opt_.port)) {
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

bool RoomServer::seatedPlayer(const RemoteSeat* seat) const
{
    for (const auto& u : table_.users())
        if (u->seat == seat) return u->Chair >= 0;
    return false;
}

void RoomServer::enforceBudget()
{
    std::map<const void*, RemoteSeat*> seats;
    for (RemoteSeat* seat : findChildren<RemoteSeat*>(Qt::FindDirectChildrenOnly)) seats[seat] = seat;
    const qint64 total = budget_.total();
    const auto isPlayer = [&](const void* conn) {
        const auto it = seats.find(conn);
        return it != seats.end() && seatedPlayer(it->second);
    };
    for (const void* conn : budget_.victims(isPlayer, ClockNowMs())) {
        const auto it = seats.find(conn);
        if (it == seats.end()) {
            budget_.forget(conn);
            continue;
        }
        it->second->close(QStringLiteral("holds the most of the room's backlog (%1 bytes waiting here, %2 in all, budget %3)")
                              .arg(it->second->pending()).arg(total).arg(budget_.budget()));
    }
}

void RoomServer::onNewConnection()
{
    while (QTcpSocket* s = server_.nextPendingConnection()) {
        const QString address = AddressKey(s->peerAddress());
        const bool roomFull = connections_ >= kMaxConnections;
        const bool squatter = table_.refusesOrigin(address);
        if (roomFull || squatter || perAddress_[address] >= opt_.perAddress) {
            const QString why = roomFull ? QStringLiteral("the room is full")
                              : squatter ? QStringLiteral("held kept chairs idle: refused for a while")
                                         : QStringLiteral("too many from one address");
            refusedLog_.write(address, QStringLiteral("peer=%1 at the door").arg(address),
                              QStringLiteral("close peer=%1:%2 %3").arg(s->peerAddress().toString()).arg(s->peerPort()).arg(why));
            if (perAddress_[address] == 0) perAddress_.erase(address);
            s->abort();
            s->deleteLater();
            continue;
        }
        ++connections_;
        ++perAddress_[address];
        auto* seat = new RemoteSeat(table_, s, opt_.helloSeconds * 1000, this);
        seat->logLine = [this](const QString& line) { log(line); };
        seat->setBudget(&budget_, [this] { enforceBudget(); });
        log(QStringLiteral("connect peer=%1").arg(seat->peerName()));
        connect(seat, &RemoteSeat::closed, this, [this, seat, address] {
            --connections_;
            if (--perAddress_[address] <= 0) perAddress_.erase(address);
            log(QStringLiteral("disconnect peer=%1").arg(seat->peerName()));
            seat->deleteLater();
        });
    }
}
