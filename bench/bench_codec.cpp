// The wire: a whole user list decoded from GBK and encoded back, a chat line, a stream of game
// messages cut into frames, and the shape check every received message goes through.
#include <benchmark/benchmark.h>

#include "benchcount.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "protocol/codec.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "protocol/shapes.h"

namespace {

// A full room: 100 rows in the user-list body, half of them with Chinese names.
QByteArray UserList()
{
    QStringList rows;
    for (int i = 0; i < 100; ++i) {
        const QString name = i % 2 ? QStringLiteral("西门吹雪%1").arg(i) : QStringLiteral("Player_%1").arg(i);
        rows << QStringLiteral("%1`%2`3560`中农`%3`212`55`1`117`95`0`1`2000`%4`0`0")
                    .arg(name)
                    .arg(10000 + i)
                    .arg(i / 4)
                    .arg(i % 4);
    }
    return BuildUserList(rows);
}

void BM_DecodeUserList(benchmark::State& state)
{
    const QByteArray msg = UserList();
    benchcount::CountedLoop counted(state);
    for (auto _ : state) benchmark::DoNotOptimize(DecodePacketText(msg, 2));
    state.SetBytesProcessed(state.iterations() * msg.size());
}
BENCHMARK(BM_DecodeUserList);

void BM_EncodeUserList(benchmark::State& state)
{
    const QString text = DecodePacketText(UserList(), 2);
    benchcount::CountedLoop counted(state);
    for (auto _ : state) benchmark::DoNotOptimize(EncodeGbk(text));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_EncodeUserList);

void BM_ChatLine(benchmark::State& state)
{
    const QStringList fields = {QStringLiteral("东方不败"), QStringLiteral("大家"), QStringLiteral("0"),
                                QStringLiteral("宋体"),     QStringLiteral("10"),   QStringLiteral("0"),
                                QStringLiteral("0"),        QStringLiteral("这一手打得漂亮！再来一局？")};
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        const QByteArray msg = BuildChat(fields);
        benchmark::DoNotOptimize(DecodePacketText(msg, 1).split(QLatin1Char('`')));
    }
}
BENCHMARK(BM_ChatLine);

// 1,000 plays framed into one stream, fed in pieces of 1,460 bytes (a network packet's payload),
// cut into messages and shape-checked.
void BM_FrameAndCheckPlays(benchmark::State& state)
{
    QByteArray stream;
    for (int i = 0; i < 1000; ++i)
        stream += EncodeFrame(BuildOutPaiNotice(uint8_t((i + 1) % 4), 2, 0, uint8_t(i % 4), {4, 17, 30}));
    benchcount::CountedLoop counted(state);
    for (auto _ : state) {
        FrameDecoder dec;
        int fits = 0;
        QByteArray msg;
        for (qsizetype at = 0; at < stream.size(); at += 1460) {
            dec.append(QByteArrayView(stream.constData() + at, std::min<qsizetype>(1460, stream.size() - at)));
            while (dec.next(msg) == FrameDecoder::Status::Frame) fits += ParseMessage(msg, Sender::Server).fits;
        }
        benchmark::DoNotOptimize(fits);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_FrameAndCheckPlays)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
