#include "server/botplayer.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "rules/cards.h"
#include "rules/legalplays.h"
#include "rules/paixing.h"

namespace {

bool IsBombFamily(const LegalPlay& p) { return p.Info[1] >= PX_LiangTaoHuo; }

// Smaller first: ordinary plays by key, then fewer cards; bomb-family plays by strength, the
// two-part play last.
auto Cost(const LegalPlay& p)
{
    const uint8_t type = p.Info[1];
    const int family = IsBombFamily(p) ? (type == PX_LiangTaoHuo ? 2 : 1) : 0;
    const int strength = family == 1 ? type : 0;
    return std::make_tuple(family, strength, RankOrder(p.Info[3]), int(p.Cards.size()));
}

}  // namespace

BotView ViewOf(const RoundCore& round, uint8_t chair)
{
    BotView v;
    v.Hand = round.hand(chair).vec();
    v.MyChair = chair;
    v.Leading = round.phase() == GamePhase::Lead;
    v.MaxOutPai = round.maxOutPai();
    v.ShuangShunPlayed = round.shuangShunPlayed();
    v.TrickFen = round.trickFen();
    return v;
}

uint8_t LowestCard(const std::vector<uint8_t>& hand)
{
    uint8_t low = hand.empty() ? 0 : hand.front();
    for (uint8_t c : hand)
        if (IsPaiLess(c, low)) low = c;
    return low;
}

std::vector<uint8_t> ChooseBotPlay(const BotView& v)
{
    if (v.Hand.empty()) return {};
    const std::vector<LegalPlay> plays =
        EnumerateLegalPlays(v.Hand, v.Leading ? nullptr : &v.MaxOutPai, v.ShuangShunPlayed);
    for (const LegalPlay& p : plays)
        if (p.Cards.size() == v.Hand.size()) return p.Cards;

    if (v.Leading) {
        std::array<int, 14> perRank{};
        for (uint8_t c : v.Hand) ++perRank[size_t(std::min(RankOrder(c), 13))];
        auto keepsBombs = [&](const LegalPlay& p) {
            return std::none_of(p.Cards.begin(), p.Cards.end(),
                                [&](uint8_t c) { return IsSuitedCard(c) && perRank[CardRank(c)] >= 3; });
        };
        // The play that starts lowest (its last card, highest first) comes first; from the same
        // card, the one that sheds more cards.
        auto leadLess = [](const LegalPlay& a, const LegalPlay& b) {
            return std::make_tuple(RankOrder(a.Cards.back()), -int(a.Cards.size())) <
                   std::make_tuple(RankOrder(b.Cards.back()), -int(b.Cards.size()));
        };
        const LegalPlay* best = nullptr;
        for (bool spareBombs : {true, false}) {
            for (const LegalPlay& p : plays) {
                if (p.Info[1] > PX_DanShun) continue;
                if (spareBombs && !keepsBombs(p)) continue;
                if (!best || leadLess(p, *best)) best = &p;
            }
            if (best) return best->Cards;
        }
        return {LowestCard(v.Hand)};
    }

    if (v.MaxOutPai[0] == ((v.MyChair + 2) & 3)) return {};
    const LegalPlay* best = nullptr;
    for (const LegalPlay& p : plays) {
        if (IsBombFamily(p) && v.TrickFen < kBombWorthFen) continue;
        if (!best || Cost(p) < Cost(*best)) best = &p;
    }
    return best ? best->Cards : std::vector<uint8_t>{};
}
