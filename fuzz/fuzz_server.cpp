// The room server's table fed by its seats: arbitrary messages from four players and two
// spectators, connections lost and made, legal moves that carry games along, and the bots that
// take over a lost player's chair, players who come back (from their own address or another
// seat's) and players who change whether spectators may see their cards. Whatever happens,
// everything the table sends is a message the client can read, no card is dealt twice, the turn
// stays on a chair, and a spectator is never sent a card of a hand its player hides.
//
// Input: byte 0 the options (decks, settings round, players ready by themselves); then events,
// each a control byte (low two bits the kind, the rest the seat) and the kind's bytes (a message:
// two length bytes, big-endian, and the message; a legal move: one byte picking it). A message
// whose length has its top bit set is a flood: one more byte, and the message (of the length's
// other bits) comes 1 + 32 x that many times in a row. The table relays no more chat than each
// sender's rate allows, and no chat line longer than the limit. A connection event of a seat
// that has a chair, with bit 6 of its control byte, flips the seat's see-cards setting instead;
// a seat that connects comes from its own address, or with bit 6 from the next seat's.
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "protocol/messages.h"
#include "protocol/received.h"
#include "protocol/shapes.h"
#include "rules/legalplays.h"
#include "server/guard.h"
#include "server/hiddenhand.h"
#include "server/seat.h"
#include "server/table.h"

namespace {

enum EventKind : uint8_t { EV_MESSAGE = 0, EV_CONNECTION = 1, EV_LEGAL_MOVE = 2, EV_EVENT_LOOP = 3 };
constexpr int kSeats = 6;     // four players, then two who watch
constexpr int kLoopRounds = 64;
constexpr size_t kFlood = 0x8000;
constexpr int kFloodStep = 32;

// A connection as the table sees it: what it is sent must be a message of the server's.
struct CheckedSeat : Seat {
    int got = 0;
    int chats = 0;
    QString from;
    const Table* table = nullptr;
    QString origin() const override { return from; }
    // A spectator of a player who hides the cards gets no card of any hand.
    void checkHidden(const QByteArray& msg) const
    {
        if (!table) return;
        const RoomUser* me = nullptr;
        for (const auto& u : table->users())
            if (u->seat == this) me = u.get();
        if (!me || me->Chair >= 0) return;
        const RoomUser* watched = table->userAt(me->WatchedChair);
        if (!watched || watched->AllowPangGuan) return;
        const auto hidden = [](const std::vector<uint8_t>& v) {
            for (uint8_t c : v)
                if (c != kHiddenCard) abort();
        };
        const ReceivedMsg r = DecodeServerMsg(msg);
        if (const DealMsg* d = r.as<DealMsg>()) hidden(d->cards);
        if (const HandsMsg* h = r.as<HandsMsg>()) hidden(h->mine), hidden(h->partner);
        if (const TableSnapshotMsg* t = r.as<TableSnapshotMsg>()) hidden(t->myPai), hidden(t->partnerPai);
    }
    void deliver(const QByteArray& msg) override
    {
        const ParsedMsg m = ParseMessage(msg, Sender::Server);
        if (!m.fits) abort();
        checkHidden(msg);
        ++got;
        if (m.kind == MsgKind::Chat) {
            ++chats;
            qsizetype chars = 0;
            for (const QString& f : m.fields) chars += f.size();
            if (chars > kMaxChatChars) abort();
        }
    }
    bool isBot() const override { return false; }
};

void CheckTable(const Table& t, int decks)
{
    const GameRound& g = t.game();
    const RoundCore& r = g.Round;
    if (r.turn() > 3 || r.lead() > 3 || WireValue(r.phase()) > 2 || r.maxOutPai()[0] > 3) abort();
    if (!g.Running) return;
    std::array<int, 256> seen{};
    for (uint8_t chair = 0; chair < 4; ++chair) {
        const CardRun& hand = r.hand(chair);
        if (hand.size() > HandCountOf(decks)) abort();
        for (uint8_t c : hand)
            if (c > 53 || ++seen[c] > decks) abort();
    }
}

void Spin()
{
    for (int i = 0; i < kLoopRounds; ++i) QCoreApplication::processEvents();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    RoomOptions opt;
    opt.humans = 4;
    opt.botDelayMs = 0;
    opt.seed = 7;
    opt.decks = (data[0] & 1) ? 2 : 1;
    opt.settingsRound = data[0] & 2;
    opt.autoReady = data[0] & 4;
    opt.names = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")};
    std::array<CheckedSeat, kSeats> seats;
    std::array<bool, kSeats> joined{};
    {
        Table table(opt);
        table.seatBots();
        for (int s = 0; s < kSeats; ++s) {
            seats[size_t(s)].from = QStringLiteral("10.0.0.%1").arg(s + 1);
            seats[size_t(s)].table = &table;
        }
        for (int s = 0; s < 4; ++s) {
            table.join(&seats[size_t(s)], uint8_t((data[0] >> 3) & 1));
            joined[size_t(s)] = true;
        }
        int senders = kSeats;
        QElapsedTimer elapsed;
        elapsed.start();
        size_t i = 1;
        while (i < size) {
            const uint8_t ctl = data[i++];
            const int s = (ctl >> 2) % kSeats;
            CheckedSeat* seat = &seats[size_t(s)];
            switch (ctl & 3) {
            case EV_MESSAGE: {
                size_t n = 0;
                if (i + 2 <= size) n = size_t(data[i]) << 8 | data[i + 1];
                i = std::min(i + 2, size);
                int copies = 1;
                if (n & kFlood) {
                    n &= ~size_t(kFlood);
                    if (i < size) copies += kFloodStep * data[i++];
                }
                n = std::min(n, size - i);
                const QByteArray msg(reinterpret_cast<const char*>(data) + i, qsizetype(n));
                i += n;
                // The connection lets only the client's messages of the right shape through.
                if (ParseMessage(msg, Sender::Client).fits)
                    for (int k = 0; k < copies && joined[size_t(s)]; ++k) table.receive(seat, msg);
                break;
            }
            case EV_CONNECTION: {
                const RoomUser* u = nullptr;
                for (const auto& x : table.users())
                    if (x->seat == seat) u = x.get();
                if (u && u->Chair >= 0 && (ctl & 0x40)) {
                    table.receive(seat, BuildSeePaiSetting(u->Name, u->AllowPangGuan ? 0 : 1));
                    break;
                }
                if (joined[size_t(s)]) table.leave(seat);
                else {
                    seat->from = QStringLiteral("10.0.0.%1").arg((ctl & 0x40) ? (s + 1) % kSeats + 1 : s + 1);
                    table.join(seat, uint8_t(ctl >> 7));
                    ++senders;  // a new user at the table, with a chat rate of its own
                }
                joined[size_t(s)] = !joined[size_t(s)];
                break;
            }
            case EV_LEGAL_MOVE: {
                const uint8_t pick = i < size ? data[i++] : 0;
                const GameRound& g = table.game();
                int chair = -1;
                for (const auto& u : table.users())
                    if (u->seat == seat) chair = u->Chair;
                if (chair < 0 || !g.Running || g.Dealing) break;
                const RoundCore& r = g.Round;
                const std::vector<uint8_t> hand = r.hand(uint8_t(chair)).vec();
                const std::vector<LegalPlay> plays =
                    EnumerateLegalPlays(hand, r.phase() == GamePhase::Lead ? nullptr : &r.maxOutPai(), r.shuangShunPlayed());
                const bool pass = plays.empty() || (r.phase() == GamePhase::Follow && pick % (plays.size() + 1) == plays.size());
                table.receive(seat, pass ? BuildPass(uint8_t(chair)) : BuildPlay(uint8_t(chair), plays[pick % plays.size()].Cards));
                break;
            }
            case EV_EVENT_LOOP:
                Spin();
                break;
            }
            CheckTable(table, opt.decks);
        }
        Spin();
        CheckTable(table, opt.decks);
        const qint64 perSender = kChatBurst + elapsed.elapsed() / kChatRefillMs + 1;
        for (const CheckedSeat& seat : seats)
            if (seat.chats > senders * perSender) abort();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
