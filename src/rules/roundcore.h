#pragma once
// One round of the game as plain data: the hands, the turn, the trick, the points and the places.
// The table that deals holds every hand and checks each move against it; a player's side (a bot, a
// client) holds its own hand and the card counts, and applies the moves the table broadcasts. Both
// keep their books through the same code, so they cannot drift apart. Fixed arrays only: a round
// is cheap to copy, for a player that tries moves on copies.
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "rules/gamephase.h"
#include "rules/tablestate.h"

// Two decks make the biggest hand: 108 cards in four.
inline constexpr int kMaxHandCards = 27;

// A hand or a play, in a fixed array.
struct CardRun {
    std::array<uint8_t, kMaxHandCards> c{};
    uint8_t n = 0;

    CardRun() = default;
    CardRun(const uint8_t* p, int count) { assign(p, count); }
    explicit CardRun(const std::vector<uint8_t>& v) : CardRun(v.data(), int(v.size())) {}
    // Cards beyond the capacity are dropped.
    void assign(const uint8_t* p, int count);
    // Takes out one copy of each card (the first in hand order), keeping the order of the rest.
    // Unless all are held nothing is taken and the answer is false.
    bool take(const uint8_t* cards, int count);
    // Same, but takes what is held and skips the rest.
    void takeHeld(const uint8_t* cards, int count);

    const uint8_t* data() const { return c.data(); }
    uint8_t* data() { return c.data(); }
    const uint8_t* begin() const { return c.data(); }
    const uint8_t* end() const { return c.data() + n; }
    int size() const { return n; }
    bool empty() const { return n == 0; }
    uint8_t operator[](int i) const { return c[size_t(i)]; }
    std::vector<uint8_t> vec() const { return {begin(), end()}; }
    bool operator==(const CardRun& o) const { return std::equal(begin(), end(), o.begin(), o.end()); }
};

inline constexpr uint8_t PartnerOf(uint8_t chair) { return uint8_t((chair + 2) & 3); }
inline constexpr int SideOf(uint8_t chair) { return chair & 1; }

// Why a move was not allowed.
enum class Refusal : uint8_t {
    None,
    NotYourTurn,   // another chair's turn, or no move is due
    MustLead,      // a pass where the trick is to be opened
    NotHeld,       // cards the chair does not hold
    Rules,         // not a play here; the rules' text says why
};

// What one move did, everything the table announces and logs about it.
struct MoveOutcome {
    Refusal refusal = Refusal::None;
    QString reason;                     // the rules' text, for Refusal::Rules
    uint8_t chair = 0;
    bool pass = false;
    CardRun cards;                      // the play highest first; a pass is the pass code alone
    PaiXingInfo info;                   // the play's description, byte 0 its chair
    int32_t fen = 0;                    // points in the play
    uint8_t next = 0;                   // whose turn it is now
    GamePhase phase = GamePhase::None;  // and what is due
    uint8_t place = 0;                  // the chair's place when the play emptied its hand, else 0
    int left = 0;                       // the chair's cards after the move
    bool trickWon = false;              // the pass ended the trick: its biggest play's
    uint8_t winner = 0;                 //   chair, and the points it took
    int32_t trickFen = 0;
    bool gameOver = false;              // both chairs of one side are out

    bool ok() const { return refusal == Refusal::None; }
};

// A move as the table broadcasts it.
struct MoveNotice {
    uint8_t chair = 0;
    uint8_t next = 0;
    GamePhase phase = GamePhase::None;
    uint8_t place = 0;
    CardRun cards;   // the pass code alone for a pass
};

// What every chair sees of a running round, and one chair's own hand: what a table snapshot holds.
struct PublicRound {
    int decks = 1;
    uint8_t turn = 0;
    GamePhase phase = GamePhase::None;
    bool shuangShunPlayed = false;
    PaiXingInfo maxOutPai;
    int32_t trickFen = 0;
    std::array<int32_t, 2> teamScore{};
    std::array<uint8_t, 4> mingCi{};
    std::array<uint8_t, 4> counts{};
    std::array<CardRun, 4> outPai;
    uint8_t viewer = 0;
    CardRun hand;   // the viewer's

    bool operator==(const PublicRound&) const = default;
};

class RoundCore {
public:
    // The table's deal: chair c gets deck[c*n .. c*n+n-1], n the hand size for the decks (the
    // deck holds at least 4n cards); lead opens. Nobody moves until beginPlay().
    void deal(const uint8_t* deck, int decks, uint8_t lead);
    // A player's start: every hand full and unknown until learnHand().
    void observe(int decks, uint8_t lead);
    void learnHand(uint8_t chair, const uint8_t* cards, int n);
    // A player who comes in during a round (a snapshot); the passes since the biggest play follow
    // from whose turn it is. The viewer's hand is known unless it is empty while cards are counted.
    void restore(const PublicRound& r);
    // The deal is done: the lead chair opens.
    void beginPlay();

    // The table's move: checked against the turn, the chair's hand and the rules, applied when
    // allowed. A single pass code is a pass.
    MoveOutcome move(uint8_t chair, const uint8_t* cards, int n);
    MoveOutcome move(uint8_t chair, const std::vector<uint8_t>& cards) { return move(chair, cards.data(), int(cards.size())); }
    // A player's copy takes the move the table announced, through the same books. The turn, the
    // phase, the place and the end of the trick are the announcement's, never worked out from the
    // card counts: a copy may count a hand short (one it was told is empty).
    MoveOutcome apply(const MoveNotice& n);

    // The change of each chair's score at the end: the stake to each chair of the side with more
    // points, from each of the other side; nothing on equal points.
    std::array<int32_t, 4> scoreChanges(int32_t stake) const;
    // The chair that went out first, -1 when nobody has.
    int firstOut() const;
    PublicRound facts(uint8_t viewer) const;

    int decks() const { return decks_; }
    uint8_t lead() const { return lead_; }
    uint8_t turn() const { return turn_; }
    GamePhase phase() const { return phase_; }
    const CardRun& hand(uint8_t chair) const { return hands_[chair & 3]; }
    bool handKnown(uint8_t chair) const { return known_[chair & 3]; }
    int count(uint8_t chair) const { return counts_[chair & 3]; }
    bool active(uint8_t chair) const { return counts_[chair & 3] > 0; }
    const PaiXingInfo& maxOutPai() const { return maxOutPai_; }
    bool shuangShunPlayed() const { return shuangShunPlayed_; }
    int32_t trickFen() const { return trickFen_; }
    int passes() const { return passes_; }
    const std::array<int32_t, 2>& teamScore() const { return teamScore_; }
    const std::array<uint8_t, 4>& mingCi() const { return mingCi_; }
    const CardRun& outPai(uint8_t chair) const { return outPai_[chair & 3]; }
    int plays() const { return plays_; }
    bool over() const { return over_; }
    // The next chair after this one that still holds cards (the chair itself when none does).
    uint8_t nextActive(uint8_t chair) const;

private:
    // The books of a play: the trick's plays, the biggest play, the 双顺 mark, the points, the
    // mover's count. Its place, the end of the game and the next turn are the caller's.
    void bookPlay(uint8_t chair, const CardRun& sorted, PaiXingInfo info, MoveOutcome& o);
    void commitPlay(uint8_t chair, const CardRun& sorted, PaiXingInfo info, MoveOutcome& o);
    void commitPass(uint8_t chair, MoveOutcome& o);
    void endTrick();

    uint8_t decks_ = 1;
    uint8_t lead_ = 0;
    uint8_t turn_ = 0;
    GamePhase phase_ = GamePhase::None;
    bool shuangShunPlayed_ = false;
    bool over_ = false;
    uint8_t nextPlace_ = 1;
    uint8_t passes_ = 0;   // since the biggest play
    std::array<bool, 4> known_{};
    std::array<uint8_t, 4> counts_{};
    std::array<uint8_t, 4> mingCi_{};
    PaiXingInfo maxOutPai_;   // byte 0: the chair of the biggest play
    int32_t trickFen_ = 0;
    int plays_ = 0;
    std::array<int32_t, 2> teamScore_{};
    std::array<CardRun, 4> hands_;
    std::array<CardRun, 4> outPai_;   // each chair's move in this trick
};
