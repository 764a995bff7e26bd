#pragma once
// Every play a hand can make: at a lead, or against the biggest play of the trick. The candidates
// are built by shape (singles, pairs, runs, bombs, 马队, jokers and the two-part 两套火) and each
// is put through the same checks a player's own play goes through, so the list never holds a play
// the table would refuse.
#include <cstdint>
#include <vector>

#include "rules/tablestate.h"

struct LegalPlay {
    std::vector<uint8_t> Cards;  // highest first
    PaiXingInfo Info;            // bytes 1..7 as the classifier gives them; byte 0 is 0
};

// The plays of hand[0..n-1]: one play for each kind of play the table tells apart (PlaySignature),
// so cards of one rank count as interchangeable except where their suits decide a 真马队; of
// several plays of one kind the first built is listed, which takes the lowest suits. maxOutPai
// null: the hand leads;
// otherwise it follows maxOutPai, shuangShunPlayed telling whether a 双顺 was played in the trick.
// A pass is not listed.
std::vector<LegalPlay> EnumerateLegalPlays(const uint8_t* hand, int n, const PaiXingInfo* maxOutPai,
                                           bool shuangShunPlayed);
std::vector<LegalPlay> EnumerateLegalPlays(const std::vector<uint8_t>& hand, const PaiXingInfo* maxOutPai,
                                           bool shuangShunPlayed);

// The same plays from the cheapest, as a hint offers them: ordinary plays before the bomb family
// (bombs by strength, the two-part 两套火 last), then the lower key, the lower last card, fewer
// cards. Ties keep the enumeration's order.
std::vector<LegalPlay> PlaysFromCheapest(const std::vector<uint8_t>& hand, const PaiXingInfo* maxOutPai,
                                         bool shuangShunPlayed);

// What decides a play's place against others: bytes 1..7 of its description, with every key
// reduced to its rank except a 真马队's, whose suit counts, and a 两套火's two parts bigger
// first (the checks pair them with the other play's parts both ways). Two plays with the same
// signature are equally good answers to the same trick.
std::vector<int> PlaySignature(const PaiXingInfo& info);
