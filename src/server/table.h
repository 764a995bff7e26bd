#pragma once
// The table: who sits where and who watches, the ready hands and the settings round, chat and
// items; the game itself (deal, turns, tricks, scoring) is its TableGame (tablegame.h). It speaks
// to every seat through Seat and hears every seat through receive(), with the client's own
// messages both ways; it never knows whether a seat is a connection or a bot except to let a bot
// take over a dropped player's chair.
#include <QDateTime>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "protocol/messages.h"
#include "server/guard.h"
#include "server/idlechairs.h"
#include "server/items.h"
#include "server/logthrottle.h"
#include "server/records.h"
#include "server/roomoptions.h"
#include "server/seat.h"
#include "server/tablegame.h"

class BotSeat;

// One user of the table: a player on a chair or a spectator.
struct RoomUser {
    QString Name;
    Seat* seat = nullptr;
    BotSeat* bot = nullptr;       // the seat when a bot plays this chair (owned by the table)
    int Chair = -1;               // -1: a spectator
    int WatchedChair = 0;         // for a spectator
    uint8_t AllowPangGuan = 1;    // spectators may see this player's cards
    bool Ready = false;
    bool HandHeld = false;        // a bot asked to be ready; held until the people at the table are
    bool Dropped = false;         // the connection is gone; a bot plays the chair to the end
    QString Origin;               // where the person plays from (peeraddress.h)
    int DroppedInGame = 0;        // the game in which the person dropped: only then may it come back
    int Id = 0;
    int IconNo = 0;
    int Score = 0, Games = 0, Won = 0, Lost = 0, Drawn = 0, Escapes = 0;
    std::vector<OwnedItem> Items;
};

class Table : public QObject, private GameHost {
    Q_OBJECT
public:
    // The table's waits (the turn clock, the deal wait, the pause after a game) and its bots'
    // pauses run on the clock in force (platform/core/clock.h): a test installs one it drives.
    explicit Table(const RoomOptions& options, QObject* parent = nullptr);
    ~Table() override;

    // Bots take every chair not kept for people.
    void seatBots();
    // A connection said hello: it becomes a player or a spectator and is sent the table.
    void join(Seat* seat, uint8_t allowPangGuan);
    // A message from a seat (already identified and checked as the client's).
    void receive(Seat* seat, const QByteArray& msg);
    // The seat's connection is gone.
    void leave(Seat* seat);

    // The next deal uses this card order (chair c gets cards c*n..c*n+n-1) and this leading chair,
    // instead of a shuffle; for tests and demonstrations.
    // no > 0: the game takes this number (a replay keeps the one it had).
    void setNextDeal(std::vector<uint8_t> deck, uint8_t leadChair, int no = 0);

    // Keep every seated name's record and every finished game in this store (it outlives the
    // table). Set before the bots are seated; null lets go of it (the writes the store refused
    // so far are tried once more).
    void setStore(Store* store);
    // The stake of the next games, as the owner's settings would set it.
    void setStake(int stake);

    // Where the log lines go (one line each, no line end).
    std::function<void(const QString&)> logLine;

    const GameRound& game() const { return game_.state(); }
    int gamesPlayed() const { return game_.gamesPlayed(); }
    int refusals() const { return game_.refusals(); }
    const RoomUser* userAt(int chair) const { return chairs_[size_t(chair & 3)]; }
    const std::vector<std::unique_ptr<RoomUser>>& users() const { return users_; }
    QString settingsText() const;
    // Connections from this origin are refused for now: it kept coming back to hold a chair idle.
    bool refusesOrigin(const QString& origin) const { return idle_.refuses(origin); }

signals:
    void gameStarted(int no);
    void gameOver(int no);
    // The number of games asked for has been played.
    void allGamesPlayed();

private:
    enum class SettingsRound { None, WaitingOwner, Decided };

    RoomUser* userOf(Seat* seat) const;
    RoomUser* owner() const;
    QString uniqueName(const QString& wanted) const;
    // The chairs kept for people, in the order they are filled.
    std::vector<int> peopleChairs() const;
    // Every chair is taken and every person on one has raised the hand.
    bool peopleReady() const;
    void releaseHeldHands();
    // A dropped player's chair, held by a bot during the game, that a connection from the
    // player's origin takes back.
    RoomUser* droppedChair(const QString& origin) const;
    void rejoin(RoomUser& u, Seat* seat, uint8_t allowPangGuan);
    QString userRow(const RoomUser& u) const;
    QByteArray userList() const;   // 130/2: every user's row
    void sendTo(const RoomUser& u, const QByteArray& msg);
    void broadcast(const QByteArray& msg, const RoomUser* except);
    BotSeat* newBot(uint8_t chair, const QString& name);
    void removeUser(RoomUser* u);

    // Room.
    void sendWelcome(RoomUser& u);
    void offerStart(RoomUser& u);
    void offerStartToAll();
    void raiseHand(RoomUser& u, const QString& settings = QString());
    void onGameSetDone(RoomUser& u, const QStringList& fields);
    void onChat(RoomUser& u, QStringList fields);
    void onBuy(RoomUser& u, const QString& idText);
    void onSeePaiSetting(RoomUser& u, const QStringList& fields);
    void onLeaveRequest(RoomUser& u);
    void takeOver(RoomUser& u);

    void afterGame();

    // The guards against peers that would spoil the table (tableguards.cpp).
    // Spectators see the watched player's hand only while the player lets them.
    bool handShownTo(const RoomUser& watcher) const;
    void setAllowPangGuan(RoomUser& u, uint8_t allow);
    // Starts or ends the deadlines of the people who hold up the game.
    void reviewIdle();
    void closeIdle(int userId);
    // The room closes a person's link: the chair as after a lost link, then the connection.
    void closeUser(RoomUser& u, const QString& why);
    RoomUser* userById(int id) const;
    // The store's hooks: a seated name's record, a finished game, a purchase.
    void loadRecord(RoomUser& u);
    void gameDecided(const GameRound& game, const std::array<int32_t, 4>& changes) override;

    // What the game asks of the room.
    void log(const QString& line) override;
    void broadcast(const QByteArray& msg) override { broadcast(msg, nullptr); }
    void sendToChair(uint8_t chair, const QByteArray& msg) override;
    void handToWatchers(uint8_t chair, bool dealt) override;
    void refused(uint8_t chair, const QString& line) override;
    void silent(uint8_t chair) override;
    QString chairName(uint8_t chair) const override;
    void gameStarting() override;
    void gameBegun(int no) override { emit gameStarted(no); }
    void gameEnded(int no, const std::array<int32_t, 4>& changes) override;

    RoomOptions opt_;
    std::vector<std::unique_ptr<RoomUser>> users_;
    std::array<RoomUser*, 4> chairs_{};
    int nextUserId_ = 10001;
    int botsMade_ = 0;
    int spectatorsMade_ = 0;
    SettingsRound settings_ = SettingsRound::None;
    int stake_ = 10, stakeMax_ = 100, stakeMin_ = 1;
    int penalty_ = 20, penaltyMax_ = 200, penaltyMin_ = 0;
    TableGame game_;
    ClockTimer pauseClock_;
    ChatGuard chatGuard_;
    IdleChairs idle_;
    LogThrottle peerLog_;        // lines a peer makes the table write
    RefusalWindow refusedMoves_;
    std::unique_ptr<TableRecords> records_;
};
