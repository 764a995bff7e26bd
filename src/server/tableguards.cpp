// The table's guards against peers that would spoil it for the others: hands kept from the
// spectators a player does not let see them, deadlines for people who hold up the game, and the
// floods and silences of a player's link. The room itself is table.cpp.
#include <algorithm>

#include "protocol/messages.h"
#include "server/hiddenhand.h"
#include "server/table.h"

// ---- Hidden hands ------------------------------------------------------------------------------

bool Table::handShownTo(const RoomUser& watcher) const
{
    if (watcher.Chair >= 0) return true;
    const RoomUser* watched = chairs_[size_t(watcher.WatchedChair & 3)];
    return !watched || watched->AllowPangGuan != 0;
}

void Table::setAllowPangGuan(RoomUser& u, uint8_t allow)
{
    const bool changed = u.AllowPangGuan != allow;
    u.AllowPangGuan = allow;
    if (u.Chair < 0) return;
    const uint8_t chair = uint8_t(u.Chair);
    const bool midGame = changed && game_.running();
    const std::vector<uint8_t> hand = midGame ? game_.handOf(chair) : std::vector<uint8_t>{};
    const size_t partnerCount = midGame ? game_.handOf(PartnerOf(chair)).size() : 0;
    // The cards before the permission, so the client never shows a face it has not got; a hand it
    // already got is replaced by hidden cards right after the refusal.
    for (const auto& w : users_) {
        if (w->Chair >= 0 || w->WatchedChair != u.Chair) continue;
        if (midGame && allow) sendTo(*w, WatcherHands(hand, partnerCount, true));
        sendTo(*w, BuildSeePai(allow != 0));
        if (midGame && !allow) sendTo(*w, WatcherHands(hand, partnerCount, false));
    }
}

void Table::handToWatchers(uint8_t chair, bool dealt)
{
    const std::vector<uint8_t> hand = game_.handOf(chair);
    for (const auto& w : users_) {
        if (w->Chair >= 0 || w->WatchedChair != chair) continue;
        const bool shown = handShownTo(*w);
        if (dealt) sendTo(*w, WatcherDeal(hand, shown));
        // A client takes the played cards out of a hand it can see; one that sees only backs
        // learns how many are left.
        else if (!shown) sendTo(*w, WatcherHands(hand, game_.handOf(PartnerOf(chair)).size(), false));
    }
}

// ---- Idle chairs -------------------------------------------------------------------------------

RoomUser* Table::userById(int id) const
{
    for (const auto& u : users_)
        if (u->Id == id) return u.get();
    return nullptr;
}

void Table::reviewIdle()
{
    std::vector<IdleChairs::Due> due;
    if (!game_.running() && !pauseClock_.isActive()) {
        const RoomUser* own = owner();
        if (settings_ == SettingsRound::WaitingOwner) {
            // Nobody can start before the owner has answered.
            if (own && !own->bot && own->seat) due.push_back({own->Id, opt_.settingsSeconds * 1000});
        } else {
            // A person is waited for once every other person at the table has raised the hand: a
            // bot counts as ready, whether or not its hand is still held back for the people's,
            // and a chair still empty is nobody's.
            int notReady = 0;
            RoomUser* last = nullptr;
            for (RoomUser* c : chairs_)
                if (c && !c->bot && !c->Ready) {
                    ++notReady;
                    last = c;
                }
            if (notReady == 1 && last->seat) due.push_back({last->Id, opt_.readySeconds * 1000});
        }
    }
    idle_.review(due);
}

void Table::closeIdle(int userId)
{
    RoomUser* u = userById(userId);
    if (!u || u->Chair < 0 || u->bot || !u->seat || game_.running()) return;
    log(QStringLiteral("idle chair=%1 name=%2").arg(u->Chair).arg(u->Name));
    idle_.struck(u->Origin);
    closeUser(*u, QStringLiteral("held a kept chair idle"));
}

void Table::closeUser(RoomUser& u, const QString& why)
{
    Seat* seat = u.seat;
    if (!seat || u.bot) return;
    leave(seat);
    seat->close(why);
}

// ---- A player's link ---------------------------------------------------------------------------

void Table::refused(uint8_t chair, const QString& line)
{
    RoomUser* u = chairs_[chair & 3];
    if (!u) {
        log(line);
        return;
    }
    const QString key = QString::number(u->Id);
    peerLog_.write(key, QStringLiteral("chair=%1 name=%2").arg(chair).arg(u->Name), line);
    if (u->bot) return;
    if (refusedMoves_.note(u->Id, ClockNowMs(), opt_.refusedMoves) > opt_.refusedMoves) {
        refusedMoves_.forget(u->Id);
        log(QStringLiteral("flood game=%1 chair=%2 name=%3 refused moves over %4 in 10 s")
                .arg(game_.state().No).arg(chair).arg(u->Name).arg(opt_.refusedMoves));
        closeUser(*u, QStringLiteral("sent refused moves over and over"));
    }
}

void Table::silent(uint8_t chair)
{
    RoomUser* u = chairs_[chair & 3];
    if (!u || u->bot || !u->seat) return;
    log(QStringLiteral("silent game=%1 chair=%2 name=%3 time-outs=%4").arg(game_.state().No).arg(chair).arg(u->Name).arg(opt_.autoOutLimit));
    closeUser(*u, QStringLiteral("let the turn clock run out %1 times in a row").arg(opt_.autoOutLimit));
}
