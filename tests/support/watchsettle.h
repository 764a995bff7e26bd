#pragma once
// The disk watch's reports come in the order the changes were made. A test that must know every
// change made so far has been taken in (before it counts on "nothing changed") writes a mark of
// its own beside the watched entry and waits for the report of that mark: everything reported
// before it has been read by then. The mark's report moves the generation on, so whatever rests
// on the watch looks at the disk once more afterwards.
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QThread>

#include "platform/draw/diskwatch.h"
#include "support/timing.h"

namespace testsupport {

// False when the mark could not be written or its report did not come within the hang bound.
inline bool SettleDiskWatch(DiskWatch& w, const QString& folder)
{
    static const QString kMark = QStringLiteral(".settle-mark");
    if (!w.watch(folder, kMark)) return false;
    const quint64 before = w.generation();
    QFile f(folder + QLatin1Char('/') + kMark);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || f.write("x", 1) != 1) return false;
    f.close();
    const QDeadlineTimer deadline(kHangMs);
    while (w.generation() == before) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(1);
    }
    return true;
}

}  // namespace testsupport
