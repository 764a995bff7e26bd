// Start to first frame and idle memory of the client, each run paired with a bare Qt window of
// the same build and a bare window holding the same kinds of standard widgets, alternately:
// kvrn-startup-pairs [PAIRS] (15 by default). The client connects to a listening socket of this
// program, so its memory is taken after the connection. The platform is the environment's
// (QT_QPA_PLATFORM=offscreen, or an X server).
#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <cstdio>
#include <vector>

// Only the clock: this program is not probed itself.
#define KVRN_FIRSTFRAME_CLOCK_ONLY
#include "firstframe.h"

namespace {

struct Run {
    double ms = 0;
    double mib = 0;
    bool ok = false;
};

Run RunProbe(const QString& program, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KVRN_IDLE_MS"), QStringLiteral("500"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    const long long t0 = firstframe::MonotonicNs();
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(5000)) return r;
    // The event loop runs meanwhile so the client's connection is taken.
    long long frameNs = 0;
    QByteArray out;
    while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        p.waitForReadyRead(5);
        out += p.readAllStandardOutput();
        if (out.contains("rss_kib")) break;
    }
    p.waitForFinished(3000);
    out += p.readAllStandardOutput();
    for (const QByteArray& line : out.split('\n')) {
        if (line.startsWith("firstframe_ns ")) frameNs = line.mid(14).toLongLong();
        if (line.startsWith("rss_kib ")) r.mib = line.mid(8).toDouble() / 1024.0;
    }
    r.ok = frameNs > t0;
    r.ms = (frameNs - t0) / 1e6;
    return r;
}

double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int pairs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    std::vector<QTcpSocket*> peers;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (server.hasPendingConnections()) peers.push_back(server.nextPendingConnection());
    });
    const QString dir = QCoreApplication::applicationDirPath();
    const QStringList words{QStringLiteral("p3!Hq&Zv{7}Lx^Wm(2)Tc;8Rd#Ky%Ub*4=Ne+J"), QStringLiteral("127.0.0.1"),
                            QString::number(server.serverPort()), QStringLiteral("牌局"),
                            QStringLiteral("长工_100`短工_200"), QStringLiteral("r0"), QStringLiteral("r1"),
                            QStringLiteral("玩家甲"), QStringLiteral("1")};
    std::vector<double> ours, bare, widgets, oursMem, bareMem, widgetsMem;
    for (int i = 0; i < pairs; ++i) {
        const Run a = RunProbe(dir + QStringLiteral("/kvrn-table-probe"), {words.join(u' ')});
        const Run b = RunProbe(dir + QStringLiteral("/kvrn-bare-probe"), {});
        const Run c = RunProbe(dir + QStringLiteral("/kvrn-bare-probe"), {QStringLiteral("--widgets")});
        if (!a.ok || !b.ok || !c.ok) {
            std::fprintf(stderr, "run %d: a probe did not report its first frame\n", i);
            continue;
        }
        ours.push_back(a.ms);
        bare.push_back(b.ms);
        widgets.push_back(c.ms);
        oursMem.push_back(a.mib);
        bareMem.push_back(b.mib);
        widgetsMem.push_back(c.mib);
    }
    const double o = Median(ours), b = Median(bare);
    std::printf("start to first frame (median of %zu pairs): ours %.1f ms, bare Qt %.1f ms, ratio %.2f\n", ours.size(),
                o, b, b > 0 ? o / b : 0.0);
    const double w = Median(widgets);
    std::printf("  a bare window with a caption, a list, a text pane, a line edit and a combo box: %.1f ms, "
                "ours to it %.2f\n", w, w > 0 ? o / w : 0.0);
    const double om = Median(oursMem), bm = Median(bareMem), wm = Median(widgetsMem);
    std::printf("memory after 500 ms idle: ours %.1f MiB, bare Qt %.1f MiB, ratio %.2f; with the widgets %.1f MiB\n",
                om, bm, bm > 0 ? om / bm : 0.0, wm);
    return ours.empty() ? 1 : 0;
}
