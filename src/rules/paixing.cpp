#include "rules/paixing.h"

#include <algorithm>
#include <array>

#include "rules/cards.h"

namespace PaiMsg {
QString NotAPlay() { return QStringLiteral("错误提示：牌型不对！"); }
QString LeadLiangTaoHuo() { return QStringLiteral("错误提示：首家出牌不能出 两套火！"); }
QString NoShuangShun() { return QStringLiteral("错误提示：本轮没有人出双顺，你不能出两套火！"); }
QString MustLiangTaoHuo() { return QStringLiteral("错误提示：本轮有人出过双顺，你必须用两套火管！"); }
QString OnlyOnShuangShun() { return QStringLiteral("错误提示：俩套火只能管 双顺！"); }
QString SameType() { return QStringLiteral("错误提示：必须和本轮最大出牌的牌型相同："); }
QString SameCount() { return QStringLiteral("错误提示：必须和本轮最大出牌的张数相同！"); }
QString NotBigger() { return QStringLiteral("错误提示：出牌必须比本轮最大出牌还要大！"); }
}  // namespace PaiMsg

QString GetPaiXingName(uint8_t paiXing)
{
    switch (paiXing) {
    case PX_DanPai: return QStringLiteral("单牌");
    case PX_DuiPai: return QStringLiteral("对牌");
    case PX_DanShun: return QStringLiteral("单顺");
    case PX_ShuangShun: return QStringLiteral("双顺");
    case PX_LiangTaoHuo: return QStringLiteral("两套火");
    case PX_ZhaDan: return QStringLiteral("炸弹");
    case PX_JiaMaDui: return QStringLiteral("假马队");
    case PX_ZhenMaDui: return QStringLiteral("真马队");
    case PX_LiaWang: return QStringLiteral("俩王");
    case PX_WuZhangZha: return QStringLiteral("5张炸");
    case PX_SanWang: return QStringLiteral("三王");
    case PX_DaZhaDan: return QStringLiteral("炸弹");
    case PX_SiWang: return QStringLiteral("四王");
    default: return QStringLiteral("未知的牌型");
    }
}

uint8_t GetZhaDanType(int count)
{
    switch (count) {
    case 3:
    case 4: return PX_ZhaDan;
    case 5: return PX_WuZhangZha;
    case 6:
    case 7:
    case 8: return PX_DaZhaDan;
    default: return 0;
    }
}

uint8_t SplitMaDuiPairs(const uint8_t p[3], const uint8_t q[3])
{
    // The ten and the five given to the first king's triple, in the order tried: (P,P), (P,Q), (Q,P), (Q,Q).
    struct Way { bool tenFromP, fiveFromP; };
    static constexpr std::array<Way, 4> ways{{{true, true}, {true, false}, {false, true}, {false, false}}};
    auto oneSuit = [](uint8_t a, uint8_t b, uint8_t c) { return a == b && b == c; };
    for (const Way& w : ways) {
        const uint8_t aTen = w.tenFromP ? p[1] : q[1], aFive = w.fiveFromP ? p[2] : q[2];
        const uint8_t bTen = w.tenFromP ? q[1] : p[1], bFive = w.fiveFromP ? q[2] : p[2];
        if (oneSuit(p[0], aTen, aFive)) return oneSuit(q[0], bTen, bFive) ? 2 : 0;
    }
    for (const Way& w : ways) {
        const uint8_t bTen = w.tenFromP ? q[1] : p[1], bFive = w.fiveFromP ? q[2] : p[2];
        if (oneSuit(q[0], bTen, bFive)) return 1;
    }
    return 3;
}

namespace {

bool isKingTenFive(uint8_t k, uint8_t t, uint8_t f)
{
    return IsSuitedCard(k) && IsSuitedCard(t) && IsSuitedCard(f) && CardRank(k) == kRankKing &&
           CardRank(t) == kRankTen && CardRank(f) == kRankFive;
}

bool sameSuit(uint8_t a, uint8_t b, uint8_t c) { return CardSuit(a) == CardSuit(b) && CardSuit(b) == CardSuit(c); }

uint8_t jokerPartType(int jokers)
{
    switch (jokers) {
    case 2: return PX_LiaWang;
    case 3: return PX_SanWang;
    case 4: return PX_SiWang;
    default: return 0;
    }
}

// Index (1-based) of the first group with the highest count.
int largestGroup(const PaiGroup* g, int k)
{
    int best = 1;
    for (int i = 2; i <= k; ++i)
        if (g[size_t(i)].Count > g[size_t(best)].Count) best = i;
    return best;
}

// The 两套火 branches, over sorted cards grouped into g[1..k]. Fills parts 1 and 2.
bool classifyLiangTaoHuo(const PaiGroup* g, int k, PaiComponent& a, PaiComponent& b)
{
    auto cnt = [&](int i) { return int(g[size_t(i)].Count); };
    auto first = [&](int i) { return g[size_t(i)].Cards[1]; };
    auto isJokers = [&](int i) { return IsJokerCard(first(i)); };
    auto bomb = [&](int i, int count) { return PaiComponent{GetZhaDanType(count), first(i), uint8_t(count)}; };
    // A 马队 of three single cards king, ten, five: true when of one suit.
    auto maDui = [&](uint8_t king, uint8_t ten, uint8_t five) {
        return PaiComponent{uint8_t(sameSuit(king, ten, five) ? PX_ZhenMaDui : PX_JiaMaDui), king, 3};
    };

    switch (k) {
    case 2:
        if (cnt(2) < 3) return false;
        if (cnt(1) >= 3) {
            a = bomb(1, cnt(1));
            b = bomb(2, cnt(2));
        } else if (cnt(1) == 2 && isJokers(1)) {
            a = {PX_LiaWang, first(1), 2};
            b = bomb(2, cnt(2));
        } else {
            return false;
        }
        break;
    case 3: {
        const bool threePairs = cnt(1) == 2 && cnt(2) == 2 && cnt(3) == 2;
        if (cnt(3) >= 3 && isJokers(1) && isJokers(2)) {
            a = {jokerPartType(cnt(1) + cnt(2)), kBigJoker, uint8_t(cnt(1) + cnt(2))};
            b = bomb(3, cnt(3));
        } else if (!threePairs) {
            const int G = largestGroup(g, k);
            if (cnt(G) < 4) return false;
            for (int i = 1; i <= 3; ++i)
                if (i != G && cnt(i) != 1) return false;
            if (!isKingTenFive(first(1), first(2), first(3))) return false;
            a = bomb(G, cnt(G) - 1);
            b = {PX_JiaMaDui, first(1), 3};
            if (sameSuit(first(1), first(2), first(3))) {
                b.Type = PX_ZhenMaDui;
            } else {
                // Any card of the big group may be the one that goes with the two singles.
                uint8_t others[2];
                int o = 0;
                for (int i = 1; i <= 3; ++i)
                    if (i != G) others[o++] = first(i);
                for (int i = 1; i <= cnt(G); ++i) {
                    const uint8_t c = g[size_t(G)].Cards[size_t(i)];
                    if (!sameSuit(c, others[0], others[1])) continue;
                    b.Type = PX_ZhenMaDui;
                    if (G == 1) b.Key = c;
                    break;
                }
            }
        } else {
            if (!isKingTenFive(first(1), first(2), first(3))) return false;
            const uint8_t p[3] = {CardSuit(g[1].Cards[1]), CardSuit(g[2].Cards[1]), CardSuit(g[3].Cards[1])};
            const uint8_t q[3] = {CardSuit(g[1].Cards[2]), CardSuit(g[2].Cards[2]), CardSuit(g[3].Cards[2])};
            a = {PX_JiaMaDui, g[1].Cards[1], 3};
            b = {PX_JiaMaDui, g[1].Cards[2], 3};
            switch (SplitMaDuiPairs(p, q)) {
            case 0: a.Type = PX_ZhenMaDui; break;
            case 1: b.Type = PX_ZhenMaDui; break;
            case 2: a.Type = b.Type = PX_ZhenMaDui; break;
            default: break;
            }
        }
        break;
    }
    case 4:
        if (!isJokers(1)) {
            const int G = largestGroup(g, k);
            if (cnt(G) < 3) return false;
            uint8_t singles[3];
            int s = 0;
            for (int i = 1; i <= 4; ++i) {
                if (i == G) continue;
                if (cnt(i) != 1) return false;
                singles[s++] = first(i);
            }
            if (!isKingTenFive(singles[0], singles[1], singles[2])) return false;
            a = bomb(G, cnt(G));
            b = maDui(singles[0], singles[1], singles[2]);
        } else if (cnt(1) == 2 && cnt(2) == 1 && cnt(3) == 1 && cnt(4) == 1 &&
                   isKingTenFive(first(2), first(3), first(4))) {
            a = {PX_LiaWang, first(1), 2};
            b = maDui(first(2), first(3), first(4));
        } else {
            return false;
        }
        break;
    case 5:
        if (!(isJokers(1) && isJokers(2))) return false;
        if (cnt(3) != 1 || cnt(4) != 1 || cnt(5) != 1 || !isKingTenFive(first(3), first(4), first(5))) return false;
        a = {jokerPartType(cnt(1) + cnt(2)), first(1), uint8_t(cnt(1) + cnt(2))};
        b = maDui(first(3), first(4), first(5));
        break;
    default:
        return false;
    }
    // Parts beyond the bomb table (more copies than two decks hold) are not a play.
    return a.Type != 0 && b.Type != 0;
}

}  // namespace

bool GetPaiXing(const uint8_t* cards, int n, PaiXingInfo& out)
{
    if (!cards || n <= 0 || n > kMaxPlayCards) return false;
    // A byte that is no card makes the whole set no play.
    for (int i = 0; i < n; ++i)
        if (cards[i] > kBigJoker) return false;

    auto one = [&out](uint8_t type, uint8_t key, int count) {
        out[1] = type;
        out[2] = type;
        out[3] = key;
        out[4] = uint8_t(count);
        return true;
    };

    if (n == 1) return one(PX_DanPai, cards[0], 1);
    if (n == 2) {
        const uint8_t a = cards[0], b = cards[1];
        if (IsPaiSameRank(a, b)) return one(IsSuitedCard(a) ? PX_DuiPai : PX_LiaWang, a, 2);
        if (IsJokerCard(a) && IsJokerCard(b)) return one(PX_LiaWang, kBigJoker, 2);
        return false;
    }

    std::array<uint8_t, kMaxPlayCards> c{};
    std::copy(cards, cards + n, c.begin());
    // Sorted cards stay as they are (the sort would not swap any), which saves the searches that
    // classify many sorted sets its work.
    if (!std::is_sorted(c.begin(), c.begin() + n, [](uint8_t a, uint8_t b) { return IsPaiLess(b, a); }))
        SortPaiDesc(c.data(), n);

    if (n == 3 && isKingTenFive(c[0], c[1], c[2]))
        return one(sameSuit(c[0], c[1], c[2]) ? PX_ZhenMaDui : PX_JiaMaDui, c[0], 3);

    std::array<PaiGroup, kMaxPlayCards + 1> g;
    const int k = GroupPaiByRank(c.data(), n, g.data());

    if (k == 1) {
        const uint8_t t = GetZhaDanType(n);
        return t != 0 && one(t, c[0], n);
    }

    bool allJokers = true, noJokerNoTwo = true;
    for (int i = 0; i < n; ++i) {
        if (!IsJokerCard(c[size_t(i)])) allJokers = false;
        if (!IsSuitedCard(c[size_t(i)]) || CardRank(c[size_t(i)]) == kRankTwo) noJokerNoTwo = false;
    }
    if (allJokers && n == 3) return one(PX_SanWang, kBigJoker, 3);
    if (allJokers && n == 4) return one(PX_SiWang, kBigJoker, 4);

    if (noJokerNoTwo) {
        bool run = true;
        for (int i = 1; i < n && run; ++i) run = CardRank(c[size_t(i - 1)]) - CardRank(c[size_t(i)]) == 1;
        if (run) return one(PX_DanShun, c[0], n);
        if (n >= 6) {
            bool pairs = true;
            for (int i = 1; i <= k && pairs; ++i) {
                pairs = g[size_t(i)].Count == 2;
                if (pairs && i > 1) pairs = CardRank(g[size_t(i - 1)].Cards[1]) - CardRank(g[size_t(i)].Cards[1]) == 1;
            }
            if (pairs) return one(PX_ShuangShun, c[0], n);
        }
    }

    if (n < 5) return false;

    PaiComponent a, b;
    if (!classifyLiangTaoHuo(g.data(), k, a, b)) return false;
    out[1] = PX_LiangTaoHuo;
    out[2] = a.Type;
    out[3] = a.Key;
    out[4] = a.Count;
    out[5] = b.Type;
    out[6] = b.Key;
    out[7] = b.Count;
    return true;
}

bool GetPaiXing(const ByteArr& cards, int n, PaiXingInfo& out)
{
    n = std::min(n, cards.upperBound());
    return n > 0 && GetPaiXing(cards.data1(), n, out);
}

bool IsComponentBigger(const PaiComponent& l, const PaiComponent& r)
{
    if (l.Type < PX_ZhaDan || r.Type < PX_ZhaDan) return false;
    if (l.Type != r.Type) return l.Type > r.Type;
    switch (l.Type) {
    case PX_ZhaDan:
    case PX_WuZhangZha:
    case PX_DaZhaDan:
        if (l.Count != r.Count) return l.Count > r.Count;
        return IsPaiLess(r.Key, l.Key);
    case PX_ZhenMaDui: return CardSuit(l.Key) > CardSuit(r.Key);
    case PX_LiaWang: return IsPaiLess(r.Key, l.Key);
    default: return false;
    }
}

bool IsComponentBigger(uint8_t lType, uint8_t lKey, uint8_t lCount, uint8_t rType, uint8_t rKey, uint8_t rCount)
{
    return IsComponentBigger(PaiComponent{lType, lKey, lCount}, PaiComponent{rType, rKey, rCount});
}

PlayCheck CheckLead(const uint8_t* cards, int n, PaiXingInfo& out)
{
    if (!GetPaiXing(cards, n, out)) return PlayCheck::NotAPlay;
    return out[1] == PX_LiangTaoHuo ? PlayCheck::LeadLiangTaoHuo : PlayCheck::Ok;
}

namespace {

// The text of a refusal; M the biggest play's type, named where the type had to match.
QString RefusalText(PlayCheck c, uint8_t M)
{
    switch (c) {
    case PlayCheck::Ok: return {};
    case PlayCheck::NotAPlay: return PaiMsg::NotAPlay();
    case PlayCheck::LeadLiangTaoHuo: return PaiMsg::LeadLiangTaoHuo();
    case PlayCheck::NoShuangShun: return PaiMsg::NoShuangShun();
    case PlayCheck::MustLiangTaoHuo: return PaiMsg::MustLiangTaoHuo();
    case PlayCheck::OnlyOnShuangShun: return PaiMsg::OnlyOnShuangShun();
    case PlayCheck::SameType: return PaiMsg::SameType() + GetPaiXingName(M);
    case PlayCheck::SameCount: return PaiMsg::SameCount();
    case PlayCheck::NotBigger: return PaiMsg::NotBigger();
    }
    return PaiMsg::NotAPlay();
}

}  // namespace

bool CheckFirstOutPai(const uint8_t* cards, int n, QString& msg, PaiXingInfo& out)
{
    const PlayCheck c = CheckLead(cards, n, out);
    if (c == PlayCheck::Ok) return true;
    msg = RefusalText(c, 0);
    return false;
}

bool CheckFirstOutPai(const ByteArr& cards, int n, QString& msg, PaiXingInfo& out)
{
    n = std::min(n, cards.upperBound());
    return CheckFirstOutPai(n > 0 ? cards.data1() : nullptr, n, msg, out);
}

namespace {

// A bomb of `count` cards with key `key` seen as two smaller bombs of the same key, a + (count - a)
// cards with both at least 3. bombChallenges: the bomb is the challenger (its halves must beat the
// parts); otherwise the parts are the challengers (they must beat the halves).
bool splitTest(uint8_t key, int count, const PaiComponent& p1, const PaiComponent& p2, bool bombChallenges)
{
    for (int a = 3; count - a >= 3; ++a) {
        const PaiComponent A{GetZhaDanType(a), key, uint8_t(a)};
        const PaiComponent B{GetZhaDanType(count - a), key, uint8_t(count - a)};
        if (bombChallenges) {
            if ((IsComponentBigger(A, p1) && IsComponentBigger(B, p2)) ||
                (IsComponentBigger(B, p1) && IsComponentBigger(A, p2)))
                return true;
        } else {
            if ((IsComponentBigger(p1, A) && IsComponentBigger(p2, B)) ||
                (IsComponentBigger(p1, B) && IsComponentBigger(p2, A)))
                return true;
        }
    }
    return false;
}

}  // namespace

PlayCheck CheckFollow(const uint8_t* cards, int n, const PaiXingInfo& maxOutPai, bool shuangShunPlayed, PaiXingInfo& out)
{
    if (!GetPaiXing(cards, n, out)) return PlayCheck::NotAPlay;
    const uint8_t M = maxOutPai[1], T = out[1];
    using enum PlayCheck;
    if (!shuangShunPlayed && T == PX_LiangTaoHuo) return NoShuangShun;
    if (shuangShunPlayed && T < PX_DaZhaDan && T != PX_LiangTaoHuo && T != PX_ShuangShun)
        return MustLiangTaoHuo;

    const bool keyHigher = IsPaiLess(maxOutPai[3], out[3]);
    auto sameTypeTest = [&]() {
        if (T != M) return SameType;
        if (out[4] != maxOutPai[4]) return SameCount;
        return keyHigher ? Ok : NotBigger;
    };
    auto verdict = [](bool ok) { return ok ? Ok : NotBigger; };

    if (M < PX_LiangTaoHuo) {
        if (M == PX_ShuangShun) {
            if (T == PX_SiWang || T == PX_DaZhaDan || T == PX_LiangTaoHuo) return Ok;
            return sameTypeTest();
        }
        if (T == PX_LiangTaoHuo) return OnlyOnShuangShun;
        if (T < PX_ZhaDan) return sameTypeTest();
        return Ok;
    }

    const PaiComponent max1 = Part1(maxOutPai), max2 = Part2(maxOutPai);
    const PaiComponent cand1 = Part1(out), cand2 = Part2(out);
    switch (M) {
    case PX_SiWang:
        if (shuangShunPlayed) {
            if (T != PX_LiangTaoHuo) return MustLiangTaoHuo;
            return verdict(cand1.Type > PX_LiaWang && cand2.Type > PX_LiaWang);
        }
        return verdict(false);
    case PX_DaZhaDan:
        if (T == PX_SiWang) return Ok;
        if (!shuangShunPlayed) {
            if (T != PX_DaZhaDan) return verdict(false);
            if (out[4] != maxOutPai[4]) return verdict(out[4] > maxOutPai[4]);
            return verdict(keyHigher);
        }
        if (T == PX_DaZhaDan) {
            if (out[4] < maxOutPai[4]) return verdict(false);
            if (int(out[4]) >= int(maxOutPai[4]) + 2) return Ok;
            return verdict(keyHigher);
        }
        if (T == PX_LiangTaoHuo) return verdict(splitTest(maxOutPai[3], maxOutPai[4], cand1, cand2, false));
        return MustLiangTaoHuo;
    case PX_JiaMaDui:
    case PX_ZhenMaDui:
    case PX_LiaWang:
    case PX_WuZhangZha:
    case PX_SanWang:
        if (T > M) return Ok;
        if (T < M || T == PX_JiaMaDui) return verdict(false);
        if (T == PX_ZhenMaDui) return verdict(CardSuit(out[3]) > CardSuit(maxOutPai[3]));
        return verdict(keyHigher);
    case PX_ZhaDan:
        if (T > PX_ZhaDan) return Ok;
        if (T == PX_ZhaDan) {
            if (out[4] > maxOutPai[4]) return Ok;
            return verdict(out[4] == maxOutPai[4] && keyHigher);
        }
        return verdict(false);
    case PX_LiangTaoHuo:
        if (T == PX_SiWang) return verdict(max1.Type < PX_LiaWang && max2.Type < PX_LiaWang);
        if (T == PX_DaZhaDan) return verdict(splitTest(out[3], out[4], max1, max2, true));
        if (T == PX_LiangTaoHuo)
            return verdict((IsComponentBigger(cand1, max1) && IsComponentBigger(cand2, max2)) ||
                           (IsComponentBigger(cand2, max1) && IsComponentBigger(cand1, max2)));
        return MustLiangTaoHuo;
    default:
        // A biggest play of no known type: nothing can be shown to beat it.
        return verdict(false);
    }
}

bool CheckFollowOutPai(const uint8_t* cards, int n, const PaiXingInfo& maxOutPai, bool shuangShunPlayed,
                       QString& msg, PaiXingInfo& out)
{
    const PlayCheck c = CheckFollow(cards, n, maxOutPai, shuangShunPlayed, out);
    if (c == PlayCheck::Ok) return true;
    msg = RefusalText(c, maxOutPai[1]);
    return false;
}

bool CheckFollowOutPai(const ByteArr& cards, int n, const PaiXingInfo& maxOutPai, bool shuangShunPlayed,
                       QString& msg, PaiXingInfo& out)
{
    n = std::min(n, cards.upperBound());
    return CheckFollowOutPai(n > 0 ? cards.data1() : nullptr, n, maxOutPai, shuangShunPlayed, msg, out);
}
