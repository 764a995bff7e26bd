#pragma once
// The turn time bar: counts a turn down second by second and draws the time left as a bar
// that shrinks from the right.
#include <QString>
#include <QWidget>

#include "platform/core/clock.h"

class TavTimeBar : public QWidget {
    Q_OBJECT
public:
    explicit TavTimeBar(QWidget* parent = nullptr);

    // Starts timing `seconds` (a running turn is replaced). Tick follows every second; Warning
    // comes once per turn when warnSeconds > 0: with the tick that leaves `warnSeconds`, or, for a
    // turn no longer than that, as soon as the turn has started (right after Start returns).
    // TimeOut comes right after the tick that leaves 0. A length below 1 times out on the first tick.
    void Start(int seconds, int warnSeconds);
    // Stops the running turn: no further tick, warning or time-out for it.
    void Reset();

    bool isRunning() const { return m_timer.isActive(); }
    int secondsTotal() const { return m_total; }
    int secondsLeft() const { return m_left; }
    int tickInterval() const { return m_timer.interval(); }
    // Only for tests: shorter ticks keep timing tests quick.
    void setTickInterval(int ms) { m_timer.setInterval(ms); }

    QString tag() const { return Tag; }
    void setTag(const QString& t) { Tag = t; }
    // Free text kept for the client (the chair being timed, "100" when none).
    QString Tag;

signals:
    void Tick();
    void Warning();
    void TimeOut();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onTick();

    ClockTimer m_timer;
    int m_total = 0;
    int m_left = 0;
    int m_warn = 0;
    quint64 m_turn = 0;   // changes with every Start and Reset
};
