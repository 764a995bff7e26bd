// The item lists from arbitrary texts (the catalogue of 133/0 and the own items of 133/1, in
// either order and over lists already there), then everything the shop window reads of them: the
// cells of every page, the page and strip moves, the texts of cells, panels and tool tips, and
// now and then the whole window's picture. The lists always agree on the number of types, and
// every cell and slot the shop reaches holds an item of its list.
//
// Input: byte 0 the order and the drawing; then the two bodies as they come over the link (GBK),
// separated by the first zero byte.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdlib>

#include "platform/draw/imagecache.h"
#include "protocol/codec.h"
#include "shop/daojumaket.h"
#include "shop/maketpaint.h"
#include "shop/maketrules.h"
#include "shop/profilefile.h"

namespace {

QString Body(const char* p, qsizetype n)
{
    // The text as the handler gets it: decoded from byte 2 of the message.
    return DecodePacketText(QByteArray("\x85\x00", 2) + QByteArray(p, n), 2);
}

void CheckLists(const DaoJuState& st)
{
    const size_t n = st.strDaoJuTypeName.size();
    if (n < 1 || st.DaoJuList.size() != n || st.MyDaoJuList.size() != n) abort();
}

// Every page of every type, every strip position, through the shop's own moves.
void WalkShop(DaoJuState& st)
{
    for (int t = 1; t <= st.TypeCount() && t <= MaketMetrics::MaxTabs; ++t) {
        st.bytCurType = uint8_t(t);
        DaoJuType* type = st.CurType();
        if (!type) abort();
        const int n = type->DaoJus.upperBound();
        for (int step = 0; step < 64; ++step) {
            for (int cell = 0; cell < MaketMetrics::CellsPerPage; ++cell) {
                const DaoJuInfo* d = DaoJuInCell(st, cell);
                if (!d) continue;
                if (d < &type->DaoJus(1) || d > &type->DaoJus(n)) abort();
                DaoJuCellLines(*d);
                WrapText(DaoJuNoteText(*d), MaketMetrics::WrapChars);
            }
            const int32_t next = PageTarget(PL_Next, type->lngFirst, n);
            if (next == type->lngFirst) break;
            type->lngFirst = next;
        }
        type->lngFirst = PageTarget(PL_Last, type->lngFirst, n);
        type->lngFirst = PageTarget(PL_Prev, type->lngFirst, n);
        DaoJuInCell(st, 3);
        type->lngFirst = PageTarget(PL_First, type->lngFirst, n);
        st.bytCurMyType = uint8_t(t);
        MyDaoJuType* mine = st.CurMyType();
        if (!mine) abort();
        const int m = mine->MyDaoJus.upperBound();
        for (int step = 0; step < 64; ++step) {
            for (int slot = 0; slot < MaketMetrics::SlotCount; ++slot) {
                const int k = mine->lngFirst + slot;
                if (mine->MyDaoJus.has(k)) MyDaoJuTip(mine->MyDaoJus(k));
            }
            const int32_t next = StripTarget(MB_Forward, mine->lngFirst, m);
            if (next == mine->lngFirst) break;
            mine->lngFirst = next;
        }
        mine->lngFirst = StripTarget(MB_Back, mine->lngFirst, m);
    }
    st.bytCurType = 1;
    st.bytCurMyType = 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t flags = data[0];
    const char* p = reinterpret_cast<const char*>(data) + 1;
    const qsizetype n = qsizetype(size - 1);
    qsizetype cut = 0;
    while (cut < n && p[cut] != 0) ++cut;
    const QString list = Body(p, cut);
    const QString mine = cut < n ? Body(p + cut + 1, n - cut - 1) : QString();

    DaoJuState st;
    InitDaoJuMaket(st);
    const ProfileFile notes = ProfileFile::FromBytes("[DaoJuInfo_ID_5001]\r\nNote=  鲜花一束  \r\n");
    // A catalogue and owned items already there, as after the welcome.
    ParseDaoJuList(st, QStringLiteral("2`道具`礼物`1`5001`1`鲜花`3`48`100`90`80`70`0"), notes);
    ParseMyDaoJuList(st, QStringLiteral("5001:2:2011102318:5099:1:2011102400"));
    if (flags & 1) {
        ParseMyDaoJuList(st, mine);
        CheckLists(st);
        ParseDaoJuList(st, list, notes);
    } else {
        ParseDaoJuList(st, list, notes);
        CheckLists(st);
        ParseMyDaoJuList(st, mine);
    }
    CheckLists(st);
    WalkShop(st);
    if ((flags & 0x70) == 0) {
        PublicState pub;
        pub.strGameTitle = QStringLiteral("四人牌局");
        QImage img(MaketMetrics::Width, MaketMetrics::Height, QImage::Format_RGB32);
        QPainter painter(&img);
        st.lngHotCell = flags >> 7 ? 0 : -1;
        DrawMaket(painter, MaketPaintCtx{st, pub, ImageCache::instance()});
    }
    return 0;
}
