#include "rules/gamedefine.h"

#include "protocol/snapshot.h"

namespace {

void clearChairGame(ChairInfo& c)
{
    c.PaiCount = 0;
    c.OutPai.clear();
    c.LastOutPai.clear();
    c.LeftPai.clear();
    c.MingCi = 0;
}

void clearHands(TableState& t)
{
    t.MyPai.clear();
    t.PartnerPai.clear();
    t.MyPaiBackup.clear();
    t.SelectedPai.clear();
}

}  // namespace

void InitGameDefine(TableState& t)
{
    for (ChairInfo& c : t.Chairs) {
        c.Name.clear();
        c.IconNo = -1;
        c.Dropped = false;
    }
    // Nobody is viewed any more: the view of the last viewed user must not outlive him (a stale
    // spectator flag would, for one, decide who may see the cards of the next snapshot).
    t.strViewOwner.clear();
    t.bteMyChair = 0;
    t.blnPangGuan = false;
    t.ShowPartnerPai = 0;
    t.CanSeePai = 1;
    t.TurnChair = 0;
    t.ShuangShunPlayed = false;
    t.MaxOutPai = PaiXingInfo{};
    ResetGameTable(t, true);
}

void ResetGameTable(TableState& t, bool clearReady)
{
    for (ChairInfo& c : t.Chairs) {
        if (clearReady) c.HandRaised = false;
        clearChairGame(c);
    }
    t.TableIdle = true;
    t.DeckCount = 1;
    t.ShowLeftPai = 0;
    t.TurnSeconds = 30;
    t.AutoOutCount = 0;
    t.AutoOutLimit = 5;
    // The backup of a play in flight belongs to the old game: restoring it later would bring
    // back cards of a hand that no longer exists.
    clearHands(t);
    t.TeamScore = {0, 0};
    t.TrickFen = 0;
    t.GamePhase = GamePhase::None;
    t.PaiSortMode = true;
    ++t.ResetCount;
}

bool LoadTableSnapshot(TableState& t, const TableSnapshotMsg& s)
{
    using L = TableSnapshotMsg::Layout;
    if (s.layout == L::None) return false;
    // What the watched player allows a spectator; a player always sees his cards.
    const auto seen = [&t](uint8_t v) { return uint8_t(t.blnPangGuan ? v : 1); };

    if (s.layout == L::Idle) {
        for (int i = 0; i < 4; ++i) {
            if (!s.has(SI_HandRaised0 + i)) return false;
            t.Chairs[size_t(i)].HandRaised = s.handRaised[size_t(i)];
        }
        if (!s.has(SI_CanSeePai)) return false;
        t.CanSeePai = seen(s.canSeePai);
        t.TableIdle = true;
        t.GamePhase = GamePhase::Waiting;  // no game: waiting for the players to be ready
        return true;
    }

    if (!s.has(SG_CanSeePai)) return false;
    t.CanSeePai = seen(s.canSeePai);
    if (!s.has(SG_DeckCount)) return false;
    t.DeckCount = s.deckCount;
    if (!s.has(SG_ShowLeftPai)) return false;
    t.ShowLeftPai = s.showLeftPai;
    if (!s.has(SG_TurnSeconds)) return false;
    t.TurnSeconds = s.turnSeconds;
    if (!s.has(SG_TurnChair)) return false;
    t.TurnChair = s.turnChair;
    if (!s.has(SG_GamePhase)) return false;
    t.GamePhase = GamePhaseOf(s.gamePhase);
    if (!s.has(SG_ShuangShunPlayed)) return false;
    t.ShuangShunPlayed = s.shuangShunPlayed;
    for (int i = 0; i < 2; ++i) {
        if (!s.has(SG_TeamScore0 + i)) return false;
        t.TeamScore[size_t(i)] = s.teamScore[size_t(i)];
    }
    if (!s.has(SG_TrickFen)) return false;
    t.TrickFen = s.trickFen;
    for (int i = 0; i < 8; ++i) {
        if (!s.has(SG_MaxOutPai0 + i)) return false;
        t.MaxOutPai[size_t(i)] = s.maxOutPai[size_t(i)];
    }
    for (int i = 0; i < 4; ++i) {
        if (!s.has(SG_MingCi0 + i)) return false;
        t.Chairs[size_t(i)].MingCi = s.mingCi[size_t(i)];
    }
    for (int i = 0; i < 4; ++i) {
        if (!s.has(SG_PaiCount0 + i)) return false;
        t.Chairs[size_t(i)].PaiCount = s.paiCount[size_t(i)];
    }
    // A card list the message cut short is loaded as far as it came.
    for (int i = 0; i < 4; ++i) {
        if (!s.reaches(SG_OutPai0 + i)) return false;
        t.Chairs[size_t(i)].OutPai = ByteArr::fromVector(s.outPai[size_t(i)]);
    }
    if (!s.reaches(SG_MyPai)) return false;
    t.MyPai = ByteArr::fromVector(s.myPai);
    if (!s.has(SG_MyPai) || !s.has(SG_ShowPartnerPai)) return false;
    t.ShowPartnerPai = s.showPartnerPai;
    t.PartnerPai = ByteArr::fromVector(s.partnerPai);
    if (!s.has(SG_PartnerPai)) return false;
    t.TableIdle = false;
    return true;
}

bool LoadTableSnapshot(TableState& t, const uint8_t* msg, int len)
{
    return LoadTableSnapshot(t, DecodeTableSnapshot(msg, len));
}

bool LoadTableSnapshot(TableState& t, const QByteArray& msg)
{
    return LoadTableSnapshot(t, DecodeTableSnapshot(msg));
}
