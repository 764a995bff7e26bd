#pragma once
// One message box: a notice (type 0), a box with one button (type 1) or a question with two
// (type 2). It stays above all other windows and may count down on its default button and
// press it by itself.
#include <QDialog>
#include <QMargins>
#include <QPointer>
#include <QString>
#include <cstdint>

#include "platform/core/clock.h"

class QLabel;
class QPushButton;
class MsgPool;

class frmMsg : public QDialog {
    Q_OBJECT
public:
    // Window sizes, the frame the window system adds included: type 0 is 397 x 68 (it has no
    // frame of the system's), types 1 and 2 are 368 x 144 outside.
    static constexpr int NoticeWidth = 397, NoticeHeight = 68;
    static constexpr int BoxWidth = 368, BoxHeight = 144;
    // The inside that gives a window of the outer size within the given system frame.
    static QSize InnerSize(QSize outer, const QMargins& frame);
    static constexpr int ButtonWidth = 96, ButtonHeight = 24, ButtonGap = 6, ButtonBottom = 30;

    explicit frmMsg(MsgPool* pool = nullptr, QWidget* parent = nullptr);
    ~frmMsg() override;

    void SetMsgInfo(uint8_t type, const QString& note, const QString& caption,
                    const QString& yesCaption, const QString& noCaption, int delaySeconds,
                    bool yesDefault);

    int lngRoomObjectIdx = 0;   // the owner number given by the caller
    int lngMsgObjectIdx = -1;   // the box's slot in the pool

    // The one-second countdown step (tmrDelay's handler).
    void tmrDelay_Timer();
    // A button press: 0 = yes, 1 = no. Records the answer and closes the box.
    void cmdUser_Click(int index);
    // Closes the box without an answer (its owner no longer needs it). Safe while the box is
    // in exec(): the wait ends and the box is deleted later, never under its own feet.
    void CloseByOwner();
    // A modeless box opened by the pool deletes itself once closed.
    void setDeleteWhenClosed(bool on) { m_deleteWhenClosed = on; }

    bool answered() const { return m_answered; }
    bool answer() const { return m_answer; }
    uint8_t bteMsgType() const { return m_type; }
    int lngMaxDelayTime() const { return m_delay; }
    bool blnYesDefault() const { return m_yesDefault; }
    QString strNote() const { return m_note; }
    QString strCaption() const { return m_caption; }
    QString iconFile() const;   // the icon path for this type, "" when none exists
    QLabel* labNote() const { return m_labNote; }
    QPushButton* cmdUser(int index) const;
    ClockTimer* tmrDelay() { return &m_tmrDelay; }
    int separatorY() const;
    // The window system's frame the inside size was last chosen for.
    QMargins appliedFrame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

public:
    // Waits like QDialog::exec, except that a box already closed by its owner does not wait.
    int exec() override;

private:
    void layoutForType();
    void release();
    // The frame the system adds around this box: the real one once the window is shown, until
    // then the last one seen on a box of the pool (a notice has none).
    QMargins systemFrame() const;
    // Sizes the inside for the frame now known, when it differs from the one applied; true when
    // it did.
    bool fitToFrame();
    void rememberFrame();
    void centreOnScreen();

    QPointer<MsgPool> m_pool;
    QLabel* m_labNote = nullptr;
    QPushButton* m_cmd[2] = {nullptr, nullptr};
    ClockTimer m_tmrDelay;
    uint8_t m_type = 1;
    QString m_note, m_caption, m_yesCaption, m_noCaption;
    int m_delay = 0;
    bool m_yesDefault = true;
    bool m_answered = false;
    bool m_answer = false;
    bool m_released = false;
    bool m_inExec = false;
    bool m_deleteWhenClosed = false;
    QMargins m_frame;
};
