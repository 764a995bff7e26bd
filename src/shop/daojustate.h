#pragma once
// The item shop's state: the catalogue the server sends (item types and the items on sale), the
// user's own items, and what the shop window selects. One instance lives in the client; the
// shop window and the owned-item strip read and move it.
#include <QString>
#include <cstdint>
#include <vector>

// A list used from index 1, as the catalogue and the owned items are numbered: index 0 holds
// nothing, an empty list has upper bound 0. Indexes outside 1..upperBound() are refused by
// has() and give a default item from at().
template <typename T>
class List1 {
public:
    int upperBound() const { return int(v_.size()); }
    bool empty() const { return v_.empty(); }
    bool has(int i) const { return i >= 1 && i <= int(v_.size()); }
    // Item i (1-based); the caller has checked has(i).
    T& operator()(int i) { return v_[size_t(i - 1)]; }
    const T& operator()(int i) const { return v_[size_t(i - 1)]; }
    // Item i, or an empty item outside the list.
    T at(int i) const { return has(i) ? v_[size_t(i - 1)] : T(); }
    void append(T x) { v_.push_back(std::move(x)); }
    void clear() { v_.clear(); }
    typename std::vector<T>::const_iterator begin() const { return v_.begin(); }
    typename std::vector<T>::const_iterator end() const { return v_.end(); }

private:
    std::vector<T> v_;
};

// One item on sale.
struct DaoJuInfo {
    int32_t lngID = 0;          // also names its pictures and its section in the note file
    QString strName;
    int32_t lngCount = 0;       // pieces sold together in one purchase
    uint8_t bytUseSelf = 0;     // non-zero: used on oneself; zero: on another player
    int32_t lngHours = 0;       // validity after purchase
    int32_t lngPrice = 0;       // normal original price
    int32_t lngNowPrice = 0;    // normal current price
    int32_t lngVipPrice = 0;    // member original price
    int32_t lngVipNowPrice = 0; // member current price
    QString strNote;            // from the note file, read when the item is stored
};

// One type of the catalogue and the first item of its page (odd: pages move by rows of two).
struct DaoJuType {
    List1<DaoJuInfo> DaoJus;
    int32_t lngFirst = 1;
};

// One owned item.
struct MyDaoJu {
    int32_t lngID = 0;
    QString strName;            // from the catalogue, else "未知名称"
    int32_t lngCount = 0;       // pieces left
    uint8_t bytUseSelf = 0;
    int32_t lngYear = 0;        // expiry
    int32_t lngMonth = 0;
    int32_t lngDay = 0;
    int32_t lngHour = 0;
};

// The owned items of one type and the first one shown in the strip.
struct MyDaoJuType {
    List1<MyDaoJu> MyDaoJus;
    int32_t lngFirst = 1;
};

// The name an owned item gets when its ID is not in the catalogue.
inline const QString kUnknownDaoJuName = QStringLiteral("未知名称");

// Where the item messages show up: the boxes over the main window and the shop window.
class DaoJuView {
public:
    virtual ~DaoJuView() = default;
    // The server's notice in the pooled message box.
    virtual void ShowDaoJuNotice(const QString& text, const QString& title) = 0;
    // Who used an item on whom, in the system's warning box titled "道具演示".
    virtual void ShowDaoJuUsed(const QString& text) = 0;
    // The whole shop window again (only called while it is loaded).
    virtual void RedrawMaket() = 0;
};

struct DaoJuState {
    // Indexes 0..N for N types; index 0 of each is never filled. All three have N + 1 entries
    // once a catalogue arrived, one before.
    std::vector<QString> strDaoJuTypeName = std::vector<QString>(1);
    std::vector<DaoJuType> DaoJuList = std::vector<DaoJuType>(1);
    std::vector<MyDaoJuType> MyDaoJuList = std::vector<MyDaoJuType>(1);
    uint8_t bytCurType = 1;      // selected catalogue tab, 1-based
    uint8_t bytCurMyType = 1;    // selected owned-item tab, 1-based
    bool blnMaketLoaded = false; // the shop window is open
    int32_t lngHotCell = -1;     // catalogue cell under the mouse, 0..3, or -1

    // Where boxes and the shop window are shown; set by the main window, null without one.
    DaoJuView* view = nullptr;

    // N, the number of catalogue types.
    int TypeCount() const { return int(strDaoJuTypeName.size()) - 1; }
    // The selected type's group, or null when it does not exist.
    const DaoJuType* CurType() const { return TypeAt(bytCurType); }
    DaoJuType* CurType() { return bytCurType >= 1 && bytCurType < int(DaoJuList.size()) ? &DaoJuList[bytCurType] : nullptr; }
    const DaoJuType* TypeAt(int t) const { return t >= 1 && t < int(DaoJuList.size()) ? &DaoJuList[size_t(t)] : nullptr; }
    const MyDaoJuType* CurMyType() const
    {
        return bytCurMyType >= 1 && bytCurMyType < int(MyDaoJuList.size()) ? &MyDaoJuList[bytCurMyType] : nullptr;
    }
    MyDaoJuType* CurMyType()
    {
        return bytCurMyType >= 1 && bytCurMyType < int(MyDaoJuList.size()) ? &MyDaoJuList[bytCurMyType] : nullptr;
    }
};
