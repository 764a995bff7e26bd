// The room program with a store, as the people who run it use it, on SQLite and on a PostgreSQL
// server of the test's own: records that carry over from room to room, a room killed at random
// moments that never loses an announced game nor counts a score without its game, stores that
// cannot be used refused at start and left as they were, and a stored game replayed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>
#include <csignal>
#include <cstdio>
#include <map>
#include <random>
#include <set>

#include "../logcheck.h"
#include "../pgserver.h"
#include "../rawpeer.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "protocol/received.h"
#include "server/records.h"
#include "server/store.h"
#include "support/roomprocess.h"

using namespace servertest;
using testsupport::RoomProcess;
using testsupport::WaitFor;

namespace {

QString Program() { return qEnvironmentVariable("KVRN_BIN_DIR") + QStringLiteral("/kvrn-room"); }

struct Outcome {
    int code = -1;
    QStringList out, err;
};

Outcome RunRoom(const QStringList& args, const QStringList& prefix = {}, int ms = 120000)
{
    QProcess p;
    if (prefix.isEmpty()) p.start(Program(), args);
    else p.start(prefix.first(), prefix.mid(1) + QStringList{Program()} + args);
    Outcome r;
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished(3000);
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    r.err = QString::fromUtf8(p.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return r;
}

QByteArray Digest(const QString& path)
{
    QFile f(path);
    if (!f.exists()) return "missing";
    if (!f.open(QIODevice::ReadOnly)) return "unreadable";
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
}

// A client end on loopback that says hello and keeps what the room sends.
struct Peer : RawPeer {
    explicit Peer(quint16 port) : RawPeer(port) { send(BuildHello(1)); }
    bool waitFor(MsgKind kind, int count = 1)
    {
        return WaitFor([&] { return of(kind).size() >= count; });
    }
    // The latest user list: name -> its row's fields.
    std::map<QString, QStringList> rows() const
    {
        std::map<QString, QStringList> out;
        const QList<ReceivedMsg> lists = of(MsgKind::UserList);
        if (lists.isEmpty()) return out;
        for (const QString& row : lists.back().as<UserListMsg>()->rows.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList f = row.split(QLatin1Char('`'));
            out[f.value(UF_Name)] = f;
        }
        return out;
    }
};

// A record as the log of the rooms that played tells it: what --standings must show.
struct Tally {
    qint64 score = 0, games = 0, won = 0, lost = 0, drawn = 0, escapes = 0;
};

// Adds every announced game of a room's log to the names' tallies.
void AddLog(std::map<QString, Tally>& t, const QStringList& lines)
{
    std::map<int, std::array<QString, 4>> names;
    for (const QString& l : lines) {
        if (l.startsWith(QLatin1String("deal game=")))
            names[Field(l, "game").toInt()][size_t(Field(l, "chair").toInt() & 3)] = Field(l, "name");
        if (l.startsWith(QLatin1String("escape game=")))
            t[Field(l, "name")].score -= Field(l, "penalty").toInt(), ++t[Field(l, "name")].escapes;
        if (!l.startsWith(QLatin1String("over game="))) continue;
        const QStringList changes = Field(l, "changes").split(QLatin1Char(','));
        for (int c = 0; c < 4; ++c) {
            Tally& x = t[names[Field(l, "game").toInt()][size_t(c)]];
            const int ch = changes.value(c).toInt();
            x.score += ch;
            ++x.games;
            (ch > 0 ? x.won : ch < 0 ? x.lost : x.drawn) += 1;
        }
    }
}

std::map<QString, Tally> Standings(const QString& store)
{
    const Outcome r = RunRoom({"--db", store, "--standings"});
    std::map<QString, Tally> out;
    EXPECT_EQ(r.code, 0) << r.err.join('\n').toStdString();
    EXPECT_EQ(r.out.value(0), QStringLiteral("name\tscore\tgames\twon\tlost\tdrawn\tescapes"));
    qint64 last = std::numeric_limits<qint64>::max();
    for (const QString& l : r.out.mid(1)) {
        const QStringList f = l.split(QLatin1Char('\t'));
        EXPECT_EQ(f.size(), 7) << l.toStdString();
        EXPECT_LE(f.value(1).toLongLong(), last) << "highest score first";
        last = f.value(1).toLongLong();
        out[f.value(0)] = {f.value(1).toLongLong(), f.value(2).toLongLong(), f.value(3).toLongLong(),
                           f.value(4).toLongLong(), f.value(5).toLongLong(), f.value(6).toLongLong()};
    }
    return out;
}

void ExpectSame(const std::map<QString, Tally>& got, const std::map<QString, Tally>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (const auto& [name, w] : want) {
        const auto it = got.find(name);
        ASSERT_NE(it, got.end()) << name.toStdString();
        const Tally& g = it->second;
        EXPECT_EQ(std::tie(g.score, g.games, g.won, g.lost, g.drawn, g.escapes),
                  std::tie(w.score, w.games, w.won, w.lost, w.drawn, w.escapes))
            << name.toStdString();
    }
}

bool Finished(RoomProcess& r)
{
    return r.proc.state() == QProcess::NotRunning || r.proc.waitForFinished(testsupport::kHangMs * 2);
}

PgServer& Pg() { return SharedPg(); }

// Each test runs on a fresh SQLite file and on a fresh database of the test's PostgreSQL server.
using Records = StoreBackendTest;

const QStringList kBots{"--bots", "basic,basic,basic,basic", "--bot-delay", "0"};

// A name's record outlives the room: a second room shows the first's figures in its rows, its
// player card and the own-items list, and adds to them; an escape and a purchase count too.
TEST_P(Records, ASecondRoomCarriesOnWhereTheFirstStopped)
{
    const Outcome a = RunRoom(QStringList{"--db", store, "--humans", "0", "--games", "2", "--seed", "11", "--port", "0"} + kBots);
    ASSERT_EQ(a.code, 0) << a.err.join('\n').toStdString();
    std::map<QString, Tally> want;
    AddLog(want, a.out);
    ExpectSame(Standings(store), want);

    std::map<QString, QStringList> seen;
    {
        // A person sits down, buys, and runs away in the middle of the game: the bot plays it out.
        RoomProcess b;
        ASSERT_TRUE(b.start(QStringList{"--db", store, "--humans", "1", "--name", "甲", "--games", "1", "--seed", "12",
                                        "--auto-ready"} + kBots));
        {
            Peer p(b.port);
            ASSERT_TRUE(p.waitFor(MsgKind::MyDaoJuList));
            seen = p.rows();
            p.send(BuildBuyDaoJu(5007));
            ASSERT_TRUE(p.waitFor(MsgKind::MyDaoJuList, 2));
            ASSERT_TRUE(WaitFor([&] { return b.has(QStringLiteral("deal game=1")); }));
        }
        ASSERT_TRUE(Finished(b)) << b.tail(20);
        b.readLines();
        EXPECT_EQ(b.lines.last(), QStringLiteral("done games=1"));
        ASSERT_TRUE(b.has(QStringLiteral("escape game=1 chair=0 name=甲")));
        AddLog(want, b.lines);
    }
    // The rows the person saw on arrival: the bots as the first room left them, a new name blank.
    std::map<QString, Tally> fromA;
    AddLog(fromA, a.out);
    for (const QString& bot : {QStringLiteral("机器人1"), QStringLiteral("机器人2"), QStringLiteral("机器人3")}) {
        ASSERT_TRUE(seen.count(bot)) << bot.toStdString();
        EXPECT_EQ(seen[bot].value(UF_Score).toLongLong(), fromA[bot].score) << bot.toStdString();
        EXPECT_EQ(seen[bot].value(UF_Games).toLongLong(), fromA[bot].games) << bot.toStdString();
        EXPECT_EQ(seen[bot].value(UF_Won).toLongLong(), fromA[bot].won) << bot.toStdString();
    }
    ASSERT_TRUE(seen.count(QStringLiteral("甲")));
    EXPECT_EQ(seen[QStringLiteral("甲")].value(UF_Games), QStringLiteral("0"));
    ExpectSame(Standings(store), want);

    // A third room: the person's own row, card figures and items are those the second left.
    RoomProcess c;
    ASSERT_TRUE(c.start(QStringList{"--db", store, "--humans", "1", "--name", "甲"} + kBots));
    Peer p(c.port);
    ASSERT_TRUE(p.waitFor(MsgKind::MyDaoJuList));
    const QStringList me = p.rows()[QStringLiteral("甲")];
    const Tally& w = want[QStringLiteral("甲")];
    EXPECT_EQ(me.value(UF_Score).toLongLong(), w.score);
    EXPECT_EQ(me.value(UF_Games), QStringLiteral("1"));
    EXPECT_EQ(me.value(UF_EscapeRate), QStringLiteral("100"));
    EXPECT_EQ(me.value(UF_Won).toInt() + me.value(UF_Lost).toInt() + me.value(UF_Drawn).toInt(), 1);
    const QStringList items = p.of(MsgKind::MyDaoJuList).back().as<DaoJuTextMsg>()->text.split(QLatin1Char(':'));
    ASSERT_EQ(items.size() % 3, 0);
    std::map<int, int> counts;
    for (qsizetype i = 0; i + 2 < items.size(); i += 3) counts[items[i].toInt()] = items[i + 1].toInt();
    EXPECT_EQ(counts, (std::map<int, int>{{5001, 10}, {5005, 3}, {5007, 1}})) << "the starter items and the purchase";
    for (const QString& bot : {QStringLiteral("机器人1"), QStringLiteral("机器人2"), QStringLiteral("机器人3")})
        EXPECT_EQ(p.rows()[bot].value(UF_Games).toLongLong(), want[bot].games) << bot.toStdString();
}

// Killed at random moments over runs of quick games: after each kill the store holds every game
// announced over, each with its changes, at most the one game whose end was being announced
// besides, and every name's record is the sum of its stored games.
TEST_P(Records, AKilledRoomLosesNoAnnouncedGame)
{
    const int kills = GetParam() == Backend::Sqlite ? 12 : 8;
    std::mt19937 rng(20261208);
    std::map<qint64, QString> announced;   // store ID -> the over line
    int runsWithGames = 0;
    size_t storedAtEnd = 0;
    for (int k = 0; k < kills; ++k) {
        RoomProcess room;
        ASSERT_TRUE(room.start(QStringList{"--db", store, "--humans", "0", "--seed", QString::number(100 + k)} + kBots));
        // Anywhere from the first game's deal to its fourth game.
        const int target = std::uniform_int_distribution<int>(5, 450)(rng);
        WaitFor([&] { return room.lines.size() >= target || room.proc.state() == QProcess::NotRunning; });
        ::kill(pid_t(room.proc.processId()), SIGKILL);
        ASSERT_TRUE(room.proc.waitForFinished(testsupport::kHangMs));
        room.readLines();
        std::map<int, qint64> ids;
        for (const QString& l : room.lines)
            if (l.startsWith(QLatin1String("stored game="))) ids[Field(l, "game").toInt()] = Field(l, "id").toLongLong();
        int over = 0;
        for (const QString& l : room.lines) {
            if (!l.startsWith(QLatin1String("over game="))) continue;
            ++over;
            const int no = Field(l, "game").toInt();
            ASSERT_TRUE(ids.count(no)) << "announced before it was stored: " << l.toStdString();
            announced[ids[no]] = l;
        }
        runsWithGames += over > 0;

        QString error;
        const std::unique_ptr<Store> s = Store::open(store, error);
        ASSERT_TRUE(s) << error.toStdString();
        std::vector<StoredGame> games;
        ASSERT_TRUE(s->history(games, error)) << error.toStdString();
        std::map<QString, std::set<int>> runs;   // a run's key -> its games' numbers in the room
        std::map<QString, Tally> sums;
        std::set<qint64> stored;
        for (const StoredGame& g : games) {
            stored.insert(g.Id);
            runs[g.RoomKey.section(QLatin1Char('/'), 0, 0)].insert(g.RoomGameNo);
            int32_t total = 0;
            for (const StoredChair& c : g.Chairs) {
                total += c.Change;
                Tally& t = sums[c.Name];
                t.score += c.Change - c.Penalty;
                ++t.games;
                (c.Change > 0 ? t.won : c.Change < 0 ? t.lost : t.drawn) += 1;
                t.escapes += c.Escaped;
            }
            EXPECT_EQ(total, 0) << "game " << g.Id << ": the changes of a game add up to nothing";
            if (const auto it = announced.find(g.Id); it != announced.end()) {
                const QStringList ch = Field(it->second, "changes").split(QLatin1Char(','));
                for (int c = 0; c < 4; ++c) EXPECT_EQ(g.Chairs[size_t(c)].Change, ch.value(c).toInt()) << it->second.toStdString();
            }
        }
        for (const auto& [id, line] : announced) EXPECT_TRUE(stored.count(id)) << "lost: " << line.toStdString();
        // Each run's games are its first n, none missing; at most one per run beyond those announced.
        size_t extra = games.size() - announced.size();
        EXPECT_LE(extra, size_t(k + 1));
        for (const auto& [key, nos] : runs) EXPECT_EQ(*nos.rbegin(), int(nos.size())) << key.toStdString();
        EXPECT_GE(runs.size(), size_t(runsWithGames));
        ExpectSame(Standings(store), sums);
        storedAtEnd = games.size();
    }
    EXPECT_GE(announced.size(), size_t(kills / 2)) << "the kills came too early to test much";
    std::printf("%d kills: %zu games announced over, %zu stored\n", kills, announced.size(), storedAtEnd);
}

// Two rooms on one store at the same time: each adds its games to the shared names' rows.
TEST_P(Records, TwoRoomsAtOnceLoseNoAddition)
{
    RoomProcess a, b;
    ASSERT_TRUE(a.start(QStringList{"--db", store, "--humans", "0", "--games", "6", "--seed", "1"} + kBots));
    ASSERT_TRUE(b.start(QStringList{"--db", store, "--humans", "0", "--games", "6", "--seed", "2"} + kBots));
    ASSERT_TRUE(Finished(a) && Finished(b));
    a.readLines();
    b.readLines();
    ASSERT_EQ(a.lines.last(), QStringLiteral("done games=6")) << a.tail(5);
    ASSERT_EQ(b.lines.last(), QStringLiteral("done games=6")) << b.tail(5);
    std::map<QString, Tally> want;
    AddLog(want, a.lines);
    AddLog(want, b.lines);
    ExpectSame(Standings(store), want);
    const Outcome h = RunRoom({"--db", store, "--history"});
    ASSERT_EQ(h.code, 0);
    ASSERT_EQ(h.out.size(), 12);
    QString lastEnd = QStringLiteral("9999");
    for (const QString& l : h.out) {
        const QStringList f = l.split(QLatin1Char('\t'));
        ASSERT_EQ(f.size(), 11) << l.toStdString();
        EXPECT_TRUE(QDateTime::fromString(f[1], Qt::ISODate).isValid()) << l.toStdString();
        EXPECT_LE(f[1], lastEnd) << "newest first";
        lastEnd = f[1];
        EXPECT_EQ(f[2], QStringLiteral("1"));
        EXPECT_EQ(f[7].toInt() + f[8].toInt() + f[9].toInt() + f[10].toInt(), 0) << l.toStdString();
    }
}

// The lines of one game that a replay must print again, in order.
QStringList GameLines(const QStringList& log, int game)
{
    QStringList out;
    for (const QString& l : log)
        for (const char* w : {"start ", "deal ", "spare ", "play ", "pass ", "trick ", "over "})
            if (l.startsWith(QLatin1String(w)) && Field(l, "game").toInt() == game) out.append(l);
    return out;
}

// A replay sends the stored plays in their order to whoever watches, shows the watched chair's
// cards, prints the lines the game printed, and takes no move from the watcher.
TEST_P(Records, AReplayPlaysTheStoredGameAgain)
{
    const Outcome played = RunRoom(QStringList{"--db", store, "--humans", "0", "--games", "2", "--seed", "21", "--port", "0"} + kBots);
    ASSERT_EQ(played.code, 0) << played.err.join('\n').toStdString();
    const QString stored = [&] {
        for (const QString& l : played.out)
            if (l.startsWith(QLatin1String("stored game=2 "))) return Field(l, "id");
        return QString();
    }();
    ASSERT_FALSE(stored.isEmpty());
    const QStringList original = GameLines(played.out, 2);
    ASSERT_GT(original.size(), 20);

    RoomProcess replay;
    ASSERT_TRUE(replay.start({"--db", store, "--replay", stored, "--chair", "2", "--bot-delay", "0"}));
    Peer p(replay.port);
    ASSERT_TRUE(p.waitFor(MsgKind::Start));
    // A watcher's play is nobody's move.
    p.send(BuildPlay(0, {0}));
    p.send(BuildPass(2));
    ASSERT_TRUE(p.waitFor(MsgKind::GameOver)) << replay.tail(10);
    ASSERT_TRUE(WaitFor([&] { return replay.has(QStringLiteral("over game=2")); }));
    EXPECT_EQ(GameLines(replay.lines, 2), original);
    EXPECT_FALSE(replay.has(QStringLiteral("refused"))) << replay.tail(10);

    // What the watcher was sent: chair 2's cards, and each play of the log in its order.
    QStringList plays, sent;
    for (const QString& l : original)
        if (l.startsWith(QLatin1String("play ")) || l.startsWith(QLatin1String("pass ")))
            plays.append(Field(l, "chair") + QLatin1Char(':') + (l.startsWith(QLatin1String("pass")) ? QString() : Field(l, "cards")));
    for (const ReceivedMsg& m : p.of(MsgKind::OutPai)) {
        const OutPaiMsg* o = m.as<OutPaiMsg>();
        std::vector<uint8_t> cards(o->cards.begin(), o->cards.end());
        const bool pass = cards.size() == 1 && cards[0] == kPassCode;
        sent.append(QString::number(o->chair) + QLatin1Char(':') + (pass ? QString() : CardsText(cards)));
    }
    EXPECT_EQ(sent, plays);
    const QList<ReceivedMsg> deals = p.of(MsgKind::Deal);
    ASSERT_FALSE(deals.isEmpty());
    std::vector<uint8_t> hand(deals[0].as<DealMsg>()->cards.begin(), deals[0].as<DealMsg>()->cards.end());
    SortPaiDesc(hand.data(), int(hand.size()));
    EXPECT_EQ(CardsText(hand), Field(original.filter(QStringLiteral("deal game=2 chair=2")).value(0), "cards"));

    // Nothing of the replay is written to the store.
    const Outcome h = RunRoom({"--db", store, "--history"});
    EXPECT_EQ(h.out.size(), 2);
    for (const QStringList& words : {QStringList{"--db", store, "--replay", "999"},
                                     QStringList{"--db", dir.filePath(QStringLiteral("none.sqlite")), "--standings"}}) {
        const Outcome refused = RunRoom(words);
        EXPECT_EQ(refused.code, 1) << words.join(' ').toStdString();
        EXPECT_EQ(refused.err.size(), 1) << refused.err.join('\n').toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.sqlite")))) << "reading makes no store";
}

INSTANTIATE_TEST_SUITE_P(Stores, Records, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

// ---- Stores that cannot be used ------------------------------------------------------------------

// A SQLite file as a store of an older or newer room, or of something else.
void MakeSqlite(const QString& path, const QStringList& sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const QString& s : sql) ASSERT_TRUE(q.exec(s)) << s.toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
}

// Each store that cannot be used ends the room at start: one line on standard error that says
// why, a status other than 0, and the file as it was, byte for byte.
TEST(BadStores, EndTheRoomAtStartAndAreLeftAsTheyWere)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char* name;
        const char* why;   // a word of the line
        std::function<void(const QString& path)> make;
        std::function<void()> during = nullptr;   // held while the room tries
        bool asNobody = false;                      // root writes any file: the read-only case runs unprivileged
    };
    QSqlDatabase locker;
    const QList<Case> cases{
        {"folder", "folder", [](const QString& p) { QDir().mkpath(p); }},
        {"text", "not a database", [](const QString& p) {
             QFile f(p);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray("name,score\n甲,10\n").repeated(300));
         }},
        {"newer", "newer", [](const QString& p) {
             MakeSqlite(p, {"CREATE TABLE store_version (version INTEGER NOT NULL)",
                            QStringLiteral("INSERT INTO store_version VALUES (%1)").arg(Store::kSchemaVersion + 1),
                            "CREATE TABLE players (name TEXT PRIMARY KEY, score BIGINT)", "INSERT INTO players VALUES ('甲', 5)"});
         }},
        {"foreign", "something else", [](const QString& p) { MakeSqlite(p, {"CREATE TABLE notes (t TEXT)", "INSERT INTO notes VALUES ('x')"}); }},
        {"missing folder", "folder", [](const QString&) {}},
        {"read-only", "read-only", [](const QString& p) {
             QString error;
             ASSERT_TRUE(Store::open(p, error)) << error.toStdString();
             QFile::setPermissions(p, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
         }, nullptr, true},
        {"locked", "locked", [](const QString& p) { MakeSqlite(p, {"CREATE TABLE store_version (version INTEGER NOT NULL)",
                                                                   "INSERT INTO store_version VALUES (1)"}); },
         [&] {
             // Another program writes, and holds its lock past the room's wait.
             QSqlQuery q(locker);
             ASSERT_TRUE(q.exec("BEGIN EXCLUSIVE"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = QStringLiteral("%1/%2/room.sqlite").arg(dir.path(), QString::fromLatin1(c.name));
        if (QString::fromLatin1(c.name) != QLatin1String("missing folder")) QDir().mkpath(QFileInfo(path).path());
        c.make(path);
        // Before the lock: closing any handle on the file would let go of this process's locks on it.
        const QByteArray before = Digest(path);
        if (c.during) {
            locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
            locker.setDatabaseName(path);
            ASSERT_TRUE(locker.open());
            c.during();
        }
        QStringList prefix;
        if (c.asNobody && ::geteuid() == 0) {
            ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
            ::chmod(QFile::encodeName(QFileInfo(path).path()).constData(), 0755);
            prefix = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
            if (RunRoom({"--help"}, prefix).code != 0) {
                std::printf("the read-only case is not run: the program is out of an unprivileged user's reach\n");
                continue;
            }
        }
        const Outcome r = RunRoom({"--db", path, "--humans", "0", "--port", "0"}, prefix);
        EXPECT_NE(r.code, 0);
        EXPECT_NE(r.code, -1) << "it did not end";
        ASSERT_EQ(r.err.size(), 1) << r.err.join('\n').toStdString();
        EXPECT_TRUE(r.err[0].contains(QString::fromLatin1(c.why))) << r.err[0].toStdString();
        EXPECT_TRUE(r.err[0].startsWith(QStringLiteral("kvrn-room: the store "))) << r.err[0].toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << "it must not listen: " << r.out.join('\n').toStdString();
        if (c.during) {
            QSqlQuery(locker).exec("ROLLBACK");
            locker.close();
            locker = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("locker"));
        }
        EXPECT_EQ(Digest(path), before);
    }
}

// A PostgreSQL store that cannot be used: no server answers, or a newer room's.
TEST(BadStores, PostgresNotAnsweringOrNewer)
{
    const Outcome silent = RunRoom({"--db", "postgresql://kvrn@127.0.0.1:1/none", "--humans", "0", "--port", "0"});
    EXPECT_NE(silent.code, 0);
    ASSERT_EQ(silent.err.size(), 1) << silent.err.join('\n').toStdString();
    EXPECT_TRUE(silent.err[0].startsWith(QStringLiteral("kvrn-room: the store postgresql://")));
    const Outcome badUrl = RunRoom({"--db", "postgresql://nobody", "--humans", "0", "--port", "0"});
    EXPECT_NE(badUrl.code, 0);
    EXPECT_EQ(badUrl.err.size(), 1);

    if (!Pg().skipReason().isEmpty()) GTEST_SKIP() << Pg().skipReason().toStdString();
    ASSERT_TRUE(Pg().ok()) << Pg().failure().toStdString();
    const QString store = Pg().freshStore();
    {
        QString error;
        ASSERT_TRUE(Store::open(store, error)) << error.toStdString();
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bump"));
        const QUrl url(store);
        db.setHostName(url.host());
        db.setPort(url.port());
        db.setUserName(url.userName());
        db.setDatabaseName(url.path().mid(1));
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral("UPDATE store_version SET version = %1").arg(Store::kSchemaVersion + 1)));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bump"));
    const Outcome newer = RunRoom({"--db", store, "--humans", "0", "--port", "0"});
    EXPECT_NE(newer.code, 0);
    ASSERT_EQ(newer.err.size(), 1);
    EXPECT_TRUE(newer.err[0].contains(QStringLiteral("newer"))) << newer.err[0].toStdString();
}

}  // namespace

int main(int argc, char** argv) { return servertest::RunTestsWithSharedPg(argc, argv); }
