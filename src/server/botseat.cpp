#include "server/botseat.h"

#include <QTimer>
#include <algorithm>

#include "protocol/messages.h"
#include "protocol/shapes.h"
#include "rules/cards.h"
#include "rules/gamedefine.h"
#include "rules/paixing.h"
#include "server/botplayer.h"

namespace {

constexpr int kStartDecksByte = 11;
constexpr int kStartTurnChairByte = 14;
constexpr int kPlayHeaderBytes = 7;   // GM_OUTPAI: code, unused, next, phase, place, chair, count

}  // namespace

BotSeat::BotSeat(SeatReply reply, uint8_t chair, QString name, int delayMs, QObject* parent)
    : QObject(parent), reply_(std::move(reply)), chair_(chair), name_(std::move(name)), delayMs_(delayMs)
{
}

void BotSeat::send(const QByteArray& msg)
{
    // Never back into the table while it is still sending: answers go out from the event loop.
    QTimer::singleShot(0, this, [this, msg] { reply_(this, msg); });
}

void BotSeat::deliver(const QByteArray& msg)
{
    const ParsedMsg m = ParseMessage(msg, Sender::Server);
    if (!m.fits) return;
    switch (m.kind) {
    case MsgKind::GameSet:
        // A plain start offer: ready at once. In a settings round a bot waits for the owner.
        if (m.fields.value(5).toInt() <= 0) send(BuildReady(chair_));
        else if (m.fields.value(6).toInt() > 0) send(BuildHandUpReq(name_));
        break;
    case MsgKind::HandUp:
        // The owner's settings: a bot always agrees.
        if (m.fields.size() >= 2 && m.fields[0] != name_) send(BuildHandUpReq(name_));
        break;
    case MsgKind::Start:
        ++turnSerial_;
        round_.observe(uint8_t(msg[kStartDecksByte]), uint8_t(msg[kStartTurnChairByte]));
        send(BuildDealRequest(chair_));
        break;
    case MsgKind::Deal: {
        ++turnSerial_;
        const auto* b = reinterpret_cast<const uint8_t*>(msg.constData());
        const int n = msg.size() - 3;
        // With the partner's hand shown the first half is ours.
        const int mine = b[2] ? n / 2 : n;
        round_.learnHand(chair_, b + 3, mine);
        round_.beginPlay();
        considerMove();
        break;
    }
    case MsgKind::OutPai:
        onPlay(msg);
        break;
    case MsgKind::OutPaiRefused:
        // Never expected (bots only play what the rules allow); give way rather than stall.
        if (round_.phase() == GamePhase::Follow) send(BuildPass(chair_));
        else if (!round_.hand(chair_).empty()) send(BuildPlay(chair_, {LowestCard(round_.hand(chair_).vec())}));
        break;
    case MsgKind::Hands: {
        const auto* b = reinterpret_cast<const uint8_t*>(msg.constData());
        const int a = std::min<int>(b[2], int(msg.size()) - 3);
        round_.learnHand(chair_, b + 3, a);
        ++turnSerial_;
        considerMove();
        break;
    }
    case MsgKind::GameOver:
        ++turnSerial_;
        round_ = RoundCore();
        break;
    case MsgKind::TableSnapshot:
        loadSnapshot(msg);
        break;
    default:
        break;
    }
}

void BotSeat::onPlay(const QByteArray& msg)
{
    ++turnSerial_;
    const auto* b = reinterpret_cast<const uint8_t*>(msg.constData());
    MoveNotice n;
    n.next = b[2];
    n.phase = GamePhaseOf(b[3]);
    n.place = b[4];
    n.chair = b[5];
    n.cards.assign(b + kPlayHeaderBytes, int(msg.size()) - kPlayHeaderBytes);
    round_.apply(n);
    considerMove();
}

void BotSeat::loadSnapshot(const QByteArray& msg)
{
    TableState t;
    InitGameDefine(t);
    t.bteMyChair = chair_;
    LoadTableSnapshot(t, msg);
    if (t.TableIdle) return;
    ++turnSerial_;
    PublicRound r;
    r.decks = t.DeckCount;
    r.turn = t.TurnChair;
    r.phase = GamePhaseOf(t.GamePhase);
    r.shuangShunPlayed = t.ShuangShunPlayed;
    r.maxOutPai = t.MaxOutPai;
    r.trickFen = t.TrickFen;
    r.teamScore = t.TeamScore;
    for (size_t c = 0; c < 4; ++c) {
        r.mingCi[c] = t.Chairs[c].MingCi;
        r.counts[c] = t.Chairs[c].PaiCount;
        const std::vector<uint8_t> out = t.Chairs[c].OutPai.cards();
        r.outPai[c] = CardRun(out);
    }
    r.viewer = chair_;
    const std::vector<uint8_t> hand = t.MyPai.cards();
    r.hand = CardRun(hand);
    round_.restore(r);
    considerMove();
}

void BotSeat::considerMove()
{
    if (round_.turn() != chair_ || !IsMovePhase(round_.phase()) || round_.hand(chair_).empty()) return;
    if (movePlannedFor_ == turnSerial_) return;
    movePlannedFor_ = turnSerial_;
    const uint64_t serial = turnSerial_;
    QTimer::singleShot(delayMs_, this, [this, serial] {
        if (serial != turnSerial_) return;   // the table moved on meanwhile
        const std::vector<uint8_t> cards = ChooseBotPlay(ViewOf(round_, chair_));
        reply_(this, cards.empty() ? BuildPass(chair_) : BuildPlay(chair_, cards));
    });
}
