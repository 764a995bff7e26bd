#include "frmmsg.h"

#include "msgpool.h"
#include "platform/draw/imagecache.h"
#include "platform/draw/respath.h"
#include "platform/widgets/windowtitle.h"

#include <QGuiApplication>
#include <QImage>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QWindow>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {
const QColor kEtchLight(255, 255, 255);
const QColor kEtchDark(132, 130, 132);
const QColor kNoticeBorder(41, 109, 165);
constexpr int kNoticeNoteX = 50, kNoticeNoteY = 25;
constexpr int kBoxNoteX = 50, kBoxNoteY = 22;
constexpr int kIconX = 10, kIconY = 15;
constexpr int kNoticeRuleFromBottom = 10;
}

frmMsg::frmMsg(MsgPool* pool, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), m_pool(pool) {
    m_labNote = new QLabel(this);
    m_labNote->setTextFormat(Qt::PlainText);   // texts come from the server: never markup
    m_labNote->setWordWrap(true);
    m_labNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_cmd[0] = new QPushButton(QStringLiteral("确定(&Y)"), this);
    m_cmd[1] = new QPushButton(QStringLiteral("不同意(&N)"), this);
    for (int i = 0; i < 2; ++i) {
        m_cmd[i]->resize(ButtonWidth, ButtonHeight);
        connect(m_cmd[i], &QPushButton::clicked, this, [this, i] { cmdUser_Click(i); });
    }
    // The seconds shown are real seconds: a precise timer (a coarse one may fire 5 % early).
    m_tmrDelay.setInterval(1000);
    connect(&m_tmrDelay, &ClockTimer::timeout, this, &frmMsg::tmrDelay_Timer);
    setSizeGripEnabled(false);
    SetMsgInfo(1, QString(), QString(), QStringLiteral("确定"), QStringLiteral("不同意"), 0, true);
}

frmMsg::~frmMsg() { release(); }

void frmMsg::SetMsgInfo(uint8_t type, const QString& note, const QString& caption,
                        const QString& yesCaption, const QString& noCaption, int delaySeconds,
                        bool yesDefault) {
    m_type = type;
    m_note = note;
    m_caption = caption;
    m_yesCaption = yesCaption;
    m_noCaption = noCaption;
    m_delay = delaySeconds;
    m_yesDefault = yesDefault;
    layoutForType();
}

QPushButton* frmMsg::cmdUser(int index) const {
    return index >= 0 && index < 2 ? m_cmd[index] : nullptr;
}

QString frmMsg::iconFile() const {
    if (!m_pool || m_pool->MsgIconPath().isEmpty()) return QString();
    return ResolvePath(m_pool->MsgIconPath() + QStringLiteral("Msg") + QString::number(m_type) +
                       QStringLiteral(".ico"));
}

int frmMsg::separatorY() const {
    // Under the note of a notice; above the buttons of the other types.
    return m_type == 0 ? height() - kNoticeRuleFromBottom : height() - ButtonBottom - 8;
}

QSize frmMsg::InnerSize(QSize outer, const QMargins& frame) {
    return QSize(qMax(1, outer.width() - frame.left() - frame.right()),
                 qMax(1, outer.height() - frame.top() - frame.bottom()));
}

QMargins frmMsg::systemFrame() const {
    if (m_type == 0) return QMargins();
    // Before the window is on the screen a system may not know its frame yet and report none.
    if (const QWindow* w = windowHandle(); w && w->handle()) {
        const QMargins f = w->frameMargins();
        if (w->isVisible() || !f.isNull()) return f;
    }
    return m_pool ? m_pool->LastFrame() : QMargins();
}

bool frmMsg::fitToFrame() {
    const QMargins f = systemFrame();
    if (f == m_frame) return false;
    layoutForType();
    return true;
}

void frmMsg::rememberFrame() {
    if (m_type != 0 && !m_frame.isNull() && m_pool) m_pool->SetLastFrame(m_frame);
}

void frmMsg::centreOnScreen() {
    QScreen* scr = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!scr) return;
    const QRect g = scr->geometry();
    const QSize outer = m_type == 0 ? QSize(NoticeWidth, NoticeHeight) : QSize(BoxWidth, BoxHeight);
    // A window's position is that of its frame.
    move(g.x() + (g.width() - outer.width()) / 2, g.y() + (g.height() - outer.height()) / 2);
}

void frmMsg::layoutForType() {
    m_labNote->setText(m_note);
    m_frame = systemFrame();
    if (m_type == 0) {
        // The notice has no caption bar and no buttons: only its owner closes it.
        const Qt::WindowFlags notice = Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint;
        if (windowFlags() != notice) setWindowFlags(notice);
        setWindowTitle(QString());
        m_cmd[0]->hide();
        m_cmd[1]->hide();
        setFixedSize(NoticeWidth, NoticeHeight);
        m_labNote->setGeometry(kNoticeNoteX, kNoticeNoteY, NoticeWidth - kNoticeNoteX - 10,
                               separatorY() - kNoticeNoteY - 2);
        m_tmrDelay.stop();
        return;
    }
    // A caption without a close button: the box is answered by a button or by its countdown.
    const Qt::WindowFlags flags = Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                                  Qt::CustomizeWindowHint;
    if (windowFlags() != flags) setWindowFlags(flags);
    setWindowTitle(LiteralWindowTitle(m_caption));
    const QSize inner = InnerSize(QSize(BoxWidth, BoxHeight), m_frame);
    setFixedSize(inner);
    const int top = inner.height() - ButtonBottom;
    m_labNote->setGeometry(kBoxNoteX, kBoxNoteY, inner.width() - kBoxNoteX - 12,
                           separatorY() - kBoxNoteY - 4);
    m_cmd[0]->setText(m_yesCaption + QStringLiteral("(&Y)"));
    m_cmd[1]->setText(m_noCaption + QStringLiteral("(&N)"));
    const bool two = m_type == 2;
    if (two) {
        const int pair = 2 * ButtonWidth + ButtonGap;
        const int left = (inner.width() - pair) / 2;
        m_cmd[0]->setGeometry(left, top, ButtonWidth, ButtonHeight);
        m_cmd[1]->setGeometry(left + ButtonWidth + ButtonGap, top, ButtonWidth, ButtonHeight);
    } else {
        m_cmd[0]->setGeometry((inner.width() - ButtonWidth) / 2, top, ButtonWidth, ButtonHeight);
    }
    m_cmd[0]->setVisible(true);
    m_cmd[1]->setVisible(two);
    // Enter presses the button that counts down.
    QPushButton* def = (two && !m_yesDefault) ? m_cmd[1] : m_cmd[0];
    m_cmd[0]->setDefault(def == m_cmd[0]);
    m_cmd[1]->setDefault(def == m_cmd[1]);
    def->setFocus();
}

void frmMsg::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
}

void frmMsg::moveEvent(QMoveEvent* e) {
    QDialog::moveEvent(e);
    // Some window systems tell the frame they put around a window only after showing it.
    if (isVisible() && fitToFrame()) {
        rememberFrame();
        centreOnScreen();
    }
}

void frmMsg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    fitToFrame();
    rememberFrame();
    centreOnScreen();
    if (m_type != 0 && !m_released) m_tmrDelay.start();
    if (m_pool) m_pool->NotifyShown(lngMsgObjectIdx, this);
}

void frmMsg::tmrDelay_Timer() {
    if (m_released) {
        m_tmrDelay.stop();
        return;
    }
    if (m_type == 0) {
        m_tmrDelay.stop();
        return;
    }
    const int counting = (m_type == 2 && !m_yesDefault) ? 1 : 0;
    if (counting == 0)
        m_cmd[0]->setText(m_yesCaption + QStringLiteral("(&Y) ") + QString::number(m_delay));
    else
        m_cmd[1]->setText(m_noCaption + QStringLiteral("(&N) ") + QString::number(m_delay));
    --m_delay;
    if (m_delay < 0) {
        m_tmrDelay.stop();
        cmdUser_Click(counting);
    }
}

void frmMsg::cmdUser_Click(int index) {
    if (m_released || index < 0 || index > 1) return;
    m_tmrDelay.stop();
    m_answered = true;
    m_answer = index == 0;
    if (m_pool) m_pool->SetResult(lngMsgObjectIdx, m_answer, this);
    done(m_answer ? QDialog::Accepted : QDialog::Rejected);
}

void frmMsg::CloseByOwner() {
    if (m_released) return;
    done(QDialog::Rejected);
}

void frmMsg::release() {
    if (m_released) return;
    m_released = true;
    m_tmrDelay.stop();
    if (m_pool) m_pool->ReleaseSlot(lngMsgObjectIdx, this);
}

void frmMsg::done(int r) {
    const bool wasReleased = m_released;
    release();
    QDialog::done(r);
    // A box that is waiting in exec() is deleted by the one who waits once the wait is over;
    // a modeless box of the pool goes as soon as control is back in the event loop.
    if (m_deleteWhenClosed && !m_inExec && !wasReleased) deleteLater();
}

int frmMsg::exec() {
    if (m_released) return QDialog::Rejected;
    m_inExec = true;
    QPointer<frmMsg> guard(this);
    const int r = QDialog::exec();
    if (guard) m_inExec = false;
    return r;
}

void frmMsg::keyPressEvent(QKeyEvent* e) {
    // A notice is closed by its owner, a box by a button or its countdown: never by Escape.
    if (e->key() == Qt::Key_Escape) {
        e->ignore();
        return;
    }
    QDialog::keyPressEvent(e);
}

void frmMsg::closeEvent(QCloseEvent* e) {
    // The window system's close (Alt+F4, a taskbar menu) gives no answer; the program's own
    // closing of every window at the end still goes through.
    if (e->spontaneous() && !m_released) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void frmMsg::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    const QString icon = iconFile();
    if (!icon.isEmpty()) {
        // Above scale 1 the icon comes through the cache, which knows its 2x version.
        const QImage img = devicePixelRatioF() > 1.0
                               ? PictureForRatio(ImageCache::instance().getWithAlpha(icon), devicePixelRatioF())
                               : QImage(icon);
        if (!img.isNull()) p.drawImage(kIconX, kIconY, img);
    }
    if (m_type == 0) {
        p.setPen(kNoticeBorder);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const int y = separatorY();
    const int x1 = 10, x2 = width() - 10;
    p.setPen(kEtchDark);
    p.drawLine(x1, y, x2, y);
    p.setPen(kEtchLight);
    p.drawLine(x1, y + 1, x2, y + 1);
}
