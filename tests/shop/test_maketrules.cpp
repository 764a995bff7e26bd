// The shop window's rules without a window: paging, the cell hit test, the strip's scrolling and
// the texts of cells, panel and tool tips.
#include <gtest/gtest.h>

#include "shop/maketrules.h"

namespace {

TEST(Paging, ByRowsOfTwo)
{
    struct Case {
        int n;
        int label;
        int32_t from, to;
    };
    const Case cases[] = {
        // 7 items: pages start at 1, 3, 5; "下页" from 5 stays (5 + 4 > 7); "末页" goes to 5.
        {7, PL_Next, 1, 3}, {7, PL_Next, 3, 5}, {7, PL_Next, 5, 5}, {7, PL_Last, 1, 5}, {7, PL_Prev, 5, 3},
        {7, PL_Prev, 1, 1}, {7, PL_First, 5, 1}, {7, PL_Count, 3, 3},
        // 8 items: "末页" goes to 5 (5..8); from 3 "下页" goes to 5.
        {8, PL_Last, 1, 5}, {8, PL_Next, 3, 5}, {8, PL_Next, 5, 5},
        // 3 items: "下页" stays, "末页" is max(3 - 2, 1) = 1.
        {3, PL_Next, 1, 1}, {3, PL_Last, 1, 1},
        // the smallest types
        {0, PL_Last, 1, 1}, {1, PL_Last, 1, 1}, {2, PL_Last, 1, 1}, {4, PL_Last, 1, 1}, {4, PL_Next, 1, 1},
        {5, PL_Next, 1, 3}, {5, PL_Last, 1, 3}, {9, PL_Last, 1, 7}, {10, PL_Last, 1, 7},
        // near the top of the number range nothing overflows
        {2147483647, PL_Next, 2147483645, 2147483645},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageTarget(c.label, c.from, c.n), c.to) << "n=" << c.n << " label=" << c.label << " from=" << c.from;
    EXPECT_EQ(PageCountText(7), QStringLiteral("共 7 个"));
}

TEST(Paging, AnyClickLeavesAPageOfWholeRowsWithItemsOnIt)
{
    for (int n = 1; n <= 12; ++n)
        for (int32_t F = 1; F <= n; F += 2)
            for (int label = PL_First; label <= PL_Last; ++label) {
                const int32_t to = PageTarget(label, F, n);
                EXPECT_EQ(to % 2, 1) << n << " " << F << " " << label;
                EXPECT_LE(to, n) << n << " " << F << " " << label;
            }
}

TEST(HitTest, CellsAndTheirEdges)
{
    struct Case {
        int x, y, cell;
    };
    const Case cases[] = {
        {294, 100, 0}, {295, 100, 1}, {14, 100, -1}, {15, 100, 0},  {15, 68, 0},    {15, 67, -1},
        {573, 100, 1}, {574, 100, -1}, {100, 227, 0}, {100, 228, 2}, {295, 228, 3}, {573, 386, 3},
        {573, 387, -1}, {600, 200, -1}, {-5, -5, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(HitDaoJuCell(c.x, c.y), c.cell) << c.x << "," << c.y;
    EXPECT_EQ(DaoJuCellCorner(0), QPoint(15, 68));
    EXPECT_EQ(DaoJuCellCorner(1), QPoint(294, 68));
    EXPECT_EQ(DaoJuCellCorner(2), QPoint(15, 227));
    EXPECT_EQ(DaoJuCellCorner(3), QPoint(294, 227));
}

TEST(CellText, SevenLines)
{
    struct Case {
        int32_t count, hours;
        uint8_t useSelf;
        QString name, validity, target;
    };
    const Case cases[] = {
        {1, 23, 0, QStringLiteral("鲜花"), QStringLiteral("有效期限：23小时"), QStringLiteral("使用对象：别人")},
        {5, 24, 1, QStringLiteral("鲜花(5个)"), QStringLiteral("有效期限：1天"), QStringLiteral("使用对象：自己")},
        {2, 47, 7, QStringLiteral("鲜花(2个)"), QStringLiteral("有效期限：1天"), QStringLiteral("使用对象：自己")},
        {0, 720, 0, QStringLiteral("鲜花"), QStringLiteral("有效期限：30天"), QStringLiteral("使用对象：别人")},
    };
    for (const Case& c : cases) {
        DaoJuInfo d;
        d.strName = QStringLiteral("鲜花");
        d.lngCount = c.count;
        d.lngHours = c.hours;
        d.bytUseSelf = c.useSelf;
        d.lngPrice = 100;
        d.lngNowPrice = 90;
        d.lngVipPrice = 80;
        d.lngVipNowPrice = 70;
        const auto lines = DaoJuCellLines(d);
        EXPECT_EQ(lines[0].text, c.name);
        EXPECT_EQ(lines[1].text, c.validity);
        EXPECT_EQ(lines[6].text, c.target);
        EXPECT_EQ(lines[2].text, QStringLiteral("普通原价：100"));
        EXPECT_EQ(lines[3].text, QStringLiteral("普通现价：90"));
        EXPECT_EQ(lines[4].text, QStringLiteral("会员原价：80"));
        EXPECT_EQ(lines[5].text, QStringLiteral("会员现价：70"));
        // Original prices struck through, current prices red; everything else plain black.
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(lines[size_t(k)].struck, k == 2 || k == 4) << k;
            EXPECT_EQ(lines[size_t(k)].color, (k == 3 || k == 5) ? QColor(255, 0, 0) : QColor(0, 0, 0)) << k;
        }
    }
}

TEST(PanelText, NotesAndWrapping)
{
    DaoJuInfo d;
    EXPECT_EQ(DaoJuNoteText(d), QStringLiteral("暂无说明。"));
    d.strNote = QStringLiteral("送花");
    EXPECT_EQ(DaoJuNoteText(d), QStringLiteral("说明：送花"));
    EXPECT_EQ(MaketNoteText(QStringLiteral("四人牌局")), QStringLiteral("注意：本商城里陈列的所有道具都是四人牌局道具。"));
    EXPECT_EQ(MaketTitle(QStringLiteral("四人牌局")), QStringLiteral("四人牌局 的道具商城"));

    struct Case {
        QString text;
        QStringList lines;
    };
    const Case cases[] = {
        // 45 characters of one column: 20, 20 and 5.
        {QString(45, u'x'), {QString(20, u'x'), QString(20, u'x'), QString(5, u'x')}},
        // Chinese characters take two columns: ten to a line.
        {QString(25, u'道'), {QString(10, u'道'), QString(10, u'道'), QString(5, u'道')}},
        // A wide character that does not fit in the last column starts the next line.
        {QString(19, u'a') + QStringLiteral("说明"), {QString(19, u'a'), QStringLiteral("说明")}},
        {QStringLiteral("说明：") + QString(11, u'b') + QStringLiteral("，好"),
         {QStringLiteral("说明：") + QString(11, u'b') + QStringLiteral("，"), QStringLiteral("好")}},
        // A character outside the basic plane is one character, never split.
        {QString(19, u'a') + QString::fromUcs4(U"\U00020000"), {QString(19, u'a'), QString::fromUcs4(U"\U00020000")}},
        {QString(), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(WrapText(c.text, 20), c.lines) << c.text.toStdString();
}

TEST(Strip, ScrollsOneSlotAtATime)
{
    struct Case {
        int n, button;
        int32_t from, to;
    };
    const Case cases[] = {
        {7, MB_Forward, 1, 1}, {8, MB_Forward, 1, 2}, {8, MB_Forward, 2, 2}, {8, MB_Back, 2, 1},
        {8, MB_Back, 1, 1},    {0, MB_Forward, 1, 1}, {20, MB_Forward, 13, 14}, {20, MB_Forward, 14, 14},
    };
    for (const Case& c : cases) EXPECT_EQ(StripTarget(c.button, c.from, c.n), c.to) << c.n << " " << c.button << " " << c.from;
}

TEST(Strip, ToolTips)
{
    MyDaoJu d;
    d.strName = QStringLiteral("鲜花");
    d.lngCount = 3;
    d.lngYear = 2011;
    d.lngMonth = 10;
    d.lngDay = 23;
    d.lngHour = 18;
    d.bytUseSelf = 1;
    EXPECT_EQ(MyDaoJuTip(d), QStringLiteral("鲜花  剩3个  2011年10月23日18时到期 对自己使用"));
    d.strName = QStringLiteral("未知名称");
    d.bytUseSelf = 0;
    d.lngMonth = 1;
    d.lngDay = 2;
    d.lngHour = 3;
    EXPECT_EQ(MyDaoJuTip(d), QStringLiteral("未知名称  剩3个  2011年1月2日3时到期 对别人使用"));
}

TEST(Places, ControlsWhereTheWindowPutsThem)
{
    EXPECT_EQ(TypeTabPos(1, false), QPoint(10, 38));
    EXPECT_EQ(TypeTabPos(3, true), QPoint(180, 427));
    EXPECT_EQ(BuyButRect(3), QRect(506, 348, 55, 23));
    EXPECT_EQ(MeButRect(1), QRect(688, 447, 38, 94));
    EXPECT_EQ(MyDaoJuSlotRect(6), QRect(596, 454, 81, 79));
    EXPECT_EQ(SysButRect(1), QRect(710, 2, 17, 17));
    EXPECT_EQ(PageLabelPos(PL_Last), QPoint(520, 385));
    // Everything lies inside the window.
    const QRect win(0, 0, MaketMetrics::Width, MaketMetrics::Height);
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(win.contains(MyDaoJuSlotRect(i))) << i;
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(win.contains(MeButRect(i))) << i;
}

}  // namespace
