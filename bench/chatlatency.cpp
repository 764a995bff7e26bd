// How long a chat line takes through the room: starts a kvrn-room with bots only, connects
// spectators that each say one line a second (spread over the second) and one more that listens
// (and, like a person at the table, says a line of its own every second), and prints the
// listener's delays from the others' lines' writes to their arrival.
//   kvrn-chatlatency [ROOM_PROGRAM] [SPECTATORS] [SECONDS]
// The spectators' own sockets send without delay, so what is measured is the room's side.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "protocol/framing.h"
#include "protocol/messages.h"
#include "protocol/shapes.h"

namespace {

constexpr int kChatTextField = 4;

QByteArray ChatLine(qint64 sentNs)
{
    return BuildChat({QStringLiteral("x"), QStringLiteral("所有人"), QStringLiteral("x"), QStringLiteral("所有人"),
                      QString::number(sentNs), QStringLiteral("#000000"), QStringLiteral("0"), QStringLiteral("0"),
                      QStringLiteral("12:00:00"), QString()});
}

struct Peer {
    std::unique_ptr<QTcpSocket> sock;
    FrameDecoder frames;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString program = args.value(1, QStringLiteral(KVRN_BENCH_BIN_DIR "/kvrn-room"));
    const int spectators = std::clamp(args.value(2, QStringLiteral("62")).toInt(), 1, 62);
    const int seconds = std::max(2, args.value(3, QStringLiteral("20")).toInt());

    QProcess room;
    room.setProgram(program);
    room.setArguments({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--humans"), QStringLiteral("0"),
                       QStringLiteral("--bot-delay"), QStringLiteral("600000"),
                       QStringLiteral("--per-address"), QStringLiteral("64")});
    room.start();
    if (!room.waitForReadyRead(5000)) {
        std::fprintf(stderr, "the room did not start\n");
        return 1;
    }
    const QString first = QString::fromUtf8(room.readLine()).trimmed();
    const quint16 port = quint16(first.section(QLatin1Char(':'), -1).toUInt());
    if (!first.startsWith(QLatin1String("listening")) || port == 0) {
        std::fprintf(stderr, "unexpected first line: %s\n", first.toUtf8().constData());
        return 1;
    }
    // The room's log is not read further: throw it away as it comes.
    QObject::connect(&room, &QProcess::readyReadStandardOutput, &room, [&] { room.readAllStandardOutput(); });

    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> delaysNs;
    qint64 lastOwn = -1;   // the listener's own line is not counted
    std::vector<std::unique_ptr<Peer>> peers;
    for (int i = 0; i <= spectators; ++i) {
        auto p = std::make_unique<Peer>();
        p->sock = std::make_unique<QTcpSocket>();
        p->sock->connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!p->sock->waitForConnected(5000)) {
            std::fprintf(stderr, "connection %d failed\n", i);
            return 1;
        }
        p->sock->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        p->sock->write(EncodeFrame(BuildHello(1)));
        Peer* raw = p.get();
        const bool listener = i == 0;
        QObject::connect(raw->sock.get(), &QTcpSocket::readyRead, raw->sock.get(), [raw, listener, &clock, &delaysNs, &lastOwn] {
            raw->frames.append(raw->sock->readAll());
            QByteArray msg;
            while (raw->frames.next(msg) == FrameDecoder::Status::Frame) {
                if (!listener) continue;
                const ParsedMsg m = ParseMessage(msg, Sender::Server);
                if (m.kind != MsgKind::Chat || m.fields.size() <= kChatTextField) continue;
                const qint64 sent = m.fields[kChatTextField].toLongLong();
                if (sent != lastOwn) delaysNs.push_back(clock.nsecsElapsed() - sent);
            }
            raw->frames.squeeze();
        });
        peers.push_back(std::move(p));
    }

    // Each chatter speaks once a second, the chatters spread evenly over the second.
    std::vector<std::unique_ptr<QTimer>> timers;
    for (int i = 0; i <= spectators; ++i) {
        QTcpSocket* s = peers[size_t(i)]->sock.get();
        auto t = std::make_unique<QTimer>();
        t->setInterval(1000);
        QObject::connect(t.get(), &QTimer::timeout, s, [s, i, &clock, &lastOwn] {
            const qint64 now = clock.nsecsElapsed();
            if (i == 0) lastOwn = now;
            s->write(EncodeFrame(ChatLine(now)));
        });
        QTimer* tp = t.get();
        QTimer::singleShot(1000 * i / (spectators + 1), tp, [tp] { tp->start(); });
        timers.push_back(std::move(t));
    }
    // The first second is the joining; the delays counted are those after it.
    QTimer::singleShot(1000, &app, [&] { delaysNs.clear(); });
    QTimer::singleShot(1000 + seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    room.kill();
    room.waitForFinished(2000);

    if (delaysNs.empty()) {
        std::fprintf(stderr, "no chat line arrived\n");
        return 1;
    }
    std::sort(delaysNs.begin(), delaysNs.end());
    auto at = [&](double q) { return double(delaysNs[size_t(q * double(delaysNs.size() - 1))]) / 1e6; };
    std::printf("%s: %d spectators, %zu lines heard: median %.2f ms, p90 %.2f ms, max %.2f ms\n",
                program.toUtf8().constData(), spectators, delaysNs.size(), at(0.5), at(0.9), at(1.0));
    return 0;
}
