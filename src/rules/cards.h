#pragma once
// Cards and their order: one byte per card, 0..51 suited (suit = code / 13, rank = code % 13,
// rank 0 the three ... 12 the two), 52 the small joker, 53 the big joker. Hands and plays are
// 1-based byte arrays; the functions taking (cards, n) read positions 1..n, clamped to the array.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/core/bytearr.h"
#include "rules/tablestate.h"

constexpr uint8_t kSmallJoker = 52;
constexpr uint8_t kBigJoker = 53;
constexpr uint8_t kRankFive = 2;
constexpr uint8_t kRankTen = 7;
constexpr uint8_t kRankKing = 10;
constexpr uint8_t kRankTwo = 12;

inline bool IsSuitedCard(uint8_t c) { return c < 52; }
inline bool IsJokerCard(uint8_t c) { return c == kSmallJoker || c == kBigJoker; }
inline uint8_t CardSuit(uint8_t c) { return uint8_t(c / 13); }
inline uint8_t CardRank(uint8_t c) { return uint8_t(c % 13); }

// Position of a card in rank order: suited cards by rank, then the small and the big joker.
// Codes above 53 are not cards; they order above the jokers by code so that sorting a damaged
// hand still terminates with a defined result.
inline int RankOrder(uint8_t c) { return c < 52 ? c % 13 : 13 + (c - 52); }

// a is lower than b in rank order (suit never decides).
inline bool IsPaiLess(uint8_t a, uint8_t b) { return RankOrder(a) < RankOrder(b); }
// Both suited with the same rank, or the same joker.
inline bool IsPaiSameRank(uint8_t a, uint8_t b) { return RankOrder(a) == RankOrder(b); }

// Sorts p[0..n-1] highest first with the exchange sort the hand arrangement is built on
// (the order within a rank follows from the swaps, nothing relies on it).
void SortPaiDesc(uint8_t* p, int n);
// Sorts positions 1..n of the array (n clamped to its upper bound).
void SortPaiDesc(ByteArr& cards, int n);

// Removes one copy of each of cards 1..n from hand 1..handCount (first match in hand order);
// cards not held are skipped. handCount and the array shrink with every removal.
void RemovePai(ByteArr& hand, int& handCount, const ByteArr& cards, int n);
// Same with the hand's whole length as its count.
void RemovePai(ByteArr& hand, const ByteArr& cards, int n);

// Groups sorted cards p[0..n-1] into runs of one rank, highest first. groups is 1-based on return
// (index 0 unused) and holds groupCount groups. A group holds at most 16 cards: a longer run of
// one rank continues in a new group.
void GroupPaiByRank(const uint8_t* p, int n, std::vector<PaiGroup>& groups, int& groupCount);
void GroupPaiByRank(const ByteArr& cards, int n, std::vector<PaiGroup>& groups, int& groupCount);
// Same into caller storage: groups[1..] must have room for n groups (groups[0] is left alone).
// Returns the group count.
int GroupPaiByRank(const uint8_t* p, int n, PaiGroup* groups);

// Points of the cards: a five 5, a ten or a king 10, everything else 0.
int32_t CountFenPai(const uint8_t* p, int n);
int32_t CountFenPai(const ByteArr& cards, int n);

// Arranges cards 1..n by group size: biggest groups first, equal sizes highest rank first.
void ArrangePaiByGroup(ByteArr& cards, int n);
void ArrangePaiByGroup(uint8_t* p, int n);

// Rearranges a whole hand for display: two or more jokers lead (big ones first), then
// five-ten-king sets of one suit (suits 3 down to 0, up to deckCount sets each), then mixed
// five-ten-king sets, then the rest sorted by rank (sortMode) or by group size.
void ArrangeHand(ByteArr& hand, bool sortMode, uint8_t deckCount);
