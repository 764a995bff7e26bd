#pragma once
// The room's memory: each name's record and items, and every finished game, in a database
// through Qt SQL. A SQLite file is the default; a PostgreSQL server (for rooms on several
// machines sharing one record) takes the same schema and the same statements.
//
// Several rooms may use one store at once. Nothing is read, changed and written back: a game adds
// to the players' rows in SQL (score = score + ?), so another room's additions are never lost.
// A game and the scores it changed are one transaction, and so is a purchase with its items.
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "server/items.h"

struct PlayerRecord {
    qint64 Score = 0, Games = 0, Won = 0, Lost = 0, Drawn = 0, Escapes = 0;
    std::vector<OwnedItem> Items;
};

struct Standing {
    QString Name;
    PlayerRecord Record;   // without the items
};

// One move of a game: the chair and its cards, none for a pass.
struct StoredMove {
    uint8_t Chair = 0;
    std::vector<uint8_t> Cards;
};

struct StoredChair {
    QString Name;
    std::vector<uint8_t> Dealt;
    int32_t Change = 0;    // the game's change for this chair (the changes add up by the scoring rule)
    int32_t Penalty = 0;   // taken on top for an escape
    bool Escaped = false;
    uint8_t Place = 0;     // 1..4 in the order the hands ran out, 0 for a hand left
};

struct StoredGame {
    qint64 Id = 0;         // its number in the store
    QString RoomKey;       // one per room run and game: a write tried again is never counted twice
    int RoomGameNo = 0;    // the game's number in the room that played it
    QDateTime Started, Ended;
    int Decks = 1;
    int Stake = 10;
    uint8_t Lead = 0;
    std::vector<uint8_t> Spare;
    std::array<StoredChair, 4> Chairs;
    std::vector<StoredMove> Moves;
    std::array<int32_t, 2> TeamScore{};
};

class Store {
public:
    // The schema this room writes; an older store is brought up to it at open, a newer one refused.
    static constexpr int kSchemaVersion = 1;
    // How long a statement waits for another room's lock before it gives up.
    static constexpr int kBusyMs = 3000;

    // The store named by `where`: a SQLite file (created when missing), or
    // postgresql://USER@HOST:PORT/DBNAME (the password from PGPASSWORD or ~/.pgpass). Created or
    // upgraded inside one transaction. Null, with a one-line reason, when it cannot be used; such
    // a store is left as it was.
    static std::unique_ptr<Store> open(const QString& where, QString& error);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // The name's record and items; a name seen for the first time gets a row and the starter items.
    bool loadPlayer(const QString& name, const QDateTime& now, PlayerRecord& out, QString& error);
    // A finished game and what it does to its players' rows, in one transaction; sets game.Id. A
    // game whose RoomKey is stored already is not written again.
    bool saveGame(StoredGame& game, QString& error);
    // A purchase of itemId by name at `now` (pieces and hours as the catalogue says), with the
    // name's items, in one transaction; `items` becomes the name's items as stored. A purchase
    // whose key is stored already is not made again.
    bool savePurchase(const QString& key, const QString& name, int32_t itemId, const QDateTime& now,
                      std::vector<OwnedItem>& items, QString& error);

    // Every name, highest score first (equal scores by name).
    bool standings(std::vector<Standing>& out, QString& error);
    // Every game without its deal and moves, the last to end first.
    bool history(std::vector<StoredGame>& out, QString& error);
    // One game whole; false with a reason when there is no such game.
    bool loadGame(qint64 id, StoredGame& out, QString& error);

    QString where() const { return where_; }

private:
    Store() = default;
    bool openSqlite(QString& error);
    bool openPostgres(const QString& where, QString& error);
    bool prepareSchema(QString& error);
    bool readVersion(int& version, bool& foreign, QString& error);
    bool begin(QString& error);
    bool commit(QString& error);
    void rollback();
    // After a failed write the link may be gone (a server restarted): the next write reconnects.
    bool ensureOpen(QString& error);
    bool readItems(const QString& name, std::vector<OwnedItem>& items, QString& error);

    QString where_;
    QString connection_;
    bool postgres_ = false;
    bool broken_ = false;
};

// The text a store gives for a name: control characters (a tab above all) written as \xNN, so
// one name stays one field of the tab-separated lists.
QString StoreFieldText(const QString& text);
