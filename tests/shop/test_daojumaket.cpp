// The item lists and messages: the catalogue, the owned items, the notes, the buy request and
// the notices, alone and through the client's dispatcher.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <unistd.h>

#include "launch/client.h"
#include "launch/roomlink.h"
#include "platform/draw/diskwatch.h"
#include "protocol/messages.h"
#include "shop/daojumaket.h"
#include "shop/profilefile.h"
#include "support/watchsettle.h"

namespace {

// One item block of a catalogue body: ID, type (0-based), name, count, hours, four prices, use-self.
QString Block(const QString& id, const QString& type, const QString& name, const QString& rest = QStringLiteral("1`24`10`9`8`7`0"))
{
    return id + u'`' + type + u'`' + name + u'`' + rest;
}

QString Catalogue(const QStringList& types, const QStringList& blocks, const QString& count = QString())
{
    QStringList f{QString::number(types.size())};
    f += types;
    f << (count.isEmpty() ? QString::number(blocks.size()) : count);
    f += blocks;
    return f.join(u'`');
}

QList<int32_t> IdsOf(const DaoJuType& t)
{
    QList<int32_t> ids;
    for (const DaoJuInfo& d : t.DaoJus) ids << d.lngID;
    return ids;
}

QList<int32_t> MyIdsOf(const DaoJuState& st, int group)
{
    QList<int32_t> ids;
    if (group < int(st.MyDaoJuList.size()))
        for (const MyDaoJu& d : st.MyDaoJuList[size_t(group)].MyDaoJus) ids << d.lngID;
    return ids;
}

void Parse(DaoJuState& st, const QString& body)
{
    ParseDaoJuList(st, body, ProfileFile());
}

class FakeView : public DaoJuView {
public:
    QStringList notices, titles, uses;
    int redraws = 0;
    void ShowDaoJuNotice(const QString& text, const QString& title) override { notices << text; titles << title; }
    void ShowDaoJuUsed(const QString& text) override { uses << text; }
    void RedrawMaket() override { ++redraws; }
};

// ---- The catalogue -------------------------------------------------------------------------

TEST(Catalogue, TheTwoTypeExample)
{
    DaoJuState st;
    Parse(st, QStringLiteral("2`道具`表情`1`5001`1`鲜花`3`48`100`90`80`70`0"));
    ASSERT_EQ(st.TypeCount(), 2);
    EXPECT_EQ(st.strDaoJuTypeName[1], QStringLiteral("道具"));
    EXPECT_EQ(st.strDaoJuTypeName[2], QStringLiteral("表情"));
    EXPECT_TRUE(st.DaoJuList[1].DaoJus.empty());
    ASSERT_EQ(st.DaoJuList[2].DaoJus.upperBound(), 1);
    const DaoJuInfo& d = st.DaoJuList[2].DaoJus(1);
    EXPECT_EQ(d.lngID, 5001);
    EXPECT_EQ(d.strName, QStringLiteral("鲜花"));
    EXPECT_EQ(d.lngCount, 3);
    EXPECT_EQ(d.lngHours, 48);
    EXPECT_EQ(d.lngPrice, 100);
    EXPECT_EQ(d.lngNowPrice, 90);
    EXPECT_EQ(d.lngVipPrice, 80);
    EXPECT_EQ(d.lngVipNowPrice, 70);
    EXPECT_EQ(d.bytUseSelf, 0);
    EXPECT_TRUE(st.DaoJuList[0].DaoJus.empty());
    EXPECT_EQ(st.MyDaoJuList.size(), 3u);
}

TEST(Catalogue, TypeCountsAndBlocks)
{
    struct Case {
        const char* what;
        QString body;
        int types;
        QList<QList<int32_t>> ids;   // per type 1..N
    };
    const Case cases[] = {
        {"empty body", QString(), 0, {}},
        {"no types", QStringLiteral("0`0"), 0, {}},
        {"negative count", QStringLiteral("-3`1`5001`0`a`1`24`10`9`8`7`0"), 0, {}},
        {"a type beyond the names, the next block still read",
         Catalogue({"A", "B"}, {Block("5001", "2", "x"), Block("5002", "1", "y"), Block("5003", "-1", "z"), Block("5004", "0", "w")}),
         2, {{5004}, {5002}}},
        {"type fields read as numbers, rounded half to even",
         Catalogue({"A", "B"}, {Block("5001", "0.5", "x"), Block("5002", "1.5", "y"), Block("5003", " 1abc", "z"), Block("5004", "q", "w")}),
         2, {{5001, 5004}, {5003}}},
        {"a block cut short by the end is dropped", Catalogue({"A"}, {Block("5001", "0", "x"), "5002`0`y`1`1"}, "2"), 1, {{5001}}},
        {"more items announced than written", Catalogue({"A"}, {Block("5001", "0", "x")}, "99999999"), 1, {{5001}}},
        {"more types announced than named", QStringLiteral("1000000`A`B"), 2, {{}, {}}},
        {"order of the message kept within a type",
         Catalogue({"A"}, {Block("5003", "0", "c"), Block("5001", "0", "a"), Block("5002", "0", "b")}), 1, {{5003, 5001, 5002}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DaoJuState st;
        st.bytCurType = 3;
        Parse(st, c.body);
        ASSERT_EQ(st.TypeCount(), c.types);
        ASSERT_EQ(st.DaoJuList.size(), size_t(c.types) + 1);
        EXPECT_EQ(st.bytCurType, 1);
        EXPECT_TRUE(st.DaoJuList[0].DaoJus.empty());
        for (int t = 1; t <= c.types; ++t) EXPECT_EQ(IdsOf(st.DaoJuList[size_t(t)]), c.ids.value(t - 1)) << "type " << t;
    }
}

TEST(Catalogue, NumberFieldsAndUseSelf)
{
    struct Case {
        QString rest;   // count, hours, prices, use-self
        int32_t count, hours, price;
        uint8_t useSelf;
    };
    const Case cases[] = {
        {QStringLiteral("2.5`3.5`12ab`0`0`0`1"), 2, 4, 12, 1},
        {QStringLiteral("x`-2.5`1e3`0`0`0`255"), 0, -2, 1000, 255},
        {QStringLiteral("1`1`1`0`0`0`256"), 1, 1, 1, 0},
        {QStringLiteral("1`1`1`0`0`0`-1"), 1, 1, 1, 0},
        {QStringLiteral("1`1`1`0`0`0`yes"), 1, 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rest.toStdString());
        DaoJuState st;
        Parse(st, Catalogue({"A"}, {Block("5001", "0", "n", c.rest)}));
        ASSERT_EQ(st.DaoJuList[1].DaoJus.upperBound(), 1);
        const DaoJuInfo& d = st.DaoJuList[1].DaoJus(1);
        EXPECT_EQ(d.lngCount, c.count);
        EXPECT_EQ(d.lngHours, c.hours);
        EXPECT_EQ(d.lngPrice, c.price);
        EXPECT_EQ(d.bytUseSelf, c.useSelf);
    }
}

TEST(Catalogue, ResetsTabsPagesAndRegroupsOwnedItems)
{
    DaoJuState st;
    Parse(st, Catalogue({"A"}, {Block("5001", "0", QStringLiteral("鲜花"), "1`24`1`1`1`1`0")}));
    ASSERT_TRUE(ParseMyDaoJuList(st, QStringLiteral("5001:2:2011102318:7777:1:2012010100")));
    EXPECT_EQ(MyIdsOf(st, 1), (QList<int32_t>{5001, 7777}));
    st.DaoJuList[1].lngFirst = 3;
    st.MyDaoJuList[1].lngFirst = 2;
    st.bytCurMyType = 1;

    // 5001 now sold under types 2 and 3 (named differently), 7777 still unknown.
    Parse(st, Catalogue({"A", "B", "C"}, {Block("5001", "2", QStringLiteral("玫瑰")), Block("5001", "1", QStringLiteral("花"))}));
    EXPECT_EQ(st.bytCurType, 1);
    EXPECT_EQ(st.bytCurMyType, 1);
    EXPECT_EQ(MyIdsOf(st, 1), (QList<int32_t>{7777}));
    EXPECT_EQ(MyIdsOf(st, 2), (QList<int32_t>{5001}));
    EXPECT_EQ(MyIdsOf(st, 3), QList<int32_t>{});
    for (const auto& g : st.MyDaoJuList) EXPECT_EQ(g.lngFirst, 1);
    for (const auto& g : st.DaoJuList) EXPECT_EQ(g.lngFirst, 1);
    // Regrouped, not renamed: every field as it was.
    const MyDaoJu& d = st.MyDaoJuList[2].MyDaoJus(1);
    EXPECT_EQ(d.strName, QStringLiteral("鲜花"));
    EXPECT_EQ(d.lngCount, 2);
    EXPECT_EQ(d.lngHour, 18);

    // A catalogue without types has nowhere to keep them.
    Parse(st, QStringLiteral("0`0"));
    EXPECT_EQ(st.MyDaoJuList.size(), 1u);
    EXPECT_TRUE(st.MyDaoJuList[0].MyDaoJus.empty());
}

// ---- The owned items -----------------------------------------------------------------------

TEST(OwnedItems, TriplesBeforeAndAfterACatalogue)
{
    struct Case {
        const char* what;
        QString body;
        bool taken;
        QList<QList<int32_t>> ids;   // groups 1..N
    };
    DaoJuState base;
    Parse(base, Catalogue({"A", "B"}, {Block("5002", "0", "x"), Block("5001", "1", QStringLiteral("鲜花"), "3`48`1`1`1`1`0"),
                                       Block("5003", "1", "z"), Block("5003", "0", "z2")}));
    ASSERT_TRUE(ParseMyDaoJuList(base, QStringLiteral("5002:1:2011010100")));
    const Case cases[] = {
        {"one item in the type that sells it", QStringLiteral("5001:2:2011102318"), true, {{}, {5001}}},
        {"two fields: ignored, the old list stays", QStringLiteral("5001:2"), false, {{5002}, {}}},
        {"four fields: ignored", QStringLiteral("5001:2:2011102318:1"), false, {{5002}, {}}},
        {"empty body clears", QString(), true, {{}, {}}},
        {"unknown ID under type 1", QStringLiteral("9999:1:2011102318:5001:1:1"), true, {{9999}, {5001}}},
        {"an ID sold by two types goes to the lower one", QStringLiteral("5003:1:1"), true, {{5003}, {}}},
        {"order kept within a group", QStringLiteral("9:1:1:5002:1:1:8:1:1"), true, {{9, 5002, 8}, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DaoJuState st = base;
        st.bytCurMyType = 2;
        st.MyDaoJuList[1].lngFirst = 5;
        EXPECT_EQ(ParseMyDaoJuList(st, c.body), c.taken);
        ASSERT_EQ(st.MyDaoJuList.size(), 3u);
        EXPECT_EQ(st.bytCurMyType, 2);   // kept
        for (int t = 1; t <= 2; ++t) EXPECT_EQ(MyIdsOf(st, t), c.ids.value(t - 1)) << "group " << t;
        if (c.taken) {
            EXPECT_EQ(st.MyDaoJuList[1].lngFirst, 1);
        }
    }
}

TEST(OwnedItems, FieldsOfAnItem)
{
    DaoJuState st;
    Parse(st, Catalogue({"A", "B"}, {Block("5001", "1", QStringLiteral("鲜花"), "3`48`1`1`1`1`0"),
                                     Block("5005", "0", QStringLiteral("喇叭"), "1`24`1`1`1`1`1")}));
    ASSERT_TRUE(ParseMyDaoJuList(st, QStringLiteral("5001:2:2011102318:4242:3:2012010203:5005:1:-2011102318")));
    const MyDaoJu& flower = st.MyDaoJuList[2].MyDaoJus(1);
    EXPECT_EQ(flower.strName, QStringLiteral("鲜花"));
    EXPECT_EQ(flower.lngCount, 2);
    EXPECT_EQ(flower.bytUseSelf, 0);
    EXPECT_EQ(flower.lngYear, 2011);
    EXPECT_EQ(flower.lngMonth, 10);
    EXPECT_EQ(flower.lngDay, 23);
    EXPECT_EQ(flower.lngHour, 18);
    ASSERT_EQ(st.MyDaoJuList[1].MyDaoJus.upperBound(), 2);
    const MyDaoJu& unknown = st.MyDaoJuList[1].MyDaoJus(1);
    EXPECT_EQ(unknown.strName, QStringLiteral("未知名称"));
    EXPECT_EQ(unknown.bytUseSelf, 1);
    EXPECT_EQ(unknown.lngMonth, 1);
    EXPECT_EQ(unknown.lngDay, 2);
    EXPECT_EQ(unknown.lngHour, 3);
    // Integer division and remainder keep the sign of a negative expiry.
    const MyDaoJu& neg = st.MyDaoJuList[1].MyDaoJus(2);
    EXPECT_EQ(neg.bytUseSelf, 1);
    EXPECT_EQ(neg.lngYear, -2011);
    EXPECT_EQ(neg.lngHour, -18);
}

TEST(OwnedItems, DroppedWithoutACatalogue)
{
    DaoJuState st;
    EXPECT_TRUE(ParseMyDaoJuList(st, QStringLiteral("5001:2:2011102318")));
    EXPECT_EQ(st.MyDaoJuList.size(), 1u);
    EXPECT_TRUE(st.MyDaoJuList[0].MyDaoJus.empty());
}

// ---- The notes -----------------------------------------------------------------------------

class Notes : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString app() const { return dir.path() + u'/'; }
    void Write(const QString& text, const QString& rel = QStringLiteral("Res/DaoJu/DaoJuInfo.ini"))
    {
        const QString path = dir.filePath(rel);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QStringEncoder enc("GBK");
        f.write(enc.encode(text));
    }
};

TEST_F(Notes, SectionAndKeyLookup)
{
    Write(QStringLiteral("; comment\r\n[DaoJuInfo_ID_5001]\r\nNote=  送一束鲜花  \r\nOther=x\r\n"
                         "[daojuinfo_id_5002]\nnote = \"引号里的说明\" \n"
                         "[DaoJuInfo_ID_5003]\nNoteX=no\n"
                         "[DaoJuInfo_ID_5004]\nNote=first\n[DaoJuInfo_ID_5004]\nNote=second\n"
                         "[DaoJuInfo_ID_5005]\rNote=a=b\\n,c\r"
                         "[DaoJuInfo_ID_05006]\nNote=leading zero\n"));
    const QString file = DaoJuNoteFile(app());
    struct Case {
        int32_t id;
        QString note;
    };
    const Case cases[] = {
        {5001, QStringLiteral("送一束鲜花")},
        {5002, QStringLiteral("引号里的说明")},
        {5003, QString()},
        {5004, QStringLiteral("first")},
        {5005, QStringLiteral("a=b\\n,c")},
        {5006, QString()},
        {7, QString()},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadDaoJuNote(file, c.id), c.note) << c.id;
    // The folders are matched ignoring case, as the game writes them.
    EXPECT_EQ(ReadDaoJuNote(app() + QStringLiteral("res\\daoju\\daojuinfo.INI"), 5001), QStringLiteral("送一束鲜花"));
    EXPECT_EQ(ReadDaoJuNote(app() + QStringLiteral("Res/DaoJu/none.ini"), 5001), QString());
}

TEST_F(Notes, LongNotesAreCutTo1023Bytes)
{
    const QString ascii(2000, u'a');
    const QString chinese = QString(600, u'说');        // 1200 bytes; the 512th would straddle the cut
    const QString mixed = u'x' + QString(600, u'说');   // 1 + 511 x 2 bytes fill the room exactly
    const QString spaced = QString(1021, u'b') + QStringLiteral("  cd");
    Write(QStringLiteral("[DaoJuInfo_ID_1]\nNote=") + ascii + QStringLiteral("\n[DaoJuInfo_ID_2]\nNote=") + chinese +
          QStringLiteral("\n[DaoJuInfo_ID_3]\nNote=") + mixed + QStringLiteral("\n[DaoJuInfo_ID_4]\nNote=") + spaced + u'\n');
    const QString file = DaoJuNoteFile(app());
    EXPECT_EQ(ReadDaoJuNote(file, 1), QString(1023, u'a'));
    EXPECT_EQ(ReadDaoJuNote(file, 2), QString(511, u'说'));
    EXPECT_EQ(ReadDaoJuNote(file, 3), u'x' + QString(511, u'说'));
    // Cut inside the spaces: what is left loses its trailing blanks.
    EXPECT_EQ(ReadDaoJuNote(file, 4), QString(1021, u'b'));
}

TEST_F(Notes, CatalogueItemsTakeTheirNotes)
{
    Write(QStringLiteral("[DaoJuInfo_ID_5001]\nNote=鲜花的说明\n"));
    DaoJuState st;
    PublicState pub;
    pub.strAppPath = app();
    ParseDaoJuList(DaoJuCtx{st, pub, {}}, Catalogue({"A"}, {Block("5001", "0", "x"), Block("5002", "0", "y")}));
    ASSERT_EQ(st.DaoJuList[1].DaoJus.upperBound(), 2);
    EXPECT_EQ(st.DaoJuList[1].DaoJus(1).strNote, QStringLiteral("鲜花的说明"));
    EXPECT_EQ(st.DaoJuList[1].DaoJus(2).strNote, QString());
}

// A catalogue comes with every visit; the file is read again only when it changed on disk.
TEST_F(Notes, TheFileIsReadAgainOnlyWhenItChanges)
{
    if (!DiskWatch::instance().enabled()) GTEST_SKIP() << "no disk watch here";
    Write(QStringLiteral("[DaoJuInfo_ID_5001]\nNote=one\n"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("elsewhere")));
    const QString alias = dir.filePath("elsewhere/alias.ini");
    ASSERT_EQ(::link(QFile::encodeName(dir.filePath("Res/DaoJu/DaoJuInfo.ini")).constData(),
                     QFile::encodeName(alias).constData()), 0);
    DaoJuState st;
    PublicState pub;
    pub.strAppPath = app();
    const auto noteNow = [&] {
        ParseDaoJuList(DaoJuCtx{st, pub, {}}, Catalogue({"A"}, {Block("5001", "0", "x")}));
        return st.DaoJuList[1].DaoJus(1).strNote;
    };
    EXPECT_EQ(noteNow(), QStringLiteral("one"));
    // The reports of the writes above may still be on their way; once they are in, the note is
    // read once more and then stands.
    ASSERT_TRUE(testsupport::SettleDiskWatch(DiskWatch::instance(), dir.filePath("Res/DaoJu")));
    EXPECT_EQ(noteNow(), QStringLiteral("one"));
    // The same file written through a name the watch does not look at: what was read stands.
    Write(QStringLiteral("[DaoJuInfo_ID_5001]\nNote=two\n"), QStringLiteral("elsewhere/alias.ini"));
    EXPECT_EQ(noteNow(), QStringLiteral("one"));
    // Written where the watch looks: read again.
    Write(QStringLiteral("[DaoJuInfo_ID_5001]\nNote=three\n"));
    EXPECT_EQ(noteNow(), QStringLiteral("three"));
}

TEST_F(Notes, AFolderInPlaceOfTheFileReadsNothing)
{
    QDir().mkpath(dir.filePath(QStringLiteral("Res/DaoJu/DaoJuInfo.ini")));
    EXPECT_EQ(ReadDaoJuNote(DaoJuNoteFile(app()), 5001), QString());
}

// ---- Buying --------------------------------------------------------------------------------

TEST(Buy, OnlyCellsHoldingAnItemSendARequest)
{
    DaoJuState st;
    PublicState pub;
    QList<QByteArray> sent;
    const DaoJuCtx c{st, pub, [&](const QByteArray& m) { sent << m; return true; }};
    EXPECT_FALSE(BuyDaoJu(c, 0));   // no catalogue yet
    Parse(st, Catalogue({"A", "B"}, {Block("5001", "0", "a"), Block("5002", "0", "b"), Block("5003", "0", "c"),
                                     Block("5004", "0", "d"), Block("5005", "0", "e"), Block("6001", "1", "f")}));
    struct Case {
        uint8_t type;
        int32_t first;
        int cell;
        int32_t id;   // 0: nothing sent
    };
    const Case cases[] = {
        {1, 1, 0, 5001}, {1, 1, 3, 5004}, {1, 3, 1, 5004}, {1, 3, 2, 5005}, {1, 3, 3, 0},
        {1, 1, -1, 0},   {1, 1, 4, 0},    {2, 1, 0, 6001}, {2, 1, 1, 0},    {1, -5, 0, 0},
    };
    for (const Case& k : cases) {
        sent.clear();
        st.bytCurType = k.type;
        st.DaoJuList[k.type].lngFirst = k.first;
        EXPECT_EQ(BuyDaoJu(c, k.cell), k.id != 0) << int(k.type) << "/" << k.first << "/" << k.cell;
        EXPECT_EQ(sent, k.id ? QList<QByteArray>{BuildBuyDaoJu(k.id)} : QList<QByteArray>{});
    }
    // Buying changes nothing here: the server answers with the lists.
    EXPECT_EQ(st.DaoJuList[1].DaoJus.upperBound(), 5);
    EXPECT_EQ(BuildBuyDaoJu(5001), QByteArray("\x85\x00" "5001", 6));
}

// ---- Messages ------------------------------------------------------------------------------

class Messages : public ::testing::Test {
protected:
    DaoJuState st;
    PublicState pub;
    FakeView view;
    void SetUp() override
    {
        pub.strGameTitle = QStringLiteral("四人牌局");
        st.view = &view;
    }
    void Handle(const QByteArray& msg) { HandleDaoJuMsg(DaoJuCtx{st, pub, {}}, msg); }
};

TEST_F(Messages, NoticeAndItemUse)
{
    Handle(BuildDaoJuText(DJ_NOTICE, QStringLiteral("购买成功！")));
    Handle(QByteArray("\x85\x03\x02\x00\x00\x00\x13\x89", 8));
    Handle(BuildDaoJuUsed(255, 3, -1));
    Handle(QByteArray("\x85\x02", 2));   // a notice without text has its box all the same
    ASSERT_EQ(view.notices, (QStringList{QStringLiteral("购买成功！"), QString()}));
    EXPECT_EQ(view.titles, QStringList(2, QStringLiteral("四人牌局提示")));
    EXPECT_EQ(view.uses, (QStringList{QStringLiteral("2 号用户对 0 号用户使用ID号为 5001 的道具"),
                                      QStringLiteral("255 号用户对 3 号用户使用ID号为 -1 的道具")}));
}

TEST_F(Messages, MalformedAndOtherSubCodesAreIgnored)
{
    Handle(BuildDaoJuText(DJ_LIST, Catalogue({"A"}, {Block("5001", "0", "a")})));
    ASSERT_EQ(st.TypeCount(), 1);
    const QByteArray ignored[] = {
        QByteArray("\x85", 1),                              // no sub-code
        QByteArray("\x85\x03\x02\x00\x00\x00\x13", 7),      // item use one byte short
        QByteArray("\x85\x04" "1`A`0", 7),                  // unknown sub-code
        QByteArray("\x85\x00\x81", 3),                      // catalogue whose text does not decode
        QByteArray("\x85\x01\xFF\xFF", 4),                  // owned items whose text does not decode
        QByteArray("\x85\x02\x81", 3),                      // a notice whose text does not decode
        BuildDaoJuText(DJ_MY_LIST, QStringLiteral("5001:1")),
    };
    for (const QByteArray& m : ignored) Handle(m);
    EXPECT_EQ(st.TypeCount(), 1);
    EXPECT_EQ(st.DaoJuList[1].DaoJus.upperBound(), 1);
    EXPECT_TRUE(view.notices.isEmpty());
    EXPECT_TRUE(view.uses.isEmpty());
    // A catalogue header alone is an empty catalogue, as the server may send one.
    Handle(QByteArray("\x85\x00", 2));
    EXPECT_EQ(st.TypeCount(), 0);
}

TEST_F(Messages, ListsRepaintTheShopOnlyWhileItIsOpen)
{
    Handle(BuildDaoJuText(DJ_LIST, Catalogue({"A"}, {Block("5001", "0", "a")})));
    Handle(BuildDaoJuText(DJ_MY_LIST, QStringLiteral("5001:1:1")));
    EXPECT_EQ(view.redraws, 0);
    st.blnMaketLoaded = true;
    Handle(BuildDaoJuText(DJ_LIST, Catalogue({"A"}, {Block("5001", "0", "a")})));
    Handle(BuildDaoJuText(DJ_MY_LIST, QStringLiteral("5001:1:1")));
    Handle(BuildDaoJuText(DJ_MY_LIST, QStringLiteral("5001:1")));   // ignored: no repaint
    EXPECT_EQ(view.redraws, 2);
}

TEST(Dispatch, ItemMessagesReachTheShop)
{
    Client c;
    InitDaoJuMaket(c.daoJu);
    FakeView view;
    c.daoJu.view = &view;
    c.pub.strGameTitle = QStringLiteral("牌局");
    EXPECT_EQ(DispatchMessage(c, BuildDaoJuText(DJ_LIST, Catalogue({"A", "B"}, {Block("5001", "1", "a")}))), MsgRoute::Items);
    EXPECT_EQ(c.daoJu.TypeCount(), 2);
    DispatchMessage(c, BuildDaoJuText(DJ_MY_LIST, QStringLiteral("5001:1:2011102318")));
    EXPECT_EQ(MyIdsOf(c.daoJu, 2), QList<int32_t>{5001});
    DispatchMessage(c, BuildDaoJuText(DJ_NOTICE, QStringLiteral("好")));
    EXPECT_EQ(view.titles, QStringList{QStringLiteral("牌局提示")});
    // The buy request goes through the client's sender.
    QList<QByteArray> sent;
    c.sendHook = [&](const QByteArray& m) { sent << m; return true; };
    c.daoJu.bytCurType = 2;
    EXPECT_TRUE(BuyDaoJu(DaoJuCtx{c.daoJu, c.pub, c.sendHook}, 0));
    EXPECT_EQ(sent, QList<QByteArray>{BuildBuyDaoJu(5001)});
}

}  // namespace
