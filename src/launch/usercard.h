#pragma once
// The player card: a popup menu of eight items that shows a user's identity, ID, watched player,
// level, rates and results, and offers "与他（她）交谈" (talk with this user). It lives on the
// invisible form frmUserMenu, which is made on first use and unloaded after each choice.
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class QAction;
class QMenu;
class RoomView;
struct PublicState;

// The card's items.
enum UserCardItem : int {
    UC_Name = 0,      // name and membership
    UC_Id = 1,
    UC_Watched = 2,
    UC_Sep1 = 3,
    UC_Talk = 4,      // makes the user the chat target
    UC_Sep2 = 5,
    UC_Rates = 6,
    UC_Results = 7,
    UC_Count = 8,
};

// The captions of the eight items for a user row ("-" for a separator), or nothing when the row
// is empty or has not exactly sixteen fields.
QStringList UserCardCaptions(const PublicState& ps, const QString& row);

// The card's choice: item 4 of a card with a user's name makes that user the chat target;
// every other item does nothing.
void ExecUserMenu(RoomView& view, int lngUserMenuItemIdx, const QString& tag);

class frmUserMenu : public QObject {
    Q_OBJECT
public:
    explicit frmUserMenu(QObject* parent = nullptr);
    ~frmUserMenu() override;

    // Prepares the eight items for a row; a malformed row leaves the card as it was.
    void BuildUserCard(const PublicState& ps, const QString& row);
    // Pops the card up at a screen position (the mouse's) and returns at once.
    void PopupAt(const QPoint& screenPos);

    // An item was chosen: runs `onChoice` (the main window's ExecUserMenu) with its index, then
    // the form unloads itself.
    void mnuUserItem_Click(int index);
    std::function<void(int index)> onChoice;

    QMenu* mnuUser() const { return mnuUser_; }
    int itemCount() const { return int(mnuUserItem_.size()); }
    QAction* mnuUserItem(int i) const { return i >= 0 && i < itemCount() ? mnuUserItem_[i] : nullptr; }
    // The user name an item belongs to ("" on the unbuilt card).
    QString itemTag(int i) const;
    QString itemCaption(int i) const;

private:
    QAction* loadItem(int index, const QString& caption);

    QMenu* mnuUser_ = nullptr;
    QVector<QAction*> mnuUserItem_;
    bool unloading_ = false;
};
