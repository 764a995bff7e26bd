#pragma once
// The table: who sits where and who watches, the ready hands and the settings round, and the
// game itself (deal, turns, tricks, scoring). It speaks to every seat through Seat and hears
// every seat through receive(), with the client's own messages both ways; it never knows whether
// a seat is a connection or a bot except to let a bot take over a dropped player's chair.
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "protocol/messages.h"
#include "rules/tablestate.h"
#include "server/items.h"
#include "server/roomoptions.h"
#include "server/seat.h"

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
    bool Dropped = false;         // the connection is gone; a bot plays the chair to the end
    int Id = 0;
    int IconNo = 0;
    int Score = 0, Games = 0, Won = 0, Lost = 0, Drawn = 0, Escapes = 0;
    std::vector<OwnedItem> Items;
};

// The game under way (or the last one, between games).
struct GameRound {
    bool Running = false;
    bool Dealing = false;                          // waiting for the players' deal requests
    int No = 0;
    std::array<std::vector<uint8_t>, 4> Hands;
    std::vector<uint8_t> Spare;                    // one deck leaves two cards undealt
    std::array<bool, 4> DealAnswered{};
    uint8_t LeadChair = 0;
    uint8_t TurnChair = 0;
    uint8_t Phase = 0;                             // 1 lead, 2 follow, 0 nothing to do
    PaiXingInfo MaxOutPai;                         // byte 0: the chair of the biggest play
    bool ShuangShunPlayed = false;
    int32_t TrickFen = 0;
    int Passes = 0;                                // passes since the biggest play
    std::array<int32_t, 2> TeamScore{};
    std::array<uint8_t, 4> MingCi{};
    uint8_t NextPlace = 1;
    std::array<std::vector<uint8_t>, 4> OutPai;    // each chair's play in this trick
    int Plays = 0;
    int Refusals = 0;
    QByteArray HeldLead;                           // the lead's play, sent while others were still dealt
};

class Table : public QObject {
    Q_OBJECT
public:
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
    void setNextDeal(std::vector<uint8_t> deck, uint8_t leadChair);

    // Where the log lines go (one line each, no line end).
    std::function<void(const QString&)> logLine;

    const GameRound& game() const { return game_; }
    int gamesPlayed() const { return gamesPlayed_; }
    int refusals() const { return totalRefusals_; }
    const RoomUser* userAt(int chair) const { return chairs_[size_t(chair & 3)]; }
    const std::vector<std::unique_ptr<RoomUser>>& users() const { return users_; }
    QString settingsText() const;

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
    QString userRow(const RoomUser& u) const;
    void log(const QString& line);
    void sendTo(const RoomUser& u, const QByteArray& msg);
    void broadcast(const QByteArray& msg, const RoomUser* except = nullptr);
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

    // Game.
    void startGame();
    void answerDeal(uint8_t chair);
    void finishDealing();
    void onPlayRequest(RoomUser& u, const QByteArray& msg);
    void play(uint8_t chair, const std::vector<uint8_t>& cards);
    void refuse(uint8_t chair, const QString& reason, const std::vector<uint8_t>& cards);
    void afterPass(uint8_t chair);
    void endGame(uint8_t lastChair);
    void afterGame();
    void startTurnClock(bool trickJustWon);
    void onTurnTimeout();
    uint8_t nextActive(uint8_t chair) const;
    bool active(uint8_t chair) const { return !game_.Hands[chair].empty(); }
    QByteArray snapshotFor(int viewChair, uint8_t canSeePai) const;

    RoomOptions opt_;
    std::mt19937 rng_;
    std::vector<std::unique_ptr<RoomUser>> users_;
    std::array<RoomUser*, 4> chairs_{};
    int nextUserId_ = 10001;
    int humansJoined_ = 0;
    int botsMade_ = 0;
    int spectatorsMade_ = 0;
    SettingsRound settings_ = SettingsRound::None;
    int stake_ = 10, stakeMax_ = 100, stakeMin_ = 1;
    int penalty_ = 20, penaltyMax_ = 200, penaltyMin_ = 0;
    GameRound game_;
    int gamesPlayed_ = 0;
    int totalRefusals_ = 0;
    int nextLead_ = -1;
    std::vector<uint8_t> stackedDeck_;
    QTimer turnClock_;
    QTimer dealClock_;
    QTimer pauseClock_;
};
