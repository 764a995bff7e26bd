#pragma once
// The game at the table: the deal, the turns and tricks (on the round core), refusals, the turn
// clock and the end of a game with its scores. The room (table.h) seats the people and hands the
// game messages of its players on; what the game has to say goes out through the room.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "rules/roundcore.h"
#include "platform/core/clock.h"
#include "server/roomoptions.h"

struct GameRound;

// What the game needs of the room around it.
class GameHost {
public:
    virtual ~GameHost() = default;
    virtual void log(const QString& line) = 0;
    virtual void broadcast(const QByteArray& msg) = 0;
    virtual void sendToChair(uint8_t chair, const QByteArray& msg) = 0;
    // The chair's hand was dealt, or changed by a play of the chair: the spectators who watch it
    // are sent what they may see of it.
    virtual void handToWatchers(uint8_t chair, bool dealt) = 0;
    // A move of the chair was refused; `line` is its log line.
    virtual void refused(uint8_t chair, const QString& line) = 0;
    // The chair let the turn clock run out on every one of its last --auto-out-limit turns.
    virtual void silent(uint8_t chair) = 0;
    virtual QString chairName(uint8_t chair) const = 0;
    // A game is about to be dealt: the hands go down, the settings are closed.
    virtual void gameStarting() = 0;
    virtual void gameBegun(int no) = 0;
    // The game is decided, before anybody is told: the moment to keep it (each chair's change).
    virtual void gameDecided(const GameRound& game, const std::array<int32_t, 4>& changes) = 0;
    // The game is over and announced: each chair's score change.
    virtual void gameEnded(int no, const std::array<int32_t, 4>& changes) = 0;
};

// The game under way (or the last one, between games).
struct GameRound {
    bool Running = false;
    bool Dealing = false;               // waiting for the players' deal requests
    int No = 0;
    RoundCore Round;
    std::vector<uint8_t> Spare;         // one deck leaves two cards undealt
    std::array<bool, 4> DealAnswered{};
    int Refusals = 0;
    std::optional<std::vector<uint8_t>> HeldLead;   // the lead's play, sent while others were still dealt
    // What the store keeps of the game: when it began, the opening chair, each chair's cards as
    // dealt and every move in order (chair, cards; none for a pass).
    QDateTime Started;
    uint8_t Lead = 0;
    std::array<std::vector<uint8_t>, 4> Dealt;
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> Moves;
};

class TableGame {
public:
    TableGame(GameHost& host, const RoomOptions& options);

    // Deals the next game and waits for the deal requests.
    void start();
    // A player's deal request; the last one lets the lead move.
    void answerDeal(uint8_t chair);
    // This chair needs no deal (a bot took it over with the table's snapshot); true when that
    // was the last one missing.
    bool skipDeal(uint8_t chair);
    // The deal wait is over: every hand goes out and the lead is due.
    void finishDealing();
    // A player's play or pass (the client's message).
    void onPlayRequest(uint8_t chair, const std::vector<uint8_t>& cards);
    // The running game as this chair's player sees it; without canSeePai (a spectator the player
    // does not let see the cards) with the hand's cards hidden (hiddenhand.h).
    QByteArray snapshotFor(int viewChair, uint8_t canSeePai) const;
    // The answer to this chair's hands request: its own hand and the partner's card count (the
    // partner's cards stay hidden: the table does not show them).
    QByteArray handsFor(uint8_t chair) const;

    // no > 0: the next game has this number (a replay keeps the number the game had).
    void setNextDeal(std::vector<uint8_t> deck, uint8_t leadChair, int no = 0);
    void setStake(int stake) { stake_ = stake; }

    const GameRound& state() const { return g_; }
    bool running() const { return g_.Running; }
    std::vector<uint8_t> handOf(uint8_t chair) const { return g_.Round.hand(chair).vec(); }
    int gamesPlayed() const { return gamesPlayed_; }
    int refusals() const { return totalRefusals_; }

private:
    void play(uint8_t chair, const std::vector<uint8_t>& cards);
    void refuse(uint8_t chair, const QString& reason, const std::vector<uint8_t>& cards);
    void endGame(uint8_t lastChair);
    void startTurnClock(bool trickJustWon);
    void onTurnTimeout();

    GameHost& host_;
    RoomOptions opt_;
    uint32_t dealSeed_;   // with the game's number, all a deal depends on
    GameRound g_;
    int stake_ = 10;
    int gamesPlayed_ = 0;
    int totalRefusals_ = 0;
    int nextLead_ = -1;
    std::array<int, 4> timeOutsInARow_{};
    std::vector<uint8_t> stackedDeck_;
    ClockTimer turnClock_;
    ClockTimer dealClock_;
};
