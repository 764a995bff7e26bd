#include "rules/gamedefine.h"

namespace {

const QString kOptSortLong = QStringLiteral(" 对手里的牌重新排序 ");
const QString kOptLastLong = QStringLiteral(" 查看玩家上一轮的出牌 ");

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
    t.PaiSelected.clear();
    t.MyPaiBackup.clear();
    t.SelectedPai.clear();
}

// Sequential reader over the message that refuses to go past its end.
class Reader {
public:
    Reader(const uint8_t* p, int len, int pos) : p_(p), len_(p ? len : 0), pos_(pos) {}
    bool byte(uint8_t& v)
    {
        if (pos_ < 0 || pos_ >= len_) return false;
        v = p_[pos_++];
        return true;
    }
    bool be16(int32_t& v)
    {
        uint8_t hi = 0, lo = 0;
        if (pos_ + 1 >= len_) return false;
        byte(hi);
        byte(lo);
        v = int32_t(hi) * 256 + lo;
        return true;
    }
    // A count byte and that many cards. False when the message ends first; `cards` then holds
    // the cards that were there.
    bool cardList(ByteArr& cards)
    {
        cards.clear();
        uint8_t n = 0;
        if (!byte(n)) return false;
        for (int i = 0; i < n; ++i) {
            uint8_t c = 0;
            if (!byte(c)) return false;
            cards.append(c);
        }
        return true;
    }

private:
    const uint8_t* p_;
    int len_;
    int pos_;
};

}  // namespace

void InitGameDefine(TableState& t)
{
    for (ChairInfo& c : t.Chairs) {
        c.Name.clear();
        c.IconNo = -1;
        c.Dropped = false;
        c.HandRaised = false;
        clearChairGame(c);
    }
    // Nobody is viewed any more: the view of the last viewed user must not outlive him (a stale
    // spectator flag would, for one, decide who may see the cards of the next snapshot).
    t.strViewOwner.clear();
    t.bteMyChair = 0;
    t.blnPangGuan = false;
    t.ViewPosOfChair = {};
    clearHands(t);
    t.ShowPartnerPai = 0;
    t.CanSeePai = 1;
    t.TableIdle = true;
    t.DeckCount = 1;
    t.ShowLeftPai = 0;
    t.TurnSeconds = 30;
    t.AutoOutCount = 0;
    t.AutoOutLimit = 5;
    t.TurnChair = 0;
    t.GamePhase = 0;
    t.ShuangShunPlayed = false;
    t.MaxOutPai = PaiXingInfo{};
    t.TeamScore = {0, 0};
    t.TrickFen = 0;
    t.PaiSortMode = true;
    t.OptButState = {0, 0};
    t.OptButText = {kOptSortLong, kOptLastLong};
    t.OutButState = {0, 0, 0};
    t.BlastRunning = false;
    ++t.ResetCount;
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
    t.GamePhase = 0;
    t.OptButState = {0, 0};
    t.OptButText = {QStringLiteral("排序"), QStringLiteral("上一轮")};
    t.OutButState = {0, 0, 0};
    t.BlastRunning = false;
    t.PaiSortMode = true;
    ++t.ResetCount;
}

bool LoadTableSnapshot(TableState& t, const uint8_t* msg, int len)
{
    if (!msg || len < 3) return false;
    Reader r(msg, len, 4);
    uint8_t v = 0;

    if (msg[2] == 0) {
        for (ChairInfo& c : t.Chairs) {
            if (!r.byte(v)) return false;
            c.HandRaised = v != 0;
        }
        if (!r.byte(v)) return false;
        t.CanSeePai = t.blnPangGuan ? v : 1;
        t.TableIdle = true;
        t.GamePhase = 100;
        return true;
    }

    if (!r.byte(v)) return false;
    t.CanSeePai = t.blnPangGuan ? v : 1;
    // A value out of its range ends the loading like a missing byte: it is not stored.
    if (!r.byte(v) || !IsDeckCount(v)) return false;
    t.DeckCount = v;
    if (!r.byte(t.ShowLeftPai)) return false;
    if (!r.byte(t.TurnSeconds)) return false;
    if (!r.byte(v) || !IsChairNo(v)) return false;
    t.TurnChair = v;
    if (!r.byte(v) || !IsGamePhase(v)) return false;
    t.GamePhase = v;
    if (!r.byte(v)) return false;
    t.ShuangShunPlayed = v != 0;
    if (!r.be16(t.TeamScore[0])) return false;
    if (!r.be16(t.TeamScore[1])) return false;
    if (!r.be16(t.TrickFen)) return false;
    for (int i = 0; i < 8; ++i)
        if (!r.byte(t.MaxOutPai[i])) return false;
    for (ChairInfo& c : t.Chairs) {
        if (!r.byte(v) || !IsMingCi(v)) return false;
        c.MingCi = v;
    }
    for (ChairInfo& c : t.Chairs) {
        if (!r.byte(v) || v > FullHandCount(t.DeckCount)) return false;
        c.PaiCount = v;
    }
    for (ChairInfo& c : t.Chairs)
        if (!r.cardList(c.OutPai)) return false;
    const bool handComplete = r.cardList(t.MyPai);
    // One selection flag per card of the new hand, none raised.
    t.PaiSelected.clear();
    t.PaiSelected.redim(t.MyPai.upperBound());
    if (!handComplete) return false;
    if (!r.byte(t.ShowPartnerPai)) return false;
    t.PartnerPai.clear();
    if (t.ShowPartnerPai != 0 && !r.cardList(t.PartnerPai)) return false;
    t.TableIdle = false;
    return true;
}

bool LoadTableSnapshot(TableState& t, const QByteArray& msg)
{
    return LoadTableSnapshot(t, reinterpret_cast<const uint8_t*>(msg.constData()), int(msg.size()));
}
