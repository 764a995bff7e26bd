// Bots against bots on the same deals. Every deal (from --seed and the game's number only) is
// played twice with the sides swapped, so neither side keeps the better cards; the bots draw
// their guesses from their own generators. Prints the first level's win rate over the decided
// games with its 95 % interval and the mean point margin, how long its decisions took, and the
// habits of each level over the games it played alone (--habits N: N four-bot games per level).
//   kvrn-tournament [--deals N] [--decks 1|2] [--seed S] [--levels strong,basic] [--habits N]
//                   [--playouts P] [--thrift T]
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
#include "server/botplayer.h"
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
    int games = 0;
    int lopsided = 0;              // the losing side took 10 points or fewer (one deck)
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

// One game; levels per chair. Returns the points of each side.
std::array<int32_t, 2> Play(const Deal& deal, const Setup& setup, const std::array<BotLevel, 4>& levels, uint32_t botSeed,
                            std::array<Habits*, 2> habits, Times* times)
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
    while (!table.over()) {
        const uint8_t chair = table.turn();
        const BotLevel level = levels[chair];
        std::vector<uint8_t> cards;
        if (level == BotLevel::Strong) {
            const double t0 = CpuMs();
            cards = ChooseStrongPlay(views[chair], rngs[chair], setup.budget);
            const double ms = CpuMs() - t0;
            if (times) {
                times->ms.push_back(ms);
                if (views[chair].hand().size() == kMaxHandCards) times->ms27.push_back(ms);
            }
        } else {
            cards = ChooseBotPlay(ViewOf(views[chair].round(), chair));
        }
        if (Habits* h = habits[level == BotLevel::Strong ? 1 : 0]) Note(*h, table, chair, cards);
        if (cards.empty()) cards = {kPassCode};
        const MoveOutcome o = table.move(chair, cards);
        if (!o.ok()) {
            std::fprintf(stderr, "refused: chair %d (%s)\n", chair, o.reason.toStdString().c_str());
            std::exit(2);
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
}

BotLevel LevelOf(const std::string& w) { return w == "basic" ? BotLevel::Basic : BotLevel::Strong; }

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
        else if (opt == "--playouts") setup.budget.playouts = std::atoi(val.c_str());
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

    Times times;
    int wins = 0, losses = 0, ties = 0;
    long long margin = 0;
    for (int g = 1; g <= deals; ++g) {
        const Deal deal = DealFor(seed, g, setup.decks);
        for (int side = 0; side < 2; ++side) {
            std::array<BotLevel, 4> levels{};
            for (int c = 0; c < 4; ++c) levels[size_t(c)] = SideOf(uint8_t(c)) == side ? a : b;
            const auto pts = Play(deal, setup, levels, seed * 7919u + uint32_t(g * 2 + side), {nullptr, nullptr}, &times);
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
    if (!times.ms.empty())
        std::printf("strong decisions %zu (processor time): median %.2f ms, 99th %.2f ms, worst %.2f ms; from 27 cards %zu: "
                    "median %.2f ms, worst %.2f ms\n",
                    times.ms.size(), Quantile(times.ms, 0.5), Quantile(times.ms, 0.99), Quantile(times.ms, 1.0),
                    times.ms27.size(), Quantile(times.ms27, 0.5), Quantile(times.ms27, 1.0));

    if (habitsGames > 0) {
        for (BotLevel level : {BotLevel::Basic, BotLevel::Strong}) {
            Habits h;
            std::array<Habits*, 2> slot{};
            slot[level == BotLevel::Strong ? 1 : 0] = &h;
            for (int g = 1; g <= habitsGames; ++g)
                Play(DealFor(seed, 100000 + g, setup.decks), setup, {level, level, level, level}, seed + uint32_t(g), slot, nullptr);
            PrintHabits(level == BotLevel::Strong ? "strong" : "basic", h);
        }
    }
    return 0;
}
