#include "rules/roundcore.h"

#include "rules/cards.h"
#include "rules/paixing.h"

// ---- CardRun ----------------------------------------------------------------------------------

void CardRun::assign(const uint8_t* p, int count)
{
    n = uint8_t(std::clamp(count, 0, kMaxHandCards));
    if (n) std::copy(p, p + n, c.begin());
}

bool CardRun::take(const uint8_t* cards, int count)
{
    if (count > n) return false;
    CardRun rest = *this;
    for (int i = 0; i < count; ++i) {
        uint8_t* at = std::find(rest.c.data(), rest.c.data() + rest.n, cards[i]);
        if (at == rest.c.data() + rest.n) return false;
        std::copy(at + 1, rest.c.data() + rest.n, at);
        --rest.n;
    }
    *this = rest;
    return true;
}

void CardRun::takeHeld(const uint8_t* cards, int count)
{
    for (int i = 0; i < count; ++i) {
        uint8_t* at = std::find(c.data(), c.data() + n, cards[i]);
        if (at == c.data() + n) continue;
        std::copy(at + 1, c.data() + n, at);
        --n;
    }
}

// ---- Starting a round -------------------------------------------------------------------------

void RoundCore::deal(const uint8_t* deck, int decks, uint8_t lead)
{
    observe(decks, lead);
    const int n = FullHandCount(decks_);
    for (uint8_t c = 0; c < 4; ++c) learnHand(c, deck + c * n, n);
}

void RoundCore::observe(int decks, uint8_t lead)
{
    *this = RoundCore();
    decks_ = uint8_t(std::clamp(decks, 1, 2));
    lead_ = turn_ = uint8_t(lead & 3);
    counts_.fill(uint8_t(FullHandCount(decks_)));
}

void RoundCore::learnHand(uint8_t chair, const uint8_t* cards, int n)
{
    chair &= 3;
    hands_[chair].assign(cards, n);
    known_[chair] = true;
    counts_[chair] = hands_[chair].n;
}

void RoundCore::restore(const PublicRound& r)
{
    *this = RoundCore();
    decks_ = uint8_t(std::clamp(r.decks, 1, 2));
    lead_ = turn_ = uint8_t(r.turn & 3);
    phase_ = r.phase;
    shuangShunPlayed_ = r.shuangShunPlayed;
    maxOutPai_ = r.maxOutPai;
    maxOutPai_[0] &= 3;
    trickFen_ = r.trickFen;
    teamScore_ = r.teamScore;
    outPai_ = r.outPai;
    for (uint8_t c = 0; c < 4; ++c) {
        counts_[c] = uint8_t(std::min<int>(r.counts[c], kMaxHandCards));
        mingCi_[c] = r.mingCi[c];
        if (mingCi_[c]) ++nextPlace_;
    }
    // An empty hand with cards counted is one not seen (a spectator's, or a hand still to come).
    if (!r.hand.empty() || counts_[r.viewer & 3] == 0) learnHand(r.viewer, r.hand.data(), r.hand.size());
    // Every chair still in play between the biggest play and the turn has passed since.
    if (phase_ == GamePhase::Follow)
        for (int k = 1; k < 4; ++k) {
            const uint8_t c = uint8_t((maxOutPai_[0] + k) & 3);
            if (c == turn_) break;
            if (active(c)) ++passes_;
        }
}

void RoundCore::beginPlay()
{
    turn_ = lead_;
    phase_ = GamePhase::Lead;
}

// ---- Moves ------------------------------------------------------------------------------------

MoveOutcome RoundCore::move(uint8_t chair, const uint8_t* cards, int n)
{
    MoveOutcome o;
    o.chair = chair &= 3;
    if (chair != turn_ || !IsMovePhase(phase_)) {
        o.refusal = Refusal::NotYourTurn;
        return o;
    }
    if (n == 1 && cards[0] == kPassCode) {
        if (phase_ == GamePhase::Lead) {
            o.refusal = Refusal::MustLead;
            return o;
        }
        commitPass(chair, o);
        return o;
    }
    CardRun rest = hands_[chair];
    if (!rest.take(cards, n)) {
        o.refusal = Refusal::NotHeld;
        return o;
    }
    CardRun sorted(cards, n);
    SortPaiDesc(sorted.data(), sorted.size());
    PaiXingInfo info;
    const bool ok = phase_ == GamePhase::Lead
                        ? CheckFirstOutPai(sorted.data(), sorted.size(), o.reason, info)
                        : CheckFollowOutPai(sorted.data(), sorted.size(), maxOutPai_, shuangShunPlayed_, o.reason, info);
    if (!ok) {
        o.refusal = Refusal::Rules;
        return o;
    }
    hands_[chair] = rest;
    commitPlay(chair, sorted, info, o);
    return o;
}

MoveOutcome RoundCore::apply(const MoveNotice& n)
{
    MoveOutcome o;
    o.chair = n.chair & 3;
    const uint8_t chair = o.chair;
    if (n.cards.size() == 1 && n.cards[0] == kPassCode) {
        o.pass = true;
        o.cards = n.cards;
        o.left = counts_[chair];
        ++passes_;
        outPai_[chair] = o.cards;
    } else {
        CardRun sorted = n.cards;
        SortPaiDesc(sorted.data(), sorted.size());
        // The table allowed it; the check only describes it (a copy that went astray still gets
        // the type the cards make).
        PaiXingInfo info;
        QString unused;
        const bool described = phase_ == GamePhase::Follow
                                   ? CheckFollowOutPai(sorted.data(), sorted.size(), maxOutPai_, shuangShunPlayed_, unused, info)
                                   : CheckFirstOutPai(sorted.data(), sorted.size(), unused, info);
        if (!described) GetPaiXing(sorted.data(), sorted.size(), info);
        if (known_[chair]) hands_[chair].takeHeld(sorted.data(), sorted.size());
        bookPlay(chair, sorted, info, o);
        // The place is the table's word: a count this copy holds may be short of the truth (a
        // hand it was told is empty), so going out is never inferred from it.
        mingCi_[chair] = n.place;
        if (n.place) nextPlace_ = uint8_t(std::max<int>(nextPlace_, n.place + 1));
        over_ = mingCi_[chair] && mingCi_[PartnerOf(chair)];
        o.place = n.place;
        o.gameOver = over_;
    }
    // Whether the trick is won is the table's word as well, never a count of who is still in play:
    // the side of the chair that leads next takes its points.
    if (n.phase == GamePhase::Lead) {
        o.trickWon = true;
        o.winner = maxOutPai_[0] & 3;
        o.trickFen = trickFen_;
        teamScore_[size_t(SideOf(n.next & 3))] += trickFen_;
        endTrick();
    } else if (o.gameOver) {
        // The unfinished trick goes to the side that made its biggest play, as at the table.
        teamScore_[size_t(SideOf(chair))] += trickFen_;
        trickFen_ = 0;
    }
    o.next = turn_ = n.next & 3;
    o.phase = phase_ = n.phase;
    return o;
}

void RoundCore::bookPlay(uint8_t chair, const CardRun& sorted, PaiXingInfo info, MoveOutcome& o)
{
    if (phase_ == GamePhase::Lead) {
        outPai_ = {};
        shuangShunPlayed_ = false;
    }
    counts_[chair] = known_[chair] ? hands_[chair].n : uint8_t(std::max(0, counts_[chair] - sorted.size()));
    outPai_[chair] = sorted;
    info[0] = chair;
    maxOutPai_ = info;
    if (info[1] == PX_ShuangShun) shuangShunPlayed_ = true;
    o.fen = CountFenPai(sorted.data(), sorted.size());
    trickFen_ += o.fen;
    passes_ = 0;
    ++plays_;
    o.cards = sorted;
    o.info = info;
    o.left = counts_[chair];
}

void RoundCore::commitPlay(uint8_t chair, const CardRun& sorted, PaiXingInfo info, MoveOutcome& o)
{
    bookPlay(chair, sorted, info, o);
    if (counts_[chair] == 0 && !mingCi_[chair]) mingCi_[chair] = nextPlace_++;
    over_ = mingCi_[chair] && mingCi_[PartnerOf(chair)];
    turn_ = nextActive(chair);
    phase_ = over_ ? GamePhase::None : GamePhase::Follow;
    if (over_) {
        // The unfinished trick goes to the side that made its biggest play.
        teamScore_[size_t(SideOf(chair))] += trickFen_;
        trickFen_ = 0;
    }
    o.next = turn_;
    o.phase = phase_;
    o.place = mingCi_[chair];
    o.gameOver = over_;
}

void RoundCore::commitPass(uint8_t chair, MoveOutcome& o)
{
    o.pass = true;
    o.cards = CardRun(&kPassCode, 1);
    o.left = counts_[chair];
    ++passes_;
    outPai_[chair] = o.cards;
    const uint8_t maxChair = maxOutPai_[0] & 3;
    int others = 0;
    for (uint8_t c = 0; c < 4; ++c)
        if (c != maxChair && active(c)) ++others;
    if (passes_ < others) {
        o.next = turn_ = nextActive(chair);
        o.phase = phase_ = GamePhase::Follow;
        return;
    }
    // Everybody still in play passed: the biggest play wins the trick; its chair leads, or its
    // partner when it has gone out.
    const uint8_t lead = active(maxChair) ? maxChair : (active(PartnerOf(maxChair)) ? PartnerOf(maxChair) : nextActive(maxChair));
    teamScore_[size_t(SideOf(maxChair))] += trickFen_;
    o.trickWon = true;
    o.winner = maxChair;
    o.trickFen = trickFen_;
    endTrick();
    o.next = turn_ = lead;
    o.phase = phase_ = GamePhase::Lead;
}

void RoundCore::endTrick()
{
    trickFen_ = 0;
    passes_ = 0;
    maxOutPai_ = {};
    shuangShunPlayed_ = false;
    outPai_ = {};
}

uint8_t RoundCore::nextActive(uint8_t chair) const
{
    for (int k = 1; k <= 4; ++k) {
        const uint8_t c = uint8_t((chair + k) & 3);
        if (active(c)) return c;
    }
    return chair;
}

// ---- The end ----------------------------------------------------------------------------------

std::array<int32_t, 4> RoundCore::scoreChanges(int32_t stake) const
{
    std::array<int32_t, 4> changes{};
    if (teamScore_[0] == teamScore_[1]) return changes;
    const int winner = teamScore_[0] > teamScore_[1] ? 0 : 1;
    for (uint8_t c = 0; c < 4; ++c) changes[c] = SideOf(c) == winner ? stake : -stake;
    return changes;
}

int RoundCore::firstOut() const
{
    for (uint8_t c = 0; c < 4; ++c)
        if (mingCi_[c] == 1) return c;
    return -1;
}

PublicRound RoundCore::facts(uint8_t viewer) const
{
    PublicRound r;
    r.decks = decks_;
    r.turn = turn_;
    r.phase = phase_;
    r.shuangShunPlayed = shuangShunPlayed_;
    r.maxOutPai = maxOutPai_;
    r.trickFen = trickFen_;
    r.teamScore = teamScore_;
    r.mingCi = mingCi_;
    r.counts = counts_;
    r.outPai = outPai_;
    r.viewer = viewer & 3;
    r.hand = hands_[r.viewer];
    return r;
}
