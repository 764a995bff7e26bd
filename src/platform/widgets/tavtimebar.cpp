#include "tavtimebar.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

TavTimeBar::TavTimeBar(QWidget* parent) : QWidget(parent) {
    // A precise timer: a turn must never run out before its time.
    m_timer.setInterval(1000);
    connect(&m_timer, &ClockTimer::timeout, this, &TavTimeBar::onTick);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(120, 12);
}

void TavTimeBar::Start(int seconds, int warnSeconds) {
    m_timer.stop();
    ++m_turn;
    m_total = seconds > 0 ? seconds : 0;
    m_left = m_total;
    m_warn = warnSeconds;
    m_timer.start();
    update();
    // A turn that is all warning time warns at once, not never; a Reset or Start before the
    // event loop comes round cancels it with the turn.
    if (m_warn > 0 && m_total <= m_warn) {
        const quint64 turn = m_turn;
        QTimer::singleShot(0, this, [this, turn] {
            if (turn == m_turn) emit Warning();
        });
    }
}

void TavTimeBar::Reset() {
    m_timer.stop();
    ++m_turn;
    m_left = 0;
    update();
}

void TavTimeBar::onTick() {
    if (!m_timer.isActive()) return;
    if (m_left > 0) --m_left;
    const bool timedOut = m_left <= 0;
    if (timedOut) m_timer.stop();
    update();
    // A Tick handler may Reset or Start again: then this turn's warning or time-out is void.
    const quint64 turn = m_turn;
    emit Tick();
    if (turn != m_turn) return;
    if (timedOut) {
        emit TimeOut();
        return;
    }
    if (m_warn > 0 && m_left == m_warn && m_total > m_warn) emit Warning();
}

void TavTimeBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, QColor(16, 81, 115));
    p.setPen(QColor(8, 40, 60));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (m_total <= 0 || m_left <= 0 || !isRunning()) return;
    const int inner = r.width() - 2;
    const int w = int(qint64(inner) * m_left / m_total);
    if (w <= 0) return;
    const QRect bar(1, 1, w, r.height() - 2);
    QColor c = (m_warn > 0 && m_left <= m_warn) ? QColor(230, 60, 40) : QColor(60, 200, 80);
    QLinearGradient g(bar.topLeft(), bar.bottomLeft());
    g.setColorAt(0, c.lighter(140));
    g.setColorAt(1, c.darker(120));
    p.fillRect(bar, g);
}
