// The shop against the room program: its catalogue and the starter items arrive with the hello,
// the user opens the shop from the main window, buys an item, and sees it among the owned ones.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include "msgbox/msgpool.h"
#include "shop/frmdaojumaket.h"
#include "shop/shopview.h"
#include "support/clientfixture.h"
#include "support/guimain.h"
#include "support/roomprocess.h"

namespace {

void Click(QWidget* w, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

// Pieces of one item the user owns, 0 when none.
int Owned(const DaoJuState& s, int32_t id)
{
    for (const MyDaoJuType& g : s.MyDaoJuList)
        for (int i = 1; i <= g.MyDaoJus.upperBound(); ++i)
            if (g.MyDaoJus(i).lngID == id) return g.MyDaoJus(i).lngCount;
    return 0;
}

TEST(ShopEndToEnd, BuyFromTheRoomAndSeeItOwned)
{
    const QString bin = testsupport::BuiltProgramDir();
    if (bin.isEmpty()) GTEST_SKIP() << "KVRN_BIN_DIR is not set";
    testsupport::RoomProcess room;
    ASSERT_TRUE(room.start({"--humans", "1", "--name", "玩家甲"})) << room.tail(5);

    testsupport::LoopbackClient lc(QStringLiteral("玩家甲"), bin, QSize(1280, 800));
    lc.c.pub.strServerPort = QString::number(room.port);
    lc.w->ConnectRoomServer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return lc.c.daoJu.TypeCount() > 0 && Owned(lc.c.daoJu, 5001) > 0; }, testsupport::kHangMs));
    const int before = Owned(lc.c.daoJu, 5001);

    lc.w->OpenDaoJuMaket();
    frmDaoJuMaket* shop = lc.w->shopView()->maket();
    ASSERT_NE(shop, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shop->isVisible(); }, testsupport::kHangMs));
    // The room's notice box is answered as soon as it shows.
    QObject::connect(&lc.c.msgPool, &MsgPool::MsgShown, [&](int) { QTimer::singleShot(0, [&] { lc.c.msgPool.CloseMsgByOwner(0); }); });
    Click(shop->imgBuyBut[0], QPoint(20, 10));   // the first item of the first type
    ASSERT_TRUE(QTest::qWaitFor([&] { return Owned(lc.c.daoJu, 5001) > before; }, testsupport::kHangMs));
    EXPECT_TRUE(shop->imgMyDaoJu[0]->toolTip().startsWith(QStringLiteral("鲜花"))) << shop->imgMyDaoJu[0]->toolTip().toStdString();
}

}  // namespace

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
