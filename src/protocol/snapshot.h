#pragma once
// The table snapshot (RM_TABLE_SNAPSHOT, 109) decoded: byte 2 tells a waiting table from a
// running game, the fields follow from byte 4. A message that ends early, or holds a value out
// of its range, is decoded up to that field and no further: `fieldsRead` says how far, and the
// loader stores exactly that much.
#include <QByteArray>
#include <array>
#include <cstdint>
#include <vector>

// The fields of the two layouts, in wire order.
enum SnapshotIdleField : int {
    SI_HandRaised0 = 0,  // one per chair
    SI_CanSeePai = SI_HandRaised0 + 4,
    SI_Count
};
enum SnapshotGameField : int {
    SG_CanSeePai = 0,
    SG_DeckCount,        // 1 or 2
    SG_ShowLeftPai,
    SG_TurnSeconds,
    SG_TurnChair,        // 0..3
    SG_GamePhase,        // 0, 1, 2 or 100
    SG_ShuangShunPlayed,
    SG_TeamScore0,       // two bytes each from here to the trick's points
    SG_TeamScore1,
    SG_TrickFen,
    SG_MaxOutPai0,       // eight bytes
    SG_MingCi0 = SG_MaxOutPai0 + 8,    // one per chair, 0..4
    SG_PaiCount0 = SG_MingCi0 + 4,     // one per chair, at most a full hand of the deck count
    SG_OutPai0 = SG_PaiCount0 + 4,     // a counted card list per chair
    SG_MyPai = SG_OutPai0 + 4,         // a counted card list
    SG_ShowPartnerPai,
    SG_PartnerPai,                     // a counted card list, only when the partner's hand is shown
    SG_Count
};

struct TableSnapshotMsg {
    enum class Layout : uint8_t {
        None,  // under three bytes: nothing to load
        Idle,
        Game,
    };
    Layout layout = Layout::None;
    // Fields that arrived whole and in range, counted in the layout's order. A card list the
    // message cut short holds the cards that were there.
    int fieldsRead = 0;

    std::array<bool, 4> handRaised{};   // idle only
    uint8_t canSeePai = 0;
    uint8_t deckCount = 0;
    uint8_t showLeftPai = 0;
    uint8_t turnSeconds = 0;
    uint8_t turnChair = 0;
    uint8_t gamePhase = 0;
    bool shuangShunPlayed = false;
    std::array<int32_t, 2> teamScore{};
    int32_t trickFen = 0;
    std::array<uint8_t, 8> maxOutPai{};
    std::array<uint8_t, 4> mingCi{};
    std::array<uint8_t, 4> paiCount{};
    std::array<std::vector<uint8_t>, 4> outPai;
    std::vector<uint8_t> myPai;
    uint8_t showPartnerPai = 0;
    std::vector<uint8_t> partnerPai;

    bool has(int field) const { return field < fieldsRead; }
    // A card list is stored when the loading gets to it, whole or not.
    bool reaches(int field) const { return field <= fieldsRead; }
    bool whole() const
    {
        return fieldsRead == (layout == Layout::Idle ? int(SI_Count) : layout == Layout::Game ? int(SG_Count) : -1);
    }
};

TableSnapshotMsg DecodeTableSnapshot(const uint8_t* msg, qsizetype len);
TableSnapshotMsg DecodeTableSnapshot(const QByteArray& msg);
