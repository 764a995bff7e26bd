#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "cardcodes.h"
#include "rules/paixing.h"

namespace {

using Bytes = std::array<int, 7>;  // bytes 1..7 of the description

struct Row {
    const char* what;
    std::vector<uint8_t> cards;
    bool ok;
    Bytes b;
};

// Card shorthands (suit, rank).
constexpr uint8_t c(int s, int r) { return Card(s, r); }

const std::vector<Row>& rows()
{
    static const std::vector<Row> r = {
        {"nothing", {}, false, {}},
        {"single", {c(2, R9)}, true, {0, 0, c(2, R9), 1, 0, 0, 0}},
        {"single joker", {BJ}, true, {0, 0, BJ, 1, 0, 0, 0}},
        {"pair keyed on the first as given", {c(1, R8), c(3, R8)}, true, {1, 1, c(1, R8), 2, 0, 0, 0}},
        {"pair of twos", {c(3, R2), c(0, R2)}, true, {1, 1, c(3, R2), 2, 0, 0, 0}},
        {"two small jokers", {SJ, SJ}, true, {8, 8, SJ, 2, 0, 0, 0}},
        {"two big jokers", {BJ, BJ}, true, {8, 8, BJ, 2, 0, 0, 0}},
        {"small and big joker", {SJ, BJ}, true, {8, 8, BJ, 2, 0, 0, 0}},
        {"joker and a card", {BJ, c(0, R2)}, false, {}},
        {"two different ranks", {c(0, R3), c(0, R4)}, false, {}},
        {"true ma dui", {c(1, R5), c(1, RK), c(1, R10)}, true, {7, 7, c(1, RK), 3, 0, 0, 0}},
        {"false ma dui", {c(1, R5), c(2, RK), c(1, R10)}, true, {6, 6, c(2, RK), 3, 0, 0, 0}},
        {"three of a kind is a bomb", {c(0, R7), c(1, R7), c(2, R7)}, true, {5, 5, c(0, R7), 3, 0, 0, 0}},
        {"four of a kind", {c(0, RQ), c(1, RQ), c(2, RQ), c(3, RQ)}, true, {5, 5, c(0, RQ), 4, 0, 0, 0}},
        {"five of a kind", {c(0, R4), c(1, R4), c(2, R4), c(3, R4), c(0, R4)}, true, {9, 9, c(0, R4), 5, 0, 0, 0}},
        {"six of a kind", std::vector<uint8_t>(6, c(3, R6)), true, {11, 11, c(3, R6), 6, 0, 0, 0}},
        {"eight of a kind", std::vector<uint8_t>(8, c(3, R2)), true, {11, 11, c(3, R2), 8, 0, 0, 0}},
        {"nine of a kind is beyond two decks", std::vector<uint8_t>(9, c(3, R2)), false, {}},
        {"three jokers", {SJ, BJ, SJ}, true, {10, 10, BJ, 3, 0, 0, 0}},
        {"four jokers", {SJ, BJ, SJ, BJ}, true, {12, 12, BJ, 4, 0, 0, 0}},
        {"straight of three", {c(0, R4), c(2, R6), c(1, R5)}, true, {2, 2, c(2, R6), 3, 0, 0, 0}},
        {"ace two three is no straight", {c(0, RA), c(1, R2), c(2, R3)}, false, {}},
        {"jack to ace", {c(0, RJ), c(1, RA), c(2, RQ), c(3, RK)}, true, {2, 2, c(1, RA), 4, 0, 0, 0}},
        {"three to ace",
         {c(0, R3), c(0, R4), c(0, R5), c(0, R6), c(0, R7), c(0, R8), c(0, R9), c(0, R10), c(0, RJ), c(0, RQ), c(0, RK), c(0, RA)},
         true, {2, 2, c(0, RA), 12, 0, 0, 0}},
        {"straight into the two", {c(0, RK), c(1, RA), c(2, R2)}, false, {}},
        {"straight with a gap", {c(0, R4), c(1, R5), c(2, R7)}, false, {}},
        {"straight with a joker", {c(0, RQ), c(1, RK), BJ}, false, {}},
        {"two pairs", {c(0, R4), c(1, R4), c(2, R3), c(3, R3)}, false, {}},
        {"three pairs in a row", {c(0, R5), c(1, R5), c(2, R4), c(3, R4), c(0, R3), c(1, R3)}, true, {3, 3, c(0, R5), 6, 0, 0, 0}},
        {"pairs with a gap", {c(0, R6), c(1, R6), c(2, R4), c(3, R4), c(0, R3), c(1, R3)}, false, {}},
        {"pairs up to the two", {c(0, R2), c(1, R2), c(2, RA), c(3, RA), c(0, RK), c(1, RK)}, false, {}},
        {"two fours and three threes", {c(0, R4), c(1, R4), c(0, R3), c(1, R3), c(2, R3)}, false, {}},
        {"pair and a single", {c(0, R4), c(1, R4), c(0, R3)}, false, {}},
        {"bomb and a single", {c(0, R5), c(1, R5), c(2, R5), c(0, R6)}, false, {}},
        // two-part plays
        {"two 3-card bombs, higher rank first", {c(0, R7), c(1, R7), c(2, R7), c(0, R9), c(1, R9), c(2, R9)}, true,
         {4, 5, c(0, R9), 3, 5, c(0, R7), 3}},
        {"5-card and 3-card bomb", {c(0, R6), c(1, R6), c(2, R6), c(0, R5), c(1, R5), c(2, R5), c(3, R5), c(0, R5)}, true,
         {4, 5, c(0, R6), 3, 9, c(0, R5), 5}},
        {"joker pair and a bomb", {BJ, BJ, c(0, R4), c(1, R4), c(2, R4)}, true, {4, 8, BJ, 2, 5, c(0, R4), 3}},
        {"small joker pair and a bomb", {SJ, SJ, c(0, R8), c(1, R8), c(2, R8), c(3, R8)}, true, {4, 8, SJ, 2, 5, c(0, R8), 4}},
        {"single card and a bomb", {c(0, RA), c(0, R4), c(1, R4), c(2, R4), c(3, R4)}, false, {}},
        {"pair and a bomb", {c(0, RA), c(1, RA), c(0, R4), c(1, R4), c(2, R4)}, false, {}},
        {"bomb beyond the table in a part", {c(0, RA), c(1, RA), c(2, RA), c(0, R4), c(0, R4), c(0, R4), c(0, R4), c(0, R4), c(0, R4), c(0, R4), c(0, R4), c(0, R4)}, false, {}},
        {"big and small joker and a bomb", {BJ, SJ, c(0, R4), c(1, R4), c(2, R4)}, true, {4, 8, BJ, 2, 5, c(0, R4), 3}},
        {"three jokers and a bomb", {BJ, BJ, SJ, c(0, R4), c(1, R4), c(2, R4), c(3, R4)}, true, {4, 10, BJ, 3, 5, c(0, R4), 4}},
        {"four jokers and a bomb", {BJ, BJ, SJ, SJ, c(0, R6), c(1, R6), c(2, R6)}, true, {4, 12, BJ, 4, 5, c(0, R6), 3}},
        {"four kings, ten, five: a king of their suit makes it true",
         {c(0, RK), c(1, RK), c(2, RK), c(3, RK), c(2, R10), c(2, R5)}, true, {4, 5, c(0, RK), 3, 7, c(2, RK), 3}},
        {"four kings, ten, five: first king already of their suit",
         {c(2, RK), c(1, RK), c(0, RK), c(3, RK), c(2, R10), c(2, R5)}, true, {4, 5, c(2, RK), 3, 7, c(2, RK), 3}},
        {"four kings, ten, five of two suits", {c(0, RK), c(1, RK), c(2, RK), c(3, RK), c(2, R10), c(1, R5)}, true,
         {4, 5, c(0, RK), 3, 6, c(0, RK), 3}},
        {"four tens with king and five: the key stays the king",
         {c(3, RK), c(0, R10), c(1, R10), c(2, R10), c(3, R10), c(3, R5)}, true, {4, 5, c(0, R10), 3, 7, c(3, RK), 3}},
        {"five fives with king and ten", {c(1, RK), c(1, R10), c(0, R5), c(1, R5), c(2, R5), c(3, R5), c(0, R5)}, true,
         {4, 5, c(0, R5), 4, 7, c(1, RK), 3}},
        {"three kings, ten, five", {c(0, RK), c(1, RK), c(2, RK), c(2, R10), c(2, R5)}, false, {}},
        {"four queens, ten, five", {c(0, RQ), c(1, RQ), c(2, RQ), c(3, RQ), c(0, R10), c(0, R5)}, false, {}},
        {"four kings, pair of tens, five", {c(0, RK), c(1, RK), c(2, RK), c(3, RK), c(0, R10), c(1, R10), c(0, R5)}, false, {}},
        {"three pairs, both true", {c(0, RK), c(1, RK), c(1, R10), c(0, R10), c(0, R5), c(1, R5)}, true,
         {4, 7, c(0, RK), 3, 7, c(1, RK), 3}},
        {"three pairs, neither true", {c(0, RK), c(1, RK), c(2, R10), c(2, R10), c(3, R5), c(3, R5)}, true,
         {4, 6, c(0, RK), 3, 6, c(1, RK), 3}},
        {"three pairs, first true", {c(0, RK), c(1, RK), c(0, R10), c(2, R10), c(0, R5), c(3, R5)}, true,
         {4, 7, c(0, RK), 3, 6, c(1, RK), 3}},
        {"three pairs, second true", {c(0, RK), c(1, RK), c(2, R10), c(1, R10), c(3, R5), c(1, R5)}, true,
         {4, 6, c(0, RK), 3, 7, c(1, RK), 3}},
        {"three pairs not king ten five", {c(0, RQ), c(1, RQ), c(0, R10), c(1, R10), c(0, R5), c(1, R5)}, false, {}},
        {"three pairs with jokers", {BJ, BJ, SJ, SJ, c(0, R5), c(1, R5)}, false, {}},
        {"bomb and true ma dui", {c(0, RA), c(1, RA), c(2, RA), c(3, RK), c(3, R10), c(3, R5)}, true,
         {4, 5, c(0, RA), 3, 7, c(3, RK), 3}},
        {"ma dui around a bomb of nines", {c(0, RK), c(1, R10), c(0, R9), c(1, R9), c(2, R9), c(3, R9), c(0, R5)}, true,
         {4, 5, c(0, R9), 4, 6, c(0, RK), 3}},
        {"bomb with king, jack, five", {c(0, RA), c(1, RA), c(2, RA), c(3, RK), c(3, RJ), c(3, R5)}, false, {}},
        {"two big jokers and true ma dui", {BJ, BJ, c(2, RK), c(2, R10), c(2, R5)}, true, {4, 8, BJ, 2, 7, c(2, RK), 3}},
        {"two small jokers and false ma dui", {SJ, SJ, c(2, RK), c(1, R10), c(2, R5)}, true, {4, 8, SJ, 2, 6, c(2, RK), 3}},
        {"one joker and ma dui", {BJ, c(2, RK), c(2, R10), c(2, R5)}, false, {}},
        {"one joker, ma dui and a card", {BJ, c(2, RK), c(2, R10), c(2, R5), c(0, R3)}, false, {}},
        {"both jokers and ma dui", {BJ, SJ, c(0, RK), c(0, R10), c(0, R5)}, true, {4, 8, BJ, 2, 7, c(0, RK), 3}},
        {"three jokers and ma dui", {BJ, SJ, SJ, c(0, RK), c(1, R10), c(0, R5)}, true, {4, 10, BJ, 3, 6, c(0, RK), 3}},
        {"four jokers and ma dui", {BJ, SJ, BJ, SJ, c(3, RK), c(3, R10), c(3, R5)}, true, {4, 12, BJ, 4, 7, c(3, RK), 3}},
        {"both jokers and king, ten, four", {BJ, SJ, c(0, RK), c(0, R10), c(0, R4)}, false, {}},
        {"six ranks", {c(0, RA), c(0, RK), c(0, R10), c(0, R8), c(0, R5), c(0, R3)}, false, {}},
        {"a code beyond the deck", {54}, false, {}},
        {"pair of codes beyond the deck", {200, 200}, false, {}},
        {"a pass mark among cards", {c(0, R7), c(1, R7), 254}, false, {}},
    };
    return r;
}

TEST(GetPaiXing, Table)
{
    for (const Row& r : rows()) {
        PaiXingInfo out;
        const bool ok = GetPaiXing(ByteArr::fromVector(r.cards), int(r.cards.size()), out);
        EXPECT_EQ(ok, r.ok) << r.what;
        if (!ok || !r.ok) continue;
        for (int i = 1; i <= 7; ++i) EXPECT_EQ(int(out[i]), r.b[size_t(i - 1)]) << r.what << " byte " << i;
    }
}

TEST(GetPaiXing, LeavesTheChairAndUnusedBytesAlone)
{
    PaiXingInfo out{{3, 99, 99, 99, 99, 77, 78, 79}};
    ASSERT_TRUE(GetPaiXing(ByteArr{c(0, R9), c(1, R9)}, 2, out));
    EXPECT_EQ(out, (PaiXingInfo{{3, 1, 1, c(0, R9), 2, 77, 78, 79}}));
    const PaiXingInfo before = out;
    EXPECT_FALSE(GetPaiXing(ByteArr{c(0, R9), c(1, R3)}, 2, out));
    EXPECT_EQ(out, before);
}

TEST(GetPaiXing, DoesNotChangeTheCallersCards)
{
    ByteArr cards{c(0, R3), c(0, R5), c(0, R4)};
    PaiXingInfo out;
    ASSERT_TRUE(GetPaiXing(cards, 3, out));
    EXPECT_EQ(cards, (ByteArr{c(0, R3), c(0, R5), c(0, R4)}));
}

TEST(GetPaiXing, CountsAreBounded)
{
    PaiXingInfo out;
    std::vector<uint8_t> many(40, c(0, R3));
    EXPECT_FALSE(GetPaiXing(many.data(), 31, out));
    EXPECT_FALSE(GetPaiXing(many.data(), 40, out));
    EXPECT_FALSE(GetPaiXing(many.data(), 0, out));
    EXPECT_FALSE(GetPaiXing(many.data(), -5, out));
    EXPECT_FALSE(GetPaiXing(nullptr, 3, out));
    // A count beyond the array is clamped to it.
    EXPECT_TRUE(GetPaiXing(ByteArr{c(0, R3)}, 5, out));
    EXPECT_EQ(out[4], 1);
    EXPECT_FALSE(GetPaiXing(ByteArr{}, 5, out));
}

TEST(GetZhaDanType, SizesToTypes)
{
    const std::pair<int, int> t[] = {{-1, 0}, {0, 0}, {1, 0}, {2, 0}, {3, 5}, {4, 5}, {5, 9},
                                     {6, 11}, {7, 11}, {8, 11}, {9, 0}, {255, 0}};
    for (auto [n, type] : t) EXPECT_EQ(GetZhaDanType(n), type) << n;
}

TEST(GetPaiXingName, Names)
{
    const char* names[] = {"单牌", "对牌", "单顺", "双顺", "两套火", "炸弹", "假马队",
                           "真马队", "俩王", "5张炸", "三王", "炸弹", "四王"};
    for (int i = 0; i <= 12; ++i) EXPECT_EQ(GetPaiXingName(uint8_t(i)), QString::fromUtf8(names[i]));
    EXPECT_EQ(GetPaiXingName(13), QStringLiteral("未知的牌型"));
    EXPECT_EQ(GetPaiXingName(255), QStringLiteral("未知的牌型"));
}

TEST(SplitMaDuiPairs, WaysInOrder)
{
    struct S { std::array<uint8_t, 3> p, q; int result; };
    const S t[] = {
        {{0, 0, 0}, {1, 1, 1}, 2},  // as dealt: both one suit
        {{0, 1, 0}, {1, 0, 1}, 2},  // tens swapped
        {{0, 0, 1}, {1, 1, 0}, 2},  // fives swapped
        {{0, 1, 1}, {1, 0, 0}, 2},  // both swapped
        {{0, 0, 0}, {1, 2, 3}, 0},  // only the first king's triple
        {{0, 2, 3}, {1, 1, 1}, 1},  // only the second's
        {{0, 2, 3}, {1, 2, 3}, 3},
        {{2, 2, 2}, {2, 2, 2}, 2},  // two decks: all one suit
        {{0, 1, 1}, {1, 0, 2}, 1},  // only the last way (B keeps the first ten and five) is of one suit
    };
    for (const S& s : t) EXPECT_EQ(SplitMaDuiPairs(s.p.data(), s.q.data()), s.result);
}

}  // namespace
