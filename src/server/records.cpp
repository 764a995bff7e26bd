#include "server/records.h"

#include <QUuid>

TableRecords::TableRecords(Store& store, std::function<void(const QString&)> log)
    : store_(store), log_(std::move(log)), runKey_(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

void TableRecords::close()
{
    if (pending_.empty()) return;
    if (!flush()) log_(QStringLiteral("store lost waiting=%1 the room ends with writes the store refused").arg(pending_.size()));
}

bool TableRecords::load(const QString& name, PlayerRecord& out)
{
    QString error;
    if (store_.loadPlayer(name, QDateTime::currentDateTime(), out, error)) return true;
    log_(QStringLiteral("store refused name=%1 reading the record: %2").arg(name, error));
    return false;
}

bool TableRecords::write(Write& w, std::vector<OwnedItem>* items, QString& error)
{
    if (StoredGame* g = std::get_if<StoredGame>(&w)) return store_.saveGame(*g, error);
    const Purchase& p = std::get<Purchase>(w);
    std::vector<OwnedItem> stored;
    if (!store_.savePurchase(p.key, p.name, p.item, p.at, stored, error)) return false;
    if (items) *items = std::move(stored);
    return true;
}

bool TableRecords::flush()
{
    while (!pending_.empty()) {
        QString error;
        if (!write(pending_.front(), nullptr, error)) {
            log_(QStringLiteral("store refused waiting=%1 kept for the next game: %2").arg(pending_.size()).arg(error));
            return false;
        }
        if (const StoredGame* g = std::get_if<StoredGame>(&pending_.front()))
            log_(QStringLiteral("stored game=%1 id=%2 late").arg(g->RoomGameNo).arg(g->Id));
        pending_.pop_front();
    }
    return true;
}

void TableRecords::keep(Write w)
{
    if (pending_.size() >= kMaxPending) {
        log_(QStringLiteral("store gave up the oldest waiting write: %1 are waiting").arg(pending_.size()));
        pending_.pop_front();
    }
    pending_.push_back(std::move(w));
}

void TableRecords::gameOver(StoredGame game)
{
    game.RoomKey = QStringLiteral("%1/game/%2").arg(runKey_).arg(game.RoomGameNo);
    Write w = std::move(game);
    QString error;
    if (flush() && write(w, nullptr, error)) {
        const StoredGame& g = std::get<StoredGame>(w);
        log_(QStringLiteral("stored game=%1 id=%2").arg(g.RoomGameNo).arg(g.Id));
        return;
    }
    if (!error.isEmpty())
        log_(QStringLiteral("store refused game=%1 kept for the next game: %2").arg(std::get<StoredGame>(w).RoomGameNo).arg(error));
    keep(std::move(w));
}

void TableRecords::purchase(const QString& name, int32_t itemId, const QDateTime& now, std::vector<OwnedItem>& items)
{
    Write w = Purchase{QStringLiteral("%1/buy/%2").arg(runKey_).arg(++purchases_), name, itemId, now};
    QString error;
    // A purchase waits behind the writes before it: the store sees them in the order they were made.
    if (pending_.empty() && write(w, &items, error)) return;
    if (!error.isEmpty()) log_(QStringLiteral("store refused name=%1 buying item=%2 kept for the next game: %3").arg(name).arg(itemId).arg(error));
    keep(std::move(w));
}

StoredGame RecordOf(const GameRound& game, const std::array<int32_t, 4>& changes, const std::array<QString, 4>& names,
                    const std::array<bool, 4>& escaped, int penalty, int stake, int decks)
{
    StoredGame g;
    g.RoomGameNo = game.No;
    g.Started = game.Started;
    g.Ended = QDateTime::currentDateTimeUtc();
    g.Decks = decks;
    g.Stake = stake;
    g.Lead = game.Lead;
    g.Spare = game.Spare;
    g.TeamScore = game.Round.teamScore();
    for (size_t c = 0; c < 4; ++c) {
        StoredChair& s = g.Chairs[c];
        s.Name = names[c];
        s.Dealt = game.Dealt[c];
        s.Change = changes[c];
        s.Escaped = escaped[c];
        s.Penalty = escaped[c] ? penalty : 0;
        s.Place = game.Round.mingCi()[c];
    }
    g.Moves.reserve(game.Moves.size());
    for (const auto& [chair, cards] : game.Moves) g.Moves.push_back({chair, cards});
    return g;
}

QStringList StandingsLines(const std::vector<Standing>& standings)
{
    QStringList lines{QStringLiteral("name\tscore\tgames\twon\tlost\tdrawn\tescapes")};
    for (const Standing& s : standings) {
        const PlayerRecord& r = s.Record;
        lines.append(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7")
                         .arg(StoreFieldText(s.Name)).arg(r.Score).arg(r.Games).arg(r.Won).arg(r.Lost).arg(r.Drawn).arg(r.Escapes));
    }
    return lines;
}

QStringList HistoryLines(const std::vector<StoredGame>& games)
{
    QStringList lines;
    for (const StoredGame& g : games) {
        QStringList f{QString::number(g.Id), g.Ended.toUTC().toString(Qt::ISODate), QString::number(g.Decks)};
        for (const StoredChair& c : g.Chairs) f.append(StoreFieldText(c.Name));
        for (const StoredChair& c : g.Chairs) f.append(QString::number(c.Change));
        lines.append(f.join(QLatin1Char('\t')));
    }
    return lines;
}
