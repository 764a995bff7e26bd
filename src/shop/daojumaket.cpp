#include "shop/daojumaket.h"

#include <QHash>
#include <algorithm>
#include <memory>
#include <sys/stat.h>

#include "platform/core/vbnum.h"
#include "platform/draw/diskwatch.h"
#include "platform/draw/respath.h"
#include "protocol/messages.h"
#include "protocol/received.h"
#include "shop/profilefile.h"

namespace {

// The fields of one catalogue item block, in the order the server writes them.
enum DaoJuField : int {
    DF_ID, DF_Type, DF_Name, DF_Count, DF_Hours, DF_Price, DF_NowPrice, DF_VipPrice, DF_VipNowPrice, DF_UseSelf,
    DF_BlockSize
};

// The fields of one owned item: "ID:count:expiry".
enum MyDaoJuField : int { MF_ID, MF_Count, MF_Expiry, MF_TripleSize };

// Where an ID is first listed in the catalogue: types 1..N in order, items from 1 upward.
struct CatalogueSpot {
    int type = 0;
    int index = 0;
};

QHash<int32_t, CatalogueSpot> FirstSpots(const DaoJuState& st)
{
    QHash<int32_t, CatalogueSpot> spots;
    for (int t = 1; t < int(st.DaoJuList.size()); ++t) {
        const auto& items = st.DaoJuList[size_t(t)].DaoJus;
        for (int k = 1; k <= items.upperBound(); ++k)
            if (!spots.contains(items(k).lngID)) spots.insert(items(k).lngID, {t, k});
    }
    return spots;
}

void RedrawIfLoaded(const DaoJuState& st)
{
    if (st.blnMaketLoaded && st.view) st.view->RedrawMaket();
}

// The note file as last read. A catalogue message comes with every visit to the room and the
// file may be large: it is read again only when the disk watch tells of a change on its way
// (or cannot watch it).
const ProfileFile& DaoJuNotes(const QString& path)
{
    static struct {
        QString path;
        quint64 generation = 0;
        bool watched = false;
        std::unique_ptr<ProfileFile> notes;
    } cache;
    const quint64 gen = DiskWatch::instance().generation();
    if (cache.notes && cache.watched && cache.generation == gen && cache.path == path) return *cache.notes;
    struct stat st {};
    const ResolvedPath r = ResolvePathAt(path, gen, &st);
    cache.notes = std::make_unique<ProfileFile>(ProfileFile::Load(r.path));
    cache.path = path;
    cache.generation = gen;
    cache.watched = r.watched;
    return *cache.notes;
}

}  // namespace

QString DaoJuNoteFile(const QString& strAppPath)
{
    return strAppPath + QStringLiteral("Res/DaoJu/DaoJuInfo.ini");
}

void InitDaoJuMaket(DaoJuState& st)
{
    st.blnMaketLoaded = false;
    st.strDaoJuTypeName.assign(1, QString());
    st.DaoJuList.assign(1, DaoJuType{});
    st.MyDaoJuList.assign(1, MyDaoJuType{});
    st.bytCurType = 1;
    st.bytCurMyType = 1;
    st.lngHotCell = -1;
}

void ParseDaoJuList(DaoJuState& st, const QString& body, const ProfileFile& notes)
{
    // The owned items, in group order, to be regrouped under the new types at the end.
    std::vector<MyDaoJu> owned;
    for (size_t t = 1; t < st.MyDaoJuList.size(); ++t)
        for (const MyDaoJu& d : st.MyDaoJuList[t].MyDaoJus) owned.push_back(d);

    const QStringList f = SplitFields(body);
    const qsizetype nf = f.size();
    auto num = [&](qsizetype i) -> int32_t { return i >= 0 && i < nf ? ValLng(f[i]) : 0; };
    auto text = [&](qsizetype i) { return i >= 0 && i < nf ? f[i] : QString(); };

    // A count beyond the names the body holds is not believed: such types could only be empty
    // tabs, and the count alone must not decide how much is allocated.
    qsizetype n = std::max<int32_t>(num(0), 0);
    n = std::min(n, std::max<qsizetype>(nf - 1, 0));
    st.strDaoJuTypeName.assign(size_t(n) + 1, QString());
    st.DaoJuList.assign(size_t(n) + 1, DaoJuType{});
    st.bytCurType = 1;
    for (qsizetype t = 1; t <= n; ++t) st.strDaoJuTypeName[size_t(t)] = text(t);

    qsizetype i = n + 1;
    const int64_t m = num(i);
    ++i;
    for (int64_t k = 0; k < m; ++k, i += DF_BlockSize) {
        // A block cut short by the end of the body is dropped, and nothing follows it.
        if (i + DF_BlockSize > nf) break;
        const int64_t t = int64_t(num(i + DF_Type)) + 1;
        // A type outside the names is never shown; its fields are still passed over.
        if (t < 1 || t > n) continue;
        DaoJuInfo d;
        d.lngID = num(i + DF_ID);
        d.strName = text(i + DF_Name);
        d.lngCount = num(i + DF_Count);
        d.lngHours = num(i + DF_Hours);
        d.lngPrice = num(i + DF_Price);
        d.lngNowPrice = num(i + DF_NowPrice);
        d.lngVipPrice = num(i + DF_VipPrice);
        d.lngVipNowPrice = num(i + DF_VipNowPrice);
        const int32_t useSelf = num(i + DF_UseSelf);
        d.bytUseSelf = useSelf >= 0 && useSelf <= 255 ? uint8_t(useSelf) : 0;
        d.strNote = DaoJuNoteOf(notes, d.lngID);
        st.DaoJuList[size_t(t)].DaoJus.append(std::move(d));
    }

    // The owned items go under the first type that sells their ID, else under type 1; they keep
    // every field, the name included. Without types there is nowhere to put them.
    st.MyDaoJuList.assign(size_t(n) + 1, MyDaoJuType{});
    st.bytCurMyType = 1;
    const QHash<int32_t, CatalogueSpot> spots = FirstSpots(st);
    for (MyDaoJu& d : owned) {
        const int t = spots.value(d.lngID, CatalogueSpot{1, 0}).type;
        if (t > n) continue;
        st.MyDaoJuList[size_t(t)].MyDaoJus.append(std::move(d));
    }
    RedrawIfLoaded(st);
}

void ParseDaoJuList(const DaoJuCtx& c, const QString& body)
{
    ParseDaoJuList(c.st, body, DaoJuNotes(DaoJuNoteFile(c.pub.strAppPath)));
}

bool ParseMyDaoJuList(DaoJuState& st, const QString& body)
{
    const QStringList f = body.isEmpty() ? QStringList() : body.split(QLatin1Char(':'));
    if (f.size() % MF_TripleSize != 0) return false;

    const int n = st.TypeCount();
    st.MyDaoJuList.assign(size_t(n) + 1, MyDaoJuType{});
    const QHash<int32_t, CatalogueSpot> spots = FirstSpots(st);
    for (qsizetype i = 0; i + MF_TripleSize <= f.size(); i += MF_TripleSize) {
        MyDaoJu d;
        d.lngID = ValLng(f[i + MF_ID]);
        d.lngCount = ValLng(f[i + MF_Count]);
        const int32_t e = ValLng(f[i + MF_Expiry]);   // YYYYMMDDHH
        d.lngYear = e / 1000000;
        d.lngMonth = (e % 1000000) / 10000;
        d.lngDay = (e % 10000) / 100;
        d.lngHour = e % 100;
        int t = 1;
        auto it = spots.constFind(d.lngID);
        if (it != spots.constEnd()) {
            const DaoJuInfo& info = st.DaoJuList[size_t(it->type)].DaoJus(it->index);
            t = it->type;
            d.strName = info.strName;
            d.bytUseSelf = info.bytUseSelf;
        } else {
            d.strName = kUnknownDaoJuName;
            d.bytUseSelf = 1;
        }
        // No catalogue yet: no group to hold the item.
        if (t > n) continue;
        st.MyDaoJuList[size_t(t)].MyDaoJus.append(std::move(d));
    }
    return true;
}

bool ParseMyDaoJuList(const DaoJuCtx& c, const QString& body)
{
    if (!ParseMyDaoJuList(c.st, body)) return false;
    RedrawIfLoaded(c.st);
    return true;
}

QString DaoJuNoteOf(const ProfileFile& notes, int32_t id)
{
    QString s = notes.value(QStringLiteral("DaoJuInfo_ID_") + QString::number(id), QStringLiteral("Note"), QString(),
                            kDaoJuNoteBuffer);
    qsizetype a = 0, b = s.size();
    while (a < b && s[a] == u' ') ++a;
    while (b > a && s[b - 1] == u' ') --b;
    s = s.mid(a, b - a);
    s.remove(QChar(u'\0'));
    return s;
}

QString ReadDaoJuNote(const QString& path, int32_t id)
{
    return DaoJuNoteOf(ProfileFile::Load(ResolvePath(path)), id);
}

const DaoJuInfo* DaoJuInCell(const DaoJuState& st, int cell)
{
    if (cell < 0 || cell > 3) return nullptr;
    const DaoJuType* t = st.CurType();
    if (!t) return nullptr;
    const int64_t k = int64_t(cell) + t->lngFirst;
    if (k < 1 || k > t->DaoJus.upperBound()) return nullptr;
    return &t->DaoJus(int(k));
}

bool BuyDaoJu(const DaoJuCtx& c, int cell)
{
    const DaoJuInfo* d = DaoJuInCell(c.st, cell);
    if (!d || !c.send) return false;
    return c.send(BuildBuyDaoJu(d->lngID));
}

QString DaoJuUsedText(int fromUser, int toUser, int32_t itemId)
{
    return QString::number(fromUser) + QStringLiteral(" 号用户对 ") + QString::number(toUser) +
           QStringLiteral(" 号用户使用ID号为 ") + QString::number(itemId) + QStringLiteral(" 的道具");
}

void HandleDaoJuMsg(const DaoJuCtx& c, const ReceivedMsg& msg)
{
    DaoJuView* view = c.st.view;
    switch (msg.kind) {
    // A body whose bytes did not decode has no payload: taking it as "no types" or "no items"
    // would throw the lists away.
    case MsgKind::DaoJuList:
        if (const DaoJuTextMsg* m = msg.as<DaoJuTextMsg>()) ParseDaoJuList(c, m->text);
        break;
    case MsgKind::MyDaoJuList:
        if (const DaoJuTextMsg* m = msg.as<DaoJuTextMsg>()) ParseMyDaoJuList(c, m->text);
        break;
    case MsgKind::DaoJuNotice:
        // An empty text still shows its box: the server meant to tell something.
        if (const DaoJuTextMsg* m = msg.as<DaoJuTextMsg>(); m && view)
            view->ShowDaoJuNotice(m->text, c.pub.strGameTitle + QStringLiteral("提示"));
        break;
    case MsgKind::DaoJuUsed:
        if (const DaoJuUsedMsg* m = msg.as<DaoJuUsedMsg>(); m && view)
            view->ShowDaoJuUsed(DaoJuUsedText(m->fromUser, m->toUser, m->itemId));
        break;
    default:
        break;
    }
}

void HandleDaoJuMsg(const DaoJuCtx& c, const QByteArray& msg)
{
    HandleDaoJuMsg(c, DecodeServerMsg(msg));
}
