#include "launch/frmgameset.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "platform/core/vbnum.h"
#include "platform/widgets/windowtitle.h"
#include "protocol/messages.h"
#include "rules/publicstate.h"

namespace {

constexpr int kSettingsFields = 6;

// The settings text's fields.
enum SettingsField : int {
    SF_Stake = 0, SF_StakeMax = 1, SF_StakeMin = 2,
    SF_Penalty = 3, SF_PenaltyMax = 4, SF_PenaltyMin = 5,
};

// Positions in the dialog (pixels).
constexpr int kWidth = 300, kHeight = 168;
constexpr int kFrameX = 10, kFrameY = 8, kFrameW = 280, kFrameH = 110;
constexpr int kLabelX = 16, kLabelW = 128, kInputX = 150, kInputW = 110, kRowH = 24;
constexpr int kRow0 = 30, kRow1 = 68;
constexpr int kButtonW = 84, kButtonH = 26, kButtonY = 128, kButtonGap = 20;

bool IsDigit(QChar ch) { return ch >= u'0' && ch <= u'9'; }

}  // namespace

QString TooManyDigitsText() { return QStringLiteral("每个输入区域的数字不能超过 7 位！"); }

QString StakeRangeText(int32_t minimum, int32_t maximum)
{
    return QStringLiteral("本桌大小必须在 ") + QString::number(minimum) + QStringLiteral(" 和 ") +
           QString::number(maximum) + QStringLiteral(" 之间！");
}

QString PenaltyRangeText(int32_t minimum, int32_t maximum)
{
    return QStringLiteral("逃跑者扣分大小必须在 ") + QString::number(minimum) + QStringLiteral(" 和 ") +
           QString::number(maximum) + QStringLiteral(" 之间！");
}

frmGameSet::frmGameSet(const PublicState& pub, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      pub_(pub)
{
    setModal(false);
    setFixedSize(kWidth, kHeight);
    setWindowTitle(LiteralWindowTitle(pub_.strGameTitle + QStringLiteral(" 游戏设置")));

    famGameSet = new QGroupBox(this);
    famGameSet->setGeometry(kFrameX, kFrameY, kFrameW, kFrameH);
    Label1 = new QLabel(QStringLiteral("本桌大小"), famGameSet);
    Label2 = new QLabel(QStringLiteral("逃跑者应扣除的积分"), famGameSet);
    Label1->setGeometry(kLabelX, kRow0, kLabelW, kRowH);
    Label2->setGeometry(kLabelX, kRow1, kLabelW, kRowH);
    for (int i = 0; i < 2; ++i) {
        QLineEdit* t = new QLineEdit(famGameSet);
        t->setGeometry(kInputX, i == 0 ? kRow0 : kRow1, kInputW, kRowH);
        t->installEventFilter(this);
        // Keys are filtered as they are typed; what arrives another way (pasted, from an input
        // method) loses everything but its digits.
        connect(t, &QLineEdit::textEdited, t, [t](const QString& text) {
            QString digits;
            for (QChar ch : text)
                if (IsDigit(ch)) digits.append(ch);
            if (digits == text) return;
            const int cursor = t->cursorPosition() - int(text.size() - digits.size());
            t->setText(digits);
            t->setCursorPosition(std::max(0, cursor));
        });
        txtUser[size_t(i)] = t;
    }
    const int buttonsX = (kWidth - 2 * kButtonW - kButtonGap) / 2;
    for (int i = 0; i < 2; ++i) {
        QPushButton* b = new QPushButton(this);
        b->setGeometry(buttonsX + i * (kButtonW + kButtonGap), kButtonY, kButtonW, kButtonH);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdUser_Click(i); });
        cmdUser[size_t(i)] = b;
    }
    setTabOrder(txtUser[0], txtUser[1]);
    setTabOrder(txtUser[1], cmdUser[0]);

    // The seconds shown are real seconds: a precise timer (a coarse one may fire 5 % early).
    tmrDelay = new ClockTimer(this);
    tmrDelay->setInterval(1000);
    connect(tmrDelay, &ClockTimer::timeout, this, &frmGameSet::tmrDelay_Timer);

    ShowInputWarning = [this](const QString& text) {
        // On the heap: the dialog may be unloaded while the box waits, taking the box with it.
        QPointer<QMessageBox> box =
            new QMessageBox(QMessageBox::Warning, LiteralWindowTitle(pub_.strGameTitle), text, QMessageBox::Ok, this);
        box->setTextFormat(Qt::PlainText);
        box->exec();
        delete box.data();
    };
}

frmGameSet::~frmGameSet() = default;

bool frmGameSet::SetInitGameSetInfo(bool blnDeskMaster, const QString& strAllGameSetInfo)
{
    deskMaster_ = blnDeskMaster;
    if (deskMaster_) {
        famGameSet->setTitle(QStringLiteral("你是桌主，请进行本桌游戏设置"));
        baseCaption_ = QStringLiteral("确定");
        cmdUser[0]->setText(QStringLiteral("确定"));
        cmdUser[1]->setText(QStringLiteral("取消"));
    } else {
        famGameSet->setTitle(QStringLiteral("桌主对本桌游戏进行的设置情况"));
        baseCaption_ = QStringLiteral("同意");
        cmdUser[0]->setText(QStringLiteral("同意"));
        cmdUser[1]->setText(QStringLiteral("不同意"));
    }
    PrepareInputs();
    if (!ParseGameSetInfo(strAllGameSetInfo)) return false;
    // While a refused input's box is open the countdown waits; the answer restarts it.
    if (!handling_) tmrDelay->start();
    return true;
}

void frmGameSet::PrepareInputs()
{
    for (QLineEdit* t : txtUser) {
        QPalette p = t->palette();
        p.setColor(QPalette::Base, deskMaster_ ? QColor(Qt::white) : palette().color(QPalette::Window));
        t->setPalette(p);
        t->setReadOnly(!deskMaster_);
    }
}

bool frmGameSet::ParseGameSetInfo(const QString& info)
{
    const QStringList f = info.isEmpty() ? QStringList() : info.split(QLatin1Char('`'));
    if (f.size() != kSettingsFields) return false;
    txtUser[0]->setText(f[SF_Stake]);
    limits_[0] = ValLng(f[SF_StakeMax]);
    limits_[1] = ValLng(f[SF_StakeMin]);
    txtUser[1]->setText(f[SF_Penalty]);
    limits_[2] = ValLng(f[SF_PenaltyMax]);
    limits_[3] = ValLng(f[SF_PenaltyMin]);
    return true;
}

QString frmGameSet::CollectGameSetInfo() const
{
    return QStringList{txtUser[0]->text(), QString::number(limits_[0]), QString::number(limits_[1]),
                       txtUser[1]->text(), QString::number(limits_[2]), QString::number(limits_[3])}
        .join(QLatin1Char('`'));
}

bool frmGameSet::CheckGameSetInput()
{
    auto refuse = [this](const QString& text) {
        if (ShowInputWarning) ShowInputWarning(text);
        return false;
    };
    for (const QLineEdit* t : txtUser)
        if (t->text().size() > kMaxDigits) return refuse(TooManyDigitsText());
    const int32_t stake = ValLng(txtUser[0]->text());
    if (!(stakeMin() <= stake && stake <= stakeMax())) return refuse(StakeRangeText(stakeMin(), stakeMax()));
    const int32_t penalty = ValLng(txtUser[1]->text());
    if (!(penaltyMin() <= penalty && penalty <= penaltyMax()))
        return refuse(PenaltyRangeText(penaltyMin(), penaltyMax()));
    return true;
}

void frmGameSet::tmrDelay_Timer()
{
    // Past the end the first button is pressed every second; the caption stays at 0.
    const int left = std::max(0, kCountdownSeconds - counter_);
    cmdUser[0]->setText(baseCaption_ + QLatin1Char(' ') + QString::number(left));
    ++counter_;
    if (counter_ > kCountdownSeconds) {
        tmrDelay->stop();
        cmdUser_Click(0);
    }
}

void frmGameSet::cmdUser_Click(int index)
{
    if (answered_ || handling_ || index < 0 || index > 1) return;
    tmrDelay->stop();
    const QString& me = pub_.strMyName;
    QByteArray cmd;
    if (index == 0 && deskMaster_) {
        // The warning box waits in a loop of its own: messages and timers run meanwhile.
        QPointer<frmGameSet> self(this);
        handling_ = true;
        const bool ok = CheckGameSetInput();
        if (!self) return;
        handling_ = false;
        if (answered_) return;
        if (!ok) {
            tmrDelay->start();
            return;
        }
        cmd = BuildGameSetDone(me, CollectGameSetInfo());
    } else if (index == 0) {
        cmd = BuildHandUpReq(me);
    } else {
        cmd = BuildUserOut(me);
    }
    answered_ = true;
    // Without an own name there is nobody to answer for.
    if (!me.isEmpty() && SendGameSetResult) SendGameSetResult(cmd);
    Unload();
}

void frmGameSet::Unload()
{
    answered_ = true;
    tmrDelay->stop();
    hide();
    deleteLater();
}

void frmGameSet::reject()
{
    // Leaving the table is the second button's alone: a stray Escape must not make a player leave.
}

bool frmGameSet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == txtUser[0] || watched == txtUser[1])) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Enter moves on: from the stake to the penalty, from the penalty to the first button.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == txtUser[0]) txtUser[1]->setFocus(Qt::TabFocusReason);
            else cmdUser[0]->setFocus(Qt::TabFocusReason);
            return true;
        }
        // Only digits and backspace are typed; control keys (editing, copying) pass.
        const QString text = key->text();
        if (!text.isEmpty()) {
            const QChar ch = text.at(0);
            if (ch.unicode() >= 0x20 && ch.unicode() != 0x7F && !IsDigit(ch)) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
