// The shop in the whole client against a scripted room server: the catalogue and the own items
// arrive, the user opens the shop from the main window, buys, and sees the item among the owned
// ones; the notices show in their boxes. With the generated pictures, the open shop is also kept
// as pictures in the build folder (shop-shots) for looking at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include "msgbox/frmmsg.h"
#include "platform/draw/respath.h"
#include "shop/frmdaojumaket.h"
#include "shop/maketrules.h"
#include "shop/shopview.h"
#include "support/clientfixture.h"
#include "support/guimain.h"

namespace {

// The catalogue a room server sends: two types, a full first page and more.
QString Catalogue()
{
    const QStringList blocks = {
        QStringLiteral("5001`0`鲜花`1`24`10`8`8`6`0"),         QStringLiteral("5002`0`鸡蛋`5`72`10`5`8`4`0"),
        QStringLiteral("5003`0`啤酒`1`23`20`18`16`15`0"),      QStringLiteral("5004`0`蛋糕`1`168`50`45`40`35`0"),
        QStringLiteral("5010`0`红包`1`24`100`88`80`66`0"),     QStringLiteral("5011`0`番茄`10`48`10`9`8`7`0"),
        QStringLiteral("5005`1`小喇叭`1`24`200`180`160`150`1"), QStringLiteral("5006`1`护身符`1`720`500`450`400`350`1"),
        QStringLiteral("5007`1`双倍积分卡`1`168`300`280`260`240`1"),
    };
    return QStringLiteral("2`互动道具`功能道具`") + QString::number(blocks.size()) + u'`' + blocks.join(u'`');
}

// Presses and releases the left button at a point of a widget.
void Click(QWidget* w, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

// Answers the next modal box that opens (the system's item-use box) with its default button,
// after handing it to `seen`.
void AnswerNextModal(const std::function<void(QWidget*)>& seen)
{
    auto* t = new QTimer;
    t->setInterval(10);
    QObject::connect(t, &QTimer::timeout, [t, seen] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            seen(m);
            if (auto* box = qobject_cast<QMessageBox*>(m)) box->accept();
            else m->close();
            t->stop();
            t->deleteLater();
        }
    });
    t->start();
}

QString ShotDir()
{
    const QString d = testsupport::BuiltProgramDir() + QStringLiteral("/../shop-shots");
    QDir().mkpath(d);
    return QDir(d).absolutePath();
}

TEST(ShopLoopback, OpenTheShopBuyAndSeeTheItemAmongTheOwnedOnes)
{
    const QString bin = testsupport::BuiltProgramDir();
    if (bin.isEmpty()) GTEST_SKIP() << "KVRN_BIN_DIR is not set";
    ASSERT_TRUE(QFileInfo::exists(bin + QStringLiteral("/../DaoJuMaket/DaoJuMain.bmp"))) << "no shop pictures under " << bin.toStdString();
    testsupport::LoopbackClient lc(QStringLiteral("玩家甲"), bin, QSize(1280, 800));
    ASSERT_TRUE(lc.connect());

    // The room server's side: a purchase is answered with a notice and the new own items.
    QStringList owned = {QStringLiteral("5005:3:2011102318")};
    lc.peer.onMessage = [&](const QByteArray& m) {
        if (ParseMessage(m, Sender::Client).kind != MsgKind::BuyDaoJu) return;
        owned << QString::fromLatin1(m.mid(2)) + QStringLiteral(":1:2012010100");
        lc.peer.send({BuildDaoJuText(DJ_NOTICE, QStringLiteral("购买成功！")), BuildDaoJuText(DJ_MY_LIST, owned.join(u':'))});
    };
    lc.feed({BuildDaoJuText(DJ_LIST, Catalogue()), BuildDaoJuText(DJ_MY_LIST, owned.join(u':'))});
    ASSERT_EQ(lc.c.daoJu.TypeCount(), 2);
    // Notes come from the note file beside the program.
    EXPECT_FALSE(lc.c.daoJu.DaoJuList[1].DaoJus(1).strNote.isEmpty());

    // The button in the user-button strip opens the shop.
    ASSERT_NE(lc.w->cmdDaoJuMaket, nullptr);
    ASSERT_TRUE(lc.w->cmdDaoJuMaket->isVisible());
    EXPECT_EQ(lc.w->cmdDaoJuMaket->pos(), DaoJuMaketButton::PosInStrip(lc.w->picUserButBk->width()));
    Click(lc.w->cmdDaoJuMaket, QPoint(10, 10));
    lc.settle();
    frmDaoJuMaket* shop = lc.w->shopView()->maket();
    ASSERT_NE(shop, nullptr);
    EXPECT_TRUE(shop->isVisible());
    EXPECT_TRUE(lc.c.daoJu.blnMaketLoaded);
    EXPECT_EQ(shop->tabsShown(), 2);
    // The own item is of the second type; the strip starts on the first, which is empty.
    EXPECT_TRUE(shop->imgMyDaoJu[0]->toolTip().isEmpty());
    Click(shop->picMeTypeBut[2], QPoint(10, 10));
    EXPECT_EQ(shop->imgMyDaoJu[0]->toolTip(), QStringLiteral("小喇叭  剩3个  2011年10月23日18时到期 对自己使用"));
    Click(shop->picMeTypeBut[1], QPoint(10, 10));
    // Opening again brings the same window.
    lc.w->OpenDaoJuMaket();
    EXPECT_EQ(lc.w->shopView()->maket(), shop);

    // The notice is answered as soon as it shows; the own items arrive while it waits.
    QString noticeText, noticeTitle, noticeIcon;
    QObject::connect(&lc.c.msgPool, &MsgPool::MsgShown, [&](int slot) {
        if (frmMsg* f = lc.c.msgPool.FormAt(slot)) {
            noticeText = f->strNote();
            noticeTitle = f->strCaption();
            noticeIcon = f->iconFile();
        }
        QTimer::singleShot(0, [&] { lc.c.msgPool.CloseMsgByOwner(0); });
    });
    Click(shop->imgBuyBut[1], QPoint(20, 10));   // 鸡蛋, cell 1 of the first type
    ASSERT_TRUE(lc.peer.waitForKind(MsgKind::BuyDaoJu));
    EXPECT_EQ(lc.peer.receivedOf(MsgKind::BuyDaoJu), QList<QByteArray>{BuildBuyDaoJu(5002)});
    ASSERT_TRUE(lc.peer.waitFor([&] { return lc.c.daoJu.MyDaoJuList.size() > 1 && lc.c.daoJu.MyDaoJuList[1].MyDaoJus.upperBound() == 1; }));
    lc.settle(100);
    EXPECT_EQ(noticeText, QStringLiteral("购买成功！"));
    EXPECT_EQ(noticeTitle, QStringLiteral("四人牌局提示"));
    // Good news shows the information sign (the one of the buttonless notice), not a warning.
    ASSERT_FALSE(noticeIcon.isEmpty());
    const QImage infoSign(ResolvePath(lc.c.msgPool.MsgIconPath() + QStringLiteral("Msg0.ico")));
    ASSERT_FALSE(infoSign.isNull());
    EXPECT_EQ(QImage(noticeIcon).convertToFormat(QImage::Format_ARGB32), infoSign.convertToFormat(QImage::Format_ARGB32));
    // 鸡蛋 is of the first type, 小喇叭 of the second: the strip shows the first type's group.
    EXPECT_EQ(lc.c.daoJu.MyDaoJuList[1].MyDaoJus(1).lngID, 5002);
    EXPECT_EQ(shop->imgMyDaoJu[0]->toolTip(), QStringLiteral("鸡蛋  剩1个  2012年1月1日0时到期 对别人使用"));
    Click(shop->picMeTypeBut[2], QPoint(10, 10));
    EXPECT_TRUE(shop->imgMyDaoJu[0]->toolTip().startsWith(QStringLiteral("小喇叭")));

    // The look of it: more own items, the first tabs, the mouse over the first cell.
    lc.peer.onMessage = nullptr;
    lc.feed(BuildDaoJuText(DJ_MY_LIST, QStringLiteral("5001:2:2012010100:5002:5:2012020112:5003:1:2012013120:5010:1:2012030508:"
                                                      "5011:10:2012010100:5005:3:2011102318")));
    Click(shop->picMeTypeBut[1], QPoint(10, 10));
    shop->Form_MouseMove(QPoint(100, 120));
    lc.settle();
    EXPECT_TRUE(shop->grab().save(ShotDir() + QStringLiteral("/shop-open.png")));
    // On a real display (an X server, say under xvfb-run), the screen as the player sees it.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        shop->raise();
        lc.settle(300);
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            EXPECT_TRUE(s->grabWindow(0).save(ShotDir() + QStringLiteral("/shop-screen.png")));
        }
    }

    // An item used at the table: the system's box with its exact text.
    QString useText, useTitle;
    AnswerNextModal([&](QWidget* m) {
        useTitle = m->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(m)) useText = box->text();
    });
    lc.feed(BuildDaoJuUsed(2, 0, 5001), 200);
    EXPECT_EQ(useTitle, QStringLiteral("道具演示"));
    EXPECT_EQ(useText, QStringLiteral("2 号用户对 0 号用户使用ID号为 5001 的道具"));

    // Closing the shop: the lists no longer repaint it, and it can be opened again.
    Click(shop->picSysBut[1], QPoint(8, 8));
    lc.settle();
    EXPECT_FALSE(lc.c.daoJu.blnMaketLoaded);
    EXPECT_EQ(lc.w->shopView()->maket(), nullptr);
    lc.feed(BuildDaoJuText(DJ_MY_LIST, owned.join(u':')));
    lc.w->OpenDaoJuMaket();
    ASSERT_NE(lc.w->shopView()->maket(), nullptr);
    EXPECT_TRUE(lc.c.daoJu.blnMaketLoaded);
}

TEST(ShopLoopback, TheMainWindowClosingClosesTheShop)
{
    testsupport::LoopbackClient lc;
    ASSERT_TRUE(lc.connect());
    lc.w->OpenDaoJuMaket();
    ASSERT_NE(lc.w->shopView()->maket(), nullptr);
    lc.peer.closeClient();
    ASSERT_TRUE(lc.peer.waitFor([&] { return lc.unloaded > 0; }));
    lc.settle();
    EXPECT_FALSE(lc.c.daoJu.blnMaketLoaded);
    EXPECT_EQ(lc.w->shopView()->maket(), nullptr);
    lc.w->OpenDaoJuMaket();   // nothing opens once the window is gone
    EXPECT_EQ(lc.w->shopView()->maket(), nullptr);
}

TEST(ShopButton, PlacedBetweenOrAfterTheUserButtons)
{
    struct Case {
        int strip;
        QPoint pos;
    };
    const Case cases[] = {
        {212, QPoint(85, 4)},     // w = 70: the gap 81..130 holds it
        {276, QPoint(118, 4)},    // w = 92
        {180, QPoint(-1, -1)},    // w = 60: no gap, nothing after the second button either
        {0, QPoint(-1, -1)},
    };
    for (const Case& c : cases) EXPECT_EQ(DaoJuMaketButton::PosInStrip(c.strip), c.pos) << c.strip;
    // Whatever the width, the button never covers a user button and stays inside the strip.
    for (int width = 0; width <= 600; ++width) {
        const QPoint p = DaoJuMaketButton::PosInStrip(width);
        if (p.x() < 0) continue;
        const int w = width / 3;
        const QRect mine(p, QSize(41, 25));
        EXPECT_FALSE(mine.intersects(QRect(w - 30, 4, 41, 25))) << width;
        EXPECT_FALSE(mine.intersects(QRect(2 * w - 10, 4, 41, 25))) << width;
        EXPECT_LE(mine.right(), width - 1) << width;
    }
}

}  // namespace

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
