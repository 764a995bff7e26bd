#include "server/store.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>
#include <QVariant>
#include <algorithm>
#include <map>

#include "server/cardtext.h"

namespace {

QAtomicInt connections;

// The steps from each version to the next; step v takes a store of version v to v + 1. The
// identity column is the one thing the two databases spell differently.
QStringList UpgradeStep(int from, bool postgres)
{
    const QString id = postgres ? QStringLiteral("BIGSERIAL PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY");
    switch (from) {
    case 0:
        return {
            QStringLiteral("CREATE TABLE store_version (version INTEGER NOT NULL)"),
            QStringLiteral("CREATE TABLE players (name TEXT PRIMARY KEY, score BIGINT NOT NULL DEFAULT 0,"
                           " games BIGINT NOT NULL DEFAULT 0, won BIGINT NOT NULL DEFAULT 0,"
                           " lost BIGINT NOT NULL DEFAULT 0, drawn BIGINT NOT NULL DEFAULT 0,"
                           " escapes BIGINT NOT NULL DEFAULT 0)"),
            QStringLiteral("CREATE TABLE items (name TEXT NOT NULL REFERENCES players(name), item INTEGER NOT NULL,"
                           " count BIGINT NOT NULL, expiry BIGINT NOT NULL, PRIMARY KEY (name, item))"),
            QStringLiteral("CREATE TABLE games (id %1, room_key TEXT NOT NULL UNIQUE, room_game INTEGER NOT NULL,"
                           " started BIGINT NOT NULL, ended BIGINT NOT NULL, decks INTEGER NOT NULL,"
                           " stake INTEGER NOT NULL, lead INTEGER NOT NULL, spare TEXT NOT NULL,"
                           " team0 INTEGER NOT NULL, team1 INTEGER NOT NULL)").arg(id),
            QStringLiteral("CREATE TABLE game_chairs (game BIGINT NOT NULL REFERENCES games(id), chair INTEGER NOT NULL,"
                           " name TEXT NOT NULL, dealt TEXT NOT NULL, change INTEGER NOT NULL,"
                           " penalty INTEGER NOT NULL, escaped INTEGER NOT NULL, place INTEGER NOT NULL,"
                           " PRIMARY KEY (game, chair))"),
            QStringLiteral("CREATE TABLE moves (game BIGINT NOT NULL REFERENCES games(id), seq INTEGER NOT NULL,"
                           " chair INTEGER NOT NULL, cards TEXT NOT NULL, PRIMARY KEY (game, seq))"),
            QStringLiteral("CREATE TABLE purchases (id %1, room_key TEXT NOT NULL UNIQUE, name TEXT NOT NULL,"
                           " item INTEGER NOT NULL, at BIGINT NOT NULL)").arg(id),
            QStringLiteral("CREATE INDEX games_ended ON games (ended)"),
        };
    default:
        return {};
    }
}

// The driver's words, with what they mean for the one who runs the room in front.
QString Explained(const QString& why)
{
    const auto has = [&](const char* w) { return why.contains(QLatin1String(w), Qt::CaseInsensitive); };
    if (has("database is locked") || has("lock timeout"))
        return QStringLiteral("another program holds it locked (waited %1 s): %2").arg(Store::kBusyMs / 1000).arg(why);
    if (has("readonly") || has("read-only")) return QStringLiteral("it is read-only: ") + why;
    if (has("not a database")) return QStringLiteral("it is not a database: ") + why;
    if (has("unable to open database file")) return QStringLiteral("it cannot be opened or created (is its folder there?): ") + why;
    return why;
}

QString ErrorText(const QSqlError& e)
{
    QString t = e.text().trimmed();
    if (t.isEmpty()) t = QStringLiteral("unknown error");
    return t.simplified();
}

qint64 Ms(const QDateTime& t) { return t.isValid() ? t.toMSecsSinceEpoch() : 0; }
QDateTime FromMs(qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()); }
qint64 Secs(const QDateTime& t) { return t.toSecsSinceEpoch(); }

// A value to bind: an empty text is an empty text, not NULL.
template <typename V>
QVariant Bound(const V& v)
{
    return QVariant::fromValue(v);
}
template <>
QVariant Bound<QString>(const QString& v)
{
    return QVariant(v.isNull() ? QString(QLatin1String("")) : v);
}

// A query bound to the store's connection, its values given in order.
struct Statement {
    QSqlQuery q;
    Statement(const QSqlDatabase& db, const QString& sql) : q(db) { q.prepare(sql); }
    template <typename... V>
    bool run(QString& error, const V&... values)
    {
        (q.addBindValue(Bound(values)), ...);
        if (q.exec()) return true;
        error = ErrorText(q.lastError());
        return false;
    }
};

}  // namespace

QString StoreFieldText(const QString& text)
{
    QString out;
    for (const QChar ch : text) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7f) out += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
        else out += ch;
    }
    return out;
}

std::unique_ptr<Store> Store::open(const QString& where, QString& error)
{
    std::unique_ptr<Store> s(new Store);
    // A password given in the address stays out of every message.
    s->where_ = where.contains(QLatin1String("://")) ? QUrl(where).toString(QUrl::RemovePassword) : where;
    s->connection_ = QStringLiteral("kvrn-store-%1").arg(connections.fetchAndAddRelaxed(1));
    const bool pg = where.startsWith(QLatin1String("postgresql://")) || where.startsWith(QLatin1String("postgres://"));
    s->postgres_ = pg;
    QString why;
    if (!(pg ? s->openPostgres(where, why) : s->openSqlite(why)) || !s->prepareSchema(why)) {
        error = QStringLiteral("the store %1 cannot be used: %2").arg(s->where_, Explained(why));
        return nullptr;
    }
    return s;
}

Store::~Store()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

bool Store::openSqlite(QString& error)
{
    const QFileInfo info(where_);
    if (info.isDir()) {
        error = QStringLiteral("it is a folder, not a file");
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        error = QStringLiteral("Qt's SQLite driver is not installed (Debian: libqt6sql6-sqlite)");
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(where_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyMs));
    if (!db.open()) {
        error = ErrorText(db.lastError());
        return false;
    }
    // Read first: nothing is written to a file that turns out not to be a store of ours, or one
    // of a newer room.
    int version = 0;
    bool foreign = false;
    if (!readVersion(version, foreign, error)) return false;
    if (foreign) {
        error = QStringLiteral("it is a database of something else (it has tables but no store_version)");
        return false;
    }
    if (version > kSchemaVersion) {
        error = QStringLiteral("it was written by a newer room (store version %1, this room knows %2); it is left as it is")
                    .arg(version).arg(kSchemaVersion);
        return false;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next()) {
        error = ErrorText(q.lastError());
        return false;
    }
    if (q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
        error = QStringLiteral("it cannot be switched to write-ahead logging (journal mode %1)").arg(q.value(0).toString());
        return false;
    }
    // A finished game is on the disk when the transaction returns, not only in the system's cache.
    if (!q.exec(QStringLiteral("PRAGMA synchronous=FULL")) || !q.exec(QStringLiteral("PRAGMA foreign_keys=ON"))) {
        error = ErrorText(q.lastError());
        return false;
    }
    return true;
}

bool Store::openPostgres(const QString& where, QString& error)
{
    const QUrl url(where, QUrl::StrictMode);
    const QString dbName = url.path().mid(1);
    if (!url.isValid() || url.host().isEmpty() || dbName.isEmpty() || dbName.contains(QLatin1Char('/'))) {
        error = QStringLiteral("write it as postgresql://USER@HOST:PORT/DBNAME");
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        error = QStringLiteral("Qt's PostgreSQL driver is not installed (Debian: libqt6sql6-psql)");
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection_);
    db.setHostName(url.host());
    db.setPort(url.port(5432));
    db.setDatabaseName(dbName);
    if (!url.userName().isEmpty()) db.setUserName(url.userName());
    // The password, when the address has none, comes from PGPASSWORD or ~/.pgpass, as the
    // server's own tools take it.
    if (!url.password().isEmpty()) db.setPassword(url.password());
    // A server that goes silent (a cable pulled, a machine gone) is given up within seconds rather
    // than holding the table: the link's own checks, not only the server's answers.
    db.setConnectOptions(QStringLiteral("connect_timeout=5;keepalives=1;keepalives_idle=5;keepalives_interval=2;"
                                        "keepalives_count=3;tcp_user_timeout=10000"));
    if (!db.open()) {
        error = ErrorText(db.lastError());
        return false;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SET lock_timeout = %1").arg(kBusyMs))) {
        error = ErrorText(q.lastError());
        return false;
    }
    return true;
}

bool Store::readVersion(int& version, bool& foreign, QString& error)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    // A file that is no database fails here, at its first read.
    if (!q.exec(postgres_ ? QStringLiteral("SELECT 1") : QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        error = ErrorText(q.lastError());
        return false;
    }
    const QStringList tables = db.tables(QSql::Tables);
    version = 0;
    foreign = false;
    if (!tables.contains(QStringLiteral("store_version"))) {
        foreign = !tables.isEmpty();
        return true;
    }
    if (!q.exec(QStringLiteral("SELECT max(version) FROM store_version"))) {
        error = ErrorText(q.lastError());
        return false;
    }
    version = q.next() ? q.value(0).toInt() : 0;
    return true;
}

bool Store::prepareSchema(QString& error)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!begin(error)) return false;
    QSqlQuery q(db);
    // Two rooms starting at once: the second waits here and finds the schema made.
    if (postgres_ && !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7254101)"))) {
        error = ErrorText(q.lastError());
        rollback();
        return false;
    }
    int version = 0;
    bool foreign = false;
    if (!readVersion(version, foreign, error)) {
        rollback();
        return false;
    }
    if (foreign && !postgres_) {
        rollback();
        error = QStringLiteral("it is a database of something else (it has tables but no store_version)");
        return false;
    }
    if (version > kSchemaVersion) {
        rollback();
        error = QStringLiteral("it was written by a newer room (store version %1, this room knows %2); it is left as it is")
                    .arg(version).arg(kSchemaVersion);
        return false;
    }
    for (int v = version; v < kSchemaVersion; ++v)
        for (const QString& sql : UpgradeStep(v, postgres_))
            if (!q.exec(sql)) {
                error = QStringLiteral("upgrading from version %1: %2").arg(v).arg(ErrorText(q.lastError()));
                rollback();
                return false;
            }
    // Written even when nothing changed: a store this room may read but not write (a read-only
    // file, a lock held past the wait) is found now, not at the end of the first game.
    const QString stamp = version == 0 ? QStringLiteral("INSERT INTO store_version (version) VALUES (%1)")
                                       : QStringLiteral("UPDATE store_version SET version = %1");
    if (!q.exec(stamp.arg(kSchemaVersion))) {
        error = ErrorText(q.lastError());
        rollback();
        return false;
    }
    return commit(error);
}

bool Store::begin(QString& error)
{
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    // IMMEDIATE: the write lock is taken at once (waiting the busy time), never upgraded from a
    // read halfway through, which another room's write could refuse outright.
    if (q.exec(postgres_ ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"))) return true;
    error = ErrorText(q.lastError());
    broken_ = true;
    return false;
}

bool Store::commit(QString& error)
{
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (q.exec(QStringLiteral("COMMIT"))) return true;
    error = ErrorText(q.lastError());
    rollback();
    return false;
}

void Store::rollback()
{
    broken_ = true;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.exec(QStringLiteral("ROLLBACK"));
}

bool Store::ensureOpen(QString& error)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!broken_ && db.isOpen()) return true;
    if (postgres_) {
        // A lost server leaves the link dead; a fresh one costs little next to a lost game.
        QSqlQuery ping(db);
        if (!db.isOpen() || !ping.exec(QStringLiteral("SELECT 1"))) {
            ping.finish();
            db.close();
            if (!db.open()) {
                error = ErrorText(db.lastError());
                return false;
            }
            QSqlQuery q(db);
            q.exec(QStringLiteral("SET lock_timeout = %1").arg(kBusyMs));
        }
    } else if (!db.isOpen() && !db.open()) {
        error = ErrorText(db.lastError());
        return false;
    }
    broken_ = false;
    return true;
}

bool Store::readItems(const QString& name, std::vector<OwnedItem>& items, QString& error)
{
    Statement s(QSqlDatabase::database(connection_, false),
                QStringLiteral("SELECT item, count, expiry FROM items WHERE name = ? ORDER BY item"));
    if (!s.run(error, name)) return false;
    items.clear();
    while (s.q.next())
        items.push_back({s.q.value(0).toInt(), int(std::clamp<qint64>(s.q.value(1).toLongLong(), 0, INT32_MAX)),
                         QDateTime::fromSecsSinceEpoch(s.q.value(2).toLongLong())});
    return true;
}

bool Store::loadPlayer(const QString& name, const QDateTime& now, PlayerRecord& out, QString& error)
{
    if (!ensureOpen(error)) return false;
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const auto read = [&]() -> bool {
        Statement s(db, QStringLiteral("SELECT score, games, won, lost, drawn, escapes FROM players WHERE name = ?"));
        if (!s.run(error, name)) return false;
        if (!s.q.next()) return false;
        out.Score = s.q.value(0).toLongLong();
        out.Games = s.q.value(1).toLongLong();
        out.Won = s.q.value(2).toLongLong();
        out.Lost = s.q.value(3).toLongLong();
        out.Drawn = s.q.value(4).toLongLong();
        out.Escapes = s.q.value(5).toLongLong();
        s.q.finish();
        return readItems(name, out.Items, error);
    };
    // A name seen before is only read: sitting down takes no write lock from the other rooms.
    if (read()) return true;
    if (!error.isEmpty()) return false;
    if (!begin(error)) return false;
    Statement add(db, QStringLiteral("INSERT INTO players (name) VALUES (?) ON CONFLICT (name) DO NOTHING"));
    if (!add.run(error, name)) return rollback(), false;
    // Another room may have made the row meanwhile; then its starter items are there already.
    if (add.q.numRowsAffected() == 1) {
        Statement item(db, QStringLiteral("INSERT INTO items (name, item, count, expiry) VALUES (?, ?, ?, ?)"));
        for (const OwnedItem& o : StarterItems(now))
            if (!item.run(error, name, qint32(o.Id), qint64(o.Count), Secs(o.Expiry))) return rollback(), false;
    }
    if (!commit(error)) return false;
    if (read()) return true;
    if (error.isEmpty()) error = QStringLiteral("the record of %1 is not there after it was made").arg(name);
    return false;
}

bool Store::saveGame(StoredGame& g, QString& error)
{
    if (!ensureOpen(error) || !begin(error)) return false;
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    {
        Statement seen(db, QStringLiteral("SELECT id FROM games WHERE room_key = ?"));
        if (!seen.run(error, g.RoomKey)) return rollback(), false;
        if (seen.q.next()) {
            // Written before, though the answer was lost: the game counts once.
            g.Id = seen.q.value(0).toLongLong();
            seen.q.finish();
            return commit(error);
        }
    }
    Statement game(db, QStringLiteral("INSERT INTO games (room_key, room_game, started, ended, decks, stake, lead, spare,"
                                      " team0, team1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
    if (!game.run(error, g.RoomKey, qint32(g.RoomGameNo), Ms(g.Started), Ms(g.Ended), qint32(g.Decks), qint32(g.Stake),
                  qint32(g.Lead), CardsText(g.Spare), qint32(g.TeamScore[0]), qint32(g.TeamScore[1])))
        return rollback(), false;
    if (!game.q.next()) {
        error = QStringLiteral("the new game has no number");
        return rollback(), false;
    }
    const qint64 id = game.q.value(0).toLongLong();
    game.q.finish();
    Statement chair(db, QStringLiteral("INSERT INTO game_chairs (game, chair, name, dealt, change, penalty, escaped, place)"
                                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    Statement player(db, QStringLiteral("INSERT INTO players (name) VALUES (?) ON CONFLICT (name) DO NOTHING"));
    // Added where it stands: another room's game ending at the same time adds its own.
    Statement add(db, QStringLiteral("UPDATE players SET score = score + ?, games = games + 1, won = won + ?,"
                                     " lost = lost + ?, drawn = drawn + ?, escapes = escapes + ? WHERE name = ?"));
    for (int c = 0; c < 4; ++c) {
        const StoredChair& s = g.Chairs[size_t(c)];
        const qint64 change = s.Change;
        if (!chair.run(error, id, qint32(c), s.Name, CardsText(s.Dealt), qint32(s.Change), qint32(s.Penalty),
                       qint32(s.Escaped ? 1 : 0), qint32(s.Place)) ||
            !player.run(error, s.Name) ||
            !add.run(error, change - s.Penalty, qint64(change > 0), qint64(change < 0), qint64(change == 0),
                     qint64(s.Escaped ? 1 : 0), s.Name))
            return rollback(), false;
    }
    Statement move(db, QStringLiteral("INSERT INTO moves (game, seq, chair, cards) VALUES (?, ?, ?, ?)"));
    for (size_t i = 0; i < g.Moves.size(); ++i)
        if (!move.run(error, id, qint32(i), qint32(g.Moves[i].Chair), CardsText(g.Moves[i].Cards))) return rollback(), false;
    if (!commit(error)) return false;
    g.Id = id;
    return true;
}

bool Store::savePurchase(const QString& key, const QString& name, int32_t itemId, const QDateTime& now,
                         std::vector<OwnedItem>& items, QString& error)
{
    const ItemInfo* info = FindItem(itemId);
    if (!info) {
        error = QStringLiteral("no item %1").arg(itemId);
        return false;
    }
    if (!ensureOpen(error) || !begin(error)) return false;
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    Statement seen(db, QStringLiteral("SELECT 1 FROM purchases WHERE room_key = ?"));
    if (!seen.run(error, key)) return rollback(), false;
    if (!seen.q.next()) {
        seen.q.finish();
        const qint64 at = Secs(now);
        Statement player(db, QStringLiteral("INSERT INTO players (name) VALUES (?) ON CONFLICT (name) DO NOTHING"));
        Statement row(db, QStringLiteral("INSERT INTO items (name, item, count, expiry) VALUES (?, ?, 0, ?)"
                                         " ON CONFLICT (name, item) DO NOTHING"));
        // The validity runs on from the later of now and the old expiry, as in the room.
        Statement add(db, QStringLiteral("UPDATE items SET count = count + ?,"
                                         " expiry = (CASE WHEN expiry > ? THEN expiry ELSE ? END) + ?"
                                         " WHERE name = ? AND item = ?"));
        Statement log(db, QStringLiteral("INSERT INTO purchases (room_key, name, item, at) VALUES (?, ?, ?, ?)"));
        if (!player.run(error, name) || !row.run(error, name, qint32(itemId), at) ||
            !add.run(error, qint64(info->Count), at, at, qint64(info->Hours) * 3600, name, qint32(itemId)) ||
            !log.run(error, key, name, qint32(itemId), at))
            return rollback(), false;
    }
    seen.q.finish();
    if (!readItems(name, items, error)) return rollback(), false;
    return commit(error);
}

bool Store::standings(std::vector<Standing>& out, QString& error)
{
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!q.exec(QStringLiteral("SELECT name, score, games, won, lost, drawn, escapes FROM players"))) {
        error = ErrorText(q.lastError());
        return false;
    }
    out.clear();
    while (q.next()) {
        Standing s;
        s.Name = q.value(0).toString();
        s.Record.Score = q.value(1).toLongLong();
        s.Record.Games = q.value(2).toLongLong();
        s.Record.Won = q.value(3).toLongLong();
        s.Record.Lost = q.value(4).toLongLong();
        s.Record.Drawn = q.value(5).toLongLong();
        s.Record.Escapes = q.value(6).toLongLong();
        out.push_back(std::move(s));
    }
    // Sorted here, not by the database: the two order names by different rules.
    std::stable_sort(out.begin(), out.end(), [](const Standing& a, const Standing& b) {
        return a.Record.Score != b.Record.Score ? a.Record.Score > b.Record.Score : a.Name < b.Name;
    });
    return true;
}

bool Store::history(std::vector<StoredGame>& out, QString& error)
{
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT id, room_key, room_game, started, ended, decks, stake, lead, team0, team1 FROM games"
                               " ORDER BY ended DESC, id DESC"))) {
        error = ErrorText(q.lastError());
        return false;
    }
    out.clear();
    std::map<qint64, size_t> at;
    while (q.next()) {
        StoredGame g;
        g.Id = q.value(0).toLongLong();
        g.RoomKey = q.value(1).toString();
        g.RoomGameNo = q.value(2).toInt();
        g.Started = FromMs(q.value(3).toLongLong());
        g.Ended = FromMs(q.value(4).toLongLong());
        g.Decks = q.value(5).toInt();
        g.Stake = q.value(6).toInt();
        g.Lead = uint8_t(q.value(7).toInt() & 3);
        g.TeamScore = {q.value(8).toInt(), q.value(9).toInt()};
        at[g.Id] = out.size();
        out.push_back(std::move(g));
    }
    if (!q.exec(QStringLiteral("SELECT game, chair, name, change, penalty, escaped, place FROM game_chairs"))) {
        error = ErrorText(q.lastError());
        return false;
    }
    while (q.next()) {
        const auto it = at.find(q.value(0).toLongLong());
        const int c = q.value(1).toInt();
        if (it == at.end() || c < 0 || c > 3) continue;
        StoredChair& s = out[it->second].Chairs[size_t(c)];
        s.Name = q.value(2).toString();
        s.Change = q.value(3).toInt();
        s.Penalty = q.value(4).toInt();
        s.Escaped = q.value(5).toInt() != 0;
        s.Place = uint8_t(q.value(6).toInt());
    }
    return true;
}

bool Store::loadGame(qint64 id, StoredGame& g, QString& error)
{
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    Statement game(db, QStringLiteral("SELECT room_key, room_game, started, ended, decks, stake, lead, spare, team0, team1"
                                      " FROM games WHERE id = ?"));
    if (!game.run(error, id)) return false;
    if (!game.q.next()) {
        error = QStringLiteral("the store %1 has no game %2").arg(where_).arg(id);
        return false;
    }
    g = StoredGame();
    g.Id = id;
    g.RoomKey = game.q.value(0).toString();
    g.RoomGameNo = game.q.value(1).toInt();
    g.Started = FromMs(game.q.value(2).toLongLong());
    g.Ended = FromMs(game.q.value(3).toLongLong());
    g.Decks = game.q.value(4).toInt();
    g.Stake = game.q.value(5).toInt();
    g.Lead = uint8_t(game.q.value(6).toInt() & 3);
    const auto spare = ParseCardsText(game.q.value(7).toString());
    g.TeamScore = {game.q.value(8).toInt(), game.q.value(9).toInt()};
    bool sound = spare.has_value() && (g.Decks == 1 || g.Decks == 2);
    if (spare) g.Spare = *spare;
    Statement chairs(db, QStringLiteral("SELECT chair, name, dealt, change, penalty, escaped, place FROM game_chairs"
                                        " WHERE game = ? ORDER BY chair"));
    if (!chairs.run(error, id)) return false;
    int seen = 0;
    while (chairs.q.next()) {
        const int c = chairs.q.value(0).toInt();
        const auto dealt = ParseCardsText(chairs.q.value(2).toString());
        if (c < 0 || c > 3 || !dealt) {
            sound = false;
            continue;
        }
        StoredChair& s = g.Chairs[size_t(c)];
        s.Name = chairs.q.value(1).toString();
        s.Dealt = *dealt;
        s.Change = chairs.q.value(3).toInt();
        s.Penalty = chairs.q.value(4).toInt();
        s.Escaped = chairs.q.value(5).toInt() != 0;
        s.Place = uint8_t(chairs.q.value(6).toInt());
        seen |= 1 << c;
    }
    Statement moves(db, QStringLiteral("SELECT chair, cards FROM moves WHERE game = ? ORDER BY seq"));
    if (!moves.run(error, id)) return false;
    while (moves.q.next()) {
        const auto cards = ParseCardsText(moves.q.value(1).toString());
        const int c = moves.q.value(0).toInt();
        if (!cards || c < 0 || c > 3) {
            sound = false;
            break;
        }
        g.Moves.push_back({uint8_t(c), *cards});
    }
    if (!sound || seen != 0xf) {
        error = QStringLiteral("game %1 of the store %2 is damaged").arg(id).arg(where_);
        return false;
    }
    return true;
}
