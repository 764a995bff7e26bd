#pragma once
// The items the room sells: the catalogue it sends every user, each user's own items, and a
// purchase. Items are kept for as long as the room runs.
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <vector>

struct ItemInfo {
    int32_t Id;
    int Type;            // position among the type names
    const char* Name;    // UTF-8
    int Count;           // pieces per purchase
    int Hours;           // validity after a purchase
    int Price, NowPrice, VipPrice, VipNowPrice;
    int UseSelf;         // 1: used on oneself, 0: on another player
};

struct OwnedItem {
    int32_t Id = 0;
    int Count = 0;
    QDateTime Expiry;
};

const std::vector<const char*>& ItemTypeNames();
const std::vector<ItemInfo>& ItemCatalogue();
const ItemInfo* FindItem(int32_t id);

// The catalogue message's text: the type count, the names, the item count, ten fields per item.
QString CatalogueText();
// The own-items message's text: ID, pieces left and expiry (YYYYMMDDHH) per item, joined by ":".
QString OwnedItemsText(const std::vector<OwnedItem>& owned);

// What every user starts with.
std::vector<OwnedItem> StarterItems(const QDateTime& now);

// A purchase of the item named by idText. The pieces are added and the validity runs on from the
// later of now and the old expiry. Returns the notice for the buyer; `bought` tells whether the
// items changed.
QString BuyItem(std::vector<OwnedItem>& owned, const QString& idText, const QDateTime& now, bool& bought);
