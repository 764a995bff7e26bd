// The rules' fuzz target replayed on generated hands, so every run checks what it checks: real
// cards from a few ranks (which make the deeper play types), now and then any byte at all, each
// followed against another generated play or against a description of any bytes.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <random>
#include <vector>

#include "rules/paixing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
bool SameTypes(const PaiXingInfo& p, const PaiXingInfo& q);

namespace {

std::vector<uint8_t> g_input;

// The target aborts on a broken rule: the input it had is what is needed to see why.
void PrintInput(int)
{
    std::fputs("\nfuzz input:", stderr);
    for (const uint8_t b : g_input) std::fprintf(stderr, " %u", unsigned(b));
    std::fputs("\n", stderr);
}

std::vector<uint8_t> RandomCards(std::mt19937& rng, int most)
{
    std::vector<uint8_t> v(rng() % (most + 1));
    const bool wild = rng() % 8 == 0;
    const int ranks = 1 + int(rng() % 13);  // few ranks make more legal plays
    for (uint8_t& c : v) {
        if (wild) c = uint8_t(rng());
        else if (rng() % 10 == 0) c = uint8_t(52 + rng() % 2);
        else c = uint8_t((rng() % 4) * 13 + (rng() % ranks + 13 - ranks) % 13);
    }
    return v;
}

// The target's input: a control byte that also tells where the first part ends, the play to
// follow, then the cards.
std::vector<uint8_t> Input(std::mt19937& rng, const std::vector<uint8_t>& lead, const std::vector<uint8_t>& cards)
{
    const int size = 1 + int(lead.size() + cards.size());
    std::vector<int> controls;
    for (int c = 0; c < 256; ++c)
        if (c % (size - 1) == int(lead.size())) controls.push_back(c);
    std::vector<uint8_t> in{uint8_t(controls[rng() % controls.size()])};
    in.insert(in.end(), lead.begin(), lead.end());
    in.insert(in.end(), cards.begin(), cards.end());
    return in;
}

TEST(RulesFuzz, GeneratedHandsKeepEveryRuleTheTargetChecks)
{
    std::signal(SIGABRT, PrintInput);
    std::mt19937 rng(20261207);
    int plays = 0;
    for (int run = 0; run < 40000; ++run) {
        std::vector<uint8_t> lead = RandomCards(rng, 6);
        // Now and then a description of any bytes to follow, mostly of a known type.
        if (rng() % 4 == 0) {
            lead.resize(8);
            for (uint8_t& x : lead) x = uint8_t(rng());
            if (rng() % 2) lead[1] = uint8_t(rng() % 13);
        }
        std::vector<uint8_t> cards = RandomCards(rng, 40);
        if (cards.empty()) cards.push_back(uint8_t(rng() % 54));
        g_input = Input(rng, lead, cards);
        LLVMFuzzerTestOneInput(g_input.data(), g_input.size());
        PaiXingInfo p;
        plays += GetPaiXing(cards.data(), int(cards.size()), p);
    }
    std::signal(SIGABRT, SIG_DFL);
    EXPECT_GT(plays, 1000);  // the generator reaches the deeper rules
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
    EXPECT_TRUE(SameTypes(p, q));
}

}  // namespace
