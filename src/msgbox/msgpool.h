#pragma once
// The pool of open message boxes. Every part of the client shows its notices and questions
// through ShowMsg; CloseMsgByOwner closes the boxes a caller opened once they no longer apply.
//
// Slots are numbered from 0 and the pool only grows; a slot without a box is free and the
// first free slot is taken by the next box.
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>
#include <cstdint>

class QWidget;
class frmMsg;

class MsgPool : public QObject {
    Q_OBJECT
public:
    struct Slot {
        bool Result = false;        // the button the user chose, true = yes
        QPointer<frmMsg> Form;      // the open box, null when the slot is free
    };

    explicit MsgPool(QObject* parent = nullptr);
    ~MsgPool() override;

    // Empties the pool (closing any box still open); icons come from strParentPath + "res/".
    void InitMsgPool(const QString& strParentPath);

    // Opens a box in the first free slot. type 0: a notice without buttons, shown modelessly,
    // returns at once; type 1: one button (yes); type 2: two buttons (yes, no). Types 1 and 2
    // are modal (events keep flowing while they wait) and return the answer, true = yes.
    // delaySeconds: the box answers by itself after counting down from this number; for type 2
    // yesDefault chooses the button that counts (true: yes, false: no). A box closed without
    // an answer (by its owner, or by the window's close button) answers false.
    bool ShowMsg(int ownerIdx, QWidget* ownerForm, uint8_t type, const QString& text,
                 const QString& title, int delaySeconds, const QString& yesCaption,
                 const QString& noCaption, bool yesDefault);

    // Closes every open box of this owner and frees its slot; a modal one's ShowMsg returns.
    void CloseMsgByOwner(int ownerIdx);

    // The highest slot number, -1 while the pool is empty.
    int MsgPoolTop() const { return int(m_slots.size()) - 1; }
    QString MsgIconPath() const { return m_iconPath; }

    // Read-back for the client and tests.
    frmMsg* FormAt(int slot) const;
    bool ResultAt(int slot) const;
    int OpenCount() const;

    // Called by the box itself.
    void SetResult(int slot, bool result, const frmMsg* form);
    void ReleaseSlot(int slot, const frmMsg* form);
    // Raises MsgShown from the event loop (inside a modal box's wait, never before it).
    void NotifyShown(int slot, const frmMsg* form);
    // The frame the window system put around the last box shown: a new box is sized for it
    // before it is on the screen, so it opens at its size where the system frames alike.
    QMargins LastFrame() const { return m_lastFrame; }
    void SetLastFrame(const QMargins& f) { m_lastFrame = f; }

signals:
    // A box has been laid out and shown (for a modal box: just before it starts waiting).
    void MsgShown(int slot);

private:
    int takeSlot();

    QVector<Slot> m_slots;
    QString m_iconPath;
    QMargins m_lastFrame;
};
