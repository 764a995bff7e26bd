#pragma once
// A bot: follows the table from the messages it gets, exactly as a client would, and answers
// with the client's messages after a pause: ready when a game is offered, its deal request, its
// plays (botplayer.h for the basic level, strongbot.h for the strong one), agreement to the
// owner's settings. What it knows of the game is its chair's view (seatview.h), kept from the
// messages the table sends that chair: its hand and what every chair sees.
#include <QObject>
#include <QString>
#include <cstdint>
#include <random>

#include "platform/core/clock.h"
#include "rules/roundcore.h"
#include "server/roomoptions.h"
#include "server/seat.h"
#include "server/seatview.h"

struct OutPaiMsg;
struct TableSnapshotMsg;

class BotSeat : public QObject, public Seat {
    Q_OBJECT
public:
    // rngSeed feeds the strong level's guesses only; the deals never depend on it.
    BotSeat(SeatReply reply, uint8_t chair, QString name, int delayMs, BotLevel level = BotLevel::Basic,
            uint32_t rngSeed = 0, QObject* parent = nullptr);

    void deliver(const QByteArray& msg) override;
    bool isBot() const override { return true; }

    uint8_t chair() const { return chair_; }
    const QString& name() const { return name_; }
    BotLevel level() const { return level_; }
    const RoundCore& round() const { return view_.round(); }

private:
    void send(const QByteArray& msg);        // to the table, from the event loop
    void considerMove();
    void move();
    void onPlay(const OutPaiMsg& p);
    void loadSnapshot(const TableSnapshotMsg& s);

    SeatReply reply_;
    uint8_t chair_;
    QString name_;
    int delayMs_;
    BotLevel level_;
    std::mt19937 rng_;

    SeatView view_;
    // Bumped by every message that changes whose move it is; a move scheduled under an older
    // value is dropped.
    uint64_t turnSerial_ = 0;
    uint64_t movePlannedFor_ = 0;
    ClockTimer moveDelay_;        // the pause before the planned move
};
