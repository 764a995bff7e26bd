#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "rules/gamedefine.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Holds a message so that its last byte is the last readable byte of a page: any read past the
// end faults instead of passing unnoticed.
class GuardedMessage {
public:
    explicit GuardedMessage(const Bytes& m)
    {
        page_ = size_t(sysconf(_SC_PAGESIZE));
        base_ = static_cast<uint8_t*>(mmap(nullptr, page_ * 2, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(base_ + page_, page_, PROT_NONE);
        data_ = base_ + page_ - m.size();
        if (!m.empty()) std::memcpy(data_, m.data(), m.size());
    }
    ~GuardedMessage() { munmap(base_, page_ * 2); }
    const uint8_t* data() const { return data_; }

private:
    size_t page_ = 0;
    uint8_t* base_ = nullptr;
    uint8_t* data_ = nullptr;
};

void dirty(TableState& t)
{
    for (int i = 0; i < 4; ++i) {
        ChairInfo& c = t.Chairs[size_t(i)];
        c.Name = QStringLiteral("user%1").arg(i);
        c.IconNo = 1005;
        c.Dropped = true;
        c.HandRaised = true;
        c.PaiCount = 9;
        c.OutPai = ByteArr{1, 2};
        c.LastOutPai = ByteArr{3};
        c.LeftPai = ByteArr{4, 5, 6};
        c.MingCi = 2;
    }
    t.strViewOwner = QStringLiteral("me");
    t.bteMyChair = 3;
    t.blnPangGuan = true;
    t.MyPai = t.PartnerPai = t.MyPaiBackup = t.SelectedPai = ByteArr{7, 8};
    t.ShowPartnerPai = 1;
    t.CanSeePai = 0;
    t.TableIdle = false;
    t.DeckCount = 2;
    t.ShowLeftPai = 1;
    t.TurnSeconds = 15;
    t.AutoOutCount = 3;
    t.AutoOutLimit = 9;
    t.TurnChair = 3;
    t.GamePhase = GamePhase::Follow;
    t.ShuangShunPlayed = true;
    t.MaxOutPai = PaiXingInfo{{1, 2, 3, 4, 5, 6, 7, 8}};
    t.TeamScore = {40, 60};
    t.TrickFen = 25;
    t.PaiSortMode = false;
}

void expectGameCleared(const TableState& t)
{
    for (const ChairInfo& c : t.Chairs) {
        EXPECT_EQ(c.PaiCount, 0);
        EXPECT_TRUE(c.OutPai.empty());
        EXPECT_TRUE(c.LastOutPai.empty());
        EXPECT_TRUE(c.LeftPai.empty());
        EXPECT_EQ(c.MingCi, 0);
    }
    EXPECT_TRUE(t.MyPai.empty());
    EXPECT_TRUE(t.PartnerPai.empty());
    EXPECT_TRUE(t.MyPaiBackup.empty());
    EXPECT_TRUE(t.TableIdle);
    EXPECT_EQ(t.DeckCount, 1);
    EXPECT_EQ(t.ShowLeftPai, 0);
    EXPECT_EQ(t.TurnSeconds, 30);
    EXPECT_EQ(t.AutoOutCount, 0);
    EXPECT_EQ(t.AutoOutLimit, 5);
    EXPECT_EQ(t.TeamScore[0], 0);
    EXPECT_EQ(t.TeamScore[1], 0);
    EXPECT_EQ(t.TrickFen, 0);
    EXPECT_EQ(t.GamePhase, GamePhase::None);
    EXPECT_TRUE(t.PaiSortMode);
}

TEST(InitGameDefine, StartUpState)
{
    TableState t;
    dirty(t);
    InitGameDefine(t);
    expectGameCleared(t);
    for (const ChairInfo& c : t.Chairs) {
        EXPECT_TRUE(c.Name.isEmpty());
        EXPECT_EQ(c.IconNo, -1);
        EXPECT_FALSE(c.Dropped);
        EXPECT_FALSE(c.HandRaised);
    }
    EXPECT_TRUE(t.strViewOwner.isEmpty());
    // The view goes with the viewed user: no spectator flag survives into the next table.
    EXPECT_FALSE(t.blnPangGuan);
    EXPECT_EQ(t.bteMyChair, 0);
    EXPECT_EQ(t.CanSeePai, 1);
    EXPECT_EQ(t.TurnChair, 0);
    EXPECT_FALSE(t.ShuangShunPlayed);
    EXPECT_EQ(t.MaxOutPai, PaiXingInfo{});
}

TEST(ResetGameTable, KeepsOrClearsTheReadyFlags)
{
    for (bool clearReady : {false, true}) {
        TableState t;
        dirty(t);
        ResetGameTable(t, clearReady);
        expectGameCleared(t);
        for (const ChairInfo& c : t.Chairs) {
            EXPECT_EQ(c.HandRaised, !clearReady);
            EXPECT_FALSE(c.Name.isEmpty());  // seats are the room's business
        }
        EXPECT_EQ(t.strViewOwner, QStringLiteral("me"));
        EXPECT_TRUE(t.blnPangGuan);
        EXPECT_EQ(t.bteMyChair, 3);
    }
}

// A running game: every field distinct so a shifted read shows.
Bytes layoutA()
{
    Bytes m = {109, 1, 1, 77,
               0,          // 4 CanSeePai
               2,          // 5 DeckCount
               1,          // 6 ShowLeftPai
               20,         // 7 TurnSeconds
               3,          // 8 TurnChair
               2,          // 9 GamePhase
               1,          // 10 ShuangShunPlayed
               0x01, 0x2C, // 11-12 side 0: 300
               0x00, 0x2D, // 13-14 side 1: 45
               0x00, 0x19, // 15-16 trick: 25
               3, 4, 5, 9, 4, 6, 10, 3,  // 17-24 MaxOutPai
               0, 1, 0, 2,               // 25-28 MingCi
               20, 0, 25, 22};           // 29-32 PaiCount
    const Bytes tail = {2, 10, 23,        // chair 0 plays two cards
                        0,                // chair 1 nothing
                        1, 254,           // chair 2 passed
                        3, 6, 19, 32,     // chair 3
                        5, 53, 52, 40, 2, 15,  // own hand
                        1, 2, 11, 12};    // partner shown: two cards
    m.insert(m.end(), tail.begin(), tail.end());
    return m;
}

TEST(LoadTableSnapshot, RunningGame)
{
    const Bytes m = layoutA();
    GuardedMessage g(m);
    TableState t;
    ResetGameTable(t, true);
    ASSERT_TRUE(LoadTableSnapshot(t, g.data(), int(m.size())));
    EXPECT_EQ(t.CanSeePai, 1);  // a player always sees his cards
    EXPECT_EQ(t.DeckCount, 2);
    EXPECT_EQ(t.ShowLeftPai, 1);
    EXPECT_EQ(t.TurnSeconds, 20);
    EXPECT_EQ(t.TurnChair, 3);
    EXPECT_EQ(t.GamePhase, GamePhase::Follow);
    EXPECT_TRUE(t.ShuangShunPlayed);
    EXPECT_EQ(t.TeamScore[0], 300);
    EXPECT_EQ(t.TeamScore[1], 45);
    EXPECT_EQ(t.TrickFen, 25);
    EXPECT_EQ(t.MaxOutPai, (PaiXingInfo{{3, 4, 5, 9, 4, 6, 10, 3}}));
    EXPECT_EQ(t.Chairs[3].MingCi, 2);
    EXPECT_EQ(t.Chairs[1].MingCi, 1);
    EXPECT_EQ(t.Chairs[2].PaiCount, 25);
    EXPECT_EQ(t.Chairs[0].OutPai, (ByteArr{10, 23}));
    EXPECT_TRUE(t.Chairs[1].OutPai.empty());
    EXPECT_EQ(t.Chairs[2].OutPai, (ByteArr{254}));
    EXPECT_EQ(t.Chairs[3].OutPai, (ByteArr{6, 19, 32}));
    EXPECT_EQ(t.MyPai, (ByteArr{53, 52, 40, 2, 15}));
    EXPECT_EQ(t.ShowPartnerPai, 1);
    EXPECT_EQ(t.PartnerPai, (ByteArr{11, 12}));
    EXPECT_FALSE(t.TableIdle);

    TableState s;
    s.blnPangGuan = true;
    ASSERT_TRUE(LoadTableSnapshot(s, QByteArray(reinterpret_cast<const char*>(m.data()), int(m.size()))));
    EXPECT_EQ(s.CanSeePai, 0);  // a spectator gets what the watched player allows
}

TEST(LoadTableSnapshot, PartnerHandNotShown)
{
    Bytes m = layoutA();
    m.resize(m.size() - 4);
    m.push_back(0);
    TableState t;
    t.PartnerPai = ByteArr{9};
    ASSERT_TRUE(LoadTableSnapshot(t, m.data(), int(m.size())));
    EXPECT_EQ(t.ShowPartnerPai, 0);
    EXPECT_TRUE(t.PartnerPai.empty());
    EXPECT_FALSE(t.TableIdle);
}

TEST(LoadTableSnapshot, RunningGameCutShortAtEveryLength)
{
    const Bytes full = layoutA();
    for (size_t len = 0; len < full.size(); ++len) {
        const Bytes m(full.begin(), full.begin() + long(len));
        GuardedMessage g(m);
        TableState t;
        ResetGameTable(t, true);
        EXPECT_FALSE(LoadTableSnapshot(t, g.data(), int(len))) << len;
        EXPECT_TRUE(t.TableIdle) << len;
        // What the message held is loaded, nothing after it.
        EXPECT_EQ(t.DeckCount, len > 5 ? 2 : 1) << len;
        EXPECT_EQ(t.TurnSeconds, len > 7 ? 20 : 30) << len;
        EXPECT_EQ(t.ShuangShunPlayed, len > 10) << len;
        EXPECT_EQ(t.TeamScore[0], len > 12 ? 300 : 0) << len;
        EXPECT_EQ(t.TrickFen, len > 16 ? 25 : 0) << len;
        EXPECT_EQ(t.MaxOutPai[7], len > 24 ? 3 : 0) << len;
        EXPECT_EQ(t.Chairs[3].PaiCount, len > 32 ? 22 : 0) << len;
        // Chair 3's play starts at 39 (count), its cards at 40..42; the hand's count at 43.
        const int ch3 = len > 40 ? int(std::min<size_t>(len, 43) - 40) : 0;
        EXPECT_EQ(t.Chairs[3].OutPai.count(), ch3) << len;
        const int hand = len > 44 ? int(std::min<size_t>(len, 49) - 44) : 0;
        EXPECT_EQ(t.MyPai.count(), hand) << len;
        for (int i = 1; i <= hand; ++i) EXPECT_EQ(t.MyPai[i], full[size_t(43 + i)]);
        EXPECT_EQ(t.PartnerPai.count(), len > 51 ? int(len - 51) : 0) << len;
    }
}

// A value out of its range is never stored: the loading stops there as at a missing byte, and
// what came before stays.
TEST(LoadTableSnapshot, ValuesOutOfRangeEndTheLoading)
{
    const struct {
        size_t at;
        uint8_t bad;
        const char* what;
    } cases[] = {
        {5, 0, "no deck"}, {5, 3, "three decks"}, {8, 4, "turn chair 4"}, {8, 255, "turn chair 255"},
        {9, 3, "phase 3"}, {9, 99, "phase 99"}, {25, 5, "place 5"}, {28, 200, "place 200"},
        {29, 28, "28 cards of two decks"}, {32, 255, "255 cards"},
    };
    for (const auto& c : cases) {
        Bytes m = layoutA();
        m[c.at] = c.bad;
        TableState t;
        ResetGameTable(t, true);
        EXPECT_FALSE(LoadTableSnapshot(t, m.data(), int(m.size()))) << c.what;
        EXPECT_TRUE(t.TableIdle) << c.what;
        EXPECT_LE(t.TurnChair, 3) << c.what;
        EXPECT_TRUE(t.DeckCount == 1 || t.DeckCount == 2) << c.what;
        EXPECT_TRUE(IsWirePhase(WireValue(t.GamePhase))) << c.what;
        for (const ChairInfo& ch : t.Chairs) {
            EXPECT_LE(ch.MingCi, 4) << c.what;
            EXPECT_LE(ch.PaiCount, 27) << c.what;
        }
        EXPECT_TRUE(t.MyPai.empty()) << c.what;
    }
    // The edges of the ranges load.
    Bytes m = layoutA();
    m[5] = 1;
    m[29] = 13;
    m[30] = m[31] = m[32] = 0;
    m[25] = 4;
    TableState t;
    EXPECT_TRUE(LoadTableSnapshot(t, m.data(), int(m.size())));
    EXPECT_EQ(t.Chairs[0].MingCi, 4);
    EXPECT_EQ(t.Chairs[0].PaiCount, 13);
}

TEST(LoadTableSnapshot, WaitingTable)
{
    const Bytes m = {109, 0, 0, 0, 1, 0, 7, 0, 5};
    GuardedMessage g(m);
    TableState t;
    t.blnPangGuan = true;
    ResetGameTable(t, true);
    ASSERT_TRUE(LoadTableSnapshot(t, g.data(), int(m.size())));
    EXPECT_TRUE(t.Chairs[0].HandRaised);
    EXPECT_FALSE(t.Chairs[1].HandRaised);
    EXPECT_TRUE(t.Chairs[2].HandRaised);
    EXPECT_FALSE(t.Chairs[3].HandRaised);
    EXPECT_EQ(t.CanSeePai, 5);
    EXPECT_TRUE(t.TableIdle);
    EXPECT_EQ(t.GamePhase, GamePhase::Waiting);

    TableState p;
    ASSERT_TRUE(LoadTableSnapshot(p, m.data(), int(m.size())));
    EXPECT_EQ(p.CanSeePai, 1);

    for (size_t len = 0; len < m.size(); ++len) {
        const Bytes cut(m.begin(), m.begin() + long(len));
        GuardedMessage gc(cut);
        TableState s;
        EXPECT_FALSE(LoadTableSnapshot(s, gc.data(), int(len)));
        EXPECT_EQ(s.Chairs[0].HandRaised, len > 4) << len;
        EXPECT_EQ(s.Chairs[2].HandRaised, len > 6) << len;
        EXPECT_EQ(s.GamePhase, GamePhase::None) << len;
    }
}

TEST(LoadTableSnapshot, NullAndNegativeLengths)
{
    TableState t;
    EXPECT_FALSE(LoadTableSnapshot(t, nullptr, 50));
    const Bytes m = layoutA();
    EXPECT_FALSE(LoadTableSnapshot(t, m.data(), -1));
    EXPECT_FALSE(LoadTableSnapshot(t, QByteArray()));
    EXPECT_TRUE(t.TableIdle);
    EXPECT_EQ(t.DeckCount, 1);
}

}  // namespace
