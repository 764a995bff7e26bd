// Start to hello: the time from starting the client to its hello arriving at a listening socket
// of this program, beside two yardsticks of the same build that also link the network module,
// connect and stop at their hello (kvrn-bare-probe): a bare window of the same size, and one
// holding the same kinds of standard widgets. Runs are interleaved (the order turns each pair);
// the figure is the median of the per-pair ratios.
//   kvrn-startup-pairs [PAIRS]        (15 pairs by default)
//   kvrn-startup-pairs --callgrind    instructions to the hello of each, counted by callgrind
//                                     (KVRN_CALLGRIND_DIR=DIR keeps the counts in DIR)
// The platform is the environment's (offscreen when none is set). The client is given the nine
// launch words as nine arguments, as the lobby starts it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <time.h>
#include <vector>

namespace {

long long MonotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

struct Program {
    const char* name;
    QString path;
    QStringList args;
};

// Starts the program (under callgrind when cgOut is given) and waits for its first bytes on the
// server; returns the milliseconds from the start, or -1. The program is then ended: killed, or
// under callgrind terminated so that it writes its counts.
double RunToHello(QTcpServer& server, const Program& prog, const QString& cgOut = QString())
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QString program = prog.path;
    QStringList args = prog.args;
    if (!cgOut.isEmpty()) {
        args.prepend(program);
        args.prepend(QStringLiteral("--callgrind-out-file=") + cgOut);
        args.prepend(QStringLiteral("--tool=callgrind"));
        program = QStringLiteral("valgrind");
    }
    QEventLoop loop;
    long long helloNs = 0;
    std::vector<QTcpSocket*> peers;
    const auto conn = QObject::connect(&server, &QTcpServer::newConnection, &loop, [&] {
        while (server.hasPendingConnections()) {
            QTcpSocket* s = server.nextPendingConnection();
            peers.push_back(s);
            QObject::connect(s, &QTcpSocket::readyRead, &loop, [&] {
                if (!helloNs) helloNs = MonotonicNs();
                loop.quit();
            });
        }
    });
    QTimer::singleShot(cgOut.isEmpty() ? 20000 : 600000, &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    const long long t0 = MonotonicNs();
    p.start(program, args);
    loop.exec();
    QObject::disconnect(conn);
    if (p.state() != QProcess::NotRunning) {
        if (cgOut.isEmpty()) p.kill();
        else ::kill(pid_t(p.processId()), SIGTERM);
        p.waitForFinished(cgOut.isEmpty() ? 5000 : 120000);
    }
    for (QTcpSocket* s : peers) s->deleteLater();
    return helloNs ? (helloNs - t0) / 1e6 : -1;
}

double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The total of a callgrind output file.
double CallgrindTotal(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("totals:") || line.startsWith("summary:"))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toDouble();
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    const bool callgrind = argc > 1 && std::strcmp(argv[1], "--callgrind") == 0;
    const int pairs = !callgrind && argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost)) return 1;
    const QString dir = QCoreApplication::applicationDirPath();
    const QString port = QString::number(server.serverPort());
    const QStringList words{QStringLiteral("p3!Hq&Zv{7}Lx^Wm(2)Tc;8Rd#Ky%Ub*4=Ne+J"),
                            QStringLiteral("127.0.0.1"),
                            port,
                            QStringLiteral("四人牌桌"),
                            QStringLiteral("长工_100`短工_200`佃农_500`贫农_1000`中农_2000"),
                            QStringLiteral("0"),
                            QStringLiteral("0"),
                            QStringLiteral("玩家甲"),
                            QStringLiteral("1")};
    const QString probe = dir + QStringLiteral("/kvrn-bare-probe");
    const Program progs[3] = {
        {"ours", dir + QStringLiteral("/kvrn-table"), words},
        {"widgets", probe, {QStringLiteral("--widgets"), QStringLiteral("127.0.0.1"), port}},
        {"bare", probe, {QStringLiteral("127.0.0.1"), port}},
    };

    if (callgrind) {
        // KVRN_CALLGRIND_DIR keeps the counts there for callgrind_annotate.
        QTemporaryDir tmp;
        const QString keep = qEnvironmentVariable("KVRN_CALLGRIND_DIR");
        std::printf("instructions from start to hello (callgrind, platform %s):\n",
                    qgetenv("QT_QPA_PLATFORM").constData());
        for (const Program& prog : progs) {
            const QString name = QStringLiteral("callgrind.out.") + QString::fromLatin1(prog.name);
            const QString out = keep.isEmpty() ? tmp.filePath(name) : keep + u'/' + name;
            const double ms = RunToHello(server, prog, out);
            const double total = CallgrindTotal(out);
            if (ms < 0 || total < 0) {
                std::printf("  %-8s no hello counted\n", prog.name);
                continue;
            }
            std::printf("  %-8s %8.1f M\n", prog.name, total / 1e6);
        }
        return 0;
    }

    // A first run of each warms the disk cache and the font cache alike.
    for (const Program& prog : progs) RunToHello(server, prog);
    std::vector<double> t[3], toWidgets, toBare;
    for (int i = 0; i < pairs; ++i) {
        double ms[3];
        bool ok = true;
        for (int k = 0; k < 3; ++k) {
            const int j = (i % 2 == 0) ? k : 2 - k;   // the order turns each pair
            ms[j] = RunToHello(server, progs[j]);
            ok = ok && ms[j] > 0;
        }
        if (!ok) {
            std::fprintf(stderr, "pair %d: a program sent no hello\n", i);
            continue;
        }
        for (int k = 0; k < 3; ++k) t[k].push_back(ms[k]);
        toWidgets.push_back(ms[0] / ms[1]);
        toBare.push_back(ms[0] / ms[2]);
    }
    if (toWidgets.empty()) return 1;
    std::printf("start to hello, median of %zu interleaved runs (platform %s):\n", toWidgets.size(),
                qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("  ours %.1f ms, the widgets window %.1f ms, the bare window %.1f ms\n", Median(t[0]), Median(t[1]),
                Median(t[2]));
    std::printf("  ours to the widgets window: %.2f (median of per-pair ratios; target 1.10 at most)\n",
                Median(toWidgets));
    std::printf("  ours to the bare window:    %.2f\n", Median(toBare));
    return 0;
}
