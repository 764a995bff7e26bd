#pragma once
// The table the drawing tests and benchmarks start from: four players in the middle of a
// two-deck game, seen from chair 1. Header only, over the rules' state, so the benchmarks can
// use it without the test libraries.
#include <QString>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "rules/cards.h"
#include "rules/tablestate.h"

namespace testsupport {

// Two decks shuffled by `seed` and dealt round the four chairs, each hand arranged.
inline std::array<ByteArr, 4> DealTwoDecks(unsigned seed)
{
    std::vector<uint8_t> deck;
    for (int d = 0; d < 2; ++d)
        for (int c = 0; c < 54; ++c) deck.push_back(uint8_t(c));
    std::shuffle(deck.begin(), deck.end(), std::mt19937(seed));
    std::array<ByteArr, 4> hands;
    for (int i = 0; i < 108; ++i) hands[size_t(i % 4)].append(deck[size_t(i)]);
    for (ByteArr& h : hands) ArrangeHand(h, true, 2);
    return hands;
}

// Four named players; the own hand of `handSize` cards with cards 4, 5 and 12 raised; the
// partner's hand open; the own turn of 30 seconds with both play buttons up; the scores; and on
// the table four kings, a pass and five aces.
inline void SetUpMidGame(TableState& ts, TableViewState& tv, int handSize = 27)
{
    const QString names[4] = {QStringLiteral("东方不败"), QStringLiteral("我是玩家"), QStringLiteral("LuckyStar88"),
                              QStringLiteral("西门吹雪")};
    for (int c = 0; c < 4; ++c) {
        ts.Chairs[size_t(c)].Name = names[c];
        ts.Chairs[size_t(c)].IconNo = 1000 * (c % 3) + c * 3;
        ts.Chairs[size_t(c)].PaiCount = uint8_t(handSize);
    }
    ts.strViewOwner = names[1];
    ts.bteMyChair = 1;
    tv.ViewPosOfChair = {1, 2, 3, 0};
    ts.TableIdle = false;
    ts.DeckCount = 2;
    ts.ShowPartnerPai = 1;
    ts.GamePhase = GamePhase::Follow;
    ts.TurnChair = 1;
    ts.TurnSeconds = 30;
    ts.TeamScore = {85, 120};
    ts.TrickFen = 25;
    const auto hands = DealTwoDecks(11);
    for (int i = 1; i <= handSize; ++i) ts.MyPai.append(hands[1][i]);
    for (int i = 1; i <= handSize; ++i) ts.PartnerPai.append(hands[3][i]);
    tv.PaiSelected.redim(handSize);
    for (int i : {4, 5, 12})
        if (i <= handSize) tv.PaiSelected[i] = 1;
    ts.Chairs[0].OutPai = ByteArr{49, 36, 23, 10};      // four kings
    ts.Chairs[2].OutPai = ByteArr{kPassCard};
    ts.Chairs[3].OutPai = ByteArr{50, 37, 24, 11, 11};  // five aces
    tv.OptButState = {1, 1};
    tv.OutButState = {1, 2, 0};
}

}  // namespace testsupport
