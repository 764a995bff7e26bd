#include "protocol/messages.h"

#include "protocol/codec.h"

namespace {

QByteArray Header(uint8_t code, uint8_t sub)
{
    QByteArray h;
    h.append(char(code)).append(char(sub));
    return h;
}

QString Joined(std::initializer_list<QString> fields)
{
    return QStringList(fields).join(QLatin1Char('`'));
}

void AppendCards(QByteArray& out, const CardList& cards)
{
    out.append(reinterpret_cast<const char*>(cards.data()), qsizetype(cards.size()));
}

// A count byte, then the cards (at most 255 of them, which no hand comes near).
void AppendCountedCards(QByteArray& out, const CardList& cards)
{
    const size_t n = std::min<size_t>(cards.size(), 255);
    out.append(char(n));
    out.append(reinterpret_cast<const char*>(cards.data()), qsizetype(n));
}

void AppendShortBE(QByteArray& out, uint16_t v)
{
    out.append(char(v >> 8)).append(char(v & 0xFF));
}

}  // namespace

QByteArray TextMessage(const QByteArray& header, const QString& body)
{
    QByteArray out = header;
    BuildPacket(body, out, uint8_t(std::min<qsizetype>(header.size(), 255)), header);
    return out;
}

void AppendLongBE(QByteArray& out, int32_t v)
{
    const uint32_t u = uint32_t(v);
    out.append(char(u >> 24)).append(char(u >> 16)).append(char(u >> 8)).append(char(u));
}

// ---- Client --------------------------------------------------------------------------------

QByteArray BuildHello(uint8_t allowPangGuan)
{
    return TextMessage(Header(RM_ROOM, RM_HELLO),
                       Joined({QString::fromLatin1(kProtocolVersion), QString::fromLatin1(kGameCode),
                               QString::number(allowPangGuan)}));
}

QByteArray BuildJoinGame() { return Header(RM_ROOM, RM_JOIN_GAME); }

QByteArray BuildUserOut(const QString& name) { return TextMessage(Header(RM_USER_OUT, RM_USER_OUT_SUB), name); }

QByteArray BuildGameSetDone(const QString& myName, const QString& settings)
{
    return TextMessage(Header(RM_HAND_UP, RM_GAME_SET_DONE), myName + QLatin1Char('`') + settings);
}

QByteArray BuildHandUpReq(const QString& myName) { return TextMessage(Header(RM_HAND_UP, RM_HAND_UP_REQ), myName); }

QByteArray BuildSeePaiSetting(const QString& myName, uint8_t allowPangGuan)
{
    return TextMessage(Header(GM_SEE_PAI, GM_SEE_PAI_SETTING), myName + QLatin1Char('`') + QString::number(allowPangGuan));
}

QByteArray BuildChat(const QStringList& fields)
{
    return TextMessage(QByteArray(1, char(GM_CHAT)), fields.join(QLatin1Char('`')));
}

QByteArray BuildHandsRequest(uint8_t myChair)
{
    QByteArray m = Header(GM_HANDS, 0);
    m.append(char(myChair));
    return m;
}

QByteArray BuildReady(uint8_t chair) { return Header(GM_READY, chair); }

QByteArray BuildDealRequest(uint8_t myChair) { return Header(GM_DEAL, myChair); }

QByteArray BuildPlay(uint8_t myChair, const CardList& cards)
{
    QByteArray m;
    m.append(char(GM_OUTPAI)).append(4, char(0)).append(char(myChair));
    AppendCountedCards(m, cards);
    return m;
}

QByteArray BuildPass(uint8_t myChair) { return BuildPlay(myChair, CardList{kPassCode}); }

QByteArray BuildBuyDaoJu(int32_t itemId) { return TextMessage(Header(GM_DAOJU, DJ_LIST), QString::number(itemId)); }

// ---- Server --------------------------------------------------------------------------------

QString JoinUserRow(const std::array<QString, UF_Count>& fields)
{
    QStringList l;
    for (const QString& f : fields) l.append(f);
    return l.join(QLatin1Char('`'));
}

QByteArray BuildPangGuanIn(const QString& row) { return TextMessage(Header(RM_ROOM, RM_PANGGUAN_IN), row); }
QByteArray BuildReset() { return Header(RM_ROOM, RM_RESET); }
QByteArray BuildUserList(const QStringList& rows) { return TextMessage(Header(RM_ROOM, RM_USER_LIST), rows.join(QLatin1Char('\n'))); }
QByteArray BuildIdentity(const QString& myName, const QString& viewOwner)
{
    return TextMessage(Header(RM_ROOM, RM_IDENTITY), myName + QLatin1Char('`') + viewOwner);
}
QByteArray BuildUserIn(const QString& row) { return TextMessage(Header(RM_ROOM, RM_USER_IN), row); }

QByteArray BuildShowWindow(bool hide)
{
    QByteArray m = Header(RM_ROOM, RM_SHOW_WINDOW);
    m.append(char(hide ? 1 : 0));
    return m;
}

QByteArray BuildUserState(UserStateSub sub, const QString& name) { return TextMessage(Header(RM_USER_STATE, sub), name); }

QByteArray BuildGameSet(bool owner, int settingsRound, bool decided, const QString& settings)
{
    // Fields 0, 1, 2 and 4 mean nothing to the client; they stay "0".
    QStringList f = {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), owner ? QStringLiteral("1") : QStringLiteral("0"),
                     QStringLiteral("0"), QString::number(settingsRound), decided ? QStringLiteral("1") : QStringLiteral("0")};
    if (!settings.isEmpty()) f.append(settings);
    return TextMessage(Header(RM_GAME_SET, 0), f.join(QLatin1Char('`')));
}

QByteArray BuildHandUp(uint8_t sub, const QString& name, const QString& settings)
{
    return TextMessage(Header(RM_HAND_UP, sub), settings.isEmpty() ? name : name + QLatin1Char('`') + settings);
}

QByteArray BuildNotice(const QString& text)
{
    QByteArray h = Header(RM_NOTICE, 0);
    h.append(char(0));
    return TextMessage(h, text);
}

QByteArray BuildSnapshotIdle(const std::array<bool, 4>& handRaised, uint8_t canSeePai)
{
    QByteArray m = Header(RM_TABLE_SNAPSHOT, 0);
    m.append(char(0)).append(char(0));
    for (bool r : handRaised) m.append(char(r ? 1 : 0));
    m.append(char(canSeePai));
    return m;
}

QByteArray BuildSnapshotGame(const SnapshotGame& s)
{
    QByteArray m = Header(RM_TABLE_SNAPSHOT, 0);
    m.append(char(1)).append(char(0));
    m.append(char(s.CanSeePai)).append(char(s.DeckCount)).append(char(s.ShowLeftPai)).append(char(s.TurnSeconds));
    m.append(char(s.TurnChair)).append(char(s.GamePhase)).append(char(s.ShuangShunPlayed));
    AppendShortBE(m, s.TeamScore[0]);
    AppendShortBE(m, s.TeamScore[1]);
    AppendShortBE(m, s.TrickFen);
    for (uint8_t b : s.MaxOutPai) m.append(char(b));
    for (uint8_t b : s.MingCi) m.append(char(b));
    for (uint8_t b : s.PaiCount) m.append(char(b));
    for (const CardList& o : s.OutPai) AppendCountedCards(m, o);
    AppendCountedCards(m, s.MyPai);
    m.append(char(s.ShowPartnerPai));
    if (s.ShowPartnerPai) AppendCountedCards(m, s.PartnerPai);
    return m;
}

QByteArray BuildGameStart(uint8_t autoOutLimit, uint8_t deckCount, uint8_t showLeftPai, uint8_t turnSeconds,
                          uint8_t leadChair)
{
    QByteArray m(15, char(0));
    m[0] = char(GM_START);
    m[3] = char(autoOutLimit);
    m[11] = char(deckCount);
    m[12] = char(showLeftPai);
    m[13] = char(turnSeconds);
    m[14] = char(leadChair);
    return m;
}

QByteArray BuildDeal(bool showPartner, const CardList& myPai, const CardList& partnerPai)
{
    QByteArray m = Header(GM_DEAL, 0);
    m.append(char(showPartner ? 1 : 0));
    AppendCards(m, myPai);
    if (showPartner) AppendCards(m, partnerPai);
    return m;
}

QByteArray BuildOutPaiNotice(uint8_t nextChair, uint8_t phase, uint8_t mingCi, uint8_t chair, const CardList& cards)
{
    QByteArray m = Header(GM_OUTPAI, 0);
    m.append(char(nextChair)).append(char(phase)).append(char(mingCi)).append(char(chair));
    AppendCountedCards(m, cards);
    return m;
}

QByteArray BuildOutPaiRefused(const QString& reason) { return TextMessage(QByteArray(1, char(GM_OUTPAI_REFUSED)), reason); }

QByteArray BuildGameOver(bool withChanges, const std::array<int32_t, 4>& changes, const std::array<int32_t, 2>& teamScore,
                         const std::array<CardList, 4>& leftPai)
{
    QByteArray m = Header(GM_GAME_OVER, withChanges ? 1 : 0);
    if (withChanges)
        for (int32_t c : changes) AppendLongBE(m, c);
    AppendLongBE(m, teamScore[0]);
    AppendLongBE(m, teamScore[1]);
    for (const CardList& l : leftPai) AppendCountedCards(m, l);
    return m;
}

QByteArray BuildHands(const CardList& myPai, const CardList& partnerPai)
{
    QByteArray m = Header(GM_HANDS, 0);
    AppendCountedCards(m, myPai);
    AppendCountedCards(m, partnerPai);
    return m;
}

QByteArray BuildQuit(uint8_t chair, const QString& reason)
{
    QByteArray h = Header(GM_QUIT, 0);
    h.append(char(chair));
    return TextMessage(h, reason);
}

QByteArray BuildSeePai(bool canSee)
{
    QByteArray m = Header(GM_SEE_PAI, 0);
    m.append(char(canSee ? 1 : 0));
    return m;
}

QByteArray BuildDaoJuText(DaoJuSub sub, const QString& text) { return TextMessage(Header(GM_DAOJU, sub), text); }

QByteArray BuildDaoJuUsed(uint8_t fromUser, uint8_t toUser, int32_t itemId)
{
    QByteArray m = Header(GM_DAOJU, DJ_USED);
    m.append(char(fromUser)).append(char(toUser));
    AppendLongBE(m, itemId);
    return m;
}
