#pragma once
// The table on screen: shows the persistent table surface, lays the table out and repaints it
// when its size changes, and passes the mouse on to the play input.
#include <QWidget>
#include <functional>

#include "tableview/gamepaint.h"

class GameTableWidget : public QWidget {
    Q_OBJECT
public:
    // The context's objects belong to the caller and must outlive the widget.
    explicit GameTableWidget(PaintCtx& ctx, QWidget* parent = nullptr);
    ~GameTableWidget() override;

    PaintCtx& context() { return ctx_; }

    // Play input (card selection and buttons): the button (for a move, the buttons held), x and y
    // in surface pixels. Presses and releases are not passed on while a blast animation runs;
    // moves are.
    std::function<void(Qt::MouseButtons buttons, int x, int y)> onMouseMove;
    std::function<void(Qt::MouseButtons buttons, int x, int y)> onMouseUp;
    std::function<void(Qt::MouseButtons buttons, int x, int y)> onMouseDown;
    // After every resize's layout, before its repaint (the owner moves the time bar there).
    std::function<void()> onResized;
    // After a resize's repaint that drew the seats (the owner brings the start button up to date).
    std::function<void()> onRepainted;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void forward(const std::function<void(Qt::MouseButtons, int, int)>& hook, Qt::MouseButtons b, QMouseEvent* e,
                 bool duringBlast = false);
    void followScreen();
    PaintCtx& ctx_;
};
