#pragma once
// One chair's knowledge of a round: what a client sitting there is shown and nothing more. It is
// filled only from what the table sends that chair (the own hand, the partner's hand when the
// table shows it, and every play as announced), so a player built on it cannot peek: there is
// no way to hand it another chair's hidden cards.
#include <array>
#include <cstdint>

#include "rules/roundcore.h"

// Card codes 0..53 with how many copies of each.
using CardCounts = std::array<uint8_t, 54>;

class SeatView {
public:
    explicit SeatView(uint8_t chair = 0) : chair_(uint8_t(chair & 3)) {}

    // A new round: every hand full and unseen.
    void start(int decks, uint8_t lead);
    // The own hand as dealt, or as the table resends it.
    void learnHand(const uint8_t* cards, int n);
    // The partner's hand, when the table shows it.
    void showPartner(const uint8_t* cards, int n);
    void beginPlay() { round_.beginPlay(); }
    // A play or pass as the table announced it.
    MoveOutcome apply(const MoveNotice& n);
    // Coming in during a round (a snapshot for this chair). Earlier tricks are not in it, so
    // their cards count as unseen.
    void restore(const PublicRound& r);
    // Between rounds.
    void clear();

    uint8_t chair() const { return chair_; }
    uint8_t partner() const { return PartnerOf(chair_); }
    bool partnerShown() const { return partnerShown_; }
    // The round as this chair knows it: only its own hand (and a shown partner's) is held.
    const RoundCore& round() const { return round_; }
    const CardRun& hand() const { return round_.hand(chair_); }
    // Cards seen played since the round began (or since the snapshot).
    const CardCounts& played() const { return played_; }
    // Cards this chair has not seen: in the other hands or undealt.
    CardCounts unseen() const;
    // The lowest single (and pair) a chair passed on while the other side held the trick, by
    // RankOrder; kNoPass when it never did. A chair that passes there seldom holds a plain card
    // (a pair) just above it.
    static constexpr int8_t kNoPass = 127;
    int8_t passedSingle(uint8_t c) const { return passedSingle_[c & 3]; }
    int8_t passedPair(uint8_t c) const { return passedPair_[c & 3]; }

private:
    uint8_t chair_;
    bool partnerShown_ = false;
    RoundCore round_;
    CardCounts played_{};
    std::array<int8_t, 4> passedSingle_{kNoPass, kNoPass, kNoPass, kNoPass};
    std::array<int8_t, 4> passedPair_{kNoPass, kNoPass, kNoPass, kNoPass};
};
