#include "server/strongbot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "rules/cards.h"
#include "rules/legalplays.h"
#include "rules/paixing.h"
#include "server/botplayer.h"
#include "server/carefulbot.h"

namespace {

// The playouts know cards by rank only: 13 suited ranks, then the small and the big joker. Suits
// only matter to a 真马队, which the quick players never make.
constexpr int kRanks = 15;
constexpr int kAce = 11;
constexpr int kTwo = 12;
constexpr int kSmall = 13;
constexpr int kBig = 14;
using Ranks = std::array<uint8_t, kRanks>;

int RankFen(int r) { return r == kRankFive ? 5 : (r == kRankTen || r == kRankKing) ? 10 : 0; }

// A play as the playouts see it: its type (PaiXing), its key (a rank, the suit for a 真马队)
// and its size, with the cards it takes by rank.
struct SimMove {
    uint8_t type = 0;
    uint8_t key = 0;
    uint8_t size = 0;
    int8_t fen = 0;
    Ranks take{};
};

SimMove SameRank(int rank, int size)
{
    SimMove m;
    m.key = uint8_t(rank);
    m.size = uint8_t(size);
    m.take[size_t(rank)] = uint8_t(size);
    m.fen = int8_t(RankFen(rank) * size);
    m.type = size == 1 ? uint8_t(PX_DanPai) : size == 2 ? uint8_t(PX_DuiPai) : GetZhaDanType(size);
    return m;
}

SimMove Run(int top, int ranks, int width)
{
    SimMove m;
    m.type = width == 1 ? PX_DanShun : PX_ShuangShun;
    m.key = uint8_t(top);
    m.size = uint8_t(ranks * width);
    for (int r = top - ranks + 1; r <= top; ++r) {
        m.take[size_t(r)] = uint8_t(width);
        m.fen = int8_t(m.fen + RankFen(r) * width);
    }
    return m;
}

SimMove Jokers(int small, int big)
{
    SimMove m;
    const int n = small + big;
    m.size = uint8_t(n);
    m.take[kSmall] = uint8_t(small);
    m.take[kBig] = uint8_t(big);
    m.key = uint8_t(big ? kBig : kSmall);
    m.type = n == 1 ? PX_DanPai : n == 2 ? PX_LiaWang : n == 3 ? PX_SanWang : PX_SiWang;
    return m;
}

// A play against the biggest one of the trick, after the table's checks as far as ranks tell.
bool Beats(const SimMove& p, const SimMove& max, bool shuangShun)
{
    if (p.type == PX_LiangTaoHuo) return true;   // only ever the bot's own, already checked
    if (max.type == PX_LiangTaoHuo) return false;
    if (p.type < PX_LiangTaoHuo) return p.type == max.type && p.size == max.size && p.key > max.key;
    if (shuangShun && p.type < PX_DaZhaDan) return false;
    if (max.type < PX_LiangTaoHuo) return true;
    if (p.type != max.type) return p.type > max.type;
    switch (p.type) {
    case PX_ZhaDan:
    case PX_WuZhangZha:
    case PX_DaZhaDan:
        return p.size != max.size ? p.size > max.size : p.key > max.key;
    case PX_ZhenMaDui:
    case PX_LiaWang:
        return p.key > max.key;
    default:
        return false;
    }
}

// The whole hand as one play, when it is one.
bool WholeHand(const Ranks& h, int left, SimMove& out)
{
    int lo = -1, hi = -1, ranks = 0;
    for (int r = 0; r < kRanks; ++r)
        if (h[size_t(r)]) {
            if (lo < 0) lo = r;
            hi = r;
            ++ranks;
        }
    if (lo < 0) return false;
    const int jokers = h[kSmall] + h[kBig];
    if (jokers == left) {
        if (left > 4) return false;
        out = Jokers(h[kSmall], h[kBig]);
        return true;
    }
    if (jokers) return false;
    if (ranks == 1) {
        if (left > 8) return false;
        out = SameRank(lo, left);
        return true;
    }
    if (hi > kAce || hi - lo + 1 != ranks || ranks < 3) {
        if (left == 3 && h[kRankKing] == 1 && h[kRankTen] == 1 && h[kRankFive] == 1) {
            out = SimMove{PX_JiaMaDui, uint8_t(kRankKing), 3, 25, {}};
            out.take = h;
            return true;
        }
        return false;
    }
    const int width = h[size_t(lo)];
    if (width > 2) return false;
    for (int r = lo; r <= hi; ++r)
        if (h[size_t(r)] != width) return false;
    out = Run(hi, ranks, width);
    return true;
}

// The round on ranks, for quick playouts.
struct Sim {
    std::array<Ranks, 4> hands{};
    std::array<int, 4> left{};
    std::array<uint8_t, 4> place{};
    std::array<int, 2> team{};
    SimMove max;
    uint8_t maxChair = 0;
    uint8_t turn = 0;
    uint8_t nextPlace = 1;
    int passes = 0;
    int trickFen = 0;
    bool leading = true;
    bool shuangShun = false;
    bool over = false;

    bool active(int c) const { return left[size_t(c)] > 0; }
    uint8_t nextActive(int c) const
    {
        for (int k = 1; k <= 4; ++k)
            if (active((c + k) & 3)) return uint8_t((c + k) & 3);
        return uint8_t(c);
    }

    void play(const SimMove& m)
    {
        const uint8_t c = turn;
        if (leading) shuangShun = false;
        for (int r = 0; r < kRanks; ++r) hands[c][size_t(r)] = uint8_t(hands[c][size_t(r)] - std::min(hands[c][size_t(r)], m.take[size_t(r)]));
        left[c] = std::max(0, left[c] - m.size);
        max = m;
        maxChair = c;
        if (m.type == PX_ShuangShun) shuangShun = true;
        trickFen += m.fen;
        passes = 0;
        if (left[c] == 0 && !place[c]) place[c] = nextPlace++;
        over = place[c] && place[PartnerOf(c)];
        leading = false;
        if (over) {
            team[size_t(SideOf(c))] += trickFen;
            trickFen = 0;
            return;
        }
        turn = nextActive(c);
    }

    void pass()
    {
        ++passes;
        int others = 0;
        for (int c = 0; c < 4; ++c)
            if (c != maxChair && active(c)) ++others;
        if (passes < others) {
            turn = nextActive(turn);
            return;
        }
        team[size_t(SideOf(maxChair))] += trickFen;
        trickFen = 0;
        passes = 0;
        shuangShun = false;
        leading = true;
        const uint8_t p = PartnerOf(maxChair);
        turn = active(maxChair) ? maxChair : active(p) ? p : nextActive(maxChair);
    }
};

// The quick player of the playouts: a careful player's habits on ranks, cheap enough for
// thousands of playouts. A lead is the play that starts lowest (the most cards from there),
// sparing bombs, twos, jokers and points while there is anything else; a follow the smallest that
// beats, never over the partner, a bomb only for a trick with points. (Keeping twos and jokers
// off empty tricks in the playouts as well measured no stronger: the opponents it pictures then
// give the lead away too easily.)
bool QuickLead(const Ranks& h, int left, SimMove& out)
{
    if (WholeHand(h, left, out)) return true;
    // Pass 0 spares bombs, controls and points; pass 1 bombs and controls; pass 2 nothing.
    for (int pass = 0; pass < 3; ++pass) {
        const bool spare = pass < 2;
        for (int r = 0; r < kRanks; ++r) {
            const int k = h[size_t(r)];
            if (!k || (spare && r <= kTwo && k >= 3)) continue;
            if (spare && r >= kTwo) continue;
            if (pass == 0 && RankFen(r)) continue;
            int len = 0;
            if (r <= kAce)
                while (r + len <= kAce && h[size_t(r + len)] && !(spare && h[size_t(r + len)] >= 3)) ++len;
            if (len >= 3) out = Run(r + len - 1, len, 1);
            else if (r <= kTwo && k >= 2) out = SameRank(r, 2);
            else out = r <= kTwo ? SameRank(r, 1) : Jokers(r == kSmall, r == kBig);
            return true;
        }
    }
    return false;
}

bool SmallestBomb(const Ranks& h, const SimMove& max, bool shuangShun, SimMove& out)
{
    SimMove best;
    bool found = false;
    auto consider = [&](const SimMove& m) {
        if (!Beats(m, max, shuangShun)) return;
        if (!found || std::make_tuple(m.type, m.key, m.size) < std::make_tuple(best.type, best.key, best.size)) best = m;
        found = true;
    };
    for (int r = 0; r <= kTwo; ++r)
        for (int size = 3; size <= std::min<int>(h[size_t(r)], 8); ++size) consider(SameRank(r, size));
    for (int s = 0; s <= h[kSmall]; ++s)
        for (int b = 0; b <= h[kBig]; ++b)
            if (s + b >= 2) consider(Jokers(s, b));
    if (found) out = best;
    return found;
}

bool SmallestSameType(const Ranks& h, const SimMove& max, SimMove& out)
{
    switch (max.type) {
    case PX_DanPai:
        for (int r = max.key + 1; r < kRanks; ++r)
            if (h[size_t(r)]) {
                out = r <= kTwo ? SameRank(r, 1) : Jokers(r == kSmall, r == kBig);
                return true;
            }
        return false;
    case PX_DuiPai:
        for (int r = max.key + 1; r <= kTwo; ++r)
            if (h[size_t(r)] >= 2) {
                out = SameRank(r, 2);
                return true;
            }
        return false;
    case PX_DanShun:
    case PX_ShuangShun: {
        const int width = max.type == PX_DanShun ? 1 : 2;
        const int ranks = max.size / width;
        for (int top = max.key + 1; top <= kAce; ++top) {
            if (top - ranks + 1 < 0) continue;
            bool ok = true;
            for (int r = top - ranks + 1; r <= top && ok; ++r) ok = h[size_t(r)] >= width;
            if (ok) {
                out = Run(top, ranks, width);
                return true;
            }
        }
        return false;
    }
    default:
        return false;
    }
}

// A pass is false.
bool QuickFollow(const Sim& s, SimMove& out)
{
    const Ranks& h = s.hands[s.turn];
    if (WholeHand(h, s.left[s.turn], out) && Beats(out, s.max, s.shuangShun)) return true;
    if (s.maxChair == PartnerOf(s.turn)) return false;
    if (SmallestSameType(h, s.max, out)) return true;
    return s.trickFen >= 10 && SmallestBomb(h, s.max, s.shuangShun, out);
}

// Plays the round out; the outcome for side `side`: a win or loss counts most, the margin
// breaks ties between them. `trickTo`, when given, learns the side that took the trick in play.
double Playout(Sim s, int side, double marginWeight, int* trickTo = nullptr)
{
    SimMove m;
    for (int steps = 0; !s.over && steps < 600; ++steps) {
        if (trickTo && *trickTo < 0 && s.leading) *trickTo = SideOf(s.maxChair);
        if (s.leading) {
            if (!QuickLead(s.hands[s.turn], s.left[s.turn], m)) break;
            s.play(m);
        } else if (QuickFollow(s, m)) {
            s.play(m);
        } else {
            s.pass();
        }
    }
    if (trickTo && *trickTo < 0) *trickTo = SideOf(s.maxChair);
    const int margin = s.team[size_t(side)] - s.team[size_t(1 - side)];
    return (margin > 0) - (margin < 0) + marginWeight * margin;
}

// Nothing the unseen cards can make beats this play, bombs aside.
bool TopAgainst(const SimMove& m, const Ranks& unseen)
{
    switch (m.type) {
    case PX_DanPai:
        for (int r = m.key + 1; r < kRanks; ++r)
            if (unseen[size_t(r)]) return false;
        return true;
    case PX_DuiPai:
        for (int r = m.key + 1; r <= kTwo; ++r)
            if (unseen[size_t(r)] >= 2) return false;
        return true;
    case PX_DanShun:
    case PX_ShuangShun: {
        const int width = m.type == PX_DanShun ? 1 : 2;
        const int len = m.size / width;
        for (int top = m.key + 1; top <= kAce; ++top) {
            bool all = top - len + 1 >= 0;
            for (int r = top - len + 1; r <= top && all; ++r) all = unseen[size_t(r)] >= width;
            if (all) return false;
        }
        return true;
    }
    default:
        return true;
    }
}

Ranks RanksOf(const uint8_t* cards, int n)
{
    Ranks r{};
    for (int i = 0; i < n; ++i)
        if (cards[i] <= kBigJoker) ++r[size_t(RankOrder(cards[i]))];
    return r;
}

SimMove MoveOf(const LegalPlay& p)
{
    SimMove m;
    m.type = p.Info[1];
    m.key = m.type == PX_ZhenMaDui ? CardSuit(p.Info[3]) : uint8_t(RankOrder(p.Info[3]));
    m.size = uint8_t(p.Cards.size());
    m.take = RanksOf(p.Cards.data(), int(p.Cards.size()));
    m.fen = int8_t(CountFenPai(p.Cards.data(), int(p.Cards.size())));
    return m;
}

SimMove MaxOf(const PaiXingInfo& info, const CardRun& cards)
{
    LegalPlay p;
    p.Info = info;
    p.Cards = cards.vec();
    return MoveOf(p);
}

}  // namespace

std::vector<uint8_t> ChooseStrongPlay(const SeatView& view, std::mt19937& rng, const StrongBotBudget& budget,
                                      StrongBotSpent* spent)
{
    const RoundCore& r = view.round();
    const uint8_t me = view.chair();
    const CardRun& hand = view.hand();
    if (r.turn() != me || !IsMovePhase(r.phase()) || hand.empty()) return {};
    const bool leading = r.phase() == GamePhase::Lead;
    const std::vector<LegalPlay> plays =
        EnumerateLegalPlays(hand.data(), hand.size(), leading ? nullptr : &r.maxOutPai(), r.shuangShunPlayed());

    // The candidates; a pass is the empty one.
    std::vector<SimMove> moves;
    std::vector<const LegalPlay*> of;
    for (const LegalPlay& p : plays) {
        moves.push_back(MoveOf(p));
        of.push_back(&p);
    }
    if (!leading) {
        moves.push_back(SimMove{});
        of.push_back(nullptr);
    }
    if (moves.empty()) return {LowestCard(hand.vec())};
    if (moves.size() == 1) return of[0] ? of[0]->Cards : std::vector<uint8_t>{};

    // The round as far as the view knows it.
    Sim base;
    for (uint8_t c = 0; c < 4; ++c) {
        base.left[c] = r.count(c);
        base.place[c] = r.mingCi()[c];
        if (base.place[c]) ++base.nextPlace;
    }
    base.team = {r.teamScore()[0], r.teamScore()[1]};
    base.turn = me;
    base.leading = leading;
    base.trickFen = r.trickFen();
    base.passes = r.passes();
    base.shuangShun = r.shuangShunPlayed();
    if (!leading) {
        base.maxChair = r.maxOutPai()[0] & 3;
        base.max = MaxOf(r.maxOutPai(), r.outPai(base.maxChair));
    }
    base.hands[me] = RanksOf(hand.data(), hand.size());
    const uint8_t partner = view.partner();
    const bool partnerKnown = view.partnerShown();
    if (partnerKnown) base.hands[partner] = RanksOf(r.hand(partner).data(), r.hand(partner).size());

    // The unseen cards, to be dealt afresh for every guess.
    std::vector<uint8_t> pool;
    {
        const CardCounts u = view.unseen();
        for (size_t c = 0; c < u.size(); ++c)
            for (int k = 0; k < u[c]; ++k) pool.push_back(uint8_t(RankOrder(uint8_t(c))));
    }
    std::vector<uint8_t> hidden;
    for (uint8_t c = 0; c < 4; ++c)
        if (c != me && !(partnerKnown && c == partner) && base.left[c] > 0) hidden.push_back(c);

    const int n = int(moves.size());
    // Going out with the partner out ends the game: taken whenever the side is then ahead.
    if (r.mingCi()[partner])
        for (int i = 0; i < n; ++i)
            if (of[size_t(i)] && moves[size_t(i)].size == hand.size()) {
                const int side = SideOf(me);
                if (base.team[size_t(side)] + base.trickFen + moves[size_t(i)].fen > base.team[size_t(1 - side)])
                    return of[size_t(i)]->Cards;
            }

    // Every candidate gets its share of the playouts, at least minPerPlay, yet never more than
    // three budgets in all (a rich hand after a 双顺 has hundreds of candidates).
    const int playouts = r.decks() > 1 ? budget.playoutsTwoDecks : budget.playouts;
    const int guesses = std::max(1, std::min(std::max(budget.minPerPlay, playouts / n), 3 * playouts / n));
    const double marginWeight = 0.5 / (100.0 * r.decks());
    std::vector<double> total(size_t(n), 0.0);
    // How far a guess goes against what the table showed: a chair that passed on the other side's
    // single (pair) seldom holds a plain single (pair) just above it, up to the ace; bombs, twos
    // and jokers may have been kept back on purpose.
    auto misfits = [&](const Sim& w) {
        int bad = 0;
        for (uint8_t c : hidden) {
            const Ranks& h = w.hands[c];
            for (int k = view.passedSingle(c) + 1; k <= kAce; ++k) bad += h[size_t(k)] == 1 || h[size_t(k)] == 2;
            for (int k = view.passedPair(c) + 1; k <= kAce; ++k) bad += h[size_t(k)] == 2;
        }
        return bad;
    };
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    if (spent) {
        spent->candidates = n;
        spent->guesses = guesses;
        spent->playouts = guesses * n;
    }
    int passIndex = -1, passLost = 0;
    for (int i = 0; i < n; ++i)
        if (!of[size_t(i)]) passIndex = i;
    for (int g = 0; g < guesses; ++g) {
        Sim world;
        int fewest = -1;
        for (int attempt = 0; attempt < budget.dealAttempts; ++attempt) {
            if (spent) ++spent->dealsTried;
            Sim guess = base;
            size_t at = 0;
            for (uint8_t c : hidden) {
                Ranks& h = guess.hands[c];
                h = {};
                int want = base.left[c];
                for (; want > 0 && at < pool.size(); --want, ++at) {
                    std::swap(pool[at], pool[at + rng() % (pool.size() - at)]);
                    ++h[pool[at]];
                }
                guess.left[c] -= want;   // a pool short of cards (after a snapshot) deals fewer
            }
            const int bad = misfits(guess);
            if (fewest < 0 || bad < fewest) {
                world = guess;
                fewest = bad;
            }
            // Rejection with a soft edge: each misfit quarters the chance to keep the guess.
            if (unit(rng) < std::pow(0.25, bad)) {
                world = guess;
                break;
            }
        }
        for (int i = 0; i < n; ++i) {
            Sim s = world;
            if (of[size_t(i)]) s.play(moves[size_t(i)]);
            else s.pass();
            int trickTo = -1;
            total[size_t(i)] += Playout(s, SideOf(me), marginWeight, i == passIndex ? &trickTo : nullptr);
            if (i == passIndex && trickTo >= 0 && trickTo != SideOf(me)) ++passLost;
        }
    }
    const double thrift = r.decks() > 1 ? budget.thriftTwoDecks : budget.thrift;
    // What the guesses cannot see well, priced the way a careful partner would: the partner's
    // trick is the side's already, points added to it stay only if nothing unseen beats them, an
    // empty trick is not worth a control, and a trick of 20 points the other side holds is worth
    // a bomb.
    Ranks unseenRanks{};
    for (uint8_t rank : pool) ++unseenRanks[rank];
    const bool overPartner = !leading && base.maxChair == partner;
    const bool theirs = !leading && !overPartner;
    bool bombOffered = false, plainOffered = false;
    for (int i = 0; i < n; ++i) {
        const SimMove& m = moves[size_t(i)];
        if (!of[size_t(i)]) continue;
        bombOffered |= m.type >= PX_LiangTaoHuo;
        plainOffered |= m.type < PX_LiangTaoHuo && m.take[kTwo] + m.take[kSmall] + m.take[kBig] == 0;
    }
    // Points the other side holds that only a control of this hand can still take: a pass leaves
    // them there as often as the guesses see it, and the guesses, whose players spend controls
    // readily later on, value a kept control above the points it could win now. A trick already
    // bombed is left to the guesses (and to the price for a pass on 20 points with a bomb in hand):
    // winning it back takes a bigger bomb, and answering every bomb so squanders bombs against
    // players who bomb readily (it measured weaker against the basic level).
    const double lostTrickPrice = r.decks() > 1 ? budget.lostTrickPriceTwoDecks : budget.lostTrickPrice;
    const double passPrice = theirs && r.trickFen() >= 10 && !plainOffered && base.max.type < PX_LiangTaoHuo
                                 ? lostTrickPrice * (r.trickFen() / 10.0) * passLost / guesses
                                 : 0.0;
    for (int i = 0; i < n; ++i) {
        total[size_t(i)] /= guesses;
        const SimMove& m = moves[size_t(i)];
        if (!of[size_t(i)] || m.size == 0) {
            if (theirs && r.trickFen() >= 20 && bombOffered) total[size_t(i)] -= thrift;
            total[size_t(i)] -= passPrice;
            continue;
        }
        const bool goesOut = m.size == hand.size();
        const int controls = m.take[kTwo] + m.take[kSmall] + m.take[kBig];
        if (m.type >= PX_LiangTaoHuo) total[size_t(i)] -= r.trickFen() >= 20 ? 0.0 : thrift * (r.trickFen() < 10 ? 2 : 1);
        else if (r.trickFen() + m.fen == 0 && !goesOut) total[size_t(i)] -= thrift * controls;
        if (overPartner && !goesOut) {
            total[size_t(i)] -= m.fen == 0 ? 2 * thrift : 0.0;
            if (m.fen > 0 && !TopAgainst(m, unseenRanks)) total[size_t(i)] -= thrift * (1 + m.fen / 10.0);
        }
        // Points led are points offered.
        if (leading && m.type < PX_LiangTaoHuo)
            total[size_t(i)] -= thrift * 0.3 * (m.take[kRankFive] + m.take[kRankTen] + m.take[kRankKing]);
    }
    // The careful player's choice breaks near ties: where the guesses cannot tell plays apart, its
    // card counting can.
    {
        const double prior = budget.carefulPrior;
        const std::vector<uint8_t> careful = ChooseCarefulPlay(view);
        for (int i = 0; i < n; ++i) {
            const bool same = of[size_t(i)] ? careful.size() == of[size_t(i)]->Cards.size() &&
                                                  std::is_permutation(careful.begin(), careful.end(), of[size_t(i)]->Cards.begin(),
                                                                      [](uint8_t a, uint8_t b) { return RankOrder(a) == RankOrder(b); })
                                            : careful.empty();
            if (same) total[size_t(i)] += prior;
        }
    }
    const int best = int(std::max_element(total.begin(), total.end()) - total.begin());
    return of[size_t(best)] ? of[size_t(best)]->Cards : std::vector<uint8_t>{};
}
