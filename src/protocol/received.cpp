#include "protocol/received.h"

#include "protocol/bytereader.h"

namespace {

using Cards = std::vector<uint8_t>;

// RM_GAME_SET's fields that the client reads.
enum GameSetField : int {
    GS_Owner = 3,       // above 0: this client owns the table
    GS_Round = 5,       // above 0: a settings round
    GS_Decided = 6,     // 0: the owner has not set the table up yet
    GS_Settings = 7,    // the settings text starts here
};

// RM_HAND_UP's sub-codes above this lower every hand (the game starts).
constexpr uint8_t kHandUpLowersAll = 1;

// The fields of a relayed chat message that the pane shows.
constexpr int kChatFirstShown = 2;
constexpr int kChatShownCount = 8;

// GM_GAME_OVER's byte 1 when the score changes come first.
constexpr uint8_t kGameOverWithChanges = 1;

QString JoinFrom(const QStringList& f, int first)
{
    return f.size() > first ? f.mid(first).join(QLatin1Char('`')) : QString();
}

MsgPayload DecodeStart(const QByteArray& msg)
{
    StartMsg m;
    ByteReader r(msg, 3);
    r.byte(m.autoOutLimit);
    ByteReader settings(msg, 11);
    uint8_t decks = 0;
    if (!settings.byte(decks) || !IsWireDeckCount(decks)) return m;
    m.deckCount = decks;
    settings.byte(m.showLeftPai);
    settings.byte(m.turnSeconds);
    m.settingsValid = true;
    m.leadValid = settings.byte(m.leadChair) && IsWireChair(m.leadChair);
    if (!m.leadValid) m.leadChair = 0;
    return m;
}

MsgPayload DecodeDeal(const QByteArray& msg)
{
    DealMsg m;
    ByteReader r(msg, 2);
    r.byte(m.showPartner);
    r.cards(int(r.left()), m.cards);
    return m;
}

MsgPayload DecodeOutPai(ByteReader r)
{
    OutPaiMsg m;
    uint8_t n = 0;
    if (!r.byte(m.next) || !IsWireChair(m.next) || !r.byte(m.phase) || !r.byte(m.mingCi) || !r.byte(m.chair) ||
        !IsWireChair(m.chair) || !r.byte(n))
        return {};
    if (!IsWirePhase(m.phase) || !IsWirePlace(m.mingCi)) return {};
    if (!r.cards(n, m.cards) || m.cards.empty()) return {};
    return m;
}

MsgPayload DecodeGameOver(const QByteArray& msg)
{
    GameOverMsg m;
    ByteReader r(msg, 2);
    m.withChanges = uint8_t(msg[1]) == kGameOverWithChanges;
    if (m.withChanges) {
        for (int32_t& v : m.changes)
            if (!r.be32(v)) return m;
        m.changesRead = true;
    }
    if (!r.be32(m.teamScore[0]) || !r.be32(m.teamScore[1])) return m;
    m.scoresRead = true;
    for (Cards& left : m.leftPai) {
        if (!r.countedCards(left)) return m;
        ++m.leftRead;
    }
    return m;
}

MsgPayload DecodeHands(const QByteArray& msg)
{
    HandsMsg m;
    ByteReader r(msg, 2);
    if (!r.countedCards(m.mine) || !r.countedCards(m.partner)) return {};
    return m;
}

template <class T>
MsgPayload ChairMsg(const QByteArray& msg, int at, T m)
{
    ByteReader r(msg, at);
    if (!r.byte(m.chair) || !IsWireChair(m.chair)) return {};
    return m;
}

MsgPayload DecodeDaoJuUsed(const QByteArray& msg)
{
    DaoJuUsedMsg m;
    ByteReader r(msg, 2);
    if (!r.byte(m.fromUser) || !r.byte(m.toUser) || !r.be32(m.itemId)) return {};
    return m;
}

// A text body whose bytes did not decode is lost, not empty.
MsgPayload DaoJuText(const ParsedMsg& pm, const QByteArray& msg)
{
    if (pm.text.isEmpty() && msg.size() > pm.shape->textStart) return {};
    return DaoJuTextMsg{pm.text};
}

MsgPayload DecodeServerPayload(const ParsedMsg& pm, const QByteArray& msg)
{
    const QStringList& f = pm.fields;
    switch (pm.kind) {
    case MsgKind::Start: return DecodeStart(msg);
    case MsgKind::Deal: return DecodeDeal(msg);
    case MsgKind::OutPai: return DecodeOutPai(ByteReader(msg, 2));
    case MsgKind::OutPaiRefused: return RefusedMsg{pm.text};
    case MsgKind::GameOver: return DecodeGameOver(msg);
    case MsgKind::Hands: return DecodeHands(msg);
    case MsgKind::Quit: return ChairMsg(msg, 2, QuitMsg{0, pm.text});
    case MsgKind::Ready: return ChairMsg(msg, 1, ReadyMsg{});
    case MsgKind::SeePai: return SeePaiMsg{msg[2] != 0};

    case MsgKind::PangGuanIn:
    case MsgKind::UserIn: return UserRowMsg{pm.text, f};
    case MsgKind::Reset: return ResetMsg{};
    case MsgKind::UserList: return UserListMsg{pm.text};
    case MsgKind::Identity: return IdentityMsg{f[0], f[1]};
    case MsgKind::ShowWindow: return ShowWindowMsg{msg[2] == 0};
    case MsgKind::UserBack:
    case MsgKind::UserDropped:
    case MsgKind::PangGuanOut:
    case MsgKind::UserMark:
    case MsgKind::UserOut: return UserNameMsg{pm.text};
    case MsgKind::GameSet:
        // Six fields are enough for a round; a missing decision reads as none yet.
        return GameSetMsg{f[GS_Owner], f[GS_Round], f.value(GS_Decided), JoinFrom(f, GS_Settings)};
    case MsgKind::HandUp:
        return HandUpMsg{f[0], f.size() >= 2, JoinFrom(f, 1), msg.size() > 1 && uint8_t(msg[1]) > kHandUpLowersAll};
    case MsgKind::Notice: return NoticeMsg{pm.text};
    case MsgKind::TableSnapshot: return DecodeTableSnapshot(msg);

    case MsgKind::Chat: return ChatMsg{f.mid(kChatFirstShown, kChatShownCount)};
    case MsgKind::DaoJuList:
    case MsgKind::MyDaoJuList:
    case MsgKind::DaoJuNotice: return DaoJuText(pm, msg);
    case MsgKind::DaoJuUsed: return DecodeDaoJuUsed(msg);
    default: return {};
    }
}

ReceivedMsg Decode(const QByteArray& msg, Sender from)
{
    const ParsedMsg pm = ParseMessage(msg, from);
    ReceivedMsg out;
    out.kind = pm.kind;
    out.route = pm.route;
    out.fits = pm.fits;
    if (!pm.fits) return out;
    if (from == Sender::Server) {
        out.body = DecodeServerPayload(pm, msg);
    } else if (pm.kind == MsgKind::OutPaiReq) {
        ByteReader r(msg, 5);
        PlayReqMsg m;
        uint8_t n = 0;
        if (r.byte(m.chair) && r.byte(n) && r.cards(n, m.cards)) out.body = std::move(m);
    } else {
        out.body = pm;
    }
    return out;
}

}  // namespace

bool DealMsg::split(int handCount, Cards& mine, Cards& partner) const
{
    mine.clear();
    partner.clear();
    const size_t n = size_t(std::max(handCount, 0));
    if (cards.size() != (showPartner != 0 ? 2 * n : n)) return false;
    mine.assign(cards.begin(), cards.begin() + long(n));
    if (showPartner != 0) partner.assign(cards.begin() + long(n), cards.end());
    return true;
}

ReceivedMsg DecodeServerMsg(const QByteArray& msg) { return Decode(msg, Sender::Server); }
ReceivedMsg DecodeClientMsg(const QByteArray& msg) { return Decode(msg, Sender::Client); }

TableSnapshotMsg DecodeTableSnapshot(const QByteArray& msg)
{
    return DecodeTableSnapshot(reinterpret_cast<const uint8_t*>(msg.constData()), msg.size());
}

TableSnapshotMsg DecodeTableSnapshot(const uint8_t* msg, qsizetype len)
{
    using L = TableSnapshotMsg::Layout;
    TableSnapshotMsg s;
    if (!msg || len < 3) return s;
    ByteReader r(msg, len, 4);
    // Counts a field that arrived whole and in range; the first that did not ends the decoding.
    const auto got = [&s](bool ok) {
        if (ok) ++s.fieldsRead;
        return ok;
    };
    uint8_t v = 0;
    if (msg[2] == 0) {
        s.layout = L::Idle;
        for (bool& raised : s.handRaised) {
            if (!got(r.byte(v))) return s;
            raised = v != 0;
        }
        got(r.byte(s.canSeePai));
        return s;
    }
    s.layout = L::Game;
    if (!got(r.byte(s.canSeePai))) return s;
    if (!got(r.byte(v) && IsWireDeckCount(v))) return s;
    s.deckCount = v;
    if (!got(r.byte(s.showLeftPai)) || !got(r.byte(s.turnSeconds))) return s;
    if (!got(r.byte(v) && IsWireChair(v))) return s;
    s.turnChair = v;
    if (!got(r.byte(v) && IsWirePhase(v))) return s;
    s.gamePhase = v;
    if (!got(r.byte(v))) return s;
    s.shuangShunPlayed = v != 0;
    if (!got(r.be16(s.teamScore[0])) || !got(r.be16(s.teamScore[1])) || !got(r.be16(s.trickFen))) return s;
    for (uint8_t& b : s.maxOutPai)
        if (!got(r.byte(b))) return s;
    for (uint8_t& place : s.mingCi) {
        if (!got(r.byte(v) && IsWirePlace(v))) return s;
        place = v;
    }
    for (uint8_t& count : s.paiCount) {
        if (!got(r.byte(v) && v <= HandCountOf(s.deckCount))) return s;
        count = v;
    }
    for (Cards& played : s.outPai)
        if (!got(r.countedCards(played))) return s;
    if (!got(r.countedCards(s.myPai))) return s;
    if (!got(r.byte(s.showPartnerPai))) return s;
    got(s.showPartnerPai == 0 || r.countedCards(s.partnerPai));
    return s;
}
