#pragma once
// Building the messages of the room link, for both ends: what the client sends and what a room
// server sends. Text bodies are GBK (see codec.h); fields are joined with back-quotes. Card lists
// are plain byte vectors of card codes.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "protocol/codes.h"

using CardList = std::vector<uint8_t>;

// The game's code in the hello and the protocol version before it.
inline constexpr const char* kGameCode = "KVRN";
inline constexpr const char* kProtocolVersion = "600";

// Header bytes followed by the GBK body; an empty body gives the header alone.
QByteArray TextMessage(const QByteArray& header, const QString& body);

// ---- Sent by the client --------------------------------------------------------------------
// The hello: "600`KVRN`" and the spectator setting (0 or 1).
QByteArray BuildHello(uint8_t allowPangGuan);
QByteArray BuildJoinGame();                                             // 130/1, no body
QByteArray BuildUserOut(const QString& name);                           // 110/0 (also from the server)
QByteArray BuildGameSetDone(const QString& myName, const QString& settings);  // 112/0
QByteArray BuildHandUpReq(const QString& myName);                       // 112/1
QByteArray BuildSeePaiSetting(const QString& myName, uint8_t allowPangGuan);  // 113/1: name`0 or 1
QByteArray BuildChat(const QStringList& fields);                        // 1, fields from byte 1
QByteArray BuildHandsRequest(uint8_t myChair);                          // [2, 0, chair]
QByteArray BuildReady(uint8_t chair);                                   // [18, chair] (also from the server)
QByteArray BuildDealRequest(uint8_t myChair);                           // [19, chair]
QByteArray BuildPlay(uint8_t myChair, const CardList& cards);           // [20, 0, 0, 0, 0, chair, n, cards]
QByteArray BuildPass(uint8_t myChair);                                  // a play of the single card 254
QByteArray BuildBuyDaoJu(int32_t itemId);                               // 133/0, the ID as text

// ---- Sent by the room server ---------------------------------------------------------------
// One user of the table: the sixteen fields of a user row, in order.
enum UserField : uint8_t {
    UF_Name, UF_Id, UF_Score, UF_Level, UF_Watched, UF_Games, UF_WinRate, UF_EscapeRate,
    UF_Won, UF_Lost, UF_Drawn, UF_FigureType, UF_IconNo, UF_Chair, UF_HandUp, UF_Dropped,
    UF_Count
};
QString JoinUserRow(const std::array<QString, UF_Count>& fields);

QByteArray BuildPangGuanIn(const QString& row);                         // 130/0, a spectator's row
QByteArray BuildReset();                                                // 130/1
QByteArray BuildUserList(const QStringList& rows);                      // 130/2, one row per line feed
QByteArray BuildIdentity(const QString& myName, const QString& viewOwner);  // 130/3
QByteArray BuildUserIn(const QString& row);                             // 130/4
QByteArray BuildShowWindow(bool hide);                                  // 130/5
QByteArray BuildUserState(UserStateSub sub, const QString& name);       // 108/sub
// 111: `owner` this client owns the table; `settingsRound` above 0 runs a settings round; with
// `decided` the owner has set the values, which `settings` (six fields) carries.
QByteArray BuildGameSet(bool owner, int settingsRound, bool decided, const QString& settings);
// 112/sub: a raised hand, with the owner's settings when `settings` is not empty; sub above 1
// lowers every hand after raising this one (the game starts).
QByteArray BuildHandUp(uint8_t sub, const QString& name, const QString& settings = QString());
QByteArray BuildNotice(const QString& text);                            // 105, text from byte 3

// The table snapshot (109): no game running...
QByteArray BuildSnapshotIdle(const std::array<bool, 4>& handRaised, uint8_t canSeePai);
// ...or a game running.
struct SnapshotGame {
    uint8_t CanSeePai = 1;
    uint8_t DeckCount = 1;
    uint8_t ShowLeftPai = 0;
    uint8_t TurnSeconds = 30;
    uint8_t TurnChair = 0;
    uint8_t GamePhase = 1;
    uint8_t ShuangShunPlayed = 0;
    std::array<uint16_t, 2> TeamScore{};
    uint16_t TrickFen = 0;
    std::array<uint8_t, 8> MaxOutPai{};
    std::array<uint8_t, 4> MingCi{};
    std::array<uint8_t, 4> PaiCount{};
    std::array<CardList, 4> OutPai;
    CardList MyPai;
    uint8_t ShowPartnerPai = 0;
    CardList PartnerPai;
};
QByteArray BuildSnapshotGame(const SnapshotGame& s);

// GM_START, 15 bytes.
QByteArray BuildGameStart(uint8_t autoOutLimit, uint8_t deckCount, uint8_t showLeftPai, uint8_t turnSeconds,
                          uint8_t leadChair);
// GM_DEAL: the player's hand and, when shown, the partner's.
QByteArray BuildDeal(bool showPartner, const CardList& myPai, const CardList& partnerPai);
// GM_OUTPAI as broadcast: the next chair, the new phase (2: the trick goes on, 1: it was won and
// the next chair leads), the finishing place of the playing chair, the chair and its cards.
QByteArray BuildOutPaiNotice(uint8_t nextChair, uint8_t phase, uint8_t mingCi, uint8_t chair, const CardList& cards);
QByteArray BuildOutPaiRefused(const QString& reason);                   // 21, text from byte 1
// GM_GAME_OVER, long form: each chair's score change (when `withChanges`), both sides' scores and
// every chair's remaining cards.
QByteArray BuildGameOver(bool withChanges, const std::array<int32_t, 4>& changes, const std::array<int32_t, 2>& teamScore,
                         const std::array<CardList, 4>& leftPai);
QByteArray BuildHands(const CardList& myPai, const CardList& partnerPai);   // GM_HANDS
QByteArray BuildQuit(uint8_t chair, const QString& reason);             // GM_QUIT
QByteArray BuildSeePai(bool canSee);                                    // GM_SEE_PAI, 3 bytes
QByteArray BuildDaoJuText(DaoJuSub sub, const QString& text);           // 133/0, 133/1, 133/2
QByteArray BuildDaoJuUsed(uint8_t fromUser, uint8_t toUser, int32_t itemId);   // 133/3

// Appends the big-endian bytes of v.
void AppendLongBE(QByteArray& out, int32_t v);
