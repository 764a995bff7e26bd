#pragma once
// A bot: follows the table from the messages it gets, exactly as a client would, and answers
// with the client's messages after a pause: ready when a game is offered, its deal request, its
// plays (botplayer.h), agreement to the owner's settings. What it knows of the game is its own
// copy of the round, kept from the table's broadcasts: its hand and what every chair sees.
#include <QObject>
#include <QString>
#include <cstdint>

#include "platform/core/clock.h"
#include "rules/roundcore.h"
#include "server/seat.h"

struct OutPaiMsg;
struct TableSnapshotMsg;

class BotSeat : public QObject, public Seat {
    Q_OBJECT
public:
    BotSeat(SeatReply reply, uint8_t chair, QString name, int delayMs, QObject* parent = nullptr);

    void deliver(const QByteArray& msg) override;
    bool isBot() const override { return true; }

    uint8_t chair() const { return chair_; }
    const QString& name() const { return name_; }
    const RoundCore& round() const { return round_; }

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

    RoundCore round_;
    // Bumped by every message that changes whose move it is; a move scheduled under an older
    // value is dropped.
    uint64_t turnSerial_ = 0;
    uint64_t movePlannedFor_ = 0;
    ClockTimer moveDelay_;        // the pause before the planned move
};
