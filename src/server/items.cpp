#include "server/items.h"

#include <QStringList>

namespace {

constexpr int kStarterDays = 30;

QString ExpiryText(const QDateTime& t) { return t.toString(QStringLiteral("yyyyMMddHH")); }

}  // namespace

const std::vector<const char*>& ItemTypeNames()
{
    static const std::vector<const char*> names{"互动道具", "功能道具"};
    return names;
}

// The items the generated pictures and notes describe (Res/DaoJu): gifts for another player in
// the first type, items used on oneself in the second.
const std::vector<ItemInfo>& ItemCatalogue()
{
    static const std::vector<ItemInfo> items{
        {5001, 0, "鲜花", 10, 720, 50, 50, 40, 40, 0},
        {5002, 0, "鸡蛋", 10, 720, 50, 40, 40, 30, 0},
        {5003, 0, "啤酒", 5, 720, 60, 50, 50, 40, 0},
        {5004, 0, "生日蛋糕", 1, 168, 200, 180, 180, 150, 0},
        {5010, 0, "红包", 5, 720, 100, 88, 90, 80, 0},
        {5011, 0, "番茄", 10, 720, 50, 40, 40, 30, 0},
        {5005, 1, "小喇叭", 5, 720, 100, 80, 90, 60, 1},
        {5006, 1, "护身符", 1, 168, 500, 450, 450, 400, 1},
        {5007, 1, "双倍积分卡", 1, 24, 300, 250, 270, 200, 1},
        {5008, 1, "负分清零卡", 1, 24, 800, 700, 700, 600, 1},
        {5009, 1, "隐身卡", 1, 168, 200, 150, 180, 120, 1},
        {5012, 1, "会员钻石", 1, 720, 3000, 2500, 2800, 2000, 1},
    };
    return items;
}

const ItemInfo* FindItem(int32_t id)
{
    for (const ItemInfo& i : ItemCatalogue())
        if (i.Id == id) return &i;
    return nullptr;
}

QString CatalogueText()
{
    QStringList f;
    f.append(QString::number(ItemTypeNames().size()));
    for (const char* n : ItemTypeNames()) f.append(QString::fromUtf8(n));
    f.append(QString::number(ItemCatalogue().size()));
    for (const ItemInfo& i : ItemCatalogue()) {
        f << QString::number(i.Id) << QString::number(i.Type) << QString::fromUtf8(i.Name) << QString::number(i.Count)
          << QString::number(i.Hours) << QString::number(i.Price) << QString::number(i.NowPrice)
          << QString::number(i.VipPrice) << QString::number(i.VipNowPrice) << QString::number(i.UseSelf);
    }
    return f.join(QLatin1Char('`'));
}

QString OwnedItemsText(const std::vector<OwnedItem>& owned)
{
    QStringList f;
    for (const OwnedItem& o : owned) f << QString::number(o.Id) << QString::number(o.Count) << ExpiryText(o.Expiry);
    return f.join(QLatin1Char(':'));
}

std::vector<OwnedItem> StarterItems(const QDateTime& now)
{
    return {{5005, 3, now.addDays(kStarterDays)}, {5001, 10, now.addDays(kStarterDays)}};
}

QString BuyItem(std::vector<OwnedItem>& owned, const QString& idText, const QDateTime& now, bool& bought)
{
    bought = false;
    bool ok = false;
    const int32_t id = idText.trimmed().toInt(&ok);
    const ItemInfo* item = ok ? FindItem(id) : nullptr;
    if (!item) return QStringLiteral("没有这种道具，购买失败。");
    OwnedItem* mine = nullptr;
    for (OwnedItem& o : owned)
        if (o.Id == id) mine = &o;
    if (!mine) {
        owned.push_back({id, 0, now});
        mine = &owned.back();
    }
    mine->Count += item->Count;
    mine->Expiry = std::max(mine->Expiry, now).addSecs(qint64(item->Hours) * 3600);
    bought = true;
    return QStringLiteral("购买成功：%1 %2 件，有效期至 %3。")
        .arg(QString::fromUtf8(item->Name))
        .arg(item->Count)
        .arg(mine->Expiry.toString(QStringLiteral("yyyy-MM-dd HH:00")));
}
