// The store under two rooms at once, and under writes it refuses for a while, on SQLite and on a
// PostgreSQL server of the test's own.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimeZone>

#include "pgserver.h"
#include "server/records.h"
#include "server/store.h"

using namespace servertest;

namespace {

PgServer& Pg() { return SharedPg(); }

struct StoreTest : StoreBackendTest {
    std::unique_ptr<Store> open()
    {
        QString error;
        auto s = Store::open(store, error);
        EXPECT_TRUE(s) << error.toStdString();
        return s;
    }
};

// A game of four names with these changes; chair 0 escaped when asked.
StoredGame Game(const QString& key, std::array<int32_t, 4> changes, bool escape = false)
{
    StoredGame g;
    g.RoomKey = key;
    g.RoomGameNo = 1;
    g.Started = g.Ended = QDateTime::currentDateTimeUtc();
    const QStringList names{"甲", "乙", "丙", "丁"};
    for (int c = 0; c < 4; ++c) {
        g.Chairs[size_t(c)].Name = names[c];
        g.Chairs[size_t(c)].Change = changes[size_t(c)];
        g.Chairs[size_t(c)].Dealt = {uint8_t(c)};
    }
    g.Chairs[0].Escaped = escape;
    g.Chairs[0].Penalty = escape ? 20 : 0;
    g.Moves = {{0, {0}}, {1, {}}, {2, {}}};
    return g;
}

std::map<QString, PlayerRecord> Standings(Store& s)
{
    std::vector<Standing> list;
    QString error;
    EXPECT_TRUE(s.standings(list, error)) << error.toStdString();
    std::map<QString, PlayerRecord> out;
    for (const Standing& x : list) out[x.Name] = x.Record;
    return out;
}

// Two rooms on one store: each adds its games and purchases to the shared rows, neither
// overwrites the other's, and a game written again after a lost answer counts once.
TEST_P(StoreTest, TwoRoomsAddToTheSameRows)
{
    auto a = open(), b = open();
    ASSERT_TRUE(a && b);
    const QDateTime now = QDateTime::currentDateTime();
    PlayerRecord ra, rb;
    QString error;
    ASSERT_TRUE(a->loadPlayer(QStringLiteral("甲"), now, ra, error)) << error.toStdString();
    ASSERT_TRUE(b->loadPlayer(QStringLiteral("甲"), now, rb, error)) << error.toStdString();
    EXPECT_EQ(ra.Items.size(), 2u) << "the starter items, once";
    EXPECT_EQ(rb.Items.size(), 2u);

    for (int i = 0; i < 5; ++i) {
        StoredGame ga = Game(QStringLiteral("a/%1").arg(i), {10, -10, 10, -10});
        StoredGame gb = Game(QStringLiteral("b/%1").arg(i), {-10, 10, -10, 10}, i == 4);
        ASSERT_TRUE(a->saveGame(ga, error)) << error.toStdString();
        ASSERT_TRUE(b->saveGame(gb, error)) << error.toStdString();
        EXPECT_NE(ga.Id, gb.Id);
    }
    StoredGame again = Game(QStringLiteral("a/0"), {10, -10, 10, -10});
    ASSERT_TRUE(b->saveGame(again, error));
    std::map<QString, PlayerRecord> s = Standings(*a);
    EXPECT_EQ(s[QStringLiteral("甲")].Score, -20);
    EXPECT_EQ(s[QStringLiteral("甲")].Games, 10);
    EXPECT_EQ(s[QStringLiteral("甲")].Won, 5);
    EXPECT_EQ(s[QStringLiteral("甲")].Lost, 5);
    EXPECT_EQ(s[QStringLiteral("甲")].Escapes, 1);
    EXPECT_EQ(s[QStringLiteral("乙")].Score, 0);

    std::vector<OwnedItem> items;
    ASSERT_TRUE(a->savePurchase(QStringLiteral("a/buy/1"), QStringLiteral("甲"), 5007, now, items, error)) << error.toStdString();
    ASSERT_TRUE(b->savePurchase(QStringLiteral("b/buy/1"), QStringLiteral("甲"), 5007, now, items, error)) << error.toStdString();
    ASSERT_TRUE(b->savePurchase(QStringLiteral("b/buy/1"), QStringLiteral("甲"), 5007, now, items, error));
    ASSERT_EQ(items.size(), 3u);
    const OwnedItem& card = items.back();
    EXPECT_EQ(card.Id, 5007);
    EXPECT_EQ(card.Count, 2);
    EXPECT_EQ(card.Expiry.toSecsSinceEpoch(), now.toSecsSinceEpoch() + 48 * 3600) << "the validity runs on";

    std::vector<StoredGame> history;
    ASSERT_TRUE(a->history(history, error));
    EXPECT_EQ(history.size(), 10u);
    StoredGame whole;
    ASSERT_TRUE(b->loadGame(history.front().Id, whole, error)) << error.toStdString();
    EXPECT_EQ(whole.Moves.size(), 3u);
    EXPECT_TRUE(whole.Moves[1].Cards.empty()) << "a pass";
    EXPECT_EQ(whole.Chairs[3].Dealt, std::vector<uint8_t>{3});
    EXPECT_FALSE(b->loadGame(history.front().Id + 100, whole, error));
}

// A write the store refuses (another program's lock past the wait; a lost server) is logged, kept,
// and written before the next game's own once the store takes writes again.
TEST_P(StoreTest, ARefusedWriteIsTriedAgainAtTheNextGame)
{
    auto s = open();
    ASSERT_TRUE(s);
    QStringList log;
    TableRecords records(*s, [&](const QString& l) { log.append(l); });
    PlayerRecord r;
    ASSERT_TRUE(records.load(QStringLiteral("甲"), r));

    QSqlDatabase locker;
    if (GetParam() == Backend::Sqlite) {
        locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        locker.setDatabaseName(store);
        ASSERT_TRUE(locker.open());
        ASSERT_TRUE(QSqlQuery(locker).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    } else {
        ASSERT_TRUE(Pg().stop()) << Pg().failure().toStdString();
    }
    StoredGame first = Game({}, {10, -10, 10, -10});
    records.gameOver(first);
    std::vector<OwnedItem> items;
    records.purchase(QStringLiteral("甲"), 5001, QDateTime::currentDateTime(), items);
    EXPECT_EQ(records.pending(), 2u);
    ASSERT_FALSE(log.filter(QStringLiteral("store refused game=1 kept for the next game")).isEmpty()) << log.join('\n').toStdString();

    if (GetParam() == Backend::Sqlite) {
        QSqlQuery(locker).exec(QStringLiteral("ROLLBACK"));
        locker.close();
        locker = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    } else {
        ASSERT_TRUE(Pg().restart()) << Pg().failure().toStdString();
    }
    StoredGame second = Game({}, {10, -10, 10, -10});
    second.RoomGameNo = 2;
    records.gameOver(second);
    EXPECT_EQ(records.pending(), 0u) << log.join('\n').toStdString();
    std::map<QString, PlayerRecord> st = Standings(*s);
    EXPECT_EQ(st[QStringLiteral("甲")].Games, 2);
    EXPECT_EQ(st[QStringLiteral("甲")].Score, 20);
    ASSERT_TRUE(records.load(QStringLiteral("甲"), r));
    EXPECT_EQ(r.Items.front().Id, 5001);
    EXPECT_EQ(r.Items.front().Count, 20) << "the purchase kept and made";
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreTest, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

// The lists for the people who run the room: a name with a tab or a line break stays one field.
TEST(StoreLines, OneFieldPerValue)
{
    Standing s;
    s.Name = QStringLiteral("a\tb\nc");
    s.Record.Score = -5;
    s.Record.Games = 3;
    const QStringList lines = StandingsLines({s});
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1], QStringLiteral("a\\x09b\\x0ac\t-5\t3\t0\t0\t0\t0"));
    StoredGame g = Game({}, {10, -10, 10, -10});
    g.Id = 7;
    g.Ended = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), QTimeZone::utc());
    EXPECT_EQ(HistoryLines({g}), QStringList{QStringLiteral("7\t2026-01-02T03:04:05Z\t1\t甲\t乙\t丙\t丁\t10\t-10\t10\t-10")});
}

}  // namespace

int main(int argc, char** argv) { return servertest::RunTestsWithSharedPg(argc, argv); }
