#pragma once
// The table as this client mirrors it: the four chairs, who is viewed from the bottom seat, and
// the game state of the current round. How it is shown (seat places on the screen, raised cards,
// buttons) is the table view's. One instance is owned by the client; tests build their own.
#include <QString>
#include <array>
#include <cstdint>

#include "platform/core/bytearr.h"
#include "protocol/codes.h"
#include "rules/gamephase.h"

// The 8-byte description of one play: byte 0 the chair, byte 1 the type, then two components
// (type, key card, count) at bytes 2..4 and 5..7.
struct PaiXingInfo {
    std::array<uint8_t, 8> b{};
    uint8_t& operator[](int i) { return b[size_t(i)]; }
    uint8_t operator[](int i) const { return b[size_t(i)]; }
    bool operator==(const PaiXingInfo&) const = default;
};

// One rank group: the cards of one rank in the order met (positions 1..16), and their number.
struct PaiGroup {
    std::array<uint8_t, 17> Cards{};
    uint8_t Count = 0;
};

struct ChairInfo {
    // Room fields.
    QString Name;          // empty when the chair is free
    int32_t IconNo = -1;   // membership level * 1000 + figure index; -1 unknown
    bool Dropped = false;
    bool HandRaised = false;  // also the ready flag
    // Game fields.
    uint8_t PaiCount = 0;
    ByteArr OutPai;      // play in the current trick; a single 254 is a pass
    ByteArr LastOutPai;  // the play before OutPai
    uint8_t MingCi = 0;  // finishing place, 0 = still playing
    ByteArr LeftPai;     // cards revealed at the end of a game
};

constexpr uint8_t kPassCard = kPassCode;

// Cards of one full hand: (decks x 54) div 4.
inline int FullHandCount(int decks) { return decks * 54 / 4; }

struct TableState {
    // Chairs, indexed by ChairNo 0..3.
    std::array<ChairInfo, 4> Chairs;

    // Own identity and view.
    QString strViewOwner;                  // the user shown at the bottom seat
    uint8_t bteMyChair = 0;                // ChairNo of strViewOwner
    bool blnPangGuan = false;              // this client is a spectator

    // Hands.
    ByteArr MyPai;
    ByteArr PartnerPai;
    ByteArr MyPaiBackup;
    ByteArr SelectedPai;

    uint8_t ShowPartnerPai = 0;
    uint8_t CanSeePai = 1;
    bool TableIdle = true;
    uint8_t DeckCount = 1;
    uint8_t ShowLeftPai = 0;
    uint8_t TurnSeconds = 30;
    uint8_t AutoOutCount = 0;
    uint8_t AutoOutLimit = 5;
    uint8_t TurnChair = 0;
    ::GamePhase GamePhase = ::GamePhase::None;
    bool ShuangShunPlayed = false;
    PaiXingInfo MaxOutPai;
    std::array<int32_t, 2> TeamScore{};
    int32_t TrickFen = 0;
    bool PaiSortMode = true;
    // Counts the resets of the table: a handler that waited in a nested event loop can tell the
    // table was set up anew meanwhile (a new game, a snapshot, the window's tear-down).
    uint32_t ResetCount = 0;
};
