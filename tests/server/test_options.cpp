// The room program's options and the log's card names.
#include <gtest/gtest.h>

#include "server/cardtext.h"
#include "server/items.h"
#include "server/roomoptions.h"

namespace {

TEST(RoomOptions, ReadsEveryOption)
{
    const ParsedRoomOptions p = ParseRoomOptions(
        {"--listen", "0.0.0.0", "--port=7700", "--name", "甲", "--name", "乙", "--humans", "2", "--bot-delay", "50",
         "--turn-seconds", "9", "--seed", "42", "--decks", "2", "--settings", "--games", "3", "--auto-out-limit", "200",
         "--auto-ready", "--opponents", "--bots", "basic,strong,careful,basic", "--hello-seconds", "5",
         "--per-address", "64"});
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    const RoomOptions& o = p.options;
    EXPECT_EQ(o.listen, QStringLiteral("0.0.0.0"));
    EXPECT_EQ(o.port, 7700);
    EXPECT_EQ(o.names, (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
    EXPECT_EQ(o.humans, 2);
    EXPECT_EQ(o.botDelayMs, 50);
    EXPECT_EQ(o.turnSeconds, 9);
    EXPECT_EQ(o.seed, 42u);
    EXPECT_EQ(o.decks, 2);
    EXPECT_TRUE(o.settingsRound);
    EXPECT_EQ(o.games, 3);
    EXPECT_EQ(o.autoOutLimit, 200);
    EXPECT_TRUE(o.autoReady);
    EXPECT_TRUE(o.opponents);
    EXPECT_EQ(o.helloSeconds, 5);
    EXPECT_EQ(o.perAddress, 64);
    EXPECT_EQ(o.botLevels, (std::array{BotLevel::Basic, BotLevel::Strong, BotLevel::Careful, BotLevel::Basic}));
    EXPECT_FALSE(p.help);
}

TEST(RoomOptions, Defaults)
{
    const ParsedRoomOptions p = ParseRoomOptions({});
    EXPECT_TRUE(p.error.isEmpty());
    EXPECT_EQ(p.options.listen, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(p.options.botDelayMs, 700);
    EXPECT_EQ(p.options.humans, 1);
    EXPECT_EQ(p.options.decks, 1);
    EXPECT_EQ(p.options.games, 0);
    EXPECT_FALSE(p.options.seed.has_value());
    EXPECT_EQ(p.options.botLevels, (std::array{BotLevel::Strong, BotLevel::Strong, BotLevel::Strong, BotLevel::Strong}));
    EXPECT_TRUE(ParseRoomOptions({"--help"}).help);
    EXPECT_TRUE(RoomHelpText().contains(QStringLiteral("--bot-delay")));
    EXPECT_TRUE(RoomHelpText().contains(QStringLiteral("--bots")));
}

TEST(RoomOptions, RefusesWhatItCannotUse)
{
    for (const QStringList& words : QList<QStringList>{
             {"--decks", "3"}, {"--humans", "5"}, {"--port", "70000"}, {"--turn-seconds", "0"}, {"--turn-seconds", "256"},
             {"--seed", "x"}, {"--port"}, {"--bogus"}, {"--name", "a`b"}, {"--name", " "}, {"--games", "-1"},
             {"--bots", "strong,basic,strong"}, {"--bots", "strong,basic,strong,basic,basic"}, {"--bots", "strong,weak,basic,basic"}}) {
        EXPECT_FALSE(ParseRoomOptions(words).error.isEmpty()) << words.join(' ').toStdString();
    }
}

// The store's options: what they set, and the combinations that mean nothing.
TEST(RoomOptions, StoreOptions)
{
    struct Case {
        QStringList words;
        bool ok;
    };
    const QList<Case> cases{
        {{"--db", "/tmp/x.sqlite"}, true},
        {{"--db", "postgresql://u@h:5432/d", "--standings"}, true},
        {{"--db", "x", "--history"}, true},
        {{"--db", "x", "--replay", "3", "--chair", "2"}, true},
        {{"--standings"}, false},
        {{"--replay", "3"}, false},
        {{"--db", "x", "--standings", "--history"}, false},
        {{"--db", "x", "--replay", "0"}, false},
        {{"--db", "x", "--replay", "3", "--chair", "4"}, false},
        {{"--db", "x", "--chair", "1"}, false},
        {{"--db", " "}, false},
        {{"--db"}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseRoomOptions(c.words).error.isEmpty(), c.ok) << c.words.join(' ').toStdString();
    const RoomOptions o = ParseRoomOptions({"--db", "x", "--replay", "3", "--chair", "2"}).options;
    EXPECT_EQ(o.db, QStringLiteral("x"));
    EXPECT_EQ(o.replay, 3);
    EXPECT_EQ(o.watchChair, 2);
    EXPECT_TRUE(ParseRoomOptions({"--db", "x", "--standings"}).options.standings);
    EXPECT_TRUE(ParseRoomOptions({"--db", "x", "--history"}).options.history);
    EXPECT_TRUE(ParseRoomOptions({}).options.db.isEmpty()) << "without --db nothing is kept";
}

TEST(CardText, EveryCodeReadsBack)
{
    for (int c = 0; c < 54; ++c) {
        const auto back = ParseCardText(CardText(uint8_t(c)));
        ASSERT_TRUE(back.has_value()) << c;
        EXPECT_EQ(*back, c);
    }
    EXPECT_EQ(CardText(0), QStringLiteral("3a"));
    EXPECT_EQ(CardText(13 * 3 + 7), QStringLiteral("10d"));
    EXPECT_EQ(CardsText({53, 52, 12}), QStringLiteral("BJ SJ 2a"));
    EXPECT_FALSE(ParseCardText(QStringLiteral("1a")).has_value());
    EXPECT_FALSE(ParseCardText(QStringLiteral("Ke")).has_value());
    EXPECT_FALSE(ParseCardsText(QStringLiteral("3a x")).has_value());
    EXPECT_EQ(ParseCardsText(QString())->size(), 0u);
}

TEST(Items, PurchaseAddsPiecesAndTime)
{
    const QDateTime now(QDate(2024, 5, 1), QTime(10, 0));
    std::vector<OwnedItem> owned = StarterItems(now);
    EXPECT_EQ(OwnedItemsText(owned), QStringLiteral("5005:3:2024053110:5001:10:2024053110"));
    bool bought = false;
    BuyItem(owned, QStringLiteral("5007"), now, bought);
    EXPECT_TRUE(bought);
    EXPECT_EQ(owned.back().Id, 5007);
    EXPECT_EQ(owned.back().Expiry, now.addSecs(24 * 3600));
    BuyItem(owned, QStringLiteral("5007"), now, bought);
    EXPECT_EQ(owned.back().Count, 2);
    EXPECT_EQ(owned.back().Expiry, now.addSecs(48 * 3600)) << "the validity runs on from the old expiry";
    for (const QString& bad : {QStringLiteral("abc"), QStringLiteral(""), QStringLiteral("9999")}) {
        const size_t before = owned.size();
        EXPECT_FALSE(BuyItem(owned, bad, now, bought).isEmpty());
        EXPECT_FALSE(bought);
        EXPECT_EQ(owned.size(), before);
    }
}

// The limits against unfair peers: each read, each kept within its range, each in the help.
TEST(RoomOptions, PeerLimits)
{
    const ParsedRoomOptions p = ParseRoomOptions(
        {"--ready-seconds", "45", "--settings-seconds=15", "--backlog-mb", "128", "--refused-moves", "70"});
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    EXPECT_EQ(p.options.readySeconds, 45);
    EXPECT_EQ(p.options.settingsSeconds, 15);
    EXPECT_EQ(p.options.backlogMb, 128);
    EXPECT_EQ(p.options.refusedMoves, 70);
    const RoomOptions d;
    EXPECT_EQ(d.readySeconds, 30);
    EXPECT_EQ(d.settingsSeconds, 20);
    EXPECT_EQ(d.backlogMb, 64);
    EXPECT_EQ(d.refusedMoves, 50);
    for (const QStringList& words : QList<QStringList>{{"--ready-seconds", "4"}, {"--settings-seconds", "3601"},
                                                       {"--backlog-mb", "0"}, {"--refused-moves", "x"}})
        EXPECT_FALSE(ParseRoomOptions(words).error.isEmpty()) << words.join(' ').toStdString();
    for (const char* opt : {"--ready-seconds", "--settings-seconds", "--backlog-mb", "--refused-moves", "--per-address"})
        EXPECT_TRUE(RoomHelpText().contains(QLatin1String(opt))) << opt;
}

}  // namespace
