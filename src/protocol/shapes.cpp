#include "protocol/shapes.h"

#include "protocol/codec.h"

namespace {

constexpr int16_t kAny = -1;
constexpr int8_t kBinary = -1;
constexpr int32_t kNoExact = -1;
constexpr int8_t kNoCount = -1;
constexpr int kUserRowFields = 16;

using F = FieldRule;
using S = Sender;
using K = MsgKind;
using R = MsgRoute;

// Every message of the link. Minimum lengths include the code byte; a sub-coded message needs its
// sub-code byte to be identified at all.
const MsgShape kShapes[] = {
    // kind               from       route        code               sub              text     rule        fields  min  exact     countAt   extra name
    {K::PangGuanIn,       S::Server, R::Room,     RM_ROOM,           RM_PANGGUAN_IN,  2,       F::Exact,   kUserRowFields, 2, kNoExact, kNoCount, 0, "RM_PANGGUAN_IN"},
    {K::Reset,            S::Server, R::Room,     RM_ROOM,           RM_RESET,        kBinary, F::None,    0,      2,   kNoExact, kNoCount, 0, "RM_RESET"},
    {K::UserList,         S::Server, R::Room,     RM_ROOM,           RM_USER_LIST,    2,       F::None,    0,      2,   kNoExact, kNoCount, 0, "RM_USER_LIST"},
    {K::Identity,         S::Server, R::Room,     RM_ROOM,           RM_IDENTITY,     2,       F::Exact,   2,      2,   kNoExact, kNoCount, 0, "RM_IDENTITY"},
    {K::UserIn,           S::Server, R::Room,     RM_ROOM,           RM_USER_IN,      2,       F::Exact,   kUserRowFields, 2, kNoExact, kNoCount, 0, "RM_USER_IN"},
    {K::ShowWindow,       S::Server, R::Room,     RM_ROOM,           RM_SHOW_WINDOW,  kBinary, F::None,    0,      3,   kNoExact, kNoCount, 0, "RM_SHOW_WINDOW"},
    {K::UserBack,         S::Server, R::Room,     RM_USER_STATE,     RM_USER_BACK,    2,       F::None,    0,      2,   kNoExact, kNoCount, 0, "RM_USER_BACK"},
    {K::UserDropped,      S::Server, R::Room,     RM_USER_STATE,     RM_USER_DROPPED, 2,       F::None,    0,      2,   kNoExact, kNoCount, 0, "RM_USER_DROPPED"},
    {K::PangGuanOut,      S::Server, R::Room,     RM_USER_STATE,     RM_PANGGUAN_OUT, 2,       F::None,    0,      2,   kNoExact, kNoCount, 0, "RM_PANGGUAN_OUT"},
    {K::UserMark,         S::Server, R::Room,     RM_USER_STATE,     RM_USER_MARK,    2,       F::None,    0,      2,   kNoExact, kNoCount, 0, "RM_USER_MARK"},
    {K::UserOut,          S::Server, R::Room,     RM_USER_OUT,       RM_USER_OUT_SUB, 2,       F::None,    0,      2,   kNoExact, kNoCount, 0, "RM_USER_OUT"},
    {K::GameSet,          S::Server, R::Room,     RM_GAME_SET,       kAny,            2,       F::AtLeast, 6,      1,   kNoExact, kNoCount, 0, "RM_GAME_SET"},
    {K::HandUp,           S::Server, R::Room,     RM_HAND_UP,        kAny,            2,       F::AtLeast, 1,      1,   kNoExact, kNoCount, 0, "RM_HAND_UP"},
    {K::Notice,           S::Server, R::Room,     RM_NOTICE,         kAny,            3,       F::None,    0,      1,   kNoExact, kNoCount, 0, "RM_NOTICE"},
    {K::TableSnapshot,    S::Server, R::Room,     RM_TABLE_SNAPSHOT, kAny,            kBinary, F::None,    0,      1,   kNoExact, kNoCount, 0, "RM_TABLE_SNAPSHOT"},

    {K::Chat,             S::Server, R::Chat,     GM_CHAT,           kAny,            1,       F::AtLeast, 10,     1,   kNoExact, kNoCount, 0, "GM_CHAT"},
    {K::Hands,            S::Server, R::Game,     GM_HANDS,          kAny,            kBinary, F::None,    0,      3,   kNoExact, kNoCount, 0, "GM_HANDS"},
    {K::Quit,             S::Server, R::Game,     GM_QUIT,           kAny,            3,       F::None,    0,      3,   kNoExact, kNoCount, 0, "GM_QUIT"},
    {K::Start,            S::Server, R::Game,     GM_START,          kAny,            kBinary, F::None,    0,      1,   15,       kNoCount, 0, "GM_START"},
    {K::Ready,            S::Server, R::Game,     GM_READY,          kAny,            kBinary, F::None,    0,      1,   2,        kNoCount, 0, "GM_READY"},
    {K::Deal,             S::Server, R::Game,     GM_DEAL,           kAny,            kBinary, F::None,    0,      4,   kNoExact, kNoCount, 0, "GM_DEAL"},
    {K::OutPai,           S::Server, R::Game,     GM_OUTPAI,         kAny,            kBinary, F::None,    0,      8,   kNoExact, 6,        7, "GM_OUTPAI"},
    {K::OutPaiRefused,    S::Server, R::Game,     GM_OUTPAI_REFUSED, kAny,            1,       F::None,    0,      1,   kNoExact, kNoCount, 0, "GM_OUTPAI_REFUSED"},
    {K::GameOver,         S::Server, R::Game,     GM_GAME_OVER,      kAny,            kBinary, F::None,    0,      6,   kNoExact, kNoCount, 0, "GM_GAME_OVER"},
    {K::SeePai,           S::Server, R::Game,     GM_SEE_PAI,        kAny,            kBinary, F::None,    0,      1,   3,        kNoCount, 0, "GM_SEE_PAI"},
    {K::DaoJuList,        S::Server, R::Items,    GM_DAOJU,          DJ_LIST,         2,       F::None,    0,      2,   kNoExact, kNoCount, 0, "GM_DAOJU 0"},
    {K::MyDaoJuList,      S::Server, R::Items,    GM_DAOJU,          DJ_MY_LIST,      2,       F::None,    0,      2,   kNoExact, kNoCount, 0, "GM_DAOJU 1"},
    {K::DaoJuNotice,      S::Server, R::Items,    GM_DAOJU,          DJ_NOTICE,       2,       F::None,    0,      2,   kNoExact, kNoCount, 0, "GM_DAOJU 2"},
    {K::DaoJuUsed,        S::Server, R::Items,    GM_DAOJU,          DJ_USED,         kBinary, F::None,    0,      8,   kNoExact, kNoCount, 0, "GM_DAOJU 3"},

    {K::Hello,            S::Client, R::None,     RM_ROOM,           RM_HELLO,        2,       F::Exact,   3,      2,   kNoExact, kNoCount, 0, "RM_HELLO"},
    {K::JoinGame,         S::Client, R::None,     RM_ROOM,           RM_JOIN_GAME,    kBinary, F::None,    0,      2,   2,        kNoCount, 0, "RM_JOIN_GAME"},
    {K::LeaveTable,       S::Client, R::None,     RM_USER_OUT,       RM_USER_OUT_SUB, 2,       F::Exact,   1,      2,   kNoExact, kNoCount, 0, "RM_USER_OUT"},
    {K::GameSetDone,      S::Client, R::None,     RM_HAND_UP,        RM_GAME_SET_DONE, 2,      F::Exact,   7,      2,   kNoExact, kNoCount, 0, "RM_GAME_SET_DONE"},
    {K::HandUpReq,        S::Client, R::None,     RM_HAND_UP,        RM_HAND_UP_REQ,  2,       F::Exact,   1,      2,   kNoExact, kNoCount, 0, "RM_HAND_UP_REQ"},
    {K::SeePaiSetting,    S::Client, R::None,     GM_SEE_PAI,        GM_SEE_PAI_SETTING, 2,    F::Exact,   2,      2,   kNoExact, kNoCount, 0, "GM_SEE_PAI 1"},
    {K::ChatSend,         S::Client, R::None,     GM_CHAT,           kAny,            1,       F::Exact,   10,     1,   kNoExact, kNoCount, 0, "GM_CHAT"},
    {K::HandsReq,         S::Client, R::None,     GM_HANDS,          kAny,            kBinary, F::None,    0,      1,   3,        kNoCount, 0, "GM_HANDS"},
    {K::ReadyReq,         S::Client, R::None,     GM_READY,          kAny,            kBinary, F::None,    0,      1,   2,        kNoCount, 0, "GM_READY"},
    {K::DealReq,          S::Client, R::None,     GM_DEAL,           kAny,            kBinary, F::None,    0,      1,   2,        kNoCount, 0, "GM_DEAL"},
    {K::OutPaiReq,        S::Client, R::None,     GM_OUTPAI,         kAny,            kBinary, F::None,    0,      8,   kNoExact, 6,        7, "GM_OUTPAI"},
    {K::BuyDaoJu,         S::Client, R::None,     GM_DAOJU,          DJ_LIST,         2,       F::Exact,   1,      2,   kNoExact, kNoCount, 0, "GM_DAOJU 0"},
};
constexpr int kShapeCount = int(sizeof(kShapes) / sizeof(kShapes[0]));

const MsgShape* Identify(const QByteArray& msg, Sender from)
{
    if (msg.isEmpty()) return nullptr;
    const uint8_t code = uint8_t(msg[0]);
    const int sub = msg.size() > 1 ? int(uint8_t(msg[1])) : -1;
    for (const MsgShape& s : kShapes) {
        if (s.from != from || s.code != code) continue;
        if (s.sub == kAny || s.sub == sub) return &s;
    }
    return nullptr;
}

// The side of a code no shape has: codes from 95 on are the room's, those below the round's
// (the items' and the chat's codes are always identified or kept on their side).
MsgRoute RouteOfCode(const QByteArray& msg, Sender from)
{
    constexpr uint8_t kFirstRoomCode = 95;
    if (msg.isEmpty() || from != Sender::Server) return MsgRoute::None;
    const uint8_t code = uint8_t(msg[0]);
    if (code == GM_DAOJU) return MsgRoute::Items;
    if (code == GM_CHAT) return MsgRoute::Chat;
    if (code >= kFirstRoomCode && code != GM_SEE_PAI) return MsgRoute::Room;
    return MsgRoute::Game;
}

bool LengthFits(const MsgShape& s, const QByteArray& msg)
{
    const qsizetype n = msg.size();
    if (n < s.minBytes) return false;
    if (s.exactBytes >= 0 && n != s.exactBytes) return false;
    if (s.countAt >= 0) {
        if (n <= s.countAt) return false;
        if (n != qsizetype(uint8_t(msg[s.countAt])) + s.countExtra) return false;
    }
    return true;
}

}  // namespace

QStringList SplitFields(const QString& text)
{
    if (text.isEmpty()) return QStringList();
    return text.split(QLatin1Char('`'));
}

ParsedMsg ParseMessage(const QByteArray& msg, Sender from)
{
    ParsedMsg r;
    const MsgShape* s = Identify(msg, from);
    if (!s) {
        r.route = RouteOfCode(msg, from);
        return r;
    }
    r.kind = s->kind;
    r.route = s->route;
    r.shape = s;
    if (!LengthFits(*s, msg)) return r;
    if (s->textStart >= 0) {
        r.text = DecodePacketText(msg, s->textStart);
        if (s->rule != FieldRule::None) {
            r.fields = SplitFields(r.text);
            const qsizetype k = r.fields.size();
            if (s->rule == FieldRule::Exact && k != s->fields) return r;
            if (s->rule == FieldRule::AtLeast && k < s->fields) return r;
        }
    }
    r.fits = true;
    return r;
}

bool LacksTextBody(const QByteArray& msg)
{
    const MsgShape* s = Identify(msg, Sender::Client);
    return s && s->textStart >= 0 && msg.size() <= s->textStart;
}

const MsgShape* ShapeOf(MsgKind kind)
{
    for (const MsgShape& s : kShapes)
        if (s.kind == kind) return &s;
    return nullptr;
}

const MsgShape* AllShapes(int& count)
{
    count = kShapeCount;
    return kShapes;
}

int HandCountOf(int deckCount)
{
    return deckCount * 54 / 4;
}

int DealLength(int handCount, bool withPartner)
{
    return (withPartner ? 2 * handCount : handCount) + 3;
}
