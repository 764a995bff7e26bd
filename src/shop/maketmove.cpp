#include "shop/maketmove.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

// Follows the mouse with the window until the left button is released; watches every event of
// the application, since the press may have started on any child of the window.
class MoveFollower : public QObject {
public:
    MoveFollower(QWidget* w, const QPoint& press) : QObject(qApp), w_(w), press_(press), start_(w->pos())
    {
        qApp->installEventFilter(this);
    }
    const QWidget* window() const { return w_; }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (!w_) {
            finish();
            return false;
        }
        if (e->type() == QEvent::MouseMove) {
            const auto* me = static_cast<QMouseEvent*>(e);
            if (!(me->buttons() & Qt::LeftButton)) {
                finish();
                return false;
            }
            w_->move(start_ + (me->globalPosition().toPoint() - press_));
            return true;
        }
        if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
            finish();
            return true;
        }
        return false;
    }

private:
    void finish()
    {
        qApp->removeEventFilter(this);
        w_ = nullptr;
        deleteLater();
    }

    QPointer<QWidget> w_;
    QPoint press_;
    QPoint start_;
};

MoveFollower* FollowerOf(const QWidget* window)
{
    if (!qApp) return nullptr;
    for (QObject* o : qApp->children())
        if (auto* f = dynamic_cast<MoveFollower*>(o); f && f->window() == window) return f;
    return nullptr;
}

}  // namespace

bool StartMaketMove(QWidget* window, const QPoint& globalPress)
{
    if (!window || window->isMaximized()) return false;
    QWindow* handle = window->windowHandle();
    if (!handle) return false;
    if (FollowerOf(window)) return true;
    if (handle->startSystemMove()) return true;
    new MoveFollower(window, globalPress);
    return true;
}

bool MaketMoveFollowing(const QWidget* window)
{
    return FollowerOf(window) != nullptr;
}
