#pragma once
// The shape of every message the room link carries, described once: which code and sub-code it
// has, which client side handles it, where its text starts, how many back-quote fields its text
// must have, how many bytes the whole message must have. ParseMessage identifies a received
// message and checks it against its shape; the decoders of received.h build on it, so no handler
// counts by hand.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "protocol/codes.h"

// Which end sent the message: the same code and sub-code mean different things in the two
// directions.
enum class Sender : uint8_t { Server, Client };

// Which client side handles a received message: the room's, the round's, the item shop's, the
// chat pane's. Messages a client sends have none.
enum class MsgRoute : uint8_t { None, Room, Game, Items, Chat };

enum class MsgKind : uint8_t {
    Unknown,
    // Server to client: room.
    PangGuanIn, Reset, UserList, Identity, UserIn, ShowWindow,
    UserBack, UserDropped, PangGuanOut, UserMark, UserOut,
    GameSet, HandUp, Notice, TableSnapshot,
    // Server to client: game.
    Chat, Hands, Quit, Start, Ready, Deal, OutPai, OutPaiRefused, GameOver, SeePai,
    DaoJuList, MyDaoJuList, DaoJuNotice, DaoJuUsed,
    // Client to server.
    Hello, JoinGame, LeaveTable, GameSetDone, HandUpReq, SeePaiSetting,
    ChatSend, HandsReq, ReadyReq, DealReq, OutPaiReq, BuyDaoJu,
};

// How the fields of a text body are counted.
enum class FieldRule : uint8_t {
    None,      // the text is taken whole
    Exact,     // exactly `fields` back-quote fields
    AtLeast,   // `fields` or more
};

struct MsgShape {
    MsgKind kind;
    Sender from;
    MsgRoute route;
    uint8_t code;
    int16_t sub;          // -1: any sub-code (byte 1 may even be missing)
    int8_t textStart;     // byte where the text body starts; -1 for a binary message
    FieldRule rule;
    int16_t fields;       // for Exact and AtLeast
    int32_t minBytes;     // the whole message has at least this many bytes
    int32_t exactBytes;   // the whole message has exactly this many bytes; -1: no such rule
    int8_t countAt;       // >= 0: the message has exactly byte[countAt] + countExtra bytes
    int8_t countExtra;
    const char* name;     // as the protocol description names it
};

// A received message, identified and checked.
struct ParsedMsg {
    MsgKind kind = MsgKind::Unknown;
    // The shape's route; a message of no known shape still has its code's side (the round
    // counts every message of its codes).
    MsgRoute route = MsgRoute::None;
    const MsgShape* shape = nullptr;
    // The message has its shape. A message can be identified without fitting (some handlers do
    // a first step whatever the length, then stop).
    bool fits = false;
    QString text;          // the decoded text body ("" for binary messages)
    QStringList fields;    // the text split on back-quotes (text messages with a field rule)
};

// Splits a body on the back-quote. An empty text has no fields at all (a body "" is not one
// empty field), so a count check never mistakes an empty body for a value.
QStringList SplitFields(const QString& text);

// Identifies msg as sent by `from` and checks it against its shape. Unknown codes and sub-codes
// give MsgKind::Unknown.
ParsedMsg ParseMessage(const QByteArray& msg, Sender from);

// A client's message that carries text, without any: its header alone (an empty body, or one
// that encoded to nothing). Such a message never leaves the client.
bool LacksTextBody(const QByteArray& msg);

// The shape of a kind (null for Unknown); all shapes, for the protocol's own tests and docs.
const MsgShape* ShapeOf(MsgKind kind);
const MsgShape* AllShapes(int& count);

// Bytes of a GM_DEAL for one player's hand of `handCount` cards, with or without the partner's.
int DealLength(int handCount, bool withPartner);
// Cards of one hand for a deck count: (decks * 54) div 4.
int HandCountOf(int deckCount);
