// Random inputs through the rules, bounded in time: nothing may crash, and what comes out must
// be a consistent description or a known refusal.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <random>
#include <vector>

#include "rules/cards.h"
#include "rules/paixing.h"

namespace {

constexpr qint64 kBudgetMs = 1500;

std::vector<uint8_t> randomCards(std::mt19937& rng)
{
    std::vector<uint8_t> v(rng() % 41);
    const bool wild = rng() % 8 == 0;  // sometimes any byte at all
    const int ranks = 1 + int(rng() % 13);  // few ranks make more legal plays
    for (uint8_t& c : v) {
        if (wild) c = uint8_t(rng());
        else if (rng() % 10 == 0) c = uint8_t(52 + rng() % 2);
        else c = uint8_t((rng() % 4) * 13 + (rng() % ranks + 13 - ranks) % 13);
    }
    return v;
}

void checkDescription(const std::vector<uint8_t>& v, const PaiXingInfo& p)
{
    const int n = int(v.size());
    ASSERT_LE(p[1], 12);
    for (uint8_t c : v) ASSERT_LE(c, 53);
    if (p[1] == PX_LiangTaoHuo) {
        ASSERT_GE(p[2], 5);
        ASSERT_LE(p[2], 12);
        ASSERT_GE(p[5], 5);
        ASSERT_LE(p[5], 12);
        ASSERT_EQ(p[4] + p[7], n);
    } else {
        ASSERT_EQ(p[2], p[1]);
        ASSERT_EQ(p[4], n);
        ASSERT_TRUE(std::find(v.begin(), v.end(), p[3]) != v.end() || (p[1] >= 8 && p[3] == 53));
    }
}

// The same cards in any order make the same type with the same kinds of parts. Only two 马队
// built from three pairs may trade places: each is keyed on one of the kings, and which king
// the sort puts first depends on the order the cards came in.
void expectSameTypes(const PaiXingInfo& p, const PaiXingInfo& q)
{
    ASSERT_EQ(q[1], p[1]);
    const bool twoMaDui = p[1] == PX_LiangTaoHuo && p[4] == 3 && p[7] == 3 &&
                          (p[2] == PX_JiaMaDui || p[2] == PX_ZhenMaDui) &&
                          (p[5] == PX_JiaMaDui || p[5] == PX_ZhenMaDui);
    if (twoMaDui) {
        ASSERT_EQ(std::min(q[2], q[5]), std::min(p[2], p[5]));
        ASSERT_EQ(std::max(q[2], q[5]), std::max(p[2], p[5]));
    } else {
        ASSERT_EQ(q[2], p[2]);
        ASSERT_EQ(q[5], p[5]);
    }
}

TEST(RulesFuzz, ClassificationIsConsistentAndOrderBlind)
{
    std::mt19937 rng(20261207);
    QElapsedTimer timer;
    timer.start();
    int plays = 0, runs = 0;
    while (timer.elapsed() < kBudgetMs && runs < 300000) {
        ++runs;
        std::vector<uint8_t> v = randomCards(rng);
        PaiXingInfo p;
        const bool ok = GetPaiXing(v.data(), int(v.size()), p);
        if (ok) {
            ++plays;
            checkDescription(v, p);
        }
        // The same cards in another order get the same verdict and type.
        std::vector<uint8_t> w = v;
        std::shuffle(w.begin(), w.end(), rng);
        PaiXingInfo q;
        ASSERT_EQ(GetPaiXing(w.data(), int(w.size()), q), ok);
        if (ok) expectSameTypes(p, q);
    }
    EXPECT_GT(plays, 100);  // the generator reaches the deeper rules
}

TEST(RulesFuzz, ThreePairsInAnotherOrderSwapTheirParts)
{
    // Kings of suits 0 and 1, tens and fives of suits 0 and 2: only the suit-0 king makes a true
    // 马队. Which king is part 1 follows the order the sort leaves, so the parts may trade places.
    const std::vector<uint8_t> a{10, 23, 7, 33, 2, 28}, b{23, 10, 33, 7, 28, 2};
    PaiXingInfo p, q;
    ASSERT_TRUE(GetPaiXing(a.data(), 6, p));
    ASSERT_TRUE(GetPaiXing(b.data(), 6, q));
    EXPECT_EQ(p, (PaiXingInfo{{0, 4, 7, 10, 3, 6, 23, 3}}));
    EXPECT_EQ(q, (PaiXingInfo{{0, 4, 6, 23, 3, 7, 10, 3}}));
    expectSameTypes(p, q);
}

TEST(RulesFuzz, ChecksAgainstAnyBiggestPlay)
{
    std::mt19937 rng(7);
    QElapsedTimer timer;
    timer.start();
    int runs = 0;
    const QString prefix = QStringLiteral("错误提示：");
    while (timer.elapsed() < kBudgetMs && runs < 300000) {
        ++runs;
        std::vector<uint8_t> v = randomCards(rng);
        PaiXingInfo m;
        for (int i = 0; i < 8; ++i) m[i] = uint8_t(rng());
        if (rng() % 2) m[1] = uint8_t(rng() % 13);  // mostly known types
        const bool ssp = rng() % 2;
        QString msg;
        PaiXingInfo out;
        const PaiXingInfo before = m;
        if (CheckFollowOutPai(v.data(), int(v.size()), m, ssp, msg, out)) {
            ASSERT_TRUE(msg.isEmpty());
            checkDescription(v, out);
        } else {
            ASSERT_TRUE(msg.startsWith(prefix)) << msg.toStdString();
        }
        ASSERT_EQ(m, before);
        msg.clear();
        if (!CheckFirstOutPai(v.data(), int(v.size()), msg, out)) {
            ASSERT_TRUE(msg.startsWith(prefix));
        }
        // A component pair never beats itself.
        const PaiComponent c{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
        ASSERT_FALSE(IsComponentBigger(c, c));
    }
}

TEST(RulesFuzz, HandOperationsKeepTheCards)
{
    std::mt19937 rng(99);
    QElapsedTimer timer;
    timer.start();
    int runs = 0;
    while (timer.elapsed() < kBudgetMs && runs < 50000) {
        ++runs;
        std::vector<uint8_t> v = randomCards(rng);
        ByteArr hand = ByteArr::fromVector(v);
        ArrangeHand(hand, rng() % 2, uint8_t(rng() % 4));
        std::vector<uint8_t> a = v, b = hand.cards();
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        ASSERT_EQ(a, b);

        // Remove a random selection of what the hand holds plus a card it may not hold.
        std::vector<uint8_t> sel;
        for (uint8_t c : v)
            if (rng() % 3 == 0) sel.push_back(c);
        sel.push_back(uint8_t(rng()));
        int count = hand.upperBound();
        RemovePai(hand, count, ByteArr::fromVector(sel), int(sel.size()));
        ASSERT_EQ(count, hand.upperBound());
        ASSERT_GE(count, int(v.size()) - int(sel.size()));
        ASSERT_LE(count, int(v.size()) - int(sel.size()) + 1);
        (void)CountFenPai(hand, count + 5);
    }
}

}  // namespace
