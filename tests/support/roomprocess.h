#pragma once
// The room program from the build's program folder, on a port of its own choosing, with its log
// read line by line as it comes: the tests that run it read what happened in the log's order.
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

#include "support/timing.h"

namespace testsupport {

struct RoomProcess {
    QProcess proc;
    QStringList lines;
    QByteArray pending;
    quint16 port = 0;

    RoomProcess()
    {
        QObject::connect(&proc, &QProcess::readyReadStandardOutput, [this] { readLines(); });
    }
    ~RoomProcess()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(kHangMs);
        }
    }
    RoomProcess(const RoomProcess&) = delete;
    RoomProcess& operator=(const RoomProcess&) = delete;

    // Starts it on a free port (`--port 0` comes first, so the arguments may name another) and
    // waits for the first line, which names the port.
    bool start(const QStringList& args)
    {
        proc.start(qEnvironmentVariable("KVRN_BIN_DIR") + QStringLiteral("/kvrn-room"), QStringList{"--port", "0"} + args);
        if (!proc.waitForStarted(kHangMs)) return false;
        if (!WaitFor([&] { return !lines.isEmpty(); })) return false;
        const auto m = QRegularExpression(QStringLiteral("^listening [^ ]+:(\\d+)$")).match(lines.value(0));
        port = m.hasMatch() ? quint16(m.captured(1).toUInt()) : 0;
        return port != 0;
    }
    // Takes in what the program has written so far.
    void readLines()
    {
        pending += proc.readAllStandardOutput();
        for (qsizetype nl; (nl = pending.indexOf('\n')) >= 0; pending.remove(0, nl + 1))
            lines.append(QString::fromUtf8(pending.left(nl)));
    }
    int count(const QString& prefix) const
    {
        return int(std::count_if(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(prefix); }));
    }
    bool has(const QString& prefix) const { return count(prefix) > 0; }
    QString first(const QString& prefix) const
    {
        const auto it = std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(prefix); });
        return it == lines.end() ? QString() : *it;
    }
    std::string tail(int n) const { return lines.mid(std::max<qsizetype>(0, lines.size() - n)).join('\n').toStdString(); }
};

}  // namespace testsupport
