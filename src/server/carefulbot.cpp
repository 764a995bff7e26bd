#include "server/carefulbot.h"

#include <algorithm>
#include <array>

#include "rules/cards.h"
#include "rules/legalplays.h"
#include "rules/paixing.h"
#include "server/botplayer.h"

namespace {

// Ranks by RankOrder: 0 the three .. 11 the ace, 12 the two, 13 the small joker, 14 the big one.
constexpr int kRanks = 15;
constexpr int kAceRank = 11;
constexpr int kTwoRank = 12;
using RankCount = std::array<int, kRanks>;

bool IsBombType(uint8_t type) { return type >= PX_LiangTaoHuo; }

RankCount CountRanks(const uint8_t* cards, int n)
{
    RankCount k{};
    for (int i = 0; i < n; ++i) ++k[size_t(RankOrder(cards[i]))];
    return k;
}

// What the bot knows when it chooses.
struct Situation {
    uint8_t me = 0;
    uint8_t partner = 0;
    int decks = 1;
    bool leading = true;
    RankCount mine{};      // the own hand
    RankCount unseen{};    // cards that may be in the other side's hands (the partner's too, unless shown)
    int trickFen = 0;
    uint8_t maxChair = 0;
    std::array<int, 4> left{};
    std::array<int32_t, 2> score{};
    bool partnerOut = false;

    bool opponentsHoldCards() const { return left[(me + 1) & 3] > 0 || left[(me + 3) & 3] > 0; }
    int fewestOpponentCards() const
    {
        int n = 99;
        for (uint8_t c : {uint8_t((me + 1) & 3), uint8_t((me + 3) & 3)})
            if (left[c] > 0) n = std::min(n, left[c]);
        return n;
    }
    // A rank of three or more (or two jokers and more) that somebody else may hold as a bomb.
    bool bombMayBeOut() const
    {
        if (!opponentsHoldCards()) return false;
        for (int r = 0; r <= kTwoRank; ++r)
            if (unseen[size_t(r)] >= 3) return true;
        return unseen[13] + unseen[14] >= 2;
    }
};

// No unseen cards make a play of the same kind that beats this one. Bombs aside: a bomb is top
// when no bigger same-size bomb or longer one can be made from what is unseen.
bool IsTop(const Situation& s, const LegalPlay& p)
{
    if (!s.opponentsHoldCards()) return true;
    const uint8_t type = p.Info[1];
    const int key = RankOrder(p.Info[3]);
    const int size = int(p.Cards.size());
    switch (type) {
    case PX_DanPai:
        for (int r = key + 1; r < kRanks; ++r)
            if (s.unseen[size_t(r)]) return false;
        return true;
    case PX_DuiPai:
        for (int r = key + 1; r <= kTwoRank; ++r)
            if (s.unseen[size_t(r)] >= 2) return false;
        return true;
    case PX_DanShun:
    case PX_ShuangShun: {
        const int width = type == PX_DanShun ? 1 : 2;
        const int len = size / width;
        for (int top = key + 1; top <= kAceRank; ++top) {
            bool all = true;
            for (int r = top - len + 1; r <= top && all; ++r) all = s.unseen[size_t(r)] >= width;
            if (all) return false;
        }
        return true;
    }
    default: {
        // A bomb: beaten by a longer bomb, a same-size one of a higher rank, or enough jokers.
        if (s.unseen[13] + s.unseen[14] >= 2 && type < PX_LiaWang) return false;
        for (int r = 0; r <= kTwoRank; ++r) {
            const int n = s.unseen[size_t(r)];
            if (n > size || (n == size && n >= 3 && r > key)) return false;
        }
        return true;
    }
    }
}

// How many plays the rest of a hand needs, the way a player sorts it: bombs kept whole, runs of
// three or more single ranks up to the ace, then pairs and singles. Jokers go together when
// there are two or more.
struct Plan {
    int groups = 0;     // plays to empty the hand
    int controls = 0;   // of them: bombs, twos and jokers
};

Plan PlanOf(const RankCount& k)
{
    Plan plan;
    RankCount rest = k;
    for (int r = 0; r <= kTwoRank; ++r)
        if (rest[size_t(r)] >= 3) {
            ++plan.groups;
            ++plan.controls;
            rest[size_t(r)] = 0;
        }
    const int jokers = rest[13] + rest[14];
    if (jokers) {   // one play: a single joker, or two and more together
        ++plan.groups;
        ++plan.controls;
    }
    // Runs over ranks held once, the longest first from the lowest.
    for (int r = 0; r <= kAceRank;) {
        int len = 0;
        while (r + len <= kAceRank && rest[size_t(r + len)] == 1) ++len;
        if (len >= 3) {
            ++plan.groups;
            for (int i = 0; i < len; ++i) rest[size_t(r + i)] = 0;
        }
        r += std::max(len, 1);
    }
    for (int r = 0; r <= kTwoRank; ++r)
        if (rest[size_t(r)]) {
            ++plan.groups;
            if (r == kTwoRank) ++plan.controls;
        }
    return plan;
}

bool UsesControl(const LegalPlay& p)
{
    if (IsBombType(p.Info[1])) return true;
    return std::any_of(p.Cards.begin(), p.Cards.end(), [](uint8_t c) { return RankOrder(c) >= kTwoRank; });
}

int PointsOf(const LegalPlay& p) { return CountFenPai(p.Cards.data(), int(p.Cards.size())); }

// What a play costs the rest of the hand: how many more (or fewer) plays the hand then needs, and
// a bomb given up for a plain play. A play of one whole group saves one play.
int Damage(const Situation& s, const LegalPlay& p)
{
    RankCount after = s.mine;
    for (uint8_t c : p.Cards) --after[size_t(RankOrder(c))];
    int broken = 0;
    if (!IsBombType(p.Info[1]))
        for (uint8_t c : p.Cards) {
            const int r = RankOrder(c);
            if (r <= kTwoRank && s.mine[size_t(r)] >= 3) broken += 12;   // a bomb given up for a plain play
        }
    return (PlanOf(after).groups - PlanOf(s.mine).groups) * 8 + broken;
}

// Leading: out if possible; with little left and enough sure winners, the sure winners first;
// otherwise the lowest group without points, sparing the controls.
const LegalPlay* ChooseLead(const Situation& s, const std::vector<LegalPlay>& plays)
{
    const Plan plan = PlanOf(s.mine);
    // A partner down to one card gets the lowest single to beat.
    const bool feedPartner = !s.partnerOut && s.left[s.partner] == 1;
    const int opponentMin = s.fewestOpponentCards();
    const LegalPlay* best = nullptr;
    int bestScore = 0;
    for (const LegalPlay& p : plays) {
        const uint8_t type = p.Info[1];
        const int key = RankOrder(p.Info[3]);
        const int low = RankOrder(p.Cards.back());   // where a run starts
        const int size = int(p.Cards.size());
        const bool run = type == PX_DanShun || type == PX_ShuangShun;
        const bool top = IsTop(s, p) && (!s.bombMayBeOut() || IsBombType(type));
        int score = 100 - Damage(s, p) * 3;
        score -= low * 2;
        score += size * 2;   // shedding more cards at once
        if (UsesControl(p)) score -= 40;
        const int fen = PointsOf(p);
        // Points led are points offered; a run is seldom answered, a single or a pair often.
        if (fen) score -= top ? 0 : run ? 4 + fen / 2 : 10 + fen * 2;
        // The end of the plan: the sure winners first, then the last group.
        if (plan.groups - 1 <= plan.controls + 1 && top && plan.groups > 1) score += 60;
        if (top && fen) score += 20;   // points led that nobody can take
        if (feedPartner) score += type == PX_DanPai ? 40 - key * 3 : -20;
        // An opponent about to go out is not handed a cheap single or pair.
        if (opponentMin <= 2 && size <= opponentMin && !top) score -= 30 + key;
        if (!best || score > bestScore) {
            best = &p;
            bestScore = score;
        }
    }
    return best;
}

// Following: never over a winning partner unless that adds points that stay; points won as
// cheaply as possible; controls kept for tricks worth them.
const LegalPlay* ChooseFollow(const Situation& s, const std::vector<LegalPlay>& plays)
{
    const bool partnerWinning = s.maxChair == s.partner;
    const Plan plan = PlanOf(s.mine);
    const bool nearOut = plan.groups <= 2;
    int bombs = 0;
    for (int r = 0; r <= kTwoRank; ++r) bombs += s.mine[size_t(r)] >= 3;
    if (s.mine[13] + s.mine[14] >= 2) ++bombs;
    const int opponentMin = s.fewestOpponentCards();

    // Every play that a good player would consider gets a score; the best is played, none: a pass.
    const LegalPlay* best = nullptr;
    int bestScore = 0;
    for (const LegalPlay& p : plays) {
        const uint8_t type = p.Info[1];
        const int key = RankOrder(p.Info[3]);
        const int fen = PointsOf(p);
        const int stake = s.trickFen + fen;
        const bool bomb = IsBombType(type);
        const bool control = UsesControl(p);
        const int damage = Damage(s, p);
        const bool top = IsTop(s, p) && (bomb || stake < 15 || !s.bombMayBeOut());
        int score = 100 - damage * 2 - key;
        if (partnerWinning) {
            // Only points that then stay with the side, at no cost in controls.
            if (fen == 0 || !top || control) continue;
            score += fen;
        } else if (stake == 0) {
            // An empty trick: take it with a plain card to lead next; the controls wait for points
            // unless they finish the hand or stop an opponent's last card.
            if (control && !nearOut && opponentMin > 1) continue;
            if (bomb && !nearOut) continue;
            if (damage > 8 && !nearOut) continue;   // a bomb broken up
        } else {
            // Points at stake: the cheapest play that holds; a bomb only where the points are worth it.
            const int bombWorth = s.decks > 1 ? (bombs >= 2 ? 15 : 20) : (bombs >= 2 ? 10 : 15);
            if (bomb && s.trickFen < bombWorth && !nearOut) continue;
            if (fen && !top && s.trickFen < 10) continue;   // own points that could still be taken
            if (control && !bomb && stake < 10 && !top) continue;
            score += top ? 40 : 0;
            if (bomb) score -= 20;
        }
        if (!best || score > bestScore) {
            best = &p;
            bestScore = score;
        }
    }
    return best;
}

}  // namespace

std::vector<uint8_t> ChooseCarefulPlay(const SeatView& view)
{
    const RoundCore& r = view.round();
    const CardRun& hand = view.hand();
    if (r.turn() != view.chair() || !IsMovePhase(r.phase()) || hand.empty()) return {};
    Situation s;
    s.me = view.chair();
    s.partner = view.partner();
    s.decks = r.decks();
    s.leading = r.phase() == GamePhase::Lead;
    s.mine = CountRanks(hand.data(), hand.size());
    const CardCounts u = view.unseen();
    for (size_t c = 0; c < u.size(); ++c) s.unseen[size_t(RankOrder(uint8_t(c)))] += u[c];
    s.trickFen = r.trickFen();
    s.maxChair = r.maxOutPai()[0] & 3;
    for (uint8_t c = 0; c < 4; ++c) s.left[c] = r.count(c);
    s.score = r.teamScore();
    s.partnerOut = r.mingCi()[s.partner] != 0;

    const std::vector<LegalPlay> plays =
        EnumerateLegalPlays(hand.data(), hand.size(), s.leading ? nullptr : &r.maxOutPai(), r.shuangShunPlayed());
    if (plays.empty()) return s.leading ? std::vector<uint8_t>{LowestCard(hand.vec())} : std::vector<uint8_t>{};
    // Going out: always, over the partner too; it ends the game when the partner is out already.
    for (const LegalPlay& p : plays)
        if (int(p.Cards.size()) == hand.size()) return p.Cards;
    const LegalPlay* p = s.leading ? ChooseLead(s, plays) : ChooseFollow(s, plays);
    if (p) return p->Cards;
    return s.leading ? std::vector<uint8_t>{LowestCard(hand.vec())} : std::vector<uint8_t>{};
}
