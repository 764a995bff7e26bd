// kvrn-room: one table of the card game on the local network, bots in the free chairs.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <memory>

#include "server/records.h"
#include "server/replay.h"
#include "server/roomoptions.h"
#include "server/roomserver.h"
#include "server/store.h"

namespace {

void PrintLine(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int Fail(const QString& why)
{
    std::fprintf(stderr, "kvrn-room: %s\n", why.toUtf8().constData());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const ParsedRoomOptions parsed = ParseRoomOptions(app.arguments().mid(1));
    if (parsed.help) {
        std::fputs(RoomHelpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "kvrn-room: %s\n", parsed.error.toUtf8().constData());
        return 2;
    }
    RoomOptions options = parsed.options;
    QString error;
    std::unique_ptr<Store> store;
    // Reading a store that is not there would only make an empty one.
    const bool reading = options.standings || options.history || options.replay > 0;
    if (reading && !options.db.contains(QLatin1String("://")) && !QFileInfo::exists(options.db))
        return Fail(QStringLiteral("there is no store at %1").arg(options.db));
    if (!options.db.isEmpty() && !(store = Store::open(options.db, error))) return Fail(error);

    if (options.standings || options.history) {
        QStringList lines;
        if (options.standings) {
            std::vector<Standing> s;
            if (!store->standings(s, error)) return Fail(error);
            lines = StandingsLines(s);
        } else {
            std::vector<StoredGame> g;
            if (!store->history(g, error)) return Fail(error);
            lines = HistoryLines(g);
        }
        for (const QString& l : lines) PrintLine(l);
        return 0;
    }

    StoredGame replayed;
    if (options.replay > 0) {
        if (!store->loadGame(options.replay, replayed, error) || !Replay::Prepare(replayed, options, error)) return Fail(error);
    }
    RoomServer server(options);
    server.logLine = PrintLine;
    QObject::connect(&server.table(), &Table::allGamesPlayed, &app, [&] {
        PrintLine(QStringLiteral("done games=%1").arg(server.table().gamesPlayed()));
        server.flush();
        QCoreApplication::quit();
    });
    // A replay reads the store, and writes nothing to it.
    if (store && options.replay <= 0) server.table().setStore(store.get());
    if (!server.start(error)) return Fail(error);
    // The players sit down once the room is open (its first line names the port), before anybody
    // can connect.
    std::unique_ptr<Replay> replay;
    if (options.replay > 0) {
        replay = std::make_unique<Replay>(server.table(), replayed, options.botDelayMs);
        replay->seat();
    }
    const int status = app.exec();
    server.table().setStore(nullptr);
    return status;
}
