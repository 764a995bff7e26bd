#include "server/tablegame.h"

#include <QStringList>
#include <algorithm>

#include "protocol/messages.h"
#include "protocol/shapes.h"
#include "rules/cards.h"
#include "rules/paixing.h"
#include "server/botplayer.h"
#include "server/cardtext.h"
#include "server/deals.h"
#include "server/hiddenhand.h"

namespace {

constexpr int kGraceMs = 3000;            // beyond the turn seconds, for the link and the client's pauses
constexpr int kTrickPauseMs = 2000;       // the client shows a won trick this long before the next turn
constexpr int kDealWaitMs = 5000;         // the longest the first move waits for the deal requests

std::vector<uint8_t> SortedDesc(std::vector<uint8_t> cards)
{
    SortPaiDesc(cards.data(), int(cards.size()));
    return cards;
}

QString Joined(const std::array<int32_t, 4>& v)
{
    return QStringLiteral("%1,%2,%3,%4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
}

QString RefusalText(Refusal r, const QString& rulesText)
{
    switch (r) {
    case Refusal::NotYourTurn: return QStringLiteral("错误提示：还没有轮到你出牌！");
    case Refusal::MustLead: return QStringLiteral("错误提示：你是首家，必须出牌！");
    case Refusal::NotHeld: return QStringLiteral("错误提示：你手里没有这些牌！");
    case Refusal::Rules:
    case Refusal::None: break;
    }
    return rulesText;
}

}  // namespace

TableGame::TableGame(GameHost& host, const RoomOptions& options)
    : host_(host), opt_(options), dealSeed_(options.seed.value_or(std::random_device{}()))
{
    turnClock_.setSingleShot(true);
    dealClock_.setSingleShot(true);
    QObject::connect(&turnClock_, &ClockTimer::timeout, &turnClock_, [this] { onTurnTimeout(); });
    QObject::connect(&dealClock_, &ClockTimer::timeout, &dealClock_, [this] { finishDealing(); });
}

void TableGame::setNextDeal(std::vector<uint8_t> deck, uint8_t leadChair, int no)
{
    stackedDeck_ = std::move(deck);
    nextLead_ = leadChair & 3;
    if (no > 0) g_.No = no - 1;
}

void TableGame::start()
{
    const int no = g_.No + 1;
    g_ = GameRound();
    g_.No = no;
    g_.Running = true;
    g_.Dealing = true;
    Deal dealt = DealFor(dealSeed_, no, opt_.decks);
    std::vector<uint8_t> deck = std::move(dealt.deck);
    if (stackedDeck_.size() == deck.size()) deck = std::exchange(stackedDeck_, {});
    const size_t n = size_t(HandCountOf(opt_.decks));
    const uint8_t lead = uint8_t(nextLead_ >= 0 ? nextLead_ : int(dealt.lead));
    g_.Round.deal(deck.data(), opt_.decks, lead);
    g_.Spare.assign(deck.begin() + long(4 * n), deck.end());
    g_.Started = QDateTime::currentDateTimeUtc();
    g_.Lead = lead;
    for (uint8_t c = 0; c < 4; ++c) g_.Dealt[c] = SortedDesc(handOf(c));
    host_.gameStarting();

    host_.log(QStringLiteral("start game=%1 decks=%2 lead=%3").arg(g_.No).arg(opt_.decks).arg(lead));
    for (uint8_t c = 0; c < 4; ++c)
        host_.log(QStringLiteral("deal game=%1 chair=%2 name=%3 cards=%4")
                      .arg(g_.No).arg(c).arg(host_.chairName(c), CardsText(SortedDesc(handOf(c)))));
    if (!g_.Spare.empty()) host_.log(QStringLiteral("spare game=%1 cards=%2").arg(g_.No).arg(CardsText(SortedDesc(g_.Spare))));
    host_.gameBegun(g_.No);

    host_.broadcast(BuildGameStart(uint8_t(opt_.autoOutLimit), uint8_t(opt_.decks), 0, uint8_t(opt_.turnSeconds), lead));
    timeOutsInARow_.fill(0);
    for (uint8_t c = 0; c < 4; ++c) host_.handToWatchers(c, true);
    dealClock_.start(kDealWaitMs);
}

void TableGame::answerDeal(uint8_t chair)
{
    const std::vector<uint8_t> hand = handOf(chair);
    if (int(hand.size()) == HandCountOf(opt_.decks)) host_.sendToChair(chair, BuildDeal(false, hand, {}));
    else host_.sendToChair(chair, handsFor(chair));
    g_.DealAnswered[chair & 3] = true;
    if (g_.Dealing && std::all_of(g_.DealAnswered.begin(), g_.DealAnswered.end(), [](bool b) { return b; })) finishDealing();
}

bool TableGame::skipDeal(uint8_t chair)
{
    g_.DealAnswered[chair & 3] = true;
    return g_.Dealing && std::all_of(g_.DealAnswered.begin(), g_.DealAnswered.end(), [](bool b) { return b; });
}

void TableGame::finishDealing()
{
    if (!g_.Running || !g_.Dealing) return;
    dealClock_.stop();
    // A client that never asked gets its cards all the same.
    for (uint8_t c = 0; c < 4; ++c)
        if (!g_.DealAnswered[c]) answerDeal(c);
    g_.Dealing = false;
    g_.Round.beginPlay();
    startTurnClock(false);
    if (g_.HeldLead) {
        const std::vector<uint8_t> held = std::move(*g_.HeldLead);
        g_.HeldLead.reset();
        onPlayRequest(g_.Round.turn(), held);
    }
}

void TableGame::onPlayRequest(uint8_t chair, const std::vector<uint8_t>& cards)
{
    if (!g_.Running) return;
    if (g_.Dealing) {
        // The lead may be quicker than the others' deal requests: its play waits for them.
        if (chair == g_.Round.turn()) g_.HeldLead = cards;
        else refuse(chair, RefusalText(Refusal::NotYourTurn, {}), {});
        return;
    }
    play(chair, cards);
}

void TableGame::refuse(uint8_t chair, const QString& reason, const std::vector<uint8_t>& cards)
{
    ++g_.Refusals;
    ++totalRefusals_;
    host_.sendToChair(chair, BuildOutPaiRefused(reason));
    // Last: a flood of refusals may close the chair's link.
    host_.refused(chair, QStringLiteral("refused game=%1 chair=%2 cards=%3 reason=%4").arg(g_.No).arg(chair).arg(CardsText(cards), reason));
}

void TableGame::play(uint8_t chair, const std::vector<uint8_t>& cards)
{
    const MoveOutcome o = g_.Round.move(chair, cards);
    if (!o.ok()) {
        refuse(chair, RefusalText(o.refusal, o.reason), cards);
        return;
    }
    turnClock_.stop();
    timeOutsInARow_[chair & 3] = 0;
    const std::vector<uint8_t> shown = o.cards.vec();
    g_.Moves.emplace_back(chair, o.pass ? std::vector<uint8_t>{} : shown);
    const RoundCore& r = g_.Round;
    if (o.pass) {
        host_.log(QStringLiteral("pass game=%1 chair=%2 next=%3 phase=%4").arg(g_.No).arg(chair).arg(o.next).arg(WireValue(o.phase)));
        if (o.trickWon)
            host_.log(QStringLiteral("trick game=%1 winner=%2 fen=%3 lead=%4 score=%5,%6")
                          .arg(g_.No).arg(o.winner).arg(o.trickFen).arg(o.next).arg(r.teamScore()[0]).arg(r.teamScore()[1]));
        host_.broadcast(BuildOutPaiNotice(o.next, WireValue(o.phase), 0, chair, shown));
        startTurnClock(o.trickWon);
        return;
    }
    host_.log(QStringLiteral("play game=%1 chair=%2 cards=%3 type=%4 fen=%5 next=%6 phase=%7 place=%8 left=%9")
                  .arg(g_.No).arg(chair).arg(CardsText(shown), GetPaiXingName(o.info[1])).arg(o.fen).arg(o.next)
                  .arg(WireValue(o.phase)).arg(o.place).arg(o.left));
    host_.broadcast(BuildOutPaiNotice(o.next, WireValue(o.phase), o.place, chair, shown));
    host_.handToWatchers(chair, false);
    if (o.gameOver) endGame(chair);
    else startTurnClock(false);
}

void TableGame::endGame(uint8_t lastChair)
{
    turnClock_.stop();
    const RoundCore& r = g_.Round;
    const std::array<int32_t, 4> changes = r.scoreChanges(stake_);
    std::array<CardList, 4> left;
    QStringList leftText;
    int32_t leftFen = 0;
    for (uint8_t c = 0; c < 4; ++c) {
        left[c] = SortedDesc(handOf(c));
        leftText.append(CardsText(left[c]));
        leftFen += CountFenPai(left[c].data(), int(left[c].size()));
    }
    host_.gameDecided(g_, changes);
    host_.log(QStringLiteral("over game=%1 last=%2 changes=%3 score=%4,%5 leftfen=%6 left=%7")
                  .arg(g_.No).arg(lastChair).arg(Joined(changes)).arg(r.teamScore()[0]).arg(r.teamScore()[1]).arg(leftFen)
                  .arg(leftText.join(QLatin1Char('|'))));
    host_.broadcast(BuildGameOver(true, changes, r.teamScore(), left));
    if (r.firstOut() >= 0) nextLead_ = r.firstOut();
    g_.Running = false;
    ++gamesPlayed_;
    host_.gameEnded(g_.No, changes);
}

void TableGame::startTurnClock(bool trickJustWon)
{
    turnClock_.start(opt_.turnSeconds * 1000 + kGraceMs + (trickJustWon ? kTrickPauseMs : 0));
}

void TableGame::onTurnTimeout()
{
    if (!g_.Running || g_.Dealing) return;
    const RoundCore& r = g_.Round;
    const uint8_t chair = r.turn();
    host_.log(QStringLiteral("timeout game=%1 chair=%2").arg(g_.No).arg(chair));
    const int inARow = timeOutsInARow_[chair] + 1;
    if (r.phase() == GamePhase::Follow) play(chair, {kPassCode});
    else if (r.phase() == GamePhase::Lead && r.active(chair)) play(chair, {LowestCard(handOf(chair))});
    // The client gives up after as many moves made for it; a player whose client says nothing
    // at all (a vanished machine, a half-open link) is handed to a bot the same way.
    timeOutsInARow_[chair] = inARow;
    if (g_.Running && inARow >= opt_.autoOutLimit) {
        timeOutsInARow_[chair] = 0;
        host_.silent(chair);
    }
}

QByteArray TableGame::handsFor(uint8_t chair) const
{
    // The hands message counts the partner's hand by its cards; a hidden one goes as that many
    // backs, so the player's books keep the partner in play.
    const int partnerLeft = g_.Round.count(PartnerOf(chair));
    return BuildHands(handOf(chair), std::vector<uint8_t>(size_t(partnerLeft), kHiddenCardCode));
}

QByteArray TableGame::snapshotFor(int viewChair, uint8_t canSeePai) const
{
    const PublicRound f = g_.Round.facts(uint8_t(viewChair & 3));
    SnapshotGame s;
    s.CanSeePai = canSeePai;
    s.DeckCount = uint8_t(opt_.decks);
    s.TurnSeconds = uint8_t(opt_.turnSeconds);
    s.TurnChair = f.turn;
    // While the deal is answered the lead is as good as due.
    s.GamePhase = WireValue(f.phase == GamePhase::None ? GamePhase::Lead : f.phase);
    s.ShuangShunPlayed = f.shuangShunPlayed ? 1 : 0;
    for (size_t i = 0; i < 2; ++i) s.TeamScore[i] = uint16_t(std::clamp(f.teamScore[i], 0, 65535));
    s.TrickFen = uint16_t(std::clamp(f.trickFen, 0, 65535));
    s.MaxOutPai = f.maxOutPai.b;
    s.MingCi = f.mingCi;
    s.PaiCount = f.counts;
    for (size_t c = 0; c < 4; ++c) s.OutPai[c] = f.outPai[c].vec();
    s.MyPai = ShownHand(f.hand.vec(), canSeePai != 0);
    return BuildSnapshotGame(s);
}
