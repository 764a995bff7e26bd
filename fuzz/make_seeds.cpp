// Writes a seed corpus per fuzz target into the folder given, from real messages of both ends
// built the way the client and the room server build them.
#include <QDir>
#include <QFile>

#include "protocol/codec.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "server/items.h"

namespace {

const QString kRow = QStringLiteral("玩家甲`1001`300`300``10`50`0`5`5`0`0`2005`1`0`0");
const QString kWatcher = QStringLiteral("旁观者`1002`0`0`玩家甲`0`0`0`0`0`0`0`1`0`0`0");

QList<QByteArray> Messages()
{
    SnapshotGame g;
    g.DeckCount = 2;
    g.TurnChair = 1;
    g.GamePhase = 2;
    g.MyPai = {1, 14, 27, 40, 52, 53};
    g.OutPai[0] = {7, 20};
    g.ShowPartnerPai = 1;
    g.PartnerPai = {2, 3};
    return {
        BuildHello(1), BuildJoinGame(), BuildUserOut(QStringLiteral("玩家甲")), BuildGameSetDone("a", "100`500`10`50`200`0"),
        BuildHandUpReq("a"), BuildSeePaiSetting("a", 1),
        BuildChat({"a", "所有人", "a", "所有人", "你好", "#000000", "0", "0", "12:00:00", ""}),
        BuildHandsRequest(1), BuildReady(2), BuildDealRequest(3), BuildPlay(0, {51, 38, 25}), BuildPass(1),
        BuildBuyDaoJu(5001), BuildPangGuanIn(kWatcher), BuildReset(), BuildUserList({kRow, kWatcher}),
        BuildIdentity("玩家甲", "玩家甲"), BuildUserIn(kRow), BuildShowWindow(false),
        BuildUserState(RM_USER_DROPPED, "玩家甲"), BuildUserState(RM_USER_MARK, "玩家甲"),
        BuildGameSet(true, 1, false, "100`500`10`50`200`0"), BuildGameSet(false, 0, false, QString()),
        BuildHandUp(2, "玩家甲", "100`500`10`50`200`0"), BuildNotice(QStringLiteral("欢迎")),
        BuildSnapshotIdle({true, false, true, false}, 1), BuildSnapshotGame(g), BuildGameStart(5, 2, 0, 30, 1),
        BuildDeal(true, CardList(27, 5), CardList(27, 6)), BuildDeal(false, CardList(13, 5), {}),
        BuildOutPaiNotice(1, 2, 0, 0, {7, 20}), BuildOutPaiNotice(2, 1, 1, 1, {254}), BuildOutPaiRefused("错误"),
        BuildGameOver(true, {10, -10, 10, -10}, {120, 80}, {CardList{}, CardList{5}, CardList{}, CardList{52}}),
        BuildGameOver(false, {}, {0, 0}, {}), BuildHands({1, 2, 3}, {4}), BuildQuit(2, QStringLiteral("掉线")),
        BuildSeePai(true), BuildDaoJuText(DJ_LIST, "2`道具`礼物`1`5001`1`鲜花`3`48`100`90`80`70`0"),
        BuildDaoJuText(DJ_MY_LIST, "5001:2:2011102318"), BuildDaoJuText(DJ_NOTICE, "购买成功"), BuildDaoJuUsed(2, 0, 5001),
    };
}

// One event of the client's and the server's targets: a control byte, then a message with its
// two length bytes.
QByteArray Event(uint8_t ctl, const QByteArray& msg = QByteArray(), uint8_t kindMask = 7)
{
    QByteArray e(1, char(ctl));
    if ((ctl & kindMask) == 0) {
        e += char(msg.size() >> 8);
        e += char(msg.size() & 0xFF);
    }
    return e + msg;
}
// The server's events have two bits of kind.
QByteArray SeatEvent(uint8_t ctl, const QByteArray& msg = QByteArray())
{
    return Event(ctl, msg, 3);
}

void Write(const QString& dir, int i, const QByteArray& bytes)
{
    QDir().mkpath(dir);
    QFile f(QStringLiteral("%1/seed%2").arg(dir).arg(i, 3, 10, QLatin1Char('0')));
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QList<QByteArray> msgs = Messages();
    QByteArray stream(1, char(3));
    for (int i = 0; i < msgs.size(); ++i) {
        Write(root + "/shapes", i, msgs[i]);
        Write(root + "/codec", i, QByteArray(1, char(2)) + msgs[i]);
        Write(root + "/snapshot", i, msgs[i]);
        stream += EncodeFrame(msgs[i]);
    }
    Write(root + "/framing", 0, stream);
    // Plays: the split byte, the biggest play of the trick, then the play.
    const QList<QByteArray> plays = {
        QByteArray("\x02\x07\x14", 3), QByteArray("\x03\x07\x14\x08\x15", 5),
        QByteArray("\x04\x00\x01\x02\x03\x04\x05", 7), QByteArray("\x02\x34\x35\x34", 4),
        QByteArray("\x04\x02\x07\x0A\x0F\x14\x17", 7), QByteArray("\x01\x00\x0D\x1A\x27", 5)};
    for (int i = 0; i < plays.size(); ++i) Write(root + "/rules", i, plays[i]);

    // The client: each prepared table with every message alone, and a game's messages in a row,
    // some of them arriving during the waits, with the clocks and clicks between them.
    int k = 0;
    for (uint8_t state = 0; state < 5; ++state) {
        for (const QByteArray& m : msgs) Write(root + "/client", k++, QByteArray(1, char(state)) + Event(0, m));
        QByteArray game(1, char(state));
        game += Event(0, BuildOutPaiNotice(1, 2, 0, 0, {51, 38}));
        game += Event(0, BuildOutPaiNotice(2, 2, 0, 1, {kPassCode}));
        game += Event(0x80, BuildOutPaiNotice(3, 2, 0, 2, {kPassCode}));
        game += Event(0, BuildOutPaiNotice(0, 1, 0, 3, {kPassCode}));
        game += Event(0x80, BuildOutPaiNotice(1, 2, 0, 0, {0, 13, 26, 39}));
        game += Event(0x80, BuildQuit(1, QStringLiteral("掉线")));
        game += Event(5) + Event(1) + Event(2) + Event(4) + Event(6);
        game += Event(3, QByteArray("\x01\x40\x02\x60\x00", 5)) + Event(3, QByteArray("\x01\x40\x02\x60\x01", 5));
        game += Event(0, BuildGameSet(true, 1, false, "100`500`10`50`200`0")) + Event(7, QByteArray(1, 0));
        game += Event(0x80, BuildGameOver(true, {10, -10, 10, -10}, {120, 80}, {CardList{}, CardList{5}, CardList{}, CardList{52}}));
        game += Event(0, BuildOutPaiRefused("错误")) + Event(0x80, BuildReset());
        Write(root + "/client", k++, game);
    }
    // Bursts: one message again and again, each copy during the wait of the one before (a count
    // byte after the message, two copies a unit): boxes, blasts, won tricks, long chat lines.
    const QList<std::pair<QByteArray, uint8_t>> bursts = {
        {BuildOutPaiRefused("出牌不合规则"), 250},
        {BuildQuit(2, QStringLiteral("掉线")), 250},
        {BuildGameOver(false, {}, {0, 0}, {}), 200},
        {BuildOutPaiNotice(2, 2, 0, 1, {5, 18, 31, 44}), 100},
        {BuildOutPaiNotice(1, 1, 0, 0, {kPassCode}), 250},
        {BuildDaoJuText(DJ_NOTICE, QString(3000, QChar(0x8BF4))), 20},
        {BuildChat({"a", "所有人", "a", "所有人", QString(20000, QChar(0x4E2D)), "#000000", "0", "0", "", ""}), 8},
    };
    for (uint8_t state = 0; state < 5; ++state)
        for (const auto& [m, times] : bursts) Write(root + "/client", k++, QByteArray(1, char(state)) + Event(0x40, m) + char(times));

    // The server: messages from each seat, legal moves that play games out, connections lost.
    const QList<QByteArray> requests = {
        BuildReady(0), BuildHandUpReq("甲"), BuildGameSetDone("甲", "100`500`10`50`200`0"), BuildUserOut("甲"),
        BuildChat({"甲", "所有人", "甲", "所有人", "你好", "#000000", "0", "0", "12:00:00", ""}),
        BuildChat({"甲", "乙", "甲", "乙", "悄悄", "#000000", "0", "1", "12:00:00", ""}), BuildBuyDaoJu(5001),
        BuildSeePaiSetting("甲", 0), BuildDealRequest(0), BuildHandsRequest(0), BuildPlay(0, {51}), BuildPass(0),
        BuildJoinGame()};
    k = 0;
    for (const QByteArray& m : requests)
        for (uint8_t seat = 0; seat < 6; ++seat) Write(root + "/server", k++, QByteArray(1, char(seat & 7)) + SeatEvent(uint8_t(seat << 2), m));
    for (uint8_t opt = 0; opt < 8; ++opt) {
        QByteArray game(1, char(opt));
        for (uint8_t seat = 0; seat < 4; ++seat) game += SeatEvent(uint8_t(seat << 2), BuildReady(seat));
        for (uint8_t seat = 0; seat < 4; ++seat) game += SeatEvent(uint8_t(seat << 2), BuildDealRequest(seat));
        for (int move = 0; move < 60; ++move) {
            game += QByteArray(1, char(((move % 4) << 2) | 2)) + QByteArray(1, char(move * 7));
            if (move == 30) game += SeatEvent(uint8_t((1 << 2) | 1)) + SeatEvent(3);
            // Back from its own address; then chairs 0 and 2 hide and show their cards (a
            // connection event with bit 6 on a seat with a chair: 18 and 20 are seats 0 and 2).
            if (move == 40) game += SeatEvent(uint8_t((1 << 2) | 1));
            if (move == 45) game += SeatEvent(uint8_t((18 << 2) | 1)) + SeatEvent(uint8_t((20 << 2) | 1));
            if (move == 50) game += SeatEvent(uint8_t((18 << 2) | 1));
        }
        game += SeatEvent(3) + SeatEvent(uint8_t((4 << 2) | 1)) + SeatEvent(uint8_t(4 << 2), BuildHandUpReq("旁观者1"));
        Write(root + "/server", k++, game);
    }
    // Chat floods from a player and a spectator: long lines and many short ones (the length's top
    // bit marks a flood, the byte after it counts 32 copies a unit).
    const auto flood = [](uint8_t seat, const QByteArray& m, uint8_t times) {
        QByteArray e(1, char(seat << 2));
        e += char((m.size() >> 8) | 0x80);
        e += char(m.size() & 0xFF);
        return e + char(times) + m;
    };
    for (const int chars : {20, 990, 5000}) {
        const QByteArray line = BuildChat({"甲", "所有人", "甲", "所有人", QString(chars, 'x'), "#000000", "0", "0", "", ""});
        Write(root + "/server", k++, QByteArray(1, 0) + flood(4, line, 160) + flood(1, line, 10));
    }

    // The item lists: a catalogue and own items as the room program sends them, and in pieces.
    const QByteArray catalogue = EncodeGbk(CatalogueText());
    const QByteArray owned = EncodeGbk(OwnedItemsText(StarterItems(QDateTime(QDate(2011, 10, 23), QTime(18, 0)))));
    k = 0;
    for (uint8_t flags : {0, 1, 0x10, 0x91}) {
        Write(root + "/items", k++, QByteArray(1, char(flags)) + catalogue + QByteArray(1, 0) + owned);
        Write(root + "/items", k++, QByteArray(1, char(flags)) + catalogue.left(catalogue.size() / 2) + QByteArray(1, 0) + owned.left(9));
    }
    Write(root + "/items", k++, QByteArray(1, 0) + "3`a`b`c`2`1`2`x`1`1`1`1`1`1`0`2`0`y`1`1`1`1`1`1`1" + QByteArray(1, 0) + "1:2:2011102318");

    // The two files.
    k = 0;
    for (const char* set : {" 1 \r\n 0 \r\n 1 \r\n 1 \r\n 0 \r\n", "1,0,1,1,1", "1 1 1", "300 1 1 1 1", "1,,1 1 1"})
        Write(root + "/files", k++, QByteArray(1, 0) + set);
    for (const QString& ini : {QStringLiteral("[DaoJuInfo_ID_5001]\r\nNote=送给朋友的一束鲜花。\r\n[DaoJuInfo_ID_5002]\r\nNote=\"  扔向对手的鸡蛋  \"\r\n"),
                               QStringLiteral("[daojuinfo_id_5001]\nnote = %1\n[DaoJuInfo_ID_5001]\nNote=第二个\n").arg(QString(600, QChar(u'长'))),
                               QStringLiteral("[DaoJuInfo_ID_5002\rNote='x'\r[DaoJuInfo_ID_-1]\rNote= 负 \r")})
        Write(root + "/files", k++, QByteArray(1, 1) + EncodeGbk(ini));
    return 0;
}
