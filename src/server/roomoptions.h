#pragma once
// The room program's options: where it listens, who sits down, how the games are played.
#include <QString>
#include <QtGlobal>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

// How a bot plays: basic is the plain greedy player (the first yardstick), careful plays by a
// good player's rules of thumb (the second), strong searches.
enum class BotLevel : uint8_t { Basic, Strong, Careful };

struct RoomOptions {
    QString listen = QStringLiteral("127.0.0.1");
    uint16_t port = 7600;               // 0: any free port (the log's first line names it)
    QStringList names{QStringLiteral("玩家")};  // the humans in the order they connect
    int humans = 1;                     // chairs kept for connections; bots take the others
    int botDelayMs = 700;               // a bot's pause before it moves
    std::array<BotLevel, 4> botLevels{BotLevel::Strong, BotLevel::Strong, BotLevel::Strong, BotLevel::Strong};
    int turnSeconds = 30;               // a player's time for one move (the server adds a grace)
    std::optional<uint32_t> seed;       // repeatable deals
    int decks = 1;
    bool settingsRound = false;         // the first human sets the stake before the first game
    int games = 0;                      // stop after this many games; 0: run until stopped
    int autoOutLimit = 5;               // automatic moves a client makes before it gives up
    bool autoReady = false;             // humans are ready without pressing the start button
    bool opponents = false;             // people sit against each other rather than as partners
    int helloSeconds = 10;              // a connection's time to say hello
    int perAddress = 16;                // connections one address may hold at once

    // Peers that do not play fair (docs/room-server.md lists each limit with its option).
    int readySeconds = 30;              // a person's time to raise the hand once the others have
    int settingsSeconds = 20;           // the settings owner's time to answer
    int backlogMb = 64;                 // unsent bytes of all connections together, in MiB
    int refusedMoves = 50;              // refused moves in 10 s beyond which a player is closed
    // The store: where the room keeps its players and games, and what it does with it.
    QString db;                         // a SQLite file or postgresql://...; empty: nothing is kept
    bool standings = false;             // print the players' standings and end
    bool history = false;               // print the stored games and end
    qint64 replay = 0;                  // > 0: serve this stored game to whoever connects
    int watchChair = 0;                 // the chair a spectator watches
};

struct ParsedRoomOptions {
    RoomOptions options;
    bool help = false;
    QString error;   // empty when the words were understood
};

// The words after the program name; "--opt value" and "--opt=value" both work. --name may be
// given once per human.
ParsedRoomOptions ParseRoomOptions(const QStringList& words);
QString RoomHelpText();
