#include "tableview/waitticks.h"

#include "platform/core/clock.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

int closingExitCode = 0;
int pausesUnderWay = 0;

// Ending here is safe: the client runs everything on one thread and keeps nothing that must be
// written at shutdown (the settings file is written when a setting changes, the link needs no
// goodbye, the server treats a closed socket as leaving). The window that asked to close is
// already gone, so returning would only let an animation draw on a dead table. Output streams
// are flushed so nothing logged before the end is lost; static objects are destroyed normally.
[[noreturn]] void endNow()
{
    EndProgramNow(closingExitCode);
}

// The same pause on a test's clock: it ends when the clock reaches its end, and every event
// that comes meanwhile is handled inside it, as on real time.
void WaitOnManualClock(ManualClock& clock, int ms, const bool& blnClosing)
{
    bool over = false;
    ClockTimer done;
    done.setSingleShot(true);
    QObject::connect(&done, &ClockTimer::timeout, [&over] { over = true; });
    done.start(ms);
    QEventLoop loop;
    while (!over) {
        if (clock.pausesAdvance) {
            ManualClock::RunPendingEvents();
            if (blnClosing)
                endNow();
            if (!over)
                clock.step();
        } else {
            loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
        if (blnClosing)
            endNow();
    }
}

} // namespace

void SetClosingExitCode(int code)
{
    closingExitCode = code;
}

int PausesUnderWay()
{
    return pausesUnderWay;
}

void EndProgramNow(int code)
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::exit(code);
}

void WaitTicks(int ms, const bool& blnClosing)
{
    if (blnClosing)
        endNow();
    struct Counted {
        Counted() { ++pausesUnderWay; }
        ~Counted() { --pausesUnderWay; }
    } counted;
    if (ManualClock* manual = ManualClock::Active()) {
        if (ms > 0)
            WaitOnManualClock(*manual, ms, blnClosing);
        return;
    }
    QElapsedTimer clock;
    clock.start();
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer done;
    done.setSingleShot(true);
    done.setTimerType(Qt::PreciseTimer);
    QObject::connect(&done, &QTimer::timeout, &loop, &QEventLoop::quit);
    // The closing flag is set by some event handled inside this wait; look at it often.
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, &loop, [&]() {
        if (blnClosing)
            endNow();
    });
    watch.start();
    // A timer may fire a little early; wait again for the rest until the full time has passed.
    qint64 left = ms;
    while (left > 0) {
        done.start(int(left));
        loop.exec();
        if (blnClosing)
            endNow();
        left = ms - clock.elapsed();
    }
}
