#include "server/roomoptions.h"

#include <limits>

namespace {

// A whole number within [lo, hi], or an error naming the option.
bool ReadInt(const QString& option, const QString& text, long long lo, long long hi, long long& out, QString& error)
{
    bool ok = false;
    const long long v = text.toLongLong(&ok);
    if (!ok || v < lo || v > hi) {
        error = QStringLiteral("%1 takes a whole number from %2 to %3, not \"%4\"").arg(option).arg(lo).arg(hi).arg(text);
        return false;
    }
    out = v;
    return true;
}

// Four levels, one per chair, separated by commas.
bool ReadBotLevels(const QString& text, std::array<BotLevel, 4>& out, QString& error)
{
    const QStringList parts = text.split(QLatin1Char(','));
    std::array<BotLevel, 4> levels{};
    bool ok = parts.size() == 4;
    for (qsizetype i = 0; ok && i < parts.size(); ++i) {
        const QString w = parts[i].trimmed();
        if (w == QLatin1String("basic")) levels[size_t(i)] = BotLevel::Basic;
        else if (w == QLatin1String("strong")) levels[size_t(i)] = BotLevel::Strong;
        else if (w == QLatin1String("careful")) levels[size_t(i)] = BotLevel::Careful;
        else ok = false;
    }
    if (!ok) {
        error = QStringLiteral("--bots takes four levels (basic, careful or strong) separated by commas, not \"%1\"").arg(text);
        return false;
    }
    out = levels;
    return true;
}

}  // namespace

QString RoomHelpText()
{
    return QStringLiteral(
        "kvrn-room: a room server for one table of four, with bots in the free chairs.\n"
        "\n"
        "Usage: kvrn-room [options]\n"
        "  --listen ADDR        address to listen on (default 127.0.0.1; 0.0.0.0 lets other\n"
        "                       machines of the network join, :: both IPv4 and IPv6 ones)\n"
        "  --port P             port (default 7600; 0 picks a free one, shown on the first line)\n"
        "  --name NAME          name of the first human to connect; repeat it to name the next\n"
        "                       ones (default 玩家, then 玩家2, 玩家3...)\n"
        "  --humans N           chairs kept for people, 0 to 4 (default 1); bots take the rest;\n"
        "                       connections beyond them watch the first human. Two people\n"
        "                       sit as partners (chairs 0 and 2)\n"
        "  --opponents          people sit against each other (chairs 0, 1, 2, 3 in turn)\n"
        "  --bot-delay MS       a bot's pause before each move (default 700)\n"
        "  --bots L0,L1,L2,L3   the level of the bot in each chair, basic, careful or strong\n"
        "                       (default strong); basic is the plain greedy player, careful\n"
        "                       counts cards and plays by a good player's rules of thumb,\n"
        "                       strong plays each candidate out on guesses of the hidden\n"
        "                       hands; chairs kept for people ignore their entry\n"
        "  --turn-seconds S     a player's time for one move, 1 to 255 (default 30); a player\n"
        "                       silent for 3 seconds more passes, or leads the lowest card\n"
        "  --seed N             repeatable deals\n"
        "  --decks 1|2          one deck (13 cards each) or two (27 cards each); default 1\n"
        "  --settings           the first human sets the stake and the escape penalty first\n"
        "  --games N            stop after N games (default: run until stopped)\n"
        "  --auto-out-limit N   automatic moves a client makes for its player before it gives\n"
        "                       up, 1 to 255 (default 5)\n"
        "  --auto-ready         humans are ready for every game without pressing start\n"
        "  --hello-seconds S    a connection's time to say hello, 1 to 600 (default 10)\n"
        "  --per-address N      connections one address may hold at once, 1 to 64 (default 16);\n"
        "                       an IPv6 address counts by its /64\n"
        "  --ready-seconds S    a person's time to raise the hand once everybody else at the\n"
        "                       table has, 5 to 3600 (default 30); then the room closes the link\n"
        "  --settings-seconds S the settings owner's time to answer, 5 to 3600 (default 20)\n"
        "  --backlog-mb N       unsent bytes of all connections together, in MiB, 1 to 4096\n"
        "                       (default 64); beyond it the slowest readers are closed\n"
        "  --refused-moves N    refused moves a player may send in 10 s before the room closes\n"
        "                       the link, 5 to 100000 (default 50)\n"
        "  --help               this text\n"
        "\n"
        "The store (nothing is kept without --db):\n"
        "  --db PATH|URL        keep every player's record and every finished game in the\n"
        "                       SQLite file PATH (created when missing), or in the PostgreSQL\n"
        "                       database postgresql://USER@HOST:PORT/DBNAME (the password\n"
        "                       from PGPASSWORD or ~/.pgpass); several rooms may share one\n"
        "  --standings          print the players (tab-separated: name, score, games, won,\n"
        "                       lost, drawn, escapes; highest score first) and end\n"
        "  --history            print the stored games, the last first (tab-separated: ID, end\n"
        "                       time, decks, the four names, the four changes) and end\n"
        "  --replay ID          serve stored game ID to whoever connects, as a table that\n"
        "                       plays itself at the --bot-delay pace; moves sent are ignored\n"
        "  --chair C            with --replay: the chair watched, whose cards are shown (0-3,\n"
        "                       default 0)\n"
        "\n"
        "Every deal, play, trick and score is one line on standard output.\n");
}

ParsedRoomOptions ParseRoomOptions(const QStringList& words)
{
    ParsedRoomOptions r;
    RoomOptions& o = r.options;
    bool namesGiven = false;
    bool chairGiven = false;
    for (int i = 0; i < words.size(); ++i) {
        QString opt = words[i];
        QString value;
        bool hasValue = false;
        const qsizetype eq = opt.indexOf(QLatin1Char('='));
        if (opt.startsWith(QLatin1String("--")) && eq > 0) {
            value = opt.mid(eq + 1);
            opt = opt.left(eq);
            hasValue = true;
        }
        auto need = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= words.size()) {
                r.error = QStringLiteral("%1 needs a value").arg(opt);
                return false;
            }
            value = words[++i];
            return true;
        };
        long long v = 0;
        if (opt == QLatin1String("--help") || opt == QLatin1String("-h")) {
            r.help = true;
        } else if (opt == QLatin1String("--settings")) {
            o.settingsRound = true;
        } else if (opt == QLatin1String("--auto-ready")) {
            o.autoReady = true;
        } else if (opt == QLatin1String("--opponents")) {
            o.opponents = true;
        } else if (opt == QLatin1String("--listen")) {
            if (!need()) return r;
            o.listen = value;
        } else if (opt == QLatin1String("--name")) {
            if (!need()) return r;
            if (value.trimmed().isEmpty() || value.contains(QLatin1Char('`')) || value.contains(QLatin1Char('\n'))) {
                r.error = QStringLiteral("--name needs a name without back-quotes or line breaks");
                return r;
            }
            if (!namesGiven) o.names.clear();
            namesGiven = true;
            o.names.append(value.trimmed());
        } else if (opt == QLatin1String("--port")) {
            if (!need() || !ReadInt(opt, value, 0, 65535, v, r.error)) return r;
            o.port = uint16_t(v);
        } else if (opt == QLatin1String("--humans")) {
            if (!need() || !ReadInt(opt, value, 0, 4, v, r.error)) return r;
            o.humans = int(v);
        } else if (opt == QLatin1String("--bot-delay")) {
            if (!need() || !ReadInt(opt, value, 0, 600000, v, r.error)) return r;
            o.botDelayMs = int(v);
        } else if (opt == QLatin1String("--bots")) {
            if (!need() || !ReadBotLevels(value, o.botLevels, r.error)) return r;
        } else if (opt == QLatin1String("--turn-seconds")) {
            if (!need() || !ReadInt(opt, value, 1, 255, v, r.error)) return r;
            o.turnSeconds = int(v);
        } else if (opt == QLatin1String("--seed")) {
            if (!need() || !ReadInt(opt, value, 0, 4294967295LL, v, r.error)) return r;
            o.seed = uint32_t(v);
        } else if (opt == QLatin1String("--decks")) {
            if (!need() || !ReadInt(opt, value, 1, 2, v, r.error)) return r;
            o.decks = int(v);
        } else if (opt == QLatin1String("--games")) {
            if (!need() || !ReadInt(opt, value, 0, 1000000000, v, r.error)) return r;
            o.games = int(v);
        } else if (opt == QLatin1String("--auto-out-limit")) {
            if (!need() || !ReadInt(opt, value, 1, 255, v, r.error)) return r;
            o.autoOutLimit = int(v);
        } else if (opt == QLatin1String("--hello-seconds")) {
            if (!need() || !ReadInt(opt, value, 1, 600, v, r.error)) return r;
            o.helloSeconds = int(v);
        } else if (opt == QLatin1String("--per-address")) {
            if (!need() || !ReadInt(opt, value, 1, 64, v, r.error)) return r;
            o.perAddress = int(v);
        } else if (opt == QLatin1String("--ready-seconds")) {
            if (!need() || !ReadInt(opt, value, 5, 3600, v, r.error)) return r;
            o.readySeconds = int(v);
        } else if (opt == QLatin1String("--settings-seconds")) {
            if (!need() || !ReadInt(opt, value, 5, 3600, v, r.error)) return r;
            o.settingsSeconds = int(v);
        } else if (opt == QLatin1String("--backlog-mb")) {
            if (!need() || !ReadInt(opt, value, 1, 4096, v, r.error)) return r;
            o.backlogMb = int(v);
        } else if (opt == QLatin1String("--refused-moves")) {
            if (!need() || !ReadInt(opt, value, 5, 100000, v, r.error)) return r;
            o.refusedMoves = int(v);
        } else if (opt == QLatin1String("--db")) {
            if (!need()) return r;
            if (value.trimmed().isEmpty()) {
                r.error = QStringLiteral("--db needs a file or a postgresql:// address");
                return r;
            }
            o.db = value;
        } else if (opt == QLatin1String("--standings")) {
            o.standings = true;
        } else if (opt == QLatin1String("--history")) {
            o.history = true;
        } else if (opt == QLatin1String("--replay")) {
            if (!need() || !ReadInt(opt, value, 1, std::numeric_limits<qint64>::max(), v, r.error)) return r;
            o.replay = qint64(v);
        } else if (opt == QLatin1String("--chair")) {
            if (!need() || !ReadInt(opt, value, 0, 3, v, r.error)) return r;
            o.watchChair = int(v);
            chairGiven = true;
        } else {
            r.error = QStringLiteral("unknown option \"%1\" (see --help)").arg(words[i]);
            return r;
        }
    }
    if ((o.standings || o.history || o.replay > 0) && o.db.isEmpty())
        r.error = QStringLiteral("--standings, --history and --replay read the store named by --db");
    else if (int(o.standings) + int(o.history) + int(o.replay > 0) > 1)
        r.error = QStringLiteral("--standings, --history and --replay go one at a time");
    else if (chairGiven && o.replay <= 0)
        r.error = QStringLiteral("--chair goes with --replay");
    return r;
}
