// Bots against bots on the same deals. Every deal (from --seed and the game's number only) is
// played twice with the sides swapped, so neither side keeps the better cards; the bots draw
// their guesses from their own generators. Prints the first level's win rate over the decided
// games with its 95 % interval and the mean point margin, how long its decisions took, and the
// habits of each level over the games it played alone (--habits N: N four-bot games per level).
// The habits include what a good player avoids: playing over the partner's winning play, points
// fed over the partner that the other side then takes, passing on a trick of 20 points or more
// that the other side takes while holding a bomb for it, a two, joker or bomb spent on a trick
// without points that stays without them, and games where going out would have won and the bot
// did not.
//   kvrn-tournament [--deals N] [--decks 1|2] [--seed S] [--levels strong,careful] [--habits N]
//                   [--playouts P] [--thrift T] [--lost-trick L]
#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "rules/cards.h"
#include "rules/paixing.h"
#include "rules/roundcore.h"
#include "rules/legalplays.h"
#include "server/botplayer.h"
#include "server/carefulbot.h"
#include "server/cardtext.h"
#include "server/deals.h"
#include "server/roomoptions.h"
#include "server/seatview.h"
#include "server/strongbot.h"

namespace {

// What a level's moves looked like.
struct Habits {
    int leads = 0;
    int pointLeads = 0;            // a lead holding a five, ten or king ...
    int pointLeadsWithLow = 0;     // ... while a card below the jack without points was in hand
    int highOnNothing = 0;         // a two or a joker played into a trick without points
    int bombs = 0;
    int earlyBombs = 0;            // fired while the bomber kept 8 cards or more
    int bombOnBomb = 0;
    int doubleRunLeads = 0;
    int overPartner = 0;           // a follow over the partner's biggest play, not going out with it
    int overPartnerPlain = 0;      // ... holding no points
    int feedsLost = 0;             // points played over the partner, then the other side took the trick
    int bombHeldPasses = 0;        // a pass on 20+ points the other side took, a bomb in hand that beat it
    int controlOnlyPasses = 0;     // a pass on 10+ points the other side took, only a two, joker or bomb beat it
    int controlsOnEmpty = 0;       // a two, joker or bomb following a trick without points that stayed so,
                                   // three or more ranks left in hand
    int missedWins = 0;            // games where going out would have ended the game won, and it was not taken
    int games = 0;
    int lopsided = 0;              // the losing side took 10 points or fewer (one deck)
};

// Habits that are only known once the trick is over: whose it became and what it held.
struct TrickWatch {
    int fen = 0;
    uint8_t maxChair = 0;
    std::vector<std::pair<Habits*, uint8_t>> feeds, bombPasses, controlPasses, controlsOnEmpty;

    void close(uint8_t winner)
    {
        for (auto& [h, c] : feeds)
            if (SideOf(winner) != SideOf(c)) ++h->feedsLost;
        for (auto& [h, c] : bombPasses)
            if (SideOf(winner) != SideOf(c)) ++h->bombHeldPasses;
        for (auto& [h, c] : controlPasses)
            if (SideOf(winner) != SideOf(c)) ++h->controlOnlyPasses;
        if (fen == 0)
            for (auto& [h, c] : controlsOnEmpty) ++h->controlsOnEmpty;
        *this = TrickWatch{};
    }
};

struct Times {
    std::vector<double> ms;
    std::vector<double> ms27;   // decisions from a full two-deck hand
};

struct Setup {
    int decks = 1;
    StrongBotBudget budget;
};

// Processor time of this thread: what a decision costs on one core, whatever else runs.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

bool IsPointCard(uint8_t c) { return IsSuitedCard(c) && (CardRank(c) == kRankFive || CardRank(c) == kRankTen || CardRank(c) == kRankKing); }
bool IsLowPlain(uint8_t c) { return IsSuitedCard(c) && !IsPointCard(c) && CardRank(c) < 8; }   // below the jack
bool IsTwoOrJoker(uint8_t c) { return IsJokerCard(c) || (IsSuitedCard(c) && CardRank(c) == kRankTwo); }
bool IsControl(const LegalPlay& p) { return p.Info[1] >= PX_LiangTaoHuo || std::any_of(p.Cards.begin(), p.Cards.end(), IsTwoOrJoker); }

int RanksIn(const CardRun& hand, const std::vector<uint8_t>& minus)
{
    std::array<int, 15> n{};
    for (uint8_t c : hand) ++n[size_t(RankOrder(c))];
    for (uint8_t c : minus) --n[size_t(RankOrder(c))];
    return int(std::count_if(n.begin(), n.end(), [](int k) { return k > 0; }));
}

// The habits of one move that the trick's end decides, and the going-out check.
void Watch(Habits& h, TrickWatch& w, const RoundCore& before, uint8_t chair, const std::vector<uint8_t>& cards,
           bool& missedWin)
{
    const CardRun& hand = before.hand(chair);
    const bool leading = before.phase() == GamePhase::Lead;
    const std::vector<LegalPlay> plays =
        EnumerateLegalPlays(hand.data(), hand.size(), leading ? nullptr : &before.maxOutPai(), before.shuangShunPlayed());
    // Going out ends the game when the partner is out; it wins when the side is then ahead.
    const uint8_t partner = PartnerOf(chair);
    if (before.mingCi()[partner] && !missedWin && cards.size() != size_t(hand.size())) {
        const int side = SideOf(chair);
        const int mine = before.teamScore()[size_t(side)] + before.trickFen(), theirs = before.teamScore()[size_t(1 - side)];
        for (const LegalPlay& p : plays)
            if (p.Cards.size() == size_t(hand.size()) && mine + CountFenPai(p.Cards.data(), int(p.Cards.size())) > theirs)
                missedWin = true;
        if (missedWin) ++h.missedWins;
    }
    if (leading) return;
    const uint8_t maxChair = before.maxOutPai()[0] & 3;
    if (cards.empty()) {
        if (SideOf(maxChair) == SideOf(chair)) return;
        bool bombBeats = false, plainBeats = false;
        for (const LegalPlay& p : plays) {
            if (p.Info[1] >= PX_LiangTaoHuo) bombBeats = true;
            if (!IsControl(p)) plainBeats = true;
        }
        if (before.trickFen() >= 20 && bombBeats) w.bombPasses.emplace_back(&h, chair);
        if (before.trickFen() >= 10 && !plainBeats && !plays.empty()) w.controlPasses.emplace_back(&h, chair);
        return;
    }
    const int fen = CountFenPai(cards.data(), int(cards.size()));
    if (maxChair == partner && cards.size() != size_t(hand.size())) {
        ++h.overPartner;
        if (fen == 0) ++h.overPartnerPlain;
    }
    if (maxChair == partner && fen > 0) w.feeds.emplace_back(&h, chair);
    PaiXingInfo info;
    std::vector<uint8_t> sorted = cards;
    SortPaiDesc(sorted.data(), int(sorted.size()));
    GetPaiXing(sorted.data(), int(sorted.size()), info);
    const bool control = info[1] >= PX_LiangTaoHuo || std::any_of(cards.begin(), cards.end(), IsTwoOrJoker);
    if (before.trickFen() == 0 && fen == 0 && control && RanksIn(hand, cards) >= 3) w.controlsOnEmpty.emplace_back(&h, chair);
}

void Note(Habits& h, const RoundCore& before, uint8_t chair, const std::vector<uint8_t>& cards)
{
    if (cards.empty()) return;
    PaiXingInfo info;
    std::vector<uint8_t> sorted = cards;
    SortPaiDesc(sorted.data(), int(sorted.size()));
    GetPaiXing(sorted.data(), int(sorted.size()), info);
    const CardRun& hand = before.hand(chair);
    const bool leading = before.phase() == GamePhase::Lead;
    if (leading) {
        ++h.leads;
        if (std::any_of(cards.begin(), cards.end(), IsPointCard)) {
            ++h.pointLeads;
            if (std::any_of(hand.begin(), hand.end(), IsLowPlain)) ++h.pointLeadsWithLow;
        }
        if (info[1] == PX_ShuangShun) ++h.doubleRunLeads;
    } else if (before.trickFen() == 0 && CountFenPai(cards.data(), int(cards.size())) == 0 &&
               std::any_of(cards.begin(), cards.end(), IsTwoOrJoker)) {
        ++h.highOnNothing;
    }
    if (info[1] >= PX_LiangTaoHuo) {
        ++h.bombs;
        if (hand.size() - int(cards.size()) >= 8) ++h.earlyBombs;
        if (!leading && before.maxOutPai()[1] >= PX_LiangTaoHuo) ++h.bombOnBomb;
    }
}

const char* NameOf(BotLevel l) { return l == BotLevel::Strong ? "strong" : l == BotLevel::Careful ? "careful" : "basic"; }

using LevelHabits = std::array<Habits*, 3>;   // by BotLevel

// One game; levels per chair. Returns the points of each side.
std::array<int32_t, 2> Play(const Deal& deal, const Setup& setup, const std::array<BotLevel, 4>& levels, uint32_t botSeed,
                            LevelHabits habits, std::array<Times*, 3> times)
{
    RoundCore table;
    table.deal(deal.deck.data(), setup.decks, deal.lead);
    table.beginPlay();
    std::array<SeatView, 4> views{SeatView(0), SeatView(1), SeatView(2), SeatView(3)};
    std::array<std::mt19937, 4> rngs;
    for (uint8_t c = 0; c < 4; ++c) {
        views[c].start(setup.decks, deal.lead);
        views[c].learnHand(table.hand(c).data(), table.hand(c).size());
        views[c].beginPlay();
        std::seed_seq seq{botSeed, uint32_t(c)};
        rngs[c].seed(seq);
    }
    TrickWatch watch;
    std::array<bool, 3> missedWin{};
    while (!table.over()) {
        const uint8_t chair = table.turn();
        const BotLevel level = levels[chair];
        std::vector<uint8_t> cards;
        const double t0 = CpuMs();
        switch (level) {
        case BotLevel::Strong: cards = ChooseStrongPlay(views[chair], rngs[chair], setup.budget); break;
        case BotLevel::Careful: cards = ChooseCarefulPlay(views[chair]); break;
        case BotLevel::Basic: cards = ChooseBotPlay(ViewOf(views[chair].round(), chair)); break;
        }
        const double ms = CpuMs() - t0;
        if (Times* t = times[size_t(level)]) {
            t->ms.push_back(ms);
            if (views[chair].hand().size() == kMaxHandCards) t->ms27.push_back(ms);
        }
        if (Habits* h = habits[size_t(level)]) {
            Note(*h, table, chair, cards);
            Watch(*h, watch, table, chair, cards, missedWin[size_t(level)]);
        }
        if (std::getenv("KVRN_TRACE"))
            std::printf("%d %-7s hand %-60s tf %3d %s\n", chair, NameOf(level), CardsText(table.hand(chair).vec()).toStdString().c_str(),
                        table.trickFen(), cards.empty() ? "pass" : CardsText(cards).toStdString().c_str());
        const uint8_t maxBefore = table.maxOutPai()[0] & 3;
        if (cards.empty()) cards = {kPassCode};
        const MoveOutcome o = table.move(chair, cards);
        if (!o.ok()) {
            std::fprintf(stderr, "refused: chair %d (%s)\n", chair, o.reason.toStdString().c_str());
            std::exit(2);
        }
        const bool pass = cards.size() == 1 && cards[0] == kPassCode;
        if (!pass) watch.fen += CountFenPai(cards.data(), int(cards.size()));
        if (o.phase == GamePhase::Lead || table.over()) {
            if (std::getenv("KVRN_TRACE")) std::printf("  trick %d to %d, score %d:%d\n", watch.fen, pass ? maxBefore : chair, table.teamScore()[0], table.teamScore()[1]);
            watch.close(pass ? maxBefore : chair);
        }
        const MoveNotice n{o.chair, o.next, o.phase, o.place, o.cards};
        for (SeatView& v : views) v.apply(n);
    }
    for (Habits* h : habits)
        if (h) {
            ++h->games;
            if (std::min(table.teamScore()[0], table.teamScore()[1]) <= 10) ++h->lopsided;
        }
    return table.teamScore();
}

double Quantile(std::vector<double> v, double q)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

void PrintHabits(const char* name, const Habits& h)
{
    std::printf("%-7s games %d: leads %d, with points %d (a low plain card in hand: %d); a two or joker on a trick "
                "without points %d; bombs %d, keeping 8+ cards %d, on a bomb %d; double runs led %d; lopsided games %d\n",
                name, h.games, h.leads, h.pointLeads, h.pointLeadsWithLow, h.highOnNothing, h.bombs, h.earlyBombs,
                h.bombOnBomb, h.doubleRunLeads, h.lopsided);
    const double per = h.games ? 100.0 / h.games : 0;
    std::printf("%-7s per 100 games: over the partner %.1f (no points %.1f); points fed over the partner, trick lost "
                "%.1f; pass on 20+ points lost, holding a bomb %.1f; pass on 10+ points lost, only a control beat it "
                "%.1f; control on an empty trick that stayed empty %.1f; going out would have won, not taken %.1f\n",
                name, h.overPartner * per, h.overPartnerPlain * per, h.feedsLost * per, h.bombHeldPasses * per,
                h.controlOnlyPasses * per, h.controlsOnEmpty * per, h.missedWins * per);
}


BotLevel LevelOf(const std::string& w) { return w == "basic" ? BotLevel::Basic : w == "careful" ? BotLevel::Careful : BotLevel::Strong; }

}  // namespace

int main(int argc, char** argv)
{
    int deals = 100, habitsGames = 0;
    uint32_t seed = 1;
    Setup setup;
    BotLevel a = BotLevel::Strong, b = BotLevel::Basic;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i], val = argv[i + 1];
        if (opt == "--deals") deals = std::atoi(val.c_str());
        else if (opt == "--decks") setup.decks = std::clamp(std::atoi(val.c_str()), 1, 2);
        else if (opt == "--seed") seed = uint32_t(std::strtoul(val.c_str(), nullptr, 10));
        else if (opt == "--habits") habitsGames = std::atoi(val.c_str());
        else if (opt == "--playouts") setup.budget.playouts = setup.budget.playoutsTwoDecks = std::atoi(val.c_str());
        else if (opt == "--lost-trick") setup.budget.lostTrickPrice = setup.budget.lostTrickPriceTwoDecks = std::atof(val.c_str());
        else if (opt == "--thrift") setup.budget.thrift = setup.budget.thriftTwoDecks = std::atof(val.c_str());
        else if (opt == "--levels") {
            const size_t comma = val.find(',');
            a = LevelOf(val.substr(0, comma));
            b = LevelOf(comma == std::string::npos ? "basic" : val.substr(comma + 1));
        } else {
            std::fprintf(stderr, "unknown option %s\n", opt.c_str());
            return 1;
        }
    }

    // The habits of both levels in these games too (a level plays two chairs of every game).
    std::array<Times, 3> times;
    std::array<Habits, 3> matchHabits;
    LevelHabits inMatch{};
    inMatch[size_t(a)] = &matchHabits[size_t(a)];
    inMatch[size_t(b)] = &matchHabits[size_t(b)];
    int wins = 0, losses = 0, ties = 0;
    long long margin = 0;
    for (int g = 1; g <= deals; ++g) {
        const Deal deal = DealFor(seed, g, setup.decks);
        for (int side = 0; side < 2; ++side) {
            std::array<BotLevel, 4> levels{};
            for (int c = 0; c < 4; ++c) levels[size_t(c)] = SideOf(uint8_t(c)) == side ? a : b;
            const auto pts = Play(deal, setup, levels, seed * 7919u + uint32_t(g * 2 + side), inMatch,
                                  {&times[0], &times[1], &times[2]});
            const int m = pts[size_t(side)] - pts[size_t(1 - side)];
            margin += m;
            if (m > 0) ++wins;
            else if (m < 0) ++losses;
            else ++ties;
        }
    }
    const int decided = wins + losses;
    const double p = decided ? double(wins) / decided : 0;
    // Wilson's interval, sound near 0 and 1 too.
    const double z = 1.96, n = std::max(decided, 1);
    const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
    const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
    std::printf("%d deal(s) x 2 sides, %d deck(s), seed %u: first level won %d, lost %d, tied %d\n", deals, setup.decks,
                seed, wins, losses, ties);
    std::printf("win rate of decided games %.1f %% (95 %% interval %.1f .. %.1f %%), mean margin %+.2f points per game\n",
                100 * p, 100 * (centre - half), 100 * (centre + half), double(margin) / (2.0 * deals));
    for (BotLevel level : {a, b}) {
        const Times& t = times[size_t(level)];
        if (t.ms.empty() || (level == b && a == b)) continue;
        std::printf("%s decisions %zu (processor time): median %.2f ms, 99th %.2f ms, worst %.2f ms; from 27 cards %zu: "
                    "median %.2f ms, worst %.2f ms\n",
                    NameOf(level), t.ms.size(), Quantile(t.ms, 0.5), Quantile(t.ms, 0.99), Quantile(t.ms, 1.0),
                    t.ms27.size(), Quantile(t.ms27, 0.5), Quantile(t.ms27, 1.0));
    }
    std::printf("habits in these games:\n");
    PrintHabits(NameOf(a), matchHabits[size_t(a)]);
    if (b != a) PrintHabits(NameOf(b), matchHabits[size_t(b)]);

    if (habitsGames > 0) {
        std::printf("habits in four-bot games:\n");
        for (BotLevel level : {BotLevel::Basic, BotLevel::Careful, BotLevel::Strong}) {
            Habits h;
            LevelHabits slot{};
            slot[size_t(level)] = &h;
            for (int g = 1; g <= habitsGames; ++g)
                Play(DealFor(seed, 100000 + g, setup.decks), setup, {level, level, level, level}, seed + uint32_t(g), slot,
                     {});
            PrintHabits(NameOf(level), h);
        }
    }
    return 0;
}
