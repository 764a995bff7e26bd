#pragma once
// A thin horizontal bar the user drags up and down. While dragged it follows the mouse
// (kept inside its parent); on release it reports how far it moved. Its owner then sets the
// bar's final top, clamped as it sees fit.
#include <QColor>
#include <QWidget>

class HSplitterBar : public QWidget {
    Q_OBJECT
public:
    explicit HSplitterBar(QWidget* parent = nullptr);

    void setBackColor(const QColor& c);
    QColor backColor() const { return m_back; }
    bool dragging() const { return m_dragging; }

signals:
    void MoveStarted();
    // delta: vertical pixels between the top at the press and the top at the release.
    void MoveFinished(int delta);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void followMouse(const QMouseEvent* e);

    QColor m_back{250, 250, 250};
    bool m_dragging = false;
    int m_pressGlobalY = 0;
    int m_startTop = 0;
};
