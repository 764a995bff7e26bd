// The main window's table side: the table with its time bar and start button, the two round
// timers, and the window as the round flow sees it (the table's mouse and tool tip, the boxes,
// the chat lines and the sounds).
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "frame/frmgamemain.h"
#include "launch/client.h"
#include "platform/widgets/tavchat.h"
#include "platform/widgets/tavtimebar.h"
#include "platform/widgets/windowtitle.h"
#include "round/roundflow.h"
#include "round/sounds.h"
#include "platform/draw/gamefont.h"
#include "platform/draw/imagecache.h"
#include "tableview/gamepaint.h"
#include "tableview/tablewidget.h"

namespace {

// The window's side of the round flow. A child of the window: it goes with it, and then takes
// itself and the hooks it set out of the client, which outlives the window.
class RoundWindow : public QObject, public RoundView {
public:
    explicit RoundWindow(frmGameMain& w) : QObject(&w), w_(w), c_(w.client()) {}
    ~RoundWindow() override
    {
        if (c_.round.view == this) c_.round.view = nullptr;
        // The time bar goes with the window: no chair is timed any more.
        c_.paint.TimedChair = kNoTimedChair;
    }

    bool IsAlive() const override { return !w_.isUnloaded(); }
    bool HasWindow() const override { return true; }

    void ClockStart(int seconds, int warnSeconds) override { w_.YuClock->Start(seconds, warnSeconds); }
    void ClockReset() override { w_.YuClock->Reset(); }

    void SetStartCaption(const QString& caption) override { w_.cmdStart->setText(caption); }
    void MoveStartButton(int x, int y) override { w_.cmdStart->move(x, y); }
    void SetStartVisible(bool visible) override { w_.cmdStart->setVisible(visible); }
    bool StartVisible() const override { return w_.cmdStart->isVisibleTo(w_.picGameBack); }
    bool StartTimerEnabled() const override { return w_.tmrStart->isActive(); }
    void SetStartTimerEnabled(bool on) override
    {
        if (!on) w_.tmrStart->stop();
        else if (!w_.tmrStart->isActive()) w_.tmrStart->start();
    }
    void SetLastOutPaiTimerEnabled(bool on) override
    {
        if (!on) w_.tmrPaintLastOutPai->stop();
        else if (!w_.tmrPaintLastOutPai->isActive()) w_.tmrPaintLastOutPai->start();
    }

    void SetTableToolTip(const QString& text) override
    {
        if (w_.picGameBack->toolTip() != text) w_.picGameBack->setToolTip(text);
    }
    void ShowMsg(const QString& text, const QString& title) override
    {
        if (IsAlive())
            c_.msgPool.ShowMsg(0, &w_, 1, text, title, 10, QStringLiteral("确定"), QString(), true);
    }
    void ShowWarning(const QString& title, const QString& text) override
    {
        if (!IsAlive()) return;
        // Owned by the window: its tear-down closes it with the other windows.
        QPointer<QMessageBox> box =
            new QMessageBox(QMessageBox::Warning, LiteralWindowTitle(title), text, QMessageBox::Ok, &w_);
        box->setTextFormat(Qt::PlainText);
        box->setAttribute(Qt::WA_DeleteOnClose, false);
        warning_ = box;
        box->exec();
        delete box.data();
    }
    void ShowRefusal(const QString& text, const QString& title) override
    {
        if (IsAlive())
            c_.msgPool.ShowMsg(kMoveMsgOwner, &w_, 1, text, title, 10, QStringLiteral("确定"), QString(), true);
    }
    void CloseMoveBoxes() override
    {
        c_.msgPool.CloseMsgByOwner(kMoveMsgOwner);
        // Its exec returns once the event that closes it is handled.
        if (warning_) warning_->done(QMessageBox::Ok);
    }
    void AddSystemLine(const QString& line) override { w_.TavChat->AddSystemLine(line); }
    void PlayGameSound(int n) override
    {
        const bool shown = w_.isVisible() && !w_.isMinimized();
        ::PlayGameSound(wav_, c_.userSet, shown, c_.pub.strAppPath, n);
    }
    void CloseMainWindow() override { w_.Form_Unload(); }

    WavPlayer& wav() { return wav_; }

private:
    frmGameMain& w_;
    Client& c_;
    WavPlayer wav_;
    QPointer<QMessageBox> warning_;
};

// Runs one round operation over the window's context.
template <typename F>
void WithRound(frmGameMain& w, F&& f)
{
    Client& c = w.client();
    BasicRoundView noWindow;
    noWindow.window = false;
    RoundCtx rc{w.paintContext(), c.round, c.round.view ? *c.round.view : noWindow,
                [&w](const QByteArray& m) { return w.SendData(m); }};
    f(rc);
}

// The table's keys (Enter, Space, Escape, H), wherever the focus is in the main window except the
// chat input. Seen by the application before the focused widget, so a focused button or list
// does not take them; a key the round does not use goes on as usual.
class TableKeys : public QObject {
public:
    explicit TableKeys(frmGameMain& w) : QObject(&w), w_(w) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress || w_.isUnloaded()) return false;
        auto* target = qobject_cast<QWidget*>(watched);
        // The key's first delivery only: to the focused widget, or the window without one.
        QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        if (!target || target != first || target->window() != &w_) return false;
        if (w_.TavChat && qobject_cast<QLineEdit*>(target) == w_.TavChat->input()) return false;
        const auto* k = static_cast<QKeyEvent*>(e);
        if (k->modifiers() & ~Qt::KeypadModifier) return false;
        bool used = false;
        WithRound(w_, [&](RoundCtx& r) { used = picGameBack_KeyPress(r, k->key()); });
        return used;
    }

private:
    frmGameMain& w_;
};

}  // namespace

void frmGameMain::SetupTable()
{
    famGameBack = new QWidget(this);
    paintCtx_ = std::make_unique<PaintCtx>(PaintCtx{c_.surf, c_.tbl, c_.tv, c_.pub, c_.paint, ImageCache::instance()});
    picGameBack = new ::GameTableWidget(*paintCtx_, famGameBack);
    YuClock = new ::TavTimeBar(picGameBack);
    cmdStart = new QPushButton(QStringLiteral("可以开始"), picGameBack);
    tmrStart = new QTimer(this);
    tmrPaintLastOutPai = new QTimer(this);
    // Counted in seconds the player sees: a coarse timer may fire up to 5 % early.
    tmrStart->setTimerType(Qt::PreciseTimer);
    tmrPaintLastOutPai->setTimerType(Qt::PreciseTimer);
    connect(tmrStart, &QTimer::timeout, this, &frmGameMain::tmrStart_Timer);
    connect(tmrPaintLastOutPai, &QTimer::timeout, this, &frmGameMain::tmrPaintLastOutPai_Timer);

    auto* view = new RoundWindow(*this);
    c_.round.view = view;
    new TableKeys(*this);
    c_.paint.TimedChair = kNoTimedChair;

    connect(YuClock, &::TavTimeBar::Tick, this, [this] { WithRound(*this, [](RoundCtx& r) { YuClock_Tick(r); }); });
    connect(YuClock, &::TavTimeBar::Warning, this,
            [this] { WithRound(*this, [](RoundCtx& r) { YuClock_Warning(r); }); });
    connect(YuClock, &::TavTimeBar::TimeOut, this,
            [this] { WithRound(*this, [](RoundCtx& r) { YuClock_TimeOut(r); }); });
    connect(cmdStart, &QPushButton::clicked, this, [this] { WithRound(*this, [](RoundCtx& r) { cmdStart_Click(r); }); });

    picGameBack->onMouseMove = [this](Qt::MouseButtons b, int x, int y) {
        WithRound(*this, [&](RoundCtx& r) { picGameBack_MouseMove(r, b, x, y); });
    };
    picGameBack->onMouseUp = [this](Qt::MouseButtons b, int x, int y) {
        WithRound(*this, [&](RoundCtx& r) { picGameBack_MouseUp(r, b, x, y); });
    };
}

void frmGameMain::TableLoad()
{
    // The time bar sits between its two end pictures, wherever the layout puts them.
    c_.surf.backColor = kTableBackColor;
    picGameBack->onResized = [this] {
        const PaintState& ps = c_.paint;
        YuClock->setGeometry(ps.YuClockX, ps.YuClockY, ps.YuClockWidth, YuClock->height());
    };
    // The start button follows the table's repaints once the round has its window side.
    picGameBack->onRepainted = [this] {
        // A new size keeps the end of a game on the table as any other repaint does.
        if (c_.round.GameOverShown) PaintGameOver(*paintCtx_, c_.round.GameOverChanges);
        if (c_.round.view) RefreshStartButton();
    };
    QFont tf(InstalledFamily(QStringLiteral("宋体")));
    tf.setPointSize(9);
    picGameBack->setFont(tf);
    cmdStart->hide();
    YuClock->setGeometry(70, 20, 120, 10);
    tmrStart->stop();
    tmrStart->setInterval(1000);
    tmrPaintLastOutPai->stop();
    tmrPaintLastOutPai->setInterval(1000);
}

void frmGameMain::HideStartBut()
{
    WithRound(*this, [](RoundCtx& r) { ::HideStartBut(r); });
}

void frmGameMain::RefreshStartButton()
{
    WithRound(*this, [](RoundCtx& r) { ::RefreshStartButton(r); });
}

void frmGameMain::UpdateTurn()
{
    WithRound(*this, [](RoundCtx& r) { ::UpdateTurn(r); });
}

void frmGameMain::RepaintTable()
{
    WithRound(*this, [](RoundCtx& r) { ::RepaintTable(r); });
    picGameBack->update();
}

void frmGameMain::PlayGameSound(int n)
{
    if (c_.round.view) c_.round.view->PlayGameSound(n);
}

// The ready countdown; it runs only while the start button is offered.
void frmGameMain::tmrStart_Timer()
{
    WithRound(*this, [](RoundCtx& r) { ::tmrStart_Timer(r); });
}

// How long the previous trick stays shown; it runs only while it is shown.
void frmGameMain::tmrPaintLastOutPai_Timer()
{
    WithRound(*this, [](RoundCtx& r) { ::tmrPaintLastOutPai_Timer(r); });
}
