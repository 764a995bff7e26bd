#pragma once
// What a table keeps in its store: the record a name brings when it sits down, each finished game
// with its scores, each purchase. A write the store refuses (a full disk, a lost server) is
// logged and kept, and tried again, in order, before the next game's own; the table plays on.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <variant>

#include "server/store.h"
#include "server/tablegame.h"

class TableRecords {
public:
    TableRecords(Store& store, std::function<void(const QString&)> log);
    // The room is about to go: the writes still waiting are tried once more, and what the store
    // still refuses is logged as lost.
    void close();
    TableRecords(const TableRecords&) = delete;
    TableRecords& operator=(const TableRecords&) = delete;

    // The name's record and items (created with the starter items at its first visit); false
    // when the store cannot answer now (logged), and the room goes on with a blank record.
    bool load(const QString& name, PlayerRecord& out);
    // A finished game: what waits from before, then this one. The game's RoomKey is set here.
    void gameOver(StoredGame game);
    // A purchase of itemId by name; on success `items` are the name's items as stored.
    void purchase(const QString& name, int32_t itemId, const QDateTime& now, std::vector<OwnedItem>& items);

    size_t pending() const { return pending_.size(); }
    // Writes kept at most while the store refuses them; beyond, the oldest is given up (logged).
    static constexpr size_t kMaxPending = 10000;

private:
    struct Purchase {
        QString key, name;
        int32_t item;
        QDateTime at;
    };
    using Write = std::variant<StoredGame, Purchase>;
    bool write(Write& w, std::vector<OwnedItem>* items, QString& error);
    bool flush();
    void keep(Write w);

    Store& store_;
    std::function<void(const QString&)> log_;
    QString runKey_;   // this room run's own, so its games are told apart from every other's
    int purchases_ = 0;
    std::deque<Write> pending_;
};

// The record of a decided game: the names in their chairs, who escaped (and so pays the penalty
// on top of the change), the game's deal, moves and result.
StoredGame RecordOf(const GameRound& game, const std::array<int32_t, 4>& changes, const std::array<QString, 4>& names,
                    const std::array<bool, 4>& escaped, int penalty, int stake, int decks);

// What --standings prints: a header, then one tab-separated line per name.
QStringList StandingsLines(const std::vector<Standing>& standings);
// What --history prints: one tab-separated line per game.
QStringList HistoryLines(const std::vector<StoredGame>& games);
