#pragma once
// The time the client's pauses and countdowns run on. The program runs on real time. A test
// installs a ManualClock instead: its time stands still until the test moves it on, so a
// two-second pause costs no real time and a countdown ticks exactly when the test says.
#include <QObject>
#include <QTimer>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <vector>

class ClockTimer;

class ManualClock {
public:
    // Installs this clock for every timer started and every pause begun from now on (over any
    // other, until this one goes). Its time starts at 0.
    ManualClock();
    // Puts back the clock that was in force before; timers still waiting on this one stop.
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    // The installed manual clock, or nullptr while time is real.
    static ManualClock* Active();

    qint64 now() const { return now_; }

    // Moves the time on by ms. Every timer that comes due meanwhile fires at its own time, in
    // the order they come due, with the events already waiting handled before each.
    void advance(qint64 ms);
    // Moves the time to the next timer due and fires it; false (and no move) when none waits.
    bool step();
    // Calls fn once the time has moved ms on from now (from advance, step or a pause).
    void after(qint64 ms, std::function<void()> fn);

    // How a pause on this clock (WaitTicks) lets time pass. On (the default): once the event
    // loop has nothing left to handle, the pause moves the clock on to its next timer, until its
    // own end comes. Off: the pause runs the event loop until something else moves the clock
    // past its end (a test whose stimulus arrives from outside, in real time).
    bool pausesAdvance = true;

    // Runs the event loop until a round of it handles nothing: what is waiting now, and what
    // that brings in turn (data written to a socket on this machine arrives a round later).
    static void RunPendingEvents();

private:
    friend class ClockTimer;
    void add(ClockTimer* t);
    void remove(ClockTimer* t);
    ClockTimer* nextDue() const;

    ManualClock* previous_;
    qint64 now_ = 0;
    quint64 serial_ = 0;                // orders timers that come due at the same time
    std::vector<ClockTimer*> waiting_;
    std::vector<std::unique_ptr<ClockTimer>> owned_;   // the timers of `after`
};

// The time on the clock in force, in ms: the installed ManualClock's, else a monotonic real
// clock (its zero is arbitrary; only differences mean anything).
qint64 ClockNowMs();

// A timer on the clock in force when it is started: a precise timer on real time (a coarse one
// may fire up to 5 % early, and a countdown must never run out before its time), or a due time
// on the installed ManualClock. The part of QTimer the client uses.
class ClockTimer : public QObject {
    Q_OBJECT
public:
    explicit ClockTimer(QObject* parent = nullptr);
    ~ClockTimer() override;

    // A new interval restarts a running timer, as QTimer does.
    void setInterval(int ms);
    int interval() const { return interval_; }
    void setSingleShot(bool on) { singleShot_ = on; real_.setSingleShot(on); }
    bool isSingleShot() const { return singleShot_; }
    bool isActive() const { return clock_ != nullptr || real_.isActive(); }
    void start();
    void start(int ms);
    void stop();

signals:
    void timeout();

private:
    friend class ManualClock;
    void fireOnClock();

    QTimer real_;
    ManualClock* clock_ = nullptr;   // the manual clock this timer waits on, while it does
    qint64 due_ = 0;
    quint64 serial_ = 0;
    int interval_ = 0;
    bool singleShot_ = false;
};
