#include "server/seatview.h"

#include <algorithm>

#include "rules/cards.h"
#include "rules/paixing.h"

void SeatView::start(int decks, uint8_t lead)
{
    round_.observe(decks, lead);
    played_.fill(0);
    passedSingle_.fill(kNoPass);
    passedPair_.fill(kNoPass);
    partnerShown_ = false;
}

void SeatView::learnHand(const uint8_t* cards, int n) { round_.learnHand(chair_, cards, n); }

void SeatView::showPartner(const uint8_t* cards, int n)
{
    round_.learnHand(partner(), cards, n);
    partnerShown_ = true;
}

MoveOutcome SeatView::apply(const MoveNotice& n)
{
    const bool pass = n.cards.size() == 1 && n.cards[0] == kPassCode;
    const PaiXingInfo& max = round_.maxOutPai();
    if (pass && round_.phase() == GamePhase::Follow && n.chair < 4 && SideOf(max[0] & 3) != SideOf(n.chair)) {
        const int8_t key = int8_t(RankOrder(max[3]));
        if (max[1] == PX_DanPai) passedSingle_[n.chair] = std::min(passedSingle_[n.chair], key);
        if (max[1] == PX_DuiPai) passedPair_[n.chair] = std::min(passedPair_[n.chair], key);
    }
    if (!pass)
        for (uint8_t c : n.cards)
            if (c < played_.size() && played_[c] < 255) ++played_[c];
    return round_.apply(n);
}

void SeatView::restore(const PublicRound& r)
{
    PublicRound mine = r;
    mine.viewer = chair_;
    round_.restore(mine);
    played_.fill(0);
    passedSingle_.fill(kNoPass);
    passedPair_.fill(kNoPass);
    partnerShown_ = false;
    for (const CardRun& out : r.outPai)
        if (!(out.size() == 1 && out[0] == kPassCode))
            for (uint8_t c : out)
                if (c < played_.size()) ++played_[c];
}

void SeatView::clear() { *this = SeatView(chair_); }

CardCounts SeatView::unseen() const
{
    CardCounts u{};
    for (size_t c = 0; c < u.size(); ++c) u[c] = uint8_t(round_.decks());
    auto drop = [&u](uint8_t c, int k) {
        if (c < u.size()) u[c] = uint8_t(std::max(0, u[c] - k));
    };
    for (uint8_t c : hand()) drop(c, 1);
    if (partnerShown_)
        for (uint8_t c : round_.hand(partner())) drop(c, 1);
    for (size_t c = 0; c < u.size(); ++c) drop(uint8_t(c), played_[c]);
    return u;
}
