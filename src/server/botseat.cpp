#include "server/botseat.h"

#include <QTimer>
#include <algorithm>

#include "protocol/messages.h"
#include "protocol/received.h"
#include "rules/cards.h"
#include "rules/gamedefine.h"
#include "rules/paixing.h"
#include "rules/tableround.h"
#include "server/botplayer.h"
#include "server/carefulbot.h"
#include "server/strongbot.h"

BotSeat::BotSeat(SeatReply reply, uint8_t chair, QString name, int delayMs, BotLevel level, uint32_t rngSeed,
                 QObject* parent)
    : QObject(parent), reply_(std::move(reply)), chair_(chair), name_(std::move(name)), delayMs_(delayMs),
      level_(level), rng_(rngSeed), view_(chair)
{
    moveDelay_.setSingleShot(true);
    connect(&moveDelay_, &ClockTimer::timeout, this, &BotSeat::move);
}

void BotSeat::send(const QByteArray& msg)
{
    // Never back into the table while it is still sending: answers go out from the event loop.
    QTimer::singleShot(0, this, [this, msg] { reply_(this, msg); });
}

void BotSeat::deliver(const QByteArray& msg)
{
    const ReceivedMsg m = DecodeServerMsg(msg);
    if (!m.fits) return;
    switch (m.kind) {
    case MsgKind::GameSet:
        // A plain start offer: ready at once. In a settings round a bot waits for the owner.
        if (const GameSetMsg* s = m.as<GameSetMsg>()) {
            if (s->round.toInt() <= 0) send(BuildReady(chair_));
            else if (s->decided.toInt() > 0) send(BuildHandUpReq(name_));
        }
        break;
    case MsgKind::HandUp:
        // The owner's settings: a bot always agrees.
        if (const HandUpMsg* h = m.as<HandUpMsg>(); h && h->withSettings && h->name != name_) send(BuildHandUpReq(name_));
        break;
    case MsgKind::Start:
        ++turnSerial_;
        if (const StartMsg* s = m.as<StartMsg>(); s && s->settingsValid && s->leadValid)
            view_.start(s->deckCount, s->leadChair);
        send(BuildDealRequest(chair_));
        break;
    case MsgKind::Deal:
        if (const DealMsg* d = m.as<DealMsg>()) {
            ++turnSerial_;
            // With the partner's hand shown the first half is ours.
            const size_t mine = d->showPartner ? d->cards.size() / 2 : d->cards.size();
            view_.learnHand(d->cards.data(), int(mine));
            if (d->showPartner) view_.showPartner(d->cards.data() + mine, int(d->cards.size() - mine));
            view_.beginPlay();
            considerMove();
        }
        break;
    case MsgKind::OutPai:
        if (const OutPaiMsg* p = m.as<OutPaiMsg>()) onPlay(*p);
        break;
    case MsgKind::OutPaiRefused:
        // Never expected (bots only play what the rules allow); give way rather than stall.
        if (round().phase() == GamePhase::Follow) send(BuildPass(chair_));
        else if (!view_.hand().empty()) send(BuildPlay(chair_, {LowestCard(view_.hand().vec())}));
        break;
    case MsgKind::Hands:
        if (const HandsMsg* h = m.as<HandsMsg>()) {
            view_.learnHand(h->mine.data(), int(h->mine.size()));
            // A hidden partner's hand comes as backs: only its count, which the notices keep.
            const bool shown = !h->partner.empty() && std::none_of(h->partner.begin(), h->partner.end(),
                                                                   [](uint8_t c) { return c == kHiddenCardCode; });
            if (shown) view_.showPartner(h->partner.data(), int(h->partner.size()));
            ++turnSerial_;
            considerMove();
        }
        break;
    case MsgKind::GameOver:
        ++turnSerial_;
        view_.clear();
        break;
    case MsgKind::TableSnapshot:
        if (const TableSnapshotMsg* s = m.as<TableSnapshotMsg>()) loadSnapshot(*s);
        break;
    default:
        break;
    }
}

void BotSeat::onPlay(const OutPaiMsg& p)
{
    ++turnSerial_;
    MoveNotice n;
    n.next = p.next;
    n.phase = GamePhaseOf(p.phase);
    n.place = p.mingCi;
    n.chair = p.chair;
    n.cards.assign(p.cards.data(), int(p.cards.size()));
    view_.apply(n);
    considerMove();
}

void BotSeat::loadSnapshot(const TableSnapshotMsg& msg)
{
    TableState t;
    InitGameDefine(t);
    t.bteMyChair = chair_;
    LoadTableSnapshot(t, msg);
    if (t.TableIdle) return;
    ++turnSerial_;
    // The bot lets the core hold its own hand, so it can choose from it.
    PublicRound r = RoundOf(t);
    r.hand = CardRun(t.MyPai.cards());
    view_.restore(r);
    considerMove();
}

void BotSeat::considerMove()
{
    if (round().turn() != chair_ || !IsMovePhase(round().phase()) || view_.hand().empty()) return;
    if (movePlannedFor_ == turnSerial_) return;
    movePlannedFor_ = turnSerial_;
    // A move planned under an older serial is dropped with this restart: the table moved on.
    moveDelay_.start(delayMs_);
}

void BotSeat::move()
{
    if (movePlannedFor_ != turnSerial_) return;   // the table moved on meanwhile
    std::vector<uint8_t> cards;
    switch (level_) {
    case BotLevel::Strong: cards = ChooseStrongPlay(view_, rng_); break;
    case BotLevel::Careful: cards = ChooseCarefulPlay(view_); break;
    case BotLevel::Basic: cards = ChooseBotPlay(ViewOf(round(), chair_)); break;
    }
    reply_(this, cards.empty() ? BuildPass(chair_) : BuildPlay(chair_, cards));
}
