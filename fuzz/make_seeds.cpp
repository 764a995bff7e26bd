// Writes a seed corpus per fuzz target into the folder given, from real messages of both ends
// built the way the client and the room server build them.
#include <QDir>
#include <QFile>

#include "protocol/framing.h"
#include "protocol/messages.h"

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
    return 0;
}
