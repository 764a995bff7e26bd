#include "server/hiddenhand.h"

#include "protocol/messages.h"

std::vector<uint8_t> ShownHand(const std::vector<uint8_t>& hand, bool shown)
{
    return shown ? hand : std::vector<uint8_t>(hand.size(), kHiddenCard);
}

QByteArray WatcherDeal(const std::vector<uint8_t>& hand, bool shown)
{
    return BuildDeal(false, ShownHand(hand, shown), {});
}

QByteArray WatcherHands(const std::vector<uint8_t>& hand, size_t partnerCount, bool shown)
{
    return BuildHands(ShownHand(hand, shown), std::vector<uint8_t>(partnerCount, kHiddenCard));
}
