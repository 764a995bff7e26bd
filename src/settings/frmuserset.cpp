#include "settings/frmuserset.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include "platform/draw/gamefont.h"
#include "protocol/messages.h"

namespace {

struct BoxPlace {
    int frame;   // 2: "基本设置", 1: "提示设置"
    int x, y, w, h;
    const char* caption;
};
const BoxPlace kBoxes[5] = {
    {2, 16, 24, 129, 17, "允许旁观者看我的牌"},
    {2, 16, 48, 129, 17, "启用音效"},
    {2, 16, 72, 121, 17, "显示用户进出消息"},
    {1, 16, 24, 121, 17, "强退时给出提示"},
    {1, 16, 48, 153, 17, "出牌不对时给出提示"},
};

struct ButtonPlace {
    int x, y, w, h;
    const char* caption;
};
const ButtonPlace kButtons[3] = {
    {8, 200, 73, 23, "默认值(&D)"},
    {200, 200, 65, 23, "确定(&Y)"},
    {272, 200, 65, 23, "取消(&C)"},
};

}  // namespace

frmUserSet::frmUserSet(UserSetState& settings, QString path, QString myName, Sender send, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      set_(settings), path_(std::move(path)), myName_(std::move(myName)), send_(std::move(send))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("用户设置"));
    QFont f(InstalledFamily(QStringLiteral("宋体")));
    f.setPixelSize(12);
    setFont(f);
    setFixedSize(ClientWidth, ClientHeight);

    Frame2 = new QGroupBox(QStringLiteral("基本设置"), this);
    Frame2->setGeometry(8, 8, 329, 97);
    Frame1 = new QGroupBox(QStringLiteral("提示设置"), this);
    Frame1->setGeometry(8, 112, 329, 73);
    for (int i = 0; i < 5; ++i) {
        const BoxPlace& b = kBoxes[i];
        chk_[i] = new QCheckBox(QString::fromUtf8(b.caption), b.frame == 2 ? Frame2 : Frame1);
        chk_[i]->setGeometry(b.x, b.y, b.w, b.h);
    }
    for (int i = 0; i < 3; ++i) {
        const ButtonPlace& b = kButtons[i];
        cmd_[i] = new QPushButton(QString::fromUtf8(b.caption), this);
        cmd_[i]->setGeometry(b.x, b.y, b.w, b.h);
        cmd_[i]->setAutoDefault(false);
        connect(cmd_[i], &QPushButton::clicked, this, [this, i] { cmdUser_Click(i); });
    }
    cmd_[1]->setDefault(true);
    InitUserSetDialog();
}

void frmUserSet::InitUserSetDialog()
{
    for (QCheckBox* c : chk_) c->setChecked(false);
    bytAllowPangGuanAtOpen = set_.bytAllowPangGuan;
    for (int i = 1; i <= 5; ++i)
        if (set_.at(i) != 0) chk_[i - 1]->setChecked(true);
}

void frmUserSet::cmdUser_Click(int index)
{
    switch (index) {
    case 0:
        for (QCheckBox* c : chk_) c->setChecked(true);
        return;
    case 1: {
        for (int i = 1; i <= 5; ++i) set_.at(i) = chk_[i - 1]->checkState() != Qt::Unchecked ? 1 : 0;
        // A file that cannot be written leaves the new values in force for this run.
        SaveUserSet(set_, path_);
        if (set_.bytAllowPangGuan != bytAllowPangGuanAtOpen && send_)
            send_(BuildSeePaiSetting(myName_, set_.bytAllowPangGuan));
        close();
        return;
    }
    case 2:
        close();
        return;
    default: return;
    }
}
