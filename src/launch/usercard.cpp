#include "launch/usercard.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include "launch/chat.h"
#include "launch/roomview.h"
#include "launch/seats.h"
#include "platform/core/vbnum.h"
#include "rules/publicstate.h"

namespace {

const QString kSeparator = QStringLiteral("-");

// User fields the card shows beyond those the chairs read.
enum CardField : int {
    CF_Id = 1,
    CF_Score = 2,
    CF_Level = 3,
    CF_Games = 5,
    CF_WinRate = 6,
    CF_EscapeRate = 7,
    CF_Won = 8,
    CF_Lost = 9,
    CF_Drawn = 10,
};

// A menu item's text is not markup, but "&" marks a shortcut letter and a tab starts the
// shortcut column: names from the server show both as they are.
QString MenuText(const QString& caption)
{
    QString t = caption;
    t.replace(QLatin1Char('&'), QStringLiteral("&&"));
    t.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return t;
}

}  // namespace

QStringList UserCardCaptions(const PublicState& ps, const QString& row)
{
    if (row.isEmpty()) return {};
    const QStringList f = row.split(QLatin1Char('`'));
    if (f.size() != kUserFieldCount) return {};
    const QString& name = f[kUserFieldName];
    const QString title = LevelTitle(ps, ValLng(f[CF_Level]));
    const QString identity = MemberName(ps, ValLng(f[kUserFieldIconNo]));
    const QString label = ps.bteScoreMode == 0 ? QStringLiteral("经验:") : QStringLiteral("积分:");
    QStringList c(UC_Count);
    c[UC_Name] = name + QStringLiteral("   身份：") + identity;
    c[UC_Id] = QStringLiteral("游戏ID：") + f[CF_Id];
    c[UC_Watched] = QStringLiteral("旁观对象：") + f[kUserFieldWatched];
    c[UC_Sep1] = kSeparator;
    c[UC_Talk] = QStringLiteral("与他（她）交谈");
    c[UC_Sep2] = kSeparator;
    c[UC_Rates] = QStringLiteral("级别:") + title + QStringLiteral("   ") + QStringLiteral("胜率:") + f[CF_WinRate] +
                  QStringLiteral("%   ") + QStringLiteral("逃跑率:") + f[CF_EscapeRate] + QStringLiteral("%");
    c[UC_Results] = label + f[CF_Score] + QStringLiteral("   ") + QStringLiteral("胜:") + f[CF_Won] +
                    QStringLiteral("   ") + QStringLiteral("输:") + f[CF_Lost] + QStringLiteral("   ") +
                    QStringLiteral("和:") + f[CF_Drawn] + QStringLiteral("   ") + QStringLiteral("总局数:") +
                    f[CF_Games];
    return c;
}

void ExecUserMenu(RoomView& view, int lngUserMenuItemIdx, const QString& tag)
{
    if (tag.isEmpty() || lngUserMenuItemIdx != UC_Talk) return;
    SetChatTarget(view, tag);
}

frmUserMenu::frmUserMenu(QObject* parent) : QObject(parent)
{
    mnuUser_ = new QMenu();
    mnuUser_->setTitle(QStringLiteral("UserInfo"));
    loadItem(UC_Name, QStringLiteral("UserName"));
}

frmUserMenu::~frmUserMenu()
{
    delete mnuUser_;
}

QAction* frmUserMenu::loadItem(int index, const QString& caption)
{
    QAction* a = mnuUser_->addAction(QString());
    a->setText(MenuText(caption));
    a->setSeparator(caption == kSeparator);
    a->setProperty("caption", caption);
    a->setProperty("tag", QString());
    connect(a, &QAction::triggered, this, [this, index] { mnuUserItem_Click(index); });
    mnuUserItem_.append(a);
    return a;
}

void frmUserMenu::BuildUserCard(const PublicState& ps, const QString& row)
{
    const QStringList captions = UserCardCaptions(ps, row);
    if (captions.isEmpty()) return;
    // Items 1 and on are made afresh; item 0 is the form's own.
    while (mnuUserItem_.size() > 1) {
        QAction* a = mnuUserItem_.takeLast();
        mnuUser_->removeAction(a);
        delete a;
    }
    for (int i = 1; i < UC_Count; ++i) loadItem(i, captions[i]);
    const QString name = row.section(QLatin1Char('`'), 0, 0);
    for (int i = 0; i < UC_Count; ++i) {
        QAction* a = mnuUserItem_[i];
        a->setProperty("tag", name);
        a->setVisible(true);
    }
    QAction* first = mnuUserItem_[UC_Name];
    first->setText(MenuText(captions[UC_Name]));
    first->setProperty("caption", captions[UC_Name]);
    first->setSeparator(false);
}

void frmUserMenu::PopupAt(const QPoint& screenPos)
{
    mnuUser_->popup(screenPos);
}

QString frmUserMenu::itemTag(int i) const
{
    const QAction* a = mnuUserItem(i);
    return a ? a->property("tag").toString() : QString();
}

QString frmUserMenu::itemCaption(int i) const
{
    const QAction* a = mnuUserItem(i);
    return a ? a->property("caption").toString() : QString();
}

void frmUserMenu::mnuUserItem_Click(int index)
{
    if (unloading_) return;
    unloading_ = true;
    if (onChoice) onChoice(index);
    // Unloaded once the menu's own signal has returned.
    deleteLater();
}
