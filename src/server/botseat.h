#pragma once
// A bot: follows the table from the messages it gets, exactly as a client would, and answers
// with the client's messages after a pause: ready when a game is offered, its deal request, its
// plays (botplayer.h), agreement to the owner's settings.
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "rules/tablestate.h"
#include "server/seat.h"

class Table;

class BotSeat : public QObject, public Seat {
    Q_OBJECT
public:
    BotSeat(Table& table, uint8_t chair, QString name, int delayMs, QObject* parent = nullptr);

    void deliver(const QByteArray& msg) override;
    bool isBot() const override { return true; }

    uint8_t chair() const { return chair_; }
    const QString& name() const { return name_; }
    const std::vector<uint8_t>& hand() const { return hand_; }

private:
    void send(const QByteArray& msg);        // to the table, from the event loop
    void considerMove();
    void onPlay(const QByteArray& msg);
    void loadSnapshot(const QByteArray& msg);

    Table& table_;
    uint8_t chair_;
    QString name_;
    int delayMs_;

    std::vector<uint8_t> hand_;
    uint8_t turnChair_ = 0;
    uint8_t phase_ = 0;                 // 1 lead, 2 follow, 0 nothing to do
    PaiXingInfo maxOutPai_;
    bool shuangShunPlayed_ = false;
    int32_t trickFen_ = 0;
    // Bumped by every message that changes whose move it is; a move scheduled under an older
    // value is dropped.
    uint64_t turnSerial_ = 0;
    uint64_t movePlannedFor_ = 0;
};
