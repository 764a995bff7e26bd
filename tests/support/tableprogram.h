#pragma once
// The client program copied into a folder of its own, so the settings file beside it is the
// test's own, and run headless.
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "launch/commandline.h"
#include "support/timing.h"

namespace testsupport {

struct TableProgram {
    QTemporaryDir dir;
    QProcess proc;

    // withPictures: the build's pictures beside it (the blasts wait between their frames only
    // when the frames are there).
    explicit TableProgram(bool withPictures = false)
    {
        const QString bin = qEnvironmentVariable("KVRN_BIN_DIR");
        QFile::copy(bin + "/kvrn-table", dir.filePath("kvrn-table"));
        QFile::setPermissions(dir.filePath("kvrn-table"), QFile::permissions(bin + "/kvrn-table"));
        if (withPictures) QFile::link(bin + "/Res", dir.filePath("Res"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        proc.setProcessEnvironment(env);
        proc.setWorkingDirectory(dir.path());
    }
    ~TableProgram()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(kHangMs);
        }
    }
    TableProgram(const TableProgram&) = delete;
    TableProgram& operator=(const TableProgram&) = delete;

    // The launch words of a player of a room on this machine at `port`, as the lobby passes them.
    static QStringList Words(quint16 port)
    {
        return {LaunchToken, "127.0.0.1", QString::number(port), QStringLiteral("牌局"), QStringLiteral("长工_100`短工_200"),
                "r0", "r1", QStringLiteral("玩家甲"), "1"};
    }
    bool start(const QStringList& args)
    {
        if (!QFile::exists(dir.filePath("kvrn-table"))) return false;
        proc.start(dir.filePath("kvrn-table"), args);
        return proc.waitForStarted(kHangMs);
    }
    bool start(quint16 port) { return start(Words(port)); }
    void writeSettings(const QByteArray& text)
    {
        QFile f(dir.filePath("UserSet.ini"));
        if (f.open(QIODevice::WriteOnly)) f.write(text);
    }
    long pid() const { return long(proc.processId()); }
    bool running() const { return proc.state() == QProcess::Running; }
    bool ended() { return WaitFor([this] { return proc.state() == QProcess::NotRunning; }); }
};

}  // namespace testsupport
