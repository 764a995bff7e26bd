#pragma once
// The strong bot: it tries each of its plays on many guesses of the hidden hands, each guess
// dealt from the cards it has not seen and kept the more readily the better it agrees with the
// passes the table showed, plays every guess out to the end with quick rank-level players of
// careful habits, and takes the play with the best average outcome for its side, leaning
// towards the careful level's own choice where the outcomes are close. Its only input
// is its chair's view, so it cannot see a card a client of its chair would not see.
#include <cstdint>
#include <random>
#include <vector>

#include "server/seatview.h"

struct StrongBotBudget {
    int playouts = 2400;   // playouts per decision, shared among the candidate plays
    // Two decks give more candidates and guesses that differ more: their playouts still keep a
    // decision near 20 ms of one core (the benchmark and the tournament measure it).
    int playoutsTwoDecks = 6000;
    int minPerPlay = 24;   // yet at least this many guesses for every candidate
    int dealAttempts = 8;  // deals tried for one guess until one agrees with the passes seen
    // Added to the outcome of the play the careful level would make (in units of a won game):
    // its card counting tells apart plays the guesses score alike.
    double carefulPrior = 0.25;
    // What spending a bomb, a two or a joker costs where the guesses see no clear gain from it
    // (in units of a won game): strength kept for later, and less predictable play. Two decks
    // hold twice the bombs, so each is worth less.
    double thrift = 0.4;
    double thriftTwoDecks = 0.15;
    // What a pass costs, per 10 points, on a trick of 10 points or more that the other side holds
    // and only a two, joker or bomb of the own hand beats, weighed by how often the guesses see
    // the other side keep it (in units of a won game). The guesses' quick players spend their own
    // controls readily, so a control kept looks worth more later in them than at a real table.
    double lostTrickPrice = 0.4;
    double lostTrickPriceTwoDecks = 0.45;
};

// What one decision spent, for the benchmarks.
struct StrongBotSpent {
    int candidates = 0;
    int guesses = 0;     // deals of the hidden cards, each played out once per candidate
    int playouts = 0;
    int dealsTried = 0;  // deals drawn, the rejected ones included
};

// The cards to play, highest first, or empty for a pass. Draws only from rng.
std::vector<uint8_t> ChooseStrongPlay(const SeatView& view, std::mt19937& rng, const StrongBotBudget& budget = {},
                                      StrongBotSpent* spent = nullptr);
