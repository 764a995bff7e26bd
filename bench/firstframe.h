#pragma once
// Linked into a start-up probe: when the first window has painted and its frame has gone to the
// screen, prints the monotonic clock ("firstframe_ns N") and, after KVRN_IDLE_MS of idling, the
// resident memory ("rss_kib N"), then ends the process at once. The start-up bench runs the
// client and a bare Qt window this way, alternately.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <time.h>
#include <unistd.h>

namespace firstframe {

inline long long MonotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

inline long RssKib()
{
    std::ifstream f("/proc/self/status");
    std::string key;
    long value = 0;
    while (f >> key) {
        if (key == "VmRSS:") {
            f >> value;
            return value;
        }
        std::getline(f, key);
    }
    return 0;
}

class Probe : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (!seen_ && e->type() == QEvent::Paint && o->isWidgetType() && static_cast<QWidget*>(o)->isWindow()) {
            seen_ = true;
            // The paint and the flush that follows it finish before a zero timer runs.
            QTimer::singleShot(0, [] {
                std::printf("firstframe_ns %lld\n", MonotonicNs());
                std::fflush(stdout);
                const int idle = std::atoi(qgetenv("KVRN_IDLE_MS").constData());
                QTimer::singleShot(idle, [] {
                    std::printf("rss_kib %ld\n", RssKib());
                    std::fflush(stdout);
                    ::_exit(0);
                });
            });
        }
        return false;
    }

private:
    bool seen_ = false;
};

}  // namespace firstframe

#ifndef KVRN_FIRSTFRAME_CLOCK_ONLY
static void InstallFirstFrameProbe()
{
    QCoreApplication::instance()->installEventFilter(new firstframe::Probe);
}
Q_COREAPP_STARTUP_FUNCTION(InstallFirstFrameProbe)
#endif
