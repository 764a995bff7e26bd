#include "server/botseat.h"

#include <QTimer>
#include <algorithm>

#include "protocol/messages.h"
#include "protocol/shapes.h"
#include "rules/cards.h"
#include "rules/gamedefine.h"
#include "rules/paixing.h"
#include "server/botplayer.h"
#include "server/table.h"

namespace {

constexpr int kStartTurnChairByte = 14;
constexpr int kPlayHeaderBytes = 7;   // GM_OUTPAI: code, unused, next, phase, place, chair, count
constexpr uint8_t kPhaseLead = 1, kPhaseFollow = 2;

void RemoveCards(std::vector<uint8_t>& hand, const std::vector<uint8_t>& cards)
{
    for (uint8_t c : cards) {
        const auto it = std::find(hand.begin(), hand.end(), c);
        if (it != hand.end()) hand.erase(it);
    }
}

}  // namespace

BotSeat::BotSeat(Table& table, uint8_t chair, QString name, int delayMs, QObject* parent)
    : QObject(parent), table_(table), chair_(chair), name_(std::move(name)), delayMs_(delayMs)
{
}

void BotSeat::send(const QByteArray& msg)
{
    // Never back into the table while it is still sending: answers go out from the event loop.
    QTimer::singleShot(0, this, [this, msg] { table_.receive(this, msg); });
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
        hand_.clear();
        phase_ = 0;
        turnChair_ = uint8_t(msg[kStartTurnChairByte]);
        maxOutPai_ = {};
        shuangShunPlayed_ = false;
        trickFen_ = 0;
        send(BuildDealRequest(chair_));
        break;
    case MsgKind::Deal: {
        ++turnSerial_;
        const auto* b = reinterpret_cast<const uint8_t*>(msg.constData());
        const int n = msg.size() - 3;
        // With the partner's hand shown the first half is ours.
        const int mine = b[2] ? n / 2 : n;
        hand_.assign(b + 3, b + 3 + mine);
        phase_ = kPhaseLead;
        considerMove();
        break;
    }
    case MsgKind::OutPai:
        onPlay(msg);
        break;
    case MsgKind::OutPaiRefused:
        // Never expected (bots only play what the rules allow); give way rather than stall.
        if (phase_ == kPhaseFollow) send(BuildPass(chair_));
        else if (!hand_.empty()) send(BuildPlay(chair_, {LowestCard(hand_)}));
        break;
    case MsgKind::Hands: {
        const auto* b = reinterpret_cast<const uint8_t*>(msg.constData());
        const int a = std::min<int>(b[2], int(msg.size()) - 3);
        hand_.assign(b + 3, b + 3 + a);
        ++turnSerial_;
        considerMove();
        break;
    }
    case MsgKind::GameOver:
        ++turnSerial_;
        phase_ = 0;
        hand_.clear();
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
    const uint8_t oldPhase = phase_;
    turnChair_ = b[2];
    phase_ = b[3];
    const uint8_t chair = b[5];
    const std::vector<uint8_t> cards(b + kPlayHeaderBytes, b + msg.size());
    if (oldPhase == kPhaseLead) shuangShunPlayed_ = false;
    if (!(cards.size() == 1 && cards[0] == kPassCode)) {
        PaiXingInfo info;
        if (GetPaiXing(cards.data(), int(cards.size()), info)) {
            if (info[1] == PX_ShuangShun) shuangShunPlayed_ = true;
            trickFen_ += CountFenPai(cards.data(), int(cards.size()));
            info[0] = chair;
            maxOutPai_ = info;
        }
        if (chair == chair_) RemoveCards(hand_, cards);
    }
    if (phase_ == kPhaseLead) {
        trickFen_ = 0;
        shuangShunPlayed_ = false;
        maxOutPai_ = {};
    }
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
    hand_ = t.MyPai.cards();
    turnChair_ = t.TurnChair;
    phase_ = t.GamePhase;
    maxOutPai_ = t.MaxOutPai;
    shuangShunPlayed_ = t.ShuangShunPlayed;
    trickFen_ = t.TrickFen;
    considerMove();
}

void BotSeat::considerMove()
{
    if (turnChair_ != chair_ || (phase_ != kPhaseLead && phase_ != kPhaseFollow) || hand_.empty()) return;
    if (movePlannedFor_ == turnSerial_) return;
    movePlannedFor_ = turnSerial_;
    const uint64_t serial = turnSerial_;
    QTimer::singleShot(delayMs_, this, [this, serial] {
        if (serial != turnSerial_) return;   // the table moved on meanwhile
        BotView v;
        v.Hand = hand_;
        v.MyChair = chair_;
        v.Leading = phase_ == kPhaseLead;
        v.MaxOutPai = maxOutPai_;
        v.ShuangShunPlayed = shuangShunPlayed_;
        v.TrickFen = trickFen_;
        const std::vector<uint8_t> cards = ChooseBotPlay(v);
        table_.receive(this, cards.empty() ? BuildPass(chair_) : BuildPlay(chair_, cards));
    });
}
