// kvrn-room: one table of the card game on the local network, bots in the free chairs.
#include <QCoreApplication>
#include <cstdio>

#include "server/roomoptions.h"
#include "server/roomserver.h"

namespace {

void PrintLine(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
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
    RoomServer server(parsed.options);
    server.logLine = PrintLine;
    QObject::connect(&server.table(), &Table::allGamesPlayed, &app, [&] {
        PrintLine(QStringLiteral("done games=%1").arg(server.table().gamesPlayed()));
        server.flush();
        QCoreApplication::quit();
    });
    QString error;
    if (!server.start(error)) {
        std::fprintf(stderr, "kvrn-room: %s\n", error.toUtf8().constData());
        return 1;
    }
    return app.exec();
}
