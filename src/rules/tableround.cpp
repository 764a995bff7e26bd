#include "rules/tableround.h"

PublicRound RoundOf(const TableState& t)
{
    PublicRound r;
    r.decks = t.DeckCount;
    r.turn = t.TurnChair & 3;
    r.phase = t.GamePhase;
    r.shuangShunPlayed = t.ShuangShunPlayed;
    r.maxOutPai = t.MaxOutPai;
    r.trickFen = t.TrickFen;
    r.teamScore = t.TeamScore;
    for (size_t c = 0; c < 4; ++c) {
        r.mingCi[c] = t.Chairs[c].MingCi;
        r.counts[c] = t.Chairs[c].PaiCount;
        r.outPai[c] = CardRun(t.Chairs[c].OutPai.cards());
    }
    r.viewer = t.bteMyChair & 3;
    return r;
}

MoveOutcome ApplyMove(TableState& t, const MoveNotice& n)
{
    RoundCore core;
    core.restore(RoundOf(t));
    const MoveOutcome o = core.apply(n);
    t.TurnChair = core.turn();
    t.GamePhase = core.phase();
    t.ShuangShunPlayed = core.shuangShunPlayed();
    t.MaxOutPai = core.maxOutPai();
    for (uint8_t c = 0; c < 4; ++c) t.Chairs[c].PaiCount = uint8_t(core.count(c));
    // The place is the table's word, also where it says none.
    t.Chairs[o.chair].MingCi = n.place;
    if (o.gameOver) {
        // The core settles the unfinished trick into the sides' points at the end; the client
        // leaves that to the game-over message, which brings the final points right after, and
        // until then shows the trick's points where they were played.
        t.TrickFen += o.fen;
    } else {
        t.TrickFen = core.trickFen();
        t.TeamScore = core.teamScore();
    }
    return o;
}
