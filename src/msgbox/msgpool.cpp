#include "msgpool.h"

#include "frmmsg.h"

#include <QTimer>
#include <QWidget>

MsgPool::MsgPool(QObject* parent) : QObject(parent) {}

MsgPool::~MsgPool() {
    // Boxes still open lose their pool; none of them may call back into it.
    for (Slot& s : m_slots) {
        if (frmMsg* f = s.Form) {
            s.Form = nullptr;
            f->CloseByOwner();
        }
    }
}

void MsgPool::InitMsgPool(const QString& strParentPath) {
    for (int i = 0; i < m_slots.size(); ++i)
        if (frmMsg* f = m_slots[i].Form) f->CloseByOwner();
    m_slots.clear();
    QString base = strParentPath;
    if (!base.isEmpty() && !base.endsWith(QLatin1Char('/')) && !base.endsWith(QLatin1Char('\\')))
        base += QLatin1Char('/');
    m_iconPath = base + QStringLiteral("res/");
}

int MsgPool::takeSlot() {
    for (int i = 0; i < m_slots.size(); ++i)
        if (!m_slots[i].Form) return i;
    m_slots.append(Slot{});
    return int(m_slots.size()) - 1;
}

bool MsgPool::ShowMsg(int ownerIdx, QWidget* ownerForm, uint8_t type, const QString& text,
                      const QString& title, int delaySeconds, const QString& yesCaption,
                      const QString& noCaption, bool yesDefault) {
    const int slot = takeSlot();
    auto* dlg = new frmMsg(this, ownerForm);
    // A fresh box has no answer yet: a previous box's answer in this slot must not leak into
    // a box that is closed without one.
    m_slots[slot].Result = false;
    m_slots[slot].Form = dlg;
    dlg->lngRoomObjectIdx = ownerIdx;
    dlg->lngMsgObjectIdx = slot;
    dlg->SetMsgInfo(type, text, title, yesCaption, noCaption, delaySeconds, yesDefault);
    if (type == 0) {
        dlg->setDeleteWhenClosed(true);
        dlg->show();
        return m_slots[slot].Result;
    }
    dlg->setWindowModality(Qt::ApplicationModal);
    QPointer<frmMsg> guard(dlg);
    dlg->exec();
    // The slot may belong to another box by now: the answer is the box's own.
    const bool answer = guard ? guard->answer() : false;
    if (guard) guard->deleteLater();
    return answer;
}

void MsgPool::CloseMsgByOwner(int ownerIdx) {
    // Closing frees slots as it goes; the pool itself never shrinks, so indices stay valid.
    for (int i = 0; i < m_slots.size(); ++i) {
        frmMsg* f = m_slots[i].Form;
        if (f && f->lngRoomObjectIdx == ownerIdx) {
            m_slots[i].Form = nullptr;
            f->CloseByOwner();
        }
    }
}

frmMsg* MsgPool::FormAt(int slot) const {
    return slot >= 0 && slot < m_slots.size() ? m_slots[slot].Form.data() : nullptr;
}

bool MsgPool::ResultAt(int slot) const {
    return slot >= 0 && slot < m_slots.size() ? m_slots[slot].Result : false;
}

int MsgPool::OpenCount() const {
    int n = 0;
    for (const Slot& s : m_slots) n += s.Form ? 1 : 0;
    return n;
}

void MsgPool::SetResult(int slot, bool result, const frmMsg* form) {
    if (slot >= 0 && slot < m_slots.size() && m_slots[slot].Form == form) m_slots[slot].Result = result;
}

void MsgPool::ReleaseSlot(int slot, const frmMsg* form) {
    if (slot >= 0 && slot < m_slots.size() && m_slots[slot].Form == form) m_slots[slot].Form = nullptr;
}

void MsgPool::NotifyShown(int slot, const frmMsg* form) {
    QPointer<const frmMsg> guard(form);
    QTimer::singleShot(0, this, [this, slot, guard] {
        if (guard && FormAt(slot) == guard.data()) emit MsgShown(slot);
    });
}
