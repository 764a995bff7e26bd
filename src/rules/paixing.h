#pragma once
// Card types of a play, their classification, and the checks of the own play against the table.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "platform/core/bytearr.h"
#include "rules/tablestate.h"

enum PaiXing : uint8_t {
    PX_DanPai = 0,        // one card
    PX_DuiPai = 1,        // a suited pair
    PX_DanShun = 2,       // consecutive single cards
    PX_ShuangShun = 3,    // consecutive pairs
    PX_LiangTaoHuo = 4,   // two bomb-family parts played together
    PX_ZhaDan = 5,        // 3 or 4 of one rank
    PX_JiaMaDui = 6,      // five, ten, king of mixed suits
    PX_ZhenMaDui = 7,     // five, ten, king of one suit
    PX_LiaWang = 8,       // two jokers
    PX_WuZhangZha = 9,    // 5 of one rank
    PX_SanWang = 10,      // three jokers
    PX_DaZhaDan = 11,     // 6 to 8 of one rank
    PX_SiWang = 12,       // four jokers
};

// The most cards the classifier looks at; a longer set is never a play.
constexpr int kMaxPlayCards = 30;

// One part of a play: type, key card and number of cards (bytes 2..4 or 5..7 of a PaiXingInfo).
struct PaiComponent {
    uint8_t Type = 0;
    uint8_t Key = 0;
    uint8_t Count = 0;
};
inline PaiComponent Part1(const PaiXingInfo& p) { return {p[2], p[3], p[4]}; }
inline PaiComponent Part2(const PaiXingInfo& p) { return {p[5], p[6], p[7]}; }

// Display name of a type; "未知的牌型" above 12.
QString GetPaiXingName(uint8_t paiXing);

// Bomb type of a same-rank set of `count` cards: 3-4 -> 5, 5 -> 9, 6-8 -> 11, otherwise 0.
uint8_t GetZhaDanType(int count);

// Which of the two five-ten-king triples made from three pairs (king, ten, five) are of one
// suit. p and q are the suits of the first and of the second card of the king, ten and five
// pairs. 0: the first king's triple only, 1: the second king's only, 2: both, 3: neither.
uint8_t SplitMaDuiPairs(const uint8_t p[3], const uint8_t q[3]);

// Classifies the cards. True when they form a play; then bytes 1..4 (and 5..7 for a 两套火) of
// `out` are written. Byte 0, and bytes 5..7 of a one-part play, are left as they were; nothing is
// written when the cards are not a play. The cards themselves are not changed.
bool GetPaiXing(const uint8_t* cards, int n, PaiXingInfo& out);
bool GetPaiXing(const ByteArr& cards, int n, PaiXingInfo& out);

// L beats R (both bomb-family parts).
bool IsComponentBigger(const PaiComponent& l, const PaiComponent& r);
bool IsComponentBigger(uint8_t lType, uint8_t lKey, uint8_t lCount, uint8_t rType, uint8_t rKey, uint8_t rCount);

// The outcome of a check without its text, for searches that try many sets of cards.
enum class PlayCheck : uint8_t {
    Ok,
    NotAPlay,
    LeadLiangTaoHuo,
    NoShuangShun,
    MustLiangTaoHuo,
    OnlyOnShuangShun,
    SameType,
    SameCount,
    NotBigger,
};
PlayCheck CheckLead(const uint8_t* cards, int n, PaiXingInfo& out);
PlayCheck CheckFollow(const uint8_t* cards, int n, const PaiXingInfo& maxOutPai, bool shuangShunPlayed, PaiXingInfo& out);

// The check of a lead. False with the reason in msg; true leaves msg untouched and describes
// the play in out.
bool CheckFirstOutPai(const uint8_t* cards, int n, QString& msg, PaiXingInfo& out);
bool CheckFirstOutPai(const ByteArr& cards, int n, QString& msg, PaiXingInfo& out);

// The check of a follow against the biggest play of the trick; shuangShunPlayed: a 双顺 was
// played in this trick. Same contract as CheckFirstOutPai.
bool CheckFollowOutPai(const uint8_t* cards, int n, const PaiXingInfo& maxOutPai, bool shuangShunPlayed,
                       QString& msg, PaiXingInfo& out);
bool CheckFollowOutPai(const ByteArr& cards, int n, const PaiXingInfo& maxOutPai, bool shuangShunPlayed,
                       QString& msg, PaiXingInfo& out);

// The refusal texts.
namespace PaiMsg {
QString NotAPlay();          // "错误提示：牌型不对！"
QString LeadLiangTaoHuo();   // a 两套火 led
QString NoShuangShun();      // a 两套火 without a 双顺 in the trick
QString MustLiangTaoHuo();   // after a 双顺
QString OnlyOnShuangShun();  // a 两套火 on an ordinary play
QString SameType();          // followed by the type name
QString SameCount();
QString NotBigger();
}  // namespace PaiMsg
