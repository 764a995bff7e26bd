#include "server/table.h"

#include <QStringList>
#include <algorithm>

#include "protocol/shapes.h"
#include "rules/cards.h"
#include "rules/paixing.h"
#include "server/botplayer.h"
#include "server/botseat.h"
#include "server/cardtext.h"

namespace {

constexpr int kGraceMs = 3000;            // beyond the turn seconds, for the link and the client's pauses
constexpr int kTrickPauseMs = 2000;       // the client shows a won trick this long before the next turn
constexpr int kDealWaitMs = 5000;         // the longest the first move waits for the deal requests
constexpr uint8_t kPhaseNone = 0, kPhaseLead = 1, kPhaseFollow = 2;
constexpr uint8_t kHandUpRaise = 1, kHandUpLast = 2;   // 112's sub-code; above 1 lowers every hand after it
const QString kEverybody = QStringLiteral("所有人");

enum ChatField { CF_Sender, CF_Target, CF_SenderShown, CF_TargetShown, CF_Text, CF_Colour, CF_Bold, CF_Whisper };

uint8_t Partner(uint8_t chair) { return uint8_t((chair + 2) & 3); }
int SideOf(uint8_t chair) { return chair & 1; }

std::vector<uint8_t> SortedDesc(std::vector<uint8_t> cards)
{
    SortPaiDesc(cards.data(), int(cards.size()));
    return cards;
}

// Takes the cards out of the hand; false (hand untouched) when it does not hold them all.
bool TakeFromHand(std::vector<uint8_t>& hand, const std::vector<uint8_t>& cards)
{
    std::vector<uint8_t> rest = hand;
    for (uint8_t c : cards) {
        const auto it = std::find(rest.begin(), rest.end(), c);
        if (it == rest.end()) return false;
        rest.erase(it);
    }
    hand = std::move(rest);
    return true;
}

QString Joined(const std::array<int32_t, 4>& v)
{
    return QStringLiteral("%1,%2,%3,%4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
}

}  // namespace

Table::Table(const RoomOptions& options, QObject* parent)
    : QObject(parent), opt_(options), rng_(options.seed.value_or(std::random_device{}()))
{
    if (opt_.settingsRound && opt_.humans > 0) settings_ = SettingsRound::WaitingOwner;
    turnClock_.setSingleShot(true);
    connect(&turnClock_, &QTimer::timeout, this, &Table::onTurnTimeout);
    dealClock_.setSingleShot(true);
    dealClock_.setInterval(kDealWaitMs);
    connect(&dealClock_, &QTimer::timeout, this, &Table::finishDealing);
    pauseClock_.setSingleShot(true);
    connect(&pauseClock_, &QTimer::timeout, this, &Table::offerStartToAll);
}

Table::~Table() = default;

// ---- Users ---------------------------------------------------------------------------------

void Table::log(const QString& line)
{
    if (logLine) logLine(line);
}

RoomUser* Table::userOf(Seat* seat) const
{
    for (const auto& u : users_)
        if (u->seat == seat) return u.get();
    return nullptr;
}

RoomUser* Table::owner() const
{
    return opt_.humans > 0 ? chairs_[0] : nullptr;
}

QString Table::uniqueName(const QString& wanted) const
{
    auto taken = [&](const QString& n) {
        return std::any_of(users_.begin(), users_.end(), [&](const auto& u) { return u->Name == n; });
    };
    if (!taken(wanted)) return wanted;
    for (int k = 2;; ++k)
        if (!taken(wanted + QString::number(k))) return wanted + QString::number(k);
}

QString Table::userRow(const RoomUser& u) const
{
    const int winRate = u.Games ? u.Won * 100 / u.Games : 0;
    const int escapeRate = u.Games ? u.Escapes * 100 / u.Games : 0;
    const RoomUser* watched = u.Chair < 0 ? chairs_[size_t(u.WatchedChair)] : nullptr;
    std::array<QString, UF_Count> f;
    f[UF_Name] = u.Name;
    f[UF_Id] = QString::number(u.Id);
    f[UF_Score] = QString::number(u.Score);
    f[UF_Level] = QString::number(std::max(0, u.Score));
    f[UF_Watched] = u.Chair < 0 ? (watched ? watched->Name : QStringLiteral("-")) : QString();
    f[UF_Games] = QString::number(u.Games);
    f[UF_WinRate] = QString::number(winRate);
    f[UF_EscapeRate] = QString::number(escapeRate);
    f[UF_Won] = QString::number(u.Won);
    f[UF_Lost] = QString::number(u.Lost);
    f[UF_Drawn] = QString::number(u.Drawn);
    f[UF_FigureType] = QStringLiteral("0");
    f[UF_IconNo] = QString::number(u.IconNo);
    f[UF_Chair] = QString::number(u.Chair >= 0 ? u.Chair : u.WatchedChair);
    f[UF_HandUp] = u.Ready ? QStringLiteral("1") : QStringLiteral("0");
    f[UF_Dropped] = u.Dropped ? QStringLiteral("1") : QStringLiteral("0");
    return JoinUserRow(f);
}

void Table::sendTo(const RoomUser& u, const QByteArray& msg)
{
    if (u.seat) u.seat->deliver(msg);
}

void Table::broadcast(const QByteArray& msg, const RoomUser* except)
{
    // A delivery can make a seat go (a write that fails): walk a copy.
    std::vector<Seat*> seats;
    for (const auto& u : users_)
        if (u.get() != except && u->seat) seats.push_back(u->seat);
    for (Seat* s : seats)
        if (userOf(s)) s->deliver(msg);
}

BotSeat* Table::newBot(uint8_t chair, const QString& name)
{
    return new BotSeat(*this, chair, name, opt_.botDelayMs, this);
}

void Table::seatBots()
{
    for (int c = std::clamp(opt_.humans, 0, 4); c < 4; ++c) {
        if (chairs_[size_t(c)]) continue;
        auto u = std::make_unique<RoomUser>();
        u->Name = uniqueName(QStringLiteral("机器人%1").arg(++botsMade_));
        u->Chair = c;
        u->Id = nextUserId_++;
        u->IconNo = 1 + c;
        u->bot = newBot(uint8_t(c), u->Name);
        u->seat = u->bot;
        u->Items = StarterItems(QDateTime::currentDateTime());
        chairs_[size_t(c)] = u.get();
        RoomUser& ref = *u;
        users_.push_back(std::move(u));
        log(QStringLiteral("seat chair=%1 name=%2 bot").arg(c).arg(ref.Name));
        broadcast(BuildUserIn(userRow(ref)), &ref);
        offerStart(ref);
    }
}

void Table::join(Seat* seat, uint8_t allowPangGuan)
{
    if (!seat || userOf(seat)) return;
    auto u = std::make_unique<RoomUser>();
    u->seat = seat;
    u->AllowPangGuan = allowPangGuan ? 1 : 0;
    u->Id = nextUserId_++;
    u->Items = StarterItems(QDateTime::currentDateTime());
    int chair = -1;
    for (int c = 0; c < std::clamp(opt_.humans, 0, 4); ++c)
        if (!chairs_[size_t(c)]) {
            chair = c;
            break;
        }
    if (chair >= 0) {
        const int k = humansJoined_++;
        const QString wanted = k < opt_.names.size() ? opt_.names[k]
                                                      : opt_.names.value(0, QStringLiteral("玩家")) + QString::number(k + 1);
        u->Name = uniqueName(wanted);
        u->Chair = chair;
        u->IconNo = 1000 + 1 + (k % 4);
        chairs_[size_t(chair)] = u.get();
    } else {
        u->Name = uniqueName(QStringLiteral("旁观者%1").arg(++spectatorsMade_));
        u->WatchedChair = 0;
        u->IconNo = 1;
    }
    RoomUser& ref = *u;
    users_.push_back(std::move(u));
    if (ref.Chair >= 0) log(QStringLiteral("join chair=%1 name=%2").arg(ref.Chair).arg(ref.Name));
    else log(QStringLiteral("watch name=%1 chair=%2").arg(ref.Name).arg(ref.WatchedChair));
    sendWelcome(ref);
}

void Table::sendWelcome(RoomUser& u)
{
    const RoomUser* watched = u.Chair < 0 ? chairs_[size_t(u.WatchedChair)] : &u;
    sendTo(u, BuildIdentity(u.Name, watched ? watched->Name : u.Name));
    QStringList rows;
    for (const auto& other : users_) rows.append(userRow(*other));
    sendTo(u, BuildUserList(rows));
    broadcast(u.Chair >= 0 ? BuildUserIn(userRow(u)) : BuildPangGuanIn(userRow(u)), &u);
    sendTo(u, BuildDaoJuText(DJ_LIST, CatalogueText()));
    sendTo(u, BuildDaoJuText(DJ_MY_LIST, OwnedItemsText(u.Items)));
    if (u.Chair < 0) {
        const uint8_t canSee = watched ? watched->AllowPangGuan : 1;
        if (game_.Running) {
            sendTo(u, snapshotFor(u.WatchedChair, canSee));
        } else {
            std::array<bool, 4> raised{};
            for (int c = 0; c < 4; ++c) raised[size_t(c)] = chairs_[size_t(c)] && chairs_[size_t(c)]->Ready;
            sendTo(u, BuildSnapshotIdle(raised, canSee));
        }
        return;
    }
    offerStart(u);
}

void Table::offerStart(RoomUser& u)
{
    if (game_.Running || u.Chair < 0 || pauseClock_.isActive()) return;
    switch (settings_) {
    case SettingsRound::WaitingOwner:
        if (&u == owner()) sendTo(u, BuildGameSet(true, 1, false, settingsText()));
        else sendTo(u, BuildGameSet(false, 1, false, QString()));
        return;
    case SettingsRound::Decided:
        // Still agreeing: whoever has not yet sees the owner's values.
        if (!u.Ready) {
            sendTo(u, BuildGameSet(false, 1, true, settingsText()));
            return;
        }
        break;
    case SettingsRound::None:
        break;
    }
    sendTo(u, BuildGameSet(false, 0, false, QString()));
    if (opt_.autoReady && !u.bot && !u.Ready) raiseHand(u);
}

void Table::offerStartToAll()
{
    std::vector<RoomUser*> players;
    for (RoomUser* u : chairs_)
        if (u) players.push_back(u);
    for (RoomUser* u : players)
        if (userOf(u->seat) == u) offerStart(*u);
}

QString Table::settingsText() const
{
    return QStringLiteral("%1`%2`%3`%4`%5`%6").arg(stake_).arg(stakeMax_).arg(stakeMin_).arg(penalty_).arg(penaltyMax_).arg(penaltyMin_);
}

void Table::raiseHand(RoomUser& u, const QString& settings)
{
    if (game_.Running || u.Chair < 0 || u.Ready) return;
    u.Ready = true;
    const bool all = std::all_of(chairs_.begin(), chairs_.end(), [](const RoomUser* c) { return c && c->Ready; });
    log(QStringLiteral("ready chair=%1 name=%2").arg(u.Chair).arg(u.Name));
    // The ready first: the last hand's 112 lowers every hand, and nothing may raise one after it.
    broadcast(BuildReady(uint8_t(u.Chair)));
    broadcast(BuildHandUp(all ? kHandUpLast : kHandUpRaise, u.Name, settings));
    if (all) startGame();
}

void Table::removeUser(RoomUser* u)
{
    if (!u) return;
    if (u->Chair >= 0 && chairs_[size_t(u->Chair)] == u) chairs_[size_t(u->Chair)] = nullptr;
    if (u->bot) u->bot->deleteLater();
    const auto it = std::find_if(users_.begin(), users_.end(), [u](const auto& p) { return p.get() == u; });
    if (it != users_.end()) users_.erase(it);
}

void Table::leave(Seat* seat)
{
    RoomUser* u = userOf(seat);
    if (!u) return;
    u->seat = nullptr;
    if (u->Chair < 0) {
        log(QStringLiteral("leave name=%1").arg(u->Name));
        const QString name = u->Name;
        removeUser(u);
        broadcast(BuildUserState(RM_PANGGUAN_OUT, name));
        return;
    }
    if (game_.Running) {
        takeOver(*u);
        return;
    }
    log(QStringLiteral("leave chair=%1 name=%2").arg(u->Chair).arg(u->Name));
    const bool wasOwner = u == owner();
    const QString name = u->Name;
    removeUser(u);
    broadcast(BuildUserOut(name));
    if (wasOwner && settings_ != SettingsRound::None) {
        // Nobody is left to set the table: play with the values as they are.
        settings_ = SettingsRound::None;
        offerStartToAll();
    }
}

void Table::takeOver(RoomUser& u)
{
    u.Dropped = true;
    ++u.Escapes;
    log(QStringLiteral("drop game=%1 chair=%2 name=%3 bot plays on").arg(game_.No).arg(u.Chair).arg(u.Name));
    broadcast(BuildUserState(RM_USER_DROPPED, u.Name));
    u.bot = newBot(uint8_t(u.Chair), u.Name);
    u.seat = u.bot;
    game_.DealAnswered[size_t(u.Chair)] = true;
    u.bot->deliver(snapshotFor(u.Chair, 1));
    if (game_.Dealing && std::all_of(game_.DealAnswered.begin(), game_.DealAnswered.end(), [](bool b) { return b; }))
        QTimer::singleShot(0, this, [this] {
            if (game_.Dealing) finishDealing();
        });
}

// ---- Messages from the seats ---------------------------------------------------------------

void Table::receive(Seat* seat, const QByteArray& msg)
{
    RoomUser* u = userOf(seat);
    if (!u) return;
    const ParsedMsg m = ParseMessage(msg, Sender::Client);
    if (!m.fits) return;
    switch (m.kind) {
    case MsgKind::ReadyReq:
        raiseHand(*u);
        break;
    case MsgKind::HandUpReq:
        // A join request, or agreement to the owner's settings once there are any.
        if (settings_ != SettingsRound::WaitingOwner) raiseHand(*u);
        break;
    case MsgKind::GameSetDone:
        onGameSetDone(*u, m.fields);
        break;
    case MsgKind::LeaveTable:
        onLeaveRequest(*u);
        break;
    case MsgKind::ChatSend:
        onChat(*u, m.fields);
        break;
    case MsgKind::BuyDaoJu:
        onBuy(*u, m.text);
        break;
    case MsgKind::SeePaiSetting:
        onSeePaiSetting(*u, m.fields);
        break;
    case MsgKind::DealReq:
        if (game_.Running && u->Chair >= 0) answerDeal(uint8_t(u->Chair));
        break;
    case MsgKind::HandsReq:
        if (game_.Running && u->Chair >= 0) sendTo(*u, BuildHands(game_.Hands[size_t(u->Chair)], {}));
        break;
    case MsgKind::OutPaiReq:
        onPlayRequest(*u, msg);
        break;
    case MsgKind::JoinGame:
    case MsgKind::Hello:
    default:
        break;
    }
}

void Table::onGameSetDone(RoomUser& u, const QStringList& fields)
{
    if (settings_ != SettingsRound::WaitingOwner || &u != owner() || fields.size() != 7) return;
    // The owner's values, kept within the limits this table offered.
    stake_ = std::clamp(fields[1].toInt(), stakeMin_, stakeMax_);
    penalty_ = std::clamp(fields[4].toInt(), penaltyMin_, penaltyMax_);
    settings_ = SettingsRound::Decided;
    log(QStringLiteral("settings stake=%1 penalty=%2").arg(stake_).arg(penalty_));
    raiseHand(u, settingsText());
}

void Table::onLeaveRequest(RoomUser& u)
{
    Seat* seat = u.seat;
    if (!seat || u.bot) return;
    leave(seat);
    seat->release();
}

void Table::onChat(RoomUser& u, QStringList fields)
{
    // The sender is who the table knows, whatever the message claims.
    fields[CF_Sender] = u.Name;
    fields[CF_SenderShown] = u.Name;
    log(QStringLiteral("chat from=%1 to=%2 text=%3").arg(u.Name, fields[CF_Target], fields[CF_Text]));
    const QByteArray msg = BuildChat(fields);
    if (fields[CF_Whisper] == QLatin1String("1") && fields[CF_Target] != kEverybody) {
        for (const auto& other : users_)
            if (other->Name == fields[CF_Target]) {
                sendTo(*other, msg);
                if (other.get() != &u) sendTo(u, msg);
                return;
            }
    }
    broadcast(msg);
}

void Table::onBuy(RoomUser& u, const QString& idText)
{
    bool bought = false;
    const QString notice = BuyItem(u.Items, idText, QDateTime::currentDateTime(), bought);
    log(QStringLiteral("buy name=%1 item=%2 %3").arg(u.Name, idText, bought ? QStringLiteral("ok") : QStringLiteral("refused")));
    sendTo(u, BuildDaoJuText(DJ_NOTICE, notice));
    if (bought) sendTo(u, BuildDaoJuText(DJ_MY_LIST, OwnedItemsText(u.Items)));
}

void Table::onSeePaiSetting(RoomUser& u, const QStringList& fields)
{
    if (u.Chair < 0) return;
    u.AllowPangGuan = fields.value(1).toInt() != 0 ? 1 : 0;
    log(QStringLiteral("see-cards chair=%1 allow=%2").arg(u.Chair).arg(u.AllowPangGuan));
    for (const auto& other : users_)
        if (other->Chair < 0 && other->WatchedChair == u.Chair) sendTo(*other, BuildSeePai(u.AllowPangGuan != 0));
}

// ---- The game ------------------------------------------------------------------------------

void Table::setNextDeal(std::vector<uint8_t> deck, uint8_t leadChair)
{
    stackedDeck_ = std::move(deck);
    nextLead_ = leadChair & 3;
}

void Table::startGame()
{
    GameRound& g = game_;
    const int no = g.No + 1;
    g = GameRound();
    g.No = no;
    g.Running = true;
    g.Dealing = true;
    std::vector<uint8_t> deck;
    for (int d = 0; d < opt_.decks; ++d)
        for (int c = 0; c < 54; ++c) deck.push_back(uint8_t(c));
    // Fisher-Yates on the seeded generator, so a seed gives the same deal on every build.
    for (size_t i = deck.size() - 1; i > 0; --i) std::swap(deck[i], deck[rng_() % (i + 1)]);
    if (stackedDeck_.size() == deck.size()) deck = std::exchange(stackedDeck_, {});
    const size_t n = size_t(HandCountOf(opt_.decks));
    for (size_t c = 0; c < 4; ++c) g.Hands[c].assign(deck.begin() + long(c * n), deck.begin() + long((c + 1) * n));
    g.Spare.assign(deck.begin() + long(4 * n), deck.end());
    g.LeadChair = uint8_t(nextLead_ >= 0 ? nextLead_ : int(rng_() % 4));
    g.TurnChair = g.LeadChair;
    g.Phase = kPhaseNone;
    for (RoomUser* u : chairs_) u->Ready = false;
    settings_ = SettingsRound::None;   // later games keep the values of the first

    log(QStringLiteral("start game=%1 decks=%2 lead=%3").arg(g.No).arg(opt_.decks).arg(g.LeadChair));
    for (int c = 0; c < 4; ++c)
        log(QStringLiteral("deal game=%1 chair=%2 name=%3 cards=%4")
                .arg(g.No).arg(c).arg(chairs_[size_t(c)]->Name, CardsText(SortedDesc(g.Hands[size_t(c)]))));
    if (!g.Spare.empty()) log(QStringLiteral("spare game=%1 cards=%2").arg(g.No).arg(CardsText(SortedDesc(g.Spare))));
    emit gameStarted(g.No);

    broadcast(BuildGameStart(uint8_t(opt_.autoOutLimit), uint8_t(opt_.decks), 0, uint8_t(opt_.turnSeconds), g.LeadChair));
    for (const auto& u : users_)
        if (u->Chair < 0) sendTo(*u, BuildDeal(false, g.Hands[size_t(u->WatchedChair)], {}));
    dealClock_.start();
}

void Table::answerDeal(uint8_t chair)
{
    GameRound& g = game_;
    RoomUser* u = chairs_[chair];
    if (!u) return;
    const std::vector<uint8_t>& hand = g.Hands[chair];
    if (int(hand.size()) == HandCountOf(opt_.decks)) sendTo(*u, BuildDeal(false, hand, {}));
    else sendTo(*u, BuildHands(hand, {}));
    g.DealAnswered[chair] = true;
    if (g.Dealing && std::all_of(g.DealAnswered.begin(), g.DealAnswered.end(), [](bool b) { return b; })) finishDealing();
}

void Table::finishDealing()
{
    GameRound& g = game_;
    if (!g.Running || !g.Dealing) return;
    dealClock_.stop();
    // A client that never asked gets its cards all the same.
    for (uint8_t c = 0; c < 4; ++c)
        if (!g.DealAnswered[c]) answerDeal(c);
    g.Dealing = false;
    g.Phase = kPhaseLead;
    startTurnClock(false);
    if (!g.HeldLead.isEmpty()) {
        const QByteArray held = std::exchange(g.HeldLead, QByteArray());
        if (RoomUser* u = chairs_[g.TurnChair]) onPlayRequest(*u, held);
    }
}

void Table::onPlayRequest(RoomUser& u, const QByteArray& msg)
{
    GameRound& g = game_;
    if (!g.Running || u.Chair < 0) return;
    const uint8_t chair = uint8_t(u.Chair);
    if (g.Dealing) {
        // The lead may be quicker than the others' deal requests: its play waits for them.
        if (chair == g.TurnChair) g.HeldLead = msg;
        else refuse(chair, QStringLiteral("错误提示：还没有轮到你出牌！"), {});
        return;
    }
    const auto* b = reinterpret_cast<const uint8_t*>(msg.constData());
    const std::vector<uint8_t> cards(b + 7, b + msg.size());
    if (chair != g.TurnChair || (g.Phase != kPhaseLead && g.Phase != kPhaseFollow)) {
        refuse(chair, QStringLiteral("错误提示：还没有轮到你出牌！"), cards);
        return;
    }
    play(chair, cards);
}

void Table::refuse(uint8_t chair, const QString& reason, const std::vector<uint8_t>& cards)
{
    ++game_.Refusals;
    ++totalRefusals_;
    log(QStringLiteral("refused game=%1 chair=%2 cards=%3 reason=%4").arg(game_.No).arg(chair).arg(CardsText(cards), reason));
    if (RoomUser* u = chairs_[chair]) sendTo(*u, BuildOutPaiRefused(reason));
}

void Table::play(uint8_t chair, const std::vector<uint8_t>& cards)
{
    GameRound& g = game_;
    const bool pass = cards.size() == 1 && cards[0] == kPassCode;
    if (pass) {
        if (g.Phase == kPhaseLead) {
            refuse(chair, QStringLiteral("错误提示：你是首家，必须出牌！"), cards);
            return;
        }
        ++g.Passes;
        g.OutPai[chair] = cards;
        afterPass(chair);
        return;
    }
    std::vector<uint8_t> hand = g.Hands[chair];
    if (!TakeFromHand(hand, cards)) {
        refuse(chair, QStringLiteral("错误提示：你手里没有这些牌！"), cards);
        return;
    }
    const std::vector<uint8_t> sorted = SortedDesc(cards);
    QString reason;
    PaiXingInfo info;
    const bool ok = g.Phase == kPhaseLead
                        ? CheckFirstOutPai(sorted.data(), int(sorted.size()), reason, info)
                        : CheckFollowOutPai(sorted.data(), int(sorted.size()), g.MaxOutPai, g.ShuangShunPlayed, reason, info);
    if (!ok) {
        refuse(chair, reason, cards);
        return;
    }
    turnClock_.stop();
    if (g.Phase == kPhaseLead) {
        g.OutPai = {};
        g.ShuangShunPlayed = false;
    }
    g.Hands[chair] = std::move(hand);
    g.OutPai[chair] = sorted;
    info[0] = chair;
    g.MaxOutPai = info;
    if (info[1] == PX_ShuangShun) g.ShuangShunPlayed = true;
    const int32_t fen = CountFenPai(sorted.data(), int(sorted.size()));
    g.TrickFen += fen;
    g.Passes = 0;
    ++g.Plays;
    if (g.Hands[chair].empty()) g.MingCi[chair] = g.NextPlace++;
    const bool over = g.MingCi[chair] && g.MingCi[Partner(chair)];
    const uint8_t next = nextActive(chair);
    const uint8_t phase = over ? kPhaseNone : kPhaseFollow;
    log(QStringLiteral("play game=%1 chair=%2 cards=%3 type=%4 fen=%5 next=%6 phase=%7 place=%8 left=%9")
            .arg(g.No).arg(chair).arg(CardsText(sorted), GetPaiXingName(info[1])).arg(fen).arg(next).arg(phase)
            .arg(g.MingCi[chair]).arg(g.Hands[chair].size()));
    g.TurnChair = next;
    g.Phase = phase;
    broadcast(BuildOutPaiNotice(next, phase, g.MingCi[chair], chair, sorted));
    if (over) endGame(chair);
    else startTurnClock(false);
}

void Table::afterPass(uint8_t chair)
{
    GameRound& g = game_;
    turnClock_.stop();
    const uint8_t maxChair = g.MaxOutPai[0];
    int others = 0;
    for (uint8_t c = 0; c < 4; ++c)
        if (c != maxChair && active(c)) ++others;
    if (g.Passes < others) {
        const uint8_t next = nextActive(chair);
        log(QStringLiteral("pass game=%1 chair=%2 next=%3 phase=2").arg(g.No).arg(chair).arg(next));
        g.TurnChair = next;
        broadcast(BuildOutPaiNotice(next, kPhaseFollow, 0, chair, {kPassCode}));
        startTurnClock(false);
        return;
    }
    // Everybody still in play passed: the biggest play wins the trick; its chair leads, or its
    // partner when it has gone out.
    const uint8_t lead = active(maxChair) ? maxChair : (active(Partner(maxChair)) ? Partner(maxChair) : nextActive(maxChair));
    g.TeamScore[size_t(SideOf(maxChair))] += g.TrickFen;
    log(QStringLiteral("pass game=%1 chair=%2 next=%3 phase=1").arg(g.No).arg(chair).arg(lead));
    log(QStringLiteral("trick game=%1 winner=%2 fen=%3 lead=%4 score=%5,%6")
            .arg(g.No).arg(maxChair).arg(g.TrickFen).arg(lead).arg(g.TeamScore[0]).arg(g.TeamScore[1]));
    g.TrickFen = 0;
    g.Passes = 0;
    g.MaxOutPai = {};
    g.ShuangShunPlayed = false;
    g.TurnChair = lead;
    g.Phase = kPhaseLead;
    broadcast(BuildOutPaiNotice(lead, kPhaseLead, 0, chair, {kPassCode}));
    g.OutPai = {};
    startTurnClock(true);
}

uint8_t Table::nextActive(uint8_t chair) const
{
    for (int k = 1; k <= 4; ++k) {
        const uint8_t c = uint8_t((chair + k) & 3);
        if (active(c)) return c;
    }
    return chair;
}

void Table::endGame(uint8_t lastChair)
{
    GameRound& g = game_;
    turnClock_.stop();
    // The unfinished trick goes to the side that made its biggest play.
    g.TeamScore[size_t(SideOf(g.MaxOutPai[0]))] += g.TrickFen;
    g.TrickFen = 0;
    const int winner = g.TeamScore[0] == g.TeamScore[1] ? -1 : (g.TeamScore[0] > g.TeamScore[1] ? 0 : 1);
    std::array<int32_t, 4> changes{};
    for (int c = 0; c < 4; ++c) changes[size_t(c)] = winner < 0 ? 0 : (SideOf(uint8_t(c)) == winner ? stake_ : -stake_);
    std::array<CardList, 4> left;
    QStringList leftText;
    int32_t leftFen = 0;
    for (int c = 0; c < 4; ++c) {
        left[size_t(c)] = SortedDesc(g.Hands[size_t(c)]);
        leftText.append(CardsText(left[size_t(c)]));
        leftFen += CountFenPai(left[size_t(c)].data(), int(left[size_t(c)].size()));
    }
    log(QStringLiteral("over game=%1 last=%2 changes=%3 score=%4,%5 leftfen=%6 left=%7")
            .arg(g.No).arg(lastChair).arg(Joined(changes)).arg(g.TeamScore[0]).arg(g.TeamScore[1]).arg(leftFen)
            .arg(leftText.join(QLatin1Char('|'))));
    broadcast(BuildGameOver(true, changes, g.TeamScore, left));

    for (int c = 0; c < 4; ++c) {
        RoomUser* u = chairs_[size_t(c)];
        if (!u) continue;
        u->Score += changes[size_t(c)];
        ++u->Games;
        if (changes[size_t(c)] > 0) ++u->Won;
        else if (changes[size_t(c)] < 0) ++u->Lost;
        else ++u->Drawn;
        if (u->Dropped) {
            u->Score -= penalty_;
            log(QStringLiteral("escape game=%1 chair=%2 name=%3 penalty=%4").arg(g.No).arg(c).arg(u->Name).arg(penalty_));
        }
    }
    for (uint8_t c = 0; c < 4; ++c)
        if (g.MingCi[c] == 1) nextLead_ = c;
    g.Running = false;
    g.Phase = kPhaseNone;
    ++gamesPlayed_;
    emit gameOver(g.No);
    afterGame();
}

void Table::afterGame()
{
    // The players whose connection went leave now; their chairs wait for people again.
    std::vector<RoomUser*> gone;
    for (RoomUser* u : chairs_)
        if (u && u->Dropped) gone.push_back(u);
    for (RoomUser* u : gone) {
        const QString name = u->Name;
        log(QStringLiteral("leave chair=%1 name=%2").arg(u->Chair).arg(name));
        removeUser(u);
        broadcast(BuildUserOut(name));
    }
    if (opt_.games > 0 && gamesPlayed_ >= opt_.games) {
        emit allGamesPlayed();
        return;
    }
    // A short pause lets the people at the table see the end before the bots are ready again.
    pauseClock_.start(opt_.botDelayMs * 3);
}

void Table::startTurnClock(bool trickJustWon)
{
    turnClock_.start(opt_.turnSeconds * 1000 + kGraceMs + (trickJustWon ? kTrickPauseMs : 0));
}

void Table::onTurnTimeout()
{
    GameRound& g = game_;
    if (!g.Running || g.Dealing) return;
    const uint8_t chair = g.TurnChair;
    log(QStringLiteral("timeout game=%1 chair=%2").arg(g.No).arg(chair));
    if (g.Phase == kPhaseFollow) play(chair, {kPassCode});
    else if (g.Phase == kPhaseLead && active(chair)) play(chair, {LowestCard(g.Hands[chair])});
}

QByteArray Table::snapshotFor(int viewChair, uint8_t canSeePai) const
{
    const GameRound& g = game_;
    SnapshotGame s;
    s.CanSeePai = canSeePai;
    s.DeckCount = uint8_t(opt_.decks);
    s.TurnSeconds = uint8_t(opt_.turnSeconds);
    s.TurnChair = g.TurnChair;
    s.GamePhase = g.Phase == kPhaseNone ? kPhaseLead : g.Phase;
    s.ShuangShunPlayed = g.ShuangShunPlayed ? 1 : 0;
    for (int i = 0; i < 2; ++i) s.TeamScore[size_t(i)] = uint16_t(std::clamp(g.TeamScore[size_t(i)], 0, 65535));
    s.TrickFen = uint16_t(std::clamp(g.TrickFen, 0, 65535));
    s.MaxOutPai = g.MaxOutPai.b;
    s.MingCi = g.MingCi;
    for (size_t c = 0; c < 4; ++c) {
        s.PaiCount[c] = uint8_t(g.Hands[c].size());
        s.OutPai[c] = g.OutPai[c];
    }
    s.MyPai = g.Hands[size_t(viewChair & 3)];
    return BuildSnapshotGame(s);
}
