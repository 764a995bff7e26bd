#pragma once
// A stored game played again at a table of its own: four seats that make the stored moves, in
// their order, at the bots' pace, for whoever watches. The table is the room's own (its log
// writes the lines the game wrote when it was played, its messages are the ones a client knows);
// a connection only ever watches, so nothing it sends can change the game. The game starts when
// somebody comes to watch, and again for the next one who comes once it is over.
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>

#include "platform/core/clock.h"
#include "server/roomoptions.h"
#include "server/seat.h"
#include "server/store.h"

class Table;

class Replay : public QObject {
    Q_OBJECT
public:
    // The room's options for the game: four chairs of the stored names, its decks; spectators
    // watch watchChair. Checks the game against the rules first: false, with the reason, for a
    // game that does not play (a damaged store).
    static bool Prepare(const StoredGame& game, RoomOptions& options, QString& error);

    Replay(Table& table, StoredGame game, int delayMs, QObject* parent = nullptr);
    // Seats the four players; before the table takes connections.
    void seat();
    // Times the stored game has been played to its end.
    int played() const { return played_; }

private:
    struct Chair : Seat {
        Replay* replay = nullptr;
        uint8_t no = 0;
        void deliver(const QByteArray& msg) override { replay->onMessage(no, msg); }
        bool isBot() const override { return false; }
    };
    void onMessage(uint8_t chair, const QByteArray& msg);
    void begin();
    void moveNext();
    void send(uint8_t chair, const QByteArray& msg);

    Table& table_;
    StoredGame game_;
    int delayMs_;
    std::array<Chair, 4> chairs_;
    bool running_ = false;
    size_t next_ = 0;
    int played_ = 0;
    ClockTimer moveDelay_;
};
