#pragma once
// A received message decoded once. DecodeServerMsg identifies the message by its shape
// (shapes.h), reads its fields with the range checks the client relies on, and hands back the
// kind, the client side it goes to and a typed payload; handlers read the payload only, never
// the bytes. DecodeClientMsg does the same for what a client sends, for the room server.
//
// A message can be identified without a payload: it did not fit its shape, or a value lies out
// of its range. Handlers that do a first step for any message of their kind look at `kind`;
// the rest of their work needs the payload.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <variant>
#include <vector>

#include "protocol/shapes.h"
#include "protocol/snapshot.h"
#include "protocol/wirerange.h"

// ---- Game ----------------------------------------------------------------------------------

// GM_START. A deck count the table cannot hold ends the message after the auto-play limit; a
// lead chair out of range ends it after the settings.
struct StartMsg {
    uint8_t autoOutLimit = 0;
    bool settingsValid = false;
    uint8_t deckCount = 0;
    uint8_t showLeftPai = 0;
    uint8_t turnSeconds = 0;
    bool leadValid = false;
    uint8_t leadChair = 0;
};

// GM_DEAL: the own hand, then the partner's when shown. How many cards make a hand is the
// table's deck count, so the receiver splits them.
struct DealMsg {
    uint8_t showPartner = 0;
    std::vector<uint8_t> cards;
    // False when the cards are not exactly one hand (two with the partner's) of handCount.
    bool split(int handCount, std::vector<uint8_t>& mine, std::vector<uint8_t>& partner) const;
};

// GM_OUTPAI as broadcast: the next chair, the new phase, the playing chair's place, the chair
// and its cards (never none).
struct OutPaiMsg {
    uint8_t next = 0;
    uint8_t phase = 0;
    uint8_t mingCi = 0;
    uint8_t chair = 0;
    std::vector<uint8_t> cards;
};

// GM_GAME_OVER. A message that ends early stops at the first part missing: the score changes
// (when it announces them), both sides' scores, then each chair's remaining cards in turn.
struct GameOverMsg {
    bool withChanges = false;
    bool changesRead = false;
    std::array<int32_t, 4> changes{};
    bool scoresRead = false;
    std::array<int32_t, 2> teamScore{};
    int leftRead = 0;  // chairs 0..leftRead-1 have their cards
    std::array<std::vector<uint8_t>, 4> leftPai;
};

struct HandsMsg { std::vector<uint8_t> mine, partner; };   // GM_HANDS
struct QuitMsg { uint8_t chair = 0; QString reason; };     // GM_QUIT
struct ReadyMsg { uint8_t chair = 0; };                    // GM_READY
struct SeePaiMsg { bool canSee = false; };                 // GM_SEE_PAI
struct RefusedMsg { QString reason; };                     // GM_OUTPAI_REFUSED

// ---- Room ----------------------------------------------------------------------------------

struct ResetMsg {};                                        // 130/1
struct UserRowMsg { QString row; QStringList fields; };    // 130/0 and 130/4: one user row
struct UserListMsg { QString rows; };                      // 130/2
struct IdentityMsg { QString myName, viewOwner; };         // 130/3
struct ShowWindowMsg { bool show = false; };               // 130/5
struct UserNameMsg { QString name; };                      // 108/x and 110/0
// 111: the owner flag, the settings round and the owner's decision as sent (a missing decision
// is empty), then the settings text.
struct GameSetMsg { QString owner, round, decided, settings; };
// 112: a raised hand, perhaps with the owner's settings; a sub-code above 1 lowers every hand
// after it.
struct HandUpMsg {
    QString name;
    bool withSettings = false;
    QString settings;
    bool lowersAll = false;
};
struct NoticeMsg { QString text; };                        // 105

// ---- Chat and items ------------------------------------------------------------------------

struct ChatMsg { QStringList shown; };                     // GM_CHAT: the fields the pane shows
// 133/0, 133/1, 133/2: the body. A body whose bytes did not decode has no payload: taking it as
// an empty list would throw the lists away.
struct DaoJuTextMsg { QString text; };
struct DaoJuUsedMsg { uint8_t fromUser = 0, toUser = 0; int32_t itemId = 0; };   // 133/3

// ---- Sent by a client ----------------------------------------------------------------------

// GM_OUTPAI from a client: the chair and its cards (a single 254 passes).
struct PlayReqMsg { uint8_t chair = 0; std::vector<uint8_t> cards; };

using MsgPayload = std::variant<std::monostate, StartMsg, DealMsg, OutPaiMsg, GameOverMsg, HandsMsg, QuitMsg,
                                ReadyMsg, SeePaiMsg, RefusedMsg, ResetMsg, UserRowMsg, UserListMsg, IdentityMsg,
                                ShowWindowMsg, UserNameMsg, GameSetMsg, HandUpMsg, NoticeMsg, TableSnapshotMsg,
                                ChatMsg, DaoJuTextMsg, DaoJuUsedMsg, ParsedMsg, PlayReqMsg>;

struct ReceivedMsg {
    MsgKind kind = MsgKind::Unknown;
    MsgRoute route = MsgRoute::None;
    bool fits = false;       // the message has its shape
    MsgPayload body;         // std::monostate: no payload

    template <class T>
    const T* as() const& { return std::get_if<T>(&body); }
    // A payload pointer into a temporary would dangle.
    template <class T>
    const T* as() const&& = delete;
};

// The code of a message (its first byte), for a diagnostic about a message that has no shape;
// -1 for an empty one.
inline int MsgCodeOf(const QByteArray& msg) { return msg.isEmpty() ? -1 : int(uint8_t(msg.at(0))); }

// A message from the room server, as the client receives it.
ReceivedMsg DecodeServerMsg(const QByteArray& msg);
// A message from a client, as the room server receives it. Messages without a struct of their
// own carry the checked ParsedMsg (text and fields) as their payload.
ReceivedMsg DecodeClientMsg(const QByteArray& msg);
