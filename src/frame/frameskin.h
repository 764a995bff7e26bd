#pragma once
// Widgets of the main window's frame: the vertical splitter between the table and the right
// column with its drag outline, and the strip of the two user buttons.
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>

#include "frame/framelayout.h"

class QMouseEvent;

// The outline that follows a splitter drag: the window's own pixels under it shown inverted,
// as an outline drawn with XOR would show them, and gone without a trace when hidden.
class SplitterOutline : public QWidget {
public:
    explicit SplitterOutline(QWidget* window);
    // Takes the window's picture within area (window pixels) as it is now; the outline shows
    // this picture inverted.
    void capture(const QRect& area);
    // Shows the outline at a rectangle of the window.
    void place(const QRect& r);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage inverted_;
    QRect area_;
};

// picSplitter: the vertical splitter. Dragging it (outside its middle band) shows an outline
// that stays between 650 and 140 pixels from the right edge, and the release moves the
// splitter there; a press on the middle band collapses or restores the right column.
class VSplitterPane : public QWidget {
public:
    VSplitterPane(FrameLayoutState& layout, QWidget* window);

    // The program folder (ending in a separator), where "res\VSpliter*.bmp" are.
    QString appPath;
    // True while a blast animation plays: the splitter then ignores the mouse altogether.
    std::function<bool()> blastRunning;
    // Places every pane again after the splitter moved or the column collapsed.
    std::function<void()> relayout;

    // "MOVE" while a drag runs, else empty.
    QString tag() const { return tag_; }
    // The outline's place in window pixels while a drag runs.
    QRect outlineRect() const { return outlineRect_; }
    const SplitterOutline* outline() const { return outline_; }

    // Draws the splitter's pictures into p (the whole splitter); a nested call returns at once.
    void PaintSplitter(QPainter& p);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool blocked() const { return blastRunning && blastRunning(); }
    int clientWidth() const;
    void drawOutline(int left);
    void eraseOutline();

    FrameLayoutState& lay_;
    SplitterOutline* outline_;
    QString tag_;
    int downX_ = 0;
    int startLeft_ = 0;
    QRect outlineRect_;
    bool painting_ = false;
};

// picUserButBk: the strip of the two user buttons. It keeps its picture; the window draws the
// buttons into it (onPaint runs on each paint event of the strip, guarded against re-entry)
// and handles the mouse through the two hooks.
class UserButtonStrip : public QWidget {
public:
    explicit UserButtonStrip(QWidget* parent);

    QImage& image() { return image_; }
    std::function<void()> onPaint;
    std::function<void(QPoint)> onMouseMove;
    std::function<void(QMouseEvent*)> onMouseUp;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    QImage image_;
    bool painting_ = false;
};
