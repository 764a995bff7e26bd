// The shop window: its shape, tabs, page, panel, buy buttons, hover states, owned-item strip and
// moving by its band, on pictures made here (plain colours, so pixels can be told apart).
#include <gtest/gtest.h>

#include <QApplication>
#include <QBitmap>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QTemporaryDir>

#include "shop/frmdaojumaket.h"
#include "platform/widgets/skinframe.h"
#include "shop/maketrules.h"
#include "shop/profilefile.h"
#include "protocol/messages.h"

namespace {

const QRgb kMain = 0xffc8c8c8;
const QRgb kInfoBk = 0xfff0f0f0;
const QRgb kItemPic = 0xff2050a0;   // item 5001's catalogue picture
const QRgb kNoPic = 0xff20a050;     // the "no picture" picture
const QRgb kSlotBk = 0xff808000;
const QRgb kMyPic = 0xff800080;
const QRgb kMeNo = 0xff008080;

QImage Solid(int w, int h, QRgb c)
{
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(c);
    return i;
}

// A program folder (bin/) and its parent with the shop's pictures.
struct ShopFolder {
    QTemporaryDir dir;
    PublicState pub;
    ShopFolder()
    {
        pub.strAppPath = dir.filePath(QStringLiteral("bin")) + u'/';
        pub.strParentPath = dir.path() + u'/';
        pub.strGameTitle = QStringLiteral("四人牌局");
        QDir().mkpath(dir.filePath(QStringLiteral("bin/Res/DaoJu")));
        QDir().mkpath(dir.filePath(QStringLiteral("DaoJuMaket")));
        QImage main = Solid(727, 541, kMain);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6 - y; ++x) {
                main.setPixel(x, y, 0xffff00ff);         // a cut corner
                main.setPixel(726 - x, y, 0xffff00ff);   // and one under the close button
            }
        Shop("DaoJuMain.bmp", main);
        Shop("DaoJuInfoBk.bmp", Solid(568, 322, kInfoBk));
        Shop("DaoJuNo.bmp", Solid(100, 100, kNoPic));
        QImage sys(68, 17, QImage::Format_RGB32);
        for (int c = 0; c < 4; ++c)
            for (int y = 0; y < 17; ++y)
                for (int x = 0; x < 17; ++x) sys.setPixel(c * 17 + x, y, qRgb(10 * (c + 1), 0, 0));
        Shop("SysBut.bmp", sys);
        Shop("TabBut.bmp", Solid(85, 20, 0xffffffff));
        Shop("TabButM.bmp", Solid(85, 20, 0xff404040));
        Shop("BuyBut.bmp", Solid(55, 23, 0xff0000c0));
        Shop("BuyButM.bmp", Solid(55, 23, 0xff00c000));
        Shop("MyDaoJuBk.bmp", Solid(81, 79, kSlotBk));
        Shop("MeNo.bmp", Solid(81, 79, kMeNo));
        Shop("Move0.bmp", Solid(38, 94, 0xff101010));
        Shop("move0M.bmp", Solid(38, 94, 0xff202020));
        Shop("Move1.bmp", Solid(38, 94, 0xff303030));
        Shop("move1M.bmp", Solid(38, 94, 0xff404040));
        Solid(100, 100, kItemPic).save(dir.filePath(QStringLiteral("bin/Res/DaoJu/DaoJuInfo_5001.bmp")), "BMP");
        Solid(81, 79, kMyPic).save(dir.filePath(QStringLiteral("bin/Res/DaoJu/MyDaoJu_5001.bmp")), "BMP");
    }
    void Shop(const char* name, const QImage& img) { img.save(dir.filePath(QStringLiteral("DaoJuMaket/") + name), "BMP"); }
};

// Items 5001.. of one type, the first with its own picture.
QString Catalogue(int types, const QList<int>& perType)
{
    QStringList f{QString::number(types)};
    for (int t = 1; t <= types; ++t) f << QStringLiteral("类型%1").arg(t);
    int m = 0;
    for (int k : perType) m += k;
    f << QString::number(m);
    int id = 5001;
    for (int t = 0; t < perType.size(); ++t)
        for (int k = 0; k < perType[t]; ++k, ++id)
            f << QString::number(id) << QString::number(t) << QStringLiteral("道具%1").arg(id) << QStringLiteral("1`23`100`90`80`70`0");
    return f.join(u'`');
}

class Maket : public ::testing::Test {
protected:
    ShopFolder folder;
    DaoJuState st;
    QList<QByteArray> sent;
    QPointer<frmDaoJuMaket> w;

    DaoJuCtx Ctx() { return DaoJuCtx{st, folder.pub, [this](const QByteArray& m) { sent << m; return true; }}; }
    void Open()
    {
        w = new frmDaoJuMaket(Ctx());
        w->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        delete w.data();
        EXPECT_FALSE(st.blnMaketLoaded);
    }
    void Load(int types, const QList<int>& perType)
    {
        ParseDaoJuList(st, Catalogue(types, perType), ProfileFile());
        if (w) w->RedrawMaket();
    }
    QRgb At(const QImage& img, QPoint p) const { return img.pixel(p) | 0xff000000u; }
};

TEST_F(Maket, LoadsShapedByTheMagentaOfItsBackground)
{
    Open();
    EXPECT_TRUE(st.blnMaketLoaded);
    EXPECT_EQ(st.lngHotCell, -1);
    EXPECT_EQ(w->size(), QSize(727, 541));
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    const QRegion shape = w->mask();
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(4, 1)));
    EXPECT_TRUE(shape.contains(QPoint(6, 0)));
    EXPECT_TRUE(shape.contains(QPoint(726, 540)));
    // The close button (710..726, 2..18) stays whole over the cut corner; above it the cut shows.
    EXPECT_TRUE(shape.contains(QPoint(726, 2)));
    EXPECT_FALSE(shape.contains(QPoint(726, 1)));
    // Closing lets the lists stop repainting it: by the close button, or by Esc.
    w->picSysBut_MouseUp(1, QPoint(18, 8));   // released beside it
    EXPECT_TRUE(st.blnMaketLoaded);
    w->picSysBut_MouseUp(1, QPoint(8, 8));
    EXPECT_FALSE(st.blnMaketLoaded);
    delete w.data();
    Open();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &esc);
    EXPECT_FALSE(st.blnMaketLoaded);
}

TEST_F(Maket, TabsOnlyFromTwoTypesAndFollowingTheCatalogue)
{
    Load(1, {3});
    Open();
    EXPECT_EQ(w->tabsShown(), 0);
    Load(3, {1, 2, 3});   // arrives while the window is open
    EXPECT_EQ(w->tabsShown(), 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(w->picTypeBut[i]->isVisible());
        EXPECT_EQ(w->picTypeBut[i]->pos(), TypeTabPos(i, false));
        EXPECT_EQ(w->picMeTypeBut[i]->pos(), TypeTabPos(i, true));
    }
    EXPECT_FALSE(w->picTypeBut[0]->isVisible());
    // The selected tab is drawn from TabBut.bmp, the others from TabButM.bmp.
    EXPECT_EQ(At(w->picTypeBut[1]->picture(), QPoint(80, 18)), 0xffffffffu);
    EXPECT_EQ(At(w->picTypeBut[2]->picture(), QPoint(80, 18)), 0xff404040u);
    w->picTypeBut_MouseUp(2, QPoint(40, 10));
    EXPECT_EQ(st.bytCurType, 2);
    EXPECT_EQ(At(w->picTypeBut[2]->picture(), QPoint(80, 18)), 0xffffffffu);
    EXPECT_EQ(w->labPage[PL_Count]->text(), QStringLiteral("共 2 个"));
    w->picTypeBut_MouseUp(3, QPoint(86, 10));   // released outside the tab
    EXPECT_EQ(st.bytCurType, 2);
    // The owned items' tabs have their own selection.
    w->picMeTypeBut_MouseUp(3, QPoint(1, 1));
    EXPECT_EQ(st.bytCurMyType, 3);
    EXPECT_EQ(st.bytCurType, 2);
    // Back to one type: no tabs.
    Load(1, {2});
    EXPECT_EQ(w->tabsShown(), 0);
    EXPECT_FALSE(w->picTypeBut[1]->isVisible());
}

TEST_F(Maket, PagingByTheLabels)
{
    Load(2, {7, 8});
    Open();
    EXPECT_EQ(w->labPage[PL_Count]->text(), QStringLiteral("共 7 个"));
    const QList<QPair<int, int32_t>> steps = {{PL_Next, 3}, {PL_Next, 5}, {PL_Next, 5}, {PL_First, 1}, {PL_Last, 5}, {PL_Prev, 3}};
    for (const auto& s : steps) {
        w->labPage_Click(s.first);
        EXPECT_EQ(st.DaoJuList[1].lngFirst, s.second) << s.first;
    }
    // A real click on a label.
    w->labPage[PL_First]->setText(QStringLiteral("首页"));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), w->labPage[PL_First]->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), w->labPage[PL_First]->mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->labPage[PL_First], &press);
    QApplication::sendEvent(w->labPage[PL_First], &release);
    EXPECT_EQ(st.DaoJuList[1].lngFirst, 1);
    // Each type keeps its own page.
    w->labPage_Click(PL_Last);
    w->picTypeBut_MouseUp(2, QPoint(1, 1));
    EXPECT_EQ(st.DaoJuList[2].lngFirst, 1);
    w->labPage_Click(PL_Next);
    w->picTypeBut_MouseUp(1, QPoint(1, 1));
    EXPECT_EQ(st.DaoJuList[1].lngFirst, 5);
    EXPECT_EQ(st.DaoJuList[2].lngFirst, 3);
}

TEST_F(Maket, ThePageDrawsPicturesAndTheSevenLines)
{
    Load(1, {7});
    Open();
    st.DaoJuList[1].DaoJus(7).lngID = 5001;   // the last item has a picture of its own
    w->labPage_Click(PL_Last);
    const QImage img = w->RenderSurface();
    EXPECT_EQ(At(img, QPoint(5, 5)), kMain);
    // Cells 0 and 1 show items without a picture, cell 2 item 7's picture, cell 3 the background.
    EXPECT_EQ(At(img, DaoJuCellCorner(0) + QPoint(50, 50)), kNoPic);
    EXPECT_EQ(At(img, DaoJuCellCorner(2) + QPoint(50, 50)), kItemPic);
    EXPECT_EQ(At(img, DaoJuCellCorner(3) + QPoint(50, 50)), kInfoBk);
    EXPECT_EQ(At(img, DaoJuCellCorner(3) + QPoint(150, 60)), kInfoBk);

    // Per line of cell 0: red pixels only in the current prices, a long black run only in the
    // struck-through original prices.
    const QPoint c0 = DaoJuCellCorner(0);
    for (int k = 0; k < 7; ++k) {
        const int top = c0.y() + 2 + 17 * k;
        int red = 0, longestBlack = 0;
        for (int y = top; y < top + 14; ++y) {
            int run = 0;
            for (int x = c0.x() + 126; x < c0.x() + 270; ++x) {
                const QRgb p = At(img, QPoint(x, y));
                if (p == 0xffff0000u) ++red;
                run = p == 0xff000000u ? run + 1 : 0;
                longestBlack = std::max(longestBlack, run);
            }
        }
        EXPECT_EQ(red > 0, k == 3 || k == 5) << "line " << k;
        EXPECT_EQ(longestBlack >= 40, k == 2 || k == 4) << "line " << k << " run " << longestBlack;
        if (k != 3 && k != 5) {
            EXPECT_GT(longestBlack, 0) << "line " << k;
        }
    }
    // Each line keeps below its top: the name does not reach into the card's border above it.
    for (int cell = 0; cell < 3; ++cell) {
        const QPoint c = DaoJuCellCorner(cell);
        int above = 0;
        for (int y = c.y() - 3; y < c.y() + 2; ++y)
            for (int x = c.x() + 126; x < c.x() + 270; ++x) above += At(img, QPoint(x, y)) == 0xff000000u;
        EXPECT_EQ(above, 0) << "cell " << cell;
    }
}

TEST_F(Maket, ThePanelShowsTheItemUnderTheMouse)
{
    Load(1, {2});
    st.DaoJuList[1].DaoJus(1).strNote = QString(27, u'说');
    st.DaoJuList[1].DaoJus(2).strNote = QString(511, u'长');
    Open();
    const QImage before = w->RenderSurface();
    EXPECT_EQ(At(before, QPoint(600, 100)), qRgb(214, 215, 214));
    EXPECT_EQ(At(before, QPoint(592, 100)), qRgb(250, 250, 255));
    EXPECT_EQ(At(before, QPoint(708, 100)), qRgb(150, 150, 160));

    auto inkRows = [&](const QImage& img, int y0, int y1) {
        QList<int> rows;
        for (int y = y0; y < y1; ++y)
            for (int x = 589; x < 715; ++x)
                if (At(img, QPoint(x, y)) == 0xff000000u) {
                    rows << y;
                    break;
                }
        return rows;
    };
    EXPECT_TRUE(inkRows(before, 205, 345).isEmpty());
    EXPECT_FALSE(inkRows(before, 350, 400).isEmpty());   // the shop's note

    w->Form_MouseMove(QPoint(100, 100));
    EXPECT_EQ(st.lngHotCell, 0);
    const QImage hot = w->RenderSurface();
    EXPECT_EQ(At(hot, QPoint(600, 100)), kItemPic);
    // "说明：" and 27 characters: three lines of ten, 15 pixels apart.
    const QList<int> rows = inkRows(hot, 205, 345);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_LT(rows.first(), 215);
    EXPECT_GE(rows.last(), 240);
    EXPECT_LT(rows.last(), 255);

    w->Form_MouseMove(QPoint(400, 100));   // cell 1: item 2, no picture of its own, a long note
    EXPECT_EQ(st.lngHotCell, 1);
    const QImage longNote = w->RenderSurface();
    EXPECT_EQ(At(longNote, QPoint(600, 100)), kNoPic);
    // The long note fills the panel down to the shop's note and no further; nothing leaves the
    // panel on the right.
    const QList<int> noteRows = inkRows(longNote, 205, 350);
    ASSERT_FALSE(noteRows.isEmpty());
    EXPECT_GE(noteRows.last(), 335);
    EXPECT_EQ(inkRows(longNote, 350, 407), inkRows(before, 350, 407));
    for (int y = 205; y < 407; ++y)
        for (int x = 716; x < 727; ++x) ASSERT_NE(At(longNote, QPoint(x, y)), 0xff000000u) << x << "," << y;
    w->Form_MouseMove(QPoint(100, 300));   // cell 2: empty
    EXPECT_EQ(st.lngHotCell, 2);
    EXPECT_EQ(At(w->RenderSurface(), QPoint(600, 100)), qRgb(214, 215, 214));
    w->Form_MouseMove(QPoint(14, 100));
    EXPECT_EQ(st.lngHotCell, -1);
}

// Records the regions the window repaints.
struct PaintRecorder : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

TEST_F(Maket, PagingLeavesThePanelAsItWas)
{
    Load(2, {7, 1});
    Open();
    w->Form_MouseMove(QPoint(100, 100));
    QApplication::processEvents();
    PaintRecorder rec;
    w->installEventFilter(&rec);
    using namespace MaketMetrics;
    const QRect panel(QPoint(PanelLeft, PanelTop), QPoint(PanelRight, PanelBottom));
    for (int label : {int(PL_Next), int(PL_Last), int(PL_First)}) {
        rec.painted = QRegion();
        w->labPage_Click(label);
        QApplication::processEvents();
        EXPECT_FALSE(rec.painted.isEmpty()) << label << ": the page is drawn again";
        EXPECT_FALSE(rec.painted.intersects(panel)) << label;
    }
    // A move to another cell shows its item there.
    rec.painted = QRegion();
    w->Form_MouseMove(QPoint(400, 100));
    QApplication::processEvents();
    EXPECT_TRUE(rec.painted.intersects(panel));
    w->removeEventFilter(&rec);
}

TEST_F(Maket, BuyButtonsSendTheirCellsItem)
{
    Load(2, {5, 1});
    Open();
    w->labPage_Click(PL_Next);   // items 3..5
    w->imgBuyBut_MouseUp(0, QPoint(10, 10));
    w->imgBuyBut_MouseUp(2, QPoint(55, 23));
    w->imgBuyBut_MouseUp(3, QPoint(10, 10));   // empty cell
    w->imgBuyBut_MouseUp(1, QPoint(56, 10));   // released outside
    EXPECT_EQ(sent, (QList<QByteArray>{BuildBuyDaoJu(5003), BuildBuyDaoJu(5005)}));
    // A real click on the first buy button of the other type.
    sent.clear();
    w->picTypeBut_MouseUp(2, QPoint(1, 1));
    QWidget* b = w->imgBuyBut[0];
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, 10), b->mapToGlobal(QPointF(20, 10)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(20, 10), b->mapToGlobal(QPointF(20, 10)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(b, &press);
    QApplication::sendEvent(b, &release);
    EXPECT_EQ(sent, QList<QByteArray>{BuildBuyDaoJu(5006)});
}

TEST_F(Maket, ButtonsLightUnderTheMouseAndGoBackOverTheWindow)
{
    Open();
    MaketPicture* buy = w->imgBuyBut[1];
    EXPECT_EQ(At(buy->picture(), QPoint(1, 1)), 0xff0000c0u);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), buy->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(buy, &move);
    EXPECT_EQ(buy->Tag, QStringLiteral("1"));
    EXPECT_EQ(At(buy->picture(), QPoint(1, 1)), 0xff00c000u);
    QMouseEvent moveSys(QEvent::MouseMove, QPointF(5, 5), QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->picSysBut[1], &moveSys);
    EXPECT_EQ(At(w->picSysBut[1]->picture(), QPoint(1, 1)), qRgb(40, 0, 0));   // close, lit
    EXPECT_EQ(At(w->picSysBut[0]->picture(), QPoint(1, 1)), qRgb(10, 0, 0));   // minimise, plain
    QApplication::sendEvent(w->imgMeBut[0], &moveSys);
    EXPECT_EQ(At(w->imgMeBut[0]->picture(), QPoint(1, 1)), 0xff202020u);
    w->Form_MouseMove(QPoint(300, 20));
    for (MaketPicture* b : {buy, w->picSysBut[1], w->imgMeBut[0]}) EXPECT_EQ(b->Tag, QStringLiteral("0"));
    EXPECT_EQ(At(buy->picture(), QPoint(1, 1)), 0xff0000c0u);
    EXPECT_EQ(At(w->picSysBut[1]->picture(), QPoint(1, 1)), qRgb(20, 0, 0));
    EXPECT_EQ(At(w->imgMeBut[0]->picture(), QPoint(1, 1)), 0xff101010u);
    EXPECT_EQ(w->picSysBut[0]->toolTip(), QStringLiteral("最小化"));
    EXPECT_EQ(w->picSysBut[1]->toolTip(), QStringLiteral("关闭"));
}

TEST_F(Maket, TheStripScrollsAndTellsEachItem)
{
    Load(2, {1, 1});
    // 8 owned items of type 1: 5001 (with a picture) and seven unknown ones.
    QStringList f{QStringLiteral("5001:3:2011102318")};
    for (int k = 2; k <= 8; ++k) f << QStringLiteral("%1:%2:2012010100").arg(9000 + k).arg(k);
    ASSERT_TRUE(ParseMyDaoJuList(st, f.join(u':')));
    Open();
    EXPECT_EQ(w->imgMyDaoJu[0]->toolTip(), QStringLiteral("道具5001  剩3个  2011年10月23日18时到期 对别人使用"));
    EXPECT_EQ(At(w->imgMyDaoJu[0]->picture(), QPoint(5, 5)), kMyPic);
    EXPECT_EQ(At(w->imgMyDaoJu[1]->picture(), QPoint(5, 5)), kMeNo);
    EXPECT_EQ(w->imgMyDaoJu[6]->toolTip(), QStringLiteral("未知名称  剩7个  2012年1月1日0时到期 对自己使用"));
    for (int i = 0; i < 7; ++i) EXPECT_EQ(w->imgMyDaoJu[size_t(i)]->geometry(), MyDaoJuSlotRect(i)) << i;

    w->imgMeBut_MouseUp(MB_Forward, QPoint(10, 10));
    EXPECT_EQ(st.MyDaoJuList[1].lngFirst, 2);
    EXPECT_TRUE(w->imgMyDaoJu[0]->toolTip().startsWith(QStringLiteral("未知名称  剩2个")));
    EXPECT_TRUE(w->imgMyDaoJu[6]->toolTip().startsWith(QStringLiteral("未知名称  剩8个")));
    w->imgMeBut_MouseUp(MB_Forward, QPoint(10, 10));
    EXPECT_EQ(st.MyDaoJuList[1].lngFirst, 2);
    w->imgMeBut_MouseUp(MB_Back, QPoint(39, 10));   // released outside
    EXPECT_EQ(st.MyDaoJuList[1].lngFirst, 2);
    w->imgMeBut_MouseUp(MB_Back, QPoint(38, 94));
    EXPECT_EQ(st.MyDaoJuList[1].lngFirst, 1);

    // The other type's group: empty slots, nothing to tell.
    w->picMeTypeBut_MouseUp(2, QPoint(1, 1));
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(At(w->imgMyDaoJu[size_t(i)]->picture(), QPoint(5, 5)), kSlotBk) << i;
        EXPECT_TRUE(w->imgMyDaoJu[size_t(i)]->toolTip().isEmpty()) << i;
    }
    // Seven items do not scroll.
    ASSERT_TRUE(ParseMyDaoJuList(st, QStringList(f.mid(0, 7)).join(u':')));
    w->RedrawMaket();
    w->picMeTypeBut_MouseUp(1, QPoint(1, 1));
    w->imgMeBut_MouseUp(MB_Forward, QPoint(1, 1));
    EXPECT_EQ(st.MyDaoJuList[1].lngFirst, 1);
}

TEST_F(Maket, MovesByItsTopBandOnly)
{
    Open();
    w->move(100, 100);
    QApplication::processEvents();
    const QPoint start = w->pos();
    auto drag = [&](QPoint local, QPoint by) {
        const QPoint g = w->mapToGlobal(local);
        w->Form_MouseDown(local, g);
        QMouseEvent move(QEvent::MouseMove, QPointF(local + by), QPointF(g + by), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(local + by), QPointF(g + by), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(w, &up);
    };
    drag(QPoint(300, 40), QPoint(30, 20));
    EXPECT_EQ(w->pos(), start);
    drag(QPoint(300, 32), QPoint(30, 20));
    EXPECT_EQ(w->pos(), start + QPoint(30, 20));
    EXPECT_FALSE(FrameDragFollowing(w));
    // After the release the mouse no longer moves it.
    QMouseEvent stray(QEvent::MouseMove, QPointF(1, 1), QPointF(500, 500), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &stray);
    EXPECT_EQ(w->pos(), start + QPoint(30, 20));
}

TEST_F(Maket, NoTypesShowsAnEmptyPage)
{
    Open();
    EXPECT_EQ(w->labPage[PL_Count]->text(), QStringLiteral("共 0 个"));
    w->labPage_Click(PL_Next);
    w->imgBuyBut_MouseUp(0, QPoint(1, 1));
    w->imgMeBut_MouseUp(MB_Forward, QPoint(1, 1));
    w->Form_MouseMove(QPoint(100, 100));
    EXPECT_TRUE(sent.isEmpty());
    EXPECT_EQ(At(w->RenderSurface(), DaoJuCellCorner(0) + QPoint(50, 50)), kInfoBk);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
