#pragma once
// What a spectator is sent of the watched player's hand. While the player lets spectators see it,
// the cards; otherwise the same messages with every card replaced by kHiddenCard, so the client
// still learns how many cards there are (it draws that many backs) and nothing else. No card code
// of a deck is kHiddenCard, so the client's own bookkeeping of the plays (taking played cards out
// of the hand) never takes a hidden one for a real card; the room sends the new count after each
// play of the watched player instead.
#include <QByteArray>
#include <cstdint>
#include <vector>

#include "protocol/codes.h"

// The protocol's card that is counted but not named.
inline constexpr uint8_t kHiddenCard = kHiddenCardCode;

// The hand as a spectator may see it.
std::vector<uint8_t> ShownHand(const std::vector<uint8_t>& hand, bool shown);
// GM_DEAL for a spectator of the player dealt `hand`.
QByteArray WatcherDeal(const std::vector<uint8_t>& hand, bool shown);
// GM_HANDS for a spectator: the watched hand, and the partner's as hidden cards of its count (a
// spectator never sees the partner's hand).
QByteArray WatcherHands(const std::vector<uint8_t>& hand, size_t partnerCount, bool shown);
