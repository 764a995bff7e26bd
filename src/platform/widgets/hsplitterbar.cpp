#include "hsplitterbar.h"

#include <QMouseEvent>
#include <QPainter>

HSplitterBar::HSplitterBar(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SizeVerCursor);
    resize(100, 5);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void HSplitterBar::setBackColor(const QColor& c) {
    if (!c.isValid()) return;
    m_back = c;
    update();
}

void HSplitterBar::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    m_dragging = true;
    m_pressGlobalY = qRound(e->globalPosition().y());
    m_startTop = y();
    raise();
    emit MoveStarted();
}

void HSplitterBar::followMouse(const QMouseEvent* e) {
    int top = m_startTop + qRound(e->globalPosition().y()) - m_pressGlobalY;
    if (QWidget* p = parentWidget()) top = qBound(0, top, qMax(0, p->height() - height()));
    move(x(), top);
}

void HSplitterBar::mouseMoveEvent(QMouseEvent* e) {
    if (m_dragging && (e->buttons() & Qt::LeftButton)) followMouse(e);
}

void HSplitterBar::mouseReleaseEvent(QMouseEvent* e) {
    if (!m_dragging || e->button() != Qt::LeftButton) return;
    m_dragging = false;
    followMouse(e);   // the release point is the final one
    update();
    emit MoveFinished(y() - m_startTop);
}

void HSplitterBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_dragging ? m_back.darker(125) : m_back);
    // A faint etched line through the middle tells the bar apart from the panes around it.
    const int mid = height() / 2;
    p.setPen(m_back.darker(140));
    p.drawLine(0, mid, width() - 1, mid);
    if (height() > 2) {
        p.setPen(m_back.lighter(115));
        p.drawLine(0, mid + 1, width() - 1, mid + 1);
    }
}
