#include "server/replay.h"

#include <QTimer>

#include "protocol/codes.h"
#include "protocol/messages.h"
#include "protocol/received.h"
#include "protocol/shapes.h"
#include "rules/roundcore.h"
#include "server/table.h"

namespace {

std::vector<uint8_t> DeckOf(const StoredGame& g)
{
    std::vector<uint8_t> deck;
    for (const StoredChair& c : g.Chairs) deck.insert(deck.end(), c.Dealt.begin(), c.Dealt.end());
    deck.insert(deck.end(), g.Spare.begin(), g.Spare.end());
    return deck;
}

}  // namespace

bool Replay::Prepare(const StoredGame& g, RoomOptions& o, QString& error)
{
    const std::vector<uint8_t> deck = DeckOf(g);
    const size_t hand = size_t(HandCountOf(g.Decks));
    bool sound = deck.size() == size_t(54 * g.Decks);
    for (const StoredChair& c : g.Chairs) sound = sound && c.Dealt.size() == hand && !c.Name.trimmed().isEmpty();
    std::vector<int> count(54, 0);
    for (uint8_t c : deck) sound = sound && c < 54 && ++count[c] <= g.Decks;
    // The moves must play out to the end exactly as stored, or the table would refuse them.
    RoundCore r;
    if (sound) {
        r.deal(deck.data(), g.Decks, g.Lead);
        r.beginPlay();
        for (size_t i = 0; sound && i < g.Moves.size(); ++i) {
            const StoredMove& m = g.Moves[i];
            const MoveOutcome out = r.move(m.Chair, m.Cards.empty() ? std::vector<uint8_t>{kPassCode} : m.Cards);
            sound = out.ok() && (out.gameOver == (i + 1 == g.Moves.size()));
        }
        sound = sound && !g.Moves.empty();
    }
    if (!sound) {
        error = QStringLiteral("game %1 does not play to its end by the rules (a damaged store)").arg(g.Id);
        return false;
    }
    o.humans = 4;
    o.opponents = true;   // the players join in chair order
    o.names.clear();
    for (const StoredChair& c : g.Chairs) o.names.append(c.Name);
    o.decks = g.Decks;
    o.settingsRound = false;
    o.autoReady = false;
    o.games = 0;
    // The stored moves set the pace, never the turn clock.
    o.turnSeconds = 255;
    return true;
}

Replay::Replay(Table& table, StoredGame game, int delayMs, QObject* parent)
    : QObject(parent), table_(table), game_(std::move(game)), delayMs_(delayMs)
{
    moveDelay_.setSingleShot(true);
    connect(&moveDelay_, &ClockTimer::timeout, this, &Replay::moveNext);
    for (uint8_t c = 0; c < 4; ++c) {
        chairs_[c].replay = this;
        chairs_[c].no = c;
    }
}

void Replay::seat()
{
    for (Chair& c : chairs_) table_.join(&c, 1);
}

void Replay::send(uint8_t chair, const QByteArray& msg)
{
    // Never back into the table while it is still sending.
    QTimer::singleShot(0, this, [this, chair, msg] { table_.receive(&chairs_[chair & 3], msg); });
}

void Replay::begin()
{
    running_ = true;
    next_ = 0;
    table_.setStake(game_.Stake);
    table_.setNextDeal(DeckOf(game_), game_.Lead, game_.RoomGameNo);
    for (uint8_t c = 0; c < 4; ++c) send(c, BuildReady(c));
}

void Replay::moveNext()
{
    if (!running_ || next_ >= game_.Moves.size()) return;
    const StoredMove& m = game_.Moves[next_++];
    send(m.Chair, m.Cards.empty() ? BuildPass(m.Chair) : BuildPlay(m.Chair, m.Cards));
}

void Replay::onMessage(uint8_t chair, const QByteArray& msg)
{
    const ReceivedMsg m = DecodeServerMsg(msg);
    if (!m.fits) return;
    switch (m.kind) {
    case MsgKind::PangGuanIn:
        // Somebody came to watch: the game, unless it is under way.
        if (chair == 0 && !running_ && !table_.game().Running) begin();
        break;
    case MsgKind::Start:
        if (!running_) break;
        send(chair, BuildDealRequest(chair));
        if (chair == 0) moveDelay_.start(delayMs_);
        break;
    case MsgKind::OutPai:
        if (chair == 0 && running_) moveDelay_.start(delayMs_);
        break;
    case MsgKind::OutPaiRefused:
        // Checked before the table opened, so never expected: stop rather than stall.
        running_ = false;
        moveDelay_.stop();
        break;
    case MsgKind::GameOver:
        if (chair == 0 && running_) {
            running_ = false;
            moveDelay_.stop();
            ++played_;
        }
        break;
    default:
        break;
    }
}
