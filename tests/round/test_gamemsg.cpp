// The game messages: start, deal, plays and passes, the refusal, the end, the hands, a player who
// cannot go on, a raised hand and the spectators' view; lengths and chair numbers checked.
#include <gtest/gtest.h>

#include <QApplication>

#include "../rules/cardcodes.h"
#include "platform/core/clock.h"
#include "roundfixture.h"
#include "rules/cards.h"
#include "rules/paixing.h"

using namespace roundtest;

namespace {

QByteArray Cut(QByteArray m, int drop) { return m.left(m.size() - drop); }

// Seated at `mine` (as a spectator when asked) and dealt, chair `lead` to lead.
void Dealt(Round& r, int mine = 0, bool spectator = false, uint8_t lead = 1)
{
    r.Seat(mine, spectator);
    r.Deal({Card(3, R9)}, lead);
}

TEST(GameStart, JoinsOnceAsksForTheDealAndTakesTheSettings)
{
    Round r;
    r.Seat(0);
    r.ps.TableJoined = 0;
    r.ts.Chairs[2].HandRaised = true;
    r.ts.MyPaiBackup = ByteArr{1, 2};
    r.feed(BuildGameStart(4, 2, 1, 25, 3));
    EXPECT_EQ(r.sent, (QList<QByteArray>{BuildJoinGame(), BuildDealRequest(0)}));
    EXPECT_EQ(r.ts.AutoOutLimit, 4);
    EXPECT_EQ(r.ts.DeckCount, 2);
    EXPECT_EQ(r.ts.ShowLeftPai, 1);
    EXPECT_EQ(r.ts.TurnSeconds, 25);
    EXPECT_EQ(r.ts.TurnChair, 3);
    EXPECT_FALSE(r.ts.TableIdle);
    EXPECT_FALSE(r.ts.Chairs[2].HandRaised);
    EXPECT_TRUE(r.ts.MyPaiBackup.empty());
    EXPECT_EQ(r.ps.TableJoined, 1);
    r.sent.clear();
    r.feed(BuildGameStart(5, 1, 0, 30, 0));
    EXPECT_EQ(r.sent, QList<QByteArray>{BuildDealRequest(0)});  // joined already
}

TEST(GameStart, ASpectatorJoinsButAsksForNoCards)
{
    Round r;
    r.Seat(1, true);
    r.ps.TableJoined = 0;
    r.feed(BuildGameStart(5, 1, 0, 30, 0));
    EXPECT_EQ(r.sent, QList<QByteArray>{BuildJoinGame()});
}

TEST(GameStart, ShortOrWithABadChairStopsAfterTheReset)
{
    const struct {
        QByteArray msg;
        int deckCount;    // what is left after it
        int turnSeconds;
    } cases[] = {
        {Cut(BuildGameStart(4, 2, 1, 25, 3), 1), 1, 30},  // 14 bytes: the reset only
        {BuildGameStart(4, 2, 1, 25, 3) + char(0), 1, 30},
        {BuildGameStart(4, 2, 1, 25, 4), 2, 25},  // the settings before the chair stay
        {BuildGameStart(4, 0, 1, 25, 3), 1, 30},  // no deck, or more than two: nothing of it is kept
        {BuildGameStart(4, 3, 1, 25, 3), 1, 30},
    };
    for (const auto& tc : cases) {
        Round r;
        r.Seat(0);
        r.ts.DeckCount = 2;
        r.ts.TurnChair = 2;
        r.ts.Chairs[1].HandRaised = true;
        r.feed(tc.msg);
        EXPECT_TRUE(r.sent.isEmpty()) << tc.msg.size();
        EXPECT_FALSE(r.ts.Chairs[1].HandRaised);
        EXPECT_FALSE(r.ts.TableIdle);
        EXPECT_EQ(r.ts.DeckCount, tc.deckCount);
        EXPECT_EQ(r.ts.TurnSeconds, tc.turnSeconds);
        EXPECT_EQ(r.ts.TurnChair, 2);
    }
}

TEST(Deal, OnlyTheExactLengthForTheDeckCountIsTaken)
{
    auto codes = [](int n, int from) {
        CardList l;
        for (int i = 0; i < n; ++i) l.push_back(uint8_t((from + i) % 54));
        return l;
    };
    const struct {
        int decks;
        QByteArray msg;
        int hand;      // cards taken, 0 = refused
        int partner;
    } cases[] = {
        {1, BuildDeal(false, codes(13, 0), {}), 13, 0},
        {1, Cut(BuildDeal(false, codes(13, 0), {}), 1), 0, 0},
        {1, BuildDeal(false, codes(14, 0), {}), 0, 0},
        {2, BuildDeal(false, codes(27, 0), {}), 27, 0},
        {2, BuildDeal(false, codes(30, 0), {}), 0, 0},  // 30 cards with two decks
        {2, BuildDeal(false, codes(13, 0), {}), 0, 0},
        {1, BuildDeal(true, codes(13, 0), codes(13, 20)), 13, 13},
        {1, BuildDeal(true, codes(13, 0), {}), 0, 0},    // partner flag without the partner's hand
        {2, BuildDeal(true, codes(27, 0), codes(27, 27)), 27, 27},
        {1, QByteArray("\x13\x00\x00", 3), 0, 0},
    };
    for (const auto& tc : cases) {
        Round r;
        r.Seat(0);
        r.feed(BuildGameStart(5, uint8_t(tc.decks), 0, 30, 0));
        r.ts.MyPai = ByteArr{53};
        r.view.sounds.clear();
        r.sent.clear();
        r.feed(tc.msg);
        SCOPED_TRACE(testing::Message() << tc.decks << " decks, " << tc.msg.size() << " bytes");
        if (tc.hand == 0) {
            EXPECT_EQ(r.ts.MyPai, ByteArr{53});
            EXPECT_EQ(r.ts.GamePhase, GamePhase::None);
            EXPECT_TRUE(r.view.sounds.isEmpty());
            continue;
        }
        ByteArr expect = ByteArr::fromVector(codes(tc.hand, 0));
        ArrangeHand(expect, true, uint8_t(tc.decks));
        EXPECT_EQ(r.ts.MyPai, expect);
        EXPECT_EQ(r.ts.PartnerPai.upperBound(), tc.partner);
        EXPECT_EQ(r.ts.ShowPartnerPai, tc.partner ? 1 : 0);
        for (const ChairInfo& ch : r.ts.Chairs) EXPECT_EQ(ch.PaiCount, tc.hand);
        EXPECT_EQ(r.ts.GamePhase, GamePhase::Lead);
        EXPECT_EQ(r.view.sounds, QList<int>{SND_START});
        // Chair 0 leads: its play button and the clock are there.
        EXPECT_EQ(r.tv.OutButState[0], BUT_SHOWN);
        EXPECT_EQ(r.p.TimedChair, 0);
        EXPECT_TRUE(r.view.clockRunning);
        EXPECT_EQ(r.view.clockSeconds, 30);
    }
}

TEST(OutPai, PlaysAndPassesWithinATrick)
{
    Round r;
    Dealt(r);
    const uint8_t five = Card(1, R5), king = Card(2, RK);
    // Chair 1 leads a five: points on the table, the biggest play, one card fewer.
    r.feed(BuildOutPaiNotice(2, 2, 0, 1, {five}));
    EXPECT_EQ(r.ts.TrickFen, 5);
    EXPECT_EQ(r.ts.MaxOutPai, (PaiXingInfo{{1, PX_DanPai, PX_DanPai, five, 1, 0, 0, 0}}));
    EXPECT_EQ(r.ts.Chairs[1].PaiCount, 12);
    EXPECT_EQ(r.ts.Chairs[1].OutPai, ByteArr{five});
    EXPECT_EQ(r.ts.TurnChair, 2);
    EXPECT_EQ(r.ts.GamePhase, GamePhase::Follow);
    EXPECT_EQ(r.view.sounds.last(), SND_OUTPAI);
    // A pass changes neither the biggest play, nor the points, nor the count.
    r.feed(BuildOutPaiNotice(3, 2, 0, 2, {kPassCard}));
    EXPECT_EQ(r.ts.MaxOutPai[0], 1);
    EXPECT_EQ(r.ts.TrickFen, 5);
    EXPECT_EQ(r.ts.Chairs[2].PaiCount, 13);
    EXPECT_EQ(r.ts.Chairs[2].OutPai, ByteArr{kPassCard});
    EXPECT_EQ(r.view.sounds.last(), SND_PASS);
    // Chair 3 beats it with a king; the chair to act next clears its play of the last round.
    r.ts.Chairs[0].OutPai = ByteArr{Card(0, R4)};
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {king}));
    EXPECT_EQ(r.ts.TrickFen, 15);
    EXPECT_EQ(r.ts.MaxOutPai[0], 3);
    EXPECT_EQ(r.ts.MaxOutPai[3], king);
    EXPECT_TRUE(r.ts.Chairs[0].OutPai.empty());
    EXPECT_EQ(r.ts.Chairs[0].LastOutPai, ByteArr{Card(0, R4)});
    // Now it is this client's turn to follow: play and pass buttons.
    EXPECT_EQ(r.tv.OutButState[0], BUT_SHOWN);
    EXPECT_EQ(r.tv.OutButState[1], BUT_SHOWN);
    EXPECT_EQ(r.p.TimedChair, 0);
}

TEST(OutPai, AWonTrickGoesToTheSideThatLeadsNextAfterItsPause)
{
    Round r;
    Dealt(r);
    const uint8_t ten = Card(1, R10);
    r.feed(BuildOutPaiNotice(2, 2, 0, 1, {ten}));
    r.feed(BuildOutPaiNotice(3, 2, 0, 2, {kPassCard}));
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {kPassCard}));
    const qint64 start = ManualClock::Active()->now();
    r.feed(BuildOutPaiNotice(1, 1, 0, 0, {kPassCard}));
    EXPECT_EQ(ManualClock::Active()->now() - start, kTrickPauseMs);
    EXPECT_EQ(r.ts.TeamScore, (std::array<int32_t, 2>{0, 10}));  // chair 1's side leads next
    EXPECT_EQ(r.ts.TrickFen, 0);
    EXPECT_EQ(r.ts.Chairs[1].LastOutPai, ByteArr{ten});
    EXPECT_EQ(r.ts.Chairs[0].LastOutPai, ByteArr{kPassCard});
    for (const ChairInfo& ch : r.ts.Chairs) EXPECT_TRUE(ch.OutPai.empty());
    EXPECT_EQ(r.ts.TurnChair, 1);
    EXPECT_EQ(r.ts.GamePhase, GamePhase::Lead);
    EXPECT_FALSE(r.rs.TrickMovePending);
}

TEST(OutPai, ShuangShunHoldsForTheTrickOnly)
{
    Round r;
    Dealt(r);
    const CardList pairs{Card(0, R6), Card(1, R6), Card(0, R7), Card(1, R7), Card(0, R8), Card(1, R8)};
    r.ts.ShuangShunPlayed = true;  // left over: the first play of a trick clears it
    r.feed(BuildOutPaiNotice(2, 2, 0, 1, {Card(2, R3)}));
    EXPECT_FALSE(r.ts.ShuangShunPlayed);
    r.feed(BuildOutPaiNotice(3, 2, 0, 2, pairs));
    EXPECT_TRUE(r.ts.ShuangShunPlayed);
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {kPassCard}));
    EXPECT_TRUE(r.ts.ShuangShunPlayed);
    r.feed(BuildOutPaiNotice(2, 1, 0, 0, {kPassCard}));
    EXPECT_FALSE(r.ts.ShuangShunPlayed);
}

TEST(OutPai, TheOwnPlayIsTakenFromTheHandAsItWasBeforeSending)
{
    Round r;
    r.Seat(0);
    const uint8_t a = Card(0, RA), q = Card(1, RQ);
    r.Deal({a, q}, 0);
    const ByteArr before = r.ts.MyPai;
    // The optimistic removal took another card than the server confirms.
    r.ts.MyPaiBackup = before;
    RemovePai(r.ts.MyPai, ByteArr{q}, 1);
    r.tv.PaiSelected = ByteArr{1, 1};
    r.feed(BuildOutPaiNotice(1, 2, 0, 0, {a}));
    ByteArr expect = before;
    RemovePai(expect, ByteArr{a}, 1);
    ArrangeHand(expect, true, 1);
    EXPECT_EQ(r.ts.MyPai, expect);
    EXPECT_TRUE(r.ts.MyPaiBackup.empty());
    EXPECT_EQ(r.tv.PaiSelected.at(1), 0);
    EXPECT_EQ(r.tv.PaiSelected.at(2), 0);
    EXPECT_EQ(r.ts.Chairs[0].PaiCount, 12);
}

TEST(OutPai, ThePartnersOpenHandLosesItsCards)
{
    Round r;
    r.Seat(1);
    r.feed(BuildGameStart(5, 1, 0, 30, 3));
    CardList partner;
    for (int i = 0; i < 13; ++i) partner.push_back(uint8_t(13 + i));
    r.feed(BuildDeal(true, Round::FullHand({}), partner));
    r.feed(BuildOutPaiNotice(0, 2, 0, 3, {Card(1, R7), Card(1, R8), Card(1, R9)}));
    EXPECT_EQ(r.ts.PartnerPai.upperBound(), 10);
    for (int i = 1; i <= 10; ++i) EXPECT_NE(r.ts.PartnerPai[i], Card(1, R8));
    EXPECT_EQ(r.ts.Chairs[3].PaiCount, 10);
    EXPECT_EQ(r.ts.MaxOutPai[1], PX_DanShun);
}

TEST(OutPai, AnIllegalBroadcastLeavesNoPlayAndAnEmptyDescription)
{
    Round r;
    Dealt(r);
    r.feed(BuildOutPaiNotice(2, 2, 0, 1, {Card(0, R3), Card(0, R5)}));
    EXPECT_TRUE(r.ts.Chairs[1].OutPai.empty());
    EXPECT_EQ(r.ts.MaxOutPai, (PaiXingInfo{{1, 0, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(r.ts.TrickFen, 5);
    EXPECT_EQ(r.ts.Chairs[1].PaiCount, 11);
}

TEST(OutPai, MalformedOrBadChairOnlyStopsTheClock)
{
    const QByteArray good = BuildOutPaiNotice(2, 2, 0, 1, {Card(0, R3)});
    QByteArray countTooBig = good;
    countTooBig[6] = 2;
    const QByteArray cases[] = {
        Cut(good, 1), good + char(7), countTooBig, BuildOutPaiNotice(4, 2, 0, 1, {Card(0, R3)}),
        BuildOutPaiNotice(2, 2, 0, 9, {Card(0, R3)}), QByteArray("\x14\x00\x02\x02\x00\x01\x00", 7),
        BuildOutPaiNotice(2, 7, 0, 1, {Card(0, R3)}), BuildOutPaiNotice(2, 2, 5, 1, {Card(0, R3)}),  // phase, place
    };
    for (const QByteArray& m : cases) {
        Round r;
        Dealt(r, 0, false, 0);
        ASSERT_EQ(r.tv.OutButState[0], BUT_SHOWN);
        const TableState before = r.ts;
        r.feed(m);
        EXPECT_FALSE(r.view.clockRunning) << m.toHex().constData();
        EXPECT_EQ(r.p.TimedChair, kNoTimedChair);
        EXPECT_EQ(r.tv.OutButState[0], BUT_HIDDEN);
        EXPECT_EQ(r.ts.TurnChair, before.TurnChair);
        EXPECT_EQ(r.ts.MaxOutPai, before.MaxOutPai);
        EXPECT_EQ(r.ts.Chairs[1].PaiCount, 13);
    }
}

TEST(OutPai, EffectsByCardType)
{
    const struct {
        uint8_t type;
        int sound, blast;
    } table[] = {
        {PX_DanPai, SND_OUTPAI, BLAST_NONE},      {PX_DuiPai, SND_OUTPAI, BLAST_NONE},
        {PX_DanShun, SND_OUTPAI, BLAST_NONE},     {PX_ShuangShun, SND_OUTPAI, BLAST_NONE},
        {PX_LiangTaoHuo, SND_ZHADAN, BLAST_ZHADAN}, {PX_ZhaDan, SND_ZHADAN, BLAST_ZHADAN},
        {PX_JiaMaDui, SND_HONG10, BLAST_MADUI},   {PX_ZhenMaDui, SND_HONG10, BLAST_MADUI},
        {PX_LiaWang, SND_HONG10, BLAST_WANG},     {PX_WuZhangZha, SND_HONG10, BLAST_WANG},
        {PX_SanWang, SND_HONG10, BLAST_WANG},     {PX_DaZhaDan, SND_HONG10, BLAST_WANG},
        {PX_SiWang, SND_HONG10, BLAST_WANG},
    };
    for (const auto& e : table) {
        const PlayEffect fx = PlayEffectOf(e.type);
        EXPECT_EQ(fx.sound, e.sound) << int(e.type);
        EXPECT_EQ(fx.blast, e.blast) << int(e.type);
    }
    // Through a message: a true 马队 sounds 4 and blasts while it is drawn.
    Round r;
    Dealt(r);
    r.feed(BuildOutPaiNotice(2, 2, 0, 1, {Card(2, RK), Card(2, R10), Card(2, R5)}));
    EXPECT_EQ(r.view.sounds.last(), SND_HONG10);
    EXPECT_EQ(r.ts.MaxOutPai[1], PX_ZhenMaDui);
    EXPECT_FALSE(r.tv.BlastRunning);
}

TEST(Refused, TheBoxThenTheHandAsBeforeAndTheTurnAgain)
{
    Round r;
    r.Seat(0);
    r.Deal({Card(0, RA), Card(1, RQ)}, 0);
    const ByteArr before = r.ts.MyPai;
    r.Raise({Card(0, RA)});
    SubmitPlay(r.ctx, OUT_PLAY);
    ASSERT_EQ(r.ts.MyPai.upperBound(), 12);
    ASSERT_EQ(r.tv.OutButState[0], BUT_HIDDEN);
    r.feed(BuildOutPaiRefused(QStringLiteral("不能这样出")));
    ASSERT_EQ(r.view.msgs.size(), 1);
    EXPECT_EQ(r.view.msgs[0], (QPair<QString, QString>{QStringLiteral("不能这样出"), QStringLiteral("四人牌局")}));
    EXPECT_EQ(r.ts.MyPai, before);
    EXPECT_TRUE(r.ts.MyPaiBackup.empty());
    EXPECT_TRUE(r.ts.Chairs[0].OutPai.empty());
    EXPECT_EQ(r.tv.OutButState[0], BUT_SHOWN);
    EXPECT_TRUE(r.view.clockRunning);
}

TEST(GameOver, LongFormScoresLinesRevealedHandsAndTheStartButton)
{
    Round r;
    Dealt(r, 1);
    const std::array<CardList, 4> left{CardList{Card(0, R3)}, CardList{Card(1, R4), Card(1, R5)}, CardList{},
                                       CardList{BJ}};
    r.feed(BuildGameOver(true, {120, -120, 120, -120}, {140, 60}, left));
    EXPECT_EQ(r.view.lines, (QStringList{QStringLiteral("player0：120"), QStringLiteral("player1：-120"),
                                         QStringLiteral("player2：120"), QStringLiteral("player3：-120")}));
    EXPECT_EQ(r.ts.TeamScore, (std::array<int32_t, 2>{140, 60}));
    EXPECT_EQ(r.ts.Chairs[0].LeftPai, ByteArr{Card(0, R3)});
    EXPECT_TRUE(r.ts.Chairs[1].LeftPai.empty());  // the own cards are not revealed to oneself
    EXPECT_EQ(r.ts.Chairs[3].LeftPai, ByteArr{BJ});
    EXPECT_EQ(r.ts.ShowLeftPai, 1);
    EXPECT_EQ(r.view.sounds.last(), SND_END);
    EXPECT_TRUE(r.rs.GameOverShown);
    EXPECT_EQ(r.rs.GameOverChanges, (std::array<int32_t, 4>{120, -120, 120, -120}));
    EXPECT_FALSE(r.view.clockRunning);
    EXPECT_EQ(r.tv.OutButState[0], BUT_HIDDEN);
    EXPECT_EQ(r.ts.GamePhase, GamePhase::None);
    EXPECT_TRUE(r.ps.StartButShown);
    EXPECT_TRUE(r.view.startVisible);
    EXPECT_TRUE(r.view.startTimer);
    EXPECT_TRUE(r.view.msgs.isEmpty());
}

TEST(GameOver, WithoutChangesNoLinesAndTruncatedStopsWhereTheBytesEnd)
{
    Round r;
    Dealt(r);
    r.feed(BuildGameOver(false, {}, {10, 20}, {}));
    EXPECT_TRUE(r.view.lines.isEmpty());
    EXPECT_EQ(r.ts.TeamScore, (std::array<int32_t, 2>{10, 20}));
    EXPECT_EQ(r.rs.GameOverChanges, (std::array<int32_t, 4>{}));

    Round t;

    Dealt(t);
    const QByteArray full = BuildGameOver(true, {1, 2, 3, 4}, {10, 20}, {CardList{5}, CardList{6}, CardList{7}, CardList{8}});
    t.feed(full.left(30));  // the score changes and both sides, cut inside the revealed hands
    EXPECT_EQ(t.view.lines.size(), 4);
    EXPECT_EQ(t.ts.TeamScore, (std::array<int32_t, 2>{10, 20}));
    EXPECT_FALSE(t.rs.GameOverShown);
    EXPECT_FALSE(t.ps.StartButShown);
}

TEST(GameOver, ShortFormIsANoticeThenTheStartButton)
{
    Round r;
    Dealt(r);
    r.feed(QByteArray("\x16\x01\x00", 3));
    ASSERT_EQ(r.view.msgs.size(), 1);
    EXPECT_EQ(r.view.msgs[0].first, QStringLiteral("本局游戏结束!"));
    EXPECT_EQ(r.view.msgs[0].second, QStringLiteral("四人牌局"));
    EXPECT_TRUE(r.view.startVisible);
}

TEST(GameOver, ASpectatorWatchesTheEndThenTheTableIsResetWithoutAStartButton)
{
    Round r;
    Dealt(r, 2, true);
    const qint64 start = ManualClock::Active()->now();
    r.feed(BuildGameOver(true, {1, -1, 1, -1}, {100, 100}, {}));
    EXPECT_EQ(ManualClock::Active()->now() - start, kSpectatorEndPauseMs);
    EXPECT_TRUE(r.ts.TableIdle);
    EXPECT_TRUE(r.ts.MyPai.empty());
    EXPECT_EQ(r.ts.TeamScore, (std::array<int32_t, 2>{0, 0}));
    EXPECT_FALSE(r.rs.GameOverShown);
    EXPECT_FALSE(r.view.startVisible);
    EXPECT_FALSE(r.ps.StartButShown);
}

TEST(Hands, BothHandsReplacedCountedAndTheTurnGoesOn)
{
    Round r;
    Dealt(r);
    r.tv.PaiSelected = ByteArr{1, 1, 1};
    r.ts.GamePhase = GamePhase::Follow;
    r.ts.TurnChair = 0;
    r.feed(BuildHands({Card(0, R3), Card(3, R2)}, {Card(1, R6)}));
    EXPECT_EQ(r.ts.MyPai, (ByteArr{Card(3, R2), Card(0, R3)}));
    EXPECT_EQ(r.ts.PartnerPai, ByteArr{Card(1, R6)});
    EXPECT_EQ(r.ts.Chairs[0].PaiCount, 2);
    EXPECT_EQ(r.ts.Chairs[2].PaiCount, 1);
    EXPECT_EQ(r.tv.PaiSelected.at(1), 0);
    EXPECT_EQ(r.tv.OutButState[1], BUT_SHOWN);
    // A hidden partner's hand: counted, no cards kept.
    r.feed(BuildHands({Card(0, R3), Card(3, R2)}, CardList(9, kHiddenCardCode)));
    EXPECT_TRUE(r.ts.PartnerPai.empty());
    EXPECT_EQ(r.ts.Chairs[2].PaiCount, 9);
    // Cut short: nothing of it is taken.
    r.feed(Cut(BuildHands({Card(0, R4)}, {Card(1, R7), Card(1, R8)}), 1));
    EXPECT_EQ(r.ts.MyPai.upperBound(), 2);
    // More cards than a hand of the game holds: nothing of it is taken either.
    r.feed(BuildHands(CardList(14, Card(0, R4)), {}));
    EXPECT_EQ(r.ts.MyPai.upperBound(), 2);
    EXPECT_EQ(r.ts.Chairs[0].PaiCount, 2);
}

TEST(Hands, AnEmptyHandOnTheOwnTurnAsksForThem)
{
    Round r;
    r.Seat(3);
    r.ts.GamePhase = GamePhase::Lead;
    r.ts.TurnChair = 3;
    UpdateTurn(r.ctx);
    EXPECT_EQ(r.sent, QList<QByteArray>{BuildHandsRequest(3)});
    EXPECT_EQ(r.tv.OutButState[0], BUT_HIDDEN);
    r.ts.blnPangGuan = true;  // a spectator never asks
    r.sent.clear();
    UpdateTurn(r.ctx);
    EXPECT_TRUE(r.sent.isEmpty());
}

TEST(Quit, ClosesTheWindowForTheOwnChairOfAPlayerOnly)
{
    const struct {
        int mine;
        bool spectator;
        uint8_t chair;
        int boxes, closes;
    } cases[] = {
        {1, false, 1, 1, 1}, {1, true, 1, 1, 0}, {1, false, 2, 1, 0}, {1, false, 4, 0, 0},
    };
    for (const auto& tc : cases) {
        Round r;
        r.Seat(tc.mine, tc.spectator);
        r.feed(BuildQuit(tc.chair, QStringLiteral("断线")));
        EXPECT_EQ(r.view.msgs.size(), tc.boxes);
        EXPECT_EQ(r.view.closes, tc.closes);
        if (tc.boxes) {
            EXPECT_EQ(r.view.msgs[0], (QPair<QString, QString>{QStringLiteral("player%1 不能继续玩下去，原因：断线").arg(tc.chair),
                                                                QStringLiteral("四人牌局系统提示")}));
        }
    }
}

TEST(ReadyAndSeePai, ExactLengthsAndTheSpectatorsOnly)
{
    Round r;
    r.Seat(0);
    r.feed(BuildReady(2));
    EXPECT_TRUE(r.ts.Chairs[2].HandRaised);
    r.feed(BuildReady(3) + char(0));
    r.feed(BuildReady(7));
    EXPECT_FALSE(r.ts.Chairs[3].HandRaised);

    r.feed(BuildSeePai(false));
    EXPECT_EQ(r.ts.CanSeePai, 1);  // a player's view never changes
    Round s;
    Dealt(s, 0, true);
    s.feed(BuildSeePai(false));
    EXPECT_EQ(s.ts.CanSeePai, 0);
    s.feed(BuildSeePai(true) + char(0));
    EXPECT_EQ(s.ts.CanSeePai, 0);
    s.feed(BuildSeePai(true));
    EXPECT_EQ(s.ts.CanSeePai, 1);
}

TEST(UpdateTurn, WaitingOffersTheStartButtonToAPlayerNotYetReady)
{
    const struct {
        bool spectator, ready, shown;
    } cases[] = {{false, false, true}, {false, true, false}, {true, false, false}};
    for (const auto& tc : cases) {
        Round r;
        r.Seat(0, tc.spectator);
        r.ts.Chairs[0].HandRaised = tc.ready;
        r.ts.GamePhase = GamePhase::Waiting;
        UpdateTurn(r.ctx);
        EXPECT_EQ(r.ps.StartButShown, tc.shown);
        EXPECT_EQ(r.view.startVisible, tc.shown);
        EXPECT_EQ(r.view.startTimer, tc.shown);
    }
}

TEST(Dispatch, ChatItemsAndUnknownCodesAreNotTheRoundsBusiness)
{
    Round r;
    r.Seat(0);
    const TableState before = r.ts;
    for (const QByteArray& m : {BuildChat({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}),
                                BuildDaoJuText(DJ_NOTICE, QStringLiteral("x")), QByteArray("\x03\x01", 2), QByteArray()})
        r.feed(m);
    EXPECT_TRUE(r.sent.isEmpty());
    EXPECT_TRUE(r.view.msgs.isEmpty());
    EXPECT_EQ(r.ts.Chairs[0].Name, before.Chairs[0].Name);
    EXPECT_EQ(r.ts.GamePhase, before.GamePhase);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The pauses (a won trick, a blast, a spectator's end) pass on a clock the tests drive.
    ManualClock clock;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
