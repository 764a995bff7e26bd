#pragma once
// Under the sanitizers every memory access is checked and freed memory is held back for a
// while, so times and memory figures say nothing: tests skip those assertions there (the
// behaviour they check still runs).
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QtGlobal>
#include <cstdio>
#include <functional>

namespace testsupport {

inline bool Sanitized() { return qEnvironmentVariableIsSet("KVRN_SANITIZED"); }

// A process's resident memory in KiB from /proc: its peak so far (VmHWM) or now (VmRSS); 0 when
// it cannot be read. pid 0 is this process.
inline long ProcStatusKb(const char* field, long pid = 0)
{
    const QByteArray path = pid > 0 ? "/proc/" + QByteArray::number(qlonglong(pid)) + "/status" : "/proc/self/status";
    FILE* f = std::fopen(path.constData(), "r");
    if (!f) return 0;
    char line[256];
    const QByteArray format = QByteArray(field) + ": %ld kB";
    long kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, format.constData(), &kb) == 1) break;
    std::fclose(f);
    return kb;
}
inline long PeakRssKb(long pid = 0) { return ProcStatusKb("VmHWM", pid); }
inline long RssKb(long pid = 0) { return ProcStatusKb("VmRSS", pid); }

// How long a test waits for something that must come: long enough that only a hang runs out of
// it, on a slow machine busy with other work (a wait ends as soon as its condition holds, so
// the bound costs nothing when things work).
constexpr int kHangMs = 30000;

// Runs the event loop until the condition holds or `ms` have passed; true when it holds.
inline bool WaitFor(const std::function<bool()>& cond, int ms = kHangMs)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

}  // namespace testsupport
