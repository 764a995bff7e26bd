#pragma once
// A pause that keeps the window alive: timers, socket data and clicks are handled while it waits.
// It runs on real time, or on the ManualClock a test has installed (platform/core/clock.h).

// Wait at least ms milliseconds, running other events meanwhile. When blnClosing is set before or
// during the wait (the main window has closed), the program ends at once instead of returning
// into a drawing sequence whose window is gone.
void WaitTicks(int ms, const bool& blnClosing);

// The status the program ends with when a wait finds blnClosing set (0 unless set).
void SetClosingExitCode(int code);
// How many pauses are under way, one inside another counting each.
int PausesUnderWay();
// Ends the program at once with the status, as a pause that finds blnClosing set does.
[[noreturn]] void EndProgramNow(int code);
