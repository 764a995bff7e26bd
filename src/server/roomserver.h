#pragma once
// The listening side of the room: takes connections and gives each a seat at the one table.
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <functional>
#include <map>

#include "server/backlog.h"
#include "server/logthrottle.h"
#include "server/roomoptions.h"
#include "server/table.h"

class RemoteSeat;

class RoomServer : public QObject {
    Q_OBJECT
public:
    explicit RoomServer(const RoomOptions& options, QObject* parent = nullptr);
    ~RoomServer() override;

    // Listens and seats the bots; false (with the reason) when the address cannot be had.
    bool start(QString& error);
    quint16 port() const { return server_.serverPort(); }
    QHostAddress address() const { return server_.serverAddress(); }
    Table& table() { return table_; }
    int connections() const { return connections_; }
    // Unsent bytes of all connections together.
    qint64 backlog() const { return budget_.total(); }
    // Every connection's queued bytes go to the system: the program may end right after.
    void flush();

    // Connections beyond this are closed at once (from one address: beyond --per-address).
    static constexpr int kMaxConnections = 64;

    std::function<void(const QString&)> logLine;

private:
    void onNewConnection();
    void log(const QString& line);
    // Closes the connections that hold the most until the rest fit the budget.
    void enforceBudget();
    bool seatedPlayer(const RemoteSeat* seat) const;

    RoomOptions opt_;
    QTcpServer server_;
    Table table_;
    int connections_ = 0;
    std::map<QString, int> perAddress_;   // by AddressKey
    BacklogBudget budget_;
    LogThrottle refusedLog_;   // connections refused at the door, per address
};
