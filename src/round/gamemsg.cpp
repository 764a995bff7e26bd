// The game messages from the room server: a game's start, the deal, every play and pass, the
// refusal of the own play, the end with its results, the hands, a player who cannot go on, a
// raised hand and the spectators' view of the cards. Each message is identified and its length
// checked by the protocol's shape table and its fields decoded there (received.h): a chair
// above 3 or a byte past the end stops it before the handler sees it.
#include <QStringList>
#include <algorithm>

#include "platform/core/vbnum.h"
#include "protocol/messages.h"
#include "protocol/received.h"
#include "round/roundinternal.h"
#include "rules/cards.h"
#include "rules/gamedefine.h"
#include "rules/paixing.h"
#include "rules/tableround.h"
#include "tableview/paintutil.h"
#include "tableview/waitticks.h"

using namespace roundflow;

namespace {

ByteArr CardsOf(const std::vector<uint8_t>& cards) { return ByteArr::fromVector(cards); }

uint8_t ClampCount(int n) { return uint8_t(std::clamp(n, 0, 255)); }

// ---- GM_START ------------------------------------------------------------------------------

void OnStart(RoundCtx& c, const ReceivedMsg& msg)
{
    TableState& ts = c.ts();
    PublicState& pub = c.pub();
    StopTurnClock(c);
    c.view.CloseMoveBoxes();
    if (c.view.StartVisible() || pub.StartButShown) HideStartBut(c);
    if (pub.TableJoined == 0) {
        pub.TableJoined = 1;
        Send(c, BuildJoinGame());
    }
    ResetTable(c, true);
    pub.TableJoined = 1;
    ts.TableIdle = false;
    const StartMsg* m = msg.as<StartMsg>();
    if (!m) return;
    ts.AutoOutLimit = m->autoOutLimit;
    // A deck count the table cannot hold ends the message before anything sized by it is kept.
    if (!m->settingsValid) return;
    ts.DeckCount = m->deckCount;
    ts.ShowLeftPai = m->showLeftPai;
    ts.TurnSeconds = m->turnSeconds;
    if (!m->leadValid) return;
    ts.TurnChair = m->leadChair;
    ComputeCardLayout(c.pc);
    RepaintTable(c);
    if (IsPlayer(ts)) {
        Send(c, BuildDealRequest(ts.bteMyChair));
        ts.MyPaiBackup.clear();
    }
}

// ---- GM_DEAL -------------------------------------------------------------------------------

void OnDeal(RoundCtx& c, const DealMsg& m)
{
    TableState& ts = c.ts();
    ts.ShowPartnerPai = m.showPartner;
    const int n = HandCountOf(ts.DeckCount);
    std::vector<uint8_t> mine, partner;
    if (!m.split(n, mine, partner)) return;
    ts.MyPai = CardsOf(mine);
    ArrangeHand(ts.MyPai, ts.PaiSortMode, ts.DeckCount);
    c.tv().PaiSelected.clear();
    ts.PartnerPai = CardsOf(partner);
    ArrangeHand(ts.PartnerPai, ts.PaiSortMode, ts.DeckCount);
    ComputeCardLayout(c.pc);
    for (ChairInfo& ch : ts.Chairs) ch.PaiCount = ClampCount(n);
    for (int chair = 0; chair < 4; ++chair) {
        PaintUserPai(c.pc, chair);
        PaintYuPai(c.pc, chair);
    }
    ts.GamePhase = GamePhase::Lead;
    UpdateTurn(c);
    c.view.PlayGameSound(SND_START);
}

// ---- GM_OUTPAI -----------------------------------------------------------------------------

// The played cards leave the hand they came from: the own hand as it was before an own play was
// taken from it, or the partner's open hand.
void TakeFromHands(RoundCtx& c, int p, const ByteArr& cards)
{
    TableState& ts = c.ts();
    const int n = cards.upperBound();
    if (p == ts.bteMyChair) {
        if (!ts.MyPaiBackup.empty()) {
            ts.MyPai = ts.MyPaiBackup;
            ts.MyPaiBackup.clear();
        }
        RemovePai(ts.MyPai, cards, n);
        c.tv().PaiSelected.clear();
        ArrangeHand(ts.MyPai, ts.PaiSortMode, ts.DeckCount);
    } else if (p == PartnerOf(ts.bteMyChair)) {
        RemovePai(ts.PartnerPai, cards, n);
        ArrangeHand(ts.PartnerPai, ts.PaiSortMode, ts.DeckCount);
    }
    PaintUserPai(c.pc, p);
    PaintYuPai(c.pc, p);
}

void OnOutPai(RoundCtx& c, const ReceivedMsg& msg)
{
    TableState& ts = c.ts();
    StopTurnClock(c);
    if (c.tv().OutButState[0] != BUT_HIDDEN) ShowOutBut(c.pc, false);
    const OutPaiMsg* m = msg.as<OutPaiMsg>();
    if (!m) return;
    // The turn moved on: a box about the own move of the turn that was has nothing to say.
    c.view.CloseMoveBoxes();
    const uint8_t p = m->chair;
    const ByteArr cards = CardsOf(m->cards);
    const int n = cards.upperBound();

    FinishTrickMove(c);
    // Whatever follows the pass code, the move is a pass.
    const bool pass = cards[1] == kPassCard;
    const MoveOutcome o = ApplyMove(ts, MoveNotice{p, m->next, GamePhaseOf(m->phase), m->mingCi,
                                                   pass ? CardRun(&kPassCard, 1) : CardRun(m->cards)});
    ChairInfo& ch = ts.Chairs[p];
    // A chair's earlier play is cleared when its turn comes, but a snapshot lays the plays of the
    // trick down as they were, the turn chair's too: that one goes before the move is drawn. The
    // own play shown while the server confirms it is the same move, not an earlier one.
    if (!ch.OutPai.empty()) {
        ClearUserOutPai(c.pc, p);
        if (p != ts.bteMyChair || ts.MyPaiBackup.empty()) ch.LastOutPai = ch.OutPai;
    }
    ch.OutPai = cards;

    int blast = BLAST_NONE;
    if (pass) {
        c.view.PlayGameSound(SND_PASS);
    } else {
        PaiXingInfo info;
        if (!GetPaiXing(cards, n, info)) {
            // Not a play by our rules: nothing is shown for it, and the description stays empty.
            ch.OutPai.clear();
            UpdateTurn(c);
        }
        if (o.fen != 0) PaintGameScore(c.pc);  // the panel shows nothing else that a play changes
        const PlayEffect fx = PlayEffectOf(o.info[1]);
        c.view.PlayGameSound(fx.sound);
        blast = fx.blast;
        TakeFromHands(c, p, cards);
    }

    const WaitMark mark = MarkWait(c);
    const uint32_t turnSeq = c.rs.TurnSeq;
    if (ts.GamePhase == GamePhase::Lead) {
        // The trick is won (its points went to the side of its biggest play, which leads next):
        // the plays stay on the table a moment before they become the previous trick.
        PaintUserOutPai(c.pc, p);
        PaintGameScore(c.pc);
        c.rs.TrickMovePending = true;
        WaitTicks(kTrickPauseMs, c.pub().blnClosing);
        if (!Resumable(c, mark)) return;
        FinishTrickMove(c);
    } else {
        PaintUserOutPai(c.pc, p);
        // The chair about to act clears its play of the last round.
        ChairInfo& turn = ts.Chairs[ts.TurnChair];
        ClearUserOutPai(c.pc, ts.TurnChair);
        turn.LastOutPai = turn.OutPai;
        turn.OutPai.clear();
    }
    if (ch.MingCi != 0) PaintMingCi(c.pc, p);
    if (blast != BLAST_NONE) {
        const uint32_t msgSeq = c.rs.MsgSeq;
        PlayBlast(c.pc, p, blast);
        if (!c.view.IsAlive()) return;
        if (c.rs.MsgSeq != msgSeq) {
            // What was drawn during the blast may lie under the rectangle it put back.
            RepaintTable(c);
        }
        if (!Resumable(c, mark)) return;
    }
    // A message handled during a wait has set the turn up already.
    if (c.rs.TurnSeq == turnSeq) UpdateTurn(c);
}

// ---- GM_OUTPAI_REFUSED ---------------------------------------------------------------------

void OnOutPaiRefused(RoundCtx& c, const RefusedMsg& m)
{
    TableState& ts = c.ts();
    const WaitMark mark = MarkWait(c);
    const uint32_t turnSeq = c.rs.TurnSeq;
    c.view.ShowRefusal(m.reason, c.pub().strGameTitle);
    if (!Resumable(c, mark)) return;
    if (InTrick(ts) && !ts.MyPaiBackup.empty()) {
        ts.MyPai = ts.MyPaiBackup;
        ts.MyPaiBackup.clear();
        c.tv().PaiSelected.clear();
        ts.Chairs[ts.bteMyChair & 3].OutPai.clear();
        PaintOutPai(c.pc, false);
        PaintMyPai(c.pc);
    }
    if (c.rs.TurnSeq == turnSeq) UpdateTurn(c);
}

// ---- GM_GAME_OVER --------------------------------------------------------------------------

void OnGameOver(RoundCtx& c, const ReceivedMsg& msg)
{
    TableState& ts = c.ts();
    PublicState& pub = c.pub();
    StopTurnClock(c);
    // No move of the game is due any more.
    c.view.CloseMoveBoxes();
    std::array<int32_t, 4> changes{};
    ++c.rs.GameSeq;
    FinishTrickMove(c);
    // Nothing is pending once the game is over: no turn is timed or played any more.
    ts.GamePhase = GamePhase::None;
    const WaitMark mark = MarkWait(c);
    if (const GameOverMsg* m = msg.as<GameOverMsg>()) {
        if (m->withChanges) {
            if (!m->changesRead) return;
            changes = m->changes;
            for (int chair = 0; chair < 4; ++chair)
                c.view.AddSystemLine(ts.Chairs[size_t(chair)].Name + QStringLiteral("：") + QString::number(changes[size_t(chair)]));
        }
        if (!m->scoresRead) return;
        ts.TeamScore = m->teamScore;
        for (int chair = 0; chair < 4; ++chair) {
            if (chair >= m->leftRead) return;
            if (chair != ts.bteMyChair) ts.Chairs[size_t(chair)].LeftPai = CardsOf(m->leftPai[size_t(chair)]);
        }
        HideStartBut(c);
        ts.ShowLeftPai = 1;
        ComputeCardLayout(c.pc);
        RepaintTable(c);
        ShowOutBut(c.pc, false);
        c.view.PlayGameSound(SND_END);
        PaintGameOver(c.pc, changes);
        c.rs.GameOverShown = true;
        c.rs.GameOverChanges = changes;
        if (ts.blnPangGuan) {
            WaitTicks(kSpectatorEndPauseMs, pub.blnClosing);
            if (!Resumable(c, mark)) return;
        }
    } else {
        c.view.ShowMsg(QStringLiteral("本局游戏结束!"), pub.strGameTitle);
        if (!Resumable(c, mark)) return;
    }
    if (ts.blnPangGuan) {
        ResetTable(c, true);
        c.rs.GameOverShown = false;
    }
    HideStartBut(c);
    if (ts.blnPangGuan) RepaintTable(c);
    pub.StartButShown = IsPlayer(ts);
    RefreshStartButton(c);
}

// ---- GM_HANDS ------------------------------------------------------------------------------

void OnHands(RoundCtx& c, const HandsMsg& m)
{
    TableState& ts = c.ts();
    const ByteArr mine = CardsOf(m.mine), partner = CardsOf(m.partner);
    // More cards than a hand holds would be counted and drawn as such.
    const int most = FullHandCount(ts.DeckCount);
    if (mine.upperBound() > most || partner.upperBound() > most) return;
    const int me = ts.bteMyChair & 3;
    const int mate = PartnerOf(me);
    ts.MyPai = mine;
    // The partner's hand is counted either way; a hidden one comes as backs, which are no cards
    // to keep.
    const bool partnerShown =
        std::none_of(m.partner.begin(), m.partner.end(), [](uint8_t card) { return card == kHiddenCardCode; });
    ts.PartnerPai = partnerShown ? partner : ByteArr();
    c.tv().PaiSelected.clear();
    ts.Chairs[size_t(me)].PaiCount = ClampCount(mine.upperBound());
    ts.Chairs[size_t(mate)].PaiCount = ClampCount(partner.upperBound());
    ArrangeHand(ts.MyPai, ts.PaiSortMode, ts.DeckCount);
    ArrangeHand(ts.PartnerPai, ts.PaiSortMode, ts.DeckCount);
    for (const int chair : {me, mate}) {
        PaintUserPai(c.pc, chair);
        PaintYuPai(c.pc, chair);
    }
    UpdateTurn(c);
}

// ---- GM_QUIT, GM_READY, GM_SEE_PAI ---------------------------------------------------------

void OnQuit(RoundCtx& c, const QuitMsg& m)
{
    const TableState& ts = c.ts();
    const uint8_t chair = m.chair;
    // Decided by the table as the message found it: the box lets other messages run.
    const bool meLeaving = chair == ts.bteMyChair && IsPlayer(ts);
    c.view.ShowMsg(ts.Chairs[chair].Name + QStringLiteral(" 不能继续玩下去，原因：") + m.reason,
                   c.pub().strGameTitle + QStringLiteral("系统提示"));
    if (meLeaving && c.view.IsAlive()) c.view.CloseMainWindow();
}

void OnReady(RoundCtx& c, const ReadyMsg& m)
{
    const uint8_t chair = m.chair;
    c.ts().Chairs[chair].HandRaised = true;
    PaintHandUp(c.pc, chair);
}

void OnSeePai(RoundCtx& c, const SeePaiMsg& m)
{
    TableState& ts = c.ts();
    if (c.pub().TableJoined != 1 || !ts.blnPangGuan) return;
    ts.CanSeePai = m.canSee ? 1 : 0;
    if (ts.TableIdle) return;
    ArrangeHand(ts.MyPai, ts.PaiSortMode, ts.DeckCount);
    PaintMyPai(c.pc);
    if (ts.ShowPartnerPai != 0) {
        ArrangeHand(ts.PartnerPai, ts.PaiSortMode, ts.DeckCount);
        PaintPartnerPai(c.pc);
    }
}

}  // namespace

namespace roundflow {

bool Send(RoundCtx& c, const QByteArray& msg)
{
    return c.send ? c.send(msg) : false;
}

void ResetTable(RoundCtx& c, bool clearReady)
{
    ResetRoundTable(c.ts(), c.tv(), c.rs, clearReady);
}

void FinishTrickMove(RoundCtx& c)
{
    if (!c.rs.TrickMovePending) return;
    c.rs.TrickMovePending = false;
    for (ChairInfo& ch : c.ts().Chairs) {
        ch.LastOutPai = ch.OutPai;
        ch.OutPai.clear();
    }
    PaintOutPai(c.pc, false);
}

}  // namespace roundflow

void ResetRoundTable(TableState& ts, TableViewState& tv, RoundState& rs, bool clearReady)
{
    // A blast still playing goes on over the new table.
    const bool blast = tv.BlastRunning;
    ResetGameTable(ts, clearReady);
    ResetTableView(tv);
    tv.BlastRunning = blast;
    rs.TrickMovePending = false;
    rs.GameOverShown = false;
    ++rs.GameSeq;
}

PlayEffect PlayEffectOf(uint8_t paiXing)
{
    switch (paiXing) {
    case PX_DanPai:
    case PX_DuiPai:
    case PX_DanShun:
    case PX_ShuangShun: return {SND_OUTPAI, BLAST_NONE};
    case PX_LiangTaoHuo:
    case PX_ZhaDan: return {SND_ZHADAN, BLAST_ZHADAN};
    case PX_JiaMaDui:
    case PX_ZhenMaDui: return {SND_HONG10, BLAST_MADUI};
    default: return {SND_HONG10, BLAST_WANG};  // 俩王 and every stronger type
    }
}

void HandleRoundMsg(RoundCtx& c, const QByteArray& msg)
{
    HandleRoundMsg(c, DecodeServerMsg(msg));
}

void HandleRoundMsg(RoundCtx& c, const ReceivedMsg& msg)
{
    ++c.rs.MsgSeq;
    // Every picture the message redraws is looked up once for the whole message.
    paintutil::ImageMemoScope memo(c.pc);
    switch (msg.kind) {
    case MsgKind::Start: OnStart(c, msg); break;
    case MsgKind::Deal:
        if (const DealMsg* m = msg.as<DealMsg>()) OnDeal(c, *m);
        break;
    case MsgKind::OutPai: OnOutPai(c, msg); break;
    case MsgKind::OutPaiRefused:
        if (const RefusedMsg* m = msg.as<RefusedMsg>()) OnOutPaiRefused(c, *m);
        break;
    case MsgKind::GameOver: OnGameOver(c, msg); break;
    case MsgKind::Hands:
        if (const HandsMsg* m = msg.as<HandsMsg>()) OnHands(c, *m);
        break;
    case MsgKind::Quit:
        if (const QuitMsg* m = msg.as<QuitMsg>()) OnQuit(c, *m);
        break;
    case MsgKind::Ready:
        if (const ReadyMsg* m = msg.as<ReadyMsg>()) OnReady(c, *m);
        break;
    case MsgKind::SeePai:
        if (const SeePaiMsg* m = msg.as<SeePaiMsg>()) OnSeePai(c, *m);
        break;
    default: break;  // chat and items have handlers of their own; nothing else is the game's
    }
}

void UpdateTurn(RoundCtx& c)
{
    TableState& ts = c.ts();
    TableViewState& tv = c.tv();
    PublicState& pub = c.pub();
    ++c.rs.TurnSeq;
    switch (ts.GamePhase) {
    case GamePhase::Lead:
    case GamePhase::Follow:
        // Both option buttons offered; only a button whose state changes needs its picture again.
        for (const int i : {OPT_SORT, OPT_LAST_TRICK})
            if (tv.OptButState[size_t(i)] != BUT_SHOWN) {
                tv.OptButState[size_t(i)] = BUT_SHOWN;
                PaintOptBut(c.pc, i);
            }
        StartTurnClock(c, ts.TurnChair);
        if (MyTurn(ts)) {
            if (ts.MyPai.empty()) SendHandsRequest(c);
            else ShowOutBut(c.pc, true);
        }
        break;
    case GamePhase::Waiting:
        pub.StartButShown = false;
        RefreshStartButton(c);
        if (IsPlayer(ts) && !ts.Chairs[ts.bteMyChair & 3].HandRaised) {
            pub.StartButShown = true;
            RefreshStartButton(c);
        }
        break;
    default: break;
    }
}

void HideStartBut(RoundCtx& c)
{
    StopTurnClock(c);
    c.pub().StartButShown = false;
    RefreshStartButton(c);
}

void SendHandsRequest(RoundCtx& c)
{
    Send(c, BuildHandsRequest(c.ts().bteMyChair));
}
