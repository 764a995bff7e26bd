#include "server/table.h"

#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <random>

#include "platform/core/clock.h"
#include "protocol/received.h"
#include "server/botseat.h"

namespace {

constexpr uint8_t kHandUpRaise = 1, kHandUpLast = 2;   // 112's sub-code; above 1 lowers every hand after it
const QString kEverybody = QStringLiteral("所有人");

enum ChatField { CF_Sender, CF_Target, CF_SenderShown, CF_TargetShown, CF_Text, CF_Colour, CF_Bold, CF_Whisper };

}  // namespace

Table::Table(const RoomOptions& options, QObject* parent)
    : QObject(parent), opt_(options), game_(*this, options), peerLog_([this](const QString& line) { log(line); })
{
    if (opt_.settingsRound && opt_.humans > 0) settings_ = SettingsRound::WaitingOwner;
    pauseClock_.setSingleShot(true);
    connect(&pauseClock_, &ClockTimer::timeout, this, [this] {
        offerStartToAll();
        reviewIdle();
    });
    idle_.expired = [this](int id) { closeIdle(id); };
}

Table::~Table() = default;

// ---- Users ---------------------------------------------------------------------------------

void Table::log(const QString& line)
{
    // Names, chat and item texts come from peers: none of them may start a line of its own.
    if (logLine) logLine(LogSafe(line));
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
    // A chair kept for people that a bot takes over plays at the default level. The bots' guesses
    // come from their own generators, so a seed gives the same deals whatever they draw.
    const std::vector<int> kept = peopleChairs();
    const bool forPeople = std::find(kept.begin(), kept.end(), int(chair & 3)) != kept.end();
    const BotLevel level = forPeople ? RoomOptions().botLevels[chair & 3] : opt_.botLevels[chair & 3];
    const uint32_t seed = opt_.seed ? *opt_.seed * 4 + chair : std::random_device{}();
    return new BotSeat([this](Seat* from, const QByteArray& msg) { receive(from, msg); }, chair, name, opt_.botDelayMs,
                       level, seed, this);
}

std::vector<int> Table::peopleChairs() const
{
    // Two people sit as partners unless asked otherwise: friends at one table play together.
    static constexpr std::array<int, 4> partners{0, 2, 1, 3}, across{0, 1, 2, 3};
    const auto& order = opt_.opponents ? across : partners;
    return {order.begin(), order.begin() + std::clamp(opt_.humans, 0, 4)};
}

void Table::seatBots()
{
    const std::vector<int> kept = peopleChairs();
    for (int c = 0; c < 4; ++c) {
        if (chairs_[size_t(c)] || std::find(kept.begin(), kept.end(), c) != kept.end()) continue;
        auto u = std::make_unique<RoomUser>();
        u->Name = uniqueName(QStringLiteral("机器人%1").arg(++botsMade_));
        u->Chair = c;
        u->Id = nextUserId_++;
        u->IconNo = 1 + c;
        u->bot = newBot(uint8_t(c), u->Name);
        u->seat = u->bot;
        u->Items = StarterItems(QDateTime::currentDateTime());
        loadRecord(*u);
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
    if (RoomUser* back = droppedChair(seat->origin())) {
        rejoin(*back, seat, allowPangGuan);
        return;
    }
    auto u = std::make_unique<RoomUser>();
    u->seat = seat;
    u->Origin = seat->origin();
    u->AllowPangGuan = allowPangGuan ? 1 : 0;
    u->Id = nextUserId_++;
    u->Items = StarterItems(QDateTime::currentDateTime());
    int chair = -1, k = 0;
    const std::vector<int> kept = peopleChairs();
    for (; k < int(kept.size()); ++k)
        if (!chairs_[size_t(kept[size_t(k)])]) {
            chair = kept[size_t(k)];
            break;
        }
    if (chair >= 0) {
        // A kept chair always gives its person the same name: whoever comes back is known again.
        const QString wanted = k < opt_.names.size() ? opt_.names[k]
                                                      : opt_.names.value(0, QStringLiteral("玩家")) + QString::number(k + 1);
        u->Name = uniqueName(wanted);
        u->Chair = chair;
        u->IconNo = 1000 + 1 + (k % 4);
        loadRecord(*u);
        chairs_[size_t(chair)] = u.get();
    } else {
        u->Name = uniqueName(QStringLiteral("旁观者%1").arg(++spectatorsMade_));
        u->WatchedChair = opt_.watchChair & 3;
        u->IconNo = 1;
    }
    RoomUser& ref = *u;
    users_.push_back(std::move(u));
    if (ref.Chair >= 0) log(QStringLiteral("join chair=%1 name=%2").arg(ref.Chair).arg(ref.Name));
    else log(QStringLiteral("watch name=%1 chair=%2").arg(ref.Name).arg(ref.WatchedChair));
    sendWelcome(ref);
    // The chair's spectators follow what its new person lets them see.
    if (ref.Chair >= 0) setAllowPangGuan(ref, ref.AllowPangGuan);
    reviewIdle();
}

RoomUser* Table::droppedChair(const QString& origin) const
{
    // Anyone could say hello while a chair is held for its person: only the person's origin gets
    // the chair and the hand back, and only in the game the person dropped from.
    if (!game_.running()) return nullptr;
    for (int c : peopleChairs())
        if (RoomUser* u = chairs_[size_t(c)];
            u && u->Dropped && u->Origin == origin && u->DroppedInGame == game_.state().No)
            return u;
    return nullptr;
}

void Table::rejoin(RoomUser& u, Seat* seat, uint8_t allowPangGuan)
{
    // The bot gives the chair back; a move it still has planned comes from a seat nobody holds.
    if (u.bot) u.bot->deleteLater();
    u.bot = nullptr;
    u.seat = seat;
    u.Dropped = false;
    u.DroppedInGame = 0;
    u.Escapes = std::max(0, u.Escapes - 1);   // back before the end: not an escape
    log(QStringLiteral("back game=%1 chair=%2 name=%3").arg(game_.state().No).arg(u.Chair).arg(u.Name));
    sendTo(u, BuildIdentity(u.Name, u.Name));
    sendTo(u, userList());
    broadcast(BuildUserState(RM_USER_BACK, u.Name), &u);
    sendTo(u, BuildDaoJuText(DJ_LIST, CatalogueText()));
    sendTo(u, BuildDaoJuText(DJ_MY_LIST, OwnedItemsText(u.Items)));
    sendTo(u, game_.snapshotFor(u.Chair, 1));
    setAllowPangGuan(u, allowPangGuan ? 1 : 0);
}

void Table::sendWelcome(RoomUser& u)
{
    const RoomUser* watched = u.Chair < 0 ? chairs_[size_t(u.WatchedChair)] : &u;
    sendTo(u, BuildIdentity(u.Name, watched ? watched->Name : u.Name));
    sendTo(u, userList());
    broadcast(u.Chair >= 0 ? BuildUserIn(userRow(u)) : BuildPangGuanIn(userRow(u)), &u);
    sendTo(u, BuildDaoJuText(DJ_LIST, CatalogueText()));
    sendTo(u, BuildDaoJuText(DJ_MY_LIST, OwnedItemsText(u.Items)));
    if (u.Chair < 0) {
        const uint8_t canSee = handShownTo(u) ? 1 : 0;
        if (game_.running()) {
            sendTo(u, game_.snapshotFor(u.WatchedChair, canSee));
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
    if (game_.running() || u.Chair < 0 || pauseClock_.isActive()) return;
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

bool Table::peopleReady() const
{
    return std::all_of(chairs_.begin(), chairs_.end(), [](const RoomUser* c) { return c && (c->bot || c->Ready); });
}

void Table::releaseHeldHands()
{
    if (!peopleReady()) return;
    std::vector<RoomUser*> held;
    for (RoomUser* u : chairs_)
        if (u && u->HandHeld) held.push_back(u);
    for (RoomUser* u : held) {
        u->HandHeld = false;
        raiseHand(*u);
    }
}

void Table::raiseHand(RoomUser& u, const QString& settings)
{
    if (game_.running() || u.Chair < 0 || u.Ready) return;
    // A raised hand starts the start countdown of everybody who has not raised one: bots, ready at
    // once, wait for the people so nobody is hurried out while reading the last game's end.
    if (u.bot && !peopleReady()) {
        u.HandHeld = true;
        return;
    }
    u.Ready = true;
    const bool all = std::all_of(chairs_.begin(), chairs_.end(), [](const RoomUser* c) { return c && c->Ready; });
    log(QStringLiteral("ready chair=%1 name=%2").arg(u.Chair).arg(u.Name));
    // The ready first: the last hand's 112 lowers every hand, and nothing may raise one after it.
    broadcast(BuildReady(uint8_t(u.Chair)));
    broadcast(BuildHandUp(all ? kHandUpLast : kHandUpRaise, u.Name, settings));
    if (all) game_.start();
    else if (!u.bot) releaseHeldHands();
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
    if (game_.running()) {
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
    reviewIdle();
}

void Table::takeOver(RoomUser& u)
{
    u.Dropped = true;
    u.DroppedInGame = game_.state().No;
    ++u.Escapes;
    log(QStringLiteral("drop game=%1 chair=%2 name=%3 bot plays on").arg(game_.state().No).arg(u.Chair).arg(u.Name));
    broadcast(BuildUserState(RM_USER_DROPPED, u.Name));
    u.bot = newBot(uint8_t(u.Chair), u.Name);
    u.seat = u.bot;
    const bool allDealt = game_.skipDeal(uint8_t(u.Chair));
    u.bot->deliver(game_.snapshotFor(u.Chair, 1));
    if (allDealt) QTimer::singleShot(0, this, [this] { game_.finishDealing(); });
}

// ---- Messages from the seats ---------------------------------------------------------------

void Table::receive(Seat* seat, const QByteArray& msg)
{
    RoomUser* u = userOf(seat);
    if (!u) return;
    const ReceivedMsg r = DecodeClientMsg(msg);
    if (const PlayReqMsg* play = r.as<PlayReqMsg>()) {
        if (u->Chair >= 0) game_.onPlayRequest(uint8_t(u->Chair), play->cards);
        return;
    }
    const ParsedMsg* pm = r.as<ParsedMsg>();
    if (!pm) return;
    const ParsedMsg& m = *pm;
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
        if (game_.running() && u->Chair >= 0) game_.answerDeal(uint8_t(u->Chair));
        break;
    case MsgKind::HandsReq:
        if (game_.running() && u->Chair >= 0) sendTo(*u, game_.handsFor(uint8_t(u->Chair)));
        break;
    case MsgKind::JoinGame:
    case MsgKind::Hello:
    default:
        break;
    }
    if (userOf(seat) == u) reviewIdle();
}

void Table::onGameSetDone(RoomUser& u, const QStringList& fields)
{
    if (settings_ != SettingsRound::WaitingOwner || &u != owner() || fields.size() != 7) return;
    // The owner's values, kept within the limits this table offered.
    stake_ = std::clamp(fields[1].toInt(), stakeMin_, stakeMax_);
    penalty_ = std::clamp(fields[4].toInt(), penaltyMin_, penaltyMax_);
    settings_ = SettingsRound::Decided;
    game_.setStake(stake_);
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
    bool firstRefusal = false;
    const ChatVerdict verdict = chatGuard_.admit(&u, fields, ClockNowMs(), firstRefusal);
    const QString who = QStringLiteral("chat from=%1").arg(u.Name);
    if (verdict != ChatVerdict::Relay) {
        if (firstRefusal)
            peerLog_.write(QString::number(u.Id), who,
                           QStringLiteral("chat refused from=%1 %2").arg(u.Name, verdict == ChatVerdict::TooLong
                                                                                ? QStringLiteral("too long")
                                                                                : QStringLiteral("too fast")));
        return;
    }
    const QByteArray msg = BuildChat(fields);
    if (fields[CF_Whisper] == QLatin1String("1") && fields[CF_Target] != kEverybody) {
        // A whisper goes to its one target, or to nobody: never to the table.
        const auto target = std::find_if(users_.begin(), users_.end(), [&](const auto& o) { return o->Name == fields[CF_Target]; });
        if (target == users_.end()) {
            peerLog_.write(QString::number(u.Id), who, QStringLiteral("chat refused from=%1 nobody named %2").arg(u.Name, fields[CF_Target]));
            sendTo(u, BuildNotice(QStringLiteral("%1 不在本桌，悄悄话没有发出。").arg(fields[CF_Target])));
            return;
        }
        log(QStringLiteral("chat from=%1 to=%2 text=%3").arg(u.Name, fields[CF_Target], Clipped(fields[CF_Text], kLoggedChatChars)));
        RoomUser& other = **target;
        sendTo(other, msg);
        if (&other != &u) sendTo(u, msg);
        return;
    }
    log(QStringLiteral("chat from=%1 to=%2 text=%3").arg(u.Name, fields[CF_Target], Clipped(fields[CF_Text], kLoggedChatChars)));
    broadcast(msg);
}

void Table::onBuy(RoomUser& u, const QString& idText)
{
    bool bought = false;
    const QDateTime now = QDateTime::currentDateTime();
    const QString notice = BuyItem(u.Items, idText, now, bought);
    log(QStringLiteral("buy name=%1 item=%2 %3").arg(u.Name, idText, bought ? QStringLiteral("ok") : QStringLiteral("refused")));
    // A player's items are kept; a spectator's name is the room's own and lasts one visit.
    if (bought && records_ && u.Chair >= 0) records_->purchase(u.Name, idText.trimmed().toInt(), now, u.Items);
    sendTo(u, BuildDaoJuText(DJ_NOTICE, notice));
    if (bought) sendTo(u, BuildDaoJuText(DJ_MY_LIST, OwnedItemsText(u.Items)));
}

void Table::onSeePaiSetting(RoomUser& u, const QStringList& fields)
{
    if (u.Chair < 0) return;
    setAllowPangGuan(u, fields.value(1).toInt() != 0 ? 1 : 0);
    log(QStringLiteral("see-cards chair=%1 allow=%2").arg(u.Chair).arg(u.AllowPangGuan));
}

// ---- The game's needs ------------------------------------------------------------------------

void Table::setNextDeal(std::vector<uint8_t> deck, uint8_t leadChair, int no)
{
    game_.setNextDeal(std::move(deck), leadChair, no);
}

void Table::sendToChair(uint8_t chair, const QByteArray& msg)
{
    if (RoomUser* u = chairs_[chair & 3]) sendTo(*u, msg);
}

QString Table::chairName(uint8_t chair) const
{
    const RoomUser* u = chairs_[chair & 3];
    return u ? u->Name : QString();
}

void Table::gameStarting()
{
    for (RoomUser* u : chairs_) u->Ready = u->HandHeld = false;
    settings_ = SettingsRound::None;   // later games keep the values of the first
    reviewIdle();
}

void Table::gameEnded(int no, const std::array<int32_t, 4>& changes)
{
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
            log(QStringLiteral("escape game=%1 chair=%2 name=%3 penalty=%4").arg(no).arg(c).arg(u->Name).arg(penalty_));
        }
    }
    // The list again, so everybody's scores and counts show the game just played.
    broadcast(userList());
    emit gameOver(no);
    afterGame();
}

QByteArray Table::userList() const
{
    QStringList rows;
    for (const auto& u : users_) rows.append(userRow(*u));
    return BuildUserList(rows);
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
    if (opt_.games > 0 && gamesPlayed() >= opt_.games) {
        emit allGamesPlayed();
        return;
    }
    // A short pause lets the people at the table see the end before the bots are ready again.
    pauseClock_.start(opt_.botDelayMs * 3);
    reviewIdle();
}

// ---- The store ------------------------------------------------------------------------------

void Table::setStore(Store* store)
{
    if (records_) records_->close();
    records_.reset(store ? new TableRecords(*store, [this](const QString& l) { log(l); }) : nullptr);
}

void Table::setStake(int stake)
{
    stake_ = std::clamp(stake, stakeMin_, stakeMax_);
    game_.setStake(stake_);
}

void Table::loadRecord(RoomUser& u)
{
    PlayerRecord r;
    if (!records_ || !records_->load(u.Name, r)) return;
    auto fit = [](qint64 v) { return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())); };
    u.Score = fit(r.Score);
    u.Games = fit(r.Games);
    u.Won = fit(r.Won);
    u.Lost = fit(r.Lost);
    u.Drawn = fit(r.Drawn);
    u.Escapes = fit(r.Escapes);
    u.Items = std::move(r.Items);
}

void Table::gameDecided(const GameRound& game, const std::array<int32_t, 4>& changes)
{
    // Kept before the end is announced: a game anybody saw end is in the store, with its scores.
    if (!records_) return;
    std::array<QString, 4> names;
    std::array<bool, 4> escaped{};
    for (int c = 0; c < 4; ++c)
        if (const RoomUser* u = chairs_[size_t(c)]) {
            names[size_t(c)] = u->Name;
            escaped[size_t(c)] = u->Dropped;
        }
    records_->gameOver(RecordOf(game, changes, names, escaped, penalty_, stake_, opt_.decks));
}
