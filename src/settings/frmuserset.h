#pragma once
// The personal settings dialog "用户设置": five check boxes in two frames, "默认值(&D)" (all on,
// nothing saved yet), "确定(&Y)" (take the boxes, save the file, tell the room server when the
// spectator setting changed) and "取消(&C)". It stays above the other windows, is shown
// modeless, and goes when closed; opened again it shows the settings as they are then.
#include <QByteArray>
#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>

#include "settings/usersetstate.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

class frmUserSet : public QDialog {
    Q_OBJECT
public:
    // Sends one message to the room server; false when nothing went.
    using Sender = std::function<bool(const QByteArray& message)>;

    // settings: the running program's settings, changed on OK; path: the file they are saved to;
    // myName: the own user name the change message carries.
    frmUserSet(UserSetState& settings, QString path, QString myName, Sender send, QWidget* parent = nullptr);

    // The check boxes from the settings; remembers the spectator setting as it was at opening.
    void InitUserSetDialog();
    // 0 "默认值(&D)", 1 "确定(&Y)", 2 "取消(&C)".
    void cmdUser_Click(int index);

    QCheckBox* chkUser(int i) const { return i >= 0 && i < 5 ? chk_[i] : nullptr; }
    QPushButton* cmdUser(int i) const { return i >= 0 && i < 3 ? cmd_[i] : nullptr; }
    QGroupBox* Frame1 = nullptr;   // "提示设置"
    QGroupBox* Frame2 = nullptr;   // "基本设置"
    uint8_t bytAllowPangGuanAtOpen = 1;

    // The inside of the dialog.
    static constexpr int ClientWidth = 346, ClientHeight = 231;

private:
    UserSetState& set_;
    QString path_;
    QString myName_;
    Sender send_;
    QCheckBox* chk_[5] = {};
    QPushButton* cmd_[3] = {};
};
