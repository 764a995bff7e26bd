#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cardcodes.h"
#include "rules/paixing.h"

namespace {

using Cards = std::vector<uint8_t>;
constexpr uint8_t c(int s, int r) { return Card(s, r); }

Cards same(int rank, int n)
{
    Cards v;
    for (int i = 0; i < n; ++i) v.push_back(c(i % 4, rank));
    return v;
}
Cards operator+(Cards a, const Cards& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::string kNotPlay = "错误提示：牌型不对！";
const std::string kLead = "错误提示：首家出牌不能出 两套火！";
const std::string kNoSS = "错误提示：本轮没有人出双顺，你不能出两套火！";
const std::string kMust = "错误提示：本轮有人出过双顺，你必须用两套火管！";
const std::string kOnly = "错误提示：俩套火只能管 双顺！";
const std::string kType = "错误提示：必须和本轮最大出牌的牌型相同：";
const std::string kCount = "错误提示：必须和本轮最大出牌的张数相同！";
const std::string kBigger = "错误提示：出牌必须比本轮最大出牌还要大！";
const std::string kOk = "";

PaiXingInfo describe(const Cards& cards, uint8_t chair = 2)
{
    PaiXingInfo p;
    EXPECT_TRUE(GetPaiXing(cards.data(), int(cards.size()), p)) << "test play is not a play";
    p[0] = chair;
    return p;
}

const Cards kMaDuiTrue3 = {c(3, RK), c(3, R10), c(3, R5)};
const Cards kMaDuiTrue1 = {c(1, RK), c(1, R10), c(1, R5)};
const Cards kMaDuiFalse = {c(1, RK), c(2, R10), c(1, R5)};
const Cards kMaDuiFalse2 = {c(0, RK), c(2, R10), c(3, R5)};
const Cards kShuang345 = {c(0, R5), c(1, R5), c(0, R4), c(1, R4), c(0, R3), c(1, R3)};
const Cards kShuang456 = {c(2, R6), c(3, R6), c(2, R5), c(3, R5), c(2, R4), c(3, R4)};

TEST(IsComponentBigger, Table)
{
    struct Row { PaiComponent l, r; bool bigger; };
    const Row rows[] = {
        {{5, c(0, R9), 3}, {5, c(0, R7), 3}, true},
        {{5, c(0, R7), 3}, {5, c(0, R9), 3}, false},
        {{5, c(0, R3), 4}, {5, c(0, R9), 3}, true},    // more cards first
        {{5, c(0, RA), 3}, {5, c(0, R3), 4}, false},
        {{5, c(0, R9), 3}, {5, c(3, R9), 3}, false},   // equal rank: not bigger either way
        {{9, c(0, R3), 5}, {5, c(0, R2), 4}, true},    // higher type
        {{8, BJ, 2}, {9, c(0, R3), 5}, false},
        {{7, c(3, RK), 3}, {7, c(2, RK), 3}, true},    // true 马队 by key suit
        {{7, c(2, RK), 3}, {7, c(3, RK), 3}, false},
        {{7, c(2, RK), 3}, {7, c(2, RK), 3}, false},
        {{6, c(3, RK), 3}, {6, c(0, RK), 3}, false},   // false 马队 never beat each other
        {{10, BJ, 3}, {10, BJ, 3}, false},
        {{12, BJ, 4}, {12, BJ, 4}, false},
        {{8, BJ, 2}, {8, SJ, 2}, true},
        {{8, SJ, 2}, {8, SJ, 2}, false},
        {{11, c(0, R3), 8}, {11, c(0, RA), 7}, true},
        {{11, c(0, R9), 6}, {11, c(0, R9), 7}, false},
        {{4, c(0, R9), 6}, {0, c(0, R3), 1}, false},   // not bomb family
        {{12, BJ, 4}, {3, c(0, R3), 6}, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(IsComponentBigger(r.l, r.r), r.bigger)
            << int(r.l.Type) << "/" << int(r.l.Key) << "/" << int(r.l.Count) << " vs " << int(r.r.Type) << "/"
            << int(r.r.Key) << "/" << int(r.r.Count);
        EXPECT_EQ(IsComponentBigger(r.l.Type, r.l.Key, r.l.Count, r.r.Type, r.r.Key, r.r.Count), r.bigger);
    }
}

TEST(CheckFirstOutPai, Table)
{
    struct Row { Cards cards; std::string msg; };
    const Row rows[] = {
        {{c(0, R3)}, kOk},
        {kShuang345, kOk},
        {same(R9, 6), kOk},
        {{BJ, SJ, BJ, SJ}, kOk},
        {same(R9, 3) + same(R7, 3), kLead},
        {{c(0, R3), c(0, R5)}, kNotPlay},
        {{}, kNotPlay},
    };
    for (const Row& r : rows) {
        QString msg = QStringLiteral("untouched");
        PaiXingInfo out;
        const bool ok = CheckFirstOutPai(ByteArr::fromVector(r.cards), int(r.cards.size()), msg, out);
        EXPECT_EQ(ok, r.msg.empty());
        EXPECT_EQ(msg, r.msg.empty() ? QStringLiteral("untouched") : QString::fromStdString(r.msg));
    }
}

struct FollowRow {
    const char* what;
    Cards max;     // the biggest play, classified
    bool ssp;      // a 双顺 was played in the trick
    Cards cards;   // the candidate
    std::string msg;  // empty: accepted
};

void runFollow(const FollowRow& r, const PaiXingInfo& maxOut)
{
    QString msg = QStringLiteral("untouched");
    PaiXingInfo out;
    const PaiXingInfo before = maxOut;
    const bool ok = CheckFollowOutPai(ByteArr::fromVector(r.cards), int(r.cards.size()), maxOut, r.ssp, msg, out);
    EXPECT_EQ(ok, r.msg.empty()) << r.what;
    if (r.msg.empty()) EXPECT_EQ(msg, QStringLiteral("untouched")) << r.what;
    else EXPECT_EQ(msg.toStdString(), r.msg) << r.what;
    EXPECT_EQ(maxOut, before);
}

TEST(CheckFollowOutPai, Table)
{
    const Cards ltBomb3MaDui = same(R9, 3) + kMaDuiFalse2;            // 999 + false 马队
    const Cards ltJokersBomb = Cards{BJ, BJ} + same(R4, 3);           // 俩王 + 444
    const Cards lt97 = same(R9, 3) + same(R7, 3);
    const std::vector<FollowRow> rows = {
        // ordinary plays
        {"two on ace", {c(0, RA)}, false, {c(1, R2)}, kOk},
        {"pair of twos on a single", {c(0, RA)}, false, {c(1, R2), c(2, R2)}, kType + "单牌"},
        {"bomb on a single", {c(0, RA)}, false, same(R3, 3), kOk},
        {"joker on a single", {c(0, RA)}, false, {SJ}, kOk},
        {"equal single", {c(0, RA)}, false, {c(3, RA)}, kBigger},
        {"lower single", {c(0, RA)}, false, {c(3, RK)}, kBigger},
        {"small joker on big joker", {BJ}, false, {SJ}, kBigger},
        {"higher pair", {c(0, R8), c(1, R8)}, false, {c(0, R9), c(2, R9)}, kOk},
        {"single on a pair", {c(0, R8), c(1, R8)}, false, {c(0, R9)}, kType + "对牌"},
        {"longer straight", {c(0, R7), c(0, R6), c(0, R5), c(0, R4), c(0, R3)}, false,
         {c(1, R9), c(1, R8), c(1, R7), c(1, R6), c(1, R5), c(1, R4)}, kCount},
        {"higher straight", {c(0, R7), c(0, R6), c(0, R5), c(0, R4), c(0, R3)}, false,
         {c(1, R8), c(1, R7), c(1, R6), c(1, R5), c(1, R4)}, kOk},
        {"两套火 on a straight, no 双顺", {c(0, R7), c(0, R6), c(0, R5)}, false, lt97, kNoSS},
        {"两套火 on a straight after a 双顺", {c(0, R7), c(0, R6), c(0, R5)}, true, lt97, kOnly},
        {"not a play", {c(0, RA)}, false, {c(0, R3), c(0, R5)}, kNotPlay},
        {"nothing", {c(0, RA)}, false, {}, kNotPlay},
        // after a 双顺
        {"higher 双顺", kShuang345, true, kShuang456, kOk},
        {"equal 双顺", kShuang456, true, kShuang456, kBigger},
        {"longer 双顺", kShuang345, true, kShuang456 + Cards{c(0, R7), c(1, R7)}, kCount},
        {"3-card bomb on 双顺", kShuang345, true, same(R9, 3), kMust},
        {"马队 on 双顺", kShuang345, true, kMaDuiTrue3, kMust},
        {"俩王 on 双顺", kShuang345, true, {BJ, SJ}, kMust},
        {"5-card bomb on 双顺", kShuang345, true, same(R9, 5), kMust},
        {"三王 on 双顺", kShuang345, true, {BJ, SJ, SJ}, kMust},
        {"single on 双顺", kShuang345, true, {c(0, R2)}, kMust},
        {"6-card bomb on 双顺", kShuang345, true, same(R3, 6), kOk},
        {"四王 on 双顺", kShuang345, true, {BJ, SJ, BJ, SJ}, kOk},
        {"两套火 on 双顺", kShuang345, true, lt97, kOk},
        {"bomb on a 双顺 without the flag", kShuang345, false, same(R9, 6), kOk},
        {"3-card bomb on a 双顺 without the flag", kShuang345, false, same(R9, 3), kType + "双顺"},
        // bombs
        {"4-card bomb on a higher 3-card bomb", same(R9, 3), false, same(R4, 4), kOk},
        {"3-card bomb on a lower 4-card bomb", same(R4, 4), false, same(RA, 3), kBigger},
        {"4-card bombs by rank", same(R9, 4), false, same(R8, 4), kBigger},
        {"4-card bombs by rank, higher", same(R9, 4), false, same(RJ, 4), kOk},
        {"ordinary play on a bomb", same(R9, 3), false, {c(0, R2)}, kBigger},
        {"马队 on a bomb", same(R9, 4), false, kMaDuiFalse, kOk},
        {"false 马队 on false 马队", kMaDuiFalse, false, kMaDuiFalse2, kBigger},
        {"true 马队 on false 马队", kMaDuiFalse, false, kMaDuiTrue1, kOk},
        {"false 马队 on true 马队", kMaDuiTrue1, false, kMaDuiFalse, kBigger},
        {"true 马队 of a higher suit", kMaDuiTrue1, false, kMaDuiTrue3, kOk},
        {"true 马队 of a lower suit", kMaDuiTrue3, false, kMaDuiTrue1, kBigger},
        {"big jokers on small jokers", {SJ, SJ}, false, {BJ, SJ}, kOk},
        {"equal 俩王", {BJ, SJ}, false, {BJ, BJ}, kBigger},
        {"bomb on 俩王", {BJ, SJ}, false, same(R2, 4), kBigger},
        {"5-card bomb on 俩王", {BJ, SJ}, false, same(R3, 5), kOk},
        {"higher 5-card bomb", same(R8, 5), false, same(R9, 5), kOk},
        {"三王 on 三王", {BJ, SJ, SJ}, false, {BJ, BJ, SJ}, kBigger},
        {"6-card bomb on 三王", {BJ, SJ, SJ}, false, same(R3, 6), kOk},
        // 6-to-8-card bombs
        {"any 7 beats any 6 without 双顺", same(RA, 6), false, same(R3, 7), kOk},
        {"lower 6 on 6", same(RA, 6), false, same(R3, 6), kBigger},
        {"higher 6 on 6", same(R9, 6), false, same(R10, 6), kOk},
        {"7 on 8", same(R3, 8), false, same(R2, 7), kBigger},
        {"四王 on a 6-card bomb", same(R2, 8), false, {BJ, SJ, BJ, SJ}, kOk},
        {"5-card bomb on a 6-card bomb", same(R3, 6), false, same(R2, 5), kBigger},
        {"lower 7 on 6 after 双顺", same(R9, 6), true, same(R8, 7), kBigger},
        {"higher 7 on 6 after 双顺", same(R9, 6), true, same(R10, 7), kOk},
        {"8 on 6 after 双顺", same(R9, 6), true, same(R3, 8), kOk},
        {"lower 7 on 7 after 双顺", same(R9, 7), true, same(R8, 7), kBigger},
        {"6 on 7 after 双顺", same(R3, 7), true, same(R2, 6), kBigger},
        {"四王 on 8 after 双顺", same(R2, 8), true, {BJ, SJ, BJ, SJ}, kOk},
        {"双顺 on a 6-card bomb after 双顺", same(R9, 6), true, kShuang456, kMust},
        {"两套火 splits a 6-card bomb", same(R9, 6), true, same(RJ, 3) + same(R10, 3), kOk},
        {"两套火 with a lower part", same(R9, 6), true, same(RJ, 3) + same(R8, 3), kBigger},
        {"two 4-card bombs on 6", same(R9, 6), true, same(R4, 4) + same(R3, 4), kOk},
        {"two 4-card bombs on 7", same(R9, 7), true, same(R4, 4) + same(R3, 4), kBigger},
        {"5-card and 3-card bomb on 7 (4+3)", same(R9, 7), true, same(RJ, 3) + same(R3, 5), kOk},
        {"俩王 and a 4-card bomb on 8", same(R9, 8), true, Cards{BJ, BJ} + same(R3, 4), kBigger},
        {"俩王 and a 4-card bomb on 7", same(R9, 7), true, Cards{BJ, BJ} + same(RJ, 4), kOk},
        // 四王
        {"6-card bomb on 四王", {BJ, SJ, BJ, SJ}, false, same(R2, 8), kBigger},
        {"四王 on 四王", {BJ, SJ, BJ, SJ}, false, {BJ, SJ, BJ, SJ}, kBigger},
        {"四王 on 四王 after 双顺", {BJ, SJ, BJ, SJ}, true, {BJ, SJ, BJ, SJ}, kMust},
        {"8-card bomb on 四王 after 双顺", {BJ, SJ, BJ, SJ}, true, same(R2, 8), kMust},
        {"two 5-card bombs on 四王 after 双顺", {BJ, SJ, BJ, SJ}, true, same(R4, 5) + same(R3, 5), kOk},
        {"三王 and a 5-card bomb on 四王 after 双顺", {BJ, SJ, BJ, SJ}, true, Cards{BJ, SJ, SJ} + same(R3, 5), kOk},
        {"5 and 3 on 四王 after 双顺", {BJ, SJ, BJ, SJ}, true, same(R4, 5) + same(R3, 3), kBigger},
        {"两套火 on 四王 without 双顺", {BJ, SJ, BJ, SJ}, false, same(R4, 5) + same(R3, 5), kNoSS},
        // on a 两套火
        {"四王 on bomb and 马队", ltBomb3MaDui, true, {BJ, SJ, BJ, SJ}, kOk},
        {"四王 on two bombs", lt97, true, {BJ, SJ, BJ, SJ}, kOk},
        {"四王 on 俩王 and a bomb", ltJokersBomb, true, {BJ, SJ, BJ, SJ}, kBigger},
        {"四王 on a 5-card bomb part", same(R9, 5) + same(R7, 3), true, {BJ, SJ, BJ, SJ}, kBigger},
        {"6-card bomb splits against two 3-card bombs", lt97, true, same(R10, 6), kOk},
        {"lower 6-card bomb against two 3-card bombs", lt97, true, same(R8, 6), kBigger},
        {"7-card bomb 4+3 against two 3-card bombs", lt97, true, same(R8, 7), kOk},
        {"two bombs crosswise", lt97, true, same(R8, 3) + same(RJ, 3), kOk},
        {"two bombs, one lower", lt97, true, same(R8, 3) + same(R6, 3), kBigger},
        {"3-card bomb on a 两套火", lt97, true, same(R2, 3), kMust},
        {"6-card bomb on 俩王 and a bomb", ltJokersBomb, true, same(R2, 6), kBigger},
        {"8-card bomb: its 5-card half beats 俩王", ltJokersBomb, true, same(R2, 8), kOk},
        {"7-card bomb: no half beats 俩王", ltJokersBomb, true, same(R2, 7), kBigger},
    };
    for (const FollowRow& r : rows) runFollow(r, describe(r.max));
}

TEST(CheckFollowOutPai, BiggestPlayWithAnyBytes)
{
    // A description that no classification produces: unknown types refuse with the size text.
    for (int type : {13, 100, 255}) {
        PaiXingInfo m{{0, uint8_t(type), uint8_t(type), 7, 9, 200, 1, 0}};
        for (bool ssp : {false, true}) {
            QString msg;
            PaiXingInfo out;
            EXPECT_FALSE(CheckFollowOutPai(same(R9, 6).data(), 6, m, ssp, msg, out));
            EXPECT_EQ(msg.toStdString(), kBigger);
        }
    }
    // A 6-to-8-card bomb with a count far beyond 8 runs the split test without trouble.
    PaiXingInfo big{{0, 11, 11, c(0, R9), 255, 0, 0, 0}};
    QString msg;
    PaiXingInfo out;
    EXPECT_FALSE(CheckFollowOutPai((same(RJ, 3) + same(R10, 3)).data(), 6, big, true, msg, out));
    EXPECT_EQ(msg.toStdString(), kBigger);
}

}  // namespace
